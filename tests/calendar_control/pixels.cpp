#include "tests/calendar_control/pixels.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace calendar::testing {

std::string ToString(const Rgb& rgb) {
  char text[32];
  std::snprintf(text, sizeof text, "(%d,%d,%d)", rgb.r, rgb.g, rgb.b);
  return text;
}

Rgb FromColorRef(COLORREF colour) { return {GetRValue(colour), GetGValue(colour), GetBValue(colour)}; }

Dib::Dib(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<std::uint32_t*>(bits);
  dc_ = CreateCompatibleDC(nullptr);
  previous_ = SelectObject(dc_, bitmap_);
}

Dib::~Dib() {
  SelectObject(dc_, previous_);
  DeleteDC(dc_);
  DeleteObject(bitmap_);
}

Rgb Dib::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {-1, -1, -1};
  GdiFlush();
  const std::uint32_t pixel = bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x];
  return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
          static_cast<int>(pixel & 0xFF)};
}

void Dib::CopyFrom(HWND window) {
  HDC source = GetDC(window);
  BitBlt(dc_, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
  GdiFlush();
}

void Dib::CopyFromScreen(int x, int y) {
  HDC screen = GetDC(nullptr);
  BitBlt(dc_, 0, 0, width_, height_, screen, x, y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
}

bool Dib::SaveBmp(const std::wstring& path) const {
  GdiFlush();
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width_;
  header.biHeight = -height_;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  const DWORD imageSize = static_cast<DWORD>(width_) * static_cast<DWORD>(height_) * 4;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + imageSize;
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(bits_), imageSize);
  return static_cast<bool>(out);
}

}  // namespace calendar::testing
