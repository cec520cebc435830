#pragma once

#include <QtGlobal>

// A wall cell as the splicers address it: row in the high byte, column in the
// low byte, both counted from 1 (the top-left screen is 0x0101). Units that are
// not wall screens answer to fixed pseudo-addresses of the same form.
constexpr quint16 CellAddress(int row1, int column1) {
  return static_cast<quint16>(((row1 & 0xFF) << 8) | (column1 & 0xFF));
}

constexpr int CellRow(quint16 address) { return address >> 8; }
constexpr int CellColumn(quint16 address) { return address & 0xFF; }

// The mixer/switcher family and the rotating-output unit.
inline constexpr quint16 kMixerAddress = CellAddress(30, 30);
inline constexpr quint16 kRotatingUnitAddress = CellAddress(29, 1);

// A switcher of the QN-23 family: entry 0 of the address list ("ALL") is
// column 1, entry n is column n.
constexpr quint16 SwitcherAddress(int entry) { return CellAddress(30, entry <= 0 ? 1 : entry); }

// The short frame's one-byte form of an address: the row's and the column's
// hexadecimal numerals written one after the other and read back as one
// number, low 8 bits kept. Rows and columns 1 to 15 land in the two nibbles;
// larger values overflow them by the same rule (1,16 -> 0x10; 29,1 -> 0xD1).
quint8 PackShortAddress(quint16 address);
