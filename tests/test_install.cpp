// The program as a user installs it: `cmake --install` into a temporary DESTDIR lays out
// bin/, share/mavelo/, the desktop entry, the metadata and the icons; the installed
// program finds its shipped folders from there, and answers --version and --help without
// a display.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kBuild = QStringLiteral(MAVELO_BUILD_DIR);
const QString kAppId = QStringLiteral("app.mavelo.Mavelo");

QStringList FilesUnder(const QString& folder) {
  QStringList out;
  QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) out << QDir(folder).relativeFilePath(it.next());
  out.sort();
  return out;
}

QProcessEnvironment CleanEnv(const QString& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home);
  env.remove("XDG_DATA_HOME");
  env.remove("XDG_CONFIG_HOME");
  env.insert("XDG_RUNTIME_DIR", home + "/run");
  env.insert("LC_ALL", "en_US.UTF-8");
  return env;
}
}  // namespace

class InstallTest : public QObject {
  Q_OBJECT

  QTemporaryDir dest_;
  QString prefix_;

 private slots:
  void initTestCase() {
    QVERIFY(dest_.isValid());
    prefix_ = dest_.path() + "/usr";
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DESTDIR", dest_.path());
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(MAVELO_CMAKE_COMMAND),
                  {"--install", kBuild, "--prefix", "/usr"});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
  }

  void layout() {
    QVERIFY(QFileInfo(prefix_ + "/bin/mavelo").isExecutable());
    const QString share = prefix_ + "/share/mavelo/";
    QVERIFY(QFile::exists(share + "Help/index.html"));
    QVERIFY(QFile::exists(share + "Brand/about.jpg"));
    QVERIFY(QFile::exists(share + "Brand/brand.ini"));
    // Every shipped file the build lays beside the executable is installed.
    for (const char* folder : {"Brand", "Help", "Sound", "DB", "Config"}) {
      const QString built = kBuild + "/bin/" + folder;
      QVERIFY2(QFileInfo(built).isDir(), folder);
      QCOMPARE(FilesUnder(share + folder), FilesUnder(built));
    }
    QVERIFY(QFile::exists(share + "DB/Food.db"));
    QCOMPARE(QDir(share + "Sound").entryList({"*.wav"}).size(), 14);
    QVERIFY(QFile::exists(prefix_ + "/share/applications/" + kAppId + ".desktop"));
    QVERIFY(QFile::exists(prefix_ + "/share/metainfo/" + kAppId + ".metainfo.xml"));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
      const QString icon = QStringLiteral("%1/share/icons/hicolor/%2x%2/apps/%3.png")
                               .arg(prefix_).arg(size).arg(kAppId);
      const QImage image(icon);
      QVERIFY2(!image.isNull(), qPrintable(icon));
      QCOMPARE(image.size(), QSize(size, size));
    }
    // Nothing of the build or the tests comes along.
    QCOMPARE(QDir(prefix_ + "/bin").entryList(QDir::Files), QStringList({"mavelo"}));
  }

  void desktopFilesValidate_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("file");
    QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList()
                                   << "/share/applications/" + kAppId + ".desktop";
    QTest::newRow("metainfo") << "appstreamcli" << QStringList({"validate", "--no-net"})
                              << "/share/metainfo/" + kAppId + ".metainfo.xml";
  }
  void desktopFilesValidate() {
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    const QString program = QStandardPaths::findExecutable(tool);
    QVERIFY2(!program.isEmpty(), qPrintable(tool + " is not installed"));
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args << prefix_ + file);
    QVERIFY(p.waitForFinished(60000));
    const QByteArray out = p.readAll();
    QVERIFY2(p.exitCode() == 0, out.constData());
    // A hint or warning is a fault too.
    if (tool == "desktop-file-validate") QVERIFY2(out.trimmed().isEmpty(), out.constData());
  }

  void installedProgramFindsItsFolders() {
    QTemporaryDir home;
    QDir(home.path()).mkpath("run");
    QFile::setPermissions(home.path() + "/run", QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner);
    QProcess p;
    QProcessEnvironment env = CleanEnv(home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("MAVELO_STARTUP_BENCH", "1");
    p.setProcessEnvironment(env);
    p.start(prefix_ + "/bin/mavelo", {});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    QVERIFY2(out.contains("startup_ms"), qPrintable(out));
    QVERIFY2(out.contains("program_folder " + prefix_ + "/share/mavelo/"), qPrintable(out));
    // The first run copies the shipped database folder into the user's data folder.
    const QString dataDb = home.path() + "/.local/share/Tarnwick/Mavelo/DB/";
    QVERIFY(QFile::exists(dataDb + "Food.db"));
    QCOMPARE(QFileInfo(dataDb + "Food.db").size(),
             QFileInfo(prefix_ + "/share/mavelo/DB/Food.db").size());
  }

  void versionAndHelpNeedNoDisplay_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");  // the start of stdout, or of stderr for code 2
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "Mavelo " MAVELO_VERSION_TEXT;
    QTest::newRow("-v") << QStringList{"-v"} << 0 << "Mavelo " MAVELO_VERSION_TEXT;
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: mavelo [options]";
    // Anything else is refused with the usage, before a window or a folder is made.
    QTest::newRow("--bogus") << QStringList{"--bogus"} << 2 << "mavelo: unknown option \"--bogus\"";
    QTest::newRow("-x") << QStringList{"-x"} << 2 << "mavelo: unknown option \"-x\"";
    QTest::newRow("a stray word") << QStringList{"today"} << 2 << "mavelo: unexpected argument \"today\"";
    QTest::newRow("after a Qt option") << QStringList{"-style", "Fusion", "--bogus"} << 2
                                       << "mavelo: unknown option \"--bogus\"";
  }
  void versionAndHelpNeedNoDisplay() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, expected);
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = CleanEnv(home.path());
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(prefix_ + "/bin/mavelo", args);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), code);
    const QString out = QString::fromLocal8Bit(code == 0 ? p.readAllStandardOutput() : p.readAllStandardError());
    QVERIFY2(out.startsWith(expected), qPrintable(out));
    if (code != 0) QVERIFY2(out.contains("Usage: mavelo [options]"), qPrintable(out));
    // Nothing was created for the user.
    QVERIFY(!QFileInfo::exists(home.path() + "/.local/share/Tarnwick"));
  }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "test_install.moc"
