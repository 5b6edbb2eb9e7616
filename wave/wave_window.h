// The ripple effect on a window of the host: the library subclasses the
// window, paints the picture as seen through the water (at its natural size
// at the client's top-left corner, the rest of the client in the button-face
// colour) and steps the water on a private timer of the window. Everything
// runs on the window's thread; the state goes when the window is destroyed.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "wave/auto_drops.h"
#include "wave/indexed_bitmap.h"
#include "wave/water_surface.h"

namespace wave {

// An 8-bit top-down DIB section with a picture's colours, selected into a
// memory DC to be copied to the screen.
class DibFrame {
 public:
  DibFrame() = default;
  ~DibFrame();
  DibFrame(const DibFrame&) = delete;
  DibFrame& operator=(const DibFrame&) = delete;

  bool Create(int width, int height, const std::array<Rgb, 256>& palette);
  HDC Dc() const { return dc_; }
  std::uint8_t* Bits() const { return bits_; }
  std::ptrdiff_t Stride() const { return stride_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  std::ptrdiff_t stride_ = 0;
};

class WaveWindow {
 public:
  // Takes the picture as the window's image with calm water and no automatic
  // effects (an attached window starts afresh), and makes the window the
  // current one. False, and nothing changed, for a window of another thread
  // or when the picture cannot be shown. `library` is this module: it stays
  // loaded from then on, since the window calls into it.
  static bool Attach(HWND hwnd, const IndexedPicture& picture, HMODULE library);
  // The window attached last, while it exists; otherwise null.
  static WaveWindow* Current();

  WaveWindow(const WaveWindow&) = delete;
  WaveWindow& operator=(const WaveWindow&) = delete;
  ~WaveWindow() = default;

  void DropStone(int x, int y, int radius, int strength);
  void SetAutoEffects(int mode);

 private:
  WaveWindow(HWND hwnd, const IndexedPicture& picture);

  static WaveWindow* Find(HWND hwnd);
  static void Detach(HWND hwnd);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR refData);

  void OnTimer();
  void Paint(HDC hdc, bool excludeChildren) const;
  void RenderFrame();
  void UpdateTimer();

  HWND hwnd_;
  IndexedPicture picture_;
  WaterSurface water_;
  AutoDrops autoDrops_;
  DibFrame frame_;
  bool frameShowsCalm_ = false;  // the frame shows the picture undisturbed
  bool timerOn_ = false;
};

}  // namespace wave
