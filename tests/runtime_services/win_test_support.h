// Files and processes for the Windows tests of the host services: a private
// folder under the temporary-files directory, removed with everything in it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace runtime::test {

// A fresh folder %TEMP%\qh-runtime-<pid>-<n>\, deleted with its contents when
// the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Without a trailing backslash.
  const std::wstring& Path() const { return path_; }
  // The folder's path, a backslash and the name (a sub-folder is created when
  // asked for).
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
  std::wstring SubFolder(const std::wstring& name) const;

 private:
  std::wstring path_;
};

std::vector<std::uint8_t> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

// A file beside the test program (the libraries and the helper built with it).
std::wstring BesideTestProgram(const std::wstring& name);

struct ProcessResult {
  DWORD exitCode = 0;
  std::string output;  // what the process wrote to its standard output
  bool finished = false;
};

// Runs the program with the arguments and collects its output. While it
// runs, `whileRunning` is called every 50 ms with the process id (to find and
// close its windows). A process still running after `limitMs` is ended.
template <class WhileRunning>
ProcessResult RunProgram(const std::wstring& program, const std::wstring& arguments, DWORD limitMs,
                         WhileRunning whileRunning);

ProcessResult RunProgramWithHook(const std::wstring& program, const std::wstring& arguments, DWORD limitMs,
                                 void (*whileRunning)(DWORD processId, void* context), void* context);

template <class WhileRunning>
ProcessResult RunProgram(const std::wstring& program, const std::wstring& arguments, DWORD limitMs,
                         WhileRunning whileRunning) {
  return RunProgramWithHook(
      program, arguments, limitMs,
      [](DWORD processId, void* context) { (*static_cast<WhileRunning*>(context))(processId); }, &whileRunning);
}

}  // namespace runtime::test
