// The month calendar's model: what a selection change, a click or a mode
// switch costs before anything is drawn. The grid's paint is measured by
// grid_paint_bench in the Windows build.
#include <benchmark/benchmark.h>

#include "calendar_control/control_model.h"
#include "calendar_control/grid_geometry.h"
#include "calendar_control/selection.h"

namespace {

constexpr runtime::DateTime kDecember19 = 40531.0;  // 2010-12-19

// Select a day: conversion and the 42-cell month rebuild with its terms.
void BM_SelectDayRebuildsTheMonth(benchmark::State& state) {
  calendar::CalendarSelection selection(kDecember19);
  selection.SetGregorianMode(state.range(0) == 1);
  int day = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(selection.SelectDay(2010, 12, 1 + day, true));
    day = (day + 1) % 31;
  }
}
BENCHMARK(BM_SelectDayRebuildsTheMonth)->ArgName("gregorian")->Arg(1)->Arg(0);

// A click as the model sees it: hit test, then select with notification.
void BM_ClickOnACell(benchmark::State& state) {
  calendar::CalendarSelection selection(kDecember19);
  selection.SetGregorianMode(true);
  const calendar::GridMetrics metrics;
  int column = 0;
  for (auto _ : state) {
    const int index = metrics.HitTest(column * 52 + 26, 20 + 2 * 32 + 16);
    const lunar::DateRec day = selection.month().cells[static_cast<std::size_t>(index)].date;
    benchmark::DoNotOptimize(selection.SelectDay(day.year, day.month, day.day, true));
    column = (column + 1) % 7;
  }
}
BENCHMARK(BM_ClickOnACell);

// A mode switch: the month rebuilt, 146 year names and the month list made.
void BM_ModeSwitch(benchmark::State& state) {
  calendar::MonthCalendarModel model(kDecember19);
  std::int32_t mode = 0;
  for (auto _ : state) {
    model.ApplyMode(mode);
    mode ^= 1;
  }
}
BENCHMARK(BM_ModeSwitch);

}  // namespace
