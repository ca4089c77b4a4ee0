#pragma once
// The dialogs of File > Back up…, File > Restore…, File > Export > Records as CSV… and
// File > Export > Calendar (.ics)… and File > Import…: a file or folder chooser, a progress bar while the
// work runs, and the outcome in a message box. The kinds of records come from the shell
// (shell/recordkinds.h); shell/recordactions.h holds the one call per menu entry.

#include <QList>
#include <QString>
#include <functional>

#include "app/recordkind.h"

class DataFolders;
class QWidget;

// What the window does around a restore: before the data folder is replaced (write what
// was typed, close the database) and after (open the database, reload every view). Both
// run only when the user agreed; afterReplace also runs when the replace failed, since
// the window closed what it held.
struct RestoreHooks {
  std::function<void()> beforeReplace;
  std::function<void(bool replaced)> afterReplace;
};

void RunBackupDialog(const DataFolders& dir, const QList<RecordKind>& kinds, QWidget* parent);
// True when the data folder was replaced.
bool RunRestoreDialog(const DataFolders& dir, const QList<RecordKind>& kinds, QWidget* parent,
                      const RestoreHooks& hooks = {});
void RunCsvExportDialog(const DataFolders& dir, const QList<RecordKind>& kinds, QWidget* parent);
// Chooses a file (or a folder of Mavelo's CSV export), shows what it adds and asks,
// with the choice to keep or replace what days already hold; the hooks run around the
// writes as around a restore's. True when records were written.
bool RunImportDialog(const DataFolders& dir, const QList<RecordKind>& kinds, QWidget* parent,
                     const RestoreHooks& hooks = {});
// write: writes the calendar of `cycles` cycles to path; false with the message.
using CalendarWriter =
    std::function<bool(const QString& path, int cycles, QString* error, int* events)>;
void RunCalendarExportDialog(QWidget* parent, const CalendarWriter& write);

// Tests: answers the file and folder choosers instead of showing them. what is "backup",
// "restore", "csv", "ics" or "import"; suggested is the proposed path. An empty answer
// cancels. The import's question comes as "import-ask" with its text as suggested; the
// answer is "keep", "replace" or empty (cancel).
using RecordsChooser = std::function<QString(const QString& what, const QString& suggested)>;
void SetRecordsChooser(RecordsChooser chooser);
