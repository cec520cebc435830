#pragma once

#include <QString>
#include <stdexcept>

// Ends a running action before its next frame because something it drives is
// gone (a serial line hung up). What was sent stays sent; the action runner
// shows the text once the action is over.
class TActionStopped : public std::runtime_error {
 public:
  explicit TActionStopped(const QString& text)
      : std::runtime_error(text.toStdString()), text_(text) {}
  QString Text() const { return text_; }

 private:
  QString text_;
};
