#include "setup/timer_frame.h"

namespace {

// A time that is not valid (a picker cleared by code) is sent as 00:00
// rather than as QTime's -1, which would wrap to 0xFF.
quint8 Hour(const QTime& t) { return t.isValid() ? static_cast<quint8>(t.hour()) : 0; }
quint8 Minute(const QTime& t) { return t.isValid() ? static_cast<quint8>(t.minute()) : 0; }

}  // namespace

TTimerFrame BuildTimerFrame(bool set, const QDateTime& now, const TTimerTimes& times) {
  const QDate date = now.date();
  const QTime time = now.time();
  TTimerFrame f{};
  f[0] = 0x24;
  f[1] = 0x25;
  f[2] = static_cast<quint8>(f.size());
  f[3] = set ? 0x01 : 0x00;
  f[4] = static_cast<quint8>(date.year() % 2000);
  f[5] = static_cast<quint8>(date.month());
  f[6] = static_cast<quint8>(date.day());
  f[7] = static_cast<quint8>(time.hour());
  f[8] = static_cast<quint8>(time.minute());
  f[9] = 0x01;  // Monday to Friday
  f[10] = Hour(times.weekdayOn);
  f[11] = Minute(times.weekdayOn);
  f[12] = 0x01;  // power on
  f[13] = Hour(times.weekdayOff);
  f[14] = Minute(times.weekdayOff);
  f[15] = 0x00;  // power off
  f[16] = 0x02;  // Saturday and Sunday
  f[17] = Hour(times.weekendOn);
  f[18] = Minute(times.weekendOn);
  f[19] = 0x01;
  f[20] = Hour(times.weekendOff);
  f[21] = Minute(times.weekendOff);
  f[22] = 0x00;
  quint8 sum = 0;
  for (int i = 0; i < 23; ++i) sum = static_cast<quint8>(sum + f[i]);
  f[23] = sum;
  return f;
}
