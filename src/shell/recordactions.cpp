#include "shell/recordactions.h"

#include <QAction>
#include <QMenu>

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include "app/datafolders.h"
#include "app/recordarchive.h"
#include "app/widgets/messages.h"
#include "core/clock.h"
#include "core/cyclemodel.h"
#include "cycle/calendarexport.h"
#include "shell/recordkinds.h"

void RunBackupDialog(const DataFolders& dir, QWidget* parent) {
  RunBackupDialog(dir, RecordKinds(dir), parent);
}

bool RunRestoreDialog(const DataFolders& dir, QWidget* parent, const RestoreHooks& hooks) {
  return RunRestoreDialog(dir, RecordKinds(dir), parent, hooks);
}

void RunCsvExportDialog(const DataFolders& dir, QWidget* parent) {
  RunCsvExportDialog(dir, RecordKinds(dir), parent);
}

bool RunImportDialog(const DataFolders& dir, QWidget* parent, const RestoreHooks& hooks) {
  return RunImportDialog(dir, RecordKinds(dir), parent, hooks);
}

void RunCalendarExportDialog(const CycleSettings& settings, QWidget* parent) {
  const CycleSettings s = settings;
  RunCalendarExportDialog(parent, [s](const QString& path, int cycles, QString* error, int* events) {
    return WriteCycleCalendar(path, s, Clock::Today(), cycles, error, events);
  });
}

void StartDailyBackup(const DataFolders& dir, QWidget* parent,
                      std::function<void(const QString&)> report) {
  static bool started = false;  // once per run of the program
  if (started) return;
  started = true;
  const DataFolders copy = dir;
  const QDate today = Clock::Today();
  QPointer<QWidget> window = parent;
  if (!report) report = [window](const QString& message) { ShowError(message, window); };
  auto* context = new QObject;  // lives on the window's thread, for the answer
  QThread* thread = QThread::create([copy, today, context, report] {
    QString error;
    const bool ok = MakeDailyBackup(copy, RecordKinds(copy), today, &error);
    QMetaObject::invokeMethod(context, [ok, error, report, context] {
      if (!ok) report(error);
      context->deleteLater();
    }, Qt::QueuedConnection);
  });
  thread->setObjectName(QStringLiteral("DailyBackup"));
  QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
  // The program may be closed before the backup is done: it waits for it, so the
  // archive is whole (a backup takes a second or so).
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, thread, [thread] { thread->wait(); });
  thread->start(QThread::LowPriority);
}

void AddRecordsMenu(QMenu* file, const DataFolders& dir, QWidget* window, RecordsMenuHooks hooks) {
  auto add = [&](QMenu* menu, const char* text, const char* name, std::function<void()> run) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    a->setObjectName(QLatin1String(name));
    QObject::connect(a, &QAction::triggered, window, std::move(run));
  };
  const DataFolders* d = &dir;
  add(file, "&Back up...", "BackUp1", [=] {
    hooks.saveViews();
    RunBackupDialog(*d, window);
  });
  add(file, "&Restore...", "Restore1", hooks.restore);
  add(file, "&Import...", "Import1", hooks.import);
  QMenu* exportMenu = file->addMenu(QStringLiteral("E&xport"));
  exportMenu->setObjectName(QStringLiteral("Export1"));
  add(exportMenu, "Records as &CSV...", "ExportCsv1", [=] {
    hooks.saveViews();
    RunCsvExportDialog(*d, window);
  });
  add(exportMenu, "Calendar (.&ics)...", "ExportIcs1",
      [=] { RunCalendarExportDialog(hooks.cycle(), window); });
}
