#include "wave/indexed_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace wave {
namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A 5 x 3 bottom-up bitmap with a 4-entry colour table: pixel (x, y) has
// index (x + y) % 4; colour i is (10i+1, 10i+2, 10i+3). Rows are padded to
// 8 bytes with 0xAA.
std::vector<std::uint8_t> SmallBitmap() {
  constexpr std::uint32_t kColours = 4, kOffset = 14 + 40 + kColours * 4, kStride = 8;
  std::vector<std::uint8_t> b(kOffset + kStride * 3, 0);
  b[0] = 'B', b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, kOffset);
  Put32(b, 14, 40);
  Put32(b, 18, 5);
  Put32(b, 22, 3);
  Put16(b, 26, 1);
  Put16(b, 28, 8);
  Put32(b, 46, kColours);
  for (std::uint32_t i = 0; i < kColours; ++i) {
    b[54 + i * 4] = static_cast<std::uint8_t>(10 * i + 3);      // blue
    b[54 + i * 4 + 1] = static_cast<std::uint8_t>(10 * i + 2);  // green
    b[54 + i * 4 + 2] = static_cast<std::uint8_t>(10 * i + 1);  // red
  }
  for (std::uint32_t row = 0; row < 3; ++row) {
    const std::uint32_t y = 2 - row;
    for (std::uint32_t x = 0; x < kStride; ++x) {
      b[kOffset + row * kStride + x] = x < 5 ? static_cast<std::uint8_t>((x + y) % 4) : 0xAA;
    }
  }
  return b;
}

TEST(IndexedBitmapTest, ReadsRowsTopFirstWithTheirColours) {
  const auto picture = ParseIndexedBitmap(SmallBitmap());
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 5);
  EXPECT_EQ(picture->height, 3);
  ASSERT_EQ(picture->pixels.size(), 15u);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const int i = (x + y) % 4;
      EXPECT_EQ(picture->pixels[static_cast<std::size_t>(y * 5 + x)], i) << x << "," << y;
      EXPECT_EQ(picture->ColourAt(x, y), (Rgb{static_cast<std::uint8_t>(10 * i + 1),
                                              static_cast<std::uint8_t>(10 * i + 2),
                                              static_cast<std::uint8_t>(10 * i + 3)}));
    }
  }
  EXPECT_EQ(picture->palette[4], Rgb{}) << "past the file's table: black";

  // A negative height stores the top row first.
  auto topDown = SmallBitmap();
  Put32(topDown, 22, static_cast<std::uint32_t>(-3));
  const auto flipped = ParseIndexedBitmap(topDown);
  ASSERT_TRUE(flipped.has_value());
  EXPECT_EQ(flipped->pixels[0], picture->pixels[10]);
  EXPECT_EQ(flipped->pixels[10], picture->pixels[0]);
}

TEST(IndexedBitmapTest, RefusesWhatItCannotShow) {
  struct Case {
    const char* what;
    std::size_t at;
    int bytes;  // 1, 2 or 4
    std::uint32_t value;
  };
  const Case cases[] = {
      {"magic", 0, 1, 'b'},
      {"core header", 14, 4, 12},
      {"header longer than any", 14, 4, 200},
      {"header past the file", 14, 4, 124},
      {"width 0", 18, 4, 0},
      {"negative width", 18, 4, static_cast<std::uint32_t>(-5)},
      {"width past the data", 18, 4, 9},
      {"huge width", 18, 4, 0x7FFFFFFF},
      {"height 0", 22, 4, 0},
      {"height past the data", 22, 4, 4},
      {"most negative height", 22, 4, 0x80000000},
      {"two planes", 26, 2, 2},
      {"24 bits", 28, 2, 24},
      {"4 bits", 28, 2, 4},
      {"run-length coded", 30, 4, 1},
      {"colour table too long", 46, 4, 257},
      {"colour table into the pixels", 46, 4, 5},
      {"pixels inside the header", 10, 4, 20},
      {"pixels past the end", 10, 4, 0xFFFFFFF0},
  };
  for (const Case& c : cases) {
    auto b = SmallBitmap();
    if (c.bytes == 1) b[c.at] = static_cast<std::uint8_t>(c.value);
    if (c.bytes == 2) Put16(b, c.at, c.value);
    if (c.bytes == 4) Put32(b, c.at, c.value);
    EXPECT_FALSE(ParseIndexedBitmap(b).has_value()) << c.what;
  }

  const auto whole = SmallBitmap();
  for (std::size_t length = 0; length < whole.size(); ++length) {
    EXPECT_FALSE(ParseIndexedBitmap(std::span(whole).first(length)).has_value()) << length;
  }
  EXPECT_TRUE(ParseIndexedBitmap(whole).has_value());
}

#ifdef QH_WAVE_PICTURE
TEST(IndexedBitmapTest, TheCarriedPictureIs380By142With256Colours) {
  std::ifstream in(QH_WAVE_PICTURE, std::ios::binary);
  const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_EQ(file.size(), 1078u + 380u * 142u);
  EXPECT_EQ(file[10] | file[11] << 8, 1078) << "pixel data offset";
  const auto picture = ParseIndexedBitmap(file);
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 380);
  EXPECT_EQ(picture->height, 142);
}
#endif

}  // namespace
}  // namespace wave
