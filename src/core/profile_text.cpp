#include "core/profile_text.h"

#include <QHash>
#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

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

// A name without the blanks the file's lines lose around their names. Only
// these: with a wider trim (QString::trimmed takes vertical tabs and
// ideographic spaces too) a key the file lists, such as "row\v", could never
// be read or written under its own name.
QString TrimBlanks(const QString& name) {
  qsizetype b = 0, e = name.size();
  const auto blank = [&name](qsizetype i) {
    return name[i] == u' ' || name[i] == u'\t' || name[i] == u'\r';
  };
  while (b < e && blank(b)) ++b;
  while (e > b && blank(e - 1)) --e;
  return name.mid(b, e - b);
}

QString Fold(const QString& name) { return TrimBlanks(name).toCaseFolded(); }

// Seeded per process, so that no file can be made to collide on purpose.
quint32 HashOf(const QString& folded) {
  return static_cast<quint32>(qHash(folded, QHashSeed::globalSeed()));
}

// Offsets into a file. Files are read only up to 64 MB (ReadWholeFile), so
// 32 bits hold every offset, which halves the index of a file of tiny lines.
using Offset = quint32;
constexpr qsizetype kMaxParsedBytes = std::numeric_limits<Offset>::max();

// One physical line: [begin, end) is its text without the line end, next is
// where the following line starts.
struct Line {
  qsizetype begin = 0;
  qsizetype end = 0;
  qsizetype next = 0;
};

Line LineAt(const QByteArray& b, qsizetype pos) {
  const qsizetype size = b.size();
  // memchr bounds the search by the line: the file is scanned once in all.
  const auto* nl =
      static_cast<const char*>(std::memchr(b.constData() + pos, '\n', size_t(size - pos)));
  if (nl == nullptr) return {pos, size, size};
  const qsizetype at = nl - b.constData();
  return {pos, at > pos && b[at - 1] == '\r' ? at - 1 : at, at + 1};
}

struct KeyLine {
  Offset lineBegin = 0, lineEnd = 0;  // the line without its end
  Offset eq = 0;                      // the first '=' of the line
};

struct Section {
  Offset nameBegin = 0, nameEnd = 0;  // the header line without blanks
  Offset bodyBegin = 0;               // the line after the header
  Offset end = 0;                     // where the next header line starts
  Offset firstKey = 0, keyCount = 0;  // its keys in TProfileDocument::keys
};

// A hash index of names by record number, for files of any number of
// sections and keys: one flat table of (record + 1, hash) pairs with linear
// probing, kept at most half full. Records keep no copy of their name; a
// candidate is compared by decoding it again, which is rare, since the full
// hash must match first.
class NameIndex {
 public:
  template <typename Same>
  std::optional<Offset> Find(quint32 hash, Same same) const {
    if (slots_.empty()) return std::nullopt;
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.record == 0) return std::nullopt;
      if (s.hash == hash && same(s.record - 1)) return s.record - 1;
    }
  }
  // The record must not be in the index yet.
  void Insert(Offset record, quint32 hash) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Place(Slot{record + 1, hash});
    ++count_;
  }

 private:
  struct Slot {
    Offset record = 0;  // 0: empty
    quint32 hash = 0;
  };
  void Place(const Slot& slot) {
    const size_t mask = slots_.size() - 1;
    size_t i = slot.hash & mask;
    while (slots_[i].record != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
  void Grow() {
    std::vector<Slot> old =
        std::exchange(slots_, std::vector<Slot>(std::max<size_t>(16, slots_.size() * 2)));
    for (const Slot& s : old)
      if (s.record != 0) Place(s);
  }

  std::vector<Slot> slots_;  // size is a power of two
  size_t count_ = 0;
};

// A parsed file. Never changed after parsing, so it can be shared between
// readers of the cache. Only the first section of each name is kept: a later
// one of the same name is invisible to reads and writes alike, so its lines
// are not even looked at.
}  // namespace

struct TProfileDocument {
  QByteArray bytes;
  bool utf8 = false;
  qsizetype bodyStart = 0;  // after a byte order mark
  std::vector<Section> sections;
  std::vector<KeyLine> keys;
  NameIndex sectionIndex;  // folded name -> section
  NameIndex keyIndex;      // folded key and section -> first key of that name

  QString Decode(qsizetype begin, qsizetype end) const {
    const QByteArray raw = bytes.mid(begin, end - begin);
    return utf8 ? DecodeUtf8Piece(raw) : Gbk::Decode(raw);
  }
  QByteArray Encode(const QString& text) const { return utf8 ? text.toUtf8() : Gbk::Encode(text); }

  // The folded name of a header line [begin, end) (trimmed, starting with
  // '['), or nothing when it is no header. The closing bracket of a line
  // with other than ASCII bytes is looked for in the decoded text: in GBK,
  // ']' can be the second byte of a Chinese character.
  std::optional<QString> SectionName(qsizetype begin, qsizetype end) const {
    const char* p = bytes.constData();
    const bool ascii = std::all_of(p + begin, p + end, [](char c) { return (c & 0x80) == 0; });
    if (ascii) {
      const auto* close =
          static_cast<const char*>(std::memchr(p + begin + 1, ']', size_t(end - begin - 1)));
      if (close == nullptr) return std::nullopt;
      return Fold(QString::fromLatin1(p + begin + 1, close - (p + begin + 1)));
    }
    const QString text = Decode(begin + 1, end);
    const qsizetype close = text.indexOf(u']');
    if (close < 0) return std::nullopt;
    return Fold(text.left(close));
  }
  std::pair<qsizetype, qsizetype> KeyRange(const KeyLine& k) const {
    return TrimRange(bytes, k.lineBegin, k.eq);
  }
  QString KeyName(const KeyLine& k) const {
    const auto [b, e] = KeyRange(k);
    return Decode(b, e);
  }
  QString FoldedKey(qsizetype begin, qsizetype end) const {
    const char* p = bytes.constData();
    if (std::all_of(p + begin, p + end, [](char c) { return (c & 0x80) == 0; }))
      return QString::fromLatin1(p + begin, end - begin).toCaseFolded();
    return Decode(begin, end).toCaseFolded();
  }
  QString Value(const KeyLine& k) const {
    const auto [b, e] = TrimRange(bytes, k.eq + 1, k.lineEnd);
    return Decode(b, e);
  }

  std::optional<Offset> FindSectionFolded(const QString& folded) const {
    return sectionIndex.Find(HashOf(folded), [&](Offset s) {
      const Section& sec = sections[s];
      return SectionName(sec.nameBegin, sec.nameEnd) == folded;
    });
  }
  const Section* FindSection(const QString& name) const {
    const auto s = FindSectionFolded(Fold(name));
    return s ? &sections[*s] : nullptr;
  }
  std::optional<Offset> FindKeyFolded(Offset section, const QString& folded) const {
    return keyIndex.Find(KeyHash(section, folded), [&](Offset k) {
      const Section& s = sections[section];
      if (k < s.firstKey || k - s.firstKey >= s.keyCount) return false;
      const auto [b, e] = KeyRange(keys[k]);
      return FoldedKey(b, e) == folded;
    });
  }
  const KeyLine* FindKey(const Section& s, const QString& key) const {
    const auto k = FindKeyFolded(Offset(&s - sections.data()), Fold(key));
    return k ? &keys[*k] : nullptr;
  }
  static quint32 KeyHash(Offset section, const QString& folded) {
    return HashOf(folded) ^ (section * 0x9E3779B1u);
  }
  bool IsBlankLine(const Line& l) const {
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

namespace {

// One pass over the file, each line looked at once: time and memory grow
// with the file's size whatever it holds.
std::shared_ptr<const TProfileDocument> Parse(QByteArray bytes) {
  auto d = std::make_shared<TProfileDocument>();
  // Larger files are never read; the guard keeps the 32-bit offsets sound.
  if (bytes.size() > kMaxParsedBytes) return d;
  d->bytes = std::move(bytes);
  if (d->bytes.startsWith(kUtf8Bom)) {
    d->utf8 = true;
    d->bodyStart = 3;
  }
  const QByteArray& b = d->bytes;
  const char* p = b.constData();
  constexpr qint64 kNone = -1;  // before the first section, or in a later duplicate
  qint64 current = kNone;
  for (qsizetype pos = d->bodyStart; pos < b.size();) {
    const Line l = LineAt(b, pos);
    pos = l.next;
    const auto [tb, te] = TrimRange(b, l.begin, l.end);
    if (tb < te && b[tb] == '[') {
      if (const auto name = d->SectionName(tb, te)) {
        if (current != kNone) d->sections[size_t(current)].end = Offset(l.begin);
        current = kNone;
        if (d->FindSectionFolded(*name)) continue;
        current = qint64(d->sections.size());
        d->sections.push_back(Section{Offset(tb), Offset(te), Offset(l.next), Offset(b.size()),
                                      Offset(d->keys.size()), 0});
        d->sectionIndex.Insert(Offset(current), HashOf(*name));
        continue;
      }
    }
    if (current == kNone) continue;
    const auto* eq =
        static_cast<const char*>(std::memchr(p + l.begin, '=', size_t(l.end - l.begin)));
    if (eq == nullptr) continue;
    const auto [kb, ke] = TrimRange(b, l.begin, eq - p);
    if (kb == ke || b[kb] == ';') continue;  // no name, or a comment
    const QString folded = d->FoldedKey(kb, ke);
    const auto index = Offset(d->keys.size());
    d->keys.push_back(KeyLine{Offset(l.begin), Offset(l.end), Offset(eq - p)});
    ++d->sections[size_t(current)].keyCount;
    if (!d->FindKeyFolded(Offset(current), folded))
      d->keyIndex.Insert(index, TProfileDocument::KeyHash(Offset(current), folded));
  }
  return d;
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

bool ValidEntry(const QString& sectionName, const QString& keyName, const QString& value) {
  return !sectionName.isEmpty() && !keyName.isEmpty() && !HasLineBreakOrNul(sectionName) &&
         !HasLineBreakOrNul(keyName) && !HasLineBreakOrNul(value) && !sectionName.contains(u']') &&
         !keyName.contains(u'=') && !keyName.startsWith(u'[') && !keyName.startsWith(u';');
}

// The file's bytes with one key set, following the rules of writing.
QByteArray WithValue(const TProfileDocument& doc, const QString& sectionName,
                     const QString& keyName, const QString& value) {
  const QByteArray& b = doc.bytes;
  const QByteArray eol = doc.LineEnd();
  const QByteArray encodedValue = doc.Encode(value);

  QByteArray out;
  const Section* s = doc.FindSection(sectionName);
  const KeyLine* k = s != nullptr ? doc.FindKey(*s, keyName) : nullptr;
  if (k != nullptr) {
    const auto [kb, ke] = doc.KeyRange(*k);
    out.reserve(b.size() + encodedValue.size() + 2);
    out.append(b.constData(), k->lineBegin);
    out.append(b.constData() + kb, ke - kb);
    out.append('=').append(encodedValue);
    out.append(b.constData() + k->lineEnd, b.size() - k->lineEnd);
  } else if (s != nullptr) {
    // After the section's last line that is not blank, else after its header.
    qsizetype insertAt = s->bodyBegin;
    bool terminated = insertAt > 0 && b[insertAt - 1] == '\n';
    for (qsizetype pos = s->bodyBegin; pos < s->end;) {
      const Line l = LineAt(b, pos);
      pos = l.next;
      if (doc.IsBlankLine(l)) continue;
      insertAt = l.next;
      terminated = l.next > l.end;
    }
    out.reserve(b.size() + encodedValue.size() + keyName.size() * 2 + 4);
    out.append(b.constData(), insertAt);
    if (!terminated) out.append(eol);
    out.append(doc.Encode(keyName)).append('=').append(encodedValue).append(eol);
    out.append(b.constData() + insertAt, b.size() - insertAt);
  } else {
    out = b;
    if (out.size() > doc.bodyStart && !out.endsWith('\n')) out.append(eol);
    out.append('[').append(doc.Encode(sectionName)).append(']').append(eol);
    out.append(doc.Encode(keyName)).append('=').append(encodedValue).append(eol);
  }
  return out;
}

}  // namespace

TProfileText::TProfileText(QByteArray bytes) : doc_(Parse(std::move(bytes))) {}

const QByteArray& TProfileText::Bytes() const { return doc_->bytes; }

std::optional<QString> TProfileText::Value(const QString& section, const QString& key) const {
  const Section* s = doc_->FindSection(section);
  if (s == nullptr) return std::nullopt;
  const KeyLine* k = doc_->FindKey(*s, key);
  if (k == nullptr) return std::nullopt;
  return doc_->Value(*k);
}

QString TProfileText::ReadString(const QString& section, const QString& key,
                                 const QString& def) const {
  return Value(section, key).value_or(def);
}

int TProfileText::ReadInteger(const QString& section, const QString& key, int def) const {
  const auto value = Value(section, key);
  if (!value) return def;
  return ParseInteger(*value).value_or(def);
}

QStringList TProfileText::ReadSection(const QString& section) const {
  QStringList keys;
  const Section* s = doc_->FindSection(section);
  if (s == nullptr) return keys;
  for (Offset k = s->firstKey; k < s->firstKey + s->keyCount; ++k)
    keys.append(doc_->KeyName(doc_->keys[k]));
  return keys;
}

QStringList TProfileText::Sections() const {
  QStringList names;
  for (const Section& s : doc_->sections)
    names.append(doc_->SectionName(s.nameBegin, s.nameEnd).value_or(QString()));
  return names;
}

std::optional<TProfileText> TProfileText::WithStrings(const QString& section,
                                                      const TEntries& entries) const {
  const QString sectionName = TrimBlanks(section);
  if (entries.isEmpty()) return std::nullopt;
  for (const auto& [key, value] : entries)
    if (!ValidEntry(sectionName, TrimBlanks(key), value)) return std::nullopt;
  // Each key in turn on the bytes in memory.
  TProfileText text = *this;
  for (const auto& [key, value] : entries)
    text.doc_ = Parse(WithValue(*text.doc_, sectionName, TrimBlanks(key), value));
  return text;
}
