// The record commands of the program itself, run as a user runs them from a terminal or
// from cron: no window, what they did on stdout, why not on stderr, and the exit code.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/datafolders.h"
#include "app/singleinstance.h"
#include "support/testenv.h"

namespace {

QString Program() { return TestEnv::programFolder() + "mavelo"; }

struct Run {
  int code = -1;
  QString out, err;
};

class Home {
 public:
  Home() {
    QDir(dir_.path()).mkpath("run");
    const QString fixture = TestEnv::testData(QStringLiteral("records/folder"));
    QDirIterator it(fixture, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      const QString target = DataRoot() + QDir(fixture).relativeFilePath(path);
      QDir().mkpath(QFileInfo(target).path());
      QFile::copy(path, target);
      QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
  }
  QString Path() const { return dir_.path(); }
  QString DataRoot() const { return dir_.path() + "/.local/share/Tarnwick/Mavelo/"; }
  Run Start(const QStringList& args) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_.path());
    env.remove("XDG_DATA_HOME");
    env.remove("XDG_CONFIG_HOME");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");  // no display is needed
    env.insert("XDG_RUNTIME_DIR", dir_.path() + "/run");
    env.insert("LC_ALL", "en_US.UTF-8");
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(Program(), args);
    Run r;
    if (!p.waitForFinished(60000)) return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
  }

 private:
  QTemporaryDir dir_;
};

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class RecordCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void backupExportsAndRestore() {
    Home home;
    const QString archive = home.Path() + "/nightly.zip";
    Run r = home.Start({"--backup", archive});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.startsWith("Wrote " + archive), qPrintable(r.out));
    QVERIFY2(r.out.contains("Journal: 2 records in 2 files, 2009-03-02 to 2009-03-14"), qPrintable(r.out));
    QVERIFY2(r.out.contains("Left out: Notes/readme.bak"), qPrintable(r.out));
    QVERIFY(QFileInfo(archive).size() > 0);

    r = home.Start({"--export-csv", home.Path() + "/csv"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.out.contains("basal.csv: 3 rows"));
    QCOMPARE(Bytes(home.Path() + "/csv/journal.csv"),
             Bytes(TestEnv::testData("records/golden/journal.csv")));

    r = home.Start({"--export-ics", home.Path() + "/cycle.ics", "--count", "2"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains("events of the next 2 cycles"), qPrintable(r.out));
    QVERIFY(Bytes(home.Path() + "/cycle.ics").startsWith("BEGIN:VCALENDAR"));

    // A restore asks; without a terminal to ask on, it wants --yes and changes nothing.
    const QString note = home.DataRoot() + "Notes/Y2009M3D14.txt";
    QFile::remove(note);
    r = home.Start({"--restore", archive});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("add --yes"), qPrintable(r.err));
    QVERIFY(r.out.contains("Journal: 2 records"));
    QVERIFY(!QFileInfo::exists(note));

    r = home.Start({"--restore", archive, "--yes"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains("Restored."), qPrintable(r.out));
    QCOMPARE(Bytes(note), Bytes(TestEnv::testData("records/folder/Notes/Y2009M3D14.txt")));
    // Her own file in a records folder is no record: the restore leaves it there.
    QCOMPARE(Bytes(home.DataRoot() + "Notes/readme.bak"), Bytes(TestEnv::testData("records/folder/Notes/readme.bak")));
    QCOMPARE(QDir(home.DataRoot() + "Backups").entryList(QDir::Files).size(), 1);
  }

  void importAddsAndReplacesOnlyWhenTold() {
    Home home;
    const QString note = home.DataRoot() + "Notes/Y2024M1D15.txt";
    QDir().mkpath(home.DataRoot() + "Notes");
    QFile f(note);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("my own note\r\n");
    f.close();
    const QString drip = TestEnv::testData("import/drip.csv");
    Run r = home.Start({"--import", drip});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains("is drip's CSV"), qPrintable(r.out));
    QVERIFY2(r.out.contains("Journal (journal.csv): 1 to add, 1 that already holds something"), qPrintable(r.out));
    QVERIFY2(r.out.contains("Left aside: pain.cramps (2 days)"), qPrintable(r.out));
    QVERIFY2(r.out.contains("Basal temperature (basal.csv): 11 added"), qPrintable(r.out));
    QVERIFY2(r.out.contains("--replace writes over them"), qPrintable(r.out));
    QCOMPARE(Bytes(note), QByteArray("my own note\r\n"));
    QVERIFY(QFileInfo::exists(home.DataRoot() + "Notes/Y2024M1D17.txt"));
    QCOMPARE(QDir(home.DataRoot() + "Backups").entryList(QDir::Files).size(), 1);

    r = home.Start({"--import", drip, "--replace"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains("Journal (journal.csv): 0 added, 1 replaced"), qPrintable(r.out));
    QCOMPARE(Bytes(note), QByteArray("Felt great, \"really\"\r\n"));

    // Nothing new: nothing written, no backup made.
    r = home.Start({"--import", drip});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains("Nothing was imported"), qPrintable(r.out));
    QCOMPARE(QDir(home.DataRoot() + "Backups").entryList(QDir::Files).size(), 2);
  }

  void restoreRefusesWhileTheProgramRuns() {
    Home home;
    const QString archive = home.Path() + "/b.zip";
    QCOMPARE(home.Start({"--backup", archive}).code, 0);
    // This test holds the instance, as the open program would.
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", (home.Path() + "/run").toLocal8Bit());
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (home.Path() + "/.local/share").toLocal8Bit());
    {
      // The lock of the home's data folder.
      SingleInstance running{DataFolders(Program(), false)};
      QCOMPARE(DataFolders(Program(), false).DataRoot(), home.DataRoot());
      QVERIFY(running.TryAdmit());
      const Run r = home.Start({"--restore", archive, "--yes"});
      QCOMPARE(r.code, 1);
      QVERIFY2(r.err.contains("Mavelo is open"), qPrintable(r.err));
      QVERIFY(!QDir(home.DataRoot() + "Backups").exists());
      const Run i = home.Start({"--import", TestEnv::testData("import/drip.csv")});
      QCOMPARE(i.code, 1);
      QVERIFY2(i.err.contains("Mavelo is open"), qPrintable(i.err));
      QVERIFY(!QDir(home.DataRoot() + "Backups").exists());
      QVERIFY(!QFileInfo::exists(home.DataRoot() + "Notes/Y2024M1D17.txt"));
      // Reading works all the same.
      QCOMPARE(home.Start({"--backup", home.Path() + "/c.zip"}).code, 0);
    }
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    if (oldData.isEmpty()) qunsetenv("XDG_DATA_HOME");
    else qputenv("XDG_DATA_HOME", oldData);
  }

  void badArgumentsAndFailuresSayWhy_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("no file") << QStringList{"--backup"} << 2 << "needs a file";
    QTest::newRow("two commands") << QStringList{"--backup", "a.zip", "--export-csv", "x"} << 2 << "one command at a time";
    QTest::newRow("bad count") << QStringList{"--export-ics", "a.ics", "--count", "0"} << 2 << "--count needs";
    QTest::newRow("count alone") << QStringList{"--backup", "a.zip", "--count", "3"} << 2 << "--count goes with";
    QTest::newRow("unknown") << QStringList{"--backup", "a.zip", "--fast"} << 2 << "unknown option";
    QTest::newRow("unwritable") << QStringList{"--backup", "/nonexistent/folder/a.zip"} << 1 << "Cannot create file";
    QTest::newRow("replace alone") << QStringList{"--backup", "a.zip", "--replace"} << 2 << "--replace goes with --import";
    QTest::newRow("bad import") << QStringList{"--import", TestEnv::testData("import/periodical-version7.json")} << 1
        << "cannot be imported, and nothing was changed";
    QTest::newRow("missing archive") << QStringList{"--restore", "/nonexistent/a.zip", "--yes"} << 1 << "cannot be restored";
  }
  void badArgumentsAndFailuresSayWhy() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    Home home;
    const Run r = home.Start(args);
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
  }
};

QTEST_GUILESS_MAIN(RecordCommandsTest)
#include "test_recordcommands.moc"
