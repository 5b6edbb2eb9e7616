#include "cli/month_view.h"

#include "lunar/date_text.h"
#include "lunar/festivals.h"

namespace qhcal {
namespace {

// A GBK character is two bytes and two terminal columns wide, so padding can
// count bytes.
constexpr std::size_t kCellWidth = 8;

void PadTo(std::string& line, std::size_t width) {
  if (line.size() < width) line.append(width - line.size(), ' ');
}

// A festival takes the place of the lunar day, as on a wall calendar; the
// first one when two meet. Every festival name fits the cell (three characters).
std::string CellLunarText(const calendar::DayCell& cell) {
  const auto festivals = lunar::GetFestivalsOfDay(cell.date.year, cell.date.month, cell.date.day);
  if (!festivals.empty()) return festivals.front()->name;
  return calendar::CellLunarLabel(cell);  // as the calendar control labels it
}

}  // namespace

std::string RenderMonth(const calendar::MonthModel& model, bool ansi) {
  const lunar::DateRec& sel = model.selection;
  std::string text;
  if (model.gregorianMode) {
    text += std::to_string(sel.year) + "年" + std::to_string(sel.month) + "月";
  } else {
    text += "农历" + std::to_string(model.lunarSelection.year) + "年" +
            lunar::GetLunarMonthName(model.lunarSelection.month, model.lunarSelection.leap != 0);
  }
  text += "    " + lunar::FormatDate(sel.year, sel.month, sel.day, lunar::kDefaultDateTemplate) + "\n";

  std::string header;
  for (int weekday = 1; weekday <= 7; ++weekday) {
    header += " " + lunar::GetWeekdayName(weekday);
    PadTo(header, kCellWidth * static_cast<std::size_t>(weekday));
  }
  while (!header.empty() && header.back() == ' ') header.pop_back();
  text += header + "\n";

  for (int row = 0; row < 6; ++row) {
    std::string days, lunars;
    for (int column = 0; column < 7; ++column) {
      const int index = row * 7 + column;
      const calendar::DayCell& cell = model.cells[static_cast<std::size_t>(index)];
      const bool selected = cell.date == sel;
      const bool outside = !model.InMonth(index);
      std::string number = std::to_string(cell.date.day);
      std::string dayText(4 - number.size(), ' ');
      dayText += number;
      std::string lunarText = " " + CellLunarText(cell);
      if (!ansi) {
        // Without a terminal to highlight in: days outside the shown month
        // stay blank, as in cal, and a * follows the selected day.
        if (outside) {
          dayText.clear();
          lunarText.clear();
        }
        if (selected) dayText += "*";
        PadTo(dayText, kCellWidth);
        PadTo(lunarText, kCellWidth);
        days += dayText;
        lunars += lunarText;
        continue;
      }
      PadTo(dayText, kCellWidth);
      PadTo(lunarText, kCellWidth);
      const char* on = selected ? "\x1b[7m" : outside ? "\x1b[2m" : "";
      const char* off = selected || outside ? "\x1b[0m" : "";
      days += on + dayText + off;
      lunars += on + lunarText + off;
    }
    while (!days.empty() && days.back() == ' ') days.pop_back();
    while (!lunars.empty() && lunars.back() == ' ') lunars.pop_back();
    text += days + "\n" + lunars + "\n";
  }
  if (!model.termLine.empty()) text += model.termLine + "\n";

  // The shown month's festivals: "2月16日除夕  2月17日春节".
  std::string festivalLine;
  for (int index = 0; index < calendar::kCellCount; ++index) {
    if (!model.InMonth(index)) continue;
    const lunar::DateRec& d = model.cells[static_cast<std::size_t>(index)].date;
    for (const lunar::Festival* f : lunar::GetFestivalsOfDay(d.year, d.month, d.day)) {
      if (!festivalLine.empty()) festivalLine += "  ";
      festivalLine += std::to_string(d.month) + "月" + std::to_string(d.day) + "日" + f->name;
    }
  }
  if (!festivalLine.empty()) text += festivalLine + "\n";
  return text;
}

}  // namespace qhcal
