// DispatchDate with the month grid's repaint in the calendar view, as the date bar's
// arrows drive it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

#include "app/widgets/welcomedialog.h"
#include "app/datafolders.h"
#include "shell/mainwindow.h"
#include "cycle/widgets/monthcalendar.h"

static void BM_DispatchDateAndRepaint(benchmark::State& state) {
  MainWindow form(DataFolders::ExecutableFolder(), false);
  form.Startup();
  QDate d(2009, 3, 1);
  for (auto _ : state) {
    d = d.addDays(1);
    form.SetSelectedDate(d);
    form.DispatchDate(d);
    form.findChild<MonthCalendar*>("Calendar")->repaint();  // paint now, not at the next event loop turn
  }
}
BENCHMARK(BM_DispatchDateAndRepaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  // A new data folder's welcome is answered with what it proposes, at once.
  SetWelcomeHandler([](const WelcomeAnswers&) { return std::optional<WelcomeAnswers>(); });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
