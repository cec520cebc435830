#include "core/lunar_date.h"

#include <gtest/gtest.h>
#include <unicode/ucal.h>

#include <memory>
#include <optional>
#include <ostream>

namespace {

struct LunarVector {
  QDate date;
  QString text;
};

void PrintTo(const LunarVector& v, std::ostream* os) {
  *os << v.date.toString(Qt::ISODate).toStdString();
}

class LunarDateTextTest : public testing::TestWithParam<LunarVector> {};

TEST_P(LunarDateTextTest, FormatsTheLabel) {
  EXPECT_EQ(LunarDateText(GetParam().date), GetParam().text)
      << GetParam().date.toString(Qt::ISODate).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    KnownDates, LunarDateTextTest,
    testing::Values(LunarVector{QDate(2026, 2, 17), QStringLiteral(u"农历二零二六年一月初一")},
                    LunarVector{QDate(2023, 3, 22), QStringLiteral(u"农历二零二三年二月(闰)初一")},
                    LunarVector{QDate(2026, 12, 8), QStringLiteral(u"农历二零二六年十月三十")},
                    LunarVector{QDate(2026, 12, 9), QStringLiteral(u"农历二零二六年十一月初一")},
                    LunarVector{QDate(2027, 1, 8), QStringLiteral(u"农历二零二六年十二月初一")},
                    // New year 2027 is on 6 February (new moon at 23:56 Beijing time).
                    LunarVector{QDate(2027, 2, 5), QStringLiteral(u"农历二零二六年十二月二十九")},
                    LunarVector{QDate(2027, 2, 6), QStringLiteral(u"农历二零二七年一月初一")},
                    LunarVector{QDate(2030, 2, 3), QStringLiteral(u"农历二零三零年一月初一")},
                    // Days 10, 11, 20, 21 of one month.
                    LunarVector{QDate(2026, 2, 26), QStringLiteral(u"农历二零二六年一月初十")},
                    LunarVector{QDate(2026, 2, 27), QStringLiteral(u"农历二零二六年一月十一")},
                    LunarVector{QDate(2026, 3, 8), QStringLiteral(u"农历二零二六年一月二十")},
                    LunarVector{QDate(2026, 3, 9), QStringLiteral(u"农历二零二六年一月二十一")},
                    // Leap months: 1990 5th, 2020 4th, 2033 11th, 2050 3rd.
                    LunarVector{QDate(1990, 6, 23), QStringLiteral(u"农历一九九零年五月(闰)初一")},
                    LunarVector{QDate(2020, 5, 23), QStringLiteral(u"农历二零二零年四月(闰)初一")},
                    LunarVector{QDate(2033, 12, 22),
                                QStringLiteral(u"农历二零三三年十一月(闰)初一")},
                    LunarVector{QDate(2050, 4, 21), QStringLiteral(u"农历二零五零年三月(闰)初一")},
                    // The edges of the table.
                    LunarVector{QDate(1990, 1, 26), QStringLiteral(u"输入越界")},
                    LunarVector{QDate(1990, 1, 27), QStringLiteral(u"农历一九九零年一月初一")},
                    LunarVector{QDate(2051, 2, 10), QStringLiteral(u"农历二零五零年十二月二十九")},
                    LunarVector{QDate(2051, 2, 11), QStringLiteral(u"输入越界")},
                    LunarVector{QDate(1900, 1, 1), QStringLiteral(u"输入越界")},
                    LunarVector{QDate(9999, 12, 31), QStringLiteral(u"输入越界")},
                    LunarVector{QDate(), QStringLiteral(u"输入越界")}));

// The label's text split back into numbers, to check the calendar's shape.
struct LunarDay {
  int year = 0;
  int month = 0;
  bool leap = false;
  int day = 0;
};

int ParseNumeral(QStringView s) {
  static const QString digits = QStringLiteral(u"零一二三四五六七八九");
  if (s.startsWith(u'初')) s = s.mid(1);
  int value = 0;
  if (s.size() == 1 && s[0] == u'十') return 10;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == u'十') {
      value = (value == 0 ? 1 : value) * 10;
      continue;
    }
    const qsizetype d = digits.indexOf(s[i]);
    if (d < 0) return -1;
    value += static_cast<int>(d);
  }
  return value;
}

std::optional<LunarDay> Parse(const QString& text) {
  static const QString digits = QStringLiteral(u"零一二三四五六七八九");
  if (!text.startsWith(QStringLiteral(u"农历")) || text.size() < 10) return std::nullopt;
  LunarDay d;
  for (qsizetype i = 2; i < 6; ++i)
    d.year = d.year * 10 + static_cast<int>(digits.indexOf(text[i]));
  const qsizetype monthEnd = text.indexOf(u'月');
  d.month = ParseNumeral(QStringView(text).mid(7, monthEnd - 7));
  qsizetype dayStart = monthEnd + 1;
  if (QStringView(text).mid(dayStart).startsWith(QStringLiteral(u"(闰)"))) {
    d.leap = true;
    dayStart += 3;
  }
  d.day = ParseNumeral(QStringView(text).mid(dayStart));
  return d;
}

// Walks every day of the table: days count up by one within a month, months
// have 29 or 30 days, a leap month repeats the month before it, a year has 12
// or 13 months, and a new year follows the twelfth month. A wrong entry in the
// calendar data breaks one of these.
TEST(LunarCalendarShapeTest, EveryDayFollowsFromTheDayBefore) {
  QDate date(1990, 1, 27);
  std::optional<LunarDay> previous = Parse(LunarDateText(date));
  ASSERT_TRUE(previous.has_value());
  int monthsInYear = 1;
  int leapYears = 0;
  for (date = date.addDays(1); date < QDate(2051, 2, 11); date = date.addDays(1)) {
    const auto today = Parse(LunarDateText(date));
    ASSERT_TRUE(today.has_value()) << date.toString(Qt::ISODate).toStdString();
    const LunarDay& p = *previous;
    const LunarDay& t = *today;
    if (t.day == p.day + 1) {
      ASSERT_TRUE(t.year == p.year && t.month == p.month && t.leap == p.leap)
          << date.toString(Qt::ISODate).toStdString();
    } else {
      ASSERT_EQ(t.day, 1) << date.toString(Qt::ISODate).toStdString();
      ASSERT_TRUE(p.day == 29 || p.day == 30) << date.toString(Qt::ISODate).toStdString();
      if (t.year != p.year) {
        ASSERT_EQ(t.year, p.year + 1);
        ASSERT_TRUE(t.month == 1 && !t.leap && p.month == 12 && !p.leap);
        ASSERT_TRUE(monthsInYear == 12 || monthsInYear == 13) << p.year;
        if (monthsInYear == 13) ++leapYears;
        monthsInYear = 1;
      } else {
        ++monthsInYear;
        if (t.leap) {
          ASSERT_EQ(t.month, p.month) << date.toString(Qt::ISODate).toStdString();
        } else {
          ASSERT_EQ(t.month, p.month + 1) << date.toString(Qt::ISODate).toStdString();
        }
      }
    }
    previous = today;
  }
  EXPECT_EQ(previous->year, 2050);
  // 22 or 23 leap months in every 61 years (7 in 19).
  EXPECT_EQ(leapYears + (monthsInYear == 13 ? 1 : 0), 23);
}

struct CalendarCloser {
  void operator()(UCalendar* c) const { ucal_close(c); }
};

// A second, independent reckoning: ICU's astronomical Chinese calendar. It
// slips a day only where a new moon falls within minutes of Beijing midnight.
TEST(LunarCalendarShapeTest, AgreesWithAstronomicalCalendar) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UCalendar, CalendarCloser> cal(
      ucal_open(u"UTC", -1, "zh@calendar=chinese", UCAL_DEFAULT, &status));
  ASSERT_TRUE(U_SUCCESS(status));
  const auto nearMidnight = [](const QDate& d) {
    const std::pair<QDate, QDate> months[] = {{QDate(1999, 1, 16), QDate(1999, 2, 16)},
                                              {QDate(2012, 8, 16), QDate(2012, 9, 16)},
                                              {QDate(2018, 11, 6), QDate(2018, 12, 7)},
                                              {QDate(2027, 2, 5), QDate(2027, 3, 8)},
                                              {QDate(2030, 2, 1), QDate(2030, 3, 4)}};
    for (const auto& [from, to] : months)
      if (d >= from && d <= to) return true;
    return false;
  };
  int compared = 0;
  for (QDate date(1990, 1, 27); date < QDate(2051, 2, 11); date = date.addDays(1)) {
    if (nearMidnight(date)) continue;
    ucal_setMillis(cal.get(), (QDate(1970, 1, 1).daysTo(date) + 0.5) * 86400000.0, &status);
    const auto ours = Parse(LunarDateText(date));
    ASSERT_TRUE(ours.has_value());
    ASSERT_EQ(ours->year, ucal_get(cal.get(), UCAL_EXTENDED_YEAR, &status) - 2637)
        << date.toString(Qt::ISODate).toStdString();
    ASSERT_EQ(ours->month, ucal_get(cal.get(), UCAL_MONTH, &status) + 1)
        << date.toString(Qt::ISODate).toStdString();
    ASSERT_EQ(ours->leap, ucal_get(cal.get(), UCAL_IS_LEAP_MONTH, &status) != 0)
        << date.toString(Qt::ISODate).toStdString();
    ASSERT_EQ(ours->day, ucal_get(cal.get(), UCAL_DATE, &status))
        << date.toString(Qt::ISODate).toStdString();
    ++compared;
  }
  ASSERT_TRUE(U_SUCCESS(status));
  EXPECT_GT(compared, 22000);
}

}  // namespace
