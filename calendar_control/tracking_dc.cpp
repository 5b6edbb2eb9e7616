#include "calendar_control/tracking_dc.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "runtime/text_encoding.h"

namespace calendar {
namespace {

CTrackingDC::TraceSink traceSink = nullptr;

// The messages are only formatted when somebody listens.
void Trace(const char* format, ...) {
  if (traceSink == nullptr) return;
  char message[160];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof message, format, arguments);
  va_end(arguments);
  traceSink(message);
}

int LastError() { return static_cast<int>(GetLastError()); }

}  // namespace

CTrackingDC::TraceSink CTrackingDC::SetTraceSink(TraceSink sink) {
  const TraceSink previous = traceSink;
  traceSink = sink;
  return previous;
}

CTrackingDC::CTrackingDC(HDC dc) {
  Reset();
  if (dc != nullptr) Attach(dc);
}

CTrackingDC::~CTrackingDC() { Destroy(); }

void CTrackingDC::Attach(HDC dc) {
  Detach();
  target_ = dc;
  output_ = dc;
  Prepare();
}

void CTrackingDC::Detach() {
  if (output_ == nullptr) return;
  output_ = nullptr;
  Restore();
  Trace("After RemoveDC(), pen counter: %d, bursh counter: %d, font counter: %d \n", penCount_, brushCount_,
        fontCount_);
  Reset();
}

void CTrackingDC::Destroy() {
  Detach();
  if (ownPen_ != nullptr) ReleasePen();
  if (ownBrush_ != nullptr) ReleaseBrush();
  if (ownFont_ != nullptr) ReleaseFont();
}

void CTrackingDC::Prepare() {
  if (target_ != nullptr) savedState_ = SaveDC(target_);
  DefaultPen();
  DefaultBrush();
  DefaultFont();
  SetBkMode(output_, TRANSPARENT);
  SetBkColor(output_, GetSysColor(COLOR_WINDOW));
  ::SetTextColor(output_, GetSysColor(COLOR_WINDOWTEXT));
}

void CTrackingDC::Restore() {
  if (target_ != nullptr) {
    if (displacedPen_ != nullptr) SelectObject(target_, displacedPen_);
    if (displacedBrush_ != nullptr) SelectObject(target_, displacedBrush_);
    if (displacedFont_ != nullptr) SelectObject(target_, displacedFont_);
    if (savedState_ != 0) RestoreDC(target_, savedState_);
  }
  // Nothing is attached any more: the own objects are only deleted.
  ReleasePen();
  ReleaseBrush();
  ReleaseFont();
}

void CTrackingDC::Reset() {
  target_ = nullptr;
  savedState_ = 0;
  displacedPen_ = displacedBrush_ = displacedFont_ = nullptr;
  penCount_ = brushCount_ = fontCount_ = 0;
}

// ---- Pen ---------------------------------------------------------------------

void CTrackingDC::DefaultPen() {
  LOGPEN description{};
  description.lopnStyle = PS_SOLID;
  description.lopnWidth.x = 1;
  description.lopnColor = GetSysColor(COLOR_WINDOWTEXT);
  ReplacePen(description);
}

void CTrackingDC::SetPen(COLORREF colour, int width, int style) {
  LOGPEN description = penDescription_;
  description.lopnColor = colour;
  if (width >= 0) description.lopnWidth.x = width;
  if (style >= 0) description.lopnStyle = static_cast<UINT>(style);
  ReplacePen(description);
}

void CTrackingDC::ReleasePen() {
  if (displacedPen_ != nullptr && ownPen_ != nullptr && output_ != nullptr) SelectObject(output_, displacedPen_);
  if (ownPen_ == nullptr) {
    Trace("  NO pen to delete");
    return;
  }
  if (DeleteObject(ownPen_)) {
    Trace("- Delete pen No.%d", penCount_);
    --penCount_;
  } else {
    Trace("!!! Delete pen ERROR!");
  }
  ownPen_ = nullptr;
}

void CTrackingDC::ReplacePen(const LOGPEN& description) {
  ReleasePen();
  LOGPEN copy = description;
  HPEN pen = CreatePenIndirect(&copy);
  if (pen == nullptr) {
    Trace("!!! Create pen ERROR! ErrNo.[%d]", LastError());
    return;
  }
  penDescription_ = description;
  ownPen_ = pen;
  ++penCount_;
  Trace("+ Create pen No.%d", penCount_);
  if (output_ == nullptr) return;
  HGDIOBJ replaced = SelectObject(output_, pen);
  if (displacedPen_ == nullptr) displacedPen_ = replaced;
}

// ---- Brush -------------------------------------------------------------------

void CTrackingDC::DefaultBrush() {
  LOGBRUSH description{};
  description.lbStyle = BS_SOLID;
  description.lbColor = GetSysColor(COLOR_WINDOW);
  description.lbHatch = 0;
  ReplaceBrush(description);
}

void CTrackingDC::SetBrush(COLORREF colour, int style, int hatch) {
  LOGBRUSH description = brushDescription_;
  description.lbColor = colour;
  if (style >= 0) description.lbStyle = static_cast<UINT>(style);
  if (hatch >= 0) description.lbHatch = static_cast<ULONG_PTR>(hatch);
  ReplaceBrush(description);
}

void CTrackingDC::ReleaseBrush() {
  if (displacedBrush_ != nullptr && ownBrush_ != nullptr && output_ != nullptr) {
    SelectObject(output_, displacedBrush_);
  }
  if (ownBrush_ == nullptr) {
    Trace("  NO brush to delete");
    return;
  }
  if (DeleteObject(ownBrush_)) {
    Trace("- Delete brush No.%d", brushCount_);
    --brushCount_;
  } else {
    Trace("!!! Delete brush ERROR!");
  }
  ownBrush_ = nullptr;
}

void CTrackingDC::ReplaceBrush(const LOGBRUSH& description) {
  ReleaseBrush();
  HBRUSH brush = CreateBrushIndirect(&description);
  if (brush == nullptr) {
    Trace("!!! Create brush ERROR! ErrNo.[%d]", LastError());
    return;
  }
  brushDescription_ = description;
  ownBrush_ = brush;
  ++brushCount_;
  Trace("+ Create brush No.%d", brushCount_);
  if (output_ == nullptr) return;
  HGDIOBJ replaced = SelectObject(output_, brush);
  if (displacedBrush_ == nullptr) displacedBrush_ = replaced;
}

// ---- Font --------------------------------------------------------------------

void CTrackingDC::DefaultFont() {
  LOGFONTW description{};
  description.lfHeight = -12;
  description.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = runtime::GbkToWide("宋体");
  std::wcsncpy(description.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  ReplaceFont(description);
}

void CTrackingDC::SetFont(HFONT font) {
  // Read before the own font is released: the own font may be the argument.
  LOGFONTW description{};
  if (font == nullptr || GetObjectW(font, sizeof description, &description) != sizeof description) {
    DefaultFont();
    return;
  }
  ReplaceFont(description);
}

void CTrackingDC::ReleaseFont() {
  if (displacedFont_ != nullptr && ownFont_ != nullptr && output_ != nullptr) SelectObject(output_, displacedFont_);
  if (ownFont_ == nullptr) {
    Trace("  NO font to delete");
    return;
  }
  if (DeleteObject(ownFont_)) {
    Trace("- Delete font No.%d", fontCount_);
    --fontCount_;
  } else {
    Trace("!!! Delete font ERROR!");
  }
  ownFont_ = nullptr;
}

void CTrackingDC::ReplaceFont(const LOGFONTW& description) {
  ReleaseFont();
  HFONT font = CreateFontIndirectW(&description);
  if (font == nullptr) {
    Trace("!!! Create font ERROR! ErrNo.[%d]", LastError());
    return;
  }
  fontDescription_ = description;
  ownFont_ = font;
  ++fontCount_;
  Trace("+ Create font No.%d", fontCount_);
  if (output_ == nullptr) return;
  HGDIOBJ replaced = SelectObject(output_, font);
  if (displacedFont_ == nullptr) displacedFont_ = replaced;
}

void CTrackingDC::SetTextColor(COLORREF colour) {
  if (output_ != nullptr) ::SetTextColor(output_, colour);
}

// ---- Drawing -----------------------------------------------------------------

BOOL CTrackingDC::Rectangle(const RECT& rect) {
  return ::Rectangle(output_, rect.left, rect.top, rect.right, rect.bottom);
}

BOOL CTrackingDC::Line(int x1, int y1, int x2, int y2) {
  MoveToEx(output_, x1, y1, nullptr);
  return LineTo(output_, x2, y2);
}

int CTrackingDC::FillRect(const RECT& rect) { return ::FillRect(output_, &rect, ownBrush_); }

BOOL CTrackingDC::PtVisible(int x, int y) { return ::PtVisible(output_, x, y); }

BOOL CTrackingDC::RectVisible(const RECT& rect) { return ::RectVisible(output_, &rect); }

BOOL CTrackingDC::WriteText(int x, int y, std::wstring_view text) {
  return TextOutW(output_, x, y, text.data(), static_cast<int>(text.size()));
}

BOOL CTrackingDC::WriteTextExt(int x, int y, UINT options, const RECT* rect, std::wstring_view text,
                               const INT* dx) {
  return ExtTextOutW(output_, x, y, options, rect, text.data(), static_cast<UINT>(text.size()), dx);
}

LONG CTrackingDC::WriteTabbedText(int x, int y, std::wstring_view text, int tabCount, const INT* tabStops,
                                  int tabOrigin) {
  return TabbedTextOutW(output_, x, y, text.data(), static_cast<int>(text.size()), tabCount, tabStops, tabOrigin);
}

int CTrackingDC::DrawTextIn(std::wstring_view text, RECT& rect, UINT format) {
  return DrawTextW(output_, text.data(), static_cast<int>(text.size()), &rect, format);
}

int CTrackingDC::DrawTextIn(std::string_view gbk, RECT& rect, UINT format) {
  const std::wstring wide = runtime::GbkToWide(gbk);
  return DrawTextIn(std::wstring_view(wide), rect, format);
}

BOOL CTrackingDC::DrawGrayText(HBRUSH brush, GRAYSTRINGPROC output, LPARAM data, int count, int x, int y,
                               int width, int height) {
  return GrayStringW(output_, brush, output, data, count, x, y, width, height);
}

int CTrackingDC::EscapeCall(int escape, int count, LPCSTR input, LPVOID output) {
  return Escape(output_, escape, count, input, output);
}

}  // namespace calendar
