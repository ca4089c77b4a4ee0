// Files far beyond what the program writes itself: opening a 10 MB journal note (short
// lines, or one single line) in the running window, showing the weight view over a
// 50 MB year file (many rows, or a year of huge cells), and the to-do view over a 10 MB
// list. Each case reports the peak
// resident memory of the process and whether the big file was rewritten.
//
// Run one case per process, so that the memory figure is that case's own:
//   build/bin/bench_largefiles --benchmark_filter=BM_OpenNote/0
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include "app/datafolders.h"
#include "app/widgets/messages.h"
#include "core/textutil.h"
#include "cycle/widgets/monthcalendar.h"
#include "shell/mainwindow.h"

namespace {

constexpr qint64 kNoteBytes = 10'000'000;
constexpr qint64 kYearBytes = 50'000'000;

double PeakRssMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_maxrss) / 1024.0;
}

QByteArray Digest(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  QCryptographicHash h(QCryptographicHash::Sha1);
  h.addData(&f);
  return h.result();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(path));
}

// 0: 10 MB in lines of 99 characters; 1: one line of 10 MB (words); 2: one line of 10 MB
// without a space.
QByteArray NoteBytes(int shape) {
  QByteArray out;
  out.reserve(kNoteBytes + 2);
  if (shape == 0) {
    const QByteArray line = QByteArray(99, 'n') + "\r\n";
    while (out.size() < kNoteBytes) out += line;
  } else if (shape == 1) {
    while (out.size() < kNoteBytes) out += "dear diary ";
    out += "\r\n";
  } else {
    out = QByteArray(kNoteBytes, 'x') + "\r\n";
  }
  return out;
}

// 0: 50 MB of day rows (far more rows than days); 1: a year of 366 rows whose note
// cells are each about 136 KB.
QByteArray YearBytes(int shape) {
  QByteArray out;
  out.reserve(kYearBytes + 200'000);
  out += "Weight,Hours,Minutes,,,,,,,\r\n";
  if (shape == 0) {
    int day = 0;
    while (out.size() < kYearBytes) {
      out += "\"June " + QByteArray::number(day++ % 30 + 1) + "\",150.5,\" \",,,,,,,\r\n";
    }
  } else {
    const QByteArray cell = QByteArray(kYearBytes / 366, 'w');
    for (int r = 1; r <= 365; ++r)
      out += "\"June 1\",150.5,,,,,,,," + cell + "\r\n";
  }
  return out;
}

void RecordFacts(benchmark::State& state, const QString& path, const QByteArray& before) {
  state.counters["peak_rss_MB"] = PeakRssMb();
  state.counters["rewritten"] = Digest(path) == before ? 0 : 1;
}

// Clicking a day whose note is huge, in the journal view, until the window has painted.
void BM_OpenNote(benchmark::State& state) {
  MainWindow form(DataFolders::ExecutableFolder(), false);
  form.Startup();
  form.show();
  const QDate day(2009, 3, 15);
  const QString path = form.Dir().NotesFolder() + DayKey(day) + ".txt";
  WriteBytes(path, NoteBytes(int(state.range(0))));
  const QByteArray before = Digest(path);
  form.ShowView(QStringLiteral("note"));
  for (auto _ : state) {
    form.findChild<MonthCalendar*>("Calendar")->MoveToDate(day.addDays(1));
    form.findChild<MonthCalendar*>("Calendar")->MoveToDate(day);
    QApplication::processEvents();
  }
  form.findChild<MonthCalendar*>("Calendar")->MoveToDate(day.addDays(1));
  RecordFacts(state, path, before);
}
BENCHMARK(BM_OpenNote)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

// Switching to the weight view on a date of a year whose file is 50 MB, and away again.
void BM_ShowWeightYear(benchmark::State& state) {
  MainWindow form(DataFolders::ExecutableFolder(), false);
  form.Startup();
  form.show();
  const QDate day(2009, 6, 15);
  const QString path = form.Dir().WeightFolder() + "2009.txt";
  WriteBytes(path, YearBytes(int(state.range(0))));
  const QByteArray before = Digest(path);
  form.SetSelectedDate(day);
  for (auto _ : state) {
    form.ShowView(QStringLiteral("weight"));
    QApplication::processEvents();
    form.ShowView(QStringLiteral("calendar"));
  }
  RecordFacts(state, path, before);
}
BENCHMARK(BM_ShowWeightYear)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Switching to the to-do view on a day whose list file is 10 MB (many items, or one).
void BM_ShowToDoList(benchmark::State& state) {
  MainWindow form(DataFolders::ExecutableFolder(), false);
  form.Startup();
  form.show();
  const QDate day(2009, 3, 15);
  const QString path = form.Dir().ToDoFolder() + "Today" + DayKey(day) + ".txt";
  QByteArray bytes;
  if (state.range(0) == 0) {
    while (bytes.size() < kNoteBytes) bytes += "F=" + QByteArray(97, 't') + "\r\n";
  } else {
    bytes = "F=" + QByteArray(kNoteBytes, 't') + "\r\n";
  }
  WriteBytes(path, bytes);
  const QByteArray before = Digest(path);
  form.SetSelectedDate(day);
  for (auto _ : state) {
    form.ShowView(QStringLiteral("todo"));
    QApplication::processEvents();
    form.ShowView(QStringLiteral("calendar"));
  }
  RecordFacts(state, path, before);
}
BENCHMARK(BM_ShowToDoList)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  // Message boxes would wait for a click; they are counted instead.
  int boxes = 0;
  SetMessageHandler([&boxes](const MessageRequest&) {
    ++boxes;
    return MessageAnswer{};
  });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
