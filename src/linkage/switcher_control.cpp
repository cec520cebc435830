#include "linkage/switcher_control.h"

#include <iterator>

#include "core/pauser.h"
#include "link/cell_address.h"
#include "link/protocol.h"
#include "link/scene_recorder.h"
#include "link/send_path.h"
#include "wall/addressing.h"

static_assert(TProtocol::kBufferSize == 9, "the frame buffer holds one TProtocol frame");

namespace {

constexpr quint8 kCommandItem = 3;  // scene item of a plain command frame
constexpr quint8 kQn22Tag = 3;      // the address-mode tag of the "公共通道" page

// The USB player keys in code order.
using KeyBuilder = int (TProtocol::*)(quint8*);
constexpr KeyBuilder kUsbKeys[] = {
    &TProtocol::UsbKeyUp,         &TProtocol::UsbKeyDown,        &TProtocol::UsbKeyLeft,
    &TProtocol::UsbKeyRight,      &TProtocol::UsbKeyPlay,        &TProtocol::UsbKeyPause,
    &TProtocol::UsbKeyExit,       &TProtocol::UsbKeyFastForward, &TProtocol::UsbKeyRewind,
    &TProtocol::UsbKeyStop,       &TProtocol::UsbKeyOk,          &TProtocol::UsbKeyVolumeUp,
    &TProtocol::UsbKeyVolumeDown,
};

}  // namespace

TSwitcherControl::TSwitcherControl(TProtocol& protocol, TSendPath& send, Pauser& pauser)
    : protocol_(protocol), send_(send), pauser_(pauser) {}

int TSwitcherControl::Switch(TSwitcherModel model, int unitIndex, int channelIndex,
                             bool allUnitsFlag) {
  const std::span<const TSwitcherChannel> channels = SwitcherChannels(model);
  const int units = SwitcherUnitCount(model);
  if (channelIndex < 0 || channelIndex >= static_cast<int>(channels.size())) return 0;
  if (unitIndex < 0 || unitIndex > units) return 0;
  const TSwitcherChannel& channel = channels[static_cast<std::size_t>(channelIndex)];
  if (unitIndex != 0) {
    SendToUnit(SwitcherUnitAddress(model, unitIndex), channel);
    return 1;
  }
  if (allUnitsFlag && model != TSwitcherModel::PL39) return 0;
  for (int unit = 1; unit <= units; ++unit) {
    if (progress) progress(unit - 1, units);
    SendToUnit(SwitcherUnitAddress(model, unit), channel);
  }
  if (progress) progress(units, units);
  return units;
}

bool TSwitcherControl::PanelSend(int unitIndex, int kind, bool unitAddress,
                                 const TCellRect& selection) {
  const std::span<const TSwitcherChannel> kinds = SwitcherChannels(TSwitcherModel::QN23);
  if (kind < 0 || kind >= static_cast<int>(kinds.size())) return false;
  if (unitAddress) {
    if (unitIndex < 0 || unitIndex >= SwitcherUnitCount(TSwitcherModel::QN23)) return false;
    const quint16 unit = SwitcherUnitAddress(TSwitcherModel::QN23, unitIndex + 1);
    protocol_.SetAddress(unit, unit);
  } else if (!SelectionAddress(selection, protocol_)) {
    return false;
  }
  BuildChannel(kinds[static_cast<std::size_t>(kind)]);
  send_.SendSwitcherFrame(frame_);
  pauser_.Pause(kUnitPause);
  return true;
}

bool TSwitcherControl::SetMixerOutputResolution(int type) {
  if (type < 0 || type > 3) return false;
  protocol_.SetAddress(kMixerAddress, kMixerAddress);
  PrepareCommandItem();
  protocol_.SetOutputResolution(type, frame_);
  send_.SendFrame(frame_);
  return true;
}

bool TSwitcherControl::SendUsbKey(int code, const TUsbKeyInput& keys,
                                  const TSettingsAddressInput& settings) {
  if (code < 0 || code >= static_cast<int>(std::size(kUsbKeys))) return false;
  if (!SelectionAddress(keys.selection, protocol_)) return false;
  PrepareCommandItem();
  if (keys.publicChannelApplies) protocol_.SetAddressMode(kQn22Tag, keys.publicChannel ? 1 : 0);
  if (!SettingsAddress(settings, protocol_)) return false;
  const KeyBuilder build = kUsbKeys[static_cast<std::size_t>(code)];
  (protocol_.*build)(frame_);
  send_.SendFrame(frame_);
  return true;
}

void TSwitcherControl::SendToUnit(quint16 address, const TSwitcherChannel& channel) {
  protocol_.SetAddress(address, address);
  BuildChannel(channel);
  send_.SendSwitcherFrame(frame_);
  pauser_.Pause(kUnitPause);
}

void TSwitcherControl::BuildChannel(const TSwitcherChannel& channel) {
  // A QN-22 wall broadcasting on its public channel must not turn a command
  // for one switcher unit into one for every device on the line: the unit's
  // own address goes out, and the wall's mode stays as the operator set it.
  const quint8 tag = protocol_.AddressModeTag();
  const quint8 publicChannel = protocol_.PublicChannel();
  if (protocol_.Broadcast()) protocol_.SetAddressMode(tag, 0);
  if (channel.source == 4)
    protocol_.SelectDvi(channel.dviFlag, frame_);
  else
    protocol_.SelectSource(channel.source, frame_);
  protocol_.SetAddressMode(tag, publicChannel);
}

void TSwitcherControl::PrepareCommandItem() {
  if (recorder_ && recorder_->Recording()) recorder_->PrepareItem(kCommandItem, 0, {});
}
