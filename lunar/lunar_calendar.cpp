#include "lunar/lunar_calendar.h"

#include <algorithm>
#include <array>

namespace lunar {
namespace {

constexpr std::uint16_t kFirstLunarYear = 1901;
constexpr std::uint16_t kLastLunarYear = 2049;

// Month lengths of lunar years 1901..2050, one word a year: bit 15 downwards
// lists the months in calendar order (the leap month in its place after the
// month it follows), a set bit for 30 days, a clear bit for 29.
constexpr std::uint16_t kMonthLengthWords[150] = {
    0x4ae0, 0xa570, 0x5268, 0xd260, 0xd950, 0x6aa8, 0x56a0, 0x9ad0, 0x4ae8, 0x4ae0,  // 1901
    0xa4d8, 0xa4d0, 0xd250, 0xd548, 0xb540, 0xd6a0, 0x96d0, 0x95b0, 0x49b8, 0x4970,  // 1911
    0xa4b0, 0xb258, 0x6a50, 0x6d40, 0xada8, 0x2b60, 0x9570, 0x4978, 0x4970, 0x64b0,  // 1921
    0xd4a0, 0xea50, 0x6d48, 0x5ad0, 0x2b60, 0x9370, 0x92e0, 0xc968, 0xc950, 0xd4a0,  // 1931
    0xda50, 0xb550, 0x56a0, 0xaad8, 0x25d0, 0x92d0, 0xc958, 0xa950, 0xb4a8, 0x6ca0,  // 1941
    0xb550, 0x55a8, 0x4da0, 0xa5b0, 0x52b8, 0x52b0, 0xa950, 0xe950, 0x6aa0, 0xad50,  // 1951
    0xab50, 0x4b60, 0xa570, 0xa570, 0x5260, 0xe930, 0xd950, 0x5aa8, 0x56a0, 0x96d0,  // 1961
    0x4ae8, 0x4ad0, 0xa4d0, 0xd268, 0xd250, 0xd528, 0xb540, 0xb6a0, 0x96d0, 0x95b0,  // 1971
    0x49b0, 0xa4b8, 0xa4b0, 0xb258, 0x6a50, 0x6d40, 0xada0, 0xab60, 0x9570, 0x4978,  // 1981
    0x4970, 0x64b0, 0x6a50, 0xea50, 0x6b28, 0x5ac0, 0xab60, 0x9368, 0x92e0, 0xc960,  // 1991
    0xd4a8, 0xd4a0, 0xda50, 0x5aa8, 0x56a0, 0xaad8, 0x25d0, 0x92d0, 0xc958, 0xa950,  // 2001
    0xb4a0, 0xb550, 0xad50, 0x55a8, 0x4ba0, 0xa5b0, 0x52b8, 0x52b0, 0xa930, 0x74a8,  // 2011
    0x6aa0, 0xad50, 0x4da8, 0x4b60, 0xa570, 0xa4e0, 0xd260, 0xe930, 0xd530, 0x5aa0,  // 2021
    0x6b50, 0x96d0, 0x4ae8, 0x4ad0, 0xa4d0, 0xd258, 0xd250, 0xd520, 0xdaa0, 0xb5a0,  // 2031
    0x56d0, 0x4ad8, 0x49b0, 0xa4b8, 0xa4b0, 0xaa50, 0xb528, 0x6d20, 0xada0, 0x55b0,  // 2041
};

// Leap months of lunar years 1901..2100, two years a byte: the year at an even
// distance from 1901 in the high half, the next one in the low half.
constexpr std::uint8_t kLeapMonthNibbles[100] = {
    0x00, 0x50, 0x04, 0x00, 0x20, 0x60, 0x05, 0x00, 0x20, 0x70,  // 1901..1920
    0x05, 0x00, 0x40, 0x02, 0x06, 0x00, 0x50, 0x03, 0x07, 0x00,  // 1921..1940
    0x60, 0x04, 0x00, 0x20, 0x70, 0x05, 0x00, 0x30, 0x80, 0x06,  // 1941..1960
    0x00, 0x40, 0x03, 0x07, 0x00, 0x50, 0x04, 0x08, 0x00, 0x60,  // 1961..1980
    0x04, 0x0a, 0x00, 0x60, 0x05, 0x00, 0x30, 0x80, 0x05, 0x00,  // 1981..2000
    0x40, 0x02, 0x07, 0x00, 0x50, 0x04, 0x09, 0x00, 0x60, 0x04,  // 2001..2020
    0x00, 0x20, 0x60, 0x05, 0x00, 0x30, 0xb0, 0x06, 0x00, 0x50,  // 2021..2040
    0x02, 0x07, 0x00, 0x50, 0x03, 0x08, 0x00, 0x60, 0x04, 0x00,  // 2041..2060
    0x30, 0x70, 0x05, 0x00, 0x40, 0x80, 0x06, 0x00, 0x40, 0x03,  // 2061..2080
    0x07, 0x00, 0x50, 0x04, 0x08, 0x00, 0x60, 0x04, 0x00, 0x20,  // 2081..2100
};

constexpr bool InLunarRange(std::uint16_t lunarYear) {
  return lunarYear >= kFirstLunarYear && lunarYear <= kLastLunarYear;
}

// The table lookups by year offset from 1901 (0..148), shared by the public
// operations and the compile-time year starts below.
constexpr int LeapMonthAt(int offset) {
  const std::uint8_t pair = kLeapMonthNibbles[offset / 2];
  return offset % 2 == 0 ? pair >> 4 : pair & 0x0f;
}

constexpr std::uint32_t MonthLengthsAt(int offset, int month) {
  const int leapMonth = LeapMonthAt(offset);
  const std::uint16_t word = kMonthLengthWords[offset];
  int bit = 16 - month;
  if (leapMonth != 0 && month > leapMonth) --bit;
  const std::uint32_t normal = (word >> bit) & 1 ? 30 : 29;
  std::uint32_t leap = 0;
  if (month == leapMonth) leap = (word >> (bit - 1)) & 1 ? 30 : 29;
  return normal | (leap << 16);
}

constexpr int YearDaysAt(int offset) {
  int days = 0;
  for (int month = 1; month <= 12; ++month) {
    const std::uint32_t lengths = MonthLengthsAt(offset, month);
    days += static_cast<int>((lengths & 0xffff) + (lengths >> 16));
  }
  return days;
}

constexpr int kLunarYears = kLastLunarYear - kFirstLunarYear + 1;  // 149

// Day number of lunar new year 1901..2050, summed from the tables while
// compiling, so that a conversion need not walk the years one by one.
constexpr auto kNewYearDayNumbers = [] {
  std::array<std::int32_t, kLunarYears + 1> starts{};
  starts[0] = kFirstSupportedDayNumber;
  for (int offset = 0; offset < kLunarYears; ++offset) starts[offset + 1] = starts[offset] + YearDaysAt(offset);
  return starts;
}();
static_assert(kNewYearDayNumbers[2011 - kFirstLunarYear] == 40210);  // 2011-02-03

// The search's comparison of a Gregorian guess's lunar date with the target.
// A guess outside the convertible span counts as earlier (before 1901-02-19)
// or later (after 2048-12-31) than any target, so the search walks back in.
int CompareGuess(const DateRec& guess, const DateRec& target, DateRec& guessLunar) {
  if (GregorianToLunar(guess.year, guess.month, guess.day, guessLunar)) {
    return CompareDates(guessLunar.year, guessLunar.month, guessLunar.day,
                        target.year, target.month, target.day);
  }
  guessLunar.Clear();
  return guess.year > 2048 ? 1 : -1;
}

}  // namespace

std::int16_t GetLeapMonth(std::uint16_t lunarYear) {
  if (!InLunarRange(lunarYear)) return -1;
  return static_cast<std::int16_t>(LeapMonthAt(lunarYear - kFirstLunarYear));
}

std::uint32_t GetLunarMonthLengths(std::uint16_t lunarYear, std::uint16_t month) {
  if (!InLunarRange(lunarYear) || month < 1 || month > 12) return 0;
  return MonthLengthsAt(lunarYear - kFirstLunarYear, month);
}

int GetLunarMonthDays(std::uint16_t lunarYear, std::uint16_t month, bool leap) {
  const std::uint32_t lengths = GetLunarMonthLengths(lunarYear, month);
  return static_cast<int>(leap ? lengths >> 16 : lengths & 0xffff);
}

int GetLunarYearDays(std::uint16_t lunarYear) {
  if (!InLunarRange(lunarYear)) return 0;
  return YearDaysAt(lunarYear - kFirstLunarYear);
}

DateRec DayNumberToLunar(std::int32_t dayNumber) {
  // The year whose new year is the latest at or before the day; the search
  // stops at the table's last year (2049), so any input ends.
  const auto* firstLater =
      std::upper_bound(kNewYearDayNumbers.begin() + 1, kNewYearDayNumbers.end() - 1, dayNumber);
  const int offset = static_cast<int>(firstLater - (kNewYearDayNumbers.begin() + 1));  // [0, 148]
  DateRec lunar(static_cast<std::uint16_t>(kFirstLunarYear + offset), 1, 1, 0);
  std::int64_t remaining = static_cast<std::int64_t>(dayNumber) - kNewYearDayNumbers[offset];

  const int leapMonth = LeapMonthAt(offset);
  while (lunar.month < 12) {
    const std::uint32_t lengths = MonthLengthsAt(offset, lunar.month);
    const std::int64_t normal = lengths & 0xffff;
    if (remaining < normal) break;
    remaining -= normal;
    if (lunar.month == leapMonth) {
      const std::int64_t leapLength = lengths >> 16;
      if (remaining < leapLength) {
        lunar.leap = 1;
        break;
      }
      remaining -= leapLength;
    }
    ++lunar.month;
  }
  lunar.day = static_cast<std::uint16_t>(1 + remaining);
  return lunar;
}

bool GregorianToLunar(std::uint16_t year, std::uint16_t month, std::uint16_t day, DateRec& lunar) {
  if (!IsSupportedDate(year, month, day)) return false;
  lunar = DayNumberToLunar(DayNumber(year, month, day));
  return true;
}

bool LunarToGregorian(std::uint16_t lunarYear, std::uint16_t month, std::uint16_t day, bool leap,
                      DateRec& gregorian) {
  if (!InLunarRange(lunarYear) || month < 1 || month > 12) return false;
  const DateRec target(lunarYear, month, day, leap && GetLeapMonth(lunarYear) == month ? 1 : 0);

  // The lunar numbers themselves are the first Gregorian guess (possibly a day
  // such as February 30, which the day arithmetic counts on past the month).
  gregorian = DateRec(lunarYear, month, day);
  DateRec guessLunar;
  int order = CompareGuess(gregorian, target, guessLunar);
  for (int round = 0; round < 100; ++round) {
    if (order == 0) {
      if (guessLunar.leap == target.leap) return true;
      // Same numbers, other half of a doubled month: jump a month across.
      AddDays(gregorian.year, gregorian.month, gregorian.day, guessLunar.leap ? -31 : 31);
    }
    AddDays(gregorian.year, gregorian.month, gregorian.day, -order);
    order = CompareGuess(gregorian, target, guessLunar);
  }
  return false;
}

}  // namespace lunar
