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
  // What went wrong, told all at once at the end of each pass.
  void Check(bool ok, const char* what) {
    if (!ok) problems_ << QString::fromLatin1(what);
  }
  QStringList problems_;
};

void LocaleTest::OpenAndSave(const QString& decimal) {
  FixedNow now;
  FakeHost host;  // reads application.ini and writes it at once, as a start does
  const DataFolders& dir = host.Dir();
  Check(host.Settings().Cycle.LastPeriod == QDate(2026, 11, 28), "the last period read");
  Check(host.Settings().lastError().isEmpty(), "the settings read without a word");
  auto local = [&](QString text) { return text.replace(u'.', decimal); };

  {  // Weight: both days shown, then typed over and typed back.
    WeightView view(&host);
    view.show();
    view.ShowDate(kToday);
    auto* weight = view.findChild<QLineEdit*>("Weight_Today");
    auto* goal = view.findChild<QLineEdit*>("WEight_Goal");
    Check(weight->text() == local("165.4"), "today's weight shown");
    Check(goal->text() == local("161.9"), "the goal shown");
    Type(weight, local("166.2"));
    Type(weight, local("165.4"));
    Type(goal, "160");
    Type(goal, local("161.9"));
    view.findChild<QPushButton*>("save_weight")->click();
    view.SaveBeforeDateChange();
    view.ShowDate(kYesterday);
    Check(weight->text() == local("165.8"), "yesterday's weight shown");
    view.SaveBeforeDateChange();
  }
  {  // Exercise: the minutes changed and set back, so the day is written.
    ExerciseView view(&host);
    view.StartView(kToday);
    view.ShowDate(kToday);
    Check(view.findChild<QDoubleSpinBox*>("Distance_run")->value() == 5.2, "the run shown");
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
    Check(view.SaveReadings(), "the readings saved");
    Check(view.Readings().Grid().Cell(kBpDate, 1) == QLatin1String("Dec 10, 2026"),
          "the new reading dated");
  }
  {  // Sleep: a half hour of yesterday taken away and given back.
    SleepLog log(dir.SleepFolder());
    QStringList errors;
    log.Open(kToday, &errors);
    const int column = log.DateColumn(kYesterday);
    Check(log.ColumnHours(column) == 7.5, "yesterday's sleep read");
    Check(log.Toggle(column, 7) && log.Toggle(column, 7), "a slot toggled twice");
    Check(log.Save(&errors) && errors.isEmpty(), "the sleep log saved");
  }
  {  // Meals: the day recomputed from its grids and written.
    MealDay day(dir.FoodFolder());
    Check(day.LoadDay(kToday), "the meal day read");
    Check(day.Totals().fat == 2, "the fat of 2.5 g and 0 g counted");
    day.SetModified();
    Check(day.SaveDay(), "the meal day saved");
  }
  {  // Health: a contact changed and set back.
    HealthRecords records(dir.HealthFolder());
    Check(records.Load(), "the health records read");
    QList<Contact> contacts = records.Contacts();
    const Contact kept = contacts[1];
    contacts[1].value = "555-0000";
    records.SetContacts(contacts);
    Check(records.Save(), "a contact saved");
    contacts[1] = kept;
    records.SetContacts(contacts);
    Check(records.Save(), "the contact saved back");
  }
  {  // To-do and journal: the day's list and note written again.
    const QString path = dir.ToDoFolder() + TodayFileName(kToday);
    ToDoList list;
    QString error;
    Check(LoadToDoList(&list, path, &error), "the to-do list read");
    list.SetText(0, "Buy bread");
    Check(SaveToDoList(list, path, &error), "the to-do list saved");
    list.SetText(0, "Buy milk");
    Check(SaveToDoList(list, path, &error), "the to-do list saved back");
    QString note;
    Check(LoadNote(NoteFilePath(dir.NotesFolder(), kToday), &note, &error), "the note read");
    Check(StoreNote(NoteFilePath(dir.NotesFolder(), kToday), note, &error), "the note saved");
  }
  {  // Basal: yesterday's bar clicked again at its level.
    BasalChart chart(dir.BasalFolder());
    QStringList errors;
    chart.Open(kToday, &errors);
    const int column = chart.DateColumn(kYesterday);
    Check(chart.BarTop(column) == 5, "yesterday's temperature read");
    chart.SetLevel(column, 5);
    Check(chart.Save(&errors), "the basal chart saved");
  }
  Check(host.Settings().SaveSettings(), "the settings saved");
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
    problems_.clear();
    OpenAndSave(QLocale(locale).decimalPoint());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const QString& file : files)
      if (Bytes(root + file) != Bytes(fixture + file)) problems_ << file + " changed";
    QVERIFY2(problems_.isEmpty(),
             qPrintable("under " + QString(locale) + ":\n  " + problems_.join("\n  ")));
    // Nothing new appeared beside the records either.
    QStringList now = FilesBelow(root);
    now.removeIf([](const QString& f) { return !f.contains(u'/') || f.startsWith("DB/"); });
    QCOMPARE(now, files);
  }
  QVERIFY(env.messageTexts().filter("Cannot").isEmpty());
}

QTEST_MAIN(LocaleTest)
#include "test_locale.moc"
