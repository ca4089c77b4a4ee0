#include "support/fixturedb.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "nutrition/foodtable.h"
#include "nutrition/usdaimport.h"
#include "support/testenv.h"
#include "trackers/healthtables.h"

namespace {
const QString kConnection = QStringLiteral("test.fixture");
}

bool MakeFixtureDatabase(const QString& path, QString* error) {
  bool ok = false;
  QString e;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(path);
    ok = db.open() && CreateFoodTable(db, &e) && CreateHealthTables(db, &e) &&
         ImportUsdaRelease(db, TestEnv::testData("usda/FOOD_DES.txt"),
                           TestEnv::testData("usda/ABBREV.txt"), &e);
    if (!ok && e.isEmpty()) e = db.lastError().text();
    db.close();
  }
  QSqlDatabase::removeDatabase(kConnection);
  if (error) *error = e;
  return ok;
}

bool CopyFixtureDatabase(const QString& path, QString* error) {
  static QTemporaryDir folder;
  static QString made;
  static QString makeError;
  if (made.isEmpty() && makeError.isEmpty()) {
    const QString candidate = folder.path() + QStringLiteral("/Food.db");
    if (MakeFixtureDatabase(candidate, &makeError)) made = candidate;
  }
  if (made.isEmpty()) {
    if (error) *error = makeError;
    return false;
  }
  if (!QFile::copy(made, path)) {
    if (error) *error = QStringLiteral("cannot copy the fixture to ") + path;
    return false;
  }
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  return true;
}

bool ExecOnDatabaseFile(const QString& path, const QString& statement, QString* error) {
  bool ok = false;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(path);
    if (db.open()) {
      QSqlQuery q(db);
      ok = q.exec(statement);
      if (!ok && error) *error = q.lastError().text();
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(kConnection);
  return ok;
}
