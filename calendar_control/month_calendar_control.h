// The control object CnMonthCalendar: the control window (a plain child of
// the host's form that draws nothing), the stored properties and the model,
// and the panel with the grid. It turns the grid's CalendarNotify messages
// into host events and deletes itself after its window's last message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <span>

#include "calendar_control/calendar_panel.h"
#include "calendar_control/control_model.h"
#include "runtime/control_interface.h"

namespace calendar {

// The host's notification function, one for the process, and its last
// answer. A missing function answers 0.
INT_PTR CallHost(int code, INT_PTR arg1, INT_PTR arg2);
void SetHostNotify(runtime::control::HostNotifyFunction function);

class CnMonthCalendar final : private ModelObserver {
 public:
  // Create (entry point 1): null when the stored data is malformed or a
  // window cannot be created; nothing is left behind then.
  static CnMonthCalendar* Create(std::span<const std::uint8_t> data, DWORD style, HWND parent, UINT id, int x,
                                 int y, std::uint32_t formId, std::uint32_t unitId, BOOL designMode);
  // The live control behind an object pointer the host hands back, or null.
  static CnMonthCalendar* FromObject(const void* object);

  CnMonthCalendar(const CnMonthCalendar&) = delete;
  CnMonthCalendar& operator=(const CnMonthCalendar&) = delete;
  // A created control is deleted by its window after the last message;
  // deleting it otherwise takes the window down first.
  ~CnMonthCalendar() override;

  HWND Window() const { return window_; }
  MonthCalendarModel& model() { return model_; }
  CnCalendarPanel& panel() { return panel_; }

  // The SetDate command on this control.
  int SetDate(int year, int month, int day);
  // Entry points 4, 5 and 6 (indices are the control's own: host index - 8).
  void PropertyWritten(int index, const runtime::control::PropertyValue* value);
  HGLOBAL GetAllPropertyData() const;
  void GetProperty(int index, runtime::control::PropertyValue* value);

 private:
  CnMonthCalendar(std::uint32_t formId, std::uint32_t unitId, BOOL designMode, runtime::DateTime now);

  static bool RegisterWindowClass();
  bool CreateWindows(DWORD style, HWND parent, UINT id, int x, int y);
  void FinishCreation();

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCalendarNotify(WPARAM code, LPARAM lParam);
  void OnLastMessage();
  // Sets the window to the content size, keeping its position.
  void TakeContentSize();
  void RaiseEvent(int index, std::initializer_list<std::int32_t> arguments = {});

  // ModelObserver
  void SelectionChanged(bool notify) override;
  void ModeChanged() override;
  void SelectorsChanged() override;
  void HeaderTextChanged() override;
  void HeaderVisibilityChanged() override;

  std::uint32_t formId_;
  std::uint32_t unitId_;
  BOOL designMode_;
  MonthCalendarModel model_;
  CnCalendarPanel panel_;
  HWND window_ = nullptr;
  // Set once create has handed the object to the host: from then on the
  // object belongs to its window.
  bool created_ = false;
};

}  // namespace calendar
