#include <benchmark/benchmark.h>

#include <vector>

#include "calendar_control/month_model.h"
#include "cli/qhcal.h"
#include "lunar/date_text.h"
#include "lunar/lunar_calendar.h"

namespace {

using lunar::DateRec;

std::vector<DateRec> EverySupportedDay() {
  std::vector<DateRec> days;
  DateRec d(1901, 2, 19);
  for (std::int32_t n = lunar::kFirstSupportedDayNumber; n <= lunar::kLastSupportedDayNumber; ++n) {
    days.push_back(d);
    lunar::StepDay(d.year, d.month, d.day, true);
  }
  return days;
}

// One conversion per iteration, walking the whole supported range.
void BM_GregorianToLunar(benchmark::State& state) {
  const std::vector<DateRec> days = EverySupportedDay();
  std::size_t i = 0;
  for (auto _ : state) {
    const DateRec& d = days[i];
    DateRec lunarDate;
    benchmark::DoNotOptimize(lunar::GregorianToLunar(d.year, d.month, d.day, lunarDate));
    benchmark::DoNotOptimize(lunarDate);
    if (++i == days.size()) i = 0;
  }
}
BENCHMARK(BM_GregorianToLunar);

void BM_LunarToGregorian(benchmark::State& state) {
  std::vector<DateRec> lunars;
  for (const DateRec& d : EverySupportedDay()) {
    DateRec l;
    lunar::GregorianToLunar(d.year, d.month, d.day, l);
    lunars.push_back(l);
  }
  std::size_t i = 0;
  for (auto _ : state) {
    const DateRec& l = lunars[i];
    DateRec g;
    benchmark::DoNotOptimize(lunar::LunarToGregorian(l.year, l.month, l.day, l.leap != 0, g));
    benchmark::DoNotOptimize(g);
    if (++i == lunars.size()) i = 0;
  }
}
BENCHMARK(BM_LunarToGregorian);

void BM_FormatDateDefaultTemplate(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(lunar::FormatDate(2011, 2, 4, lunar::kDefaultDateTemplate));
  }
}
BENCHMARK(BM_FormatDateDefaultTemplate);

void BM_BuildMonthModel(benchmark::State& state) {
  const bool gregorianMode = state.range(0) != 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(calendar::BuildMonthModel(DateRec(2012, 5, 30), DateRec(2012, 4, 10, 1), gregorianMode));
  }
}
BENCHMARK(BM_BuildMonthModel)->Arg(1)->Arg(0);

// The whole-range dump, 54,008 lines with every column (text in GBK, before
// the conversion for the terminal).
void BM_QhcalDumpWholeRange(benchmark::State& state) {
  qhcal::Options options;
  for (auto _ : state) {
    std::string out, err;
    qhcal::Run({"dump", "1901-02-19", "2048-12-31"}, options, out, err);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_QhcalDumpWholeRange)->Unit(benchmark::kMillisecond);

}  // namespace
