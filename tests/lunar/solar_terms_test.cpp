#include "lunar/solar_terms.h"

#include <gtest/gtest.h>

#include "lunar/gregorian.h"
#include "tests/support/gbk_expect.h"

namespace lunar {
namespace {

runtime::DateTime At(int y, int mo, int d, int h, int mi, int s) {
  return runtime::DateTimeFromParts(y, mo, d, h, mi, s).value();
}

TEST(SolarTerms, TermOfDay) {
  EXPECT_EQ(GetSolarTermOfDay(2011, 1, 6), 1);
  EXPECT_EQ(GetSolarTermOfDay(2011, 2, 4), 3);
  EXPECT_EQ(GetSolarTermOfDay(2011, 12, 22), 24);
  EXPECT_EQ(GetSolarTermOfDay(2011, 2, 5), 0);
  EXPECT_EQ(GetSolarTermOfDay(2011, 12, 31), 0);
  EXPECT_EQ(GetSolarTermOfDay(2000, 2, 4), 3);
  EXPECT_EQ(GetSolarTermOfDay(1880, 1, 6), 1);
  EXPECT_EQ(GetSolarTermOfDay(2079, 12, 22), 24);
  EXPECT_EQ(GetSolarTermOfDay(1879, 12, 22), 0);
  EXPECT_EQ(GetSolarTermOfDay(2080, 1, 5), 0);
}

TEST(SolarTerms, TermTimes) {
  EXPECT_EQ(GetSolarTermTime(2000, 3), At(2000, 2, 4, 20, 40, 23));
  EXPECT_EQ(GetSolarTermTime(2011, 3), At(2011, 2, 4, 12, 32, 52));
  EXPECT_EQ(GetSolarTermTime(2080, 1), runtime::kMinDateTime);
  EXPECT_EQ(GetSolarTermTime(1879, 24), runtime::kMinDateTime);
  EXPECT_EQ(GetSolarTermTime(2011, 25), runtime::kMinDateTime);
  EXPECT_EQ(GetSolarTermTime(2011, 0), runtime::kMinDateTime);
}

TEST(SolarTerms, Names) {
  EXPECT_GBK_EQ(GetSolarTermName(1), "小寒");
  EXPECT_GBK_EQ(GetSolarTermName(3), "立春");
  EXPECT_GBK_EQ(GetSolarTermName(24), "冬至");
  EXPECT_EQ(GetSolarTermName(0), "");
  EXPECT_EQ(GetSolarTermName(25), "");
}

// Each term's own day answers that term, and every year has exactly 24 term
// days: the lookup and the timetable agree everywhere.
TEST(SolarTerms, EveryTermIsFoundOnItsDay) {
  for (std::uint16_t year = 1880; year <= 2079; ++year) {
    int found = 0;
    std::uint16_t y = year, m = 1, d = 1;
    while (y == year) {
      if (const int term = GetSolarTermOfDay(y, m, d); term != 0) {
        ++found;
        const runtime::DateTimeParts at = runtime::SplitDateTime(GetSolarTermTime(year, term));
        ASSERT_EQ(at.month, m);
        ASSERT_EQ(at.day, d);
      }
      StepDay(y, m, d, true);
    }
    ASSERT_EQ(found, 24) << year;
  }
}

}  // namespace
}  // namespace lunar
