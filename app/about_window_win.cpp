#include "app/about_window_win.h"

#include <string>

#include "app/about_logic.h"
#include "app/carried.h"
#include "app/resource_ids.h"
#include "runtime/host_services.h"
#include "runtime/outside_library.h"
#include "runtime/random.h"
#include "runtime/text_encoding.h"

namespace app {
namespace {

using runtime::form::ControlKind;
using runtime::form::ControlDescription;
using runtime::form::MakeControl;
using runtime::form::Frame;
using runtime::form::WindowDescription;

constexpr char kTimer[] = "时钟1";
constexpr char kButton[] = "abc";
constexpr char kWaveLibrary[] = "Wave.dll";

WindowDescription AboutWindowDescription() {
  WindowDescription description;
  description.width = 380;
  description.height = 142;
  description.frame = Frame::kBorderlessSunken;
  description.escapeCloses = true;
  ControlDescription timer = MakeControl(ControlKind::kTimer, kTimer);
  timer.timerPeriod = 1000;
  ControlDescription button = MakeControl(ControlKind::kButton, kButton, {325, 94, 40, 32});
  button.disabled = true;
  button.caption = "10";
  description.controls = {timer, button};
  return description;
}

// The ripple library's functions, bound when the window first opens. The
// library is looked for beside the program and in the system directory (only
// a copy with the carried bytes is taken); otherwise the carried bytes are
// written into the program's per-user folder and loaded from there. Without
// it the window opens without ripples.
struct RippleLibrary {
  using Init = int(WINAPI*)(HWND, const char*);
  using AutoEffects = int(WINAPI*)(int, int, int, int);
  using DropStone = int(WINAPI*)(int, int, int, int);
  Init init = nullptr;
  AutoEffects autoEffects = nullptr;
  DropStone dropStone = nullptr;

  bool Bind() {
    init = BindAs<Init>("WaveInit");
    autoEffects = BindAs<AutoEffects>("WaveAutoEffects");
    dropStone = BindAs<DropStone>("WaveDropStone");
    return init != nullptr && autoEffects != nullptr && dropStone != nullptr;
  }

  template <class Function>
  static Function BindAs(const char* name) {
    const FARPROC address = runtime::OutsideLibraries().Bind(kWaveLibrary, name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
  }
};

// The picture goes into the program's per-user folder, never beside the
// program (an ordinary user may not write there, and a file of that name
// there may be the user's own). Empty when it cannot be written.
std::string WritePicture() {
  const std::wstring folder = runtime::ProgramDataFolder();
  if (folder.empty()) return {};
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::string path = runtime::WideToGbk(folder + L"\\wave.bmp");
  if (!runtime::WriteBytesToFile(path, {CarriedBytes(IDR_WAVE_BMP)})) return {};
  return path;
}

}  // namespace

void ShowAboutWindow(ShellState& state, HWND mainWindow) {
  runtime::form::Form about(AboutWindowDescription());
  RippleLibrary ripple;

  about.OnCreated([&] {
    const std::string picture = WritePicture();
    if (ripple.Bind()) {
      ripple.init(about.Window(), picture.c_str());
      ripple.autoEffects(2, 0, 0, 0);
    }
    runtime::SeedRandom();
    state.rippleActive = 1;
    state.aboutCountdown = kAboutCountdownStart;
  });
  about.OnMouseMove([&](int x, int y, WPARAM) {
    RippleOnMouseMove(ripple.dropStone != nullptr ? state.rippleActive : 0, x, y,
                      [&](int px, int py, int size, int strength) { ripple.dropStone(px, py, size, strength); });
  });
  about.OnTimer(kTimer, [&] {
    const CountdownStep step = CountdownTick(state.aboutCountdown);
    if (step.enabled) about.SetDisabled(kButton, false);
    about.SetCaption(kButton, step.caption);
  });
  about.OnClicked(kButton, [&] {
    ShowWindow(mainWindow, SW_SHOW);
    about.Destroy();
  });
  about.ShowModal(mainWindow);
}

}  // namespace app
