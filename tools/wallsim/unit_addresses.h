#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// The units that answer on the splicer line at pseudo-addresses instead of
// wall screens, as the virtual wall names them:
//   "mixer"          (30, 30), also the first PL-39 switcher
//   "pl39-2".."pl39-9"  the other PL-39 switchers, (29, 30) (28, 30) (30, 29)
//                    (29, 29) (28, 29) (30, 28) (29, 28) (28, 28)
//   "switcher-1".."switcher-20"  QN-23 switchers, (30, n)
//   "rotating-unit"  (29, 1), also the first QN-T1 switcher
//   "qnt1-2".."qnt1-20"  the other QN-T1 switchers, (29, n)
struct TUnitAddress {
  int row;
  int col;
  QString name;
};

// The unit at a single address, if any.
std::optional<TUnitAddress> UnitAt(int row, int col);
// Every unit, in the order a short frame's ambiguous byte is matched.
const std::vector<TUnitAddress>& AllUnits();
// What the unit's panel calls the source it shows: the mixer and the PL-39
// switchers take their DVI input as code 0x04, which screens read as HDMI.
QString UnitChannelName(const QString& unit, int source);
