#include "app/widgets/recordsdialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QProgressDialog>
#include <QRadioButton>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "app/csvexport.h"
#include "app/datafolders.h"
#include "app/recordarchive.h"
#include "app/recordimport.h"
#include "app/widgets/messages.h"
#include "core/clock.h"
#include "core/textfile.h"

namespace {

RecordsChooser& Chooser() {
  static RecordsChooser chooser;
  return chooser;
}

QString DocumentsFolder() {
  const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QFileInfo(docs).isDir() ? docs : QDir::homePath();
}

QString ChooseSave(QWidget* parent, const QString& what, const QString& caption,
                   const QString& suggested, const QString& filter) {
  if (Chooser()) return Chooser()(what, suggested);
  return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

// A progress bar that shows itself when the work takes more than a moment.
class Progress {
 public:
  Progress(QWidget* parent, const QString& label)
      : dialog_(label, QString(), 0, 0, parent) {
    dialog_.setObjectName(QStringLiteral("recordsProgress"));
    dialog_.setWindowTitle(QStringLiteral("Mavelo"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(300);
    dialog_.setCancelButton(nullptr);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
  }
  ProgressFunction Function() {
    return [this](qint64 done, qint64 total) {
      dialog_.setMaximum(int(qMin<qint64>(total, 1 << 30)));
      dialog_.setValue(int(qMin<qint64>(done, 1 << 30)));
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
  }
  void SetLabel(const QString& text) { dialog_.setLabelText(text); }
  ~Progress() { dialog_.close(); }

 private:
  QProgressDialog dialog_;
};

// The restore dialog's choice: an automatic backup, or a file of the user's.
QString ChooseRestoreArchive(const DataFolders& dir, QWidget* parent) {
  if (Chooser()) return Chooser()(QStringLiteral("restore"), dir.BackupsFolder());
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("restoreDialog"));
  dialog.setWindowTitle(QStringLiteral("Restore"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(QStringLiteral(
      "Choose a backup to restore. Your records as they are now are saved as an automatic "
      "backup first."));
  label->setWordWrap(true);
  layout->addWidget(label);
  auto* list = new QListWidget;
  list->setObjectName(QStringLiteral("automaticBackups"));
  for (const QString& path : AutomaticBackups(dir)) {
    const QFileInfo info(path);
    auto* item = new QListWidgetItem(QStringLiteral("%1  (automatic, %2)")
                                         .arg(info.fileName(), SizeText(info.size())));
    item->setData(Qt::UserRole, path);
    list->addItem(item);
  }
  if (list->count() == 0) list->addItem(QStringLiteral("(no automatic backups yet)"));
  list->setCurrentRow(0);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox;
  QPushButton* restore = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
  restore->setObjectName(QStringLiteral("restoreSelected"));
  restore->setEnabled(!AutomaticBackups(dir).isEmpty());
  QPushButton* other = buttons->addButton(QStringLiteral("&Other file..."), QDialogButtonBox::ActionRole);
  other->setObjectName(QStringLiteral("restoreOtherFile"));
  buttons->addButton(QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  QString chosen;
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    if (QListWidgetItem* item = list->currentItem()) chosen = item->data(Qt::UserRole).toString();
    if (!chosen.isEmpty()) dialog.accept();
  });
  QObject::connect(list, &QListWidget::itemActivated, &dialog, [&](QListWidgetItem* item) {
    chosen = item->data(Qt::UserRole).toString();
    if (!chosen.isEmpty()) dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(other, &QPushButton::clicked, &dialog, [&] {
    chosen = QFileDialog::getOpenFileName(&dialog, QStringLiteral("Restore a backup"),
                                          DocumentsFolder(),
                                          QStringLiteral("Mavelo backups (*.zip);;All files (*)"));
    if (!chosen.isEmpty()) dialog.accept();
  });
  dialog.resize(520, 320);
  if (dialog.exec() != QDialog::Accepted) return QString();
  return chosen;
}

// The import's first question: a file of another tracker (or one CSV file), or the
// folder of Mavelo's CSV export.
QString ChooseImportSource(QWidget* parent) {
  if (Chooser()) return Chooser()(QStringLiteral("import"), DocumentsFolder());
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("importDialog"));
  dialog.setWindowTitle(QStringLiteral("Import"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(QStringLiteral(
      "Import records from:\n"
      "  \u2022 a folder of Mavelo's CSV export (or one of its files),\n"
      "  \u2022 drip's CSV export,\n"
      "  \u2022 Clue's measurements.json,\n"
      "  \u2022 Periodical's backup (Periodical-backup.json.gz).\n\n"
      "You see what it adds before anything is written, and your records are saved as an "
      "automatic backup first."));
  label->setWordWrap(true);
  layout->addWidget(label);
  auto* buttons = new QDialogButtonBox;
  QPushButton* file = buttons->addButton(QStringLiteral("&File..."), QDialogButtonBox::ActionRole);
  file->setObjectName(QStringLiteral("importFile"));
  QPushButton* folder = buttons->addButton(QStringLiteral("F&older..."), QDialogButtonBox::ActionRole);
  folder->setObjectName(QStringLiteral("importFolder"));
  buttons->addButton(QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  QString chosen;
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(file, &QPushButton::clicked, &dialog, [&] {
    chosen = QFileDialog::getOpenFileName(
        &dialog, QStringLiteral("Import a file"), DocumentsFolder(),
        QStringLiteral("Records (*.csv *.json *.gz);;All files (*)"));
    if (!chosen.isEmpty()) dialog.accept();
  });
  QObject::connect(folder, &QPushButton::clicked, &dialog, [&] {
    chosen = QFileDialog::getExistingDirectory(&dialog, QStringLiteral("Import Mavelo's CSV export"),
                                               DocumentsFolder());
    if (!chosen.isEmpty()) dialog.accept();
  });
  if (dialog.exec() != QDialog::Accepted) return QString();
  return chosen;
}

// What the import adds, and the choice for days that already hold something: "keep",
// "replace", or empty when she cancels.
QString AskImport(QWidget* parent, const QString& text, bool held) {
  if (Chooser()) return Chooser()(QStringLiteral("import-ask"), text);
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("importAskDialog"));
  dialog.setWindowTitle(QStringLiteral("Import"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(text);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(label);
  auto* keep = new QRadioButton(QStringLiteral("&Keep what those days hold (add only to empty days)"));
  keep->setObjectName(QStringLiteral("importKeep"));
  auto* replace = new QRadioButton(QStringLiteral("&Replace what they hold with the imported records"));
  replace->setObjectName(QStringLiteral("importReplace"));
  keep->setChecked(true);
  if (held) {
    layout->addWidget(keep);
    layout->addWidget(replace);
  } else {
    keep->hide();
    replace->hide();
  }
  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(QStringLiteral("&Import"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("importConfirm"));
  ok->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  dialog.resize(560, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) return QString();
  return replace->isChecked() ? QStringLiteral("replace") : QStringLiteral("keep");
}

}  // namespace

void SetRecordsChooser(RecordsChooser chooser) { Chooser() = std::move(chooser); }

void RunBackupDialog(const DataFolders& dir, const QList<RecordKind>& kinds, QWidget* parent) {
  const QString path = ChooseSave(parent, QStringLiteral("backup"), QStringLiteral("Back up"),
                                  DocumentsFolder() + u'/' + DefaultBackupName(Clock::Today()),
                                  QStringLiteral("Zip archives (*.zip)"));
  if (path.isEmpty()) return;
  ArchiveSummary summary;
  QStringList leftOut;
  QString error;
  bool ok = false;
  {
    Progress progress(parent, QStringLiteral("Backing up your records..."));
    ok = WriteBackup(dir, kinds, path, &summary, &leftOut, &error, progress.Function());
  }
  if (!ok) {
    ShowError(error, parent);
    return;
  }
  QString text = QStringLiteral("Your records were backed up to \"%1\" (%2 files, %3).")
                     .arg(path, QLocale().toString(summary.files), SizeText(summary.bytes));
  if (!summary.Lines().isEmpty()) text += u'\n' + summary.Lines().join(u'\n');
  if (!leftOut.isEmpty())
    text += QStringLiteral("\n\nLeft out, as they are not Mavelo's records:\n") + leftOut.join(u'\n');
  ShowMessage(text, parent);
}

bool RunRestoreDialog(const DataFolders& dir, const QList<RecordKind>& kinds, QWidget* parent,
                      const RestoreHooks& hooks) {
  const QString path = ChooseRestoreArchive(dir, parent);
  if (path.isEmpty()) return false;
  RestoreJob job(dir, kinds);
  QString error;
  bool ok = false;
  {
    Progress progress(parent, QStringLiteral("Checking the backup..."));
    ok = job.Inspect(path, &error, progress.Function());
  }
  if (!ok) {
    ShowError(error, parent);
    return false;
  }
  const ArchiveSummary& s = job.Summary();
  QString question =
      QStringLiteral("\"%1\" was made %2 by %3 and holds %4 files:\n")
          .arg(QFileInfo(path).fileName(),
               s.created.isValid() ? QLocale().toString(s.created, QLocale::ShortFormat)
                                   : QStringLiteral("at an unknown time"),
               s.program.isEmpty() ? QStringLiteral("Mavelo") : s.program,
               QLocale().toString(s.files));
  question += s.Lines().isEmpty() ? QStringLiteral("(no records)") : s.Lines().join(u'\n');
  question += QStringLiteral(
      "\n\nRestore it? Your records as they are now are replaced by these; they are saved "
      "as an automatic backup first, which this dialog lists.");
  if (!AskYesNo(question, parent)) return false;
  if (hooks.beforeReplace) hooks.beforeReplace();
  {
    Progress progress(parent, QStringLiteral("Restoring your records..."));
    ok = job.Commit(&error, progress.Function());
  }
  if (hooks.afterReplace) hooks.afterReplace(ok);
  if (!ok) {
    ShowError(error, parent);
    return false;
  }
  ShowMessage(QStringLiteral("Your records were restored from \"%1\". Those you had before are "
                             "saved in \"%2\".")
                  .arg(QFileInfo(path).fileName(), job.SafetyBackup()),
              parent);
  return true;
}

void RunCsvExportDialog(const DataFolders& dir, const QList<RecordKind>& kinds, QWidget* parent) {
  QString folder;
  if (Chooser())
    folder = Chooser()(QStringLiteral("csv"), DocumentsFolder());
  else
    folder = QFileDialog::getExistingDirectory(parent, QStringLiteral("Export records as CSV"),
                                               DocumentsFolder());
  if (folder.isEmpty()) return;
  QStringList written;
  QString error;
  bool ok = false;
  {
    Progress progress(parent, QStringLiteral("Writing the CSV files..."));
    ok = ExportRecordsCsv(RecordRoot(dir), kinds, folder, &written, &error, progress.Function());
  }
  if (!ok) {
    ShowError(error, parent);
    return;
  }
  ShowMessage(QStringLiteral("Your records were written to \"%1\":\n%2").arg(folder, written.join(u'\n')),
              parent);
}

void RunCalendarExportDialog(QWidget* parent, const CalendarWriter& write) {
  int cycles = 12;
  if (!Chooser()) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("calendarExportDialog"));
    dialog.setWindowTitle(QStringLiteral("Export calendar"));
    auto* form = new QFormLayout(&dialog);
    auto* note = new QLabel(QStringLiteral(
        "The predicted period days, fertile windows and ovulation days, from your calendar "
        "settings, for your own calendar program. A prediction, not a method of "
        "contraception."));
    note->setWordWrap(true);
    form->addRow(note);
    auto* spin = new QSpinBox;
    spin->setObjectName(QStringLiteral("exportCycles"));
    spin->setRange(1, 120);
    spin->setValue(cycles);
    form->addRow(QStringLiteral("&Cycles to export:"), spin);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    cycles = spin->value();
  }
  const QString path = ChooseSave(parent, QStringLiteral("ics"), QStringLiteral("Export calendar"),
                                  DocumentsFolder() + QStringLiteral("/Mavelo-cycle.ics"),
                                  QStringLiteral("Calendar files (*.ics)"));
  if (path.isEmpty()) return;
  QString error;
  int events = 0;
  if (!write(path, cycles, &error, &events)) {
    ShowError(error, parent);
    return;
  }
  ShowMessage(QStringLiteral("%1 events of the next %2 cycles were written to \"%3\". Import the "
                             "file into your calendar program; importing a newer one updates "
                             "these events.")
                  .arg(events).arg(cycles).arg(path),
              parent);
}

bool RunImportDialog(const DataFolders& dir, const QList<RecordKind>& kinds, QWidget* parent,
                     const RestoreHooks& hooks) {
  const QString path = ChooseImportSource(parent);
  if (path.isEmpty()) return false;
  ImportJob job(dir, kinds);
  QString error;
  bool ok = false;
  {
    Progress progress(parent, QStringLiteral("Reading \"%1\"...").arg(QFileInfo(path).fileName()));
    ok = job.Inspect(path, &error, progress.Function());
  }
  if (!ok) {
    ShowError(QStringLiteral("\"%1\" cannot be imported, and nothing was changed.\n%2")
                  .arg(QFileInfo(path).fileName(), error),
              parent);
    return false;
  }
  const ImportSummary& s = job.Summary();
  QString text = QStringLiteral("\"%1\" is %2. It holds:\n%3")
                     .arg(QFileInfo(path).fileName(), s.format, s.Lines().join(u'\n'));
  if (!s.leftAside.isEmpty())
    text += QStringLiteral("\n\nLeft aside, as Mavelo keeps no such records: ") +
            s.leftAside.join(QStringLiteral(", ")) + u'.';
  if (!job.HasWork(true)) {
    ShowMessage(text + QStringLiteral("\n\nYour records already hold all of it: there is nothing to import."),
                parent);
    return false;
  }
  // Replacing is not offered when it would stop at a file it may not write over.
  const bool mayReplace = s.Held() > 0 && job.ReplaceRefusal().isEmpty();
  if (s.Held() > 0)
    text += QStringLiteral("\n\nSome days already hold records of their own.");
  if (s.Held() > 0 && !mayReplace)
    text += QStringLiteral(" They are kept, since they cannot be written over:\n") + job.ReplaceRefusal();
  text += QStringLiteral("\n\nYour records as they are now are saved as an automatic backup first.");
  const QString answer = AskImport(parent, text, mayReplace);
  if (answer.isEmpty()) return false;
  const bool replace = answer == QLatin1String("replace");
  if (!job.HasWork(replace)) {
    ShowMessage(QStringLiteral("Nothing was imported: every day it holds already holds something, "
                               "which you chose to keep."),
                parent);
    return false;
  }
  if (hooks.beforeReplace) hooks.beforeReplace();
  {
    Progress progress(parent, QStringLiteral("Importing your records..."));
    ok = job.Commit(replace, &error, progress.Function());
  }
  // A write that failed half-way has written some files all the same: the views read
  // the folder as it now is.
  if (hooks.afterReplace) hooks.afterReplace(true);
  if (!ok) {
    ShowError(error, parent);
    return false;
  }
  ShowMessage(QStringLiteral("Imported from \"%1\":\n%2\n\nYour records as they were are saved "
                             "in \"%3\".")
                  .arg(QFileInfo(path).fileName(), job.Written().Lines(job.WrittenMode()).join(u'\n'), job.SafetyBackup()),
              parent);
  return true;
}
