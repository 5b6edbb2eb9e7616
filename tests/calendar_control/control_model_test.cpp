#include "calendar_control/control_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/date_time.h"
#include "tests/support/gbk_expect.h"

namespace calendar {
namespace {

using lunar::DateRec;

runtime::DateTime At(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
  return *runtime::DateTimeFromParts(y, m, d, hh, mm, ss);
}

// Records what the view would be asked to do.
class RecordingObserver : public ModelObserver {
 public:
  std::vector<std::string> calls;
  void SelectionChanged(bool notify) override { calls.push_back(notify ? "selected+report" : "selected"); }
  void ModeChanged() override { calls.push_back("mode"); }
  void SelectorsChanged() override {}
  void HeaderTextChanged() override { calls.push_back("header"); }
  void HeaderVisibilityChanged() override { calls.push_back("header-visibility"); }
};

// A control as create leaves it: selection, mode, header and format
// applied, the selection reported once.
struct Control {
  explicit Control(int y, int m, int d, int mode) : model(At(2011, 1, 1, 12)) {
    model.SetObserver(&observer);
    model.PanelCreated();
    model.SelectDay(y, m, d, true);
    model.props().mode = mode;
    model.ApplyMode(mode);
    model.ReportSelection();
    observer.calls.clear();
  }
  std::string MonthEntry() const {
    const SelectorModel& s = model.selectors();
    return s.monthEntry < 0 ? "" : s.months[static_cast<std::size_t>(s.monthEntry)];
  }
  MonthCalendarModel model;
  RecordingObserver observer;
};

TEST(Selectors, YearListBothModes) {
  Control gregorian(2010, 12, 19, 1);
  const SelectorModel& g = gregorian.model.selectors();
  ASSERT_EQ(g.years.size(), 146u);
  EXPECT_GBK_EQ(g.years.front(), "公历 1902 年");
  EXPECT_GBK_EQ(g.years.back(), "公历 2047 年");
  EXPECT_EQ(g.yearEntry, 2010 - 1902);
  ASSERT_EQ(g.months.size(), 12u);
  EXPECT_GBK_EQ(g.months[10], "十一月");
  EXPECT_EQ(g.monthEntry, 11);

  Control lunarMode(2010, 12, 19, 0);
  const SelectorModel& l = lunarMode.model.selectors();
  ASSERT_EQ(l.years.size(), 146u);
  EXPECT_GBK_EQ(l.years.front(), "壬寅(虎)-1902");
  EXPECT_GBK_EQ(l.years[2011 - 1902], "辛卯(兔)-2011");
  EXPECT_EQ(l.yearEntry, 2010 - 1902);
  EXPECT_GBK_EQ(l.months[l.monthEntry], "冬月");
}

TEST(Selectors, LeapMonthIsListedAfterItsMonth) {
  Control control(2009, 7, 2, 0);  // lunar 2009 闰五月初十
  const SelectorModel& s = control.model.selectors();
  std::string months;
  for (const std::string& m : s.months) months += m + " ";
  EXPECT_GBK_EQ(months, "正月 二月 三月 四月 五月 闰五月 六月 七月 八月 九月 十月 冬月 腊月 ");
  EXPECT_EQ(s.monthListLeapMonth, 5);
  EXPECT_GBK_EQ(control.MonthEntry(), "闰五月");

  // The fifth entry is the normal fifth month, the sixth the leap one, the
  // seventh the sixth month.
  struct Case {
    int entry;
    DateRec lunarDay;
  } const cases[] = {{4, {2009, 5, 10, 0}}, {5, {2009, 5, 10, 1}}, {6, {2009, 6, 10, 0}}, {12, {2009, 12, 10, 0}}};
  for (const Case& c : cases) {
    control.model.MonthSelectorChanged(c.entry);
    EXPECT_EQ(control.model.selection().lunarSelection(), c.lunarDay) << c.entry;
  }
}

TEST(Selectors, GregorianMonthChangeClampsTheDay) {
  struct Case {
    DateRec from;
    int monthEntry;
    DateRec to;
  } const cases[] = {
      {{2011, 1, 31}, 1, {2011, 2, 28}},
      {{2011, 3, 31}, 3, {2011, 4, 30}},
      {{2012, 1, 30}, 1, {2012, 2, 29}},
      {{2011, 3, 15}, 6, {2011, 7, 15}},
  };
  for (const Case& c : cases) {
    Control control(c.from.year, c.from.month, c.from.day, 1);
    control.model.MonthSelectorChanged(c.monthEntry);
    EXPECT_EQ(control.model.selection().selection(), c.to);
    // Not reported: the marked day and the header text stay.
    EXPECT_EQ(control.observer.calls, std::vector<std::string>{"selected"});
    EXPECT_EQ(control.model.selection().marked(), c.from);
  }
}

TEST(Selectors, GregorianYearChangeKeepsMonthAndClampsFebruary) {
  Control control(2012, 2, 29, 1);
  control.model.YearSelectorChanged(2013 - 1902);
  EXPECT_EQ(control.model.selection().selection(), DateRec(2013, 2, 28));
  EXPECT_EQ(control.model.selectors().monthEntry, 1);
}

TEST(Selectors, LunarYearChangeKeepsThePositionInTheList) {
  // Lunar 2009 六月十五 is the seventh entry of 2009's list; 2010 has no leap
  // month, so the seventh entry there is 七月.
  Control control(2009, 8, 5, 0);
  ASSERT_EQ(control.model.selection().lunarSelection(), DateRec(2009, 6, 15));
  EXPECT_EQ(control.model.selectors().monthEntry, 6);
  control.model.YearSelectorChanged(2010 - 1902);
  EXPECT_EQ(control.model.selection().lunarSelection(), DateRec(2010, 7, 15));
  EXPECT_GBK_EQ(control.MonthEntry(), "七月");
  // Back to 2009: entry 6 is 六月 again.
  control.model.YearSelectorChanged(2009 - 1902);
  EXPECT_EQ(control.model.selection().lunarSelection(), DateRec(2009, 6, 15));
}

TEST(Selectors, LunarDayBeyondTheMonthLosesOneDay) {
  // 腊月三十 of lunar 2010; 腊月 of 2011 has 29 days.
  Control control(2011, 2, 2, 0);
  ASSERT_EQ(control.model.selection().lunarSelection(), DateRec(2010, 12, 30));
  control.model.YearSelectorChanged(2011 - 1902);
  EXPECT_EQ(control.model.selection().lunarSelection(), DateRec(2011, 12, 29));
  // In 2009's list (leap fifth month) the same position is 冬月, which has
  // 30 days: the day stays.
  control.model.YearSelectorChanged(2009 - 1902);
  EXPECT_EQ(control.model.selection().lunarSelection(), DateRec(2009, 11, 29));
  // The last entry of a 13-entry list does not exist in a 12-entry one:
  // the list starts over at 正月.
  control.model.MonthSelectorChanged(12);
  EXPECT_EQ(control.model.selection().lunarSelection(), DateRec(2009, 12, 29));
  control.model.YearSelectorChanged(2010 - 1902);
  EXPECT_EQ(control.model.selectors().monthEntry, 0);
  EXPECT_EQ(control.model.selection().lunarSelection(), DateRec(2010, 1, 29));
}

TEST(Selectors, YearsOutsideTheListLeaveNoSelection) {
  Control control(1901, 3, 1, 1);
  EXPECT_EQ(control.model.selectors().yearEntry, -1);
  EXPECT_EQ(control.model.selectors().monthEntry, -1);
  control.model.MonthSelectorChanged(5);  // nothing until a year is chosen
  EXPECT_EQ(control.model.selection().selection(), DateRec(1901, 3, 1));
  EXPECT_TRUE(control.observer.calls.empty());
  control.model.YearSelectorChanged(1950 - 1902);
  EXPECT_EQ(control.model.selection().selection(), DateRec(1950, 3, 1));

  // In lunar mode the year is the lunar one: 2048-12-31 is lunar 2048.
  Control lunarMode(2048, 12, 31, 0);
  EXPECT_EQ(lunarMode.model.selectors().yearEntry, -1);
  EXPECT_EQ(lunarMode.model.selectors().monthEntry, -1);
}

TEST(Selectors, ReportSynchronisesAndMarks) {
  Control control(2011, 3, 5, 1);
  control.model.SelectDay(2015, 7, 9, true);
  EXPECT_EQ(control.model.selectors().yearEntry, 2011 - 1902);  // not yet reported
  control.model.ReportSelection();
  EXPECT_EQ(control.model.selectors().yearEntry, 2015 - 1902);
  EXPECT_EQ(control.model.selectors().monthEntry, 6);
  EXPECT_EQ(control.model.selection().marked(), DateRec(2015, 7, 9));
  EXPECT_GBK_EQ(control.model.props().dateText, "乙未年(羊)五月廿四 2015-7-9");
  EXPECT_EQ(control.model.headerText(), control.model.props().dateText);
}

// ---- Properties ----------------------------------------------------------------

PropertyData Integer(std::int32_t v) {
  PropertyData d;
  d.integer = v;
  return d;
}
PropertyData Date(runtime::DateTime v) {
  PropertyData d;
  d.dateTime = v;
  return d;
}

TEST(Properties, TypesOfTheTable) {
  EXPECT_EQ(PropertyTypeOf(8), PropertyType::kDateTime);
  for (int i : {9, 10, 11, 13, 19, 20, 21}) EXPECT_EQ(PropertyTypeOf(i), PropertyType::kInteger) << i;
  for (int i : {12, 29}) EXPECT_EQ(PropertyTypeOf(i), PropertyType::kBoolean) << i;
  for (int i : {14, 15, 16, 17, 18, 25, 26}) EXPECT_EQ(PropertyTypeOf(i), PropertyType::kText) << i;
  for (int i : {-1, 0, 7, 22, 23, 24, 27, 28, 30, 1000}) EXPECT_EQ(PropertyTypeOf(i), PropertyType::kHidden) << i;
}

TEST(Properties, ReadsOfTheSelection) {
  Control control(2012, 5, 21, 0);  // 壬辰年(龙)闰四月初一, the day after 小满
  MonthCalendarModel& m = control.model;
  PropertyData v;
  ASSERT_TRUE(m.ReadProperty(8, v));
  EXPECT_EQ(v.dateTime, At(2012, 5, 21, 23, 59, 59));
  struct IntCase {
    int index;
    std::int32_t value;
  } const ints[] = {{9, 2012}, {10, 4}, {11, 1}, {12, 1}, {13, 0}, {19, 1}, {20, 29}, {21, 384}, {29, 1}};
  for (const IntCase& c : ints) {
    ASSERT_TRUE(m.ReadProperty(c.index, v)) << c.index;
    EXPECT_EQ(v.integer, c.value) << c.index;
  }
  struct TextCase {
    int index;
    const char* text;
  } const texts[] = {{14, "壬辰"}, {15, "闰四月"}, {16, "初一"}, {17, "龙"}, {18, ""}, {25, ""},
                     {26, "壬辰年(龙)闰四月初一 2012-5-21"}};
  for (const TextCase& c : texts) {
    ASSERT_TRUE(m.ReadProperty(c.index, v)) << c.index;
    EXPECT_GBK_EQ(std::string(v.text), c.text) << c.index;
  }
  // Reads recompute from the selection at once.
  m.SelectDay(2012, 5, 20, false);
  ASSERT_TRUE(m.ReadProperty(18, v));
  EXPECT_GBK_EQ(std::string(v.text), "小满");
  ASSERT_TRUE(m.ReadProperty(15, v));
  EXPECT_GBK_EQ(std::string(v.text), "四月");
  for (int hidden : {22, 23, 24, 27, 28, 31}) EXPECT_FALSE(m.ReadProperty(hidden, v)) << hidden;
}

TEST(Properties, SelectedDateWrites) {
  struct Case {
    const char* what;
    runtime::DateTime value;
    DateRec selection;
    bool reported;
    runtime::DateTime storedDate;  // -1: unchanged
  } const cases[] = {
      {"a day with its time", At(2011, 3, 5, 8, 30), {2011, 3, 5}, true, At(2011, 3, 5, 8, 30)},
      {"before 1901 is ignored entirely", At(1900, 5, 1), {2010, 12, 19}, false, -1},
      {"1901 before the span is refused but stored", At(1901, 1, 10), {2010, 12, 19}, false, At(1901, 1, 10)},
      {"2049 is refused but stored", At(2049, 6, 1), {2010, 12, 19}, false, At(2049, 6, 1)},
      {"2050 is ignored", At(2050, 1, 1), {2010, 12, 19}, false, -1},
  };
  for (const Case& c : cases) {
    Control control(2010, 12, 19, 1);
    const runtime::DateTime before = control.model.props().storedDate;
    control.model.WriteProperty(8, Date(c.value));
    EXPECT_EQ(control.model.selection().selection(), c.selection) << c.what;
    EXPECT_EQ(control.observer.calls.size(), c.reported ? 1u : 0u) << c.what;
    EXPECT_EQ(control.model.props().storedDate, c.storedDate < 0 ? before : c.storedDate) << c.what;
  }
  // Reading back after SetDate-like selection: the day at 23:59:59.
  Control control(2010, 12, 19, 1);
  control.model.SelectDay(2011, 3, 5, true);
  PropertyData v;
  control.model.ReadProperty(8, v);
  EXPECT_EQ(v.dateTime, At(2011, 3, 5, 23, 59, 59));
}

TEST(Properties, LunarFieldWrites) {
  struct Case {
    const char* what;
    int index;
    std::int32_t value;
    DateRec lunarDay;
    bool reported;
  } const cases[] = {
      {"year", 9, 2011, {2011, 11, 14}, true},
      {"month", 10, 4, {2010, 4, 14}, true},
      {"month 13 is refused", 10, 13, {2010, 11, 14}, false},
      {"day", 11, 29, {2010, 11, 29}, true},
      {"day 30 of a 29-day month is refused", 11, 30, {2010, 11, 14}, false},
      {"leap flag on a month without leap month: the same day again", 12, 1, {2010, 11, 14}, true},
      {"year 2050 is refused", 9, 2050, {2010, 11, 14}, false},
  };
  for (const Case& c : cases) {
    Control control(2010, 12, 19, 0);  // lunar 2010-11-14
    control.model.props().storedDate = 12345;
    control.model.WriteProperty(c.index, Integer(c.value));
    EXPECT_EQ(control.model.selection().lunarSelection(), c.lunarDay) << c.what;
    EXPECT_EQ(control.observer.calls.size(), c.reported ? 1u : 0u) << c.what;
    // Refused or not, the stored date is the selected day at midnight.
    const DateRec day = control.model.selection().selection();
    EXPECT_EQ(control.model.props().storedDate, At(day.year, day.month, day.day)) << c.what;
  }
  // Into a leap month and out again.
  Control control(2012, 5, 1, 0);  // lunar 2012-04-11
  control.model.WriteProperty(12, Integer(1));
  EXPECT_EQ(control.model.selection().selection(), DateRec(2012, 5, 31));
  control.model.WriteProperty(12, Integer(0));
  EXPECT_EQ(control.model.selection().selection(), DateRec(2012, 5, 1));
}

TEST(Properties, ModeFormatAndHeaderWrites) {
  Control control(2010, 12, 19, 1);
  MonthCalendarModel& m = control.model;
  PropertyData v;

  m.WriteProperty(13, Integer(2));
  m.ReadProperty(13, v);
  EXPECT_EQ(v.integer, 2);
  EXPECT_FALSE(m.selection().gregorianMode());  // 2 behaves as lunar mode
  EXPECT_GBK_EQ(m.selectors().years[0], "壬寅(虎)-1902");
  EXPECT_EQ(m.props().mode, 2);

  PropertyData format;
  format.text = "%y/%m/%d %M%D";
  control.observer.calls.clear();
  m.WriteProperty(25, format);
  EXPECT_EQ(control.observer.calls, std::vector<std::string>{"header"});
  EXPECT_GBK_EQ(m.headerText(), "2010/12/19 冬月十四");
  EXPECT_EQ(m.props().format, "%y/%m/%d %M%D");
  m.ReadProperty(26, v);  // DateText keeps the old text until the next report
  EXPECT_GBK_EQ(std::string(v.text), "庚寅年(虎)冬月十四 2010-12-19");
  m.SelectDay(2010, 12, 20, true);
  m.ReportSelection();
  m.ReadProperty(26, v);
  EXPECT_GBK_EQ(std::string(v.text), "2010/12/20 冬月十五");

  control.observer.calls.clear();
  m.WriteProperty(29, Integer(0));
  EXPECT_FALSE(m.headerVisible());
  m.WriteProperty(29, Integer(0));  // the same flag again changes nothing
  EXPECT_EQ(control.observer.calls, std::vector<std::string>{"header-visibility"});
  m.ReadProperty(29, v);
  EXPECT_EQ(v.integer, 0);
  EXPECT_EQ(m.props().showHeader, 0);

  // Read-only and hidden indices ignore writes.
  const std::vector<std::uint8_t> before = m.props().Store();
  for (int index : {14, 19, 21, 22, 26, 27, 30}) m.WriteProperty(index, Integer(5));
  EXPECT_EQ(m.props().Store(), before);
}

}  // namespace
}  // namespace calendar
