#include "app/tray_icon_win.h"

#include <shellapi.h>

#include <string>

#include "runtime/text_encoding.h"

namespace app {

namespace {

// At most 62 bytes, never half a double-byte character.
std::string_view TipBytes(std::string_view tip) {
  std::size_t end = 0;
  while (end < tip.size()) {
    const std::size_t length = static_cast<unsigned char>(tip[end]) >= 0x80 ? 2 : 1;
    if (end + length > 62 || end + length > tip.size()) break;
    end += length;
  }
  return tip.substr(0, end);
}

}  // namespace

void TrayIcon::Set(HWND owner, HICON icon, std::string_view tip) {
  owner_ = owner;
  icon_ = icon;
  tip_ = runtime::GbkToWide(TipBytes(tip));
  added_ = Apply(added_ ? NIM_MODIFY : NIM_ADD) || added_;
}

void TrayIcon::Restore() {
  if (added_) Apply(NIM_ADD);
}

void TrayIcon::Remove() {
  if (added_) Apply(NIM_DELETE);
  added_ = false;
}

bool TrayIcon::Apply(DWORD action) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = icon_;
  wcsncpy_s(data.szTip, tip_.c_str(), _TRUNCATE);
  return Shell_NotifyIconW(action, &data) != FALSE;
}

int TrayIcon::EventOf(LPARAM mouseMessage) {
  switch (LOWORD(mouseMessage)) {
    case WM_LBUTTONUP:
      return 1;
    case WM_LBUTTONDBLCLK:
      return 2;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      return 3;
    default:
      return 0;
  }
}

}  // namespace app
