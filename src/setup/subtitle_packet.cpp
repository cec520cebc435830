#include "setup/subtitle_packet.h"

#include <QtEndian>
#include <algorithm>
#include <cstdlib>

#include "core/bilingual.h"
#include "core/gbk.h"

namespace {

// a * b / c rounded half away from zero, as the windowing system scales fonts.
qint32 MulDiv(qint32 a, qint32 b, qint32 c) {
  const qint64 product = static_cast<qint64>(a) * b;
  const qint64 half = c / 2;
  const qint64 q = product >= 0 ? (product + half) / c : (product - half) / c;
  return static_cast<qint32>(std::clamp<qint64>(q, INT32_MIN, INT32_MAX));
}

// Field offsets of the packet.
constexpr int kScreen = 1;
constexpr int kCommand = 2;
constexpr int kLayout = 3;
constexpr int kPosition = 4;
constexpr int kSpeed = 5;
constexpr int kMotion = 6;
constexpr int kColor = 8;
constexpr int kHeight = 12;
constexpr int kFace = 17;
constexpr int kPoints = 36;
constexpr int kBold = 40;
constexpr int kItalic = 41;
constexpr int kUnderline = 42;
constexpr int kStrikeOut = 43;
constexpr int kLineCount = 44;
constexpr int kTextLength = 46;
constexpr int kText = 48;

template <typename T>
void Put(QByteArray& packet, int offset, T value) {
  qToLittleEndian(value, packet.data() + offset);
}

char Byte(int value) { return static_cast<char>(static_cast<quint8>(value)); }

}  // namespace

void TSubtitleFont::SetSize(qint32 points) {
  size = points;
  height = -MulDiv(points, kPixelsPerInch, 72);
}

void TSubtitleFont::SetHeight(qint32 logicalHeight) {
  height = logicalHeight;
  size = -MulDiv(logicalHeight, 72, kPixelsPerInch);
}

QStringList TSubtitleSettings::DefaultLines() {
  return {QStringLiteral("XX单位"), QStringLiteral("热烈欢迎各位领导"),
          QStringLiteral("莅临参观指导工作！")};
}

namespace SubtitlePacket {

QByteArray EncodeText(const QStringList& lines) {
  QByteArray text;
  for (const QString& line : lines) text += Gbk::Encode(line) + "\r\n";
  return text;
}

std::optional<TSubtitleRefusal> Check(const TSubtitleSettings& settings) {
  if (Gbk::Encode(settings.font.face).size() > kFaceBytes) return TSubtitleRefusal::FaceTooLong;
  if (settings.lines.size() > kMaxLines) return TSubtitleRefusal::TooManyLines;
  if (EncodeText(settings.lines).size() > kTextBytes) return TSubtitleRefusal::TextTooLong;
  return std::nullopt;
}

QString RefusalMessage(TSubtitleRefusal refusal, bool chinese) {
  switch (refusal) {
    case TSubtitleRefusal::FaceTooLong:
      return Bilingual(chinese, u"字体名称太长：最多 19 个字节（9 个汉字），请选择其他字体。",
                       u"The font name is too long: at most 19 bytes (9 Chinese characters). "
                       u"Please choose another font.");
    case TSubtitleRefusal::TextTooLong:
      return Bilingual(chinese,
                       u"滚动文字太长：最多 2048 个字节（每行另加 2 个字节），请缩短文字。",
                       u"The subtitle text is too long: at most 2048 bytes (each line takes 2 "
                       u"more). Please shorten it.");
    case TSubtitleRefusal::TooManyLines:
      return Bilingual(chinese, u"滚动文字行数太多：最多 255 行。",
                       u"The subtitle text has too many lines: at most 255.");
  }
  return {};
}

QByteArray BuildStart(const TSubtitleSettings& settings) {
  if (Check(settings)) return {};
  QByteArray packet(kSize, '\0');
  const bool several = settings.layout == 1;
  packet[kCommand] = 0;
  packet[kScreen] = Byte(settings.screen);
  packet[kLayout] = Byte(several ? 1 : 0);
  packet[kPosition] = Byte(several ? settings.multiPosition : settings.singlePosition);
  packet[kSpeed] = Byte(settings.speed);
  packet[kMotion] = Byte(several ? settings.multiMotion : settings.singleMotion);
  const TSubtitleFont& font = settings.font;
  Put<quint32>(packet, kColor, font.color);
  Put<qint32>(packet, kHeight, font.height);
  const QByteArray face = Gbk::Encode(font.face);
  std::copy(face.begin(), face.end(), packet.begin() + kFace);
  Put<qint32>(packet, kPoints, font.size);
  packet[kBold] = Byte(font.bold);
  packet[kItalic] = Byte(font.italic);
  packet[kUnderline] = Byte(font.underline);
  packet[kStrikeOut] = Byte(font.strikeOut);
  const QByteArray text = EncodeText(settings.lines);
  packet[kLineCount] = Byte(static_cast<int>(settings.lines.size()));
  Put<quint16>(packet, kTextLength, static_cast<quint16>(text.size()));
  std::copy(text.begin(), text.end(), packet.begin() + kText);
  return packet;
}

QByteArray BuildStop() {
  QByteArray packet(kSize, '\0');
  packet[kCommand] = 1;
  return packet;
}

}  // namespace SubtitlePacket
