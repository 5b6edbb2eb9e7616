// What the engine tests drive: SkinAttach loaded from the built DLL, a
// top-level window with a menu and the controls the program uses, pixels read
// back from window DCs, and real mouse and keyboard input.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin_engine/skin_file.h"

namespace skin::test {

// SkinAttach of the built SkinEngine.dll; nullptr when it cannot be loaded.
using SkinAttachFunction = int(__stdcall*)(const char*, const char*);
HMODULE EngineModule();
SkinAttachFunction SkinAttachFn();
int Attach(const char* skinName);  // a carried skin by name
Skin CarriedSkin(const char* skinName);

// Runs a test's body on a new thread: the engine's state is per thread, so
// every test starts with the plain look.
void RunOnUiThread(const std::function<void()>& body);

// Handles the thread's messages for a while, or until done() is true.
void Pump(int milliseconds);
bool PumpUntil(const std::function<bool()>& done, int timeoutMilliseconds = 3000);

// Menu command identifiers of the test window.
enum : UINT {
  kCmdOpen = 101,
  kCmdExit = 102,
  kCmdPlain = 201,
  kCmdBlue = 202,
  kCmdGreen = 203,
  kCmdSilver = 204,
  kCmdAbout = 301,
};

// A window like the program's main window: caption with minimise and close
// buttons, a menu bar, a push button, an edit box, a drop-down list, a
// status bar and a "CCalendar" child (magenta, with an edit of its own).
class TestWindow {
 public:
  explicit TestWindow(int x = 40, int y = 40, int width = 480, int height = 360);
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  ~TestWindow();

  HWND hwnd() const { return hwnd_; }
  HWND button() const { return button_; }
  HWND edit() const { return edit_; }
  HWND combo() const { return combo_; }
  HWND statusBar() const { return statusBar_; }
  HWND calendar() const { return calendar_; }
  HWND calendarEdit() const { return calendarEdit_; }
  bool alive() const { return IsWindow(hwnd_) != FALSE; }
  const std::vector<UINT>& commands() const { return commands_; }
  // An empty spot of the client area, in window coordinates.
  POINT BackgroundPoint() const;

  static constexpr COLORREF kCalendarColor = RGB(255, 0, 255);
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  HWND hwnd_ = nullptr;
  HWND button_ = nullptr;
  HWND edit_ = nullptr;
  HWND combo_ = nullptr;
  HWND statusBar_ = nullptr;
  HWND calendar_ = nullptr;
  HWND calendarEdit_ = nullptr;
  std::vector<UINT> commands_;
};

// A plain top-level window with a caption and nothing else, shown without
// taking the activation.
HWND CreatePlainWindow(int x, int y, int width, int height, const wchar_t* title);
// A modeless dialog with a caption and one push button.
HWND CreateTestDialog(int x, int y);
// The visible popup menu window, if one is open.
HWND FindOpenPopupMenu();

// A copy of a window's pixels (caption and frame included), read through
// its window DC.
class Shot {
 public:
  explicit Shot(HWND hwnd);
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb At(int x, int y) const;  // window coordinates
  Rgb At(POINT p) const { return At(p.x, p.y); }
  // A 24-bit BMP in the artifact directory (created when missing).
  void Save(const std::string& name) const;
  friend bool operator==(const Shot&, const Shot&) = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// A child window's rectangle in its top-level window's coordinates.
RECT RectInWindow(HWND child, HWND topLevel);
// Where a screen point lands on a window: WM_NCHITTEST's answer.
LRESULT HitTest(HWND hwnd, POINT windowPoint);
// The rectangle (window coordinates) of the caption part answering code in
// WM_NCHITTEST, found by scanning the caption's middle row.
RECT FindCaptionPart(HWND hwnd, int captionHeight, LRESULT code);

// Real input through SendInput, at screen coordinates.
void MoveMouse(POINT screen);
void MouseButton(bool down);
void PressKey(WORD virtualKey);
POINT ToScreen(HWND hwnd, POINT windowPoint);

std::string Describe(Rgb c);

}  // namespace skin::test
