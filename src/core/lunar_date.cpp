#include "core/lunar_date.h"

#include <array>
#include <cstdint>

namespace {

// One lunar year: the Gregorian date of its first day, its leap month (0 for
// none; the leap month follows the month of the same number) and the lengths
// of its 12 or 13 months in order, bit i set when month slot i has 30 days
// (29 otherwise).
//
// Standard calendar data (the published Chinese calendar: new moons and
// solar terms reckoned at Beijing time). It is a table rather than ICU's
// Chinese calendar because ICU's approximate astronomy slips a day in months
// whose new moon falls within minutes of Beijing midnight (1999-01, 2012-08,
// 2018-11, 2027-02, 2030-02: it puts the 2027 new year on 7 February instead
// of the 6th); a test checks every other day against ICU.
struct LunarYear {
  int16_t year;
  int8_t month;  // of the new year's day
  int8_t day;
  int8_t leapMonth;
  uint16_t bigMonths;
};

constexpr std::array<LunarYear, 61> kYears = {{
    {1990, 1, 27, 5, 0x1e92},   // 1990
    {1991, 2, 15, 0, 0x0e92},   // 1991
    {1992, 2, 4, 0, 0x0d26},    // 1992
    {1993, 1, 23, 3, 0x0a56},   // 1993
    {1994, 2, 10, 0, 0x0a57},   // 1994
    {1995, 1, 31, 8, 0x14d6},   // 1995
    {1996, 2, 19, 0, 0x035a},   // 1996
    {1997, 2, 7, 0, 0x06d5},    // 1997
    {1998, 1, 28, 5, 0x16c9},   // 1998
    {1999, 2, 16, 0, 0x0749},   // 1999
    {2000, 2, 5, 0, 0x0693},    // 2000
    {2001, 1, 24, 4, 0x152b},   // 2001
    {2002, 2, 12, 0, 0x052b},   // 2002
    {2003, 2, 1, 0, 0x0a5b},    // 2003
    {2004, 1, 22, 2, 0x155a},   // 2004
    {2005, 2, 9, 0, 0x056a},    // 2005
    {2006, 1, 29, 7, 0x1b55},   // 2006
    {2007, 2, 18, 0, 0x0ba4},   // 2007
    {2008, 2, 7, 0, 0x0b49},    // 2008
    {2009, 1, 26, 5, 0x1a93},   // 2009
    {2010, 2, 14, 0, 0x0a95},   // 2010
    {2011, 2, 3, 0, 0x052d},    // 2011
    {2012, 1, 23, 4, 0x0aad},   // 2012
    {2013, 2, 10, 0, 0x0ab5},   // 2013
    {2014, 1, 31, 9, 0x15aa},   // 2014
    {2015, 2, 19, 0, 0x05d2},   // 2015
    {2016, 2, 8, 0, 0x0da5},    // 2016
    {2017, 1, 28, 6, 0x1d4a},   // 2017
    {2018, 2, 16, 0, 0x0d4a},   // 2018
    {2019, 2, 5, 0, 0x0c95},    // 2019
    {2020, 1, 25, 4, 0x152e},   // 2020
    {2021, 2, 12, 0, 0x0556},   // 2021
    {2022, 2, 1, 0, 0x0ab5},    // 2022
    {2023, 1, 22, 2, 0x15b2},   // 2023
    {2024, 2, 10, 0, 0x06d2},   // 2024
    {2025, 1, 29, 6, 0x0ea5},   // 2025
    {2026, 2, 17, 0, 0x0725},   // 2026
    {2027, 2, 6, 0, 0x064b},    // 2027
    {2028, 1, 26, 5, 0x0c97},   // 2028
    {2029, 2, 13, 0, 0x0cab},   // 2029
    {2030, 2, 3, 0, 0x055a},    // 2030
    {2031, 1, 23, 3, 0x0ad6},   // 2031
    {2032, 2, 11, 0, 0x0b69},   // 2032
    {2033, 1, 31, 11, 0x1752},  // 2033
    {2034, 2, 19, 0, 0x0b52},   // 2034
    {2035, 2, 8, 0, 0x0b25},    // 2035
    {2036, 1, 28, 6, 0x1a4b},   // 2036
    {2037, 2, 15, 0, 0x0a4b},   // 2037
    {2038, 2, 4, 0, 0x04ab},    // 2038
    {2039, 1, 24, 5, 0x055b},   // 2039
    {2040, 2, 12, 0, 0x05ad},   // 2040
    {2041, 2, 1, 0, 0x0b6a},    // 2041
    {2042, 1, 22, 2, 0x1b52},   // 2042
    {2043, 2, 10, 0, 0x0d92},   // 2043
    {2044, 1, 30, 7, 0x1d25},   // 2044
    {2045, 2, 17, 0, 0x0d25},   // 2045
    {2046, 2, 6, 0, 0x0a55},    // 2046
    {2047, 1, 26, 5, 0x14ad},   // 2047
    {2048, 2, 14, 0, 0x04b6},   // 2048
    {2049, 2, 2, 0, 0x05b5},    // 2049
    {2050, 1, 23, 3, 0x0daa},   // 2050
}};

// The day after the last day of lunar year 2050.
const QDate kEnd(2051, 2, 11);

QString OutOfRange() { return QStringLiteral(u"输入越界"); }

const std::array<char16_t, 10> kDigits = {u'零', u'一', u'二', u'三', u'四',
                                          u'五', u'六', u'七', u'八', u'九'};

QChar Digit(int d) { return QChar(kDigits[static_cast<size_t>(d)]); }

QString YearText(int year) {
  QString text;
  for (const QChar c : QString::number(year)) text.append(Digit(c.digitValue()));
  return text;
}

QString MonthText(int month) {
  if (month < 10) return QString(Digit(month));
  if (month == 10) return QStringLiteral(u"十");
  return QStringLiteral(u"十") + Digit(month - 10);
}

QString DayText(int day) {
  if (day < 10) return QStringLiteral(u"初") + Digit(day);
  if (day == 10) return QStringLiteral(u"初十");
  if (day < 20) return QStringLiteral(u"十") + Digit(day - 10);
  if (day == 20) return QStringLiteral(u"二十");
  if (day < 30) return QStringLiteral(u"二十") + Digit(day - 20);
  return QStringLiteral(u"三十");
}

QDate NewYear(const LunarYear& y) { return QDate(y.year, y.month, y.day); }

}  // namespace

QString LunarDateText(const QDate& gregorianDate) {
  if (!gregorianDate.isValid() || gregorianDate < NewYear(kYears.front()) || gregorianDate >= kEnd)
    return OutOfRange();

  size_t index = kYears.size() - 1;
  while (gregorianDate < NewYear(kYears[index])) --index;
  const LunarYear& y = kYears[index];

  qint64 offset = NewYear(y).daysTo(gregorianDate);
  const int slots = y.leapMonth != 0 ? 13 : 12;
  for (int slot = 0; slot < slots; ++slot) {
    const int length = (y.bigMonths >> slot) & 1 ? 30 : 29;
    if (offset >= length) {
      offset -= length;
      continue;
    }
    int month = slot + 1;
    bool leap = false;
    if (y.leapMonth != 0 && slot >= y.leapMonth) {
      month = slot;
      leap = slot == y.leapMonth;
    }
    QString text = QStringLiteral(u"农历") + YearText(y.year) + QStringLiteral(u"年") +
                   MonthText(month) + QStringLiteral(u"月");
    if (leap) text += QStringLiteral(u"(闰)");
    return text + DayText(static_cast<int>(offset) + 1);
  }
  return OutOfRange();  // past the year's last month: the table is inconsistent
}
