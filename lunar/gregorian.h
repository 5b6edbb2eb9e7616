// Gregorian calendar arithmetic: leap years, month lengths, weekdays, a day
// count and stepping by days. Plain functions over unsigned 16-bit fields;
// the arithmetic works for years 1 to 65535, the lunar tables only inside
// the supported span (see IsSupportedDate).
#pragma once

#include <cstdint>

namespace lunar {

// One record for both calendars: a Gregorian date (leap always 0) or a lunar
// date (leap 1 for a day of the leap month).
struct DateRec {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day = 0;
  std::uint8_t leap = 0;

  constexpr DateRec() = default;
  constexpr DateRec(std::uint16_t y, std::uint16_t m, std::uint16_t d, std::uint8_t l = 0)
      : year(y), month(m), day(d), leap(l) {}
  constexpr void Clear() { *this = DateRec(); }
  friend constexpr bool operator==(const DateRec&, const DateRec&) = default;
};

// Day numbers count days from 1901-01-01 (day 0).
inline constexpr std::int32_t kFirstSupportedDayNumber = 49;    // 1901-02-19, lunar 1901-01-01
inline constexpr std::int32_t kLastSupportedDayNumber = 54056;  // 2048-12-31, lunar 2048-11-27

bool IsLeapYear(std::uint16_t year);
// 28..31; 0 when the month is not 1..12.
int GetMonthDays(std::uint16_t year, std::uint16_t month);
// 1 Monday .. 7 Sunday. The month must be 1..12; the day counts on past the
// month's end.
int GetWeekday(std::uint16_t year, std::uint16_t month, std::uint16_t day);
// Lexicographic: 0 equal, 1 when the first triple is later, -1 when earlier.
int CompareDates(std::uint16_t y1, std::uint16_t m1, std::uint16_t d1,
                 std::uint16_t y2, std::uint16_t m2, std::uint16_t d2);
// Days from the second date to the first. Months must be 1..12; a day past
// its month's end counts on (2011-02-30 is 2011-03-02).
std::int32_t DiffDays(std::uint16_t y1, std::uint16_t m1, std::uint16_t d1,
                      std::uint16_t y2, std::uint16_t m2, std::uint16_t d2);
void StepDay(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day, bool forward);
// |n| steps of StepDay: meant for small moves.
void AddDays(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day, int n);
// 1901-02-19 .. 2048-12-31 (the day's upper bound is not looked at).
bool IsSupportedDate(std::uint16_t year, std::uint16_t month, std::uint16_t day);

// The engine's day number: DiffDays from 1901-01-01.
std::int32_t DayNumber(std::uint16_t year, std::uint16_t month, std::uint16_t day);
// The Gregorian date of a day number (any number whose year stays in 1..65535).
DateRec DayNumberToDate(std::int32_t dayNumber);

}  // namespace lunar
