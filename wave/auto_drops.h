// Automatic ripple effects: in rain mode a stone of random size and strength
// falls at a random place every few frames. Driven by the window's frame
// timer, so it needs no thread; its own small generator makes every run fall
// the same way.
#pragma once

#include <cstdint>

#include "wave/water_surface.h"

namespace wave {

class AutoDrops {
 public:
  static constexpr int kModeOff = 0;
  static constexpr int kModeRain = 2;

  explicit AutoDrops(std::uint32_t seed = 0x51A7E5EDu);

  // kModeOff or kModeRain; any other mode leaves the current one as it is.
  void SetMode(int mode);
  bool IsOn() const { return mode_ == kModeRain; }

  // One frame: counts down to the next drop and lets it fall on `water`.
  void Tick(WaterSurface& water);

 private:
  // [lo, hi], both included.
  int Between(int lo, int hi);

  std::uint32_t state_;
  int mode_ = kModeOff;
  int framesToDrop_ = 0;
};

}  // namespace wave
