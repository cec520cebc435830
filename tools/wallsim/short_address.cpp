#include "short_address.h"

#include "link/cell_address.h"

namespace {

std::optional<TShortAddress> FirstMatch(quint8 packed, int rows, int cols, int minRow, int minCol) {
  for (int r = minRow; r <= rows; ++r)
    for (int c = minCol; c <= cols; ++c)
      if (PackShortAddress(CellAddress(r, c)) == packed) return TShortAddress{r, c};
  return std::nullopt;
}

}  // namespace

std::optional<TShortAddress> UnpackShortAddress(quint8 packed, int rows, int cols) {
  return FirstMatch(packed, rows, cols, 1, 1);
}

std::optional<TShortAddress> UnpackShortEnd(quint8 packed, TShortAddress start, int rows,
                                            int cols) {
  if (auto end = FirstMatch(packed, rows, cols, start.row, start.col)) return end;
  return FirstMatch(packed, rows, cols, 1, 1);
}
