#include "app/datafolders.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "core/textfile.h"

namespace {

// The longest path the copy accepts, as on the platform (PATH_MAX).
constexpr qsizetype kMaxPath = 4096;

QString WithSlash(QString path) {
  if (!path.endsWith('/')) path += '/';
  return path;
}

// Creates one folder level when missing; true when the folder is there afterwards.
bool MakeFolder(const QString& path) {
  QFileInfo info(path);
  if (info.isDir()) return true;
  if (info.exists()) return false;  // a file stands where the folder belongs
  return QDir().mkdir(path) || QFileInfo(path).isDir();
}

OpenUrlHandler& UrlHandler() {
  static OpenUrlHandler handler;
  return handler;
}

OpenFailureHandler& FailureHandler() {
  static OpenFailureHandler handler;
  return handler;
}

void ReportOpenFailure(const QUrl& url, const QString& reason) {
  if (!FailureHandler()) return;
  const QString what = url.isLocalFile() ? url.toLocalFile() : url.toString();
  QString text = QStringLiteral("Could not open \"%1\": %2.").arg(what, reason);
  if (url.isLocalFile() && what.endsWith(QLatin1String(".html"), Qt::CaseInsensitive))
    text += QStringLiteral(" The page is saved there; you can open it in your web browser.");
  FailureHandler()(text);
}

// xdg-open's exit codes, as its manual gives them.
QString XdgOpenReason(int exitCode) {
  switch (exitCode) {
    case 1: return QStringLiteral("xdg-open did not understand the request");
    case 2: return QStringLiteral("it does not exist");
    case 3: return QStringLiteral("no program to open it was found (is a web browser or file "
                                  "manager installed?)");
    default: return QStringLiteral("the program that should open it failed (xdg-open exit code %1)")
                 .arg(exitCode);
  }
}

void OpenUrl(const QUrl& url) {
  if (!url.isValid() || url.isEmpty()) return;
  try {
    if (UrlHandler()) {
      UrlHandler()(url);
      return;
    }
    // The desktop services need a GUI application; without one there is nothing to show.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
      if (!QDesktopServices::openUrl(url))
        ReportOpenFailure(url, QStringLiteral("no program to open it was found (xdg-open is "
                                              "missing)"));
      return;
    }
    // xdg-open tells by its exit code whether a handler took the address. It runs on its
    // own, without pipes, and is not ended with this program: a browser it started in
    // the foreground goes on when Mavelo closes.
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, url](QProcess::ProcessError error) {
                       if (error != QProcess::FailedToStart) return;
                       ReportOpenFailure(url, QStringLiteral("xdg-open could not be started"));
                       process->deleteLater();
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, url](int exitCode, QProcess::ExitStatus status) {
                       if (status == QProcess::NormalExit && exitCode != 0)
                         ReportOpenFailure(url, XdgOpenReason(exitCode));
                       process->deleteLater();
                     });
    process->start(xdgOpen, {url.toString(QUrl::FullyEncoded)});
  } catch (...) {
    // Opening a document is a courtesy: a failure must never reach the caller.
  }
}

class Copier {
 public:
  Copier(bool confirm, const std::function<bool(const QString&)>& ask)
      : confirm_(confirm), ask_(ask) {}

  // Copies source into the folder destFolder; keeps going after a failure so that as
  // much as possible arrives, and reports whether everything did.
  bool CopyEntry(const QFileInfo& source, const QString& destFolder) {
    const QString dest = destFolder + '/' + source.fileName();
    if (dest.size() > kMaxPath) return false;
    if (source.isSymLink() && source.isDir()) {
      // A linked folder is linked again rather than followed: following could loop.
      if (QFileInfo(dest).exists() || QFileInfo(dest).isSymLink()) return true;
      return QFile::link(source.symLinkTarget(), dest);
    }
    if (source.isDir()) {
      if (!MakeFolder(dest)) return false;
      bool all = true;
      const QFileInfoList entries = QDir(source.filePath())
          .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System |
                             QDir::NoDotAndDotDot,
                         QDir::Name);
      for (const QFileInfo& entry : entries) all = CopyEntry(entry, dest) && all;
      return all;
    }
    return CopyFile(source.filePath(), dest);
  }

 private:
  bool CopyFile(const QString& source, const QString& dest) {
    const QFileInfo existing(dest);
    if (existing.exists() || existing.isSymLink()) {
      if (existing.isDir()) return false;
      if (confirm_ && !(ask_ && ask_(dest))) return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return false;
    // Written under a temporary name and renamed at the end: the real name holds either
    // the old file or the whole new one, and every byte is checked on its way.
    QSaveFile out(dest);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) return false;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
      const qint64 n = in.read(buffer.data(), buffer.size());
      if (n < 0) {
        out.cancelWriting();
        return false;
      }
      if (n == 0) break;
      if (!WriteToSaveFile(out, buffer.constData(), n, nullptr)) return false;
      total += n;
    }
    if (!CommitSaveFile(out, total, nullptr)) return false;
    QFile::setPermissions(dest, in.permissions());
    return true;
  }

  bool confirm_;
  const std::function<bool(const QString&)>& ask_;
};

}  // namespace

DataFolders::DataFolders(const QString& programFolder, bool create) {
  program_ = WithSlash(programFolder);
  const QString base = UserDataFolder();
  maker_ = base + "Tarnwick/";
  root_ = maker_ + "Mavelo/";
  if (!create) return;

  // The base folder may be missing on a fresh profile (~/.local/share).
  QDir().mkpath(base);

  // The program side: tried, but a read-only install must not count as a failure.
  MakeFolder(program_);
  newDataFolder_ = !QFileInfo::exists(DBFolder()) && !QFileInfo(DBFolder()).isSymLink();
  const QStringList dataFolders = {maker_,         root_,          LogFolder(),
                                   DBFolder(),     ConfigFolder(), BuildFolder()};
  const QStringList laterFolders = {FTPFolder(),    NotesFolder(),  ToDoFolder(),
                                    BasalFolder(),  WeightFolder(), ExerciseFolder(),
                                    HealthFolder(), FoodFolder(),   SleepFolder(),
                                    BabyFolder(),   HeartFolder(),    CycleFolder()};
  for (const QString& folder : dataFolders) ok_ = MakeFolder(folder) && ok_;
  MakeFolder(HelpFolder());
  for (const QString& folder : laterFolders) ok_ = MakeFolder(folder) && ok_;
}

QStringList DataFolders::RecordFolders() const {
  return {LogFolder(),    DBFolder(),     ConfigFolder(), BuildFolder(),    FTPFolder(),
          NotesFolder(),  ToDoFolder(),   BasalFolder(),  WeightFolder(),   ExerciseFolder(),
          HealthFolder(), FoodFolder(),   SleepFolder(),  BabyFolder(),     HeartFolder(),
          CycleFolder()};
}

QString DataFolders::UserDataFolder() {
  // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
  const QString env = qEnvironmentVariable("XDG_DATA_HOME");
  if (!env.isEmpty() && QDir::isAbsolutePath(env)) return WithSlash(QDir::cleanPath(env));
  return WithSlash(QDir::homePath() + "/.local/share");
}

QString DataFolders::ExecutableFolder() {
  if (QCoreApplication::instance()) return WithSlash(QCoreApplication::applicationDirPath());
  return WithSlash(QFileInfo(QFileInfo("/proc/self/exe").canonicalFilePath()).path());
}

QString DataFolders::ProgramFolderFor(const QString& executableFolder) {
  const QString beside = WithSlash(executableFolder);
  for (const char* shipped : {"Brand", "Help", "DB", "Sound", "Config"})
    if (QFileInfo(beside + QLatin1String(shipped)).isDir()) return beside;
  const QString installed = WithSlash(QDir::cleanPath(beside + QStringLiteral("../share/mavelo")));
  return QFileInfo(installed).isDir() ? installed : beside;
}

void SetOpenUrlHandler(OpenUrlHandler handler) { UrlHandler() = std::move(handler); }

void SetOpenFailureHandler(OpenFailureHandler handler) { FailureHandler() = std::move(handler); }

QUrl DocumentUrl(const QString& pathOrUrl) {
  if (pathOrUrl.isEmpty()) return QUrl();
  if (!pathOrUrl.startsWith('/')) {
    const QUrl url(pathOrUrl, QUrl::StrictMode);
    // A one-letter scheme would be a drive letter elsewhere; here it is a file name.
    if (url.isValid() && url.scheme().size() > 1) return url;
  }
  return QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
}

void OpenDocument(const QString& pathOrUrl) { OpenUrl(DocumentUrl(pathOrUrl)); }

void OpenFolder(const QString& path) {
  if (path.isEmpty()) return;
  OpenUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool CopyFolder(const QString& source, const QString& target, const QString& confirm,
                const std::function<bool(const QString&)>& askReplace) {
  if (source.isEmpty() || target.isEmpty()) return false;
  if (source.size() > kMaxPath || target.size() > kMaxPath) return false;
  const QFileInfo src(QDir::cleanPath(source));
  if (!src.exists()) return false;
  const QString targetFolder = QDir::cleanPath(target);
  if (!QFileInfo(targetFolder).isDir() && !QDir().mkpath(targetFolder)) return false;

  // A folder copied into itself (or onto itself) would never end.
  const QString srcReal = src.canonicalFilePath();
  const QString targetReal = QFileInfo(targetFolder).canonicalFilePath();
  if (targetReal + '/' + src.fileName() == srcReal) return false;
  if (src.isDir() && (targetReal == srcReal || targetReal.startsWith(srcReal + '/')))
    return false;

  Copier copier(confirm == QLatin1String("Y"), askReplace);
  return copier.CopyEntry(src, targetFolder);
}

namespace {

// "<name>.<six letters>", as QSaveFile names the file it writes before the rename.
bool IsSaveTemporaryName(const QString& name, QString* original) {
  const qsizetype dot = name.size() - 7;
  if (dot < 1 || name.at(dot) != u'.') return false;
  bool upper = false;
  for (qsizetype i = dot + 1; i < name.size(); ++i) {
    const QChar c = name.at(i);
    if (c >= u'A' && c <= u'Z') upper = true;
    else if (c < u'a' || c > u'z') return false;
  }
  if (!upper) return false;
  *original = name.left(dot);
  return true;
}

}  // namespace

int RemoveStaleSaveFiles(const DataFolders& dir) {
  const QStringList folders = QStringList{dir.DataRoot()} + dir.RecordFolders();
  int removed = 0;
  for (const QString& folder : folders) {
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QFileInfo& file : files) {
      QString original;
      if (!IsSaveTemporaryName(file.fileName(), &original)) continue;
      const QFileInfo beside(folder + original);
      if (!beside.isFile()) continue;
      if (QFile::remove(file.filePath())) ++removed;
    }
  }
  return removed;
}

bool FirstRunDatabaseCopy(const DataFolders& dir) {
  const QString marker = dir.DBFolder() + "Food.db";
  if (QFileInfo::exists(marker)) return true;
  if (!dir.NewDataFolder()) return false;
  QString shipped = dir.ProgramDBFolder();
  shipped.chop(1);  // the folder itself, so that it lands as <data root>/DB
  CopyFolder(shipped, dir.DataRoot(), QStringLiteral("N"));
  return QFileInfo::exists(marker);
}
