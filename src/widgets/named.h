#pragma once

#include <QString>

// Gives a newly made control its object name and hands it back, so a form
// can build, name and keep a control in one line.
template <typename W>
W* Named(W* widget, const char16_t* name) {
  widget->setObjectName(QString::fromUtf16(name));
  return widget;
}
