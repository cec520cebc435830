#pragma once

#include <QString>
#include <stdexcept>

// A number field that does not convert stops the action with this error; the
// window that started the action shows its message and changes nothing else.
class TConversionError : public std::runtime_error {
 public:
  explicit TConversionError(const QString& text);
  QString Text() const { return text_; }

 private:
  QString text_;
};

// Whole decimal number, blanks around it allowed, "0x"/"$" hexadecimal; throws
// TConversionError ("'abc' is not a valid integer value") otherwise.
int StrToInt(const QString& text);
