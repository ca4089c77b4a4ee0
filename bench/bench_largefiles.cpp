// Files far beyond what the program writes itself: opening a 10 MB journal note (short
// lines, or one single line) in the running window, showing the weight view over a
// 50 MB year file (many rows, or a year of huge cells), the to-do view over a 10 MB
// list, every other view over a 10 MB file of its own (notes, year grids, logs, meals,
// health files), the start-up over a 17 MB activity list, and the food lists window
// over a 10 MB list. Each case reports the peak resident memory of the process and
// whether the big file was rewritten.
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
#include "app/widgets/welcomedialog.h"
#include "core/textutil.h"
#include "cycle/widgets/monthcalendar.h"
#include "nutrition/foodlists.h"
#include "nutrition/mealday.h"
#include "nutrition/widgets/foodlistswindow.h"
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

// 10 MB of a file some view shows: 0 in short lines of its own kind, 1 in one line.
QByteArray BigTextBytes(int shape, bool grid) {
  QByteArray out;
  out.reserve(kNoteBytes + 64);
  if (shape == 0) {
    const QByteArray line =
        grid ? QByteArray("\"June 1\",150,\" \",,,,,,,,,,,,,,,\r\n") : QByteArray(99, 'n') + "\r\n";
    while (out.size() < kNoteBytes) out += line;
  } else {
    out = (grid ? QByteArray("Date,") : QByteArray()) + QByteArray(kNoteBytes, 'x') + "\r\n";
  }
  return out;
}

// A file of a view, and whether the view reads it at start-up or when it is shown.
struct BigFile {
  const char* view;
  bool grid;
  bool atStartup;
  QString (*path)(const DataFolders& dir);
};

const QDate kBigDay(2009, 3, 15);

const BigFile kBigFiles[] = {
    {"exercise", false, false,
     [](const DataFolders& d) { return d.ExerciseFolder() + DayKey(kBigDay) + ".txt"; }},
    {"exercise", true, false, [](const DataFolders& d) { return d.ExerciseFolder() + "2009.txt"; }},
    {"sleep", false, false,
     [](const DataFolders& d) { return d.SleepFolder() + DayKey(kBigDay) + "-note.txt"; }},
    {"sleep", true, false, [](const DataFolders& d) { return d.SleepFolder() + "2009-Sleep.txt"; }},
    {"basal", true, false, [](const DataFolders& d) { return d.BasalFolder() + "2009-Basal.txt"; }},
    {"heart", true, true, [](const DataFolders& d) { return d.HeartFolder() + "Y2009-pressure.txt"; }},
    {"eat", true, false,
     [](const DataFolders& d) { return MealFilePath(d.FoodFolder(), kBigDay, 1); }},
    {"eat", true, false, [](const DataFolders& d) { return HistoryFilePath(d.FoodFolder(), 2009); }},
    {"health", false, true, [](const DataFolders& d) { return d.HealthFolder() + "Alergies.txt"; }},
    {"health", false, true, [](const DataFolders& d) { return d.HealthFolder() + "contacts.txt"; }},
};

// Showing a view whose file of the day is 10 MB: from the click on its icon until the
// window has painted (for files read at start-up, from the start of the window).
// Arguments: the file (kBigFiles), its shape (BigTextBytes).
void BM_ShowViewOverBigFile(benchmark::State& state) {
  const BigFile& big = kBigFiles[state.range(0)];
  const QByteArray bytes = BigTextBytes(int(state.range(1)), big.grid);
  const QString path = big.path(DataFolders(DataFolders::ExecutableFolder()));
  WriteBytes(path, bytes);
  const QByteArray before = Digest(path);
  for (auto _ : state) {
    MainWindow form(DataFolders::ExecutableFolder(), false);
    if (big.atStartup) {
      form.Startup();
      form.show();
      form.SetSelectedDate(kBigDay);
      form.ShowView(QString::fromLatin1(big.view));
      QApplication::processEvents();
    } else {
      state.PauseTiming();
      form.Startup();
      form.show();
      form.SetSelectedDate(kBigDay);
      QApplication::processEvents();
      state.ResumeTiming();
      form.ShowView(QString::fromLatin1(big.view));
      QApplication::processEvents();
    }
    state.PauseTiming();
    form.ShowView(QStringLiteral("calendar"));
    form.ExitSequence();
    state.ResumeTiming();
  }
  RecordFacts(state, path, before);
  QFile::remove(path);
}
BENCHMARK(BM_ShowViewOverBigFile)
    ->ArgsProduct({benchmark::CreateDenseRange(0, int(std::size(kBigFiles)) - 1, 1), {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The start of the program over a 17 MB activity list (names, or one line), until the
// window has painted.
void BM_StartWithBigActivityList(benchmark::State& state) {
  const DataFolders dir(DataFolders::ExecutableFolder());
  const QString path = dir.ConfigFolder() + "activity.txt";
  QByteArray bytes;
  if (state.range(0) == 0) {
    while (bytes.size() < 17'000'000) bytes += "Nordic walking\r\n";
  } else {
    bytes = QByteArray(17'000'000, 'a') + "\r\n";
  }
  WriteBytes(path, bytes);
  const QByteArray before = Digest(path);
  for (auto _ : state) {
    MainWindow form(DataFolders::ExecutableFolder(), false);
    form.Startup();
    form.show();
    QApplication::processEvents();
    form.ShowView(QStringLiteral("exercise"));
    QApplication::processEvents();
    state.PauseTiming();
    form.ExitSequence();
    state.ResumeTiming();
  }
  RecordFacts(state, path, before);
  QFile::remove(path);
}
BENCHMARK(BM_StartWithBigActivityList)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Opening the food lists window over a 10 MB list (rows, or one line).
void BM_OpenFoodListsOverBigList(benchmark::State& state) {
  const DataFolders dir(DataFolders::ExecutableFolder());
  const QString path = FoodListPath(dir.FoodFolder(), 1);
  WriteBytes(path, BigTextBytes(int(state.range(0)), true));
  const QByteArray before = Digest(path);
  for (auto _ : state) {
    FoodListsWindow window(dir.FoodFolder());
    window.show();
    QApplication::processEvents();
    window.ShowCategory(1);
    QApplication::processEvents();
    state.PauseTiming();
    window.close();
    state.ResumeTiming();
  }
  RecordFacts(state, path, before);
  QFile::remove(path);
}
BENCHMARK(BM_OpenFoodListsOverBigList)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

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
  // A new data folder's welcome is answered with what it proposes, at once.
  SetWelcomeHandler([](const WelcomeAnswers&) { return std::optional<WelcomeAnswers>(); });
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
