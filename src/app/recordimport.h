#pragma once
// An import of records into the data folder: Mavelo's own CSV export (its folder, or one
// of its files), drip's CSV, Clue's measurements.json or Periodical's backup
// (app/dayrecords.h). Inspect reads the source, checks every row and counts what it
// would add, writing nothing; Commit then saves the data folder as an automatic backup
// and writes each table through its room's writer (app/recordkind.h RecordImporter), in
// the order of the kinds.
//
// Days that already hold something are kept unless Commit is told to replace them. A
// source that does not read (a missing column, a wrong date or number, a newer format)
// is refused whole by Inspect, naming the line and the reason.

#include <QList>
#include <QString>
#include <QStringList>

#include "app/recordarchive.h"
#include "app/recordkind.h"

class DataFolders;

// What an import would add to, or did add to, one table's records.
struct ImportCount {
  QString table;  // "basal.csv"
  QString title;  // the kind's: "Basal temperature"
  ImportTally tally;
};

struct ImportSummary {
  QString format;  // "Mavelo's CSV export", "drip's CSV", "Clue's measurements", "Periodical's backup"
  QList<ImportCount> tables;
  QStringList leftAside;  // what the source holds that Mavelo keeps nowhere
  qint64 Added() const;
  qint64 Held() const;
  qint64 Checked() const;
  // "Basal temperature (basal.csv): 120 to add, 3 that already hold something" (Preview);
  // "...: 120 added, 3 kept as they were" (Keep) or "..., 3 replaced" (Replace). A table
  // that is only checked: "Calorie diary (meals-daily.csv): 40 rows checked against the
  // other files, nothing of its own to add" ("... added").
  QStringList Lines(ImportMode mode = ImportMode::Preview) const;
};

// The source read as tables of Mavelo's CSV export. False with the user's message.
bool ReadImportSource(const QString& path, QString* format, QList<RecordTable>* tables,
                      QStringList* leftAside, QString* error);

class ImportJob {
 public:
  ImportJob(const DataFolders& dir, const QList<RecordKind>& kinds);

  bool Inspect(const QString& path, QString* error, const ProgressFunction& progress = {});
  const ImportSummary& Summary() const { return summary_; }
  // Whether Commit would change anything (with replace: the held days too).
  bool HasWork(bool replace) const;
  // Why Commit with replace is refused (a file holding what it would replace may not be
  // written over); empty when it is not. Inspect checks it, so that a Replace never
  // stops halfway for such a file.
  const QString& ReplaceRefusal() const { return replaceRefusal_; }

  // Saves the data folder as an automatic backup, then writes. False with the user's
  // message; when the backup failed nothing was written, and when a write failed the
  // message says that the backup holds the records as they were.
  bool Commit(bool replace, QString* error, const ProgressFunction& progress = {});
  const QString& SafetyBackup() const { return safetyBackup_; }
  // What Commit wrote, and how (Keep or Replace).
  const ImportSummary& Written() const { return written_; }
  ImportMode WrittenMode() const { return writtenMode_; }

 private:
  struct Step {
    int table = 0;  // in tables_
    RecordSourceImporter write;
    QString title;
  };
  // The source's table of that name, for a writer that reads the others.
  const RecordTable* SourceTable(const QString& fileName) const;
  const DataFolders& dir_;
  QList<RecordKind> kinds_;
  QList<RecordTable> tables_;  // the source's, as read by Inspect
  QList<Step> steps_;
  ImportSummary summary_, written_;
  QString safetyBackup_;
  QString replaceRefusal_;
  ImportMode writtenMode_ = ImportMode::Preview;
};
