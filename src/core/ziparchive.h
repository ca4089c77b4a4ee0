#pragma once
// Zip archives through libarchive: a writer that makes the archive whole or not at all
// (through QSaveFile, like every file the program writes) and a reader that walks the
// entries and hands their bytes out with a limit. Nothing is extracted here: a restore
// writes the bytes it checked itself, by names it checked (app/recordarchive.h).

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>

struct archive;
class QSaveFile;

class ZipWriter {
 public:
  ZipWriter();
  ~ZipWriter();  // an archive not committed is thrown away
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Starts the archive at path (a temporary file beside it until Commit).
  bool Open(const QString& path, QString* error);
  // name: "/"-separated, relative, UTF-8 in the archive. A folder name ends in "/".
  bool AddFolder(const QString& name, const QDateTime& modified, QString* error);
  bool AddFile(const QString& name, const QByteArray& bytes, const QDateTime& modified,
               QString* error);
  // Finishes the archive and gives it its name. False with the reason (a full disk);
  // the file at path then keeps what it held before.
  bool Commit(QString* error);
  void Cancel();

 private:
  bool Fail(QString* error, const QString& what);
  std::unique_ptr<QSaveFile> file_;
  archive* a_ = nullptr;
  QString path_;
  QString writeError_;  // why the last write to the file failed
  qint64 written_ = 0;
  friend struct ZipWriterCallbacks;
};

// Files smaller than this are stored as they are; larger ones are deflated.
inline constexpr qint64 kZipStoredBelow = 256;

struct ZipEntryInfo {
  enum class Type { File, Folder, Link, Other };
  QString name;        // as the archive holds it
  Type type = Type::Other;
  qint64 size = -1;    // -1 when the archive does not say
  QDateTime modified;
};

inline constexpr qint64 kZipInMemoryBytes = qint64(256) << 20;

class ZipReader {
 public:
  ZipReader();
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Opens a zip archive (only zip: anything else fails). False with the reason. An
  // archive of up to kZipInMemoryBytes is read into memory at once, so that walking its
  // entries costs no system call for each.
  bool Open(const QString& path, QString* error);
  // The next entry's header. False at the end, and on a damaged archive (errorString()
  // then tells why).
  bool Next(ZipEntryInfo* entry);
  // The current entry's bytes; more than maxBytes fails without reading them all.
  bool ReadData(qint64 maxBytes, QByteArray* bytes, QString* error);
  QString errorString() const { return error_; }

 private:
  archive* a_ = nullptr;
  QByteArray bytes_;  // the archive, when it is small enough to be read in one piece
  struct archive_entry* entry_ = nullptr;
  QString error_;
};

// The bytes of a gzip stream (a ".gz" file), at most maxBytes of them, through
// libarchive's gzip filter. False with the reason: not gzip, damaged, or too large.
bool GunzipBytes(const QByteArray& gzip, qint64 maxBytes, QByteArray* bytes, QString* reason);
