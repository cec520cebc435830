#include "setup/version_notes.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

#include "core/bilingual.h"
#include "core/gbk.h"

TVersionNotes TVersionNotes::Read(const QString& path, qint64 maxBytes) {
  TVersionNotes notes;
  if (!QFileInfo::exists(path)) return notes;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    notes.error = file.errorString();
    return notes;
  }
  QByteArray bytes = file.read(maxBytes + 1);
  if (file.error() != QFileDevice::NoError) {
    notes.error = file.errorString();
    return notes;
  }
  return FromBytes(std::move(bytes), maxBytes);
}

TVersionNotes TVersionNotes::FromBytes(QByteArray bytes, qint64 maxBytes) {
  TVersionNotes notes;
  if (bytes.size() > maxBytes) {
    notes.truncated = true;
    bytes.truncate(maxBytes);
    // The cut line is left out rather than shown half (unless it is all there is).
    const qsizetype lastBreak = bytes.lastIndexOf('\n');
    if (lastBreak >= 0) bytes.truncate(lastBreak);
  }
  QString text = Gbk::Decode(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  // A NUL or other control byte would show as nothing useful: a visible mark.
  for (QChar& ch : text)
    if (ch.unicode() < 0x20 && ch != u'\n' && ch != u'\t') ch = QChar(0xFFFD);
  notes.lines = text.split(u'\n');
  if (!notes.lines.isEmpty() && notes.lines.last().isEmpty()) notes.lines.removeLast();
  return notes;
}

QString TVersionNotes::TruncatedLine(bool chinese) {
  return Bilingual(chinese, u"（文件过长，只显示了前 1 MB）",
                   u"(the file is too long: only its first 1 MB is shown)");
}
