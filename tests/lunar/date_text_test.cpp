#include "lunar/date_text.h"

#include <gtest/gtest.h>

#include "tests/support/gbk_expect.h"

namespace lunar {
namespace {

TEST(DateText, LunarDayNames) {
  const struct {
    int day;
    const char* name;
  } cases[] = {{1, "初一"},  {10, "初十"}, {11, "十一"}, {19, "十九"}, {20, "二十"},
               {21, "廿一"}, {29, "廿九"}, {30, "三十"}, {0, ""},     {31, ""}};
  for (const auto& c : cases) EXPECT_GBK_EQ(GetLunarDayName(c.day), c.name) << c.day;
}

TEST(DateText, LunarMonthNames) {
  EXPECT_GBK_EQ(GetLunarMonthName(1, false), "正月");
  EXPECT_GBK_EQ(GetLunarMonthName(4, true), "闰四月");
  EXPECT_GBK_EQ(GetLunarMonthName(10, false), "十月");
  EXPECT_GBK_EQ(GetLunarMonthName(11, false), "冬月");
  EXPECT_GBK_EQ(GetLunarMonthName(11, true), "闰冬月");
  EXPECT_GBK_EQ(GetLunarMonthName(12, false), "腊月");
  EXPECT_EQ(GetLunarMonthName(0, false), "");
  EXPECT_EQ(GetLunarMonthName(13, true), "");
}

TEST(DateText, WeekdayNames) {
  EXPECT_GBK_EQ(GetWeekdayName(1), "星期一");
  EXPECT_GBK_EQ(GetWeekdayName(7), "星期日");
  EXPECT_EQ(GetWeekdayName(0), "");
  EXPECT_EQ(GetWeekdayName(8), "");
}

TEST(DateText, DefaultTemplate) {
  const struct {
    std::uint16_t y, m, d;
    const char* text;
  } cases[] = {
      {2011, 1, 1, "庚寅年(虎)冬月廿七 2011-1-1"},
      {2011, 2, 3, "庚寅年(虎)正月初一 2011-2-3"},
      {2011, 2, 4, "辛卯年(兔)正月初二 2011-2-4"},  // 立春 falls that day
      {2011, 3, 24, "辛卯年(兔)二月二十 2011-3-24"},
      {2012, 5, 21, "壬辰年(龙)闰四月初一 2012-5-21"},
      {2033, 12, 22, "癸丑年(牛)闰冬月初一 2033-12-22"},
      {1901, 2, 18, "年() 1901-2-18"},  // outside the lunar span: the lunar parts are empty
  };
  for (const auto& c : cases) {
    EXPECT_GBK_EQ(FormatDate(c.y, c.m, c.d, kDefaultDateTemplate), c.text);
  }
}

TEST(DateText, OtherTemplates) {
  EXPECT_GBK_EQ(FormatDate(1902, 5, 1, "%Y(%S)-%y"), "壬寅(虎)-1902");
  EXPECT_GBK_EQ(FormatDate(2011, 2, 4, "no tokens"), "no tokens");
  EXPECT_GBK_EQ(FormatDate(2011, 2, 4, "%d/%D/%d"), "4/初二/4");
  EXPECT_GBK_EQ(FormatDate(2011, 2, 4, "%Y%Y"), "辛卯辛卯");
  EXPECT_GBK_EQ(FormatDate(2011, 2, 4, "%%m"), "%2");
  EXPECT_GBK_EQ(FormatDate(2011, 2, 4, ""), "");
  // A lead byte takes the next byte with it, so a % right after it never
  // starts a token.
  EXPECT_GBK_EQ(FormatDate(2011, 2, 4, "\xA5%Y"), "\xA5%Y");
  EXPECT_GBK_EQ(FormatDateText(runtime::DateTimeFromParts(2011, 2, 4, 12, 0, 0).value(), "%Y"), "庚寅");
}

}  // namespace
}  // namespace lunar
