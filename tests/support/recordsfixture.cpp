#include "support/recordsfixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include "app/datafolders.h"
#include "support/fixturedb.h"
#include "support/testenv.h"

QMap<QString, QByteArray> Snapshot(const QString& root, bool withBackups) {
  QMap<QString, QByteArray> out;
  QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString rel = QDir(root).relativeFilePath(path);
    if (!withBackups && rel.startsWith(QLatin1String("Backups/"))) continue;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) out.insert(rel, f.readAll());
  }
  return out;
}

namespace {
void Fill(const DataFolders& dir, bool* ok) {
  *ok = false;
  const QString fixture = TestEnv::testData(QStringLiteral("records/folder"));
  QDirIterator it(fixture, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString target = dir.DataRoot() + QDir(fixture).relativeFilePath(path);
    QDir().mkpath(QFileInfo(target).path());
    QFile::remove(target);
    QVERIFY(QFile::copy(path, target));
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  }
  const QString db = dir.DBFolder() + QStringLiteral("Food.db");
  QFile::remove(db);
  QVERIFY(CopyFixtureDatabase(db));
  QVERIFY(ExecOnDatabaseFile(db, QStringLiteral(
      "INSERT INTO Health_Appointments (StartTime, Doctor, Reason) VALUES "
      "('Mar 20, 2009', 'Dr. Lee', 'Check-up, yearly')")));
  QVERIFY(ExecOnDatabaseFile(db, QStringLiteral(
      "INSERT INTO Health_Immunization (Vaccines, Date_Received) VALUES ('Tetanus', '2008')")));
  QVERIFY(ExecOnDatabaseFile(db, QStringLiteral(
      "INSERT INTO Health_Prescription (Date_Start_End, Medication_Dosage, Special_Notes) "
      "VALUES ('Mar 1 - Mar 10', 'Amoxicillin 500 mg', 'with \"food\"')")));
  *ok = true;
}
}  // namespace

bool FillDataFolder(const DataFolders& dir) {
  bool ok = false;
  Fill(dir, &ok);
  return ok;
}
