// The basal view's work per click: a temperature entry renders the page, writes basal.jpg
// (quality 100, progressive) and Basal.html, then the year file; opening a month reads
// the year file (and the next year's for December); a repaint asks for rise days.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QTemporaryDir>

#include "app/config.h"
#include "app/dateview.h"
#include "app/datafolders.h"
#include "basal/basalchart.h"
#include "basal/basalscale.h"
#include "basal/widgets/basalgrid.h"
#include "basal/widgets/basalview.h"

namespace {

// A year with a reading and signs on every day, as a diligent user leaves it.
void WriteFullYear(const QString& folder, int year) {
  CellGrid g;
  InitYearGrid(g, year, kBasalYearColumns, BasalYearHeaders());
  for (int r = 1; r < g.RowCount(); ++r) {
    const int top = 3 + r % 13;
    g.SetCell(kFahrenheitCol, r, FahrenheitText(top));
    g.SetCell(kCelsiusCol, r, CelsiusText(top));
    g.SetCell(kBarTopCol, r, QString::number(top));
    g.SetCell(kDischargeCol, r, QStringLiteral("PWSD").mid(r % 4, 1));
    g.SetCell(kIntercourseCol, r, r % 3 ? QString() : QStringLiteral("*"));
    g.SetCell(kCervixCol, r, r % 2 ? QStringLiteral("S") : QStringLiteral("H"));
  }
  SaveGridFile(g, BasalYearPath(folder, year));
}

void BM_OpenDecember(benchmark::State& state) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  WriteFullYear(folder, 2024);
  WriteFullYear(folder, 2025);
  BasalChart chart(folder);
  for (auto _ : state) {
    chart.Open(QDate(2024, 12, 10), nullptr);
    benchmark::DoNotOptimize(chart.BarTop(33));
  }
}
BENCHMARK(BM_OpenDecember)->Unit(benchmark::kMicrosecond);

void BM_RiseDaysOfAWindow(benchmark::State& state) {
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  WriteFullYear(folder, 2024);
  BasalChart chart(folder);
  chart.Open(QDate(2024, 6, 10), nullptr);
  // A repaint asks once per level cell.
  for (auto _ : state)
    for (int r = 1; r <= kBasalLevelRows; ++r)
      for (int c = 1; c <= kBasalDayColumns; ++c) benchmark::DoNotOptimize(chart.IsRiseDay(c));
}
BENCHMARK(BM_RiseDaysOfAWindow)->Unit(benchmark::kMicrosecond);

class BenchHost : public ViewHost {
 public:
  explicit BenchHost(const QString& root)
      : dir_(root + "/program/"), config_(dir_.ConfigFolder() + "application.ini") {}
  QDate SelectedDate() const override { return date_; }
  void SetSelectedDate(const QDate& d) override { date_ = d; }
  QString CurrentViewName() const override { return QStringLiteral("basal"); }
  const CycleSettings& Cycle() const override { return config_.Cycle; }
  Config& Settings() override { return config_; }
  const DataFolders& Dir() const override { return dir_; }

 private:
  QDate date_;
  DataFolders dir_;
  Config config_;
};

// One click on a level cell, from the click to the year file on disk.
void BM_TemperatureClick(benchmark::State& state) {
  QTemporaryDir dir;
  qputenv("XDG_DATA_HOME", (dir.path() + "/data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
  BenchHost host(dir.path());
  WriteFullYear(host.Dir().BasalFolder(), 2024);
  BasalView view(&host);
  view.show();
  view.ShowDate(QDate(2024, 6, 10));
  auto* chart = view.findChild<BasalGrid*>("Basal_Chart");
  int row = 1;
  for (auto _ : state) {
    row = row % 15 + 1;
    chart->setCurrentCell(row, 10);
  }
}
BENCHMARK(BM_TemperatureClick)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
