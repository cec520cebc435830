#pragma once

#include <QByteArrayView>
#include <initializer_list>

// Reads a candidate command field by field from its first byte. A read
// either takes its bytes and succeeds or fails; the failure is "short" when
// the bytes ran out before the field could be judged (the rest of the
// command may still arrive) and a mismatch otherwise. After the first failure
// every read fails, so a parser can chain its reads with &&.
class TByteCursor {
 public:
  explicit TByteCursor(QByteArrayView bytes) : bytes_(bytes) {}

  bool Byte(quint8 expected);
  bool Text(const char* ascii);  // each character in turn
  bool Any(int& value);
  bool OneOf(std::initializer_list<int> allowed, int& value);
  // Exactly count ASCII digits.
  bool Digits(int count, int& value);
  // One to maxDigits ASCII digits; the first non-digit ends the number and
  // is left for the next read.
  bool Number(int maxDigits, int& value);

  bool Short() const { return short_; }
  qsizetype Pos() const { return pos_; }
  QByteArrayView Bytes() const { return bytes_; }

 private:
  bool Next(int& value);
  bool Mismatch();

  QByteArrayView bytes_;
  qsizetype pos_ = 0;
  bool failed_ = false;
  bool short_ = false;
};
