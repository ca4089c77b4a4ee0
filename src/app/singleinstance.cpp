#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

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

QString SingleInstance::RuntimeFolder() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return QDir::cleanPath(runtime);
  return QDir::cleanPath(QDir::tempPath());
}

QString SingleInstance::ServerName(const QString& executablePath) {
  QString name = executablePath;
  name.remove('/');
  name.remove(' ');
  const int room = kMaxSocketPath - int(RuntimeFolder().toUtf8().size()) - 1;
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
  return RuntimeFolder() + '/' + ServerName(executablePath) + ".lock";
}

QString SingleInstance::SocketPath(const QString& executablePath) {
  return RuntimeFolder() + '/' + ServerName(executablePath);
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
