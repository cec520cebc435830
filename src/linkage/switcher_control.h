#pragma once

#include <QtGlobal>
#include <functional>

#include "linkage/switcher_units.h"
#include "wall/cell_rect.h"

class Pauser;
class TProtocol;
class TSceneRecorder;
class TSendPath;
struct TSettingsAddressInput;

// What the USB remote's key sender reads from the main window.
struct TUsbKeyInput {
  TCellRect selection;
  bool publicChannelApplies = false;  // the family's page has the "公共通道" box
  bool publicChannel = false;         // its state
};

// Drives the mixer and the external switchers: the switcher command for one
// unit or for "ALL" units, the QN-23 family's source buttons, the mixer's
// output resolution and the USB remote's keys. Frames for the switcher units
// go through SendSwitcherFrame, each followed by a 50 ms pause through the
// Pauser; "ALL" reports its progress per unit. Everything runs on the
// user-interface thread, inside the window's one-action runner.
class TSwitcherControl {
 public:
  static constexpr int kUnitPause = 50;  // ms after each switcher frame

  TSwitcherControl(TProtocol& protocol, TSendPath& send, Pauser& pauser);

  void SetRecorder(TSceneRecorder* recorder) { recorder_ = recorder; }  // nullptr = off
  // Progress of an "ALL" run: done (0-based) of total units, then total of total.
  std::function<void(int done, int total)> progress;

  // The switcher command: unitIndex is the address list's index (0 "ALL",
  // n unit n), channelIndex the channel list's. "ALL" runs every unit in
  // turn; for QN-23 and QN-T1 it sends nothing when allUnitsFlag is set.
  // Indexes outside the model's lists send nothing. Returns the frames sent.
  // A matrix delay that does not convert throws TConversionError unsent.
  int Switch(TSwitcherModel model, int unitIndex, int channelIndex, bool allUnitsFlag = false);
  // The QN-23 family's source buttons: kind 0..6 as the QN-23 channel list.
  // With unitAddress ticked the frame goes to unit unitIndex + 1, otherwise
  // to the selection, and nothing is sent without one. Returns whether sent.
  bool PanelSend(int unitIndex, int kind, bool unitAddress, const TCellRect& selection);
  // The mixer's output resolution 0..3 at (30, 30); other types send nothing.
  bool SetMixerOutputResolution(int type);
  // One key of the USB remote, code 0x00..0x0C: to the selection, or to the
  // unit that takes settings commands. Nothing without a selection.
  bool SendUsbKey(int code, const TUsbKeyInput& keys, const TSettingsAddressInput& settings);

 private:
  void SendToUnit(quint16 address, const TSwitcherChannel& channel);
  void BuildChannel(const TSwitcherChannel& channel);
  void PrepareCommandItem();

  TProtocol& protocol_;
  TSendPath& send_;
  Pauser& pauser_;
  TSceneRecorder* recorder_ = nullptr;
  quint8 frame_[9] = {};
};
