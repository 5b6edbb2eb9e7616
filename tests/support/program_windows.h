// Finding and reading the real program's windows from another process under
// Wine, for the drivers of the end-to-end and soak runs.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace qh_test {

// The program's windows are of the form class; the main window has a menu,
// the About window none.
inline HWND FindProgramWindow(bool withMenu) {
  struct Search {
    bool withMenu;
    HWND found;
  } search{withMenu, nullptr};
  EnumWindows(
      [](HWND window, LPARAM out) -> BOOL {
        auto* s = reinterpret_cast<Search*>(out);
        wchar_t cls[64] = {};
        GetClassNameW(window, cls, 64);
        if (std::wstring(cls) == L"QhForm" && (GetMenu(window) != nullptr) == s->withMenu) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline HWND StatusBarOf(HWND main) { return FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr); }

inline std::wstring WindowTextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

// SB_GETTEXTW writes into the target process: give it a buffer there. A
// program that does not answer within the time gives an empty text.
inline std::wstring RemoteStatusText(HWND bar, int part, UINT timeoutMs = 5000) {
  DWORD pid = 0;
  GetWindowThreadProcessId(bar, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return L"<no access>";
  constexpr SIZE_T kBytes = 1024 * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, kBytes, MEM_COMMIT, PAGE_READWRITE);
  std::wstring text;
  if (remote != nullptr) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(remote),
                        SMTO_ABORTIFHUNG, timeoutMs, &ignored);
    wchar_t buffer[1024] = {};
    SIZE_T read = 0;
    ReadProcessMemory(process, remote, buffer, kBytes - sizeof(wchar_t), &read);
    text = buffer;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

inline std::string Utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), bytes, nullptr, nullptr);
  return text;
}

}  // namespace qh_test
