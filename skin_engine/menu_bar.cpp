#include "skin_engine/menu_bar.h"

#include <algorithm>

#include "skin_engine/frame.h"
#include "skin_engine/popup_menu.h"
#include "skin_engine/theme.h"
#include "skin_engine/window_skin.h"

namespace skin {

// The bar being tracked on this thread (only one menu loop runs at a time).
struct MenuBarTracker {
  HWND hwnd = nullptr;
  std::vector<RECT> items;  // screen coordinates
  int current = -1;
  int next = -1;
  bool nextByKeyboard = false;
  HMENU popup = nullptr;
  HMENU selectedMenu = nullptr;
  UINT selectedFlags = 0;
};

namespace {

constexpr int kItemPadding = 8;  // each side of an item's text

int ItemAtScreen(const MenuBarTracker& tracker, POINT point) {
  for (std::size_t i = 0; i < tracker.items.size(); ++i) {
    if (PtInRect(&tracker.items[i], point)) return static_cast<int>(i);
  }
  return -1;
}

void SwitchTo(MenuBarTracker& tracker, int index, bool byKeyboard) {
  tracker.next = index;
  tracker.nextByKeyboard = byKeyboard;
  EndMenu();
}

// Sees the messages of the open popup before the menu loop does.
LRESULT CALLBACK MenuFilterProc(int code, WPARAM wParam, LPARAM lParam) {
  ThreadSkin* thread = CurrentThreadSkin(false);
  MenuBarTracker* tracker = thread != nullptr ? thread->menuBarTracker : nullptr;
  if (code == MSGF_MENU && tracker != nullptr && lParam != 0) {
    const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
    const int count = static_cast<int>(tracker->items.size());
    switch (msg.message) {
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE: {
        // Where the mouse is now: the menu loop also sees moves it made up
        // itself, stamped with an older position.
        POINT cursor = msg.pt;
        GetCursorPos(&cursor);
        const int index = ItemAtScreen(*tracker, cursor);
        if (index >= 0 && index != tracker->current) {
          SwitchTo(*tracker, index, false);
          return TRUE;
        }
        break;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONDBLCLK: {
        // A click on the open item closes it; on another item, opens that one.
        const int index = ItemAtScreen(*tracker, msg.pt);
        if (index >= 0) {
          SwitchTo(*tracker, index == tracker->current ? -1 : index, false);
          return TRUE;
        }
        break;
      }
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (count > 1 && msg.wParam == VK_LEFT &&
            (tracker->selectedMenu == tracker->popup || tracker->selectedMenu == nullptr)) {
          SwitchTo(*tracker, (tracker->current + count - 1) % count, true);
          return TRUE;
        }
        if (count > 1 && msg.wParam == VK_RIGHT && (tracker->selectedFlags & MF_POPUP) == 0) {
          SwitchTo(*tracker, (tracker->current + 1) % count, true);
          return TRUE;
        }
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MenuBarLayout LayoutMenuBar(HMENU menu, const Theme& theme, int left, int top, int width) {
  MenuBarLayout layout;
  if (menu == nullptr || !IsMenu(menu)) return layout;
  const int rowHeight = theme.skin().menuBar.height;
  layout.height = rowHeight;
  WindowDc screen(nullptr, false);
  SavedDc saved(screen.get());
  if (theme.menuFont() != nullptr) SelectObject(screen.get(), theme.menuFont());
  int x = left;
  int y = top;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if ((info.fType & MFT_SEPARATOR) != 0) continue;
    std::wstring text = MenuItemText(menu, static_cast<UINT>(i));
    RECT measured{0, 0, 0, 0};
    if (!text.empty()) {
      DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &measured, DT_CALCRECT | DT_SINGLELINE);
    }
    const int itemWidth = measured.right - measured.left + 2 * kItemPadding;
    if (x + itemWidth > left + width && x > left) {
      x = left;
      y += rowHeight;
      layout.height += rowHeight;
    }
    layout.items.push_back(MenuBarItem{RECT{x, y, x + itemWidth, y + rowHeight}, std::move(text),
                                       (info.fState & MFS_DISABLED) != 0, info.hSubMenu, info.wID});
    x += itemWidth;
  }
  return layout;
}

void PaintMenuBar(HDC dc, const MenuBarLayout& layout, const RECT& bar, const Theme& theme, int hotItem,
                  int openItem, bool accessCues) {
  const Skin::MenuBar& colors = theme.skin().menuBar;
  const int rowHeight = colors.height;
  for (int top = bar.top; top < bar.bottom; top += rowHeight) {
    FillGradient(dc, RECT{bar.left, top, bar.right, std::min<LONG>(top + rowHeight, bar.bottom)},
                 colors.background);
  }
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | (accessCues ? 0 : DT_HIDEPREFIX);
  for (std::size_t i = 0; i < layout.items.size(); ++i) {
    const MenuBarItem& item = layout.items[i];
    const bool lit = !item.disabled && (static_cast<int>(i) == openItem ||
                                        (openItem < 0 && static_cast<int>(i) == hotItem));
    Rgb text = colors.text;
    if (item.disabled) {
      text = Blend(colors.text, colors.background.bottom, 0.55);
    } else if (lit) {
      FillGradient(dc, RECT{item.rect.left, item.rect.top + 1, item.rect.right, item.rect.bottom - 1}, colors.hot);
      text = colors.hotText;
    }
    DrawTextIn(dc, item.text, item.rect, format, text, theme.menuFont());
  }
}

int MenuBarItemAt(const MenuBarLayout& layout, POINT point) {
  for (std::size_t i = 0; i < layout.items.size(); ++i) {
    if (PtInRect(&layout.items[i].rect, point)) return static_cast<int>(i);
  }
  return -1;
}

int MenuBarItemForKey(const MenuBarLayout& layout, wchar_t key) {
  const auto upper = [](wchar_t c) {
    return static_cast<wchar_t>(
        reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
  };
  for (std::size_t i = 0; i < layout.items.size(); ++i) {
    const std::wstring& text = layout.items[i].text;
    for (std::size_t k = 0; k + 1 < text.size(); ++k) {
      if (text[k] != L'&') continue;
      if (text[k + 1] == L'&') {
        ++k;
        continue;
      }
      if (upper(text[k + 1]) == upper(key)) return static_cast<int>(i);
      break;
    }
  }
  return -1;
}

void NoteMenuSelect(ThreadSkin& thread, HWND hwnd, HMENU menu, UINT flags) {
  MenuBarTracker* tracker = thread.menuBarTracker;
  if (tracker == nullptr || tracker->hwnd != hwnd) return;
  tracker->selectedMenu = menu;
  tracker->selectedFlags = flags;
}

void TrackMenuBar(WindowState& state, int index, bool byKeyboard) {
  ThreadSkin& thread = *state.thread;
  if (thread.menuBarTracker != nullptr) return;
  const HWND hwnd = state.hwnd;
  const HMENU menu = GetMenu(hwnd);
  const auto theme = CurrentTheme(state);
  if (theme == nullptr || menu == nullptr) return;
  RECT window;
  GetWindowRect(hwnd, &window);
  const FrameLayout frame = ComputeFrameLayout(hwnd, *theme, window.right - window.left, window.bottom - window.top);
  if (index < 0 || index >= static_cast<int>(frame.menu.items.size())) return;

  MenuBarTracker tracker;
  tracker.hwnd = hwnd;
  for (const MenuBarItem& item : frame.menu.items) {
    RECT rect = item.rect;
    OffsetRect(&rect, window.left, window.top);
    tracker.items.push_back(rect);
  }
  // Until the loop ends, also by an exception: the thread's tracker and the
  // message filter point at this frame.
  class TrackingScope {
   public:
    TrackingScope(WindowState& state, MenuBarTracker& tracker)
        : state_(state), hook_(SetWindowsHookExW(WH_MSGFILTER, MenuFilterProc, nullptr, GetCurrentThreadId())) {
      state_.thread->menuBarTracker = &tracker;
    }
    TrackingScope(const TrackingScope&) = delete;
    TrackingScope& operator=(const TrackingScope&) = delete;
    ~TrackingScope() {
      state_.thread->menuBarTracker = nullptr;
      if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
      state_.openMenuItem = -1;
      state_.hotMenuItem = -1;
      state_.menuCues = false;
      try {
        if (!state_.destroyed) RedrawNonClient(state_.hwnd);
      } catch (...) {
      }
    }

   private:
    WindowState& state_;
    HHOOK hook_;
  };
  const TrackingScope scope(state, tracker);
  SendMessageW(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);

  while (index >= 0 && !state.destroyed) {
    const MenuBarItem& item = frame.menu.items[static_cast<std::size_t>(index)];
    state.openMenuItem = index;
    state.menuCues = byKeyboard;
    RedrawNonClient(hwnd);
    tracker.current = index;
    tracker.next = -1;
    if (item.disabled) break;
    if (item.submenu == nullptr) {
      PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(item.id, 0), 0);
      break;
    }
    tracker.popup = item.submenu;
    tracker.selectedMenu = nullptr;
    tracker.selectedFlags = 0;
    // Opened from the keyboard, the popup starts with its first item lit.
    if (byKeyboard) PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
    const RECT& at = tracker.items[static_cast<std::size_t>(index)];
    TPMPARAMS params{};
    params.cbSize = sizeof(params);
    params.rcExclude = at;
    TrackPopupMenuEx(item.submenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON | TPM_NOANIMATION,
                     at.left, at.bottom, hwnd, &params);
    index = tracker.next;
    byKeyboard = tracker.nextByKeyboard;
  }

}

}  // namespace skin
