#include "wave/auto_drops.h"

namespace wave {
namespace {

// Frames between two drops: 0.25 s to 1.2 s at the ~30 ms frame.
constexpr int kMinGapFrames = 8;
constexpr int kMaxGapFrames = 40;

}  // namespace

AutoDrops::AutoDrops(std::uint32_t seed) : state_(seed != 0 ? seed : 1) {}

void AutoDrops::SetMode(int mode) {
  if (mode != kModeOff && mode != kModeRain) return;
  if (mode == kModeRain && mode_ != kModeRain) framesToDrop_ = 0;  // the first drop falls at once
  mode_ = mode;
}

void AutoDrops::Tick(WaterSurface& water) {
  if (!IsOn()) return;
  if (framesToDrop_ > 0) {
    --framesToDrop_;
    return;
  }
  framesToDrop_ = Between(kMinGapFrames, kMaxGapFrames);
  if (water.Width() < 1 || water.Height() < 1) return;
  const int x = Between(0, water.Width() - 1);
  const int y = Between(0, water.Height() - 1);
  const int radius = Between(1, 3);
  const int strength = Between(120, 260);
  water.DropStone(x, y, radius, strength);
}

int AutoDrops::Between(int lo, int hi) {
  // xorshift32: small, fast and the same on every platform.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  const auto span = static_cast<std::uint32_t>(hi - lo) + 1u;
  return lo + static_cast<int>(state_ % span);
}

}  // namespace wave
