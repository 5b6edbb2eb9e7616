#include "calendar_control/grid_geometry.h"

#include "calendar_control/month_model.h"

namespace calendar {

PixelRect GridMetrics::CellRect(int index) const {
  const int column = index % 7;
  const int row = index / 7;
  const int x = leftMargin + column * columnWidth;
  const int y = topMargin + row * rowHeight + barHeight;
  return {x, y, x + columnWidth + 1, y + rowHeight + 1};
}

PixelRect GridMetrics::WeekdayRowRect() const {
  return {leftMargin, topMargin, leftMargin + 7 * columnWidth + 1, topMargin + barHeight};
}

PixelRect GridMetrics::DayAreaRect() const {
  return {leftMargin, topMargin + barHeight, leftMargin + 7 * columnWidth + 1,
          topMargin + barHeight + 6 * rowHeight + 1};
}

PixelRect GridMetrics::FooterRect() const {
  const int top = topMargin + 6 * rowHeight + barHeight;
  return {leftMargin, top, leftMargin + 7 * columnWidth + 1, top + barHeight};
}

int GridMetrics::HitTest(int x, int y) const {
  for (int index = 0; index < kCellCount; ++index) {
    if (CellRect(index).Contains(x, y)) return index;
  }
  return -1;
}

}  // namespace calendar
