#pragma once
// One running instance per executable: a QLockFile decides who is first (two started
// together cannot both win), and a QLocalServer named from the executable's full path
// (every "/" and space removed) lets a second instance ask the first to come to front.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // key: the executable's full path.
  explicit SingleInstance(const QString& executablePath, QObject* parent = nullptr);
  ~SingleInstance() override;

  // The executable's full path with every "/" and space removed. A path too long for a
  // socket address keeps its first characters and ends in a hash of the whole name.
  static QString ServerName(const QString& executablePath);
  // Where the lock file and the server socket live: a folder only this user can write
  // to, $XDG_RUNTIME_DIR when it is one, else the user's own "mavelo-<uid>" in the
  // temporary folder (made with mode 0700). Should another user hold that name, the
  // temporary folder itself, and the names then end in "-<uid>".
  static QString RuntimeFolder();
  static QString LockFilePath(const QString& executablePath);
  static QString SocketPath(const QString& executablePath);

  // True when this process is the first; it then listens for later ones.
  // False: another instance runs; it has been asked to come to the front.
  bool TryAdmit();

 signals:
  // A later instance asked this one to come to the front.
  void activationRequested();

 private:
  void OnNewConnection();
  // The runtime folder + "/" + the server name (+ "-<uid>" in a shared folder).
  static QString NameInFolder(const QString& executablePath);

  QString exe_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};
