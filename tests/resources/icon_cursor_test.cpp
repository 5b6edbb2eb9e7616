// The program's icon and cursor files as Windows reads them, from copies
// beside this test: the icon at the sizes the windows and the tray ask for,
// every image of the icon file on its own, the cursor with its hot spot, all
// drawn over a known background so that transparency, colour order and row
// order show.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

std::wstring BesideProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  return folder + name;
}

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// GetIconInfo hands out two bitmaps that the caller deletes.
struct IconBitmaps {
  ICONINFO info{};
  IconBitmaps() = default;
  IconBitmaps(const IconBitmaps&) = delete;
  IconBitmaps& operator=(const IconBitmaps&) = delete;
  ~IconBitmaps() {
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  }
};

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (GetObjectW(bitmap, sizeof bm, &bm) == 0) return {0, 0};
  return {bm.bmWidth, bm.bmHeight};
}

struct Rgb {
  int r, g, b;
};

constexpr Rgb kBackground{40, 80, 200};

// An icon or cursor drawn with DrawIconEx into a 32-bit top-down DIB
// filled with kBackground.
class Drawing {
 public:
  Drawing(HICON icon, int size) : size_(size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    if (dc_ == nullptr || bitmap_ == nullptr) return;
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < size * size; ++i) {
      bits_[i] = static_cast<DWORD>(kBackground.r << 16 | kBackground.g << 8 | kBackground.b);
    }
    drawn_ = DrawIconEx(dc_, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) != FALSE;
    GdiFlush();
  }
  Drawing(const Drawing&) = delete;
  Drawing& operator=(const Drawing&) = delete;
  ~Drawing() {
    if (old_ != nullptr) SelectObject(dc_, old_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (dc_ != nullptr) DeleteDC(dc_);
  }

  bool drawn() const { return drawn_; }
  Rgb At(int x, int y) const {
    const DWORD p = bits_[y * size_ + x];
    return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
  }

 private:
  int size_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
  bool drawn_ = false;
};

::testing::AssertionResult Is(Rgb c, bool matches, const char* what) {
  if (matches) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected " << what << ", got (" << c.r << ", " << c.g << ", " << c.b << ")";
}

bool IsBackground(Rgb c) { return c.r == kBackground.r && c.g == kBackground.g && c.b == kBackground.b; }

// The red band on top, the white page below it, the corner outside the
// rounded page left to the background.
void ExpectCalendarPage(HICON icon, int size) {
  const Drawing drawing(icon, size);
  ASSERT_TRUE(drawing.drawn());
  const Rgb corner = drawing.At(0, 0);
  EXPECT_TRUE(Is(corner, IsBackground(corner), "the background in the corner"));
  const Rgb band = drawing.At(size / 2, size / 4);
  EXPECT_TRUE(Is(band, band.r > 150 && band.g < 100 && band.b < 100, "red in the band"));
  const Rgb page = drawing.At(size * 85 / 100, size * 90 / 100);
  EXPECT_TRUE(Is(page, page.r > 200 && page.g > 200 && page.b > 200, "white on the page"));
}

std::vector<std::uint8_t> ReadAll(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned ReadLittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
  unsigned v = 0;
  for (int i = count - 1; i >= 0; --i) v = v << 8 | bytes[at + static_cast<std::size_t>(i)];
  return v;
}

TEST(ProgramIcon, LoadsAndDrawsAtTheSizesAskedFor) {
  const std::wstring path = BesideProgram(L"app.ico");
  for (const int size : {16, 32, 128}) {
    SCOPED_TRACE(size);
    IconHandle icon(static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
    ASSERT_NE(icon, nullptr) << "LoadImageW failed, error " << GetLastError();
    IconBitmaps bitmaps;
    ASSERT_TRUE(GetIconInfo(icon.get(), &bitmaps.info));
    EXPECT_TRUE(bitmaps.info.fIcon);
    ASSERT_NE(bitmaps.info.hbmColor, nullptr);
    const SIZE colourSize = BitmapSize(bitmaps.info.hbmColor);
    EXPECT_EQ(colourSize.cx, size);
    EXPECT_EQ(colourSize.cy, size);

    ExpectCalendarPage(icon.get(), size);
  }
}

// Each image as the system builds an icon from it, whatever depth the
// display would pick: the 8-bit ones go through their palette and mask.
TEST(ProgramIcon, EveryImageInTheFileDraws) {
  struct Wanted {
    int size;
    unsigned bitsPerPixel;
  };
  constexpr Wanted kImages[] = {{16, 8},  {16, 32}, {24, 8},  {24, 32}, {32, 8},  {32, 32},
                                {48, 8},  {48, 32}, {64, 32}, {72, 32}, {96, 32}, {128, 32}};
  const std::vector<std::uint8_t> file = ReadAll(BesideProgram(L"app.ico"));
  ASSERT_GE(file.size(), 6u);
  ASSERT_EQ(ReadLittleEndian(file, 4, 2), std::size(kImages));
  ASSERT_GE(file.size(), 6u + 16u * std::size(kImages));
  for (std::size_t i = 0; i < std::size(kImages); ++i) {
    SCOPED_TRACE(i);
    const std::size_t entry = 6 + 16 * i;
    const int size = kImages[i].size;
    EXPECT_EQ(file[entry], size);
    EXPECT_EQ(ReadLittleEndian(file, entry + 6, 2), kImages[i].bitsPerPixel);
    const unsigned length = ReadLittleEndian(file, entry + 8, 4);
    const unsigned offset = ReadLittleEndian(file, entry + 12, 4);
    ASSERT_LE(std::size_t{offset} + length, file.size());
    IconHandle icon(CreateIconFromResourceEx(const_cast<std::uint8_t*>(file.data() + offset), length, TRUE, 0x00030000, size,
                                             size, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << "CreateIconFromResourceEx failed, error " << GetLastError();
    ExpectCalendarPage(icon.get(), size);
  }
}

TEST(ProgramCursor, HasItsHotSpotAtTheArrowsTip) {
  const std::wstring path = BesideProgram(L"app.cur");
  IconHandle cursor(static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE)));
  ASSERT_NE(cursor, nullptr) << "LoadImageW failed, error " << GetLastError();
  IconBitmaps bitmaps;
  ASSERT_TRUE(GetIconInfo(cursor.get(), &bitmaps.info));
  EXPECT_FALSE(bitmaps.info.fIcon);
  EXPECT_EQ(bitmaps.info.xHotspot, 11u);
  EXPECT_EQ(bitmaps.info.yHotspot, 7u);
  ASSERT_NE(bitmaps.info.hbmColor, nullptr);
  const SIZE colourSize = BitmapSize(bitmaps.info.hbmColor);
  EXPECT_EQ(colourSize.cx, 32);
  EXPECT_EQ(colourSize.cy, 32);

  // The black tip sits on the hot spot with white fill below it and the
  // green leaf by the tail; everything else lets the background through.
  const Drawing drawing(cursor.get(), 32);
  ASSERT_TRUE(drawing.drawn());
  const Rgb tip = drawing.At(11, 7);
  EXPECT_TRUE(Is(tip, tip.r == 0 && tip.g == 0 && tip.b == 0, "black at the tip"));
  const Rgb fill = drawing.At(12, 9);
  EXPECT_TRUE(Is(fill, fill.r == 255 && fill.g == 255 && fill.b == 255, "white fill"));
  const Rgb leaf = drawing.At(23, 19);
  EXPECT_TRUE(Is(leaf, leaf.g > leaf.r + 40 && leaf.g > leaf.b + 40, "the green leaf"));
  for (const POINT p : {POINT{0, 0}, POINT{10, 7}, POINT{12, 7}, POINT{31, 31}}) {
    const Rgb outside = drawing.At(p.x, p.y);
    EXPECT_TRUE(Is(outside, IsBackground(outside), "the background around the pointer")) << p.x << ", " << p.y;
  }
}

}  // namespace
