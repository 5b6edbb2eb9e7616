// The drawing context every painting routine of the calendar goes through.
// It wraps a device context that somebody else owns (a paint context, a
// window's client context or a memory context) for one routine: it saves the
// context's state, selects a pen, a brush and a font of its own, lets the
// routine change their colours and styles, counts what it creates and
// deletes, and on detach puts back what was selected before, restores the
// saved state and deletes its own objects. The context therefore leaves the
// routine as it entered it.
#pragma once

#include <windows.h>

#include <string_view>

namespace calendar {

class CTrackingDC {
 public:
  // Receives the creation and deletion messages; the program installs none,
  // so they cost nothing and appear nowhere.
  using TraceSink = void (*)(const char* message);
  static TraceSink SetTraceSink(TraceSink sink);

  explicit CTrackingDC(HDC dc = nullptr);
  CTrackingDC(const CTrackingDC&) = delete;
  CTrackingDC& operator=(const CTrackingDC&) = delete;
  ~CTrackingDC();

  // Detaches whatever is attached, then saves the context's state and
  // selects the default pen, brush and font, transparent background, the
  // system's window colour as background colour and its window-text colour
  // as text colour.
  void Attach(HDC dc);
  // Puts back the displaced objects, restores the saved state, deletes the
  // own objects; nothing happens when nothing is attached.
  void Detach();
  HDC Output() const { return output_; }

  // A width or style below 0 keeps the current one.
  void SetPen(COLORREF colour, int width = -1, int style = -1);
  void SetBrush(COLORREF colour, int style = -1, int hatch = -1);
  // The font's description (the own font itself may be passed); the
  // default font when there is no such font.
  void SetFont(HFONT font);
  HFONT OwnFont() const { return ownFont_; }
  // Solid, 1 pixel, the system's window-text colour.
  void DefaultPen();
  // Solid, the system's window colour.
  void DefaultBrush();
  // 宋体, 12-pixel characters, default character set.
  void DefaultFont();
  void SetTextColor(COLORREF colour);

  int penCount() const { return penCount_; }
  int brushCount() const { return brushCount_; }
  int fontCount() const { return fontCount_; }

  // Drawing on the attached context.
  BOOL Rectangle(const RECT& rect);
  BOOL Line(int x1, int y1, int x2, int y2);
  // Fills with the own brush.
  int FillRect(const RECT& rect);
  BOOL PtVisible(int x, int y);
  BOOL RectVisible(const RECT& rect);
  // (The system's names of these calls are macros, hence other names here.)
  BOOL WriteText(int x, int y, std::wstring_view text);
  BOOL WriteTextExt(int x, int y, UINT options, const RECT* rect, std::wstring_view text, const INT* dx);
  // Width in the low word, height in the high word, as the system returns it.
  LONG WriteTabbedText(int x, int y, std::wstring_view text, int tabCount, const INT* tabStops, int tabOrigin);
  int DrawTextIn(std::wstring_view text, RECT& rect, UINT format);
  // The program's GBK texts, shown through the wide call.
  int DrawTextIn(std::string_view gbk, RECT& rect, UINT format);
  BOOL DrawGrayText(HBRUSH brush, GRAYSTRINGPROC output, LPARAM data, int count, int x, int y, int width,
                    int height);
  int EscapeCall(int escape, int count, LPCSTR input, LPVOID output);

 private:
  void Prepare();
  void Restore();
  void Reset();
  void Destroy();
  void ReplacePen(const LOGPEN& description);
  void ReplaceBrush(const LOGBRUSH& description);
  void ReplaceFont(const LOGFONTW& description);
  void ReleasePen();
  void ReleaseBrush();
  void ReleaseFont();

  HDC target_ = nullptr;
  HDC output_ = nullptr;
  HPEN ownPen_ = nullptr;
  HBRUSH ownBrush_ = nullptr;
  HFONT ownFont_ = nullptr;
  LOGPEN penDescription_{};
  LOGBRUSH brushDescription_{};
  LOGFONTW fontDescription_{};
  int savedState_ = 0;
  HGDIOBJ displacedPen_ = nullptr;
  HGDIOBJ displacedBrush_ = nullptr;
  HGDIOBJ displacedFont_ = nullptr;
  int penCount_ = 0;
  int brushCount_ = 0;
  int fontCount_ = 0;
};

}  // namespace calendar
