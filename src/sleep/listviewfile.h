#pragma once
// The list-view file: a small binary file that keeps a checkable list's items (the alarm
// lists are its users). All integers are 32-bit signed little-endian; a string is its
// byte length and its bytes (UTF-8 written; text that is not valid UTF-8 reads as
// Windows-1252, as older files hold).
//
//   check-box flag     1 byte (1: the list has check boxes)
//   item count N       int32
//   N items:  checked  1 byte, only when the flag is 1
//             caption  string
//             m        int32, the sub-item count
//             m sub-item strings
//
// Reading never trusts a count or a length beyond the bytes that are there: an item cut
// off anywhere inside is dropped with everything after it, and the items before it are
// kept whole. A file that was not read to its end (an item cut off, fewer items than
// its count, bytes after the last item) is opened read-only (core/textfile.h): a save
// would drop what came after.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

struct ListViewItem {
  bool checked = false;
  QString caption;
  QStringList subItems;
  bool operator==(const ListViewItem&) const = default;
};

class ListViewFile {
 public:
  bool checkBoxes = true;
  QList<ListViewItem> items;

  // Replaces the content with the file's. False, with errorString(), when the file cannot
  // be opened or read; the content is then left as it was.
  bool Read(const QString& path);
  bool Read(QIODevice* device);
  // Whatever the bytes, the whole items they hold. False when that is not all they
  // hold (see above); empty bytes hold nothing to lose.
  bool ReadBytes(const QByteArray& bytes);

  // Writes the whole file (QSaveFile for a path). False with errorString().
  bool Write(const QString& path) const;
  bool Write(QIODevice* device) const;
  QByteArray ToBytes() const;

  // The user's message for the last failure ("Cannot open file ..." / "Cannot create
  // file ...").
  QString errorString() const { return error_; }

 private:
  mutable QString error_;
};

// The names the alarm lists use.
bool LoadListViewFile(ListViewFile& list, const QString& path, QString* error = nullptr);
bool SaveListViewFile(const ListViewFile& list, const QString& path, QString* error = nullptr);
