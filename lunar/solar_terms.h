// The 24 solar terms: which term falls on a day, a term's moment (Beijing
// time, to the second) and its name, for the years 1880 to 2079.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/date_time.h"

namespace lunar {

// 1 小寒 .. 24 冬至: the term whose moment falls on that Gregorian day
// (Beijing time), or 0.
std::uint16_t GetSolarTermOfDay(std::uint16_t year, std::uint16_t month, std::uint16_t day);
// How many of the year's terms fall on days before the given day: the number
// of the latest term before it in the same year (0 before 小寒, and for a year
// outside 1880..2079).
int CountSolarTermsBefore(std::uint16_t year, std::uint16_t month, std::uint16_t day);
// kMinDateTime when the year is outside 1880..2079 or the term outside 1..24.
runtime::DateTime GetSolarTermTime(std::uint16_t year, int term);
// Two GBK characters; empty for a term outside 1..24.
std::string GetSolarTermName(int term);

}  // namespace lunar
