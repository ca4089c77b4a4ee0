// The month grid repaints on every date dispatch and view switch: how long one full
// paint of the 49 cells takes, and the month's probability points of the chart.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include "app/dateview.h"
#include "core/cyclemodel.h"
#include "cycle/monthlayout.h"
#include "cycle/widgets/monthcalendar.h"
#include "cycle/widgets/probabilitychart.h"

namespace {

class BenchHost : public ViewHost {
 public:
  QDate SelectedDate() const override { return QDate(2009, 3, 5); }
  void SetSelectedDate(const QDate&) override {}
  QString CurrentViewName() const override { return view; }
  const CycleSettings& Cycle() const override { return cycle; }
  Config& Settings() override { std::abort(); }
  const DataFolders& Dir() const override { std::abort(); }
  QString view = "calendar";
  CycleSettings cycle{QDate(2009, 3, 1), 28, 14, 0};
};

class BenchView : public DateView {
 public:
  void ShowDate(const QDate&) override {}
  DayMarkPicture MarkPicture() const override { return DayMarkPicture::Arrow; }
  bool IsDayMarked(const QDate& d) const override { return d.day() % 3 == 0; }
};

void BM_GridPaint(benchmark::State& state, const char* view) {
  BenchHost host;
  host.view = view;
  BenchView tracker;
  MonthCalendar grid(&host, [&] { return &tracker; });
  grid.resize(328, 272);
  grid.MoveToDate(QDate(2009, 3, 15));
  QImage image(328, 272, QImage::Format_RGB32);
  for (auto _ : state) {
    grid.render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK_CAPTURE(BM_GridPaint, calendar_crosses, "calendar");
BENCHMARK_CAPTURE(BM_GridPaint, weight_arrows, "weight");

void BM_MonthProbabilityPoints(benchmark::State& state) {
  const CycleSettings s{QDate(2009, 3, 1), 20, 10, 1};
  for (auto _ : state) benchmark::DoNotOptimize(MonthProbabilityPoints(s, 2009, 3));
}
BENCHMARK(BM_MonthProbabilityPoints);

void BM_ChartRefresh(benchmark::State& state) {
  ProbabilityChart chart;
  chart.resize(330, 200);
  const CycleSettings s{QDate(2009, 3, 1), 28, 14, 1};
  int month = 0;
  for (auto _ : state) chart.Refresh(s, QDate(2009, 1 + (month++ % 12), 1));
}
BENCHMARK(BM_ChartRefresh);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
