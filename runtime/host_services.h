// The host services the program's handlers rely on: folders and the program's
// directory, files, the browser, status-bar texts, message boxes, the fatal
// error report and the end of the program. Texts and paths are GBK bytes,
// cut at their first zero byte; everything reaches the system through the W
// functions with code page 936, whatever the system's ANSI code page.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "runtime/date_time.h"

namespace runtime {

// First thing at start-up: restricts the process's own library search to the
// program's directory and the system folders (never the working directory),
// computes the run directory and makes it the working directory.
void InitializeRuntime();

// 1 documents, 2 favourites, 3 desktop directory, 4 fonts, 5 start menu,
// 6 start-menu programs, 7 startup, 8 application data, 9 Windows directory,
// 10 system directory, 11 temporary-files directory: the path ending in one
// backslash. Empty for another number or when the system gives none.
Text SpecialFolder(int number);

// The program file's directory without a trailing backslash (C:\Tools, or C:
// for a program in a drive's root); computed once.
Text RunDirectory();
// The same without going through GBK, for the system's own use.
const std::wstring& RunDirectoryW();

// The program's own per-user folder, %LOCALAPPDATA%\青禾万年历, without a
// trailing backslash (not created here). Empty when the system has no local
// application-data folder.
std::wstring ProgramDataFolder();

// True when a directory search finds an entry of that name (a directory
// counts; a path with wildcards is true when anything matches).
bool FileExists(std::string_view path);

// Creates the file or cuts an existing one to length 0 (no sharing while it is
// open) and writes the blocks in order. False on any failure.
bool WriteBytesToFile(std::string_view path, std::initializer_list<std::span<const std::uint8_t>> blocks);

// The shell's "open" action on the address as it stands; silent on failure.
void OpenWebAddress(std::string_view address);

// Replaces the text of a status-bar part (0-based) and shows it in the part's
// own drawing style; an index outside the bar's parts does nothing.
void SetStatusText(HWND statusBar, int part, std::string_view text);

// A message box without owner window; flags as for MessageBoxW (0: one OK
// button, no icon), task-modal unless MB_SYSTEMMODAL is given. An empty title
// shows "信息：". Gives 0 OK, 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes, 6 No.
int ShowMessage(std::string_view text, UINT flags = 0, std::string_view title = {});

// What shows message boxes. The system's MessageBoxW unless another presenter
// is installed (a test's, which records instead of blocking).
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  // Gives the box's answer as MessageBoxW does (IDOK, IDCANCEL ...).
  virtual int Present(const std::wstring& text, const std::wstring& title, UINT flags) = 0;
};
// nullptr puts the system's box back; returns the previous presenter.
MessagePresenter* InstallMessagePresenter(MessagePresenter* presenter);

// Shows the run-time error box (title "错误", error icon, OK) with the text of
// RuntimeErrorText, then ends the program with exit code -1.
[[noreturn]] void RuntimeErrorReport(std::string_view message, std::optional<std::int32_t> code = std::nullopt);

// The routine run once at the end of the program (the shell frees what it
// kept). Registering again replaces it.
void SetEndHandler(std::function<void()> handler);
// Destroys the program's windows and removes the tray icon at the end of the
// program. Whatever top-level windows of the calling thread remain afterwards
// are destroyed too.
void SetWindowDestroyer(std::function<void()> destroyer);

// Ends the program: the end handler, then the windows, then the HTTP root
// handle, then the outside libraries (a library may have subclassed the
// windows, so it outlives them), then the process with the code. A call made
// while ending (from the end handler, say) ends the process at once.
[[noreturn]] void ExitProgram(int code);

}  // namespace runtime
