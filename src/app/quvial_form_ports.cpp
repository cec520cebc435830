// TQuvialForm: the port connections and the one-second user-interface timer.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "app/port_status.h"
#include "app/quvial_form.h"
#include "app/toolbar_images_view.h"
#include "setup/setup_com_form.h"

namespace {

// The source radio buttons that need a connection: the QN-51 page, the first
// group of the QN-46/45 page and the QN-22 page, by object name so that
// translated captions do not matter.
constexpr const char16_t* kLinkedRadios[] = {
    u"rbQN51Video1", u"rbQN51Video2",  u"rbQN51VGA",   u"rbQN51LC",  u"rbQN51DVI",  u"rbQN51HDMI",
    u"rbQN51USB",    u"rbQN4645Video", u"rbQN4645VGA", u"rbQN22DVI", u"rbQN22VGA1", u"rbQN22Video",
};

// Changes the picture only when it differs, so that the tick does not
// repaint the toolbar every second for nothing.
void ShowImage(QToolButton* button, const QString& image) {
  if (button->property("image").toString() == image) return;
  button->setIcon(ToolbarImage(image));
  button->setProperty("image", image);
}

// A raised button takes clicks; a lowered one is shown pressed and, being
// disabled, ignores them.
void ShowBevel(QToolButton* button, bool raised, const QString& image) {
  ShowImage(button, image);
  button->setEnabled(raised);
  button->setDown(!raised);
}

}  // namespace

void TQuvialForm::WirePortControls() {
  connect(btnConnect_, &QToolButton::clicked, this, &TQuvialForm::ToggleConnection);
  connect(btnSetupCOM_, &QToolButton::clicked, this, [this] { SetupPorts(true); });
  connect(menuItemSetupCOM_, &QAction::triggered, this, [this] { SetupPorts(false); });
  connect(btnHelp_, &QToolButton::clicked, this, &TQuvialForm::OpenHelp);
  pauser_.SetRunner(actionRunner_.get());
  ports_.onLineLost = [this](TPortId id) { PortLineLost(id); };
  portSetupDialog = [this] { return ShowPortSetupForm(); };
}

void TQuvialForm::PortLineLost(TPortId id) {
  // The listening line only receives: no action sends on it.
  if (id != TPortId::Sniff && ActionRunning()) {
    actionRunner_->RequestStop(LineLostMessage(id, ports_.Port(id).CommName(), chinese_));
    pauser_.Interrupt();  // a long delay must not be waited out first
  }
  // Nothing left to drive: the controls close at the next tick, and one press
  // of the toggle opens the lines again once the devices are back.
  if (connected_ && !ports_.AnyToggledPortOpen()) {
    connected_ = false;
    ShowImage(btnConnect_, QStringLiteral("connect"));
  }
}

void TQuvialForm::CheckStalledLines() {
  for (int i = 0; i < TPortSet::kCount; ++i) {
    const auto id = static_cast<TPortId>(i);
    const bool stalled = ports_.Stalled(id);
    bool& noted = stalledNoted_[static_cast<std::size_t>(i)];
    if (stalled == noted) continue;
    noted = stalled;
    const QString name = ports_.Port(id).CommName();
    memoOutput_->appendPlainText(LineStalledNote(id, name, stalled, chinese_));
    if (stalled && ActionRunning()) {
      actionRunner_->RequestStop(LineStalledMessage(id, name, chinese_));
      pauser_.Interrupt();
    }
  }
}

void TQuvialForm::OpenPortsFromConfiguration() {
  if (!ini_) return;
  setWindowTitle(ini_->ReadCaption());
  homePage_ = ini_->ReadHomePage();
  version_ = ini_->ReadVersion();
  const TPortSet::TOpenResult r = ports_.OpenFromConfiguration(*ini_);
  LoadSniffSettings();
  if (r.anyOpened) {
    connected_ = true;
    ShowImage(btnConnect_, QStringLiteral("connect_dis"));
  }
  // A failed open leaves the frame mode as it was.
  if (r.completed) protocol_.SetFrameMode(ini_->ReadCmdLen());
}

void TQuvialForm::ToggleConnection() {
  PressToolButton(btnConnect_);
  if (!connected_) {
    connected_ = true;
    const std::vector<TPortSet::TPortFailure> failures = ports_.OpenForToggle();
    for (const TPortSet::TPortFailure& f : failures)
      QMessageBox::warning(this, windowTitle(),
                           ToggleFailureMessage(TToggleAction::Open, f.id, f.name, chinese_));
    ShowImage(btnConnect_, QStringLiteral("connect_dis"));
  } else {
    connected_ = false;
    ports_.CloseForToggle();
    ShowImage(btnConnect_, QStringLiteral("connect"));
  }
}

void TQuvialForm::SetupPorts(bool fromToolbar) {
  if (fromToolbar) PressToolButton(btnSetupCOM_);
  // Without the dialog there is nothing to set up: closing the ports would
  // only cut the operator off.
  if (!portSetupDialog) return;
  const bool closedForDialog = connected_;
  if (connected_) {
    // The dialog lists the program's own ports only while they are closed.
    ports_.CloseEnabled();
    connected_ = false;
    ShowImage(btnConnect_, QStringLiteral("connect"));
  }
  portSetupFrameLength_ = protocol_.LongFrames() ? QStringLiteral("9") : QStringLiteral("7");
  // After "取消" or a refused conflict the configuration is unchanged: opening
  // from it brings back the lines closed for the dialog instead of leaving the
  // console silently cut off.
  if (portSetupDialog() || closedForDialog) OpenPortsFromConfiguration();
}

bool TQuvialForm::ShowPortSetupForm() {
  if (!setupCOMForm_) setupCOMForm_ = new TSetupCOMForm(channelNames_, WindowTexts(), this);
  setupCOMForm_->SetFrameLength(portSetupFrameLength_);
  return setupCOMForm_->exec() == QDialog::Accepted;
}

void TQuvialForm::OpenHelp() {
  PressToolButton(btnHelp_);
  if (homePage_.trimmed().isEmpty()) return;
  const QUrl url = QUrl::fromUserInput(homePage_.trimmed());
  if (!url.isValid()) return;
  if (openUrl)
    openUrl(url);
  else
    QDesktopServices::openUrl(url);
}

void TQuvialForm::SizeCellTable() { networkSplicers_->Table().Resize(wall_.Rows(), wall_.Cols()); }

void TQuvialForm::EnableLinkedControls(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{
           gbArray_, cbbRow_, cbbCol_, btnRowColSet_, cbMatrixCMB_, cbReshow_, cbDelayPowerOn_,
           cbDVRCMB_, btnPowerOff_, btnPowerOn_, btnStillPicture_})
    w->setEnabled(on);
  menuItemScene_->setEnabled(on);
  for (const char16_t* name : kLinkedRadios)
    if (auto* radio = pcSource_->findChild<QRadioButton*>(QString::fromUtf16(name)))
      radio->setEnabled(on);
}

void TQuvialForm::ShowToolbarBevels() {
  const bool usb = UsbRemote();
  ShowBevel(btnUSBChannel_, usb, usb ? QStringLiteral("remote") : QStringLiteral("remote_dis"));
  const bool setup = btnSystemSetup_->isEnabled();
  ShowBevel(btnSystemSetup_, setup, setup ? QStringLiteral("Setup") : QStringLiteral("Setup_dis"));
  const bool still = btnStillPicture_->isEnabled();
  ShowBevel(btnStillPicture_, still, still ? QStringLiteral("PIC") : QStringLiteral("pic_dis"));
}

void TQuvialForm::UiTimerTick() {
  CheckStalledLines();
  TPortLines lines;
  for (int i = 0; i < TPortSet::kCount; ++i) {
    const auto id = static_cast<TPortId>(i);
    lines[static_cast<std::size_t>(i)] = {ports_.Enabled(id), ports_.Port(id).CommName(),
                                          ports_.Lost(id), ports_.Stalled(id)};
  }
  statusPorts_->setText(PortStatusText(connected_, chinese_, lines));

  EnableLinkedControls(connected_);

  const QDateTime now = QDateTime::currentDateTime();
  statusTime_->setText(QLocale::system().toString(now.date(), QLocale::ShortFormat) +
                       QLatin1Char(' ') + now.toString(QStringLiteral("HH:mm:ss")));

  statusLevel_->setText(AccessLevelText(accessLevel_, chinese_));
  const bool setup = LevelOpensSetup(accessLevel_);
  menuItemSystemSetup_->setEnabled(setup);
  menuItemDVRSetup_->setEnabled(setup);
  btnSystemSetup_->setEnabled(setup);

  ShowToolbarBevels();

  if (family_ == 12)
    statusPorts_->setText(CellTableStatusText(wall_.Rows(), wall_.Cols(), RegisteredCells()));
}
