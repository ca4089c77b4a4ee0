// Her cycle reading over ten years of daily records: the whole evaluation (cycles from
// the "P" days and the history, the figures, the temperature shift and mucus peak of every
// cycle), the status texts of a month grid, one cycle's chart, and the same evaluation
// read from the ten basal year files on disk.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QLocale>
#include <QTemporaryDir>
#include <random>

#include "basal/basalchart.h"
#include "basal/basalrecords.h"
#include "basal/basaltemperature.h"
#include "core/clock.h"
#include "cycle/cyclereading.h"
#include "cycle/cyclerecordstore.h"

namespace {

constexpr int kFirstYear = 2015;
constexpr int kYears = 10;

// A diligent user: a reading every morning (one in thirty disturbed, one in twenty
// forgotten), the period on the first five days, mucus from day 9 to the peak three days
// before the rise, cycles of 25 to 32 days.
DaySignsList TenYears(QVector<PeriodStart>* recorded) {
  std::mt19937 random(23);
  DaySignsList days;
  QDate start(kFirstYear, 1, 3);
  const QDate end(kFirstYear + kYears, 1, 1);
  int n = 0;
  while (start < end) {
    const int length = 25 + int(random() % 8);
    const int rise = length - 13;  // cycle day of the first higher reading
    if (n++ % 3 == 0) recorded->append({start, PeriodSource::DayAction});
    for (int day = 1; day <= length; ++day) {
      DaySigns d;
      d.date = start.addDays(day - 1);
      if (d.date >= end) break;
      if (random() % 20 != 0) {
        const int base = day < rise ? 3640 : 3690;
        d.temperature = BodyTemperature(base + int(random() % 11) - 5, TemperatureUnit::Celsius);
        d.disturbed = random() % 30 == 0;
      }
      d.period = day <= 5;
      if (!d.period)
        d.mucus = day < 9 ? Mucus::Dry
                  : day < rise - 3 ? Mucus::Sticky
                  : day < rise ? Mucus::Wet
                  : Mucus::Dry;
      days.append(d);
    }
    start = start.addDays(length);
  }
  return days;
}

void BM_EvaluateTenYears(benchmark::State& state) {
  QVector<PeriodStart> recorded;
  const DaySignsList days = TenYears(&recorded);
  const QDate today(kFirstYear + kYears, 1, 1);
  for (auto _ : state) {
    CycleReading r;
    r.Build(recorded, {}, days, today, TemperatureUnit::Celsius);
    benchmark::DoNotOptimize(r.Rows().size());
  }
  CycleReading r;
  r.Build(recorded, {}, days, today, TemperatureUnit::Celsius);
  int shifts = 0, ends = 0;
  for (const CycleRow& row : r.Rows()) {
    shifts += row.signs.shift.state == ShiftState::Confirmed;
    ends += row.signs.fertileEnd.isValid();
  }
  state.counters["days"] = double(days.size());
  state.counters["cycles"] = double(r.Rows().size());
  state.counters["shifts"] = shifts;
  state.counters["fertile_ends"] = ends;
}
BENCHMARK(BM_EvaluateTenYears)->Unit(benchmark::kMillisecond);

void BM_StatusOfAMonthGrid(benchmark::State& state) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QVector<PeriodStart> recorded;
  CycleReading r;
  r.Build(recorded, {}, TenYears(&recorded), QDate(kFirstYear + kYears, 1, 1),
          TemperatureUnit::Celsius);
  const QDate first(kFirstYear + 5, 6, 1);
  for (auto _ : state)
    for (int k = 0; k < 42; ++k) {
      benchmark::DoNotOptimize(r.StatusOn(first.addDays(k)).text.size());
      benchmark::DoNotOptimize(r.Forecast().InWindow(first.addDays(k)));
    }
}
BENCHMARK(BM_StatusOfAMonthGrid)->Unit(benchmark::kMicrosecond);

void BM_ChartOfACycle(benchmark::State& state) {
  QVector<PeriodStart> recorded;
  CycleReading r;
  r.Build(recorded, {}, TenYears(&recorded), QDate(kFirstYear + kYears, 1, 1),
          TemperatureUnit::Celsius);
  const int row = r.RowOf(QDate(kFirstYear + 5, 6, 1));
  for (auto _ : state) benchmark::DoNotOptimize(r.ChartOf(row).readings.size());
}
BENCHMARK(BM_ChartOfACycle)->Unit(benchmark::kMicrosecond);

void BM_ReadAndEvaluateTenYearFiles(benchmark::State& state) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  QVector<PeriodStart> recorded;
  const DaySignsList days = TenYears(&recorded);
  for (int year = kFirstYear; year < kFirstYear + kYears; ++year) {
    CellGrid g;
    InitYearGrid(g, year, kBasalYearColumns, BasalYearHeaders());
    for (const DaySigns& d : days) {
      if (d.date.year() != year) continue;
      const int row = YearGridRow(d.date);
      if (d.temperature) WriteBasalTemperature(g, row, *d.temperature);
      if (d.disturbed) WriteBasalDisturbance(g, row, Disturbance::Sleep);
      const char* code = d.period ? "P"
                         : d.mucus == Mucus::Wet ? "W"
                         : d.mucus == Mucus::Sticky ? "S"
                         : d.mucus == Mucus::Dry ? "D"
                         : "";
      g.SetCell(kDischargeCol, row, QString::fromLatin1(code));
    }
    SaveGridFile(g, BasalYearPath(folder, year));
  }
  const QDate today(kFirstYear + kYears, 1, 1);
  for (auto _ : state) {
    DaySignsList read;
    ReadBasalFolder(folder, TemperatureUnit::Celsius, &read, nullptr);
    CycleReading r;
    r.Build(recorded, {}, std::move(read), today, TemperatureUnit::Celsius);
    benchmark::DoNotOptimize(r.Rows().size());
  }
}
BENCHMARK(BM_ReadAndEvaluateTenYearFiles)->Unit(benchmark::kMillisecond);

// What the calendar pays on a change of date with the shared records: the held reading
// (no file read, no rebuild), the day's status and the frames of a month grid.
// The shared records over ten years of days, read once, on the first day of the year
// after them.
struct TenYearStore {
  TenYearStore()
      : days(TenYears(&recorded)),
        store(dir.path() + "/Periods.txt", [this](TemperatureUnit, DaySignsList* out, QStringList*) {
          *out = days;
          return true;
        }) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Clock::SetSource([] { return QDateTime(QDate(kFirstYear + kYears, 1, 1), QTime(8, 0)); });
    store.Reading(TemperatureUnit::Celsius);
  }
  ~TenYearStore() { Clock::SetSource({}); }
  QTemporaryDir dir;
  QVector<PeriodStart> recorded;
  DaySignsList days;
  CycleRecordStore store;
};

void BM_DateChangeWithSharedRecords(benchmark::State& state) {
  TenYearStore records;
  CycleRecordStore& store = records.store;
  QDate date(kFirstYear + 5, 6, 1);
  for (auto _ : state) {
    date = date.addDays(1);
    const CycleReading& r = store.Reading(TemperatureUnit::Celsius);
    benchmark::DoNotOptimize(r.StatusOn(date).text.size());
    benchmark::DoNotOptimize(r.NextPeriodText().size());
    for (int k = 0; k < 42; ++k) benchmark::DoNotOptimize(r.Forecast().InWindow(date.addDays(k)));
  }
  state.counters["file_reads"] = store.DayReads();
}
BENCHMARK(BM_DateChangeWithSharedRecords)->Unit(benchmark::kMicrosecond);

// A "Period started on this day" over ten years of records: the history written whole,
// then the reading rebuilt from the held days (no basal file read again).
void BM_PeriodActionRebuild(benchmark::State& state) {
  TenYearStore records;
  CycleRecordStore& store = records.store;
  const QDate day(kFirstYear + kYears - 1, 12, 20);
  for (auto _ : state) {
    QString error;
    store.AddDayStart(day, &error);
    benchmark::DoNotOptimize(store.Reading(TemperatureUnit::Celsius).Rows().size());
    store.Undo(&error);
    benchmark::DoNotOptimize(store.Reading(TemperatureUnit::Celsius).Rows().size());
  }
  state.counters["file_reads"] = store.DayReads();
}
BENCHMARK(BM_PeriodActionRebuild)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
