// Popup menus in the skin. While a popup menu of a skinned window is open,
// its items are owner-drawn by the skin (WM_INITMENUPOPUP turns them so, after
// the window's own handler has updated them); when it closes they are turned
// back, so outside an open menu the program's menus are exactly its own.
// Commands, check marks, access keys and submenus keep working.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace skin {

class Theme;
struct ThreadSkin;

class PopupMenus {
 public:
  PopupMenus() = default;
  PopupMenus(const PopupMenus&) = delete;
  PopupMenus& operator=(const PopupMenus&) = delete;
  ~PopupMenus();

  void Open(HMENU menu, const Theme& theme, ThreadSkin& thread);
  void Close(HMENU menu, ThreadSkin& thread);
  void CloseAll(ThreadSkin& thread);

  // True when the item is one of ours (then it is answered).
  bool Measure(MEASUREITEMSTRUCT& measure, const Theme& theme);
  bool Draw(const DRAWITEMSTRUCT& draw, const Theme& theme) const;
  // The answer to WM_MENUCHAR for a menu of ours.
  std::optional<LRESULT> MenuChar(wchar_t key, HMENU menu) const;

 private:
  struct Item {
    UINT position;
    UINT id;
    ULONG_PTR data;
    UINT type;  // the item's own MFT_ flags
    bool separator;
    bool hasSubmenu;
    std::wstring text;
  };
  struct OpenMenu {
    HMENU menu;
    HBRUSH oldBackground;
    std::vector<Item> items;
    // Items are measured in order: where the next search starts, so equal
    // identifiers (separators, submenus without one) are told apart.
    std::size_t measureCursor = 0;
  };

  // For drawing: separators are told from equal identifiers by the height
  // they were measured with.
  const Item* FindDrawn(HMENU menu, UINT id, ULONG_PTR data, bool separatorHeight) const;
  static void Restore(const OpenMenu& open);

  std::vector<OpenMenu> open_;
};

// The text of a menu item (by position); empty for items without one.
std::wstring MenuItemText(HMENU menu, UINT position);

// Paints the border of a popup menu window showing one of our menus.
void PaintPopupMenuBorder(HWND popup, const Theme& theme);

}  // namespace skin
