// The water of the ripple effect: two height maps (this frame and the one
// before) stepped with a discrete wave equation and damped, and the picture
// seen through the water by refraction. Cells are the picture's pixels.
// Heights are integers; a height difference of kRefraction between a cell's
// two neighbours shifts the view by one pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wave {

class WaterSurface {
 public:
  static constexpr int kMaxRadius = 16;       // cells
  static constexpr int kMaxStrength = 1000;   // height units
  static constexpr int kMaxHeight = 2048;     // |height| never exceeds it
  static constexpr int kRefraction = 4;       // height units per pixel of shift
  // Below this everywhere, refraction shifts nothing, so the water is calm.
  static constexpr int kQuietHeight = kRefraction / 2;

  // Sides below 1 make an empty surface on which nothing happens.
  WaterSurface(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // 0 outside the surface.
  int HeightAt(int x, int y) const;
  bool IsCalm() const { return calm_; }

  // A stone of `radius` cells (0: one cell) pushes the water down to at
  // least `strength` units deep at (x, y), less towards its rim. The outermost
  // ring of cells is the shore and never moves; parts of the stone outside the
  // water are ignored. Radius and strength are clamped to their maxima;
  // a strength of 0 or less does nothing.
  void DropStone(int x, int y, int radius, int strength);

  // One frame (the window steps every ~30 ms). Returns false once the water is
  // calm: then every height is 0 and Refract shows the picture unchanged.
  bool Step();

  // Writes the picture as seen through the water. Both are Width x Height
  // bytes (palette indices), top row first, rows `stride` bytes apart.
  void Refract(const std::uint8_t* picture, std::ptrdiff_t pictureStride, std::uint8_t* out,
               std::ptrdiff_t outStride) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::int32_t> current_;
  std::vector<std::int32_t> previous_;
  int currentPeak_ = 0;  // largest |height| in current_
  bool calm_ = true;
};

}  // namespace wave
