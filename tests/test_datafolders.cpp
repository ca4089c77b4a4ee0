#include <QtTest>

#include "app/datafolders.h"
#include "support/faults.h"
#include "support/testenv.h"

namespace {

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
  return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
  f.write(bytes);
}

// Every file below root, relative, sorted, with its content.
QMap<QString, QByteArray> Tree(const QString& root) {
  QMap<QString, QByteArray> out;
  QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    out.insert(QDir(root).relativeFilePath(path), ReadBytes(path));
  }
  return out;
}

// A small tree to copy: nested folders, a hidden file, binary content.
QString MakeSource(const QString& parent) {
  const QString src = parent + "/Shipped";
  WriteBytes(src + "/Food.db", QByteArray("SQLite format 3\0\x01\x02", 18));
  WriteBytes(src + "/notes.txt", "first\r\nsecond\r\n");
  WriteBytes(src + "/.hidden", "dot");
  WriteBytes(src + "/sub/deeper/leaf.bin", QByteArray(200000, '\xAB'));
  QDir().mkpath(src + "/empty");
  return src;
}

const QStringList kDataFolders = {"Log",    "DB",       "Config", "Build",  "FTP",
                                  "Notes",  "ToDo",     "Basal",  "Weight", "Exercise",
                                  "Health", "Food",     "Sleep",  "Baby",   "Heart",
                                  "Cycle"};

}  // namespace

class TestDataFolders : public QObject {
  Q_OBJECT
 private slots:
  void freshProfileCreatesTheTree();
  void pathsEndInSlash();
  void userDataFolder_data();
  void userDataFolder();
  void blockedFolderStaysMissing();
  void readOnlyProgramFolderIsNoFailure();

  void copyFolderTree();
  void copyFolderMerges_data();
  void copyFolderMerges();
  void copyFolderDeclinedReplaceKeepsFile();
  void copySingleFile();
  void copyFolderRefuses_data();
  void copyFolderRefuses();
  void copyFolderTooLongDestination();
  void copyFailureKeepsTheOldFile();
  void staleSaveFiles_data();
  void staleSaveFiles();

  void firstRunCopy();
  void firstRunCopySkippedWhenPresent();
  void firstRunCopyOnlyInANewDataFolder();
  void firstRunCopyWithoutShippedFolder();

  void openDocumentUrls_data();
  void openDocumentUrls();
  void openFolderUrl();
  void openFailuresAreReported_data();
  void openFailuresAreReported();
};

void TestDataFolders::freshProfileCreatesTheTree() {
  TestEnv env;
  // A fresh profile: not even the XDG data folder exists yet.
  QVERIFY(QDir(env.dataHome()).removeRecursively());
  const QString program = env.home() + "/program/";
  QVERIFY(QDir().mkpath(program));

  DataFolders dir(program);
  QVERIFY(dir.ok());
  QCOMPARE(dir.MakerFolder(), env.dataHome() + "/Tarnwick/");
  QCOMPARE(dir.DataRoot(), env.dataRoot());
  for (const QString& name : kDataFolders)
    QVERIFY2(QFileInfo(env.dataRoot() + name).isDir(), qPrintable(name));
  QCOMPARE(QDir(env.dataRoot()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
           kDataFolders.size());
  // Help is made under the program folder even though nothing writes into it.
  QVERIFY(QFileInfo(program + "Help").isDir());
  // Shipped folders are read, never created.
  QVERIFY(!QFileInfo::exists(program + "DB"));
  QVERIFY(!QFileInfo::exists(program + "Brand"));

  // A second start finds everything in place.
  DataFolders again(program);
  QVERIFY(again.ok());
}

void TestDataFolders::pathsEndInSlash() {
  TestEnv env;
  DataFolders dir(env.home() + "/program");  // no trailing slash given
  QCOMPARE(dir.ProgramFolder(), env.home() + "/program/");
  QCOMPARE(dir.ProgramDBFolder(), env.home() + "/program/DB/");
  QCOMPARE(dir.BrandFolder(), env.home() + "/program/Brand/");
  QCOMPARE(dir.SoundFolder(), env.home() + "/program/Sound/");
  QCOMPARE(dir.HelpFolder(), env.home() + "/program/Help/");
  QCOMPARE(dir.ProgramConfigFolder(), env.home() + "/program/Config/");
  QCOMPARE(dir.DBFolder(), env.dataRoot() + "DB/");
  QCOMPARE(dir.ConfigFolder() + "application.ini", env.dataRoot() + "Config/application.ini");
  QCOMPARE(dir.HeartFolder(), env.dataRoot() + "Heart/");
  QCOMPARE(dir.BabyFolder(), env.dataRoot() + "Baby/");
  QCOMPARE(dir.CycleFolder(), env.dataRoot() + "Cycle/");
  QVERIFY(DataFolders::ExecutableFolder().endsWith('/'));
  QVERIFY(QFileInfo(DataFolders::ExecutableFolder() +
                    QFileInfo(QCoreApplication::applicationFilePath()).fileName())
              .isExecutable());
}

void TestDataFolders::userDataFolder_data() {
  QTest::addColumn<QString>("value");  // null: unset; "@" stands for the test's home
  QTest::addColumn<QString>("expected");
  QTest::newRow("set") << "@/elsewhere" << "@/elsewhere/";
  QTest::newRow("set with slash") << "@/elsewhere/" << "@/elsewhere/";
  QTest::newRow("unset") << QString() << "@/.local/share/";
  QTest::newRow("empty") << "" << "@/.local/share/";
  QTest::newRow("relative is ignored") << "relative/data" << "@/.local/share/";
}

void TestDataFolders::userDataFolder() {
  QFETCH(QString, value);
  QFETCH(QString, expected);
  TestEnv env;
  if (value.isNull())
    qunsetenv("XDG_DATA_HOME");
  else
    qputenv("XDG_DATA_HOME", value.replace("@", env.home()).toLocal8Bit());
  QCOMPARE(DataFolders::UserDataFolder(), expected.replace("@", env.home()));
  DataFolders dir(env.home() + "/program/");
  QVERIFY(dir.ok());
  QVERIFY(QFileInfo(expected + "Tarnwick/Mavelo/Heart").isDir());
}

void TestDataFolders::blockedFolderStaysMissing() {
  TestEnv env;
  // A file where the Notes folder belongs.
  WriteBytes(env.dataRoot() + "Notes", "in the way");
  DataFolders dir(env.home() + "/program/");
  QVERIFY(!dir.ok());
  QCOMPARE(ReadBytes(env.dataRoot() + "Notes"), QByteArray("in the way"));
  // Everything else was still made, before and after it.
  for (const QString& name : kDataFolders)
    if (name != "Notes") QVERIFY2(QFileInfo(env.dataRoot() + name).isDir(), qPrintable(name));
}

void TestDataFolders::readOnlyProgramFolderIsNoFailure() {
  TestEnv env;
  // The program folder lies under a regular file: neither it nor Help can be made, but
  // the program does not depend on them.
  WriteBytes(env.home() + "/file", "x");
  DataFolders dir(env.home() + "/file/program/");
  QVERIFY(dir.ok());
  QVERIFY(QFileInfo(env.dataRoot() + "Heart").isDir());
}

void TestDataFolders::copyFolderTree() {
  TestEnv env;
  const QString src = MakeSource(env.home());
  const QString target = env.home() + "/target";  // missing: made by the copy
  int asked = 0;
  QVERIFY(CopyFolder(src, target, "Y", [&](const QString&) { return ++asked, true; }));
  QCOMPARE(asked, 0);  // nothing to replace, nothing asked
  QCOMPARE(Tree(target + "/Shipped"), Tree(src));
  QVERIFY(QFileInfo(target + "/Shipped/empty").isDir());
  // A trailing slash on the source names the same folder.
  QVERIFY(CopyFolder(src + "/", env.home() + "/target2", "N"));
  QCOMPARE(Tree(env.home() + "/target2/Shipped"), Tree(src));
}

void TestDataFolders::copyFolderMerges_data() {
  QTest::addColumn<QString>("confirm");
  QTest::addColumn<bool>("asks");
  QTest::newRow("Y asks") << "Y" << true;
  QTest::newRow("N silent") << "N" << false;
  QTest::newRow("lower-case y silent") << "y" << false;
  QTest::newRow("empty silent") << "" << false;
  QTest::newRow("Yes silent") << "Yes" << false;
}

void TestDataFolders::copyFolderMerges() {
  QFETCH(QString, confirm);
  QFETCH(bool, asks);
  TestEnv env;
  const QString src = MakeSource(env.home());
  const QString target = env.home() + "/target";
  WriteBytes(target + "/Shipped/notes.txt", "old notes");
  WriteBytes(target + "/Shipped/sub/deeper/leaf.bin", "old leaf");
  WriteBytes(target + "/Shipped/mine.txt", "kept");

  QStringList asked;
  QVERIFY(CopyFolder(src, target, confirm, [&](const QString& p) { return asked << p, true; }));
  const QStringList expectAsked =
      asks ? QStringList{target + "/Shipped/notes.txt", target + "/Shipped/sub/deeper/leaf.bin"}
           : QStringList{};
  asked.sort();
  QCOMPARE(asked, expectAsked);
  QMap<QString, QByteArray> want = Tree(src);
  want.insert("mine.txt", "kept");
  QCOMPARE(Tree(target + "/Shipped"), want);
}

void TestDataFolders::copyFolderDeclinedReplaceKeepsFile() {
  TestEnv env;
  const QString src = MakeSource(env.home());
  const QString target = env.home() + "/target";
  WriteBytes(target + "/Shipped/notes.txt", "old notes");

  // Declined: the file stays, the rest still arrives, the result says not all was copied.
  QVERIFY(!CopyFolder(src, target, "Y", [](const QString&) { return false; }));
  QCOMPARE(ReadBytes(target + "/Shipped/notes.txt"), QByteArray("old notes"));
  QCOMPARE(ReadBytes(target + "/Shipped/Food.db"), ReadBytes(src + "/Food.db"));
  QCOMPARE(ReadBytes(target + "/Shipped/sub/deeper/leaf.bin"),
           ReadBytes(src + "/sub/deeper/leaf.bin"));

  // "Y" with nobody to ask replaces nothing either.
  QVERIFY(!CopyFolder(src, target, "Y"));
  QCOMPARE(ReadBytes(target + "/Shipped/notes.txt"), QByteArray("old notes"));
  // Leftover temporary files would show up here.
  QCOMPARE(QDir(target + "/Shipped").entryList(QDir::Files | QDir::Hidden).size(), 3);
}

void TestDataFolders::copySingleFile() {
  TestEnv env;
  const QString src = MakeSource(env.home());
  QVERIFY(CopyFolder(src + "/notes.txt", env.home() + "/out", "N"));
  QCOMPARE(ReadBytes(env.home() + "/out/notes.txt"), ReadBytes(src + "/notes.txt"));
  WriteBytes(src + "/notes.txt", "changed");
  QVERIFY(CopyFolder(src + "/notes.txt", env.home() + "/out", "N"));
  QCOMPARE(ReadBytes(env.home() + "/out/notes.txt"), QByteArray("changed"));
}

// A copy cut short (here by the file size limit, as by a full disk) leaves the file it
// would have replaced whole, and says it failed.
void TestDataFolders::copyFailureKeepsTheOldFile() {
  TestEnv env;
  const QString src = MakeSource(env.home());
  const QString target = env.home() + "/out";
  WriteBytes(target + "/notes.txt", "old");
  const ChildResult child = RunInChild([&](QString*) {
    FileSizeLimit full(8);
    return CopyFolder(src + "/notes.txt", target, "N") ? 1 : 0;
  });
  QCOMPARE(child.status, 0);
  QCOMPARE(ReadBytes(target + "/notes.txt"), QByteArray("old"));
  QCOMPARE(QDir(target).entryList(QDir::Files), QStringList{"notes.txt"});
}

// What a killed save leaves beside a file ("<name>.<six letters>") goes at the next
// start, in the program's data folders only and only beside a file that exists.
void TestDataFolders::staleSaveFiles_data() {
  QTest::addColumn<QString>("folder");  // below the data root; "@" is outside the tree
  QTest::addColumn<QString>("existing");
  QTest::addColumn<QString>("leftover");
  QTest::addColumn<bool>("removed");
  QTest::newRow("weight year") << "Weight" << "2009.txt" << "2009.txt.qWmxRt" << true;
  QTest::newRow("settings") << "Config" << "application.ini" << "application.ini.OpLkZa" << true;
  QTest::newRow("note") << "Notes" << "Y2009M3D5.txt" << "Y2009M3D5.txt.ABCDEF" << true;
  QTest::newRow("in the data root") << "" << "x.txt" << "x.txt.aBcDeF" << true;
  QTest::newRow("no file beside it") << "Weight" << "2010.txt" << "2009.txt.qWmxRt" << false;
  QTest::newRow("a copy made by hand") << "Config" << "application.ini" << "application.ini.backup"
                                       << false;
  QTest::newRow("digits are not a save's") << "Notes" << "a.txt" << "a.txt.Ab12Cd" << false;
  QTest::newRow("five letters") << "Notes" << "a.txt" << "a.txt.AbCdE" << false;
  QTest::newRow("seven letters") << "Notes" << "a.txt" << "a.txt.AbCdEfG" << false;
  QTest::newRow("outside the data folders") << "@" << "a.txt" << "a.txt.AbCdEf" << false;
  QTest::newRow("below a data folder") << "Notes/old" << "a.txt" << "a.txt.AbCdEf" << false;
}

void TestDataFolders::staleSaveFiles() {
  QFETCH(QString, folder);
  QFETCH(QString, existing);
  QFETCH(QString, leftover);
  QFETCH(bool, removed);
  TestEnv env;
  const DataFolders dir(TestEnv::programFolder());
  const QString at = folder == "@" ? env.home() + "/" : env.dataRoot() + folder + "/";
  WriteBytes(at + existing, "record");
  WriteBytes(at + leftover, "half a rec");
  QCOMPARE(RemoveStaleSaveFiles(dir), removed ? 1 : 0);
  QCOMPARE(QFileInfo::exists(at + leftover), !removed);
  QCOMPARE(ReadBytes(at + existing), QByteArray("record"));
}

void TestDataFolders::copyFolderRefuses_data() {
  QTest::addColumn<QString>("source");  // "@" stands for the test's home
  QTest::addColumn<QString>("target");
  const QString longName = "@/" + QString(4100, 'x');
  QTest::newRow("missing source") << "@/nothing" << "@/target";
  QTest::newRow("empty source") << "" << "@/target";
  QTest::newRow("source over 4096") << longName << "@/target";
  QTest::newRow("target over 4096") << "@/Shipped" << longName;
  QTest::newRow("into itself") << "@/Shipped" << "@/Shipped";
  QTest::newRow("into its own subfolder") << "@/Shipped" << "@/Shipped/sub";
  QTest::newRow("onto itself") << "@/Shipped" << "@";
  QTest::newRow("file where the folder goes") << "@/Shipped" << "@/blocked";
  QTest::newRow("target under a file") << "@/Shipped" << "@/plainfile/below";
}

void TestDataFolders::copyFolderRefuses() {
  QFETCH(QString, source);
  QFETCH(QString, target);
  TestEnv env;
  MakeSource(env.home());
  WriteBytes(env.home() + "/blocked/Shipped", "a file");
  WriteBytes(env.home() + "/plainfile", "a file");
  const auto before = Tree(env.home());
  QVERIFY(!CopyFolder(source.replace("@", env.home()), target.replace("@", env.home()), "N"));
  QCOMPARE(Tree(env.home()), before);
}

void TestDataFolders::copyFolderTooLongDestination() {
  TestEnv env;
  // A target deep enough that the copied files' paths pass 4096 characters.
  QString target = env.home();
  while (target.size() < 4000) target += "/" + QString(200, 'd');
  QVERIFY(QDir().mkpath(target));
  const QString src = env.home() + "/src";
  WriteBytes(src + "/short.txt", "fits");
  WriteBytes(src + "/" + QString(120, 'n') + ".txt", "too long");
  QVERIFY(!CopyFolder(src, target, "N"));
  QCOMPARE(ReadBytes(target + "/src/short.txt"), QByteArray("fits"));
}

void TestDataFolders::firstRunCopy() {
  TestEnv env;
  const QString program = env.home() + "/program/";
  WriteBytes(program + "DB/Food.db", "food table");
  WriteBytes(program + "DB/Health.db", "health tables");
  DataFolders dir(program);
  QVERIFY(QFileInfo(dir.DBFolder()).isDir());  // created empty by DataFolders
  QVERIFY(FirstRunDatabaseCopy(dir));
  QCOMPARE(Tree(dir.DBFolder()), Tree(program + "DB"));
  QVERIFY(!QFileInfo::exists(dir.DataRoot() + "Food.db"));
}

void TestDataFolders::firstRunCopySkippedWhenPresent() {
  TestEnv env;
  const QString program = env.home() + "/program/";
  WriteBytes(program + "DB/Food.db", "shipped");
  WriteBytes(program + "DB/Health.db", "shipped");
  DataFolders dir(program);
  WriteBytes(dir.DBFolder() + "Food.db", "the user's own");
  QVERIFY(FirstRunDatabaseCopy(dir));
  QCOMPARE(ReadBytes(dir.DBFolder() + "Food.db"), QByteArray("the user's own"));
  QVERIFY(!QFileInfo::exists(dir.DBFolder() + "Health.db"));
}

// Only the very first start of a data folder copies: a Food.db missing later held her
// own records, and is never replaced behind her back.
void TestDataFolders::firstRunCopyOnlyInANewDataFolder() {
  TestEnv env;
  const QString program = env.home() + "/program/";
  WriteBytes(program + "DB/Food.db", "shipped");
  {
    DataFolders first(program);
    QVERIFY(first.NewDataFolder());
    QVERIFY(FirstRunDatabaseCopy(first));
    QVERIFY(QFile::remove(first.DBFolder() + "Food.db"));
  }
  DataFolders later(program);
  QVERIFY(!later.NewDataFolder());
  QVERIFY(!FirstRunDatabaseCopy(later));
  QVERIFY(!QFileInfo::exists(later.DBFolder() + "Food.db"));
  // Another data folder of another user starts new.
  TestEnv other;
  QVERIFY(DataFolders(program).NewDataFolder());
}

void TestDataFolders::firstRunCopyWithoutShippedFolder() {
  TestEnv env;
  DataFolders dir(env.home() + "/program/");
  QVERIFY(!FirstRunDatabaseCopy(dir));
  QVERIFY(QFileInfo(dir.DBFolder()).isDir());
}

void TestDataFolders::openDocumentUrls_data() {
  QTest::addColumn<QString>("target");  // "@" stands for the test's home
  QTest::addColumn<QString>("url");
  QTest::newRow("home page") << "https://www.mavelo.app/" << "https://www.mavelo.app/";
  QTest::newRow("forum with query") << "https://www.mavelo.app/forum/?t=1#top"
                                    << "https://www.mavelo.app/forum/?t=1#top";
  QTest::newRow("mail") << "mailto:help@mavelo.app" << "mailto:help@mavelo.app";
  QTest::newRow("report") << "@/Build/calendar.html" << "file://@/Build/calendar.html";
  QTest::newRow("space and hash in path") << "@/My Reports/#1.html"
                                          << "file://@/My%20Reports/%231.html";
  QTest::newRow("colon in file name") << "@/a:b.html" << "file://@/a:b.html";
}

void TestDataFolders::openDocumentUrls() {
  QFETCH(QString, target);
  QFETCH(QString, url);
  TestEnv env;
  QList<QUrl> opened;
  SetOpenUrlHandler([&](const QUrl& u) { opened << u; });
  OpenDocument(target.replace("@", env.home()));
  OpenDocument(QString());  // nothing to open: nothing happens
  SetOpenUrlHandler({});
  QCOMPARE(opened.size(), 1);
  QCOMPARE(opened[0].toString(QUrl::FullyEncoded), url.replace("@", env.home()));
}

void TestDataFolders::openFolderUrl() {
  TestEnv env;
  QList<QUrl> opened;
  SetOpenUrlHandler([&](const QUrl& u) { opened << u; });
  OpenFolder(env.dataRoot());
  QDir::setCurrent(env.home());
  OpenFolder("relative");
  SetOpenUrlHandler({});
  QCOMPARE(opened, (QList<QUrl>{QUrl::fromLocalFile(env.dataRoot()),
                                QUrl::fromLocalFile(env.home() + "/relative")}));
}

// What the desktop answers decides what the user hears: a missing xdg-open or one that
// finds no handler is an error naming what could not be opened (for a page, its path).
void TestDataFolders::openFailuresAreReported_data() {
  QTest::addColumn<QString>("xdgOpen");  // the fake xdg-open's script; empty: none
  QTest::addColumn<QString>("expected");  // a part of the message; empty: no message
  QTest::newRow("no xdg-open") << "" << "xdg-open is missing";
  QTest::newRow("no handler") << "exit 3" << "no program to open it was found";
  QTest::newRow("handler failed") << "exit 4" << "xdg-open exit code 4";
  QTest::newRow("opened") << "echo \"$1\" > \"@/bin/opened\"" << "";
}

void TestDataFolders::openFailuresAreReported() {
  QFETCH(QString, xdgOpen);
  QFETCH(QString, expected);
  TestEnv env;
  const QString bin = env.home() + "/bin";
  QDir().mkpath(bin);
  if (!xdgOpen.isEmpty()) {
    QFile script(bin + "/xdg-open");
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + xdgOpen.replace("@", env.home()).toUtf8() + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", bin.toLocal8Bit());
  QStringList messages;
  SetOpenFailureHandler([&](const QString& m) { messages << m; });
  const QString page = env.home() + "/Build/calendar.html";
  OpenDocument(page);
  if (expected.isEmpty()) {
    QTRY_VERIFY(QFile::exists(bin + "/opened"));
    QTest::qWait(100);
    QVERIFY(messages.isEmpty());
    QFile opened(bin + "/opened");
    QVERIFY(opened.open(QIODevice::ReadOnly));
    QCOMPARE(opened.readAll().trimmed(), QUrl::fromLocalFile(page).toEncoded());
  } else {
    QTRY_COMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains(page), qPrintable(messages[0]));
    QVERIFY2(messages[0].contains(expected), qPrintable(messages[0]));
  }
  SetOpenFailureHandler({});
  qputenv("PATH", oldPath);
}

QTEST_MAIN(TestDataFolders)
#include "test_datafolders.moc"
