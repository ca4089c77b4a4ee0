// The calorie tracker: the day's meal files, the totals and energy shares, the year's
// history and its graph, the picks from the food database and the food lists, and the
// view that edits them.

#include <QAbstractItemModel>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTabBar>
#include <QtTest>
#include <sys/stat.h>

#include "app/datafolders.h"
#include "core/clock.h"
#include "core/gridfile.h"
#include "nutrition/mealday.h"
#include "nutrition/widgets/foodlistswindow.h"
#include "nutrition/widgets/foodpickers.h"
#include "nutrition/widgets/mealdiaryview.h"
#include "shell/mainwindow.h"
#include "support/fakehost.h"
#include "support/testenv.h"

namespace {

const QDate kDay(2009, 3, 14);
const QString kHeader = "Food,Calories,\"Carbs g\",\"Prot g\",\"Fat g\"";

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<none>";
  return f.readAll();
}

QStringList ReadLines(const QString& path) {
  QStringList lines = QString::fromUtf8(ReadBytes(path)).split("\r\n");
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

QStringList Row(const CellGrid& grid, int row, int cols = kMealColumns) {
  QStringList out;
  for (int c = 0; c < cols; ++c) out << grid.Cell(c, row);
  return out;
}

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

// A day's diary over a fresh Food folder.
struct Day {
  TestEnv env;
  FakeHost host;
  MealDay day{host.Dir().FoodFolder()};

  QString folder() const { return host.Dir().FoodFolder(); }
  void copyFixture(const QString& file, const QString& as = QString()) {
    QVERIFY(QFile::copy(TestEnv::testData("nutrition/" + file),
                        folder() + (as.isEmpty() ? QFileInfo(file).fileName() : as)));
  }
  // Writes a food into the first free rows of a meal.
  void eat(int meal, const QStringList& cells) {
    CellGrid& g = day.MealGrid(meal);
    int row = 1;
    while (row < g.RowCount() && !g.Cell(0, row).trimmed().isEmpty()) ++row;
    for (int c = 0; c < cells.size(); ++c) day.SetCell(meal, c, row, cells.at(c));
  }
};

// The view over a fresh data folder, shown at its panel's size.
struct Rig {
  TestEnv env;
  FakeHost host;
  MealDiaryView view{&host};
  QList<QString> databaseKeywords;
  std::optional<FoodPick> databaseAnswer;
  QList<QString> listsKeywords;
  std::optional<FoodPick> listsAnswer;

  Rig() {
    host.viewName = "eat";
    SetFoodDatabasePicker([this](QWidget*, const QString& keyword) {
      databaseKeywords << keyword;
      return databaseAnswer;
    });
    SetFoodListsPicker([this](QWidget*, const QString& keyword, bool) {
      listsKeywords << keyword;
      return listsAnswer;
    });
    view.resize(617, 445);
    view.show();
    view.activateWindow();
    // Focus moves only in the active window.
    QCoreApplication::processEvents();
    QVERIFY(view.isActiveWindow());
  }
  ~Rig() {
    SetFoodDatabasePicker({});
    SetFoodListsPicker({});
  }
  QString folder() const { return host.Dir().FoodFolder(); }
  QString mealPath(const QDate& d, int meal) const { return MealFilePath(folder(), d, meal); }
  void copyFixture(const QString& file) {
    QVERIFY(QFile::copy(TestEnv::testData("nutrition/" + file), folder() + file));
  }
  QTabWidget* pg() { return view.findChild<QTabWidget*>("pg"); }
  QTableView* grid(const QString& name) { return view.findChild<QTableView*>(name); }
  QLabel* label(const QString& name) { return view.findChild<QLabel*>(name); }
  QLineEdit* search() { return view.findChild<QLineEdit*>("Fridge_Search"); }
  QAbstractButton* button(const QString& name) { return view.findChild<QAbstractButton*>(name); }
  // Types a text into a cell through its editor and finishes the edit with Tab.
  void type(const QString& gridName, int col, int row, const QString& text,
            Qt::Key finish = Qt::Key_Tab) {
    QTableView* t = grid(gridName);
    const QModelIndex idx = t->model()->index(row - 1, col);
    t->setFocus();
    t->setCurrentIndex(idx);
    t->edit(idx);
    auto* editor = qobject_cast<QLineEdit*>(t->indexWidget(idx));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    if (finish != Qt::Key_unknown) QTest::keyClick(editor, finish);
    QCoreApplication::processEvents();
  }
  QStringList errors() const {
    QStringList out;
    for (const auto& m : env.messages)
      if (m.kind == MessageKind::Error) out << m.text;
    return out;
  }
};

}  // namespace

class MealDiaryTest : public QObject {
  Q_OBJECT
 private slots:
  // --- the day's records and figures ---
  void breakfastExample();
  void nothingEaten();
  void emptiedDayLeavesTheHistory();
  void zeroDaysOfEarlierVersionsDoNotLowerTheAverage();
  void columnSums_data();
  void columnSums();
  void percentOf_data();
  void percentOf();
  void longNamesAreCutWhenShown_data();
  void longNamesAreCutWhenShown();
  void loadRefreshesTotalsWithoutWriting();
  void saveComputesTotalsFirst();
  void savedBytes();
  void anEditRewritesOnlyWhatChanged();
  void namesInAnyLanguageSurvive();
  void windowsFileReadsRight();
  void shortFileStillLeavesRowsToType();
  void insertTopRow();
  void historyGraph_data();
  void historyGraph();
  void historyGraphReachesIntoTheYearBefore();
  void historyRows_data();
  void historyRows();
  void marksOnlyTheViewedYear();
  void heldHistoryIsWrittenOnceAYear();
  void unreadableFileIsNeverReplaced();
  void unwritableFileIsReported();

  // --- the view ---
  void showDateShowsTheDay();
  void lookingWritesNothing();
  void typingThenChangingDateWritesEarlierDate();
  void leavingTheViewSavesWhatWasTyped();
  void databasePickPlace_data();
  void databasePickPlace();
  void emptyDatabasePickChangesNothing();
  void foodListsPickIsWrittenAtOnce();
  void closedFoodListsChangeNothing();
  void deleteAndMoveButtons();
  void escapeRestoresTheCell();
  void pageChangeRecomputesAndSaves();
  void historyPageShowsSevenDays();
  void searchBoxClick();
  void saveButtonReportsEveryFailure();
  void marksRedrawWhenTheDayGainsARecord();
  void inTheMainWindow();
  void tabsFitAfterAThemeChange();
};

// --- the day's records and figures --------------------------------------------------

void MealDiaryTest::breakfastExample() {
  Day d;
  d.copyFixture("Y2009M3D14-Breakfast.txt");
  QVERIFY(d.day.LoadDay(kDay));
  d.day.RecomputeTotals();
  const MealTotals& t = d.day.Totals();
  QCOMPARE(t.mealLabels[0], QString("Breakfast: 300 Calories or 100% of Day Total 300 Calories"));
  QCOMPARE(t.mealLabels[1], QString("Lunch: 0 Calories or 0% of Day Total 300 Calories"));
  // Fat yields 9 kilocalories per gram.
  QCOMPARE(t.energy, qint64(290));
  QCOMPARE(Row(d.day.SumGrid(), 1), QStringList({"TOTAL", "300", "55%", "13%", "31%"}));
  QCOMPARE(t.factFatCalories, QString("90"));
  QCOMPARE(t.factFatPercent, QString("15%"));
  QCOMPARE(t.factCarbsPercent, QString("13%"));
  QCOMPARE(t.factProteinPercent, QString("20%"));
  QCOMPARE(t.factCalories, QString("300"));
  QCOMPARE(t.factCarbs, QString("40g"));
  QCOMPARE(t.factProtein, QString("10g"));
  QCOMPARE(t.factFat, QString("10g"));
  QCOMPARE(t.mealShares, (std::array<int, 4>{100, 0, 0, 0}));

  const CellGrid& total = d.day.TotalGrid();
  QCOMPARE(total.RowCount(), 8);
  QCOMPARE(Row(total, 0), QStringList({"Food", "Calories", "Carbs g", "Prot g", "Fat g"}));
  QCOMPARE(Row(total, 1), QStringList({"Breakfast", "300", "40", "10", "10"}));
  QCOMPARE(Row(total, 4), QStringList({"Snack", "0", "0", "0", "0"}));
  QCOMPARE(Row(total, 5), QStringList({"", "", "", "", ""}));
  QCOMPARE(Row(total, 6), QStringList({"TOTAL", "300", "40g", "10g", "10g"}));
  QCOMPARE(Row(d.day.HistoryGrid(), kDay.dayOfYear()),
           QStringList({"March 14", "300", "40", "10", "10"}));
}

void MealDiaryTest::nothingEaten() {
  Day d;
  QVERIFY(d.day.LoadDay(kDay));
  // Looking at the day neither marks it nor writes it.
  QVERIFY(!d.day.IsDayMarked(kDay));
  QCOMPARE(d.day.HistoryGrid().Cell(1, kDay.dayOfYear()), QString());
  d.day.RecomputeTotals();
  const MealTotals& t = d.day.Totals();
  for (int m = 0; m < kMealCount; ++m) {
    QCOMPARE(t.mealLabels[m], MealWord(m + 1) + ": 0 Calories or 0% of Day Total 0 Calories");
    QCOMPARE(t.mealShares[m], 0);
  }
  QCOMPARE(Row(d.day.SumGrid(), 1), QStringList({"TOTAL", "0", "0%", "0%", "0%"}));
  QCOMPARE(t.factFatCalories, QString("0"));
  QCOMPARE(t.factFatPercent, QString("0%"));
  // A day without food has no history row: it is neither marked nor counted.
  QCOMPARE(Row(d.day.HistoryGrid(), kDay.dayOfYear()), QStringList({"March 14", "", "", "", ""}));
  QVERIFY(!d.day.IsDayMarked(kDay));
  QVERIFY(d.day.SaveDay());
  QVERIFY(FilesIn(d.folder()).isEmpty());
}

// A day she empties on purpose leaves the diary: its files go and its history row is
// emptied, so it is no longer marked nor part of the year's average.
void MealDiaryTest::emptiedDayLeavesTheHistory() {
  Day d;
  QVERIFY(d.day.LoadDay(kDay.addDays(-1)));
  d.eat(1, {"Toast", "200"});
  QVERIFY(d.day.SaveDay());
  QVERIFY(d.day.LoadDay(kDay));
  d.eat(2, {"Soup", "300"});
  QVERIFY(d.day.SaveDay());
  QCOMPARE(FilesIn(d.folder()).size(), 11);  // 2 x 5 day files and the history
  QCOMPARE(d.day.HistoryGraphPoints(7).average, qint64(250));

  d.day.DeleteRow(2, 1);
  QVERIFY(!d.day.HoldsFood());
  QVERIFY(d.day.SaveDay());
  QCOMPARE(FilesIn(d.folder()), QStringList({"2009History.txt", "Y2009M3D13-Breakfast.txt",
                                             "Y2009M3D13-Dinner.txt", "Y2009M3D13-Lunch.txt",
                                             "Y2009M3D13-Snack.txt", "Y2009M3D13-Treat.txt"}));
  QVERIFY(!d.day.IsDayMarked(kDay));
  QVERIFY(d.day.IsDayMarked(kDay.addDays(-1)));
  QCOMPARE(d.day.HistoryGraphPoints(7).average, qint64(200));
  CellGrid history;
  QVERIFY(LoadGridFile(history, HistoryFilePath(d.folder(), 2009)));
  QCOMPARE(Row(history, kDay.dayOfYear()), QStringList({"March 14", " ", " ", " ", " "}));
  // Shown again, the day is empty and writes nothing.
  QVERIFY(d.day.LoadDay(kDay));
  QVERIFY(d.day.SaveDay());
  QCOMPARE(FilesIn(d.folder()).size(), 6);
}

void MealDiaryTest::columnSums_data() {
  QTest::addColumn<QStringList>("calories");
  QTest::addColumn<QString>("mealSum");
  QTest::newRow("fractions add before rounding down") << QStringList{"2.5", "2.6"} << "5";
  QTest::newRow("text and negatives ignored") << QStringList{"abc", "-50", "10"} << "10";
  QTest::newRow("spaces trimmed, empties skipped") << QStringList{" 7 ", " ", ""} << "7";
  QTest::newRow("grouped thousands are not a number") << QStringList{"1,000", "3"} << "3";
  QTest::newRow("nothing numeric") << QStringList{"x", "-1"} << "0";
  QTest::newRow("absurd amounts are held, not overflowed")
      << QStringList{"1e300", "9e18", "1e300"} << "1000000000000";
}

void MealDiaryTest::columnSums() {
  QFETCH(QStringList, calories);
  QFETCH(QString, mealSum);
  Day d;
  QVERIFY(d.day.LoadDay(kDay));
  for (const QString& c : calories) d.eat(2, {"food", c});
  d.day.RecomputeTotals();
  QCOMPARE(d.day.TotalGrid().Cell(1, 2), mealSum);
  QCOMPARE(d.day.Totals().calories, mealSum.toLongLong());
  // The cells keep what was typed.
  QCOMPARE(d.day.MealGrid(2).Cell(1, 1), calories.first());
}

void MealDiaryTest::percentOf_data() {
  QTest::addColumn<double>("part");
  QTest::addColumn<double>("whole");
  QTest::addColumn<int>("percent");
  QTest::newRow("fraction dropped") << 53.9 << 100.0 << 53;
  QTest::newRow("whole of 0") << 5.0 << 0.0 << 0;
  QTest::newRow("nothing of nothing") << 0.0 << 0.0 << 0;
  QTest::newRow("exact, no binary noise") << 29.0 << 100.0 << 29;
  QTest::newRow("a third") << 1.0 << 3.0 << 33;
  QTest::newRow("all") << 300.0 << 300.0 << 100;
  QTest::newRow("more than the reference") << 130.0 << 50.0 << 260;
}

void MealDiaryTest::percentOf() {
  QFETCH(double, part);
  QFETCH(double, whole);
  QFETCH(int, percent);
  QCOMPARE(PercentOf(part, whole), percent);
}

void MealDiaryTest::longNamesAreCutWhenShown_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("shown");
  const QString forty = "Chicken Caesar salad with croutons, big";
  QCOMPARE(forty.size() + 1, 40);
  QTest::newRow("40 characters") << forty + "!" << forty.left(37) + "...";
  QTest::newRow("37 characters") << forty.left(37) << forty.left(37);
  QTest::newRow("38 characters") << forty.left(38) << forty.left(37) + "...";
}

void MealDiaryTest::longNamesAreCutWhenShown() {
  QFETCH(QString, name);
  QFETCH(QString, shown);
  QCOMPARE(ShownFoodText(name), shown);
  Rig rig;
  rig.view.ShowDate(kDay);
  rig.type("Breakfast_Chart", 0, 1, name);
  QAbstractItemModel* m = rig.grid("Breakfast_Chart")->model();
  QCOMPARE(m->index(0, 0).data(Qt::DisplayRole).toString(), shown);
  // The cell keeps its whole text.
  QCOMPARE(m->index(0, 0).data(Qt::EditRole).toString(), name);
  QCOMPARE(rig.view.Model().MealGrid(1).Cell(0, 1), name);
}

void MealDiaryTest::loadRefreshesTotalsWithoutWriting() {
  Day d;
  d.copyFixture("Y2009M3D14-Breakfast.txt");
  d.copyFixture("Y2009M3D14-Treat.txt");
  const QByteArray treat = ReadBytes(d.folder() + "Y2009M3D14-Treat.txt");
  // The day before holds other foods.
  QVERIFY(d.day.LoadDay(kDay.addDays(-1)));
  d.eat(1, {"Toast", "500"});
  d.day.RecomputeTotals();
  QVERIFY(d.day.LoadDay(kDay));
  // The labels follow the new day at once, not the day before.
  QCOMPARE(d.day.Totals().mealLabels[0],
           QString("Breakfast: 300 Calories or 100% of Day Total 300 Calories"));
  // The stale shares of the file are replaced in memory, and nothing was written.
  QCOMPARE(Row(d.day.SumGrid(), 1), QStringList({"TOTAL", "300", "55%", "13%", "31%"}));
  QCOMPARE(ReadBytes(d.folder() + "Y2009M3D14-Treat.txt"), treat);
  QCOMPARE(FilesIn(d.folder()),
           QStringList({"Y2009M3D14-Breakfast.txt", "Y2009M3D14-Treat.txt"}));
  QVERIFY(!d.day.Modified());
  // A day with a record keeps its mark, with its history row brought up to date.
  QCOMPARE(d.day.HistoryGrid().Cell(1, kDay.dayOfYear()), QString("300"));
}

void MealDiaryTest::saveComputesTotalsFirst() {
  Day d;
  QVERIFY(d.day.LoadDay(kDay));
  d.eat(3, {"Steak", "600", "0", "50", "40"});
  QVERIFY(d.day.Modified());
  // No recompute in between: the save brings the totals up to date itself.
  QVERIFY(d.day.SaveDay());
  QVERIFY(!d.day.Modified());
  QCOMPARE(ReadLines(d.folder() + "Y2009M3D14-Treat.txt"),
           QStringList({kHeader, "TOTAL,600,0%,35%,64%"}));
  CellGrid history;
  QVERIFY(LoadGridFile(history, HistoryFilePath(d.folder(), 2009)));
  QCOMPARE(Row(history, kDay.dayOfYear()), QStringList({"March 14", "600", "0", "50", "40"}));
  QCOMPARE(history.RowCount(), 366);
}

void MealDiaryTest::savedBytes() {
  Day d;
  QVERIFY(d.day.LoadDay(kDay));
  d.eat(1, {"Oatmeal", "300", "40", "10", "10"});
  d.eat(1, {"Tea, \"green\"", "2"});
  QVERIFY(d.day.SaveDay());
  QStringList want{kHeader, "Oatmeal,300,40,10,10", "\"Tea, \"\"green\"\"\",2,,,"};
  for (int r = 3; r < kMealRows; ++r) want << ",,,,";
  QCOMPARE(ReadLines(d.day.Folder() + "Y2009M3D14-Breakfast.txt"), want);
  QVERIFY(ReadBytes(d.folder() + "Y2009M3D14-Breakfast.txt").endsWith(",,,,\r\n"));
  QStringList empty{kHeader};
  for (int r = 1; r < kMealRows; ++r) empty << ",,,,";
  QCOMPARE(ReadLines(d.folder() + "Y2009M3D14-Snack.txt"), empty);
  QCOMPARE(FilesIn(d.folder()),
           QStringList({"2009History.txt", "Y2009M3D14-Breakfast.txt", "Y2009M3D14-Dinner.txt",
                        "Y2009M3D14-Lunch.txt", "Y2009M3D14-Snack.txt", "Y2009M3D14-Treat.txt"}));
}

void MealDiaryTest::anEditRewritesOnlyWhatChanged() {
  Day d;
  d.copyFixture("Y2009M3D14-Breakfast.txt");
  QVERIFY(d.day.LoadDay(kDay));
  QVERIFY(d.day.SaveDay());
  // Each write puts a new file in place, so a file's inode tells whether it was written.
  auto inodes = [&] {
    QMap<QString, ino_t> out;
    for (const QString& name : FilesIn(d.folder())) {
      struct stat st {};
      if (::stat(QFile::encodeName(d.folder() + name).constData(), &st) == 0) out[name] = st.st_ino;
    }
    return out;
  };
  const auto before = inodes();
  QCOMPARE(before.size(), 6);
  QVERIFY(d.day.SaveDay());
  QCOMPARE(inodes(), before);
  d.eat(2, {"Soup", "80"});
  QVERIFY(d.day.SaveDay());
  const auto after = inodes();
  for (const QString& name : before.keys()) {
    const bool written = name.contains("Lunch") || name.contains("Treat") ||
                         name.contains("History");
    QVERIFY2((after.value(name) != before.value(name)) == written, qPrintable(name));
  }
  // A file removed behind the diary's back is written again.
  QVERIFY(QFile::remove(d.folder() + "Y2009M3D14-Snack.txt"));
  QVERIFY(d.day.SaveDay());
  QVERIFY(QFile::exists(d.folder() + "Y2009M3D14-Snack.txt"));
}

void MealDiaryTest::namesInAnyLanguageSurvive() {
  Day d;
  QVERIFY(d.day.LoadDay(kDay));
  const QStringList foods[] = {{"Crème brûlée", "330", "30", "5", "21"},
                               {"味噌汁 (お椀)", "40", "5", "3", "1.5"},
                               {"Борщ, 1 тарелка", "120", "15", "4", "5"},
                               {"🍎 Äpfel", "95", "25", "0.5", "0.3"}};
  for (const QStringList& f : foods) d.eat(4, f);
  QVERIFY(d.day.SaveDay());
  const QByteArray bytes = ReadBytes(d.folder() + "Y2009M3D14-Snack.txt");
  QVERIFY(bytes.contains(QString("\"Crème brûlée\"").toUtf8()));
  QVERIFY(bytes.contains(QString("\"Борщ, 1 тарелка\"").toUtf8()));

  MealDay again(d.folder());
  QVERIFY(again.LoadDay(kDay));
  for (int k = 0; k < 4; ++k) QCOMPARE(Row(again.MealGrid(4), k + 1), foods[k]);
  QCOMPARE(again.Totals().calories, qint64(585));
}

void MealDiaryTest::windowsFileReadsRight() {
  Day d;
  d.copyFixture("Y2009M3D14-Dinner.txt");
  QVERIFY(d.day.LoadDay(kDay));
  QCOMPARE(d.day.MealGrid(3).Cell(0, 1), QString("Crème brûlée, vanilla"));
  QCOMPARE(d.day.Totals().mealCalories[2], qint64(330));
  QVERIFY(d.day.SaveDay());
  // Written back as UTF-8.
  QVERIFY(ReadBytes(d.folder() + "Y2009M3D14-Dinner.txt")
              .contains(QString("Crème brûlée, vanilla").toUtf8()));
}

void MealDiaryTest::shortFileStillLeavesRowsToType() {
  Day d;
  d.copyFixture("Y2009M3D14-Dinner.txt");
  QVERIFY(d.day.LoadDay(kDay));
  const CellGrid& g = d.day.MealGrid(3);
  QCOMPARE(g.RowCount(), kMealRows);
  QCOMPARE(g.ColCount(), kMealColumns);
  // The first row without a name is the current one.
  QCOMPARE(g.CurrentRow(), 2);
  // A day with a grown meal gives way to the usual 25 rows on an empty day.
  d.day.InsertPick(3, {"Soup", "80", "", "", ""});
  for (int k = 0; k < 5; ++k) d.day.InsertTopRow(d.day.MealGrid(3));
  QVERIFY(d.day.LoadDay(kDay.addDays(1)));
  QCOMPARE(d.day.MealGrid(3).RowCount(), kMealRows);
}

void MealDiaryTest::insertTopRow() {
  Day d;
  QVERIFY(d.day.LoadDay(kDay));
  d.eat(2, {"Soup", "80"});
  d.eat(2, {"Bread", "120"});
  d.day.InsertPick(2, {"Salad", "150", "10", "3", "9"});
  const CellGrid& g = d.day.MealGrid(2);
  QCOMPARE(g.RowCount(), kMealRows + 1);
  QCOMPARE(Row(g, 0).first(), QString("Food"));
  QCOMPARE(Row(g, 1), QStringList({"Salad", "150", "10", "3", "9"}));
  QCOMPARE(Row(g, 2).first(), QString("Soup"));
  QCOMPARE(Row(g, 3).first(), QString("Bread"));
  QCOMPARE(Row(g, kMealRows), QStringList({"", "", "", "", ""}));
  // A pick without a name changes nothing.
  d.day.InsertPick(2, {" ", "99"});
  QCOMPARE(g.RowCount(), kMealRows + 1);
}

void MealDiaryTest::historyGraph_data() {
  QTest::addColumn<QDate>("date");
  QTest::addColumn<int>("days");
  QTest::addColumn<QList<int>>("rows");
  QTest::addColumn<QList<int>>("labels");
  QTest::addColumn<int>("span");
  // History holds calories on 1, 2, 3 January and on 5 to 14 March except 10 March;
  // 12 March holds text.
  // The window reaches back over 1 January; without a file for 2008 those days are
  // empty.
  QTest::newRow("7 days on 3 January") << QDate(2009, 1, 3) << 7 << QList<int>{3, 2, 1}
                                       << QList<int>{1, 2, 3} << 8;
  QTest::newRow("7 days on 14 March, gaps keep counting")
      << QDate(2009, 3, 14) << 7 << QList<int>{73, 72, 70, 68, 67, 66} << QList<int>{1, 2, 4, 6, 7, 8}
      << 8;
  QTest::newRow("30 days on 14 March") << QDate(2009, 3, 14) << 30
                                       << QList<int>{73, 72, 70, 68, 67, 66, 65, 64} << QList<int>{}
                                       << 31;
  QTest::newRow("year on 14 March")
      << QDate(2009, 3, 14) << 365 << QList<int>{73, 72, 70, 68, 67, 66, 65, 64, 3, 2, 1}
      << QList<int>{} << 366;
}

void MealDiaryTest::historyGraph() {
  QFETCH(QDate, date);
  QFETCH(int, days);
  QFETCH(QList<int>, rows);
  QFETCH(QList<int>, labels);
  QFETCH(int, span);
  Day d;
  CellGrid history;
  InitYearGrid(history, 2009, kMealColumns, HistoryHeaders());
  for (int r : {1, 2, 3}) history.SetCell(1, r, QString::number(1000 + r));
  for (int r = 64; r <= 73; ++r) history.SetCell(1, r, QString::number(2000 + r));
  history.SetCell(1, 69, " ");
  history.SetCell(1, 71, "abc");
  QVERIFY(SaveGridFile(history, HistoryFilePath(d.folder(), 2009)));
  QVERIFY(d.day.LoadDay(date));
  const HistoryGraph g = d.day.HistoryGraphPoints(days);
  QList<int> gotRows, gotLabels;
  for (const HistoryPoint& p : g.points) {
    gotRows << p.row;
    gotLabels << p.n;
    QCOMPARE(p.calories, double(p.row < 10 ? 1000 + p.row : 2000 + p.row));
  }
  QCOMPARE(gotRows, rows);
  if (!labels.isEmpty()) QCOMPARE(gotLabels, labels);
  QCOMPARE(g.labelCount, span);
  // The year's mean of every day holding calories, rounded down.
  const double mean = (1001 + 1002 + 1003 + 2064 + 2065 + 2066 + 2067 + 2068 + 2070 + 2072 + 2073) / 11.0;
  QCOMPARE(g.average, qint64(std::floor(mean)));
}

// On 2 January the 7- and 30-day histories go on into December, from the year before's
// history file, which is read and never written.
void MealDiaryTest::historyGraphReachesIntoTheYearBefore() {
  Day d;
  CellGrid before;
  InitYearGrid(before, 2008, kMealColumns, HistoryHeaders());
  before.SetCell(1, 366, "1800");  // 31 December 2008 (a leap year)
  before.SetCell(1, 361, "2100");  // 26 December: 7 days before 2 January
  before.SetCell(1, 360, "9999");  // 25 December: outside the 7 days
  before.SetCell(1, 337, "1500");  // 2 December: the 31st day back, outside 30 days
  QVERIFY(SaveGridFile(before, HistoryFilePath(d.folder(), 2008)));
  const QByteArray beforeBytes = ReadBytes(HistoryFilePath(d.folder(), 2008));
  QVERIFY(d.day.LoadDay(QDate(2009, 1, 2)));
  d.eat(1, {"Porridge", "400"});
  QVERIFY(d.day.SaveDay());

  HistoryGraph g = d.day.HistoryGraphPoints(7);
  QCOMPARE(g.labelCount, 8);
  QCOMPARE(g.previousYearPoints, 2);
  QCOMPARE(g.points, (QList<HistoryPoint>{{1, 2, 400}, {3, 366, 1800}, {8, 361, 2100}}));
  // The average is the viewed year's.
  QCOMPARE(g.average, qint64(400));
  g = d.day.HistoryGraphPoints(30);
  QCOMPARE(g.labelCount, 31);
  QCOMPARE(g.points.size(), 4);
  QCOMPARE(g.points.last(), (HistoryPoint{9, 360, 9999}));
  QCOMPARE(ReadBytes(HistoryFilePath(d.folder(), 2008)), beforeBytes);
}

// Histories written by an earlier version hold "0" for every day only looked at: those
// days do not pull the year's average down.
void MealDiaryTest::zeroDaysOfEarlierVersionsDoNotLowerTheAverage() {
  Day d;
  CellGrid history;
  InitYearGrid(history, 2009, kMealColumns, HistoryHeaders());
  history.SetRow(kDay.dayOfYear() - 2, {"March 12", "195", "20", "5", "8"});
  history.SetRow(kDay.dayOfYear() - 1, {"March 13", "0", "0", "0", "0"});
  QVERIFY(SaveGridFile(history, HistoryFilePath(d.folder(), 2009)));
  QVERIFY(d.day.LoadDay(kDay));
  QCOMPARE(d.day.HistoryGraphPoints(7).average, qint64(195));
}

void MealDiaryTest::historyRows_data() {
  QTest::addColumn<int>("year");
  QTest::addColumn<int>("rows");
  QTest::newRow("leap year") << 2024 << 367;
  QTest::newRow("common year") << 2023 << 366;
}

void MealDiaryTest::historyRows() {
  QFETCH(int, year);
  QFETCH(int, rows);
  Day d;
  const QDate last(year, 12, 31);
  QVERIFY(d.day.LoadDay(last));
  QCOMPARE(d.day.HistoryGrid().RowCount(), rows);
  QCOMPARE(d.day.HistoryGrid().Cell(0, rows - 1), QString("December 31"));
  QCOMPARE(d.day.HistoryGrid().Cell(0, 0), QString("Date"));
  d.eat(1, {"Cake", "450"});
  QVERIFY(d.day.SaveDay());
  CellGrid saved;
  QVERIFY(LoadGridFile(saved, HistoryFilePath(d.folder(), year)));
  QCOMPARE(saved.RowCount(), rows);
  QCOMPARE(Row(saved, rows - 1), QStringList({"December 31", "450", "0", "0", "0"}));
  QVERIFY(d.day.IsDayMarked(last));
}

void MealDiaryTest::marksOnlyTheViewedYear() {
  Day d;
  QVERIFY(!d.day.IsDayMarked(kDay));  // nothing loaded yet
  QVERIFY(d.day.LoadDay(kDay));
  d.eat(1, {"Toast", "100"});
  QVERIFY(d.day.SaveDay());
  QVERIFY(d.day.IsDayMarked(kDay));
  QVERIFY(!d.day.IsDayMarked(kDay.addDays(1)));
  // The same day of another year is not in this year's history.
  QVERIFY(!d.day.IsDayMarked(kDay.addYears(1)));
  QVERIFY(!d.day.IsDayMarked(QDate()));
}

// An import saves many days with the history held: each year's history is written once,
// when the next year is loaded or at the end, and holds what saving day by day gives.
void MealDiaryTest::heldHistoryIsWrittenOnceAYear() {
  auto run = [](bool hold, QMap<QString, QByteArray>* files) {
    Day d;
    // A day with food but no history row: only loaded, it gets none.
    CellGrid jam(kMealColumns, 2);
    jam.SetRow(0, MealHeaders());
    jam.SetRow(1, {"Jam", "50"});
    QVERIFY(SaveGridFile(jam, MealFilePath(d.folder(), QDate(2010, 1, 2), 1)));
    const QString history2009 = HistoryFilePath(d.folder(), 2009);
    d.day.HoldHistory(hold);
    QVERIFY(d.day.LoadDay(QDate(2009, 12, 30)));
    d.eat(1, {"Toast", "100"});
    QVERIFY(d.day.SaveDay());
    QVERIFY(d.day.LoadDay(QDate(2009, 12, 31)));
    d.eat(2, {"Cake", "450"});
    QVERIFY(d.day.SaveDay());
    QCOMPARE(QFileInfo::exists(history2009), !hold);
    QVERIFY(d.day.LoadDay(QDate(2010, 1, 1)));
    QVERIFY(QFileInfo::exists(history2009));
    d.eat(3, {"Soup", "80"});
    QVERIFY(d.day.SaveDay());
    QVERIFY(d.day.LoadDay(QDate(2010, 1, 2)));
    QVERIFY(d.day.SaveHistory());
    for (const QString& name : FilesIn(d.folder())) files->insert(name, ReadBytes(d.folder() + name));
    CellGrid saved;
    QVERIFY(LoadGridFile(saved, history2009));
    QCOMPARE(saved.Cell(1, YearGridRow(QDate(2009, 12, 30))), QString("100"));
    QCOMPARE(saved.Cell(1, YearGridRow(QDate(2009, 12, 31))), QString("450"));
    QVERIFY(LoadGridFile(saved, HistoryFilePath(d.folder(), 2010)));
    QCOMPARE(saved.Cell(1, 1), QString("80"));
    QCOMPARE(saved.Cell(1, 2).trimmed(), QString());
  };
  QMap<QString, QByteArray> held, dayByDay;
  run(true, &held);
  run(false, &dayByDay);
  QCOMPARE(held.keys(), dayByDay.keys());
  // The same cells (a grid read back keeps an empty cell as a space, so a history
  // written day by day may differ in those bytes).
  auto cells = [](const QByteArray& bytes) {
    CellGrid grid;
    LoadGridBytes(grid, bytes);
    QStringList out;
    for (int r = 0; r < grid.RowCount(); ++r)
      for (int c = 0; c < grid.ColCount(); ++c) out << grid.Cell(c, r).trimmed();
    return out;
  };
  for (auto it = held.cbegin(); it != held.cend(); ++it)
    QVERIFY2(cells(it.value()) == cells(dayByDay.value(it.key())), qPrintable(it.key()));
}

void MealDiaryTest::unreadableFileIsNeverReplaced() {
  Day d;
  // A folder where a meal file belongs cannot be read as a file.
  QVERIFY(QDir().mkpath(d.folder() + "Y2009M3D14-Lunch.txt"));
  QString error;
  QVERIFY(!d.day.LoadDay(kDay, &error));
  QVERIFY2(error.startsWith("Cannot open file \"" + d.folder() + "Y2009M3D14-Lunch.txt\""),
           qPrintable(error));
  d.eat(1, {"Toast", "100"});
  d.eat(2, {"Soup", "80"});
  QVERIFY(!d.day.SaveDay(&error));
  QCOMPARE(error, "Cannot create file \"" + d.folder() +
                      "Y2009M3D14-Lunch.txt\". The file could not be read, so it was not "
                      "replaced.");
  QCOMPARE(d.day.ReadFailedMessage(), error);
  // The others were written; the day stays modified for the one that was not.
  QCOMPARE(ReadLines(d.folder() + "Y2009M3D14-Breakfast.txt").at(1), QString("Toast,100,,,"));
  QVERIFY(QFileInfo(d.folder() + "Y2009M3D14-Lunch.txt").isDir());
  QVERIFY(d.day.Modified());
}

void MealDiaryTest::unwritableFileIsReported() {
  Day d;
  QVERIFY(d.day.LoadDay(kDay));
  d.eat(1, {"Toast", "100"});
  // A folder where the history file would be written.
  QVERIFY(QDir().mkpath(HistoryFilePath(d.folder(), 2009)));
  QString error;
  QVERIFY(!d.day.SaveDay(&error));
  QVERIFY2(error.startsWith("Cannot create file \"" + HistoryFilePath(d.folder(), 2009) + "\". "),
           qPrintable(error));
  QVERIFY(!error.contains('\n'));
  QVERIFY(d.day.Modified());
  QCOMPARE(ReadLines(d.folder() + "Y2009M3D14-Breakfast.txt").at(1), QString("Toast,100,,,"));
}

// --- the view ---------------------------------------------------------------------

void MealDiaryTest::showDateShowsTheDay() {
  Rig rig;
  rig.copyFixture("Y2009M3D14-Breakfast.txt");
  rig.pg()->setCurrentIndex(MealDiaryView::TotalPage);
  rig.view.ShowDate(kDay);
  QCOMPARE(rig.label("lblDate")->text(), QString("Saturday, March 14, 2009"));
  QCOMPARE(rig.pg()->currentIndex(), int(MealDiaryView::BreakfastPage));
  QVERIFY(rig.view.HasLoaded());
  QCOMPARE(rig.label("Breakfast_Calories")->text(),
           QString("Breakfast: 300 Calories or 100% of Day Total 300 Calories"));
  QCOMPARE(rig.label("Fact_FatCalories")->text(), QString("90"));
  QCOMPARE(rig.label("Fact_Calories")->text(), QString("300"));
  QCOMPARE(rig.label("Fact_PRo")->text(), QString("10g"));
  QCOMPARE(rig.label("Fact_ProP")->text(), QString("20%"));
  QAbstractItemModel* sum = rig.grid("Sum_Chart")->model();
  QCOMPARE(sum->index(0, 4).data().toString(), QString("31%"));
  QAbstractItemModel* total = rig.grid("Total_Chart")->model();
  QCOMPARE(total->index(5, 2).data().toString(), QString("40g"));
  auto* chart = rig.view.findChild<QChartView*>("Pie_Chart7")->chart();
  auto* bars = qobject_cast<QStackedBarSeries*>(chart->series().at(0));
  QCOMPARE(bars->barSets().size(), 4);
  QCOMPARE(bars->barSets().at(0)->label(), QString("Breakfast"));
  QCOMPARE(bars->barSets().at(0)->at(0), 100.0);
  QCOMPARE(bars->barSets().at(1)->at(1), 0.0);
  // The first row without a food is current, ready to type into.
  QCOMPARE(rig.grid("Breakfast_Chart")->currentIndex().row(), 1);
  QVERIFY(rig.errors().isEmpty());
}

void MealDiaryTest::lookingWritesNothing() {
  Rig rig;
  rig.view.StartView(kDay);
  rig.view.ShowDate(kDay);
  rig.view.ShowDate(kDay.addDays(1));
  rig.view.SaveOnLeave();
  rig.view.SaveBeforeDateChange();
  // Moving about a grid is no edit.
  QTableView* t = rig.grid("Breakfast_Chart");
  t->setFocus();
  QTest::keyClick(t, Qt::Key_Down);
  rig.view.ShowDate(kDay);
  QVERIFY(FilesIn(rig.folder()).isEmpty());
  QVERIFY(!rig.view.IsDayMarked(kDay));
}

void MealDiaryTest::typingThenChangingDateWritesEarlierDate() {
  Rig rig;
  rig.view.ShowDate(kDay);
  rig.type("Breakfast_Chart", 0, 1, "Porridge");
  rig.type("Breakfast_Chart", 0, 2, "Tea", Qt::Key_unknown);
  QTest::keyClick(rig.grid("Breakfast_Chart")->indexWidget(
                      rig.grid("Breakfast_Chart")->model()->index(1, 0)),
                  Qt::Key_Up);  // the arrows leave the edit for another row
  QCOMPARE(rig.grid("Breakfast_Chart")->currentIndex().row(), 0);
  rig.type("Breakfast_Chart", 1, 1, "250", Qt::Key_unknown);  // still being edited
  const QDate next = kDay.addDays(1);
  rig.host.selected = next;
  rig.view.SaveBeforeDateChange();
  rig.view.ShowDate(next);
  QCOMPARE(ReadLines(rig.mealPath(kDay, 1)).mid(1, 2), QStringList({"Porridge,250,,,", "Tea,,,,"}));
  QVERIFY(rig.databaseKeywords.isEmpty());
  CellGrid history;
  QVERIFY(LoadGridFile(history, HistoryFilePath(rig.folder(), 2009)));
  QCOMPARE(history.Cell(1, kDay.dayOfYear()), QString("250"));
  // The new date starts empty and nothing of it was written.
  QCOMPARE(rig.view.Model().MealGrid(1).Cell(0, 1), QString(""));
  QVERIFY(!QFile::exists(rig.mealPath(next, 1)));
  QCOMPARE(rig.label("lblDate")->text(), QString("Sunday, March 15, 2009"));
  QVERIFY(rig.view.IsDayMarked(kDay));
}

void MealDiaryTest::leavingTheViewSavesWhatWasTyped() {
  Rig rig;
  rig.view.ShowDate(kDay);
  rig.pg()->setCurrentIndex(MealDiaryView::SnackPage);
  QVERIFY(FilesIn(rig.folder()).isEmpty());  // the page change had nothing to write
  // Typed, the editor still open: neither a date change nor a page change comes.
  rig.type("Snack_Chart", 0, 1, "Nuts", Qt::Key_unknown);
  QVERIFY(rig.view.Model().Modified());
  rig.view.SaveOnLeave();
  QCOMPARE(ReadLines(rig.mealPath(kDay, 4)).at(1), QString("Nuts,,,,"));
  QVERIFY(!rig.view.Model().Modified());
}

void MealDiaryTest::databasePickPlace_data() {
  QTest::addColumn<QString>("how");
  QTest::addColumn<bool>("inserted");
  QTest::addColumn<QString>("keyword");
  QTest::newRow("Go") << "go" << true << "apple";
  QTest::newRow("Enter in the search box") << "searchEnter" << true << "apple";
  QTest::newRow("picture") << "picture" << true << "apple";
  QTest::newRow("untouched search box") << "untouched" << true << "";
  QTest::newRow("Enter in the meal grid") << "gridEnter" << false << "Toast";
  QTest::newRow("Enter ending an edit") << "editEnter" << false << "Bagel";
  QTest::newRow("Edit") << "edit" << false << "Toast";
}

void MealDiaryTest::databasePickPlace() {
  QFETCH(QString, how);
  QFETCH(bool, inserted);
  QFETCH(QString, keyword);
  Rig rig;
  rig.view.ShowDate(kDay);
  rig.pg()->setCurrentIndex(MealDiaryView::LunchPage);
  rig.type("Lunch_Chart", 0, 1, "Soup");
  rig.type("Lunch_Chart", 0, 2, "Toast");
  rig.grid("Lunch_Chart")->setCurrentIndex(rig.grid("Lunch_Chart")->model()->index(1, 0));
  rig.databaseAnswer = FoodPick{"Apple", "95", "25", "0.5", "0.3"};
  if (how != "untouched") rig.search()->setText("apple");

  QTableView* grid = rig.grid("Lunch_Chart");
  if (how == "go") {
    rig.button("btFridge_Search")->setFocus();
    rig.button("btFridge_Search")->click();
  } else if (how == "searchEnter") {
    rig.search()->setFocus();
    QTest::keyClick(rig.search(), Qt::Key_Return);
  } else if (how == "picture" || how == "untouched") {
    rig.button(how == "picture" ? "Image1" : "btFridge_Search")->click();
  } else if (how == "gridEnter") {
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
  } else if (how == "editEnter") {
    rig.type("Lunch_Chart", 0, 2, "Bagel", Qt::Key_Return);
    QCoreApplication::processEvents();
  } else if (how == "edit") {
    rig.button("btnEdit")->click();
  }
  QCOMPARE(rig.databaseKeywords, QList<QString>{keyword});
  const CellGrid& g = rig.view.Model().MealGrid(2);
  if (inserted) {
    QCOMPARE(g.RowCount(), kMealRows + 1);
    QCOMPARE(Row(g, 1), QStringList({"Apple", "95", "25", "0.5", "0.3"}));
    QCOMPARE(Row(g, 2).first(), QString("Soup"));
    QCOMPARE(Row(g, 3).first(), QString("Toast"));
  } else {
    QCOMPARE(g.RowCount(), kMealRows);
    QCOMPARE(Row(g, 1).first(), QString("Soup"));
    QCOMPARE(Row(g, 2), QStringList({"Apple", "95", "25", "0.5", "0.3"}));
  }
  // Written at once, totals first.
  QVERIFY(ReadLines(rig.mealPath(kDay, 2)).contains("Apple,95,25,0.5,0.3"));
  QCOMPARE(ReadLines(rig.folder() + "Y2009M3D14-Treat.txt").at(1),
           QString("TOTAL,95,100%,0%,0%"));
  QCOMPARE(rig.label("Lunch_Calories")->text(),
           QString("Lunch: 95 Calories or 100% of Day Total 95 Calories"));
  QVERIFY(!rig.view.Model().Modified());
}

void MealDiaryTest::emptyDatabasePickChangesNothing() {
  Rig rig;
  rig.view.ShowDate(kDay);
  for (const std::optional<FoodPick>& answer :
       {std::optional<FoodPick>(), std::optional<FoodPick>(FoodPick{"", "95", "", "", ""})}) {
    rig.databaseAnswer = answer;
    rig.button("btFridge_Search")->click();
    QTableView* grid = rig.grid("Breakfast_Chart");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
  }
  QCOMPARE(rig.databaseKeywords.size(), 4);
  QCOMPARE(rig.view.Model().MealGrid(1).RowCount(), kMealRows);
  QVERIFY(FilesIn(rig.folder()).isEmpty());
}

void MealDiaryTest::foodListsPickIsWrittenAtOnce() {
  Rig rig;
  rig.view.ShowDate(kDay);
  rig.pg()->setCurrentIndex(MealDiaryView::DinnerPage);
  rig.search()->setText("pie");
  rig.listsAnswer = FoodPick{"Apple pie", "142", "37.5", "3.6", "21"};
  rig.button("Label3")->click();
  QCOMPARE(rig.listsKeywords, QList<QString>{"pie"});
  const CellGrid& g = rig.view.Model().MealGrid(3);
  QCOMPARE(g.RowCount(), kMealRows + 1);
  QCOMPARE(Row(g, 1), QStringList({"Apple pie", "142", "37.5", "3.6", "21"}));
  // A change of date right after the pick loses nothing.
  rig.view.ShowDate(kDay.addDays(1));
  QCOMPARE(ReadLines(rig.mealPath(kDay, 3)).at(1), QString("\"Apple pie\",142,37.5,3.6,21"));
  CellGrid history;
  QVERIFY(LoadGridFile(history, HistoryFilePath(rig.folder(), 2009)));
  QCOMPARE(Row(history, kDay.dayOfYear()), QStringList({"March 14", "142", "37", "3", "21"}));
}

void MealDiaryTest::closedFoodListsChangeNothing() {
  Rig rig;
  rig.view.ShowDate(kDay);
  rig.button("Label3")->click();
  QCOMPARE(rig.listsKeywords, QList<QString>{""});  // the box still says "Search"
  QCOMPARE(rig.view.Model().MealGrid(1).RowCount(), kMealRows);
  QVERIFY(FilesIn(rig.folder()).isEmpty());
}

void MealDiaryTest::deleteAndMoveButtons() {
  Rig rig;
  rig.view.ShowDate(kDay);
  rig.type("Breakfast_Chart", 0, 1, "Egg");
  rig.type("Breakfast_Chart", 1, 1, "80");
  rig.type("Breakfast_Chart", 0, 2, "Toast");
  rig.type("Breakfast_Chart", 1, 2, "120");
  rig.type("Breakfast_Chart", 0, 3, "Jam");
  QTableView* grid = rig.grid("Breakfast_Chart");
  const QString path = rig.mealPath(kDay, 1);

  grid->setCurrentIndex(grid->model()->index(2, 0));  // Jam
  rig.button("SpeedButton3")->click();
  QCOMPARE(ReadLines(path).mid(1, 3), QStringList({"Egg,80,,,", "Jam,,,,", "Toast,120,,,"}));
  QCOMPARE(grid->currentIndex().row(), 1);
  rig.button("SpeedButton3")->click();
  rig.button("SpeedButton3")->click();  // row 1 never moves into the header
  QCOMPARE(ReadLines(path).mid(0, 3), QStringList({kHeader, "Jam,,,,", "Egg,80,,,"}));
  rig.button("SpeedButton4")->click();
  QCOMPARE(ReadLines(path).mid(1, 2), QStringList({"Egg,80,,,", "Jam,,,,"}));

  grid->setCurrentIndex(grid->model()->index(0, 3));  // Egg, any column
  rig.button("SpeedButton1")->click();
  QCOMPARE(ReadLines(path).mid(1, 3), QStringList({",,,,", "Jam,,,,", "Toast,120,,,"}));
  QCOMPARE(rig.label("Breakfast_Calories")->text(),
           QString("Breakfast: 120 Calories or 100% of Day Total 120 Calories"));
  QCOMPARE(ReadLines(rig.folder() + "Y2009M3D14-Treat.txt").at(1),
           QString("TOTAL,120,0%,0%,0%"));
  // Moving the last row down does nothing.
  grid->setCurrentIndex(grid->model()->index(kMealRows - 2, 0));
  rig.button("SpeedButton4")->click();
  QCOMPARE(ReadLines(path).size(), kMealRows);
  // Leaving a row with its editor open is no Enter: the food database was never asked.
  QVERIFY(rig.databaseKeywords.isEmpty());
}

void MealDiaryTest::escapeRestoresTheCell() {
  Rig rig;
  rig.view.ShowDate(kDay);
  rig.type("Breakfast_Chart", 0, 1, "Egg");
  rig.type("Breakfast_Chart", 0, 1, "Bacon", Qt::Key_Escape);
  QCOMPARE(rig.view.Model().MealGrid(1).Cell(0, 1), QString("Egg"));
  rig.view.SaveOnLeave();
  QCOMPARE(ReadLines(rig.mealPath(kDay, 1)).at(1), QString("Egg,,,,"));
}

void MealDiaryTest::pageChangeRecomputesAndSaves() {
  Rig rig;
  rig.view.ShowDate(kDay);
  rig.type("Breakfast_Chart", 0, 1, "Egg");
  rig.type("Breakfast_Chart", 1, 1, "80", Qt::Key_unknown);
  rig.pg()->setCurrentIndex(MealDiaryView::TotalPage);
  QVERIFY(!rig.view.findChild<QWidget*>("pnlHands")->isVisible());
  QVERIFY(!rig.view.findChild<QWidget*>("Fridge_Panel")->isVisible());
  QCOMPARE(rig.grid("Total_Chart")->model()->index(5, 1).data().toString(), QString("80"));
  QCOMPARE(ReadLines(rig.folder() + "Y2009M3D14-Treat.txt").at(1),
           QString("TOTAL,80,0%,0%,0%"));
  rig.pg()->setCurrentIndex(MealDiaryView::LunchPage);
  QVERIFY(rig.view.findChild<QWidget*>("pnlHands")->isVisible());
  QVERIFY(rig.view.findChild<QWidget*>("Fridge_Panel")->isVisible());
  // A day only looked at, its pages turned, writes nothing and gets no mark; the
  // year's average stays that of the days she logged.
  const QByteArray history = ReadBytes(HistoryFilePath(rig.folder(), 2009));
  const QDate next = kDay.addDays(1);
  rig.view.SaveBeforeDateChange();
  rig.view.ShowDate(next);
  for (int page : {MealDiaryView::LunchPage, MealDiaryView::TodayPage, MealDiaryView::TotalPage,
                   MealDiaryView::HistoryPage, MealDiaryView::BreakfastPage})
    rig.pg()->setCurrentIndex(page);
  rig.view.SaveOnLeave();
  rig.view.SaveBeforeDateChange();
  rig.view.ShowDate(kDay);
  for (int meal = 1; meal <= kMealCount; ++meal) QVERIFY(!QFile::exists(rig.mealPath(next, meal)));
  QVERIFY(!QFile::exists(TreatFilePath(rig.folder(), next)));
  QCOMPARE(ReadBytes(HistoryFilePath(rig.folder(), 2009)), history);
  QVERIFY(!rig.view.IsDayMarked(next));
  QCOMPARE(rig.view.Model().HistoryGraphPoints(7).average, qint64(80));
}

void MealDiaryTest::historyPageShowsSevenDays() {
  Rig rig;
  rig.view.ShowDate(QDate(2009, 1, 3));
  rig.type("Breakfast_Chart", 0, 1, "Egg");
  rig.type("Breakfast_Chart", 1, 1, "80");
  rig.pg()->setCurrentIndex(MealDiaryView::HistoryPage);
  rig.view.findChild<QRadioButton*>("RadioButton3")->click();
  QVERIFY(rig.view.findChild<QRadioButton*>("RadioButton3")->isChecked());
  rig.pg()->setCurrentIndex(MealDiaryView::TodayPage);
  rig.pg()->setCurrentIndex(MealDiaryView::HistoryPage);
  // Entering the page shows 7 days, and the choice says so.
  QVERIFY(rig.view.findChild<QRadioButton*>("History_View7")->isChecked());
  auto* chart = rig.view.findChild<QChartView*>("History_Graph")->chart();
  auto* average = qobject_cast<QLineSeries*>(chart->series().at(0));
  auto* daily = qobject_cast<QLineSeries*>(chart->series().at(1));
  QCOMPARE(daily->points(), QList<QPointF>({QPointF(1, 80)}));
  QCOMPARE(average->points(), QList<QPointF>({QPointF(1, 80)}));
  QCOMPARE(daily->pen().width(), 3);
  QCOMPARE(average->pen().color(), QColor(50, 205, 69));
}

void MealDiaryTest::searchBoxClick() {
  Rig rig;
  rig.view.ShowDate(kDay);
  QLineEdit* box = rig.search();
  QCOMPARE(box->text(), QString("Search"));
  QTest::mouseClick(box, Qt::LeftButton);
  QCOMPARE(box->text(), QString(""));
  box->setText("rice");
  box->deselect();
  QTest::mouseClick(box, Qt::LeftButton);
  QCOMPARE(box->selectedText(), QString("rice"));
}

void MealDiaryTest::saveButtonReportsEveryFailure() {
  Rig rig;
  rig.view.ShowDate(kDay);
  QVERIFY(QDir().mkpath(HistoryFilePath(rig.folder(), 2009)));
  rig.type("Breakfast_Chart", 0, 1, "Egg");  // the end of the edit saves, and fails
  QCOMPARE(rig.errors().size(), 1);
  rig.type("Breakfast_Chart", 0, 2, "Ham");  // the same failure is not repeated
  QCOMPARE(rig.errors().size(), 1);
  rig.button("btnSave")->click();  // asked for: always told
  rig.button("btnSave")->click();
  QCOMPARE(rig.errors().size(), 3);
  QVERIFY(rig.errors().last().startsWith("Cannot create file \"" +
                                         HistoryFilePath(rig.folder(), 2009) + "\". "));
  QVERIFY(!rig.env.messageTexts().join(' ').contains("saved", Qt::CaseInsensitive));
  // What was written is there; the view keeps what it holds.
  QCOMPARE(ReadLines(rig.mealPath(kDay, 1)).mid(1, 2), QStringList({"Egg,,,,", "Ham,,,,"}));
  QVERIFY(QDir().rmdir(HistoryFilePath(rig.folder(), 2009)));
  rig.button("btnSave")->click();
  QCOMPARE(rig.errors().size(), 3);
  QVERIFY(QFileInfo(HistoryFilePath(rig.folder(), 2009)).isFile());
}

void MealDiaryTest::marksRedrawWhenTheDayGainsARecord() {
  Rig rig;
  rig.view.ShowDate(kDay);
  const int afterLoad = rig.host.marksChangedCalls;
  QVERIFY(!rig.view.IsDayMarked(kDay));
  rig.type("Breakfast_Chart", 0, 1, "Egg");
  QVERIFY(rig.view.IsDayMarked(kDay));
  QCOMPARE(rig.host.marksChangedCalls, afterLoad + 1);
  rig.type("Breakfast_Chart", 1, 1, "80");
  QCOMPARE(rig.host.marksChangedCalls, afterLoad + 1);
  QCOMPARE(rig.view.MarkPicture(), DayMarkPicture::Berry);
}

void MealDiaryTest::inTheMainWindow() {
  TestEnv env;
  Clock::SetSource([] { return QDateTime(kDay, QTime(12, 0)); });
  {
    MainWindow form(TestEnv::programFolder(), false);
    form.Startup();
    auto* view = dynamic_cast<MealDiaryView*>(form.View("eat"));
    QVERIFY(view);
    QCOMPARE(view->parentWidget()->objectName(), QString("pnlEat"));
    QVERIFY(view->HasLoaded());
    const QString folder = env.dataRoot() + "Food/";
    form.ShowView("eat");
    form.ShowView("calendar");
    form.ShowView("eat");
    // Showing the view wrote nothing.
    QVERIFY(FilesIn(folder).isEmpty());
    QCOMPARE(view->findChild<QLabel*>("lblDate")->text(), QString("Saturday, March 14, 2009"));

    // Typed, the editor still open, and the program ends.
    auto* grid = view->findChild<QTableView*>("Breakfast_Chart");
    const QModelIndex idx = grid->model()->index(0, 0);
    grid->setCurrentIndex(idx);
    grid->edit(idx);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(idx));
    QVERIFY(editor);
    QTest::keyClicks(editor, "Muesli");
    form.ExitSequence();
    QCOMPARE(ReadLines(MealFilePath(folder, kDay, 1)).at(1), QString("Muesli,,,,"));
    // The month grid marks the day while the calorie tracker is shown.
    QVERIFY(form.View("eat")->IsDayMarked(kDay));
  }
  Clock::SetSource({});
}

// A theme repolishes the whole window: the meal tabs keep their font and still fit.
void MealDiaryTest::tabsFitAfterAThemeChange() {
  TestEnv env;
  MainWindow form(TestEnv::programFolder(), true);
  form.ShowAndStart();
  QTRY_VERIFY(form.Started());
  form.ShowView("eat");
  auto* tabs = dynamic_cast<QWidget*>(form.View("eat"))->findChild<QTabWidget*>("pg")->tabBar();
  const QFont before = tabs->font();
  auto fits = [tabs] {
    return tabs->tabRect(tabs->count() - 1).right() <= tabs->width() &&
           tabs->tabRect(0).left() >= 0;
  };
  QVERIFY(fits());
  for (const char* theme : {"Nexos2", "Roma", "Default"}) {
    form.ApplyThemeByName(theme);
    QCoreApplication::processEvents();
    QCOMPARE(tabs->font(), before);
    QVERIFY2(fits(), theme);
  }
}

QTEST_MAIN(MealDiaryTest)
#include "test_mealdiary.moc"
