#include "byte_cursor.h"

#include <algorithm>

bool TByteCursor::Next(int& value) {
  if (failed_) return false;
  if (pos_ >= bytes_.size()) {
    failed_ = short_ = true;
    return false;
  }
  value = static_cast<quint8>(bytes_[pos_++]);
  return true;
}

bool TByteCursor::Mismatch() {
  failed_ = true;
  return false;
}

bool TByteCursor::Byte(quint8 expected) {
  int value = 0;
  if (!Next(value)) return false;
  return value == expected || Mismatch();
}

bool TByteCursor::Text(const char* ascii) {
  for (; *ascii; ++ascii)
    if (!Byte(static_cast<quint8>(*ascii))) return false;
  return true;
}

bool TByteCursor::Any(int& value) { return Next(value); }

bool TByteCursor::OneOf(std::initializer_list<int> allowed, int& value) {
  if (!Next(value)) return false;
  return std::find(allowed.begin(), allowed.end(), value) != allowed.end() || Mismatch();
}

bool TByteCursor::Digits(int count, int& value) {
  value = 0;
  for (int i = 0; i < count; ++i) {
    int ch = 0;
    if (!Next(ch)) return false;
    if (ch < '0' || ch > '9') return Mismatch();
    value = value * 10 + (ch - '0');
  }
  return true;
}

bool TByteCursor::Number(int maxDigits, int& value) {
  if (failed_) return false;
  value = 0;
  int digits = 0;
  while (pos_ < bytes_.size()) {
    const char ch = bytes_[pos_];
    if (ch < '0' || ch > '9') break;
    if (++digits > maxDigits) return Mismatch();
    value = value * 10 + (ch - '0');
    ++pos_;
  }
  if (digits > 0) return true;
  if (pos_ >= bytes_.size()) {
    failed_ = short_ = true;
    return false;
  }
  return Mismatch();
}
