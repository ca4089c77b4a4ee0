#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "app/singleinstance.h"

// This program is its own helper: started with "--child <executable path>" it plays one
// program instance (see ChildMain), so the tests can start real processes together.

namespace {

const char* kChild = "--child";

// Reads one line from stdin, blocking; empty at end of input.
QByteArray ReadStdinLine() {
  char buffer[256];
  if (!std::fgets(buffer, sizeof buffer, stdin)) return QByteArray();
  return QByteArray(buffer).trimmed();
}

void Say(const char* text) {
  std::printf("%s\n", text);
  std::fflush(stdout);
}

// Prints "ready", waits for "go", tries to be admitted, prints "admitted" or "refused",
// then holds whatever it won until stdin closes.
int ChildMain(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  SingleInstance instance(QString::fromLocal8Bit(argv[2]));
  Say("ready");
  if (ReadStdinLine() != "go") return 2;
  Say(instance.TryAdmit() ? "admitted" : "refused");
  while (!ReadStdinLine().isEmpty()) {
  }
  return 0;
}

QString ReadLine(QProcess& p) {
  while (!p.canReadLine())
    if (!p.waitForReadyRead(30000)) return QString("<no answer: %1>").arg(p.errorString());
  return QString::fromLatin1(p.readLine()).trimmed();
}

}  // namespace

class TestSingleInstance : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void serverName_data();
  void serverName();
  void longPathsStayDistinct();
  void secondInstanceIsRefusedAndActivatesFirst();
  void otherExecutableIsAdmitted();
  void endedInstanceFreesThePlace();
  void crashedFirstInstanceLeavesNoBlock();
  void instancesStartedTogether();
  void lockBelongsToTheUser();
  void runtimeFolderOthersCanWriteIsNotUsed();
  void otherUsersLockDoesNotBlock();
  void ownFolderTakenByAnotherUser();

 private:
  std::unique_ptr<QTemporaryDir> runtime_;
  QByteArray oldRuntime_;
};

void TestSingleInstance::init() {
  runtime_ = std::make_unique<QTemporaryDir>();
  oldRuntime_ = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", runtime_->path().toLocal8Bit());
}

void TestSingleInstance::cleanup() {
  qputenv("XDG_RUNTIME_DIR", oldRuntime_);
  runtime_.reset();
}

void TestSingleInstance::serverName_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("name");
  QTest::newRow("plain") << "/usr/bin/mavelo" << "usrbinmavelo";
  QTest::newRow("spaces") << "/home/ann/My Apps/Mavelo 2/mavelo" << "homeannMyAppsMavelo2mavelo";
  QTest::newRow("case kept") << "/Opt/Mavelo" << "OptMavelo";
}

void TestSingleInstance::serverName() {
  QFETCH(QString, path);
  QFETCH(QString, name);
  QCOMPARE(SingleInstance::ServerName(path), name);
  QCOMPARE(SingleInstance::SocketPath(path), runtime_->path() + "/" + name);
  QCOMPARE(SingleInstance::LockFilePath(path), runtime_->path() + "/" + name + ".lock");
}

void TestSingleInstance::longPathsStayDistinct() {
  const QString deep = "/home/ann/" + QString(150, 'p');
  const QString a = SingleInstance::ServerName(deep + "/one/mavelo");
  const QString b = SingleInstance::ServerName(deep + "/two/mavelo");
  QVERIFY(a != b);
  QVERIFY(SingleInstance::SocketPath(deep + "/one/mavelo").toUtf8().size() <= 100);
  QVERIFY(a.startsWith("homeann"));

  // And such an instance still works end to end.
  SingleInstance first(deep + "/one/mavelo");
  QVERIFY(first.TryAdmit());
  QSignalSpy spy(&first, &SingleInstance::activationRequested);
  SingleInstance second(deep + "/one/mavelo");
  QVERIFY(!second.TryAdmit());
  QVERIFY(spy.wait(10000));
}

void TestSingleInstance::secondInstanceIsRefusedAndActivatesFirst() {
  const QString exe = "/opt/Mavelo Suite/bin/mavelo";
  SingleInstance first(exe);
  QSignalSpy spy(&first, &SingleInstance::activationRequested);
  QVERIFY(first.TryAdmit());
  QVERIFY(first.TryAdmit());  // asking again changes nothing

  SingleInstance second(exe);
  QVERIFY(!second.TryAdmit());
  QVERIFY(spy.wait(10000));
  QCOMPARE(spy.count(), 1);

  SingleInstance third(exe);
  QVERIFY(!third.TryAdmit());
  QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 10000);
}

void TestSingleInstance::otherExecutableIsAdmitted() {
  SingleInstance first("/home/ann/mavelo/mavelo");
  QVERIFY(first.TryAdmit());
  SingleInstance copy("/home/ann/mavelo-copy/mavelo");
  QVERIFY(copy.TryAdmit());
  SingleInstance again("/home/ann/mavelo-copy/mavelo");
  QVERIFY(!again.TryAdmit());
}

void TestSingleInstance::endedInstanceFreesThePlace() {
  const QString exe = "/usr/bin/mavelo";
  {
    SingleInstance first(exe);
    QVERIFY(first.TryAdmit());
  }
  SingleInstance next(exe);
  QVERIFY(next.TryAdmit());
  QSignalSpy spy(&next, &SingleInstance::activationRequested);
  SingleInstance later(exe);
  QVERIFY(!later.TryAdmit());
  QVERIFY(spy.wait(10000));
}

void TestSingleInstance::crashedFirstInstanceLeavesNoBlock() {
  const QString exe = "/usr/local/bin/mavelo";
  QProcess child;
  child.start(QCoreApplication::applicationFilePath(), {kChild, exe});
  QVERIFY(child.waitForStarted());
  QCOMPARE(ReadLine(child), QString("ready"));
  child.write("go\n");
  QCOMPARE(ReadLine(child), QString("admitted"));
  // Killed without a chance to clean up: its lock file and socket stay behind.
  child.kill();
  QVERIFY(child.waitForFinished());
  QVERIFY(QFileInfo::exists(SingleInstance::LockFilePath(exe)));
  QVERIFY(QFileInfo::exists(SingleInstance::SocketPath(exe)));

  SingleInstance next(exe);
  QVERIFY(next.TryAdmit());
  QSignalSpy spy(&next, &SingleInstance::activationRequested);
  SingleInstance later(exe);
  QVERIFY(!later.TryAdmit());
  QVERIFY(spy.wait(10000));
}

void TestSingleInstance::instancesStartedTogether() {
  const QString exe = "/opt/mavelo/mavelo";
  constexpr int kCount = 8;
  std::vector<std::unique_ptr<QProcess>> children;
  for (int i = 0; i < kCount; ++i) {
    children.push_back(std::make_unique<QProcess>());
    children.back()->start(QCoreApplication::applicationFilePath(), {kChild, exe});
  }
  // All started and waiting; then all released at once.
  for (auto& c : children) QCOMPARE(ReadLine(*c), QString("ready"));
  for (auto& c : children) c->write("go\n");
  int admitted = 0, refused = 0;
  for (auto& c : children) {
    const QString answer = ReadLine(*c);
    if (answer == "admitted") ++admitted;
    else if (answer == "refused") ++refused;
    else QFAIL(qPrintable(answer));
  }
  for (auto& c : children) c->closeWriteChannel();
  for (auto& c : children) QVERIFY(c->waitForFinished(30000));
  QCOMPARE(admitted, 1);
  QCOMPARE(refused, kCount - 1);
}

namespace {

mode_t ModeOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

uid_t OwnerOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_uid : uid_t(-1);
}

// No XDG_RUNTIME_DIR, and a temporary folder of the test's own standing for /tmp.
struct SharedTemp {
  QTemporaryDir tmp;
  QByteArray oldTmp = qgetenv("TMPDIR");
  SharedTemp() {
    ::chmod(QFile::encodeName(tmp.path()).constData(), 01777);
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
  }
  ~SharedTemp() { qputenv("TMPDIR", oldTmp); }
  QString own() const { return tmp.path() + "/mavelo-" + QString::number(::geteuid()); }
};

}  // namespace

// Without XDG_RUNTIME_DIR the lock and the socket go to a folder of the user's own in
// the temporary folder, which nobody else can write to.
void TestSingleInstance::lockBelongsToTheUser() {
  SharedTemp shared;
  const QString exe = "/usr/bin/mavelo";
  QCOMPARE(SingleInstance::RuntimeFolder(), shared.own());
  QCOMPARE(ModeOf(shared.own()), mode_t(0700));
  QCOMPARE(OwnerOf(shared.own()), ::geteuid());
  QCOMPARE(SingleInstance::LockFilePath(exe), shared.own() + "/usrbinmavelo.lock");
  SingleInstance first(exe);
  QVERIFY(first.TryAdmit());
  QVERIFY(QFileInfo::exists(shared.own() + "/usrbinmavelo"));
  SingleInstance second(exe);
  QVERIFY(!second.TryAdmit());
}

void TestSingleInstance::runtimeFolderOthersCanWriteIsNotUsed() {
  SharedTemp shared;
  QTemporaryDir open;
  ::chmod(QFile::encodeName(open.path()).constData(), 0777);
  qputenv("XDG_RUNTIME_DIR", open.path().toLocal8Bit());
  QCOMPARE(SingleInstance::RuntimeFolder(), shared.own());
}

// A lock left in the shared temporary folder by another user (or a root run, under the
// old names) is no concern of this user's.
void TestSingleInstance::otherUsersLockDoesNotBlock() {
  SharedTemp shared;
  const QString exe = "/usr/local/bin/mavelo";
  // A lock held by a process that runs (the test itself), owned by someone else.
  const QString stale = shared.tmp.path() + "/usrlocalbinmavelo.lock";
  QFile lock(stale);
  QVERIFY(lock.open(QIODevice::WriteOnly));
  lock.write(QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
             QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + "\n" +
             QSysInfo::machineHostName().toUtf8() + "\n");
  lock.close();
  if (::geteuid() == 0) QCOMPARE(::chown(QFile::encodeName(stale).constData(), 4242, 4242), 0);
  SingleInstance first(exe);
  QVERIFY(first.TryAdmit());
  QVERIFY(QFileInfo::exists(stale));
}

// Someone else made "mavelo-<uid>" first: the shared folder is used, with the user's id
// in the names, and the instance still works.
void TestSingleInstance::ownFolderTakenByAnotherUser() {
  if (::geteuid() != 0) QSKIP("only root can give a folder to another user");
  SharedTemp shared;
  QVERIFY(QDir().mkpath(shared.own()));
  QCOMPARE(::chown(QFile::encodeName(shared.own()).constData(), 4242, 4242), 0);
  const QString exe = "/usr/bin/mavelo";
  QCOMPARE(SingleInstance::RuntimeFolder(), shared.tmp.path());
  const QString uid = QString::number(::geteuid());
  QCOMPARE(SingleInstance::LockFilePath(exe),
           shared.tmp.path() + "/usrbinmavelo-" + uid + ".lock");
  SingleInstance first(exe);
  QVERIFY(first.TryAdmit());
  QSignalSpy spy(&first, &SingleInstance::activationRequested);
  SingleInstance second(exe);
  QVERIFY(!second.TryAdmit());
  QVERIFY(spy.wait(10000));
}

int main(int argc, char** argv) {
  if (argc >= 3 && qstrcmp(argv[1], kChild) == 0) return ChildMain(argc, argv);
  QCoreApplication app(argc, argv);
  TestSingleInstance test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_singleinstance.moc"
