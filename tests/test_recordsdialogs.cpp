// The dialogs behind the File menu's records entries, driven with their choosers and
// message boxes answered by the test.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/datafolders.h"
#include "app/recordarchive.h"
#include "app/widgets/recordsdialogs.h"
#include "core/cyclemodel.h"
#include "core/textfile.h"
#include "shell/recordactions.h"
#include "shell/recordkinds.h"
#include "support/testenv.h"
#include "support/zipmaker.h"

namespace {

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class RecordsDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { SetRecordsChooser({}); }

  void backupThenRestoreThroughTheDialogs() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    const QString note = dir.NotesFolder() + QStringLiteral("Y2009M3D14.txt");
    QVERIFY(WriteFileBytes(note, "before\r\n", nullptr));
    const QString archive = env.home() + QStringLiteral("/b.zip");
    SetRecordsChooser([&](const QString& what, const QString& suggested) {
      if (what == QLatin1String("backup")) {
        // The proposal is a dated name in the user's documents (or home).
        [&] { QVERIFY2(suggested.endsWith(DefaultBackupName(QDate::currentDate())), qPrintable(suggested)); }();
        return archive;
      }
      return what == QLatin1String("restore") ? archive : QString();
    });
    RunBackupDialog(dir, nullptr);
    QVERIFY(QFileInfo::exists(archive));
    QCOMPARE(env.messages.size(), 1);
    QVERIFY2(env.messages.last().text.contains(QStringLiteral("backed up to")), qPrintable(env.messages.last().text));

    QVERIFY(WriteFileBytes(note, "after\r\n", nullptr));
    // Asked, and told no: nothing changes and the window is not disturbed.
    QStringList calls;
    RestoreHooks hooks{[&] { calls << "before"; }, [&](bool ok) { calls << (ok ? "after ok" : "after failed"); }};
    env.answer = [](const MessageRequest&) { return MessageAnswer{false, {}}; };
    QVERIFY(!RunRestoreDialog(dir, nullptr, hooks));
    QCOMPARE(env.messages.last().kind, MessageKind::Question);
    QVERIFY2(env.messages.last().text.contains(QStringLiteral("Journal: 1 record in 1 file")),
             qPrintable(env.messages.last().text));
    QVERIFY(calls.isEmpty());
    QCOMPARE(Bytes(note), QByteArray("after\r\n"));

    env.answer = {};
    QVERIFY(RunRestoreDialog(dir, nullptr, hooks));
    QCOMPARE(calls, (QStringList{"before", "after ok"}));
    QCOMPARE(Bytes(note), QByteArray("before\r\n"));
    QVERIFY(env.messages.last().text.contains(QStringLiteral("were restored")));
    QCOMPARE(AutomaticBackups(dir).size(), 1);
  }

  void importAsksThenWritesAndReloads() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    const QString note = dir.NotesFolder() + QStringLiteral("Y2024M1D15.txt");
    QVERIFY(WriteFileBytes(note, "mine\r\n", nullptr));
    QString asked, answer;
    SetRecordsChooser([&](const QString& what, const QString& suggested) {
      if (what == QLatin1String("import")) return TestEnv::testData(QStringLiteral("import/drip.csv"));
      if (what == QLatin1String("import-ask")) asked = suggested;
      return answer;
    });
    QStringList calls;
    RestoreHooks hooks{[&] { calls << "before"; }, [&](bool) { calls << "after"; }};
    // Cancelled at the question: nothing written, the window undisturbed.
    QVERIFY(!RunImportDialog(dir, nullptr, hooks));
    QVERIFY2(asked.contains(QStringLiteral("drip's CSV")) &&
                 asked.contains(QStringLiteral("Journal (journal.csv): 1 to add, 1 that already holds something")),
             qPrintable(asked));
    QVERIFY(calls.isEmpty());
    QVERIFY(AutomaticBackups(dir).isEmpty());

    answer = QStringLiteral("keep");
    QVERIFY(RunImportDialog(dir, nullptr, hooks));
    QCOMPARE(calls, (QStringList{"before", "after"}));
    QCOMPARE(Bytes(note), QByteArray("mine\r\n"));
    QVERIFY2(env.messages.last().text.contains(QStringLiteral("1 kept as they were")), qPrintable(env.messages.last().text));
    QCOMPARE(AutomaticBackups(dir).size(), 1);

    answer = QStringLiteral("replace");
    QVERIFY(RunImportDialog(dir, nullptr, hooks));
    QCOMPARE(Bytes(note), QByteArray("Felt great, \"really\"\r\n"));

    // A file that does not read says why and changes nothing.
    SetRecordsChooser([&](const QString&, const QString&) {
      return TestEnv::testData(QStringLiteral("import/periodical-version7.json"));
    });
    calls.clear();
    QVERIFY(!RunImportDialog(dir, nullptr, hooks));
    QCOMPARE(env.messages.last().kind, MessageKind::Error);
    QVERIFY2(env.messages.last().text.contains(QStringLiteral("newer Periodical")), qPrintable(env.messages.last().text));
    QVERIFY(calls.isEmpty());
  }

  void restoreDialogListsTheAutomaticBackups() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(WriteFileBytes(dir.NotesFolder() + QStringLiteral("Y2009M3D14.txt"), "a note\r\n", nullptr));
    QString error;
    QVERIFY(MakeDailyBackup(dir, RecordKinds(dir), QDate(2026, 12, 9), &error));
    QVERIFY(MakeDailyBackup(dir, RecordKinds(dir), QDate(2026, 12, 10), &error));
    QStringList shown;
    bool restoreEnabled = false;
    QTimer::singleShot(0, [&] {
      QWidget* w = QApplication::activeModalWidget();
      QVERIFY(w);
      QCOMPARE(w->objectName(), QStringLiteral("restoreDialog"));
      auto* list = w->findChild<QListWidget*>(QStringLiteral("automaticBackups"));
      QVERIFY(list);
      for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
      restoreEnabled = w->findChild<QPushButton*>(QStringLiteral("restoreSelected"))->isEnabled();
      QVERIFY(w->findChild<QPushButton*>(QStringLiteral("restoreOtherFile")));
      qobject_cast<QDialog*>(w)->reject();
    });
    QVERIFY(!RunRestoreDialog(dir, nullptr));
    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown.first().startsWith(QStringLiteral("Mavelo-auto-2026-12-10.zip")), qPrintable(shown.first()));
    QVERIFY(restoreEnabled);
    QVERIFY(env.messages.isEmpty());
  }

  void aHostileArchiveIsRefusedWithItsReason() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    const QString archive = env.home() + QStringLiteral("/evil.zip");
    QVERIFY(WriteZip(archive, {{QStringLiteral("manifest.ini"), "[Backup]\r\nFormat=1\r\n"},
                               {QStringLiteral("../evil"), "x"}}));
    SetRecordsChooser([&](const QString&, const QString&) { return archive; });
    bool called = false;
    QVERIFY(!RunRestoreDialog(dir, nullptr, {[&] { called = true; }, {}}));
    QVERIFY(!called);
    QCOMPARE(env.messages.size(), 1);
    QCOMPARE(env.messages.first().kind, MessageKind::Error);
    QVERIFY(env.messages.first().text.contains(QStringLiteral("cannot be restored")));
  }

  void exportsWriteTheirFiles() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(WriteFileBytes(dir.NotesFolder() + QStringLiteral("Y2009M3D14.txt"), "a note\r\n", nullptr));
    const QString csv = env.home() + QStringLiteral("/csv");
    const QString ics = env.home() + QStringLiteral("/cycle.ics");
    SetRecordsChooser([&](const QString& what, const QString&) {
      return what == QLatin1String("csv") ? csv : ics;
    });
    RunCsvExportDialog(dir, nullptr);
    QCOMPARE(Bytes(csv + QStringLiteral("/journal.csv")), QByteArray("date,text\r\n2009-03-14,a note\r\n"));
    QVERIFY(env.messages.last().text.contains(QStringLiteral("journal.csv: 1 row")));
    CycleSettings s;
    s.LastPeriod = QDate::currentDate();
    RunCalendarExportDialog(s, nullptr);
    QVERIFY(Bytes(ics).contains("SUMMARY:Period expected"));
    QVERIFY2(env.messages.last().text.contains(QStringLiteral("36 events of the next 12 cycles")),
             qPrintable(env.messages.last().text));
  }
};

QTEST_MAIN(RecordsDialogsTest)
#include "test_recordsdialogs.moc"
