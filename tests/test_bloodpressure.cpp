// The blood-pressure tracker: the readings file, adding and deleting readings, the
// graph's points, the categories picture, and when the table reaches its file.

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>
#include <QColor>

#include "core/clock.h"
#include "core/textfile.h"
#include "shell/mainwindow.h"
#include "support/fakehost.h"
#include "support/testenv.h"
#include "trackers/pressurepicture.h"
#include "trackers/pressurereadings.h"
#include "trackers/pressuretablemodel.h"
#include "trackers/widgets/bloodpressureview.h"

namespace {

struct FixedNow {
  explicit FixedNow(const QDateTime& now) {
    Clock::SetSource([now] { return now; });
  }
  ~FixedNow() { Clock::SetSource({}); }
};

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// Types into the open cell editor of a table; each tab commits the cell and opens the
// editor of the next one, as it does for the user.
void TypeInEditor(QTableView* table, const QString& text) {
  const QStringList parts = text.split(u'\t');
  for (int i = 0; i < parts.size(); ++i) {
    auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->currentIndex()));
    QVERIFY2(editor, "no open cell editor");
    editor->selectAll();
    QTest::keyClicks(editor, parts.at(i));
    if (i + 1 < parts.size()) QTest::keyClick(editor, Qt::Key_Tab);
  }
}

QStringList FileLines(const QString& path) {
  QStringList lines = QString::fromUtf8(FileBytes(path)).split("\r\n");
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

// A grid of readings: header, then one row per list of cells.
CellGrid Readings(const QList<QStringList>& rows) {
  CellGrid grid(kPressureColumns, int(rows.size()) + 1);
  grid.SetRow(0, PressureHeaders());
  for (int i = 0; i < rows.size(); ++i) grid.SetRow(i + 1, rows.at(i));
  return grid;
}

// A blood-pressure view over a fresh data folder, opened as at start-up on `start`.
struct Rig {
  TestEnv env;
  FakeHost host;
  FixedNow now;
  BloodPressureView view{&host};

  explicit Rig(const QDate& start = QDate(2009, 5, 3), const QString& fixture = QString())
      : now(QDateTime(QDate(2009, 5, 3), QTime(7, 5))) {
    host.viewName = "heart";
    if (!fixture.isEmpty()) {
      QFile::copy(TestEnv::testData("trackers/" + fixture), path(start.year()));
    }
    view.resize(621, 451);
    view.show();
    QApplication::setActiveWindow(&view);
    view.StartView(start);
  }
  QString path(int year) const { return PressureReadingsPath(host.Dir().HeartFolder(), year); }
  QTableView* table() { return view.findChild<QTableView*>("Pressure_Chart"); }
  QAbstractItemModel* model() { return table()->model(); }
  QTabWidget* tabs() { return view.findChild<QTabWidget*>("PG"); }
  QString cell(int gridRow, int col) { return model()->index(gridRow - 1, col).data().toString(); }
  void click(const char* name) { view.findChild<QPushButton*>(name)->click(); }
  // Types into the open editor of the current cell; a tab goes on to the next cell.
  void typeInEditor(const QString& text) { TypeInEditor(table(), text); }
  QStringList errors() const {
    QStringList out;
    for (const auto& m : env.messages)
      if (m.kind == MessageKind::Error) out << m.text;
    return out;
  }
  QList<QPointF> seriesPoints(int i) {
    auto* chart = view.findChild<QChartView*>("Pressure_Graph")->chart();
    return qobject_cast<QLineSeries*>(chart->series().at(i))->points();
  }
};

}  // namespace

class BloodPressureTest : public QObject {
  Q_OBJECT
 private slots:
  // --- records ---
  void addReading();
  void deleteReading_data();
  void deleteReading();
  void openShapes_data();
  void openShapes();
  void savedRowStartsWithQuotedDate();
  void wholeNumbers_data();
  void wholeNumbers();
  void graphPoints_data();
  void graphPoints();
  void graphOfFixture();
  void classify_data();
  void classify();
  void newestReading();
  void pictureMarksNewestCategory();

  // --- view ---
  void openShowsTableWithoutWriting();
  void addOnScreen();
  void deleteOnScreen();
  void onlyRowIsEmptiedOnScreen();
  void eachYearHasItsReadings();
  void typedReadingSplitOverItsCells_data();
  void typedReadingSplitOverItsCells();
  void valuesThatAreNoReadingsAreMarked();
  void newReadingIsWrittenInEnglish_data();
  void newReadingIsWrittenInEnglish();
  void typedReadingKeptWhenViewLeft();
  void typedReadingKeptWhenSwitchingViews();
  void focusLeavingTableSaves();
  void tabsSaveAndDraw();
  void unreadableFileIsNotReplaced();
  void unwritableFileReportedOnce();
};

// --- records ----------------------------------------------------------------------------

void BloodPressureTest::addReading() {
  TestEnv env;
  QTemporaryDir dir;
  PressureReadings r;
  QVERIFY(r.Open(dir.path() + "/", QDate(2009, 5, 3)));
  QCOMPARE(r.Grid().RowCount(), kEmptyLogRows);
  r.Grid().SetRow(1, {"May 2, 2009", "8:00 PM", "120", "80", "70"});
  r.AddReading(QDate(2009, 5, 3), QDateTime(QDate(2009, 5, 3), QTime(7, 5)));
  QCOMPARE(r.Grid().RowCount(), kEmptyLogRows + 1);
  QCOMPARE(r.Grid().RowTexts(1), (QStringList{"May 3, 2009", "7:05 AM"}));
  QCOMPARE(r.Grid().Cell(kBpSystolic, 1), QString());
  QCOMPARE(r.Grid().RowTexts(2), (QStringList{"May 2, 2009", "8:00 PM", "120", "80", "70"}));
  QCOMPARE(r.Grid().RowTexts(0), PressureHeaders());
}

void BloodPressureTest::deleteReading_data() {
  QTest::addColumn<int>("rows");
  QTest::addColumn<int>("deleted");
  QTest::addColumn<int>("rowsAfter");
  QTest::addColumn<QString>("row2After");
  QTest::newRow("row 2 of 10") << 10 << 2 << 9 << "r3";
  QTest::newRow("last row of 10") << 10 << 9 << 9 << "r2";
  QTest::newRow("only row: emptied") << 2 << 1 << 2 << "";
  QTest::newRow("the header never goes") << 10 << 0 << 10 << "r2";
  QTest::newRow("beyond the table") << 10 << 10 << 10 << "r2";
}

void BloodPressureTest::deleteReading() {
  QFETCH(int, rows);
  QFETCH(int, deleted);
  QFETCH(int, rowsAfter);
  QFETCH(QString, row2After);
  TestEnv env;
  QTemporaryDir dir;
  PressureReadings r;
  QVERIFY(r.Open(dir.path() + "/", QDate(2009, 5, 3)));
  CellGrid& grid = r.Grid();
  grid.SetRowCount(rows);
  for (int i = 1; i < rows; ++i) grid.SetRow(i, {QString("r%1").arg(i), "7:00 AM", "120"});
  r.DeleteReading(deleted);
  QCOMPARE(grid.RowCount(), rowsAfter);
  QCOMPARE(grid.RowTexts(0), PressureHeaders());
  if (rows == 2) {
    QCOMPARE(grid.Cell(0, 1), QString());
    QCOMPARE(grid.Cell(kBpSystolic, 1), QString());
  } else {
    QCOMPARE(grid.Cell(0, 2), row2After);
  }
}

void BloodPressureTest::openShapes_data() {
  QTest::addColumn<QString>("fixture");
  QTest::addColumn<int>("rows");
  QTest::addColumn<QStringList>("header");
  QTest::newRow("no file: 365 rows") << "" << kEmptyLogRows << PressureHeaders();
  QTest::newRow("a dozen readings") << "Y2009-pressure.txt" << 15 << PressureHeaders();
  // Older or hand-made files: the missing columns come with their headers, a file of
  // only its header line gains an empty reading row.
  QTest::newRow("three columns") << "Y2009-pressure-narrow.txt" << 2 << PressureHeaders();
  QTest::newRow("header only") << "Y2009-pressure-header.txt" << 2 << PressureHeaders();
}

void BloodPressureTest::openShapes() {
  QFETCH(QString, fixture);
  QFETCH(int, rows);
  QFETCH(QStringList, header);
  TestEnv env;
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  if (!fixture.isEmpty())
    QVERIFY(QFile::copy(TestEnv::testData("trackers/" + fixture),
                        PressureReadingsPath(folder, 2009)));
  PressureReadings r;
  QVERIFY(r.Open(folder, QDate(2009, 8, 1)));
  QCOMPARE(r.Path(), folder + "Y2009-pressure.txt");
  QCOMPARE(r.Grid().RowCount(), rows);
  QCOMPARE(r.Grid().ColCount(), kPressureColumns);
  QStringList shownHeader;
  for (int c = 0; c < kPressureColumns; ++c) shownHeader << r.Grid().Cell(c, 0);
  QCOMPARE(shownHeader, header);
}

void BloodPressureTest::savedRowStartsWithQuotedDate() {
  TestEnv env;
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  PressureReadings r;
  QVERIFY(r.Open(folder, QDate(2009, 5, 3)));
  r.AddReading(QDate(2009, 5, 3), QDateTime(QDate(2009, 5, 3), QTime(7, 5)));
  r.Grid().SetCell(kBpSystolic, 1, "120");
  QVERIFY(r.Save());
  const QStringList lines = FileLines(folder + "Y2009-pressure.txt");
  QCOMPARE(lines.size(), kEmptyLogRows + 1);
  QCOMPARE(lines.at(0), QString("Date,\"Time Taken\",Systolic,Diastolic,Pulse"));
  QCOMPARE(lines.at(1), QString("\"May 3, 2009\",\"7:05 AM\",120,,"));
  QCOMPARE(lines.at(2), QString(",,,,"));
}

void BloodPressureTest::wholeNumbers_data() {
  QTest::addColumn<QString>("cell");
  QTest::addColumn<int>("value");
  QTest::newRow("plain") << "120" << 120;
  QTest::newRow("spaced") << " 85 " << 85;
  QTest::newRow("empty") << "" << -1;
  QTest::newRow("decimal") << "126.5" << -1;
  QTest::newRow("text") << "abc" << -1;
  QTest::newRow("number and text") << "120 mm" << -1;
  QTest::newRow("sign alone") << "-" << -1;
  QTest::newRow("negative") << "-5" << -5;
  QTest::newRow("too large") << "99999999999" << -1;
}

void BloodPressureTest::wholeNumbers() {
  QFETCH(QString, cell);
  QFETCH(int, value);
  QCOMPARE(PressureValue(cell), value);
}

void BloodPressureTest::graphPoints_data() {
  QTest::addColumn<QStringList>("row2");
  QTest::addColumn<QList<QPointF>>("systolic");
  QTest::addColumn<QList<QPointF>>("diastolic");
  QTest::addColumn<QList<QPointF>>("pulse");
  // Rows 1 and 3 hold 120/80/70 and 118/76/61; row 2 varies. Points sit at their row.
  const QList<QPointF> sys13{{1, 120}, {3, 118}}, dia13{{1, 80}, {3, 76}}, pul13{{1, 70}, {3, 61}};
  QTest::newRow("whole reading") << QStringList{"", "", "130", "85", "72"}
                                 << QList<QPointF>{{1, 120}, {2, 130}, {3, 118}}
                                 << QList<QPointF>{{1, 80}, {2, 85}, {3, 76}}
                                 << QList<QPointF>{{1, 70}, {2, 72}, {3, 61}};
  QTest::newRow("no systolic: not plotted") << QStringList{"", "", " ", "85", "72"} << sys13
                                            << dia13 << pul13;
  QTest::newRow("systolic 240: the rest plotted")
      << QStringList{"", "", "240", "95", "88"} << sys13
      << QList<QPointF>{{1, 80}, {2, 95}, {3, 76}} << QList<QPointF>{{1, 70}, {2, 88}, {3, 61}};
  QTest::newRow("range ends") << QStringList{"", "", "50", "10", "230"}
                              << QList<QPointF>{{1, 120}, {2, 50}, {3, 118}}
                              << QList<QPointF>{{1, 80}, {2, 10}, {3, 76}}
                              << QList<QPointF>{{1, 70}, {2, 230}, {3, 61}};
  QTest::newRow("beyond the ranges") << QStringList{"", "", "49", "141", "231"}
                                     << sys13 << dia13 << pul13;
  QTest::newRow("not whole numbers") << QStringList{"", "", "abc", "80.5", "x"} << sys13
                                     << dia13 << pul13;
}

void BloodPressureTest::graphPoints() {
  QFETCH(QStringList, row2);
  QFETCH(QList<QPointF>, systolic);
  QFETCH(QList<QPointF>, diastolic);
  QFETCH(QList<QPointF>, pulse);
  const CellGrid grid = Readings({{"", "", "120", "80", "70"}, row2, {"", "", "118", "76", "61"},
                                  {"", "", "", "", ""}});
  const PressureGraph g = PressureGraphPoints(grid);
  QCOMPARE(QList<QPointF>(g.systolic.begin(), g.systolic.end()), systolic);
  QCOMPARE(QList<QPointF>(g.diastolic.begin(), g.diastolic.end()), diastolic);
  QCOMPARE(QList<QPointF>(g.pulse.begin(), g.pulse.end()), pulse);
}

void BloodPressureTest::graphOfFixture() {
  TestEnv env;
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, TestEnv::testData("trackers/Y2009-pressure.txt")));
  const PressureGraph g = PressureGraphPoints(grid);
  // Row 2 has no systolic; row 3's 240 and row 5's abc and row 9's 126.5 are left out,
  // row 8's pulse of 300 too; everything else sits at its row.
  QCOMPARE(QList<QPointF>(g.systolic.begin(), g.systolic.end()),
           (QList<QPointF>{{1, 135}, {4, 128}, {6, 118}, {7, 122}, {8, 131}, {10, 119},
                           {11, 142}, {12, 117}}));
  QCOMPARE(QList<QPointF>(g.diastolic.begin(), g.diastolic.end()),
           (QList<QPointF>{{1, 85}, {3, 95}, {4, 78}, {5, 76}, {6, 76}, {7, 79}, {8, 82},
                           {9, 81}, {10, 77}, {11, 92}, {12, 75}}));
  QCOMPARE(QList<QPointF>(g.pulse.begin(), g.pulse.end()),
           (QList<QPointF>{{1, 72}, {3, 88}, {4, 66}, {5, 64}, {6, 61}, {8, 74}, {9, 70},
                           {10, 62}, {11, 80}, {12, 60}}));
}

void BloodPressureTest::classify_data() {
  QTest::addColumn<int>("systolic");
  QTest::addColumn<int>("diastolic");
  QTest::addColumn<int>("category");
  using C = PressureCategory;
  QTest::newRow("119/79 normal") << 119 << 79 << int(C::Normal);
  QTest::newRow("120/79 elevated") << 120 << 79 << int(C::Elevated);
  QTest::newRow("129/79 elevated") << 129 << 79 << int(C::Elevated);
  QTest::newRow("130/70 stage 1") << 130 << 70 << int(C::Stage1);
  QTest::newRow("115/80 stage 1") << 115 << 80 << int(C::Stage1);
  QTest::newRow("139/89 stage 1") << 139 << 89 << int(C::Stage1);
  QTest::newRow("140/70 stage 2") << 140 << 70 << int(C::Stage2);
  QTest::newRow("110/90 stage 2") << 110 << 90 << int(C::Stage2);
  QTest::newRow("180/120 stage 2") << 180 << 120 << int(C::Stage2);
  QTest::newRow("181/100 crisis") << 181 << 100 << int(C::Crisis);
  QTest::newRow("150/121 crisis") << 150 << 121 << int(C::Crisis);
}

void BloodPressureTest::classify() {
  QFETCH(int, systolic);
  QFETCH(int, diastolic);
  QFETCH(int, category);
  QCOMPARE(int(ClassifyPressure(systolic, diastolic)), category);
}

void BloodPressureTest::newestReading() {
  QVERIFY(!NewestReading(Readings({{"", "", "", "", ""}})));
  const CellGrid grid = Readings({{"May 4, 2009", "", "", "80", ""},
                                  {"May 3, 2009", "7:05 AM", "abc", "80", ""},
                                  {"May 2, 2009", "8:00 PM", "135", "85", "70"},
                                  {"May 1, 2009", "8:00 PM", "118", "70", "70"}});
  const auto newest = NewestReading(grid);
  QVERIFY(newest);
  QCOMPARE(newest->row, 3);
  QCOMPARE(newest->date, QString("May 2, 2009"));
  QCOMPARE(newest->systolic, 135);
  QCOMPARE(newest->diastolic, 85);
  QCOMPARE(newest->category, PressureCategory::Stage1);
}

void BloodPressureTest::pictureMarksNewestCategory() {
  const QImage none = PressureClassPicture(std::nullopt);
  QCOMPARE(none.size(), QSize(kPressurePictureWidth, kPressurePictureHeight));
  for (PressureCategory c : {PressureCategory::Normal, PressureCategory::Elevated,
                             PressureCategory::Stage1, PressureCategory::Stage2,
                             PressureCategory::Crisis}) {
    PressureReading reading;
    reading.systolic = 150;
    reading.diastolic = 95;
    reading.category = c;
    const QImage img = PressureClassPicture(reading);
    // The band of the category is framed in black at its top-left corner; the other
    // bands are not.
    for (PressureCategory other : {PressureCategory::Normal, PressureCategory::Stage2}) {
      const QRect band = PressureCategoryRect(other);
      const QColor corner = img.pixelColor(band.left() + 2, band.top() + 2);
      const bool framed = corner.lightness() < 60;
      QCOMPARE(framed, other == c);
    }
    // The arrow beside the band points at it.
    const QRect band = PressureCategoryRect(c);
    QVERIFY(img.pixelColor(band.right() + 20, band.center().y()).lightness() < 60);
    QVERIFY(none.pixelColor(band.right() + 20, band.center().y()).lightness() > 200);
  }
}

// --- view -----------------------------------------------------------------------------

void BloodPressureTest::openShowsTableWithoutWriting() {
  Rig rig(QDate(2009, 5, 3), "Y2009-pressure.txt");
  const QByteArray before = FileBytes(rig.path(2009));
  QCOMPARE(rig.view.findChild<QLabel*>("lblDate")->text(), QString("Sunday, May 3, 2009"));
  QCOMPARE(rig.model()->rowCount(), 14);
  QCOMPARE(rig.model()->headerData(1, Qt::Horizontal).toString(), QString("Time Taken"));
  QCOMPARE(rig.cell(1, kBpDate), QString("May 14, 2009"));
  QCOMPARE(rig.table()->columnWidth(0), 110);
  QCOMPARE(rig.table()->columnWidth(4), 50);
  QCOMPARE(rig.table()->rowHeight(0), 20);
  // Showing, other dates and tabs without edits write nothing.
  rig.view.ShowDate(QDate(2009, 6, 1));
  QCOMPARE(rig.view.findChild<QLabel*>("lblDate")->text(), QString("Monday, June 1, 2009"));
  rig.tabs()->setCurrentIndex(1);
  rig.tabs()->setCurrentIndex(2);
  rig.tabs()->setCurrentIndex(0);
  rig.view.SaveOnLeave();
  QCOMPARE(FileBytes(rig.path(2009)), before);
  QVERIFY(rig.errors().isEmpty());
  // Nor is a file made for a log that has none.
  Rig fresh;
  fresh.view.SaveOnLeave();
  QVERIFY(!QFile::exists(fresh.path(2009)));
}

void BloodPressureTest::addOnScreen() {
  Rig rig(QDate(2009, 5, 3), "Y2009-pressure.txt");
  rig.click("SpeedButton1");
  QCOMPARE(rig.model()->rowCount(), 15);
  QCOMPARE(rig.cell(1, kBpDate), QString("May 3, 2009"));
  QCOMPARE(rig.cell(1, kBpTime), QString("7:05 AM"));
  QCOMPARE(rig.cell(2, kBpDate), QString("May 14, 2009"));
  // The time cell is current, its editor open.
  QCOMPARE(rig.table()->currentIndex(), rig.model()->index(0, kBpTime));
  QVERIFY(rig.table()->indexWidget(rig.model()->index(0, kBpTime)));
  // Adding does not write by itself, not even from another tab.
  QVERIFY(rig.view.Unsaved());
  QVERIFY(!FileLines(rig.path(2009)).value(1).startsWith("\"May 3, 2009\""));
  rig.view.SaveReadings();
  rig.tabs()->setCurrentIndex(2);
  rig.click("SpeedButton1");
  QCOMPARE(rig.tabs()->currentIndex(), 0);
  QCOMPARE(rig.model()->rowCount(), 16);
  QCOMPARE(FileLines(rig.path(2009)).size(), 16);  // the first new reading and the fixture
}

void BloodPressureTest::deleteOnScreen() {
  Rig rig(QDate(2009, 5, 3), "Y2009-pressure.txt");
  rig.table()->setCurrentIndex(rig.model()->index(1, 2));  // grid row 2
  rig.click("SpeedButton2");
  QCOMPARE(rig.model()->rowCount(), 13);
  QCOMPARE(rig.cell(2, kBpDate), QString("May 12, 2009"));
  QCOMPARE(rig.table()->currentIndex(), rig.model()->index(1, 2));
  QVERIFY(rig.view.SaveReadings());
  QCOMPARE(FileLines(rig.path(2009)).size(), 14);
}

void BloodPressureTest::onlyRowIsEmptiedOnScreen() {
  Rig rig(QDate(2009, 5, 3), "Y2009-pressure-narrow.txt");
  QCOMPARE(rig.model()->rowCount(), 1);
  rig.table()->setCurrentIndex(rig.model()->index(0, 0));
  rig.click("SpeedButton2");
  rig.click("SpeedButton2");
  QCOMPARE(rig.model()->rowCount(), 1);
  QCOMPARE(rig.cell(1, kBpDate), QString());
  QCOMPARE(rig.cell(1, kBpSystolic), QString());
  QCOMPARE(rig.model()->headerData(0, Qt::Horizontal).toString(), QString("Date"));
  rig.view.SaveOnLeave();
  QCOMPARE(FileLines(rig.path(2009)),
           (QStringList{"Date,\"Time Taken\",Systolic,Diastolic,Pulse", ",,,,"}));
}

// Each year keeps its readings in its own file, and every year's are on screen when a
// date of that year is: a new year does not hide December's.
void BloodPressureTest::eachYearHasItsReadings() {
  Rig rig(QDate(2010, 1, 2));
  QVERIFY(QFile::copy(TestEnv::testData("trackers/Y2009-pressure.txt"), rig.path(2009)));
  const QByteArray old = FileBytes(rig.path(2009));
  rig.click("SpeedButton1");
  rig.typeInEditor("8:00 AM\t120\t80");
  rig.view.ShowDate(QDate(2009, 12, 6));
  QCOMPARE(rig.view.findChild<QLabel*>("lblYear")->text(), QString("Readings of 2009"));
  QCOMPARE(rig.cell(1, kBpDate), QString("May 14, 2009"));
  QCOMPARE(rig.model()->rowCount(), 14);
  QCOMPARE(FileLines(rig.path(2010)).value(1), QString("\"Jan 2, 2010\",\"8:00 AM\",120,80,"));
  QCOMPARE(FileBytes(rig.path(2009)), old);
  // A reading added there belongs to that year's file; back in 2010 its own shows.
  rig.click("SpeedButton1");
  rig.typeInEditor("9:30 PM\t118\t76");
  rig.view.ShowDate(QDate(2010, 1, 3));
  QCOMPARE(rig.cell(1, kBpDate), QString("Jan 2, 2010"));
  QCOMPARE(rig.model()->rowCount(), kEmptyLogRows);
  QCOMPARE(FileLines(rig.path(2009)).value(1), QString("\"Dec 6, 2009\",\"9:30 PM\",118,76,"));
  QCOMPARE(FileLines(rig.path(2009)).size(), 16);
  QVERIFY(rig.errors().isEmpty());
}

void BloodPressureTest::typedReadingSplitOverItsCells_data() {
  QTest::addColumn<QStringList>("before");  // systolic, diastolic, pulse
  QTest::addColumn<QString>("typed");       // into the systolic cell
  QTest::addColumn<QStringList>("after");
  QTest::newRow("systolic/diastolic") << QStringList{"", "", ""} << "120/80"
                                      << QStringList{"120", "80", ""};
  QTest::newRow("with the pulse, spaced") << QStringList{"", "", ""} << " 128 / 84 / 66 "
                                          << QStringList{"128", "84", "66"};
  QTest::newRow("the same diastolic there") << QStringList{"", "80", "70"} << "120/80"
                                            << QStringList{"120", "80", "70"};
  // Typing over another value already there is not done: the text stays, marked.
  QTest::newRow("another diastolic there") << QStringList{"", "85", ""} << "120/80"
                                           << QStringList{"120/80", "85", ""};
  QTest::newRow("not numbers") << QStringList{"", "", ""} << "120/eighty"
                               << QStringList{"120/eighty", "", ""};
  QTest::newRow("four parts") << QStringList{"", "", ""} << "1/2/3/4"
                              << QStringList{"1/2/3/4", "", ""};
  QTest::newRow("plain number") << QStringList{"", "", ""} << "131" << QStringList{"131", "", ""};
}

void BloodPressureTest::typedReadingSplitOverItsCells() {
  QFETCH(QStringList, before);
  QFETCH(QString, typed);
  QFETCH(QStringList, after);
  TestEnv env;
  PressureReadings readings;
  readings.Grid().SetRow(1, QStringList{"May 3, 2009", "7:05 AM"} + before);
  PressureTableModel model(&readings);
  int changes = 0;
  connect(&model, &PressureTableModel::changed, [&] { ++changes; });
  QVERIFY(model.setData(model.index(0, kBpSystolic), typed));
  QStringList cells;
  for (int c : {kBpSystolic, kBpDiastolic, kBpPulse})
    cells << model.index(0, c).data().toString();
  QCOMPARE(cells, after);
  QCOMPARE(changes, 1);
  // What stays a text is marked as no reading; a split reading is plotted whole.
  const PressureGraph g = PressureGraphPoints(readings.Grid());
  if (after.at(0) == typed.trimmed() && PressureValue(typed) < 0) {
    QVERIFY(model.index(0, kBpSystolic).data(Qt::ToolTipRole).toString().startsWith("Not a reading"));
    QCOMPARE(g.notReadings, 1);
  } else {
    QVERIFY(!model.index(0, kBpSystolic).data(Qt::ToolTipRole).isValid());
    QCOMPARE(g.systolic.size(), 1);
  }
}

// A value the graph cannot draw is never silently left out: its cell is marked and the
// graph page says how many there are.
void BloodPressureTest::valuesThatAreNoReadingsAreMarked() {
  Rig rig(QDate(2009, 5, 3), "Y2009-pressure.txt");
  // Grid rows 3 (240), 5 (abc), 7 (a pulse of 300) and 9 (126.5) hold no readings.
  QCOMPARE(rig.model()->index(2, kBpSystolic).data(Qt::BackgroundRole).value<QColor>(),
           QColor(255, 214, 214));
  QVERIFY(rig.model()->index(2, kBpSystolic).data(Qt::ToolTipRole).toString().startsWith("Not drawn"));
  QVERIFY(rig.model()->index(4, kBpSystolic).data(Qt::ToolTipRole).toString().startsWith("Not a reading"));
  QCOMPARE(rig.model()->index(0, kBpSystolic).data(Qt::BackgroundRole).value<QColor>(),
           QColor(244, 250, 253));
  QVERIFY(!rig.model()->index(0, kBpDate).data(Qt::ToolTipRole).isValid());
  rig.tabs()->setCurrentIndex(2);
  auto* note = rig.view.findChild<QLabel*>("lblNotReadings");
  QVERIFY(note->isVisible());
  QVERIFY2(note->text().startsWith("4 values in the table are not readings"), qPrintable(note->text()));
  // Typed as one reading, it is split and drawn.
  rig.tabs()->setCurrentIndex(0);
  QVERIFY(rig.model()->setData(rig.model()->index(1, kBpSystolic), "124/80"));
  QCOMPARE(rig.cell(2, kBpDiastolic), QString("80"));
  rig.tabs()->setCurrentIndex(2);
  QCOMPARE(rig.seriesPoints(0).at(1), QPointF(2, 124));
}

void BloodPressureTest::newReadingIsWrittenInEnglish_data() {
  QTest::addColumn<QString>("locale");
  QTest::newRow("de_DE") << "de_DE";
  QTest::newRow("fr_FR") << "fr_FR";
  QTest::newRow("ja_JP") << "ja_JP";
}

// The date and time of a new reading read the same whatever her language.
void BloodPressureTest::newReadingIsWrittenInEnglish() {
  QFETCH(QString, locale);
  TestEnv env;
  QLocale::setDefault(QLocale(locale));
  PressureReadings r;
  r.AddReading(QDate(2026, 12, 10), QDateTime(QDate(2026, 12, 10), QTime(21, 5)));
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QCOMPARE(r.Grid().RowTexts(1), (QStringList{"Dec 10, 2026", "9:05 PM"}));
}

void BloodPressureTest::typedReadingKeptWhenViewLeft() {
  Rig rig;
  rig.click("SpeedButton1");
  // The time is typed over, then systolic and diastolic; the editor of the last cell
  // is still open when the view is left.
  rig.typeInEditor("7:15 AM\t128\t84");
  QVERIFY(rig.table()->indexWidget(rig.model()->index(0, kBpDiastolic)));
  rig.view.SaveOnLeave();
  QCOMPARE(FileLines(rig.path(2009)).value(1), QString("\"May 3, 2009\",\"7:15 AM\",128,84,"));
  QVERIFY(!rig.view.Unsaved());
}

void BloodPressureTest::typedReadingKeptWhenSwitchingViews() {
  TestEnv env;
  FixedNow now(QDateTime(QDate(2009, 5, 3), QTime(7, 5)));
  MainWindow form(TestEnv::programFolder(), false);
  form.show();
  QApplication::setActiveWindow(&form);
  form.Startup();
  form.ShowView("heart");
  auto* view = form.findChild<BloodPressureView*>();
  QVERIFY(view);
  view->findChild<QPushButton*>("SpeedButton1")->click();
  auto* table = view->findChild<QTableView*>("Pressure_Chart");
  TypeInEditor(table, "7:15 AM\t131");
  form.ShowView("exercise");
  const QString path = env.dataRoot() + "Heart/Y2009-pressure.txt";
  QCOMPARE(FileLines(path).at(1), QString("\"May 3, 2009\",\"7:15 AM\",131,,"));

  // And at exit.
  form.ShowView("heart");
  view->findChild<QPushButton*>("SpeedButton1")->click();
  TypeInEditor(table, "9:00 PM\t119");
  form.ExitSequence();
  QCOMPARE(FileLines(path).at(1), QString("\"May 3, 2009\",\"9:00 PM\",119,,"));
  QCOMPARE(FileLines(path).at(2), QString("\"May 3, 2009\",\"7:15 AM\",131,,"));
}

void BloodPressureTest::focusLeavingTableSaves() {
  Rig rig;
  QLineEdit elsewhere(&rig.view);
  elsewhere.show();
  rig.click("SpeedButton1");
  rig.typeInEditor("7:10 AM\t125");
  QVERIFY(!QFile::exists(rig.path(2009)));
  elsewhere.setFocus(Qt::TabFocusReason);
  QCOMPARE(FileLines(rig.path(2009)).value(1), QString("\"May 3, 2009\",\"7:10 AM\",125,,"));
}

void BloodPressureTest::tabsSaveAndDraw() {
  Rig rig(QDate(2009, 5, 3), "Y2009-pressure.txt");
  rig.click("SpeedButton1");
  rig.typeInEditor("7:15 AM\t150\t100\t90");
  rig.tabs()->setCurrentIndex(2);
  // Saved on choosing a tab, the open editor committed first.
  QCOMPARE(FileLines(rig.path(2009)).value(1), QString("\"May 3, 2009\",\"7:15 AM\",150,100,90"));
  // The graph: the new reading at 1, the fixture's readings one row further down.
  const QList<QPointF> sys = rig.seriesPoints(0);
  QCOMPARE(sys.first(), QPointF(1, 150));
  QCOMPARE(sys.at(1), QPointF(2, 135));
  QCOMPARE(rig.seriesPoints(1).at(2), QPointF(4, 95));  // the 240 reading's diastolic
  auto* chart = rig.view.findChild<QChartView*>("Pressure_Graph")->chart();
  QCOMPARE(chart->title(), QString("Blood Pressure"));
  QStringList names;
  for (auto* s : chart->series()) names << s->name();
  QCOMPARE(names, (QStringList{"Systolic BP", "Diastolic BP", "Heart Rate"}));
  QCOMPARE(qobject_cast<QLineSeries*>(chart->series().at(1))->pen().color(),
           QColor(241, 158, 248));
  auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).first());
  QCOMPARE(x->titleText(), QString("Reading"));
  QVERIFY(x->min() < 1 && x->max() > 13);

  // The score picture marks the new reading's category (stage 2).
  rig.tabs()->setCurrentIndex(1);
  const QImage shown = rig.view.findChild<QLabel*>("Score_Picture")->pixmap().toImage();
  QCOMPARE(shown, PressureClassPicture(NewestReading(rig.view.Readings().Grid()))
                      .convertToFormat(shown.format()));
  QCOMPARE(NewestReading(rig.view.Readings().Grid())->category, PressureCategory::Stage2);
}

void BloodPressureTest::unreadableFileIsNotReplaced() {
  TestEnv env;
  FakeHost host;
  const QString path = PressureReadingsPath(host.Dir().HeartFolder(), 2009);
  QVERIFY(QDir().mkpath(path));  // a folder where the file belongs cannot be read
  BloodPressureView view(&host);
  view.StartView(QDate(2009, 5, 3));
  QCOMPARE(env.messages.size(), 1);
  QVERIFY(env.messages.first().text.startsWith("Cannot open file \"" + path + "\""));
  QCOMPARE(view.Readings().Grid().RowCount(), kEmptyLogRows);
  view.findChild<QPushButton*>("SpeedButton1")->click();
  view.SaveOnLeave();
  // Told at opening; the refusal is not repeated by automatic saves.
  QCOMPARE(env.messages.size(), 1);
  QVERIFY(QFileInfo(path).isDir());
}

void BloodPressureTest::unwritableFileReportedOnce() {
  Rig rig;
  const QString folder = rig.host.Dir().HeartFolder();
  QVERIFY(QDir(folder).removeRecursively());
  {
    QFile blocker(QDir::cleanPath(folder));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
  }
  rig.click("SpeedButton1");
  rig.view.SaveOnLeave();
  rig.tabs()->setCurrentIndex(1);
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors().first().startsWith("Cannot create file \"" + rig.path(2009) + "\". "),
           qPrintable(rig.errors().first()));
  QVERIFY(rig.view.Unsaved());
  // Once the folder is back, the next save writes the reading.
  QVERIFY(QFile::remove(QDir::cleanPath(folder)));
  QVERIFY(QDir().mkpath(folder));
  rig.tabs()->setCurrentIndex(0);
  QCOMPARE(FileLines(rig.path(2009)).value(1), QString("\"May 3, 2009\",\"7:05 AM\",,,"));
}

QTEST_MAIN(BloodPressureTest)
#include "test_bloodpressure.moc"
