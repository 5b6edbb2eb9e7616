// How long a full paint of the grid takes: the weekday row, the 42 cells and
// the footer into a memory bitmap, as the grid's paint does it, and the
// month rebuild behind it. Run under Wine or Windows; prints its figures.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "calendar_control/grid_painter.h"
#include "calendar_control/selection.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Work>
void Measure(const char* name, int rounds, Work work) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work(i);
    QueryPerformanceCounter(&end);
    times.push_back(Milliseconds(start, end));
  }
  std::sort(times.begin(), times.end());
  double sum = 0;
  for (double t : times) sum += t;
  std::printf("%-28s rounds %4d  median %8.4f ms  mean %8.4f ms  min %8.4f ms  max %8.4f ms\n", name, rounds,
              times[times.size() / 2], sum / static_cast<double>(times.size()), times.front(), times.back());
}

}  // namespace

int main() {
  using namespace calendar;
  CalendarSelection selection(40531.0);  // 2010-12-19
  selection.SetGregorianMode(true);
  selection.MarkSelection();
  const GridMetrics metrics;
  const GridColours colours;
  const std::string hoverText = "2010-12-21";
  const GridPicture picture{metrics, colours, selection, hoverText};

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, metrics.GridWidth(), metrics.GridHeight());
  HGDIOBJ previous = SelectObject(memory, bitmap);

  PaintGrid(memory, picture);  // fonts realised once, as after the first paint
  Measure("full grid paint (memory DC)", 200, [&](int) { PaintGrid(memory, picture); });
  Measure("one cell with hover", 500, [&](int i) { PaintCell(memory, picture, i % kCellCount, true); });
  Measure("month rebuild (select a day)", 2000,
          [&](int i) { selection.SelectDay(2010, 12, 1 + i % 31, false); });
  selection.SetGregorianMode(false);
  Measure("month rebuild, lunar mode", 2000, [&](int i) { selection.SelectDay(2010, 12, 1 + i % 31, false); });

  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return 0;
}
