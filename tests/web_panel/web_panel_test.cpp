// The web panel on real windows. Under the test prefix the browser engine is
// disabled: the browser is created and navigates, but no document arrives,
// and the panel has to settle on its placeholder.
#include "runtime/web_panel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace runtime {
namespace {

// Nothing listens on port 1; the panel never gets that far without an engine.
constexpr wchar_t kAddress[] = L"http://127.0.0.1:1/";
constexpr wchar_t kPlaceholder[] = L"网页无法显示";
constexpr UINT kShortTimeoutMs = 800;
constexpr RECT kPanelRect{368, 0, 368 + 384, 315};

void Pump(DWORD milliseconds, const std::function<bool()>& done = {}) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end && !(done && done())) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

bool Settled(const WebPanel& panel) { return panel.ShowsDocument() || panel.ShowsPlaceholder(); }

// Whether this system has an engine that shows documents at all (the test
// prefix disables it). OLE is up once a panel has been created.
bool EngineAvailable() {
  // CLSID_HTMLDocument, which mingw-w64's uuid library lacks.
  constexpr CLSID kHtmlDocument{0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};
  IUnknown* document = nullptr;
  if (FAILED(CoCreateInstance(kHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&document)))) {
    return false;
  }
  document->Release();
  return true;
}

std::vector<HWND> Panels(HWND parent) {
  std::vector<HWND> panels;
  for (HWND child = FindWindowExW(parent, nullptr, L"QhWebPanel", nullptr); child != nullptr;
       child = FindWindowExW(parent, child, L"QhWebPanel", nullptr)) {
    panels.push_back(child);
  }
  return panels;
}

// The client area as shown on screen, 32 bits a pixel, top row first.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB

  COLORREF At(int x, int y) const {
    const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  // A 32-bit bottom-up .bmp for looking at.
  void Save(const char* path) const {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD bytes = static_cast<DWORD>(pixels.size() * 4);
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    for (int y = height - 1; y >= 0; --y) {
      std::fwrite(&pixels[static_cast<std::size_t>(y) * width], 4, static_cast<std::size_t>(width), out);
    }
    std::fclose(out);
  }
};

Capture CaptureClient(HWND window) {
  Capture capture;
  RECT client;
  GetClientRect(window, &client);
  capture.width = client.right;
  capture.height = client.bottom;
  capture.pixels.resize(static_cast<std::size_t>(capture.width) * capture.height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(window);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  std::memcpy(capture.pixels.data(), bits, capture.pixels.size() * 4);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(window, screen);
  return capture;
}

// A top-level window the size of the main window's client area.
class WebPanelTest : public ::testing::Test {
 protected:
  void SetUp() override { parent_ = NewParent(); }
  void TearDown() override {
    if (IsWindow(parent_)) DestroyWindow(parent_);
    Pump(50);
  }

  static HWND NewParent() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"QhWebPanelTestWindow";
    RegisterClassExW(&windowClass);
    RECT outer{0, 0, 760, 340};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, L"QhWebPanelTestWindow", L"web panel",
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Pump(100);
    return window;
  }

  std::unique_ptr<WebPanel> CreatePanel(RECT rect = kPanelRect, UINT timeoutMs = kShortTimeoutMs) {
    return WebPanel::Create(parent_, rect, kAddress, kPlaceholder, timeoutMs);
  }

  HWND parent_ = nullptr;
};

TEST_F(WebPanelTest, WithoutADocumentSettlesOnThePlaceholder) {
  ASSERT_NE(parent_, nullptr);
  auto panel = CreatePanel();
  ASSERT_NE(panel, nullptr);
  ASSERT_EQ(Panels(parent_).size(), 1u);
  HWND window = Panels(parent_)[0];
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, kPanelRect.left);
  EXPECT_EQ(rect.top, kPanelRect.top);
  EXPECT_EQ(rect.right, kPanelRect.right);
  EXPECT_EQ(rect.bottom, kPanelRect.bottom);
  // The browser is in place while it waits for its document.
  EXPECT_FALSE(panel->ShowsPlaceholder());
  EXPECT_NE(GetWindow(window, GW_CHILD), nullptr);

  Pump(kShortTimeoutMs + 3000, [&] { return Settled(*panel); });
  if (EngineAvailable()) {
    // A working engine shows the probe page long before the timeout.
    EXPECT_TRUE(panel->ShowsDocument());
    EXPECT_FALSE(panel->ShowsPlaceholder());
    return;
  }
  ASSERT_TRUE(panel->ShowsPlaceholder());
  EXPECT_FALSE(panel->ShowsDocument());
  // The browser's windows went with it.
  EXPECT_EQ(GetWindow(window, GW_CHILD), nullptr);

  UpdateWindow(parent_);
  Pump(300);
  const Capture shot = CaptureClient(parent_);
  shot.Save("web_panel_placeholder.bmp");
  const COLORREF background = GetSysColor(COLOR_WINDOW);
  const COLORREF border = GetSysColor(COLOR_BTNSHADOW);
  const int left = kPanelRect.left, top = kPanelRect.top;
  const int width = kPanelRect.right - left, height = kPanelRect.bottom - top;
  EXPECT_EQ(shot.At(left, top + height / 2), border);
  EXPECT_EQ(shot.At(left + width - 1, top + height / 2), border);
  EXPECT_EQ(shot.At(left + width / 2, top), border);
  EXPECT_EQ(shot.At(left + width / 2, top + height - 1), border);
  // The middle area is the plain background around the one centred line.
  for (const double fx : {0.25, 0.5, 0.75}) {
    for (const double fy : {0.3, 0.7}) {
      const int x = left + static_cast<int>(fx * width), y = top + static_cast<int>(fy * height);
      EXPECT_EQ(shot.At(x, y), background) << x << "," << y;
    }
  }
  int textPixels = 0;
  for (int y = top + height / 2 - 10; y <= top + height / 2 + 10; ++y) {
    for (int x = left + width / 4; x < left + 3 * width / 4; ++x) textPixels += shot.At(x, y) != background;
  }
  EXPECT_GT(textPixels, 20) << "no placeholder text in the middle";
  // Nothing painted outside the panel.
  EXPECT_EQ(shot.At(left - 1, top + height / 2), GetSysColor(COLOR_BTNFACE));
}

TEST_F(WebPanelTest, GoesSafelyBeforeTheTimeout) {
  // Parent destroyed while the browser is still waiting for its document
  // (at once: a working engine shows its probe page within milliseconds).
  auto orphan = CreatePanel();
  ASSERT_NE(orphan, nullptr);
  ASSERT_FALSE(Settled(*orphan));
  ASSERT_NE(GetWindow(Panels(parent_)[0], GW_CHILD), nullptr);
  DestroyWindow(parent_);
  Pump(kShortTimeoutMs + 400);
  EXPECT_FALSE(orphan->ShowsDocument());
  EXPECT_FALSE(orphan->ShowsPlaceholder());
  orphan.reset();

  // The panel dropped while its parent lives on.
  parent_ = NewParent();
  auto dropped = CreatePanel();
  ASSERT_NE(dropped, nullptr);
  ASSERT_FALSE(Settled(*dropped));
  dropped.reset();
  EXPECT_TRUE(Panels(parent_).empty());
  Pump(kShortTimeoutMs + 400);
  EXPECT_TRUE(IsWindow(parent_));
}

TEST_F(WebPanelTest, SeveralPanelsOneAfterAnother) {
  const RECT leftHalf{0, 0, 360, 315};
  auto first = CreatePanel(leftHalf);
  auto second = CreatePanel();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Panels(parent_).size(), 2u);
  Pump(kShortTimeoutMs + 3000, [&] { return Settled(*first) && Settled(*second); });
  EXPECT_EQ(first->ShowsPlaceholder(), second->ShowsPlaceholder());
  EXPECT_TRUE(Settled(*first) && Settled(*second));

  first.reset();
  auto third = CreatePanel(leftHalf);
  ASSERT_NE(third, nullptr);
  Pump(kShortTimeoutMs + 3000, [&] { return Settled(*third); });
  EXPECT_EQ(third->ShowsPlaceholder(), second->ShowsPlaceholder());
  EXPECT_EQ(Panels(parent_).size(), 2u);
}

TEST_F(WebPanelTest, EmptyTextsAndNoParent) {
  // No parent: a child window cannot be made.
  EXPECT_EQ(WebPanel::Create(nullptr, kPanelRect, kAddress, kPlaceholder), nullptr);

  auto blank = WebPanel::Create(parent_, kPanelRect, L"", L"", kShortTimeoutMs);
  ASSERT_NE(blank, nullptr);
  Pump(kShortTimeoutMs + 3000, [&] { return Settled(*blank); });
  EXPECT_TRUE(Settled(*blank));
  UpdateWindow(parent_);
}

}  // namespace
}  // namespace runtime
