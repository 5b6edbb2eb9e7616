// The skin's hold on one window: what kind of window it is, the state its
// painting needs, and the subclass procedure that routes its messages to the
// caption and frame, the menu bar, popup menus and the controls.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "skin_engine/popup_menu.h"
#include "skin_engine/theme.h"

namespace skin {

struct MenuBarTracker;
struct WindowState;

// The skin of one user-interface thread; windows of other threads are never
// touched. Lives as long as the thread (a few bytes; the hook ends with it).
struct ThreadSkin {
  std::shared_ptr<const Theme> theme;
  HHOOK cbtHook = nullptr;
  // Popup menus painted by the skin while they are open.
  std::vector<HMENU> skinnedMenus;
  MenuBarTracker* menuBarTracker = nullptr;
  // The thread's skinned windows, each until its WM_NCDESTROY.
  std::unordered_map<HWND, WindowState*> windows;
};

// The calling thread's skin, made on first use; nullptr when out of memory.
ThreadSkin* CurrentThreadSkin(bool create);

enum class WindowKind {
  kIgnored,     // not subclassed
  kWindow,      // top-level windows and dialogs: caption, frame, background
  kPushButton,
  kEdit,
  kComboBox,
  kDropDownList,  // the list a combo box drops down
  kStatusBar,
  kPopupMenu,   // the window of an open popup menu
  kOther,       // other windows of the thread: colours of their child controls
};

enum class CaptionButton { kNone, kClose, kMaximize, kMinimize };

struct WindowState {
  HWND hwnd = nullptr;
  ThreadSkin* thread = nullptr;
  WindowKind kind = WindowKind::kOther;

  // Depth of messages being handled; the state is freed at WM_NCDESTROY or,
  // when that arrives inside a nested loop of ours, once the loop returns.
  int depth = 0;
  bool destroyed = false;

  // Caption and frame.
  bool active = false;
  CaptionButton hotButton = CaptionButton::kNone;
  CaptionButton pressedButton = CaptionButton::kNone;
  bool pressedInside = false;
  bool trackingNonClientLeave = false;
  int hotMenuItem = -1;
  int openMenuItem = -1;
  bool menuCues = false;  // underline access keys (menu opened by keyboard)

  // Push buttons and combo boxes: the mouse is over the control.
  bool hot = false;
  bool trackingLeave = false;

  PopupMenus popups;
};

std::shared_ptr<const Theme> CurrentTheme(const WindowState& state);

// Gives hwnd the thread's skin unless it is not the skin's to touch (windows
// of class "CCalendar" and everything inside them, menus of the system).
// parent is the window's parent when it is not yet known to the system (at
// creation); nullptr asks the window itself.
void AttachWindow(HWND hwnd, HWND parent, ThreadSkin& thread);
bool IsAttached(HWND hwnd);

// Repaints a window's frame, caption and menu bar at once.
void RedrawNonClient(HWND hwnd);

}  // namespace skin
