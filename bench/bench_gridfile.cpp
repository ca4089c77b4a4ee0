// Load and save of the largest grid a view keeps: a leap year's year grid of 367 rows
// and 59 columns (the sleep log's shape), filled as a year of use leaves it.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QLocale>

#include "core/gridfile.h"

namespace {

constexpr int kCols = 59;

CellGrid RealisticYear() {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QStringList headers{"Date"};
  for (int c = 1; c < kCols; ++c) headers << QStringLiteral("Slot %1").arg(c);
  CellGrid g;
  InitYearGrid(g, 2024, kCols, headers);
  // Half-hour slots marked with a letter, a few notes and numbers, and the single-space
  // cells a loaded and saved grid carries.
  for (int r = 1; r < g.RowCount(); ++r) {
    for (int c = 1; c < kCols; ++c) {
      const int k = (r * 31 + c * 7) % 10;
      if (k < 4) g.SetCell(c, r, QStringLiteral(" "));
      else if (k < 7) g.SetCell(c, r, QStringLiteral("S"));
      else if (k < 9) g.SetCell(c, r, QString::number(r % 9 + 0.5));
    }
    if (r % 5 == 0) g.SetCell(kCols - 1, r, QStringLiteral("woke up at \"3\", slept again"));
  }
  return g;
}

void BM_YearGridLoadSave(benchmark::State& state) {
  const QByteArray bytes = GridToBytes(RealisticYear());
  CellGrid g;
  for (auto _ : state) {
    LoadGridBytes(g, bytes);
    benchmark::DoNotOptimize(GridToBytes(g));
  }
  state.SetBytesProcessed(state.iterations() * bytes.size() * 2);
  state.counters["file_bytes"] = double(bytes.size());
}
BENCHMARK(BM_YearGridLoadSave)->Unit(benchmark::kMicrosecond);

void BM_YearGridLoad(benchmark::State& state) {
  const QByteArray bytes = GridToBytes(RealisticYear());
  CellGrid g;
  for (auto _ : state) LoadGridBytes(g, bytes);
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_YearGridLoad)->Unit(benchmark::kMicrosecond);

void BM_YearGridSave(benchmark::State& state) {
  const CellGrid g = RealisticYear();
  for (auto _ : state) benchmark::DoNotOptimize(GridToBytes(g));
}
BENCHMARK(BM_YearGridSave)->Unit(benchmark::kMicrosecond);

// Linear parsing: a single line ten times longer takes about ten times as long.
void BM_LongLine(benchmark::State& state) {
  QByteArray bytes;
  for (int i = 0; i < state.range(0); ++i) bytes += "\"a \"\"b\"\"\",c,";
  bytes += "\r\n";
  CellGrid g;
  for (auto _ : state) LoadGridBytes(g, bytes);
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LongLine)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
