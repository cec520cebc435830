#pragma once

#include <QString>
#include <QStringList>

#include "core/profile_file.h"
#include "setup/subtitle_packet.h"

// The subtitle tab's files in the program's directory: "netosd.ini" (section
// "netosd": the text as "msg", the speed, the single-line position and motion
// and the font) and "osdtext.txt", the text's full copy in GBK, one line per
// text line, which wins over "msg" when it exists. The several-lines choices,
// the layout and the screen are not stored.
//
// "msg" holds the lines joined by CR LF with every backslash, CR, LF and NUL
// written as "\\", "\r", "\n" and "\0", so that no text can add a line,
// section or key to the file; reading reverses it.
class TSubtitleSettingsFile {
 public:
  // Larger files and values are damage: they are skipped and noted.
  static constexpr qint64 kMaxTextFileBytes = 256 * 1024;
  static constexpr int kMaxStoredChars = 64 * 1024;

  // Both files in dir.
  explicit TSubtitleSettingsFile(const QString& dir);
  static TSubtitleSettingsFile InProgramDir();

  // Applies the stored settings onto settings: nothing when "netosd.ini" is
  // missing; otherwise the text, the speed, position and motion (a value out
  // of range changes nothing) and the font (colour, height, face, then the
  // size, which decides the height; a missing or unusable value changes
  // nothing); then the text from "osdtext.txt" if it exists. Returns one
  // note per skipped damaged value or file, for the tab's log.
  QStringList Load(TSubtitleSettings& settings, bool chinese) const;

  // Writes every key of "netosd.ini" in one rewrite, then "osdtext.txt";
  // each atomically. False when either could not be written.
  bool Save(const TSubtitleSettings& settings);

  static QString EscapeText(const QStringList& lines);
  static QStringList UnescapeText(const QString& stored);

  // The halves of Load and Save over contents in memory: the settings stored
  // in "netosd.ini" applied onto settings (with the notes), the keys Save
  // writes there, and the lines of an "osdtext.txt".
  static QStringList ApplyIni(const TProfileText& ini, TSubtitleSettings& settings, bool chinese);
  static TProfileText::TEntries IniEntries(const TSubtitleSettings& settings);
  static QStringList TextFileLines(const QByteArray& bytes);

  const QString& IniPath() const { return ini_.Path(); }
  const QString& TextPath() const { return textPath_; }

 private:
  TProfileFile ini_;
  QString textPath_;
};
