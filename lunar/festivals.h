// Traditional and public festivals: the rules as a table and the festivals
// of a Gregorian day. Lunar festivals fall on the normal month only: a day of
// a leap month is never a festival.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lunar {

enum class FestivalRule : std::uint8_t {
  kLunar,      // a lunar month and day
  kSolarTerm,  // the day a solar term falls on (Beijing time)
  kGregorian,  // a Gregorian month and day
};

// A lunar day of kLastDay is the month's last day: 廿九 or 三十.
inline constexpr std::uint16_t kLastDay = 0;

struct Festival {
  const char* name;     // GBK: 春节
  const char* key;      // ASCII, never changed once published: exported calendars build UIDs from it
  FestivalRule rule;
  std::uint16_t month;  // lunar month 1..12, Gregorian month 1..12, or the term 1..24
  std::uint16_t day;    // lunar or Gregorian day, or kLastDay; 0 for a term
};

// Every festival, lunar ones first, then the terms, then the Gregorian ones:
// the order in which the festivals of one day are listed.
std::span<const Festival> Festivals();

// The festivals of a Gregorian day, in table order; two can meet (中秋节 on
// 国庆节). Lunar festivals need the day's lunar date and so exist only for
// 1901-02-19 .. 2048-12-31, term festivals for 1880 .. 2079, Gregorian ones on
// any valid date. Empty for a date that does not exist.
std::vector<const Festival*> GetFestivalsOfDay(std::uint16_t year, std::uint16_t month, std::uint16_t day);

// The Gregorian years all of whose festivals can be computed. 1901 is out:
// its January and February before the lunar new year (02-19) have no lunar
// dates, so its 腊八节, 小年 and 除夕 are unknown. 2049 is out: no lunar dates.
inline constexpr int kFirstFestivalYear = 1902;
inline constexpr int kLastFestivalYear = 2048;

}  // namespace lunar
