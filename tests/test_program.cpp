// The program as a process: a first start in an empty home builds the data folder tree
// and application.ini; a second start while the first runs is refused.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "core/textutil.h"
#include "support/testenv.h"

namespace {
QString Program() { return TestEnv::programFolder() + "mavelo"; }

QProcessEnvironment EnvFor(const QString& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home);
  env.remove("XDG_DATA_HOME");
  env.remove("XDG_CONFIG_HOME");
  env.insert("XDG_RUNTIME_DIR", home + "/run");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("LC_ALL", "en_US.UTF-8");
  env.insert("LANG", "en_US.UTF-8");
  return env;
}
}  // namespace

class ProgramTest : public QObject {
  Q_OBJECT
 private slots:
  void firstStartInAnEmptyHome() {
    QTemporaryDir home;
    QDir(home.path()).mkpath("run");
    QProcess p;
    QProcessEnvironment env = EnvFor(home.path());
    env.insert("MAVELO_STARTUP_BENCH", "1");  // leave as soon as the window is up
    p.setProcessEnvironment(env);
    p.start(Program(), {});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().contains("startup_ms"));

    const QString maker = home.path() + "/.local/share/Tarnwick/";
    const QString root = maker + "Mavelo/";
    QVERIFY(QDir(maker).exists());
    const QStringList folders{"Log", "DB", "Config", "Build", "FTP", "Notes", "ToDo", "Basal",
                              "Weight", "Exercise", "Health", "Food", "Sleep", "Baby", "Heart"};
    QCOMPARE(folders.size(), 15);
    for (const QString& f : folders) QVERIFY2(QDir(root + f).exists(), qPrintable(f));

    QFile ini(root + "Config/application.ini");
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray expected =
        "[Application]\r\nAutoStart=0\r\nTemperature_Units=F\r\nMeasure_Units=I\r\n\r\n"
        "[Calendar]\r\nui_Goal=0\r\nui_LastPeriod=" +
        StoredDateText(QDate::currentDate()).toUtf8() +
        "\r\nui_CycleLength=28\r\nui_luteal=14\r\n\r\n"
        "[Sound]\r\nBed=Waves\r\nWakeUp=Buzz\r\nfeed=DrinkGulp\r\n\r\n"
        "[ToDo]\r\nCategories=Today,Tomorrow,Yesterday,, @Home,@Work,@Play,@Family,@School,@Other\r\n\r\n"
        "[BMI]\r\nHeight=72\r\n";
    // Every key with its first-start value, sections in the order they were first written.
    QCOMPARE(ini.readAll(), expected);
  }

  // The lock belongs to the data folder: a second start on the same records is refused,
  // also when it is another build of the program started with another runtime folder.
  void secondStartIsRefused_data() {
    QTest::addColumn<bool>("otherBuild");
    QTest::newRow("the same program") << false;
    QTest::newRow("another build, another runtime folder") << true;
  }
  void secondStartIsRefused() {
    QFETCH(bool, otherBuild);
    QTemporaryDir home;
    QDir(home.path()).mkpath("run");
    QDir(home.path()).mkpath("run2");
    QProcess first;
    first.setProcessEnvironment(EnvFor(home.path()));
    first.start(Program(), {});
    QVERIFY(first.waitForStarted());
    // The first instance is up once it has written its settings.
    const QString ini = home.path() + "/.local/share/Tarnwick/Mavelo/Config/application.ini";
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ini), 30000);
    QTest::qWait(300);
    const QDateTime written = QFileInfo(ini).lastModified();

    QTemporaryDir other;
    QString program = Program();
    QProcessEnvironment env = EnvFor(home.path());
    if (otherBuild) {
      QVERIFY(QDir(other.path()).mkpath("bin"));
      program = other.path() + "/bin/mavelo";
      QVERIFY(QFile::copy(Program(), program));
      QVERIFY(QFile::setPermissions(program,
                                    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
      env.insert("XDG_RUNTIME_DIR", home.path() + "/run2");
    }
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    QVERIFY(second.waitForStarted());
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += second.readAllStandardError()).contains(
                                 "Only one calendar can be opened at a time. Exiting this "
                                 "instance of Mavelo"),
                             30000);
    second.kill();
    second.waitForFinished();
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(QFileInfo(ini).lastModified(), written);
    first.kill();
    first.waitForFinished();
  }
};

QTEST_MAIN(ProgramTest)
#include "test_program.moc"
