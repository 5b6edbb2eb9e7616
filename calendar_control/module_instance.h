// The module the control's code is linked into: its window classes and
// dialog belong to it, whether that is the program or a library.
#pragma once

#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace calendar {

inline HINSTANCE ModuleInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

}  // namespace calendar
