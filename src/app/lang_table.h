#pragma once

#include <QString>

// The language table lang.ini in the program's directory: sections "chs"
// and "eng", one key per fixed caption. It is read afresh at every load, so
// edits take effect the next time a window loads its texts.

// "eng" for the interface language 2 (English), "chs" for anything else.
QString LangSection(int lang);

// The caption stored under key in section; the empty text when the file,
// section or key is missing.
QString LangText(const QString& section, const QString& key);

// Whether lang.ini exists at all. Windows keep their designed captions when
// there is no table; with a table, a missing key gives an empty caption.
bool LangTableExists();
