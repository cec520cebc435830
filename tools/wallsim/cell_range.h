#pragma once

#include <QString>

// A rectangle of wall screens, 1-based and inclusive, as the splicers count.
struct TCellRange {
  int top = 1;
  int left = 1;
  int bottom = 1;
  int right = 1;

  bool Contains(int row, int col) const {
    return top <= row && row <= bottom && left <= col && col <= right;
  }
  bool Single() const { return top == bottom && left == right; }
  // "1-1..2-2"
  QString Text() const {
    return QStringLiteral("%1-%2..%3-%4").arg(top).arg(left).arg(bottom).arg(right);
  }
  bool operator==(const TCellRange&) const = default;
};
