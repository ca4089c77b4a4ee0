#pragma once
// Reading and writing many small files quickly, for the backup, the restore and the CSV
// export, which go through every file of the data folder: a folder's names and kinds from
// the folder itself (no stat of each entry), a file's bytes with its size and time in
// four system calls (open, fstat, read, close), files reached by name inside a folder held
// open (no walk of the whole path for each), and new files written in one write each.
// None of these sets or heeds the file layer's guards (core/textfile.h): the reads only
// read, and the writes only make files that did not exist (a restore's unpacking).

#include <QByteArray>
#include <QList>
#include <QString>

struct FolderEntry {
  enum class Type { File, Folder, Link, Other };
  QString name;
  Type type = Type::Other;
};

// Which version of a file this is: a save (a new file renamed over the old one) changes
// the inode, a write in place the change time.
struct FileStamp {
  quint64 device = 0;
  quint64 inode = 0;
  qint64 size = -1;
  qint64 modifiedNs = 0;
  qint64 changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

// A folder held open. Its own place is not followed when it is a link (unless told), so
// that what is reached through it is inside that very folder.
class FolderHandle {
 public:
  FolderHandle() = default;
  explicit FolderHandle(const QString& path, bool followLink = false);
  // A folder inside another held open, by its name.
  FolderHandle(const FolderHandle& parent, const QString& name);
  ~FolderHandle();
  FolderHandle(FolderHandle&& other) noexcept;
  FolderHandle& operator=(FolderHandle&& other) noexcept;
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Handle() const { return fd_; }
  const QString& Path() const { return path_; }  // with "/"
  // Flushes the folder's own entries (names made, removed or renamed) to the disk.
  bool Flush() const;

 private:
  int fd_ = -1;
  QString path_;
};

// The entries of a folder but "." and "..", sorted by name (as QString compares them).
// Empty when the folder cannot be read.
QList<FolderEntry> ListFolder(const QString& folder);
QList<FolderEntry> ListFolder(const FolderHandle& folder);

struct PlainFile {
  QByteArray bytes;
  qint64 size = 0;          // as fstat told it
  qint64 modifiedSecs = 0;  // seconds since the epoch
  bool tooLarge = false;    // above maxBytes: bytes not read
  FileStamp stamp;          // as fstat told it before the read
};

// Reads a regular file whole (not through a link). False with the file layer's "Cannot
// open file" message: missing, a link, not a regular file, a read error.
bool ReadPlainFile(const QString& path, qint64 maxBytes, PlainFile* file, QString* error);
bool ReadPlainFile(const FolderHandle& folder, const QString& name, qint64 maxBytes,
                   PlainFile* file, QString* error);

// The stamp of a regular file in the folder (not through a link); false when there is
// none by that name.
bool StampFile(const FolderHandle& folder, const QString& name, FileStamp* stamp);

// Makes a new file (never one that exists, never through a link) holding the bytes, with
// that modification time, in one write. Not flushed to the disk: the caller flushes
// what it wrote at once. False with the file layer's "Cannot create file" message.
bool WriteNewFile(const FolderHandle& folder, const QString& name, const QByteArray& bytes,
                  qint64 modifiedSecs, QString* error);

// A second name in `to` for the file `name` of `from` (a hard link). False when it
// cannot be made (another disk, a filesystem without them, a name that exists).
bool LinkFile(const FolderHandle& from, const QString& name, const FolderHandle& to);

// Removes a folder with everything in it, never following a link (a link is removed, not
// what it points to). A link in the folder's own place is left alone. True when nothing
// of it is left.
bool RemoveTree(const QString& folder);
