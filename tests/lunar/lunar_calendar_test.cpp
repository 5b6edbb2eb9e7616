#include "lunar/lunar_calendar.h"

#include <gtest/gtest.h>

#include <ostream>

namespace lunar {

void PrintTo(const DateRec& d, std::ostream* os) {
  *os << d.year << "-" << d.month << "-" << d.day << (d.leap ? " leap" : "");
}

namespace {

TEST(LunarTables, LeapMonths) {
  EXPECT_EQ(GetLeapMonth(1903), 5);
  EXPECT_EQ(GetLeapMonth(2001), 4);
  EXPECT_EQ(GetLeapMonth(2033), 11);
  EXPECT_EQ(GetLeapMonth(1984), 10);
  EXPECT_EQ(GetLeapMonth(2011), 0);
  EXPECT_EQ(GetLeapMonth(2049), 0);
  EXPECT_EQ(GetLeapMonth(1900), -1);
  EXPECT_EQ(GetLeapMonth(2050), -1);
}

TEST(LunarTables, MonthAndYearLengths) {
  const int months1901[12] = {29, 30, 29, 29, 30, 29, 30, 29, 30, 30, 30, 29};
  for (std::uint16_t m = 1; m <= 12; ++m) EXPECT_EQ(GetLunarMonthDays(1901, m, false), months1901[m - 1]) << m;
  EXPECT_EQ(GetLunarYearDays(1901), 354);
  EXPECT_EQ(GetLunarYearDays(2011), 354);
  EXPECT_EQ(GetLunarYearDays(2012), 384);
  EXPECT_EQ(GetLunarMonthDays(2012, 4, true), 29);
  EXPECT_EQ(GetLunarMonthDays(2012, 4, false), 30);
  EXPECT_EQ(GetLunarMonthDays(2012, 5, true), 0);
  EXPECT_EQ(GetLunarMonthLengths(2012, 4), 30u | (29u << 16));
  EXPECT_EQ(GetLunarMonthLengths(1900, 1), 0u);
  EXPECT_EQ(GetLunarMonthLengths(2011, 13), 0u);
  EXPECT_EQ(GetLunarYearDays(2050), 0);
}

TEST(LunarTables, EveryYearIsPlausible) {
  for (std::uint16_t y = 1901; y <= 2049; ++y) {
    const int days = GetLunarYearDays(y);
    if (GetLeapMonth(y) == 0) {
      EXPECT_TRUE(days >= 353 && days <= 355) << y << ": " << days;
    } else {
      EXPECT_TRUE(days >= 383 && days <= 385) << y << ": " << days;
    }
  }
}

TEST(LunarConversion, KnownDates) {
  struct Case {
    DateRec gregorian;
    DateRec lunar;
  };
  const Case cases[] = {
      {{1901, 2, 19}, {1901, 1, 1}},      {{2048, 12, 31}, {2048, 11, 27}},
      {{2011, 2, 3}, {2011, 1, 1}},       {{2033, 12, 22}, {2033, 11, 1, 1}},
      {{2033, 11, 22}, {2033, 11, 1}},    {{2012, 5, 21}, {2012, 4, 1, 1}},
      {{2012, 6, 18}, {2012, 4, 29, 1}},  {{2012, 6, 19}, {2012, 5, 1}},
      {{2011, 1, 1}, {2010, 11, 27}},     {{2011, 3, 24}, {2011, 2, 20}},
      {{2000, 2, 5}, {2000, 1, 1}},       {{2020, 1, 25}, {2020, 1, 1}},
      {{2026, 2, 17}, {2026, 1, 1}},      {{2026, 12, 11}, {2026, 11, 3}},
  };
  for (const Case& c : cases) {
    DateRec lunar;
    ASSERT_TRUE(GregorianToLunar(c.gregorian.year, c.gregorian.month, c.gregorian.day, lunar));
    EXPECT_EQ(lunar, c.lunar);
    DateRec back;
    ASSERT_TRUE(LunarToGregorian(c.lunar.year, c.lunar.month, c.lunar.day, c.lunar.leap, back));
    EXPECT_EQ(back, c.gregorian);
  }
}

TEST(LunarConversion, RefusalsLeaveOutputsAlone) {
  const DateRec sentinel(7, 7, 7, 1);
  DateRec out = sentinel;
  EXPECT_FALSE(GregorianToLunar(1901, 2, 18, out));
  EXPECT_FALSE(GregorianToLunar(2049, 1, 1, out));
  EXPECT_FALSE(GregorianToLunar(2011, 13, 1, out));
  EXPECT_EQ(out, sentinel);

  EXPECT_FALSE(LunarToGregorian(2012, 4, 30, true, out));  // the leap month has 29 days
  EXPECT_FALSE(LunarToGregorian(2049, 1, 1, false, out));
  EXPECT_FALSE(LunarToGregorian(2048, 11, 28, false, out));
  EXPECT_FALSE(LunarToGregorian(2011, 1, 0, false, out));
  EXPECT_FALSE(LunarToGregorian(2011, 1, 31, false, out));
  EXPECT_FALSE(LunarToGregorian(1900, 1, 1, false, out));
  EXPECT_FALSE(LunarToGregorian(2011, 13, 1, false, out));
}

TEST(LunarConversion, LeapFlagOnAMonthWithoutLeapIsIgnored) {
  DateRec out;
  ASSERT_TRUE(LunarToGregorian(2011, 1, 1, true, out));
  EXPECT_EQ(out, DateRec(2011, 2, 3));
  ASSERT_TRUE(LunarToGregorian(2033, 11, 1, false, out));
  EXPECT_EQ(out, DateRec(2033, 11, 22));
  ASSERT_TRUE(LunarToGregorian(2033, 11, 1, true, out));
  EXPECT_EQ(out, DateRec(2033, 12, 22));
}

// Walks every supported day: the lunar date advances by exactly one day (or
// to day 1 of the next month, the leap month after its normal month), and
// converts back to the same Gregorian day.
TEST(LunarConversion, WholeRangeWalkAndRoundTrip) {
  DateRec g(1901, 2, 19);
  DateRec previous;
  int days = 0;
  for (std::int32_t n = kFirstSupportedDayNumber; n <= kLastSupportedDayNumber; ++n, ++days) {
    DateRec lunar;
    ASSERT_TRUE(GregorianToLunar(g.year, g.month, g.day, lunar)) << n;
    if (n == kFirstSupportedDayNumber) {
      ASSERT_EQ(lunar, DateRec(1901, 1, 1));
    } else if (lunar.day != 1) {
      ASSERT_EQ(lunar, DateRec(previous.year, previous.month, previous.day + 1, previous.leap));
    } else {
      ASSERT_EQ(previous.day, GetLunarMonthDays(previous.year, previous.month, previous.leap));
      if (!previous.leap && GetLeapMonth(previous.year) == previous.month) {
        ASSERT_EQ(lunar, DateRec(previous.year, previous.month, 1, 1));
      } else if (previous.month == 12) {
        ASSERT_EQ(lunar, DateRec(previous.year + 1, 1, 1));
      } else {
        ASSERT_EQ(lunar, DateRec(previous.year, previous.month + 1, 1));
      }
    }
    DateRec back;
    ASSERT_TRUE(LunarToGregorian(lunar.year, lunar.month, lunar.day, lunar.leap, back)) << n;
    ASSERT_EQ(back, g);
    previous = lunar;
    StepDay(g.year, g.month, g.day, true);
  }
  EXPECT_EQ(days, 54008);
  EXPECT_EQ(previous, DateRec(2048, 11, 27));
}

TEST(LunarConversion, DayNumberToLunarEndsForAnyInput) {
  const std::int32_t inputs[] = {-2147483647 - 1, -1, 0, 48, 54057, 60000, 2147483647};
  for (const std::int32_t n : inputs) {
    const DateRec lunar = DayNumberToLunar(n);
    EXPECT_LE(lunar.year, 2049);
    EXPECT_LE(lunar.month, 12);
  }
}

}  // namespace
}  // namespace lunar
