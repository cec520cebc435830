#pragma once

#include <QString>
#include <functional>

// How a dialog outside the application shell learns the interface language
// and its fixed captions. The shell owns the language table and hands these
// two questions in, so that the rooms do not depend on the shell.
struct TWindowTexts {
  // True while the interface language is Chinese; asked at each showing and
  // for each message.
  std::function<bool()> chinese;
  // The caption under key in the language table, in the interface language
  // of the moment. A null text when there is no table at all (the window
  // keeps its designed caption); an empty one when only the key is missing.
  std::function<QString(const QString& key)> caption;

  bool Chinese() const { return !chinese || chinese(); }
  // Null (keep the designed caption) when no lookup is set.
  QString Caption(const QString& key) const { return caption ? caption(key) : QString(); }
};
