#include "wave/water_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace wave {
namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 142;

int Peak(const WaterSurface& water) {
  int peak = 0;
  for (int y = 0; y < water.Height(); ++y) {
    for (int x = 0; x < water.Width(); ++x) peak = std::max(peak, std::abs(water.HeightAt(x, y)));
  }
  return peak;
}

int MovedCells(const WaterSurface& water) {
  int moved = 0;
  for (int y = 0; y < water.Height(); ++y) {
    for (int x = 0; x < water.Width(); ++x) moved += water.HeightAt(x, y) != 0 ? 1 : 0;
  }
  return moved;
}

bool ShoreIsStill(const WaterSurface& water) {
  for (int x = 0; x < water.Width(); ++x) {
    if (water.HeightAt(x, 0) != 0 || water.HeightAt(x, water.Height() - 1) != 0) return false;
  }
  for (int y = 0; y < water.Height(); ++y) {
    if (water.HeightAt(0, y) != 0 || water.HeightAt(water.Width() - 1, y) != 0) return false;
  }
  return true;
}

// Steps until calm; the number of frames it took, or -1 after `limit`.
int FramesToCalm(WaterSurface& water, int limit) {
  for (int frame = 1; frame <= limit; ++frame) {
    if (!water.Step()) return frame;
  }
  return -1;
}

TEST(WaterSurfaceTest, StoneSpreadsAsRingAndWaterCalmsDown) {
  WaterSurface water(kWidth, kHeight);
  EXPECT_TRUE(water.IsCalm());
  EXPECT_FALSE(water.Step());

  water.DropStone(190, 70, 3, 300);
  EXPECT_FALSE(water.IsCalm());
  EXPECT_EQ(water.HeightAt(190, 70), -300);
  EXPECT_LT(water.HeightAt(192, 70), 0);
  EXPECT_EQ(water.HeightAt(194, 70), 0);  // beyond the radius
  EXPECT_EQ(water.HeightAt(190, 90), 0);

  for (int frame = 0; frame < 20; ++frame) ASSERT_TRUE(water.Step());
  // After 20 frames the wave has travelled well past the stone, the same way
  // in all four directions, and not yet to 40 cells.
  EXPECT_NE(water.HeightAt(190 + 10, 70), 0);
  EXPECT_EQ(water.HeightAt(190 + 10, 70), water.HeightAt(190 - 10, 70));
  EXPECT_EQ(water.HeightAt(190 + 10, 70), water.HeightAt(190, 70 + 10));
  EXPECT_EQ(water.HeightAt(190, 70 - 10), water.HeightAt(190, 70 + 10));
  EXPECT_EQ(water.HeightAt(190 + 40, 70), 0);
  EXPECT_LT(Peak(water), 300);

  const int frames = FramesToCalm(water, 2000);
  ASSERT_GT(frames, 0) << "still moving, peak " << Peak(water);
  EXPECT_LT(frames, 300) << "at ~30 ms a frame the water should calm within seconds";
  EXPECT_TRUE(water.IsCalm());
  EXPECT_EQ(MovedCells(water), 0);
}

TEST(WaterSurfaceTest, RadiusAndStrengthShapeTheStone) {
  struct Case {
    int radius, strength, deepest, cells;
  };
  // Cells of a disc of radius r (d^2 <= r^2).
  const Case cases[] = {
      {0, 100, 100, 1}, {0, 300, 300, 1}, {1, 200, 200, 5},
      {3, 200, 200, 29}, {5, 300, 300, 81}, {5, 100, 100, 81},
      {99, 5000, WaterSurface::kMaxStrength, 797},  // clamped to radius 16
      {-4, 150, 150, 1},                              // negative radius: a single cell
  };
  for (const Case& c : cases) {
    WaterSurface water(kWidth, kHeight);
    water.DropStone(190, 70, c.radius, c.strength);
    EXPECT_EQ(water.HeightAt(190, 70), -c.deepest) << "radius " << c.radius << " strength " << c.strength;
    EXPECT_EQ(MovedCells(water), c.cells) << "radius " << c.radius << " strength " << c.strength;
  }
  for (int strength : {0, -100, INT_MIN}) {
    WaterSurface water(kWidth, kHeight);
    water.DropStone(190, 70, 3, strength);
    EXPECT_TRUE(water.IsCalm()) << strength;
  }
}

TEST(WaterSurfaceTest, StonesAtAndBeyondTheEdgesStayInside) {
  struct Drop {
    int x, y, radius;
    bool movesWater;
  };
  const Drop drops[] = {
      {0, 0, 0, false},           {kWidth - 1, kHeight - 1, 0, false},  // on the shore
      {1, 1, 0, true},            {kWidth - 2, kHeight - 2, 0, true},
      {0, 70, 5, true},           {kWidth - 1, 70, 5, true},
      {190, -3, 5, true},         {190, kHeight + 2, 5, true},
      {-5, 70, 5, false},         {10000, 70, 5, false},
      {190, -10000, 16, false},   {INT_MAX, INT_MAX, 16, false},
      {INT_MIN, INT_MIN, 16, false},
  };
  for (const Drop& d : drops) {
    WaterSurface water(kWidth, kHeight);
    water.DropStone(d.x, d.y, d.radius, 300);
    EXPECT_EQ(!water.IsCalm(), d.movesWater) << d.x << "," << d.y;
    for (int frame = 0; frame < 50; ++frame) water.Step();
    EXPECT_TRUE(ShoreIsStill(water)) << d.x << "," << d.y;
  }
}

TEST(WaterSurfaceTest, RelentlessStonesNeverExceedTheHeightBound) {
  WaterSurface water(kWidth, kHeight);
  for (int frame = 0; frame < 400; ++frame) {
    // Strongest stones at the same places every frame, corners included.
    water.DropStone(190, 70, WaterSurface::kMaxRadius, WaterSurface::kMaxStrength);
    water.DropStone(2, 2, WaterSurface::kMaxRadius, WaterSurface::kMaxStrength);
    water.DropStone(kWidth - 3, kHeight - 3, 2, WaterSurface::kMaxStrength);
    water.Step();
    ASSERT_LE(Peak(water), WaterSurface::kMaxHeight) << "frame " << frame;
  }
  EXPECT_TRUE(ShoreIsStill(water));
  EXPECT_GT(FramesToCalm(water, 3000), 0);
}

TEST(WaterSurfaceTest, TinySurfacesHaveNoWater) {
  for (auto [w, h] : {std::pair{0, 0}, {-3, 10}, {1, 1}, {2, 2}, {2, 50}, {50, 2}}) {
    WaterSurface water(w, h);
    water.DropStone(0, 0, 5, 300);
    water.DropStone(1, 1, 5, 300);
    EXPECT_TRUE(water.IsCalm()) << w << "x" << h;
    EXPECT_FALSE(water.Step());
    EXPECT_EQ(water.HeightAt(0, 0), 0);
  }
  WaterSurface smallest(3, 3);  // one cell of water inside the shore
  smallest.DropStone(1, 1, 5, 300);
  EXPECT_EQ(smallest.HeightAt(1, 1), -300);
  EXPECT_GT(FramesToCalm(smallest, 1000), 0);
}

// The picture as seen through the water. The picture's values are below
// 0x80 and it sits in a frame of 0xFF bytes, so a read outside it shows; the
// output rows are padded like a DIB's.
class RefractTest : public ::testing::Test {
 protected:
  static constexpr int kGuard = 16;
  static constexpr int kPictureStride = kWidth + 2 * kGuard;
  static constexpr int kOutStride = kWidth + 4;
  static constexpr std::uint8_t kOutside = 0xFF;
  static constexpr std::uint8_t kPadding = 0xEE;

  RefractTest() : frame_(static_cast<std::size_t>(kHeight + 2 * kGuard) * kPictureStride, kOutside) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        frame_[PictureIndex(x, y)] = static_cast<std::uint8_t>((x * 7 + y * 13) % 0x80);
      }
    }
  }

  static std::size_t PictureIndex(int x, int y) {
    return static_cast<std::size_t>(y + kGuard) * kPictureStride + static_cast<std::size_t>(x + kGuard);
  }
  static std::size_t OutIndex(int x, int y) { return static_cast<std::size_t>(y) * kOutStride + x; }

  std::vector<std::uint8_t> Seen(const WaterSurface& water) const {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(kOutStride) * kHeight, kPadding);
    water.Refract(frame_.data() + PictureIndex(0, 0), kPictureStride, out.data(), kOutStride);
    return out;
  }

  // Pixels that differ from the picture within `radius` of (cx, cy), and
  // beyond it.
  std::pair<int, int> Changed(const std::vector<std::uint8_t>& seen, int cx, int cy, int radius) const {
    int near = 0, far = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (seen[OutIndex(x, y)] == frame_[PictureIndex(x, y)]) continue;
        const bool inside = (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
        (inside ? near : far) += 1;
      }
    }
    return {near, far};
  }

  std::vector<std::uint8_t> frame_;
};

TEST_F(RefractTest, CalmWaterShowsThePictureAndRipplesShiftItNearTheStone) {
  WaterSurface water(kWidth, kHeight);
  auto seen = Seen(water);
  EXPECT_EQ(Changed(seen, 0, 0, 0), std::make_pair(0, 0));
  EXPECT_EQ(seen[OutIndex(kWidth, 5)], kPadding) << "the row padding is left alone";

  water.DropStone(100, 60, 5, 300);
  for (int frame = 0; frame < 6; ++frame) water.Step();
  seen = Seen(water);
  const auto [near, far] = Changed(seen, 100, 60, 20);
  EXPECT_GT(near, 100);
  EXPECT_EQ(far, 0);
  EXPECT_EQ(seen[OutIndex(kWidth, 5)], kPadding);

  ASSERT_GT(FramesToCalm(water, 2000), 0);
  EXPECT_EQ(Changed(Seen(water), 0, 0, 0), std::make_pair(0, 0));
}

TEST_F(RefractTest, StrongWavesAtTheEdgesLookOnlyInsideThePicture) {
  WaterSurface water(kWidth, kHeight);
  for (int frame = 0; frame < 30; ++frame) {
    water.DropStone(1, 1, WaterSurface::kMaxRadius, WaterSurface::kMaxStrength);
    water.DropStone(kWidth - 2, kHeight - 2, WaterSurface::kMaxRadius, WaterSurface::kMaxStrength);
    water.Step();
    const auto seen = Seen(water);
    ASSERT_GT(Changed(seen, 0, 0, 0).second, 0);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) ASSERT_LT(seen[OutIndex(x, y)], 0x80) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace wave
