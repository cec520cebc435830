#include "net_subtitle_packet.h"

#include <QtEndian>
#include <array>

#include "core/gbk.h"

namespace {

QString Named(int value, std::initializer_list<const char*> names) {
  if (value >= 0 && value < int(names.size())) return QLatin1String(names.begin()[value]);
  return QStringLiteral("value-%1").arg(value);
}

qint32 Int32At(QByteArrayView b, int offset) {
  return qFromLittleEndian<qint32>(b.data() + offset);
}

}  // namespace

QString TSubtitlePacket::PositionName() const {
  return Named(position, {"top", "middle", "bottom", "left", "centre", "right"});
}

QString TSubtitlePacket::MotionName() const {
  return Named(motion, {"left-right", "right-left", "left-right-left", "static", "top-bottom",
                        "bottom-top", "static"});
}

QString TSubtitlePacket::Text() const {
  if (stop) return QStringLiteral("stop");
  QStringList style;
  if (bold) style << QStringLiteral("bold");
  if (italic) style << QStringLiteral("italic");
  if (underline) style << QStringLiteral("underline");
  if (strikeOut) style << QStringLiteral("strike-out");
  return QStringLiteral(
             "start screen %1 layout %2 position %3 speed %4 motion %5 colour 0x%6 height %7 face "
             "%8 size %9 style %10 lines %11 text %12 bytes")
      .arg(Named(screen, {"main", "secondary", "both"}), Named(layout, {"one-line", "lines"}),
           PositionName())
      .arg(speed)
      .arg(MotionName())
      .arg(colour, 8, 16, QLatin1Char('0'))
      .arg(height)
      .arg(face.isEmpty() ? QStringLiteral("-") : face)
      .arg(points)
      .arg(style.isEmpty() ? QStringLiteral("none") : style.join(u'+'))
      .arg(declaredLines)
      .arg(textBytes);
}

std::optional<TSubtitlePacket> DecodeSubtitlePacket(QByteArrayView b, QString* error) {
  if (b.size() != TSubtitlePacket::kSize) {
    *error = QStringLiteral("size %1, not %2").arg(b.size()).arg(TSubtitlePacket::kSize);
    return std::nullopt;
  }
  const auto byte = [b](int i) { return int(quint8(b[i])); };
  TSubtitlePacket p;
  if (byte(2) > 1) {
    *error = QStringLiteral("command %1").arg(byte(2));
    return std::nullopt;
  }
  p.stop = byte(2) == 1;
  if (p.stop) return p;  // a stop names nothing else
  p.textBytes = qFromLittleEndian<quint16>(b.data() + 46);
  if (p.textBytes > TSubtitlePacket::kTextField) {
    *error = QStringLiteral("text length %1 past its field of %2")
                 .arg(p.textBytes)
                 .arg(TSubtitlePacket::kTextField);
    return std::nullopt;
  }
  p.screen = byte(1);
  p.layout = byte(3);
  p.position = byte(4);
  p.speed = byte(5);
  p.motion = byte(6);
  p.colour = quint32(Int32At(b, 8));
  p.height = Int32At(b, 12);
  QByteArray face = b.sliced(17, 19).toByteArray();
  if (const qsizetype nul = face.indexOf('\0'); nul >= 0) face.truncate(nul);
  p.face = Gbk::Decode(face);
  p.points = Int32At(b, 36);
  p.bold = byte(40) != 0;
  p.italic = byte(41) != 0;
  p.underline = byte(42) != 0;
  p.strikeOut = byte(43) != 0;
  p.declaredLines = byte(44);
  // Each line ends in CR LF; what follows the last one is not a line.
  const QByteArray text = b.sliced(48, p.textBytes).toByteArray();
  const QList<QByteArray> parts = text.split('\n');
  for (qsizetype i = 0; i < parts.size(); ++i) {
    QByteArray line = parts[i];
    if (i == parts.size() - 1 && line.isEmpty()) break;
    if (line.endsWith('\r')) line.chop(1);
    p.lines << Gbk::Decode(line);
  }
  return p;
}
