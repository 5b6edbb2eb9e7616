// Wave.dll on real windows: loaded from the test's folder like the program
// loads it from its directory, driven through its three exports, and read
// back from the window (WM_PRINTCLIENT into a memory DIB, and the screen).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "wave/indexed_bitmap.h"

namespace {

using WaveInitFn = int(__stdcall*)(HWND, const char*);
using WaveAutoEffectsFn = int(__stdcall*)(int, int, int, int);
using WaveDropStoneFn = int(__stdcall*)(int, int, int, int);

constexpr int kPictureWidth = 380;
constexpr int kPictureHeight = 142;
constexpr COLORREF kHostColour = RGB(255, 0, 255);   // what the host paints itself
constexpr COLORREF kChildColour = RGB(0, 200, 0);    // a control on the host
constexpr RECT kChildRect{325, 94, 365, 126};        // where the About window's button sits
constexpr wchar_t kHostClass[] = L"QhWaveTestHost";
constexpr wchar_t kChildClass[] = L"QhWaveTestChild";

std::string ExeDirectory() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, length);
  return dir.substr(0, dir.find_last_of('\\'));
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the message loop for `ms` milliseconds.
void Pump(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

// Pumps until `done` holds, at most `ms` milliseconds.
bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (done()) return true;
    Pump(50);
  }
  return done();
}

LRESULT CALLBACK SolidProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const COLORREF colour = GetParent(hwnd) != nullptr ? kChildColour : kHostColour;
  if (message == WM_PAINT || message == WM_PRINTCLIENT) {
    PAINTSTRUCT ps{};
    HDC hdc = message == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wParam);
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(hdc, &client, brush);
    DeleteObject(brush);
    if (message == WM_PAINT) EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Colours as 0x00RRGGBB, top row first.
struct Image {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

std::uint32_t Packed(wave::Rgb c) { return static_cast<std::uint32_t>(c.r) << 16 | c.g << 8 | c.b; }
std::uint32_t Packed(COLORREF c) { return Packed(wave::Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}); }

// What the window paints into a memory DIB when asked to print its client.
Image PrintClient(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  Image image{client.right, client.bottom, {}};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  image.pixels.assign(first, first + static_cast<std::size_t>(image.width) * image.height);
  for (auto& p : image.pixels) p &= 0xFFFFFF;
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return image;
}

std::uint32_t ScreenPixel(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return Packed(c);
}

// 24-bit bottom-up bitmap file.
void SaveBitmap(const Image& image, const std::string& path) {
  const int stride = (image.width * 3 + 3) / 4 * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * image.height);
  info.biSize = sizeof(info);
  info.biWidth = image.width;
  info.biHeight = image.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  std::vector<char> row(static_cast<std::size_t>(stride), 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t p = image.At(x, y);
      row[static_cast<std::size_t>(x) * 3] = static_cast<char>(p & 0xFF);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>(p >> 8 & 0xFF);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>(p >> 16 & 0xFF);
    }
    out.write(row.data(), stride);
  }
}

class WaveWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::wstring dll = [] {
      wchar_t path[MAX_PATH];
      const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
      std::wstring p(path, length);
      return p.substr(0, p.find_last_of(L'\\')) + L"\\Wave.dll";
    }();
    library_ = LoadLibraryW(dll.c_str());
    if (library_ == nullptr) return;
    init_ = reinterpret_cast<WaveInitFn>(reinterpret_cast<void*>(GetProcAddress(library_, "WaveInit")));
    autoEffects_ = reinterpret_cast<WaveAutoEffectsFn>(
        reinterpret_cast<void*>(GetProcAddress(library_, "WaveAutoEffects")));
    dropStone_ =
        reinterpret_cast<WaveDropStoneFn>(reinterpret_cast<void*>(GetProcAddress(library_, "WaveDropStone")));
    for (const wchar_t* name : {kHostClass, kChildClass}) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = SolidProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
      wc.lpszClassName = name;
      RegisterClassW(&wc);
    }
  }

  void SetUp() override {
    ASSERT_NE(library_, nullptr) << "Wave.dll beside the test";
    ASSERT_NE(init_, nullptr);
    ASSERT_NE(autoEffects_, nullptr);
    ASSERT_NE(dropStone_, nullptr);
    picturePath_ = ExeDirectory() + "\\wave.bmp";
    auto parsed = wave::ParseIndexedBitmap(ReadFile(picturePath_));
    ASSERT_TRUE(parsed.has_value()) << picturePath_;
    picture_ = *parsed;
  }

  void TearDown() override {
    for (HWND hwnd : windows_) {
      if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    Pump(50);
  }

  // A borderless top-level window whose client is width x height, with a
  // control where the About window's button is.
  HWND CreateHost(int width = kPictureWidth, int height = kPictureHeight, int left = 40, int top = 40) {
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kHostClass, L"", WS_POPUP | WS_VISIBLE,
                                left, top, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CreateWindowExW(0, kChildClass, L"", WS_CHILD | WS_VISIBLE, kChildRect.left, kChildRect.top,
                    kChildRect.right - kChildRect.left, kChildRect.bottom - kChildRect.top, hwnd, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
    windows_.push_back(hwnd);
    Pump(50);
    return hwnd;
  }

  std::uint32_t PictureAt(int x, int y) const { return Packed(picture_.ColourAt(x, y)); }

  // Pixels of the picture's area that differ from the picture, within
  // `radius` of (cx, cy) and beyond it.
  std::pair<int, int> Changed(const Image& image, int cx = 0, int cy = 0, int radius = 0) const {
    int nearby = 0, beyond = 0;
    for (int y = 0; y < picture_.height; ++y) {
      for (int x = 0; x < picture_.width; ++x) {
        if (image.At(x, y) == PictureAt(x, y)) continue;
        const bool inside = (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
        (inside ? nearby : beyond) += 1;
      }
    }
    return {nearby, beyond};
  }

  bool ShowsPicture(HWND hwnd) const { return Changed(PrintClient(hwnd)) == std::make_pair(0, 0); }

  // A few points of the picture as read back from the screen, and the
  // control drawn over it.
  void ExpectScreenShowsPictureAndControl(HWND hwnd) const {
    for (auto [x, y] : {std::pair{5, 5}, {190, 20}, {100, 70}, {300, 110}, {374, 136}}) {
      EXPECT_EQ(ScreenPixel(hwnd, x, y), PictureAt(x, y)) << x << "," << y;
    }
    EXPECT_EQ(ScreenPixel(hwnd, kChildRect.left + 5, kChildRect.top + 5), Packed(kChildColour));
  }

  static HMODULE library_;
  static WaveInitFn init_;
  static WaveAutoEffectsFn autoEffects_;
  static WaveDropStoneFn dropStone_;

  std::string picturePath_;
  wave::IndexedPicture picture_;
  std::vector<HWND> windows_;
};

HMODULE WaveWindowTest::library_ = nullptr;
WaveInitFn WaveWindowTest::init_ = nullptr;
WaveAutoEffectsFn WaveWindowTest::autoEffects_ = nullptr;
WaveDropStoneFn WaveWindowTest::dropStone_ = nullptr;

TEST_F(WaveWindowTest, StoneRipplesThePictureAndTheWaterCalmsAgain) {
  HWND hwnd = CreateHost();
  ASSERT_EQ(ScreenPixel(hwnd, 5, 5), Packed(kHostColour));
  ASSERT_EQ(init_(hwnd, picturePath_.c_str()), 1);
  Pump(100);
  EXPECT_TRUE(ShowsPicture(hwnd));
  ExpectScreenShowsPictureAndControl(hwnd);

  constexpr int kX = 150, kY = 75;
  ASSERT_EQ(dropStone_(kX, kY, 5, 300), 1);
  Pump(200);
  const Image rippling = PrintClient(hwnd);
  const auto [nearby, beyond] = Changed(rippling, kX, kY, 40);
  EXPECT_GT(nearby, 300) << "the water moves around the stone";
  EXPECT_EQ(beyond, 0) << "and only there so far";
  EXPECT_EQ(ScreenPixel(hwnd, kChildRect.left + 5, kChildRect.top + 5), Packed(kChildColour));

  // A frame with wide rings for people to look at.
  Pump(300);
  std::string artifacts = ExeDirectory();
  if (const char* dir = std::getenv("QH_ARTIFACTS_DIR"); dir != nullptr && *dir != '\0') {
    artifacts = dir;
    CreateDirectoryA(dir, nullptr);
  }
  SaveBitmap(PrintClient(hwnd), artifacts + "\\wave_rippling.bmp");

  EXPECT_TRUE(PumpUntil([&] { return ShowsPicture(hwnd); }, 10000)) << "the water calms down";
  Pump(100);
  ExpectScreenShowsPictureAndControl(hwnd);
}

TEST_F(WaveWindowTest, AutoEffectsDropStonesUntilSwitchedOff) {
  HWND hwnd = CreateHost();
  ASSERT_EQ(init_(hwnd, picturePath_.c_str()), 1);
  Pump(50);
  EXPECT_EQ(autoEffects_(1, 0, 0, 0), 1) << "taken, but an unknown mode does nothing";
  Pump(300);
  EXPECT_TRUE(ShowsPicture(hwnd));

  ASSERT_EQ(autoEffects_(2, 0, 0, 0), 1);
  EXPECT_TRUE(PumpUntil([&] { return !ShowsPicture(hwnd); }, 2000)) << "a stone falls by itself";
  Pump(1000);
  ASSERT_EQ(autoEffects_(0, 0, 0, 0), 1);
  EXPECT_TRUE(PumpUntil([&] { return ShowsPicture(hwnd); }, 10000));
  Pump(1500);
  EXPECT_TRUE(ShowsPicture(hwnd)) << "no stone after switching off";
}

TEST_F(WaveWindowTest, RefusedPicturesAndWindowsLeaveEverythingAsItWas) {
  HWND host = CreateHost();
  const std::vector<std::uint8_t> good = ReadFile(picturePath_);
  char tempDir[MAX_PATH];
  GetTempPathA(MAX_PATH, tempDir);
  char bad[MAX_PATH];
  GetTempFileNameA(tempDir, "qhw", 0, bad);
  auto writeBad = [&](std::vector<std::uint8_t> bytes) {
    std::ofstream(bad, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };

  std::vector<std::uint8_t> deep = good;
  deep[28] = 24;  // 24 bits per pixel
  std::vector<std::uint8_t> cut(good.begin(), good.end() - 1);
  for (const auto& bytes : {deep, cut, std::vector<std::uint8_t>{}}) {
    writeBad(bytes);
    EXPECT_EQ(init_(host, bad), 0) << bytes.size();
  }
  EXPECT_EQ(init_(host, (ExeDirectory() + "\\missing.bmp").c_str()), 0);
  EXPECT_EQ(init_(host, nullptr), 0);
  EXPECT_EQ(init_(host, ""), 0);
  DeleteFileA(bad);

  HWND otherThreadWindow = nullptr;
  HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread other([&] {
    otherThreadWindow = CreateWindowExW(0, kHostClass, L"", WS_POPUP, 0, 0, 380, 142, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    SetEvent(created);
    WaitForSingleObject(release, INFINITE);
    DestroyWindow(otherThreadWindow);
  });
  WaitForSingleObject(created, INFINITE);
  for (HWND hwnd : {HWND{}, reinterpret_cast<HWND>(0x12345), GetDesktopWindow(), otherThreadWindow}) {
    EXPECT_EQ(init_(hwnd, picturePath_.c_str()), 0) << hwnd;
  }
  SetEvent(release);
  other.join();
  CloseHandle(created);
  CloseHandle(release);

  EXPECT_EQ(dropStone_(150, 75, 5, 300), 0) << "no window to drop on";
  EXPECT_EQ(autoEffects_(2, 0, 0, 0), 0);
  Pump(100);
  EXPECT_EQ(PrintClient(host).At(5, 5), Packed(kHostColour)) << "the host still paints itself";

  // An attached window keeps its picture when a new one is refused.
  ASSERT_EQ(init_(host, picturePath_.c_str()), 1);
  EXPECT_EQ(init_(host, (ExeDirectory() + "\\missing.bmp").c_str()), 0);
  Pump(100);
  EXPECT_TRUE(ShowsPicture(host));
  EXPECT_EQ(dropStone_(150, 75, 5, 300), 1);
}

TEST_F(WaveWindowTest, DestroyedWindowsLeaveNothingBehind) {
  HWND first = CreateHost();
  HWND second = CreateHost(420, 170, 440, 40);  // larger than the picture
  ASSERT_EQ(init_(first, picturePath_.c_str()), 1);
  ASSERT_EQ(init_(second, picturePath_.c_str()), 1);
  ASSERT_EQ(init_(second, picturePath_.c_str()), 1) << "again: starts afresh";
  Pump(100);
  EXPECT_EQ(PrintClient(second).At(400, 160), Packed(GetSysColor(COLOR_BTNFACE)));

  // Drops and rain go to the window initialised last.
  ASSERT_EQ(autoEffects_(2, 0, 0, 0), 1);
  ASSERT_EQ(dropStone_(150, 75, 5, 300), 1);
  Pump(150);
  EXPECT_FALSE(ShowsPicture(second));
  EXPECT_TRUE(ShowsPicture(first));

  DestroyWindow(second);  // while rippling, with its timer running
  Pump(300);
  EXPECT_EQ(dropStone_(150, 75, 5, 300), 0);
  EXPECT_EQ(autoEffects_(2, 0, 0, 0), 0);
  EXPECT_TRUE(ShowsPicture(first));
  ExpectScreenShowsPictureAndControl(first);

  ASSERT_EQ(init_(first, picturePath_.c_str()), 1);
  ASSERT_EQ(dropStone_(150, 75, 5, 300), 1);
  Pump(150);
  EXPECT_FALSE(ShowsPicture(first));
  DestroyWindow(first);
  Pump(300);
  EXPECT_EQ(dropStone_(150, 75, 5, 300), 0);
}

}  // namespace
