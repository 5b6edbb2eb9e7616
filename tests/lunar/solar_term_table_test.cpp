#include "lunar/solar_term_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace {

using lunar::kSolarTermFirstYear;
using lunar::kSolarTermLastYear;

constexpr int kTerms = 24;

struct Moment {
  int month, day, hour, minute, second;
};

Moment TableMoment(int year, int term) {
  const std::uint8_t* p =
      lunar::kSolarTermTable + 5 * (kTerms * (year - kSolarTermFirstYear) + term - 1);
  return Moment{p[0], p[1], p[2], p[3], p[4]};
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

long long SecondsIntoYear(int year, const Moment& m) {
  int day_of_year = m.day - 1;
  for (int month = 1; month < m.month; ++month) day_of_year += DaysInMonth(year, month);
  return ((day_of_year * 24LL + m.hour) * 60 + m.minute) * 60 + m.second;
}

// Seconds from the start of kSolarTermFirstYear, to compare across years.
long long SecondsSinceFirstYear(int year, const Moment& m) {
  long long days = 0;
  for (int y = kSolarTermFirstYear; y < year; ++y) days += IsLeapYear(y) ? 366 : 365;
  return days * 86400 + SecondsIntoYear(year, m);
}

struct ReferenceYear {
  int year;
  std::array<Moment, kTerms> terms;  // Beijing time, terms 1..24
};

// Reference moments the table must reproduce to within 1 s.
constexpr ReferenceYear kReferenceYears[] = {
    {1880,
     {{{1, 6, 5, 41, 45},   {1, 20, 23, 1, 25},  {2, 4, 17, 30, 39},  {2, 19, 13, 32, 19},
       {3, 5, 12, 3, 55},   {3, 20, 13, 13, 44}, {4, 4, 17, 39, 29},  {4, 20, 1, 7, 14},
       {5, 5, 11, 47, 58},  {5, 21, 1, 3, 36},   {6, 5, 16, 36, 35},  {6, 21, 9, 31, 50},
       {7, 7, 3, 8, 49},    {7, 22, 20, 30, 20}, {8, 7, 12, 45, 37},  {8, 23, 3, 12, 7},
       {9, 7, 15, 4, 25},   {9, 23, 0, 6, 52},   {10, 8, 5, 52, 22},  {10, 23, 8, 35, 39},
       {11, 7, 8, 12, 41},  {11, 22, 5, 24, 30}, {12, 7, 0, 26, 57},  {12, 21, 18, 18, 24}}}},
    {2011,
     {{{1, 6, 0, 54, 34},   {1, 20, 18, 18, 28}, {2, 4, 12, 32, 52},  {2, 19, 8, 25, 15},
       {3, 6, 6, 29, 54},   {3, 21, 7, 20, 40},  {4, 5, 11, 11, 54},  {4, 20, 18, 17, 21},
       {5, 6, 4, 23, 9},    {5, 21, 17, 21, 6},  {6, 6, 8, 27, 16},   {6, 22, 1, 16, 25},
       {7, 7, 18, 41, 56},  {7, 23, 12, 11, 45}, {8, 8, 4, 33, 21},   {8, 23, 19, 20, 34},
       {9, 8, 7, 34, 8},    {9, 23, 17, 4, 33},  {10, 8, 23, 19, 0},  {10, 24, 2, 30, 13},
       {11, 8, 2, 34, 50},  {11, 23, 0, 7, 44},  {12, 7, 19, 28, 55}, {12, 22, 13, 29, 57}}}},
    {2079,
     {{{1, 5, 13, 12, 40},  {1, 20, 6, 35, 5},   {2, 4, 0, 42, 22},   {2, 18, 20, 27, 33},
       {3, 5, 18, 20, 9},   {3, 20, 18, 59, 51}, {4, 4, 22, 36, 34},  {4, 20, 5, 29, 45},
       {5, 5, 15, 21, 28},  {5, 21, 4, 9, 2},    {6, 5, 19, 5, 5},    {6, 21, 11, 48, 29},
       {7, 7, 5, 10, 54},   {7, 22, 22, 41, 43}, {8, 7, 15, 8, 31},   {8, 23, 6, 3, 32},
       {9, 7, 18, 29, 27},  {9, 23, 4, 12, 20},  {10, 8, 10, 42, 36}, {10, 23, 14, 7, 8},
       {11, 7, 14, 26, 17}, {11, 22, 12, 8, 50}, {12, 7, 7, 39, 13},  {12, 22, 1, 43, 12}}}},
};

TEST(SolarTermTable, ReproducesReferenceYearsWithinOneSecond) {
  for (const ReferenceYear& reference : kReferenceYears) {
    for (int term = 1; term <= kTerms; ++term) {
      SCOPED_TRACE(testing::Message() << reference.year << " term " << term);
      const long long expected = SecondsIntoYear(reference.year, reference.terms[term - 1]);
      const long long actual = SecondsIntoYear(reference.year, TableMoment(reference.year, term));
      EXPECT_LE(std::llabs(actual - expected), 1);
    }
  }
}

TEST(SolarTermTable, Lichun2000IsExact) {
  const Moment m = TableMoment(2000, 3);
  EXPECT_EQ(m.month, 2);
  EXPECT_EQ(m.day, 4);
  EXPECT_EQ(m.hour, 20);
  EXPECT_EQ(m.minute, 40);
  EXPECT_EQ(m.second, 23);
}

TEST(SolarTermTable, EveryEntryIsACalendarMomentInItsTermsMonth) {
  for (int year = kSolarTermFirstYear; year <= kSolarTermLastYear; ++year) {
    for (int term = 1; term <= kTerms; ++term) {
      SCOPED_TRACE(testing::Message() << year << " term " << term);
      const Moment m = TableMoment(year, term);
      // Terms 2k-1 and 2k fall in month k in every year of the range, so
      // this also makes the months non-decreasing along each year.
      EXPECT_EQ(m.month, (term + 1) / 2);
      ASSERT_GE(m.month, 1);
      ASSERT_LE(m.month, 12);
      EXPECT_GE(m.day, 1);
      EXPECT_LE(m.day, DaysInMonth(year, m.month));
      EXPECT_LT(m.hour, 24);
      EXPECT_LT(m.minute, 60);
      EXPECT_LT(m.second, 60);
    }
  }
}

TEST(SolarTermTable, MomentsAdvanceSmoothlyAcrossAllYears) {
  constexpr long long kDay = 86400;
  // The Sun takes 14.7 (January) to 15.7 (July) days per 15 degrees, and
  // returns to a given longitude after one tropical year, 365.2422 days,
  // give or take ~17 minutes of perturbations and nutation.
  constexpr long long kTropicalYear = 31556926;  // s
  constexpr long long kYearTolerance = 30 * 60;
  long long previous = -1;
  for (int year = kSolarTermFirstYear; year <= kSolarTermLastYear; ++year) {
    for (int term = 1; term <= kTerms; ++term) {
      SCOPED_TRACE(testing::Message() << year << " term " << term);
      const long long t = SecondsSinceFirstYear(year, TableMoment(year, term));
      if (previous >= 0) {
        EXPECT_GE(t - previous, 14 * kDay);
        EXPECT_LE(t - previous, 16 * kDay);
      }
      previous = t;
      if (year < kSolarTermLastYear) {
        const long long next_year = SecondsSinceFirstYear(year + 1, TableMoment(year + 1, term));
        EXPECT_NEAR(static_cast<double>(next_year - t), static_cast<double>(kTropicalYear),
                    static_cast<double>(kYearTolerance));
      }
    }
  }
}

}  // namespace
