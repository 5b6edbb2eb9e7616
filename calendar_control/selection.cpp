#include "calendar_control/selection.h"

#include <cstdint>

#include "lunar/lunar_calendar.h"

namespace calendar {
namespace {

std::uint16_t U16(int value) { return static_cast<std::uint16_t>(value); }

lunar::DateRec ClampToSelectable(const runtime::DateTimeParts& p) {
  const lunar::DateRec day(U16(p.year), U16(p.month), U16(p.day));
  const auto before = [](const lunar::DateRec& a, const lunar::DateRec& b) {
    return lunar::CompareDates(a.year, a.month, a.day, b.year, b.month, b.day) < 0;
  };
  if (p.year < 1 || before(day, kFirstSelectableDay)) return kFirstSelectableDay;
  if (p.year > 9999 || before(kLastSelectableDay, day)) return kLastSelectableDay;
  return day;
}

}  // namespace

CalendarSelection::CalendarSelection(runtime::DateTime now) {
  const lunar::DateRec today = ClampToSelectable(runtime::SplitDateTime(now));
  SelectDay(today.year, today.month, today.day, false);
}

SelectOutcome CalendarSelection::SelectDay(int year, int month, int day, bool notify) {
  const std::uint16_t y = U16(year), m = U16(month), d = U16(day);
  if (m < 1 || m > 12 || y >= 2049 || lunar::CompareDates(y, m, d, 1901, 2, 19) < 0 || d < 1 ||
      d > lunar::GetMonthDays(y, m)) {
    return SelectOutcome::kRefused;
  }
  const lunar::DateRec chosen(y, m, d);
  if (!notify && chosen == selection_) return SelectOutcome::kUnchanged;
  selection_ = chosen;
  lunar::GregorianToLunar(y, m, d, lunarSelection_);  // inside the span: always converts
  month_ = BuildMonthModel(selection_, lunarSelection_, gregorianMode_);
  return SelectOutcome::kSelected;
}

SelectOutcome CalendarSelection::SelectLunarDate(int lunarYear, int month, int day, bool leap, bool notify) {
  const std::uint16_t y = U16(lunarYear), m = U16(month), d = U16(day);
  if (y < 1901 || y > 2049 || m < 1 || m > 12) return SelectOutcome::kRefused;
  if (lunar::GetLeapMonth(y) != m) leap = false;
  if (d < 1 || d > lunar::GetLunarMonthDays(y, m, leap)) return SelectOutcome::kRefused;
  lunar::DateRec gregorian;
  if (!lunar::LunarToGregorian(y, m, d, leap, gregorian)) return SelectOutcome::kRefused;
  return SelectDay(gregorian.year, gregorian.month, gregorian.day, notify);
}

void CalendarSelection::SetGregorianMode(bool on) {
  gregorianMode_ = on;
  month_ = BuildMonthModel(selection_, lunarSelection_, gregorianMode_);
}

}  // namespace calendar
