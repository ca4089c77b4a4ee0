// Backup, CSV export, restore and import of ten years of daily records in every tracker: a note,
// a to-do list, a temperature with signs, a weight, a workout, a night's sleep, a baby's
// nap, a blood-pressure reading and four meals every day, and the shipped Food.db.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "app/csvexport.h"
#include "app/datafolders.h"
#include "app/recordarchive.h"
#include "app/recordimport.h"
#include "basal/basalchart.h"
#include "basal/basalscale.h"
#include "core/clock.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "nutrition/mealday.h"
#include "shell/recordkinds.h"
#include "sleep/sleeplog.h"
#include "trackers/exerciselog.h"
#include "trackers/pressurereadings.h"
#include "trackers/weightmodel.h"

namespace {

constexpr int kFirstYear = 2016, kYears = 10;

void Put(const QString& path, const QString& text) { WriteTextFile(path, text, nullptr); }

void FillTenYears(const DataFolders& dir) {
  for (int year = kFirstYear; year < kFirstYear + kYears; ++year) {
    CellGrid basal, weight, exercise, sleep, baby, history;
    InitYearGrid(basal, year, kBasalYearColumns, BasalYearHeaders());
    InitYearGrid(weight, year, kWeightColumns, {QStringLiteral("Weight")});
    InitYearGrid(exercise, year, kExerciseColumns, ExerciseHeaders());
    InitYearGrid(sleep, year, kSleepYearColumns, SleepYearHeaders());
    InitYearGrid(baby, year, kSleepYearColumns, SleepYearHeaders());
    InitYearGrid(history, year, kMealColumns, HistoryHeaders());
    CellGrid pressure(kPressureColumns, 1);
    pressure.SetRow(0, PressureHeaders());
    const QDate jan1(year, 1, 1);
    for (int r = 1; r <= jan1.daysInYear(); ++r) {
      const QDate d = jan1.addDays(r - 1);
      const int top = 3 + r % 13;
      basal.SetRow(r, {basal.Cell(0, r), FahrenheitText(top), CelsiusText(top), QString::number(top),
                       QStringLiteral("PWSD").mid(r % 4, 1), r % 3 ? QString() : QStringLiteral("*"),
                       QStringLiteral("S")});
      weight.SetCell(1, r, QString::number(140 + r % 10));
      WriteWorkoutDay(exercise, r, WorkoutDay{0, 45, 5, 540, {QStringLiteral("Running")},
                                              QStringLiteral("Running"), 3.5, 0, 0, 0});
      for (int slot = 7; slot <= 22; ++slot) sleep.SetCell(SleepSlotColumn(slot), r, QStringLiteral("*"));
      sleep.SetCell(kSleepHoursCol, r, QStringLiteral("8.0"));
      for (int slot = 30; slot <= 33; ++slot) baby.SetCell(SleepSlotColumn(slot), r, QStringLiteral("*"));
      pressure.SetRowCount(pressure.RowCount() + 1);
      pressure.SetRow(pressure.RowCount() - 1,
                      {FormatDate(QStringLiteral("mmm d, yyyy"), d), QStringLiteral("8:00 AM"),
                       QString::number(110 + r % 20), QString::number(70 + r % 10), QStringLiteral("68")});
      const QString key = DayKey(d);
      Put(dir.NotesFolder() + key + QStringLiteral(".txt"), QStringLiteral("A day of notes, %1.").arg(r));
      Put(dir.ToDoFolder() + QStringLiteral("Today") + key + QStringLiteral(".txt"),
          QStringLiteral("F=Buy milk\r\nT=Call the doctor\r\n"));
      for (int meal = 1; meal <= kMealCount; ++meal) {
        CellGrid g(kMealColumns, 4);
        g.SetRow(0, MealHeaders());
        g.SetRow(1, {QStringLiteral("Oatmeal"), QStringLiteral("300"), QStringLiteral("40"),
                     QStringLiteral("10"), QStringLiteral("10")});
        g.SetRow(2, {QStringLiteral("Apple"), QStringLiteral("95"), QStringLiteral("25"),
                     QStringLiteral("0"), QStringLiteral("0")});
        SaveGridFile(g, MealFilePath(dir.FoodFolder(), d, meal));
      }
      history.SetRow(r, {history.Cell(0, r), QStringLiteral("1580"), QStringLiteral("260"),
                         QStringLiteral("40"), QStringLiteral("40")});
    }
    SaveGridFile(basal, BasalYearPath(dir.BasalFolder(), year));
    SaveGridFile(weight, WeightYearPath(dir.WeightFolder(), year));
    SaveGridFile(exercise, ExerciseYearPath(dir.ExerciseFolder(), year));
    SaveGridFile(sleep, SleepYearPath(dir.SleepFolder(), year));
    SaveGridFile(baby, SleepYearPath(dir.BabyFolder(), year));
    SaveGridFile(pressure, PressureReadingsPath(dir.HeartFolder(), year));
    SaveGridFile(history, HistoryFilePath(dir.FoodFolder(), year));
  }
  QFile::copy(QStringLiteral(MAVELO_BINARY_DIR "/bin/DB/Food.db"), dir.DBFolder() + QStringLiteral("Food.db"));
}

// MAVELO_BENCH_HOME keeps the ten years in that folder for the next run (to profile one
// benchmark without making them again); by default they go with the run.
struct Fixture {
  QTemporaryDir temporary;
  QString home;
  std::unique_ptr<DataFolders> dir;
  QList<RecordKind> kinds;
  QString archive;
  Fixture() {
    home = qEnvironmentVariable("MAVELO_BENCH_HOME", temporary.path());
    const bool made = QFileInfo::exists(home + "/backup.zip");
    qputenv("XDG_DATA_HOME", (home + "/data").toLocal8Bit());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    dir = std::make_unique<DataFolders>(home + "/program/");
    kinds = RecordKinds(*dir);
    archive = home + "/backup.zip";
    if (made) return;
    FillTenYears(*dir);
    WriteBackup(*dir, kinds, archive, nullptr, nullptr, nullptr);
  }
  // The data folders of the restores into an empty folder go at the end of the run.
  QStringList removeAtEnd;
  ~Fixture() {
    for (const QString& path : std::as_const(removeAtEnd)) QDir(path).removeRecursively();
  }
};

Fixture& TheFixture() {
  static Fixture f;
  return f;
}

void BM_Backup(benchmark::State& state) {
  Fixture& f = TheFixture();
  ArchiveSummary s;
  for (auto _ : state) {
    QString error;
    if (!WriteBackup(*f.dir, f.kinds, f.home + "/b.zip", &s, nullptr, &error))
      state.SkipWithError(qPrintable(error));
  }
  state.counters["files"] = s.files;
  state.counters["MB"] = double(s.bytes) / (1 << 20);
  state.counters["archive_MB"] = double(QFileInfo(f.home + "/b.zip").size()) / (1 << 20);
}
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportCsv(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    QString error;
    if (!ExportRecordsCsv(RecordRoot(*f.dir), f.kinds, f.home + "/csv", nullptr, &error))
      state.SkipWithError(qPrintable(error));
  }
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Restore(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    RestoreJob job(*f.dir, f.kinds);
    QString error;
    if (!job.Inspect(f.archive, &error) || !job.Commit(&error)) state.SkipWithError(qPrintable(error));
    state.PauseTiming();
    QDir(f.dir->BackupsFolder()).removeRecursively();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->Iterations(3);

// Another data folder under the fixture's home (a new computer, or one wiped), emptied.
std::unique_ptr<DataFolders> EmptyFolders(const Fixture& f, const QString& name) {
  const QByteArray data = qgetenv("XDG_DATA_HOME");
  QDir(f.home + u'/' + name).removeRecursively();
  qputenv("XDG_DATA_HOME", (f.home + u'/' + name).toLocal8Bit());
  auto dir = std::make_unique<DataFolders>(f.home + "/program/");
  qputenv("XDG_DATA_HOME", data);
  return dir;
}

// The backup restored on a new computer: nothing to link, every file unpacked. Each
// run unpacks into a folder of its own, all removed when the benchmarks end: on ext4
// without a journal, making a file passes over every inode freed in the last half
// minute, so unpacking 22,000 files right after removing the last run's 22,000 measures
// that search (seconds), not the restore; a new computer has removed nothing.
void BM_RestoreIntoEmpty(benchmark::State& state) {
  Fixture& f = TheFixture();
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QString name = QStringLiteral("fresh-%1").arg(++run);
    f.removeAtEnd << f.home + u'/' + name;
    const std::unique_ptr<DataFolders> dir = EmptyFolders(f, name);
    state.ResumeTiming();
    RestoreJob job(*dir, f.kinds);
    QString error;
    if (!job.Inspect(f.archive, &error) || !job.Commit(&error)) state.SkipWithError(qPrintable(error));
  }
}
BENCHMARK(BM_RestoreIntoEmpty)->Unit(benchmark::kMillisecond)->Iterations(3);

// The CSV export of the ten years imported into an empty data folder: the journal, the
// to-do lists, the basal chart, the weights and the blood pressure written back.
void BM_ImportCsv(benchmark::State& state) {
  Fixture& f = TheFixture();
  const QString csv = f.home + "/import-csv";
  QString error;
  if (!ExportRecordsCsv(RecordRoot(*f.dir), f.kinds, csv, nullptr, &error)) state.SkipWithError(qPrintable(error));
  qint64 added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::unique_ptr<DataFolders> dir = EmptyFolders(f, QStringLiteral("imported"));
    const QList<RecordKind> kinds = RecordKinds(*dir);
    state.ResumeTiming();
    ImportJob job(*dir, kinds);
    if (!job.Inspect(csv, &error) || !job.Commit(false, &error)) state.SkipWithError(qPrintable(error));
    added = job.Written().Added();
  }
  state.counters["records"] = double(added);
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  Clock::PinTimeZone();  // as the program does
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
