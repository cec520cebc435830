#pragma once

#include <QString>
#include <stdexcept>

// Raised when a serial port cannot be opened; the only error object the link
// throws. what() holds the text in UTF-8, Text() the text itself.
class ECommsError : public std::runtime_error {
 public:
  explicit ECommsError(const QString& text);
  QString Text() const { return text_; }

 private:
  QString text_;
};
