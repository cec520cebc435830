#pragma once

#include <QDate>
#include <QString>

// A date in the Chinese lunar calendar as the main window's label shows
// it: "农历" year "年" month "月" ["(闰)"] day, in Chinese numerals (year digit
// by digit, days as 初一..初十, 十一.., 二十, 二十一.., 三十). Lunar years before
// 1990 or after 2050, and invalid dates, give "输入越界".
QString LunarDateText(const QDate& gregorianDate);
