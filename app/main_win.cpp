// Start-up: run-time services, the skin engine library, the main window and
// the message loop; the end goes through ExitProgram.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "app/carried.h"
#include "app/main_window.h"
#include "app/product.h"
#include "app/resource_ids.h"
#include "app/skins.h"
#include "calendar_control/month_calendar.h"
#include "runtime/host_services.h"
#include "runtime/outside_library.h"
#include "runtime/text_encoding.h"

namespace {

// --time-server URL points the time synchronisation at another server for
// this run.
std::string TimeServerAddress() {
  std::string address = app::kTimeServerAddress;
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; args != nullptr && i + 1 < count; ++i) {
    if (std::wstring_view(args[i]) == L"--time-server") address = runtime::WideToGbk(args[i + 1]);
  }
  LocalFree(args);
  return address;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  runtime::InitializeRuntime();

  app::ShellState state;
  runtime::SetEndHandler([&state] { state.timeServerAnswer.clear(); });

  runtime::OutsideLibraries().Carry("SkinEngine.dll", app::CarriedBytes(IDR_SKIN_ENGINE));
  runtime::OutsideLibraries().Carry("Wave.dll", app::CarriedBytes(IDR_WAVE_DLL));
  app::DeploySkinEngine();

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  runtime::form::RegisterControlType(
      {calendar::kMonthCalendarTypeName, calendar::MonthCalendarEntryPoints, calendar::MonthCalendarLibraryNotify});

  auto* icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  auto* smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  auto* trayIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 128, 128, 0));
  auto* cursor = static_cast<HCURSOR>(LoadImageW(instance, MAKEINTRESOURCEW(IDC_APP_CURSOR), IMAGE_CURSOR, 0, 0,
                                                 LR_DEFAULTSIZE));

  app::MainWindow mainWindow(state, icon, smallIcon, trayIcon, cursor, TimeServerAddress());
  runtime::SetWindowDestroyer([&mainWindow] { mainWindow.Form().Destroy(); });
  if (mainWindow.Load()) runtime::form::RunMessageLoop();
  runtime::ExitProgram(0);
}
