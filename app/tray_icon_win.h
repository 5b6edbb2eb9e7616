// The main window's icon in the notification area.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace app {

inline constexpr UINT kTrayIconId = 100;
inline constexpr UINT kTrayCallbackMessage = WM_APP + 100;

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon the first time, modifies it on later calls. The tip is GBK;
  // at most 62 of its bytes are used.
  void Set(HWND owner, HICON icon, std::string_view tip);
  // After the taskbar was re-created (Explorer restarted) the icon is gone:
  // add it again.
  void Restore();
  void Remove();

  // The tray event's argument for a callback's mouse message: 1 left button
  // released, 2 left double click, 3 right button released or context menu,
  // 0 for anything else (no event).
  static int EventOf(LPARAM mouseMessage);

 private:
  bool Apply(DWORD action);

  HWND owner_ = nullptr;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool added_ = false;
};

}  // namespace app
