#include "app/about_logic.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/random.h"
#include "tests/support/gbk_expect.h"

namespace app {
namespace {

TEST(AboutLogic, CountdownRunsNineToOneThenOk) {
  int countdown = kAboutCountdownStart;
  for (int expected = 9; expected >= 1; --expected) {
    const CountdownStep step = CountdownTick(countdown);
    EXPECT_EQ(step.caption, std::to_string(expected));
    EXPECT_FALSE(step.enabled);
  }
  for (int period = 0; period < 3; ++period) {  // the tenth period and every later one
    const CountdownStep step = CountdownTick(countdown);
    EXPECT_GBK_EQ(step.caption, "确定");
    EXPECT_TRUE(step.enabled);
    EXPECT_EQ(countdown, 1);
  }
}

TEST(AboutLogic, MouseMovesDropStonesOnlyWhileActive) {
  struct Drop {
    int x, y, size, strength;
  };
  std::vector<Drop> drops;
  const DropStone record = [&](int x, int y, int size, int strength) { drops.push_back({x, y, size, strength}); };
  RippleOnMouseMove(0, 5, 6, record);
  EXPECT_TRUE(drops.empty());
  runtime::SeedRandom(12345);
  for (int i = 0; i < 2000; ++i) RippleOnMouseMove(1, i % 380, i % 142, record);
  ASSERT_EQ(drops.size(), 2000u);
  bool sawSizes[6] = {};
  for (const Drop& d : drops) {
    ASSERT_GE(d.size, 0);
    ASSERT_LE(d.size, 5);
    ASSERT_GE(d.strength, 100);
    ASSERT_LE(d.strength, 300);
    sawSizes[d.size] = true;
  }
  for (const bool saw : sawSizes) EXPECT_TRUE(saw);
  EXPECT_EQ(drops[7].x, 7);
  EXPECT_EQ(drops[7].y, 7);
}

}  // namespace
}  // namespace app
