// Caption and frame of top-level windows with a title bar: the skin takes the
// whole non-client area (WM_NCCALCSIZE) and paints it itself, so the caption
// buttons are the skin's too: hit-tested, lit on hover, pressed and released
// with the mouse captured, and carried out as WM_SYSCOMMAND.
#pragma once

#include <windows.h>

#include "skin_engine/menu_bar.h"

namespace skin {

class Theme;
struct WindowState;

// Window coordinates (0, 0 is the window's top-left corner). Buttons that the
// window's style does not ask for are empty rectangles.
struct FrameLayout {
  int width = 0;
  int height = 0;
  int border = 0;
  RECT caption{};  // inside the outer border line, the top frame included
  RECT icon{};
  RECT title{};
  RECT close{};
  RECT maximize{};
  RECT minimize{};
  RECT menuBar{};
  MenuBarLayout menu;
  RECT client{};
  HICON iconHandle = nullptr;
};

// A top-level window with a title bar, not minimised, without scroll bars of
// its own (their painting stays the system's).
bool IsFramed(HWND hwnd);
FrameLayout ComputeFrameLayout(HWND hwnd, const Theme& theme, int width, int height);
// HT* codes; HTCLIENT for the client area.
LRESULT FrameHitTest(HWND hwnd, const FrameLayout& layout, POINT windowPoint);

void PaintFrame(WindowState& state, const Theme& theme);

// The non-client messages of a framed window. False lets the message go on
// to the window's own procedure.
bool HandleFrameMessage(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace skin
