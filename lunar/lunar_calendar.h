// The Chinese lunar calendar for lunar years 1901 to 2049 and the conversion
// between Gregorian and lunar dates for Gregorian 1901-02-19 .. 2048-12-31
// (lunar 1901-01-01 .. 2048-11-27).
#pragma once

#include <cstdint>

#include "lunar/gregorian.h"

namespace lunar {

// 0 (no leap month) or 1..12, the month the leap month follows; -1 outside 1901..2049.
std::int16_t GetLeapMonth(std::uint16_t lunarYear);
// Normal length in the low 16 bits, the leap month's length (when this month
// is followed by the leap month, else 0) in the high 16 bits; 0 for a year
// outside 1901..2049 or a month outside 1..12.
std::uint32_t GetLunarMonthLengths(std::uint16_t lunarYear, std::uint16_t month);
// 29 or 30; 0 for a leap flag on a month without a leap month, or out of range.
int GetLunarMonthDays(std::uint16_t lunarYear, std::uint16_t month, bool leap);
// 353..385; 0 outside 1901..2049.
int GetLunarYearDays(std::uint16_t lunarYear);

// The lunar date of a day number (DiffDays from 1901-01-01). Meaningful for
// day numbers 49..54056; any other input still ends, with a meaningless date.
DateRec DayNumberToLunar(std::int32_t dayNumber);
// False, lunar left untouched, unless IsSupportedDate(year, month, day).
bool GregorianToLunar(std::uint16_t year, std::uint16_t month, std::uint16_t day, DateRec& lunar);
// False for a refused or non-existent lunar date; gregorian is then unusable.
// A leap flag on a month that has no leap month is ignored.
bool LunarToGregorian(std::uint16_t lunarYear, std::uint16_t month, std::uint16_t day, bool leap,
                      DateRec& gregorian);

}  // namespace lunar
