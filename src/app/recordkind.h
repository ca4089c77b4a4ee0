#pragma once
// What each room tells the backup, the restore and the CSV export about its records,
// without their knowing one another: the files it keeps (folder, name, the largest a file
// of that kind may be, and its own reader to prove a file reads), and a reader that turns
// the files of a data folder (or of a restored copy of one) into tables, one per CSV file.
// The shell lists every room's kind in one table (shell/recordkinds.h).

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QPair>
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
  QVector<int> lines;      // read back for an import: the line each row starts on
  void Add(const QDate& date, const QStringList& fields) {
    dates << date;
    rows << fields;
  }
  // "basal.csv, line 5" (the row's line when known), for an import's messages.
  QString Where(int row) const;
};

// How an import writes a kind's records: Preview counts and checks and writes nothing;
// Keep adds only to days (or lists, readings) that hold nothing yet; Replace writes
// over those too. PreviewReplace checks all that Replace would write and writes
// nothing, so that a Replace that would stop at a file it may not write over is
// refused before its first write.
enum class ImportMode { Preview, Keep, Replace, PreviewReplace };
inline bool Writes(ImportMode mode) { return mode == ImportMode::Keep || mode == ImportMode::Replace; }
inline bool Replaces(ImportMode mode) {
  return mode == ImportMode::Replace || mode == ImportMode::PreviewReplace;
}
// What an import adds: days (records) new to the data folder, and those that already
// hold something (kept, or replaced under ImportMode::Replace).
struct ImportTally {
  qint64 added = 0;
  qint64 held = 0;
  // Rows checked against the source's other tables that write nothing of their own
  // (meals-daily.csv's totals, against meals.csv).
  qint64 checked = 0;
};
// A room's writer of one of its CSV tables (the columns its export writes, in any
// order; unknown columns are left aside). False with "basal.csv, line 5: ..." when a
// row does not read, or with the file layer's message when a write fails.
using RecordImporter = std::function<bool(const DataFolders& dir, const RecordTable& table,
                                          ImportMode mode, ImportTally* tally, QString* error)>;
// The other tables of the same source by file name ("meals.csv"); nullptr when the
// source holds no such table.
using RecordTableLookup = std::function<const RecordTable*(const QString& fileName)>;
// A writer that also reads the source's other tables: one that checks its rows against
// another table's, or takes them into account.
using RecordSourceImporter =
    std::function<bool(const DataFolders& dir, const RecordTable& table,
                       const RecordTableLookup& source, ImportMode mode, ImportTally* tally,
                       QString* error)>;
// The columns of a table by name; false with "basal.csv: no column \"date\"" naming
// the first required one that is missing. Optional names give -1 when missing.
bool ImportColumns(const RecordTable& table, const QStringList& required,
                   const QStringList& optional, QHash<QString, int>* columns, QString* error);
// A row's field by column (-1 or past the row: empty), trimmed.
QString ImportField(const QStringList& row, int column);
// An ISO date (2009-03-14); false with "basal.csv, line 5: \"3/14\" is not a date
// (yyyy-MM-dd)".
bool ImportDate(const RecordTable& table, int row, const QString& text, QDate* date,
                QString* error);
// A number with "." whatever the locale; false with "weight.csv, line 3: the weight
// \"1,5\" is not a number".
bool ImportNumber(const RecordTable& table, int row, const QString& column,
                  const QString& text, double* value, QString* error);

// A table that keeps one row a day: false with "sleep.csv, line 9: a second row for
// 2009-03-14 (the first is on line 4)" when the day had a row before; else the row is
// noted in *seen (the row of each day).
bool ImportOneRowADay(const RecordTable& table, int row, const QString& dateText, const QDate& date,
                      QHash<QDate, int>* seen, QString* error);

// A day's note as the export writes it (its lines joined by LF), any line break read as
// one; empty when it holds only blanks.
QString ImportNoteField(const QStringList& row, int column);
// A day's note in a memo file of its own (a workout or sleep note): added to a day
// without one, held over another (written over under ImportMode::Replace), one line a
// line as the views write their notes.
bool ImportNote(const QString& path, const QString& text, ImportMode mode, ImportTally* tally,
                QString* error);

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
  // Bytes already read (by full path), which Read hands out instead of reading the file
  // again: the backup and the restore have read every file once already. The map must
  // outlive the root.
  void UseReadBytes(const QHash<QString, QByteArray>* bytes) { read_ = bytes; }

 private:
  const DataFolders& dir_;
  QString root_;
  const QHash<QString, QByteArray>* read_ = nullptr;
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
  // The CSV tables an import takes back ("basal.csv"), each with its writer, in the
  // order they are written (a table that depends on another comes after it).
  QList<QPair<QString, RecordImporter>> importers;
  // The tables whose writers read the source's other tables too; they are written after
  // the kind's importers, in their order.
  QList<QPair<QString, RecordSourceImporter>> sourceImporters;
};

// The first rule that a file (folder relative to the root, name) matches, or nullptr.
const RecordFileRule* FindFileRule(const QList<RecordKind>& kinds, const QString& folder,
                                   const QString& name, const RecordKind** kind = nullptr);
// Every folder that a rule names (relative, with "/"; not the root).
QStringList RuleFolders(const QList<RecordKind>& kinds);
