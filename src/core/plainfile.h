#pragma once
// Reading many small files quickly, for the backup, the restore and the CSV export,
// which go through every file of the data folder: a folder's names and kinds from the
// folder itself (no stat of each entry), and a file's bytes with its size and time in
// four system calls (open, fstat, read, close). Neither sets or heeds the file layer's
// guards (core/textfile.h): they only read.

#include <QByteArray>
#include <QList>
#include <QString>

struct FolderEntry {
  enum class Type { File, Folder, Link, Other };
  QString name;
  Type type = Type::Other;
};

// The entries of a folder but "." and "..", sorted by name (as QString compares them).
// Empty when the folder cannot be read.
QList<FolderEntry> ListFolder(const QString& folder);

struct PlainFile {
  QByteArray bytes;
  qint64 size = 0;          // as fstat told it
  qint64 modifiedSecs = 0;  // seconds since the epoch
  bool tooLarge = false;    // above maxBytes: bytes not read
};

// Reads a regular file whole (not through a link). False with the file layer's "Cannot
// open file" message: missing, a link, not a regular file, a read error.
bool ReadPlainFile(const QString& path, qint64 maxBytes, PlainFile* file, QString* error);
