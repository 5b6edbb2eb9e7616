#include "calendar_control/calendar_grid.h"

#include <windowsx.h>

#include <cmath>

#include "calendar_control/gdi_handles.h"
#include "calendar_control/module_instance.h"
#include "lunar/date_text.h"

namespace calendar {
namespace {

constexpr wchar_t kClassName[] = L"CCalendar";
// Redraw on resize, double clicks, own device context, save bits.
constexpr UINT kClassStyle = 0x82B;
// Child, visible, clip siblings, tab stop.
constexpr DWORD kGridStyle = 0x54010000;

// One paint at a time in the whole process.
bool painting = false;

// The whole date-time value of a day, as CalendarNotify carries it.
LPARAM DayValue(const lunar::DateRec& day) {
  const double value = runtime::DateTimeFromParts(day.year, day.month, day.day, 0, 0, 0).value_or(0);
  return static_cast<LPARAM>(std::trunc(value));
}

}  // namespace

CCalendar::CCalendar(MonthCalendarModel& model) : model_(model) {}

CCalendar::~CCalendar() {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

bool CCalendar::RegisterWindowClass() {
  WNDCLASSW existing;
  if (GetClassInfoW(ModuleInstance(), kClassName, &existing)) return true;
  WNDCLASSW windowClass{};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = &CCalendar::WindowProc;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kClassName;
  return RegisterClassW(&windowClass) != 0;
}

bool CCalendar::Create(HWND parent, int x, int y, int id) {
  if (!RegisterWindowClass()) return false;
  const HWND window = CreateWindowExW(0, kClassName, L"", kGridStyle, x, y, metrics_.GridWidth(),
                                      metrics_.GridHeight(), parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), this);
  if (window == nullptr) return false;
  UpdateWindow(window);
  return true;
}

void CCalendar::Invalidate() {
  if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
}

LRESULT CALLBACK CCalendar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* grid = static_cast<CCalendar*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    grid->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(grid));
  }
  auto* grid = reinterpret_cast<CCalendar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (grid == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    grid->window_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return grid->OnMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT CCalendar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = window_;
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_MOUSEMOVE:
      OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      break;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return 0;
    case WM_LBUTTONUP:
      OnLeftButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      break;
    case WM_RBUTTONUP:
      OnRightButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      break;
    default:
      break;
  }
  // The handlers above may have let the host destroy the control (and this
  // object with it): only the window handle kept on the stack is used.
  return DefWindowProcW(window, message, wParam, lParam);
}

void CCalendar::OnPaint() {
  if (painting) {
    // Still validated, or the system would ask again at once.
    ValidateRect(window_, nullptr);
    return;
  }
  // Cleared however the paint ends.
  struct PaintingFlag {
    PaintingFlag() { painting = true; }
    ~PaintingFlag() { painting = false; }
  } flag;
  PaintDc paint(window_);
  const int width = metrics_.GridWidth();
  const int height = metrics_.GridHeight();
  MemoryDc memory(paint.Get());
  Bitmap bitmap(CreateCompatibleBitmap(paint.Get(), width, height));
  if (memory && bitmap) {
    Selection selected(memory.Get(), bitmap.Get());
    PaintGrid(memory.Get(), Picture());
    BitBlt(paint.Get(), 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
  }
  if (hoverIndex_ != -1) PaintCell(paint.Get(), Picture(), hoverIndex_, true);
}

void CCalendar::OnMouseMove(int x, int y) {
  const HWND window = window_;
  Hover(metrics_.HitTest(x, y));
  if (!IsWindow(window)) return;
  if (!trackingArmed_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
    TrackMouseEvent(&track);
    trackingArmed_ = true;
  }
}

void CCalendar::OnMouseLeave() {
  Hover(-1);
  trackingArmed_ = false;
  hoverIndex_ = -1;
}

void CCalendar::Hover(int index) {
  if (index != -1 && index == hoverIndex_) return;
  WindowDc dc(window_);
  if (!dc) return;
  if (index == -1) {
    if (hoverIndex_ != -1) PaintCell(dc.Get(), Picture(), hoverIndex_, false);
    hoverText_.clear();
    PaintFooter(dc.Get(), Picture());
    hoverIndex_ = -1;
    return;
  }
  const MonthModel& month = model_.selection().month();
  if (month.InMonth(index)) {
    const DayCell& cell = month.cells[static_cast<std::size_t>(index)];
    PaintCell(dc.Get(), Picture(), index, true);
    hoverText_ = lunar::FormatDate(cell.date.year, cell.date.month, cell.date.day, lunar::kDefaultDateTemplate);
    PaintFooter(dc.Get(), Picture());
    if (OwnerExists()) {
      const HWND window = window_;
      SendMessageW(owner_, kCalendarNotify, kNotifyDateHovered, DayValue(cell.date));
      if (!IsWindow(window)) return;  // the host destroyed the control meanwhile
    }
  } else {
    hoverText_.clear();
  }
  if (hoverIndex_ != -1) PaintCell(dc.Get(), Picture(), hoverIndex_, false);
  PaintFooter(dc.Get(), Picture());
  hoverIndex_ = index;
}

void CCalendar::OnLeftButtonUp(int x, int y) {
  const int index = metrics_.HitTest(x, y);
  const MonthModel& month = model_.selection().month();
  if (!month.InMonth(index)) return;
  const lunar::DateRec day = month.cells[static_cast<std::size_t>(index)].date;
  model_.SelectDay(day.year, day.month, day.day, true);
  // Posted after the selection report, so DateClicked follows DateChanged;
  // also when the day was refused.
  if (OwnerExists()) PostMessageW(owner_, kCalendarNotify, kNotifyDateClicked, 0);
}

void CCalendar::OnRightButtonUp(int x, int y) {
  const int index = metrics_.HitTest(x, y);
  const MonthModel& month = model_.selection().month();
  if (!month.InMonth(index) || !OwnerExists()) return;
  SendMessageW(owner_, kCalendarNotify, kNotifyRightClicked,
               DayValue(month.cells[static_cast<std::size_t>(index)].date));
}

}  // namespace calendar
