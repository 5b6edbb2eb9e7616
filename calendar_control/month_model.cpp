#include "calendar_control/month_model.h"

#include "lunar/date_text.h"
#include "lunar/lunar_calendar.h"
#include "lunar/solar_terms.h"

namespace calendar {

bool MonthModel::InMonth(int index) const {
  if (index < 0 || index >= kCellCount) return false;
  const DayCell& cell = cells[static_cast<std::size_t>(index)];
  if (gregorianMode) return cell.date.month == selection.month;
  return cell.lunar.month == lunarSelection.month && cell.lunar.leap == lunarSelection.leap;
}

MonthModel BuildMonthModel(const lunar::DateRec& selection, const lunar::DateRec& lunarSelection,
                           bool gregorianMode) {
  MonthModel model;
  model.gregorianMode = gregorianMode;
  model.selection = selection;
  model.lunarSelection = lunarSelection;

  lunar::DateRec first(selection.year, selection.month, 1);
  if (!gregorianMode) {
    lunar::DateRec found;
    if (lunar::LunarToGregorian(lunarSelection.year, lunarSelection.month, 1, lunarSelection.leap != 0, found)) {
      first = found;
    }
  }
  // Back to the Monday on or before the first day.
  lunar::AddDays(first.year, first.month, first.day, 1 - lunar::GetWeekday(first.year, first.month, first.day));

  lunar::DateRec day = first;
  for (int index = 0; index < kCellCount; ++index) {
    if (index > 0) lunar::AddDays(day.year, day.month, day.day, 1);
    DayCell& cell = model.cells[static_cast<std::size_t>(index)];
    cell.date = day;
    // Days outside the lunar span keep a cleared lunar date.
    lunar::GregorianToLunar(day.year, day.month, day.day, cell.lunar);
    cell.term = lunar::GetSolarTermOfDay(day.year, day.month, day.day);
  }
  for (int index = 0; index < kCellCount; ++index) {
    const DayCell& cell = model.cells[static_cast<std::size_t>(index)];
    if (cell.term == 0 || !model.InMonth(index)) continue;
    if (!model.termLine.empty()) model.termLine += "  ";
    model.termLine += lunar::GetLunarDayName(cell.lunar.day) + lunar::GetSolarTermName(cell.term);
  }
  return model;
}

std::string CellNumberLabel(const DayCell& cell) {
  if (cell.date.day == 1) return std::to_string(cell.date.month) + ".1";
  return std::to_string(cell.date.day);
}

std::string CellLunarLabel(const DayCell& cell) {
  if (cell.lunar.day == 0) return {};
  if (cell.lunar.day == 1) return lunar::GetLunarMonthName(cell.lunar.month, cell.lunar.leap != 0);
  return lunar::GetLunarDayName(cell.lunar.day);
}

}  // namespace calendar
