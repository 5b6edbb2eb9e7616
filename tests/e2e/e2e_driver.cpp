// Drives the real program from outside, as a test under Wine: finds its
// windows, reads texts (status-bar parts through the target's memory, as
// SB_GETTEXTW needs a buffer there), tells where a day's cell is on the
// screen and posts window messages. Prints UTF-8 lines "key=value".
//
//   e2e_driver wait MS            the main window and its status bar exist
//   e2e_driver state              title, status parts, 今天 button, DateText
//   e2e_driver cell YYYY-MM-DD    screen point of the day's cell (Gregorian view of its month)
//   e2e_driver point X Y          screen point of a client point of the main window
//   e2e_driver close              the close button's command (SC_CLOSE)
//   e2e_driver restore            restores the minimised main window
//   e2e_driver version PATH       the version information of a program file
//   e2e_driver wait-popup MS      a popup menu is open (or, with "gone", closed)
//   e2e_driver menu TOP ENTRY     screen point of a menu entry: TOP the menu's place in the
//                                 bar (0 文件 ..), ENTRY the entry's place in it (-1: the menu itself)
//   e2e_driver wait-gone MS       the main window is gone
//   e2e_driver about [MS]         the About window (waited for up to MS): open, its button's caption and state
//   e2e_driver tray-rclick        a right click on the tray icon, as the notification area sends it
//   e2e_driver tray-lclick        a left click and a double click on it
//   e2e_driver message MS         waits for a message box: its title and text
//   e2e_driver dismiss            presses the message box's button
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "calendar_control/month_model.h"
#include "lunar/lunar_calendar.h"
#include "runtime/text_encoding.h"
#include "tests/support/program_windows.h"

namespace {

// Control ids: 100 + the control's place in the window's description.
constexpr int kTodayButtonId = 106;
constexpr int kCalendarId = 107;
// The grid sits below the calendar's 30-pixel header.
constexpr int kGridTop = 30;

using qh_test::FindProgramWindow;
using qh_test::RemoteStatusText;
using qh_test::StatusBarOf;
using qh_test::Utf8Of;
using qh_test::WindowTextOf;

HWND MainWindow() { return FindProgramWindow(true); }

// The selected entry of a drop-down list (CB_GETLBTEXT is carried across
// processes).
std::wstring SelectedItem(HWND combo) {
  if (combo == nullptr) return {};
  const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  wchar_t text[256] = {};
  if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >= 255) return {};
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return text;
}

POINT ClientToScreenPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

// A message box of the program: a dialog with the static text 0xFFFF.
HWND MessageBoxWindow() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM out) -> BOOL {
        wchar_t cls[16] = {};
        GetClassNameW(window, cls, 16);
        if (std::wstring(cls) == L"#32770" && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) != nullptr) {
          *reinterpret_cast<HWND*>(out) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

int Fail(const char* message) {
  std::printf("error=%s\n", message);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Fail("usage");
  const std::string command = argv[1];

  if (command == "wait" || command == "wait-gone") {
    const DWORD limit = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 10000;
    const DWORD start = GetTickCount();
    for (;;) {
      HWND main = MainWindow();
      const bool ready = main != nullptr && StatusBarOf(main) != nullptr && IsWindowVisible(main);
      if (command == "wait" ? ready : main == nullptr) {
        std::printf("ok\n");
        return 0;
      }
      if (GetTickCount() - start > limit) return Fail("timeout");
      Sleep(50);
    }
  }

  if (command == "version" && argc > 2) {
    // The path as typed: the narrow arguments are in the ANSI code page.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring path = wide != nullptr && count > 2 ? wide[2] : L"";
    LocalFree(wide);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<std::uint8_t> info(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data())) return Fail("no version information");
    for (const wchar_t* key : {L"FileVersion", L"ProductName", L"FileDescription"}) {
      void* value = nullptr;
      UINT length = 0;
      const std::wstring query = std::wstring(L"\\StringFileInfo\\080404B0\\") + key;
      if (VerQueryValueW(info.data(), query.c_str(), &value, &length) && length > 0) {
        std::printf("%s=%s\n", Utf8Of(key).c_str(), Utf8Of(static_cast<const wchar_t*>(value)).c_str());
      }
    }
    return 0;
  }
  if (command == "wait-popup") {
    const DWORD limit = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 5000;
    const bool gone = argc > 3 && std::string(argv[3]) == "gone";
    const DWORD start = GetTickCount();
    for (;;) {
      HWND popup = FindWindowW(L"#32768", nullptr);
      if ((popup != nullptr && IsWindowVisible(popup)) != gone) {
        std::printf("ok\n");
        return 0;
      }
      if (GetTickCount() - start > limit) return Fail("timeout");
      Sleep(20);
    }
  }
  if (command == "message") {
    const DWORD limit = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 10000;
    const DWORD start = GetTickCount();
    HWND box = nullptr;
    while ((box = MessageBoxWindow()) == nullptr) {
      if (GetTickCount() - start > limit) return Fail("no message box");
      Sleep(50);
    }
    std::printf("title=%s\ntext=%s\n", Utf8Of(WindowTextOf(box)).c_str(),
                Utf8Of(WindowTextOf(GetDlgItem(box, 0xFFFF))).c_str());
    return 0;
  }
  if (command == "dismiss") {
    HWND box = MessageBoxWindow();
    if (box == nullptr) return Fail("no message box");
    HWND button = FindWindowExW(box, nullptr, L"Button", nullptr);
    if (button == nullptr) return Fail("no button");
    SendMessageW(button, BM_CLICK, 0, 0);
    std::printf("ok\n");
    return 0;
  }

  HWND main = MainWindow();
  if (main == nullptr) return Fail("no main window");

  if (command == "state") {
    HWND bar = StatusBarOf(main);
    std::printf("title=%s\n", Utf8Of(WindowTextOf(main)).c_str());
    for (int part = 0; part < 3; ++part) std::printf("status%d=%s\n", part, Utf8Of(RemoteStatusText(bar, part)).c_str());
    HWND today = GetDlgItem(main, kTodayButtonId);
    std::printf("today_button=%s\n", today != nullptr && IsWindowVisible(today) ? "visible" : "hidden");
    HWND calendarWindow = GetDlgItem(main, kCalendarId);
    std::printf("date_text=%s\n", Utf8Of(WindowTextOf(calendarWindow)).c_str());
    // The calendar's selectors: the year on the left, the month right of it.
    std::vector<HWND> combos;
    if (calendarWindow != nullptr) {
      EnumChildWindows(
          calendarWindow,
          [](HWND child, LPARAM out) -> BOOL {
            wchar_t cls[32] = {};
            GetClassNameW(child, cls, 32);
            if (lstrcmpiW(cls, L"ComboBox") == 0) reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&combos));
    }
    std::sort(combos.begin(), combos.end(), [](HWND a, HWND b) {
      RECT ra{}, rb{};
      GetWindowRect(a, &ra);
      GetWindowRect(b, &rb);
      return ra.left < rb.left;
    });
    HWND year = combos.size() > 0 ? combos[0] : nullptr;
    HWND month = combos.size() > 1 ? combos[1] : nullptr;
    std::printf("selectors=%zu\n", combos.size());
    std::printf("year_selector=%s\n", Utf8Of(SelectedItem(year)).c_str());
    std::printf("month_selector=%s\n", Utf8Of(SelectedItem(month)).c_str());
    RECT outer{};
    GetWindowRect(main, &outer);
    std::printf("outer=%ld,%ld,%ld,%ld\n", outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top);
    std::printf("enabled=%d\n", IsWindowEnabled(main) ? 1 : 0);
    std::printf("iconic=%d\n", IsIconic(main) ? 1 : 0);
    std::printf("ansi_code_page=%u\n", GetACP());  // the driver's, started like the program
    const POINT client = ClientToScreenPoint(main, 0, 0);
    std::printf("client=%ld,%ld\n", client.x, client.y);
    return 0;
  }
  if (command == "cell" && argc > 2) {
    int y = 0, m = 0, d = 0;
    if (std::sscanf(argv[2], "%d-%d-%d", &y, &m, &d) != 3) return Fail("date");
    const lunar::DateRec day(static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(m), static_cast<std::uint16_t>(d));
    lunar::DateRec lunarDay;
    if (!lunar::GregorianToLunar(day.year, day.month, day.day, lunarDay)) return Fail("range");
    const calendar::MonthModel model = calendar::BuildMonthModel(day, lunarDay, true);
    for (int i = 0; i < calendar::kCellCount; ++i) {
      if (model.cells[static_cast<std::size_t>(i)].date == day) {
        // Cells are 52 x 32 from the grid's weekday row (20 pixels) down.
        const int x = (i % 7) * 52 + 26;
        const int cy = kGridTop + 20 + (i / 7) * 32 + 16;
        HWND calendarWindow = GetDlgItem(main, kCalendarId);
        const POINT p = ClientToScreenPoint(calendarWindow != nullptr ? calendarWindow : main, x, cy);
        std::printf("x=%ld\ny=%ld\n", p.x, p.y);
        return 0;
      }
    }
    return Fail("not shown");
  }
  if (command == "point" && argc > 3) {
    const POINT p = ClientToScreenPoint(main, std::atoi(argv[2]), std::atoi(argv[3]));
    std::printf("x=%ld\ny=%ld\n", p.x, p.y);
    return 0;
  }
  if (command == "menu" && argc > 3) {
    // The bar's menus are 4 characters apart, the entries one line (22 pixels)
    // apart, starting under the bar: as the menu font lays them out.
    const int top = std::atoi(argv[2]), entry = std::atoi(argv[3]);
    const int x = 22 + 38 * top;
    const POINT p = ClientToScreenPoint(main, entry < 0 ? x : x + 20, entry < 0 ? -10 : 10 + 22 * entry);
    std::printf("x=%ld\ny=%ld\n", p.x, p.y);
    return 0;
  }
  if (command == "about") {
    // With a time: first waits for the window to open.
    const DWORD limit = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 0;
    const DWORD start = GetTickCount();
    while (FindProgramWindow(false) == nullptr && GetTickCount() - start < limit) Sleep(10);
    HWND about = FindProgramWindow(false);
    std::printf("about=%s\n", about != nullptr && IsWindowVisible(about) ? "open" : "closed");
    if (about != nullptr) {
      HWND button = GetDlgItem(about, 102);  // abc, the second control
      std::printf("button=%s\n", Utf8Of(WindowTextOf(button)).c_str());
      std::printf("button_enabled=%d\n", button != nullptr && IsWindowEnabled(button) ? 1 : 0);
      RECT r{};
      GetWindowRect(about, &r);
      std::printf("rect=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
      const POINT origin = ClientToScreenPoint(about, 0, 0);
      std::printf("client=%ld,%ld\n", origin.x, origin.y);
      const POINT center = ClientToScreenPoint(button, 20, 16);
      std::printf("button_x=%ld\nbutton_y=%ld\n", center.x, center.y);
    }
    std::printf("main_enabled=%d\n", IsWindowEnabled(main) ? 1 : 0);
    return 0;
  }
  if (command == "tray-rclick" || command == "tray-lclick") {
    if (command == "tray-rclick") {
      PostMessageW(main, WM_APP + 100, 100, WM_RBUTTONUP);
    } else {
      for (const UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        PostMessageW(main, WM_APP + 100, 100, mouse);
      }
    }
    std::printf("ok\n");
    return 0;
  }
  if (command == "restore") {
    PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    std::printf("ok\n");
    return 0;
  }
  if (command == "close") {
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    std::printf("ok\n");
    return 0;
  }
  return Fail("unknown command");
}
