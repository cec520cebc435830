#include "setup/subtitle_settings.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <limits>

#include "core/atomic_file.h"
#include "core/bilingual.h"
#include "core/gbk.h"
#include "core/program_dir.h"

namespace {

const QString kSection = QStringLiteral("netosd");
constexpr int kMissing = std::numeric_limits<int>::min();
// Beyond this a font is no longer a subtitle font but a damaged value; the
// sample label would try to paint it.
constexpr int kMaxFontPixels = 1000;
constexpr int kMaxFontPoints = kMaxFontPixels * 72 / TSubtitleFont::kPixelsPerInch;

QString DamageNote(bool chinese, const QString& what) {
  return Bilingual(chinese, u"%1 已损坏，未采用。", u"%1 is damaged and was not used.").arg(what);
}

QString KeyName(const QString& key) { return QStringLiteral("netosd.ini \"%1\"").arg(key); }

// Lines of a text file: CR LF, LF or a lone CR end a line; a last line
// without its end still counts.
QStringList SplitLines(const QString& text) {
  QStringList lines;
  QString line;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' || c == u'\n') {
      lines << line;
      line.clear();
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.isEmpty()) lines << line;
  return lines;
}

}  // namespace

TSubtitleSettingsFile::TSubtitleSettingsFile(const QString& dir)
    : ini_(QDir(dir).filePath(QStringLiteral("netosd.ini"))),
      textPath_(QDir(dir).filePath(QStringLiteral("osdtext.txt"))) {}

TSubtitleSettingsFile TSubtitleSettingsFile::InProgramDir() {
  return TSubtitleSettingsFile(ProgramDir());
}

QString TSubtitleSettingsFile::EscapeText(const QStringList& lines) {
  const QString joined = lines.join(QStringLiteral("\r\n"));
  QString out;
  out.reserve(joined.size() + lines.size() * 4);
  for (const QChar c : joined) {
    switch (c.unicode()) {
      case u'\\':
        out += QStringLiteral("\\\\");
        break;
      case u'\r':
        out += QStringLiteral("\\r");
        break;
      case u'\n':
        out += QStringLiteral("\\n");
        break;
      case u'\0':
        out += QStringLiteral("\\0");
        break;
      default:
        out += c;
    }
  }
  return out;
}

QStringList TSubtitleSettingsFile::UnescapeText(const QString& stored) {
  if (stored.isEmpty()) return {};
  QString text;
  text.reserve(stored.size());
  for (qsizetype i = 0; i < stored.size(); ++i) {
    const QChar c = stored[i];
    const QChar next = i + 1 < stored.size() ? stored[i + 1] : QChar();
    // Any other backslash stays as written, so older files keep their text.
    if (c == u'\\' && (next == u'\\' || next == u'r' || next == u'n' || next == u'0')) {
      text += next == u'r'   ? QChar(u'\r')
              : next == u'n' ? QChar(u'\n')
              : next == u'0' ? QChar(u'\0')
                             : QChar(u'\\');
      ++i;
    } else {
      text += c;
    }
  }
  // Joined lines: every break separates two lines, an ending one included.
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(u'\r', u'\n')
      .split(u'\n');
}

QStringList TSubtitleSettingsFile::Load(TSubtitleSettings& settings, bool chinese) const {
  QStringList notes;
  if (!ini_.Exists()) return notes;
  notes = ApplyIni(ini_.Text(), settings, chinese);
  if (QFileInfo::exists(textPath_)) {
    const auto bytes = ReadWholeFile(textPath_, kMaxTextFileBytes);
    if (!bytes)
      notes << DamageNote(chinese, QStringLiteral("osdtext.txt"));
    else
      settings.lines = TextFileLines(*bytes);
  }
  return notes;
}

QStringList TSubtitleSettingsFile::TextFileLines(const QByteArray& bytes) {
  return SplitLines(Gbk::Decode(QByteArray(bytes).replace('\0', '?')));
}

QStringList TSubtitleSettingsFile::ApplyIni(const TProfileText& ini, TSubtitleSettings& settings,
                                            bool chinese) {
  QStringList notes;
  auto number = [&ini](const char* key, int def) {
    return ini.ReadInteger(kSection, QLatin1String(key), def);
  };
  // A value that is present but out of its range is noted and changes nothing.
  auto take = [&](const char* key, int def, int low, int high, auto apply) {
    const int v = number(key, def);
    if (v == kMissing) return;
    if (v < low || v > high)
      notes << DamageNote(chinese, KeyName(QLatin1String(key)));
    else
      apply(v);
  };

  const QString msg = ini.ReadString(kSection, QStringLiteral("msg"), QString());
  if (msg.size() > kMaxStoredChars)
    notes << DamageNote(chinese, KeyName(QStringLiteral("msg")));
  else
    settings.lines = UnescapeText(msg);
  take("speed", 0, 0, 100, [&](int v) { settings.speed = v; });
  take("location", 0, 0, 2, [&](int v) { settings.singlePosition = v; });
  take("dir", 0, 0, 3, [&](int v) { settings.singleMotion = v; });
  TSubtitleFont& font = settings.font;
  take("fontcolor", 0, 0, 0x00FFFFFF, [&](int v) { font.color = static_cast<quint32>(v); });
  take("fontheight", kMissing, -kMaxFontPixels, kMaxFontPixels, [&](int v) {
    if (v != 0) font.SetHeight(v);
  });
  const QString face = ini.ReadString(kSection, QStringLiteral("fontname"), QString());
  // No face name holds a control character; a CR or NUL taken into the
  // settings would make every later save of them fail.
  const bool control =
      std::any_of(face.cbegin(), face.cend(), [](QChar c) { return c.unicode() < 0x20; });
  if (control || Gbk::Encode(face).size() > SubtitlePacket::kFaceBytes)
    notes << DamageNote(chinese, KeyName(QStringLiteral("fontname")));
  else if (!face.isEmpty())
    font.face = face;
  take("fontsize", kMissing, 1, kMaxFontPoints, [&](int v) { font.SetSize(v); });
  return notes;
}

TProfileText::TEntries TSubtitleSettingsFile::IniEntries(const TSubtitleSettings& settings) {
  const TSubtitleFont& font = settings.font;
  return {{QStringLiteral("msg"), EscapeText(settings.lines)},
          {QStringLiteral("speed"), QString::number(settings.speed)},
          {QStringLiteral("location"), QString::number(settings.singlePosition)},
          {QStringLiteral("dir"), QString::number(settings.singleMotion)},
          {QStringLiteral("fontcolor"), QString::number(font.color)},
          {QStringLiteral("fontheight"), QString::number(font.height)},
          {QStringLiteral("fontname"), font.face},
          {QStringLiteral("fontsize"), QString::number(font.size)}};
}

bool TSubtitleSettingsFile::Save(const TSubtitleSettings& settings) {
  const bool iniSaved = ini_.WriteStrings(kSection, IniEntries(settings));
  const bool textSaved = WriteFileAtomically(textPath_, SubtitlePacket::EncodeText(settings.lines));
  return iniSaved && textSaved;
}
