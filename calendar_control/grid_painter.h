// What the calendar draws: the grid's weekday row, day cells and footer, and
// the panel's header bar. Each routine draws through its own CTrackingDC, so
// the device context leaves it in the state it came in.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "calendar_control/grid_geometry.h"
#include "calendar_control/selection.h"

namespace calendar {

// The grid's own colours (0x00BBGGRR).
struct GridColours {
  COLORREF cell = 0xC2FAFF;     // day cell background
  COLORREF line = 0xFF0000;     // lines and cell borders
  COLORREF bar = 0xB56D29;      // weekday row and footer
  COLORREF marked = 0x77EB8F;   // the marked day
  COLORREF hovered = 0xFF0000;  // the day under the mouse
};

// Colours of the drawing code itself.
inline constexpr COLORREF kOutsideCellColour = 0xD6D9D3;
inline constexpr COLORREF kBarTextColour = 0xFFFFFF;      // weekdays, footer, header text
inline constexpr COLORREF kWeekendTextColour = 0xE5FD02;  // 星期六, 星期日
inline constexpr COLORREF kNumberColour = 0x000000;
inline constexpr COLORREF kHoveredNumberColour = 0xFFFFFF;
inline constexpr COLORREF kLunarTextColour = 0x0000FF;
inline constexpr COLORREF kMarkedLunarTextColour = 0xFF003C;
inline constexpr COLORREF kHoveredLunarTextColour = 0xFFFF00;
inline constexpr COLORREF kHeaderBarColour = 0xB68A86;

// Everything the grid's picture depends on.
struct GridPicture {
  const GridMetrics& metrics;
  const GridColours& colours;
  const CalendarSelection& selection;  // the month's cells and the marked day
  const std::string& hoverText;        // the footer's right side
};

void PaintWeekdayRow(HDC dc, const GridPicture& picture);
// The cell background, the grid lines and all 42 cells without hover.
void PaintDayArea(HDC dc, const GridPicture& picture);
// A cell outside the shown month stays grey and the marked day keeps its
// colours, whatever the hover flag says.
void PaintCell(HDC dc, const GridPicture& picture, int index, bool hover);
void PaintFooter(HDC dc, const GridPicture& picture);
// Weekday row, day area and footer, in this order.
void PaintGrid(HDC dc, const GridPicture& picture);

// The panel's header bar: the top 30 pixels of the client rectangle and the
// header text at the right.
void PaintHeaderBar(HDC dc, const RECT& client, std::string_view headerText);

}  // namespace calendar
