#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");

// A Unix socket address holds 108 bytes with its folder; keep well inside that.
constexpr int kMaxSocketPath = 100;

}  // namespace

SingleInstance::SingleInstance(const QString& executablePath, QObject* parent)
    : QObject(parent), exe_(executablePath) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
  // The lock goes with lock_, after the server has stopped answering.
}

namespace {

// A folder only this user can write to: the user's own (not a link), writable by
// nobody else.
bool IsPrivateFolder(const QString& path) {
  struct stat st {};
  if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The user's own folder in the shared temporary folder, made when missing.
QString OwnTemporaryFolder() {
  return QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/mavelo-") +
         QString::number(::geteuid());
}

}  // namespace

QString SingleInstance::RuntimeFolder() {
  // The lock and the socket must be this user's alone: in a folder others can write to,
  // another user (or a stale lock of a root run) could keep this user from starting.
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && IsPrivateFolder(runtime)) return QDir::cleanPath(runtime);
  const QString own = OwnTemporaryFolder();
  ::mkdir(QFile::encodeName(own).constData(), 0700);
  if (IsPrivateFolder(own)) return own;
  // Someone else holds that name: the shared folder, with the user's id in the names.
  return QDir::cleanPath(QDir::tempPath());
}

QString SingleInstance::NameInFolder(const QString& executablePath) {
  const QString folder = RuntimeFolder();
  QString name = ServerName(executablePath);
  if (!IsPrivateFolder(folder)) name += QStringLiteral("-") + QString::number(::geteuid());
  return folder + u'/' + name;
}

QString SingleInstance::ServerName(const QString& executablePath) {
  QString name = executablePath;
  name.remove('/');
  name.remove(' ');
  const QString folder = RuntimeFolder();
  // In a shared folder the names end in "-<uid>" (at most 11 characters more).
  const int suffix = IsPrivateFolder(folder) ? 0 : 11;
  const int room = kMaxSocketPath - int(folder.toUtf8().size()) - 1 - suffix;
  if (name.toUtf8().size() > room) {
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(executablePath.toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16));
    const int keep = qMax(0, room - int(hash.size()) - 1);
    QString head = name;
    while (head.toUtf8().size() > keep) head.chop(1);
    name = head + '-' + hash;
  }
  return name;
}

QString SingleInstance::LockFilePath(const QString& executablePath) {
  return NameInFolder(executablePath) + ".lock";
}

QString SingleInstance::SocketPath(const QString& executablePath) {
  return NameInFolder(executablePath);
}

bool SingleInstance::TryAdmit() {
  if (server_ || (lock_ && lock_->isLocked())) return true;
  lock_ = std::make_unique<QLockFile>(LockFilePath(exe_));
  // The lock is held for the life of the program: only a dead owner makes it stale,
  // never its age.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) {
    if (lock_->error() != QLockFile::LockFailedError) {
      // No lock can be taken at all (unwritable folder): running beats refusing.
      lock_.reset();
      return true;
    }
    lock_.reset();
    // The first one may have won the lock a moment ago and not be listening yet.
    QLocalSocket socket;
    for (int attempt = 0; attempt < 20; ++attempt) {
      socket.connectToServer(SocketPath(exe_));
      if (socket.waitForConnected(500)) {
        socket.write(kActivate);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
        if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(500);
        break;
      }
      socket.abort();
      QThread::msleep(100);
    }
    return false;
  }

  // We hold the lock, so a socket left by a crashed first instance is ours to clear.
  QLocalServer::removeServer(SocketPath(exe_));
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  if (!server_->listen(SocketPath(exe_))) {
    // Still the only instance; later ones simply cannot bring this one to the front.
    qWarning("SingleInstance: cannot listen on %s: %s", qPrintable(SocketPath(exe_)),
             qPrintable(server_->errorString()));
  }
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
