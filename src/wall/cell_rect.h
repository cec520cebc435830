#pragma once

// The selected rectangle of the wall grid, 0-based, inclusive on all sides.
// An empty rectangle (nothing selected) has right < left.
struct TCellRect {
  int left = 0;
  int top = 0;
  int right = -1;
  int bottom = -1;

  bool Empty() const { return right < left || bottom < top; }
  bool Contains(int column, int row) const {
    return !Empty() && left <= column && column <= right && top <= row && row <= bottom;
  }
  int Count() const { return Empty() ? 0 : (right - left + 1) * (bottom - top + 1); }
  bool operator==(const TCellRect&) const = default;
};
