// Calories from what she did: the MET values of the built-in activities, the estimate
// MET x kg x hours, her latest weight on or before a day (pounds converted), the
// exercise view's "Estimate from activities" with and without a recorded weight, and the
// calorie tracker's Today page with the day's burned calories and the net.

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>

#include "core/clock.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "nutrition/mealreport.h"
#include "nutrition/widgets/mealdiaryview.h"
#include "support/fakehost.h"
#include "support/testenv.h"
#include "trackers/bodyweight.h"
#include "trackers/burnedcalories.h"
#include "trackers/exerciselog.h"
#include "trackers/metvalues.h"
#include "trackers/weightmodel.h"
#include "trackers/widgets/exerciseview.h"

namespace {
const QDate kDay(2009, 3, 14);

struct FixedToday {
  explicit FixedToday(const QDate& d) {
    Clock::SetSource([d] { return QDateTime(d, QTime(9, 30)); });
  }
  ~FixedToday() { Clock::SetSource({}); }
};

// A weight year file with the given weights (in the files' unit).
void WriteWeights(const QString& folder, int year, const QList<QPair<QDate, QString>>& weights) {
  CellGrid grid(kWeightColumns, 1);
  InitYearGrid(grid, year, kWeightColumns, {"Weight", "Hours", "Minutes"});
  for (const auto& w : weights) grid.SetCell(kWeightColumn, YearGridRow(w.first), w.second);
  QString error;
  QVERIFY2(SaveGridFile(grid, WeightYearPath(folder, year), &error), qPrintable(error));
}

// An exercise view on the day, shown at its panel's size, with an hour of running.
struct RunningView {
  explicit RunningView(FakeHost* host) : view(host) {
    view.resize(621, 451);
    view.show();
    view.StartView(kDay);
    view.ShowDate(kDay);
    view.findChild<QSpinBox*>("Exercise_Hours")->setValue(1);
    view.findChild<QListWidget*>("ui_Activity")
        ->findItems("Running", Qt::MatchExactly)
        .first()
        ->setCheckState(Qt::Checked);
  }
  ExerciseView view;
};

// The host a view sees, with the exercise tracker's burned calories.
class BurnHost : public FakeHost {
 public:
  std::optional<int> BurnedCaloriesOn(const QDate& date) const override {
    ++asked;
    return RecordedWorkoutCalories(Dir().ExerciseFolder(), date);
  }
  mutable int asked = 0;
};
}  // namespace

class ActivityCaloriesTest : public QObject {
  Q_OBJECT

 private slots:
  void everyBuiltInActivityHasACompendiumValue();
  void estimates_data();
  void estimates();
  void latestWeightOnOrBefore();
  void viewEstimatesFromTheRecordedWeight();
  void viewAsksForAWeightWhenNoneIsRecorded();
  void recordedWorkoutCalories();
  void todayPageShowsBurnedAndNet();
};

void ActivityCaloriesTest::everyBuiltInActivityHasACompendiumValue() {
  static const QRegularExpression code("^\\d{5}$");
  for (const QString& name : BuiltInActivities()) {
    const auto v = MetFor(name);
    QVERIFY2(v, qPrintable(name));
    QVERIFY2(code.match(QLatin1String(v->code)).hasMatch(), qPrintable(name));
    QVERIFY2(v->met >= 1 && v->met <= 23, qPrintable(name));
  }
  // The values the Compendium gives for the main ones.
  const struct {
    const char* name;
    const char* code;
    double met;
  } main[] = {{"Walking", "17190", 3.5},         {"Walking (brisk)", "17200", 4.3},
              {"Jogging", "12020", 7.0},         {"Running", "12050", 9.8},
              {"Cycling", "01030", 8.0},         {"Cycling (Stationary)", "02010", 7.0},
              {"Swimming", "18310", 6.0},        {"Aerobics", "03015", 7.3},
              {"Yoga", "02150", 2.5},            {"Pilates", "02105", 3.0},
              {"Weight Training", "02054", 3.5}, {"Elliptical machine", "02048", 5.0},
              {"Cleaning (House)", "05030", 3.3}};
  for (const auto& m : main) {
    const auto v = MetFor(m.name);
    QVERIFY2(v, m.name);
    QCOMPARE(QLatin1String(v->code), QLatin1String(m.code));
    QCOMPARE(v->met, m.met);
  }
  // Names as the list or she writes them; an activity she made up has none.
  QVERIFY(MetFor("Boxing "));
  QVERIFY(MetFor("  yoga"));
  QVERIFY(!MetFor("Underwater basket weaving"));
  QVERIFY(!MetFor(""));
}

void ActivityCaloriesTest::estimates_data() {
  QTest::addColumn<QStringList>("ticked");
  QTest::addColumn<int>("hours");
  QTest::addColumn<int>("minutes");
  QTest::addColumn<double>("kg");
  QTest::addColumn<int>("calories");
  QTest::addColumn<QStringList>("without");
  QTest::newRow("running 1 h at 60 kg") << QStringList{"Running"} << 1 << 0 << 60.0 << 588
                                        << QStringList{};
  QTest::newRow("walking 30 min at 70 kg") << QStringList{"Walking"} << 0 << 30 << 70.0 << 123
                                           << QStringList{};  // 122.5 rounds up
  QTest::newRow("time shared: running and yoga")
      << QStringList{"Running", "Yoga"} << 1 << 0 << 60.0 << 369 << QStringList{};  // 294 + 75
  QTest::newRow("one without a value counts nothing")
      << QStringList{"Running", "Juggling knives"} << 1 << 0 << 60.0 << 588
      << QStringList{"Juggling knives"};
  QTest::newRow("held to the field's 10000") << QStringList{"Jump - rope"} << 59 << 59 << 200.0
                                             << 10000 << QStringList{};
  QTest::newRow("no time") << QStringList{"Running"} << 0 << 0 << 60.0 << 0 << QStringList{};
  QTest::newRow("nothing ticked") << QStringList{} << 1 << 0 << 60.0 << 0 << QStringList{};
}

void ActivityCaloriesTest::estimates() {
  QFETCH(QStringList, ticked);
  QFETCH(int, hours);
  QFETCH(int, minutes);
  QFETCH(double, kg);
  QFETCH(int, calories);
  QFETCH(QStringList, without);
  const ActivityEstimate e = EstimateFromActivities(ticked, hours, minutes, kg);
  QCOMPARE(e.calories, calories);
  QCOMPARE(e.withoutValue, without);
}

void ActivityCaloriesTest::latestWeightOnOrBefore() {
  TestEnv env;
  FakeHost host;
  const QString folder = host.Dir().WeightFolder();
  const UnitSystem lbs = UnitSystem::Imperial;
  QVERIFY(!LatestWeightOnOrBefore(folder, kDay, lbs));
  WriteWeights(folder, 2008, {{QDate(2008, 12, 30), "150"}});
  WriteWeights(folder, 2009, {{QDate(2009, 3, 10), "148.5"}, {QDate(2009, 3, 20), "147"}});
  // The latest on or before the day, not a later one.
  auto w = LatestWeightOnOrBefore(folder, kDay, lbs);
  QVERIFY(w);
  QCOMPARE(w->date, QDate(2009, 3, 10));
  // In kilograms, converted from the pounds of files without a unit mark.
  QCOMPARE(w->weight, 148.5 * 0.45359237);
  QCOMPARE(LatestWeightOnOrBefore(folder, kDay, UnitSystem::Metric)->weight, 148.5);
  QCOMPARE(LatestWeightOnOrBefore(folder, QDate(2009, 3, 20), lbs)->date, QDate(2009, 3, 20));
  // Back into the year before.
  QCOMPARE(LatestWeightOnOrBefore(folder, QDate(2009, 2, 1), lbs)->date, QDate(2008, 12, 30));
  QVERIFY(!LatestWeightOnOrBefore(folder, QDate(2008, 12, 29), lbs));
  // A weight typed in kilograms after she changed units keeps its own unit.
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, WeightYearPath(folder, 2009)));
  grid.SetCell(kWeightColumn, YearGridRow(QDate(2009, 3, 12)), "60");
  grid.SetCell(kWeightUnitColumn, YearGridRow(QDate(2009, 3, 12)), "kg");
  QVERIFY(SaveGridFile(grid, WeightYearPath(folder, 2009)));
  QCOMPARE(LatestWeightOnOrBefore(folder, kDay, lbs)->weight, 60.0);
  QCOMPARE(LatestWeightOnOrBefore(folder, kDay, UnitSystem::Metric)->weight, 60.0);
}

void ActivityCaloriesTest::viewEstimatesFromTheRecordedWeight() {
  TestEnv env;
  FixedToday today(kDay);
  FakeHost host;
  host.Settings().MeasureUnits = "I";
  // 132.277 lbs is 60 kg.
  WriteWeights(host.Dir().WeightFolder(), 2009, {{QDate(2009, 3, 1), "132.277357"}});
  RunningView rig(&host);
  ExerciseView& view = rig.view;
  view.ActivityEstimateClick();
  QVERIFY(env.messages.isEmpty());  // nothing asked: the weight is recorded
  QCOMPARE(view.ActivityEstimateCalories(), 588);
  const QString shown = view.findChild<QLabel*>("lblActivityEstimate")->text();
  QVERIFY2(shown.contains("588 calories"), qPrintable(shown));
  QVERIFY(shown.contains("12050"));
  QVERIFY(shown.contains("60.0 kg weighed on 2009-03-01"));
  // The older estimate and the field stay as they are until she uses it.
  QCOMPARE(view.findChild<QSpinBox*>("Workout_Calories")->value(), 0);
  view.UseActivityEstimateClick();
  QCOMPARE(view.findChild<QSpinBox*>("Workout_Calories")->value(), 588);
  // The figure follows the time.
  view.findChild<QSpinBox*>("Exercise_Minutes")->setValue(30);
  QCOMPARE(view.ActivityEstimateCalories(), 882);
}

void ActivityCaloriesTest::viewAsksForAWeightWhenNoneIsRecorded() {
  TestEnv env;
  FixedToday today(kDay);
  FakeHost host;
  host.Settings().MeasureUnits = "M";
  // A weight after the day does not count.
  WriteWeights(host.Dir().WeightFolder(), 2009, {{QDate(2009, 3, 20), "70"}});
  RunningView rig(&host);
  ExerciseView& view = rig.view;

  // She cancels: no estimate, nothing written.
  env.answer = [](const MessageRequest&) { return MessageAnswer{false, QString()}; };
  view.ActivityEstimateClick();
  QCOMPARE(env.messages.size(), 1);
  QCOMPARE(env.messages.first().kind, MessageKind::Input);
  QVERIFY(env.messages.first().text.contains("kg"));
  QCOMPARE(view.ActivityEstimateCalories(), -1);
  QVERIFY(!view.findChild<QPushButton*>("UseActivityEstimate")->isEnabled());

  // Not a weight: told so.
  env.clearMessages();
  env.answer = [](const MessageRequest& r) {
    return MessageAnswer{true, r.kind == MessageKind::Input ? "heavy" : QString()};
  };
  view.ActivityEstimateClick();
  QCOMPARE(env.messages.size(), 2);
  QVERIFY(env.messages.last().text.contains("not a weight"));
  QCOMPARE(view.ActivityEstimateCalories(), -1);

  // She gives 60 kg: the estimate, and she is not asked again this run.
  env.clearMessages();
  env.answer = [](const MessageRequest&) { return MessageAnswer{true, "60"}; };
  view.ActivityEstimateClick();
  QCOMPARE(view.ActivityEstimateCalories(), 588);
  QVERIFY(view.findChild<QLabel*>("lblActivityEstimate")->text().contains("60.0 kg as given"));
  view.ActivityEstimateClick();
  QCOMPARE(env.messages.size(), 1);
  // The weight she gave is not written anywhere.
  QVERIFY(!QFile::exists(WeightYearPath(host.Dir().WeightFolder(), 2008)));
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, WeightYearPath(host.Dir().WeightFolder(), 2009)));
  QCOMPARE(grid.Cell(kWeightColumn, YearGridRow(kDay)).trimmed(), QString());
}

void ActivityCaloriesTest::recordedWorkoutCalories() {
  TestEnv env;
  FakeHost host;
  const QString folder = host.Dir().ExerciseFolder();
  QVERIFY(!RecordedWorkoutCalories(folder, kDay));
  CellGrid grid;
  InitYearGrid(grid, 2009, kExerciseColumns, ExerciseHeaders());
  grid.SetCell(kExCalories, YearGridRow(kDay), "350");
  grid.SetCell(kExCalories, YearGridRow(kDay.addDays(1)), "0");
  grid.SetCell(kExCalories, YearGridRow(kDay.addDays(2)), "lots");
  QVERIFY(SaveGridFile(grid, ExerciseYearPath(folder, 2009)));
  QCOMPARE(RecordedWorkoutCalories(folder, kDay), std::optional<int>(350));
  QVERIFY(!RecordedWorkoutCalories(folder, kDay.addDays(1)));
  QVERIFY(!RecordedWorkoutCalories(folder, kDay.addDays(2)));
  QVERIFY(!RecordedWorkoutCalories(folder, QDate(2010, 3, 14)));

  EnergyBalance balance{1800, 350};
  QCOMPARE(BurnedText(balance), QString("Burned in your workout: 350 Calories"));
  QCOMPARE(NetText(balance), QString::fromUtf8("Net (eaten \u2212 burned): 1450 Calories"));
  balance.burned.reset();
  QCOMPARE(BurnedText(balance), QString("Burned in your workout: none recorded"));
  QCOMPARE(NetText(balance), QString::fromUtf8("Net (eaten \u2212 burned): 1800 Calories"));
}

void ActivityCaloriesTest::todayPageShowsBurnedAndNet() {
  TestEnv env;
  FixedToday today(kDay);
  BurnHost host;
  host.viewName = "eat";
  const QString food = host.Dir().FoodFolder();
  QVERIFY(QFile::copy(TestEnv::testData("nutrition/Y2009M3D14-Breakfast.txt"),
                      MealFilePath(food, kDay, 1)));
  CellGrid grid;
  InitYearGrid(grid, 2009, kExerciseColumns, ExerciseHeaders());
  grid.SetCell(kExCalories, YearGridRow(kDay), "120");
  QVERIFY(SaveGridFile(grid, ExerciseYearPath(host.Dir().ExerciseFolder(), 2009)));

  MealDiaryView view(&host);
  view.resize(800, 500);
  view.show();
  view.ShowDate(kDay);
  const qint64 eaten = view.Model().Totals().calories;
  QVERIFY(eaten > 0);
  auto* burned = view.findChild<QLabel*>("Today_Burned");
  auto* net = view.findChild<QLabel*>("Today_Net");
  QCOMPARE(burned->text(), QString("Burned in your workout: 120 Calories"));
  QCOMPARE(net->text(), NetText({eaten, 120}));

  // A workout recorded meanwhile shows when she turns to the Today page.
  grid.SetCell(kExCalories, YearGridRow(kDay), "400");
  QVERIFY(SaveGridFile(grid, ExerciseYearPath(host.Dir().ExerciseFolder(), 2009)));
  view.findChild<QTabWidget*>("pg")->setCurrentIndex(MealDiaryView::TodayPage);
  QCOMPARE(burned->text(), QString("Burned in your workout: 400 Calories"));
  QCOMPARE(net->text(), NetText({eaten, 400}));

  // A day without a workout.
  view.ShowDate(kDay.addDays(1));
  QCOMPARE(burned->text(), QString("Burned in your workout: none recorded"));
}

QTEST_MAIN(ActivityCaloriesTest)
#include "test_activitycalories.moc"
