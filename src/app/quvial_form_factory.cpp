// TQuvialForm: the factory-number dialog behind the hidden factory-mode
// item, and the version dialog behind the about item and the version button.

#include <QAction>
#include <QMessageBox>
#include <QToolButton>
#include <algorithm>
#include <array>

#include "app/quvial_form.h"
#include "core/unsaved_setting.h"
#include "setup/factory_number_form.h"
#include "setup/version_form.h"
#include "wall/addressing.h"

void TQuvialForm::WireFactoryAndVersion() {
  factoryNumberForm_ = new TFactoryNumberForm(protocol_, WindowTexts(), this);
  // Through the one-action runner like every other send: its 50 ms pause and
  // a lost line end it cleanly, and it never runs inside another action.
  factoryNumberForm_->sendFrame = [this](const quint8* frame) {
    std::array<quint8, TProtocol::kBufferSize> copy{};
    std::copy_n(frame, copy.size(), copy.begin());
    RunAction([this, copy] { sendPath_->SendFrame(copy.data()); });
  };
  // Unstored, the next number offered would repeat this one.
  factoryNumberForm_->storeNext = [this](int next) {
    if (ini_ && !ini_->WriteMACID(next))
      QMessageBox::warning(factoryNumberForm_, windowTitle(),
                           UnsavedSettingText(QStringLiteral("Quvial.ini"), chinese_));
  };
  connect(menuItemFactoryMode_, &QAction::triggered, this, &TQuvialForm::OpenFactoryNumberForm);

  versionForm_ = new TVersionForm(WindowTexts(), this);
  versionForm_->versionText = [this] { return ini_ ? ini_->ReadVersion() : version_; };
  versionForm_->showVersion = [this] { SendShowVersion(); };
  connect(menuItemAbout_, &QAction::triggered, this, &TQuvialForm::OpenVersionForm);
  connect(btnVersion_, &QToolButton::clicked, this, [this] {
    PressToolButton(btnVersion_);
    OpenVersionForm();
  });
}

void TQuvialForm::OpenFactoryNumberForm() {
  factoryNumberForm_->SetNumberText(QString::number(ini_ ? ini_->ReadMACID() : 0));
  factoryNumberForm_->exec();
}

// Modeless: the main window goes on while it is open.
void TQuvialForm::OpenVersionForm() {
  versionForm_->show();
  versionForm_->raise();
  versionForm_->activateWindow();
}

// "版本信息": ShowVersion to the screens (or the unit that takes settings);
// nothing when the address would be the selection and none is made.
void TQuvialForm::SendShowVersion() {
  RunAction([this] {
    if (!SettingsAddress(SwitcherSettingsInput(), protocol_)) return;
    quint8 frame[TProtocol::kBufferSize] = {};
    protocol_.ShowVersion(frame);
    sendPath_->SendFrame(frame);
  });
}
