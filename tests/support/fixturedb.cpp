#include "support/fixturedb.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "nutrition/foodsearch.h"
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
                           TestEnv::testData("usda/ABBREV.txt"), &e) &&
         CreateFoodSearchIndex(db, &e);
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

bool DropFoodSearchIndex(const QString& path, QString* error) {
  for (const char* statement :
       {"DROP TRIGGER food_search_added", "DROP TRIGGER food_search_changed",
        "DROP TRIGGER food_search_removed", "DROP TABLE food_search",
        "DROP TABLE food_search_pending"})
    if (!ExecOnDatabaseFile(path, QString::fromLatin1(statement), error)) return false;
  return true;
}

bool DamageDatabasePage(const QString& path, const QString& name, QString* error) {
  auto fail = [error](const QString& reason) {
    if (error) *error = reason;
    return false;
  };
  qint64 page = 0, pageSize = 0;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(path);
    if (db.open()) {
      QSqlQuery q(db);
      q.prepare(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = ?"));
      q.bindValue(0, name);
      if (q.exec() && q.next()) page = q.value(0).toLongLong();
      if (q.exec(QStringLiteral("PRAGMA page_size")) && q.next())
        pageSize = q.value(0).toLongLong();
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(kConnection);
  if (page < 2 || pageSize < 512) return fail(QStringLiteral("no page of ") + name);
  QFile f(path);
  if (!f.open(QIODevice::ReadWrite) || !f.seek((page - 1) * pageSize))
    return fail(QStringLiteral("cannot open ") + path);
  // Byte 0 of a b-tree page is its type (2, 5, 10 or 13); 0 is none of them.
  if (f.write(QByteArray(1, '\0')) != 1) return fail(QStringLiteral("cannot write ") + path);
  return true;
}
