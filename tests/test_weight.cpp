// The weight tracker: its year file and goal file, the diet plan and its messages, the
// body-mass index and the view that edits them.

#include <QAreaSeries>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "app/config.h"
#include "core/inifile.h"
#include "app/datafolders.h"
#include <sys/stat.h>

#include "core/textfile.h"
#include "support/fakehost.h"
#include "support/faults.h"
#include "support/testenv.h"
#include "trackers/bmi.h"
#include "trackers/bmipicture.h"
#include "trackers/weightmodel.h"
#include "trackers/weightplan.h"
#include "trackers/widgets/weightview.h"

namespace {

// A weight view over a fresh data folder, shown at the panel's size.
struct Rig {
  TestEnv env;
  FakeHost host;
  WeightView view{&host};

  Rig() {
    view.resize(600, 420);
    view.show();
  }
  QString weightFolder() const { return host.Dir().WeightFolder(); }
  QLineEdit* edit(const char* name) { return view.findChild<QLineEdit*>(name); }
  QLabel* label(const char* name) { return view.findChild<QLabel*>(name); }
  QPushButton* button(const char* name) { return view.findChild<QPushButton*>(name); }
  QLineSeries* historySeries() {
    auto* chart = view.findChild<QChartView*>("Weight_Graph")->chart();
    return qobject_cast<QLineSeries*>(chart->series().at(0));
  }
  void type(const char* name, const QString& text) {
    QLineEdit* e = edit(name);
    e->selectAll();
    if (text.isEmpty())
      QTest::keyClick(e, Qt::Key_Backspace);
    else
      QTest::keyClicks(e, text);
  }
  void leave(const char* name) { QTest::keyClick(edit(name), Qt::Key_Return); }
  void copyFixture(const QString& file) {
    QVERIFY(QFile::copy(TestEnv::testData("weight/" + file), weightFolder() + file));
  }
  QStringList yearLines(int year) const {
    QFile f(weightFolder() + QString::number(year) + ".txt");
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split("\r\n");
  }
  QString yearCell(int year, const QDate& date) const {
    CellGrid grid;
    if (!LoadGridFile(grid, weightFolder() + QString::number(year) + ".txt")) return "<none>";
    return grid.Cell(1, date.dayOfYear());
  }
  QStringList errors() const {
    QStringList out;
    for (const auto& m : env.messages)
      if (m.kind == MessageKind::Error) out << m.text;
    return out;
  }
};

QString Path(const QString& path) { return QDir::cleanPath(path); }

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

quint64 Inode(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

}  // namespace

class WeightTest : public QObject {
  Q_OBJECT
 private slots:
  // --- records ---
  void hasWeightRule_data();
  void hasWeightRule();
  void historySkipsClearedAndBadCells();
  void saveDayWritesBothFiles();

  // --- arithmetic ---
  void goalMessage_data();
  void goalMessage();
  void planRunsFromWeightToGoal();
  void planWithNoDays();
  void bmiIndexAndClass_data();
  void bmiIndexAndClass();
  void bmiClassBoundaries_data();
  void bmiClassBoundaries();
  void bmiPictureMatchesArrow();
  void bmiHeightScale();
  void bmiArrowStaysOnPicture();

  // --- view ---
  void showDateFillsFields();
  void typingRaisesGoal();
  void goalReadFromMonthFile();
  void showingDateNeverStoresPreviousWeight_data();
  void showingDateNeverStoresPreviousWeight();
  void yearFileBytesAfterSave_data();
  void yearFileBytesAfterSave();
  void goalFileKeys();
  void clearStoresZero();
  void saveButton();
  void nothingSavedBeforeFirstShow();
  void closingSavesNothing();
  void leapYearLastDayKept();
  void unwritableYearFile();
  void unreadableYearFileIsNotReplaced();
  void unreadableGoalFileIsNeverReplaced();
  void fullDiskKeepsBothFiles();
  void showingADayRewritesNothing_data();
  void showingADayRewritesNothing();
  void hugeYearFileOpensReadOnly();
  void calculateShowsPlanAndLines();
  void daysZeroWhileTypingKeepsLines();
  void fieldLimits_data();
  void fieldLimits();
  void bmiButton_data();
  void bmiButton();
  void typedWeightReachesHistoryAndMarks();
  void dayWithoutWeightShowsNoPlanOrIndex();

  // --- other languages, other units, a new year ---
  void recordsReadTheSameInEveryLocale_data();
  void recordsReadTheSameInEveryLocale();
  void otherUnitsConvertWhatIsShown();
  void recordsKeepTheUnitTheyWereWrittenIn();
  void unreadableValuesAreShownAndKept();
  void historyReachesBackOverNewYear();
};

// --- records ----------------------------------------------------------------------

void WeightTest::hasWeightRule_data() {
  QTest::addColumn<QString>("cell");
  QTest::addColumn<bool>("has");
  QTest::newRow("empty") << "" << false;
  QTest::newRow("loaded empty field") << " " << false;
  QTest::newRow("cleared") << "0" << false;
  QTest::newRow("cleared, spaced") << " 0 " << false;
  QTest::newRow("zero with decimal") << "0.0" << false;
  QTest::newRow("whole") << "150" << true;
  QTest::newRow("decimal") << "145.5" << true;
  QTest::newRow("not a number still marks") << "abc" << true;
}

void WeightTest::hasWeightRule() {
  QFETCH(QString, cell);
  QFETCH(bool, has);
  QCOMPARE(HasWeightText(cell), has);
}

void WeightTest::historySkipsClearedAndBadCells() {
  TestEnv env;
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, TestEnv::testData("weight/2009.txt")));
  const QVector<DatedWeight> points = WeightHistoryPoints(grid, 2009);
  // March holds 31 rows, of which "0", "0.0" and "abc" are not weights.
  QCOMPARE(points.size(), 28);
  QCOMPARE(points.first(), (DatedWeight{QDate(2009, 3, 1), 160.0}));
  QCOMPARE(points.at(8).date, QDate(2009, 3, 9));
  QCOMPARE(points.at(9).date, QDate(2009, 3, 13));
  QCOMPARE(points.last().date, QDate(2009, 3, 31));
  QCOMPARE(points.last().weight, 154.0);
}

void WeightTest::saveDayWritesBothFiles() {
  TestEnv env;
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  WeightModel model(folder);
  model.SetDate(QDate(2009, 5, 3));
  QVERIFY(model.OpenGoal());
  QCOMPARE(model.Goal(), 150.0);
  QVERIFY(model.OpenYear());
  QCOMPARE(model.StoredWeight(), 0.0);
  QVERIFY(model.SaveDay(145.5, 140, nullptr));

  QCOMPARE(Path(model.YearPath()), Path(folder + "2009.txt"));
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, folder + "2009.txt"));
  QCOMPARE(grid.RowCount(), 366);
  QCOMPARE(grid.ColCount(), 10);
  QCOMPARE(grid.Cell(1, QDate(2009, 5, 3).dayOfYear()), QString("145.5"));
  IniFile ini(folder + "Y2009M5.ini");
  QCOMPARE(ini.ReadString("M5", "Goal", ""), QString("140"));
  QCOMPARE(ini.ReadString("M5", "D3", ""), QString("145.5"));
}

// --- arithmetic -------------------------------------------------------------------

void WeightTest::goalMessage_data() {
  QTest::addColumn<double>("weight");
  QTest::addColumn<double>("goal");
  QTest::addColumn<int>("days");
  QTest::addColumn<bool>("metric");
  QTest::addColumn<QString>("unit");
  QTest::addColumn<QString>("daysLeft");  // "<keep>": the line keeps its text
  QTest::addColumn<QString>("calories");

  const QString keep = "<keep>";
  QTest::newRow("loss in pounds") << 180.0 << 170.0 << 30 << false << "lbs"
                                  << "You need to lose 0.3 lbs/day "
                                  << "... you need a deficit of 1166 Calories/day";
  QTest::newRow("loss in kilograms") << 80.0 << 77.0 << 30 << true << "kg"
                                     << "You need to lose 0.1 kg/day "
                                     << "... you need a deficit of 770 Calories/day";
  QTest::newRow("gain in pounds") << 140.0 << 150.0 << 20 << false << "lbs"
                                  << "You need to gain 0.5 lbs/day "
                                  << " ..eat at an extra 1750 Calories/day";
  QTest::newRow("gain in kilograms") << 50.0 << 53.0 << 30 << true << "kg"
                                     << "You need to gain 0.1 kg/day "
                                     << " ..eat at an extra 770 Calories/day";
  QTest::newRow("goal met") << 150.0 << 150.0 << 30 << false << "lbs" << keep
                            << " Congratulations, you have achieved your weight goal!!!!";
  QTest::newRow("goal met, no days") << 150.0 << 150.0 << 0 << false << "lbs" << keep
                                     << " Congratulations, you have achieved your weight goal!!!!";
  // The days field holds 0 only while being typed: no rate, nothing divided by zero.
  QTest::newRow("no days yet") << 180.0 << 170.0 << 0 << false << "lbs" << keep << keep;
}

void WeightTest::goalMessage() {
  QFETCH(double, weight);
  QFETCH(double, goal);
  QFETCH(int, days);
  QFETCH(bool, metric);
  QFETCH(QString, unit);
  QFETCH(QString, daysLeft);
  QFETCH(QString, calories);
  TestEnv env;
  const GoalMessage m = MakeGoalMessage(weight, goal, days, metric, unit);
  QCOMPARE(m.daysLeft.value_or("<keep>"), daysLeft);
  QCOMPARE(m.calories.value_or("<keep>"), calories);
}

void WeightTest::planRunsFromWeightToGoal() {
  const QDateTime start(QDate(2009, 3, 5), QTime(14, 30));
  const WeightPlan plan = MakeWeightPlan(180, 170, 30, start);
  QCOMPARE(plan.reference.size(), 31);
  QCOMPARE(plan.plan.size(), 31);
  QCOMPARE(plan.plan.first().when, start);
  QCOMPARE(plan.plan.first().weight, 180.0);
  QCOMPARE(plan.plan.last().when, start.addDays(30));
  QCOMPARE(plan.plan.last().weight, 170.0);
  QCOMPARE(plan.plan.at(15).weight, 175.0);
  for (const PlanPoint& p : plan.reference) QCOMPARE(p.weight, 180.0);
  QCOMPARE(plan.reference.last().when, start.addDays(30));
}

void WeightTest::planWithNoDays() {
  const QDateTime start(QDate(2009, 3, 5), QTime(9, 0));
  const WeightPlan plan = MakeWeightPlan(180, 170, 0, start);
  QVERIFY(plan.plan.isEmpty());
  QCOMPARE(plan.reference.size(), 1);
  QCOMPARE(plan.reference.first().when, start);
  QCOMPARE(plan.reference.first().weight, 180.0);
}

void WeightTest::bmiIndexAndClass_data() {
  QTest::addColumn<double>("weightField");
  QTest::addColumn<double>("heightField");
  QTest::addColumn<bool>("imperial");
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("warning");
  QTest::newRow("72 in, 180 lb") << 180.0 << 72.0 << true << 24 << "> Ideal weight";
  QTest::newRow("170 cm, 95 kg") << 95.0 << 170.0 << false << 32 << "> Obese";
  QTest::newRow("160 cm, 40 kg") << 40.0 << 160.0 << false << 15 << "> Starving";
  QTest::newRow("180 cm, 60 kg") << 60.0 << 180.0 << false << 18 << "> Ideal weight";
  QTest::newRow("no weight") << 0.0 << 170.0 << false << 0 << "> Starving";
  QTest::newRow("beyond the table") << 400.0 << 150.0 << false << 177 << "> ";
}

void WeightTest::bmiIndexAndClass() {
  QFETCH(double, weightField);
  QFETCH(double, heightField);
  QFETCH(bool, imperial);
  QFETCH(int, index);
  QFETCH(QString, warning);
  const int got = BmiIndex(BmiWeightKg(weightField, imperial), BmiHeightCm(heightField, imperial));
  QCOMPARE(got, index);
  QCOMPARE(BmiWarningText(got), warning);
}

void WeightTest::bmiClassBoundaries_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("cls");
  QTest::addColumn<int>("band");
  const int under = int(BmiBand::Under), normal = int(BmiBand::Normal),
            over = int(BmiBand::Over), obese = int(BmiBand::Obese);
  QTest::newRow("0") << 0 << "Starving" << under;
  QTest::newRow("15") << 15 << "Starving" << under;
  QTest::newRow("16") << 16 << "Anorexic" << under;
  QTest::newRow("17") << 17 << "Anorexic" << under;
  QTest::newRow("18") << 18 << "Ideal weight" << normal;
  QTest::newRow("25") << 25 << "Ideal weight" << normal;
  QTest::newRow("26") << 26 << "Overweight" << over;
  QTest::newRow("30") << 30 << "Overweight" << over;
  QTest::newRow("31") << 31 << "Obese" << obese;
  QTest::newRow("40") << 40 << "Obese" << obese;
  QTest::newRow("41") << 41 << "Morbidly Obese" << obese;
  QTest::newRow("100") << 100 << "Morbidly Obese" << obese;
  QTest::newRow("101") << 101 << "" << obese;
}

void WeightTest::bmiClassBoundaries() {
  QFETCH(int, index);
  QFETCH(QString, cls);
  QFETCH(int, band);
  QCOMPARE(BmiClassText(index), cls);
  QCOMPARE(int(BmiBandOf(index)), band);
}

// Wherever the arrow lands, the table under its tip has the colour of the index's band.
void WeightTest::bmiPictureMatchesArrow() {
  const QImage picture = BmiTablePicture(false);
  QCOMPARE(picture.size(), QSize(353, 291));
  const QVector<QColor> bands{BmiBandColour(BmiBand::Under), BmiBandColour(BmiBand::Normal),
                              BmiBandColour(BmiBand::Over), BmiBandColour(BmiBand::Obese)};
  int checked = 0;
  for (double kg = 41; kg < 200; kg += 3.7) {
    for (double cm = 141; cm < 220; cm += 1.7) {
      const double bmi = kg / (cm / 100) / (cm / 100);
      // A pixel stands for a small range of weights and heights; stay off the edges.
      bool nearEdge = false;
      for (double edge : {18.0, 26.0, 31.0}) nearEdge = nearEdge || qAbs(bmi - edge) < 0.4;
      if (nearEdge) continue;
      const QPoint at = BmiArrowPosition(kg, cm);
      QVERIFY2(picture.rect().contains(at), qPrintable(QString("%1 kg %2 cm").arg(kg).arg(cm)));
      // Grid lines darken a pixel; the nearest band colour still tells the band.
      const QColor pixel = picture.pixelColor(at);
      int nearest = 0;
      auto dist = [&](const QColor& c) {
        return qAbs(c.red() - pixel.red()) + qAbs(c.green() - pixel.green()) +
               qAbs(c.blue() - pixel.blue());
      };
      for (int b = 1; b < 4; ++b)
        if (dist(bands[b]) < dist(bands[nearest])) nearest = b;
      QCOMPARE(nearest, int(BmiBandOf(BmiIndex(kg, cm))));
      ++checked;
    }
  }
  QVERIFY(checked > 1000);
}

// The height scale covers the heights of people, not 11 feet.
void WeightTest::bmiHeightScale() {
  QCOMPARE(BmiHeightLabels(true), QStringList({"5'0\"", "5'6\"", "6'0\"", "6'6\"", "7'0\""}));
  QCOMPARE(BmiHeightLabels(false),
           QStringList({"140", "150", "160", "170", "180", "190", "200", "210", "220"}));
  // A tall woman's arrow is on the table, not at its edge.
  const QPoint tall = BmiArrowPosition(70, BmiHeightCm(74, true));
  QVERIFY(tall.y() > BmiPlotRect().top() + 20);
}

void WeightTest::bmiArrowStaysOnPicture() {
  QCOMPARE(BmiArrowPosition(40, 140), QPoint(8, 256));
  QCOMPARE(BmiArrowPosition(200, 220), QPoint(304, 32));
  // Beyond the scales the formula leaves the picture; the arrow stops at its edge.
  QCOMPARE(BmiArrowPosition(0, 100).x(), -66);
  QCOMPARE(BmiArrowOnPicture(0, 100), QPoint(8, 256));
  QCOMPARE(BmiArrowOnPicture(BmiWeightKg(9999, true), BmiHeightCm(255, true)), QPoint(304, 32));
}

// --- view -------------------------------------------------------------------------

void WeightTest::showDateFillsFields() {
  Rig rig;
  QVERIFY(!rig.view.HasLoaded());
  QCOMPARE(rig.view.MarkPicture(), DayMarkPicture::Arrow);
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("150.0"));
  QCOMPARE(rig.edit("days_diet")->text(), QString("30"));
  rig.view.ShowDate(QDate(2009, 3, 5));
  QVERIFY(rig.view.HasLoaded());
  QCOMPARE(rig.label("Title_Label")->text(), QString("Thursday, March 5, 2009"));
  QVERIFY(rig.label("Title_Label")->font().bold());
  // A day without an entry shows 0.0, and the year grid gives it no mark.
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("0.0"));
  QCOMPARE(rig.edit("WEight_Goal")->text(), QString("150.0"));
  QCOMPARE(rig.label("weight_label1")->text(), QString("lbs"));
  QCOMPARE(rig.label("weight_label2")->text(), QString("lbs"));
  QCOMPARE(rig.label("height_short")->text(), QString("inches"));
  QCOMPARE(rig.edit("BMI_Height")->text(), QString("72"));
  QVERIFY(!rig.view.IsDayMarked(QDate(2009, 3, 5)));
  auto* pg = rig.view.findChild<QTabWidget*>("pg");
  QCOMPARE(pg->count(), 3);
  QCOMPARE(pg->tabText(0), QString("Target"));
  QCOMPARE(pg->tabText(1), QString("History"));
  QCOMPARE(pg->tabText(2), QString("BMI"));

  rig.host.Settings().MeasureUnits = "M";
  rig.host.Settings().SetBmiHeight(170, UnitSystem::Metric);
  rig.view.ShowDate(QDate(2009, 3, 6));
  QCOMPARE(rig.label("weight_label1")->text(), QString("kg"));
  QCOMPARE(rig.label("height_short")->text(), QString("cm"));
  QCOMPARE(rig.edit("BMI_Height")->text(), QString("170"));
  // Merely showing dates wrote no year file.
  QVERIFY(!QFile::exists(rig.weightFolder() + "2009.txt"));
}

void WeightTest::typingRaisesGoal() {
  Rig rig;
  rig.view.ShowDate(QDate(2009, 3, 5));
  rig.type("Weight_Today", "180");
  QCOMPARE(rig.edit("WEight_Goal")->text(), QString("175.0"));
  IniFile ini(rig.weightFolder() + "Y2009M3.ini");
  QCOMPARE(ini.ReadString("M3", "Goal", ""), QString("175"));
  QCOMPARE(ini.ReadString("M3", "D5", ""), QString("180"));
  QCOMPARE(rig.yearCell(2009, QDate(2009, 3, 5)), QString("180"));
  QVERIFY(rig.view.IsDayMarked(QDate(2009, 3, 5)));
  // A goal within five of the weight stays.
  rig.type("WEight_Goal", "178");
  rig.type("Weight_Today", "181");
  QCOMPARE(rig.edit("WEight_Goal")->text(), QString("178"));
}

void WeightTest::goalReadFromMonthFile() {
  Rig rig;
  rig.copyFixture("Y2009M5.ini");
  rig.view.ShowDate(QDate(2009, 5, 3));
  QCOMPARE(rig.edit("WEight_Goal")->text(), QString("145.5"));
  // Filling the goal is not an edit: the file is as it was.
  QFile f(rig.weightFolder() + "Y2009M5.ini");
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), QByteArray("[M5]\r\nD2=151\r\nGoal=145.5\r\n"));
  // Another month without a file reads 150.
  rig.view.ShowDate(QDate(2009, 6, 3));
  QCOMPARE(rig.edit("WEight_Goal")->text(), QString("150.0"));
}

void WeightTest::showingDateNeverStoresPreviousWeight_data() {
  QTest::addColumn<QDate>("next");
  QTest::addColumn<QString>("shownThere");
  QTest::newRow("next day, no entry") << QDate(2009, 2, 11) << "0.0";
  QTest::newRow("other month with a goal file") << QDate(2009, 5, 2) << "0.0";
  QTest::newRow("other year") << QDate(2010, 3, 5) << "0.0";
  QTest::newRow("day with its own weight") << QDate(2009, 3, 20) << "156.2";
}

void WeightTest::showingDateNeverStoresPreviousWeight() {
  QFETCH(QDate, next);
  QFETCH(QString, shownThere);
  Rig rig;
  rig.copyFixture("2009.txt");
  rig.copyFixture("Y2009M5.ini");
  const QDate first(2009, 2, 10);
  rig.view.ShowDate(first);
  rig.type("Weight_Today", "188.5");

  // As the main window does: save, then show.
  rig.view.SaveBeforeDateChange();
  rig.view.ShowDate(next);
  QCOMPARE(rig.edit("Weight_Today")->text(), shownThere);
  QCOMPARE(rig.yearCell(2009, first), QString("188.5"));
  const QString stored = rig.yearCell(next.year(), next);
  QVERIFY2(stored != "188.5", qPrintable(stored));
  IniFile ini(WeightGoalPath(rig.weightFolder(), next.year(), next.month()));
  QVERIFY(ini.ReadString(WeightGoalSection(next.month()), QString("D%1").arg(next.day()), "") !=
          "188.5");

  // Leaving the new date stores nothing it only showed, never the earlier weight: a day
  // without an entry stays without one.
  rig.view.SaveBeforeDateChange();
  const QString expected = shownThere == "0.0" ? "" : shownThere;
  QCOMPARE(rig.yearCell(next.year(), next).trimmed(), expected);
}

void WeightTest::yearFileBytesAfterSave_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("cell");
  QTest::newRow("whole") << "150" << "150";
  QTest::newRow("decimal") << "145.5" << "145.5";
  QTest::newRow("trailing zero") << "150.0" << "150";
}

void WeightTest::yearFileBytesAfterSave() {
  QFETCH(QString, typed);
  QFETCH(QString, cell);
  Rig rig;
  rig.view.ShowDate(QDate(2009, 1, 2));
  rig.type("Weight_Today", typed);
  const QStringList lines = rig.yearLines(2009);
  QCOMPARE(lines.size(), 367);  // 366 rows, each ending in CR LF
  QCOMPARE(lines.last(), QString());
  QCOMPARE(lines.at(0), QString("Weight,Hours,Minutes,,,,,,,"));
  QCOMPARE(lines.at(1), QString("\"January 1\",,,,,,,,,"));
  QCOMPARE(lines.at(2), QString("\"January 2\",%1,,,,,,,,").arg(cell));
  QCOMPARE(lines.at(365), QString("\"December 31\",,,,,,,,,"));
}

void WeightTest::goalFileKeys() {
  Rig rig;
  rig.view.ShowDate(QDate(2009, 5, 3));
  rig.type("WEight_Goal", "141");
  rig.type("Weight_Today", "145.5");
  QFile f(rig.weightFolder() + "Y2009M5.ini");
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), QByteArray("[M5]\r\nD3=145.5\r\nGoal=141\r\n"));
}

void WeightTest::clearStoresZero() {
  Rig rig;
  rig.copyFixture("2009.txt");
  const QDate day(2009, 3, 5);
  rig.view.ShowDate(day);
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("159.2"));
  QVERIFY(rig.view.IsDayMarked(day));
  QCOMPARE(rig.historySeries()->count(), 28);

  rig.button("UserClear")->click();
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("0.0"));
  QCOMPARE(rig.view.Model().WeightText(day.dayOfYear()), QString("0"));
  QVERIFY(!rig.view.IsDayMarked(day));
  QCOMPARE(rig.historySeries()->count(), 27);
  // Clearing alone writes nothing; the next save does.
  QCOMPARE(rig.yearCell(2009, day), QString("159.2"));
  rig.view.SaveWeight();
  QCOMPARE(rig.yearCell(2009, day), QString("0"));

  // Shown afresh, the cleared day is neither a mark nor a point.
  WeightView again(&rig.host);
  again.ShowDate(day);
  QVERIFY(!again.IsDayMarked(day));
  QVERIFY(again.IsDayMarked(QDate(2009, 3, 6)));
  QCOMPARE(again.Model().History().size(), 27);
}

void WeightTest::saveButton() {
  Rig rig;
  rig.view.ShowDate(QDate(2009, 3, 5));
  rig.edit("Weight_Today")->setText("152.5");  // not an edit: nothing saved yet
  QVERIFY(!QFile::exists(rig.weightFolder() + "2009.txt"));
  rig.button("save_weight")->click();
  QCOMPARE(rig.env.messageTexts(), QStringList{"Weight Saved"});
  QCOMPARE(rig.yearCell(2009, QDate(2009, 3, 5)), QString("152.5"));
  QCOMPARE(rig.historySeries()->count(), 1);
  QCOMPARE(rig.historySeries()->at(0).y(), 152.5);
}

void WeightTest::nothingSavedBeforeFirstShow() {
  Rig rig;
  rig.view.SaveBeforeDateChange();
  rig.type("Weight_Today", "180");
  QVERIFY(QDir(rig.weightFolder()).entryList(QDir::Files).isEmpty());
  QVERIFY(!rig.view.IsDayMarked(QDate::currentDate()));
}

// Views save nothing when they go away; a focused field losing its widget must not
// reach a half-destroyed view.
void WeightTest::closingSavesNothing() {
  TestEnv env;
  FakeHost host;
  auto* view = new WeightView(&host);
  view->show();
  QApplication::setActiveWindow(view);
  view->ShowDate(QDate(2009, 3, 5));
  auto* weight = view->findChild<QLineEdit*>("Weight_Today");
  weight->setFocus();
  QVERIFY(weight->hasFocus());
  weight->selectAll();
  QTest::keyClicks(weight, "170");
  QDir folder(host.Dir().WeightFolder());
  for (const QString& f : folder.entryList(QDir::Files)) QVERIFY(folder.remove(f));
  delete view;
  QVERIFY(folder.entryList(QDir::Files).isEmpty());
}

void WeightTest::leapYearLastDayKept() {
  Rig rig;
  const QDate last(2008, 12, 31);
  rig.view.ShowDate(last);
  rig.type("Weight_Today", "150");
  const QStringList lines = rig.yearLines(2008);
  QCOMPARE(lines.size(), 368);  // 367 rows: the header and 366 days
  QCOMPARE(lines.at(366), QString("\"December 31\",150,,,,,,,,"));
  QCOMPARE(lines.at(365), QString("\"December 30\",,,,,,,,,"));

  WeightView again(&rig.host);
  again.ShowDate(last);
  QCOMPARE(again.findChild<QLineEdit*>("Weight_Today")->text(), QString("150.0"));
  QVERIFY(again.IsDayMarked(last));
}

void WeightTest::unwritableYearFile() {
  Rig rig;
  const QDate day(2009, 3, 5);
  rig.view.ShowDate(day);
  const QString folder = rig.weightFolder();
  const QString yearPath = rig.view.Model().YearPath();
  // A regular file where the Weight folder was: nothing can be created under it.
  QVERIFY(QDir(folder).removeRecursively());
  {
    QFile blocker(QDir::cleanPath(folder));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
  }
  rig.type("Weight_Today", "180");
  // One box for the failure, not one per keystroke.
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors().first().startsWith("Cannot create file \"" + yearPath + "\". "),
           qPrintable(rig.errors().first()));
  // The view keeps what it holds.
  QCOMPARE(rig.view.Model().WeightText(day.dayOfYear()), QString("180"));

  // An explicit save reports again and does not claim success.
  rig.button("save_weight")->click();
  QCOMPARE(rig.errors().size(), 2);
  QVERIFY(!rig.env.messageTexts().contains("Weight Saved"));

  // Once the folder is back, the next save writes what the view held.
  QVERIFY(QFile::remove(QDir::cleanPath(folder)));
  QVERIFY(QDir().mkpath(folder));
  rig.button("save_weight")->click();
  QVERIFY(rig.env.messageTexts().contains("Weight Saved"));
  QCOMPARE(rig.yearCell(2009, day), QString("180"));
  IniFile ini(folder + "Y2009M3.ini");
  QCOMPARE(ini.ReadString("M3", "Goal", ""), QString("175"));
}

void WeightTest::unreadableYearFileIsNotReplaced() {
  Rig rig;
  // A folder where the year file belongs cannot be read as a file.
  QVERIFY(QDir().mkpath(rig.weightFolder() + "2009.txt"));
  rig.view.ShowDate(QDate(2009, 3, 5));
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors().first().startsWith("Cannot open file \"" + rig.weightFolder() + "2009.txt\""),
           qPrintable(rig.errors().first()));
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("0.0"));
  // The first save that would replace it is refused, and says so once.
  rig.type("Weight_Today", "180");
  QCOMPARE(rig.errors().size(), 2);
  QVERIFY(rig.errors().last().startsWith("Cannot create file \"" + rig.weightFolder() +
                                         "2009.txt\". It could not be read"));
  rig.button("save_weight")->click();
  QCOMPARE(rig.errors().size(), 2);
  QVERIFY(!rig.env.messageTexts().contains("Weight Saved"));
  QVERIFY(QFileInfo(rig.weightFolder() + "2009.txt").isDir());
}

// The month's goal file cannot be read: the goal shows the default, the weight still
// reaches the year file, but the goal file is never replaced by one holding only the new
// day, and "Weight Saved" is never said while a file was refused.
void WeightTest::unreadableGoalFileIsNeverReplaced() {
  Rig rig;
  rig.copyFixture("Y2009M5.ini");
  const QString goal = rig.weightFolder() + "Y2009M5.ini";
  if (!MakeUnreadable(goal)) QSKIP("this process reads files of any mode");
  rig.view.ShowDate(QDate(2009, 5, 2));
  QCOMPARE(rig.errors(), QStringList{CannotOpenMessage(goal, "Permission denied")});
  QCOMPARE(rig.edit("WEight_Goal")->text(), QString("150.0"));
  rig.type("Weight_Today", "180");
  QCOMPARE(rig.errors().size(), 2);
  QVERIFY2(rig.errors().last().startsWith("Cannot create file \"" + goal + "\". It could not be "
                                          "read (Permission denied)"),
           qPrintable(rig.errors().last()));
  rig.button("save_weight")->click();
  // Other days of the month read and save it again: nothing more is said.
  for (int day = 3; day <= 6; ++day) {
    rig.view.SaveBeforeDateChange();
    rig.view.ShowDate(QDate(2009, 5, day));
    rig.type("Weight_Today", "181");
  }
  QCOMPARE(rig.errors().size(), 2);
  QVERIFY(!rig.env.messageTexts().contains("Weight Saved"));
  QCOMPARE(rig.yearCell(2009, QDate(2009, 5, 2)), QString("180"));
  MakeReadable(goal);
  QCOMPARE(Bytes(goal), Bytes(TestEnv::testData("weight/Y2009M5.ini")));
}

// A full disk (the file size limit cuts every write short): both files keep their old
// bytes, the user hears why, and "save" does not claim success.
void WeightTest::fullDiskKeepsBothFiles() {
  Rig rig;
  rig.copyFixture("2009.txt");
  rig.copyFixture("Y2009M5.ini");
  const QString year = rig.weightFolder() + "2009.txt";
  const QString goal = rig.weightFolder() + "Y2009M5.ini";
  rig.view.ShowDate(QDate(2009, 5, 2));
  QVERIFY(rig.errors().isEmpty());
  {
    FileSizeLimit full(16);
    rig.type("Weight_Today", "180");
    rig.button("save_weight")->click();
  }
  QVERIFY(!rig.env.messageTexts().contains("Weight Saved"));
  QVERIFY(!rig.errors().isEmpty());
  for (const QString& e : rig.errors())
    QVERIFY2(e.contains("File too large") && !e.contains("Unknown error"), qPrintable(e));
  QCOMPARE(Bytes(year), Bytes(TestEnv::testData("weight/2009.txt")));
  QCOMPARE(Bytes(goal), Bytes(TestEnv::testData("weight/Y2009M5.ini")));
  // Room again: the next save writes what the view held.
  rig.button("save_weight")->click();
  QVERIFY(rig.env.messageTexts().contains("Weight Saved"));
  QCOMPARE(rig.yearCell(2009, QDate(2009, 5, 2)), QString("180"));
}

// Showing a day and leaving it again stores what it shows; when that is what the year
// file holds, the file is not written at all, even one whose empty fields a save would
// write otherwise (a file never loaded and saved, as a new year starts).
void WeightTest::showingADayRewritesNothing_data() {
  QTest::addColumn<bool>("fresh");
  QTest::newRow("a year loaded and saved before") << false;
  QTest::newRow("a year written from scratch") << true;
}

void WeightTest::showingADayRewritesNothing() {
  QFETCH(bool, fresh);
  Rig rig;
  const QString year = rig.weightFolder() + "2009.txt";
  if (fresh) {
    CellGrid grid;
    InitYearGrid(grid, 2009, kWeightColumns, {"Weight", "Hours", "Minutes"});
    grid.SetCell(kWeightColumn, QDate(2009, 3, 20).dayOfYear(), "156.2");
    QVERIFY(SaveGridFile(grid, year));
  } else {
    rig.copyFixture("2009.txt");
  }
  const QByteArray before = Bytes(year);
  const quint64 inode = Inode(year);
  for (int round = 0; round < 2; ++round) {
    rig.view.ShowDate(QDate(2009, 3, 20));
    rig.view.SaveBeforeDateChange();
  }
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("156.2"));
  QCOMPARE(Inode(year), inode);
  QCOMPARE(Bytes(year), before);
  QVERIFY(rig.errors().isEmpty());
}

// A year file far beyond any year's size opens read-only, with a word said once; only
// the year's rows are held, and nothing typed is written over it.
void WeightTest::hugeYearFileOpensReadOnly() {
  Rig rig;
  const QString year = rig.weightFolder() + "2009.txt";
  QByteArray bytes = "Weight,Hours,Minutes,,,,,,,\r\n";
  while (bytes.size() <= kSaneGridBytes) bytes += "\"March 5\",150.5,,,,,,,,\r\n";
  {
    QFile f(year);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
  }
  const quint64 inode = Inode(year);
  rig.view.ShowDate(QDate(2009, 3, 5));
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors().first().startsWith("The file \"" + year + "\" is 2.0 MB, far larger "
                                           "than such a file should be."),
           qPrintable(rig.errors().first()));
  QCOMPARE(rig.view.Model().Grid().RowCount(), YearGridRowCount(2009));
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("150.5"));
  rig.type("Weight_Today", "180");
  rig.button("save_weight")->click();
  rig.view.SaveBeforeDateChange();
  rig.view.ShowDate(QDate(2009, 3, 6));
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY(!rig.env.messageTexts().contains("Weight Saved"));
  QCOMPARE(Inode(year), inode);
  QCOMPARE(QFileInfo(year).size(), bytes.size());
}

void WeightTest::calculateShowsPlanAndLines() {
  Rig rig;
  rig.view.ShowDate(QDate(2009, 3, 5));
  auto* chartView = rig.view.findChild<QChartView*>("target_Graph");
  QVERIFY(chartView->isHidden());
  QVERIFY(rig.label("lblCalories")->isHidden());
  rig.type("Weight_Today", "180");
  rig.type("WEight_Goal", "170");
  rig.button("SpeedButton1")->click();
  QVERIFY(chartView->isVisible());
  QVERIFY(rig.label("lblCalories")->isVisible());
  QVERIFY(rig.label("ui_days_left")->isVisible());
  QCOMPARE(rig.label("ui_days_left")->text(), QString("You need to lose 0.3 lbs/day "));
  QCOMPARE(rig.label("lblCalories")->text(), QString("... you need a deficit of 1166 Calories/day"));

  QAreaSeries* area = nullptr;
  QLineSeries* target = nullptr;
  for (QAbstractSeries* s : chartView->chart()->series()) {
    if (auto* a = qobject_cast<QAreaSeries*>(s)) area = a;
    if (auto* l = qobject_cast<QLineSeries*>(s); l && l->name() == "Target") target = l;
  }
  QVERIFY(area && target);
  QCOMPARE(area->upperSeries()->count(), 31);
  QCOMPARE(area->upperSeries()->at(0).y(), 180.0);
  QCOMPARE(area->upperSeries()->at(30).y(), 170.0);
  QCOMPARE(target->count(), 31);
  QCOMPARE(target->pen().width(), 2);
  QCOMPARE(area->brush().color(), QColor(255, 224, 255));

  // Typed key by key: "1", "18", then the goal is met and the rate line keeps the last rate.
  rig.type("WEight_Goal", "180");
  QCOMPARE(rig.label("lblCalories")->text(),
           QString(" Congratulations, you have achieved your weight goal!!!!"));
  QCOMPARE(rig.label("ui_days_left")->text(), QString("You need to lose 5.4 lbs/day "));
}

void WeightTest::daysZeroWhileTypingKeepsLines() {
  Rig rig;
  rig.view.ShowDate(QDate(2009, 3, 5));
  rig.type("Weight_Today", "180");
  rig.type("WEight_Goal", "170");
  rig.button("SpeedButton1")->click();
  rig.type("days_diet", "0");
  QCOMPARE(rig.label("ui_days_left")->text(), QString("You need to lose 0.3 lbs/day "));
  QCOMPARE(rig.label("lblCalories")->text(), QString("... you need a deficit of 1166 Calories/day"));
  QTest::keyClicks(rig.edit("days_diet"), "5");  // "05"
  QCOMPARE(rig.label("ui_days_left")->text(), QString("You need to lose 2.0 lbs/day "));
}

void WeightTest::fieldLimits_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("left");
  QTest::newRow("days above") << "days_diet" << "1500" << "1000";
  QTest::newRow("days at the top") << "days_diet" << "1000" << "1000";
  QTest::newRow("days zero") << "days_diet" << "0" << "1";
  QTest::newRow("days empty") << "days_diet" << "" << "1";
  QTest::newRow("days inside") << "days_diet" << "45" << "45";
  QTest::newRow("height below") << "BMI_Height" << "30" << "55";
  QTest::newRow("height above") << "BMI_Height" << "300" << "255";
  QTest::newRow("height inside") << "BMI_Height" << "180" << "180";
}

void WeightTest::fieldLimits() {
  QFETCH(QString, field);
  QFETCH(QString, typed);
  QFETCH(QString, left);
  Rig rig;
  rig.view.ShowDate(QDate(2009, 3, 5));
  const QByteArray name = field.toLatin1();
  rig.edit(name)->setText("9");
  rig.type(name, typed);
  QCOMPARE(rig.edit(name)->text(), typed);
  rig.leave(name);
  QCOMPARE(rig.edit(name)->text(), left);
}

void WeightTest::bmiButton_data() {
  QTest::addColumn<QString>("units");
  QTest::addColumn<QString>("height");
  QTest::addColumn<QString>("weight");
  QTest::addColumn<QString>("index");
  QTest::addColumn<QString>("warning");
  QTest::addColumn<QPoint>("arrow");
  QTest::newRow("imperial") << "I" << "72" << "180" << "24" << "> Ideal weight" << QPoint(85, 136);
  QTest::newRow("metric") << "M" << "170" << "95" << "32" << "> Obese" << QPoint(109, 172);
  QTest::newRow("off the scale") << "M" << "255" << "20" << "3" << "> Starving" << QPoint(8, 32);
}

void WeightTest::bmiButton() {
  QFETCH(QString, units);
  QFETCH(QString, height);
  QFETCH(QString, weight);
  QFETCH(QString, index);
  QFETCH(QString, warning);
  QFETCH(QPoint, arrow);
  Rig rig;
  rig.host.Settings().MeasureUnits = units;
  rig.view.ShowDate(QDate(2009, 3, 5));
  rig.view.findChild<QTabWidget*>("pg")->setCurrentIndex(2);
  rig.type("BMI_Height", height);
  rig.type("Weight_Today", weight);
  rig.button("Button1")->click();
  QCOMPARE(rig.label("BMI_Index")->text(), index);
  QCOMPARE(rig.label("BMI_Warning")->text(), warning);
  QLabel* arrowLabel = rig.label("arrow");
  QVERIFY(arrowLabel->isVisible());
  QCOMPARE(arrowLabel->pos(), arrow);
  // The picture sits at the tab's origin, so the arrow's tip is on it.
  QCOMPARE(rig.label("BMI_Picture")->pos(), QPoint(0, 0));
  // Leaving the date copies the height into the configuration.
  rig.view.SaveBeforeDateChange();
  QCOMPARE(rig.host.Settings().BmiHeight, height.toInt());
}

// A weight typed is in the history chart and marked on the month grid at once.
void WeightTest::typedWeightReachesHistoryAndMarks() {
  Rig rig;
  rig.view.ShowDate(QDate(2009, 3, 5));
  QCOMPARE(rig.historySeries()->count(), 0);
  const int before = rig.host.marksChangedCalls;
  rig.type("Weight_Today", "142.5");
  QCOMPARE(rig.historySeries()->count(), 1);
  QCOMPARE(rig.historySeries()->at(0).y(), 142.5);
  QVERIFY(rig.view.IsDayMarked(QDate(2009, 3, 5)));
  QVERIFY(rig.host.marksChangedCalls > before);
}

// A day without a weight shows no body-mass index, no plan and no calorie advice,
// rather than figures computed from a weight of 0.
void WeightTest::dayWithoutWeightShowsNoPlanOrIndex() {
  Rig rig;
  rig.view.ShowDate(QDate(2009, 3, 5));
  auto* pg = rig.view.findChild<QTabWidget*>("pg");
  rig.type("Weight_Today", "150");
  pg->setCurrentIndex(2);
  rig.button("Button1")->click();
  QVERIFY(!rig.label("BMI_Index")->text().isEmpty());
  QVERIFY(!rig.label("lblCalories")->text().isEmpty());

  rig.view.ShowDate(QDate(2009, 3, 6));
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("0.0"));
  QCOMPARE(rig.label("BMI_Index")->text(), QString());
  QCOMPARE(rig.label("BMI_Warning")->text(), QString());
  QVERIFY(rig.label("arrow")->isHidden());
  QCOMPARE(rig.label("ui_days_left")->text(), QString());
  QCOMPARE(rig.label("lblCalories")->text(), QString());
  auto* chart = rig.view.findChild<QChartView*>("target_Graph")->chart();
  for (QAbstractSeries* series : chart->series())
    if (auto* line = qobject_cast<QLineSeries*>(series)) QCOMPARE(line->count(), 0);
  // Calculate on such a day shows nothing either.
  rig.button("Button1")->click();
  QCOMPARE(rig.label("BMI_Warning")->text(), QString());
}



// --- other languages, other units, a new year -------------------------------------

struct LocaleScope {
  explicit LocaleScope(const QString& name) { QLocale::setDefault(QLocale(name)); }
  ~LocaleScope() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

void WeightTest::recordsReadTheSameInEveryLocale_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QString>("shown");     // 159.2 in her format
  QTest::addColumn<QString>("goal");      // 145.5
  QTest::addColumn<QString>("typed");     // 160.5 as she types it
  QTest::newRow("de_DE") << "de_DE" << "159,2" << "145,5" << "160,5";
  QTest::newRow("fr_FR") << "fr_FR" << "159,2" << "145,5" << "160,5";
  QTest::newRow("en_US") << "en_US" << "159.2" << "145.5" << "160.5";
}

// Records made under en_US show right in another language, showing them writes
// nothing, and what she types there is stored with "." as ever.
void WeightTest::recordsReadTheSameInEveryLocale() {
  QFETCH(QString, locale);
  QFETCH(QString, shown);
  QFETCH(QString, goal);
  QFETCH(QString, typed);
  Rig rig;
  rig.copyFixture("2009.txt");
  rig.copyFixture("Y2009M5.ini");
  const QString year = rig.weightFolder() + "2009.txt";
  const QString month = rig.weightFolder() + "Y2009M5.ini";
  const QByteArray yearBefore = Bytes(year), monthBefore = Bytes(month);
  // The program starts in her language: the view is made under it.
  LocaleScope scope(locale);
  WeightView view(&rig.host);
  view.show();
  auto* weight = view.findChild<QLineEdit*>("Weight_Today");
  view.ShowDate(QDate(2009, 3, 5));
  QCOMPARE(weight->text(), shown);
  view.SaveBeforeDateChange();
  view.ShowDate(QDate(2009, 5, 3));
  QCOMPARE(view.findChild<QLineEdit*>("WEight_Goal")->text(), goal);
  view.SaveBeforeDateChange();
  view.ShowDate(QDate(2009, 3, 6));
  view.SaveBeforeDateChange();
  QCOMPARE(Bytes(year), yearBefore);
  QCOMPARE(Bytes(month), monthBefore);
  view.ShowDate(QDate(2009, 5, 3));
  weight->selectAll();
  QTest::keyClicks(weight, typed);
  QTest::keyClick(weight, Qt::Key_Return);
  QCOMPARE(rig.yearCell(2009, QDate(2009, 5, 3)), QString("160.5"));
  // Typing 160.5 raised the goal to 155.5, five below it.
  QCOMPARE(Bytes(month), QByteArray("[M5]\r\nD2=151\r\nGoal=155.5\r\nD3=160.5\r\n"));
  QVERIFY(rig.errors().isEmpty());
}

// Metric after records kept in pounds: every number shown is converted into the unit
// it is labelled with, and the index is the same in either system.
void WeightTest::otherUnitsConvertWhatIsShown() {
  Rig rig;
  rig.copyFixture("2009.txt");
  const QDate day(2009, 3, 5);  // 159.2 lbs, 72 inches tall
  rig.view.ShowDate(day);
  rig.button("Button1")->click();
  QCOMPARE(rig.label("BMI_Index")->text(), QString("21"));
  QCOMPARE(rig.label("BMI_Warning")->text(), QString("> Ideal weight"));

  rig.host.Settings().MeasureUnits = "M";
  QVERIFY(rig.host.Settings().SaveSettings());
  const QByteArray before = Bytes(rig.weightFolder() + "2009.txt");
  rig.view.ShowDate(day);
  QCOMPARE(rig.label("weight_label1")->text(), QString("kg"));
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("72.2"));  // 159.2 lbs
  // Shown first in pounds, 159.2 raised the goal to 154.2 lbs.
  QCOMPARE(rig.edit("WEight_Goal")->text(), QString("69.9"));
  QCOMPARE(rig.edit("BMI_Height")->text(), QString("183"));     // 72 inches
  QCOMPARE(rig.label("height_short")->text(), QString("cm"));
  rig.button("Button1")->click();
  QCOMPARE(rig.label("BMI_Index")->text(), QString("21"));
  QCOMPARE(rig.label("BMI_Warning")->text(), QString("> Ideal weight"));
  // The history is in kilograms too.
  QCOMPARE(rig.historySeries()->count(), 28);
  QCOMPARE(rig.historySeries()->at(0).y(), 160 * 0.45359237);
  // Looking, and leaving, converted nothing on disk: the height stays 72 inches.
  rig.view.SaveBeforeDateChange();
  rig.view.ShowDate(day.addDays(1));
  rig.view.SaveBeforeDateChange();
  QCOMPARE(Bytes(rig.weightFolder() + "2009.txt"), before);
  QCOMPARE(rig.host.Settings().BmiHeight, 72);
  QVERIFY(rig.host.Settings().BmiHeightUnits == UnitSystem::Imperial);
  QVERIFY(rig.host.Settings().SaveSettings());
  IniFile config(rig.host.Settings().path());
  QCOMPARE(config.ReadString("BMI", "Height", ""), QString("72"));
  QVERIFY(!config.ValueExists("BMI", "Height_Units"));
  QCOMPARE(config.ReadString("Application", "Unmarked_Units", ""), QString("I"));
}

// A weight typed in kilograms is stored as typed, with its unit beside it; the file
// keeps the pounds of every other day, and each reads right in either system.
void WeightTest::recordsKeepTheUnitTheyWereWrittenIn() {
  Rig rig;
  rig.copyFixture("2009.txt");
  rig.host.Settings().MeasureUnits = "M";
  QVERIFY(rig.host.Settings().SaveSettings());
  const QDate day(2009, 3, 5);
  rig.view.ShowDate(day);
  rig.type("Weight_Today", "70");
  rig.type("WEight_Goal", "69");
  rig.type("BMI_Height", "170");
  rig.leave("BMI_Height");
  rig.view.SaveWeight();
  const QStringList lines = rig.yearLines(2009);
  QCOMPARE(lines.at(0), QString("Weight,Hours,Minutes,Unit,\" \",\" \",\" \",\" \",\" \",\" \""));
  QCOMPARE(lines.at(day.dayOfYear()), QString("\"March 5\",70,\" \",kg,\" \",\" \",\" \",\" \",\" \",\" \""));
  QCOMPARE(lines.at(day.dayOfYear() + 1), QString("\"March 6\",159,\" \",\" \",\" \",\" \",\" \",\" \",\" \",\" \""));
  QCOMPARE(Bytes(rig.weightFolder() + "Y2009M3.ini"), QByteArray("[M3]\r\nD5=70\r\nUnit=kg\r\nGoal=69\r\n"));
  QVERIFY(rig.host.Settings().SaveSettings());
  IniFile config(rig.host.Settings().path());
  QCOMPARE(config.ReadString("BMI", "Height", ""), QString("170"));
  QCOMPARE(config.ReadString("BMI", "Height_Units", ""), QString("cm"));

  // Back in pounds: the day reads 154.3, the others as they always did.
  rig.host.Settings().MeasureUnits = "I";
  rig.view.ShowDate(day);
  QCOMPARE(rig.edit("Weight_Today")->text(), QString("154.3"));
  QCOMPARE(rig.edit("WEight_Goal")->text(), QString("152.1"));
  QCOMPARE(rig.edit("BMI_Height")->text(), QString("67"));
  QCOMPARE(rig.historySeries()->at(4).y(), 70 / 0.45359237);
  QCOMPARE(rig.historySeries()->at(5).y(), 159.0);
  // The goal file keeps one unit: a goal typed in pounds brings its numbers along.
  rig.type("WEight_Goal", "140");
  QCOMPARE(Bytes(rig.weightFolder() + "Y2009M3.ini"),
           QByteArray("[M3]\r\nD5=154.3\r\nGoal=140\r\n"));
  rig.type("Weight_Today", "160");
  QCOMPARE(rig.yearLines(2009).at(day.dayOfYear()),
           QString("\"March 5\",160,\" \",,\" \",\" \",\" \",\" \",\" \",\" \""));
}

// A weight or goal that is no number is shown as unreadable and stays in its file
// until she types over it; it is never replaced by the 0 or the 150 shown for it.
void WeightTest::unreadableValuesAreShownAndKept() {
  Rig rig;
  rig.copyFixture("2009.txt");
  QVERIFY(WriteFileBytes(rig.weightFolder() + "Y2009M3.ini", "[M3]\r\nGoal=lots\r\n", nullptr));
  const QDate day(2009, 3, 12);  // "abc"
  rig.view.ShowDate(day);
  QLineEdit* weight = rig.edit("Weight_Today");
  QCOMPARE(weight->text(), QString());
  QCOMPARE(weight->placeholderText(), QString("unreadable"));
  QVERIFY(weight->toolTip().contains("\"abc\""));
  QCOMPARE(rig.edit("WEight_Goal")->text(), QString());
  QCOMPARE(rig.edit("WEight_Goal")->placeholderText(), QString("unreadable"));
  QVERIFY(rig.view.IsDayMarked(day));
  rig.view.SaveBeforeDateChange();
  rig.view.ShowDate(day.addDays(1));
  rig.type("Weight_Today", "180");  // no goal below it to raise: "lots" stays
  rig.view.SaveBeforeDateChange();
  rig.view.ShowDate(day);
  rig.button("save_weight")->click();
  QCOMPARE(rig.yearCell(2009, day), QString("abc"));
  QCOMPARE(IniFile(rig.weightFolder() + "Y2009M3.ini").ReadString("M3", "Goal", ""), QString("lots"));
  // Typed over, they are replaced.
  rig.type("Weight_Today", "158");
  rig.type("WEight_Goal", "150");
  QCOMPARE(rig.yearCell(2009, day), QString("158"));
  QCOMPARE(IniFile(rig.weightFolder() + "Y2009M3.ini").ReadString("M3", "Goal", ""), QString("150"));
  QCOMPARE(weight->placeholderText(), QString());
}

// On 2 January the history still shows December: it reaches a year back from the day
// shown, across the year files, and writes none of them.
void WeightTest::historyReachesBackOverNewYear() {
  Rig rig;
  CellGrid before;
  InitYearGrid(before, 2008, kWeightColumns, {"Weight", "Hours", "Minutes"});
  before.SetCell(kWeightColumn, QDate(2008, 12, 6).dayOfYear(), "161");
  before.SetCell(kWeightColumn, QDate(2008, 12, 30).dayOfYear(), "162.5");
  before.SetCell(kWeightColumn, QDate(2008, 1, 2).dayOfYear(), "170");  // over a year back
  QVERIFY(SaveGridFile(before, rig.weightFolder() + "2008.txt"));
  const QByteArray bytes = Bytes(rig.weightFolder() + "2008.txt");
  rig.view.ShowDate(QDate(2009, 1, 2));
  rig.type("Weight_Today", "163");
  QLineSeries* history = rig.historySeries();
  QCOMPARE(history->count(), 3);
  QCOMPARE(history->at(0), QPointF(QDateTime(QDate(2008, 12, 6), QTime(0, 0)).toMSecsSinceEpoch(), 161));
  QCOMPARE(history->at(2).y(), 163.0);
  QCOMPARE(Bytes(rig.weightFolder() + "2008.txt"), bytes);
  QCOMPARE(rig.view.Model().History(QDate(2008, 1, 1), QDate(2009, 12, 31)).size(), 4);
}

QTEST_MAIN(WeightTest)
#include "test_weight.moc"
