#include <QtTest>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QImageReader>
#include <QMenu>

#include "app/datafolders.h"
#include "core/textfile.h"
#include "basal/basalchart.h"
#include "basal/basalreport.h"
#include "basal/basalscale.h"
#include "basal/basalsigns.h"
#include "basal/basalwindow.h"
#include "basal/widgets/basalgrid.h"
#include "basal/widgets/basalview.h"
#include <sys/stat.h>

#include "support/fakehost.h"
#include "support/faults.h"
#include "support/testenv.h"
#include "core/gridfile.h"

namespace {

// A basal view over a fresh data folder, shown so that it takes clicks.
struct BasalSetup {
  explicit BasalSetup(const QString& units = "F") {
    host.Settings().TemperatureUnits = units;
    view = std::make_unique<BasalView>(&host);
    view->show();
    opened.clear();
    SetOpenUrlHandler([this](const QUrl& u) { opened << u; });
  }
  ~BasalSetup() { SetOpenUrlHandler({}); }

  BasalGrid* chart() const { return view->findChild<BasalGrid*>("Basal_Chart"); }
  BasalGrid* signs() const { return view->findChild<BasalGrid*>("Sex_Chart"); }
  BasalGrid* strip() const { return view->findChild<BasalGrid*>("Date_Chart"); }
  QString yearPath(int year) const { return BasalYearPath(host.Dir().BasalFolder(), year); }
  QString buildPath(const QString& name) const { return host.Dir().BuildFolder() + name; }

  void install(const QString& fixture, int year) const {
    QFile::remove(yearPath(year));
    QVERIFY(QFile::copy(TestEnv::testData("basal/" + fixture), yearPath(year)));
  }
  // The year file as it is on disk now.
  CellGrid load(int year) const {
    CellGrid g;
    LoadGridFile(g, yearPath(year));
    return g;
  }
  QByteArray line(int year, int row) const {
    QByteArray bytes;
    ReadFileBytes(yearPath(year), &bytes, nullptr);
    const QList<QByteArray> lines = bytes.split('\n');
    return row < lines.size() ? lines[row] + "\n" : QByteArray();
  }

  TestEnv env;
  FakeHost host;
  std::unique_ptr<BasalView> view;
  QList<QUrl> opened;
};

void Click(BasalGrid* g, int col, int row) {
  QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->CellRect(col, row).center());
}

void DoubleClick(BasalGrid* g, int col, int row) {
  const QPoint at = g->CellRect(col, row).center();
  QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, at);
}

quint64 Inode(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

BarTops Tops(std::initializer_list<std::pair<int, int>> columnTops) {
  BarTops t{};
  for (auto [c, top] : columnTops) t[c] = top;
  return t;
}

// A JPEG written with progressive scans has an SOF2 frame and no baseline SOF0.
bool IsProgressiveJpeg(const QByteArray& bytes) {
  return bytes.startsWith("\xFF\xD8") && bytes.contains("\xFF\xC2") && !bytes.contains("\xFF\xC0");
}

}  // namespace

Q_DECLARE_METATYPE(BarTops)

class BasalTest : public QObject {
  Q_OBJECT

 private slots:
  // The arithmetic.
  void window_data();
  void window();
  void levels_data();
  void levels();
  void riseDay_data();
  void riseDay();
  void signSteps();
  void hoverHints_data();
  void hoverHints();
  void reportLines();

  // The view.
  void nothingBeforeFirstShowDate();
  void dateStripAndLabels();
  void clickLevelStoresTemperatures_data();
  void clickLevelStoresTemperatures();
  void clearingTheCurrentDay();
  void rightClickDoesNotSetABar();
  void keyboardMoveSetsTemperature();
  void currentCellIsFramed();
  void clickAfterDoubleClickCounts();
  void dischargeCycle();
  void cervixAndIntercourse();
  void signHoverHints();
  void quotedSpacesShowNothing();
  void decemberUsesTheNextYear();
  void leapYearKeepsDecember31();
  void cycleDayNumbers();
  void showDateSavesTheYearShownBefore();
  void reportFiles();
  void reportButtonAndLink();
  void drawing();
  void unwritableYearFile();
  void unreadableYearFile();
  void unwritableReport();
  void browsingRewritesNoYear();
  void unreadableYearFileIsNeverReplaced();
  void fullDiskKeepsTheYearFile();
};

void BasalTest::window_data() {
  QTest::addColumn<int>("year");
  QTest::addColumn<int>("month");
  QTest::addColumn<QDate>("first");
  QTest::addColumn<QDate>("last");
  QTest::newRow("January") << 2009 << 1 << QDate(2009, 1, 1) << QDate(2009, 2, 2);
  QTest::newRow("February") << 2009 << 2 << QDate(2009, 1, 29) << QDate(2009, 3, 2);
  QTest::newRow("February, leap year") << 2008 << 2 << QDate(2008, 1, 30) << QDate(2008, 3, 2);
  QTest::newRow("May") << 2009 << 5 << QDate(2009, 5, 1) << QDate(2009, 6, 2);
  QTest::newRow("June") << 2009 << 6 << QDate(2009, 5, 31) << QDate(2009, 7, 2);
  QTest::newRow("December") << 2009 << 12 << QDate(2009, 12, 1) << QDate(2010, 1, 2);
}

void BasalTest::window() {
  QFETCH(int, year);
  QFETCH(int, month);
  QFETCH(QDate, first);
  QFETCH(QDate, last);
  const QDate start = MonthWindowStart(year, month);
  QCOMPARE(start, first);
  QCOMPARE(WindowColumnDate(start, 1), first);
  QCOMPARE(WindowColumnDate(start, kBasalDayColumns), last);
  QCOMPARE(WindowDateColumn(start, last), kBasalDayColumns);
  QCOMPARE(WindowDateColumn(start, first.addDays(-1)), 0);
  QCOMPARE(WindowDateColumn(start, last.addDays(1)), 0);
}

void BasalTest::levels_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<int>("top");
  QTest::addColumn<QString>("fahrenheit");
  QTest::addColumn<QString>("celsius");
  QTest::addColumn<QString>("labelF");
  QTest::addColumn<QString>("labelC");
  QTest::newRow("top row") << 1 << 1 << "98.70" << "37.05" << "98.7 °F" << "37.05 °C";
  QTest::newRow("row 5") << 5 << 5 << "98.30" << "36.85" << "98.3 °F" << "36.85 °C";
  QTest::newRow("cover line row") << 12 << 12 << "97.60" << "36.50" << "97.6 °F" << "36.50 °C";
  QTest::newRow("row 15") << 15 << 15 << "97.30" << "36.35" << "97.3 °F" << "36.35 °C";
  // The bottom row clears the bar: no reading stores the values of bar top 0.
  QTest::newRow("bottom row") << 16 << 0 << "98.80" << "37.10" << "97.2 °F" << "36.30 °C";
}

void BasalTest::levels() {
  QFETCH(int, row);
  QFETCH(int, top);
  TestEnv env;
  QCOMPARE(BarTopForClick(row), top);
  QFETCH(QString, fahrenheit);
  QFETCH(QString, celsius);
  QFETCH(QString, labelF);
  QFETCH(QString, labelC);
  QCOMPARE(FahrenheitText(top), fahrenheit);
  QCOMPARE(CelsiusText(top), celsius);
  QCOMPARE(LevelLabel(row, "F"), labelF);
  QCOMPARE(LevelLabel(row, "C"), labelC);
  QCOMPARE(LevelLabel(row, "K"), QString());
}

void BasalTest::riseDay_data() {
  QTest::addColumn<BarTops>("tops");
  QTest::addColumn<int>("column");
  QTest::addColumn<bool>("rise");
  QTest::newRow("14 then 9") << Tops({{12, 14}, {13, 9}}) << 13 << true;
  QTest::newRow("14 then 11: three levels") << Tops({{12, 14}, {13, 11}}) << 13 << false;
  QTest::newRow("15 then 11: four levels") << Tops({{12, 15}, {13, 11}}) << 13 << true;
  QTest::newRow("16 then 12: not above the line") << Tops({{12, 16}, {13, 12}}) << 13 << false;
  QTest::newRow("no bar") << Tops({{12, 14}}) << 13 << false;
  QTest::newRow("no reading the day before") << Tops({{11, 14}, {13, 9}}) << 13 << false;
  QTest::newRow("high reading 10 columns before") << Tops({{3, 9}, {12, 14}, {13, 9}}) << 13
                                                  << false;
  QTest::newRow("high reading 11 columns before") << Tops({{2, 9}, {12, 14}, {13, 9}}) << 13
                                                  << true;
  QTest::newRow("low readings before") << Tops({{5, 13}, {8, 16}, {12, 14}, {13, 9}}) << 13
                                       << true;
  QTest::newRow("window start") << Tops({{1, 9}}) << 1 << false;
  QTest::newRow("second column") << Tops({{1, 15}, {2, 3}}) << 2 << true;
}

void BasalTest::riseDay() {
  QFETCH(BarTops, tops);
  QFETCH(int, column);
  QFETCH(bool, rise);
  QCOMPARE(IsRiseDay(tops, column), rise);
}

void BasalTest::signSteps() {
  QStringList codes, hints;
  QString code;
  for (int i = 0; i < 5; ++i) {
    const SignStep s = NextDischarge(code);
    code = s.code;
    codes << s.code;
    hints << s.hint;
  }
  QCOMPARE(codes, QStringList({"P", "W", "S", "D", ""}));
  QCOMPARE(hints, QStringList({"period", "Wet Mucus", "Sticky Mucus", "Dry", "No Data"}));

  codes.clear();
  hints.clear();
  code.clear();
  for (int i = 0; i < 3; ++i) {
    const SignStep s = NextCervix(code);
    code = s.code;
    codes << s.code;
    hints << s.hint;
  }
  QCOMPARE(codes, QStringList({"S", "H", ""}));
  QCOMPARE(hints, QStringList({"Soft (like lips)", "Hard (like a nose)", "No Data"}));

  // Text that is no code becomes empty with no hint; a blank cell counts as empty.
  QCOMPARE(NextDischarge("X").code, QString());
  QCOMPARE(NextDischarge("X").hint, QString());
  QCOMPARE(NextCervix("P").code, QString());
  QCOMPARE(NextDischarge(" ").code, QString("P"));
  QCOMPARE(NextCervix(" ").code, QString("S"));
}

void BasalTest::hoverHints_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("hint");
  QTest::newRow("discharge empty") << 1 << "" << "No Data. Click to Change";
  QTest::newRow("discharge blank") << 1 << " " << "No Data. Click to Change";
  QTest::newRow("P") << 1 << "P" << "Period";
  QTest::newRow("W") << 1 << "W" << "Wet Mucus";
  QTest::newRow("S discharge") << 1 << "S" << "Sticky Mucus";
  QTest::newRow("D") << 1 << "D" << "Dry";
  QTest::newRow("other discharge") << 1 << "X" << "";
  QTest::newRow("cervix empty") << 2 << "" << "No Data. Click to Change";
  QTest::newRow("S cervix") << 2 << "S" << "Soft like lips";
  QTest::newRow("H") << 2 << "H" << "Hard like a nose";
  QTest::newRow("other cervix") << 2 << "W" << "";
  QTest::newRow("cycle day row") << 0 << "" << "";
  QTest::newRow("intercourse") << 3 << "" << "";
}

void BasalTest::hoverHints() {
  QFETCH(int, row);
  QFETCH(QString, text);
  QFETCH(QString, hint);
  QCOMPARE(SignHoverHint(row, text), hint);
}

void BasalTest::reportLines() {
  const QStringList lines = BasalReportLines();
  QCOMPARE(lines.size(), 10);
  QCOMPARE(lines.first(), QString("<html><head>"));
  QCOMPARE(lines[6], QString("<img src=basal.jpg border=1>"));
  QCOMPARE(lines[8], QString("</td></tr></table><br>"));
  QCOMPARE(lines.last(), QString("</center></body></html>"));
}

void BasalTest::nothingBeforeFirstShowDate() {
  BasalSetup s;
  QVERIFY(!s.view->HasLoaded());
  s.view->RefreshCharts();
  Click(s.chart(), 5, 5);
  Click(s.signs(), 5, 1);
  QCOMPARE(s.host.setDateCalls, 0);
  QVERIFY(QDir(s.host.Dir().BasalFolder()).isEmpty());
  QVERIFY(!QFile::exists(s.buildPath("Basal.html")));
  QVERIFY(s.env.messages.isEmpty());

  // The first ShowDate loads and saves nothing.
  s.view->ShowDate(QDate(2009, 6, 15));
  QVERIFY(s.view->HasLoaded());
  QVERIFY(QDir(s.host.Dir().BasalFolder()).isEmpty());
  QVERIFY(!QFile::exists(s.buildPath("Basal.html")));
}

void BasalTest::dateStripAndLabels() {
  BasalSetup s("C");
  s.view->ShowDate(QDate(2009, 6, 15));
  // Column k of the strip shows S + k: 31 May first, 1 and 2 July last.
  QCOMPARE(s.strip()->Text(0, 0), QString("Sun"));
  QCOMPARE(s.strip()->Text(0, 1), QString("May"));
  QCOMPARE(s.strip()->Text(0, 2), QString("31"));
  QCOMPARE(s.strip()->Text(31, 1), QString("Jul"));
  QCOMPARE(s.strip()->Text(31, 2), QString("1"));
  QCOMPARE(s.strip()->Text(32, 2), QString("2"));
  QCOMPARE(s.view->Chart().ColumnDate(1), QDate(2009, 5, 31));
  // The strip sits over the day columns.
  QCOMPARE(s.strip()->mapTo(s.view.get(), QPoint(0, 0)).x(),
           s.chart()->mapTo(s.view.get(), s.chart()->CellRect(1, 0).topLeft()).x());

  QCOMPARE(s.chart()->Text(0, 0), QString("Cycle Day"));
  QCOMPARE(s.chart()->Text(0, 1), QString("37.05 °C"));
  QCOMPARE(s.chart()->Text(0, 16), QString("36.30 °C"));
  QCOMPARE(s.signs()->Text(0, 1), QString("Discharge"));
  QCOMPARE(s.signs()->Text(0, 3), QString("Intercourse"));

  // The unit is read when the window is built.
  s.host.Settings().TemperatureUnits = "F";
  s.view->ShowDate(QDate(2009, 6, 16));
  QCOMPARE(s.chart()->Text(0, 1), QString("98.7 °F"));
  QCOMPARE(s.chart()->Text(0, 16), QString("97.2 °F"));
  s.host.Settings().TemperatureUnits = "X";
  s.view->ShowDate(QDate(2009, 6, 16));
  QCOMPARE(s.chart()->Text(0, 1), QString());
}

void BasalTest::clickLevelStoresTemperatures_data() {
  QTest::addColumn<QString>("units");
  QTest::addColumn<int>("row");
  QTest::addColumn<int>("top");
  QTest::addColumn<QByteArray>("line");
  // The row's value on the scale she sees, and its exact conversion to the other unit
  // (98.3 °F is 36.83 °C; 36.85 °C is 98.33 °F).
  QTest::newRow("F, row 5") << "F" << 5 << 5 << QByteArray("\"June 3\",98.30,36.83,5,,,\r\n");
  QTest::newRow("C, row 5") << "C" << 5 << 5 << QByteArray("\"June 3\",98.33,36.85,5,,,\r\n");
  QTest::newRow("F, row 1") << "F" << 1 << 1 << QByteArray("\"June 3\",98.70,37.06,1,,,\r\n");
  QTest::newRow("F, row 14") << "F" << 14 << 14 << QByteArray("\"June 3\",97.40,36.33,14,,,\r\n");
  QTest::newRow("C, row 14") << "C" << 14 << 14 << QByteArray("\"June 3\",97.52,36.40,14,,,\r\n");
  QTest::newRow("row 16") << "F" << 16 << 0 << QByteArray("\"June 3\",98.80,37.10,0,,,\r\n");
}

void BasalTest::clickLevelStoresTemperatures() {
  QFETCH(QString, units);
  QFETCH(int, row);
  QFETCH(int, top);
  BasalSetup s(units);
  s.view->ShowDate(QDate(2009, 6, 15));
  const int c = 4;  // 3 June
  Click(s.chart(), c, row);

  QCOMPARE(s.view->Chart().BarTop(c), top);
  QCOMPARE(s.view->SelectedDate(), QDate(2009, 6, 3));
  QCOMPARE(s.host.selected, QDate(2009, 6, 3));
  const int day = QDate(2009, 6, 3).dayOfYear();
  QCOMPARE(s.line(2009, 0), QByteArray("Date,Farenheit,Celsius,BarHeight,\"Cycle Day\",,\r\n"));
  QFETCH(QByteArray, line);
  QCOMPARE(s.line(2009, day), line);
  QCOMPARE(s.load(2009).RowCount(), 366);
  QVERIFY(s.env.messages.isEmpty());
}

void BasalTest::clearingTheCurrentDay() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  const int day = QDate(2009, 6, 10).dayOfYear();
  const int c = 11;  // 10 June

  // A click on the bottom row clears the bar.
  Click(s.chart(), c, 5);
  QCOMPARE(s.load(2009).Cell(kBarTopCol, day), QString("5"));
  Click(s.chart(), c, 16);
  QCOMPARE(s.view->Chart().BarTop(c), 0);
  QCOMPARE(s.load(2009).Cell(kBarTopCol, day), QString("0"));

  // A double click clears the day it lands on.
  DoubleClick(s.chart(), c, 7);
  QCOMPARE(s.view->Chart().BarTop(c), 0);
  QCOMPARE(s.load(2009).Cell(kFahrenheitCol, day), QString("98.80"));
  QCOMPARE(s.chart()->currentRow(), 16);
  // A double click on a label clears nothing.
  Click(s.chart(), c, 7);
  QTest::mouseDClick(s.chart()->viewport(), Qt::LeftButton, {}, s.chart()->CellRect(0, 7).center());
  QCOMPARE(s.view->Chart().BarTop(c), 7);

  // "Clear Selected Date" clears the current column and leaves its bottom row current.
  Click(s.chart(), c, 3);
  s.host.selected = QDate(2000, 1, 1);
  auto* clear = s.view->findChild<QAction*>("ClearColumn1");
  QVERIFY(clear);
  QCOMPARE(clear->text(), QString("Clear Selected Date"));
  QVERIFY(s.view->findChild<QMenu*>("PopupMenu1"));
  clear->trigger();
  QCOMPARE(s.view->Chart().BarTop(c), 0);
  QCOMPARE(s.load(2009).Cell(kCelsiusCol, day), QString("37.10"));
  QCOMPARE(s.chart()->currentColumn(), c);
  QCOMPARE(s.chart()->currentRow(), 16);
  QCOMPARE(s.host.selected, QDate(2009, 6, 10));
}

void BasalTest::rightClickDoesNotSetABar() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  QTest::mouseClick(s.chart()->viewport(), Qt::RightButton, {}, s.chart()->CellRect(6, 4).center());
  QCOMPARE(s.view->Chart().BarTop(6), 0);
  QVERIFY(!QFile::exists(s.yearPath(2009)));
  // Neither do the labels or the cycle-day row.
  Click(s.chart(), 0, 4);
  Click(s.chart(), 6, 0);
  QCOMPARE(s.view->Chart().BarTop(6), 0);
  QCOMPARE(s.host.setDateCalls, 0);
}

void BasalTest::keyboardMoveSetsTemperature() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  Click(s.chart(), 6, 8);
  const QByteArray before = s.line(2009, QDate(2009, 6, 5).dayOfYear());
  // Walking with the arrows only moves the current cell: no bar, no write, no date.
  s.chart()->setFocus();
  QTest::keyClick(s.chart(), Qt::Key_Up);
  QTest::keyClick(s.chart(), Qt::Key_Right);
  QTest::keyClick(s.chart(), Qt::Key_Right);
  QCOMPARE(s.view->Chart().BarTop(6), 8);
  QCOMPARE(s.view->Chart().BarTop(7), 0);
  QCOMPARE(s.view->Chart().BarTop(8), 0);
  QCOMPARE(s.host.selected, QDate(2009, 6, 5));
  QCOMPARE(s.line(2009, QDate(2009, 6, 5).dayOfYear()), before);
  QCOMPARE(s.load(2009).Cell(kBarTopCol, QDate(2009, 6, 7).dayOfYear()).trimmed(), QString());
  // Space (or Enter) sets the level at the current cell, as a click would.
  QTest::keyClick(s.chart(), Qt::Key_Space);
  QCOMPARE(s.view->Chart().BarTop(8), 7);
  QCOMPARE(s.host.selected, QDate(2009, 6, 7));
  QCOMPARE(s.load(2009).Cell(kBarTopCol, QDate(2009, 6, 7).dayOfYear()), QString("7"));
  QTest::keyClick(s.chart(), Qt::Key_Left);
  QTest::keyClick(s.chart(), Qt::Key_Return);
  QCOMPARE(s.view->Chart().BarTop(7), 7);
  // The signs grid follows the same rule.
  s.signs()->setFocus();
  Click(s.signs(), 2, 1);
  QCOMPARE(s.signs()->Text(2, 1), QString("P"));
  QTest::keyClick(s.signs(), Qt::Key_Right);
  QTest::keyClick(s.signs(), Qt::Key_Down);
  QCOMPARE(s.signs()->Text(3, 2), QString());
  QCOMPARE(s.host.selected, QDate(2009, 6, 1));
}

// The black pixels on the line just inside a cell's top edge.
int FramePixels(BasalGrid* g, int col, int row) {
  const QImage image = g->viewport()->grab().toImage();
  const QRect r = g->CellRect(col, row);
  int n = 0;
  for (int x = r.left() + 1; x <= r.right() - 3; ++x)
    n += image.pixelColor(x, r.top() + 1) == QColor(Qt::black);
  return n;
}

// The keyboard's cell shows where it is in both grids, while the grid has the focus.
void BasalTest::currentCellIsFramed() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  s.view->activateWindow();
  QApplication::setActiveWindow(s.view.get());
  for (BasalGrid* g : {s.chart(), s.signs()}) {
    g->setFocus();
    QTRY_VERIFY(g->hasFocus());
    QTest::keyClick(g, Qt::Key_Right);
    QTest::keyClick(g, Qt::Key_Down);
    const int col = g->currentColumn(), row = g->currentRow();
    QVERIFY(col >= 0 && row >= 0);
    const int framed = FramePixels(g, col, row);
    QVERIFY2(framed >= 3, qPrintable(QString::number(framed)));
    // The cell beside it has no frame, and neither has this one once the focus left.
    QCOMPARE(FramePixels(g, col + 1, row), 0);
    s.view->setFocus();
    QTRY_VERIFY(!g->hasFocus());
    QCOMPARE(FramePixels(g, col, row), 0);
  }
}

// A click that follows a double click at once is a click of its own: three quick clicks
// on a sign step it three times.
void BasalTest::clickAfterDoubleClickCounts() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  const QPoint at = s.signs()->CellRect(4, 3).center();
  QTest::mouseClick(s.signs()->viewport(), Qt::LeftButton, {}, at);
  QVERIFY(s.view->Chart().Intercourse(4));
  QTest::mouseDClick(s.signs()->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseClick(s.signs()->viewport(), Qt::LeftButton, {}, at, 100);
  const bool afterFour = s.view->Chart().Intercourse(4);
  QVERIFY2(!afterFour, "the click after the double click was dropped");
}

void BasalTest::dischargeCycle() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  const int c = 16;  // 15 June
  const int day = QDate(2009, 6, 15).dayOfYear();
  const QStringList codes = {"P", "W", "S", "D", ""};
  const QStringList hints = {"period", "Wet Mucus", "Sticky Mucus", "Dry", "No Data"};
  for (int i = 0; i < 5; ++i) {
    Click(s.signs(), c, 1);
    QCOMPARE(s.signs()->Text(c, 1), codes[i]);
    QCOMPARE(s.signs()->toolTip(), hints[i]);
    // Every click writes the year file.
    QCOMPARE(s.load(2009).Cell(kDischargeCol, day).trimmed(), codes[i]);
  }
  QCOMPARE(s.line(2009, day), QByteArray("\"June 15\",,,,,,\r\n"));
  QCOMPARE(s.host.selected, QDate(2009, 6, 15));
  // The labels column and the cycle-day row change nothing.
  Click(s.signs(), 0, 1);
  Click(s.signs(), c, 0);
  QCOMPARE(s.signs()->toolTip(), QString());
  QCOMPARE(s.line(2009, day), QByteArray("\"June 15\",,,,,,\r\n"));
  QVERIFY(s.env.messages.isEmpty());
}

void BasalTest::cervixAndIntercourse() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  const int c = 2;  // 1 June
  const int day = QDate(2009, 6, 1).dayOfYear();
  Click(s.signs(), c, 2);
  QCOMPARE(s.signs()->Text(c, 2), QString("S"));
  QCOMPARE(s.signs()->toolTip(), QString("Soft (like lips)"));
  QCOMPARE(s.load(2009).Cell(kCervixCol, day), QString("S"));
  Click(s.signs(), c, 2);
  QCOMPARE(s.load(2009).Cell(kCervixCol, day), QString("H"));
  QCOMPARE(s.signs()->toolTip(), QString("Hard (like a nose)"));
  Click(s.signs(), c, 2);
  QCOMPARE(s.signs()->Text(c, 2), QString());
  QCOMPARE(s.signs()->toolTip(), QString("No Data"));

  Click(s.signs(), c, 3);
  QVERIFY(s.view->Chart().Intercourse(c));
  QCOMPARE(s.line(2009, day), QByteArray("\"June 1\",,,,,*,\r\n"));
  QCOMPARE(s.signs()->toolTip(), QString());
  Click(s.signs(), c, 3);
  QVERIFY(!s.view->Chart().Intercourse(c));
  QCOMPARE(s.line(2009, day), QByteArray("\"June 1\",,,,,,\r\n"));
}

void BasalTest::signHoverHints() {
  BasalSetup s;
  s.install("2009-quoted.txt", 2009);
  s.view->ShowDate(QDate(2009, 1, 20));
  QTest::mouseMove(s.signs()->viewport(), s.signs()->CellRect(3, 1).center());
  QCOMPARE(s.signs()->toolTip(), QString("No Data. Click to Change"));
  QTest::mouseMove(s.signs()->viewport(), s.signs()->CellRect(7, 1).center());
  QCOMPARE(s.signs()->toolTip(), QString("Wet Mucus"));
  QTest::mouseMove(s.signs()->viewport(), s.signs()->CellRect(7, 2).center());
  QCOMPARE(s.signs()->toolTip(), QString("Hard like a nose"));
  QTest::mouseMove(s.signs()->viewport(), s.signs()->CellRect(5, 1).center());
  QCOMPARE(s.signs()->toolTip(), QString());  // "X" is no code
  QTest::mouseMove(s.signs()->viewport(), s.signs()->CellRect(7, 3).center());
  QCOMPARE(s.signs()->toolTip(), QString());
  QTest::mouseMove(s.signs()->viewport(), s.signs()->CellRect(0, 1).center());
  QCOMPARE(s.signs()->toolTip(), QString());
}

void BasalTest::quotedSpacesShowNothing() {
  BasalSetup s;
  s.install("2009-quoted.txt", 2009);
  s.view->ShowDate(QDate(2009, 1, 20));
  const BasalChart& chart = s.view->Chart();
  QCOMPARE(chart.BarTop(1), 0);             // " "
  QCOMPARE(chart.BarTop(5), 0);             // "abc"
  QCOMPARE(chart.BarTop(6), 0);             // "17"
  QCOMPARE(chart.BarTop(7), 5);
  QCOMPARE(chart.BarTop(8), 0);             // a line with two fields
  QCOMPARE(s.signs()->Text(1, 1), QString());
  QCOMPARE(s.signs()->Text(1, 2), QString());
  QCOMPARE(s.signs()->Text(1, 3), QString());
  QCOMPARE(s.signs()->Text(5, 1), QString("X"));
  QCOMPARE(s.signs()->Text(5, 2), QString("soft"));
  QCOMPARE(s.signs()->Text(7, 1), QString("W"));
  QCOMPARE(s.signs()->Text(7, 2), QString("H"));
  QCOMPARE(s.signs()->Text(7, 3), QString("*"));
  QCOMPARE(s.signs()->Text(9, 3), QString());  // "* " is not the mark

  // A blank sign cell steps to the first code; other text is emptied.
  Click(s.signs(), 1, 2);
  QCOMPARE(s.signs()->Text(1, 2), QString("S"));
  Click(s.signs(), 5, 1);
  QCOMPARE(s.signs()->Text(5, 1), QString());
  QCOMPARE(s.signs()->toolTip(), QString());
  const CellGrid g = s.load(2009);
  QCOMPARE(g.Cell(kCervixCol, 1), QString("S"));
  QCOMPARE(g.Cell(kDischargeCol, 5).trimmed(), QString());
  // The rest of the file is kept as it was.
  QCOMPARE(g.Cell(kBarTopCol, 5), QString("abc"));
  QCOMPARE(g.Cell(kCervixCol, 5), QString("soft"));
  QCOMPARE(g.Cell(kIntercourseCol, 7), QString("*"));
  QCOMPARE(g.Cell(kFahrenheitCol, 8), QString("98.30"));
  QCOMPARE(g.RowCount(), 366);
  QCOMPARE(g.Cell(0, 365), QString("December 31"));
}

void BasalTest::decemberUsesTheNextYear() {
  BasalSetup s;
  s.install("2009-december.txt", 2009);
  s.install("2010-december.txt", 2010);
  auto januaryRows = [&s] {
    const CellGrid g = s.load(2009);
    QStringList cells;
    for (int r = 1; r <= 2; ++r)
      for (int c = 0; c < kBasalYearColumns; ++c) cells << g.Cell(c, r).trimmed();
    return cells;
  };
  const QStringList before2009 = januaryRows();
  s.view->ShowDate(QDate(2009, 12, 20));
  const BasalChart& chart = s.view->Chart();
  QCOMPARE(chart.ColumnDate(32), QDate(2010, 1, 1));
  QCOMPARE(s.strip()->Text(31, 1), QString("Jan"));
  // 1 and 2 January show the next year's records.
  QCOMPARE(chart.BarTop(32), 8);
  QCOMPARE(s.signs()->Text(32, 1), QString("P"));
  QCOMPARE(s.signs()->Text(32, 2), QString("H"));
  QCOMPARE(s.signs()->Text(32, 3), QString("*"));
  QCOMPARE(chart.BarTop(33), 0);
  QCOMPARE(s.signs()->Text(33, 3), QString());

  // Edits of those columns land in the next year's file.
  Click(s.chart(), 33, 4);
  QCOMPARE(s.host.selected, QDate(2010, 1, 2));
  // The file was read, so its empty fields come back as quoted spaces.
  // (98.40 °F is 36.89 °C.)
  QCOMPARE(s.line(2010, 2), QByteArray("\"January 2\",98.40,36.89,4,\" \",\" \",\" \"\r\n"));
  Click(s.signs(), 32, 1);
  QCOMPARE(s.load(2010).Cell(kDischargeCol, 1), QString("W"));
  Click(s.chart(), 32, 16);
  QCOMPARE(s.load(2010).Cell(kBarTopCol, 1), QString("0"));

  // 1 and 2 January of the shown year are untouched.
  QCOMPARE(januaryRows(), before2009);
  QCOMPARE(s.load(2009).Cell(kBarTopCol, 1), QString("12"));
  QVERIFY(s.env.messages.isEmpty());

  // January shows what December stored.
  s.view->ShowDate(QDate(2010, 1, 5));
  QCOMPARE(chart.BarTop(2), 4);
  QCOMPARE(s.signs()->Text(1, 1), QString("W"));
  QCOMPARE(s.load(2009).Cell(kBarTopCol, 1), QString("12"));
}

void BasalTest::leapYearKeepsDecember31() {
  BasalSetup s;
  s.view->ShowDate(QDate(2008, 12, 5));
  QCOMPARE(s.view->Chart().ColumnDate(31), QDate(2008, 12, 31));
  Click(s.chart(), 31, 9);
  Click(s.signs(), 31, 3);
  const CellGrid g = s.load(2008);
  QCOMPARE(g.RowCount(), 367);
  QCOMPARE(g.Cell(kBarTopCol, 366), QString("9"));
  QCOMPARE(g.Cell(kIntercourseCol, 366), QString("*"));
  QCOMPARE(g.Cell(0, 366), QString("December 31"));
  // It is still there when the year is opened again.
  s.view->ShowDate(QDate(2008, 12, 6));
  QCOMPARE(s.view->Chart().BarTop(31), 9);
}

void BasalTest::cycleDayNumbers() {
  BasalSetup s;
  s.host.Settings().Cycle.LastPeriod = QDate(2009, 5, 3);
  s.host.Settings().Cycle.CycleLength = 28;
  s.view->ShowDate(QDate(2009, 5, 10));
  // The May window starts on 1 May: 3 May is column 3.
  QCOMPARE(s.chart()->Text(3, 0), QString("1"));
  QCOMPARE(s.chart()->Text(4, 0), QString("2"));
  QCOMPARE(s.chart()->Text(2, 0), QString("1"));  // the day before the last period
  QCOMPARE(s.chart()->Text(1, 0), QString("2"));
  QCOMPARE(s.signs()->Text(3, 0), QString("1"));
  QCOMPARE(s.signs()->Text(4, 0), QString("2"));

  // A new last period shows at the next refresh, as the strip's colours do.
  s.host.Settings().Cycle.LastPeriod = QDate(2009, 5, 4);
  s.view->RefreshCharts();
  QCOMPARE(s.chart()->Text(4, 0), QString("1"));
}

void BasalTest::showDateSavesTheYearShownBefore() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  QVERIFY(!QFile::exists(s.yearPath(2009)));
  // Browsing into another year writes the year shown until then, and the report.
  s.view->ShowDate(QDate(2011, 3, 1));
  QVERIFY(QFile::exists(s.yearPath(2009)));
  QVERIFY(QFile::exists(s.buildPath("Basal.html")));
  QVERIFY(!QFile::exists(s.yearPath(2011)));
  s.view->ShowDate(QDate(2011, 4, 1));
  QVERIFY(QFile::exists(s.yearPath(2011)));
  // Viewing December does not create the next year's file.
  s.view->ShowDate(QDate(2011, 12, 1));
  s.view->ShowDate(QDate(2011, 11, 1));
  QVERIFY(!QFile::exists(s.yearPath(2012)));
  QVERIFY(s.env.messages.isEmpty());
}

void BasalTest::reportFiles() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  Click(s.chart(), 10, 6);

  QByteArray html;
  QVERIFY(ReadFileBytes(s.buildPath("Basal.html"), &html, nullptr));
  QCOMPARE(html, QByteArray("<html><head>\r\n</head><body>\r\n<center><h2>\r\n"
                            " Basal Temperature (BBT) </h2>\r\n<table width=600 ><tr>\r\n"
                            "<td><b>Basal Body Temperature (BBT) </b>\r\n"
                            "<img src=basal.jpg border=1>\r\n</td><td>\r\n"
                            "</td></tr></table><br>\r\n</center></body></html>\r\n"));

  QByteArray jpeg;
  QVERIFY(ReadFileBytes(s.buildPath("basal.jpg"), &jpeg, nullptr));
  QVERIFY(IsProgressiveJpeg(jpeg));
  const QImage picture = QImage::fromData(jpeg, "JPEG");
  auto* panel = s.view->findChild<QWidget*>("Basal_Panel");
  QVERIFY(panel);
  QCOMPARE(picture.size(), panel->size());
  // The picture shows the bar just set: grey in its column below the clicked row.
  const QRect cell = s.chart()->CellRect(10, 12);
  const QPoint at = s.chart()->viewport()->mapTo(panel, cell.center() + QPoint(0, 0));
  const QColor c = picture.pixelColor(at.x(), at.y() - 5);
  QVERIFY2(qAbs(c.red() - 128) < 12 && qAbs(c.green() - 128) < 12, qPrintable(c.name()));
}

void BasalTest::reportButtonAndLink() {
  BasalSetup s;
  s.view->ShowDate(QDate(2009, 6, 15));
  auto* report = s.view->findChild<QAbstractButton*>("SpeedButton7");
  QVERIFY(report);
  QCOMPARE(report->text(), QString("Report"));
  report->click();
  QCOMPARE(s.opened.size(), 1);
  QCOMPARE(s.opened[0], QUrl::fromLocalFile(s.buildPath("Basal.html")));
  QVERIFY(QFile::exists(s.buildPath("basal.jpg")));

  auto* link = s.view->findChild<QLabel*>("Label5");
  QVERIFY(link);
  QCOMPARE(link->text(), QString("What is Basal Temperature?"));
  QTest::mouseClick(link, Qt::LeftButton);
  QCOMPARE(s.opened.size(), 2);
  QCOMPARE(s.opened[1].scheme(), QString("https"));

  auto* print = s.view->findChild<QAbstractButton*>("SpeedButton5");
  QVERIFY(print);
  QCOMPARE(print->toolTip(), QString("Print"));
}

void BasalTest::drawing() {
  BasalSetup s;
  s.host.Settings().Cycle.LastPeriod = QDate(2009, 6, 1);
  s.view->ShowDate(QDate(2009, 6, 15));
  // Column 12 reads 14, column 13 reads 9: a rise day. Column 20 reads 9 without a rise.
  Click(s.chart(), 12, 14);
  Click(s.chart(), 13, 9);
  Click(s.chart(), 20, 9);
  Click(s.signs(), 13, 3);
  const QImage img = s.chart()->viewport()->grab().toImage();
  auto colourAt = [&](int col, int row, QPoint offset = QPoint(8, 6)) {
    return img.pixelColor(s.chart()->CellRect(col, row).topLeft() + offset);
  };
  QCOMPARE(colourAt(13, 10), QColor(45, 215, 53));
  QCOMPARE(colourAt(12, 15), QColor(128, 128, 128));
  QCOMPARE(colourAt(20, 10), QColor(128, 128, 128));
  // Bars show no gap between their cells.
  QCOMPARE(img.pixelColor(s.chart()->CellRect(12, 15).bottomLeft() + QPoint(5, 0)),
           QColor(128, 128, 128));
  // Empty cells: odd columns light grey, even ones white.
  QCOMPARE(colourAt(3, 5), QColor(247, 247, 247));
  QCOMPARE(colourAt(4, 5), QColor(Qt::white));
  // The cover line runs through row 12, over bars as well.
  QCOMPARE(colourAt(4, 12, QPoint(8, 13)), QColor(255, 128, 255));
  QCOMPARE(colourAt(20, 12, QPoint(8, 13)), QColor(255, 128, 255));

  // The date strip: the selected date's column has red edges.
  const QImage strip = s.strip()->viewport()->grab().toImage();
  const QRect sel = s.strip()->CellRect(12, 1);  // 12 June: day column 13
  QCOMPARE(s.view->SelectedDate(), QDate(2009, 6, 12));
  QCOMPARE(strip.pixelColor(sel.topLeft() + QPoint(0, 3)), QColor(255, 0, 0));
  QCOMPARE(strip.pixelColor(sel.topLeft() + QPoint(sel.width() - 3, 3)), QColor(255, 0, 0));
  QVERIFY(strip.pixelColor(s.strip()->CellRect(11, 1).topLeft() + QPoint(0, 3)) !=
          QColor(255, 0, 0));

  // The heart in the marked intercourse cell.
  const QImage signs = s.signs()->viewport()->grab().toImage();
  const QRect heart = s.signs()->CellRect(13, 3);
  bool red = false;
  for (int y = heart.top(); y <= heart.bottom(); ++y)
    for (int x = heart.left(); x <= heart.right(); ++x) {
      const QColor c = signs.pixelColor(x, y);
      red = red || (c.red() > 180 && c.green() < 80);
    }
  QVERIFY(red);
}

void BasalTest::unwritableYearFile() {
  BasalSetup s;
  // The Basal folder is a file: nothing can be created under it.
  const QString folder = s.host.Dir().BasalFolder();
  QVERIFY(QDir(folder).removeRecursively());
  QVERIFY(WriteTextFile(folder.chopped(1), "not a folder", nullptr));
  s.view->ShowDate(QDate(2009, 6, 15));
  QVERIFY(s.env.messages.isEmpty());
  Click(s.chart(), 5, 5);
  QCOMPARE(s.env.messages.size(), 1);
  QCOMPARE(s.env.messages[0].kind, MessageKind::Error);
  QVERIFY2(s.env.messages[0].text.startsWith("Cannot create file \"" + s.yearPath(2009) + "\". "),
           qPrintable(s.env.messages[0].text));
  // The view keeps what it holds.
  QCOMPARE(s.view->Chart().BarTop(5), 5);
  s.env.clearMessages();
  Click(s.signs(), 5, 1);
  QCOMPARE(s.env.messages.size(), 1);
  QVERIFY(s.env.messages[0].text.startsWith("Cannot create file"));
  // Moving within the year keeps the entries that could not be written.
  s.env.clearMessages();
  s.view->ShowDate(QDate(2009, 7, 15));
  s.view->ShowDate(QDate(2009, 6, 15));
  QCOMPARE(s.view->Chart().BarTop(5), 5);
  QCOMPARE(s.signs()->Text(5, 1), QString("P"));
}

void BasalTest::unreadableYearFile() {
  BasalSetup s;
  // A folder where the year file should be cannot be read.
  QVERIFY(QDir().mkpath(s.yearPath(2009)));
  s.view->ShowDate(QDate(2009, 6, 15));
  QCOMPARE(s.env.messages.size(), 1);
  QVERIFY2(s.env.messages[0].text.startsWith("Cannot open file \"" + s.yearPath(2009) + "\". "),
           qPrintable(s.env.messages[0].text));
  s.env.clearMessages();
  // Leaving the year does not try to write over what was never read.
  s.view->ShowDate(QDate(2010, 6, 15));
  QVERIFY(s.env.messages.isEmpty());
  QVERIFY(QFileInfo(s.yearPath(2009)).isDir());
}

void BasalTest::unwritableReport() {
  BasalSetup s;
  const QString build = s.host.Dir().BuildFolder();
  QVERIFY(QDir(build).removeRecursively());
  QVERIFY(WriteTextFile(build.chopped(1), "not a folder", nullptr));
  s.view->ShowDate(QDate(2009, 6, 15));
  Click(s.chart(), 5, 5);
  // One message for the report; the year file is still written.
  QCOMPARE(s.env.messages.size(), 1);
  QVERIFY(s.env.messages[0].text.startsWith("Cannot create file \"" + build + "basal.jpg\". "));
  QCOMPARE(s.load(2009).Cell(kBarTopCol, QDate(2009, 6, 4).dayOfYear()), QString("5"));
  s.env.clearMessages();
  // The Report button shows the error and opens nothing.
  s.view->findChild<QAbstractButton*>("SpeedButton7")->click();
  QCOMPARE(s.env.messages.size(), 1);
  QVERIFY(s.opened.isEmpty());
}

// Browsing saves the year shown until then; a year unchanged since it was read is not
// written again (even one whose empty fields a save would quote).
void BasalTest::browsingRewritesNoYear() {
  BasalSetup s;
  s.install("2009-december.txt", 2009);
  const QByteArray before = Bytes(s.yearPath(2009));
  const quint64 inode = Inode(s.yearPath(2009));
  s.view->ShowDate(QDate(2009, 6, 15));
  s.view->ShowDate(QDate(2009, 12, 15));
  s.view->ShowDate(QDate(2010, 3, 1));
  QCOMPARE(Inode(s.yearPath(2009)), inode);
  QCOMPARE(Bytes(s.yearPath(2009)), before);
  QVERIFY(s.env.messages.isEmpty());
}

// A year file that cannot be read is never replaced by what is clicked into the empty
// year on screen; the refusal is said once.
void BasalTest::unreadableYearFileIsNeverReplaced() {
  BasalSetup s;
  s.install("2009-december.txt", 2009);
  const QString path = s.yearPath(2009);
  const QByteArray before = Bytes(path);
  if (!MakeUnreadable(path)) QSKIP("this process reads files of any mode");
  s.view->ShowDate(QDate(2009, 6, 15));
  QCOMPARE(s.env.messageTexts(), QStringList{CannotOpenMessage(path, "Permission denied")});
  Click(s.chart(), 5, 5);
  Click(s.signs(), 5, 1);
  Click(s.chart(), 6, 4);
  s.view->ShowDate(QDate(2010, 6, 15));
  QCOMPARE(s.env.messages.size(), 2);
  QVERIFY2(s.env.messages[1].text.startsWith("Cannot create file \"" + path +
                                             "\". It could not be read"),
           qPrintable(s.env.messages[1].text));
  MakeReadable(path);
  QCOMPARE(Bytes(path), before);
}

// A full disk while a temperature is stored: the year file keeps its old bytes, the user
// hears why, and the entry is written at the next save that can.
void BasalTest::fullDiskKeepsTheYearFile() {
  BasalSetup s;
  s.install("2009-december.txt", 2009);
  const QString path = s.yearPath(2009);
  const QByteArray before = Bytes(path);
  s.view->ShowDate(QDate(2009, 6, 15));
  {
    FileSizeLimit full(16);
    Click(s.chart(), 5, 5);
  }
  QVERIFY(!s.env.messages.isEmpty());
  for (const QString& text : s.env.messageTexts())
    QVERIFY2(text.endsWith("File too large"), qPrintable(text));
  QVERIFY(s.env.messageTexts().contains(CannotCreateMessage(path, "File too large")));
  QCOMPARE(Bytes(path), before);
  QCOMPARE(s.view->Chart().BarTop(5), 5);
  s.view->ShowDate(QDate(2009, 7, 15));  // the change is written on leaving
  QCOMPARE(s.load(2009).Cell(kBarTopCol, QDate(2009, 6, 4).dayOfYear()), QString("5"));
}

QTEST_MAIN(BasalTest)
#include "test_basal.moc"
