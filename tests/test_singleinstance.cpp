#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "app/datafolders.h"
#include "app/singleinstance.h"

// This program is its own helper: started with "--child <data home>" it plays one program
// instance on that data home (see ChildMain), so the tests can start real processes
// together, each with an environment of its own.

namespace {

const char* kChild = "--child";

// The data folders of a data home ($XDG_DATA_HOME), with a program folder inside it.
std::unique_ptr<DataFolders> FoldersIn(const QString& dataHome) {
  qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
  return std::make_unique<DataFolders>(dataHome + "/program/");
}

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
  const auto dir = FoldersIn(QString::fromLocal8Bit(argv[2]));
  SingleInstance instance(*dir);
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

mode_t ModeOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

uid_t OwnerOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_uid : uid_t(-1);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A process id that no running process has.
qint64 UnusedPid() {
  for (qint64 pid = 4000000; pid > 1000; pid -= 997)
    if (!QFileInfo::exists(QString("/proc/%1").arg(pid))) return pid;
  return 4194301;
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

class TestSingleInstance : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void lockLivesInTheDataFolder();
  void secondInstanceIsRefusedAndActivatesFirst();
  void otherDataFolderIsAdmitted();
  void sameFolderWhateverTheEnvironment();
  void endedInstanceFreesThePlace();
  void crashedFirstInstanceLeavesNoBlock();
  void instancesStartedTogether();
  void staleLockIsTakenOver_data();
  void staleLockIsTakenOver();
  void lockFileOfAnotherUserIsRemoved();
  void dataFolderOfAnotherUserIsNotUsed();
  void runtimeFolderOthersCanWriteIsNotUsed();
  void ownFolderTakenByAnotherUser();

 private:
  std::unique_ptr<QTemporaryDir> runtime_;
  std::unique_ptr<QTemporaryDir> data_;
  std::unique_ptr<DataFolders> dir_;
  QByteArray oldRuntime_, oldData_;
};

void TestSingleInstance::init() {
  runtime_ = std::make_unique<QTemporaryDir>();
  data_ = std::make_unique<QTemporaryDir>();
  oldRuntime_ = qgetenv("XDG_RUNTIME_DIR");
  oldData_ = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_RUNTIME_DIR", runtime_->path().toLocal8Bit());
  dir_ = FoldersIn(data_->path());
}

void TestSingleInstance::cleanup() {
  dir_.reset();
  qputenv("XDG_RUNTIME_DIR", oldRuntime_);
  qputenv("XDG_DATA_HOME", oldData_);
  data_.reset();
  runtime_.reset();
}

// The lock is the data folder's, readable by the user alone; the socket the user's own.
void TestSingleInstance::lockLivesInTheDataFolder() {
  const QString lock = dir_->DataRoot() + ".mavelo.lock";
  QCOMPARE(SingleInstance::LockFilePath(dir_->DataRoot()), lock);
  QVERIFY(SingleInstance::SocketPath(dir_->DataRoot()).startsWith(runtime_->path() + "/mavelo-"));
  // Two spellings of one folder are one folder.
  QCOMPARE(SingleInstance::SocketName(dir_->DataRoot()),
           SingleInstance::SocketName(QDir::cleanPath(dir_->DataRoot())));
  SingleInstance first(*dir_);
  QVERIFY(first.TryAdmit());
  QVERIFY(first.Admitted());
  QCOMPARE(ModeOf(lock), mode_t(0600));
  QFile f(lock);
  QVERIFY(f.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = f.readAll().split('\n');
  QCOMPARE(lines.value(0), QByteArray::number(QCoreApplication::applicationPid()));
  QCOMPARE(lines.value(2), QFile::encodeName(SingleInstance::SocketPath(dir_->DataRoot())));
}

void TestSingleInstance::secondInstanceIsRefusedAndActivatesFirst() {
  SingleInstance first(*dir_);
  QSignalSpy spy(&first, &SingleInstance::activationRequested);
  QVERIFY(first.TryAdmit());
  QVERIFY(first.TryAdmit());  // asking again changes nothing

  SingleInstance second(*dir_);
  QVERIFY(!second.TryAdmit());
  QVERIFY(!second.Admitted());
  QVERIFY(spy.wait(10000));
  QCOMPARE(spy.count(), 1);

  SingleInstance third(*dir_);
  QVERIFY(!third.TryAdmit());
  QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 10000);
}

void TestSingleInstance::otherDataFolderIsAdmitted() {
  SingleInstance first(*dir_);
  QVERIFY(first.TryAdmit());
  QTemporaryDir otherHome;
  const auto other = FoldersIn(otherHome.path());
  SingleInstance elsewhere(*other);
  QVERIFY(elsewhere.TryAdmit());
  SingleInstance again(*other);
  QVERIFY(!again.TryAdmit());
}

// Another runtime folder (another session's environment) or another build of the
// program on the same records is a second instance all the same, and still reaches the
// first one.
void TestSingleInstance::sameFolderWhateverTheEnvironment() {
  SingleInstance first(*dir_);
  QSignalSpy spy(&first, &SingleInstance::activationRequested);
  QVERIFY(first.TryAdmit());
  QTemporaryDir otherRuntime;
  QTemporaryDir otherExe;
  const QString copy = otherExe.path() + "/mavelo-copy";
  QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
  QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", otherRuntime.path());
  child.setProcessEnvironment(env);
  child.start(copy, {kChild, data_->path()});
  QVERIFY(child.waitForStarted());
  QCOMPARE(ReadLine(child), QString("ready"));
  child.write("go\n");
  QCOMPARE(ReadLine(child), QString("refused"));
  QVERIFY(spy.wait(10000));
  child.closeWriteChannel();
  QVERIFY(child.waitForFinished(30000));
}

void TestSingleInstance::endedInstanceFreesThePlace() {
  {
    SingleInstance first(*dir_);
    QVERIFY(first.TryAdmit());
  }
  QVERIFY(!QFileInfo::exists(dir_->DataRoot() + ".mavelo.lock"));
  SingleInstance next(*dir_);
  QVERIFY(next.TryAdmit());
  QSignalSpy spy(&next, &SingleInstance::activationRequested);
  SingleInstance later(*dir_);
  QVERIFY(!later.TryAdmit());
  QVERIFY(spy.wait(10000));
}

void TestSingleInstance::crashedFirstInstanceLeavesNoBlock() {
  QProcess child;
  child.start(QCoreApplication::applicationFilePath(), {kChild, data_->path()});
  QVERIFY(child.waitForStarted());
  QCOMPARE(ReadLine(child), QString("ready"));
  child.write("go\n");
  QCOMPARE(ReadLine(child), QString("admitted"));
  // Killed without a chance to clean up: its lock file and socket stay behind.
  child.kill();
  QVERIFY(child.waitForFinished());
  QVERIFY(QFileInfo::exists(SingleInstance::LockFilePath(dir_->DataRoot())));
  QVERIFY(QFileInfo::exists(SingleInstance::SocketPath(dir_->DataRoot())));

  SingleInstance next(*dir_);
  QVERIFY(next.TryAdmit());
  QSignalSpy spy(&next, &SingleInstance::activationRequested);
  SingleInstance later(*dir_);
  QVERIFY(!later.TryAdmit());
  QVERIFY(spy.wait(10000));
}

void TestSingleInstance::instancesStartedTogether() {
  constexpr int kCount = 8;
  std::vector<std::unique_ptr<QProcess>> children;
  for (int i = 0; i < kCount; ++i) {
    children.push_back(std::make_unique<QProcess>());
    children.back()->start(QCoreApplication::applicationFilePath(), {kChild, data_->path()});
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

// A lock file that no running instance holds never blocks, whatever it says.
void TestSingleInstance::staleLockIsTakenOver_data() {
  QTest::addColumn<QByteArray>("content");
  const QByteArray host = QSysInfo::machineHostName().toUtf8();
  QTest::newRow("empty") << QByteArray();
  QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  QTest::newRow("another host") << QByteArray("4242\nmavelo\nfaraway.example.org\n");
  QTest::newRow("a process that is gone") << QByteArray::number(UnusedPid()) + "\nmavelo\n" + host + "\n";
  // pid 1 runs, but holds no lock of this user's.
  QTest::newRow("another user's process") << "1\nmavelo\n" + host + "\n";
  QTest::newRow("this very process") << QByteArray::number(QCoreApplication::applicationPid()) +
                                            "\nmavelo\n" + host + "\n";
}

void TestSingleInstance::staleLockIsTakenOver() {
  QFETCH(QByteArray, content);
  const QString lock = SingleInstance::LockFilePath(dir_->DataRoot());
  QVERIFY(WriteFile(lock, content));
  SingleInstance first(*dir_);
  QVERIFY(first.TryAdmit());
  QFile f(lock);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QVERIFY(f.readAll().startsWith(QByteArray::number(QCoreApplication::applicationPid()) + "\n"));
  SingleInstance second(*dir_);
  QVERIFY(!second.TryAdmit());
}

// A lock file another user put in the data folder is not hers to honour: it goes.
void TestSingleInstance::lockFileOfAnotherUserIsRemoved() {
  if (::geteuid() != 0) QSKIP("only root can give a file to another user");
  const QString lock = SingleInstance::LockFilePath(dir_->DataRoot());
  QVERIFY(WriteFile(lock, "1\nmavelo\nhere\n"));
  QCOMPARE(::chown(QFile::encodeName(lock).constData(), 4242, 4242), 0);
  QVERIFY(QFile::setPermissions(lock, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
  SingleInstance first(*dir_);
  QVERIFY(first.TryAdmit());
  QCOMPARE(OwnerOf(lock), ::geteuid());
  QCOMPARE(ModeOf(lock), mode_t(0600));
}

// A data folder that is not the user's own holds no lock of hers: the lock is taken in
// her runtime folder instead, still one per data folder.
void TestSingleInstance::dataFolderOfAnotherUserIsNotUsed() {
  if (::geteuid() != 0) QSKIP("only root can give a folder to another user");
  const QString root = dir_->DataRoot();
  QCOMPARE(::chown(QFile::encodeName(root).constData(), 4242, 4242), 0);
  const QString lock = SingleInstance::LockFilePath(root);
  QVERIFY(lock.startsWith(runtime_->path() + "/mavelo-"));
  QVERIFY(lock.endsWith(".lock"));
  SingleInstance first(*dir_);
  QVERIFY(first.TryAdmit());
  QVERIFY(!QFileInfo::exists(root + ".mavelo.lock"));
  QVERIFY(QFileInfo::exists(lock));
  SingleInstance second(*dir_);
  QVERIFY(!second.TryAdmit());
  QCOMPARE(::chown(QFile::encodeName(root).constData(), 0, 0), 0);
}

void TestSingleInstance::runtimeFolderOthersCanWriteIsNotUsed() {
  SharedTemp shared;
  QTemporaryDir open;
  ::chmod(QFile::encodeName(open.path()).constData(), 0777);
  qputenv("XDG_RUNTIME_DIR", open.path().toLocal8Bit());
  QCOMPARE(SingleInstance::RuntimeFolder(), shared.own());
  QCOMPARE(ModeOf(shared.own()), mode_t(0700));
  QVERIFY(SingleInstance::SocketPath(dir_->DataRoot()).startsWith(shared.own() + "/mavelo-"));
  SingleInstance first(*dir_);
  QVERIFY(first.TryAdmit());
  SingleInstance second(*dir_);
  QVERIFY(!second.TryAdmit());
}

// Someone else made "mavelo-<uid>" first: the shared folder holds the socket, with the
// user's id in its name, and the instance still works.
void TestSingleInstance::ownFolderTakenByAnotherUser() {
  if (::geteuid() != 0) QSKIP("only root can give a folder to another user");
  SharedTemp shared;
  QVERIFY(QDir().mkpath(shared.own()));
  QCOMPARE(::chown(QFile::encodeName(shared.own()).constData(), 4242, 4242), 0);
  QCOMPARE(SingleInstance::RuntimeFolder(), shared.tmp.path());
  const QString uid = QString::number(::geteuid());
  QVERIFY(SingleInstance::SocketPath(dir_->DataRoot()).endsWith("-" + uid));
  SingleInstance first(*dir_);
  QVERIFY(first.TryAdmit());
  QSignalSpy spy(&first, &SingleInstance::activationRequested);
  SingleInstance second(*dir_);
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
