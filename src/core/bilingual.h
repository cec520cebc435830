#pragma once

#include <QString>

// Every run-time text (message boxes, status texts, list entries built by the
// program) exists in Chinese and in English; the interface language picks one
// at the moment the text is shown. Going through this one function keeps both
// forms side by side in the source, where a check of the sources can see
// that none is missing its English form.
inline QString Bilingual(bool chinese, const char16_t* chs, const char16_t* eng) {
  return QString::fromUtf16(chinese ? chs : eng);
}
