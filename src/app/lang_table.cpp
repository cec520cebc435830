#include "app/lang_table.h"

#include <QFileInfo>
#include <utility>

#include "core/atomic_file.h"
#include "core/gbk.h"
#include "core/profile_file.h"
#include "core/program_dir.h"

namespace {

QString LangPath() { return ProgramFile(QStringLiteral("lang.ini")); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

QByteArray Trimmed(const QByteArray& line) {
  qsizetype b = 0, e = line.size();
  while (b < e && IsBlank(line[b])) ++b;
  while (e > b && IsBlank(line[e - 1])) --e;
  return line.mid(b, e - b);
}

bool IsBlankChar(QChar c) { return c == u' ' || c == u'\t' || c == u'\r'; }

// Names lose the blanks the profile files' lines lose, and no other
// characters, so that a window finds the same caption here as through
// TProfileFile.
QString Fold(QStringView name) {
  while (!name.isEmpty() && IsBlankChar(name.front())) name = name.sliced(1);
  while (!name.isEmpty() && IsBlankChar(name.back())) name.chop(1);
  return name.toString().toCaseFolded();
}

}  // namespace

QString LangSection(int lang) { return lang == 2 ? QStringLiteral("eng") : QStringLiteral("chs"); }

QString LangText(const QString& section, const QString& key) {
  return TProfileFile(LangPath()).ReadString(section, key, QString());
}

bool LangTableExists() { return TProfileFile(LangPath()).Exists(); }

TLangTable TLangTable::Load(const QString& section) { return LoadFile(LangPath(), section); }

TLangTable TLangTable::LoadFile(const QString& path, const QString& section) {
  TLangTable table;
  const QFileInfo info(path);
  table.exists_ = info.isFile() && info.isReadable();
  // Reads no more than the file holds (a buffer of kMaxBytes for every load
  // would cost far more than a table of a few kilobytes); a larger file, one
  // that grew while being read or that vanished gives no texts.
  if (!table.exists_) return table;
  auto read = ReadWholeFile(path, kMaxBytes);
  if (!read) return table;
  return FromBytes(std::move(*read), section);
}

TLangTable TLangTable::FromBytes(QByteArray bytes, const QString& section) {
  TLangTable table;
  table.exists_ = true;
  const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
  if (utf8) bytes.remove(0, 3);
  auto decode = [utf8](const QByteArray& raw) {
    return utf8 ? DecodeUtf8Piece(raw) : Gbk::Decode(raw);
  };

  const QString wanted = Fold(section);
  enum class Where { Before, Inside, Done } where = Where::Before;
  qsizetype pos = 0;
  while (pos < bytes.size() && where != Where::Done) {
    qsizetype nl = bytes.indexOf('\n', pos);
    if (nl < 0) nl = bytes.size();
    const QByteArray line = Trimmed(bytes.mid(pos, nl - pos));
    pos = nl + 1;
    if (line.startsWith('[')) {
      // The closing bracket is looked for in the decoded text: in GBK, ']'
      // can be the second byte of a Chinese character.
      const QString text = decode(line.mid(1));
      const qsizetype close = text.indexOf(u']');
      if (close >= 0) {
        const bool match = Fold(QStringView(text).left(close)) == wanted;
        // The first section of that name wins; a later one is invisible.
        if (where == Where::Inside)
          where = Where::Done;
        else if (match)
          where = Where::Inside;
        continue;
      }
    }
    if (where != Where::Inside) continue;
    const qsizetype eq = line.indexOf('=');
    if (eq <= 0 || line.startsWith(';')) continue;
    const QString key = Fold(decode(Trimmed(line.left(eq))));
    if (table.texts_.contains(key)) continue;
    table.texts_.insert(key, decode(Trimmed(line.mid(eq + 1))));
  }
  return table;
}

QString TLangTable::Text(QStringView key) const { return texts_.value(Fold(key)); }

bool TLangTable::Contains(QStringView key) const { return texts_.contains(Fold(key)); }
