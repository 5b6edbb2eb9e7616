#include "skin_engine/frame.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "skin_engine/theme.h"
#include "skin_engine/window_skin.h"

namespace skin {
namespace {

// Undocumented messages with which the themed DefWindowProc paints the caption
// outside WM_NCPAINT; a skinned caption must not see them painted over.
constexpr UINT kNcUahDrawCaption = 0x00AE;
constexpr UINT kNcUahDrawFrame = 0x00AF;

constexpr int kButtonGap = 2;
constexpr int kCornerGrip = 16;  // the corners of a sizing frame reach this far

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

POINT ToWindowPoint(HWND hwnd, POINT screen) {
  RECT window;
  GetWindowRect(hwnd, &window);
  return POINT{screen.x - window.left, screen.y - window.top};
}

FrameLayout CurrentLayout(HWND hwnd, const Theme& theme) {
  RECT window;
  GetWindowRect(hwnd, &window);
  return ComputeFrameLayout(hwnd, theme, window.right - window.left, window.bottom - window.top);
}

HICON WindowIcon(HWND hwnd) {
  for (WPARAM kind : {ICON_SMALL, ICON_SMALL2, ICON_BIG}) {
    DWORD_PTR icon = 0;
    // A hung window must not hang the painting.
    if (SendMessageTimeoutW(hwnd, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG, 200, &icon) && icon != 0) {
      return reinterpret_cast<HICON>(icon);
    }
  }
  if (auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICONSM))) return icon;
  return reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICON));
}

CaptionButton ButtonAt(const FrameLayout& layout, POINT point) {
  if (PtInRect(&layout.close, point)) return CaptionButton::kClose;
  if (PtInRect(&layout.maximize, point)) return CaptionButton::kMaximize;
  if (PtInRect(&layout.minimize, point)) return CaptionButton::kMinimize;
  return CaptionButton::kNone;
}

CaptionButton ButtonForHit(WPARAM hit) {
  switch (hit) {
    case HTCLOSE: return CaptionButton::kClose;
    case HTMAXBUTTON: return CaptionButton::kMaximize;
    case HTMINBUTTON: return CaptionButton::kMinimize;
    default: return CaptionButton::kNone;
  }
}

const RECT& ButtonRect(const FrameLayout& layout, CaptionButton button) {
  static const RECT kNone{};
  switch (button) {
    case CaptionButton::kClose: return layout.close;
    case CaptionButton::kMaximize: return layout.maximize;
    case CaptionButton::kMinimize: return layout.minimize;
    case CaptionButton::kNone: break;
  }
  return kNone;
}

void PaintCaptionButton(HDC dc, const FrameLayout& layout, CaptionButton button, const WindowState& state,
                        const Skin::Caption& caption, bool zoomed) {
  const RECT& rect = ButtonRect(layout, button);
  if (Empty(rect)) return;
  const bool pressed = state.pressedButton == button && state.pressedInside;
  const bool hot = !pressed && state.hotButton == button &&
                   (state.pressedButton == CaptionButton::kNone || state.pressedButton == button);
  const bool close = button == CaptionButton::kClose;
  Gradient face = pressed ? (close ? caption.closePressed : caption.buttonPressed)
                  : hot   ? (close ? caption.closeHot : caption.buttonHot)
                          : caption.buttonFace;
  Rgb border = caption.buttonBorder;
  if (!state.active && !pressed && !hot) {
    // Buttons of an inactive window fade into its caption.
    face = Gradient{Blend(face.top, caption.inactive.top, 0.6), Blend(face.bottom, caption.inactive.bottom, 0.6)};
    border = Blend(border, caption.inactive.bottom, 0.6);
  }
  FillBox(dc, rect, face, border, 2);
  const Rgb glyphColor = pressed || hot ? caption.glyphHot : state.active ? caption.glyph : caption.textInactive;
  const Glyph glyph = close ? Glyph::kClose
                      : button == CaptionButton::kMinimize ? Glyph::kMinimize
                      : zoomed ? Glyph::kRestore
                               : Glyph::kMaximize;
  DrawGlyph(dc, rect, glyph, glyphColor);
}

void ShowSystemMenu(HWND hwnd, POINT screen) {
  const HMENU menu = GetSystemMenu(hwnd, FALSE);
  if (menu == nullptr) return;
  const UINT command = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, screen.x, screen.y, 0,
      hwnd, nullptr));
  if (command != 0) PostMessageW(hwnd, WM_SYSCOMMAND, command, MAKELPARAM(screen.x, screen.y));
}

void ShowSystemMenuBelowIcon(HWND hwnd, const FrameLayout& layout) {
  RECT window;
  GetWindowRect(hwnd, &window);
  const RECT& anchor = Empty(layout.icon) ? layout.caption : layout.icon;
  ShowSystemMenu(hwnd, POINT{window.left + anchor.left, window.top + layout.caption.bottom});
}

void SetHot(WindowState& state, CaptionButton button, int menuItem) {
  if (state.hotButton == button && state.hotMenuItem == menuItem) return;
  state.hotButton = button;
  state.hotMenuItem = menuItem;
  RedrawNonClient(state.hwnd);
}

void CarryOut(HWND hwnd, CaptionButton button, POINT screen) {
  WPARAM command = SC_CLOSE;
  if (button == CaptionButton::kMinimize) command = SC_MINIMIZE;
  if (button == CaptionButton::kMaximize) command = IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE;
  SendMessageW(hwnd, WM_SYSCOMMAND, command, MAKELPARAM(screen.x, screen.y));
}

bool OnSysCommand(WindowState& state, const Theme& theme, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = state.hwnd;
  const UINT command = static_cast<UINT>(wParam & 0xFFF0);
  if (command != SC_KEYMENU && command != SC_MOUSEMENU) return false;
  const FrameLayout layout = CurrentLayout(hwnd, theme);
  if (command == SC_MOUSEMENU) {
    const POINT point = ToWindowPoint(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    const int item = MenuBarItemAt(layout.menu, point);
    if (item >= 0) {
      TrackMenuBar(state, item, false);
    } else {
      ShowSystemMenuBelowIcon(hwnd, layout);
    }
    return true;
  }
  const auto key = static_cast<wchar_t>(lParam);
  if (key == L' ') {
    ShowSystemMenuBelowIcon(hwnd, layout);
    return true;
  }
  if (layout.menu.items.empty()) {
    // Alt alone: the system would light its own caption icon. Alt with a
    // letter goes on (and beeps).
    return key == 0;
  }
  const int item = key == 0 ? 0 : MenuBarItemForKey(layout.menu, key);
  if (item < 0) {
    MessageBeep(0);
  } else {
    TrackMenuBar(state, item, true);
  }
  return true;
}

}  // namespace

bool IsFramed(HWND hwnd) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  return (style & WS_CAPTION) == WS_CAPTION && (style & WS_CHILD) == 0 &&
         (style & (WS_VSCROLL | WS_HSCROLL)) == 0 && (style & WS_MINIMIZE) == 0;
}

FrameLayout ComputeFrameLayout(HWND hwnd, const Theme& theme, int width, int height) {
  const Skin& skin = theme.skin();
  FrameLayout layout;
  layout.width = width;
  layout.height = height;
  const int border = std::min({skin.frame.width, std::max(width / 2, 1), std::max(height / 2, 1)});
  layout.border = border;
  const int captionBottom = std::min(skin.caption.height, std::max(height - border, 1));
  layout.caption = RECT{1, 1, std::max(width - 1, 1), captionBottom};

  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
  const int buttonTop = 1 + (skin.caption.height - 1 - skin.caption.buttonHeight) / 2;
  int right = width - std::max(border, 3) - 1;
  const auto place = [&](RECT& rect) {
    rect = RECT{right - skin.caption.buttonWidth, buttonTop, right, buttonTop + skin.caption.buttonHeight};
    right = rect.left - kButtonGap;
  };
  if ((style & WS_SYSMENU) != 0) {
    place(layout.close);
    if ((exStyle & WS_EX_TOOLWINDOW) == 0) {
      if ((style & WS_MAXIMIZEBOX) != 0) place(layout.maximize);
      if ((style & WS_MINIMIZEBOX) != 0) place(layout.minimize);
    }
  }
  const int textRight = right - 2;

  int left = std::max(border, 4) + 1;
  if ((style & WS_SYSMENU) != 0 && (exStyle & (WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME)) == 0) {
    layout.iconHandle = WindowIcon(hwnd);
    if (layout.iconHandle != nullptr) {
      const int size = std::min(16, skin.caption.height - 5);
      const int top = 1 + (skin.caption.height - 1 - size) / 2;
      layout.icon = RECT{left, top, left + size, top + size};
      left = layout.icon.right + 5;
    }
  }
  layout.title = RECT{left, 1, std::max<LONG>(left, textRight), captionBottom};

  int clientTop = captionBottom;
  if ((style & WS_CHILD) == 0) {
    layout.menu = LayoutMenuBar(GetMenu(hwnd), theme, border, captionBottom, std::max(width - 2 * border, 1));
    if (layout.menu.height > 0) {
      layout.menuBar = RECT{border, captionBottom, width - border, captionBottom + layout.menu.height};
      clientTop = std::min<int>(layout.menuBar.bottom, height - border);
    }
  }
  layout.client = RECT{border, clientTop, std::max(width - border, border), std::max(height - border, clientTop)};
  return layout;
}

LRESULT FrameHitTest(HWND hwnd, const FrameLayout& layout, POINT p) {
  if (p.x < 0 || p.y < 0 || p.x >= layout.width || p.y >= layout.height) return HTNOWHERE;
  if (PtInRect(&layout.client, p)) return HTCLIENT;
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  if ((style & WS_THICKFRAME) != 0 && !IsZoomed(hwnd)) {
    const int b = layout.border;
    const bool left = p.x < b;
    const bool right = p.x >= layout.width - b;
    const bool top = p.y < b;
    const bool bottom = p.y >= layout.height - b;
    const bool nearLeft = p.x < kCornerGrip;
    const bool nearRight = p.x >= layout.width - kCornerGrip;
    const bool nearTop = p.y < kCornerGrip;
    const bool nearBottom = p.y >= layout.height - kCornerGrip;
    if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
    if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
    if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
    if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
  }
  switch (ButtonAt(layout, p)) {
    case CaptionButton::kClose: return HTCLOSE;
    case CaptionButton::kMaximize: return HTMAXBUTTON;
    case CaptionButton::kMinimize: return HTMINBUTTON;
    case CaptionButton::kNone: break;
  }
  if (PtInRect(&layout.icon, p)) return HTSYSMENU;
  if (PtInRect(&layout.caption, p)) return HTCAPTION;
  if (PtInRect(&layout.menuBar, p)) return HTMENU;
  return HTBORDER;
}

void PaintFrame(WindowState& state, const Theme& theme) {
  const HWND hwnd = state.hwnd;
  RECT window;
  if (!GetWindowRect(hwnd, &window)) return;
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const FrameLayout layout = ComputeFrameLayout(hwnd, theme, width, height);
  const Skin& skin = theme.skin();

  // The client area as it is now, which may lag behind the layout while the
  // window changes: it is never painted over.
  RECT client;
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  const int bandHeight = std::clamp<int>(client.top, 0, height);

  WindowDc dc(hwnd, true);
  if (dc.get() == nullptr) return;
  ExcludeClipRect(dc.get(), client.left, client.top, client.right, client.bottom);
  const Rgb frameColor = state.active ? skin.frame.active : skin.frame.inactive;
  const Rgb border = skin.frame.border;

  // Caption and menu bar: one bitmap, copied at once.
  Canvas band(dc.get(), width, bandHeight);
  if (band.ok() && bandHeight > 0) {
    const HDC canvas = band.dc();
    FillSolid(canvas, RECT{0, 0, width, bandHeight}, frameColor);
    FillGradient(canvas, layout.caption, state.active ? skin.caption.active : skin.caption.inactive);
    FillSolid(canvas, RECT{0, 0, width, 1}, border);
    FillSolid(canvas, RECT{0, 0, 1, bandHeight}, border);
    FillSolid(canvas, RECT{width - 1, 0, width, bandHeight}, border);
    if (layout.iconHandle != nullptr && !Empty(layout.icon)) {
      DrawIconEx(canvas, layout.icon.left, layout.icon.top, layout.iconHandle, layout.icon.right - layout.icon.left,
                 layout.icon.bottom - layout.icon.top, 0, nullptr, DI_NORMAL);
    }
    const UINT align = skin.caption.align == TextAlign::kCenter ? DT_CENTER : DT_LEFT;
    DrawTextIn(canvas, WindowText(hwnd), layout.title,
               align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX,
               state.active ? skin.caption.textActive : skin.caption.textInactive, theme.captionFont());
    const bool zoomed = IsZoomed(hwnd) != FALSE;
    for (CaptionButton button : {CaptionButton::kClose, CaptionButton::kMaximize, CaptionButton::kMinimize}) {
      PaintCaptionButton(canvas, layout, button, state, skin.caption, zoomed);
    }
    if (!Empty(layout.menuBar)) {
      RECT bar = layout.menuBar;
      bar.bottom = std::min<LONG>(bar.bottom, bandHeight);
      PaintMenuBar(canvas, layout.menu, bar, theme, state.hotMenuItem, state.openMenuItem, state.menuCues);
    }
    band.CopyTo(dc.get(), 0, 0);
  }

  // Sides and bottom: plain colours, painted directly.
  const int b = layout.border;
  FillSolid(dc.get(), RECT{1, bandHeight, b, height - 1}, frameColor);
  FillSolid(dc.get(), RECT{width - b, bandHeight, width - 1, height - 1}, frameColor);
  FillSolid(dc.get(), RECT{1, height - b, width - 1, height - 1}, frameColor);
  FillSolid(dc.get(), RECT{0, bandHeight, 1, height}, border);
  FillSolid(dc.get(), RECT{width - 1, bandHeight, width, height}, border);
  FillSolid(dc.get(), RECT{0, height - 1, width, height}, border);
}

bool HandleFrameMessage(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const HWND hwnd = state.hwnd;
  const auto theme = CurrentTheme(state);
  if (theme == nullptr) return false;

  // A caption button held down: the mouse is captured and its messages are
  // the button's until release.
  if (state.pressedButton != CaptionButton::kNone) {
    switch (message) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONUP: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, &screen);
        const CaptionButton pressed = state.pressedButton;
        const bool inside = ButtonAt(CurrentLayout(hwnd, *theme), ToWindowPoint(hwnd, screen)) == pressed;
        if (message == WM_MOUSEMOVE) {
          if (inside != state.pressedInside) {
            state.pressedInside = inside;
            RedrawNonClient(hwnd);
          }
        } else {
          state.pressedButton = CaptionButton::kNone;
          state.pressedInside = false;
          ReleaseCapture();
          RedrawNonClient(hwnd);
          if (inside) CarryOut(hwnd, pressed, screen);
        }
        result = 0;
        return true;
      }
      case WM_CAPTURECHANGED:
        state.pressedButton = CaptionButton::kNone;
        state.pressedInside = false;
        RedrawNonClient(hwnd);
        return false;
      default:
        break;
    }
  }

  if (!IsFramed(hwnd)) return false;
  switch (message) {
    case WM_NCCALCSIZE: {
      RECT& rect = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
      const FrameLayout layout = ComputeFrameLayout(hwnd, *theme, rect.right - rect.left, rect.bottom - rect.top);
      const RECT window = rect;
      rect = RECT{window.left + layout.client.left, window.top + layout.client.top, window.left + layout.client.right,
                  window.top + layout.client.bottom};
      result = 0;
      return true;
    }
    case WM_NCPAINT:
      PaintFrame(state, *theme);
      result = 0;
      return true;
    case WM_NCACTIVATE:
      state.active = wParam != FALSE;
      // -1: update the system's notion of the active frame without painting.
      result = DefSubclassProc(hwnd, message, wParam, static_cast<LPARAM>(-1));
      PaintFrame(state, *theme);
      return true;
    case WM_NCHITTEST: {
      // The client area is the window's own to answer, and the common case:
      // no layout is worked out for it.
      RECT client;
      GetClientRect(hwnd, &client);
      MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
      const POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (PtInRect(&client, screen)) return false;
      const POINT point = ToWindowPoint(hwnd, screen);
      result = FrameHitTest(hwnd, CurrentLayout(hwnd, *theme), point);
      if (result == HTCLIENT) result = DefSubclassProc(hwnd, message, wParam, lParam);
      return true;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      const POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const FrameLayout layout = CurrentLayout(hwnd, *theme);
      const POINT point = ToWindowPoint(hwnd, screen);
      if (const CaptionButton button = ButtonForHit(wParam); button != CaptionButton::kNone) {
        if (ButtonAt(layout, point) != button) return false;
        state.pressedButton = button;
        state.pressedInside = true;
        SetCapture(hwnd);
        RedrawNonClient(hwnd);
        result = 0;
        return true;
      }
      if (wParam == HTSYSMENU) {
        if (message == WM_NCLBUTTONDBLCLK) {
          PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
        } else {
          ShowSystemMenuBelowIcon(hwnd, layout);
        }
        result = 0;
        return true;
      }
      if (wParam == HTMENU) {
        const int item = MenuBarItemAt(layout.menu, point);
        if (item >= 0) TrackMenuBar(state, item, false);
        result = 0;
        return true;
      }
      return false;
    }
    case WM_NCRBUTTONUP:
      if (wParam == HTCAPTION || wParam == HTSYSMENU) {
        ShowSystemMenu(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        result = 0;
        return true;
      }
      return false;
    case WM_NCMOUSEMOVE: {
      const FrameLayout layout = CurrentLayout(hwnd, *theme);
      const POINT point = ToWindowPoint(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      SetHot(state, ButtonAt(layout, point), MenuBarItemAt(layout.menu, point));
      if (!state.trackingNonClientLeave) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, hwnd, 0};
        state.trackingNonClientLeave = TrackMouseEvent(&track) != FALSE;
      }
      return false;
    }
    case WM_NCMOUSELEAVE:
      state.trackingNonClientLeave = false;
      SetHot(state, CaptionButton::kNone, -1);
      return false;
    case WM_SETTEXT:
    case WM_SETICON:
      // DefWindowProc paints its own caption for these.
      result = DefSubclassProc(hwnd, message, wParam, lParam);
      RedrawNonClient(hwnd);
      return true;
    case WM_SYSCOMMAND:
      if (OnSysCommand(state, *theme, wParam, lParam)) {
        result = 0;
        return true;
      }
      return false;
    case kNcUahDrawCaption:
    case kNcUahDrawFrame:
      result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace skin
