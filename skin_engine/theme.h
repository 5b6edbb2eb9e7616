// A parsed skin with the GDI objects painting needs, and the drawing helpers
// every painted part shares (gradients, boxes with cut corners, glyphs, text).
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "skin_engine/skin_file.h"

namespace skin {

inline COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }
// a when t is 0, b when t is 1.
Rgb Blend(Rgb a, Rgb b, double t);

// One GDI object, deleted with its owner.
template <class Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() {
    if (handle_ != nullptr) DeleteObject(handle_);
  }
  Handle get() const { return handle_; }

 private:
  Handle handle_ = nullptr;
};

// A window's DC from GetWindowDC or GetDC, released on scope exit.
class WindowDc {
 public:
  WindowDc(HWND hwnd, bool wholeWindow)
      : hwnd_(hwnd), dc_(wholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(hwnd_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Keeps a DC's selections, colours and clipping for one scope.
class SavedDc {
 public:
  explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;
  ~SavedDc() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }

 private:
  HDC dc_;
  int saved_;
};

// An off-screen bitmap the size of what is painted, copied once to the
// target so nothing flickers. Its coordinates start at (0, 0).
class Canvas {
 public:
  Canvas(HDC reference, int width, int height);
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas();
  // False when GDI is out of memory: the caller then paints nothing.
  bool ok() const { return dc_ != nullptr && bitmap_ != nullptr; }
  HDC dc() const { return dc_; }
  void CopyTo(HDC target, int x, int y) const;

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int width_;
  int height_;
};

class Theme {
 public:
  explicit Theme(Skin skin);
  Theme(const Theme&) = delete;
  Theme& operator=(const Theme&) = delete;

  const Skin& skin() const { return skin_; }
  HBRUSH windowBrush() const { return windowBrush_.get(); }
  HBRUSH editBrush() const { return editBrush_.get(); }
  HBRUSH menuBrush() const { return menuBrush_.get(); }
  HFONT captionFont() const { return captionFont_.get(); }
  HFONT menuFont() const { return menuFont_.get(); }

 private:
  Skin skin_;
  GdiObject<HBRUSH> windowBrush_;
  GdiObject<HBRUSH> editBrush_;
  GdiObject<HBRUSH> menuBrush_;
  GdiObject<HFONT> captionFont_;
  GdiObject<HFONT> menuFont_;
};

void FillSolid(HDC dc, const RECT& rect, Rgb color);
// Row by row, the top colour in the first row and the bottom one in the last.
void FillGradient(HDC dc, const RECT& rect, const Gradient& gradient);
// A one-pixel outline inside rect.
void FrameSolid(HDC dc, const RECT& rect, Rgb color);
// A box with a one-pixel border and a gradient face, its corners cut by
// radius pixels (0..4); pixels outside the corners are left as they are.
void FillBox(HDC dc, const RECT& rect, const Gradient& face, Rgb border, int radius);

enum class Glyph { kMinimize, kMaximize, kRestore, kClose, kArrowDown, kCheck, kRadio, kArrowRight };
// Pixel glyphs drawn centred in rect, sized from its smaller side.
void DrawGlyph(HDC dc, const RECT& rect, Glyph glyph, Rgb color);

// Text in one colour with a transparent background.
void DrawTextIn(HDC dc, const std::wstring& text, RECT rect, UINT format, Rgb color, HFONT font);

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
// The font a control paints with: its WM_GETFONT, else the GUI font.
HFONT ControlFont(HWND hwnd);

}  // namespace skin
