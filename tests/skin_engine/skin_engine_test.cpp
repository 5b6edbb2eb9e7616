// SkinEngine.dll on real windows under Wine: the look read back pixel by
// pixel, caption buttons and menus driven with real input.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/skin_engine/skin_test_files.h"
#include "tests/skin_engine/skin_test_window.h"

namespace skin::test {
namespace {

// Points of the test window whose colour each skin sets, in window coordinates.
struct Probe {
  const char* what;
  POINT at;
  Rgb expected;
};

void ExpectProbes(const Shot& shot, const std::vector<Probe>& probes, const std::string& context) {
  for (const Probe& probe : probes) {
    EXPECT_EQ(Describe(shot.At(probe.at)), Describe(probe.expected))
        << context << ": " << probe.what << " at (" << probe.at.x << ", " << probe.at.y << ")";
  }
}

Rgb FromColorRef(COLORREF c) {
  return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
}

POINT Mid(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The colours of the caption, frame, menu bar, client area and controls of an
// active test window in a skin.
std::vector<Probe> SkinProbes(const TestWindow& window, const Skin& skin) {
  const HWND hwnd = window.hwnd();
  RECT frame;
  GetWindowRect(hwnd, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const RECT minimize = FindCaptionPart(hwnd, skin.caption.height, HTMINBUTTON);
  const RECT button = RectInWindow(window.button(), hwnd);
  const RECT edit = RectInWindow(window.edit(), hwnd);
  const RECT combo = RectInWindow(window.combo(), hwnd);
  const RECT status = RectInWindow(window.statusBar(), hwnd);
  const RECT calendar = RectInWindow(window.calendar(), hwnd);
  const RECT calendarEdit = RectInWindow(window.calendarEdit(), hwnd);
  const int middle = height / 2;
  return {
      {"caption, first row", {minimize.left - 4, 1}, skin.caption.active.top},
      {"caption, last row", {minimize.left - 4, skin.caption.height - 1}, skin.caption.active.bottom},
      {"minimise button face", {Mid(minimize).x, minimize.top + 1}, skin.caption.buttonFace.top},
      {"outer frame line", {0, middle}, skin.frame.border},
      {"frame", {1, middle}, skin.frame.active},
      {"bottom frame", {width / 2, height - 2}, skin.frame.active},
      {"menu bar after its items", {width - skin.frame.width - 3, skin.caption.height}, skin.menuBar.background.top},
      {"client background", window.BackgroundPoint(), skin.window.background},
      {"push button border", {Mid(button).x, button.top}, skin.button.border},
      {"push button face", {Mid(button).x, button.top + 1}, skin.button.face.top},
      {"edit border", {edit.left, Mid(edit).y}, skin.edit.border},
      {"edit background", {edit.right - 6, Mid(edit).y}, skin.edit.background},
      {"combo box border", {combo.left, combo.top + 10}, skin.edit.border},
      {"combo box button", {combo.right - 4, combo.top + 1}, skin.button.face.top},
      {"combo box text area", {combo.left + 60, combo.top + 10}, skin.edit.background},
      {"status bar", {status.left + 150, status.top}, skin.statusBar.background.top},
      // The month-calendar control keeps its own colours, and so do the
      // controls inside it.
      {"calendar control", {calendar.right - 10, calendar.bottom - 10}, FromColorRef(TestWindow::kCalendarColor)},
      {"edit inside the calendar", {calendarEdit.right - 6, Mid(calendarEdit).y},
       FromColorRef(GetSysColor(COLOR_WINDOW))},
  };
}

void ParkMouse() {
  MoveMouse(POINT{1000, 740});
  Pump(30);
}

TEST(SkinEngine, ExportsSkinAttachByItsPlainName) {
  ASSERT_NE(EngineModule(), nullptr) << QH_SKIN_ENGINE_DLL;
  EXPECT_NE(SkinAttachFn(), nullptr);
  EXPECT_EQ(GetProcAddress(EngineModule(), "SkinAttach@8"), nullptr);
}

TEST(SkinEngine, EverySkinPaintsCaptionFrameMenuBarBackgroundAndControls) {
  RunOnUiThread([] {
    ParkMouse();
    TestWindow window;
    for (const char* name : kSkinNames) {
      const Skin skin = CarriedSkin(name);
      ASSERT_EQ(Attach(name), 1) << name;
      SetFocus(window.button());
      Pump(60);
      const Shot shot(window.hwnd());
      shot.Save(name);
      ExpectProbes(shot, SkinProbes(window, skin), name);
    }
  });
}

Rgb CaptionPixel(HWND hwnd, const Skin& skin, int row) {
  const RECT minimize = FindCaptionPart(hwnd, skin.caption.height, HTMINBUTTON);
  return Shot(hwnd).At(minimize.left - 4, row);
}

TEST(SkinEngine, WindowsCreatedLaterTakeTheSkinAndInactiveOnesShowIt) {
  RunOnUiThread([] {
    ParkMouse();
    const Skin skin = CarriedSkin("gem");
    TestWindow first;
    ASSERT_EQ(Attach("gem"), 1);
    // Created after SkinAttach: the CBT hook gives them the skin at birth.
    TestWindow second(520, 60);
    const HWND dialog = CreateTestDialog(560, 440);
    ASSERT_NE(dialog, nullptr);
    SetForegroundWindow(second.hwnd());
    PumpUntil([&] { return GetActiveWindow() == second.hwnd(); });
    Pump(60);

    const Shot inactive(first.hwnd());
    inactive.Save("gem-inactive");
    ExpectProbes(inactive,
                 {{"inactive caption", {FindCaptionPart(first.hwnd(), skin.caption.height, HTMINBUTTON).left - 4, 1},
                   skin.caption.inactive.top},
                  {"inactive frame", {1, inactive.height() / 2}, skin.frame.inactive}},
                 "first window");
    ExpectProbes(Shot(second.hwnd()), SkinProbes(second, skin), "window created later");

    const Shot dialogShot(dialog);
    dialogShot.Save("gem-dialog");
    RECT client;
    GetClientRect(dialog, &client);
    POINT empty{client.right - 10, client.bottom - 10};
    ClientToScreen(dialog, &empty);
    RECT frame;
    GetWindowRect(dialog, &frame);
    ExpectProbes(dialogShot,
                 {{"dialog caption", {FindCaptionPart(dialog, skin.caption.height, HTCLOSE).left - 4, 1},
                   skin.caption.inactive.top},
                  {"dialog background", {empty.x - frame.left, empty.y - frame.top}, skin.window.background}},
                 "dialog");
    DestroyWindow(dialog);
  });
}

TEST(SkinEngine, AnotherSkinRepaintsEveryWindowAtOnce) {
  RunOnUiThread([] {
    ParkMouse();
    TestWindow first;
    TestWindow second(540, 60, 420, 320);
    ASSERT_EQ(Attach("pixos"), 1);
    Pump(60);
    const Skin storm = CarriedSkin("storm");
    ASSERT_EQ(Attach("storm"), 1);
    // No message handled in between: SkinAttach returns with all painted.
    const Skin& skin = storm;
    EXPECT_EQ(Describe(CaptionPixel(second.hwnd(), skin, 1)), Describe(skin.caption.active.top));
    EXPECT_EQ(Describe(CaptionPixel(first.hwnd(), skin, 1)), Describe(skin.caption.inactive.top));
    EXPECT_EQ(Describe(Shot(first.hwnd()).At(first.BackgroundPoint())), Describe(skin.window.background));
    EXPECT_EQ(Describe(Shot(second.hwnd()).At(second.BackgroundPoint())), Describe(skin.window.background));
  });
}

// Bad files in a folder of their own, removed afterwards.
class BadSkinFiles {
 public:
  BadSkinFiles() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "qh-skin-test-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    const std::vector<std::uint8_t> good = ReadSkinFile("asus");
    const std::string text(good.begin(), good.end());
    Write("truncated.skn", text.substr(0, text.size() / 2));
    Write("magic.skn", ".SKM" + text.substr(4));
    std::string range = text;
    range.replace(range.find("caption.height = 28"), 19, "caption.height = 99");
    Write("range.skn", range);
    Write("empty.skn", "");
    paths_.push_back(folder_ + "\\missing.skn");
  }
  BadSkinFiles(const BadSkinFiles&) = delete;
  BadSkinFiles& operator=(const BadSkinFiles&) = delete;
  ~BadSkinFiles() {
    for (const std::string& path : paths_) DeleteFileA(path.c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  void Write(const char* name, const std::string& bytes) {
    const std::string path = folder_ + "\\" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    paths_.push_back(path);
  }

  std::string folder_;
  std::vector<std::string> paths_;
};

TEST(SkinEngine, BadSkinFilesLeaveTheLookAsItWas) {
  RunOnUiThread([] {
    ParkMouse();
    const BadSkinFiles bad;
    const SkinAttachFunction attach = SkinAttachFn();
    ASSERT_NE(attach, nullptr);
    TestWindow window;
    Pump(60);
    // Before any skin: the plain look stays, pixel for pixel.
    const Shot plain(window.hwnd());
    for (const std::string& path : bad.paths()) {
      EXPECT_EQ(attach(path.c_str(), ""), 0) << path;
      Pump(30);
      EXPECT_TRUE(Shot(window.hwnd()) == plain) << path;
    }
    EXPECT_EQ(attach(nullptr, nullptr), 0);

    // With a skin: the skin stays.
    ASSERT_EQ(Attach("asus"), 1);
    Pump(60);
    const Skin asus = CarriedSkin("asus");
    const Shot skinned(window.hwnd());
    for (const std::string& path : bad.paths()) {
      EXPECT_EQ(attach(path.c_str(), "password"), 0) << path;
      Pump(30);
      EXPECT_TRUE(Shot(window.hwnd()) == skinned) << path;
    }
    ExpectProbes(Shot(window.hwnd()), SkinProbes(window, asus), "asus after bad files");
  });
}

// The program hands over GBK paths: a skin file in a folder with Chinese
// characters is found whatever the system's ANSI code page (1252 in the
// default test prefix).
TEST(SkinEngine, AGbkPathIsFoundWhateverTheAnsiCodePage) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"皮肤 测试";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring file = folder + L"\\蓝色.skn";
  const std::vector<std::uint8_t> bytes = ReadSkinFile("asus");
  HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(out);

  char gbk[MAX_PATH * 2] = {};
  ASSERT_GT(WideCharToMultiByte(936, 0, file.c_str(), -1, gbk, sizeof gbk, nullptr, nullptr), 0);
  RunOnUiThread([&] {
    const SkinAttachFunction attach = SkinAttachFn();
    ASSERT_NE(attach, nullptr);
    EXPECT_EQ(attach(gbk, ""), 1) << "code page " << GetACP();
  });
  DeleteFileW(file.c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST(SkinEngine, WindowsOfOtherThreadsAreNeverTouched) {
  RunOnUiThread([] {
    ParkMouse();
    std::atomic<int> phase{0};
    std::atomic<HWND> before{nullptr};
    std::atomic<HWND> after{nullptr};
    std::thread other([&] {
      before = CreatePlainWindow(560, 420, 360, 240, L"别的线程");
      phase = 1;
      PumpUntil([&] { return phase == 2; }, 10000);
      after = CreatePlainWindow(600, 460, 360, 240, L"别的线程");
      phase = 3;
      PumpUntil([&] { return phase == 4; }, 10000);
      DestroyWindow(before);
      DestroyWindow(after);
    });
    PumpUntil([&] { return phase == 1; });
    TestWindow mine;
    Pump(60);
    RECT plainClient;
    GetClientRect(before, &plainClient);
    const Shot plain(before);

    const Skin skin = CarriedSkin("ouframe");
    ASSERT_EQ(Attach("ouframe"), 1);
    Pump(60);
    phase = 2;
    PumpUntil([&] { return phase == 3; });
    Pump(60);

    RECT client;
    GetClientRect(before, &client);
    EXPECT_TRUE(EqualRect(&client, &plainClient));
    EXPECT_TRUE(Shot(before) == plain);
    // Created after the attach, on the other thread: plain as well.
    GetClientRect(after, &client);
    EXPECT_TRUE(EqualRect(&client, &plainClient));
    EXPECT_NE(Describe(Shot(after).At(60, 1)), Describe(skin.caption.inactive.top));
    EXPECT_EQ(Describe(CaptionPixel(mine.hwnd(), skin, 1)), Describe(skin.caption.active.top));
    phase = 4;
    other.join();
  });
}

TEST(SkinEngine, CaptionButtonsLightUpPressAndWork) {
  RunOnUiThread([] {
    ParkMouse();
    TestWindow window;
    const HWND hwnd = window.hwnd();
    const Skin skin = CarriedSkin("homestead");
    ASSERT_EQ(Attach("homestead"), 1);
    Pump(60);
    const RECT minimize = FindCaptionPart(hwnd, skin.caption.height, HTMINBUTTON);
    const RECT close = FindCaptionPart(hwnd, skin.caption.height, HTCLOSE);
    EXPECT_EQ(minimize.right - minimize.left, skin.caption.buttonWidth);
    EXPECT_EQ(minimize.bottom - minimize.top, skin.caption.buttonHeight);
    EXPECT_EQ(close.right - close.left, skin.caption.buttonWidth);
    const RECT maximize = FindCaptionPart(hwnd, skin.caption.height, HTMAXBUTTON);
    EXPECT_TRUE(IsRectEmpty(&maximize));
    // Row 1 of a button is the first row of its face.
    const auto face = [&](const RECT& button) { return Shot(hwnd).At(Mid(button).x, button.top + 1); };
    const auto becomes = [&](const RECT& button, Rgb color) {
      return PumpUntil([&] { return face(button) == color; }, 1500);
    };

    MoveMouse(ToScreen(hwnd, Mid(minimize)));
    EXPECT_TRUE(becomes(minimize, skin.caption.buttonHot.top)) << Describe(face(minimize));
    Shot(hwnd).Save("homestead-minimise-hot");
    MouseButton(true);
    EXPECT_TRUE(becomes(minimize, skin.caption.buttonPressed.top)) << Describe(face(minimize));
    MouseButton(false);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(hwnd) != FALSE; }));

    ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
    PumpUntil([&] { return !IsIconic(hwnd) && GetActiveWindow() == hwnd; });
    Pump(100);

    // Pressed, then released elsewhere: nothing happens.
    MoveMouse(ToScreen(hwnd, Mid(close)));
    EXPECT_TRUE(becomes(close, skin.caption.closeHot.top)) << Describe(face(close));
    MouseButton(true);
    EXPECT_TRUE(becomes(close, skin.caption.closePressed.top)) << Describe(face(close));
    Shot(hwnd).Save("homestead-close-pressed");
    MoveMouse(ToScreen(hwnd, POINT{Mid(close).x - 120, Mid(close).y + 100}));
    EXPECT_TRUE(becomes(close, skin.caption.buttonFace.top)) << Describe(face(close));
    MouseButton(false);
    Pump(150);
    ASSERT_TRUE(window.alive());

    MoveMouse(ToScreen(hwnd, Mid(close)));
    EXPECT_TRUE(becomes(close, skin.caption.closeHot.top));
    MouseButton(true);
    Pump(30);
    MouseButton(false);
    EXPECT_TRUE(PumpUntil([&] { return !window.alive(); }));
  });
}

// The run of pixels of one colour on a row around x.
std::pair<int, int> RunAround(const Shot& shot, int x, int y, Rgb color) {
  int left = x;
  int right = x;
  while (left > 0 && shot.At(left - 1, y) == color) --left;
  while (right + 1 < shot.width() && shot.At(right + 1, y) == color) ++right;
  return {left, right + 1};
}

int CountPixels(const Shot& shot, const RECT& area, Rgb color) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += shot.At(x, y) == color ? 1 : 0;
  }
  return count;
}

TEST(SkinEngine, MenuBarOpensSkinnedPopupsAndItsCommandsArrive) {
  RunOnUiThread([] {
    ParkMouse();
    TestWindow window;
    const HWND hwnd = window.hwnd();
    const Skin skin = CarriedSkin("asus");
    ASSERT_EQ(Attach("asus"), 1);
    Pump(60);
    const int barTop = skin.caption.height;
    const int litRow = barTop + 1;
    const int barMiddle = barTop + skin.menuBar.height / 2;
    const int firstX = skin.frame.width + 8;

    // Hovering lights an item.
    MoveMouse(ToScreen(hwnd, POINT{firstX, barMiddle}));
    ASSERT_TRUE(PumpUntil([&] { return Shot(hwnd).At(firstX, litRow) == skin.menuBar.hot.top; }, 1500));
    const auto [firstLeft, firstRight] = RunAround(Shot(hwnd), firstX, litRow, skin.menuBar.hot.top);
    EXPECT_EQ(firstLeft, skin.frame.width);
    EXPECT_GT(firstRight - firstLeft, 30);
    const POINT second{firstRight + 12, barMiddle};

    // Click "文件", slide to "风格", pick its second entry with the keys.
    std::atomic<bool> driven{false};
    HWND popup = nullptr;
    std::unique_ptr<Shot> popupShot, litShot, windowShot;
    std::thread driver([&] {
      MouseButton(true);
      MouseButton(false);
      Sleep(300);
      MoveMouse(ToScreen(hwnd, second));
      Sleep(300);
      popup = FindOpenPopupMenu();
      if (popup != nullptr) popupShot = std::make_unique<Shot>(popup);
      windowShot = std::make_unique<Shot>(hwnd);
      PressKey(VK_DOWN);
      PressKey(VK_DOWN);
      Sleep(200);
      if (popup != nullptr) litShot = std::make_unique<Shot>(popup);
      PressKey(VK_RETURN);
      driven = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return driven && !window.commands().empty(); }, 6000));
    driver.join();
    EXPECT_EQ(window.commands(), std::vector<UINT>{kCmdBlue});

    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popupShot && litShot && windowShot);
    popupShot->Save("asus-menu");
    litShot->Save("asus-menu-selected");
    windowShot->Save("asus-menu-bar");
    EXPECT_EQ(Describe(windowShot->At(second.x, litRow)), Describe(skin.menuBar.hot.top)) << "open bar item";
    EXPECT_EQ(Describe(windowShot->At(firstX, litRow)),
              Describe(GradientAt(skin.menuBar.background, 1, skin.menuBar.height)))
        << "closed bar item";
    const Shot& menu = *popupShot;
    EXPECT_EQ(Describe(menu.At(0, 0)), Describe(skin.menu.border));
    EXPECT_EQ(Describe(menu.At(menu.width() - 8, menu.height() / 2)), Describe(skin.menu.background));
    // The check mark of "蓝色风格", drawn in the menu's text colour.
    EXPECT_GT(CountPixels(menu, RECT{3, 3, 24, menu.height() - 3}, skin.menu.text), 8);
    EXPECT_GT(CountPixels(*litShot, RECT{3, 3, litShot->width() - 3, litShot->height() - 3}, skin.menu.highlight.top),
              20);

    // Closed again, the menu is the program's own: text and type unchanged.
    const HMENU style = GetSubMenu(GetMenu(hwnd), 1);
    MENUITEMINFOW info{};
    wchar_t text[32] = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE;
    info.dwTypeData = text;
    info.cch = 32;
    ASSERT_TRUE(GetMenuItemInfoW(style, 1, TRUE, &info));
    EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(std::wstring(text), L"蓝色风格");
    EXPECT_NE(info.fState & MFS_CHECKED, 0u);

    // From the keyboard: Alt+S opens "风格" with its first entry lit.
    std::thread keys([&] {
      INPUT alt[4]{};
      for (INPUT& input : alt) input.type = INPUT_KEYBOARD;
      alt[0].ki.wVk = VK_MENU;
      alt[1].ki.wVk = 'S';
      alt[2].ki.wVk = 'S';
      alt[2].ki.dwFlags = KEYEVENTF_KEYUP;
      alt[3].ki.wVk = VK_MENU;
      alt[3].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(4, alt, sizeof(INPUT));
      Sleep(400);
      PressKey(VK_DOWN);
      PressKey(VK_RETURN);
    });
    EXPECT_TRUE(PumpUntil([&] { return window.commands().size() == 2; }, 6000));
    keys.join();
    EXPECT_EQ(window.commands(), (std::vector<UINT>{kCmdBlue, kCmdBlue}));

    // Access keys of items the skin draws: Alt+F, then X for "退出(&X)".
    std::thread access([&] {
      INPUT alt[4]{};
      for (INPUT& input : alt) input.type = INPUT_KEYBOARD;
      alt[0].ki.wVk = VK_MENU;
      alt[1].ki.wVk = 'F';
      alt[2].ki.wVk = 'F';
      alt[2].ki.dwFlags = KEYEVENTF_KEYUP;
      alt[3].ki.wVk = VK_MENU;
      alt[3].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(4, alt, sizeof(INPUT));
      Sleep(400);
      PressKey('X');
    });
    EXPECT_TRUE(PumpUntil([&] { return window.commands().size() == 3; }, 6000));
    access.join();
    EXPECT_EQ(window.commands(), (std::vector<UINT>{kCmdBlue, kCmdBlue, kCmdExit}));
  });
}

TEST(SkinEngine, ControlsFollowTheMouseAndTheFocus) {
  RunOnUiThread([] {
    ParkMouse();
    TestWindow window;
    const HWND hwnd = window.hwnd();
    const Skin skin = CarriedSkin("office2007");
    ASSERT_EQ(Attach("office2007"), 1);
    Pump(60);
    const RECT button = RectInWindow(window.button(), hwnd);
    const POINT face{Mid(button).x, button.top + 1};
    const auto becomes = [&](POINT at, Rgb color) {
      return PumpUntil([&] { return Shot(hwnd).At(at) == color; }, 1500);
    };
    MoveMouse(ToScreen(hwnd, Mid(button)));
    EXPECT_TRUE(becomes(face, skin.button.hot.top)) << Describe(Shot(hwnd).At(face));
    MouseButton(true);
    EXPECT_TRUE(becomes(face, skin.button.pressed.top)) << Describe(Shot(hwnd).At(face));
    MouseButton(false);
    EXPECT_TRUE(becomes(face, skin.button.hot.top)) << Describe(Shot(hwnd).At(face));
    ParkMouse();
    EXPECT_TRUE(becomes(face, skin.button.face.top)) << Describe(Shot(hwnd).At(face));

    const RECT edit = RectInWindow(window.edit(), hwnd);
    SetFocus(window.edit());
    EXPECT_TRUE(becomes(POINT{edit.left, Mid(edit).y}, skin.edit.focusBorder));
    const RECT combo = RectInWindow(window.combo(), hwnd);
    SetFocus(window.combo());
    EXPECT_TRUE(becomes(POINT{edit.left, Mid(edit).y}, skin.edit.border));
    EXPECT_TRUE(becomes(POINT{combo.left, combo.top + 10}, skin.edit.focusBorder));
    // A focused drop-down list shows its text on the highlight.
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(window.combo(), &info));
    const POINT item{combo.left + 60, combo.top + info.rcItem.top};
    EXPECT_TRUE(becomes(item, skin.menu.highlight.top)) << Describe(Shot(hwnd).At(item));
    SendMessageW(window.combo(), CB_SETCURSEL, 1, 0);
    EXPECT_TRUE(becomes(item, skin.menu.highlight.top)) << Describe(Shot(hwnd).At(item));
    Shot(hwnd).Save("office2007-focus");
  });
}

// A window destroyed while its own menu is open leaves nothing behind: the
// engine goes on skinning the thread's other and later windows.
TEST(SkinEngine, WindowDestroyedWhileItsMenuIsOpen) {
  RunOnUiThread([] {
    ParkMouse();
    const Skin skin = CarriedSkin("royale");
    auto window = std::make_unique<TestWindow>();
    const HWND hwnd = window->hwnd();
    ASSERT_EQ(Attach("royale"), 1);
    Pump(60);
    SetTimer(hwnd, 1, 300, [](HWND target, UINT, UINT_PTR, DWORD) {
      KillTimer(target, 1);
      DestroyWindow(target);
      EndMenu();
    });
    PostMessageW(hwnd, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }, 3000));
    Pump(100);
    EXPECT_EQ(FindOpenPopupMenu(), nullptr);

    ASSERT_EQ(Attach("vista"), 1);
    TestWindow later;
    Pump(60);
    ExpectProbes(Shot(later.hwnd()), SkinProbes(later, CarriedSkin("vista")), "vista after a destroyed window");
  });
}

}  // namespace
}  // namespace skin::test
