#include "skin_engine/controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin_engine/theme.h"
#include "skin_engine/window_skin.h"

namespace skin {
namespace {

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)); }
DWORD ExStyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)); }

bool IsSystemDefaultBrush(LRESULT brush) {
  return brush == 0 || brush == reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)) ||
         brush == reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

RECT Inset(RECT r, int dx, int dy) {
  InflateRect(&r, -dx, -dy);
  return r;
}

void StartLeaveTracking(WindowState& state) {
  if (state.trackingLeave) return;
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, state.hwnd, 0};
  state.trackingLeave = TrackMouseEvent(&track) != FALSE;
}

// ---- push buttons

void PaintPushButton(WindowState& state, const Theme& theme, HDC target) {
  const HWND hwnd = state.hwnd;
  RECT rect;
  GetClientRect(hwnd, &rect);
  Canvas canvas(target, rect.right, rect.bottom);
  if (!canvas.ok()) return;
  const HDC dc = canvas.dc();
  const Skin& skin = theme.skin();
  const auto buttonState = static_cast<UINT>(SendMessageW(hwnd, BM_GETSTATE, 0, 0));
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  const bool pushed = (buttonState & BST_PUSHED) != 0;
  const bool focused = GetFocus() == hwnd;
  const bool isDefault = (StyleOf(hwnd) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  const Gradient& face = pushed ? skin.button.pressed : state.hot && enabled ? skin.button.hot : skin.button.face;

  // The corners cut from the box show the background the button stands on.
  FillSolid(dc, rect, skin.window.background);
  FillBox(dc, rect, face, skin.button.border, skin.button.radius);
  if (isDefault) FillBox(dc, Inset(rect, 1, 1), face, skin.button.border, std::max(skin.button.radius - 1, 0));

  const auto uiState = static_cast<UINT>(SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0));
  const Rgb textColor = enabled ? skin.button.text : Blend(skin.button.text, face.bottom, 0.55);
  RECT textRect = Inset(rect, 4, 2);
  if (pushed) OffsetRect(&textRect, 1, 1);
  const std::wstring text = WindowText(hwnd);
  UINT format = DT_CENTER | ((uiState & UISF_HIDEACCEL) != 0 ? DT_HIDEPREFIX : 0);
  if ((StyleOf(hwnd) & BS_MULTILINE) != 0) {
    RECT measured = textRect;
    SavedDc saved(dc);
    SelectObject(dc, ControlFont(hwnd));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_WORDBREAK | DT_CALCRECT);
    const int offset = ((textRect.bottom - textRect.top) - (measured.bottom - measured.top)) / 2;
    textRect.top += std::max(offset, 0);
    format |= DT_WORDBREAK;
  } else {
    format |= DT_VCENTER | DT_SINGLELINE;
  }
  DrawTextIn(dc, text, textRect, format, textColor, ControlFont(hwnd));
  if (focused && (uiState & UISF_HIDEFOCUS) == 0) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    const RECT focus = Inset(rect, 3, 3);
    DrawFocusRect(dc, &focus);
  }
  canvas.CopyTo(target, 0, 0);
}

// ---- edit boxes

// Pixels of border the edit's style gives it.
int EditBorderWidth(HWND hwnd) {
  const DWORD exStyle = ExStyleOf(hwnd);
  return ((exStyle & WS_EX_CLIENTEDGE) != 0 ? 2 : 0) + ((StyleOf(hwnd) & WS_BORDER) != 0 ? 1 : 0) +
         ((exStyle & WS_EX_STATICEDGE) != 0 ? 1 : 0);
}

void PaintEditBorder(HWND hwnd, const Theme& theme) {
  const int ring = EditBorderWidth(hwnd);
  RECT window;
  if (ring == 0 || !GetWindowRect(hwnd, &window)) return;
  const RECT rect{0, 0, window.right - window.left, window.bottom - window.top};
  WindowDc dc(hwnd, true);
  if (dc.get() == nullptr) return;
  const Skin::Edit& edit = theme.skin().edit;
  FrameSolid(dc.get(), rect, GetFocus() == hwnd ? edit.focusBorder : edit.border);
  for (int k = 1; k < ring; ++k) FrameSolid(dc.get(), Inset(rect, k, k), edit.background);
}

// ---- combo boxes

void PaintComboBox(WindowState& state, const Theme& theme, HDC target) {
  const HWND hwnd = state.hwnd;
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (!GetComboBoxInfo(hwnd, &info)) return;
  RECT rect;
  GetClientRect(hwnd, &rect);
  Canvas canvas(target, rect.right, rect.bottom);
  if (!canvas.ok()) return;
  const HDC dc = canvas.dc();
  const Skin& skin = theme.skin();
  const HWND focus = GetFocus();
  const bool focused = focus == hwnd || (focus != nullptr && focus == info.hwndItem);
  const bool dropped = SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  const Rgb border = focused || dropped ? skin.edit.focusBorder : skin.edit.border;

  FillSolid(dc, rect, skin.edit.background);
  FrameSolid(dc, rect, border);
  const RECT button{std::max<LONG>(info.rcButton.left, 1), 1, rect.right - 1, rect.bottom - 1};
  if (button.right > button.left) {
    FillGradient(dc, button, dropped ? skin.button.pressed : state.hot && enabled ? skin.button.hot : skin.button.face);
    FillSolid(dc, RECT{button.left, button.top, button.left + 1, button.bottom}, border);
    DrawGlyph(dc, RECT{button.left + 1, button.top, button.right, button.bottom}, Glyph::kArrowDown,
              enabled ? skin.button.text : Blend(skin.button.text, skin.button.face.bottom, 0.55));
  }
  if ((StyleOf(hwnd) & 0x3) == CBS_DROPDOWNLIST) {
    const RECT item = info.rcItem;
    Rgb textColor = enabled ? skin.edit.text : Blend(skin.edit.text, skin.edit.background, 0.5);
    if (focused && !dropped) {
      FillGradient(dc, item, skin.menu.highlight);
      textColor = skin.menu.highlightText;
    }
    const auto selected = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
    if (selected >= 0) {
      const auto length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
      if (length > 0 && length < 4096) {
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const auto copied = SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        DrawTextIn(dc, text, Inset(item, 2, 0), DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS,
                   textColor, ControlFont(hwnd));
      }
    }
  }
  SavedDc saved(target);
  // The edit of an editable combo box paints itself; the combo box has no
  // WS_CLIPCHILDREN to keep it safe.
  if (info.hwndItem != nullptr && IsWindowVisible(info.hwndItem)) {
    RECT child;
    GetWindowRect(info.hwndItem, &child);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&child), 2);
    ExcludeClipRect(target, child.left, child.top, child.right, child.bottom);
  }
  canvas.CopyTo(target, 0, 0);
}

// ---- status bars

void DrawStatusText(HDC dc, const std::wstring& text, const RECT& rect, Rgb color, HFONT font) {
  // Tabs split a part's text into its left, centred and right-aligned pieces.
  constexpr UINT kAlign[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  std::size_t start = 0;
  for (int piece = 0; piece < 3 && start <= text.size(); ++piece) {
    const std::size_t tab = piece < 2 ? text.find(L'\t', start) : std::wstring::npos;
    const std::wstring part = text.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start);
    DrawTextIn(dc, part, rect, kAlign[piece] | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, color, font);
    if (tab == std::wstring::npos) break;
    start = tab + 1;
  }
}

void PaintStatusBar(WindowState& state, const Theme& theme, HDC target) {
  const HWND hwnd = state.hwnd;
  RECT rect;
  GetClientRect(hwnd, &rect);
  Canvas canvas(target, rect.right, rect.bottom);
  if (!canvas.ok()) return;
  const HDC dc = canvas.dc();
  const Skin::StatusBar& colors = theme.skin().statusBar;
  FillGradient(dc, rect, colors.background);
  const HFONT font = ControlFont(hwnd);
  const bool simple = SendMessageW(hwnd, SB_ISSIMPLE, 0, 0) != 0;
  const int parts = simple ? 1 : std::clamp(static_cast<int>(SendMessageW(hwnd, SB_GETPARTS, 0, 0)), 0, 256);
  for (int i = 0; i < parts; ++i) {
    const WPARAM index = simple ? SB_SIMPLEID : static_cast<WPARAM>(i);
    RECT part = rect;
    if (!simple) SendMessageW(hwnd, SB_GETRECT, index, reinterpret_cast<LPARAM>(&part));
    if (!simple && i + 1 < parts) {
      FillSolid(dc, RECT{part.right - 1, part.top + 3, part.right, part.bottom - 3}, colors.separator);
    }
    const auto lengthAndType = static_cast<DWORD>(SendMessageW(hwnd, SB_GETTEXTLENGTHW, index, 0));
    if ((HIWORD(lengthAndType) & SBT_OWNERDRAW) != 0) {
      // The part belongs to the parent, as it would without the skin.
      wchar_t unused[2] = {};
      DRAWITEMSTRUCT draw{};
      draw.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
      draw.itemID = static_cast<UINT>(i);
      draw.itemAction = ODA_DRAWENTIRE;
      draw.hwndItem = hwnd;
      draw.hDC = dc;
      draw.rcItem = part;
      draw.itemData = static_cast<ULONG_PTR>(SendMessageW(hwnd, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(unused)));
      SendMessageW(GetParent(hwnd), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
      continue;
    }
    std::wstring text(LOWORD(lengthAndType) + 1u, L'\0');
    const auto copied = SendMessageW(hwnd, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::min<std::size_t>(LOWORD(copied), text.size() - 1));
    RECT textRect = Inset(part, 4, 0);
    const auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, SB_GETICON, simple ? static_cast<WPARAM>(-1) : index, 0));
    if (icon != nullptr) {
      const int top = part.top + (part.bottom - part.top - 16) / 2;
      DrawIconEx(dc, textRect.left, top, icon, 16, 16, 0, nullptr, DI_NORMAL);
      textRect.left += 20;
    }
    DrawStatusText(dc, text, textRect, colors.text, font);
  }
  const HWND parent = GetParent(hwnd);
  if ((StyleOf(hwnd) & SBARS_SIZEGRIP) != 0 && (parent == nullptr || !IsZoomed(parent))) {
    // Six dots in a triangle, bottom-right.
    for (int row = 0; row < 3; ++row) {
      for (int col = 2 - row; col < 3; ++col) {
        const int x = rect.right - 4 - (2 - col) * 4;
        const int y = rect.bottom - 4 - (2 - row) * 4;
        FillSolid(dc, RECT{x - 1, y - 1, x + 1, y + 1}, colors.separator);
      }
    }
  }
  canvas.CopyTo(target, 0, 0);
}

template <class Paint>
bool HandlePaintMessages(WindowState& state, UINT message, WPARAM wParam, LRESULT& result, Paint paint) {
  const auto theme = CurrentTheme(state);
  if (theme == nullptr) return false;
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(state.hwnd, &ps)) {
        paint(state, *theme, dc);
        EndPaint(state.hwnd, &ps);
      }
      result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      paint(state, *theme, reinterpret_cast<HDC>(wParam));
      result = 0;
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    default:
      return false;
  }
}

// The control's own procedure paints some changes directly, not through
// WM_PAINT: after those messages the skin paints again at once.
template <class Paint>
bool RepaintAfter(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, Paint paint) {
  result = DefSubclassProc(state.hwnd, message, wParam, lParam);
  const auto theme = CurrentTheme(state);
  if (!state.destroyed && theme != nullptr && IsWindowVisible(state.hwnd)) {
    WindowDc dc(state.hwnd, false);
    if (dc.get() != nullptr) paint(state, *theme, dc.get());
  }
  return true;
}

template <class Paint>
bool HandleHover(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, Paint paint) {
  if (message == WM_MOUSEMOVE && !state.hot) {
    state.hot = true;
    StartLeaveTracking(state);
    return RepaintAfter(state, message, wParam, lParam, result, paint);
  }
  if (message == WM_MOUSELEAVE) {
    state.hot = false;
    state.trackingLeave = false;
    return RepaintAfter(state, message, wParam, lParam, result, paint);
  }
  return false;
}

}  // namespace

bool IsSkinnedPushButton(DWORD style) {
  const DWORD type = style & BS_TYPEMASK;
  return (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) && (style & (BS_BITMAP | BS_ICON)) == 0;
}

bool IsSkinnedComboBox(DWORD style) {
  const DWORD type = style & 0x3;
  return (type == CBS_DROPDOWN || type == CBS_DROPDOWNLIST) &&
         (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) == 0;
}

bool HandleControlColor(WindowState& parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORLISTBOX && message != WM_CTLCOLORSTATIC &&
      message != WM_CTLCOLORBTN && message != WM_CTLCOLORDLG) {
    return false;
  }
  const auto theme = CurrentTheme(parent);
  if (theme == nullptr) return false;
  result = DefSubclassProc(parent.hwnd, message, wParam, lParam);
  if (!IsSystemDefaultBrush(result)) return true;

  const Skin& skin = theme->skin();
  const auto dc = reinterpret_cast<HDC>(wParam);
  const auto control = reinterpret_cast<HWND>(lParam);
  const bool editLike = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ||
                        (message == WM_CTLCOLORSTATIC && control != nullptr && ClassName(control) == L"Edit");
  if (editLike) {
    // Read-only and disabled edits ask with WM_CTLCOLORSTATIC.
    const bool disabled = control != nullptr && !IsWindowEnabled(control);
    SetTextColor(dc, ToColorRef(disabled ? Blend(skin.edit.text, skin.edit.background, 0.5) : skin.edit.text));
    SetBkColor(dc, ToColorRef(skin.edit.background));
    result = reinterpret_cast<LRESULT>(theme->editBrush());
    return true;
  }
  // Statics, check boxes and dialogs stand on the background the skin paints,
  // which only windows and dialogs have.
  if (parent.kind != WindowKind::kWindow) return true;
  SetTextColor(dc, ToColorRef(skin.window.text));
  SetBkColor(dc, ToColorRef(skin.window.background));
  if (message != WM_CTLCOLORDLG) SetBkMode(dc, TRANSPARENT);
  result = reinterpret_cast<LRESULT>(theme->windowBrush());
  return true;
}

bool HandlePushButton(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!IsSkinnedPushButton(StyleOf(state.hwnd))) return false;
  if (HandlePaintMessages(state, message, wParam, result, PaintPushButton)) return true;
  if (HandleHover(state, message, wParam, lParam, result, PaintPushButton)) return true;
  switch (message) {
    case BM_SETSTATE:
    case BM_SETCHECK:
    case BM_SETSTYLE:
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED:
    case WM_UPDATEUISTATE:
    case WM_SETFONT:
      return RepaintAfter(state, message, wParam, lParam, result, PaintPushButton);
    default:
      return false;
  }
}

bool HandleEdit(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const auto theme = CurrentTheme(state);
  if (theme == nullptr || EditBorderWidth(state.hwnd) == 0) return false;
  switch (message) {
    case WM_NCPAINT:
      // Scroll bars stay the system's.
      if ((StyleOf(state.hwnd) & (WS_VSCROLL | WS_HSCROLL)) != 0) DefSubclassProc(state.hwnd, message, wParam, lParam);
      PaintEditBorder(state.hwnd, *theme);
      result = 0;
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_STYLECHANGED:
      result = DefSubclassProc(state.hwnd, message, wParam, lParam);
      if (!state.destroyed) PaintEditBorder(state.hwnd, *theme);
      return true;
    default:
      return false;
  }
}

bool HandleComboBox(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!IsSkinnedComboBox(StyleOf(state.hwnd))) return false;
  if (HandlePaintMessages(state, message, wParam, result, PaintComboBox)) return true;
  if (HandleHover(state, message, wParam, lParam, result, PaintComboBox)) return true;
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_CAPTURECHANGED:
    case CB_SETCURSEL:
    case CB_SELECTSTRING:
    case CB_RESETCONTENT:
    case CB_DELETESTRING:
    case CB_SHOWDROPDOWN:
      return RepaintAfter(state, message, wParam, lParam, result, PaintComboBox);
    default:
      return false;
  }
}

bool HandleDropDownList(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_NCPAINT) return false;
  const auto theme = CurrentTheme(state);
  if (theme == nullptr) return false;
  result = DefSubclassProc(state.hwnd, message, wParam, lParam);
  RECT window;
  if (!state.destroyed && GetWindowRect(state.hwnd, &window)) {
    WindowDc dc(state.hwnd, true);
    if (dc.get() != nullptr) {
      FrameSolid(dc.get(), RECT{0, 0, window.right - window.left, window.bottom - window.top},
                 theme->skin().edit.focusBorder);
    }
  }
  return true;
}

bool HandleStatusBar(WindowState& state, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  return HandlePaintMessages(state, message, wParam, result, PaintStatusBar);
}

}  // namespace skin
