#include "calendar_control/calendar_panel.h"

#include <windowsx.h>

#include <vector>

#include "calendar_control/gdi_handles.h"
#include "calendar_control/grid_painter.h"
#include "calendar_control/module_instance.h"
#include "runtime/text_encoding.h"

namespace calendar {
namespace {

// The dialog template CNCALENDAR_IDD_MONTHCALENDARWND, built in memory
// (language 2052 belongs to a resource, not to the template itself).
constexpr DWORD kPanelExStyle = 0x02000088;  // composited, tool window, topmost
constexpr DWORD kPanelStyle = 0x40000040;    // child, dialog font
constexpr short kTemplateWidth = 211;        // dialog units; the panel resizes itself
constexpr short kTemplateHeight = 106;
constexpr WORD kTemplatePointSize = 9;
constexpr BYTE kTemplateCharset = 1;
// Child, vertical scroll bar, drop-down list; the heights include the list.
constexpr DWORD kSelectorStyle = 0x40200003;
constexpr RECT kYearSelectorRect{3, 4, 105, 250};
constexpr RECT kMonthSelectorRect{107, 4, 168, 200};

// DLGTEMPLATEEX with no items and a font; WORD-aligned throughout, and the
// vector's storage is DWORD-aligned as the system requires.
const DLGTEMPLATE* PanelTemplate() {
  static const std::vector<WORD> words = [] {
    std::vector<WORD> t;
    const auto put32 = [&t](DWORD value) {
      t.push_back(LOWORD(value));
      t.push_back(HIWORD(value));
    };
    t.push_back(1);       // dlgVer
    t.push_back(0xFFFF);  // signature: extended template
    put32(0);             // helpID
    put32(kPanelExStyle);
    put32(kPanelStyle);
    t.push_back(0);  // no items
    t.push_back(0);  // x
    t.push_back(0);  // y
    t.push_back(static_cast<WORD>(kTemplateWidth));
    t.push_back(static_cast<WORD>(kTemplateHeight));
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    t.push_back(0);  // no title
    t.push_back(kTemplatePointSize);
    t.push_back(FW_NORMAL);
    t.push_back(static_cast<WORD>(kTemplateCharset << 8));  // italic 0, then the character set
    for (wchar_t c : runtime::GbkToWide("宋体")) t.push_back(static_cast<WORD>(c));
    t.push_back(0);
    return t;
  }();
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

}  // namespace

CnCalendarPanel::CnCalendarPanel(MonthCalendarModel& model) : model_(model), grid_(model) {}

CnCalendarPanel::~CnCalendarPanel() {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    DestroyWindow(window_);
  }
}

bool CnCalendarPanel::Create(HWND controlWindow) {
  const HWND window = CreateDialogIndirectParamW(ModuleInstance(), PanelTemplate(), controlWindow,
                                                 &CnCalendarPanel::DialogProc, reinterpret_cast<LPARAM>(this));
  if (window == nullptr) return false;
  if (!live_) {
    DestroyWindow(window);
    return false;
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return true;
}

INT_PTR CALLBACK CnCalendarPanel::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* panel = reinterpret_cast<CnCalendarPanel*>(lParam);
    panel->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, lParam);
  }
  auto* panel = reinterpret_cast<CnCalendarPanel*>(GetWindowLongPtrW(window, DWLP_USER));
  if (panel == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    panel->window_ = nullptr;
    panel->live_ = false;
    panel->yearSelector_ = panel->monthSelector_ = nullptr;
    return FALSE;
  }
  try {
    return panel->OnMessage(message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}

INT_PTR CnCalendarPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return FALSE;  // no control to give the focus to
    case WM_PAINT:
      return OnPaint() ? TRUE : FALSE;
    case WM_ERASEBKGND:
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, 1);  // never erased: the paint covers the bar
      return TRUE;
    case WM_COMMAND:
      OnCommand(GET_WM_COMMAND_ID(wParam, lParam), GET_WM_COMMAND_CMD(wParam, lParam),
                GET_WM_COMMAND_HWND(wParam, lParam));
      return TRUE;
    case WM_CHAR:
      // Escape is answered here: passed on, it would cancel the dialog.
      return wParam == VK_ESCAPE ? TRUE : FALSE;
    case WM_ACTIVATE:
      // Deactivation is answered without the dialog's default handling.
      if (LOWORD(wParam) == WA_INACTIVE) {
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

bool CnCalendarPanel::OnInitDialog() {
  const PixelSize size = grid_.metrics().ContentSize(model_.headerVisible());
  SetWindowPos(window_, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!grid_.Create(window_, 0, HeaderHeight(), kGridWindowId)) return false;
  model_.PanelCreated();
  live_ = true;
  return true;
}

bool CnCalendarPanel::OnPaint() {
  if (!model_.headerVisible()) return false;  // the dialog's default handling: nothing drawn
  PaintDc paint(window_);
  RECT client;
  GetClientRect(window_, &client);
  PaintHeaderBar(paint.Get(), client, model_.headerText());
  return true;
}

void CnCalendarPanel::OnCommand(int id, int code, HWND) {
  // Enter and Escape in a selector come here as IDOK and IDCANCEL: the
  // panel has no accept or cancel action, and must not end.
  if (id == IDOK || id == IDCANCEL) return;
  if (code != CBN_SELCHANGE) return;
  if (id == kYearSelectorId && yearSelector_ != nullptr) {
    model_.YearSelectorChanged(static_cast<int>(SendMessageW(yearSelector_, CB_GETCURSEL, 0, 0)));
  } else if (id == kMonthSelectorId && monthSelector_ != nullptr) {
    model_.MonthSelectorChanged(static_cast<int>(SendMessageW(monthSelector_, CB_GETCURSEL, 0, 0)));
  }
}

void CnCalendarPanel::CreateSelectors() {
  const DWORD style = kSelectorStyle | (model_.headerVisible() ? WS_VISIBLE : 0);
  const auto create = [&](const RECT& r, int id) {
    const HWND selector = CreateWindowExW(0, L"COMBOBOX", L"", style, r.left, r.top, r.right - r.left,
                                          r.bottom - r.top, window_,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
    if (selector != nullptr) SendMessageW(selector, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return selector;
  };
  yearSelector_ = create(kYearSelectorRect, kYearSelectorId);
  monthSelector_ = create(kMonthSelectorRect, kMonthSelectorId);
}

void CnCalendarPanel::MirrorList(HWND selector, const std::vector<std::string>& entries, int revision,
                                 int& shownRevision, int entry) {
  if (selector == nullptr) return;
  if (revision != shownRevision) {
    SendMessageW(selector, WM_SETREDRAW, FALSE, 0);
    SendMessageW(selector, CB_RESETCONTENT, 0, 0);
    for (const std::string& text : entries) {
      const std::wstring wide = runtime::GbkToWide(text);
      SendMessageW(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    SendMessageW(selector, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(selector, nullptr, TRUE);
    shownRevision = revision;
  }
  if (SendMessageW(selector, CB_GETCURSEL, 0, 0) != entry) {
    // -1 (or any index outside the list) leaves no entry selected.
    SendMessageW(selector, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
  }
}

void CnCalendarPanel::MirrorSelectors() {
  const SelectorModel& selectors = model_.selectors();
  if (window_ == nullptr || !selectors.created) return;
  if (yearSelector_ == nullptr) CreateSelectors();
  MirrorList(yearSelector_, selectors.years, selectors.yearListRevision, shownYearRevision_, selectors.yearEntry);
  MirrorList(monthSelector_, selectors.months, selectors.monthListRevision, shownMonthRevision_,
             selectors.monthEntry);
}

void CnCalendarPanel::ApplyHeaderVisibility() {
  if (!live_) return;
  const PixelSize size = grid_.metrics().ContentSize(model_.headerVisible());
  SetWindowPos(window_, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (grid_.Window() != nullptr) {
    SetWindowPos(grid_.Window(), nullptr, 0, HeaderHeight(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const int show = model_.headerVisible() ? SW_SHOW : SW_HIDE;
  if (yearSelector_ != nullptr) ShowWindow(yearSelector_, show);
  if (monthSelector_ != nullptr) ShowWindow(monthSelector_, show);
}

void CnCalendarPanel::InvalidateHeader() {
  if (window_ == nullptr || !model_.headerVisible()) return;
  RECT client;
  GetClientRect(window_, &client);
  client.bottom = client.top + kHeaderBarHeight;
  InvalidateRect(window_, &client, TRUE);
}

}  // namespace calendar
