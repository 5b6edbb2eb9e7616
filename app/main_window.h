// The main window: the calendar, the status bar with its clock and day
// distance, the 今天 button, the search box, the web panel and the menus.
#pragma once

#include <memory>
#include <string>

#include "app/tray_icon_win.h"
#include "runtime/form.h"

namespace app {

struct ShellState {
  // The last answer of the time server; freed by the end handler.
  std::string timeServerAnswer;
  int rippleActive = 0;
  int aboutCountdown = 0;
};

class MainWindow {
 public:
  // trayIcon: the icon file's large image, which the system scales.
  MainWindow(ShellState& state, HICON icon, HICON smallIcon, HICON trayIcon, HCURSOR cursor,
             std::string timeServerAddress);
  bool Load() { return form_.Load(); }
  runtime::form::Form& Form() { return form_; }

  // Brings the calendar back to today: the 今天 button hides, 回到今天 greys.
  void ShowToday();

 private:
  void OnCreated();
  void OnClock();
  void OnDateChanged();
  void SetCalendarMode(bool gregorian);
  void ChooseSkin(int number, const char* entry);
  void SynchronizeTime();
  void OnTrayEvent(int event);

  ShellState& state_;
  HICON trayImage_;
  std::string timeServerAddress_;
  TrayIcon trayIcon_;
  UINT taskbarCreatedMessage_;
  runtime::form::Form form_;
};

}  // namespace app
