#include "lunar/sexagenary.h"

#include <gtest/gtest.h>

#include "lunar/gregorian.h"
#include "lunar/solar_terms.h"
#include "tests/support/gbk_expect.h"

namespace lunar {
namespace {

runtime::DateTime At(int y, int mo, int d, int h, int mi, int s) {
  return runtime::DateTimeFromParts(y, mo, d, h, mi, s).value();
}

TEST(Sexagenary, SplitAndName) {
  struct Case {
    int cycle, stem, branch;
    const char* text;
  };
  const Case cases[] = {{1, 1, 1, "甲子"}, {38, 8, 2, "辛丑"}, {60, 10, 12, "癸亥"},
                        {28, 8, 4, "辛卯"}, {0, 0, 0, ""}};
  for (const Case& c : cases) {
    int stem = -1, branch = -1;
    SplitCycle(c.cycle, stem, branch);
    EXPECT_EQ(stem, c.stem) << c.cycle;
    EXPECT_EQ(branch, c.branch) << c.cycle;
    EXPECT_GBK_EQ(GetCycleText(c.cycle), c.text);
  }
  EXPECT_GBK_EQ(GetStemBranchText(1, 0), "甲");
  EXPECT_GBK_EQ(GetStemBranchText(11, 12), "亥");
  EXPECT_GBK_EQ(GetZodiacName(1), "鼠");
  EXPECT_GBK_EQ(GetZodiacName(4), "兔");
  EXPECT_GBK_EQ(GetZodiacName(12), "猪");
  EXPECT_EQ(GetZodiacName(0), "");
  EXPECT_EQ(GetZodiacName(13), "");
}

TEST(Sexagenary, YearChangesAtTheMomentOfLiChun) {
  struct Case {
    runtime::DateTime moment;
    int cycle;
  };
  const Case cases[] = {
      {At(2011, 2, 3, 23, 59, 59), 27},   // lunar new year's day, before 立春
      {At(2011, 2, 4, 12, 32, 51), 27},   // a second before 立春
      {At(2011, 2, 4, 12, 32, 52), 28},   // the stored moment itself
      {At(2011, 2, 4, 23, 59, 59), 28},
      {At(2011, 1, 3, 23, 59, 59), 27},   // before 小寒: the walk back reaches 2010
      {At(2011, 1, 10, 0, 0, 0), 27},     // between 小寒 and 立春
      {At(1901, 2, 19, 23, 59, 59), 38},  // 辛丑
      {At(2048, 12, 31, 23, 59, 59), 5},  // 戊辰
      {At(1924, 3, 1, 0, 0, 0), 1},       // 甲子
      {At(1924, 2, 4, 0, 0, 0), 60},      // 癸亥: before 立春 wraps to 60
      {At(2000, 2, 4, 20, 40, 22), 16},   // 己卯
      {At(2000, 2, 4, 20, 40, 23), 17},   // 庚辰
      {At(1901, 2, 18, 12, 0, 0), 0},
      {At(2049, 1, 1, 0, 0, 0), 0},
      {At(1850, 6, 1, 0, 0, 0), 0},
  };
  for (const Case& c : cases) {
    const runtime::DateTimeParts p = runtime::SplitDateTime(c.moment);
    EXPECT_EQ(GetYearCycle(c.moment), c.cycle)
        << p.year << "-" << p.month << "-" << p.day << " " << p.hour << ":" << p.minute << ":" << p.second;
  }
}

}  // namespace
}  // namespace lunar

namespace lunar {
namespace {

// Across the whole range the cycle year of a day (taken at 23:59:59) steps
// by one exactly on the days of 立春, and never otherwise.
TEST(Sexagenary, CycleYearStepsOnlyOnLiChunDays) {
  std::uint16_t y = 1901, m = 2, d = 19;
  int previous = GetYearCycle(At(y, m, d, 23, 59, 59));
  ASSERT_EQ(previous, 38);
  int steps = 0;
  while (true) {
    StepDay(y, m, d, true);
    if (!IsSupportedDate(y, m, d)) break;
    const int cycle = GetYearCycle(At(y, m, d, 23, 59, 59));
    if (GetSolarTermOfDay(y, m, d) == 3) {
      ASSERT_EQ(cycle, previous % 60 + 1) << y;
      ++steps;
    } else {
      ASSERT_EQ(cycle, previous) << y << "-" << m << "-" << d;
    }
    previous = cycle;
  }
  EXPECT_EQ(steps, 147);  // 立春 of 1902 .. 2048
}

}  // namespace
}  // namespace lunar
