// The main window in this process, on a clock and message boxes of the
// test's own: menu states, the status texts, the day distance, the time
// synchronisation's success path and the skin files.
#include <winsock2.h>  // before windows.h, for the loopback server
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/carried.h"
#include "app/main_window.h"
#include "app/product.h"
#include "app/resource_ids.h"
#include "app/skins.h"
#include "calendar_control/month_calendar.h"
#include "runtime/host_services.h"
#include "runtime/outside_library.h"
#include "runtime/text_encoding.h"
#include "tests/runtime_services/loopback_server.h"
#include "tests/support/gbk_expect.h"

namespace app {
namespace {

runtime::DateTime At(int y, int mo, int d, int h, int mi, int s) {
  return runtime::DateTimeFromParts(y, mo, d, h, mi, s).value();
}

// A clock that accepts being set: afterwards it reads the time it was set to.
class TestClock final : public runtime::Clock {
 public:
  runtime::DateTime Now() override { return now; }
  bool SetLocal(const runtime::DateTimeParts& p) override {
    now = At(p.year, p.month, p.day, p.hour, p.minute, p.second);
    return true;
  }
  runtime::DateTime now = At(2011, 6, 16, 10, 0, 0);
};

class RecordingPresenter final : public runtime::MessagePresenter {
 public:
  int Present(const std::wstring& text, const std::wstring& title, UINT) override {
    shown.push_back({runtime::WideToGbk(text), runtime::WideToGbk(title)});
    return IDOK;
  }
  struct Shown {
    std::string text, title;
  };
  std::vector<Shown> shown;
};

void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

std::string StatusPart(HWND bar, int part) {
  wchar_t text[256] = {};
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
  return runtime::WideToGbk(text);
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    runtime::OutsideLibraries().Carry("SkinEngine.dll", CarriedBytes(IDR_SKIN_ENGINE));
    runtime::OutsideLibraries().Carry("Wave.dll", CarriedBytes(IDR_WAVE_DLL));
    DeploySkinEngine();
    runtime::form::RegisterControlType(
        {calendar::kMonthCalendarTypeName, calendar::MonthCalendarEntryPoints, calendar::MonthCalendarLibraryNotify});
  }

  void SetUp() override {
    previousClock_ = runtime::InstallClock(&clock_);
    previousPresenter_ = runtime::InstallMessagePresenter(&presenter_);
  }

  void TearDown() override {
    if (window_) window_->Form().Destroy();
    Pump(50);
    window_.reset();
    runtime::InstallMessagePresenter(previousPresenter_);
    runtime::InstallClock(previousClock_);
  }

  void Open(std::string timeServer = "http://127.0.0.1:1/time/time.asp") {
    window_ = std::make_unique<MainWindow>(state_, nullptr, nullptr, nullptr, cursor_, std::move(timeServer));
    ASSERT_TRUE(window_->Load());
    Pump(150);  // the posted DateChanged events
  }

  runtime::form::Form& Form() { return window_->Form(); }
  std::string Status(int part) { return StatusPart(Form().Control(kStatusBar), part); }
  void Choose(const char* entry) {
    Form().RunMenuCommand(Form().MenuCommandId(entry));
    Pump(100);
  }
  void SelectDay(int y, int m, int d) {
    calendar::MonthCalendarSetDate(Form().FormId(), Form().UnitId(kCalendar), y, m, d);
    Pump(100);
  }
  std::string DateText() {
    runtime::control::PropertyValue value{};
    EXPECT_TRUE(Form().ReadProperty(kCalendar, runtime::control::month_calendar::kDateText, value));
    return value.text != nullptr ? value.text : "";
  }

  TestClock clock_;
  RecordingPresenter presenter_;
  HCURSOR cursor_ = static_cast<HCURSOR>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_APP_CURSOR), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
  ShellState state_;
  std::unique_ptr<MainWindow> window_;

 private:
  runtime::Clock* previousClock_ = nullptr;
  runtime::MessagePresenter* previousPresenter_ = nullptr;
};

TEST_F(MainWindowTest, StartsOnTodayWithTheWelcome) {
  Open();
  EXPECT_GBK_EQ(DateText(), "辛卯年(兔)五月十五 2011-6-16");
  EXPECT_GBK_EQ(Status(0), "欢迎使用《岁华录》查询万年历！");
  EXPECT_FALSE(Form().IsVisible(kTodayButton));
  EXPECT_TRUE(Form().IsMenuDisabled(kMenuBackToToday));
  EXPECT_TRUE(Form().IsMenuChecked(kMenuGregorian));
  EXPECT_FALSE(Form().IsMenuChecked(kMenuLunar));
  EXPECT_TRUE(Form().IsMenuChecked("蓝色风格"));
  EXPECT_GBK_EQ(Status(2), std::string("作者：") + kAuthor + " 网址：" + kMakerSite);
  Pump(1100);
  EXPECT_GBK_EQ(Status(1), "当前时间：10:0:0");
}

TEST_F(MainWindowTest, StatusPartsAndCursor) {
  Open();
  int edges[4] = {};
  ASSERT_EQ(SendMessageW(Form().Control(kStatusBar), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
  EXPECT_EQ(edges[0], 300);
  EXPECT_EQ(edges[1], 450);
  EXPECT_EQ(edges[2], -1);  // the last part reaches the window's right edge

  // The program's cursor over the client area and everywhere over the
  // calendar (whose grid registers the arrow); the edit box keeps its own.
  ASSERT_NE(cursor_, nullptr);
  HWND main = Form().Window();
  HWND grid = FindWindowExW(FindWindowExW(Form().Control(kCalendar), nullptr, nullptr, nullptr), nullptr,
                            L"CCalendar", nullptr);
  ASSERT_NE(grid, nullptr);
  const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  for (HWND under : {main, Form().Control(kCalendar), grid}) {
    SetCursor(nullptr);
    EXPECT_TRUE(SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), overClient));
    EXPECT_EQ(GetCursor(), cursor_);
  }
  EXPECT_FALSE(SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(Form().Control(kSearchBox)), overClient));
}

TEST_F(MainWindowTest, DayDistanceFollowsTheSelection) {
  Open();
  SelectDay(2011, 6, 17);
  EXPECT_GBK_EQ(Status(0), "从今天到选择的日期还有 1 天");
  EXPECT_TRUE(Form().IsVisible(kTodayButton));
  EXPECT_FALSE(Form().IsMenuDisabled(kMenuBackToToday));
  SelectDay(2011, 6, 6);
  EXPECT_GBK_EQ(Status(0), "从今天到选择的日期已过去 10 天");
  Choose(kMenuBackToToday);
  EXPECT_GBK_EQ(Status(0), "欢迎使用《岁华录》查询万年历！");
  EXPECT_FALSE(Form().IsVisible(kTodayButton));
  EXPECT_TRUE(Form().IsMenuDisabled(kMenuBackToToday));
  // At the last second of the day, today is still today.
  clock_.now = At(2011, 6, 16, 23, 59, 59);
  window_->ShowToday();
  Pump(100);
  EXPECT_GBK_EQ(Status(0), "欢迎使用《岁华录》查询万年历！");
  EXPECT_FALSE(Form().IsVisible(kTodayButton));
}

TEST_F(MainWindowTest, ViewMenuPairKeepsOneCheckMark) {
  Open();
  runtime::control::PropertyValue mode{};
  for (int i = 0; i < 2; ++i) {
    Choose(kMenuLunar);
    EXPECT_TRUE(Form().IsMenuChecked(kMenuLunar));
    EXPECT_FALSE(Form().IsMenuChecked(kMenuGregorian));
    ASSERT_TRUE(Form().ReadProperty(kCalendar, runtime::control::month_calendar::kCalendarMode, mode));
    EXPECT_EQ(mode.integer, 0);
  }
  Choose(kMenuGregorian);
  EXPECT_TRUE(Form().IsMenuChecked(kMenuGregorian));
  EXPECT_FALSE(Form().IsMenuChecked(kMenuLunar));
  ASSERT_TRUE(Form().ReadProperty(kCalendar, runtime::control::month_calendar::kCalendarMode, mode));
  EXPECT_EQ(mode.integer, 1);
}

TEST_F(MainWindowTest, TimeSyncSetsTheClockAndMovesTheCalendar) {
  runtime::test::LoopbackServer server([](runtime::test::LoopbackConnection& connection, const std::string&) {
    connection.Send(runtime::test::HttpAnswer("200 OK", "", "2011-05-06 12:30:45"));
  });
  Open(server.Address("/time/time.asp"));
  SelectDay(2011, 6, 20);
  ASSERT_TRUE(Form().IsVisible(kTodayButton));
  Choose(kMenuTimeSync);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_GBK_EQ(presenter_.shown[0].text, "网络校时成功！");
  EXPECT_GBK_EQ(presenter_.shown[0].title, "恭喜");
  EXPECT_EQ(clock_.now, At(2011, 5, 6, 12, 30, 45));
  EXPECT_GBK_EQ(DateText(), "辛卯年(兔)四月初四 2011-5-6");
  EXPECT_FALSE(Form().IsVisible(kTodayButton));
  EXPECT_TRUE(Form().IsMenuDisabled(kMenuBackToToday));
  EXPECT_EQ(state_.timeServerAnswer, "2011-05-06 12:30:45");
}

TEST_F(MainWindowTest, SkinFilesAreWrittenOnceAndKept) {
  Open();
  const std::string temp = runtime::SpecialFolder(11);
  const std::string homestead = temp + "homestead.skn";
  DeleteFileW(runtime::GbkToWide(homestead).c_str());
  Choose("绿色风格");
  WIN32_FILE_ATTRIBUTE_DATA first{};
  ASSERT_TRUE(GetFileAttributesExW(runtime::GbkToWide(homestead).c_str(), GetFileExInfoStandard, &first));
  Sleep(20);
  Choose("绿色风格");
  WIN32_FILE_ATTRIBUTE_DATA second{};
  ASSERT_TRUE(GetFileAttributesExW(runtime::GbkToWide(homestead).c_str(), GetFileExInfoStandard, &second));
  EXPECT_EQ(CompareFileTime(&first.ftLastWriteTime, &second.ftLastWriteTime), 0);
  EXPECT_TRUE(Form().IsMenuChecked("绿色风格"));
  for (const char* other : {"普通风格", "蓝色风格", "银色风格"}) EXPECT_FALSE(Form().IsMenuChecked(other)) << other;

  for (const int number : {0, 24, -5}) {
    std::string skinFile;
    ApplySkin(number, skinFile);
    EXPECT_EQ(skinFile, temp + "aero.skn") << number;
  }
  // A given file that exists is used as it is.
  std::string given = homestead;
  ApplySkin(3, given);
  EXPECT_EQ(given, homestead);
  DeleteFileW(runtime::GbkToWide(homestead).c_str());
}

}  // namespace
}  // namespace app
