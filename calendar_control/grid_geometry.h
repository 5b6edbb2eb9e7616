// Where the grid window puts things: the weekday row, 6 x 7 day cells and the
// footer, all in grid-window pixels. Painting and hit testing both read these
// rectangles, so what is drawn is what is hit.
#pragma once

namespace calendar {

// Half-open: left and top inside, right and bottom outside (the system's RECT).
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelSize {
  int width = 0, height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The header bar of the panel above the grid: 30 pixels, or 0 when hidden.
inline constexpr int kHeaderBarHeight = 30;

struct GridMetrics {
  int rowHeight = 32;    // one week row
  int columnWidth = 52;  // one weekday column
  int barHeight = 20;    // the weekday row and the footer
  int leftMargin = 0;
  int topMargin = 0;

  // 7 columns plus the closing line: 365.
  int GridWidth() const { return 7 * columnWidth + 2 * leftMargin + 1; }
  // Two bars and six rows: 232.
  int GridHeight() const { return 2 * (topMargin + 3 * rowHeight + barHeight); }
  // The panel's and the control window's size: 365 x 262, or 365 x 232
  // without the header bar.
  PixelSize ContentSize(bool headerVisible) const {
    return {GridWidth(), GridHeight() + (headerVisible ? kHeaderBarHeight : 0)};
  }

  // Cell 0..41, row by row from Monday: 53 x 33 pixels, so neighbours share
  // their border line.
  PixelRect CellRect(int index) const;
  // (0, 0, 365, 20)
  PixelRect WeekdayRowRect() const;
  // (0, 20, 365, 213)
  PixelRect DayAreaRect() const;
  // (0, 212, 365, 232): shares its top line with the last row of cells.
  PixelRect FooterRect() const;

  // The first cell (lowest index) whose rectangle holds the point, so a
  // shared border belongs to the upper or left cell; -1 over the weekday row,
  // the footer or outside the cells.
  int HitTest(int x, int y) const;
};

}  // namespace calendar
