// Builds the shipped database DB/Food.db from the USDA SR21 files at build time:
//   mavelo_makefooddb FOOD_DES.txt ABBREV.txt out/Food.db
// The food table with its rows, its full-text index for the keyword search, and the
// three empty health tables. The file is made
// under a temporary name and renamed at the end, so a failed build leaves no half
// database where the program (and the first-run copy) would take it for a whole one.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTextStream>

#include "nutrition/foodsearch.h"
#include "nutrition/foodtable.h"
#include "nutrition/usdaimport.h"
#include "trackers/healthtables.h"

namespace {
int Fail(const QString& message) {
  QTextStream(stderr) << "mavelo_makefooddb: " << message << '\n';
  return 1;
}

bool Build(const QString& foodDes, const QString& abbrev, const QString& path, QString* error,
           int* count) {
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("build"));
  db.setDatabaseName(path);
  if (!db.open()) {
    *error = db.lastError().text();
    return false;
  }
  const bool ok = CreateFoodTable(db, error) && CreateHealthTables(db, error) &&
                  ImportUsdaRelease(db, foodDes, abbrev, error, count) &&
                  CreateFoodSearchIndex(db, error);
  db.close();
  return ok;
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 4) return Fail(QStringLiteral("usage: mavelo_makefooddb FOOD_DES.txt ABBREV.txt Food.db"));
  const QString out = args[3];
  const QString temp = out + QStringLiteral(".part");
  QFile::remove(temp);

  QElapsedTimer timer;
  timer.start();
  QString error;
  int count = 0;
  const bool ok = Build(args[1], args[2], temp, &error, &count);
  QSqlDatabase::removeDatabase(QStringLiteral("build"));
  if (!ok) {
    QFile::remove(temp);
    return Fail(error);
  }
  QFile::remove(out);
  if (!QFile::rename(temp, out)) {
    QFile::remove(temp);
    return Fail(QStringLiteral("cannot write \"%1\"").arg(out));
  }
  QTextStream(stdout) << "Food.db: " << count << " foods in " << timer.elapsed() << " ms\n";
  return 0;
}
