#pragma once

#include <QtGlobal>
#include <optional>

// The wall cell a short frame's one-byte address stands for. The packing
// keeps only the low 8 bits of "row then column as hexadecimal numerals", so
// above 15 rows or columns several cells share one byte (1,1 and 1,17 and
// 17,1 are all 0x11). The candidates are the cells of the wall whose packed
// value is the byte; of these the first in row-major order wins, which is the
// plain two-nibble reading whenever that lies inside the wall. For the end of
// a rectangle the first candidate that is not above or left of the start
// wins, so that start and end still span a rectangle.
struct TShortAddress {
  int row = 0;
  int col = 0;
  bool operator==(const TShortAddress&) const = default;
};

// std::nullopt when no cell of a rows x cols wall packs to the byte.
std::optional<TShortAddress> UnpackShortAddress(quint8 packed, int rows, int cols);
// The end cell of a rectangle that starts at start.
std::optional<TShortAddress> UnpackShortEnd(quint8 packed, TShortAddress start, int rows, int cols);
