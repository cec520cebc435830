#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// The subtitle font as the subtitle server takes it: the windowing system's
// logical font (colour 0x00BBGGRR, height in logical units where a negative
// height is the character height in pixels, size in points) at the standard
// 96 pixels per inch, so that a size and a height always agree.
struct TSubtitleFont {
  static constexpr int kPixelsPerInch = 96;

  quint32 color = 0x000000FF;  // red
  qint32 height = -64;
  QString face = QStringLiteral("宋体");
  qint32 size = 48;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;

  // Each keeps the other measure in step (rounded half away from zero).
  void SetSize(qint32 points);
  void SetHeight(qint32 logicalHeight);

  bool operator==(const TSubtitleFont&) const = default;
};

// Everything the subtitle tab holds, as values. The single-line and the
// several-lines choices are both kept; the layout says which one is sent.
struct TSubtitleSettings {
  int screen = 0;          // 0 main, 1 secondary, 2 both
  int layout = 0;          // 0 single line, 1 several lines
  int singlePosition = 0;  // 0 top, 1 middle, 2 bottom
  int singleMotion = 0;    // 0 left->right, 1 right->left, 2 left->right->left, 3 static
  int multiPosition = 3;   // 3 left, 4 middle, 5 right
  int multiMotion = 4;     // 4 top->bottom, 5 bottom->top, 6 static
  int speed = 30;          // 0 slow .. 100 fast
  TSubtitleFont font;
  QStringList lines;  // the memo's lines; a trailing empty line is a line

  static QStringList DefaultLines();
  bool operator==(const TSubtitleSettings&) const = default;
};

// What does not fit the packet; the packet is refused, never cut.
enum class TSubtitleRefusal { FaceTooLong, TextTooLong, TooManyLines };

// The 2096-byte packet that starts or stops the subtitle on a subtitle
// server (TCP port 1236), little-endian, unlisted bytes zero.
namespace SubtitlePacket {

constexpr int kSize = 2096;
constexpr quint16 kPort = 1236;
constexpr int kFaceBytes = 19;
constexpr int kTextBytes = 2048;
constexpr int kMaxLines = 255;  // the line count is one byte

// The lines in GBK, each followed by CR LF.
QByteArray EncodeText(const QStringList& lines);

std::optional<TSubtitleRefusal> Check(const TSubtitleSettings& settings);
QString RefusalMessage(TSubtitleRefusal refusal, bool chinese);

// The start packet; empty when Check refuses the settings.
QByteArray BuildStart(const TSubtitleSettings& settings);
QByteArray BuildStop();

}  // namespace SubtitlePacket
