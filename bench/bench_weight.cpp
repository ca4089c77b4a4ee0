// The weight view's per-keystroke work: storing the day (year file and goal file written
// whole), the history points of a full year, and a long diet plan.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTemporaryDir>

#include "core/textutil.h"
#include "trackers/weightmodel.h"
#include "trackers/weightplan.h"

namespace {

// A year with a weight on every day, as a diligent user leaves it.
void FillYear(WeightModel& model, const QString& folder) {
  CellGrid grid;
  InitYearGrid(grid, 2024, kWeightColumns, {"Weight", "Hours", "Minutes"});
  for (int r = 1; r < grid.RowCount(); ++r)
    grid.SetCell(kWeightColumn, r, ShortestNumberText(180 - r * 0.1));
  SaveGridFile(grid, WeightYearPath(folder, 2024));
  model.SetDate(QDate(2024, 6, 15));
  model.OpenGoal();
  model.OpenYear();
}

void BM_SaveDay(benchmark::State& state) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  WeightModel model(folder);
  FillYear(model, folder);
  double w = 150;
  for (auto _ : state) {
    w += 0.1;
    benchmark::DoNotOptimize(model.SaveDay(w, 140, nullptr));
  }
}
BENCHMARK(BM_SaveDay)->Unit(benchmark::kMicrosecond);

void BM_HistoryPoints(benchmark::State& state) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  WeightModel model(folder);
  FillYear(model, folder);
  for (auto _ : state) benchmark::DoNotOptimize(model.History());
}
BENCHMARK(BM_HistoryPoints)->Unit(benchmark::kMicrosecond);

void BM_PlanThousandDays(benchmark::State& state) {
  const QDateTime start(QDate(2024, 6, 15), QTime(12, 0));
  for (auto _ : state) benchmark::DoNotOptimize(MakeWeightPlan(200, 150, 1000, start));
}
BENCHMARK(BM_PlanThousandDays)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
