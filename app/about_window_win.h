// The About window: a rippling picture and a button that counts down from 10
// before it can be pressed. Shown modally over the main window.
#pragma once

#include <windows.h>

#include "app/main_window.h"

namespace app {

// Opens the About window and returns when it has been closed.
void ShowAboutWindow(ShellState& state, HWND mainWindow);

}  // namespace app
