// Backups, restores and the CSV export of a data folder with records in every tracker
// (tests/data/records/folder, with a Food.db whose health tables hold rows).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

// Every file of an archive but its manifest, by name.
QMap<QString, QByteArray> ZipFiles(const QString& path) {
  QMap<QString, QByteArray> out;
  ZipReader zip;
  QString error;
  if (!zip.Open(path, &error)) return out;
  ZipEntryInfo e;
  while (zip.Next(&e)) {
    QByteArray bytes;
    if (e.type == ZipEntryInfo::Type::File && e.name != QLatin1String(kManifestName) &&
        zip.ReadData(qint64(1) << 30, &bytes, &error))
      out.insert(e.name, bytes);
  }
  return out;
}

// What a restore may leave beside the data: its staging folder, the old folders, its
// list of moves (all named with a leading dot).
QStringList Leftovers(const DataFolders& dir) {
  QStringList out;
  for (const QString& name : QDir(dir.DataRoot()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
    if (name.startsWith(u'.')) out << name;
  return out;
}

// A save writes a new file and renames it over the old one; another program may write
// the file itself in place.
bool Change(const QString& path, const QByteArray& bytes, bool inPlace) {
  if (!inPlace) return WriteFileBytes(path, bytes, nullptr);
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Files she put into the records folders herself, beside Notes/readme.bak: no archive
// holds them, and a restore leaves them where they are.
bool AddHerOwnFiles(const DataFolders& dir) {
  return QDir().mkpath(dir.NotesFolder() + QStringLiteral("drafts")) &&
         WriteFileBytes(dir.NotesFolder() + QStringLiteral("drafts/letter.txt"), "Dear doctor", nullptr) &&
         WriteFileBytes(dir.WeightFolder() + QStringLiteral("photo.jpg"), "\xff\xd8 a photo", nullptr) &&
         QFile::link(QStringLiteral("../Notes/readme.bak"), dir.HeartFolder() + QStringLiteral("readme.lnk"));
}

// The data folder filled, backed up, and then changed in three folders.
struct ChangedSinceBackup {
  QString archive;
  QMap<QString, QByteArray> archived;  // the data folder as a restore of the archive leaves it
  QMap<QString, QByteArray> now;       // as it is after the changes
};
bool BackUpThenChange(const TestEnv& env, const DataFolders& dir, ChangedSinceBackup* out) {
  if (!FillDataFolder(dir) || !AddHerOwnFiles(dir)) return false;
  out->archive = env.home() + QStringLiteral("/backup.zip");
  if (!WriteBackup(dir, RecordKinds(dir), out->archive, nullptr, nullptr, nullptr)) return false;
  out->archived = Snapshot(dir.DataRoot());
  if (!WriteFileBytes(dir.NotesFolder() + QStringLiteral("Y2020M1D1.txt"), "typed since\r\n", nullptr) ||
      !WriteFileBytes(dir.WeightFolder() + QStringLiteral("2009.txt"), "weighed since\r\n", nullptr) ||
      !QFile::remove(dir.HeartFolder() + QStringLiteral("Y2009-pressure.txt")))
    return false;
  out->now = Snapshot(dir.DataRoot());
  return true;
}

bool SetImmutable(const QString& path, bool on) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  ::close(fd);
  return ok;
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

  // A restore over a data folder that holds much of the archive already: folders that
  // hold exactly its files are left in place, unchanged files are linked, and what
  // changed before the restore, or while she was asked (a view saved, another program
  // writing a file in place), is in the safety copy and replaced by the archive's.
  void restoreOverTheDataFolder_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<bool>("whileAsked");
    QTest::newRow("nothing changed") << QString() << QByteArray() << false << false;
    QTest::newRow("a note added") << "Notes/Y2020M1D1.txt" << QByteArray("new\r\n") << false << false;
    QTest::newRow("a weight saved") << "Weight/2009.txt" << QByteArray("a weight\r\n") << false << false;
    QTest::newRow("a note added while asked") << "Notes/Y2020M1D1.txt" << QByteArray("new\r\n") << false << true;
    QTest::newRow("a weight saved while asked") << "Weight/2009.txt" << QByteArray("a weight\r\n") << false << true;
    QTest::newRow("a weight written in place while asked") << "Weight/2009.txt" << QByteArray("in place\r\n") << true << true;
    QTest::newRow("a note written in place while asked") << "Notes/Y2009M3D14.txt" << QByteArray("written in place\r\n") << true << true;
    QTest::newRow("a setting saved while asked") << "Config/application.ini" << QByteArray("[Cycle]\r\n") << false << true;
  }
  void restoreOverTheDataFolder() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, inPlace);
    QFETCH(bool, whileAsked);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    QVERIFY(AddHerOwnFiles(dir));
    const QList<RecordKind> kinds = RecordKinds(dir);
    const QString archive = env.home() + QStringLiteral("/backup.zip");
    QString error;
    QVERIFY2(WriteBackup(dir, kinds, archive, nullptr, nullptr, &error), qPrintable(error));
    // Her own files are not in the archive, and they stay.
    const QMap<QString, QByteArray> expected = Snapshot(dir.DataRoot());
    QMap<QString, QByteArray> before = expected;
    for (const char* own : {"Notes/readme.bak", "Notes/drafts/letter.txt", "Weight/photo.jpg", "Heart/readme.lnk"})
      QVERIFY2(before.remove(QString::fromLatin1(own)), own);  // a backup leaves them out

    auto change = [&] {
      QVERIFY(Change(dir.DataRoot() + file, bytes, inPlace));
      before.insert(file, bytes);
    };
    RestoreJob job(dir, kinds);
    if (!file.isEmpty() && !whileAsked) change();
    QVERIFY2(job.Inspect(archive, &error), qPrintable(error));
    if (!file.isEmpty() && whileAsked) change();
    QVERIFY2(job.Commit(&error), qPrintable(error));

    const QMap<QString, QByteArray> after = Snapshot(dir.DataRoot());
    QCOMPARE(after.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
      QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
    QVERIFY(QFileInfo(dir.HeartFolder() + QStringLiteral("readme.lnk")).isSymLink());
    // The safety copy is the folder as it was at the restore, change and all.
    const QMap<QString, QByteArray> safety = ZipFiles(job.SafetyBackup());
    QCOMPARE(safety.keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
      QVERIFY2(safety.value(it.key()) == it.value(), qPrintable(it.key()));
    QCOMPARE(Leftovers(dir), QStringList());
  }

  // The program killed, or the power gone, at any moment of a restore: at the next start
  // the data folder is either the one before or the one restored, never a mix, and
  // nothing of the restore is left beside it.
  void stoppedRestoreIsFinishedAtTheNextStart_data() {
    QTest::addColumn<int>("stopAt");  // -2 unpacking, -1 the safety copy, n after n moves, 0 after the last
    QTest::addColumn<bool>("restored");
    QTest::addColumn<bool>("startMakesFolders");
    QTest::newRow("while unpacking") << -2 << false << false;
    QTest::newRow("while saving the safety copy") << -1 << false << false;
    QTest::newRow("after the first move") << 1 << true << false;
    QTest::newRow("after the second move") << 2 << true << false;
    QTest::newRow("after the last move") << 0 << true << false;
    QTest::newRow("after the first move, folders made at the start") << 1 << true << true;
  }
  void stoppedRestoreIsFinishedAtTheNextStart() {
    QFETCH(int, stopAt);
    QFETCH(bool, restored);
    QFETCH(bool, startMakesFolders);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    ChangedSinceBackup data;
    QVERIFY(BackUpThenChange(env, dir, &data));
    const QString root = dir.DataRoot();

    const ChildResult child = RunInChild([&](QString* message) {
      RestoreJob job(dir, RecordKinds(dir));
      bool committing = false;
      auto progress = [&](qint64 done, qint64 total) {
        const QDir data(root);
        const bool staged = !data.entryList({QStringLiteral(".restore-*")}, QDir::Dirs | QDir::Hidden).isEmpty();
        const bool moving = !data.entryList({QStringLiteral(".restore-*.swap")}, QDir::Files | QDir::Hidden).isEmpty();
        if (stopAt == -2 && !committing && staged && total > 0) std::_Exit(3);
        if (!committing) return;
        if (stopAt == -1 && !moving) std::_Exit(3);
        if (moving && (stopAt > 0 ? done == stopAt : done == total)) std::_Exit(3);
      };
      if (!job.Inspect(data.archive, message, progress)) return 1;
      committing = true;
      return job.Commit(message, progress) ? 0 : 1;
    });
    QVERIFY2(child.status == 3, qPrintable(child.message));
    if (stopAt == 1) {
      // Stopped halfway indeed.
      QVERIFY(Snapshot(root) != data.now);
      QVERIFY(Snapshot(root) != data.archived);
    }
    if (startMakesFolders) DataFolders again(TestEnv::programFolder());

    QString error;
    QVERIFY2(FinishStoppedRestore(dir, &error), qPrintable(error));
    const QMap<QString, QByteArray> expected = restored ? data.archived : data.now;
    const QMap<QString, QByteArray> after = Snapshot(root);
    QCOMPARE(after.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
      QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
    QCOMPARE(Leftovers(dir), QStringList());
    for (const QString& f : dir.RecordFolders()) QVERIFY2(QFileInfo(f).isDir(), qPrintable(f));
    // A start with nothing to finish changes nothing.
    QVERIFY(FinishStoppedRestore(dir, &error));
    QVERIFY(Snapshot(root) == after);
  }

  // A commit that fails before or among its moves leaves the data folder as it was.
  void failedCommitChangesNothing_data() {
    QTest::addColumn<bool>("safetyFails");
    QTest::newRow("the safety copy cannot be written") << true;
    QTest::newRow("a folder cannot be moved aside") << false;
  }
  void failedCommitChangesNothing() {
    QFETCH(bool, safetyFails);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    ChangedSinceBackup data;
    QVERIFY(BackUpThenChange(env, dir, &data));
    const QList<RecordKind> kinds = RecordKinds(dir);
    // Of the folders that move, the last: the others have moved when it fails.
    QString stuck;
    for (const QString& f : RuleFolders(kinds))
      if (f == u"Notes/" || f == u"Weight/" || f == u"Heart/") stuck = dir.DataRoot() + f;
    QString error;
    bool ok = true;
    {
      RestoreJob job(dir, kinds);
      QVERIFY2(job.Inspect(data.archive, &error), qPrintable(error));
      if (safetyFails) {
        QVERIFY(WriteFileBytes(dir.DataRoot() + QStringLiteral("Backups"), "x", nullptr));
      } else if (!SetImmutable(stuck, true)) {
        QSKIP("This filesystem or user cannot make a folder immutable");
      }
      ok = job.Commit(&error);
      if (!safetyFails) SetImmutable(stuck, false);
    }
    QVERIFY(!ok);
    QVERIFY2(error.contains(QStringLiteral("othing was restored")), qPrintable(error));
    if (!safetyFails) QVERIFY2(error.contains(QStringLiteral("moved aside")), qPrintable(error));
    QMap<QString, QByteArray> after = Snapshot(dir.DataRoot());
    after.remove(QStringLiteral("Backups"));  // the file in its way
    QCOMPARE(after.keys(), data.now.keys());
    QVERIFY(after == data.now);
    QCOMPARE(Leftovers(dir), QStringList());
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
