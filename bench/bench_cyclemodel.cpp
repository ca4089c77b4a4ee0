// How fast the month grid and the date strips can classify dates: ten years of
// consecutive days per iteration, in the julian-day form and the QDate form.
#include <benchmark/benchmark.h>

#include "core/cyclemodel.h"

namespace {

constexpr int kDays = 3653;  // ten years

CycleSettings Settings() {
  CycleSettings s;
  s.LastPeriod = QDate(2009, 3, 1);
  s.CycleLength = 28;
  s.LutealLength = 14;
  s.Goal = 1;
  return s;
}

void BM_CycleClassJulianDay(benchmark::State& state) {
  const CycleSettings s = Settings();
  const qint64 first = QDate(2005, 1, 1).toJulianDay();
  for (auto _ : state) {
    for (qint64 jd = first; jd < first + kDays; ++jd) benchmark::DoNotOptimize(CycleClass(s, jd));
  }
  state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_CycleClassJulianDay);

void BM_CycleClassDate(benchmark::State& state) {
  const CycleSettings s = Settings();
  const QDate first(2005, 1, 1);
  for (auto _ : state) {
    for (int i = 0; i < kDays; ++i) benchmark::DoNotOptimize(CycleClass(s, first.addDays(i)));
  }
  state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_CycleClassDate);

// What one month-grid cell asks for at every repaint.
void BM_MonthCell(benchmark::State& state) {
  const CycleSettings s = Settings();
  const QDate first(2005, 1, 1);
  for (auto _ : state) {
    for (int i = 0; i < kDays; ++i) {
      const QDate d = first.addDays(i);
      benchmark::DoNotOptimize(CycleColour(s, d));
      benchmark::DoNotOptimize(OvulationOffset(s, d));
      benchmark::DoNotOptimize(GoalMark(s, d));
    }
  }
  state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_MonthCell);

}  // namespace

BENCHMARK_MAIN();
