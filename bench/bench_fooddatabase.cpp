// The food database on the whole USDA table (7,413 foods): a keyword search and a group
// search, each with the filling of the grid's model, and the build of Food.db from the
// release files.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include "app/database.h"
#include "app/datafolders.h"
#include "nutrition/foodquery.h"
#include "nutrition/foodtable.h"
#include "nutrition/usdaimport.h"
#include "trackers/healthtables.h"

namespace {

// A copy of the built DB/Food.db, opened as the program's database.
struct ShippedCopy {
  QTemporaryDir dir;
  bool ok = false;
  ShippedCopy() {
    const QString path = dir.path() + "/Food.db";
    ok = QFile::copy(DataFolders::ExecutableFolder() + "DB/Food.db", path) &&
         OpenDatabaseFile(path, nullptr);
  }
  ~ShippedCopy() { CloseDatabase(); }
};

void BM_KeywordSearch(benchmark::State& state, const char* keyword) {
  ShippedCopy db;
  if (!db.ok) {
    state.SkipWithError("build DB/Food.db first");
    return;
  }
  FoodQuery query;
  for (auto _ : state) benchmark::DoNotOptimize(query.SearchByKeyword(QString::fromUtf8(keyword)));
  state.counters["rows"] = query.rowCount();
}
BENCHMARK_CAPTURE(BM_KeywordSearch, apple, "apple")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordSearch, cheese, "cheese")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordSearch, every_food, "")->Unit(benchmark::kMillisecond);

void BM_GroupSearch(benchmark::State& state, const char* code) {
  ShippedCopy db;
  if (!db.ok) {
    state.SkipWithError("build DB/Food.db first");
    return;
  }
  FoodQuery query;
  for (auto _ : state) benchmark::DoNotOptimize(query.SearchByGroup(QString::fromLatin1(code)));
  state.counters["rows"] = query.rowCount();
}
// Vegetables is the largest group (805 foods), Ethnic Foods a small one.
BENCHMARK_CAPTURE(BM_GroupSearch, vegetables, "1100")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GroupSearch, ethnic_foods, "3500")->Unit(benchmark::kMillisecond);

void BM_BuildFoodDb(benchmark::State& state) {
  const QString release = QStringLiteral(MAVELO_SOURCE_DIR "/data/usda-sr21/");
  int n = 0;
  for (auto _ : state) {
    QTemporaryDir dir;
    const QString name = QStringLiteral("bench.build.%1").arg(++n);
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
      db.setDatabaseName(dir.path() + "/Food.db");
      QString e;
      const bool ok = db.open() && CreateFoodTable(db, &e) && CreateHealthTables(db, &e) &&
                      ImportUsdaRelease(db, release + "FOOD_DES.txt", release + "ABBREV.txt", &e);
      if (!ok) state.SkipWithError(e.toUtf8().constData());
      db.close();
    }
    QSqlDatabase::removeDatabase(name);
  }
}
BENCHMARK(BM_BuildFoodDb)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // the SQL driver plugins
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
