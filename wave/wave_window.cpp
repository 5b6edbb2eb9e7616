#include "wave/wave_window.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace wave {
namespace {

// Private ids on the host's window; the host's own timers use small numbers.
constexpr UINT_PTR kTimerId = 0x57A7E;
constexpr UINT_PTR kSubclassId = 0x57A7E;
constexpr UINT kFrameMs = 30;

struct Registry {
  std::vector<std::unique_ptr<WaveWindow>> windows;
  HWND current = nullptr;
};

Registry registry;

// The subclass procedure lives in the library: once a window uses it the
// library must stay loaded, even if the host frees it. A module handle is its
// base address, which lies inside it.
void PinModule(HMODULE library) {
  HMODULE pinned = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(library), &pinned);
}

}  // namespace

DibFrame::~DibFrame() {
  if (dc_ != nullptr) {
    if (oldBitmap_ != nullptr) SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

bool DibFrame::Create(int width, int height, const std::array<Rgb, 256>& palette) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -height;  // top row first, like the water's cells
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biCompression = BI_RGB;
  info.header.biClrUsed = 256;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    info.colours[i] = RGBQUAD{palette[i].b, palette[i].g, palette[i].r, 0};
  }
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                             &bits, nullptr, 0);
  if (bitmap_ == nullptr || bits == nullptr) return false;
  dc_ = CreateCompatibleDC(nullptr);
  if (dc_ == nullptr) return false;
  oldBitmap_ = SelectObject(dc_, bitmap_);
  bits_ = static_cast<std::uint8_t*>(bits);
  stride_ = (static_cast<std::ptrdiff_t>(width) + 3) / 4 * 4;
  return true;
}

WaveWindow::WaveWindow(HWND hwnd, const IndexedPicture& picture)
    : hwnd_(hwnd), picture_(picture), water_(picture.width, picture.height) {}

bool WaveWindow::Attach(HWND hwnd, const IndexedPicture& picture, HMODULE library) {
  if (!IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) {
    return false;
  }
  std::unique_ptr<WaveWindow> fresh(new WaveWindow(hwnd, picture));
  if (!fresh->frame_.Create(picture.width, picture.height, picture.palette)) return false;
  fresh->RenderFrame();

  auto& windows = registry.windows;
  const auto known = std::find_if(windows.begin(), windows.end(),
                                  [hwnd](const auto& w) { return w->hwnd_ == hwnd; });
  if (known != windows.end()) {
    KillTimer(hwnd, kTimerId);
    *known = std::move(fresh);
  } else {
    windows.reserve(windows.size() + 1);  // so that nothing throws once subclassed
    if (!SetWindowSubclass(hwnd, &WaveWindow::SubclassProc, kSubclassId, 0)) return false;
    PinModule(library);
    windows.push_back(std::move(fresh));
  }
  registry.current = hwnd;
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
  return true;
}

WaveWindow* WaveWindow::Current() { return registry.current ? Find(registry.current) : nullptr; }

WaveWindow* WaveWindow::Find(HWND hwnd) {
  for (const auto& w : registry.windows) {
    if (w->hwnd_ == hwnd) return w.get();
  }
  return nullptr;
}

void WaveWindow::Detach(HWND hwnd) {
  RemoveWindowSubclass(hwnd, &WaveWindow::SubclassProc, kSubclassId);
  KillTimer(hwnd, kTimerId);
  auto& windows = registry.windows;
  std::erase_if(windows, [hwnd](const auto& w) { return w->hwnd_ == hwnd; });
  if (registry.current == hwnd) registry.current = nullptr;
}

void WaveWindow::DropStone(int x, int y, int radius, int strength) {
  water_.DropStone(x, y, radius, strength);
  UpdateTimer();
}

void WaveWindow::SetAutoEffects(int mode) {
  autoDrops_.SetMode(mode);
  UpdateTimer();
}

LRESULT CALLBACK WaveWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR) {
  try {
    switch (message) {
      case WM_NCDESTROY:
        Detach(hwnd);
        break;
      case WM_TIMER:
        if (wParam != kTimerId) break;
        if (WaveWindow* w = Find(hwnd)) {
          w->OnTimer();
          return 0;
        }
        break;
      case WM_ERASEBKGND:
        if (Find(hwnd) != nullptr) return 1;  // WM_PAINT covers the whole client
        break;
      case WM_PAINT:
        if (const WaveWindow* w = Find(hwnd)) {
          PAINTSTRUCT ps;
          HDC hdc = BeginPaint(hwnd, &ps);
          if (hdc != nullptr) w->Paint(hdc, true);
          EndPaint(hwnd, &ps);
          return 0;
        }
        break;
      case WM_PRINTCLIENT:
        if (const WaveWindow* w = Find(hwnd); w != nullptr && (lParam & PRF_CLIENT) != 0) {
          w->Paint(reinterpret_cast<HDC>(wParam), false);
          return 0;
        }
        break;
      default:
        break;
    }
  } catch (...) {
    // Only allocation can fail here; the host's procedure goes on as before.
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

void WaveWindow::OnTimer() {
  autoDrops_.Tick(water_);
  // One more frame after the water has calmed shows the picture undisturbed.
  if (water_.Step() || !frameShowsCalm_) {
    RenderFrame();
    RECT picture{0, 0, picture_.width, picture_.height};
    RedrawWindow(hwnd_, &picture, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
  }
  UpdateTimer();
}

void WaveWindow::RenderFrame() {
  water_.Refract(picture_.pixels.data(), picture_.width, frame_.Bits(), frame_.Stride());
  frameShowsCalm_ = water_.IsCalm();
}

void WaveWindow::UpdateTimer() {
  const bool wanted = !water_.IsCalm() || !frameShowsCalm_ || autoDrops_.IsOn();
  if (wanted && !timerOn_) {
    timerOn_ = SetTimer(hwnd_, kTimerId, kFrameMs, nullptr) != 0;
  } else if (!wanted && timerOn_) {
    KillTimer(hwnd_, kTimerId);
    timerOn_ = false;
  }
}

void WaveWindow::Paint(HDC hdc, bool excludeChildren) const {
  // The host's controls stay on top: without WS_CLIPCHILDREN on the host the
  // paint DC would draw over them, and they are not repainted per frame.
  if (excludeChildren) {
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child)) continue;
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
      ExcludeClipRect(hdc, r.left, r.top, r.right, r.bottom);
    }
  }
  BitBlt(hdc, 0, 0, picture_.width, picture_.height, frame_.Dc(), 0, 0, SRCCOPY);
  RECT client;
  GetClientRect(hwnd_, &client);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  if (client.right > picture_.width) {
    const RECT right{picture_.width, 0, client.right, client.bottom};
    FillRect(hdc, &right, face);
  }
  if (client.bottom > picture_.height) {
    const RECT below{0, picture_.height, std::min<LONG>(picture_.width, client.right), client.bottom};
    FillRect(hdc, &below, face);
  }
}

}  // namespace wave
