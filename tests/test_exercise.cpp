// The exercise tracker: its year grid and note files, the activity list, the calorie
// estimate and texts, the week chart and summaries about today, and the view.

#include <QBarSet>
#include <QBarSeries>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "core/clock.h"
#include "shell/mainwindow.h"
#include "core/textfile.h"
#include "support/fakehost.h"
#include "support/testenv.h"
#include "trackers/exerciselog.h"
#include "trackers/widgets/exerciseview.h"

namespace {

// Today is fixed for every test that asks the clock.
struct FixedToday {
  explicit FixedToday(const QDate& d) {
    Clock::SetSource([d] { return QDateTime(d, QTime(9, 30)); });
  }
  ~FixedToday() { Clock::SetSource({}); }
};

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// An exercise view over a fresh data folder, shown at its panel's size; the activity
// list loaded as at start-up.
struct Rig {
  TestEnv env;
  FakeHost host;
  FixedToday today;
  ExerciseView view{&host};

  explicit Rig(const QDate& todayDate = QDate(2009, 3, 14)) : today(todayDate) {
    host.viewName = "exercise";
    view.resize(621, 451);
    view.show();
    view.StartView(todayDate);
  }
  QString folder() const { return host.Dir().ExerciseFolder(); }
  QString yearPath(int year) const { return ExerciseYearPath(folder(), year); }
  void copyYear(int year) {
    QVERIFY(QFile::copy(TestEnv::testData(QString("trackers/exercise-%1.txt").arg(year)),
                        yearPath(year)));
  }
  template <typename T>
  T* get(const char* name) {
    T* w = view.findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  QSpinBox* spin(const char* name) { return get<QSpinBox>(name); }
  QListWidget* list() { return get<QListWidget>("ui_Activity"); }
  QLineEdit* workout() { return get<QLineEdit>("edWorkout"); }
  QPlainTextEdit* note() { return get<QPlainTextEdit>("Note"); }
  void click(const char* name) { get<QPushButton>(name)->click(); }
  void tick(const QString& name, bool on = true) {
    const auto items = list()->findItems(name, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(name));
    items.first()->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
  // A stored cell without the space that loading gives an empty field.
  QString storedCell(int year, const QDate& d, int col) const {
    CellGrid grid;
    if (!LoadGridFile(grid, ExerciseYearPath(folder(), year))) return "<none>";
    return grid.Cell(col, d.dayOfYear()).trimmed();
  }
  QStringList errors() const {
    QStringList out;
    for (const auto& m : env.messages)
      if (m.kind == MessageKind::Error) out << m.text;
    return out;
  }
  QStringList gridRow(const char* name, int row) {
    auto* t = get<QTableWidget>(name);
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c) out << t->item(row, c)->text();
    return out;
  }
};

}  // namespace

class ExerciseTest : public QObject {
  Q_OBJECT
 private slots:
  // --- arithmetic and texts ---
  void intensityText_data();
  void intensityText();
  void estimate_data();
  void estimate();
  void activitiesCell_data();
  void activitiesCell();
  void storedActivitiesNotOnList();
  void markRule_data();
  void markRule();
  void dayRowRoundTrip();

  // --- summaries and week chart about today ---
  void summaries_data();
  void summaries();
  void weekChartAndTotalsReadPreviousYearFile();
  void todayReadFromItsOwnYear();

  // --- activity list ---
  void activityListSources();
  void activityToAdd_data();
  void activityToAdd();
  void addActivityThroughBox_data();
  void addActivityThroughBox();
  void deletedActivityStaysWithItsDays();
  void unreadableActivityListIsNotReplaced();
  void longActivityListIsShownReadOnly();

  // --- view ---
  void showDateFillsForm();
  void tickingWritesWorkoutAndCell();
  void typedWorkoutTextIsKept();
  void estimatePanel_data();
  void estimatePanel();
  void openingPanelOnEmptyTime();
  void closingPanelKeepsTime();
  void distanceRoundTrip();
  void newYearShowsEmptyLog();
  void showingRewritesNothing();
  void dayMarks();
  void marksFollowSaves();
  void saveAndClearLinks();
  void emptiedNoteRemovesFile();
  void typedFieldsSurviveLeaving();
  void unwritableYearFile();
  void unreadableYearFileIsNotReplaced();
  void yearFileWithANulIsShownReadOnly();
  void hugeNoteOpensReadOnly();
  void noteKeepsWhatWasTyped();
  void chartAndSummariesOnScreen();
  void keyboardTicksAndLinks();
  void inTheMainWindow();

  // --- other languages, other units, a new year ---
  void recordsReadTheSameInEveryLocale_data();
  void recordsReadTheSameInEveryLocale();
  void distancesShownInMetric();
  void unreadableCellsAreKept();
};

// --- arithmetic and texts -------------------------------------------------------------

void ExerciseTest::intensityText_data() {
  QTest::addColumn<int>("position");
  QTest::addColumn<QString>("text");
  QTest::newRow("0") << 0 << "2 calories/minute. Like walking 1 miles/hour";
  QTest::newRow("3, last walking") << 3 << "8 calories/minute. Like walking 4 miles/hour";
  QTest::newRow("4, first jogging") << 4 << "10 calories/minute. Like jogging 5 miles/hour";
  QTest::newRow("6, last jogging") << 6 << "14 calories/minute. Like jogging 7 miles/hour";
  QTest::newRow("7, first running") << 7 << "16 calories/minute. Like Running 8 miles/hour";
  QTest::newRow("10") << 10 << "22 calories/minute. Like Running 11 miles/hour";
  QTest::newRow("4, metric") << 4 << "10 calories/minute. Like jogging 8 km/hour";
  QTest::newRow("0, metric") << 0 << "2 calories/minute. Like walking 2 km/hour";
}

void ExerciseTest::intensityText() {
  QFETCH(int, position);
  QFETCH(QString, text);
  const bool metric = QString(QTest::currentDataTag()).endsWith("metric");
  QCOMPARE(IntensityText(position, metric ? UnitSystem::Metric : UnitSystem::Imperial), text);
}

void ExerciseTest::estimate_data() {
  QTest::addColumn<int>("hours");
  QTest::addColumn<int>("minutes");
  QTest::addColumn<int>("intensity");
  QTest::addColumn<int>("calories");
  QTest::newRow("1 h 30 at 4") << 1 << 30 << 4 << 900;
  QTest::newRow("59 h 59 at 10, the limit") << 59 << 59 << 10 << 10000;
  QTest::newRow("1 h at 0") << 1 << 0 << 0 << 120;
  QTest::newRow("nothing") << 0 << 0 << 10 << 0;
  QTest::newRow("just under the limit") << 7 << 34 << 10 << 9988;
}

void ExerciseTest::estimate() {
  QFETCH(int, hours);
  QFETCH(int, minutes);
  QFETCH(int, intensity);
  QFETCH(int, calories);
  QCOMPARE(EstimateCalories(hours, minutes, intensity), calories);
}

void ExerciseTest::activitiesCell_data() {
  QTest::addColumn<QStringList>("names");
  QTest::addColumn<QString>("cell");
  QTest::newRow("none") << QStringList() << "";
  QTest::newRow("plain") << QStringList{"Running", "Yoga"} << "Running,Yoga";
  QTest::newRow("with a space") << QStringList{"Running", "Rock Climbing"}
                                << "Running,\"Rock Climbing\"";
  QTest::newRow("trailing space kept") << QStringList{"Boxing "} << "\"Boxing \"";
  QTest::newRow("quote and comma") << QStringList{"Say \"hi\"", "a,b"}
                                   << "\"Say \"\"hi\"\"\",\"a,b\"";
}

void ExerciseTest::activitiesCell() {
  QFETCH(QStringList, names);
  QFETCH(QString, cell);
  QCOMPARE(ActivitiesCell(names), cell);
  QCOMPARE(ReadActivitiesCell(cell), names);
  // Through the year file and back.
  CellGrid grid;
  InitYearGrid(grid, 2009, kExerciseColumns, ExerciseHeaders());
  grid.SetCell(kExActivities, 5, cell);
  CellGrid back;
  LoadGridBytes(back, GridToBytes(grid));
  QCOMPARE(ReadActivitiesCell(back.Cell(kExActivities, 5)), names);
}

void ExerciseTest::storedActivitiesNotOnList() {
  QStringList onList, others;
  SplitStoredActivities({"Yoga", "Zumba Gold", "Running", "Zumba Gold"},
                        {"Running", "Yoga", "Tennis"}, &onList, &others);
  QCOMPARE(onList, (QStringList{"Yoga", "Running"}));
  QCOMPARE(others, (QStringList{"Zumba Gold"}));
  // A name is on the list only as written: the tick rule compares exactly.
  SplitStoredActivities({"yoga"}, {"Yoga"}, &onList, &others);
  QVERIFY(onList.isEmpty());
  QCOMPARE(others, QStringList{"yoga"});
}

void ExerciseTest::markRule_data() {
  QTest::addColumn<QString>("cell");
  QTest::addColumn<bool>("marked");
  QTest::newRow("empty") << "" << false;
  QTest::newRow("loaded empty field") << " " << false;
  QTest::newRow("0 calories") << "0" << false;
  QTest::newRow("0, spaced") << " 0 " << false;
  QTest::newRow("1 calorie") << "1" << true;
  QTest::newRow("1000") << "1000" << true;
}

void ExerciseTest::markRule() {
  QFETCH(QString, cell);
  QFETCH(bool, marked);
  QCOMPARE(HasWorkoutText(cell), marked);
}

void ExerciseTest::dayRowRoundTrip() {
  TestEnv env;
  CellGrid grid;
  InitYearGrid(grid, 2009, kExerciseColumns, ExerciseHeaders());
  WorkoutDay day;
  day.hours = 1;
  day.minutes = 5;
  day.intensity = 7;
  day.calories = 1040;
  day.activities = {"Running", "Rock Climbing"};
  day.workout = "Hill repeats";
  day.run = 2.5;
  day.bike = 3;
  day.swim = 0;
  day.climb = 120;
  WriteWorkoutDay(grid, 9, day);
  // Columns 7 to 10 as the shortest decimal text; zeros written, not left empty.
  QCOMPARE(grid.RowTexts(9).mid(1), (QStringList{"1", "5", "7", "Running,\"Rock Climbing\"",
                                                "1040", "Hill repeats", "2.5", "3", "0",
                                                "120"}));
  CellGrid back;
  LoadGridBytes(back, GridToBytes(grid));
  QCOMPARE(ReadWorkoutDay(back, 9), day);
  // A loaded empty row reads as an empty day; text where numbers belong reads as 0, and
  // numbers beyond a field's range are held to it.
  QCOMPARE(ReadWorkoutDay(back, 10), WorkoutDay());
  back.SetRow(11, {"January 11", "1.5", "75", "12", "", "abc", "", "-2", "x"});
  const WorkoutDay odd = ReadWorkoutDay(back, 11);
  QCOMPARE(odd.hours, 0);
  QCOMPARE(odd.minutes, 59);
  QCOMPARE(odd.intensity, 10);
  QCOMPARE(odd.calories, 0);
  QCOMPARE(odd.run, 0.0);
  QCOMPARE(odd.bike, 0.0);
}

// --- summaries and week chart -----------------------------------------------------------

void ExerciseTest::summaries_data() {
  QTest::addColumn<QDate>("today");
  QTest::addColumn<QStringList>("calories");
  QTest::addColumn<QStringList>("fat");
  QTest::addColumn<QStringList>("run");

  // The fixture: 1000 calories on each of 7 to 14 March, 1 on 2 March, 100 and 500 on
  // 1 and 2 January; runs of 0.8 and 2.5 miles on 11 and 14 March.
  QTest::newRow("14 March: 7 days are 8 to 14 March")
      << QDate(2009, 3, 14)
      << QStringList{"Calories", "7000 KCal", "8001 KCal", "8601 KCal"}
      << QStringList{"Fat", "2.0 lbs", "2.3 lbs", "2.5 lbs"}
      << QStringList{"Run", "3.3 miles", "3.3 miles", "3.3 miles"};
  QTest::newRow("15 March: 7 March drops out")
      << QDate(2009, 3, 15)
      << QStringList{"Calories", "6000 KCal", "8001 KCal", "8601 KCal"}
      << QStringList{"Fat", "1.7 lbs", "2.3 lbs", "2.5 lbs"}
      << QStringList{"Run", "3.3 miles", "3.3 miles", "3.3 miles"};
  QTest::newRow("5 January: rows 1 to 5, nothing of December")
      << QDate(2009, 1, 5)
      << QStringList{"Calories", "600 KCal", "600 KCal", "600 KCal"}
      << QStringList{"Fat", "0.2 lbs", "0.2 lbs", "0.2 lbs"}
      << QStringList{"Run", "0 miles", "0 miles", "0 miles"};
  QTest::newRow("1 January") << QDate(2009, 1, 1)
                             << QStringList{"Calories", "100 KCal", "100 KCal", "100 KCal"}
                             << QStringList{"Fat", "0.0 lbs", "0.0 lbs", "0.0 lbs"}
                             << QStringList{"Run", "0 miles", "0 miles", "0 miles"};
}

void ExerciseTest::summaries() {
  QFETCH(QDate, today);
  QFETCH(QStringList, calories);
  QFETCH(QStringList, fat);
  QFETCH(QStringList, run);
  TestEnv env;
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, TestEnv::testData("trackers/exercise-2009.txt")));
  const ExerciseSummary s = SummarizeYear(grid, today.dayOfYear());
  const QVector<QStringList> rows = CalorieSummaryRows(s);
  QCOMPARE(rows.at(0), (QStringList{"Burned", "7 Days", "30 Days", "Year so far"}));
  QCOMPARE(rows.at(1), calories);
  QCOMPARE(rows.at(2), fat);
  QCOMPARE(DistanceSummaryRows(s).at(1), run);
}

void ExerciseTest::weekChartAndTotalsReadPreviousYearFile() {
  TestEnv env;
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  for (int year : {2008, 2009})
    QVERIFY(QFile::copy(TestEnv::testData(QString("trackers/exercise-%1.txt").arg(year)),
                        ExerciseYearPath(folder, year)));
  ExerciseLog log(folder);
  QVERIFY(log.OpenYear(2009));
  const QVector<WeekBar> bars = log.WeekChart(QDate(2009, 1, 3));
  // Seven bars, the days of the 7-day total.
  const QVector<WeekBar> expected{{QDate(2008, 12, 28), 310},
                                  {QDate(2008, 12, 29), 320}, {QDate(2008, 12, 30), 330},
                                  {QDate(2008, 12, 31), 340}, {QDate(2009, 1, 1), 100},
                                  {QDate(2009, 1, 2), 500},   {QDate(2009, 1, 3), 0}};
  QCOMPARE(bars, expected);
  // The 7- and 30-day totals take December from that file too.
  const ExerciseSummary s = log.Summaries(QDate(2009, 1, 3));
  QCOMPARE(s.calories[ExerciseSummary::Week], 1900);   // 28 December to 3 January
  QCOMPARE(s.calories[ExerciseSummary::Month], 2200);  // 27 December on
  QCOMPARE(s.calories[ExerciseSummary::Year], 600);    // 1 and 2 January
  // 2008 was a leap year: on 6 January 2009 the week begins on 31 December.
  QCOMPARE(log.Summaries(QDate(2009, 1, 6)).calories[ExerciseSummary::Week], 940);
  // The other year's file is read again once it changes.
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, ExerciseYearPath(folder, 2008)));
  grid.SetCell(kExCalories, 366, "345");
  grid.SetCell(kExWorkout, 366, "a longer text, so that the file size changes");
  QVERIFY(SaveGridFile(grid, ExerciseYearPath(folder, 2008)));
  QCOMPARE(log.WeekChart(QDate(2009, 1, 3)).at(3).calories, 345);
  // Without a file for the earlier year its days are empty.
  QVERIFY(QFile::remove(ExerciseYearPath(folder, 2008)));
  QCOMPARE(log.WeekChart(QDate(2009, 1, 3)).at(0).calories, 0);
}

void ExerciseTest::todayReadFromItsOwnYear() {
  TestEnv env;
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  QVERIFY(QFile::copy(TestEnv::testData("trackers/exercise-2009.txt"),
                      ExerciseYearPath(folder, 2009)));
  ExerciseLog log(folder);
  // A day of 2008 is shown; today is 14 March 2009. The 2008 grid has nothing at
  // today's row numbers, the 2009 file has the week.
  QVERIFY(log.OpenYear(2008));
  const ExerciseSummary s = log.Summaries(QDate(2009, 3, 14));
  QCOMPARE(s.calories[ExerciseSummary::Week], 7000);
  QCOMPARE(log.WeekChart(QDate(2009, 3, 14)).last().calories, 1000);
  // No file for today's year: nothing to sum.
  QCOMPARE(log.Summaries(QDate(2011, 3, 14)).calories[ExerciseSummary::Year], 0);
}

// --- activity list -----------------------------------------------------------------------

void ExerciseTest::activityListSources() {
  TestEnv env;
  QTemporaryDir dir;
  const QString user = dir.path() + "/user.txt", program = dir.path() + "/program.txt";

  ActivityList l = LoadActivityList(user, program);
  QCOMPARE(l.items, BuiltInActivities());
  QCOMPARE(l.items.size(), 63);
  QCOMPARE(l.items.at(7), QString("Boxing "));

  QVERIFY(WriteTextLines(program, {"Walking", "", "Swimming"}, nullptr));
  l = LoadActivityList(user, program);
  QCOMPARE(l.items, (QStringList{"Walking", "Swimming"}));

  QVERIFY(WriteTextLines(user, {"Yoga", "  ", "Boxing "}, nullptr));
  l = LoadActivityList(user, program);
  QCOMPARE(l.items, (QStringList{"Yoga", "Boxing "}));
  QVERIFY(MayWriteFile(user));

  // A user's list that cannot be read: the program's serves, and the file layer guards
  // the user's file so that no save replaces it.
  QVERIFY(QFile::remove(user));
  QVERIFY(QDir().mkpath(user));
  l = LoadActivityList(user, program);
  QVERIFY(!MayWriteFile(user));
  QVERIFY(l.error.startsWith("Cannot open file \""));
  QCOMPARE(l.items, (QStringList{"Walking", "Swimming"}));

  // The program's own list is the built-in one.
  l = LoadActivityList(dir.path() + "/none.txt",
                       TestEnv::programFolder() + "Config/activity.txt");
  QCOMPARE(l.items, BuiltInActivities());
}

void ExerciseTest::activityToAdd_data() {
  QTest::addColumn<QString>("answer");
  QTest::addColumn<QString>("added");
  QTest::newRow("the default") << "Activity" << "";
  QTest::newRow("empty") << "" << "";
  QTest::newRow("blank") << "   " << "";
  QTest::newRow("on the list in another case") << "yoga" << "";
  QTest::newRow("on the list but for a space") << "boxing" << "";
  QTest::newRow("new") << "Rowing (indoor)" << "Rowing (indoor)";
  QTest::newRow("new, trimmed") << "  Zumba  " << "Zumba";
}

void ExerciseTest::activityToAdd() {
  QFETCH(QString, answer);
  QFETCH(QString, added);
  QCOMPARE(ActivityToAdd(BuiltInActivities(), answer), added);
}

void ExerciseTest::addActivityThroughBox_data() {
  QTest::addColumn<QString>("answer");
  QTest::addColumn<bool>("cancel");
  QTest::addColumn<bool>("added");
  QTest::newRow("Activity") << "Activity" << false << false;
  QTest::newRow("empty") << "" << false << false;
  QTest::newRow("yoga") << "yoga" << false << false;
  QTest::newRow("cancelled") << "Rowing (indoor)" << true << false;
  QTest::newRow("Rowing (indoor)") << "Rowing (indoor)" << false << true;
}

void ExerciseTest::addActivityThroughBox() {
  QFETCH(QString, answer);
  QFETCH(bool, cancel);
  QFETCH(bool, added);
  Rig rig;
  rig.view.ShowDate(QDate(2009, 3, 14));
  rig.env.answer = [&](const MessageRequest& r) {
    return MessageAnswer{!cancel, r.kind == MessageKind::Input ? answer : r.initial};
  };
  const QString listPath = rig.host.Dir().ConfigFolder() + "activity.txt";
  rig.click("Label12");
  const MessageRequest box = rig.env.messages.first();
  QCOMPARE(box.kind, MessageKind::Input);
  QCOMPARE(box.title, QString("New Activity Type"));
  QCOMPARE(box.text, QString("Enter Activity Name"));
  QCOMPARE(box.initial, QString("Activity"));
  if (!added) {
    QCOMPARE(rig.view.Activities(), BuiltInActivities());
    QVERIFY(!QFile::exists(listPath));
    return;
  }
  QCOMPARE(rig.view.Activities(), BuiltInActivities() + QStringList{"Rowing (indoor)"});
  QStringList lines;
  QVERIFY(ReadTextLines(listPath, &lines, nullptr));
  QCOMPARE(lines, rig.view.Activities());
  QVERIFY(FileBytes(listPath).endsWith("Rowing (indoor)\r\n"));
}

void ExerciseTest::deletedActivityStaysWithItsDays() {
  Rig rig;
  rig.copyYear(2009);
  const QDate day(2009, 3, 14);
  rig.view.ShowDate(day);
  // The fixture's day holds Running and Zumba Gold, which the list does not offer.
  QCOMPARE(rig.view.TickedActivities(), QStringList{"Running"});

  // Yoga is ticked and then deleted from the list on another day.
  rig.tick("Yoga");
  QCOMPARE(rig.storedCell(2009, day, kExActivities), QString("Running,Yoga,\"Zumba Gold\""));
  rig.view.ShowDate(day.addDays(1));
  QListWidget* list = rig.list();
  list->setCurrentItem(list->findItems("Yoga", Qt::MatchExactly).first());
  rig.click("Label13");
  QVERIFY(!rig.view.Activities().contains("Yoga"));
  QCOMPARE(rig.view.Activities().size(), 62);
  QStringList lines;
  QVERIFY(ReadTextLines(rig.host.Dir().ConfigFolder() + "activity.txt", &lines, nullptr));
  QCOMPARE(lines, rig.view.Activities());

  // Back on the day, edited and left: both names the list lacks are written back after
  // the ticked one.
  rig.view.ShowDate(day);
  QCOMPARE(rig.view.TickedActivities(), QStringList{"Running"});
  rig.tick("Tennis");
  rig.view.ShowDate(day.addDays(2));
  QCOMPARE(rig.storedCell(2009, day, kExActivities),
           QString("Running,Tennis,Yoga,\"Zumba Gold\""));
}

void ExerciseTest::unreadableActivityListIsNotReplaced() {
  TestEnv env;
  FakeHost host;
  FixedToday today(QDate(2009, 3, 14));
  const QString listPath = host.Dir().ConfigFolder() + "activity.txt";
  QVERIFY(QDir().mkpath(listPath));  // a folder where the list belongs cannot be read
  ExerciseView view(&host);
  view.StartView(QDate(2009, 3, 14));
  QCOMPARE(env.messages.size(), 1);
  QVERIFY(env.messages.first().text.startsWith("Cannot open file \"" + listPath + "\""));
  // The program's list serves meanwhile.
  QCOMPARE(view.Activities(), BuiltInActivities());
  view.ShowDate(QDate(2009, 3, 14));
  env.clearMessages();
  env.answer = [](const MessageRequest& r) {
    return MessageAnswer{true, r.kind == MessageKind::Input ? "Zumba" : r.initial};
  };
  view.Label12Click();
  QCOMPARE(env.messages.size(), 2);  // the name box, then the refusal
  QVERIFY(env.messages.last().text.startsWith("Cannot create file \"" + listPath + "\""));
  QVERIFY(QFileInfo(listPath).isDir());
}

// A list of more names than a check list shows (a 17 MB activity.txt held the start of
// the program for minutes) shows its first ones, read-only, said once.
void ExerciseTest::longActivityListIsShownReadOnly() {
  TestEnv env;
  FakeHost host;
  FixedToday today(QDate(2009, 3, 14));
  const QString listPath = host.Dir().ConfigFolder() + "activity.txt";
  QStringList names;
  for (int i = 1; i <= kMostActivities + 1; ++i) names << QString("Sport %1").arg(i);
  QVERIFY(WriteTextLines(listPath, names, nullptr));
  const QByteArray before = FileBytes(listPath);
  ExerciseView view(&host);
  view.StartView(QDate(2009, 3, 14));
  QCOMPARE(view.Activities(), names.mid(0, kMostActivities));
  QCOMPARE(env.messageTexts(),
           QStringList{"The file \"" + listPath + "\" holds 1,001 names, more than the list "
                       "shows. It is opened read-only: nothing is written to it."});
  view.ShowDate(QDate(2009, 3, 14));
  env.answer = [](const MessageRequest& r) {
    return MessageAnswer{true, r.kind == MessageKind::Input ? "Zumba" : r.initial};
  };
  view.Label12Click();
  view.StartView(QDate(2009, 3, 14));
  QCOMPARE(FileBytes(listPath), before);
}

// --- view ------------------------------------------------------------------------------

void ExerciseTest::showDateFillsForm() {
  Rig rig;
  rig.copyYear(2009);
  QCOMPARE(rig.get<QLabel>("lblDate")->text(), QString("My Workout"));
  const QDate day(2009, 3, 14);
  QVERIFY(QDir().mkpath(rig.folder()));
  QVERIFY(WriteTextLines(ExerciseNotePath(rig.folder(), day), {"Felt strong.", "Knee fine."},
                         nullptr));
  rig.view.ShowDate(day);
  QCOMPARE(rig.get<QLabel>("lblDate")->text(), QString("Saturday, March 14, 2009"));
  QCOMPARE(rig.spin("Exercise_Hours")->value(), 1);
  QCOMPARE(rig.spin("Exercise_Minutes")->value(), 15);
  QCOMPARE(rig.get<QSlider>("ui_Intensity")->value(), 4);
  QCOMPARE(rig.spin("Workout_Calories")->value(), 1000);
  QCOMPARE(rig.workout()->text(), QString("Morning run by the river"));
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_run")->value(), 2.5);
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_bike")->value(), 10.2);
  QCOMPARE(rig.spin("Distance_Swim")->value(), 200);
  QCOMPARE(rig.spin("Distance_Climb")->value(), 50);
  QCOMPARE(rig.note()->toPlainText(), QString("Felt strong.\nKnee fine."));
  QCOMPARE(rig.get<QLabel>("lblLike")->text(),
           QString("10 calories/minute. Like jogging 5 miles/hour"));
  QCOMPARE(rig.get<QLabel>("lblInensity")->text(), QString("Workout Intensity: "));
  QVERIFY(rig.errors().isEmpty());

  // A day without a record empties the form.
  rig.view.ShowDate(QDate(2009, 3, 20));
  QCOMPARE(rig.spin("Workout_Calories")->value(), 0);
  QCOMPARE(rig.view.TickedActivities(), QStringList());
  QCOMPARE(rig.workout()->text(), QString());
  QCOMPARE(rig.note()->toPlainText(), QString());
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_run")->value(), 0.0);
}

void ExerciseTest::tickingWritesWorkoutAndCell() {
  Rig rig;
  const QDate day(2009, 5, 3);
  rig.view.ShowDate(day);
  rig.tick("Yoga");
  rig.tick("Running");
  // List order, not the order of ticking.
  QCOMPARE(rig.workout()->text(), QString("Running and Yoga"));
  QCOMPARE(rig.storedCell(2009, day, kExActivities), QString("Running,Yoga"));
  QCOMPARE(rig.storedCell(2009, day, kExWorkout), QString("Running and Yoga"));
  rig.tick("Rock Climbing");
  QCOMPARE(rig.storedCell(2009, day, kExActivities), QString("\"Rock Climbing\",Running,Yoga"));
  rig.click("Label2");  // Clear: every tick goes, and the text made from them
  QCOMPARE(rig.view.TickedActivities(), QStringList());
  QCOMPARE(rig.workout()->text(), QString());
  QCOMPARE(rig.storedCell(2009, day, kExActivities), QString());
  // Shown again later, the ticks and text come back from the row.
  rig.tick("Running");
  rig.view.ShowDate(day.addDays(1));
  rig.view.ShowDate(day);
  QCOMPARE(rig.view.TickedActivities(), QStringList{"Running"});
  QCOMPARE(rig.workout()->text(), QString("Running"));
}

void ExerciseTest::typedWorkoutTextIsKept() {
  Rig rig;
  const QDate day(2009, 5, 3);
  rig.view.ShowDate(day);
  rig.tick("Running");
  QCOMPARE(rig.workout()->text(), QString("Running"));

  // The user writes her own text: ticks, minutes and intensity leave it alone.
  rig.workout()->selectAll();
  QTest::keyClicks(rig.workout(), "Intervals 6x400");
  QCOMPARE(rig.storedCell(2009, day, kExWorkout), QString("Intervals 6x400"));
  rig.tick("Yoga");
  rig.spin("Exercise_Minutes")->setValue(45);
  rig.get<QSlider>("ui_Intensity")->setValue(8);
  QCOMPARE(rig.workout()->text(), QString("Intervals 6x400"));
  QCOMPARE(rig.storedCell(2009, day, kExWorkout), QString("Intervals 6x400"));
  QCOMPARE(rig.storedCell(2009, day, kExActivities), QString("Running,Yoga"));

  // Shown again, her text is still hers.
  rig.view.ShowDate(day.addDays(1));
  rig.view.ShowDate(day);
  rig.tick("Tennis");
  QCOMPARE(rig.workout()->text(), QString("Intervals 6x400"));

  // Emptied, the text follows the ticks again.
  rig.workout()->clear();
  QTest::keyClick(rig.workout(), Qt::Key_Backspace);
  rig.tick("Tennis", false);
  QCOMPARE(rig.workout()->text(), QString("Running and Yoga"));
}

void ExerciseTest::estimatePanel_data() {
  QTest::addColumn<int>("hours");
  QTest::addColumn<int>("minutes");
  QTest::addColumn<int>("intensity");
  QTest::addColumn<int>("calories");
  QTest::newRow("1 h 30 at 4") << 1 << 30 << 4 << 900;
  QTest::newRow("59 h 59 at 10") << 59 << 59 << 10 << 10000;
}

void ExerciseTest::estimatePanel() {
  QFETCH(int, hours);
  QFETCH(int, minutes);
  QFETCH(int, intensity);
  QFETCH(int, calories);
  Rig rig;
  const QDate day(2009, 5, 3);
  rig.view.ShowDate(day);
  // Closed, the panel estimates nothing.
  rig.spin("Exercise_Hours")->setValue(2);
  QCOMPARE(rig.spin("Workout_Calories")->value(), 0);

  rig.click("Label26");
  QVERIFY(rig.get<QFrame>("Estimate_Panel")->isVisible());
  QVERIFY(!rig.note()->isVisible());
  rig.spin("Exercise_Hours")->setValue(hours);
  rig.spin("Exercise_Minutes")->setValue(minutes);
  rig.get<QSlider>("ui_Intensity")->setValue(intensity);
  QCOMPARE(rig.spin("Workout_Calories")->value(), calories);
  QCOMPARE(rig.storedCell(2009, day, kExCalories), QString::number(calories));
  QCOMPARE(rig.storedCell(2009, day, kExIntensity), QString::number(intensity));
  QCOMPARE(rig.get<QLabel>("lblLike")->text(), IntensityText(intensity));

  rig.click("Label28");
  QVERIFY(!rig.get<QFrame>("Estimate_Panel")->isVisible());
  QVERIFY(rig.note()->isVisible());
}

void ExerciseTest::openingPanelOnEmptyTime() {
  Rig rig;
  const QDate day(2009, 5, 3);
  rig.view.ShowDate(day);
  rig.click("Label26");
  QCOMPARE(rig.spin("Exercise_Hours")->value(), 1);
  QCOMPARE(rig.spin("Exercise_Minutes")->value(), 0);
  QCOMPARE(rig.spin("Workout_Calories")->value(), 120);
  QCOMPARE(rig.storedCell(2009, day, kExCalories), QString("120"));
}

void ExerciseTest::closingPanelKeepsTime() {
  Rig rig;
  rig.view.ShowDate(QDate(2009, 5, 3));
  rig.click("Label26");
  rig.spin("Exercise_Hours")->setValue(0);
  rig.click("Label28");
  QCOMPARE(rig.spin("Exercise_Hours")->value(), 0);
  QCOMPARE(rig.spin("Exercise_Minutes")->value(), 0);
}

void ExerciseTest::distanceRoundTrip() {
  Rig rig;
  const QDate day(2009, 5, 3);
  rig.view.ShowDate(day);
  auto* run = rig.get<QDoubleSpinBox>("Distance_run");
  run->setFocus();
  run->selectAll();
  QTest::keyClicks(run, "2.5");
  rig.spin("Distance_Swim")->setValue(300);
  QCOMPARE(rig.storedCell(2009, day, kExRun), QString("2.5"));
  QCOMPARE(rig.storedCell(2009, day, kExSwim), QString("300"));
  QCOMPARE(rig.storedCell(2009, day, kExBike), QString("0"));
  rig.view.ShowDate(day.addDays(1));
  QCOMPARE(run->value(), 0.0);
  rig.view.ShowDate(day);
  QCOMPARE(run->value(), 2.5);
  QCOMPARE(run->text(), QString("2.5"));
}

void ExerciseTest::newYearShowsEmptyLog() {
  Rig rig;
  rig.copyYear(2009);
  rig.view.ShowDate(QDate(2009, 3, 14));
  QCOMPARE(rig.spin("Workout_Calories")->value(), 1000);
  rig.view.ShowDate(QDate(2010, 3, 14));
  QCOMPARE(rig.view.Log().Year(), 2010);
  QCOMPARE(rig.spin("Workout_Calories")->value(), 0);
  QCOMPARE(rig.spin("Exercise_Hours")->value(), 0);
  QCOMPARE(rig.workout()->text(), QString());
  QCOMPARE(rig.view.TickedActivities(), QStringList());
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_run")->value(), 0.0);
  for (int r = 1; r <= 365; ++r)
    QCOMPARE(rig.view.Log().Grid().Cell(kExCalories, r), QString());
  QCOMPARE(rig.view.Log().Grid().Cell(kExDate, 1), QString("January 1"));
  QCOMPARE(rig.view.Log().Grid().RowTexts(0), ExerciseHeaders());
}

void ExerciseTest::showingRewritesNothing() {
  Rig rig;
  rig.copyYear(2009);
  const QByteArray before = FileBytes(rig.yearPath(2009));
  const QDate day(2009, 3, 14);
  rig.view.ShowDate(day);
  rig.view.ShowDate(day.addDays(1));
  rig.view.ShowDate(QDate(2010, 6, 1));
  rig.view.SaveOnLeave();
  rig.get<QTabWidget>("pg")->setCurrentIndex(2);
  QCOMPARE(FileBytes(rig.yearPath(2009)), before);
  QVERIFY(!QFile::exists(rig.yearPath(2010)));
  QVERIFY(!QFile::exists(ExerciseNotePath(rig.folder(), day)));
  QVERIFY(rig.errors().isEmpty());
}

void ExerciseTest::dayMarks() {
  Rig rig;
  rig.copyYear(2009);
  QVERIFY(!rig.view.HasLoaded());
  QCOMPARE(rig.view.MarkPicture(), DayMarkPicture::Arrow);
  rig.view.ShowDate(QDate(2009, 3, 14));
  QVERIFY(rig.view.HasLoaded());
  QVERIFY(!rig.view.IsDayMarked(QDate(2009, 3, 1)));  // 0 calories
  QVERIFY(rig.view.IsDayMarked(QDate(2009, 3, 2)));   // 1 calorie
  QVERIFY(rig.view.IsDayMarked(QDate(2009, 3, 7)));
  QVERIFY(!rig.view.IsDayMarked(QDate(2009, 3, 20)));
  // The same day of another year is not in this year's grid.
  QVERIFY(!rig.view.IsDayMarked(QDate(2010, 3, 7)));
}

void ExerciseTest::marksFollowSaves() {
  Rig rig;
  const QDate day(2009, 5, 3);
  rig.view.ShowDate(day);
  const int afterShow = rig.host.marksChangedCalls;
  QVERIFY(afterShow >= 1);
  QVERIFY(!rig.view.IsDayMarked(day));
  rig.spin("Workout_Calories")->setValue(1);
  QVERIFY(rig.view.IsDayMarked(day));
  QCOMPARE(rig.host.marksChangedCalls, afterShow + 1);
  rig.spin("Workout_Calories")->setValue(250);  // still marked: no redraw needed
  QCOMPARE(rig.host.marksChangedCalls, afterShow + 1);
  rig.spin("Workout_Calories")->setValue(0);
  QVERIFY(!rig.view.IsDayMarked(day));
  QCOMPARE(rig.host.marksChangedCalls, afterShow + 2);
}

void ExerciseTest::saveAndClearLinks() {
  Rig rig;
  rig.copyYear(2009);
  const QDate day(2009, 3, 14);
  rig.view.ShowDate(day);
  rig.click("UserSave");
  QCOMPARE(rig.env.messageTexts(), QStringList{"Your workout information was saved"});
  QCOMPARE(rig.storedCell(2009, day, kExCalories), QString("1000"));

  rig.env.clearMessages();
  rig.click("UserClear");
  QCOMPARE(rig.env.messageTexts(), QStringList{"Your workout information was saved"});
  for (int col : {kExHours, kExMinutes, kExIntensity, kExCalories, kExRun, kExBike, kExSwim,
                  kExClimb})
    QCOMPARE(rig.storedCell(2009, day, col), QString("0"));
  // Clear leaves the ticks and the workout text.
  QCOMPARE(rig.storedCell(2009, day, kExActivities), QString("Running,\"Zumba Gold\""));
  QCOMPARE(rig.storedCell(2009, day, kExWorkout), QString("Morning run by the river"));
  QVERIFY(!rig.view.IsDayMarked(day));
}

void ExerciseTest::emptiedNoteRemovesFile() {
  Rig rig;
  const QDate day(2009, 5, 3);
  const QString path = ExerciseNotePath(rig.folder(), day);
  QCOMPARE(QFileInfo(path).fileName(), QString("Y2009M5D3.txt"));
  rig.view.ShowDate(day);
  rig.note()->setFocus();
  QTest::keyClicks(rig.note(), "Easy day");
  QCOMPARE(FileBytes(path), QByteArray("Easy day\r\n"));
  rig.view.ShowDate(day.addDays(1));
  rig.view.ShowDate(day);
  QCOMPARE(rig.note()->toPlainText(), QString("Easy day"));

  rig.note()->selectAll();
  QTest::keyClick(rig.note(), Qt::Key_Delete);
  QVERIFY(!QFile::exists(path));
  rig.view.ShowDate(day.addDays(1));
  rig.view.ShowDate(day);
  QCOMPARE(rig.note()->toPlainText(), QString());
  QVERIFY(rig.errors().isEmpty());
}

void ExerciseTest::typedFieldsSurviveLeaving() {
  Rig rig;
  const QDate day(2009, 5, 3);
  rig.view.ShowDate(day);
  rig.workout()->setFocus();
  QTest::keyClicks(rig.workout(), "Park loop");
  rig.get<QDoubleSpinBox>("Distance_bike")->setValue(12.3);
  rig.view.SaveOnLeave();  // the view is left, or the program ends
  QCOMPARE(rig.storedCell(2009, day, kExWorkout), QString("Park loop"));
  QCOMPARE(rig.storedCell(2009, day, kExBike), QString("12.3"));
}

void ExerciseTest::unwritableYearFile() {
  Rig rig;
  const QDate day(2009, 5, 3);
  rig.view.ShowDate(day);
  const QString folder = rig.folder();
  // A regular file where the Exercise folder was: nothing can be created under it.
  QVERIFY(QDir(folder).removeRecursively());
  {
    QFile blocker(QDir::cleanPath(folder));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
  }
  rig.spin("Workout_Calories")->setValue(300);
  rig.spin("Workout_Calories")->setValue(310);
  // One box for the failure, not one per change.
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors().first().startsWith("Cannot create file \"" + rig.yearPath(2009) + "\". "),
           qPrintable(rig.errors().first()));
  rig.click("UserSave");
  QCOMPARE(rig.errors().size(), 2);
  QVERIFY(!rig.env.messageTexts().contains("Your workout information was saved"));

  // Once the folder is back, leaving the day writes what the form held.
  QVERIFY(QFile::remove(QDir::cleanPath(folder)));
  QVERIFY(QDir().mkpath(folder));
  rig.view.ShowDate(day.addDays(1));
  QCOMPARE(rig.storedCell(2009, day, kExCalories), QString("310"));
}

void ExerciseTest::unreadableYearFileIsNotReplaced() {
  Rig rig;
  // A folder where the year file belongs cannot be read as a file.
  QVERIFY(QDir().mkpath(rig.yearPath(2009)));
  rig.view.ShowDate(QDate(2009, 3, 14));
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors().first().startsWith("Cannot open file \"" + rig.yearPath(2009) + "\""),
           qPrintable(rig.errors().first()));
  rig.spin("Workout_Calories")->setValue(300);
  QCOMPARE(rig.errors().size(), 1);
  rig.click("UserSave");
  QCOMPARE(rig.errors().size(), 2);
  QVERIFY(rig.errors().last().startsWith("Cannot create file \""));
  QVERIFY(!rig.env.messageTexts().contains("Your workout information was saved"));
  QVERIFY(QFileInfo(rig.yearPath(2009)).isDir());
}

// One NUL byte at the end of the "January 20" line cut the year short on reading, and
// the next edit wrote the shortened year over both later workouts. Now the whole year is
// shown, read-only, with a word of why, and the file stays as it is.
void ExerciseTest::yearFileWithANulIsShownReadOnly() {
  Rig rig(QDate(2026, 2, 10));
  const QString path = rig.yearPath(2026);
  QVERIFY(QFile::copy(TestEnv::testData("trackers/exercise-2026-nul.txt"), path));
  const QByteArray before = FileBytes(path);
  rig.view.ShowDate(QDate(2026, 1, 20));
  QCOMPARE(rig.errors().size(), 1);
  QCOMPARE(rig.errors().first(), "The file \"" + path + "\" holds a NUL byte at byte 571. It is "
                                 "opened read-only: nothing is written to it.");
  QCOMPARE(rig.spin("Workout_Calories")->value(), 400);
  // The workouts after the NUL are there.
  QCOMPARE(rig.view.Log().Day(QDate(2026, 1, 25).dayOfYear()).calories, 600);
  QCOMPARE(rig.view.Log().Day(QDate(2026, 2, 3).dayOfYear()).swim, 1200.0);
  rig.get<QDoubleSpinBox>("Distance_run")->setValue(2.5);
  rig.view.ShowDate(QDate(2026, 1, 21));
  rig.click("UserSave");
  QCOMPARE(FileBytes(path), before);
  QVERIFY(!rig.env.messageTexts().contains("Your workout information was saved"));
}

// A note of 10 MB in one line opens at once, read-only, said once, never written back.
void ExerciseTest::hugeNoteOpensReadOnly() {
  Rig rig;
  const QDate day(2009, 3, 14);
  const QString path = ExerciseNotePath(rig.folder(), day);
  const QByteArray bytes = QByteArray(10'000'000, 'n') + "\r\n";
  {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  rig.view.ShowDate(day);
  QVERIFY(rig.note()->isReadOnly());
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors().first().startsWith("The file \"" + path + "\" is 9.5 MB"),
           qPrintable(rig.errors().first()));
  // Broken for the screen: every character is there, no line longer than a line may be.
  QCOMPARE(rig.note()->document()->blockCount(), 611);
  rig.view.ShowDate(day.addDays(1));
  rig.view.ShowDate(day);
  QCOMPARE(rig.errors().size(), 1);
  rig.view.SaveOnLeave();
  QCOMPARE(FileBytes(path), bytes);
}

// What she typed is written as she typed it: a non-breaking space stays one.
void ExerciseTest::noteKeepsWhatWasTyped() {
  Rig rig;
  const QDate day(2009, 3, 14);
  const QString path = ExerciseNotePath(rig.folder(), day);
  rig.view.ShowDate(day);
  rig.note()->setFocus();
  QTest::keyClicks(rig.note(), QString("5\u00a0km"));
  rig.view.ShowDate(day.addDays(1));
  QCOMPARE(FileBytes(path), QByteArray("5\xc2\xa0km\r\n"));
}

void ExerciseTest::chartAndSummariesOnScreen() {
  Rig rig(QDate(2009, 3, 14));
  rig.copyYear(2009);
  // A day of last year is shown: the chart and the totals are still about today.
  rig.view.ShowDate(QDate(2008, 7, 1));
  rig.get<QTabWidget>("pg")->setCurrentIndex(2);
  auto* chart = rig.get<QChartView>("Chart1")->chart();
  QCOMPARE(chart->title(), QString("Calories burned (7 days)"));
  auto* series = qobject_cast<QBarSeries*>(chart->series().at(0));
  QBarSet* set = series->barSets().at(0);
  // One bar a day of the 7 the title names.
  QCOMPARE(set->count(), 7);
  for (int i = 0; i < 7; ++i) QCOMPARE(set->at(i), 1000.0);
  QCOMPARE(set->color(), QColor(241, 158, 248));
  QCOMPARE(rig.gridRow("grid_calories", 1),
           (QStringList{"Calories", "7000 KCal", "8001 KCal", "8601 KCal"}));
  QCOMPARE(rig.gridRow("grid_calories", 2), (QStringList{"Fat", "2.0 lbs", "2.3 lbs", "2.5 lbs"}));
  rig.get<QTabWidget>("pg")->setCurrentIndex(3);
  QCOMPARE(rig.gridRow("Grid_Facts", 0),
           (QStringList{"Distance", "7 Days", "30 Days", "Year so far"}));
  QCOMPARE(rig.gridRow("Grid_Facts", 1),
           (QStringList{"Run", "3.3 miles", "3.3 miles", "3.3 miles"}));
  QCOMPARE(rig.gridRow("Grid_Facts", 2),
           (QStringList{"Bike", "10.2 miles", "10.2 miles", "10.2 miles"}));
  QCOMPARE(rig.gridRow("Grid_Facts", 3),
           (QStringList{"Swim", "200 feet", "200 feet", "200 feet"}));
  QCOMPARE(rig.gridRow("Grid_Facts", 4), (QStringList{"Climb", "50 feet", "50 feet", "50 feet"}));

  // Today's calories change: the chart follows at once.
  rig.view.ShowDate(QDate(2009, 3, 14));
  rig.spin("Workout_Calories")->setValue(1500);
  QCOMPARE(set->at(6), 1500.0);
}

void ExerciseTest::keyboardTicksAndLinks() {
  Rig rig;
  const QDate day(2009, 5, 3);
  rig.view.ShowDate(day);
  QListWidget* list = rig.list();
  rig.get<QTabWidget>("pg")->setCurrentIndex(1);
  list->setFocus();
  list->setCurrentRow(BuiltInActivities().indexOf("Walking"));
  QTest::keyClick(list, Qt::Key_Space);
  QCOMPARE(rig.view.TickedActivities(), QStringList{"Walking"});
  QCOMPARE(rig.storedCell(2009, day, kExActivities), QString("Walking"));

  // Links take the focus from the keyboard and Enter clicks them.
  rig.get<QTabWidget>("pg")->setCurrentIndex(0);
  auto* save = rig.get<QPushButton>("UserSave");
  QVERIFY(save->focusPolicy() & Qt::TabFocus);
  save->setFocus();
  QTest::keyClick(save, Qt::Key_Return);
  QCOMPARE(rig.env.messageTexts(), QStringList{"Your workout information was saved"});
}

void ExerciseTest::inTheMainWindow() {
  TestEnv env;
  FixedToday today(QDate(2009, 3, 14));
  MainWindow form(TestEnv::programFolder(), false);
  const QString folder = env.dataRoot() + "Exercise/";
  QVERIFY(QDir().mkpath(folder));
  QVERIFY(QFile::copy(TestEnv::testData("trackers/exercise-2009.txt"), folder + "2009.txt"));
  const QByteArray before = FileBytes(folder + "2009.txt");
  form.show();
  form.Startup();
  auto* view = form.findChild<ExerciseView*>();
  QVERIFY(view);
  // Made at start-up with the activity list and the grid's first date (day 1 of the
  // month), before it is shown.
  QVERIFY(view->HasLoaded());
  QCOMPARE(view->Activities().size(), 63);
  QCOMPARE(view->ShownDate(), QDate(2009, 3, 1));

  form.ShowView("exercise");
  QCOMPARE(view->ShownDate(), QDate(2009, 3, 14));
  QVERIFY(form.View("exercise")->IsDayMarked(QDate(2009, 3, 7)));
  QVERIFY(!form.View("exercise")->IsDayMarked(QDate(2009, 3, 1)));
  // Showing the view and moving through days wrote nothing.
  form.SetSelectedDate(QDate(2009, 3, 15));
  form.DispatchDate(QDate(2009, 3, 15));
  QCOMPARE(view->ShownDate(), QDate(2009, 3, 15));
  QCOMPARE(FileBytes(folder + "2009.txt"), before);

  // A distance typed just before the program ends is written.
  auto* bike = view->findChild<QDoubleSpinBox*>("Distance_bike");
  bike->setValue(8.5);
  form.ExitSequence();
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, folder + "2009.txt"));
  QCOMPARE(grid.Cell(kExBike, QDate(2009, 3, 15).dayOfYear()), QString("8.5"));
}

// --- other languages, other units, a new year -------------------------------------

void ExerciseTest::recordsReadTheSameInEveryLocale_data() {
  QTest::addColumn<QString>("locale");
  QTest::newRow("de_DE") << "de_DE";
  QTest::newRow("fr_FR") << "fr_FR";
}

// A day made under en_US reads right in another language, and a change of its minutes
// keeps its distances: "Running,5.2" never becomes "Running,0".
void ExerciseTest::recordsReadTheSameInEveryLocale() {
  QFETCH(QString, locale);
  Rig rig;
  rig.copyYear(2009);
  QLocale::setDefault(QLocale(locale));
  const QDate day(2009, 3, 14);
  rig.view.ShowDate(day);
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_run")->value(), 2.5);
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_bike")->value(), 10.2);
  QCOMPARE(rig.spin("Distance_Swim")->value(), 200);
  rig.spin("Exercise_Minutes")->setValue(20);
  QCOMPARE(rig.storedCell(2009, day, kExMinutes), QString("20"));
  QCOMPARE(rig.storedCell(2009, day, kExRun), QString("2.5"));
  QCOMPARE(rig.storedCell(2009, day, kExBike), QString("10.2"));
  QCOMPARE(rig.storedCell(2009, day, kExSwim), QString("200"));
  QCOMPARE(rig.gridRow("Grid_Facts", 1), (QStringList{"Run", "3,3 miles", "3,3 miles", "3,3 miles"}));
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

// Metric after days kept in miles and feet: the form, its labels and the totals are in
// kilometres and metres; a day keeps its unit until a distance of it is changed, and
// then holds every distance exactly, with "km" beside them.
void ExerciseTest::distancesShownInMetric() {
  Rig rig;
  rig.copyYear(2009);
  rig.host.Settings().MeasureUnits = "M";
  QVERIFY(rig.host.Settings().SaveSettings());
  const QDate day(2009, 3, 14);
  rig.view.ShowDate(day);
  QCOMPARE(rig.get<QLabel>("RunUnit")->text(), QString("km"));
  QCOMPARE(rig.get<QLabel>("ClimbUnit")->text(), QString("m"));
  QCOMPARE(rig.get<QLabel>("lblLike")->text(), QString("10 calories/minute. Like jogging 8 km/hour"));
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_run")->value(), 4.0);    // 2.5 miles
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_bike")->value(), 16.4);  // 10.2 miles
  QCOMPARE(rig.spin("Distance_Swim")->value(), 61);                    // 200 feet
  QCOMPARE(rig.spin("Distance_Climb")->value(), 15);                   // 50 feet
  // 0.8 and 2.5 miles; 7000 calories are 2 lbs of fat, 0.9 kg.
  QCOMPARE(rig.gridRow("Grid_Facts", 1), (QStringList{"Run", "5.3 km", "5.3 km", "5.3 km"}));
  QCOMPARE(rig.gridRow("Grid_Facts", 3), (QStringList{"Swim", "60 m", "60 m", "60 m"}));
  QCOMPARE(rig.gridRow("grid_calories", 2), (QStringList{"Fat", "0.9 kg", "1.0 kg", "1.1 kg"}));

  rig.spin("Exercise_Minutes")->setValue(20);
  const QString path = rig.yearPath(2009);
  QCOMPARE(rig.storedCell(2009, day, kExRun), QString("2.5"));
  QCOMPARE(rig.storedCell(2009, day, kExSwim), QString("200"));
  QCOMPARE(rig.storedCell(2009, day, kExUnits), QString());

  rig.get<QDoubleSpinBox>("Distance_run")->setValue(5);
  QCOMPARE(rig.storedCell(2009, day, kExRun), QString("5"));
  QCOMPARE(rig.storedCell(2009, day, kExBike), QString("16.4153088"));
  QCOMPARE(rig.storedCell(2009, day, kExSwim), QString("60.96"));
  QCOMPARE(rig.storedCell(2009, day, kExClimb), QString("15.24"));
  QCOMPARE(rig.storedCell(2009, day, kExUnits), QString("km"));
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, path));
  QCOMPARE(grid.Cell(kExUnits, 0), QString("Units"));
  QCOMPARE(grid.Cell(kExRun, QDate(2009, 3, 11).dayOfYear()), QString("0.8"));
  rig.view.ShowSummaries();
  QCOMPARE(rig.gridRow("Grid_Facts", 1), (QStringList{"Run", "6.3 km", "6.3 km", "6.3 km"}));

  // In miles again, each day in its own unit reads right.
  rig.host.Settings().MeasureUnits = "I";
  rig.view.ShowDate(day);
  QCOMPARE(rig.get<QLabel>("RunUnit")->text(), QString("miles"));
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_run")->value(), 3.1);
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_bike")->value(), 10.2);
  QCOMPARE(rig.spin("Distance_Swim")->value(), 200);
  QCOMPARE(rig.spin("Distance_Climb")->value(), 50);
  QCOMPARE(rig.gridRow("Grid_Facts", 1), (QStringList{"Run", "3.9 miles", "3.9 miles", "3.9 miles"}));
}

// A number cell holding a text that is not one shows as unreadable and stays as it is
// until that field is changed; "clear" clears it too.
void ExerciseTest::unreadableCellsAreKept() {
  Rig rig;
  CellGrid grid;
  InitYearGrid(grid, 2009, kExerciseColumns, ExerciseHeaders());
  const QDate day(2009, 3, 14);
  grid.SetRow(day.dayOfYear(), {"March 14", "1", "lots", "4", "Running", "abc", "Run", "far",
                                "0", "0", "0"});
  QVERIFY(SaveGridFile(grid, rig.yearPath(2009)));
  rig.view.ShowDate(day);
  QSpinBox* minutes = rig.spin("Exercise_Minutes");
  QCOMPARE(minutes->value(), 0);
  QCOMPARE(minutes->text(), QString("unreadable"));
  QVERIFY(minutes->toolTip().contains("\"lots\""));
  QCOMPARE(rig.get<QDoubleSpinBox>("Distance_run")->text(), QString("unreadable"));
  rig.spin("Exercise_Hours")->setValue(2);
  QCOMPARE(rig.storedCell(2009, day, kExHours), QString("2"));
  QCOMPARE(rig.storedCell(2009, day, kExMinutes), QString("lots"));
  QCOMPARE(rig.storedCell(2009, day, kExCalories), QString("abc"));
  QCOMPARE(rig.storedCell(2009, day, kExRun), QString("far"));
  rig.spin("Workout_Calories")->setValue(300);
  QCOMPARE(rig.storedCell(2009, day, kExCalories), QString("300"));
  QCOMPARE(rig.storedCell(2009, day, kExMinutes), QString("lots"));
  rig.click("UserClear");
  QCOMPARE(rig.storedCell(2009, day, kExMinutes), QString("0"));
  QCOMPARE(rig.storedCell(2009, day, kExRun), QString("0"));
}

QTEST_MAIN(ExerciseTest)
#include "test_exercise.moc"
