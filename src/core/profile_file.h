#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

#include "core/atomic_file.h"
#include "core/profile_text.h"

// A Windows profile (INI) file in the system's code page, read and written the
// way existing installations expect: sections and keys match without regard to
// case, a missing file, section or key gives the caller's default, and a write
// changes only the one line it concerns (every other byte, line ends included,
// stays as it was). Every read sees the latest write, also one made through
// another object over the same file; every write is atomic and on disk when it
// returns.
//
// Reading takes time and memory in proportion to the file's size, whatever it
// holds (lines without "=", many sections, binary garbage).
//
// Rules of reading:
// - Lines end in LF or CRLF. A UTF-8 byte order mark at the start is skipped,
//   and such a file is then read and written as UTF-8; any other file is GBK.
// - "[name]" (blanks allowed around and inside the brackets) starts a section;
//   "key=value" gives a value; any other line (comments, garbage) is ignored.
// - When a section or a key appears twice, the first one wins, for reads and
//   writes alike (as on Windows); the later duplicate is invisible.
// - Values come back without surrounding blanks (spaces, tabs, carriage
//   returns). Integers are decimal or, with a "0x"/"0X"/"$" prefix,
//   hexadecimal, with an optional sign and blanks around; anything else, or a
//   number outside int, gives the default.
// Rules of writing:
// - An existing key's line becomes "key=value" with the key spelled as it was
//   in the file; a new key goes at the end of its section, before trailing
//   blank lines; a new section ("[name]" as the writer spells it) goes at the
//   end of the file.
// - New lines take the file's own line end (that of its first line); a new
//   file uses CRLF, like the files made on Windows.
// - A write fails (returns false, file unchanged) when the file cannot be
//   read or replaced, or when a section, key or value would break the line
//   structure (line breaks or NUL anywhere, '=' in a key, ']' in a section,
//   empty names).
class TProfileFile {
 public:
  // access: who may read the file once this object has written it.
  explicit TProfileFile(QString path, TFileAccess access = TFileAccess::Shared);

  const QString& Path() const;
  bool Exists() const;

  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  int ReadInteger(const QString& section, const QString& key, int def) const;
  bool WriteString(const QString& section, const QString& key, const QString& value);
  bool WriteInteger(const QString& section, const QString& key, int value);
  // Several keys of one section in one rewrite of the file, in the order
  // given; nothing is written when any of them would be refused.
  using TEntries = TProfileText::TEntries;
  bool WriteStrings(const QString& section, const TEntries& entries);

  // Keys of a section in file order, spelled as in the file.
  QStringList ReadSection(const QString& section) const;
  // The file as it is now, parsed; empty when missing or unreadable.
  TProfileText Text() const;

 private:
  QString path_;
  TFileAccess access_;
};
