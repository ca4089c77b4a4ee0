// The exercise tracker's busiest paths: one move of the intensity bar with the estimate
// panel open (estimate, texts, the year file written whole, the week chart redrawn),
// and the summaries of a full year; plus the blood-pressure graph of a long log.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>

#include "app/config.h"
#include "app/datafolders.h"
#include "app/dateview.h"
#include "core/clock.h"
#include "trackers/exerciselog.h"
#include "trackers/pressurereadings.h"
#include "trackers/widgets/exerciseview.h"

namespace {

const QDate kToday(2024, 12, 30);

// A year with a workout on every day, as a diligent user leaves it.
void WriteFullYear(const QString& folder, int year) {
  CellGrid grid;
  InitYearGrid(grid, year, kExerciseColumns, ExerciseHeaders());
  for (int r = 1; r < grid.RowCount(); ++r) {
    WorkoutDay day;
    day.hours = 1;
    day.minutes = r % 60;
    day.intensity = r % 11;
    day.calories = EstimateCalories(day.hours, day.minutes, day.intensity);
    day.activities = {"Running", "Rock Climbing"};
    day.workout = "Running and Rock Climbing";
    day.run = 3.1;
    day.bike = r % 3 ? 0 : 12.5;
    day.swim = 400;
    day.climb = 120;
    WriteWorkoutDay(grid, r, day);
  }
  SaveGridFile(grid, ExerciseYearPath(folder, year));
}

class BenchHost : public ViewHost {
 public:
  BenchHost()
      : dir_(std::make_unique<DataFolders>(DataFolders::ExecutableFolder())),
        config_(std::make_unique<Config>(dir_->ConfigFolder() + "application.ini")) {}
  QDate SelectedDate() const override { return kToday; }
  void SetSelectedDate(const QDate&) override {}
  QString CurrentViewName() const override { return QStringLiteral("exercise"); }
  const CycleSettings& Cycle() const override { return config_->Cycle; }
  Config& Settings() override { return *config_; }
  const DataFolders& Dir() const override { return *dir_; }

 private:
  std::unique_ptr<DataFolders> dir_;
  std::unique_ptr<Config> config_;
};

void BM_IntensityChange(benchmark::State& state) {
  BenchHost host;
  WriteFullYear(host.Dir().ExerciseFolder(), kToday.year());
  ExerciseView view(&host);
  view.resize(621, 451);
  view.show();
  view.StartView(kToday);
  view.ShowDate(kToday);
  // The chart on screen, so that its redraw is part of the change.
  view.findChild<QTabWidget*>("pg")->setCurrentIndex(2);
  view.Label26Click();  // the estimate panel
  auto* slider = view.findChild<QSlider*>("ui_Intensity");
  auto* chart = view.findChild<QChartView*>("Chart1");
  int position = 0;
  for (auto _ : state) {
    position = (position + 1) % 11;
    slider->setValue(position);
    chart->repaint();  // paint now, not at the next event loop turn
  }
}
BENCHMARK(BM_IntensityChange)->Unit(benchmark::kMillisecond);

void BM_ShowSummariesFullYear(benchmark::State& state) {
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  WriteFullYear(folder, kToday.year());
  ExerciseLog log(folder);
  log.OpenYear(kToday.year());
  for (auto _ : state) {
    const ExerciseSummary s = log.Summaries(kToday);
    benchmark::DoNotOptimize(CalorieSummaryRows(s));
    benchmark::DoNotOptimize(DistanceSummaryRows(s));
  }
}
BENCHMARK(BM_ShowSummariesFullYear)->Unit(benchmark::kMicrosecond);

// The week chart early in January, reading the days of December from last year's file.
void BM_WeekChartAcrossNewYear(benchmark::State& state) {
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  WriteFullYear(folder, 2023);
  WriteFullYear(folder, 2024);
  ExerciseLog log(folder);
  log.OpenYear(2024);
  for (auto _ : state) benchmark::DoNotOptimize(log.WeekChart(QDate(2024, 1, 3)));
}
BENCHMARK(BM_WeekChartAcrossNewYear)->Unit(benchmark::kMicrosecond);

void BM_PressureGraphThousandReadings(benchmark::State& state) {
  CellGrid grid(kPressureColumns, 1001);
  grid.SetRow(0, PressureHeaders());
  for (int r = 1; r <= 1000; ++r)
    grid.SetRow(r, {"May 3, 2009", "7:05 AM", QString::number(110 + r % 40),
                    QString::number(70 + r % 25), QString::number(60 + r % 30)});
  for (auto _ : state) benchmark::DoNotOptimize(PressureGraphPoints(grid));
}
BENCHMARK(BM_PressureGraphThousandReadings)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  Clock::SetSource([] { return QDateTime(kToday, QTime(18, 0)); });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
