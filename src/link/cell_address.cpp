#include "link/cell_address.h"

quint8 PackShortAddress(quint16 address) {
  const unsigned row = CellRow(address);
  const unsigned column = CellColumn(address);
  // Appending the column's numeral shifts the row's numeral left by one
  // hexadecimal digit per digit of the column ("0" counts as one digit).
  const unsigned columnDigits = column < 0x10 ? 1 : 2;
  return static_cast<quint8>(((row << (4 * columnDigits)) | column) & 0xFF);
}
