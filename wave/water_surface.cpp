#include "wave/water_surface.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace wave {

WaterSurface::WaterSurface(int width, int height) {
  if (width < 1 || height < 1) return;
  width_ = width;
  height_ = height;
  const auto cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  current_.assign(cells, 0);
  previous_.assign(cells, 0);
}

int WaterSurface::HeightAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return current_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                  static_cast<std::size_t>(x)];
}

void WaterSurface::DropStone(int x, int y, int radius, int strength) {
  if (strength <= 0) return;
  strength = std::min(strength, kMaxStrength);
  radius = std::clamp(radius, 0, kMaxRadius);
  // The stone's box clipped to the water inside the shore; 64-bit so that a
  // centre near INT_MAX cannot overflow.
  const long long left = std::max<long long>(1, static_cast<long long>(x) - radius);
  const long long right = std::min<long long>(width_ - 2, static_cast<long long>(x) + radius);
  const long long top = std::max<long long>(1, static_cast<long long>(y) - radius);
  const long long bottom = std::min<long long>(height_ - 2, static_cast<long long>(y) + radius);
  const long long rim = static_cast<long long>(radius + 1) * (radius + 1);
  for (long long cy = top; cy <= bottom; ++cy) {
    for (long long cx = left; cx <= right; ++cx) {
      const long long d2 = (cx - x) * (cx - x) + (cy - y) * (cy - y);
      if (d2 > static_cast<long long>(radius) * radius) continue;
      // Deepest at the centre, strength * (1 - d^2 / (r+1)^2) towards the rim.
      const auto depth = static_cast<std::int32_t>(strength * (rim - d2) / rim);
      auto& h = current_[static_cast<std::size_t>(cy * width_ + cx)];
      if (-depth < h) {
        h = -depth;
        currentPeak_ = std::max<int>(currentPeak_, depth);
        calm_ = false;
      }
    }
  }
}

bool WaterSurface::Step() {
  if (calm_) return false;
  const std::size_t w = static_cast<std::size_t>(width_);
  int peak = 0;
  // The new frame overwrites the one before last: h' = (sum of the four
  // neighbours) / 2 - h_before, then damped by 1/64 rounding towards zero,
  // which takes at least one unit off every height that is not 0.
  for (int y = 1; y < height_ - 1; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * w;
    for (std::size_t i = row + 1; i < row + w - 1; ++i) {
      int h = (current_[i - 1] + current_[i + 1] + current_[i - w] + current_[i + w]) / 2 -
              previous_[i];
      h = h * 63 / 64;
      h = std::clamp(h, -kMaxHeight, kMaxHeight);
      previous_[i] = h;
      peak = std::max(peak, std::abs(h));
    }
  }
  std::swap(current_, previous_);
  const int previousPeak = currentPeak_;
  currentPeak_ = peak;
  if (peak < kQuietHeight && previousPeak < kQuietHeight) {
    std::fill(current_.begin(), current_.end(), 0);
    std::fill(previous_.begin(), previous_.end(), 0);
    currentPeak_ = 0;
    calm_ = true;
    return false;
  }
  return true;
}

void WaterSurface::Refract(const std::uint8_t* picture, std::ptrdiff_t pictureStride,
                           std::uint8_t* out, std::ptrdiff_t outStride) const {
  const std::ptrdiff_t w = width_;
  for (int y = 0; y < height_; ++y) {
    std::uint8_t* outRow = out + y * outStride;
    const std::uint8_t* pictureRow = picture + y * pictureStride;
    if (calm_ || y == 0 || y == height_ - 1) {
      std::copy(pictureRow, pictureRow + w, outRow);
      continue;
    }
    const std::int32_t* h = current_.data() + y * w;
    outRow[0] = pictureRow[0];
    outRow[w - 1] = pictureRow[w - 1];
    for (std::ptrdiff_t x = 1; x < w - 1; ++x) {
      // The slope of the water bends the line of sight.
      const int dx = (h[x - 1] - h[x + 1]) / kRefraction;
      const int dy = (h[x - w] - h[x + w]) / kRefraction;
      const std::ptrdiff_t sx = std::clamp<std::ptrdiff_t>(x + dx, 0, w - 1);
      const std::ptrdiff_t sy = std::clamp<std::ptrdiff_t>(y + dy, 0, height_ - 1);
      outRow[x] = picture[sy * pictureStride + sx];
    }
  }
}

}  // namespace wave
