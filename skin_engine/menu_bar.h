// The menu bar of a skinned window: laid out, painted and tracked by the skin
// (the system's own bar lives in the non-client area the skin has taken
// over). Each bar item opens its popup with TrackPopupMenuEx, so commands
// reach the window as WM_COMMAND exactly as from a system menu bar; moving the
// mouse or the arrow keys to another item switches popups.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace skin {

class Theme;
struct ThreadSkin;
struct WindowState;

struct MenuBarItem {
  RECT rect;  // window coordinates
  std::wstring text;
  bool disabled;
  HMENU submenu;  // nullptr for a command on the bar itself
  UINT id;
};

struct MenuBarLayout {
  std::vector<MenuBarItem> items;
  int height = 0;  // rows of the skin's bar height; 0 without a menu
};

// Items left to right from (left, top), wrapping into rows within width.
MenuBarLayout LayoutMenuBar(HMENU menu, const Theme& theme, int left, int top, int width);
void PaintMenuBar(HDC dc, const MenuBarLayout& layout, const RECT& bar, const Theme& theme, int hotItem,
                  int openItem, bool accessCues);
// -1 when no item is at the point (window coordinates).
int MenuBarItemAt(const MenuBarLayout& layout, POINT point);
// The item whose access key ("&F") is key, or -1.
int MenuBarItemForKey(const MenuBarLayout& layout, wchar_t key);

// Opens the popup of item index (and the next ones the user moves to) and
// returns when the menu is closed. Commands are posted to the window.
void TrackMenuBar(WindowState& state, int index, bool byKeyboard);
// WM_MENUSELECT of a window whose bar is being tracked.
void NoteMenuSelect(ThreadSkin& thread, HWND hwnd, HMENU menu, UINT flags);

}  // namespace skin
