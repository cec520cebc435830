#pragma once

#include <QString>
#include <QStringList>

// The names of the external matrix's 512 inputs, kept in "chname.ini" in the
// program's directory (section [NAME], keys INDEX1 to INDEX512, GBK). Lists
// show an input as its number, one blank and its name ("3 Camera 3"; an
// unnamed input shows "3 "). Entry k (0-based) is input k + 1. Nothing is
// cached: every call reads the file as it is now.
class TChannelNames {
 public:
  static constexpr int kCount = 512;
  // Longest name a list shows; a longer stored value (a damaged file) is cut
  // so that a list of 512 entries stays usable.
  static constexpr int kMaxShownName = 256;

  // The file chname.ini in the program's directory.
  TChannelNames();
  explicit TChannelNames(QString path);
  static QString DefaultPath();

  const QString& Path() const { return path_; }

  // The 512 entry texts in input order. When the file is missing it is
  // created first with 512 empty names. Any file content gives 512 entries.
  QStringList Entries();
  // The stored name of entry index0 (0-based), cut to kMaxShownName; empty
  // for an unnamed input or an index outside 0..511.
  QString Name(int index0) const;
  // Writes INDEX(index0 + 1) = name at once. False, and nothing written, for
  // an index outside 0..511; false when the file cannot be written (the
  // caller may still show the new name until the next refill).
  bool Rename(int index0, const QString& name);

  // A stored name as lists show it: control characters blanked, cut to
  // kMaxShownName.
  static QString ShownName(QString stored);
  // The section and the key entry index0 is stored under ("INDEX1" for entry 0).
  static const QString& Section();
  static QString Key(int index0);
  // "n name" for entry index0: the input number, one blank, the name.
  static QString EntryText(int index0, const QString& name);

 private:
  void CreateFile();

  QString path_;
};
