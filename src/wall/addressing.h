#pragma once

#include <QString>

#include "wall/cell_rect.h"

class TProtocol;

// Gives the frame builder the selection's address: start = top-left and end =
// bottom-right cell, each (row + 1) * 256 + (column + 1). Returns true; an
// empty selection changes nothing and returns false.
bool SelectionAddress(const TCellRect& selection, TProtocol& protocol);

// What the settings-address rule reads from the main window.
struct TSettingsAddressInput {
  quint8 family = 0;               // device family index
  bool mixerSwitchTicked = false;  // cbMixerSwitch
  QString switcherLabel;           // lblSwitcherName: "PL-39", "QN-23", "QN-T1"
  int switcherAddressIndex = 0;    // cbbSwitcherAddress: 0 "ALL" -> column 1, n -> n
  TCellRect selection;
};

// Redirects picture, maintenance and USB-key commands to the unit that takes
// them instead of the wall: the mixer (30, 30) for the mixer family or a
// PL-39 switcher in use, the rotating unit (29, 1) for QN-T1, the chosen
// QN-23 switcher unit (30, n). The frame mode is the protocol's; in short
// mode other families keep the address they have unless a switcher in use
// redirects it. Returns false, changing nothing, when the address to use is
// the wall selection and nothing is selected.
bool SettingsAddress(const TSettingsAddressInput& in, TProtocol& protocol);
