// Chinese date texts: lunar month and day names, weekday names and date
// templates. All texts are GBK bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/date_time.h"

namespace lunar {

// The header and hover text of the calendar: 辛卯年(兔)正月初二 2011-2-4.
inline constexpr char kDefaultDateTemplate[] = "%Y年(%S)%M%D %y-%m-%d";

// 正月 .. 十月, 冬月, 腊月, with 闰 in front for a leap month; empty for a month
// outside 1..12.
std::string GetLunarMonthName(int month, bool leap);
// 初一 .. 初十, 十一 .. 十九, 二十, 廿一 .. 廿九, 三十; empty outside 1..30.
std::string GetLunarDayName(int day);
// 星期一 .. 星期日 for GetWeekday's 1..7; empty otherwise.
std::string GetWeekdayName(int weekday);

// Fills a template: %Y cycle year (辛卯), %S its animal, %M lunar month,
// %D lunar day, %y %m %d the Gregorian year, month and day in decimal. Any
// other text is copied. %Y %S %M %D are empty outside the supported span.
std::string FormatDateText(runtime::DateTime moment, std::string_view format);
// FormatDateText of the day at 23:59:59.
std::string FormatDate(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::string_view format);

}  // namespace lunar
