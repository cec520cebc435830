// TQuvialForm: the system setup dialog. The dialog lives in the setup room;
// the main window gives it one setting path (a catalogue command to the
// selection by the settings address rule), the frame builder and a send seam
// for the frames it builds (ID, read-ID, timer), and the level, family, selection and row and
// column lists it reads at each showing.

#include <QAction>
#include <QComboBox>
#include <QToolButton>
#include <algorithm>

#include "app/quvial_form.h"
#include "setup/setup_form.h"
#include "setup/subtitle_tab_view.h"
#include "wall/addressing.h"
#include "wall/wall_grid_view.h"

namespace {

constexpr quint8 kCommandItem = 3;  // scene item of a plain command frame

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

}  // namespace

void TQuvialForm::WireSystemSetup() {
  connect(menuItemSystemSetup_, &QAction::triggered, this, [this] { OpenSetupForm(false); });
  connect(btnSystemSetup_, &QToolButton::clicked, this, [this] {
    if (btnSystemSetup_->isDown()) return;  // still shown pressed
    OpenSetupForm(true);
  });
}

void TQuvialForm::OpenSetupForm(bool fromToolbar) {
  if (fromToolbar) PressToolButton(btnSystemSetup_);
  if (!setupForm_) {
    TSetupServices services;
    services.texts = WindowTexts();
    services.setting = [this](quint8 cls, quint8 code, TSettingRoute route) {
      SendSetting(cls, code, route);
    };
    services.protocol = &protocol_;
    services.send = [this](const QByteArray& bytes, bool raw) { SendBuiltFrame(bytes, raw); };
    services.accessLevel = [this] { return accessLevel_; };
    services.rowItems = [this] { return Items(cbbRow_); };
    services.colItems = [this] { return Items(cbbCol_); };
    services.selectedCells = [this] { return grid_->Selection().Count(); };
    services.clock = [this] {
      return sendPath_->clock ? sendPath_->clock() : QDateTime::currentDateTime();
    };
    services.family = family_;
    setupForm_ = new TSetupForm(std::move(services), this);
    connect(setupForm_, &TSetupForm::autoRegisterRequested, this, [this] {
      if (autoRegistration) RunAction(autoRegistration);
    });
    // The rooms that supply the subtitle and network tabs install them here.
    InstallNetworkTab();
    setupForm_->InstallSubtitleTab(
        new TSubtitleTabView({WindowTexts(), broadcastSearch_.get(), gatewayWaiter_.get()}));
  }
  setupForm_->show();
  setupForm_->raise();
  setupForm_->activateWindow();
}

void TQuvialForm::SendSetting(quint8 cls, quint8 code, TSettingRoute route) {
  RunAction([this, cls, code, route] {
    const TWallContext ctx = WallContext();
    if (route == TSettingRoute::Selection) {
      if (!SelectionAddress(ctx.selection, protocol_)) return;  // nothing selected
    } else {
      // The rotating and mixer families, and a switcher in use, take the
      // command at their fixed unit address; the wall needs a selection.
      TSettingsAddressInput in;
      in.family = ctx.family;
      in.mixerSwitchTicked = ctx.mixerSwitchTicked;
      in.switcherLabel = ctx.switcherLabel;
      in.switcherAddressIndex = ctx.switcherAddressIndex;
      in.selection = ctx.selection;
      if (!SettingsAddress(in, protocol_)) return;
      if (route == TSettingRoute::FamilyMode) {
        if (const auto tag = TWallCommands::PowerButtonTag(family_))
          protocol_.SetAddressMode(*tag, ctx.publicChannel ? 1 : 0);
      }
    }
    if (SceneRecording()) scene_->PrepareItem(kCommandItem, 0, {});
    quint8 frame[TProtocol::kBufferSize] = {};
    protocol_.BuildFrame(cls, code, frame);
    sendPath_->SendFrame(frame);
  });
}

void TQuvialForm::SendBuiltFrame(const QByteArray& bytes, bool raw) {
  RunAction([this, bytes, raw] {
    if (SceneRecording()) scene_->PrepareItem(kCommandItem, 0, {});
    const auto* octets = reinterpret_cast<const quint8*>(bytes.constData());
    if (raw) {
      sendPath_->SendRawFrame(octets, static_cast<int>(bytes.size()));
    } else if (bytes.size() <= TProtocol::kBufferSize) {
      quint8 frame[TProtocol::kBufferSize] = {};
      std::copy(bytes.begin(), bytes.end(), frame);
      sendPath_->SendFrame(frame);
    }
  });
}
