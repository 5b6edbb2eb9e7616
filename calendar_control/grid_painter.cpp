#include "calendar_control/grid_painter.h"

#include "calendar_control/tracking_dc.h"
#include "lunar/date_text.h"

namespace calendar {
namespace {

RECT ToRect(const PixelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The system's text-drawing alignments.
constexpr UINT kCentredLine = DT_CENTER | DT_VCENTER | DT_SINGLELINE;  // 0x25
constexpr UINT kNumberAlignment = DT_CENTER | DT_BOTTOM | DT_SINGLELINE;  // 0x29
constexpr UINT kLunarAlignment = DT_CENTER | DT_TOP | DT_SINGLELINE;  // 0x21
constexpr UINT kLeftLine = DT_LEFT | DT_VCENTER | DT_SINGLELINE;  // 0x24
constexpr UINT kRightLine = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;  // 0x26

}  // namespace

void PaintWeekdayRow(HDC dc, const GridPicture& picture) {
  CTrackingDC tdc(dc);
  tdc.SetPen(picture.colours.line);
  tdc.SetBrush(picture.colours.bar);
  tdc.Rectangle(ToRect(picture.metrics.WeekdayRowRect()));
  tdc.DefaultFont();
  tdc.SetTextColor(kBarTextColour);
  const GridMetrics& m = picture.metrics;
  for (int column = 0; column < 7; ++column) {
    if (column >= 5) tdc.SetTextColor(kWeekendTextColour);
    const int x = m.leftMargin + column * m.columnWidth;
    RECT rect{x, m.topMargin, x + m.columnWidth, m.topMargin + m.barHeight};
    tdc.DrawTextIn(lunar::GetWeekdayName(column + 1), rect, kCentredLine);
  }
}

void PaintDayArea(HDC dc, const GridPicture& picture) {
  const GridMetrics& m = picture.metrics;
  {
    CTrackingDC tdc(dc);
    tdc.SetBrush(picture.colours.cell);
    tdc.SetPen(picture.colours.line);
    const PixelRect area = m.DayAreaRect();
    tdc.Rectangle(ToRect(area));
    for (int k = 0; k <= 6; ++k) {
      const int y = area.top + k * m.rowHeight;
      tdc.Line(m.leftMargin, y, m.leftMargin + m.GridWidth(), y);
    }
    for (int k = 0; k <= 7; ++k) {
      const int x = k * m.columnWidth;
      tdc.Line(x, area.top, x, area.top + 6 * m.rowHeight + 1);
    }
  }
  for (int index = 0; index < kCellCount; ++index) PaintCell(dc, picture, index, false);
}

void PaintCell(HDC dc, const GridPicture& picture, int index, bool hover) {
  if (index < 0 || index >= kCellCount) return;
  const MonthModel& month = picture.selection.month();
  const DayCell& cell = month.cells[static_cast<std::size_t>(index)];

  COLORREF background = picture.colours.cell;
  COLORREF number = kNumberColour;
  COLORREF lunarText = kLunarTextColour;
  if (!month.InMonth(index)) {
    background = kOutsideCellColour;
  } else if (cell.date == picture.selection.marked()) {
    background = picture.colours.marked;
    lunarText = kMarkedLunarTextColour;
  } else if (hover) {
    background = picture.colours.hovered;
    number = kHoveredNumberColour;
    lunarText = kHoveredLunarTextColour;
  }

  CTrackingDC tdc(dc);
  tdc.SetPen(picture.colours.line);
  tdc.SetBrush(background);
  const RECT rect = ToRect(picture.metrics.CellRect(index));
  tdc.Rectangle(rect);

  RECT numberRect = rect;
  numberRect.bottom -= 3;
  tdc.SetTextColor(number);
  tdc.DrawTextIn(CellNumberLabel(cell), numberRect, kNumberAlignment);

  RECT lunarRect = rect;
  lunarRect.top += 3;
  tdc.SetTextColor(lunarText);
  tdc.DrawTextIn(CellLunarLabel(cell), lunarRect, kLunarAlignment);
}

void PaintFooter(HDC dc, const GridPicture& picture) {
  CTrackingDC tdc(dc);
  tdc.SetPen(picture.colours.line);
  tdc.SetBrush(picture.colours.bar);
  const PixelRect footer = picture.metrics.FooterRect();
  tdc.Rectangle(ToRect(footer));
  tdc.DefaultFont();
  tdc.SetTextColor(kBarTextColour);
  RECT text{footer.left + 5, footer.top, footer.right - 5, footer.bottom};
  tdc.DrawTextIn(picture.selection.month().termLine, text, kLeftLine);
  tdc.DrawTextIn(picture.hoverText, text, kRightLine);
}

void PaintGrid(HDC dc, const GridPicture& picture) {
  PaintWeekdayRow(dc, picture);
  PaintDayArea(dc, picture);
  PaintFooter(dc, picture);
}

void PaintHeaderBar(HDC dc, const RECT& client, std::string_view headerText) {
  CTrackingDC tdc(dc);
  RECT bar = client;
  bar.bottom = bar.top + kHeaderBarHeight;
  tdc.SetBrush(kHeaderBarColour);
  tdc.FillRect(bar);
  tdc.SetTextColor(kBarTextColour);
  RECT text{175, 0, client.right - client.left - 5, kHeaderBarHeight};
  tdc.DrawTextIn(headerText, text, kRightLine);
}

}  // namespace calendar
