#pragma once
// One call per menu entry for the records, and the automatic backup of the day:
//   File > Back up...                   RunBackupDialog(dir, window)
//   File > Restore...                   RunRestoreDialog(dir, window, hooks)
//   File > Export > Records as CSV...   RunCsvExportDialog(dir, window)
//   File > Export > Calendar (.ics)...  RunCalendarExportDialog(settings, window)
//   File > Import...                    RunImportDialog(dir, window, hooks)
// and, once the instance is admitted and the stale saves are cleared at start-up,
// StartDailyBackup(dir, window).

#include <QString>
#include <functional>

#include "app/widgets/recordsdialogs.h"

class DataFolders;
class QWidget;
struct CycleSettings;

void RunBackupDialog(const DataFolders& dir, QWidget* parent);
// True when the data folder was replaced: the window then reloads what it shows (the
// hooks close and reopen what it holds open around the replace).
bool RunRestoreDialog(const DataFolders& dir, QWidget* parent, const RestoreHooks& hooks = {});
void RunCsvExportDialog(const DataFolders& dir, QWidget* parent);
// True when records were written: the hooks close what the window holds open before the
// writes and reload the views after them, as around a restore.
bool RunImportDialog(const DataFolders& dir, QWidget* parent, const RestoreHooks& hooks = {});
// The calendar of the settings the calendar shows now.
void RunCalendarExportDialog(const CycleSettings& settings, QWidget* parent);

class QMenu;
// The records' entries of the File menu (Back up, Restore, Import, Export), each
// run over the window. saveViews writes what the views hold unwritten; restore and
// import run their dialogs with the window's reload around them; cycle gives the
// settings the calendar shows.
struct RecordsMenuHooks {
  std::function<void()> saveViews, restore, import;
  std::function<CycleSettings()> cycle;
};
void AddRecordsMenu(QMenu* file, const DataFolders& dir, QWidget* window, RecordsMenuHooks hooks);

// Makes today's automatic backup in the background when none is there yet; never holds
// up the start. A failure is told once, through report on the window's thread (by
// default the error box over parent).
void StartDailyBackup(const DataFolders& dir, QWidget* parent,
                      std::function<void(const QString&)> report = {});
