// The control in real windows under a test host: creation from stored data,
// the size rule, events and their order, SetDate, selectors, keys and
// properties through the entry points.
#include "calendar_control/month_calendar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar_control/month_calendar_control.h"
#include "runtime/date_time.h"
#include "runtime/text_encoding.h"
#include "tests/calendar_control/test_host.h"
#include "tests/support/gbk_expect.h"

namespace calendar::testing {
namespace {

namespace control = runtime::control;
using lunar::DateRec;
using Names = std::vector<std::string>;

runtime::DateTime At(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
  return *runtime::DateTimeFromParts(y, m, d, hh, mm, ss);
}

class FixedClock : public runtime::Clock {
 public:
  explicit FixedClock(runtime::DateTime now) : now_(now) {}
  runtime::DateTime Now() override { return now_; }
  bool SetLocal(const runtime::DateTimeParts&) override { return false; }

 private:
  runtime::DateTime now_;
};

SIZE WindowSize(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

POINT PositionInParent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  POINT p{r.left, r.top};
  ScreenToClient(GetParent(window), &p);
  return p;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

std::string ComboText(HWND combo, int index) {
  wchar_t text[64] = {};
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return runtime::WideToGbk(text);
}

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
int ComboCount(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)); }

// A control on the test host, created from stored data, with its creation
// report already handled and forgotten.
class ControlTest : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kUnit = 1;

  // No pointer over the control unless a test puts it there.
  void SetUp() override { host_.ParkPointer(); }

  void CreateControl(const std::vector<std::uint8_t>& data) {
    object_ = host_.Create(kUnit, data);
    ASSERT_NE(object_, nullptr);
    calendar_ = CnMonthCalendar::FromObject(object_);
    ASSERT_NE(calendar_, nullptr);
    host_.Pump();
    host_.events.clear();
  }
  HWND Control() const { return host_.ControlWindow(kUnit); }
  HWND Panel() const { return calendar_->panel().Window(); }
  HWND Grid() const { return calendar_->panel().grid().Window(); }
  HWND YearSelector() const { return calendar_->panel().yearSelector(); }
  HWND MonthSelector() const { return calendar_->panel().monthSelector(); }
  const CCalendar& GridObject() const { return calendar_->panel().grid(); }

  // A point inside a cell, away from its texts.
  static POINT CellPoint(int index) {
    const PixelRect r = GridMetrics().CellRect(index);
    return {r.left + 26, r.top + 16};
  }
  // Mouse messages as the system sends them; the pointer is put there too,
  // so that leave tracking sees it inside the grid.
  void MoveMouse(POINT p) {
    POINT screen = p;
    ClientToScreen(Grid(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(Grid(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  }
  void LeftClick(POINT p) {
    SendMessageW(Grid(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(Grid(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  }
  void RightClick(POINT p) {
    SendMessageW(Grid(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(Grid(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  }
  // What the user does with a drop-down list: the system sets the entry,
  // then tells the panel.
  void Choose(HWND combo, int id, int entry) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    SendMessageW(Panel(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  }
  runtime::DateTime SelectedDate() {
    control::PropertyValue value{};
    EXPECT_TRUE(host_.Read(kUnit, control::month_calendar::kSelectedDate, value));
    return value.dateTime;
  }
  std::string DateText() {
    control::PropertyValue value{};
    EXPECT_TRUE(host_.Read(kUnit, control::month_calendar::kDateText, value));
    return value.text != nullptr ? value.text : "<null>";
  }

  TestHost host_;
  control::ControlObject object_ = nullptr;
  CnMonthCalendar* calendar_ = nullptr;
};

// ---- Creation ------------------------------------------------------------------

TEST_F(ControlTest, CreatesFromTheMainWindowRecord) {
  object_ = host_.Create(kUnit, MainWindowRecord(), 0, 0, 500, 500);
  ASSERT_NE(object_, nullptr);
  calendar_ = CnMonthCalendar::FromObject(object_);
  EXPECT_EQ(WindowSize(Control()).cx, 365);
  EXPECT_EQ(WindowSize(Control()).cy, 262);
  EXPECT_TRUE(host_.events.empty());  // the report is posted
  host_.Pump();
  ASSERT_EQ(host_.EventNames(), Names{"DateChanged"});
  EXPECT_EQ(host_.events[0].formId, TestHost::kFormId);
  EXPECT_EQ(host_.events[0].unitId, kUnit);

  EXPECT_EQ(SelectedDate(), At(2010, 12, 19, 23, 59, 59));
  EXPECT_GBK_EQ(DateText(), "庚寅年(虎)冬月十四 2010-12-19");
  EXPECT_EQ(WindowText(Control()), runtime::GbkToWide("庚寅年(虎)冬月十四 2010-12-19"));
  EXPECT_TRUE(calendar_->model().selection().gregorianMode());

  EXPECT_EQ(PositionInParent(Grid()).y, 30);
  ASSERT_NE(YearSelector(), nullptr);
  EXPECT_EQ(GetDlgCtrlID(YearSelector()), 1019);
  EXPECT_EQ(GetDlgCtrlID(MonthSelector()), 1020);
  EXPECT_EQ(GetDlgCtrlID(Grid()), 2046);
  EXPECT_TRUE(IsWindowVisible(YearSelector()));
  EXPECT_EQ(ComboCount(YearSelector()), 146);
  EXPECT_EQ(ComboSelection(YearSelector()), 2010 - 1902);
  EXPECT_GBK_EQ(ComboText(YearSelector(), 2010 - 1902), "公历 2010 年");
  EXPECT_EQ(ComboCount(MonthSelector()), 12);
  EXPECT_EQ(ComboSelection(MonthSelector()), 11);
  EXPECT_GBK_EQ(ComboText(MonthSelector(), 11), "十二月");
}

TEST_F(ControlTest, CreatesWithoutStoredDataOnToday) {
  FixedClock clock(At(2011, 2, 4, 10, 30));
  runtime::Clock* previous = runtime::InstallClock(&clock);
  CreateControl({});
  runtime::InstallClock(previous);
  EXPECT_EQ(SelectedDate(), At(2011, 2, 4, 23, 59, 59));
  EXPECT_FALSE(calendar_->model().selection().gregorianMode());
  EXPECT_EQ(WindowSize(Control()).cy, 262);
  EXPECT_GBK_EQ(DateText(), "辛卯年(兔)正月初二 2011-2-4");
  EXPECT_GBK_EQ(ComboText(YearSelector(), ComboSelection(YearSelector())), "辛卯(兔)-2011");
  EXPECT_GBK_EQ(ComboText(MonthSelector(), ComboSelection(MonthSelector())), "正月");
}

TEST_F(ControlTest, VersionOneShowsTheHeaderAndUsesItsFormat) {
  CreateControl(StoredRecord(1, At(2011, 3, 5, 8), 1, "%y.%m.%d", 0));
  EXPECT_EQ(WindowSize(Control()).cy, 262);
  EXPECT_EQ(DateText(), "2011.3.5");
}

TEST_F(ControlTest, SizeRule) {
  CreateControl(StoredRecord(2, At(2011, 3, 5), 1, "", 0));
  EXPECT_EQ(WindowSize(Control()).cx, 365);
  EXPECT_EQ(WindowSize(Control()).cy, 232);
  EXPECT_EQ(PositionInParent(Grid()).y, 0);
  EXPECT_FALSE(IsWindowVisible(YearSelector()));

  SetWindowPos(Control(), nullptr, 0, 0, 100, 40, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(WindowSize(Control()).cx, 365);
  EXPECT_EQ(WindowSize(Control()).cy, 232);

  control::PropertyValue show{};
  show.boolean = TRUE;
  host_.Write(kUnit, control::month_calendar::kShowHeader, show);
  EXPECT_EQ(WindowSize(Control()).cy, 262);
  EXPECT_EQ(WindowSize(Panel()).cy, 262);
  EXPECT_EQ(PositionInParent(Grid()).y, 30);
  EXPECT_TRUE(IsWindowVisible(YearSelector()));
  EXPECT_TRUE(IsWindowVisible(MonthSelector()));
}

TEST_F(ControlTest, MalformedStoredDataCreatesNothing) {
  std::vector<std::uint8_t> truncated = MainWindowRecord();
  truncated.resize(22);
  std::vector<std::uint8_t> hugeText = StoredRecord(2, At(2011, 3, 5), 1, "", 1);
  hugeText[16] = 0xFE;  // length 0x7FFFFFFE
  hugeText[17] = hugeText[18] = 0xFF;
  hugeText[19] = 0x7F;
  for (const auto& data : {truncated, hugeText, std::vector<std::uint8_t>{2}}) {
    EXPECT_EQ(host_.Create(kUnit, data), nullptr);
    EXPECT_EQ(GetWindow(host_.Form(), GW_CHILD), nullptr);
  }
  host_.Pump();
  EXPECT_TRUE(host_.events.empty());
  EXPECT_TRUE(host_.destroyedUnits.empty());
}

// ---- SetDate and events ----------------------------------------------------------

TEST_F(ControlTest, SetDate) {
  CreateControl(MainWindowRecord());
  struct Case {
    int year, month, day, answer;
  } const cases[] = {{2049, 1, 1, 0}, {1901, 2, 18, 0}, {2011, 2, 29, 0}, {1901, 2, 19, 1},
                     {2048, 12, 31, 1}, {2048, 12, 31, 1}, {2011, 3, 5, 1}};
  for (const Case& c : cases) {
    host_.events.clear();
    EXPECT_EQ(host_.SetDate(kUnit, c.year, c.month, c.day), c.answer) << c.year << "-" << c.month << "-" << c.day;
    host_.Pump();
    // The same day again is still reported.
    EXPECT_EQ(host_.EventNames(), c.answer ? Names{"DateChanged"} : Names{}) << c.year << "-" << c.month;
  }
  EXPECT_EQ(SelectedDate(), At(2011, 3, 5, 23, 59, 59));
  EXPECT_EQ(host_.SetDate(99, 2011, 3, 6), 0);  // a unit the host does not know
  EXPECT_EQ(MonthCalendarSetDate(TestHost::kFormId + 1, kUnit, 2011, 3, 6), 0);
}

TEST_F(ControlTest, ClickReportsDateChangedThenDateClicked) {
  CreateControl(MainWindowRecord());
  LeftClick(CellPoint(25));  // 2010-12-24
  EXPECT_TRUE(host_.events.empty());  // both reports are posted
  host_.Pump();
  EXPECT_EQ(host_.EventNames(), (Names{"DateChanged", "DateClicked"}));
  EXPECT_EQ(SelectedDate(), At(2010, 12, 24, 23, 59, 59));
  EXPECT_EQ(calendar_->model().selection().marked(), DateRec(2010, 12, 24));

  host_.events.clear();
  LeftClick(CellPoint(0));  // 2010-11-29, outside the month
  LeftClick({10, 10});      // weekday row
  LeftClick({10, 220});     // footer
  host_.Pump();
  EXPECT_TRUE(host_.events.empty());
  EXPECT_EQ(SelectedDate(), At(2010, 12, 24, 23, 59, 59));
}

TEST_F(ControlTest, HoverAndRightClickAreReportedAtOnce) {
  CreateControl(MainWindowRecord());
  MoveMouse(CellPoint(25));  // 2010-12-24, lunar 2010-11-19
  EXPECT_EQ(host_.EventNames(), Names{"DateHovered(2010,11,19,0)"});
  EXPECT_EQ(GridObject().hoverIndex(), 25);
  EXPECT_GBK_EQ(GridObject().hoverText(), "庚寅年(虎)冬月十九 2010-12-24");
  MoveMouse({CellPoint(25).x + 5, CellPoint(25).y});  // same cell: nothing new
  MoveMouse(CellPoint(26));
  EXPECT_EQ(host_.EventNames(), (Names{"DateHovered(2010,11,19,0)", "DateHovered(2010,11,20,0)"}));

  MoveMouse(CellPoint(0));  // outside the month: hovered, but no text and no event
  EXPECT_EQ(GridObject().hoverIndex(), 0);
  EXPECT_EQ(GridObject().hoverText(), "");
  MoveMouse({100, 8});  // weekday row
  EXPECT_EQ(GridObject().hoverIndex(), -1);
  EXPECT_EQ(host_.events.size(), 2u);

  MoveMouse(CellPoint(25));
  // The system notices a pointer that left a window by polling it.
  host_.ParkPointer();
  EXPECT_TRUE(host_.PumpUntil([&] { return GridObject().hoverIndex() == -1; }, 3000));
  EXPECT_EQ(GridObject().hoverText(), "");

  host_.events.clear();
  RightClick(CellPoint(25));
  EXPECT_EQ(host_.EventNames(), Names{"DateRightClicked(2010,11,19,0)"});
  RightClick(CellPoint(0));
  host_.Pump();
  EXPECT_EQ(host_.EventNames(), Names{"DateRightClicked(2010,11,19,0)"});
  EXPECT_EQ(SelectedDate(), At(2010, 12, 19, 23, 59, 59));  // right clicks select nothing
}

TEST_F(ControlTest, LeapMonthDaysReportTheLeapFlag) {
  CreateControl(StoredRecord(2, At(2012, 5, 25), 0, "", 1));  // lunar 闰四月初五
  // The leap fourth month starts on Monday 2012-05-21: cell 0.
  MoveMouse(CellPoint(0));
  RightClick(CellPoint(1));
  EXPECT_EQ(host_.EventNames(), (Names{"DateHovered(2012,4,1,1)", "DateRightClicked(2012,4,2,1)"}));
}

TEST_F(ControlTest, DaysOutsideTheLunarSpanRaiseNoLunarEvents) {
  CreateControl(StoredRecord(2, At(1901, 2, 19), 1, "", 1));
  // Gregorian February 1901: the 1st (a Friday) is cell 4, the 10th cell 13,
  // neither has a lunar date.
  MoveMouse(CellPoint(13));
  EXPECT_EQ(GridObject().hoverIndex(), 13);
  RightClick(CellPoint(13));
  EXPECT_TRUE(host_.events.empty());
  LeftClick(CellPoint(13));  // refused; DateClicked is posted all the same
  host_.Pump();
  EXPECT_EQ(host_.EventNames(), Names{"DateClicked"});
  EXPECT_EQ(SelectedDate(), At(1901, 2, 19, 23, 59, 59));
}

// ---- Selectors -------------------------------------------------------------------

TEST_F(ControlTest, SelectorsChangeTheMonthWithoutReporting) {
  CreateControl(MainWindowRecord());
  ASSERT_EQ(host_.SetDate(kUnit, 2011, 1, 31), 1);
  host_.Pump();
  host_.events.clear();
  const std::wstring windowText = WindowText(Control());

  Choose(MonthSelector(), 1020, 1);  // 二月
  host_.Pump();
  EXPECT_TRUE(host_.events.empty());
  EXPECT_EQ(SelectedDate(), At(2011, 2, 28, 23, 59, 59));
  EXPECT_GBK_EQ(DateText(), "庚寅年(虎)腊月廿八 2011-1-31");
  EXPECT_EQ(WindowText(Control()), windowText);
  EXPECT_EQ(calendar_->model().selection().marked(), DateRec(2011, 1, 31));

  Choose(YearSelector(), 1019, 2012 - 1902);
  host_.Pump();
  EXPECT_EQ(SelectedDate(), At(2012, 2, 28, 23, 59, 59));
  EXPECT_EQ(ComboSelection(MonthSelector()), 1);
  EXPECT_TRUE(host_.events.empty());
}

TEST_F(ControlTest, LunarSelectorsListTheLeapMonth) {
  CreateControl(StoredRecord(2, At(2009, 7, 2), 0, "", 1));  // lunar 2009 闰五月初十
  EXPECT_EQ(ComboCount(MonthSelector()), 13);
  EXPECT_GBK_EQ(ComboText(MonthSelector(), 5), "闰五月");
  EXPECT_GBK_EQ(ComboText(MonthSelector(), 6), "六月");
  EXPECT_EQ(ComboSelection(MonthSelector()), 5);
  EXPECT_GBK_EQ(ComboText(YearSelector(), ComboSelection(YearSelector())), "己丑(牛)-2009");

  Choose(MonthSelector(), 1020, 4);  // 五月
  EXPECT_EQ(calendar_->model().selection().lunarSelection(), DateRec(2009, 5, 10));
  Choose(YearSelector(), 1019, 2010 - 1902);
  EXPECT_EQ(ComboCount(MonthSelector()), 12);
  EXPECT_EQ(ComboSelection(MonthSelector()), 4);
  EXPECT_EQ(calendar_->model().selection().lunarSelection(), DateRec(2010, 5, 10));
  host_.Pump();
  EXPECT_TRUE(host_.events.empty());
}

TEST_F(ControlTest, EnterAndEscapeInASelectorDoNothing) {
  CreateControl(MainWindowRecord());
  for (HWND selector : {YearSelector(), MonthSelector()}) {
    SetFocus(selector);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
      PostMessageW(selector, WM_KEYDOWN, key, 1);
      PostMessageW(selector, WM_CHAR, key, 1);
      PostMessageW(selector, WM_KEYUP, key, 0xC0000001);
      // A host loop that gives the panel its dialog-key processing.
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageW(Panel(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }
  host_.Pump();
  ASSERT_TRUE(IsWindow(Panel()));
  EXPECT_TRUE(IsWindowVisible(Panel()));
  EXPECT_TRUE(IsWindowVisible(Grid()));
  EXPECT_TRUE(host_.events.empty());
  EXPECT_EQ(SelectedDate(), At(2010, 12, 19, 23, 59, 59));
}

// ---- Properties and entry points -----------------------------------------------

TEST_F(ControlTest, PropertiesThroughTheEntryPoints) {
  CreateControl(MainWindowRecord());
  EXPECT_EQ(host_.StoredData(kUnit), MainWindowRecord());

  control::PropertyValue value{};
  value.dateTime = At(2012, 5, 21, 9, 15);
  host_.Write(kUnit, control::month_calendar::kSelectedDate, value);
  host_.Pump();
  EXPECT_EQ(host_.EventNames(), Names{"DateChanged"});
  ASSERT_TRUE(host_.Read(kUnit, control::month_calendar::kLunarMonthText, value));
  EXPECT_GBK_EQ(std::string(value.text), "闰四月");
  ASSERT_TRUE(host_.Read(kUnit, control::month_calendar::kIsLeapMonth, value));
  EXPECT_EQ(value.boolean, TRUE);

  value.boolean = FALSE;
  host_.Write(kUnit, control::month_calendar::kIsLeapMonth, value);
  EXPECT_EQ(SelectedDate(), At(2012, 4, 21, 23, 59, 59));
  value.integer = 13;
  host_.Write(kUnit, control::month_calendar::kLunarMonth, value);
  EXPECT_EQ(SelectedDate(), At(2012, 4, 21, 23, 59, 59));

  value.text = "%M%D";
  host_.Write(kUnit, control::month_calendar::kDateFormat, value);
  value.integer = 0;
  host_.Write(kUnit, control::month_calendar::kCalendarMode, value);
  EXPECT_GBK_EQ(ComboText(YearSelector(), 0), "壬寅(虎)-1902");

  // Stored: the date of the lunar writes at midnight, mode 0, the format.
  EXPECT_EQ(host_.StoredData(kUnit), StoredRecord(2, At(2012, 4, 21), 0, "%M%D", 1));

  value.integer = 12345;
  EXPECT_TRUE(host_.Read(kUnit, 22, value));  // hidden: answered, value untouched
  EXPECT_EQ(value.integer, 12345);
  const auto get = reinterpret_cast<control::GetPropertyFunction>(MonthCalendarEntryPoints(control::kEntryGetProperty));
  EXPECT_FALSE(get(nullptr, 0, &value));
  EXPECT_FALSE(get(&value, 0, &value));  // not a control
  const auto query = reinterpret_cast<control::PropertyUpdateQueryFunction>(MonthCalendarEntryPoints(2));
  const auto dialog = reinterpret_cast<control::CustomPropertyDialogFunction>(MonthCalendarEntryPoints(3));
  EXPECT_TRUE(query(object_, 0));
  EXPECT_FALSE(dialog(object_, 0, nullptr));
  for (int number : {0, 7, 8, 9, 10, 11, 12}) EXPECT_EQ(MonthCalendarEntryPoints(number), nullptr) << number;
  EXPECT_EQ(MonthCalendarLibraryNotify(2, 0, 0), -1);
}

TEST_F(ControlTest, DestroyingTheWindowTellsTheHostAndDeletesTheControl) {
  CreateControl(MainWindowRecord());
  DestroyWindow(Control());
  EXPECT_EQ(host_.destroyedUnits, std::vector<std::uint32_t>{kUnit});
  EXPECT_EQ(CnMonthCalendar::FromObject(object_), nullptr);
  EXPECT_EQ(host_.SetDate(kUnit, 2011, 3, 5), 0);
  // A host that hands back the stale object is not believed either.
  host_.units[kUnit] = object_;
  EXPECT_EQ(host_.SetDate(kUnit, 2011, 3, 5), 0);
  control::PropertyValue value{};
  EXPECT_FALSE(host_.Read(kUnit, control::month_calendar::kSelectedDate, value));
  host_.units.clear();
}

}  // namespace
}  // namespace calendar::testing
