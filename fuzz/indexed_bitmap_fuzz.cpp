// wave::ParseIndexedBitmap: the ripple picture read back from the program's
// folder, where anything may have replaced it. A picture that is read has
// the promised size, and bytes after its pixel rows change nothing.
#include <vector>

#include "fuzz_check.h"
#include "wave/indexed_bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto picture = wave::ParseIndexedBitmap(std::span(data, size));
  if (!picture) return 0;
  using wave::IndexedPicture;
  FUZZ_CHECK(picture->width >= 1 && picture->width <= IndexedPicture::kMaxSide);
  FUZZ_CHECK(picture->height >= 1 && picture->height <= IndexedPicture::kMaxSide);
  FUZZ_CHECK(static_cast<long>(picture->width) * picture->height <= IndexedPicture::kMaxPixels);
  FUZZ_CHECK(picture->pixels.size() == static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height));
  // Every pixel's colour can be looked up.
  unsigned sum = 0;
  for (int y = 0; y < picture->height; ++y) {
    for (int x = 0; x < picture->width; ++x) sum += picture->ColourAt(x, y).g;
  }
  FUZZ_CHECK(sum <= 255u * picture->pixels.size());

  std::vector<std::uint8_t> longer(data, data + size);
  longer.push_back(0xA5);
  const auto again = wave::ParseIndexedBitmap(longer);
  FUZZ_CHECK(again.has_value());
  FUZZ_CHECK(again->width == picture->width && again->height == picture->height);
  FUZZ_CHECK(again->palette == picture->palette && again->pixels == picture->pixels);
  return 0;
}
