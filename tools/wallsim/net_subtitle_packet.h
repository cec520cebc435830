#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

// One subtitle packet as the subtitle server reads it: 2096 bytes, numbers
// little-endian, the font face and the text in GBK, each text line followed
// by CR LF.
struct TSubtitlePacket {
  static constexpr int kSize = 2096;
  static constexpr int kTextField = 2048;

  int screen = 0;      // 0 main, 1 secondary, 2 both
  bool stop = false;   // command byte 1
  int layout = 0;      // 0 one line, 1 several lines
  int position = 0;    // 0..2 top/middle/bottom, 3..5 left/middle/right
  int speed = 0;       // 0 slow .. 100 fast
  int motion = 0;      // 0..3 one line, 4..6 several lines
  quint32 colour = 0;  // 0x00BBGGRR
  qint32 height = 0;   // logical units; negative: character height in pixels
  QString face;
  qint32 points = 0;
  bool bold = false, italic = false, underline = false, strikeOut = false;
  int declaredLines = 0;  // the packet's own count
  int textBytes = 0;
  QStringList lines;

  // "start screen main layout one-line position top speed 30 motion left-right
  // colour 0x000000ff height -64 face 宋体 size 48 style none lines 3 text 52 bytes"
  QString Text() const;
  QString PositionName() const;
  QString MotionName() const;
};

// The packet in bytes, or nothing with the reason: a size other than 2096, a
// command other than start or stop, a text length past its field.
std::optional<TSubtitlePacket> DecodeSubtitlePacket(QByteArrayView bytes, QString* error);
