#include "skin_engine/theme.h"

#include <algorithm>
#include <array>

namespace skin {
namespace {

// Pixels cut from each row of a corner, from the outermost row inwards,
// for radius 0..4: a quarter circle drawn on the pixel grid.
constexpr std::array<std::array<int, 4>, 5> kCornerInset = {{
    {0, 0, 0, 0},
    {1, 0, 0, 0},
    {2, 1, 0, 0},
    {3, 1, 1, 0},
    {4, 2, 1, 1},
}};

int CornerInset(int radius, int row, int height) {
  const int fromEdge = std::min(row, height - 1 - row);
  if (fromEdge < 0 || fromEdge >= 4) return 0;
  return kCornerInset[radius][fromEdge];
}

void Span(HDC dc, int left, int top, int right, int bottom) {
  if (right > left && bottom > top) PatBlt(dc, left, top, right - left, bottom - top, PATCOPY);
}

GdiObject<HFONT> MakeFont(LOGFONTW font, LONG weight) {
  font.lfWeight = weight;
  font.lfQuality = CLEARTYPE_QUALITY;
  return GdiObject<HFONT>(CreateFontIndirectW(&font));
}

}  // namespace

Rgb Blend(Rgb a, Rgb b, double t) {
  const auto mix = [t](std::uint8_t x, std::uint8_t y) {
    return static_cast<std::uint8_t>(x + (y - x) * t + 0.5);
  };
  return Rgb{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

Canvas::Canvas(HDC reference, int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)) {
  dc_ = CreateCompatibleDC(reference);
  if (dc_ == nullptr) return;
  bitmap_ = CreateCompatibleBitmap(reference, width_, height_);
  if (bitmap_ != nullptr) oldBitmap_ = SelectObject(dc_, bitmap_);
}

Canvas::~Canvas() {
  if (oldBitmap_ != nullptr) SelectObject(dc_, oldBitmap_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (dc_ != nullptr) DeleteDC(dc_);
}

void Canvas::CopyTo(HDC target, int x, int y) const {
  if (ok()) BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

Theme::Theme(Skin skin) : skin_(std::move(skin)) {
  windowBrush_ = GdiObject<HBRUSH>(CreateSolidBrush(ToColorRef(skin_.window.background)));
  editBrush_ = GdiObject<HBRUSH>(CreateSolidBrush(ToColorRef(skin_.edit.background)));
  menuBrush_ = GdiObject<HBRUSH>(CreateSolidBrush(ToColorRef(skin_.menu.background)));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    captionFont_ = MakeFont(metrics.lfCaptionFont,
                            skin_.caption.font == FontWeight::kBold ? FW_BOLD : FW_NORMAL);
    menuFont_ = MakeFont(metrics.lfMenuFont, FW_NORMAL);
  }
}

void FillSolid(HDC dc, const RECT& rect, Rgb color) {
  SavedDc saved(dc);
  SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc, ToColorRef(color));
  Span(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void FillGradient(HDC dc, const RECT& rect, const Gradient& gradient) {
  SavedDc saved(dc);
  SelectObject(dc, GetStockObject(DC_BRUSH));
  const int height = rect.bottom - rect.top;
  for (int y = 0; y < height; ++y) {
    SetDCBrushColor(dc, ToColorRef(GradientAt(gradient, y, height)));
    Span(dc, rect.left, rect.top + y, rect.right, rect.top + y + 1);
  }
}

void FrameSolid(HDC dc, const RECT& rect, Rgb color) {
  SavedDc saved(dc);
  SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc, ToColorRef(color));
  Span(dc, rect.left, rect.top, rect.right, rect.top + 1);
  Span(dc, rect.left, rect.bottom - 1, rect.right, rect.bottom);
  Span(dc, rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1);
  Span(dc, rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1);
}

void FillBox(HDC dc, const RECT& rect, const Gradient& face, Rgb border, int radius) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  radius = std::clamp(radius, 0, std::min({4, width / 2, height / 2}));
  SavedDc saved(dc);
  SelectObject(dc, GetStockObject(DC_BRUSH));
  const COLORREF borderColor = ToColorRef(border);
  for (int y = 0; y < height; ++y) {
    const int top = rect.top + y;
    const int inset = CornerInset(radius, y, height);
    SetDCBrushColor(dc, borderColor);
    if (y == 0 || y == height - 1) {
      Span(dc, rect.left + inset, top, rect.right - inset, top + 1);
      continue;
    }
    // The border runs from this row's inset to the next row's towards the
    // edge, so the cut corner stays closed.
    const int outerInset = CornerInset(radius, y < height / 2 ? y - 1 : y + 1, height);
    const int borderWidth = std::max(1, outerInset - inset);
    Span(dc, rect.left + inset, top, rect.left + inset + borderWidth, top + 1);
    Span(dc, rect.right - inset - borderWidth, top, rect.right - inset, top + 1);
    SetDCBrushColor(dc, ToColorRef(GradientAt(face, y - 1, height - 2)));
    Span(dc, rect.left + inset + borderWidth, top, rect.right - inset - borderWidth, top + 1);
  }
}

void DrawGlyph(HDC dc, const RECT& rect, Glyph glyph, Rgb color) {
  SavedDc saved(dc);
  SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc, ToColorRef(color));
  const int side = std::min(rect.right - rect.left, rect.bottom - rect.top);
  // An even size keeps two-pixel strokes on the grid.
  int size = std::max(6, (side * 2 / 5) & ~1);
  if (glyph == Glyph::kArrowDown || glyph == Glyph::kArrowRight) size = 7;
  if (glyph == Glyph::kCheck || glyph == Glyph::kRadio) size = 8;
  const int x = rect.left + (rect.right - rect.left - size) / 2;
  const int y = rect.top + (rect.bottom - rect.top - size) / 2;
  switch (glyph) {
    case Glyph::kMinimize:
      Span(dc, x, y + size - 2, x + size, y + size);
      break;
    case Glyph::kMaximize:
      Span(dc, x, y, x + size, y + 2);
      Span(dc, x, y + size - 1, x + size, y + size);
      Span(dc, x, y, x + 1, y + size);
      Span(dc, x + size - 1, y, x + size, y + size);
      break;
    case Glyph::kRestore: {
      const int s = size - 3;
      // Back window, then the front one over it.
      Span(dc, x + 3, y, x + 3 + s, y + 2);
      Span(dc, x + 3 + s - 1, y, x + 3 + s, y + s);
      Span(dc, x, y + 3, x + s, y + 5);
      Span(dc, x, y + 3 + s - 1, x + s, y + 3 + s);
      Span(dc, x, y + 3, x + 1, y + 3 + s);
      Span(dc, x + s - 1, y + 3, x + s, y + 3 + s);
      break;
    }
    case Glyph::kClose:
      for (int i = 0; i < size; ++i) {
        Span(dc, x + i, y + i, x + i + 2, y + i + 1);
        Span(dc, x + size - i - 1, y + i, x + size - i + 1, y + i + 1);
      }
      break;
    case Glyph::kArrowDown:
      for (int i = 0; i < 4; ++i) Span(dc, x + i, y + 2 + i, x + size - i, y + 3 + i);
      break;
    case Glyph::kArrowRight:
      for (int i = 0; i < 4; ++i) Span(dc, x + 2 + i, y + i, x + 3 + i, y + size - i);
      break;
    case Glyph::kCheck:
      // A short stroke down to the right, then a long one up.
      for (int i = 0; i < 3; ++i) Span(dc, x + i, y + 3 + i, x + i + 1, y + 6 + i);
      for (int i = 0; i < 5; ++i) Span(dc, x + 3 + i, y + 4 - i, x + 4 + i, y + 7 - i);
      break;
    case Glyph::kRadio:
      Span(dc, x + 2, y + 1, x + 6, y + 7);
      Span(dc, x + 1, y + 2, x + 7, y + 6);
      break;
  }
}

void DrawTextIn(HDC dc, const std::wstring& text, RECT rect, UINT format, Rgb color, HFONT font) {
  if (text.empty()) return;
  SavedDc saved(dc);
  if (font != nullptr) SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(color));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  const int length = GetClassNameW(hwnd, name, 64);
  return std::wstring(name, length > 0 ? length : 0);
}

HFONT ControlFont(HWND hwnd) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace skin
