// The month the calendar shows: 42 days in six Monday-first weeks around the
// selected day's Gregorian or lunar month, with lunar dates, solar terms and
// the footer's term line. Rebuilt on every change of the selection; painting
// and hit testing only read it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "lunar/gregorian.h"

namespace calendar {

struct DayCell {
  lunar::DateRec date;        // Gregorian, leap 0
  lunar::DateRec lunar;       // cleared when the day is outside the lunar span
  std::uint16_t term = 0;     // solar term 1..24 falling on the day, 0 for none
};

inline constexpr int kCellCount = 42;

struct MonthModel {
  std::array<DayCell, kCellCount> cells{};
  // The shown month's terms: "初二大雪  十七冬至".
  std::string termLine;
  bool gregorianMode = false;
  // The selection the model was built from.
  lunar::DateRec selection;
  lunar::DateRec lunarSelection;

  // True when the cell belongs to the shown month: the Gregorian month, or the
  // lunar month with the same leap flag.
  bool InMonth(int index) const;
};

// Builds the model of the selected day (Gregorian) and its lunar date. In
// lunar mode the shown month is the lunar selection's month.
MonthModel BuildMonthModel(const lunar::DateRec& selection, const lunar::DateRec& lunarSelection,
                           bool gregorianMode);

// The texts a cell shows. The day number: "12.1" on the first of a month,
// else the day alone. The lunar text: the lunar month's name on its first
// day (冬月, 闰五月), else the lunar day's name; empty for a day outside the
// lunar span.
std::string CellNumberLabel(const DayCell& cell);
std::string CellLunarLabel(const DayCell& cell);

}  // namespace calendar
