#include "wall/addressing.h"

#include "link/cell_address.h"
#include "link/protocol.h"

namespace {

constexpr quint8 kMixerFamily = 7;
constexpr quint8 kSwitcherFamily = 8;   // QN-23
constexpr quint8 kRotatingFamily = 10;  // QN-T1

}  // namespace

bool SelectionAddress(const TCellRect& selection, TProtocol& protocol) {
  if (selection.Empty()) return false;
  protocol.SetAddress(CellAddress(selection.top + 1, selection.left + 1),
                      CellAddress(selection.bottom + 1, selection.right + 1));
  return true;
}

bool SettingsAddress(const TSettingsAddressInput& in, TProtocol& protocol) {
  const bool longMode = protocol.LongFrames();
  const bool ticked = in.mixerSwitchTicked;
  const quint16 switcher = SwitcherAddress(in.switcherAddressIndex);

  // The address starts as the selection's and is replaced by a unit address
  // where one takes the command.
  bool fromSelection = true;
  quint16 unit = 0;
  auto useUnit = [&](quint16 address) {
    fromSelection = false;
    unit = address;
  };

  bool apply = false;
  if (in.family == kMixerFamily) {
    useUnit(kMixerAddress);
  } else if (in.family == kRotatingFamily) {
    useUnit(kRotatingUnitAddress);
  } else if (in.family == kSwitcherFamily) {
    if (ticked) useUnit(switcher);
  } else if (longMode && ticked && in.switcherLabel == u"QN-23") {
    useUnit(switcher);
  }
  if (longMode) apply = true;

  if (in.family != kMixerFamily && ticked && in.switcherLabel == u"PL-39") {
    useUnit(kMixerAddress);
    apply = true;
  }
  if (in.family != kRotatingFamily && ticked && in.switcherLabel == u"QN-T1") {
    useUnit(kRotatingUnitAddress);
    apply = true;
  }

  if (fromSelection && in.selection.Empty()) return false;
  const bool unitFamily =
      in.family == kMixerFamily || in.family == kSwitcherFamily || in.family == kRotatingFamily;
  if (!unitFamily && !apply) return true;  // the selection's address stays as set
  if (fromSelection) return SelectionAddress(in.selection, protocol);
  protocol.SetAddress(unit, unit);
  return true;
}
