#include "setup/timer_frame.h"

#include <gtest/gtest.h>

#include <QByteArray>

namespace {

std::string Hex(const TTimerFrame& f) {
  return QByteArray(reinterpret_cast<const char*>(f.data()), static_cast<qsizetype>(f.size()))
      .toHex(' ')
      .toStdString();
}

// The edges of the timer frame's date and time fields (the set and cancel
// frames of 8 December 2026 are checked through the dialog).
struct TimerCase {
  const char* name;
  QDateTime now;
  TTimerTimes times;
  const char* hex;
};

const TimerCase kTimerCases[] = {
    // Seconds of the clock and of the pickers are not sent.
    {"SecondsAreDropped",
     QDateTime(QDate(2026, 12, 8), QTime(1, 30, 59)),
     {QTime(8, 0, 45), QTime(18, 0, 1), QTime(9, 0, 30), QTime(17, 0, 59)},
     "24 25 18 01 1a 0c 08 01 1e 01 08 00 01 12 00 00 02 09 00 01 11 00 00 e8"},
    // The last minute of a century's year: year 99, 23:59 everywhere.
    {"LastMinuteOfTheYear",
     QDateTime(QDate(2099, 12, 31), QTime(23, 59)),
     {QTime(23, 59), QTime(23, 59), QTime(0, 0), QTime(0, 0)},
     "24 25 18 01 63 0c 1f 17 3b 01 17 3b 01 17 3b 00 02 00 00 01 00 00 00 eb"},
    // A picker without a time sends 00:00, never QTime's -1 as 0xff.
    {"InvalidTimeSendsMidnight",
     QDateTime(QDate(2000, 1, 1), QTime(0, 0)),
     {QTime(), QTime(18, 0), QTime(), QTime(17, 0)},
     "24 25 18 01 00 01 01 00 00 01 00 00 01 12 00 00 02 00 00 01 11 00 00 8c"},
};

class TimerFrameTest : public testing::TestWithParam<TimerCase> {};

TEST_P(TimerFrameTest, Bytes) {
  const TimerCase& c = GetParam();
  EXPECT_EQ(Hex(BuildTimerFrame(true, c.now, c.times)), c.hex);
}

INSTANTIATE_TEST_SUITE_P(Golden, TimerFrameTest, testing::ValuesIn(kTimerCases),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
