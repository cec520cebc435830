// TQuvialForm: the mixer and the switchers. The switcher group ("混合切换器"
// with the model label, the address and channel lists), the mixer family's
// panel in place of the wall, the QN-23 page's switcher sources and the USB
// channel remote with its toolbar button. Every send runs through the
// one-action runner; the switcher logic is TSwitcherControl's.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/quvial_form.h"
#include "core/bilingual.h"
#include "core/conversion.h"
#include "linkage/matrix_setup_form.h"
#include "linkage/mixer_tr38_form.h"
#include "linkage/switcher_sources_view.h"
#include "linkage/usb_channel_form.h"
#include "wall/family_codes.h"
#include "wall/source_pages_view.h"
#include "wall/wall_grid_view.h"

namespace {

constexpr int kUsbKind = 5;  // the QN-23 sources "USB" and "SD Card" play from the unit

}  // namespace

void TQuvialForm::BuildSwitchers() {
  switchers_ = std::make_unique<TSwitcherControl>(protocol_, *sendPath_, pauser_);
  switchers_->progress = [this](int done, int total) { actionRunner_->Progress(done, total); };
  // Frames to the switcher and rotation units first wait the matrix delay
  // when it is ticked; a text that is not a whole number stops the action.
  sendPath_->matrixDelay = [this]() -> std::optional<int> {
    const TMatrixSettings& settings = matrixLinkage_->Settings();
    if (!settings.delayOn) return std::nullopt;
    return StrToInt(settings.delayText);
  };

  lblSwitcherAddress_->setObjectName(QStringLiteral("lblSwitcherAddr"));
  lblSwitcherAddress_->setText(Bilingual(chinese_, u"地址：", u"Address:"));
  lblSwitcherChannel_->setText(Bilingual(chinese_, u"输入通道：", u"Input channel:"));
  // Until a model is applied the lists are PL-39's.
  cbbSwitcherAddress_->addItems(SwitcherAddressItems(TSwitcherModel::PL39));
  cbbSwitcherChannel_->addItems(SwitcherChannelItems(TSwitcherModel::PL39));
  ShowSwitcherGroup(false);
  connect(cbMixerSwitch_, &QCheckBox::toggled, this, &TQuvialForm::MixerSwitchToggled);
  connect(cbbSwitcherChannel_, &QComboBox::activated, this, &TQuvialForm::SwitcherChannelActivated);
  wallCommands_->switcherLinkage = [this](int) { SwitcherLinkage(); };
  // OK in the matrix setup dialog may have chosen another model.
  matrixSetupForm_->accepted = [this, stored = matrixSetupForm_->accepted] {
    if (stored) stored();
    if (cbMixerSwitch_->isChecked()) ApplySwitcherModel();
  };

  if (family_ == kMixerFamily) {
    // The mixer's panel fills the wall area in place of the grid.
    auto* wallArea = qobject_cast<QSplitter*>(grid_->parentWidget());
    mixerPanel_ = new TMixerTR38Form(WindowTexts(), wallArea);
    if (wallArea) wallArea->insertWidget(wallArea->indexOf(grid_), mixerPanel_);
    connect(mixerPanel_, &TMixerTR38Form::sourceClicked, this, [this](int source) {
      RunAction(
          [this, source] { wallCommands_->SelectSource(source, true, false, WallContext()); });
    });
    connect(mixerPanel_, &TMixerTR38Form::resolutionClicked, this, [this](int type) {
      RunAction([this, type] { switchers_->SetMixerOutputResolution(type); });
    });
  }

  if (QWidget* page = sourcePages_->Page(kQn23Family)) {
    switcherSources_ = new TSwitcherSourcesView(page);
    if (auto* layout = qobject_cast<QVBoxLayout*>(page->layout()))
      layout->insertWidget(layout->count() - 1, switcherSources_);  // above the stretch
    connect(switcherSources_, &TSwitcherSourcesView::kindClicked, this,
            &TQuvialForm::SwitcherSourceClicked);
  }

  usbChannelForm_ = new TUSBChannelForm(WindowTexts(), this);
  usbChannelForm_->volumeKeysShown = [this] {
    return UsbVolumeKeysShown(family_, cbMixerSwitch_->isChecked(), lblSwitcherName_->text());
  };
  connect(usbChannelForm_, &TUSBChannelForm::keyClicked, this, &TQuvialForm::SendUsbKey);
  connect(btnUSBChannel_, &QToolButton::clicked, this, &TQuvialForm::OpenUsbChannelForm);
}

void TQuvialForm::ShowSwitcherGroup(bool on) {
  // The rotating model's group never shows the model label.
  lblSwitcherName_->setVisible(on && family_ != kQnT1Family);
  for (QWidget* w : std::initializer_list<QWidget*>{lblSwitcherAddress_, cbbSwitcherAddress_,
                                                    lblSwitcherChannel_, cbbSwitcherChannel_})
    w->setEnabled(on);
}

void TQuvialForm::MixerSwitchToggled(bool on) {
  // Switcher frames travel on the splicer line or through the gateway.
  if (on && !ports_.Enabled(TPortId::Combine) && sendPath_->SendMode() != 1) {
    const QSignalBlocker block(cbMixerSwitch_);
    cbMixerSwitch_->setChecked(false);
    QMessageBox::warning(
        this, windowTitle(),
        Bilingual(chinese_, u"请先选择拼接串口", u"Please Setup Combine COM Port"));
    return;
  }
  ShowSwitcherGroup(on);
  if (on) ApplySwitcherModel();
}

void TQuvialForm::ApplySwitcherModel() {
  const QString name = matrixSetupForm_->MixerModel();
  lblSwitcherName_->setText(name);
  const TSwitcherModel model = SwitcherModelNamed(name).value_or(TSwitcherModel::PL39);
  const QSignalBlocker blockAddress(cbbSwitcherAddress_);
  const QSignalBlocker blockChannel(cbbSwitcherChannel_);
  cbbSwitcherAddress_->clear();
  cbbSwitcherAddress_->addItems(SwitcherAddressItems(model));
  cbbSwitcherAddress_->setCurrentIndex(1);  // unit "1"
  cbbSwitcherChannel_->clear();
  cbbSwitcherChannel_->addItems(SwitcherChannelItems(model));
  cbbSwitcherChannel_->setCurrentIndex(0);
}

void TQuvialForm::SwitcherChannelActivated(int index) {
  if (!cbMixerSwitch_->isChecked()) return;
  RunAction([this, index] {
    if (const auto model = SwitcherModelNamed(lblSwitcherName_->text()))
      switchers_->Switch(*model, cbbSwitcherAddress_->currentIndex(), index);
    if (SwitcherChannelOpensUsbRemote(cbbSwitcherChannel_->itemText(index)))
      wallCommands_->SetUsbRemote(true);
  });
}

void TQuvialForm::SwitcherLinkage() {
  // Runs inside the selection's action, after its matrix and DVR linkage.
  const auto model = SwitcherModelNamed(lblSwitcherName_->text());
  if (!model || *model == TSwitcherModel::QNT1) return;
  switchers_->Switch(*model, cbbSwitcherAddress_->currentIndex(),
                     cbbSwitcherChannel_->currentIndex());
}

void TQuvialForm::SwitcherSourceClicked(int kind) {
  RunAction([this, kind] {
    if (switchers_->PanelSend(switcherSources_->UnitIndex(), kind,
                              switcherSources_->UnitAddressTicked(), grid_->Selection()))
      wallCommands_->SetUsbRemote(kind >= kUsbKind);
  });
}

TSettingsAddressInput TQuvialForm::SwitcherSettingsInput() const {
  TSettingsAddressInput in;
  in.family = family_;
  in.mixerSwitchTicked = cbMixerSwitch_->isChecked();
  in.switcherLabel = lblSwitcherName_->text();
  in.switcherAddressIndex = cbbSwitcherAddress_->currentIndex();
  in.selection = grid_->Selection();
  return in;
}

void TQuvialForm::SendUsbKey(int code) {
  RunAction([this, code] {
    TUsbKeyInput keys;
    keys.selection = grid_->Selection();
    keys.publicChannelApplies = family_ == kQn22Family;
    keys.publicChannel = sourcePages_->PublicChannel();
    switchers_->SendUsbKey(code, keys, SwitcherSettingsInput());
  });
}

void TQuvialForm::OpenUsbChannelForm() {
  // Lowered (no USB source in use, or still showing a press): no remote.
  if (btnUSBChannel_->isDown() || !UsbRemote()) return;
  PressToolButton(btnUSBChannel_);
  usbChannelForm_->show();
  usbChannelForm_->raise();
  usbChannelForm_->activateWindow();
}

void TQuvialForm::LoadUsbRemoteTexts() { usbChannelForm_->LoadTexts(); }

void TQuvialForm::LoadMixerPanelTexts() {
  if (mixerPanel_) mixerPanel_->LoadTexts();
}
