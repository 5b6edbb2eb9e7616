#include "runtime/host_services.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "runtime/host_rules.h"
#include "runtime/http_fetch.h"
#include "runtime/outside_library.h"
#include "runtime/text_encoding.h"
#include "runtime/win_handles.h"

namespace runtime {
namespace {

// The program's folder under the user's local application data.
constexpr wchar_t kProgramFolderName[] = L"青禾万年历";

// A GBK text as the system sees it: up to its first zero byte.
std::wstring Wide(std::string_view text) { return GbkToWide(text.substr(0, text.find('\0'))); }

struct RunDirectoryPaths {
  std::wstring wide;
  Text gbk;
};

const RunDirectoryPaths& RunDirectories() {
  static const RunDirectoryPaths paths = [] {
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
      const DWORD length = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
      if (length == 0) return RunDirectoryPaths{};
      if (length < module.size()) {
        module.resize(length);
        break;
      }
      module.resize(module.size() * 2);  // cut short: try a longer buffer
    }
    const std::size_t last = module.rfind(L'\\');
    if (last == std::wstring::npos) return RunDirectoryPaths{};
    return RunDirectoryPaths{module.substr(0, last), DirectoryOfPath(WideToGbk(module))};
  }();
  return paths;
}

class SystemMessageBox final : public MessagePresenter {
 public:
  int Present(const std::wstring& text, const std::wstring& title, UINT flags) override {
    return MessageBoxW(nullptr, text.c_str(), title.c_str(), flags);
  }
};

MessagePresenter* installedPresenter = nullptr;

MessagePresenter& Presenter() {
  static SystemMessageBox systemBox;
  return installedPresenter ? *installedPresenter : systemBox;
}

std::function<void()>& EndHandler() {
  static std::function<void()> handler;
  return handler;
}

std::function<void()>& WindowDestroyer() {
  static std::function<void()> destroyer;
  return destroyer;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// Top-level windows of this thread that the destroyer left alive.
void DestroyRemainingWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  for (const HWND window : windows) {
    if (IsWindow(window)) DestroyWindow(window);
  }
}

// Writes every byte; WriteFile takes at most 4 GiB - 1 per call.
bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

}  // namespace

void InitializeRuntime() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  const std::wstring& directory = RunDirectoryW();
  // "C:" alone would name the drive's current directory, not its root.
  if (!directory.empty()) SetCurrentDirectoryW((directory + L"\\").c_str());
}

Text SpecialFolder(int number) {
  static constexpr int kShellFolders[] = {CSIDL_PERSONAL, CSIDL_FAVORITES, CSIDL_DESKTOPDIRECTORY,
                                          CSIDL_FONTS,    CSIDL_STARTMENU, CSIDL_PROGRAMS,
                                          CSIDL_STARTUP,  CSIDL_APPDATA};
  wchar_t path[MAX_PATH + 1] = {};
  UINT length = 0;
  if (number >= 1 && number <= 8) {
    if (!SHGetSpecialFolderPathW(nullptr, path, kShellFolders[number - 1], FALSE)) return {};
    length = static_cast<UINT>(wcslen(path));
  } else if (number == 9) {
    length = GetWindowsDirectoryW(path, MAX_PATH);
  } else if (number == 10) {
    length = GetSystemDirectoryW(path, MAX_PATH);
  } else if (number == 11) {
    length = GetTempPathW(MAX_PATH, path);
  }
  // 0 is a failure; a length beyond the buffer is the size the path would need.
  if (length == 0 || length >= MAX_PATH) return {};
  return FolderWithBackslash(WideToGbk(std::wstring_view(path, length)));
}

Text RunDirectory() { return RunDirectories().gbk; }

const std::wstring& RunDirectoryW() { return RunDirectories().wide; }

std::wstring ProgramDataFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  std::wstring folder = path;
  if (folder.empty()) return {};
  if (folder.back() != L'\\') folder += L'\\';
  return folder + kProgramFolderName;
}

bool FileExists(std::string_view path) {
  const std::wstring widePath = Wide(path);
  if (widePath.empty()) return false;
  WIN32_FIND_DATAW found;
  return static_cast<bool>(FindHandle(FindFirstFileW(widePath.c_str(), &found)));
}

bool WriteBytesToFile(std::string_view path, std::initializer_list<std::span<const std::uint8_t>> blocks) {
  const std::wstring widePath = Wide(path);
  if (widePath.empty()) return false;
  const FileHandle file(
      CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  return std::all_of(blocks.begin(), blocks.end(),
                     [&](std::span<const std::uint8_t> block) { return WriteAll(file.Get(), block); });
}

void OpenWebAddress(std::string_view address) {
  // Any message the shell shows about the address belongs to the browser's
  // window when one is open.
  const HWND owner = FindWindowW(nullptr, L"Microsoft Internet Explorer");
  ShellExecuteW(owner, L"open", Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void SetStatusText(HWND statusBar, int part, std::string_view text) {
  if (!IsWindow(statusBar) || part < 0) return;
  const auto parts = static_cast<int>(SendMessageW(statusBar, SB_GETPARTS, 0, 0));
  if (part >= parts) return;
  // The high word is the part's drawing style (SBT_NOBORDERS, SBT_POPOUT ...).
  // An owner-drawn part takes no text.
  const auto style = static_cast<WPARAM>(HIWORD(SendMessageW(statusBar, SB_GETTEXTLENGTHW, part, 0))) &
                     (SBT_NOBORDERS | SBT_POPOUT | SBT_RTLREADING | SBT_NOTABPARSING);
  const std::wstring wide = Wide(text);
  SendMessageW(statusBar, SB_SETTEXTW, static_cast<WPARAM>(part) | style, reinterpret_cast<LPARAM>(wide.c_str()));
}

int ShowMessage(std::string_view text, UINT flags, std::string_view title) {
  if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
  const std::wstring wideTitle = title.empty() ? GbkToWide("信息：") : Wide(title);
  return MessageBoxAnswer(Presenter().Present(Wide(text), wideTitle, flags));
}

MessagePresenter* InstallMessagePresenter(MessagePresenter* presenter) {
  return std::exchange(installedPresenter, presenter);
}

void RuntimeErrorReport(std::string_view message, std::optional<std::int32_t> code) {
  Presenter().Present(Wide(RuntimeErrorText(message, code)), GbkToWide("错误"),
                      MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProgram(-1);
}

void SetEndHandler(std::function<void()> handler) { EndHandler() = std::move(handler); }

void SetWindowDestroyer(std::function<void()> destroyer) { WindowDestroyer() = std::move(destroyer); }

void ExitProgram(int code) {
  static bool ending = false;
  if (!std::exchange(ending, true)) {
    if (EndHandler()) EndHandler()();
    if (WindowDestroyer()) WindowDestroyer()();
    DestroyRemainingWindows();
    CloseInternetRootHandle();
    FreeOutsideLibraries();
  }
  ExitProcess(static_cast<UINT>(code));
}

}  // namespace runtime
