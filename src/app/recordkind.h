#pragma once
// What each room tells the backup, the restore and the CSV export about its records,
// without their knowing one another: the files it keeps (folder, name, the largest a file
// of that kind may be, and its own reader to prove a file reads), and a reader that turns
// the files of a data folder (or of a restored copy of one) into tables, one per CSV file.
// The shell lists every room's kind in one table (shell/recordkinds.h).

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "core/textfile.h"

class DataFolders;

// One kind of file a room keeps.
struct RecordFileRule {
  QString folder;            // relative to the data root, with "/" ("Basal/"); "" the root
  QRegularExpression name;   // matches the whole file name
  qint64 maxBytes = 0;       // larger files are not the program's
  // Reads the bytes with the kind's own reader: false with why they cannot be read.
  // Empty: any bytes within maxBytes read.
  std::function<bool(const QByteArray& bytes, QString* why)> read;
};

// A regular expression that matches a whole plain file name: no folder, no leading dot,
// no control character, ending in one of the extensions (without the dot; empty: any).
QRegularExpression PlainFileName(const QStringList& extensions);
// An exact file name, letter case as given.
QRegularExpression ExactFileName(const QString& name);

// The records of one CSV file.
struct RecordTable {
  QString fileName;        // "basal.csv"
  QStringList header;
  QVector<QStringList> rows;
  QVector<QDate> dates;    // the day of each row; invalid for a row of no day
  void Add(const QDate& date, const QStringList& fields) {
    dates << date;
    rows << fields;
  }
};

// Where a kind's files are: the data folder itself, or a copy of it under another root
// (a restore being checked). Folder() moves one of DataFolders' folders onto that root.
// Files are read here without the file layer's guards: a backup or an export that reads
// a file must not lift the guard a view set when it could not load that file.
class RecordRoot {
 public:
  explicit RecordRoot(const DataFolders& dir, const QString& root = QString());
  const DataFolders& Dir() const { return dir_; }
  const QString& Root() const { return root_; }  // with "/"
  // dir.BasalFolder() on this root.
  QString Folder(const QString& folderOfDir) const;
  // The folder relative to the data root ("Basal/").
  static QString Relative(const DataFolders& dir, const QString& folderOfDir);
  // The names of the regular files (not links) in one of DataFolders' folders on this
  // root that match the pattern, sorted.
  QStringList Files(const QString& folderOfDir, const QRegularExpression& name) const;
  // Reads a file of that folder (at most kMaxReadBytes). False with "Cannot open file".
  bool Read(const QString& folderOfDir, const QString& name, QByteArray* bytes,
            QString* error) const;
  bool Exists(const QString& folderOfDir, const QString& name) const;

 private:
  const DataFolders& dir_;
  QString root_;
};

class CellGrid;

// Reading helpers for the kinds' readers, on top of RecordRoot::Read.
bool ReadRecordGrid(const RecordRoot& root, const QString& folderOfDir, const QString& name,
                    CellGrid* grid, QString* error);
bool ReadRecordLines(const RecordRoot& root, const QString& folderOfDir, const QString& name,
                     QStringList* lines, QString* error);
// A cell that reads as a number (the user's locale, as the views write them) becomes the
// CSV number; any other text stays as it is, trimmed, so nothing typed is lost.
QString NumberField(const QString& cell);
// The sizes of the kinds of files, as their readers take them.
inline constexpr qint64 kMaxRecordFileBytes = kMaxReadBytes;  // text, grid, ini files
inline constexpr qint64 kMaxDatabaseBytes = qint64(1) << 30;

struct RecordKind {
  QString id;     // "basal": the manifest's section, stable across versions
  QString title;  // "Basal temperature"
  QList<RecordFileRule> files;
  // Reads the kind's records under the root into tables (none for a kind without
  // records of its own, such as the settings folder). False with the user's message
  // when a file that is there cannot be read.
  std::function<bool(const RecordRoot& root, QList<RecordTable>* tables, QString* error)> read;
};

// The first rule that a file (folder relative to the root, name) matches, or nullptr.
const RecordFileRule* FindFileRule(const QList<RecordKind>& kinds, const QString& folder,
                                   const QString& name, const RecordKind** kind = nullptr);
// Every folder that a rule names (relative, with "/"; not the root).
QStringList RuleFolders(const QList<RecordKind>& kinds);
