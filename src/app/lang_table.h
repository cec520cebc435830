#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

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

// One section of a language table, read in one pass over one snapshot of the
// file, so that a window loading many texts opens the file once and sees one
// consistent version of it. Reading follows the profile-file rules: LF or
// CRLF lines, GBK unless the file starts with a UTF-8 byte order mark,
// sections and keys without regard to case, the first of duplicate sections
// or keys wins, values without surrounding blanks, ';' lines are comments.
// Any content loads: garbage lines are skipped, undecodable bytes give
// replacement characters, and a file beyond kMaxBytes is not read at all.
class TLangTable {
 public:
  static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

  TLangTable() = default;
  // The section of lang.ini in the program's directory.
  static TLangTable Load(const QString& section);
  static TLangTable LoadFile(const QString& path, const QString& section);
  // The section of a table read from these bytes (the file's whole content).
  static TLangTable FromBytes(QByteArray bytes, const QString& section);

  // The file was there (it may still have lacked the section).
  bool Exists() const { return exists_; }
  // The text under key; the empty text when missing.
  QString Text(QStringView key) const;
  bool Contains(QStringView key) const;
  qsizetype Count() const { return texts_.size(); }

 private:
  bool exists_ = false;
  QHash<QString, QString> texts_;  // case-folded key -> text
};
