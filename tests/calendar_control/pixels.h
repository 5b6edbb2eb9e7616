// Pixels for tests: a 32-bit top-down DIB to render into or to copy a
// window's client area into, read back as RGB and saved as a BMP file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace calendar::testing {

struct Rgb {
  int r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::string ToString(const Rgb& rgb);
// From a COLORREF (0x00BBGGRR).
Rgb FromColorRef(COLORREF colour);

class Dib {
 public:
  Dib(int width, int height);
  ~Dib();
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  // A memory device context with the DIB selected.
  HDC Dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb At(int x, int y) const;
  // Copies what the window shows of its client area.
  void CopyFrom(HWND window);
  // Copies a rectangle of the screen.
  void CopyFromScreen(int x, int y);
  bool SaveBmp(const std::wstring& path) const;

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

}  // namespace calendar::testing
