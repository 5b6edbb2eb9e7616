#include "skin_engine/popup_menu.h"

#include <algorithm>

#include "skin_engine/theme.h"
#include "skin_engine/window_skin.h"

namespace skin {
namespace {

constexpr int kGutter = 24;        // the check mark's column
constexpr int kArrowSpace = 20;    // right of the text; the system draws submenu arrows there
constexpr int kAcceleratorGap = 24;
constexpr int kSeparatorHeight = 7;

// "&Open\tCtrl+O" -> "&Open" and "Ctrl+O".
std::pair<std::wstring, std::wstring> SplitLabel(const std::wstring& text) {
  const std::size_t tab = text.find(L'\t');
  if (tab == std::wstring::npos) return {text, {}};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

int TextWidth(HDC dc, const std::wstring& text, UINT format) {
  if (text.empty()) return 0;
  RECT rect{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT | DT_SINGLELINE);
  return rect.right - rect.left;
}

// The access key of a label: the character after a single '&'.
wchar_t AccessKey(const std::wstring& label) {
  for (std::size_t i = 0; i + 1 < label.size(); ++i) {
    if (label[i] != L'&') continue;
    if (label[i + 1] != L'&') return label[i + 1];
    ++i;
  }
  return 0;
}

wchar_t Upper(wchar_t c) {
  return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

}  // namespace

PopupMenus::~PopupMenus() {
  for (const OpenMenu& open : open_) Restore(open);
}

void PopupMenus::Open(HMENU menu, const Theme& theme, ThreadSkin& thread) {
  if (menu == nullptr || !IsMenu(menu)) return;
  for (const OpenMenu& open : open_) {
    if (open.menu == menu) return;
  }
  // Recorded before anything changes, so whatever is turned is turned back
  // even when memory runs out halfway.
  thread.skinnedMenus.reserve(thread.skinnedMenus.size() + 1);
  open_.push_back(OpenMenu{menu, nullptr, {}, 0});
  thread.skinnedMenus.push_back(menu);
  OpenMenu& open = open_.back();
  MENUINFO background{};
  background.cbSize = sizeof(background);
  background.fMask = MIM_BACKGROUND;
  if (GetMenuInfo(menu, &background)) open.oldBackground = background.hbrBack;
  background.hbrBack = theme.menuBrush();
  SetMenuInfo(menu, &background);

  const int count = GetMenuItemCount(menu);
  open.items.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_BITMAP;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    // Items the program draws itself or shows as bitmaps stay its own.
    if ((info.fType & (MFT_OWNERDRAW | MFT_BITMAP)) != 0 || info.hbmpItem != nullptr) continue;
    const bool separator = (info.fType & MFT_SEPARATOR) != 0;
    open.items.push_back(Item{static_cast<UINT>(i), info.wID, info.dwItemData, info.fType, separator,
                              info.hSubMenu != nullptr,
                              separator ? std::wstring() : MenuItemText(menu, static_cast<UINT>(i))});
    MENUITEMINFOW ownerDraw{};
    ownerDraw.cbSize = sizeof(ownerDraw);
    ownerDraw.fMask = MIIM_FTYPE;
    ownerDraw.fType = info.fType | MFT_OWNERDRAW;
    if (!SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &ownerDraw)) open.items.pop_back();
  }
}

void PopupMenus::Restore(const OpenMenu& open) {
  if (!IsMenu(open.menu)) return;
  for (const Item& item : open.items) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_FTYPE;
    // The program may have changed the menu while it was open: only items
    // still in place and still ours are turned back.
    if (!GetMenuItemInfoW(open.menu, item.position, TRUE, &info) || info.wID != item.id ||
        (info.fType & MFT_OWNERDRAW) == 0) {
      continue;
    }
    MENUITEMINFOW restore{};
    restore.cbSize = sizeof(restore);
    restore.fMask = MIIM_FTYPE;
    restore.fType = item.type;
    if (!item.separator) {
      restore.fMask |= MIIM_STRING;
      restore.dwTypeData = const_cast<wchar_t*>(item.text.c_str());
    }
    SetMenuItemInfoW(open.menu, item.position, TRUE, &restore);
  }
  MENUINFO background{};
  background.cbSize = sizeof(background);
  background.fMask = MIM_BACKGROUND;
  background.hbrBack = open.oldBackground;
  SetMenuInfo(open.menu, &background);
}

void PopupMenus::Close(HMENU menu, ThreadSkin& thread) {
  const auto it = std::find_if(open_.begin(), open_.end(), [menu](const OpenMenu& m) { return m.menu == menu; });
  if (it == open_.end()) return;
  Restore(*it);
  open_.erase(it);
  auto& skinned = thread.skinnedMenus;
  const auto entry = std::find(skinned.begin(), skinned.end(), menu);
  if (entry != skinned.end()) skinned.erase(entry);
}

void PopupMenus::CloseAll(ThreadSkin& thread) {
  while (!open_.empty()) Close(open_.back().menu, thread);
}

const PopupMenus::Item* PopupMenus::FindDrawn(HMENU menu, UINT id, ULONG_PTR data, bool separatorHeight) const {
  const auto open = std::find_if(open_.begin(), open_.end(), [menu](const OpenMenu& m) { return m.menu == menu; });
  if (open == open_.end()) return nullptr;
  const Item* found = nullptr;
  for (const Item& item : open->items) {
    if (item.id != id || item.data != data) continue;
    if (item.separator == separatorHeight) return &item;
    if (found == nullptr) found = &item;
  }
  return found;
}

bool PopupMenus::Measure(MEASUREITEMSTRUCT& measure, const Theme& theme) {
  if (measure.CtlType != ODT_MENU) return false;
  // WM_MEASUREITEM names no menu; it comes for the menu opened last.
  const Item* item = nullptr;
  for (auto open = open_.rbegin(); open != open_.rend() && item == nullptr; ++open) {
    const std::size_t count = open->items.size();
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t index = (open->measureCursor + k) % count;
      const Item& candidate = open->items[index];
      if (candidate.id == measure.itemID && candidate.data == measure.itemData) {
        item = &candidate;
        open->measureCursor = index + 1;
        break;
      }
    }
  }
  if (item == nullptr) return false;
  if (item->separator) {
    measure.itemWidth = kGutter;
    measure.itemHeight = kSeparatorHeight;
    return true;
  }
  const auto [label, accelerator] = SplitLabel(item->text);
  WindowDc screen(nullptr, false);
  SavedDc saved(screen.get());
  if (theme.menuFont() != nullptr) SelectObject(screen.get(), theme.menuFont());
  int width = kGutter + TextWidth(screen.get(), label, 0) + kArrowSpace;
  if (!accelerator.empty()) width += kAcceleratorGap + TextWidth(screen.get(), accelerator, DT_NOPREFIX);
  measure.itemWidth = static_cast<UINT>(width);
  measure.itemHeight = static_cast<UINT>(theme.skin().menu.itemHeight);
  return true;
}

bool PopupMenus::Draw(const DRAWITEMSTRUCT& draw, const Theme& theme) const {
  if (draw.CtlType != ODT_MENU) return false;
  const Item* item = FindDrawn(reinterpret_cast<HMENU>(draw.hwndItem), draw.itemID, draw.itemData,
                               draw.rcItem.bottom - draw.rcItem.top == kSeparatorHeight);
  if (item == nullptr) return false;
  const Skin::Menu& colors = theme.skin().menu;
  const HDC dc = draw.hDC;
  const RECT rect = draw.rcItem;
  FillSolid(dc, rect, colors.background);
  if (item->separator) {
    const int y = (rect.top + rect.bottom) / 2;
    FillSolid(dc, RECT{rect.left + kGutter, y, rect.right - 4, y + 1}, colors.separator);
    return true;
  }
  const bool disabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  Rgb text = colors.text;
  if (disabled) {
    text = colors.disabledText;
  } else if (selected) {
    FillGradient(dc, RECT{rect.left + 2, rect.top, rect.right - 2, rect.bottom}, colors.highlight);
    text = colors.highlightText;
  }
  if ((draw.itemState & ODS_CHECKED) != 0) {
    DrawGlyph(dc, RECT{rect.left, rect.top, rect.left + kGutter, rect.bottom},
              (item->type & MFT_RADIOCHECK) != 0 ? Glyph::kRadio : Glyph::kCheck, text);
  }
  const auto [label, accelerator] = SplitLabel(item->text);
  const UINT cues = (draw.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
  const RECT textRect{rect.left + kGutter, rect.top, rect.right - kArrowSpace, rect.bottom};
  DrawTextIn(dc, label, textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | cues, text, theme.menuFont());
  DrawTextIn(dc, accelerator, textRect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, text,
             theme.menuFont());
  return true;
}

std::optional<LRESULT> PopupMenus::MenuChar(wchar_t key, HMENU menu) const {
  const auto open = std::find_if(open_.begin(), open_.end(), [menu](const OpenMenu& m) { return m.menu == menu; });
  if (open == open_.end() || key == 0) return std::nullopt;
  const wchar_t wanted = Upper(key);
  std::optional<UINT> first;
  int matches = 0;
  for (const Item& item : open->items) {
    if (item.separator) continue;
    const wchar_t access = AccessKey(SplitLabel(item.text).first);
    if (access == 0 || Upper(access) != wanted) continue;
    if (!first) first = item.position;
    ++matches;
  }
  if (!first) return std::nullopt;
  return MAKELRESULT(*first, matches == 1 ? MNC_EXECUTE : MNC_SELECT);
}

std::wstring MenuItemText(HMENU menu, UINT position) {
  // Asked apart from the item's other fields: with no buffer, the call only
  // reports the length.
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  if (!GetMenuItemInfoW(menu, position, TRUE, &info) || info.cch == 0) return {};
  std::wstring text(info.cch + 1, L'\0');
  info.dwTypeData = text.data();
  info.cch = static_cast<UINT>(text.size());
  if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return {};
  text.resize(std::min<std::size_t>(info.cch, text.size() - 1));
  return text;
}

void PaintPopupMenuBorder(HWND popup, const Theme& theme) {
  RECT window;
  if (!GetWindowRect(popup, &window)) return;
  const RECT rect{0, 0, window.right - window.left, window.bottom - window.top};
  WindowDc dc(popup, true);
  if (dc.get() == nullptr) return;
  const Skin::Menu& colors = theme.skin().menu;
  FrameSolid(dc.get(), rect, colors.border);
  // The system's raised edge lies in the next two rings.
  FrameSolid(dc.get(), RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, colors.background);
  FrameSolid(dc.get(), RECT{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2}, colors.background);
}

}  // namespace skin
