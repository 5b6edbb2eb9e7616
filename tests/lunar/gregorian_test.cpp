#include "lunar/gregorian.h"

#include <gtest/gtest.h>

namespace lunar {
namespace {

TEST(Gregorian, LeapYearsAndMonthLengths) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2012));
  EXPECT_FALSE(IsLeapYear(2011));
  EXPECT_EQ(GetMonthDays(1900, 2), 28);
  EXPECT_EQ(GetMonthDays(2000, 2), 29);
  EXPECT_EQ(GetMonthDays(2011, 4), 30);
  EXPECT_EQ(GetMonthDays(2011, 12), 31);
  EXPECT_EQ(GetMonthDays(2011, 0), 0);
  EXPECT_EQ(GetMonthDays(2011, 13), 0);
}

TEST(Gregorian, Weekdays) {
  EXPECT_EQ(GetWeekday(1901, 1, 1), 2);
  EXPECT_EQ(GetWeekday(2011, 1, 1), 6);
  EXPECT_EQ(GetWeekday(2011, 1, 2), 7);  // Sunday is 7, never 0
  EXPECT_EQ(GetWeekday(2000, 2, 29), 2);
  EXPECT_EQ(GetWeekday(2000, 3, 1), 3);
  EXPECT_EQ(GetWeekday(2026, 12, 11), 5);
  EXPECT_EQ(GetWeekday(2011, 2, 29), GetWeekday(2011, 3, 1));  // the day counts on
}

TEST(Gregorian, WeekdayFollowsTheDayCountEverywhere) {
  std::uint16_t y = 1, m = 1, d = 1;  // 0001-01-01 was a Monday
  for (int n = 0; y < 2200; ++n) {
    ASSERT_EQ(GetWeekday(y, m, d), n % 7 + 1) << y << "-" << m << "-" << d;
    StepDay(y, m, d, true);
  }
}

TEST(Gregorian, CompareAndDiff) {
  EXPECT_EQ(CompareDates(2011, 1, 31, 2011, 1, 31), 0);
  EXPECT_EQ(CompareDates(2011, 1, 31, 2011, 2, 1), -1);
  EXPECT_EQ(CompareDates(2012, 1, 1, 2011, 12, 31), 1);
  EXPECT_EQ(CompareDates(12, 30, 45, 12, 30, 44), 1);  // also used on times of day
  EXPECT_EQ(DiffDays(1901, 2, 19, 1901, 1, 1), 49);
  EXPECT_EQ(DiffDays(2048, 12, 31, 1901, 1, 1), 54056);
  EXPECT_EQ(DiffDays(1901, 1, 1, 2048, 12, 31), -54056);
  EXPECT_EQ(DiffDays(2011, 2, 30, 2011, 3, 2), 0);
  EXPECT_EQ(DiffDays(2001, 1, 1, 2000, 1, 1), 366);
}

struct StepCase {
  DateRec from;
  int n;
  DateRec to;
};

TEST(Gregorian, StepAndAdd) {
  const StepCase cases[] = {
      {{2000, 2, 28}, 1, {2000, 2, 29}},   {{1900, 2, 28}, 1, {1900, 3, 1}},
      {{2011, 12, 31}, 1, {2012, 1, 1}},   {{2001, 1, 1}, -1, {2000, 12, 31}},
      {{2000, 3, 1}, -1, {2000, 2, 29}},   {{2011, 1, 1}, -6, {2010, 12, 26}},
      {{2011, 1, 1}, 41, {2011, 2, 11}},   {{2011, 1, 1}, 0, {2011, 1, 1}},
      {{2011, 2, 30}, -1, {2011, 2, 29}},  // a day past the month's end is not corrected going back
      {{2011, 2, 30}, 1, {2011, 3, 1}},
  };
  for (const StepCase& c : cases) {
    DateRec d = c.from;
    AddDays(d.year, d.month, d.day, c.n);
    EXPECT_EQ(d, c.to) << c.from.year << "-" << c.from.month << "-" << c.from.day << " + " << c.n;
  }
}

TEST(Gregorian, SupportedSpan) {
  EXPECT_FALSE(IsSupportedDate(1901, 2, 18));
  EXPECT_TRUE(IsSupportedDate(1901, 2, 19));
  EXPECT_TRUE(IsSupportedDate(2048, 12, 31));
  EXPECT_FALSE(IsSupportedDate(2049, 1, 1));
  EXPECT_FALSE(IsSupportedDate(2011, 0, 1));
  EXPECT_FALSE(IsSupportedDate(2011, 13, 1));
}

TEST(Gregorian, DayNumbersRoundTripAndStepInStep) {
  std::uint16_t y = 1, m = 1, d = 1;
  const std::int32_t first = DayNumber(1, 1, 1);
  for (std::int32_t n = first; y <= 3000; ++n) {
    ASSERT_EQ(DayNumber(y, m, d), n);
    ASSERT_EQ(DayNumberToDate(n), DateRec(y, m, d)) << n;
    StepDay(y, m, d, true);
  }
  EXPECT_EQ(DayNumberToDate(0), DateRec(1901, 1, 1));
  EXPECT_EQ(DayNumberToDate(54056), DateRec(2048, 12, 31));
}

}  // namespace
}  // namespace lunar
