// A soak run of the real program from outside, under Wine or Windows:
// thousands of random hovers, clicks, selector changes, view switches and
// 回到今天 on the running program's calendar, with the program's resource
// counts sampled after a warm-up and at the end. Growth beyond a small
// constant, a hang, the program's end or wrong status texts at the end fail
// the run. Prints UTF-8 lines.
//
//   soak_driver wait MS      the main window and its status bar exist and it is shown
//   soak_driver counters     the running program's counters, which of them work here, its windows
//   soak_driver run [--actions N] [--seed S] [--warmup W] [--every K]
//   soak_driver close        the close button's command (SC_CLOSE)
//
// Exit code 0 when everything held, 1 otherwise.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/support/program_windows.h"

namespace {

// Control ids of the main window: 100 + the control's place in its description.
constexpr int kSearchBoxId = 102;
constexpr int kTodayButtonId = 106;
constexpr int kCalendarId = 107;
// The calendar panel's selectors.
constexpr int kYearSelectorId = 1019;
constexpr int kMonthSelectorId = 1020;
// Menu commands of the main window.
constexpr UINT kCommandBackToToday = 1000;
constexpr UINT kCommandGregorian = 1001;
constexpr UINT kCommandLunar = 1002;
// The grid: 7 x 6 cells of 52 x 32 pixels below the 20-pixel weekday row.
constexpr int kCellWidth = 52;
constexpr int kCellHeight = 32;
constexpr int kWeekdayRowHeight = 20;
// A program that answers nothing for this long hangs.
constexpr UINT kHangMs = 5000;

constexpr wchar_t kWelcomeText[] = L"欢迎使用《岁华录》查询万年历！";
constexpr wchar_t kClockPrefix[] = L"当前时间：";

// Growth allowed between the sample after the warm-up and the one at the
// end. Both are taken in the same state (公历 view, today, no hover), so
// what may differ is only what the system makes lazily, once: under Wine a
// device context the system keeps for reuse (one more DC, region and
// surface entry, 3 GDI objects) appears once or twice in a run's first few
// hundred actions - here first at a view switch after 150 actions - and
// stays; a tooltip or a worker thread's handle. A leak of one object on
// even a rare path (view switches are 5 % of the actions) adds hundreds
// over 10,000 actions.
constexpr long kGdiSlack = 6;
constexpr long kUserSlack = 4;
constexpr long kHandleSlack = 8;

using qh_test::Utf8Of;
using qh_test::WindowTextOf;

// ---- The program's windows ---------------------------------------------------

HWND MainWindow() { return qh_test::FindProgramWindow(true); }



HWND DescendantOfClass(HWND parent, const wchar_t* className) {
  struct Search {
    const wchar_t* className;
    HWND found;
  } search{className, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM out) -> BOOL {
        auto* s = reinterpret_cast<Search*>(out);
        wchar_t cls[64] = {};
        GetClassNameW(child, cls, 64);
        if (lstrcmpiW(cls, s->className) == 0) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct Target {
  HWND main = nullptr;
  HWND grid = nullptr;   // the CCalendar window
  HWND panel = nullptr;  // the selectors' parent
  HWND year = nullptr;
  HWND month = nullptr;
  HWND status = nullptr;
  HWND searchBox = nullptr;
  DWORD pid = 0;
  int gridWidth = 0;
  int gridHeight = 0;
};

bool FindTarget(Target& t) {
  t.main = MainWindow();
  if (t.main == nullptr) return false;
  GetWindowThreadProcessId(t.main, &t.pid);
  const HWND calendar = GetDlgItem(t.main, kCalendarId);
  t.status = qh_test::StatusBarOf(t.main);
  t.searchBox = GetDlgItem(t.main, kSearchBoxId);
  if (calendar == nullptr) return false;
  t.grid = DescendantOfClass(calendar, L"CCalendar");
  if (t.grid == nullptr) return false;
  t.panel = GetParent(t.grid);
  t.year = GetDlgItem(t.panel, kYearSelectorId);
  t.month = GetDlgItem(t.panel, kMonthSelectorId);
  RECT client{};
  GetClientRect(t.grid, &client);
  t.gridWidth = client.right;
  t.gridHeight = client.bottom;
  return t.status != nullptr && t.searchBox != nullptr && t.year != nullptr && t.month != nullptr &&
         t.gridWidth > 0 && t.gridHeight > 0;
}

std::wstring StatusText(HWND bar, int part) { return qh_test::RemoteStatusText(bar, part, kHangMs); }

// ---- Resource counters ---------------------------------------------------------
//
// GetGuiResources and GetProcessHandleCount are the counters of record. Where
// one of them is not implemented (it answers 0 for a live GUI process), a
// measurement of the same thing from outside stands in, after it has shown
// on this driver's own process that it sees objects come and go:
// - GDI objects: the live, non-stock entries of the process's GDI handle
//   table (the table the process environment block points to; Wine keeps
//   one per process, with the Windows layout);
// - USER objects: the process's windows (top-level, message-only and all
//   their descendants) - menus, cursors and icons are not counted;
// - handles: the process's entries in the system's handle list.

using NtQueryInformationProcessFn = LONG(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
using NtQuerySystemInformationFn = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
constexpr ULONG kProcessBasicInformation = 0;
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// One entry of the GDI handle table of a 64-bit process.
struct GdiHandleEntry {
  std::uint64_t object;
  std::uint32_t owner;     // low 16 bits: the owning process id, where the system fills it in
  std::uint8_t extType;    // bits 0-6: the full object type; bit 7: a stock object
  std::uint8_t generation;
  std::uint8_t type;       // the base type; 0 for a free entry
  std::uint8_t flags;
  std::uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr std::size_t kPebGdiTableOffset = 0xF8;  // PEB::GdiSharedHandleTable, 64-bit layout

struct SystemHandleEntry {
  void* object;
  ULONG_PTR processId;
  ULONG_PTR handleValue;
  ULONG grantedAccess;
  USHORT creatorBackTraceIndex;
  USHORT objectTypeIndex;
  ULONG attributes;
  ULONG reserved;
};
static_assert(sizeof(SystemHandleEntry) == 40);

const char* GdiTypeName(int extType) {
  switch (extType) {
    case 0x01: return "dc";
    case 0x04: return "region";
    case 0x05: return "surface";
    case 0x08: return "palette";
    case 0x09: return "bitmap";
    case 0x0a: return "font";
    case 0x10: return "brush";
    case 0x30: return "pen";
    case 0x50: return "extpen";
    default: return nullptr;
  }
}

struct GdiCensus {
  long total = -1;                 // -1: not readable
  std::map<int, long> byType;      // extended type -> live objects
};

GdiCensus CountGdiTable(HANDLE process, DWORD pid) {
  GdiCensus census;
  static const auto query = reinterpret_cast<NtQueryInformationProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  if (query == nullptr) return census;
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (query(process, kProcessBasicInformation, &basic, sizeof basic, &length) != 0 || basic.PebBaseAddress == nullptr)
    return census;
  std::uint64_t table = 0;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTableOffset, &table,
                         sizeof table, &read) ||
      table == 0)
    return census;
  std::vector<GdiHandleEntry> entries(kGdiTableEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(GdiHandleEntry), &read) ||
      read != entries.size() * sizeof(GdiHandleEntry))
    return census;
  census.total = 0;
  for (const GdiHandleEntry& entry : entries) {
    if (entry.type == 0 || (entry.extType & 0x80) != 0) continue;  // free or stock
    const std::uint16_t owner = static_cast<std::uint16_t>(entry.owner & 0xFFFF);
    if (owner != 0 && owner != static_cast<std::uint16_t>(pid)) continue;
    ++census.total;
    ++census.byType[entry.extType & 0x7F];
  }
  return census;
}

long CountSystemHandles(DWORD pid) {
  static const auto query = reinterpret_cast<NtQuerySystemInformationFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<unsigned char> buffer(1 << 20);
  for (int attempt = 0; attempt < 8; ++attempt) {
    ULONG needed = 0;
    const LONG status =
        query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kStatusInfoLengthMismatch) {
      buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
      continue;
    }
    if (status != 0) return -1;
    ULONG_PTR count = 0;
    std::memcpy(&count, buffer.data(), sizeof count);
    const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + 2 * sizeof(ULONG_PTR));
    if (2 * sizeof(ULONG_PTR) + count * sizeof(SystemHandleEntry) > buffer.size()) return -1;
    long mine = 0;
    for (ULONG_PTR i = 0; i < count; ++i) {
      if (entries[i].processId == pid) ++mine;
    }
    return mine;
  }
  return -1;
}

// The process's windows: top-level and message-only ones of the process
// and every descendant of them.
std::vector<HWND> ProcessWindows(DWORD pid) {
  std::vector<HWND> roots;
  EnumWindows(
      [](HWND window, LPARAM out) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&roots));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    roots.push_back(window);
  }
  struct Walk {
    DWORD pid;
    std::vector<HWND> windows;
  } walk{pid, {}};
  const auto visit = [](HWND window, LPARAM data) -> BOOL {
    auto* w = reinterpret_cast<Walk*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == w->pid) w->windows.push_back(window);
    return TRUE;
  };
  for (HWND root : roots) {
    DWORD owner = 0;
    GetWindowThreadProcessId(root, &owner);
    if (owner != pid) continue;
    walk.windows.push_back(root);
    EnumChildWindows(root, visit, reinterpret_cast<LPARAM>(&walk));  // every descendant, not only children
  }
  return walk.windows;
}

long CountWindows(DWORD pid) { return static_cast<long>(ProcessWindows(pid).size()); }

struct Sample {
  DWORD guiGdi = 0;
  DWORD guiUser = 0;
  DWORD handleCount = 0;
  DWORD guiGdiError = 0, guiUserError = 0;
  BOOL handleCountOk = FALSE;
  GdiCensus gdiTable;
  long windows = -1;
  long systemHandles = -1;
  SIZE_T memoryBytes = 0;
};

// Which measurement stands for each counter, decided once.
struct CounterChoice {
  bool gdiApi = false, userApi = false, handleApi = false;
  bool gdiFallback = false, userFallback = false, handleFallback = false;
};

Sample TakeSample(HANDLE process, DWORD pid, const CounterChoice* choice) {
  Sample s;
  SetLastError(0);
  s.guiGdi = GetGuiResources(process, GR_GDIOBJECTS);
  s.guiGdiError = GetLastError();
  SetLastError(0);
  s.guiUser = GetGuiResources(process, GR_USEROBJECTS);
  s.guiUserError = GetLastError();
  s.handleCountOk = GetProcessHandleCount(process, &s.handleCount);
  const bool all = choice == nullptr;
  if (all || choice->gdiFallback) s.gdiTable = CountGdiTable(process, pid);
  if (all || choice->userFallback) s.windows = CountWindows(pid);
  if (all || choice->handleFallback) s.systemHandles = CountSystemHandles(pid);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
    // The private commit on Windows; Wine leaves PrivateUsage 0 and reports
    // the process's anonymous resident memory as PagefileUsage.
    s.memoryBytes = std::max(memory.PrivateUsage, memory.PagefileUsage);
  }
  return s;
}

// The stand-in measurements, tried on this process: each must see exactly
// the objects the driver makes and frees.
struct FallbackCheck {
  bool gdi = false, user = false, handles = false;
};

FallbackCheck CheckFallbacks() {
  FallbackCheck check;
  const HANDLE self = GetCurrentProcess();
  const DWORD pid = GetCurrentProcessId();
  constexpr int kObjects = 12;

  const long gdiBefore = CountGdiTable(self, pid).total;
  std::vector<HBRUSH> brushes;
  for (int i = 0; i < kObjects; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 2 * i, 3 * i)));
  const long gdiDuring = CountGdiTable(self, pid).total;
  for (HBRUSH brush : brushes) DeleteObject(brush);
  const long gdiAfter = CountGdiTable(self, pid).total;
  check.gdi = gdiBefore >= 0 && gdiDuring == gdiBefore + kObjects && gdiAfter == gdiBefore;

  // Children of a window made first: the first window of a thread brings
  // system windows of its own along (an input-method window under Wine).
  const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  const long windowsBefore = CountWindows(pid);
  std::vector<HWND> windows;
  for (int i = 0; i < kObjects; ++i) {
    windows.push_back(CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr));
  }
  const long windowsDuring = CountWindows(pid);
  for (HWND window : windows) DestroyWindow(window);
  const long windowsAfter = CountWindows(pid);
  DestroyWindow(parent);
  check.user = windowsBefore > 0 && windowsDuring == windowsBefore + kObjects && windowsAfter == windowsBefore;

  const long handlesBefore = CountSystemHandles(pid);
  std::vector<HANDLE> events;
  for (int i = 0; i < kObjects; ++i) events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const long handlesDuring = CountSystemHandles(pid);
  for (HANDLE event : events) CloseHandle(event);
  const long handlesAfter = CountSystemHandles(pid);
  check.handles = handlesBefore >= 0 && handlesDuring == handlesBefore + kObjects && handlesAfter == handlesBefore;

  std::printf("fallback_self_test: gdi_table %ld -> %ld -> %ld (%s), windows %ld -> %ld -> %ld (%s), "
              "system_handles %ld -> %ld -> %ld (%s)\n",
              gdiBefore, gdiDuring, gdiAfter, check.gdi ? "ok" : "not usable", windowsBefore, windowsDuring,
              windowsAfter, check.user ? "ok" : "not usable", handlesBefore, handlesDuring, handlesAfter,
              check.handles ? "ok" : "not usable");
  return check;
}

// The APIs answer 0 (or fail) when they are stubs: a live GUI process has
// GDI and USER objects and handles.
CounterChoice ChooseCounters(const Sample& s, const FallbackCheck& check) {
  CounterChoice c;
  c.gdiApi = s.guiGdi > 0;
  c.userApi = s.guiUser > 0;
  c.handleApi = s.handleCountOk && s.handleCount > 0;
  c.gdiFallback = !c.gdiApi && check.gdi;
  c.userFallback = !c.userApi && check.user;
  c.handleFallback = !c.handleApi && check.handles;
  std::printf("GetGuiResources(GR_GDIOBJECTS)=%lu (last error %lu): %s\n", s.guiGdi, s.guiGdiError,
              c.gdiApi ? "used" : "not implemented here");
  std::printf("GetGuiResources(GR_USEROBJECTS)=%lu (last error %lu): %s\n", s.guiUser, s.guiUserError,
              c.userApi ? "used" : "not implemented here");
  std::printf("GetProcessHandleCount=%lu (%s): %s\n", s.handleCount, s.handleCountOk ? "succeeded" : "failed",
              c.handleApi ? "used" : "not implemented here");
  if (!c.gdiApi)
    std::printf("gdi: %s\n", c.gdiFallback ? "measured as live non-stock entries of the process's GDI handle table"
                                            : "no measurement available");
  if (!c.userApi)
    std::printf("user: %s\n", c.userFallback ? "measured as the process's windows (menus, cursors, icons not counted)"
                                              : "no measurement available");
  if (!c.handleApi)
    std::printf("handles: %s\n", c.handleFallback ? "measured as the process's entries in the system handle list"
                                                   : "no measurement available");
  return c;
}

long GdiValue(const Sample& s, const CounterChoice& c) {
  return c.gdiApi ? static_cast<long>(s.guiGdi) : c.gdiFallback ? s.gdiTable.total : -1;
}
long UserValue(const Sample& s, const CounterChoice& c) {
  return c.userApi ? static_cast<long>(s.guiUser) : c.userFallback ? s.windows : -1;
}
long HandleValue(const Sample& s, const CounterChoice& c) {
  return c.handleApi ? static_cast<long>(s.handleCount) : c.handleFallback ? s.systemHandles : -1;
}

std::string GdiBreakdown(const GdiCensus& census) {
  std::string text;
  for (const auto& [type, count] : census.byType) {
    char part[48];
    if (const char* name = GdiTypeName(type)) {
      std::snprintf(part, sizeof part, "%s%s=%ld", text.empty() ? "" : " ", name, count);
    } else {
      std::snprintf(part, sizeof part, "%stype%02x=%ld", text.empty() ? "" : " ", type, count);
    }
    text += part;
  }
  return text;
}

void PrintSample(const char* label, const Sample& s, const CounterChoice& c) {
  std::printf("%s: gdi=%ld user=%ld handles=%ld memory_kib=%llu\n", label, GdiValue(s, c), UserValue(s, c),
              HandleValue(s, c), static_cast<unsigned long long>(s.memoryBytes / 1024));
  if (c.gdiFallback) std::printf("%s gdi by type: %s\n", label, GdiBreakdown(s.gdiTable).c_str());
  std::fflush(stdout);
}

// ---- Driving the program ---------------------------------------------------------

class Soak {
 public:
  Soak(const Target& target, HANDLE process, unsigned seed)
      : t_(target), process_(process), random_(seed) {}

  // Waits until the program has handled everything posted to it so far: a
  // posted toggle of the search box's modified flag (which the program never
  // reads) is handled after them, in posting order, and is read back. Sent
  // messages would overtake posted ones.
  bool Settle() {
    fence_ = !fence_;
    if (!PostMessageW(t_.searchBox, EM_SETMODIFY, fence_ ? TRUE : FALSE, 0)) return Stuck("posting to the program");
    const DWORD start = GetTickCount();
    for (;;) {
      DWORD_PTR modified = 0;
      if (!SendMessageTimeoutW(t_.searchBox, EM_GETMODIFY, 0, 0, SMTO_ABORTIFHUNG, kHangMs, &modified))
        return Stuck("waiting for the program to get through its messages");
      if ((modified != 0) == fence_) break;
      if (GetTickCount() - start > kHangMs) return Stuck("waiting for the program to get through its messages");
      Sleep(0);
    }
    // And has painted what the actions invalidated (WM_PAINT comes only
    // once the queue is empty).
    while (GetUpdateRect(t_.grid, nullptr, FALSE) || GetUpdateRect(t_.panel, nullptr, FALSE)) {
      if (GetTickCount() - start > kHangMs) return Stuck("waiting for the calendar to be painted");
      Sleep(0);
    }
    return true;
  }

  bool Alive() {
    if (WaitForSingleObject(process_, 0) != WAIT_TIMEOUT) return Stuck("checking that it runs");
    return IsWindow(t_.main) ? true : Failure("the main window is gone");
  }

  // The state both samples are taken in: 公历 view, today, no hover.
  bool Canonical(DWORD settleMs) {
    PostMessageW(t_.grid, WM_MOUSELEAVE, 0, 0);
    PostMessageW(t_.main, WM_COMMAND, kCommandGregorian, 0);
    PostMessageW(t_.main, WM_COMMAND, kCommandBackToToday, 0);
    if (!Settle() || !Settle()) return false;
    Sleep(settleMs);
    return Settle() && Settle();
  }

  bool RandomAction() {
    // Weights: hovers most, as a person's mouse does; then clicks, selector
    // changes and, rarer, view switches and 回到今天.
    static constexpr int kWeights[] = {40, 20, 5, 8, 8, 11, 5, 3};
    std::discrete_distribution<int> pick(std::begin(kWeights), std::end(kWeights));
    const int action = pick(random_);
    ++counts_[action];
    switch (action) {
      case 0: {  // hover anywhere over the grid, weekday row and footer included
        const int x = Uniform(0, t_.gridWidth - 1), y = Uniform(0, t_.gridHeight - 1);
        PostMessageW(t_.grid, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        break;
      }
      case 1: {  // a left click on a cell
        const POINT p = CellPoint();
        const LPARAM at = MAKELPARAM(p.x, p.y);
        PostMessageW(t_.grid, WM_MOUSEMOVE, 0, at);
        PostMessageW(t_.grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(t_.grid, WM_LBUTTONUP, 0, at);
        break;
      }
      case 2: {  // a right click on a cell
        const POINT p = CellPoint();
        const LPARAM at = MAKELPARAM(p.x, p.y);
        PostMessageW(t_.grid, WM_RBUTTONDOWN, MK_RBUTTON, at);
        PostMessageW(t_.grid, WM_RBUTTONUP, 0, at);
        break;
      }
      case 3:
        PostMessageW(t_.grid, WM_MOUSELEAVE, 0, 0);
        break;
      case 4:
        if (!ChangeSelector(t_.year, kYearSelectorId)) return false;
        break;
      case 5:
        if (!ChangeSelector(t_.month, kMonthSelectorId)) return false;
        break;
      case 6:
        PostMessageW(t_.main, WM_COMMAND, Uniform(0, 1) != 0 ? kCommandGregorian : kCommandLunar, 0);
        break;
      default:
        PostMessageW(t_.main, WM_COMMAND, kCommandBackToToday, 0);
        break;
    }
    return Settle();
  }

  void PrintActionCounts() const {
    static constexpr const char* kNames[] = {"hover", "click", "right_click", "mouse_leave",
                                             "year_change", "month_change", "view_switch", "back_to_today"};
    std::string text;
    for (int i = 0; i < 8; ++i) {
      text += (i == 0 ? "" : " ") + std::string(kNames[i]) + "=" + std::to_string(counts_[i]);
    }
    std::printf("action_mix: %s\n", text.c_str());
  }

  const std::string& failure() const { return failure_; }

 private:
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  // A point inside one of the 42 cells, kept 2 pixels off the lines.
  POINT CellPoint() {
    const int index = Uniform(0, 41);
    const int x = (index % 7) * kCellWidth + Uniform(2, kCellWidth - 3);
    const int y = kWeekdayRowHeight + (index / 7) * kCellHeight + Uniform(2, kCellHeight - 3);
    return POINT{x, y};
  }

  // What a person's choice in the drop-down list does: the selection moves,
  // and the list's owner hears CBN_SELCHANGE (CB_SETCURSEL alone is silent).
  bool ChangeSelector(HWND selector, int id) {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(selector, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kHangMs, &count))
      return Stuck("reading a selector");
    if (count == 0 || count == static_cast<DWORD_PTR>(CB_ERR)) return true;
    const int entry = Uniform(0, static_cast<int>(count) - 1);
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(selector, CB_SETCURSEL, static_cast<WPARAM>(entry), 0, SMTO_ABORTIFHUNG, kHangMs,
                             &ignored) ||
        !SendMessageTimeoutW(t_.panel, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(selector),
                             SMTO_ABORTIFHUNG, kHangMs, &ignored))
      return Stuck("changing a selector");
    return true;
  }

  bool Failure(const std::string& why) {
    failure_ = why;
    return false;
  }

  // No answer: the program either ended or hangs.
  bool Stuck(const std::string& doing) {
    DWORD code = 0;
    if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(process_, &code)) {
      char text[64];
      std::snprintf(text, sizeof text, "the program ended (exit code 0x%lX)", code);
      return Failure(text + std::string(" while ") + doing);
    }
    return Failure("the program hangs (no progress in " + std::to_string(kHangMs) + " ms) while " + doing);
  }

  Target t_;
  HANDLE process_;
  std::mt19937 random_;
  bool fence_ = false;
  long counts_[8] = {};
  std::string failure_;
};

int Fail(const char* message) {
  std::printf("error=%s\n", message);
  return 1;
}

std::wstring TodayText() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t text[32];
  std::swprintf(text, 32, L" %u-%u-%u", now.wYear, now.wMonth, now.wDay);
  return text;
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct RunOptions {
  long actions = 10000;
  unsigned seed = 20110204;
  long warmup = 300;
  long every = 1000;
};

int Run(const RunOptions& options) {
  Target target;
  if (!FindTarget(target)) return Fail("the program's windows were not found");
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ |
                                   SYNCHRONIZE,
                               FALSE, target.pid);
  if (process == nullptr) return Fail("OpenProcess refused");
  std::printf("seed=%u actions=%ld warmup=%ld\n", options.seed, options.actions, options.warmup);

  const CounterChoice choice = ChooseCounters(TakeSample(process, target.pid, nullptr), CheckFallbacks());
  if (!choice.gdiApi && !choice.gdiFallback) {
    CloseHandle(process);
    return Fail("GDI objects cannot be measured here");
  }
  if (!choice.userApi && !choice.userFallback) {
    CloseHandle(process);
    return Fail("USER objects cannot be measured here");
  }
  if (!choice.handleApi && !choice.handleFallback) {
    CloseHandle(process);
    return Fail("handles cannot be measured here");
  }

  Soak soak(target, process, options.seed);
  const DWORD started = GetTickCount();
  long done = 0;
  bool ok = true;
  Sample before;
  long maxGdi = 0, maxUser = 0, maxHandles = 0;
  const auto track = [&](const Sample& s) {
    maxGdi = std::max(maxGdi, GdiValue(s, choice));
    maxUser = std::max(maxUser, UserValue(s, choice));
    maxHandles = std::max(maxHandles, HandleValue(s, choice));
  };
  const long warmup = std::min(options.warmup, options.actions);
  for (; ok && done < warmup; ++done) ok = soak.RandomAction();
  ok = ok && soak.Canonical(1000);
  if (ok) {
    before = TakeSample(process, target.pid, &choice);
    PrintSample("after_warmup", before, choice);
    track(before);
  }
  const DWORD soakStarted = GetTickCount();
  for (; ok && done < options.actions; ++done) {
    ok = soak.RandomAction();
    if (!ok || (done + 1) % options.every != 0) continue;
    ok = soak.Alive();
    if (!ok) continue;
    const Sample s = TakeSample(process, target.pid, &choice);
    track(s);
    char label[48];
    std::snprintf(label, sizeof label, "at_%ld", done + 1);
    PrintSample(label, s, choice);
    // The texts move with the actions: they land.
    std::printf("%s status0: %s\n", label, Utf8Of(StatusText(target.status, 0)).c_str());
  }
  const DWORD soakMs = GetTickCount() - soakStarted;
  ok = ok && soak.Alive() && soak.Canonical(1500) && soak.Alive();
  std::printf("actions_done=%ld\n", done);
  soak.PrintActionCounts();
  std::printf("elapsed_ms=%lu (after the warm-up: %lu for %ld actions, %.2f ms each)\n", GetTickCount() - started,
              soakMs, done - warmup, done > warmup ? static_cast<double>(soakMs) / (done - warmup) : 0.0);
  if (!ok) {
    std::printf("error=%s after %ld actions\n", soak.failure().c_str(), done);
    CloseHandle(process);
    return 1;
  }

  const Sample after = TakeSample(process, target.pid, &choice);
  PrintSample("at_end", after, choice);
  track(after);
  int failures = 0;
  const auto compare = [&](const char* name, long first, long last, long peak, long slack) {
    const long growth = last - first;
    const bool flat = growth <= slack;
    std::printf("%s: %ld -> %ld (growth %+ld, allowed %ld, peak %ld): %s\n", name, first, last, growth, slack, peak,
                flat ? "flat" : "GROWS");
    if (!flat) ++failures;
  };
  compare("gdi", GdiValue(before, choice), GdiValue(after, choice), maxGdi, kGdiSlack);
  compare("user", UserValue(before, choice), UserValue(after, choice), maxUser, kUserSlack);
  compare("handles", HandleValue(before, choice), HandleValue(after, choice), maxHandles, kHandleSlack);
  std::printf("memory_kib: %llu -> %llu (reported, not judged)\n",
              static_cast<unsigned long long>(before.memoryBytes / 1024),
              static_cast<unsigned long long>(after.memoryBytes / 1024));

  const std::wstring welcome = StatusText(target.status, 0);
  const std::wstring clock = StatusText(target.status, 1);
  const std::wstring dateText = WindowTextOf(GetDlgItem(target.main, kCalendarId));
  const HWND todayButton = GetDlgItem(target.main, kTodayButtonId);
  std::printf("status0=%s\nstatus1=%s\ndate_text=%s\n", Utf8Of(welcome).c_str(), Utf8Of(clock).c_str(),
              Utf8Of(dateText).c_str());
  const auto expect = [&](bool held, const char* what) {
    if (!held) {
      std::printf("FAIL: %s\n", what);
      ++failures;
    }
  };
  expect(welcome == kWelcomeText, "status part 0 is not the welcome text after 回到今天");
  expect(clock.rfind(kClockPrefix, 0) == 0, "status part 1 does not start with 当前时间：");
  expect(EndsWith(dateText, TodayText()), "the calendar does not show today");
  expect(todayButton != nullptr && !IsWindowVisible(todayButton), "the 今天 button is shown on today");
  CloseHandle(process);
  std::printf("%s\n", failures == 0 ? "soak: all checks passed" : "soak: FAILED");
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Fail("usage");
  const std::string command = argv[1];

  if (command == "wait") {
    const DWORD limit = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 10000;
    const DWORD start = GetTickCount();
    for (;;) {
      const HWND main = MainWindow();
      if (main != nullptr && qh_test::StatusBarOf(main) != nullptr && IsWindowVisible(main)) {
        std::printf("ok\n");
        return 0;
      }
      if (GetTickCount() - start > limit) return Fail("timeout");
      Sleep(50);
    }
  }
  if (command == "close") {
    const HWND main = MainWindow();
    if (main == nullptr) return Fail("no main window");
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    std::printf("ok\n");
    return 0;
  }
  if (command == "counters") {
    Target target;
    if (!FindTarget(target)) return Fail("the program's windows were not found");
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ,
                                 FALSE, target.pid);
    if (process == nullptr) return Fail("OpenProcess refused");
    const FallbackCheck check = CheckFallbacks();
    const Sample s = TakeSample(process, target.pid, nullptr);
    const CounterChoice choice = ChooseCounters(s, check);
    std::printf("gdi_table=%ld (%s)\nwindows=%ld\nsystem_handles=%ld\nmemory_kib=%llu\n", s.gdiTable.total,
                GdiBreakdown(s.gdiTable).c_str(), s.windows, s.systemHandles,
                static_cast<unsigned long long>(s.memoryBytes / 1024));
    PrintSample("now", s, choice);
    for (HWND window : ProcessWindows(target.pid)) {
      wchar_t cls[64] = {};
      GetClassNameW(window, cls, 64);
      std::printf("window %p %s%s\n", static_cast<void*>(window), Utf8Of(cls).c_str(),
                  IsWindowVisible(window) ? " visible" : "");
    }
    CloseHandle(process);
    return 0;
  }
  if (command == "run") {
    RunOptions options;
    for (int i = 2; i < argc; i += 2) {
      if (i + 1 >= argc) return Fail("an option without its value");
      const std::string name = argv[i];
      const char* value = argv[i + 1];
      if (name == "--actions") options.actions = std::atol(value);
      else if (name == "--seed") options.seed = static_cast<unsigned>(std::strtoul(value, nullptr, 10));
      else if (name == "--warmup") options.warmup = std::atol(value);
      else if (name == "--every") options.every = std::max(1L, std::atol(value));
      else return Fail("unknown option");
    }
    if (options.actions < 0 || options.warmup < 0) return Fail("negative count");
    return Run(options);
  }
  return Fail("unknown command");
}
