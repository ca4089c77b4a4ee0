#pragma once
// What the fuzz targets over record folders share: a scratch folder in memory (tmpfs
// when there is one, so that the saves they drive cost no disk), the input cut into the
// files of one record, and the folder's bytes to compare between saves.
#include <QByteArray>
#include <QByteArrayList>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// The parts of the input between 0x1E bytes (the record separator, rare in text files),
// so that a seed file on its own is the first part.
inline QByteArrayList Parts(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  return bytes.split('\x1e');
}

// A fresh, empty folder for each input; with "/".
inline QString EmptyFolder() {
  static QTemporaryDir* dir = [] {
    const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                             ? QStringLiteral("/dev/shm/mavelo-fuzz-XXXXXX")
                             : QDir::tempPath() + QStringLiteral("/mavelo-fuzz-XXXXXX");
    return new QTemporaryDir(base);
  }();
  const QString path = dir->path() + QStringLiteral("/records/");
  QDir(path).removeRecursively();
  QDir().mkpath(path);
  return path;
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "fuzz harness: cannot write %s\n", qPrintable(path));
    std::abort();
  }
}

// Every file of the folder and its bytes.
inline QMap<QString, QByteArray> Snapshot(const QString& folder) {
  QMap<QString, QByteArray> out;
  for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
    QFile f(info.filePath());
    out.insert(info.fileName(),
               f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
  }
  return out;
}

[[noreturn]] inline void Fail(const char* target, const char* what) {
  std::fprintf(stderr, "%s: %s\n", target, what);
  std::abort();
}

// Qt's plugins (the SQL driver) need an application object.
inline void StartApplication() {
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  (void)app;
}

}  // namespace fuzz
