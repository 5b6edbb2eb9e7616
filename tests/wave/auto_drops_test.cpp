#include "wave/auto_drops.h"

#include <gtest/gtest.h>

#include "wave/water_surface.h"

namespace wave {
namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 142;

// Frames until the first disturbance of calm water, or -1 after `limit`.
int FramesToFirstDrop(AutoDrops& drops, WaterSurface& water, int limit) {
  for (int frame = 1; frame <= limit; ++frame) {
    drops.Tick(water);
    if (!water.IsCalm()) return frame;
  }
  return -1;
}

TEST(AutoDropsTest, RainModeDropsStonesNowAndThenUntilSwitchedOff) {
  AutoDrops drops;
  WaterSurface water(kWidth, kHeight);
  EXPECT_FALSE(drops.IsOn());
  EXPECT_EQ(FramesToFirstDrop(drops, water, 200), -1) << "off at first";

  drops.SetMode(AutoDrops::kModeRain);
  EXPECT_TRUE(drops.IsOn());
  EXPECT_EQ(FramesToFirstDrop(drops, water, 200), 1) << "the first stone falls at once";
  // Each later stone after a pause of 0.25 s to 1.2 s of frames.
  for (int stone = 0; stone < 5; ++stone) {
    while (water.Step()) {
    }
    const int gap = FramesToFirstDrop(drops, water, 100);
    EXPECT_GE(gap, 9) << "stone " << stone;
    EXPECT_LE(gap, 41) << "stone " << stone;
  }

  drops.SetMode(AutoDrops::kModeOff);
  while (water.Step()) {
  }
  EXPECT_EQ(FramesToFirstDrop(drops, water, 200), -1);
}

TEST(AutoDropsTest, UnknownModesChangeNothing) {
  for (int mode : {1, 3, -1, 1000}) {
    AutoDrops drops;
    drops.SetMode(mode);
    EXPECT_FALSE(drops.IsOn()) << mode;
    drops.SetMode(AutoDrops::kModeRain);
    drops.SetMode(mode);
    EXPECT_TRUE(drops.IsOn()) << mode;
  }
}

TEST(AutoDropsTest, SameSeedSameRain) {
  AutoDrops first, second;
  first.SetMode(AutoDrops::kModeRain);
  second.SetMode(AutoDrops::kModeRain);
  WaterSurface a(kWidth, kHeight), b(kWidth, kHeight);
  for (int frame = 0; frame < 300; ++frame) {
    first.Tick(a);
    second.Tick(b);
    a.Step();
    b.Step();
  }
  for (int y = 0; y < kHeight; y += 7) {
    for (int x = 0; x < kWidth; x += 7) ASSERT_EQ(a.HeightAt(x, y), b.HeightAt(x, y));
  }
}

}  // namespace
}  // namespace wave
