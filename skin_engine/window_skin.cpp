#include "skin_engine/window_skin.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <string>

#include "skin_engine/controls.h"
#include "skin_engine/frame.h"
#include "skin_engine/menu_bar.h"

namespace skin {
namespace {

constexpr UINT_PTR kSubclassId = 0x534B4E31;  // "SKN1"

// Windows whose painting belongs to someone else, or that never hold controls.
constexpr const wchar_t* kLeftAlone[] = {
    L"CCalendar", L"#32769", L"tooltips_class32", L"IME", L"MSCTFIME UI", L"ScrollBar", L"Static",
};

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref);

// The month-calendar control draws itself and keeps its own colours: no
// window of class "CCalendar", nor anything inside or owned by one, is touched.
bool InsideCalendar(HWND hwnd) {
  const HWND desktop = GetDesktopWindow();
  for (int depth = 0; hwnd != nullptr && hwnd != desktop && depth < 64; ++depth) {
    if (ClassName(hwnd) == L"CCalendar") return true;
    const HWND parent = GetAncestor(hwnd, GA_PARENT);
    hwnd = parent != nullptr && parent != desktop ? parent : GetWindow(hwnd, GW_OWNER);
  }
  return false;
}

WindowKind Classify(HWND hwnd, HWND parent) {
  const std::wstring name = ClassName(hwnd);
  if (name.empty()) return WindowKind::kIgnored;
  for (const wchar_t* alone : kLeftAlone) {
    if (name == alone) return WindowKind::kIgnored;
  }
  if (InsideCalendar(parent)) return WindowKind::kIgnored;
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  if (name == L"#32768") return WindowKind::kPopupMenu;
  if (name == L"#32770") return WindowKind::kWindow;
  if (name == L"Button") return IsSkinnedPushButton(style) ? WindowKind::kPushButton : WindowKind::kIgnored;
  if (name == L"Edit") {
    // The edit of a combo box is painted with the combo box.
    return parent != nullptr && ClassName(parent) == L"ComboBox" ? WindowKind::kIgnored : WindowKind::kEdit;
  }
  if (name == L"ComboBox") return WindowKind::kComboBox;
  if (name == L"ComboLBox") return WindowKind::kDropDownList;
  if (name == STATUSCLASSNAMEW) return WindowKind::kStatusBar;
  if ((style & WS_CHILD) == 0) return WindowKind::kWindow;
  return WindowKind::kOther;
}

// With desktop composition the system draws a frame of its own behind a
// window's non-client area unless told not to. Bound at run time: dwmapi.dll
// does not exist everywhere, and where it does not there is nothing to turn off.
void TurnOffComposedFrame(HWND hwnd) {
  using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  static const SetAttribute setAttribute = [] {
    const HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
    return dwm != nullptr ? reinterpret_cast<SetAttribute>(
                                reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")))
                          : nullptr;
  }();
  if (setAttribute == nullptr) return;
  constexpr DWORD kNcRenderingPolicy = 2;  // DWMWA_NCRENDERING_POLICY
  constexpr DWORD kDisabled = 1;           // DWMNCRP_DISABLED
  setAttribute(hwnd, kNcRenderingPolicy, &kDisabled, sizeof(kDisabled));
}

// Windows with a title bar and dialogs wear the skin's background.
bool PaintsBackground(HWND hwnd) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  return (style & WS_CAPTION) == WS_CAPTION || ClassName(hwnd) == L"#32770";
}

bool HandleMenuOwner(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  ThreadSkin& thread = *state.thread;
  switch (message) {
    case WM_INITMENUPOPUP: {
      // The window updates the menu first (check marks, enabled items).
      result = DefSubclassProc(state.hwnd, message, wParam, lParam);
      const auto theme = CurrentTheme(state);
      if (!state.destroyed && theme != nullptr && HIWORD(lParam) == 0) {
        state.popups.Open(reinterpret_cast<HMENU>(wParam), *theme, thread);
      }
      return true;
    }
    case WM_UNINITMENUPOPUP:
      state.popups.Close(reinterpret_cast<HMENU>(wParam), thread);
      return false;
    case WM_EXITMENULOOP:
      state.popups.CloseAll(thread);
      return false;
    case WM_MEASUREITEM: {
      const auto theme = CurrentTheme(state);
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (wParam == 0 && measure != nullptr && theme != nullptr && state.popups.Measure(*measure, *theme)) {
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_DRAWITEM: {
      const auto theme = CurrentTheme(state);
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (wParam == 0 && draw != nullptr && theme != nullptr && state.popups.Draw(*draw, *theme)) {
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_MENUCHAR:
      if (const auto answer = state.popups.MenuChar(LOWORD(wParam), reinterpret_cast<HMENU>(lParam))) {
        result = *answer;
        return true;
      }
      return false;
    case WM_MENUSELECT:
      NoteMenuSelect(thread, state.hwnd, reinterpret_cast<HMENU>(lParam), HIWORD(wParam));
      return false;
    default:
      return false;
  }
}

bool HandlePopupMenuWindow(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_PAINT && message != WM_NCPAINT && message != WM_PRINTCLIENT && message != WM_PRINT) return false;
  result = DefSubclassProc(state.hwnd, message, wParam, lParam);
  const auto theme = CurrentTheme(state);
  if (state.destroyed || theme == nullptr) return true;
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(state.hwnd, MN_GETHMENU, 0, 0));
  const auto& skinned = state.thread->skinnedMenus;
  if (menu != nullptr && std::find(skinned.begin(), skinned.end(), menu) != skinned.end()) {
    PaintPopupMenuBorder(state.hwnd, *theme);
  }
  return true;
}

bool Dispatch(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (state.kind) {
    case WindowKind::kWindow:
      if (HandleFrameMessage(state, message, wParam, lParam, result)) return true;
      if (message == WM_ERASEBKGND && PaintsBackground(state.hwnd)) {
        const auto theme = CurrentTheme(state);
        if (theme == nullptr) return false;
        RECT client;
        GetClientRect(state.hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, theme->windowBrush());
        result = 1;
        return true;
      }
      return HandleControlColor(state, message, wParam, lParam, result) ||
             HandleMenuOwner(state, message, wParam, lParam, result);
    case WindowKind::kOther:
      return HandleControlColor(state, message, wParam, lParam, result) ||
             HandleMenuOwner(state, message, wParam, lParam, result);
    case WindowKind::kPushButton:
      return HandlePushButton(state, message, wParam, lParam, result);
    case WindowKind::kEdit:
      return HandleEdit(state, message, wParam, lParam, result);
    case WindowKind::kComboBox:
      return HandleComboBox(state, message, wParam, lParam, result);
    case WindowKind::kDropDownList:
      return HandleDropDownList(state, message, wParam, lParam, result);
    case WindowKind::kStatusBar:
      return HandleStatusBar(state, message, wParam, lParam, result);
    case WindowKind::kPopupMenu:
      return HandlePopupMenuWindow(state, message, wParam, lParam, result);
    case WindowKind::kIgnored:
      return false;
  }
  return false;
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref) {
  auto* state = reinterpret_cast<WindowState*>(ref);
  if (message == WM_NCDESTROY) {
    // Nothing of the skin outlives the window.
    state->popups.CloseAll(*state->thread);
    state->thread->windows.erase(hwnd);
    RemoveWindowSubclass(hwnd, SubclassProc, id);
    state->destroyed = true;
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (state->depth == 0) delete state;
    return result;
  }
  ++state->depth;
  LRESULT result = 0;
  bool handled = false;
  try {
    handled = Dispatch(*state, message, wParam, lParam, result);
  } catch (...) {
    handled = false;
  }
  --state->depth;
  if (state->destroyed) {
    // Destroyed inside a loop of ours (a menu, a SendMessage): freed now.
    if (state->depth == 0) delete state;
    return handled ? result : 0;
  }
  return handled ? result : DefSubclassProc(hwnd, message, wParam, lParam);
}

DWORD ThreadSlot() {
  static const DWORD slot = TlsAlloc();
  return slot;
}

WindowState* StateOf(HWND hwnd) {
  ThreadSkin* thread = CurrentThreadSkin(false);
  if (thread == nullptr) return nullptr;
  const auto found = thread->windows.find(hwnd);
  return found != thread->windows.end() ? found->second : nullptr;
}

}  // namespace

ThreadSkin* CurrentThreadSkin(bool create) {
  const DWORD slot = ThreadSlot();
  if (slot == TLS_OUT_OF_INDEXES) return nullptr;
  auto* thread = static_cast<ThreadSkin*>(TlsGetValue(slot));
  if (thread == nullptr && create) {
    thread = new (std::nothrow) ThreadSkin;
    if (thread != nullptr) TlsSetValue(slot, thread);
  }
  return thread;
}

std::shared_ptr<const Theme> CurrentTheme(const WindowState& state) {
  return state.thread != nullptr ? state.thread->theme : nullptr;
}

bool IsAttached(HWND hwnd) { return StateOf(hwnd) != nullptr; }

void AttachWindow(HWND hwnd, HWND parent, ThreadSkin& thread) {
  if (!IsWindow(hwnd) || IsAttached(hwnd)) return;
  if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return;
  if (parent == nullptr) {
    parent = GetAncestor(hwnd, GA_PARENT);
    if (parent == GetDesktopWindow()) parent = GetWindow(hwnd, GW_OWNER);
  }
  const WindowKind kind = Classify(hwnd, parent);
  if (kind == WindowKind::kIgnored) return;
  auto* state = new (std::nothrow) WindowState;
  if (state == nullptr) return;
  state->hwnd = hwnd;
  state->thread = &thread;
  state->kind = kind;
  state->active = GetActiveWindow() == hwnd;
  try {
    thread.windows.emplace(hwnd, state);
  } catch (...) {
    delete state;
    return;
  }
  if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state))) {
    thread.windows.erase(hwnd);
    delete state;
    return;
  }
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  if (kind == WindowKind::kWindow && (style & WS_CAPTION) == WS_CAPTION) TurnOffComposedFrame(hwnd);
}

void RedrawNonClient(HWND hwnd) {
  WindowState* state = StateOf(hwnd);
  if (state == nullptr || state->destroyed || state->kind != WindowKind::kWindow || !IsFramed(hwnd)) return;
  if (const auto theme = CurrentTheme(*state)) PaintFrame(*state, *theme);
}

}  // namespace skin
