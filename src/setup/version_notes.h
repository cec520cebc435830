#pragma once

#include <QString>
#include <QStringList>

// The version notes ("version.cfg" in the program's folder), read for the
// version dialog: GBK text, any damage replaced, at most kMaxBytes of it, so
// that neither garbage nor a huge file can hurt the window that shows it.
struct TVersionNotes {
  static constexpr qint64 kMaxBytes = 1024 * 1024;

  QStringList lines;  // empty when the file is missing
  bool truncated = false;
  QString error;  // the file exists but could not be read

  static TVersionNotes Read(const QString& path, qint64 maxBytes = kMaxBytes);
  // The notes in a file's first bytes; more than maxBytes of them means the
  // file is longer and is cut.
  static TVersionNotes FromBytes(QByteArray bytes, qint64 maxBytes = kMaxBytes);
  // The line that ends a cut-off memo.
  static QString TruncatedLine(bool chinese);
};
