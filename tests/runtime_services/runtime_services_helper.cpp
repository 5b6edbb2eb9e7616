// A program that ends through the run time, for the tests that watch a
// program end: run by runtime_services_win_tests with one of
//   missing <library> <function>   call an outside function that cannot be bound
//   exit-order                     ExitProgram(7) with an end handler, windows and a library
//   exit-reentrant                 ExitProgram(7) whose end handler calls ExitProgram(3)
//   load-from <folder> <library> [start]   LoadLibraryW of the bare name with the
//                                  folder as working directory, after
//                                  InitializeRuntime when "start" is given
// Every line goes straight to the standard output (ExitProcess flushes no
// buffers).
#include <windows.h>

#include <cstring>
#include <string>

#include "runtime/host_services.h"
#include "runtime/outside_library.h"

namespace {

void Print(const char* line) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(strlen(line)), &written, nullptr);
}

LRESULT CALLBACK ReportingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) Print("remaining window destroyed\n");
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateReportingWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ReportingWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QhHelperWindow";
  RegisterClassW(&windowClass);
  return CreateWindowW(L"QhHelperWindow", L"helper", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                       windowClass.hInstance, nullptr);
}

int ExitOrder() {
  runtime::OutsideFunction<void(HANDLE)> reportDetach{"qh_outside_probe.dll", "ProbeReportDetach"};
  reportDetach(GetStdHandle(STD_OUTPUT_HANDLE));
  const HWND mainWindow = CreateWindowW(L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                        nullptr, nullptr, nullptr);
  CreateReportingWindow();
  runtime::SetEndHandler([] { Print("end handler\n"); });
  runtime::SetWindowDestroyer([mainWindow] {
    Print(GetModuleHandleW(L"qh_outside_probe.dll") ? "destroying windows, library loaded\n"
                                                    : "destroying windows, library gone\n");
    DestroyWindow(mainWindow);
  });
  runtime::ExitProgram(7);
}

int ExitReentrant() {
  runtime::SetEndHandler([] {
    Print("end handler\n");
    runtime::ExitProgram(3);
  });
  runtime::SetWindowDestroyer([] { Print("destroyer ran\n"); });
  runtime::ExitProgram(7);
}

// Whether a library lying in the working directory is found by its bare name.
int LoadFromWorkingDirectory(const char* folder, const char* library, bool start) {
  if (start) runtime::InitializeRuntime();
  SetCurrentDirectoryA(folder);
  Print(LoadLibraryA(library) ? "loaded\n" : "not loaded\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "load-from" && argc >= 4) return LoadFromWorkingDirectory(argv[2], argv[3], argc == 5);
  runtime::InitializeRuntime();
  if (mode == "missing" && argc == 4) {
    runtime::OutsideFunction<void()> missing{argv[2], argv[3]};
    missing();
    Print("returned\n");
    return 0;
  }
  if (mode == "exit-order") return ExitOrder();
  if (mode == "exit-reentrant") return ExitReentrant();
  Print("unknown mode\n");
  return 2;
}
