#include "core/profile_file.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <climits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/atomic_file.h"
#include "core/gbk.h"

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// [begin, end) without blanks on either side. Blank bytes never occur inside a
// GBK character, so trimming the raw bytes is safe.
std::pair<qsizetype, qsizetype> TrimRange(const QByteArray& b, qsizetype begin, qsizetype end) {
  while (begin < end && IsBlank(b[begin])) ++begin;
  while (end > begin && IsBlank(b[end - 1])) --end;
  return {begin, end};
}

QString Fold(const QString& name) { return name.trimmed().toCaseFolded(); }

// One physical line: [begin, end) is its text without the line end, next is
// where the following line starts.
struct Line {
  qsizetype begin = 0;
  qsizetype end = 0;
  qsizetype next = 0;
};

struct KeyLine {
  qsizetype line = 0;
  qsizetype keyBegin = 0, keyEnd = 0;  // the key as written, without blanks
  qsizetype valueBegin = 0;            // just after '='
};

struct Section {
  qsizetype headerLine = 0;
  qsizetype endLine = 0;  // first line after the section
  std::vector<KeyLine> keys;
  QHash<QString, qsizetype> firstKey;  // folded key -> index in keys
};

// A parsed file. Never changed after parsing, so it can be shared between
// readers of the cache.
struct Document {
  QByteArray bytes;
  bool utf8 = false;
  qsizetype bodyStart = 0;  // after a byte order mark
  std::vector<Line> lines;
  std::vector<Section> sections;
  QHash<QString, qsizetype> firstSection;  // folded name -> index in sections

  QString Decode(qsizetype begin, qsizetype end) const {
    const QByteArray raw = bytes.mid(begin, end - begin);
    return utf8 ? QString::fromUtf8(raw) : Gbk::Decode(raw);
  }
  QByteArray Encode(const QString& text) const { return utf8 ? text.toUtf8() : Gbk::Encode(text); }

  const Section* FindSection(const QString& name) const {
    const auto it = firstSection.constFind(Fold(name));
    return it == firstSection.cend() ? nullptr : &sections[static_cast<size_t>(*it)];
  }
  static const KeyLine* FindKey(const Section& s, const QString& key) {
    const auto it = s.firstKey.constFind(Fold(key));
    return it == s.firstKey.cend() ? nullptr : &s.keys[static_cast<size_t>(*it)];
  }
  QString KeyName(const KeyLine& k) const { return Decode(k.keyBegin, k.keyEnd); }
  QString Value(const KeyLine& k) const {
    const auto [b, e] = TrimRange(bytes, k.valueBegin, lines[static_cast<size_t>(k.line)].end);
    return Decode(b, e);
  }
  bool IsBlankLine(qsizetype i) const {
    const Line& l = lines[static_cast<size_t>(i)];
    const auto [b, e] = TrimRange(bytes, l.begin, l.end);
    return b == e;
  }
  // The line end of the file's first line; CRLF when the file has none.
  QByteArray LineEnd() const {
    const qsizetype nl = bytes.indexOf('\n', bodyStart);
    if (nl < 0) return QByteArrayLiteral("\r\n");
    return nl > bodyStart && bytes[nl - 1] == '\r' ? QByteArrayLiteral("\r\n")
                                                   : QByteArrayLiteral("\n");
  }
};

void SplitLines(Document& d) {
  const QByteArray& b = d.bytes;
  qsizetype pos = d.bodyStart;
  const qsizetype size = b.size();
  while (pos < size) {
    qsizetype nl = b.indexOf('\n', pos);
    Line line;
    line.begin = pos;
    if (nl < 0) {
      line.end = size;
      line.next = size;
    } else {
      line.end = nl > pos && b[nl - 1] == '\r' ? nl - 1 : nl;
      line.next = nl + 1;
    }
    d.lines.push_back(line);
    pos = line.next;
  }
}

// The folded name of a section header line, or nothing. The closing bracket
// is looked for in the decoded text: in GBK, ']' can be the second byte of a
// Chinese character.
std::optional<QString> SectionHeader(const Document& d, const Line& l) {
  const auto [b, e] = TrimRange(d.bytes, l.begin, l.end);
  if (b == e || d.bytes[b] != '[') return std::nullopt;
  const QString text = d.Decode(b + 1, e);
  const qsizetype close = text.indexOf(u']');
  if (close < 0) return std::nullopt;
  return Fold(text.left(close));
}

std::shared_ptr<const Document> Parse(QByteArray bytes) {
  auto d = std::make_shared<Document>();
  d->bytes = std::move(bytes);
  if (d->bytes.startsWith(kUtf8Bom)) {
    d->utf8 = true;
    d->bodyStart = 3;
  }
  SplitLines(*d);
  Section* current = nullptr;
  for (qsizetype i = 0; i < static_cast<qsizetype>(d->lines.size()); ++i) {
    const Line& l = d->lines[static_cast<size_t>(i)];
    if (const auto name = SectionHeader(*d, l)) {
      if (current != nullptr) current->endLine = i;
      d->sections.push_back(Section{i, static_cast<qsizetype>(d->lines.size()), {}, {}});
      current = &d->sections.back();
      const qsizetype index = static_cast<qsizetype>(d->sections.size()) - 1;
      if (!d->firstSection.contains(*name)) d->firstSection.insert(*name, index);
      continue;
    }
    if (current == nullptr) continue;  // before the first section: ignored
    const qsizetype eq = d->bytes.indexOf('=', l.begin);
    if (eq < 0 || eq >= l.end) continue;
    const auto [kb, ke] = TrimRange(d->bytes, l.begin, eq);
    if (kb == ke || d->bytes[kb] == ';') continue;  // no name, or a comment
    const QString folded = d->Decode(kb, ke).toCaseFolded();
    current->keys.push_back(KeyLine{i, kb, ke, eq + 1});
    if (!current->firstKey.contains(folded))
      current->firstKey.insert(folded, static_cast<qsizetype>(current->keys.size()) - 1);
  }
  return d;
}

// What identifies one version of a file on disk. Writes go by rename, so a
// new version has a new inode; size, times and inode together make a stale
// hit from an outside writer practically impossible, and our own writes
// refresh the cache directly.
struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};
  bool operator==(const FileStamp& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
           ctime.tv_nsec == o.ctime.tv_nsec;
  }
};

std::optional<FileStamp> StampOf(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
    return std::nullopt;
  return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// Parsed files shared by every TProfileFile of the process, so that the many
// short-lived objects over Quvial.ini do not parse it again and again.
class DocumentCache {
 public:
  std::shared_ptr<const Document> Load(const QString& path) {
    const auto stamp = StampOf(path);
    if (!stamp) return nullptr;
    {
      QMutexLocker lock(&mutex_);
      const auto it = entries_.constFind(path);
      if (it != entries_.cend() && it->stamp == *stamp) return it->document;
    }
    auto bytes = ReadWholeFile(path);
    if (!bytes) return nullptr;
    auto document = Parse(std::move(*bytes));
    Store(path, *stamp, document);
    return document;
  }

  void Store(const QString& path, const FileStamp& stamp,
             std::shared_ptr<const Document> document) {
    QMutexLocker lock(&mutex_);
    if (entries_.size() >= kMaxEntries && !entries_.contains(path)) entries_.clear();
    entries_.insert(path, Entry{stamp, std::move(document)});
  }

  void Forget(const QString& path) {
    QMutexLocker lock(&mutex_);
    entries_.remove(path);
  }

 private:
  static constexpr qsizetype kMaxEntries = 16;
  struct Entry {
    FileStamp stamp;
    std::shared_ptr<const Document> document;
  };
  QMutex mutex_;
  QHash<QString, Entry> entries_;
};

DocumentCache& Cache() {
  static DocumentCache cache;
  return cache;
}

bool HasLineBreakOrNul(const QString& s) {
  return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(u'\0'));
}

std::optional<int> ParseInteger(const QString& text) {
  QStringView t = QStringView(text).trimmed();
  bool negative = false;
  if (!t.isEmpty() && (t.front() == u'+' || t.front() == u'-')) {
    negative = t.front() == u'-';
    t = t.mid(1);
  }
  int base = 10;
  if (t.startsWith(u"0x", Qt::CaseInsensitive)) {
    base = 16;
    t = t.mid(2);
  } else if (t.startsWith(u'$')) {
    base = 16;
    t = t.mid(1);
  }
  if (t.isEmpty()) return std::nullopt;
  qint64 value = 0;
  for (const QChar c : t) {
    const char16_t u = c.unicode();
    int digit = -1;
    if (u >= u'0' && u <= u'9')
      digit = u - u'0';
    else if (base == 16 && u >= u'a' && u <= u'f')
      digit = u - u'a' + 10;
    else if (base == 16 && u >= u'A' && u <= u'F')
      digit = u - u'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > qint64(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

TProfileFile::TProfileFile(QString path) : path_(std::move(path)) {
  if (!path_.isEmpty()) path_ = QFileInfo(path_).absoluteFilePath();
}

const QString& TProfileFile::Path() const { return path_; }

bool TProfileFile::Exists() const { return StampOf(path_).has_value(); }

QString TProfileFile::ReadString(const QString& section, const QString& key,
                                 const QString& def) const {
  const auto doc = Cache().Load(path_);
  if (!doc) return def;
  const Section* s = doc->FindSection(section);
  if (s == nullptr) return def;
  const KeyLine* k = Document::FindKey(*s, key);
  return k == nullptr ? def : doc->Value(*k);
}

int TProfileFile::ReadInteger(const QString& section, const QString& key, int def) const {
  const auto doc = Cache().Load(path_);
  if (!doc) return def;
  const Section* s = doc->FindSection(section);
  if (s == nullptr) return def;
  const KeyLine* k = Document::FindKey(*s, key);
  if (k == nullptr) return def;
  return ParseInteger(doc->Value(*k)).value_or(def);
}

QStringList TProfileFile::ReadSection(const QString& section) const {
  QStringList keys;
  const auto doc = Cache().Load(path_);
  if (!doc) return keys;
  const Section* s = doc->FindSection(section);
  if (s == nullptr) return keys;
  for (const KeyLine& k : s->keys) keys.append(doc->KeyName(k));
  return keys;
}

bool TProfileFile::WriteInteger(const QString& section, const QString& key, int value) {
  return WriteString(section, key, QString::number(value));
}

bool TProfileFile::WriteString(const QString& section, const QString& key, const QString& value) {
  const QString sectionName = section.trimmed();
  const QString keyName = key.trimmed();
  if (path_.isEmpty() || sectionName.isEmpty() || keyName.isEmpty() ||
      HasLineBreakOrNul(sectionName) || HasLineBreakOrNul(keyName) || HasLineBreakOrNul(value) ||
      sectionName.contains(u']') || keyName.contains(u'=') || keyName.startsWith(u'[') ||
      keyName.startsWith(u';'))
    return false;

  // Always start from the file as it is now, never from the cache: the line
  // structure must be exactly the one on disk.
  QByteArray current;
  if (Exists()) {
    auto bytes = ReadWholeFile(path_);
    if (!bytes) return false;  // unreadable or oversized: never clobber it
    current = std::move(*bytes);
  }
  const auto doc = Parse(std::move(current));
  const QByteArray& b = doc->bytes;
  const QByteArray eol = doc->LineEnd();
  const QByteArray encodedValue = doc->Encode(value);

  QByteArray out;
  const Section* s = doc->FindSection(sectionName);
  const KeyLine* k = s != nullptr ? Document::FindKey(*s, keyName) : nullptr;
  if (k != nullptr) {
    const Line& l = doc->lines[static_cast<size_t>(k->line)];
    out.reserve(b.size() + encodedValue.size() + 2);
    out.append(b.constData(), l.begin);
    out.append(b.constData() + k->keyBegin, k->keyEnd - k->keyBegin);
    out.append('=').append(encodedValue);
    out.append(b.constData() + l.end, b.size() - l.end);
  } else if (s != nullptr) {
    qsizetype last = s->endLine - 1;
    while (last > s->headerLine && doc->IsBlankLine(last)) --last;
    const Line& l = doc->lines[static_cast<size_t>(last)];
    const bool terminated = l.next > l.end;
    out.reserve(b.size() + encodedValue.size() + keyName.size() * 2 + 4);
    out.append(b.constData(), l.next);
    if (!terminated) out.append(eol);
    out.append(doc->Encode(keyName)).append('=').append(encodedValue).append(eol);
    out.append(b.constData() + l.next, b.size() - l.next);
  } else {
    out = b;
    if (out.size() > doc->bodyStart && !out.endsWith('\n')) out.append(eol);
    out.append('[').append(doc->Encode(sectionName)).append(']').append(eol);
    out.append(doc->Encode(keyName)).append('=').append(encodedValue).append(eol);
  }

  if (!WriteFileAtomically(path_, out)) return false;
  if (const auto stamp = StampOf(path_))
    Cache().Store(path_, *stamp, Parse(std::move(out)));
  else
    Cache().Forget(path_);
  return true;
}
