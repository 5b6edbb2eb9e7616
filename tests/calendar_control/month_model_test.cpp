#include "calendar_control/month_model.h"

#include <gtest/gtest.h>

#include "lunar/lunar_calendar.h"
#include "tests/support/gbk_expect.h"

namespace calendar {
namespace {

using lunar::DateRec;

MonthModel ModelOf(std::uint16_t y, std::uint16_t m, std::uint16_t d, bool gregorianMode) {
  DateRec lunarDate;
  EXPECT_TRUE(lunar::GregorianToLunar(y, m, d, lunarDate));
  return BuildMonthModel(DateRec(y, m, d), lunarDate, gregorianMode);
}

TEST(MonthModel, GregorianDecember2010) {
  const MonthModel model = ModelOf(2010, 12, 19, true);
  EXPECT_EQ(model.cells[0].date, DateRec(2010, 11, 29));
  EXPECT_EQ(model.cells[2].date, DateRec(2010, 12, 1));
  EXPECT_EQ(model.cells[41].date, DateRec(2011, 1, 9));
  for (int i = 0; i < kCellCount; ++i) {
    EXPECT_EQ(model.InMonth(i), i >= 2 && i <= 32) << i;
  }
  EXPECT_EQ(model.cells[8].term, 23);  // 2010-12-07 大雪
  EXPECT_EQ(model.cells[8].lunar, DateRec(2010, 11, 2));
  EXPECT_GBK_EQ(model.termLine, "初二大雪  十七冬至");  // 小寒 on 2011-01-06 is in view but not listed
  EXPECT_FALSE(model.InMonth(-1));
  EXPECT_FALSE(model.InMonth(42));
}

TEST(MonthModel, MonthStartingOnMonday) {
  const MonthModel model = ModelOf(2010, 11, 15, true);
  EXPECT_EQ(model.cells[0].date, DateRec(2010, 11, 1));
}

TEST(MonthModel, LunarModeShowsTheLunarMonth) {
  const MonthModel model = ModelOf(2010, 12, 19, false);  // lunar 2010-11-14
  EXPECT_EQ(model.cells[0].date, DateRec(2010, 12, 6));     // lunar 11-01, a Monday
  EXPECT_TRUE(model.InMonth(0));
  EXPECT_GBK_EQ(model.termLine, "初二大雪  十七冬至");
}

TEST(MonthModel, LeapMonthIsItsOwnMonth) {
  // 2012: the leap fourth month runs 2012-05-21 .. 2012-06-18.
  DateRec leapDay(2012, 4, 10, 1);
  MonthModel model = BuildMonthModel(DateRec(2012, 5, 30), leapDay, false);
  for (int i = 0; i < kCellCount; ++i) {
    const DayCell& cell = model.cells[static_cast<std::size_t>(i)];
    EXPECT_EQ(model.InMonth(i), cell.lunar.month == 4 && cell.lunar.leap == 1) << i;
  }
  EXPECT_EQ(model.cells[0].date, DateRec(2012, 5, 21));  // a Monday
  // The normal fourth month beside it is not in the month.
  DateRec normalDay(2012, 4, 10, 0);
  model = BuildMonthModel(DateRec(2012, 4, 30), normalDay, false);
  for (int i = 0; i < kCellCount; ++i) {
    const DayCell& cell = model.cells[static_cast<std::size_t>(i)];
    EXPECT_EQ(model.InMonth(i), cell.lunar.month == 4 && cell.lunar.leap == 0) << i;
  }
}

TEST(MonthModel, FirstLunarMonthsOfTheRange) {
  MonthModel model = BuildMonthModel(DateRec(1901, 2, 19), DateRec(1901, 1, 1), false);
  EXPECT_EQ(model.cells[0].date, DateRec(1901, 2, 18));  // Monday before lunar 1901-01-01
  EXPECT_EQ(model.cells[0].lunar, DateRec());             // outside the lunar span: cleared
  EXPECT_FALSE(model.InMonth(0));
  EXPECT_TRUE(model.InMonth(1));
  model = BuildMonthModel(DateRec(1901, 3, 20), DateRec(1901, 2, 1), false);
  EXPECT_EQ(model.cells[model.cells[0].date.day == 18 ? 2 : 0].lunar.month, 2);
}

TEST(MonthModel, LastMonthOfTheRange) {
  const MonthModel model = ModelOf(2048, 12, 31, true);
  EXPECT_EQ(model.cells[41].date, DateRec(2049, 1, 10));
  EXPECT_EQ(model.cells[41].lunar, DateRec());
  EXPECT_EQ(model.cells[41].term, 0);  // 2049-01-05 小寒 is in the table, 01-10 is not a term day
}

TEST(MonthModel, CellTexts) {
  // Gregorian December 2010: cell 2 is December 1, lunar 10-26; cell 7 is
  // December 6, lunar 11-01; cell 33 is January 1.
  const MonthModel model = ModelOf(2010, 12, 19, true);
  struct Case {
    int index;
    const char* number;
    const char* lunarText;
  };
  const Case cases[] = {
      {2, "12.1", "廿六"}, {7, "6", "冬月"}, {20, "19", "十四"}, {33, "1.1", "廿七"}, {0, "29", "廿四"},
  };
  for (const Case& c : cases) {
    const DayCell& cell = model.cells[static_cast<std::size_t>(c.index)];
    EXPECT_EQ(CellNumberLabel(cell), c.number) << c.index;
    EXPECT_GBK_EQ(CellLunarLabel(cell), c.lunarText) << c.index;
  }
  // The leap month's first day carries the leap prefix.
  const MonthModel leap = BuildMonthModel(DateRec(2012, 5, 30), DateRec(2012, 4, 10, 1), false);
  EXPECT_GBK_EQ(CellLunarLabel(leap.cells[0]), "闰四月");
  // A day outside the lunar span shows no lunar text.
  const MonthModel first = ModelOf(1901, 2, 19, true);
  EXPECT_EQ(first.cells[0].date, DateRec(1901, 1, 28));
  EXPECT_EQ(CellLunarLabel(first.cells[0]), "");
  EXPECT_EQ(CellNumberLabel(first.cells[0]), "28");
}

}  // namespace
}  // namespace calendar
