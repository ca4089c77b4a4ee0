// The food database on the whole USDA table (7,413 foods): keyword searches of one and
// three words through the full-text index (and a window's first, which checks the index), and the same by reading every name (a
// read-only or damaged Food.db), a group search, each with the filling of the grid's
// model; the opening of Food.db with its integrity check, the making of the index for a
// Food.db that lacks it, and the build of Food.db from the release files.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "app/database.h"
#include "app/datafolders.h"
#include "nutrition/foodquery.h"
#include "nutrition/foodsearch.h"
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
  if (!query.UsedSearchIndex() && *keyword) state.SkipWithError("the search index was not used");
  state.counters["rows"] = query.rowCount();
}
BENCHMARK_CAPTURE(BM_KeywordSearch, banana, "banana")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordSearch, apple, "apple")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordSearch, cheese, "cheese")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordSearch, chicken, "chicken")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordSearch, chicken_breast_roasted, "chicken breast roasted")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordSearch, raw_apples_skin, "raw apples skin")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordSearch, creme_brulee_accents, "crème brûlée")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordSearch, every_food, "")->Unit(benchmark::kMillisecond);

// The first search of a food window: the index is checked against the food table first.
void BM_FirstKeywordSearch(benchmark::State& state) {
  ShippedCopy db;
  if (!db.ok) {
    state.SkipWithError("build DB/Food.db first");
    return;
  }
  for (auto _ : state) {
    FoodQuery query;
    benchmark::DoNotOptimize(query.SearchByKeyword(QStringLiteral("chicken")));
    if (!query.UsedSearchIndex()) state.SkipWithError("the search index was not used");
  }
}
BENCHMARK(BM_FirstKeywordSearch)->Unit(benchmark::kMillisecond);

// A Food.db that takes no writes and has no index: every name is read.
void BM_KeywordScan(benchmark::State& state, const char* keyword) {
  ShippedCopy db;
  if (!db.ok) {
    state.SkipWithError("build DB/Food.db first");
    return;
  }
  CloseDatabase();
  const QString path = db.dir.path() + "/Food.db";
  {
    QSqlDatabase raw =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench.raw"));
    raw.setDatabaseName(path);
    raw.open();
    for (const char* s : {"DROP TRIGGER food_search_added", "DROP TRIGGER food_search_changed",
                          "DROP TRIGGER food_search_removed", "DROP TABLE food_search",
                          "DROP TABLE food_search_pending"})
      QSqlQuery(raw).exec(QString::fromLatin1(s));
    raw.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("bench.raw"));
  // Found damaged while running: read-only from here on.
  if (!OpenDatabaseFile(path, nullptr)) {
    state.SkipWithError("cannot open the copy");
    return;
  }
  DatabaseReadMessage(QSqlError(QString(), QStringLiteral("malformed"), QSqlError::StatementError,
                                QStringLiteral("11")));
  FoodQuery query;
  for (auto _ : state) benchmark::DoNotOptimize(query.SearchByKeyword(QString::fromUtf8(keyword)));
  if (query.UsedSearchIndex()) state.SkipWithError("the index was used");
  state.counters["rows"] = query.rowCount();
}
BENCHMARK_CAPTURE(BM_KeywordScan, banana, "banana")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeywordScan, chicken_breast_roasted, "chicken breast roasted")
    ->Unit(benchmark::kMillisecond);

// Opening Food.db: the table list and SQLite's integrity check of every page.
void BM_OpenDatabase(benchmark::State& state) {
  ShippedCopy db;
  if (!db.ok) {
    state.SkipWithError("build DB/Food.db first");
    return;
  }
  const QString path = db.dir.path() + "/Food.db";
  for (auto _ : state) benchmark::DoNotOptimize(OpenDatabaseFile(path, nullptr));
  if (DatabaseIsReadOnly()) state.SkipWithError("opened read-only");
}
BENCHMARK(BM_OpenDatabase)->Unit(benchmark::kMillisecond);

// The one-time upgrade of a Food.db made before the index: the whole index made.
void BM_MakeSearchIndex(benchmark::State& state) {
  ShippedCopy db;
  if (!db.ok) {
    state.SkipWithError("build DB/Food.db first");
    return;
  }
  QSqlDatabase connection = AppDatabase();
  for (auto _ : state) {
    QString e;
    if (!CreateFoodSearchIndex(connection, &e)) state.SkipWithError(e.toUtf8().constData());
  }
}
BENCHMARK(BM_MakeSearchIndex)->Unit(benchmark::kMillisecond)->Iterations(5);

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
                      ImportUsdaRelease(db, release + "FOOD_DES.txt", release + "ABBREV.txt", &e) &&
                      CreateFoodSearchIndex(db, &e);
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
