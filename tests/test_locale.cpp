// Another language keeps every record: a data folder made under en_US, opened and saved
// under de_DE and fr_FR and back under en_US, holds the very same bytes in every file
// of every tracker, while each figure read there is the one written.

#include <QDir>
#include <QDirIterator>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

#include "basal/basalchart.h"
#include "core/clock.h"
#include "core/textfile.h"
#include "cycle/journal.h"
#include "nutrition/mealday.h"
#include "sleep/sleeplog.h"
#include "support/fakehost.h"
#include "support/testenv.h"
#include "trackers/exerciselog.h"
#include "trackers/healthrecords.h"
#include "trackers/pressurereadings.h"
#include "trackers/todolist.h"
#include "trackers/widgets/bloodpressureview.h"
#include "trackers/widgets/exerciseview.h"
#include "trackers/widgets/weightview.h"

namespace {

const QDate kToday(2026, 12, 10);
const QDate kYesterday(2026, 12, 9);

struct FixedNow {
  FixedNow() { Clock::SetSource([] { return QDateTime(kToday, QTime(9, 5)); }); }
  ~FixedNow() { Clock::SetSource({}); }
};

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// Every file below a folder, by its path inside it.
QStringList FilesBelow(const QString& root) {
  QStringList out;
  QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) out << QDir(root).relativeFilePath(it.next());
  out.sort();
  return out;
}

bool CopyTree(const QString& from, const QString& to) {
  for (const QString& file : FilesBelow(from)) {
    const QString target = to + file;
    if (!QDir().mkpath(QFileInfo(target).path())) return false;
    QFile::remove(target);
    if (!QFile::copy(from + file, target)) return false;
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
  }
  return true;
}

// Types into a line edit as she does: all of it replaced, then Return.
void Type(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace

class LocaleTest : public QObject {
  Q_OBJECT
 private slots:
  void everyTrackerKeepsItsFiles();

 private:
  // Opens every tracker of the data folder under the current locale, reads its
  // figures, makes it write (each value changed and set back, so the file is written
  // from what was read) and leaves it.
  void OpenAndSave(const QString& decimal);
};

void LocaleTest::OpenAndSave(const QString& decimal) {
  FixedNow now;
  FakeHost host;  // reads application.ini and writes it at once, as a start does
  const DataFolders& dir = host.Dir();
  QCOMPARE(host.Settings().Cycle.LastPeriod, QDate(2026, 11, 28));
  QVERIFY2(host.Settings().lastError().isEmpty(), qPrintable(host.Settings().lastError()));
  auto local = [&](QString text) { return text.replace(u'.', decimal); };

  {  // Weight: both days shown, then typed over and typed back.
    WeightView view(&host);
    view.show();
    view.ShowDate(kToday);
    auto* weight = view.findChild<QLineEdit*>("Weight_Today");
    auto* goal = view.findChild<QLineEdit*>("WEight_Goal");
    QCOMPARE(weight->text(), local("165.4"));
    QCOMPARE(goal->text(), local("161.9"));
    Type(weight, local("166.2"));
    Type(weight, local("165.4"));
    Type(goal, "160");
    Type(goal, local("161.9"));
    view.findChild<QPushButton*>("save_weight")->click();
    view.SaveBeforeDateChange();
    view.ShowDate(kYesterday);
    QCOMPARE(weight->text(), local("165.8"));
    view.SaveBeforeDateChange();
  }
  {  // Exercise: the minutes changed and set back, so the day is written.
    ExerciseView view(&host);
    view.StartView(kToday);
    view.ShowDate(kToday);
    QCOMPARE(view.findChild<QDoubleSpinBox*>("Distance_run")->value(), 5.2);
    auto* minutes = view.findChild<QSpinBox*>("Exercise_Minutes");
    minutes->setValue(50);
    minutes->setValue(45);
    view.UserSaveClick();
    view.SaveOnLeave();
  }
  {  // Blood pressure: today's reading deleted and typed in again.
    BloodPressureView view(&host);
    view.resize(621, 451);
    view.show();
    view.StartView(kToday);
    auto* table = view.findChild<QTableView*>("Pressure_Chart");
    table->setCurrentIndex(table->model()->index(0, 0));
    view.SpeedButton2Click();
    view.SpeedButton1Click();
    for (const QString& text : {QStringLiteral("9:05 AM"), QStringLiteral("118"),
                                QStringLiteral("76"), QStringLiteral("64")}) {
      table->model()->setData(table->currentIndex(), text);
      table->setCurrentIndex(table->model()->index(0, table->currentIndex().column() + 1));
    }
    QVERIFY(view.SaveReadings());
    QCOMPARE(view.Readings().Grid().Cell(kBpDate, 1), QString("Dec 10, 2026"));
  }
  {  // Sleep: a half hour of yesterday taken away and given back.
    SleepLog log(dir.SleepFolder());
    QStringList errors;
    log.Open(kToday, &errors);
    QVERIFY(errors.isEmpty());
    const int column = log.DateColumn(kYesterday);
    QCOMPARE(log.ColumnHours(column), 7.5);
    QVERIFY(log.Toggle(column, 7));
    QVERIFY(log.Toggle(column, 7));
    QVERIFY(log.Save(&errors));
  }
  {  // Meals: the day recomputed from its grids and written.
    MealDay day(dir.FoodFolder());
    QVERIFY(day.LoadDay(kToday));
    QCOMPARE(day.Totals().fat, qint64(2));  // 2.5 g and 0 g
    day.SetModified();
    QString error;
    QVERIFY2(day.SaveDay(&error), qPrintable(error));
  }
  {  // Health: a contact changed and set back.
    HealthRecords records(dir.HealthFolder());
    QVERIFY(records.Load());
    QList<Contact> contacts = records.Contacts();
    const Contact kept = contacts[1];
    contacts[1].value = "555-0000";
    records.SetContacts(contacts);
    QVERIFY(records.Save());
    contacts[1] = kept;
    records.SetContacts(contacts);
    QVERIFY(records.Save());
  }
  {  // To-do and journal: the day's list and note written again.
    const QString path = dir.ToDoFolder() + TodayFileName(kToday);
    ToDoList list;
    QString error;
    QVERIFY(LoadToDoList(&list, path, &error));
    list.SetText(0, "Buy bread");
    QVERIFY(SaveToDoList(list, path, &error));
    list.SetText(0, "Buy milk");
    QVERIFY(SaveToDoList(list, path, &error));
    QString note;
    QVERIFY(LoadNote(NoteFilePath(dir.NotesFolder(), kToday), &note, &error));
    QVERIFY(StoreNote(NoteFilePath(dir.NotesFolder(), kToday), note, &error));
  }
  {  // Basal: yesterday's bar clicked again at its level.
    BasalChart chart(dir.BasalFolder());
    QStringList errors;
    chart.Open(kToday, &errors);
    const int column = chart.DateColumn(kYesterday);
    QCOMPARE(chart.BarTop(column), 5);
    chart.SetLevel(column, 5);
    QVERIFY(chart.Save(&errors));
  }
  QVERIFY(host.Settings().SaveSettings());
}

void LocaleTest::everyTrackerKeepsItsFiles() {
  TestEnv env;
  const QString fixture = TestEnv::testData("locale/");
  const QString root = env.dataRoot();
  QVERIFY(CopyTree(fixture, root));
  const QStringList files = FilesBelow(fixture);
  QCOMPARE(files.size(), 18);
  for (const QString& locale : {"de_DE", "fr_FR", "en_US"}) {
    QLocale::setDefault(QLocale(locale));
    OpenAndSave(QLocale(locale).decimalPoint());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (QTest::currentTestFailed()) QFAIL(qPrintable("while open under " + QString(locale)));
    for (const QString& file : files)
      QVERIFY2(Bytes(root + file) == Bytes(fixture + file),
               qPrintable(QStringLiteral("%1 changed under %2").arg(file, locale)));
    // Nothing new appeared beside the records either.
    QStringList now = FilesBelow(root);
    now.removeIf([](const QString& f) { return !f.contains(u'/') || f.startsWith("DB/"); });
    QCOMPARE(now, files);
  }
  QVERIFY(env.messageTexts().filter("Cannot").isEmpty());
}

QTEST_MAIN(LocaleTest)
#include "test_locale.moc"
