#include "tests/skin_engine/skin_test_window.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/skin_engine/skin_test_files.h"

namespace skin::test {
namespace {

constexpr wchar_t kWindowClass[] = L"QhSkinTestWindow";
constexpr wchar_t kPlainClass[] = L"QhSkinPlainWindow";
constexpr wchar_t kCalendarClass[] = L"CCalendar";

std::wstring Widen(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                         static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return wide;
}

// The calendar control stands for itself: it paints its own colour.
LRESULT CALLBACK CalendarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HBRUSH brush = CreateSolidBrush(TestWindow::kCalendarColor);
    RECT rect;
    GetClientRect(hwnd, &rect);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterClasses() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW window{};
    window.cbSize = sizeof(window);
    window.lpfnWndProc = DefWindowProcW;
    window.hInstance = GetModuleHandleW(nullptr);
    window.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    window.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    window.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    window.lpszClassName = kPlainClass;
    RegisterClassExW(&window);
    window.lpszClassName = kWindowClass;
    window.lpfnWndProc = TestWindowProc;
    RegisterClassExW(&window);
    WNDCLASSEXW calendar{};
    calendar.cbSize = sizeof(calendar);
    calendar.lpfnWndProc = CalendarProc;
    calendar.hInstance = GetModuleHandleW(nullptr);
    calendar.lpszClassName = kCalendarClass;
    RegisterClassExW(&calendar);
    return true;
  }();
  (void)registered;
}

HMENU BuildMenu() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kCmdOpen, L"打开(&O)\tCtrl+O");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kCmdExit, L"退出(&X)");
  HMENU style = CreatePopupMenu();
  AppendMenuW(style, MF_STRING, kCmdPlain, L"普通风格");
  AppendMenuW(style, MF_STRING | MF_CHECKED, kCmdBlue, L"蓝色风格");
  AppendMenuW(style, MF_STRING, kCmdGreen, L"绿色风格");
  AppendMenuW(style, MF_STRING, kCmdSilver, L"银色风格");
  HMENU help = CreatePopupMenu();
  AppendMenuW(help, MF_STRING, kCmdAbout, L"关于(&A)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"文件(&F)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(style), L"风格(&S)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"帮助(&H)");
  return bar;
}

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return TestWindow::Proc(hwnd, message, wParam, lParam);
}

}  // namespace

HMODULE EngineModule() {
  static const HMODULE module = LoadLibraryW(Widen(HostPath(QH_SKIN_ENGINE_DLL)).c_str());
  return module;
}

SkinAttachFunction SkinAttachFn() {
  const HMODULE module = EngineModule();
  return module != nullptr ? reinterpret_cast<SkinAttachFunction>(
                                 reinterpret_cast<void*>(GetProcAddress(module, "SkinAttach")))
                           : nullptr;
}

int Attach(const char* skinName) {
  const SkinAttachFunction attach = SkinAttachFn();
  return attach != nullptr ? attach(SkinFilePath(skinName).c_str(), "") : -1;
}

Skin CarriedSkin(const char* skinName) {
  const std::vector<std::uint8_t> bytes = ReadSkinFile(skinName);
  auto skin = ParseSkinFile(bytes);
  return skin ? *skin : Skin{};
}

void RunOnUiThread(const std::function<void()>& body) {
  std::thread thread([&body] {
    body();
    // Leave nothing on screen for the next test.
    Pump(20);
  });
  thread.join();
}

void Pump(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMilliseconds) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMilliseconds);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

TestWindow::TestWindow(int x, int y, int width, int height) {
  RegisterClasses();
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  hwnd_ = CreateWindowExW(0, kWindowClass, L"皮肤测试", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                          WS_CLIPCHILDREN, x, y, width, height, nullptr, BuildMenu(), instance, this);
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  button_ = CreateWindowExW(0, L"Button", L"今天", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 16, 16, 96, 28,
                            hwnd_, reinterpret_cast<HMENU>(1001), instance, nullptr);
  edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"编辑框", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 128, 16, 150,
                          24, hwnd_, reinterpret_cast<HMENU>(1002), instance, nullptr);
  combo_ = CreateWindowExW(0, L"ComboBox", nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 296, 16,
                           120, 160, hwnd_, reinterpret_cast<HMENU>(1003), instance, nullptr);
  calendar_ = CreateWindowExW(0, kCalendarClass, nullptr, WS_CHILD | WS_VISIBLE, 16, 64, 200, 100, hwnd_,
                              reinterpret_cast<HMENU>(1004), instance, nullptr);
  calendarEdit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"日历", WS_CHILD | WS_VISIBLE, 10, 10, 120, 24,
                                  calendar_, reinterpret_cast<HMENU>(1), instance, nullptr);
  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                               reinterpret_cast<HMENU>(1005), instance, nullptr);
  for (HWND control : {button_, edit_, combo_, calendarEdit_, statusBar_}) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"2011"));
  SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"2012"));
  SendMessageW(combo_, CB_SETCURSEL, 0, 0);
  int parts[] = {200, -1};
  SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"第一格"));
  SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"第二格"));
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(button_);
  UpdateWindow(hwnd_);
  PumpUntil([this] { return GetActiveWindow() == hwnd_; }, 2000);
}

TestWindow::~TestWindow() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

POINT TestWindow::BackgroundPoint() const {
  RECT client;
  GetClientRect(hwnd_, &client);
  POINT p{client.right - 40, 120};
  ClientToScreen(hwnd_, &p);
  RECT window;
  GetWindowRect(hwnd_, &window);
  return POINT{p.x - window.left, p.y - window.top};
}

LRESULT CALLBACK TestWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      if (self != nullptr && lParam == 0) self->commands_.push_back(LOWORD(wParam));
      break;
    case WM_SIZE:
      if (self != nullptr && self->statusBar_ != nullptr) SendMessageW(self->statusBar_, WM_SIZE, 0, 0);
      break;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreatePlainWindow(int x, int y, int width, int height, const wchar_t* title) {
  RegisterClasses();
  HWND hwnd = CreateWindowExW(0, kPlainClass, title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                              width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);
  return hwnd;
}

HWND CreateTestDialog(int x, int y) {
  // DLGTEMPLATE, then menu, class and title; each item DWORD-aligned.
  std::vector<WORD> t;
  const auto dword = [&t](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  const auto text = [&t](const wchar_t* s) {
    for (; *s != 0; ++s) t.push_back(static_cast<WORD>(*s));
    t.push_back(0);
  };
  dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
  dword(0);
  t.push_back(1);  // one item
  t.push_back(0);
  t.push_back(0);
  t.push_back(200);
  t.push_back(100);
  t.push_back(0);  // no menu
  t.push_back(0);  // the dialog class
  text(L"对话框");
  if (t.size() % 2 != 0) t.push_back(0);
  dword(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
  dword(0);
  t.push_back(10);
  t.push_back(10);
  t.push_back(50);
  t.push_back(14);
  t.push_back(IDOK);
  t.push_back(0xFFFF);
  t.push_back(0x0080);  // Button
  text(L"确定");
  t.push_back(0);  // no creation data
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()),
                                           nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  return dialog;
}

HWND FindOpenPopupMenu() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND hwnd, LPARAM out) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(hwnd, name, 16);
        if (std::wstring(name) == L"#32768" && IsWindowVisible(hwnd)) {
          *reinterpret_cast<HWND*>(out) = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

Shot::Shot(HWND hwnd) {
  RECT window;
  if (!GetWindowRect(hwnd, &window)) return;
  width_ = window.right - window.left;
  height_ = window.bottom - window.top;
  pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC source = GetWindowDC(hwnd);
  HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(source);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
  GdiFlush();
  std::memcpy(pixels_.data(), bits, pixels_.size() * 4);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(hwnd, source);
}

Rgb Shot::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return Rgb{1, 2, 3};
  const std::uint32_t p = pixels_[static_cast<std::size_t>(y) * width_ + x];
  return Rgb{static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
}

void Shot::Save(const std::string& name) const {
  const std::string directory = HostPath(QH_ARTIFACT_DIR);
  std::error_code ignored;
  std::filesystem::create_directories(directory, ignored);
  std::ofstream out(directory + "\\" + name + ".bmp", std::ios::binary);
  const int stride = (width_ * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * height_;
  header.biSize = sizeof(header);
  header.biWidth = width_;
  header.biHeight = height_;  // bottom row first
  header.biPlanes = 1;
  header.biBitCount = 24;
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  std::vector<char> row(static_cast<std::size_t>(stride), 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      const Rgb c = At(x, y);
      row[x * 3] = static_cast<char>(c.b);
      row[x * 3 + 1] = static_cast<char>(c.g);
      row[x * 3 + 2] = static_cast<char>(c.r);
    }
    out.write(row.data(), stride);
  }
}

RECT RectInWindow(HWND child, HWND topLevel) {
  RECT rect, window;
  GetWindowRect(child, &rect);
  GetWindowRect(topLevel, &window);
  OffsetRect(&rect, -window.left, -window.top);
  return rect;
}

POINT ToScreen(HWND hwnd, POINT windowPoint) {
  RECT window;
  GetWindowRect(hwnd, &window);
  return POINT{window.left + windowPoint.x, window.top + windowPoint.y};
}

LRESULT HitTest(HWND hwnd, POINT windowPoint) {
  const POINT screen = ToScreen(hwnd, windowPoint);
  return SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
}

RECT FindCaptionPart(HWND hwnd, int captionHeight, LRESULT code) {
  RECT window;
  GetWindowRect(hwnd, &window);
  const int width = window.right - window.left;
  const int y = captionHeight / 2;
  RECT found{0, 0, 0, 0};
  for (int x = width - 1; x >= 0; --x) {
    if (HitTest(hwnd, POINT{x, y}) != code) continue;
    if (found.right == 0) found.right = x + 1;
    found.left = x;
  }
  if (found.right == 0) return found;
  const int x = (found.left + found.right) / 2;
  found.top = y;
  found.bottom = y + 1;
  while (found.top > 0 && HitTest(hwnd, POINT{x, static_cast<int>(found.top) - 1}) == code) --found.top;
  while (HitTest(hwnd, POINT{x, static_cast<int>(found.bottom)}) == code) ++found.bottom;
  return found;
}

// Under Wine the mouse is moved and clicked on the X display itself, as a
// user would: an input event alone leaves the display's pointer behind, and
// Wine reads it back whenever a popup opens. False when there is no xdotool
// (on Windows), and SendInput does it all.
bool RunXdotool(const std::wstring& arguments) {
  static bool available = true;
  if (!available) return false;
  std::wstring command = L"xdotool " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\usr\\bin\\xdotool", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    available = false;
    return false;
  }
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void MoveMouse(POINT screen) {
  if (RunXdotool(L"mousemove " + std::to_wstring(screen.x) + L" " + std::to_wstring(screen.y))) return;
  SetCursorPos(screen.x, screen.y);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  // Absolute coordinates run 0..65535 over the screen.
  input.mi.dx = static_cast<LONG>((screen.x * 65536 + width / 2) / width);
  input.mi.dy = static_cast<LONG>((screen.y * 65536 + height / 2) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

void MouseButton(bool down) {
  if (RunXdotool(down ? L"mousedown 1" : L"mouseup 1")) return;
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof(input));
}

void PressKey(WORD virtualKey) {
  INPUT inputs[2]{};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = virtualKey;
  inputs[1] = inputs[0];
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

std::string Describe(Rgb c) {
  char text[16];
  std::snprintf(text, sizeof(text), "#%02X%02X%02X", c.r, c.g, c.b);
  return text;
}

}  // namespace skin::test
