#pragma once
// Backups of the data folder as one zip archive, their restore, and the automatic daily
// backups kept in the data folder's Backups/.
//
// An archive holds the program's own files (those a RecordKind names) under their paths
// relative to the data root, and a manifest ("manifest.ini": the format, the program, the
// date, the files and records of each kind). Backups/ and anything that is not the
// program's are never in it.
//
// A restore checks every entry before anything is written: only the program's folders
// and file names, no absolute names, no "..", no links or devices, sizes and counts
// within bounds, every file read by its own reader. It then unpacks into a folder of its
// own inside the data root (".restore-XXXXXX"), reads the records there, and only when
// the user agrees saves the current folder as an automatic backup and moves the restored
// folders into place, one rename each, putting the old ones back should any rename fail.
// A folder that already holds exactly the archive's files is left in place; the staging
// folder names it by a link to itself, so that its records are read all the same.
//
// Before the first rename the list of the moves is written beside the staging folder
// (".restore-XXXXXX.swap"), after every file unpacked is on the disk: a restore stopped
// among its renames (the program killed, the power gone) is finished from that list at
// the next start, so the data folder is either the one before or the one restored.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/recordkind.h"

class DataFolders;

// Told after each step: done of total (total may grow between phases).
using ProgressFunction = std::function<void(qint64 done, qint64 total)>;

// The archive format this version writes and the newest it reads.
inline constexpr int kArchiveFormat = 1;
inline constexpr const char* kManifestName = "manifest.ini";
// Bounds of what a restore accepts.
inline constexpr int kMaxArchiveEntries = 200000;
inline constexpr qint64 kMaxArchiveBytes = qint64(4) << 30;

// The records of one kind in a folder or an archive.
struct KindCount {
  QString id;
  QString title;
  int files = 0;
  qint64 records = 0;
  QDate first, last;  // the days the records span; invalid when none has a day
};

// What an archive holds (or what a backup wrote).
struct ArchiveSummary {
  int format = kArchiveFormat;
  QString program;     // "Mavelo 2026.12.0.1"
  QDateTime created;   // when the backup was made
  int files = 0;
  qint64 bytes = 0;    // the files' sizes
  QList<KindCount> kinds;
  // "Journal: 3,650 records in 3,650 files, 2016-01-01 to 2025-12-31" lines.
  QStringList Lines() const;
};

// Counts the records of every kind under the root. False with the message of the first
// file that could not be read (its kind then counts no records; the others are counted).
bool CountRecords(const RecordRoot& root, const QList<RecordKind>& kinds,
                  QList<KindCount>* counts, QString* error);

// "Mavelo-backup-2026-12-10.zip".
QString DefaultBackupName(const QDate& date);

// Writes the archive of the data folder to path, whole or not at all. *leftOut names
// the files in the program's folders that are not the program's (or cannot be its:
// links, files too large for their kind), which are not in the archive. False with the
// user's message; the file at path keeps what it held.
// Without countRecords the manifest names no records per kind (the safety copy of a
// restore or an import, which no one reads but a restore, which counts for itself).
bool WriteBackup(const DataFolders& dir, const QList<RecordKind>& kinds, const QString& path,
                 ArchiveSummary* summary, QStringList* leftOut, QString* error,
                 const ProgressFunction& progress = {}, bool countRecords = true);

// A restore: Inspect checks and unpacks the archive beside the data, Commit puts it in
// place. Destroying a job that was not committed removes what it unpacked.
class RestoreJob {
 public:
  RestoreJob(const DataFolders& dir, const QList<RecordKind>& kinds);
  ~RestoreJob();

  // False with the user's message ("... cannot be restored: <entry>: <why>"); nothing
  // of the data folder has changed then.
  bool Inspect(const QString& archivePath, QString* error,
               const ProgressFunction& progress = {});
  const ArchiveSummary& Summary() const { return summary_; }

  // Saves the current data folder as an automatic backup, then makes the data folder
  // hold exactly the archive's files (the manifest is not one of them). False with the
  // user's message when the safety backup or the move failed; the data folder is then
  // as it was (or, should even putting it back fail, the restore is finished at the
  // next start: the message says so).
  bool Commit(QString* error, const ProgressFunction& progress = {});
  // The automatic backup Commit made.
  const QString& SafetyBackup() const { return safetyBackup_; }

 private:
  struct Work;  // what Inspect checked and unpacked, for Commit
  const DataFolders& dir_;
  QList<RecordKind> kinds_;
  std::unique_ptr<Work> work_;
  ArchiveSummary summary_;
  QString safetyBackup_;
};

// Finishes a restore that was stopped among its renames, from its list of the moves, and
// removes what a stopped restore left beside the data folder (a staging folder, the old
// folders). For the start of the program, before anything reads the data folder, with
// no other instance running. False with the user's message when a stopped restore could
// not be finished: its folders are then left as they are, for the next start.
bool FinishStoppedRestore(const DataFolders& dir, QString* error);

// Saves the data folder as it is now as an automatic backup
// (Backups/Mavelo-auto-2026-12-10-143000.zip), before a restore or an import changes it.
// *path gets the archive written. False with the user's message.
bool WriteSafetyBackup(const DataFolders& dir, const QList<RecordKind>& kinds, QString* path,
                       QString* error, const ProgressFunction& progress = {});
// The automatic backups, newest first (full paths).
QStringList AutomaticBackups(const DataFolders& dir);
// When none was made today, writes Backups/Mavelo-auto-<today>.zip, then keeps the 7
// newest days and the newest backup of each of the 4 weeks before them, removing older
// ones. True when nothing needed doing or the backup was written; false with the user's
// message otherwise. *made tells whether one was written.
bool MakeDailyBackup(const DataFolders& dir, const QList<RecordKind>& kinds, const QDate& today,
                     QString* error, bool* made = nullptr);
// Keeps the 7 newest days and the newest backup of each of the 4 weeks before them.
void PruneAutomaticBackups(const DataFolders& dir);
