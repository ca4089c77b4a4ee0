// The calorie tracker's work per edit: recomputing a day of four full meals, saving the
// day (four meal files, the energy shares and the year's history), loading it, and a
// search over eighteen food lists of 200 foods each.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QLocale>
#include <QTemporaryDir>

#include "core/gridfile.h"
#include "core/textutil.h"
#include "nutrition/foodlists.h"
#include "nutrition/mealday.h"

namespace {

const QDate kDay(2024, 6, 15);

void UseEnglish() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

// Every food row of every meal filled, and a year of history before the day, as a
// diligent user leaves them.
void FillDay(MealDay& day, const QString& folder) {
  CellGrid history;
  InitYearGrid(history, kDay.year(), kMealColumns, HistoryHeaders());
  for (int r = 1; r < kDay.dayOfYear(); ++r)
    history.SetRow(r, {history.Cell(0, r), QString::number(1800 + r % 400),
                       QString::number(220 + r % 40), QString::number(70 + r % 20),
                       QString::number(60 + r % 25)});
  SaveGridFile(history, HistoryFilePath(folder, kDay.year()));
  day.LoadDay(kDay);
  for (int meal = 1; meal <= kMealCount; ++meal)
    for (int r = 1; r < kMealRows; ++r)
      day.OverwriteRow(meal, r,
                       {QStringLiteral("Food number %1 of meal %2, one serving").arg(r).arg(meal),
                        ShortestNumberText(50 + r * 7.5), ShortestNumberText(r * 1.5),
                        ShortestNumberText(r * 0.7), ShortestNumberText(r * 0.3)});
}

void BM_RecomputeTotals(benchmark::State& state) {
  UseEnglish();
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  MealDay day(folder);
  FillDay(day, folder);
  for (auto _ : state) {
    day.RecomputeTotals();
    benchmark::DoNotOptimize(day.Totals().calories);
  }
}
BENCHMARK(BM_RecomputeTotals)->Unit(benchmark::kMicrosecond);

// A save after an edit: one food changed, so that its meal file, the energy shares and
// the history are new, and the other meals as they were.
void BM_SaveDay(benchmark::State& state) {
  UseEnglish();
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  MealDay day(folder);
  FillDay(day, folder);
  day.SaveDay();
  int n = 0;
  for (auto _ : state) {
    day.SetCell(2, 1, 5, QString::number(100 + (++n % 500)));
    benchmark::DoNotOptimize(day.SaveDay());
  }
}
BENCHMARK(BM_SaveDay)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadDay(benchmark::State& state) {
  UseEnglish();
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  MealDay day(folder);
  FillDay(day, folder);
  day.SaveDay();
  for (auto _ : state) benchmark::DoNotOptimize(day.LoadDay(kDay));
}
BENCHMARK(BM_LoadDay)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SearchFoodLists(benchmark::State& state) {
  UseEnglish();
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  const QStringList kinds{"Apple pie", "Grape juice", "Banana bread", "Whole wheat toast",
                          "Oatmeal", "Chicken soup", "Caesar salad", "Yogurt"};
  for (int c = 1; c <= kFoodListCount; ++c) {
    CellGrid list(kFoodListColumns, 201);
    const QStringList headers = FoodListHeaders(QLatin1String(FoodCategoryAt(c).word));
    list.SetRow(0, headers);
    for (int r = 1; r <= 200; ++r)
      list.SetRow(r, {kinds.at((r + c) % kinds.size()) + QStringLiteral(" %1").arg(r),
                      QStringLiteral("1 cup"), QString::number(90 + r), QString::number(r % 40),
                      QString::number(r % 12), QString::number(r % 9)});
    SaveGridFile(list, FoodListPath(folder, c));
  }
  FoodLists lists(folder);
  lists.LoadFoodLists();
  const QString keyword = QString::fromStdString(state.range(0) ? "AP" : "zucchini");
  for (auto _ : state) benchmark::DoNotOptimize(lists.SearchFoodLists(keyword).RowCount());
}
BENCHMARK(BM_SearchFoodLists)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
