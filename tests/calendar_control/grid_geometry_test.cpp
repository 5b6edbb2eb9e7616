#include "calendar_control/grid_geometry.h"

#include <gtest/gtest.h>

namespace calendar {
namespace {

TEST(GridGeometry, SizesAndRectangles) {
  const GridMetrics m;
  EXPECT_EQ(m.GridWidth(), 365);
  EXPECT_EQ(m.GridHeight(), 232);
  EXPECT_EQ(m.ContentSize(true), (PixelSize{365, 262}));
  EXPECT_EQ(m.ContentSize(false), (PixelSize{365, 232}));
  EXPECT_EQ(m.WeekdayRowRect(), (PixelRect{0, 0, 365, 20}));
  EXPECT_EQ(m.DayAreaRect(), (PixelRect{0, 20, 365, 213}));
  EXPECT_EQ(m.FooterRect(), (PixelRect{0, 212, 365, 232}));
  EXPECT_EQ(m.CellRect(0), (PixelRect{0, 20, 53, 53}));
  EXPECT_EQ(m.CellRect(8), (PixelRect{52, 52, 105, 85}));
  EXPECT_EQ(m.CellRect(41), (PixelRect{312, 180, 365, 213}));
}

TEST(GridGeometry, HitTest) {
  const GridMetrics m;
  struct Case {
    int x, y, index;
  } const cases[] = {
      {0, 20, 0},     {52, 40, 0},    // the border shared with cell 1 belongs to cell 0
      {53, 40, 1},    {10, 52, 0},    // ... and the one shared with cell 7
      {10, 53, 7},    {364, 212, 41}, // the last pixel of the grid's cells
      {10, 10, -1},   {10, 19, -1},   // weekday row
      {10, 215, -1},  {10, 231, -1},  // footer
      {365, 100, -1}, {-1, 100, -1},  // beside the grid
      {200, 120, 24},
  };
  for (const Case& c : cases) EXPECT_EQ(m.HitTest(c.x, c.y), c.index) << c.x << "," << c.y;
}

}  // namespace
}  // namespace calendar
