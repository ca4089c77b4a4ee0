#pragma once
// One running instance per data folder: two instances on the same records would each
// write over what the other saved, whatever their environment or executable. The lock is
// a file inside the data folder itself (".mavelo.lock", readable and writable by the user
// alone), held with flock(2) for the life of the program. The system lets go of it when
// the process ends, however it ends, so a lock file that nobody holds (empty, garbage,
// written on another host, naming a process that is gone or is not this user's) is
// simply taken over, and of two instances started together only one can win.
//
// The lock file names its holder and the socket through which a later instance asks it
// to come to the front: a QLocalServer in the user's private runtime folder, named from
// the data folder.
//
// A data folder that is not the user's own (another user's, or one anybody may write to)
// is never used for the lock: it is then taken in the runtime folder, named from the data
// folder all the same.

#include <QLocalServer>
#include <QObject>
#include <QString>

class DataFolders;

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // The instance of the program that works on dir's data folder.
  explicit SingleInstance(const DataFolders& dir, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Where the user's lock and socket may live when the data folder cannot hold the lock,
  // and where the socket always lives: a folder only this user can write to,
  // $XDG_RUNTIME_DIR when it is one, else the user's own "mavelo-<uid>" in the temporary
  // folder (made with mode 0700). Should another user hold that name, the temporary
  // folder itself, and the names then end in "-<uid>".
  static QString RuntimeFolder();
  // The lock file of a data folder (a path ending in "/"): inside it when it is the
  // user's own, else in the runtime folder.
  static QString LockFilePath(const QString& dataFolder);
  // "mavelo-" and 16 hex digits of a hash of the data folder's real path.
  static QString SocketName(const QString& dataFolder);
  static QString SocketPath(const QString& dataFolder);

  // True when this process is the first on its data folder; it then listens for later
  // ones. False: another instance works on that folder; it has been asked to come to
  // the front. When no lock can be taken at all, running beats refusing: true.
  bool TryAdmit();
  // Whether this instance holds the lock.
  bool Admitted() const { return lockFd_ >= 0; }

 signals:
  // A later instance asked this one to come to the front.
  void activationRequested();

 private:
  enum class Take { Taken, HeldByOther, Unusable };
  Take TakeLock(const QString& path);
  void AskFirstToFront(const QString& lockPath);
  void OnNewConnection();

  QString dataFolder_;
  QString lockPath_;
  int lockFd_ = -1;
  QLocalServer* server_ = nullptr;
};
