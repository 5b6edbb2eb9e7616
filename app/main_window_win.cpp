#include "app/main_window.h"

#include <array>
#include <cstring>

#include "app/about_window_win.h"
#include "app/product.h"
#include "app/skins.h"
#include "app/status_texts.h"
#include "app/time_sync.h"
#include "app/web_addresses.h"
#include "calendar_control/month_calendar.h"
#include "runtime/host_services.h"
#include "runtime/http_fetch.h"

namespace app {
namespace {

using runtime::form::ControlKind;
using runtime::form::ControlDescription;
using runtime::form::MakeControl;
using runtime::form::MenuDescription;
using runtime::form::WindowDescription;
namespace calendar_props = runtime::control::month_calendar;

// The 风格 menu: its entries and their skins, 蓝色风格 (skin 2) checked at start.
struct StyleEntry {
  const char* caption;
  int skin;
};
constexpr StyleEntry kStyleEntries[] = {{"普通风格", 1}, {"蓝色风格", 2}, {"绿色风格", 11}, {"银色风格", 10}};

// The calendar's stored properties as the window was designed: version 2,
// 2010-12-19 00:00, Gregorian mode, no template of its own, header shown.
const std::array<std::uint8_t, 24>& StoredCalendarData() {
  static const std::array<std::uint8_t, 24> data = [] {
    std::array<std::uint8_t, 24> bytes{};
    const std::int32_t version = 2, mode = 1, formatLength = 0, showHeader = 1;
    const double date = 40531.0;  // 2010-12-19
    std::memcpy(bytes.data(), &version, 4);  // the layout is little-endian, as is the machine
    std::memcpy(bytes.data() + 4, &date, 8);
    std::memcpy(bytes.data() + 12, &mode, 4);
    std::memcpy(bytes.data() + 16, &formatLength, 4);
    std::memcpy(bytes.data() + 20, &showHeader, 4);
    return bytes;
  }();
  return data;
}

std::string CreditLine() {
  return std::string("作者：") + kAuthor + " 网址：" + kMakerSite;
}

WindowDescription MainWindowDescription(HICON icon, HICON smallIcon, HCURSOR cursor) {
  static const std::string credit = CreditLine();
  WindowDescription description;
  description.title = kMainTitle;
  description.width = 760;
  description.height = 395;
  description.icon = icon;
  description.smallIcon = smallIcon;
  description.cursor = cursor;
  description.menu = {
      MenuDescription{kMenuFile,
               {{kMenuBackToToday}, {kMenuGregorian, true}, {kMenuLunar}, {kMenuExit}}},
      MenuDescription{kMenuTools, {{kMenuTimeSync}}},
      MenuDescription{kMenuStyle,
               {{kStyleEntries[0].caption}, {kStyleEntries[1].caption, true},
                {kStyleEntries[2].caption}, {kStyleEntries[3].caption}}},
      MenuDescription{kMenuHelp, {{kMenuAbout}, {kMenuSite}, {kMenuUpgrade}}},
  };

  ControlDescription search = MakeControl(ControlKind::kButton, kSearchButton, {269, 277, 88, 32});
  search.caption = "淘宝搜索";
  ControlDescription box = MakeControl(ControlKind::kEdit, kSearchBox, {8, 277, 252, 32});
  box.font = {"宋体", 16};
  ControlDescription web = MakeControl(ControlKind::kWebBrowser, kWebPanel, {368, 0, 384, 315});
  web.webAddress = kPortalPage;
  web.placeholder = "网页暂时无法显示";
  ControlDescription clock = MakeControl(ControlKind::kTimer, kClockTimer);
  clock.timerPeriod = 1000;
  ControlDescription status = MakeControl(ControlKind::kStatusBar, kStatusBar);
  status.statusPartWidths = {300, 150, 310};
  status.statusTexts = {"", "", credit};
  ControlDescription today = MakeControl(ControlKind::kButton, kTodayButton, {117, 243, 35, 19});
  today.visible = false;
  today.caption = "今天";
  today.font = {"幼圆", 12};
  ControlDescription calendar = MakeControl(ControlKind::kCustom, kCalendar, {0, 0, 365, 262});
  calendar.customType = calendar::kMonthCalendarTypeName;
  calendar.customData = StoredCalendarData();
  description.controls = {search, box, web, clock, status, today, calendar};
  return description;
}

}  // namespace

MainWindow::MainWindow(ShellState& state, HICON icon, HICON smallIcon, HICON trayIcon, HCURSOR cursor,
                       std::string timeServerAddress)
    : state_(state),
      trayImage_(trayIcon),
      timeServerAddress_(std::move(timeServerAddress)),
      taskbarCreatedMessage_(RegisterWindowMessageW(L"TaskbarCreated")),
      form_(MainWindowDescription(icon, smallIcon, cursor)) {
  form_.OnCreated([this] { OnCreated(); });
  form_.OnTimer(kClockTimer, [this] { OnClock(); });
  form_.OnControlEvent(kCalendar, calendar_props::kDateChanged,
                       [this](const runtime::control::HostEventRecord&) { OnDateChanged(); });
  form_.OnClicked(kTodayButton, [this] { ShowToday(); });
  form_.OnMenu(kMenuBackToToday, [this] { ShowToday(); });
  form_.OnMenu(kMenuGregorian, [this] { SetCalendarMode(true); });
  form_.OnMenu(kMenuLunar, [this] { SetCalendarMode(false); });
  form_.OnMenu(kMenuExit, [] { runtime::ExitProgram(0); });
  for (const StyleEntry& style : kStyleEntries) {
    form_.OnMenu(style.caption, [this, style] { ChooseSkin(style.skin, style.caption); });
  }
  form_.OnMenu(kMenuTimeSync, [this] { SynchronizeTime(); });
  form_.OnMenu(kMenuAbout, [this] { ShowAboutWindow(state_, form_.Window()); });
  form_.OnMenu(kMenuSite, [] { runtime::OpenWebAddress(MakerSiteAddress()); });
  form_.OnMenu(kMenuUpgrade, [] {
    runtime::ShowMessage("请到官网查看最新版本！", 0, "提示：");
    runtime::OpenWebAddress(MakerSiteAddress());
  });
  form_.OnClicked(kSearchButton, [this] { runtime::OpenWebAddress(SearchAddress(form_.Caption(kSearchBox))); });
  form_.OnMessage(kTrayCallbackMessage, [this](WPARAM, LPARAM lParam) -> LRESULT {
    if (const int event = TrayIcon::EventOf(lParam); event != 0) OnTrayEvent(event);
    return 0;
  });
  form_.OnMessage(taskbarCreatedMessage_, [this](WPARAM, LPARAM) -> LRESULT {
    trayIcon_.Restore();
    return 0;
  });
  form_.OnDestroyed([this] { trayIcon_.Remove(); });
}

void MainWindow::OnCreated() {
  std::string skinFile;
  ApplySkin(2, skinFile);
  const runtime::DateTimeParts now = runtime::SplitDateTime(runtime::CurrentDateTime());
  calendar::MonthCalendarSetDate(form_.FormId(), form_.UnitId(kCalendar), now.year, now.month, now.day);
  form_.SetMenuDisabled(kMenuBackToToday, true);
  trayIcon_.Set(form_.Window(), trayImage_, kProgramName);
}

void MainWindow::ShowToday() {
  const runtime::DateTimeParts now = runtime::SplitDateTime(runtime::CurrentDateTime());
  calendar::MonthCalendarSetDate(form_.FormId(), form_.UnitId(kCalendar), now.year, now.month, now.day);
  form_.SetVisible(kTodayButton, false);
  form_.SetMenuDisabled(kMenuBackToToday, true);
}

void MainWindow::SetCalendarMode(bool gregorian) {
  runtime::control::PropertyValue value{};
  value.integer = gregorian ? 1 : 0;
  form_.WriteProperty(kCalendar, calendar_props::kCalendarMode, value);
  form_.SetMenuChecked(kMenuLunar, !gregorian);
  form_.SetMenuChecked(kMenuGregorian, gregorian);
}

void MainWindow::ChooseSkin(int number, const char* entry) {
  std::string skinFile;
  ApplySkin(number, skinFile);
  for (const StyleEntry& style : kStyleEntries) {
    form_.SetMenuChecked(style.caption, std::strcmp(style.caption, entry) == 0);
  }
}

void MainWindow::SynchronizeTime() {
  const runtime::ByteBlock body = runtime::HttpGetPage(timeServerAddress_);
  const TimeSyncOutcome outcome = ApplyTimeServerAnswer(body, state_.timeServerAnswer);
  if (outcome == TimeSyncOutcome::kDone) ShowToday();
  const TimeSyncMessage message = MessageFor(outcome);
  runtime::ShowMessage(message.text, 0, message.title);
}

void MainWindow::OnTrayEvent(int event) {
  if (event != 3) return;
  HMENU fileMenu = form_.SubMenu(kMenuFile);
  if (fileMenu == nullptr) return;
  POINT at{};
  GetCursorPos(&at);
  // The menu closes properly only when its owner is in the foreground, and
  // the next message must reach the owner after it.
  SetForegroundWindow(form_.Window());
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(fileMenu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                                       at.x + 3, at.y + 3, 0, form_.Window(), nullptr));
  PostMessageW(form_.Window(), WM_NULL, 0, 0);
  if (chosen != 0) form_.RunMenuCommand(chosen);
}

void MainWindow::OnClock() {
  runtime::SetStatusText(form_.Control(kStatusBar), 1, ClockText(runtime::CurrentDateTime()));
}

void MainWindow::OnDateChanged() {
  runtime::control::PropertyValue selected{};
  if (!form_.ReadProperty(kCalendar, calendar_props::kSelectedDate, selected)) return;
  const DayDistance distance = DescribeDayDistance(selected.dateTime, runtime::CurrentDateTime());
  if (!distance.isToday) {
    form_.SetVisible(kTodayButton, true);
    form_.SetMenuDisabled(kMenuBackToToday, false);
  }
  runtime::SetStatusText(form_.Control(kStatusBar), 0, distance.message);
  if (distance.isToday) {
    form_.SetVisible(kTodayButton, false);
    form_.SetMenuDisabled(kMenuBackToToday, true);
  }
}

}  // namespace app
