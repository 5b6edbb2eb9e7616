// The panel CnCalendarPanel: a child dialog covering the control window. It
// paints the header bar with the date text, holds the year and month
// selectors (drop-down lists mirroring the model's SelectorModel) and the
// grid window below them.
#pragma once

#include <windows.h>

#include "calendar_control/calendar_grid.h"
#include "calendar_control/control_model.h"

namespace calendar {

inline constexpr int kYearSelectorId = 1019;
inline constexpr int kMonthSelectorId = 1020;

class CnCalendarPanel {
 public:
  explicit CnCalendarPanel(MonthCalendarModel& model);
  ~CnCalendarPanel();
  CnCalendarPanel(const CnCalendarPanel&) = delete;
  CnCalendarPanel& operator=(const CnCalendarPanel&) = delete;

  // Creates the dialog (and with it the grid window) at (0, 0) of the
  // control window; false when the dialog or the grid cannot be created.
  bool Create(HWND controlWindow);
  HWND Window() const { return window_; }
  bool IsLive() const { return live_; }
  CCalendar& grid() { return grid_; }
  HWND yearSelector() const { return yearSelector_; }
  HWND monthSelector() const { return monthSelector_; }

  // Brings the selectors in line with the model, creating them on first use.
  void MirrorSelectors();
  // After the header was shown or hidden: the panel's size, the grid's
  // place and the selectors' visibility.
  void ApplyHeaderVisibility();
  // The header bar, erasing it.
  void InvalidateHeader();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnInitDialog();
  bool OnPaint();
  void OnCommand(int id, int code, HWND control);
  void CreateSelectors();
  void MirrorList(HWND selector, const std::vector<std::string>& entries, int revision, int& shownRevision,
                  int entry);
  int HeaderHeight() const { return model_.headerVisible() ? kHeaderBarHeight : 0; }

  MonthCalendarModel& model_;
  CCalendar grid_;
  HWND window_ = nullptr;
  bool live_ = false;
  HWND yearSelector_ = nullptr;
  HWND monthSelector_ = nullptr;
  int shownYearRevision_ = -1;
  int shownMonthRevision_ = -1;
};

}  // namespace calendar
