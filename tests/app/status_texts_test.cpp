#include "app/status_texts.h"

#include <gtest/gtest.h>

#include "tests/support/gbk_expect.h"

namespace app {
namespace {

runtime::DateTime At(int y, int mo, int d, int h, int mi, int s) {
  return runtime::DateTimeFromParts(y, mo, d, h, mi, s).value();
}

TEST(StatusTexts, Clock) {
  EXPECT_GBK_EQ(ClockText(At(2011, 6, 16, 9, 5, 3)), "当前时间：9:5:3");
  EXPECT_GBK_EQ(ClockText(At(2011, 6, 16, 12, 0, 0)), "当前时间：12:0:0");
  EXPECT_GBK_EQ(ClockText(At(2011, 6, 16, 23, 59, 59)), "当前时间：23:59:59");
}

TEST(StatusTexts, DayDistance) {
  const runtime::DateTime now = At(2011, 6, 16, 10, 0, 0);
  const struct {
    runtime::DateTime selected;
    const char* message;
    bool isToday;
  } cases[] = {
      {At(2011, 6, 16, 23, 59, 59), "欢迎使用《岁华录》查询万年历！", true},
      {At(2011, 6, 17, 23, 59, 59), "从今天到选择的日期还有 1 天", false},
      {At(2011, 9, 24, 23, 59, 59), "从今天到选择的日期还有 100 天", false},
      {At(2011, 6, 15, 23, 59, 59), "从今天到选择的日期已过去 1 天", false},
      {At(2011, 6, 6, 23, 59, 59), "从今天到选择的日期已过去 10 天", false},
  };
  for (const auto& c : cases) {
    const DayDistance d = DescribeDayDistance(c.selected, now);
    EXPECT_GBK_EQ(d.message, c.message);
    EXPECT_EQ(d.isToday, c.isToday);
  }
}

// At the last second of the day the selected day (today at 23:59:59) is
// still today, not a day behind.
TEST(StatusTexts, TodayAtTheLastSecondOfTheDay) {
  const DayDistance d = DescribeDayDistance(At(2011, 6, 16, 23, 59, 59), At(2011, 6, 16, 23, 59, 59));
  EXPECT_TRUE(d.isToday);
  EXPECT_GBK_EQ(DescribeDayDistance(At(2011, 6, 17, 23, 59, 59), At(2011, 6, 16, 23, 59, 59)).message,
                "从今天到选择的日期还有 1 天");
  EXPECT_GBK_EQ(DescribeDayDistance(At(2011, 6, 16, 23, 59, 59), At(2011, 6, 17, 0, 0, 0)).message,
                "从今天到选择的日期已过去 1 天");
}

}  // namespace
}  // namespace app
