#pragma once

#include <QDateTime>
#include <QTime>
#include <array>

// The four times of the timed power on and off: Monday to Friday and
// Saturday and Sunday, each a power-on and a power-off time of day.
struct TTimerTimes {
  QTime weekdayOn;
  QTime weekdayOff;
  QTime weekendOn;
  QTime weekendOff;
};

// The 24-byte timer frame sent unaddressed to the splicer line: 24 25 18,
// set (1) or cancel (0), the computer's date and time (year within the
// century, month, day, hour, minute), the Monday-to-Friday group (1, on time,
// 1, off time, 0), the weekend group (2, on time, 1, off time, 0) and the low
// byte of the sum. Seconds are not sent; cancel carries the same times.
using TTimerFrame = std::array<quint8, 24>;
TTimerFrame BuildTimerFrame(bool set, const QDateTime& now, const TTimerTimes& times);
