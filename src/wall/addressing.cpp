#include "wall/addressing.h"

#include "link/cell_address.h"
#include "link/protocol.h"
#include "wall/family_codes.h"

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
  } else if (in.family == kQnT1Family) {
    useUnit(kRotatingUnitAddress);
  } else if (in.family == kQn23Family) {
    if (ticked) useUnit(switcher);
  } else if (longMode && ticked && in.switcherLabel == u"QN-23") {
    useUnit(switcher);
  }
  if (longMode) apply = true;

  if (in.family != kMixerFamily && ticked && in.switcherLabel == u"PL-39") {
    useUnit(kMixerAddress);
    apply = true;
  }
  if (in.family != kQnT1Family && ticked && in.switcherLabel == u"QN-T1") {
    useUnit(kRotatingUnitAddress);
    apply = true;
  }

  if (fromSelection && in.selection.Empty()) return false;
  const bool unitFamily =
      in.family == kMixerFamily || in.family == kQn23Family || in.family == kQnT1Family;
  if (!unitFamily && !apply) return true;  // the selection's address stays as set
  if (fromSelection) return SelectionAddress(in.selection, protocol);
  protocol.SetAddress(unit, unit);
  return true;
}
