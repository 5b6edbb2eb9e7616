// The grid window (class CCalendar): the weekday row, the 6 x 7 day cells and
// the footer. It paints the month off-screen, draws hover changes directly,
// selects a day on a left click and tells the control window about clicks,
// hovers and right clicks through CalendarNotify.
#pragma once

#include <windows.h>

#include <string>

#include "calendar_control/control_model.h"
#include "calendar_control/grid_geometry.h"
#include "calendar_control/grid_painter.h"

namespace calendar {

// The grid's private message to the control window: the code in wParam.
inline constexpr UINT kCalendarNotify = WM_USER + 100;  // 0x464
enum CalendarNotifyCode : WPARAM {
  kNotifyDateClicked = 1,     // posted; lParam 0
  kNotifyDateHovered = 2,     // sent; lParam the day's whole date-time value
  kNotifySelectionReport = 3, // posted; lParam 0
  kNotifyRightClicked = 4,    // sent; lParam as for 2
};

inline constexpr int kGridWindowId = 2046;

class CCalendar {
 public:
  explicit CCalendar(MonthCalendarModel& model);
  ~CCalendar();
  CCalendar(const CCalendar&) = delete;
  CCalendar& operator=(const CCalendar&) = delete;

  // Registers the window class once per process; false when the system
  // refuses.
  static bool RegisterWindowClass();
  // A visible child of `parent` at (x, y), grid width x grid height.
  bool Create(HWND parent, int x, int y, int id);
  HWND Window() const { return window_; }
  // The control window that receives CalendarNotify.
  void SetOwner(HWND controlWindow) { owner_ = controlWindow; }

  // The whole grid, erasing the background.
  void Invalidate();

  const GridMetrics& metrics() const { return metrics_; }
  const GridColours& colours() const { return colours_; }
  int hoverIndex() const { return hoverIndex_; }
  const std::string& hoverText() const { return hoverText_; }
  GridPicture Picture() const { return GridPicture{metrics_, colours_, model_.selection(), hoverText_}; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnPaint();
  void OnMouseMove(int x, int y);
  void OnMouseLeave();
  void OnLeftButtonUp(int x, int y);
  void OnRightButtonUp(int x, int y);
  // index -1: nothing hovered.
  void Hover(int index);
  bool OwnerExists() const { return owner_ != nullptr && IsWindow(owner_); }

  MonthCalendarModel& model_;
  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  GridMetrics metrics_;
  GridColours colours_;
  bool trackingArmed_ = false;
  int hoverIndex_ = -1;
  std::string hoverText_;
};

}  // namespace calendar
