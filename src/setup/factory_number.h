#pragma once

#include <QString>
#include <QtGlobal>

// The factory number the factory-number dialog sends: the text of its number
// box read as a decimal integer and checked against what the frame of the
// current frame mode can carry. The long frame carries all 32 bits (negative
// numbers too, -1 is FF FF FF FF); the short frame carries only bits 15..0,
// so there only 0..65535 is taken. The top of the long range is refused as
// well, since the next number ("MACID" = n + 1) must still be a number.
struct TFactoryNumber {
  enum class TVerdict { Ok, BadFormat, OutOfRange };
  TVerdict verdict = TVerdict::BadFormat;
  qint32 number = 0;

  static TFactoryNumber Parse(const QString& text, bool longFrames);
  static qint64 Lowest(bool longFrames);
  static qint64 Highest(bool longFrames);
  // "Bad Format" (one text in both languages) or the range refusal.
  static QString Message(TVerdict verdict, bool longFrames, bool chinese);
};
