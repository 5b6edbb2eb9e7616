#include "calendar_control/control_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "lunar/date_text.h"
#include "lunar/lunar_calendar.h"
#include "lunar/solar_terms.h"

namespace calendar {
namespace {

constexpr const char* kGregorianMonthNames[12] = {"一月", "二月", "三月", "四月", "五月", "六月",
                                                  "七月", "八月", "九月", "十月", "十一月", "十二月"};

bool IsListedYear(int year) { return year >= kFirstListedYear && year <= kLastListedYear; }

runtime::DateTime DayAt(const lunar::DateRec& day, int hour, int minute, int second) {
  return runtime::DateTimeFromParts(day.year, day.month, day.day, hour, minute, second).value_or(0);
}

}  // namespace

PropertyType PropertyTypeOf(int hostIndex) {
  switch (hostIndex) {
    case 8:
      return PropertyType::kDateTime;
    case 9: case 10: case 11: case 13: case 19: case 20: case 21:
      return PropertyType::kInteger;
    case 12: case 29:
      return PropertyType::kBoolean;
    case 14: case 15: case 16: case 17: case 18: case 25: case 26:
      return PropertyType::kText;
    default:
      return PropertyType::kHidden;
  }
}

MonthCalendarModel::MonthCalendarModel(runtime::DateTime now) : selection_(now) { props_.Reset(now); }

void MonthCalendarModel::Notify(void (ModelObserver::*event)()) {
  if (observer_ != nullptr) (observer_->*event)();
}

int MonthCalendarModel::Selected(SelectOutcome outcome, bool notify) {
  switch (outcome) {
    case SelectOutcome::kRefused:
      return 0;
    case SelectOutcome::kUnchanged:
      return 1;
    case SelectOutcome::kSelected:
      if (observer_ != nullptr) observer_->SelectionChanged(notify);
      return 1;
  }
  return 0;
}

int MonthCalendarModel::SelectDay(int year, int month, int day, bool notify) {
  return Selected(selection_.SelectDay(year, month, day, notify), notify);
}

int MonthCalendarModel::SelectLunarDate(int lunarYear, int month, int day, bool leap, bool notify) {
  return Selected(selection_.SelectLunarDate(lunarYear, month, day, leap, notify), notify);
}

void MonthCalendarModel::PanelCreated() {
  RenderHeaderText();
  selection_.MarkSelection();
}

void MonthCalendarModel::ApplyMode(std::int32_t mode) {
  selection_.SetGregorianMode(mode == 1);
  Notify(&ModelObserver::ModeChanged);
  FillYearSelector();
  SyncSelectors();
}

void MonthCalendarModel::SetHeaderFlag(std::int32_t flag) {
  if (flag == headerFlag_) return;
  headerFlag_ = flag;
  Notify(&ModelObserver::HeaderVisibilityChanged);
}

void MonthCalendarModel::SetFormat(std::string_view format) {
  props_.format = std::string(format);
  formatCopy_ = props_.format;
  RerenderHeaderText();
}

void MonthCalendarModel::ReportSelection() {
  SyncSelectors();
  RerenderHeaderText();
  props_.dateText = headerText_;
  selection_.MarkSelection();
}

void MonthCalendarModel::RenderHeaderText() {
  const lunar::DateRec& day = selection_.selection();
  headerText_ = lunar::FormatDate(day.year, day.month, day.day,
                                  formatCopy_.empty() ? std::string_view(lunar::kDefaultDateTemplate)
                                                      : std::string_view(formatCopy_));
}

void MonthCalendarModel::RerenderHeaderText() {
  RenderHeaderText();
  Notify(&ModelObserver::HeaderTextChanged);
}

// ---- Selectors ---------------------------------------------------------------

int MonthCalendarModel::SelectorYear() const {
  return selection_.gregorianMode() ? selection_.selection().year : selection_.lunarSelection().year;
}

void MonthCalendarModel::FillYearSelector() {
  selectors_.created = true;
  selectors_.years.clear();
  for (int year = kFirstListedYear; year <= kLastListedYear; ++year) {
    if (selection_.gregorianMode()) {
      char text[32];
      std::snprintf(text, sizeof text, "公历 %d 年", year);
      selectors_.years.emplace_back(text);
    } else {
      selectors_.years.push_back(lunar::FormatDate(static_cast<std::uint16_t>(year), 5, 1, "%Y(%S)-%y"));
    }
  }
  ++selectors_.yearListRevision;
  const int year = SelectorYear();
  selectors_.yearEntry = IsListedYear(year) ? year - kFirstListedYear : -1;
  FillMonthSelector(year, true);
  Notify(&ModelObserver::SelectorsChanged);
}

void MonthCalendarModel::FillMonthSelector(int year, bool refill) {
  if (!IsListedYear(year)) return;
  if (selection_.gregorianMode()) {
    if (refill) {
      selectors_.months.assign(std::begin(kGregorianMonthNames), std::end(kGregorianMonthNames));
      ++selectors_.monthListRevision;
    }
    selectors_.monthEntry = selection_.selection().month - 1;
    Notify(&ModelObserver::SelectorsChanged);
    return;
  }
  const int previous = selectors_.monthEntry;
  const int leapMonth = lunar::GetLeapMonth(static_cast<std::uint16_t>(year));  // 0..12 for a listed year
  selectors_.monthListLeapMonth = leapMonth;
  if (refill) {
    selectors_.months.clear();
    for (int month = 1; month <= 12; ++month) selectors_.months.push_back(lunar::GetLunarMonthName(month, false));
    if (leapMonth != 0) {
      selectors_.months.insert(selectors_.months.begin() + leapMonth, lunar::GetLunarMonthName(leapMonth, true));
    }
    ++selectors_.monthListRevision;
  }
  const lunar::DateRec& lunarDay = selection_.lunarSelection();
  if (previous == -1) {
    const bool afterLeap =
        leapMonth != 0 && (lunarDay.month > leapMonth || (lunarDay.month == leapMonth && lunarDay.leap != 0));
    selectors_.monthEntry = lunarDay.month - 1 + (afterLeap ? 1 : 0);
  } else if (previous < static_cast<int>(selectors_.months.size())) {
    selectors_.monthEntry = previous;
  } else {
    selectors_.monthEntry = 0;
  }
  Notify(&ModelObserver::SelectorsChanged);
}

void MonthCalendarModel::SyncSelectors() {
  const int year = SelectorYear();
  selectors_.yearEntry = IsListedYear(year) ? year - kFirstListedYear : -1;
  selectors_.monthEntry = -1;
  FillMonthSelector(year, true);
  Notify(&ModelObserver::SelectorsChanged);
}

void MonthCalendarModel::YearSelectorChanged(int entry) {
  selectors_.yearEntry = entry;
  FillMonthSelector(entry + kFirstListedYear, true);
  ApplySelectors();
}

void MonthCalendarModel::MonthSelectorChanged(int entry) {
  selectors_.monthEntry = entry;
  ApplySelectors();
}

void MonthCalendarModel::ApplySelectors() {
  const int yearEntry = selectors_.yearEntry;
  const int monthEntry = selectors_.monthEntry;
  if (yearEntry < 0 || monthEntry < 0) return;
  const int year = yearEntry + kFirstListedYear;
  if (selection_.gregorianMode()) {
    const int month = monthEntry + 1;
    const int day = std::min<int>(selection_.selection().day, lunar::GetMonthDays(static_cast<std::uint16_t>(year),
                                                                                static_cast<std::uint16_t>(month)));
    SelectDay(year, month, day, false);
    return;
  }
  int month = monthEntry + 1;
  bool leap = false;
  const int leapMonth = selectors_.monthListLeapMonth;
  if (leapMonth != 0) {
    leap = monthEntry == leapMonth;
    if (monthEntry >= leapMonth) month = monthEntry;
  }
  int day = selection_.lunarSelection().day;
  if (day > lunar::GetLunarMonthDays(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month), leap)) {
    --day;
  }
  SelectLunarDate(year, month, day, leap, false);
}

// ---- Properties --------------------------------------------------------------

bool MonthCalendarModel::ReadProperty(int hostIndex, PropertyData& value) {
  const lunar::DateRec& day = selection_.selection();
  const lunar::DateRec& lunarDay = selection_.lunarSelection();
  const auto text = [&](int cache, std::string computed) {
    std::string& kept = props_.textCaches[static_cast<std::size_t>(cache)];
    kept = std::move(computed);
    value.text = kept;
    return true;
  };
  switch (hostIndex) {
    case 8:
      value.dateTime = DayAt(day, 23, 59, 59);
      return true;
    case 9:
      value.integer = lunarDay.year;
      return true;
    case 10:
      value.integer = lunarDay.month;
      return true;
    case 11:
      value.integer = lunarDay.day;
      return true;
    case 12:
      value.integer = lunarDay.leap != 0 ? 1 : 0;
      return true;
    case 13:
      value.integer = props_.mode;
      return true;
    case 14:
      return text(0, lunar::FormatDate(day.year, day.month, day.day, "%Y"));
    case 15:
      return text(1, lunar::GetLunarMonthName(lunarDay.month, lunarDay.leap != 0));
    case 16:
      return text(2, lunar::GetLunarDayName(lunarDay.day));
    case 17:
      return text(3, lunar::FormatDate(day.year, day.month, day.day, "%S"));
    case 18: {
      const int term = lunar::GetSolarTermOfDay(day.year, day.month, day.day);
      return text(4, term != 0 ? lunar::GetSolarTermName(term) : std::string());
    }
    case 19:
      value.integer = lunar::GetWeekday(day.year, day.month, day.day);
      return true;
    case 20:
      value.integer = lunar::GetLunarMonthDays(lunarDay.year, lunarDay.month, lunarDay.leap != 0);
      return true;
    case 21:
      value.integer = lunar::GetLunarYearDays(lunarDay.year);
      return true;
    case 25:
      value.text = props_.format;
      return true;
    case 26:
      value.text = props_.dateText;
      return true;
    case 29:
      value.integer = props_.showHeader;
      return true;
    default:
      return false;
  }
}

void MonthCalendarModel::WriteLunarField(int hostIndex, std::int32_t value) {
  const lunar::DateRec& lunarDay = selection_.lunarSelection();
  int year = lunarDay.year, month = lunarDay.month, day = lunarDay.day;
  bool leap = lunarDay.leap != 0;
  switch (hostIndex) {
    case 9: year = value; break;
    case 10: month = value; break;
    case 11: day = value; break;
    default: leap = value == 1; break;
  }
  SelectLunarDate(year, month, day, leap, true);
  // Refused or not, the stored date becomes the selected day at midnight.
  props_.storedDate = DayAt(selection_.selection(), 0, 0, 0);
}

void MonthCalendarModel::WriteProperty(int hostIndex, const PropertyData& value) {
  switch (hostIndex) {
    case 8: {
      if (!std::isfinite(value.dateTime)) return;
      const runtime::DateTimeParts p = runtime::SplitDateTime(value.dateTime);
      if (p.year < 1901 || p.year > 2049) return;
      SelectDay(p.year, p.month, p.day, true);
      // Kept even when the day was refused (before 1901-02-19, or in 2049).
      props_.storedDate = value.dateTime;
      return;
    }
    case 9: case 10: case 11: case 12:
      WriteLunarField(hostIndex, value.integer);
      return;
    case 13:
      props_.mode = value.integer;
      ApplyMode(value.integer);
      return;
    case 25:
      SetFormat(value.text);
      return;
    case 29:
      props_.showHeader = value.integer;
      SetHeaderFlag(value.integer);
      return;
    default:
      return;
  }
}

}  // namespace calendar
