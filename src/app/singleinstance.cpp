#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSysInfo>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/datafolders.h"

namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");
const QString kLockName = QStringLiteral(".mavelo.lock");

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// A folder only this user can write to: the user's own (not a link), writable by
// nobody else.
bool IsPrivateFolder(const QString& path) {
  struct stat st {};
  if (::lstat(Native(path).constData(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A data folder fit to hold the lock: the user's own, and not one that anybody may
// write to (a group of the user's own may, as a user-private group does).
bool IsOwnDataFolder(const QString& path) {
  struct stat st {};
  if (::stat(Native(path).constData(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & S_IWOTH) == 0;
}

// The user's own folder in the shared temporary folder, made when missing.
QString OwnTemporaryFolder() {
  return QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/mavelo-") +
         QString::number(::geteuid());
}

// The name a data folder goes by: its real path, so that two spellings of one folder
// (a link, a trailing slash, XDG_DATA_HOME set or left to its default) are one.
QString FolderKey(const QString& dataFolder) {
  const QString real = QFileInfo(dataFolder).canonicalFilePath();
  return real.isEmpty() ? QDir::cleanPath(QFileInfo(dataFolder).absoluteFilePath()) : real;
}

QString WithUidInShared(const QString& folder, const QString& name) {
  if (IsPrivateFolder(folder)) return folder + u'/' + name;
  return folder + u'/' + name + u'-' + QString::number(::geteuid());
}

bool WriteAll(int fd, const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

// The socket a lock file names (its third line), or empty.
QString SocketNamedIn(const QString& lockPath) {
  QFile file(lockPath);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  const QList<QByteArray> lines = file.read(4096).split('\n');
  return lines.size() >= 3 ? QFile::decodeName(lines.at(2)) : QString();
}

}  // namespace

SingleInstance::SingleInstance(const DataFolders& dir, QObject* parent)
    : QObject(parent), dataFolder_(dir.DataRoot()) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
  if (lockFd_ >= 0) {
    // Removed while still held: an instance that opened it meanwhile finds, once it
    // holds it, that it is no longer the file at that name, and makes a new one.
    ::unlink(Native(lockPath_).constData());
    ::close(lockFd_);
  }
}

QString SingleInstance::RuntimeFolder() {
  // The socket must be this user's alone: in a folder others can write to, another user
  // could put their own in its place.
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && IsPrivateFolder(runtime)) return QDir::cleanPath(runtime);
  const QString own = OwnTemporaryFolder();
  ::mkdir(Native(own).constData(), 0700);
  if (IsPrivateFolder(own)) return own;
  // Someone else holds that name: the shared folder, with the user's id in the names.
  return QDir::cleanPath(QDir::tempPath());
}

QString SingleInstance::SocketName(const QString& dataFolder) {
  return QStringLiteral("mavelo-") +
         QString::fromLatin1(
             QCryptographicHash::hash(FolderKey(dataFolder).toUtf8(), QCryptographicHash::Sha1)
                 .toHex()
                 .left(16));
}

QString SingleInstance::SocketPath(const QString& dataFolder) {
  return WithUidInShared(RuntimeFolder(), SocketName(dataFolder));
}

QString SingleInstance::LockFilePath(const QString& dataFolder) {
  if (IsOwnDataFolder(dataFolder)) return QDir(dataFolder).filePath(kLockName);
  return WithUidInShared(RuntimeFolder(), SocketName(dataFolder)) + QStringLiteral(".lock");
}

SingleInstance::Take SingleInstance::TakeLock(const QString& path) {
  const QByteArray name = Native(path);
  for (int attempt = 0; attempt < 5; ++attempt) {
    // A file there that is not this user's own plain file (put there by another user, or
    // left by a run as root) is no lock of hers: it goes.
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 &&
        (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid())) {
      if (::unlink(name.constData()) != 0) return Take::Unusable;
    }
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return Take::Unusable;
    struct stat held {};
    if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode) || held.st_uid != ::geteuid()) {
      ::close(fd);
      continue;
    }
    ::fchmod(fd, 0600);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int why = errno;
      ::close(fd);
      if (why == EWOULDBLOCK) return Take::HeldByOther;
      return Take::Unusable;  // no locks on this file system
    }
    // The file may have been removed and made anew between the open and the lock (a
    // first instance ending): the lock counts only on the file that is there now.
    struct stat now {};
    if (::stat(name.constData(), &now) != 0 || now.st_dev != held.st_dev ||
        now.st_ino != held.st_ino) {
      ::close(fd);
      continue;
    }
    lockFd_ = fd;
    lockPath_ = path;
    return Take::Taken;
  }
  return Take::Unusable;
}

void SingleInstance::AskFirstToFront(const QString& lockPath) {
  // The first one may have won the lock a moment ago and not be listening yet.
  QLocalSocket socket;
  for (int attempt = 0; attempt < 20; ++attempt) {
    const QString socketPath = SocketNamedIn(lockPath);
    if (!socketPath.isEmpty()) {
      socket.connectToServer(socketPath);
      if (socket.waitForConnected(500)) {
        socket.write(kActivate);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
        if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(500);
        return;
      }
      socket.abort();
    }
    QThread::msleep(100);
  }
}

bool SingleInstance::TryAdmit() {
  if (lockFd_ >= 0) return true;
  QDir().mkpath(dataFolder_);
  // The data folder's own lock; in the runtime folder only when the data folder is not
  // the user's own or keeps no locks.
  QStringList places{LockFilePath(dataFolder_)};
  const QString fallback =
      WithUidInShared(RuntimeFolder(), SocketName(dataFolder_)) + QStringLiteral(".lock");
  if (!places.contains(fallback)) places << fallback;
  bool taken = false;
  for (const QString& place : places) {
    const Take take = TakeLock(place);
    if (take == Take::HeldByOther) {
      AskFirstToFront(place);
      return false;
    }
    if (take == Take::Taken) {
      taken = true;
      break;
    }
  }
  // No lock can be taken at all: running beats refusing.
  if (!taken) return true;

  // We hold the lock, so a socket left by a crashed first instance is ours to clear.
  const QString socketPath = SocketPath(dataFolder_);
  QLocalServer::removeServer(socketPath);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  if (!server_->listen(socketPath)) {
    // Still the only instance; later ones simply cannot bring this one to the front.
    qWarning("SingleInstance: cannot listen on %s: %s", qPrintable(socketPath),
             qPrintable(server_->errorString()));
  }
  // Who holds it, for a person looking at the file, and where to knock.
  const QByteArray info = QByteArray::number(qint64(::getpid())) + '\n' +
                          QSysInfo::machineHostName().toUtf8() + '\n' + Native(socketPath) + '\n';
  if (::ftruncate(lockFd_, 0) == 0) WriteAll(lockFd_, info);
  return true;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    auto handle = [this, socket] {
      // A request may arrive in pieces or together with the close; answer it once.
      if (socket->property("answered").toBool()) return;
      QByteArray seen = socket->property("seen").toByteArray() + socket->readAll();
      socket->setProperty("seen", seen);
      if (seen.contains(kActivate)) {
        socket->setProperty("answered", true);
        emit activationRequested();
      } else if (seen.size() > 256) {
        socket->abort();  // not one of ours
      }
    };
    connect(socket, &QLocalSocket::readyRead, this, handle);
    connect(socket, &QLocalSocket::disconnected, this, [socket, handle] {
      handle();
      socket->deleteLater();
    });
    handle();
    if (socket->state() == QLocalSocket::UnconnectedState) socket->deleteLater();
  }
}
