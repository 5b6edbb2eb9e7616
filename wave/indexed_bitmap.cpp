#include "wave/indexed_bitmap.h"

#include <algorithm>

namespace wave {
namespace {

// Offsets in the file: a 14-byte file header, then the info header.
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER; later versions are longer
constexpr std::uint32_t kMaxInfoHeaderSize = 124;  // BITMAPV5HEADER
constexpr std::uint32_t kUncompressed = 0;         // BI_RGB

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}

std::int32_t S32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(U32(b, at));
}

}  // namespace

std::optional<IndexedPicture> ParseIndexedBitmap(std::span<const std::uint8_t> file) {
  if (file.size() < kFileHeaderSize + kInfoHeaderSize) return std::nullopt;
  if (file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const std::uint64_t pixelOffset = U32(file, 10);
  const std::uint32_t infoSize = U32(file, 14);
  const std::int32_t width = S32(file, 18);
  const std::int32_t rawHeight = S32(file, 22);
  const std::uint32_t planes = U16(file, 26);
  const std::uint32_t bitCount = U16(file, 28);
  const std::uint32_t compression = U32(file, 30);
  std::uint32_t colours = U32(file, 46);

  if (infoSize < kInfoHeaderSize || infoSize > kMaxInfoHeaderSize) return std::nullopt;
  if (planes != 1 || bitCount != 8 || compression != kUncompressed) return std::nullopt;
  // A negative height marks rows stored top row first.
  if (rawHeight == 0 || rawHeight == INT32_MIN) return std::nullopt;
  const bool topDown = rawHeight < 0;
  const std::int32_t height = topDown ? -rawHeight : rawHeight;
  if (width < 1 || width > IndexedPicture::kMaxSide || height > IndexedPicture::kMaxSide) {
    return std::nullopt;
  }
  if (static_cast<std::int64_t>(width) * height > IndexedPicture::kMaxPixels) return std::nullopt;
  if (colours == 0) colours = 256;
  if (colours > 256) return std::nullopt;

  // Colour table right after the info header, pixel rows after the table,
  // all inside the file. Rows are padded to a multiple of 4 bytes.
  const std::uint64_t paletteOffset = kFileHeaderSize + infoSize;
  const std::uint64_t paletteEnd = paletteOffset + std::uint64_t{colours} * 4;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) + 3) / 4 * 4;
  const std::uint64_t pixelEnd = pixelOffset + stride * static_cast<std::uint64_t>(height);
  if (paletteEnd > pixelOffset || pixelEnd > file.size()) return std::nullopt;

  IndexedPicture picture;
  picture.width = width;
  picture.height = height;
  for (std::uint32_t i = 0; i < colours; ++i) {
    const std::size_t at = static_cast<std::size_t>(paletteOffset) + i * 4;  // blue, green, red, 0
    picture.palette[i] = Rgb{file[at + 2], file[at + 1], file[at]};
  }
  const auto w = static_cast<std::size_t>(width);
  picture.pixels.resize(w * static_cast<std::size_t>(height));
  for (std::int32_t row = 0; row < height; ++row) {
    const std::int32_t y = topDown ? row : height - 1 - row;
    const auto source = file.subspan(
        static_cast<std::size_t>(pixelOffset + stride * static_cast<std::uint64_t>(row)), w);
    std::copy(source.begin(), source.end(),
              picture.pixels.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * w));
  }
  return picture;
}

}  // namespace wave
