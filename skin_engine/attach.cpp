// SkinAttach, the engine's one export: reads and checks a skin file, then
// gives every window of the calling thread the skin, now and (through a CBT
// hook of the thread) when they are created later.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "skin_engine/skin_file.h"
#include "skin_engine/theme.h"
#include "skin_engine/window_skin.h"

namespace skin {
namespace {

HMODULE g_module = nullptr;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The program passes its paths in GBK, whatever the system's ANSI code page
// (a temporary-files folder under a Chinese user name must still be found);
// a path that is not valid GBK is taken in the ANSI code page instead.
std::wstring PathToWide(const char* path) {
  constexpr UINT kGbkCodePage = 936;
  const std::size_t length = strnlen(path, 32767);
  for (const UINT codePage : {kGbkCodePage, static_cast<UINT>(CP_ACP)}) {
    const DWORD flags = codePage == kGbkCodePage ? MB_ERR_INVALID_CHARS : 0;
    const int wideLength = MultiByteToWideChar(codePage, flags, path, static_cast<int>(length), nullptr, 0);
    if (wideLength <= 0) continue;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, flags, path, static_cast<int>(length), wide.data(), wideLength);
    return wide;
  }
  return {};
}

// The whole file, or nothing when it cannot be read or is larger than any
// skin file may be.
std::optional<std::vector<std::uint8_t>> ReadSkinBytes(const char* path) {
  const std::wstring widePath = PathToWide(path);
  if (widePath.empty()) return std::nullopt;
  const FileHandle file(CreateFileW(widePath.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      size.QuadPart > static_cast<LONGLONG>(kMaxSkinFileBytes)) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())) {
    return std::nullopt;
  }
  return bytes;
}

// Windows created on a skinned thread take the skin before their first message.
LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    try {
      ThreadSkin* thread = CurrentThreadSkin(false);
      const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
      if (thread != nullptr && thread->theme != nullptr) {
        const HWND parent = create != nullptr && create->lpcs != nullptr ? create->lpcs->hwndParent : nullptr;
        AttachWindow(reinterpret_cast<HWND>(wParam), parent == HWND_MESSAGE ? nullptr : parent, *thread);
      }
    } catch (...) {
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK AttachDescendant(HWND hwnd, LPARAM thread) {
  AttachWindow(hwnd, nullptr, *reinterpret_cast<ThreadSkin*>(thread));
  return TRUE;
}

BOOL CALLBACK AttachTopLevel(HWND hwnd, LPARAM thread) {
  AttachWindow(hwnd, nullptr, *reinterpret_cast<ThreadSkin*>(thread));
  EnumChildWindows(hwnd, AttachDescendant, thread);
  return TRUE;
}

// New frame metrics, then everything painted again at once.
BOOL CALLBACK Repaint(HWND hwnd, LPARAM) {
  if (IsAttached(hwnd)) {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return TRUE;
}

// Hooks and subclassed windows point into this module: it stays loaded.
void PinModule() {
  static bool pinned = false;
  if (pinned || g_module == nullptr) return;
  HMODULE self = nullptr;
  pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                              reinterpret_cast<LPCWSTR>(g_module), &self) != FALSE;
}

bool Attach(const char* path) {
  if (path == nullptr) return false;
  const auto bytes = ReadSkinBytes(path);
  if (!bytes) return false;
  auto parsed = ParseSkinFile(*bytes);
  if (!parsed) return false;
  ThreadSkin* thread = CurrentThreadSkin(true);
  if (thread == nullptr) return false;
  auto theme = std::make_shared<const Theme>(std::move(*parsed));
  PinModule();
  if (thread->cbtHook == nullptr) {
    thread->cbtHook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
  }
  thread->theme = std::move(theme);
  const DWORD threadId = GetCurrentThreadId();
  EnumThreadWindows(threadId, AttachTopLevel, reinterpret_cast<LPARAM>(thread));
  EnumThreadWindows(threadId, Repaint, 0);
  return true;
}

}  // namespace
}  // namespace skin

// Both texts are in the system code page. The password is accepted and not
// used: skin files are plain text. 1 when the skin was applied, 0 when the
// file was missing, unreadable or not a valid skin file (the windows then
// keep the look they had).
extern "C" int __stdcall SkinAttach(const char* skinFile, const char* password);

extern "C" int __stdcall SkinAttach(const char* skinFile, const char* /*password*/) {
  try {
    return skin::Attach(skinFile) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) skin::g_module = instance;
  return TRUE;
}
