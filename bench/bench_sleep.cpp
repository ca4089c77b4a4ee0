// The sleep view's work per click and per month: a slot click toggles the slot, works out
// the day's hours and both averages, writes the year file (and any alarm list not yet
// written); showing a month reads the year file (two in December), the two alarm lists
// and the day's note, and repaints. Also the two list writes alone, and a list-view file
// read, for the figures of a click that also writes both lists.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QTemporaryDir>

#include "app/config.h"
#include "app/dateview.h"
#include "app/datafolders.h"
#include "core/gridfile.h"
#include "sleep/alarmentry.h"
#include "sleep/listviewfile.h"
#include "sleep/sleeplog.h"
#include "sleep/widgets/sleepgrid.h"
#include "sleep/widgets/sleepview.h"

namespace {

// A year in which every night from 10 pm to 6 am is marked, as a faithful user leaves it.
void WriteFullYear(const QString& folder, int year) {
  CellGrid g;
  InitYearGrid(g, year, kSleepYearColumns, SleepYearHeaders());
  for (int r = 1; r < g.RowCount(); ++r) {
    const int first = 5 + r % 3;
    const int last = 21 + r % 4;
    for (int k = first; k <= last; ++k) g.SetCell(SleepSlotColumn(k), r, QStringLiteral("*"));
    g.SetCell(kSleepEditedCol, r, QStringLiteral("Jan 1"));
    g.SetCell(kSleepHoursCol, r, QString::number(0.5 * (last - first + 1), 'f', 1));
  }
  SaveGridFile(g, SleepYearPath(folder, year));
}

ListViewFile TenEntries() {
  ListViewFile f;
  for (int i = 0; i < 10; ++i)
    f.items << MakeAlarmEntry(i % 2 ? QStringLiteral("Daily") : QStringLiteral("Mon Wed Fri "),
                              QDateTime(QDate(2024, 1, 1), QTime(6 + i, 15)));
  return f;
}

class BenchHost : public ViewHost {
 public:
  explicit BenchHost(const QString& root)
      : dir_(root + "/program/"), config_(dir_.ConfigFolder() + "application.ini") {}
  QDate SelectedDate() const override { return date_; }
  void SetSelectedDate(const QDate& d) override { date_ = d; }
  QString CurrentViewName() const override { return QStringLiteral("sleep"); }
  const CycleSettings& Cycle() const override { return config_.Cycle; }
  Config& Settings() override { return config_; }
  const DataFolders& Dir() const override { return dir_; }

 private:
  QDate date_;
  DataFolders dir_;
  Config config_;
};

struct Fixture {
  QTemporaryDir dir;
  std::unique_ptr<BenchHost> host;
  std::unique_ptr<SleepView> view;
  Fixture() {
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
    host = std::make_unique<BenchHost>(dir.path());
    const QString folder = host->Dir().SleepFolder();
    WriteFullYear(folder, 2024);
    WriteFullYear(folder, 2025);
    TenEntries().Write(folder + "bedtimes.txt");
    TenEntries().Write(folder + "wakeuptimes.txt");
    view = std::make_unique<SleepView>(host.get(), SleepSetup::Sleep());
    view->show();
    view->ShowPage(QStringLiteral("Track Sleep"));
  }
};

// One slot click, from the click to the year file on disk and the repaint.
void BM_SlotClick(benchmark::State& state) {
  Fixture f;
  f.view->ShowDate(QDate(2024, 6, 10));
  auto* grid = f.view->findChild<SleepGrid*>("Sleep_Chart");
  int slot = 0;
  for (auto _ : state) {
    slot = slot % 48 + 1;
    f.view->Sleep_ChartSelectCell(10, slot);
    grid->repaint();
  }
}
BENCHMARK(BM_SlotClick)->Unit(benchmark::kMillisecond);

// Both alarm lists written, as a click would add when they held unwritten changes.
void BM_WriteBothLists(benchmark::State& state) {
  QTemporaryDir dir;
  const ListViewFile list = TenEntries();
  for (auto _ : state) {
    list.Write(dir.path() + "/bedtimes.txt");
    list.Write(dir.path() + "/wakeuptimes.txt");
  }
}
BENCHMARK(BM_WriteBothLists)->Unit(benchmark::kMillisecond);

void BM_ReadList(benchmark::State& state) {
  const QByteArray bytes = TenEntries().ToBytes();
  for (auto _ : state) {
    ListViewFile f;
    f.ReadBytes(bytes);
    benchmark::DoNotOptimize(f.items.size());
  }
}
BENCHMARK(BM_ReadList)->Unit(benchmark::kMicrosecond);

// A new month: the main window's date moves on while the sleep view is shown.
void BM_ShowNewMonth(benchmark::State& state) {
  Fixture f;
  auto* grid = f.view->findChild<SleepGrid*>("Sleep_Chart");
  int month = 0;
  for (auto _ : state) {
    month = month % 11 + 1;  // January to November: one year file
    f.view->ShowDate(QDate(2024, month, 10));
    grid->repaint();
  }
}
BENCHMARK(BM_ShowNewMonth)->Unit(benchmark::kMillisecond);

// December's window reaches into the next year's file.
void BM_ShowDecember(benchmark::State& state) {
  Fixture f;
  int i = 0;
  for (auto _ : state) f.view->ShowDate(QDate(2024, (i++ % 2) ? 12 : 11, 10));
}
BENCHMARK(BM_ShowDecember)->Unit(benchmark::kMillisecond);

// The weekday chart drawn for a day (the "Graphs" page).
void BM_WeekdayChart(benchmark::State& state) {
  Fixture f;
  f.view->ShowDate(QDate(2024, 6, 10));
  for (auto _ : state) f.view->ShowPage(QStringLiteral("Graphs"));
}
BENCHMARK(BM_WeekdayChart)->Unit(benchmark::kMillisecond);

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
