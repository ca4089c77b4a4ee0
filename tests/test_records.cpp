// Backups, restores and the CSV export of a data folder with records in every tracker
// (tests/data/records/folder, with a Food.db whose health tables hold rows).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include "app/csvexport.h"
#include "app/datafolders.h"
#include "app/recordarchive.h"
#include "core/clock.h"
#include "core/csvfile.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "core/ziparchive.h"
#include "shell/recordkinds.h"
#include "support/faults.h"
#include "support/fixturedb.h"
#include "support/recordsfixture.h"
#include "support/testenv.h"
#include "support/zipmaker.h"

Q_DECLARE_METATYPE(ZipMakerEntry)

namespace {

QString Manifest(int format = kArchiveFormat) {
  return QStringLiteral("[Backup]\r\nFormat=%1\r\nProgram=Mavelo 9.9\r\n").arg(format);
}

}  // namespace

class RecordsTest : public QObject {
  Q_OBJECT
 private slots:
  void backupRestoreRoundTrip() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot());
    const QList<RecordKind> kinds = RecordKinds(dir);

    const QString archive = env.home() + QStringLiteral("/backup.zip");
    ArchiveSummary summary;
    QStringList leftOut;
    QString error;
    QVERIFY2(WriteBackup(dir, kinds, archive, &summary, &leftOut, &error), qPrintable(error));
    // The stray file is named, not taken.
    QCOMPARE(leftOut.size(), 1);
    QVERIFY(leftOut.first().startsWith(QStringLiteral("Notes/readme.bak")));
    QCOMPARE(summary.files, before.size() - 1);

    // Wiped, and something new typed that the archive does not hold.
    for (const QString& f : dir.RecordFolders()) QDir(f).removeRecursively();
    DataFolders again(TestEnv::programFolder());
    QVERIFY(WriteFileBytes(again.NotesFolder() + QStringLiteral("Y2020M1D1.txt"), "new\r\n", &error));

    RestoreJob job(again, kinds);
    QVERIFY2(job.Inspect(archive, &error), qPrintable(error));
    QCOMPARE(job.Summary().files, summary.files);
    QVERIFY2(job.Commit(&error), qPrintable(error));

    QMap<QString, QByteArray> expected = before;
    expected.remove(QStringLiteral("Notes/readme.bak"));
    const QMap<QString, QByteArray> after = Snapshot(dir.DataRoot());
    QCOMPARE(after.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
      QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));

    // The folder as it was before the restore is an automatic backup, and nothing of the
    // restore's own is left beside the data.
    QVERIFY(QFileInfo::exists(job.SafetyBackup()));
    QCOMPARE(AutomaticBackups(dir), QStringList{job.SafetyBackup()});
    ZipReader safety;
    QVERIFY(safety.Open(job.SafetyBackup(), &error));
    QStringList names;
    ZipEntryInfo e;
    while (safety.Next(&e)) names << e.name;
    QVERIFY(names.contains(QStringLiteral("Notes/Y2020M1D1.txt")));
    const QStringList rootEntries = QDir(dir.DataRoot()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : rootEntries) QVERIFY2(!name.startsWith(u'.'), qPrintable(name));
    QVERIFY(!QFileInfo::exists(dir.DataRoot() + QLatin1String(kManifestName)));
  }

  void restoreSummaryCountsEachTracker() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QList<RecordKind> kinds = RecordKinds(dir);
    const QString archive = env.home() + QStringLiteral("/backup.zip");
    QString error;
    QVERIFY(WriteBackup(dir, kinds, archive, nullptr, nullptr, &error));
    QHash<QString, KindCount> byId;
    {
      RestoreJob job(dir, kinds);
      QVERIFY2(job.Inspect(archive, &error), qPrintable(error));
      for (const KindCount& k : job.Summary().kinds) byId.insert(k.id, k);
    }
    QCOMPARE(byId.value("journal").records, 2);
    QCOMPARE(byId.value("journal").files, 2);
    QCOMPARE(byId.value("journal").first, QDate(2009, 3, 2));
    QCOMPARE(byId.value("journal").last, QDate(2009, 3, 14));
    QCOMPARE(byId.value("basal").records, 3);
    QCOMPARE(byId.value("basal").last, QDate(2009, 12, 31));
    QCOMPARE(byId.value("weight").records, 2);
    QCOMPARE(byId.value("bloodpressure").records, 2);
    QCOMPARE(byId.value("health").records, 6);
    QCOMPARE(byId.value("sleep").files, 3);
    // Only looking: nothing is left beside the data folder.
    for (const QString& name : QDir(dir.DataRoot()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
      QVERIFY2(!name.startsWith(u'.'), qPrintable(name));
  }

  void hostileArchiveChangesNothing_data() {
    QTest::addColumn<QList<ZipMakerEntry>>("entries");
    QTest::addColumn<QString>("reason");
    const ZipMakerEntry manifest{QString::fromLatin1(kManifestName), Manifest().toUtf8()};
    const ZipMakerEntry note{QStringLiteral("Notes/Y2009M3D1.txt"), "a good note\r\n"};
    QTest::newRow("climbs out") << QList<ZipMakerEntry>{manifest, note, {"../evil", "x"}} << "\"..\"";
    QTest::newRow("climbs out inside") << QList<ZipMakerEntry>{manifest, note, {"Notes/../../evil.txt", "x"}} << "\"..\"";
    QTest::newRow("absolute") << QList<ZipMakerEntry>{manifest, note, {"/etc/x", "x"}} << "absolute";
    QTest::newRow("link") << QList<ZipMakerEntry>{manifest, note, {"Notes/Y2009M3D2.txt", "/etc/passwd", 0120777}} << "link";
    QTest::newRow("device") << QList<ZipMakerEntry>{manifest, note, {"Notes/Y2009M3D3.txt", "", 0020644}} << "device";
    QTest::newRow("2 GB") << QList<ZipMakerEntry>{manifest, note, {"DB/Food.db", QByteArray(64, '\0'), 0100644, qint64(2) << 30, 8}} << "larger than";
    QTest::newRow("2 GB note") << QList<ZipMakerEntry>{manifest, note, {"Notes/Y2009M3D4.txt", QByteArray(64, '\0'), 0100644, qint64(2) << 30, 8}} << "larger than";
    QTest::newRow("unknown folder") << QList<ZipMakerEntry>{manifest, note, {"Evil/x.txt", "x"}} << "not a file of Mavelo";
    QTest::newRow("unknown name") << QList<ZipMakerEntry>{manifest, note, {"Notes/run.sh", "x"}} << "not a file of Mavelo";
    QTest::newRow("too deep") << QList<ZipMakerEntry>{manifest, note, {"Notes/a/Y2009M3D1.txt", "x"}} << "folder the program does not keep";
    QTest::newRow("twice") << QList<ZipMakerEntry>{manifest, note, note} << "twice";
    QTest::newRow("not a database") << QList<ZipMakerEntry>{manifest, note, {"DB/Food.db", "MZ not sqlite"}} << "not an SQLite database";
    QTest::newRow("no manifest") << QList<ZipMakerEntry>{note} << "no manifest";
    QTest::newRow("newer version") << QList<ZipMakerEntry>{{QString::fromLatin1(kManifestName), Manifest(kArchiveFormat + 1).toUtf8()}, note} << "newer version";
  }
  void hostileArchiveChangesNothing() {
    QFETCH(QList<ZipMakerEntry>, entries);
    QFETCH(QString, reason);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QMap<QString, QByteArray> before = Snapshot(env.home(), true);
    const QString archive = env.home() + QStringLiteral("/work/hostile.zip");
    QDir().mkpath(QFileInfo(archive).path());
    QVERIFY(WriteZip(archive, entries));
    const QMap<QString, QByteArray> withArchive = Snapshot(env.home(), true);

    RestoreJob job(dir, RecordKinds(dir));
    QString error;
    QVERIFY(!job.Inspect(archive, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("Nothing was changed")), qPrintable(error));
    QVERIFY(!job.Commit(&error));
    // Nothing anywhere in the home: not the data, not beside it, not above the archive.
    QCOMPARE(Snapshot(env.home(), true).keys(), withArchive.keys());
    QVERIFY(Snapshot(env.home(), true) == withArchive);
    QVERIFY(!QFileInfo::exists(env.home() + QStringLiteral("/evil")));
    QVERIFY(!QFileInfo::exists(env.home() + QStringLiteral("/work/evil")));
    QVERIFY(withArchive.size() == before.size() + 1);
  }

  void unreadableDatabaseIsRefused() {
    // The header says SQLite, the rest is not: only opening it tells, before anything
    // of the data folder changes.
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot(), true);
    QByteArray db("SQLite format 3");
    db.append('\0');
    db.append(QByteArray(4096, 'x'));
    const QString archive = env.home() + QStringLiteral("/bad-db.zip");
    QVERIFY(WriteZip(archive, {{QString::fromLatin1(kManifestName), Manifest().toUtf8()},
                               {QStringLiteral("DB/Food.db"), db}}));
    RestoreJob job(dir, RecordKinds(dir));
    QString error;
    QVERIFY(!job.Inspect(archive, &error));
    QVERIFY2(error.contains(QStringLiteral("Food.db")), qPrintable(error));
    QVERIFY(Snapshot(dir.DataRoot(), true) == before);
  }

  void failedBackupKeepsTheOldArchive() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QString archive = env.home() + QStringLiteral("/backup.zip");
    QVERIFY(WriteFileBytes(archive, "the old backup", nullptr));
    QString error;
    bool ok = true;
    {
      FileSizeLimit limit(4096);  // as a full disk cuts the archive short
      ok = WriteBackup(dir, RecordKinds(dir), archive, nullptr, nullptr, &error);
    }
    QVERIFY(!ok);
    QVERIFY2(error.startsWith(QStringLiteral("Cannot create file")), qPrintable(error));
    QFile f(archive);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("the old backup"));
    QCOMPARE(QDir(env.home()).entryList({"backup.zip*"}, QDir::Files | QDir::Hidden),
             QStringList{"backup.zip"});
  }

  void csvExportMatchesGoldenFiles() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QString out = env.home() + QStringLiteral("/csv");
    QStringList written;
    QString error;
    QVERIFY2(ExportRecordsCsv(RecordRoot(dir), RecordKinds(dir), out, &written, &error), qPrintable(error));
    const QString golden = TestEnv::testData(QStringLiteral("records/golden"));
    QCOMPARE(QDir(out).entryList(QDir::Files, QDir::Name), QDir(golden).entryList(QDir::Files, QDir::Name));
    for (const QString& name : QDir(golden).entryList(QDir::Files)) {
      QFile a(out + u'/' + name), b(golden + u'/' + name);
      QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
      const QByteArray got = a.readAll();
      QVERIFY2(got == b.readAll(), qPrintable(name + QStringLiteral(":\n") + QString::fromUtf8(got)));
      // What other programs read: a table of one width, in UTF-8.
      CsvTable table;
      QVERIFY2(ReadCsv(got, &table, &error), qPrintable(name + u' ' + error));
    }
  }

  void csvNumbersIgnoreTheLocale() {
    // A German user's weights are typed "145,5"; the CSV says 145.5 all the same.
    TestEnv env;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    DataFolders dir(TestEnv::programFolder());
    CellGrid grid;
    InitYearGrid(grid, 2009, 10, {QStringLiteral("Weight")});
    grid.SetCell(1, 73, QStringLiteral("145,5"));
    QVERIFY(SaveGridFile(grid, dir.WeightFolder() + QStringLiteral("2009.txt")));
    const QString out = env.home() + QStringLiteral("/csv");
    QString error;
    QVERIFY(ExportRecordsCsv(RecordRoot(dir), RecordKinds(dir), out, nullptr, &error));
    QFile f(out + QStringLiteral("/weight.csv"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("date,weight,unit,goal\r\n2009-03-14,145.5,lbs,\r\n"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  void dailyBackupsKeepSevenDaysAndFourWeeks() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QString error;
    QVERIFY(WriteFileBytes(dir.NotesFolder() + QStringLiteral("Y2025M1D1.txt"), "a\r\n", &error));
    const QList<RecordKind> kinds = RecordKinds(dir);
    const QDate first(2025, 1, 1);  // a Wednesday
    for (int d = 0; d < 60; ++d) {
      bool made = false;
      QVERIFY2(MakeDailyBackup(dir, kinds, first.addDays(d), &error, &made), qPrintable(error));
      QVERIFY(made);
    }
    // A second start on the same day makes none.
    bool made = true;
    QVERIFY(MakeDailyBackup(dir, kinds, first.addDays(59), &error, &made));
    QVERIFY(!made);
    QStringList kept;
    for (const QString& p : AutomaticBackups(dir)) kept << QFileInfo(p).fileName();
    // 1 March back to 23 February, then the newest day of each of the four weeks before:
    // 22 February (the rest of the 23rd's week), then Sunday 16, 9 and 2 February.
    QCOMPARE(kept, (QStringList{"Mavelo-auto-2025-03-01.zip", "Mavelo-auto-2025-02-28.zip",
                                "Mavelo-auto-2025-02-27.zip", "Mavelo-auto-2025-02-26.zip",
                                "Mavelo-auto-2025-02-25.zip", "Mavelo-auto-2025-02-24.zip",
                                "Mavelo-auto-2025-02-23.zip", "Mavelo-auto-2025-02-22.zip",
                                "Mavelo-auto-2025-02-16.zip", "Mavelo-auto-2025-02-09.zip",
                                "Mavelo-auto-2025-02-02.zip"}));
    // No archive holds the backups.
    ZipReader zip;
    QVERIFY(zip.Open(AutomaticBackups(dir).first(), &error));
    ZipEntryInfo e;
    while (zip.Next(&e)) QVERIFY2(!e.name.startsWith(QStringLiteral("Backups")), qPrintable(e.name));
  }

  void dailyBackupFailureIsReported() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    // A file where the Backups folder belongs.
    QVERIFY(WriteFileBytes(dir.DataRoot() + QStringLiteral("Backups"), "x", nullptr));
    QString error;
    bool made = true;
    QVERIFY(!MakeDailyBackup(dir, RecordKinds(dir), QDate(2025, 1, 1), &error, &made));
    QVERIFY(!made);
    QVERIFY2(error.contains(QStringLiteral("Backups")), qPrintable(error));
  }
};

QTEST_GUILESS_MAIN(RecordsTest)
#include "test_records.moc"
