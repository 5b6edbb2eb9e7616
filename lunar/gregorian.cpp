#include "lunar/gregorian.h"

namespace lunar {
namespace {

// Indexed by month 1..12.
constexpr int kWeekdayMonthOffset[13] = {0, 0, 3, 3, 6, 1, 4, 6, 2, 5, 0, 3, 5};
constexpr int kDaysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// Leap days in the years 1..y (y may be 0).
int LeapDaysThrough(int y) { return y / 4 - y / 100 + y / 400; }

// Day of the year, 1-based; the day is not checked against the month.
int DayOfYear(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
  return kDaysBeforeMonth[month] + (IsLeapYear(year) && month > 2 ? 1 : 0) + day;
}

}  // namespace

bool IsLeapYear(std::uint16_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int GetMonthDays(std::uint16_t year, std::uint16_t month) {
  switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
      return 31;
    case 4: case 6: case 9: case 11:
      return 30;
    case 2:
      return IsLeapYear(year) ? 29 : 28;
    default:
      return 0;
  }
}

int GetWeekday(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
  if (month < 1 || month > 12) return 0;
  const int y1 = year - 1;
  const int sum = y1 % 7 + LeapDaysThrough(y1) + kWeekdayMonthOffset[month] + day +
                  (IsLeapYear(year) && month > 2 ? 1 : 0);
  const int weekday = sum % 7;
  return weekday == 0 ? 7 : weekday;
}

int CompareDates(std::uint16_t y1, std::uint16_t m1, std::uint16_t d1,
                 std::uint16_t y2, std::uint16_t m2, std::uint16_t d2) {
  if (y1 != y2) return y1 > y2 ? 1 : -1;
  if (m1 != m2) return m1 > m2 ? 1 : -1;
  if (d1 != d2) return d1 > d2 ? 1 : -1;
  return 0;
}

std::int32_t DiffDays(std::uint16_t y1, std::uint16_t m1, std::uint16_t d1,
                      std::uint16_t y2, std::uint16_t m2, std::uint16_t d2) {
  if (m1 < 1 || m1 > 12 || m2 < 1 || m2 > 12) return 0;
  // [-23.9e6, 23.9e6] for years 1..65535: fits comfortably in 32 bits.
  return 365 * (static_cast<int>(y1) - y2) + LeapDaysThrough(y1 - 1) - LeapDaysThrough(y2 - 1) +
         DayOfYear(y1, m1, d1) - DayOfYear(y2, m2, d2);
}

void StepDay(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day, bool forward) {
  if (forward) {
    const int length = GetMonthDays(year, month);
    ++day;
    if (day > length) {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    }
  } else {
    const int previousLength = month == 1 ? 31 : GetMonthDays(year, month - 1);
    --day;
    if (day == 0) {
      day = static_cast<std::uint16_t>(previousLength);
      if (--month == 0) {
        month = 12;
        --year;
      }
    }
  }
}

void AddDays(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day, int n) {
  const bool forward = n > 0;
  for (long long i = n > 0 ? n : -static_cast<long long>(n); i > 0; --i) {
    StepDay(year, month, day, forward);
  }
}

bool IsSupportedDate(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
  if (month < 1 || month > 12) return false;
  if (year > 2048) return false;
  return CompareDates(year, month, day, 1901, 2, 19) >= 0;
}

std::int32_t DayNumber(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
  return DiffDays(year, month, day, 1901, 1, 1);
}

DateRec DayNumberToDate(std::int32_t dayNumber) {
  // Civil-from-days on a 400-year era (146097 days), counted from 0001-01-01.
  std::int64_t days = static_cast<std::int64_t>(dayNumber) + 693960;  // 0001-01-01 is day -693960
  std::int64_t year = 1 + 400 * (days / 146097);
  days %= 146097;
  if (days < 0) {
    days += 146097;
    year -= 400;
  }
  // Within an era: centuries of 36524 days (the last one 36525), then four-year
  // cycles of 1461, then years of 365 (the fourth 366).
  std::int64_t centuries = days / 36524;
  if (centuries == 4) centuries = 3;
  days -= centuries * 36524;
  std::int64_t cycles = days / 1461;
  days -= cycles * 1461;
  std::int64_t years = days / 365;
  if (years == 4) years = 3;
  days -= years * 365;
  year += centuries * 100 + cycles * 4 + years;
  const auto y = static_cast<std::uint16_t>(year);
  std::uint16_t month = 1;
  while (month < 12 && days >= kDaysBeforeMonth[month + 1] + (IsLeapYear(y) && month + 1 > 2 ? 1 : 0)) {
    ++month;
  }
  const int day = static_cast<int>(days) - kDaysBeforeMonth[month] - (IsLeapYear(y) && month > 2 ? 1 : 0) + 1;
  return DateRec(y, month, static_cast<std::uint16_t>(day));
}

}  // namespace lunar
