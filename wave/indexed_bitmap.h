// The ripple picture: a Windows bitmap file with 8 bits per pixel, no
// compression and a colour table, read into palette indices and colours.
// Everything in the file is checked before it is used; anything else (other
// depths, compressed data, short or inconsistent files) is refused.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace wave {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct IndexedPicture {
  static constexpr int kMaxSide = 4096;             // pixels
  static constexpr int kMaxPixels = 2048 * 2048;

  int width = 0;
  int height = 0;
  // Entries past the file's colour table are black.
  std::array<Rgb, 256> palette{};
  // width * height palette indices, top row first.
  std::vector<std::uint8_t> pixels;

  Rgb ColourAt(int x, int y) const {
    return palette[pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(x)]];
  }
};

// No value unless the bytes are a complete bitmap file as described above
// with sides of 1 to kMaxSide pixels and at most kMaxPixels pixels.
std::optional<IndexedPicture> ParseIndexedBitmap(std::span<const std::uint8_t> file);

}  // namespace wave
