// The sleep log: half-hour slots, the 33-day window, the year files with their hours and
// marks, the averages and the weekday chart, the day note, and the sleep view that shows
// and edits them.

#include <QBarSet>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStackedBarSeries>
#include <QStackedWidget>
#include <QValueAxis>
#include <QtTest>
#include <cmath>

#include "core/clock.h"
#include "core/cyclemodel.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "sleep/sleeplog.h"
#include "sleep/widgets/sleepgrid.h"
#include "sleep/widgets/sleepview.h"
#include "shell/mainwindow.h"
#include "support/fakehost.h"
#include "support/faults.h"
#include "support/fakesound.h"
#include "support/testenv.h"

namespace {

// A sleep view over a fresh data folder, shown so that it takes clicks.
struct Rig {
  TestEnv env;
  FakeSoundOutput sound;
  FakeHost host;
  std::unique_ptr<SleepView> view;

  explicit Rig(const SleepSetup& setup = SleepSetup::Sleep()) {
    view = std::make_unique<SleepView>(&host, setup);
    view->show();
  }
  SleepGrid* grid(const char* name = "Sleep_Chart") const {
    return view->findChild<SleepGrid*>(QLatin1String(name));
  }
  QLabel* label(const char* name) const { return view->findChild<QLabel*>(QLatin1String(name)); }
  QPlainTextEdit* note() const { return view->findChild<QPlainTextEdit*>("Note"); }
  void click(int col, int slot) const {
    SleepGrid* g = grid();
    QTest::mouseClick(g, Qt::LeftButton, {}, g->CellRect(col, slot).center());
  }
  QString folder() const { return view->Setup().Folder(host.Dir()); }
  QString yearPath(int year) const { return SleepYearPath(folder(), year); }
  CellGrid year(int y) const {
    CellGrid g;
    LoadGridFile(g, yearPath(y));
    return g;
  }
  QByteArray bytes(const QString& path) const {
    QByteArray b;
    ReadFileBytes(path, &b, nullptr);
    return b;
  }
  void install(const QString& fixture, const QString& name) const {
    QFile::remove(folder() + name);
    QVERIFY(QFile::copy(TestEnv::testData("sleep/" + fixture), folder() + name));
  }
  QStringList filesInFolder() const {
    return QDir(folder()).entryList(QDir::Files, QDir::Name);
  }
};

// A year grid with the given hours in column 2 of the given days.
CellGrid YearWithHours(int year, const QList<QPair<QDate, QString>>& days) {
  CellGrid g;
  InitYearGrid(g, year, kSleepYearColumns, SleepYearHeaders());
  for (const auto& [date, hours] : days) g.SetCell(kSleepHoursCol, YearGridRow(date), hours);
  return g;
}

}  // namespace

using DayHours = QList<QPair<QDate, QString>>;
Q_DECLARE_METATYPE(DayHours)

class SleepTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { Clock::SetSource({}); }

  // Slots, hours and the window.
  void slotLabels_data();
  void slotLabels();
  void slotHints_data();
  void slotHints();
  void hourLabels();
  void window_data();
  void window();
  void averages_data();
  void averages();
  void weekdayChartReachesIntoTheYearBefore();
  void averagesReachIntoTheYearBefore();
  void weekdayChartCoversThirtyDays();

  // The view.
  void nothingBeforeTheFirstShowDate();
  void clickMarksAndSecondClickUndoes();
  void sixteenSlotsMakeEightHours();
  void dragPaintsEverySlotItPasses();
  void clickShowsTheHalfHourAsHint_data();
  void clickShowsTheHalfHourAsHint();
  void keyboardOnlyMovesUntilSpaceOrEnter();
  void columnZeroNeverToggles();
  void showingDatesWritesNothing();
  void yearWithoutFileShowsEmpty();
  void fiftyFiveColumnFileLoadsAndIsWrittenWide();
  void decemberColumnsBelongToTheNextYear();
  void leapYearKeepsDecember31();
  void averagesAndHoursFollowTheDay();
  void weekdayChartPage();
  void shelfTurnsThePages();
  void noteFollowsTheDate();
  void noteWrittenAtExitAndOnFocusLoss();
  void oldWindowsNoteReads();
  void notePauseInTypingWrites();
  void noteSurvivesAFailedWrite();
  void unreadableYearFileIsNeverWritten();
  void failedWriteIsReportedAndRetried();
  void fullDiskIsToldOncePerFailure();
  void fullDiskInTheMainWindow();
  void hugeNoteOpensReadOnly();
  void noteKeepsWhatWasTyped();
  void hugeYearFileIsShownReadOnly();
  void drawing();
};

void SleepTest::slotLabels_data() {
  QTest::addColumn<int>("slot");
  QTest::addColumn<QString>("label");
  QTest::newRow("0") << 0 << "";
  QTest::newRow("1") << 1 << "8 pm";
  QTest::newRow("2") << 2 << "8:30 pm";
  QTest::newRow("8") << 8 << "11:30 pm";
  QTest::newRow("9") << 9 << "12 am";
  QTest::newRow("10") << 10 << "12:30 am";
  QTest::newRow("11") << 11 << "1:00 am";
  QTest::newRow("12") << 12 << "1:30 am";
  QTest::newRow("31") << 31 << "11:00 am";
  QTest::newRow("32") << 32 << "11:30 am";
  QTest::newRow("33") << 33 << "12:00 pm";
  QTest::newRow("34") << 34 << "12:30 pm";
  QTest::newRow("35") << 35 << "1:00 pm";
  QTest::newRow("47") << 47 << "7:00 pm";
  QTest::newRow("48") << 48 << "7:30 pm";
  QTest::newRow("49") << 49 << "";
}

void SleepTest::slotLabels() {
  QFETCH(int, slot);
  QFETCH(QString, label);
  QCOMPARE(SlotLabel(slot), label);
}

void SleepTest::slotHints_data() {
  QTest::addColumn<int>("slot");
  QTest::addColumn<QString>("hint");
  QTest::newRow("1") << 1 << "8 pm - 8:30 pm";
  QTest::newRow("8") << 8 << "11:30 pm - 12 am";
  QTest::newRow("10") << 10 << "12:30 am - 1:00 am";
  QTest::newRow("47") << 47 << "7:00 pm - 7:30 pm";
  // The last half hour ends where the next day's first begins.
  QTest::newRow("48") << 48 << "7:30 pm - 8 pm";
}

void SleepTest::slotHints() {
  QFETCH(int, slot);
  QFETCH(QString, hint);
  QCOMPARE(SlotHint(slot), hint);
}

void SleepTest::hourLabels() {
  const QStringList labels = HourLabels();
  QCOMPARE(labels.size(), 25);
  QCOMPARE(labels.at(0), QString("Sleep Time"));
  QCOMPARE(labels.at(1), QString(" 8 pm"));
  QCOMPARE(labels.at(3), QString("10 pm"));
  QCOMPARE(labels.at(5), QString("12 am"));
  QCOMPARE(labels.at(6), QString(" 1 am"));
  QCOMPARE(labels.at(17), QString("12 pm"));
  QCOMPARE(labels.at(24), QString(" 7 pm"));
}

void SleepTest::window_data() {
  QTest::addColumn<QDate>("date");
  QTest::addColumn<QDate>("first");
  QTest::addColumn<QDate>("last");
  QTest::newRow("February 2009") << QDate(2009, 2, 10) << QDate(2009, 1, 29) << QDate(2009, 3, 2);
  QTest::newRow("February 2009, first day") << QDate(2009, 2, 1) << QDate(2009, 1, 29)
                                            << QDate(2009, 3, 2);
  QTest::newRow("February 2008, leap year") << QDate(2008, 2, 29) << QDate(2008, 1, 30)
                                            << QDate(2008, 3, 2);
  QTest::newRow("January") << QDate(2009, 1, 20) << QDate(2009, 1, 1) << QDate(2009, 2, 2);
  QTest::newRow("June") << QDate(2009, 6, 30) << QDate(2009, 5, 31) << QDate(2009, 7, 2);
  QTest::newRow("December") << QDate(2009, 12, 31) << QDate(2009, 12, 1) << QDate(2010, 1, 2);
}

void SleepTest::window() {
  QFETCH(QDate, date);
  QFETCH(QDate, first);
  QFETCH(QDate, last);
  TestEnv env;
  SleepLog log(env.dataRoot());
  log.Open(date, nullptr);
  QCOMPARE(log.WindowStart(), first);
  QCOMPARE(log.ColumnDate(1), first);
  QCOMPARE(log.ColumnDate(kSleepDayColumns), last);
  QVERIFY(!log.ColumnDate(0).isValid());
  QVERIFY(!log.ColumnDate(kSleepDayColumns + 1).isValid());
  QCOMPARE(log.DateColumn(date), int(first.daysTo(date)) + 1);
  QCOMPARE(log.DateColumn(first.addDays(-1)), 0);
}

void SleepTest::averages_data() {
  QTest::addColumn<DayHours>("days");
  QTest::addColumn<QDate>("date");
  QTest::addColumn<double>("week");
  QTest::addColumn<double>("month");
  const QDate d(2009, 3, 31);
  QTest::newRow("none") << DayHours{} << d << 0.0 << 0.0;
  QTest::newRow("one day among the last seven")
      << DayHours{{d.addDays(-3), "7.5"}} << d << 7.5 << 7.5;
  // Seven days: the selected day and the six before it, no more.
  QTest::newRow("seven days back is outside the week")
      << DayHours{{d.addDays(-7), "9.0"}, {d, "6.0"}} << d << 6.0 << 7.5;
  QTest::newRow("six days back is inside the week")
      << DayHours{{d.addDays(-6), "9.0"}, {d, "6.0"}} << d << 7.5 << 7.5;
  // Thirty days: the selected day and the 29 before it.
  QTest::newRow("thirty days back is outside the month")
      << DayHours{{d.addDays(-30), "2.0"}, {d, "8.0"}} << d << 8.0 << 8.0;
  QTest::newRow("29 days back is inside the month")
      << DayHours{{d.addDays(-29), "2.0"}, {d, "8.0"}} << d << 8.0 << 5.0;
  // A day edited back to all awake counts; a day never edited does not.
  QTest::newRow("zero counts") << DayHours{{d, "0.0"}, {d.addDays(-1), "8.0"}} << d << 4.0
                               << 4.0;
  QTest::newRow("text and negatives are skipped")
      << DayHours{{d, "abc"}, {d.addDays(-1), "-3"}, {d.addDays(-2), " "}, {d.addDays(-3), "6.0"}}
      << d << 6.0 << 6.0;
  // Clipped at 1 January: the header row holds no hours.
  QTest::newRow("3 January") << DayHours{{QDate(2009, 1, 1), "9.0"}, {QDate(2009, 1, 3), "7.0"}}
                             << QDate(2009, 1, 3) << 8.0 << 8.0;
}

void SleepTest::averages() {
  QFETCH(DayHours, days);
  QFETCH(QDate, date);
  QFETCH(double, week);
  QFETCH(double, month);
  TestEnv env;
  const CellGrid g = YearWithHours(date.year(), days);
  const SleepAverages a = SleepAveragesOf(g, date);
  QCOMPARE(a.week, week);
  QCOMPARE(a.month, month);
}

void SleepTest::weekdayChartReachesIntoTheYearBefore() {
  TestEnv env;
  // 1 January 2009 was a Thursday; the 30 days up to 20 January begin on 22 December,
  // a Monday, which the year before's grid holds.
  const CellGrid g = YearWithHours(2009, {{QDate(2009, 1, 1), "6.0"},
                                          {QDate(2009, 1, 8), "8.0"},
                                          {QDate(2009, 1, 19), "7.0"},
                                          {QDate(2009, 1, 20), "9.0"},
                                          {QDate(2009, 1, 21), "1.0"}});
  const CellGrid before = YearWithHours(2008, {{QDate(2008, 12, 21), "2.0"},
                                               {QDate(2008, 12, 22), "5.0"},
                                               {QDate(2008, 12, 25), "7.0"}});
  std::array<double, 7> v = WeekdayHours(g, QDate(2009, 1, 20), &before);
  QCOMPARE(v[0], 6.0);  // Mondays 22 December (21 December lies outside) and 19 January
  QCOMPARE(v[1], 9.0);  // Tuesday 20 January
  QCOMPARE(v[2], 0.0);  // Wednesday 21 January lies after the date
  QCOMPARE(v[3], 7.0);  // Thursdays 25 December, 1 and 8 January
  QCOMPARE(WeekdayRangeText(QDate(2009, 1, 20)), QString("Dec 22 - Jan 20"));
  // Without the year before's file its days hold nothing.
  v = WeekdayHours(g, QDate(2009, 1, 20));
  QCOMPARE(v[0], 7.0);
  QCOMPARE(v[3], 7.0);
}

// On 3 January the week and month figures take the last days of December from the year
// before's file, which the window of January does not hold.
void SleepTest::averagesReachIntoTheYearBefore() {
  TestEnv env;
  const QString folder = env.dataRoot() + "Sleep/";
  QVERIFY(QDir().mkpath(folder));
  QVERIFY(SaveGridFile(YearWithHours(2008, {{QDate(2008, 12, 28), "8.0"},
                                            {QDate(2008, 12, 31), "6.0"},
                                            {QDate(2008, 12, 5), "3.0"},
                                            {QDate(2008, 12, 4), "1.0"}}),
                       SleepYearPath(folder, 2008)));
  QVERIFY(SaveGridFile(YearWithHours(2009, {{QDate(2009, 1, 3), "7.0"}}),
                       SleepYearPath(folder, 2009)));
  SleepLog log(folder);
  log.Open(QDate(2009, 1, 3), nullptr);
  const SleepAverages a = log.Averages(QDate(2009, 1, 3));
  QCOMPARE(a.week, 7.0);                    // 28 and 31 December, 3 January
  QCOMPARE(a.month, (8 + 6 + 3 + 7) / 4.0);  // and 5 December; 4 December lies outside
  QCOMPARE(log.Weekdays(QDate(2009, 1, 3))[QDate(2008, 12, 28).dayOfWeek() - 1], 8.0);
}

void SleepTest::weekdayChartCoversThirtyDays() {
  TestEnv env;
  // 31 March 2009 is a Tuesday; 2 March (29 days before) a Monday, 1 March a Sunday.
  const CellGrid g = YearWithHours(2009, {{QDate(2009, 3, 1), "3.0"},
                                          {QDate(2009, 3, 2), "6.0"},
                                          {QDate(2009, 3, 30), "8.0"},
                                          {QDate(2009, 3, 31), "5.0"}});
  const std::array<double, 7> v = WeekdayHours(g, QDate(2009, 3, 31));
  QCOMPARE(v[0], 7.0);
  QCOMPARE(v[1], 5.0);
  QCOMPARE(v[6], 0.0);
  QCOMPARE(WeekdayRangeText(QDate(2009, 3, 31)), QString("Mar 2 - Mar 31"));
}

void SleepTest::nothingBeforeTheFirstShowDate() {
  Rig rig;
  QVERIFY(!rig.view->HasLoaded());
  rig.view->RefreshCharts();
  rig.click(5, 5);
  rig.view->Sleep_ChartSelectCell(5, 5);
  QVERIFY(rig.filesInFolder().isEmpty());
  QCOMPARE(rig.host.setDateCalls, 0);
}

void SleepTest::clickMarksAndSecondClickUndoes() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  QVERIFY(rig.view->HasLoaded());
  QVERIFY(!QFile::exists(rig.yearPath(2009)));
  const int col = 13;  // 10 February in the window from 29 January
  QCOMPARE(rig.view->Log().ColumnDate(col), QDate(2009, 2, 10));

  rig.click(col, 3);
  CellGrid y = rig.year(2009);
  QCOMPARE(y.RowCount(), YearGridRowCount(2009));
  QCOMPARE(y.ColCount(), kSleepYearColumns);
  QCOMPARE(y.Cell(0, 0), QString("Date"));
  QCOMPARE(y.Cell(1, 0), QString("Farenheit"));
  QCOMPARE(y.Cell(2, 0), QString("Celsius"));
  QCOMPARE(y.Cell(3, 0), QString("BarHeight"));
  QCOMPARE(y.Cell(4, 0), QString("Time"));
  QCOMPARE(y.Cell(0, 41), QString("February 10"));
  QCOMPARE(y.Cell(1, 41), QString("Feb 10"));
  QCOMPARE(y.Cell(2, 41), QString("0.5"));
  QCOMPARE(y.Cell(SleepSlotColumn(3), 41), QString("*"));
  QCOMPARE(rig.grid()->Text(col, 3), QString(" "));
  QCOMPARE(rig.grid()->Text(col, 0), QString("0.5"));

  rig.click(col, 3);
  y = rig.year(2009);
  QCOMPARE(y.Cell(SleepSlotColumn(3), 41).trimmed(), QString());
  // Edited back to all awake: the day counts as 0.0.
  QCOMPARE(y.Cell(2, 41), QString("0.0"));
  QCOMPARE(rig.grid()->Text(col, 3), QString());
  QVERIFY(rig.env.messages.isEmpty());
}

void SleepTest::sixteenSlotsMakeEightHours() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  const int col = 13;
  for (int k = 1; k <= 16; ++k) rig.click(col, k);
  QCOMPARE(rig.grid()->Text(col, 0), QString("8.0"));
  QCOMPARE(rig.label("Sleep_Label")->text(), QString("8.0 hours"));
  QCOMPARE(rig.label("Date_Label")->text(), QString("Feb 10"));

  // The row as written: hours, the edit date, and "*" in columns 11 to 26 only.
  const CellGrid y = rig.year(2009);
  QCOMPARE(y.Cell(2, 41), QString("8.0"));
  for (int c = 11; c < kSleepYearColumns; ++c)
    QCOMPARE(y.Cell(c, 41).trimmed(), c <= 26 ? QString("*") : QString());
  QCOMPARE(rig.host.selected, QDate(2009, 2, 10));
}

void SleepTest::dragPaintsEverySlotItPasses() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  const int col = 13;
  SleepGrid* g = rig.grid();
  rig.click(col, 10);  // already asleep at 00:30: a stroke over it keeps it so
  const QByteArray afterClick = rig.bytes(rig.yearPath(2009));

  // A night is one stroke: the press marks its slot, and one quick move down marks every
  // slot passed, not only the one it ends on. Nothing is written until the release.
  QTest::mousePress(g, Qt::LeftButton, {}, g->CellRect(col, 4).center());
  QCOMPARE(rig.grid()->Text(col, 4), QString(" "));
  QTest::mouseMove(g, g->CellRect(col, 19).center());
  for (int k = 1; k <= kSleepSlots; ++k)
    QCOMPARE(rig.view->Log().IsAsleep(col, k), k >= 4 && k <= 19);
  QCOMPARE(rig.bytes(rig.yearPath(2009)), afterClick);
  QTest::mouseRelease(g, Qt::LeftButton, {}, g->CellRect(col, 19).center());
  CellGrid y = rig.year(2009);
  QCOMPARE(y.Cell(kSleepHoursCol, 41), QString("8.0"));
  for (int k = 1; k <= kSleepSlots; ++k)
    QCOMPARE(y.Cell(SleepSlotColumn(k), 41).trimmed(), k >= 4 && k <= 19 ? QString("*") : QString());
  QCOMPARE(rig.label("Sleep_Label")->text(), QString("8.0 hours"));

  // A stroke that starts on a marked slot clears what it passes, up as well as down.
  QTest::mousePress(g, Qt::LeftButton, {}, g->CellRect(col, 19).center());
  QTest::mouseMove(g, g->CellRect(col, 17).center());
  QTest::mouseRelease(g, Qt::LeftButton, {}, g->CellRect(col, 17).center());
  QCOMPARE(rig.year(2009).Cell(kSleepHoursCol, 41), QString("6.5"));
  QVERIFY(!rig.view->Log().IsAsleep(col, 17));
  QVERIFY(rig.view->Log().IsAsleep(col, 16));

  // Across days: every slot on its way, in each column it crosses.
  QTest::mousePress(g, Qt::LeftButton, {}, g->CellRect(col + 1, 30).center());
  QTest::mouseMove(g, g->CellRect(col + 2, 31).center());
  QTest::mouseMove(g, QPoint(g->width() + 40, g->CellRect(col + 2, 31).center().y()));
  QTest::mouseRelease(g, Qt::LeftButton, {}, QPoint(g->width() + 40, 0));
  QVERIFY(rig.view->Log().IsAsleep(col + 1, 30));
  QVERIFY(rig.view->Log().IsAsleep(col + 2, 31));
  y = rig.year(2009);
  QCOMPARE(y.Cell(SleepSlotColumn(30), 42), QString("*"));
  QCOMPARE(y.Cell(SleepSlotColumn(31), 43), QString("*"));
  QVERIFY(rig.env.messages.isEmpty());
}

void SleepTest::clickShowsTheHalfHourAsHint_data() {
  QTest::addColumn<int>("slot");
  QTest::addColumn<QString>("hint");
  QTest::newRow("1") << 1 << "8 pm - 8:30 pm";
  QTest::newRow("8") << 8 << "11:30 pm - 12 am";
  QTest::newRow("10") << 10 << "12:30 am - 1:00 am";
  QTest::newRow("47") << 47 << "7:00 pm - 7:30 pm";
  QTest::newRow("48") << 48 << "7:30 pm - 8 pm";
}

void SleepTest::clickShowsTheHalfHourAsHint() {
  QFETCH(int, slot);
  QFETCH(QString, hint);
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.click(20, slot);
  QCOMPARE(rig.grid()->toolTip(), hint);
}

void SleepTest::keyboardOnlyMovesUntilSpaceOrEnter() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.view->ShowPage(QString("Track Sleep"));
  SleepGrid* g = rig.grid();
  QCOMPARE(g->focusPolicy(), Qt::StrongFocus);
  // The current cell starts on the shown day.
  QCOMPARE(g->CurrentColumn(), 13);
  // Walking down a night and across days marks nothing and writes nothing.
  for (int i = 0; i < 20; ++i) QTest::keyClick(g, Qt::Key_Down);
  QTest::keyClick(g, Qt::Key_Right);
  QTest::keyClick(g, Qt::Key_Right);
  QCOMPARE(g->CurrentColumn(), 15);
  QCOMPARE(g->CurrentRow(), 21);
  QVERIFY(!QFile::exists(rig.yearPath(2009)));
  QCOMPARE(g->toolTip(), SlotHint(21));

  QTest::keyClick(g, Qt::Key_Space);
  QCOMPARE(rig.year(2009).Cell(SleepSlotColumn(21), 43), QString("*"));
  QTest::keyClick(g, Qt::Key_Down);
  QTest::keyClick(g, Qt::Key_Return);
  QCOMPARE(rig.year(2009).Cell(SleepSlotColumn(22), 43), QString("*"));
  QTest::keyClick(g, Qt::Key_Enter);
  QCOMPARE(rig.year(2009).Cell(SleepSlotColumn(22), 43).trimmed(), QString());
  QCOMPARE(rig.year(2009).Cell(2, 43), QString("0.5"));
}

void SleepTest::columnZeroNeverToggles() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  SleepGrid* g = rig.grid();
  QCOMPARE(g->CellRect(0, 5).width(), 0);
  // The left edge belongs to column 1.
  QCOMPARE(g->CellAt(QPoint(0, g->CellRect(1, 5).center().y())).x(), 1);
  g->SetCurrent(1, 5);
  QTest::keyClick(g, Qt::Key_Left);
  QCOMPARE(g->CurrentColumn(), 1);
  QTest::keyClick(g, Qt::Key_Up);
  QTest::keyClick(g, Qt::Key_Home);
  QCOMPARE(g->CurrentRow(), 1);  // never the header row
  // The handler refuses the cells outside the days and slots too.
  rig.view->Sleep_ChartSelectCell(0, 5);
  rig.view->Sleep_ChartSelectCell(1, 0);
  rig.view->Sleep_ChartSelectCell(34, 5);
  rig.view->Sleep_ChartSelectCell(1, 49);
  QVERIFY(!QFile::exists(rig.yearPath(2009)));
  // 28 January (the day before the window) keeps what it had.
  QCOMPARE(rig.host.setDateCalls, 0);
}

void SleepTest::showingDatesWritesNothing() {
  Rig rig;
  rig.install("2010-Sleep.txt", "2010-Sleep.txt");
  const QByteArray before = rig.bytes(rig.yearPath(2010));
  rig.view->ShowDate(QDate(2010, 1, 5));
  rig.view->ShowDate(QDate(2009, 6, 5));
  rig.view->ShowDate(QDate(2010, 3, 5));
  rig.view->SaveOnLeave();
  QCOMPARE(rig.filesInFolder(), QStringList{"2010-Sleep.txt"});
  QCOMPARE(rig.bytes(rig.yearPath(2010)), before);
}

void SleepTest::yearWithoutFileShowsEmpty() {
  Rig rig;
  rig.install("2010-Sleep.txt", "2010-Sleep.txt");
  rig.view->ShowDate(QDate(2010, 1, 5));
  QCOMPARE(rig.grid()->Text(1, 2), QString(" "));
  QCOMPARE(rig.grid()->Text(1, 0), QString("1.0"));
  // January 2011 has no file: nothing of 2010's first days shows in its columns.
  rig.view->ShowDate(QDate(2011, 1, 5));
  for (int c = 1; c <= kSleepDayColumns; ++c) {
    QCOMPARE(rig.grid()->Text(c, 0), QString());
    for (int k = 1; k <= kSleepSlots; ++k) QCOMPARE(rig.grid()->Text(c, k), QString());
  }
}

void SleepTest::fiftyFiveColumnFileLoadsAndIsWrittenWide() {
  Rig rig;
  rig.install("2009-55columns.txt", "2009-Sleep.txt");
  rig.view->ShowDate(QDate(2009, 2, 10));
  const int col = 13;
  for (int k = 1; k <= kSleepSlots; ++k)
    QCOMPARE(rig.grid()->Text(col, k), (k <= 4 || (k >= 41 && k <= 44)) ? QString(" ") : QString());
  QCOMPARE(rig.grid()->Text(col, 0), QString("4.0"));

  rig.click(col, 48);
  QStringList lines;
  QVERIFY(ReadTextLines(rig.yearPath(2009), &lines, nullptr));
  QCOMPARE(lines.size(), YearGridRowCount(2009));
  for (const QString& line : lines) QCOMPARE(ReadGridLine(line).size(), kSleepYearColumns);
  const CellGrid y = rig.year(2009);
  QCOMPARE(y.Cell(SleepSlotColumn(44), 41), QString("*"));
  QCOMPARE(y.Cell(SleepSlotColumn(48), 41), QString("*"));
  QCOMPARE(y.Cell(2, 41), QString("4.5"));
}

void SleepTest::decemberColumnsBelongToTheNextYear() {
  Rig rig;
  rig.install("2010-Sleep.txt", "2010-Sleep.txt");
  rig.view->ShowDate(QDate(2009, 12, 15));
  // Columns 32 and 33 are 1 and 2 January 2010 and show that year's marks.
  QCOMPARE(rig.view->Log().ColumnDate(32), QDate(2010, 1, 1));
  QCOMPARE(rig.grid()->Text(32, 2), QString(" "));
  QCOMPARE(rig.grid()->Text(33, 3), QString(" "));
  QCOMPARE(rig.grid()->Text(32, 0), QString("1.0"));

  rig.click(32, 20);
  // The mark goes to 2010's row 1; 2009's file gains nothing for 1 January.
  QCOMPARE(rig.year(2010).Cell(SleepSlotColumn(20), 1), QString("*"));
  QCOMPARE(rig.year(2010).Cell(2, 1), QString("1.5"));
  QVERIFY(!QFile::exists(rig.yearPath(2009)));
  QCOMPARE(rig.view->SelectedDate(), QDate(2010, 1, 1));

  rig.click(1, 20);  // 1 December 2009
  QCOMPARE(rig.year(2009).Cell(SleepSlotColumn(20), 335), QString("*"));
  QCOMPARE(rig.year(2009).Cell(SleepSlotColumn(20), 1).trimmed(), QString());
  QCOMPARE(rig.year(2010).Cell(SleepSlotColumn(20), 1), QString("*"));
}

void SleepTest::leapYearKeepsDecember31() {
  Rig rig;
  rig.view->ShowDate(QDate(2008, 12, 31));
  const int col = rig.view->Log().DateColumn(QDate(2008, 12, 31));
  QCOMPARE(col, 31);
  rig.click(col, 10);
  const CellGrid y = rig.year(2008);
  QCOMPARE(y.RowCount(), 367);
  QCOMPARE(y.Cell(0, 366), QString("December 31"));
  QCOMPARE(y.Cell(SleepSlotColumn(10), 366), QString("*"));
  // Shown again after a trip to another year, the mark is still there.
  rig.view->ShowDate(QDate(2009, 5, 1));
  rig.view->ShowDate(QDate(2008, 12, 1));
  QCOMPARE(rig.grid()->Text(col, 10), QString(" "));
}

void SleepTest::averagesAndHoursFollowTheDay() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  for (int k = 1; k <= 12; ++k) rig.click(12, k);  // 9 February: 6 hours
  QCOMPARE(rig.label("Sleep_7")->text(),
           QString("7 day average : 6.0 hours/day   30 day average : 6.0 hours/day"));
  for (int k = 1; k <= 16; ++k) rig.click(13, k);  // 10 February: 8 hours
  QCOMPARE(rig.label("Sleep_7")->text(),
           QString("7 day average : 7.0 hours/day   30 day average : 7.0 hours/day"));
  QCOMPARE(rig.label("Sleep_Label")->text(), QString("8.0 hours"));
  // A date change shows that day's hours and averages, not the last clicked day's.
  rig.view->ShowDate(QDate(2009, 2, 20));
  QCOMPARE(rig.label("Sleep_Label")->text(), QString("0.0 hours"));
  QCOMPARE(rig.label("Sleep_7")->text(),
           QString("7 day average : 0.0 hours/day   30 day average : 7.0 hours/day"));
}

void SleepTest::weekdayChartPage() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 1, 20));
  for (int k = 1; k <= 16; ++k) rig.click(19, k);  // Monday 19 January: 8 hours
  for (int k = 1; k <= 12; ++k) rig.click(20, k);  // Tuesday 20 January: 6 hours
  rig.view->ShowPage(QString("Graphs"));
  QCOMPARE(rig.view->CurrentPage(), QString("Graphs"));
  QCOMPARE(rig.label("Label_Range")->text(), QString("Dec 22 - Jan 20"));
  auto* chart = rig.view->findChild<QChartView*>("Week_chart")->chart();
  QCOMPARE(chart->series().size(), 1);
  auto* bars = qobject_cast<QStackedBarSeries*>(chart->series().at(0));
  QVERIFY(bars);
  QCOMPARE(bars->count(), 7);
  QStringList labels;
  QList<double> heights;
  for (QBarSet* set : bars->barSets()) {
    labels << set->label();
    heights << set->sum();
  }
  QCOMPARE(labels, QStringList({"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}));
  QCOMPARE(heights, QList<double>({8.0, 6.0, 0, 0, 0, 0, 0}));
  // Each weekday its own colour.
  QSet<QRgb> colours;
  for (QBarSet* set : bars->barSets()) colours << set->color().rgb();
  QCOMPARE(colours.size(), 7);

  // The hours axis puts its labels on whole hours: what a label says is where it sits.
  auto ticks = [&] {
    auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).at(0));
    QStringList out;
    for (int i = 0; i < y->tickCount(); ++i) {
      const double v = y->min() + i * (y->max() - y->min()) / (y->tickCount() - 1);
      if (v != std::round(v)) return QStringList{QString("tick at %1").arg(v)};
      out << QString::asprintf(qPrintable(y->labelFormat()), v);
    }
    return out;
  };
  QCOMPARE(ticks(), QStringList({"0", "2", "4", "6", "8", "10"}));
  // A long sleep raises the axis, still by whole hours.
  rig.view->ShowPage(QString("Track Sleep"));
  for (int k = 17; k <= 26; ++k) rig.click(19, k);  // 13 hours on Monday
  rig.view->ShowPage(QString("Graphs"));
  QCOMPARE(ticks(), QStringList({"0", "2", "4", "6", "8", "10", "12", "14"}));
}

void SleepTest::shelfTurnsThePages() {
  Rig rig;
  auto* shelf = rig.view->findChild<QListWidget*>("Shelf");
  QStringList items;
  for (int i = 0; i < shelf->count(); ++i) items << shelf->item(i)->text();
  QCOMPARE(items, QStringList({"Go to Bed", "Wake up Alarm", "Track Sleep", "Graphs", "Note"}));
  auto* pages = rig.view->findChild<QStackedWidget*>("pgSleep");
  QCOMPARE(pages->count(), 7);

  rig.view->ShowDate(QDate(2009, 2, 10));
  QCOMPARE(shelf->currentItem()->text(), QString("Go to Bed"));
  QCOMPARE(rig.view->CurrentPage(), QString("Go to Bed"));
  // Keyboard on the shelf.
  shelf->setFocus();
  QTest::keyClick(shelf, Qt::Key_Down);
  QTest::keyClick(shelf, Qt::Key_Down);
  QCOMPARE(rig.view->CurrentPage(), QString("Track Sleep"));
  // A date change keeps the chosen page.
  rig.view->ShowDate(QDate(2009, 3, 10));
  QCOMPARE(rig.view->CurrentPage(), QString("Track Sleep"));
  // The header icon turns to page 0 and the shelf follows.
  rig.view->ShowPage(0);
  QCOMPARE(rig.view->CurrentPage(), QString("Go to Bed"));
  QCOMPARE(shelf->currentItem()->text(), QString("Go to Bed"));
  // "Data" and "Dreams" exist but no shelf item names them.
  rig.view->ShowPage(QString("Nothing"));
  QCOMPARE(rig.view->CurrentPage(), QString("Go to Bed"));
}

void SleepTest::noteFollowsTheDate() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  QCOMPARE(rig.label("Date_Label")->text(), QString("February 10, 2009"));
  QCOMPARE(rig.view->NotePath(), rig.folder() + "Y2009M2D10-note.txt");
  rig.note()->setPlainText("Slept like a log\nWoke at six");
  rig.note()->document()->setModified(true);
  // The date changes: the note typed is written to its own day and the new day's opens.
  rig.view->ShowDate(QDate(2009, 2, 11));
  QCOMPARE(rig.bytes(rig.folder() + "Y2009M2D10-note.txt"),
           QByteArray("Slept like a log\r\nWoke at six\r\n"));
  QCOMPARE(rig.note()->toPlainText(), QString());
  QCOMPARE(rig.label("Date_Label")->text(), QString("February 11, 2009"));
  // Opening a day without typing writes nothing.
  rig.view->ShowDate(QDate(2009, 2, 10));
  QVERIFY(!QFile::exists(rig.folder() + "Y2009M2D11-note.txt"));
  QCOMPARE(rig.note()->toPlainText(), QString("Slept like a log\nWoke at six"));

  // A click opens the clicked day's note.
  rig.click(15, 4);
  QCOMPARE(rig.view->NotePath(), rig.folder() + "Y2009M2D12-note.txt");
  // Emptied, a note is an empty file.
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.note()->clear();
  rig.note()->document()->setModified(true);
  rig.view->SaveOnLeave();
  QCOMPARE(rig.bytes(rig.folder() + "Y2009M2D10-note.txt"), QByteArray());
  QVERIFY(QFile::exists(rig.folder() + "Y2009M2D10-note.txt"));
}

void SleepTest::noteWrittenAtExitAndOnFocusLoss() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.view->ShowPage(QString("Note"));
  rig.view->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(rig.view.get()));
  rig.note()->setFocus();
  QVERIFY(rig.note()->hasFocus());
  QTest::keyClicks(rig.note(), "caf");
  rig.note()->insertPlainText(QString::fromUtf8("é"));
  // Leaving the memo writes it.
  rig.view->findChild<QListWidget*>("Shelf")->setFocus();
  QCOMPARE(rig.bytes(rig.folder() + "Y2009M2D10-note.txt"), QByteArray("café\r\n"));
  // Typed and never left: the program's end writes it.
  rig.note()->setFocus();
  QTest::keyClicks(rig.note(), " au lait");
  rig.view->SaveOnLeave();
  QCOMPARE(rig.bytes(rig.folder() + "Y2009M2D10-note.txt"), QByteArray("café au lait\r\n"));
}

void SleepTest::oldWindowsNoteReads() {
  Rig rig;
  rig.install("note-cp1252.txt", "Y2009M2D10-note.txt");
  rig.view->ShowDate(QDate(2009, 2, 10));
  QCOMPARE(rig.note()->toPlainText(), QString("Café before bed\nSlept à merveille"));
  // Written back (after an edit) as UTF-8.
  rig.note()->appendPlainText("!");
  rig.view->SaveOnLeave();
  QCOMPARE(rig.bytes(rig.folder() + "Y2009M2D10-note.txt"),
           QString("Café before bed\r\nSlept à merveille\r\n!\r\n").toUtf8());
}

void SleepTest::notePauseInTypingWrites() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.view->ShowPage(QString("Note"));
  QTest::keyClicks(rig.note(), "Nightmare about exams");
  // No focus change, no date change, no exit: a pause is enough.
  QTRY_COMPARE_WITH_TIMEOUT(rig.bytes(rig.folder() + "Y2009M2D10-note.txt"),
                            QByteArray("Nightmare about exams\r\n"), 10000);
  QVERIFY(!rig.note()->document()->isModified());
}

void SleepTest::noteSurvivesAFailedWrite() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  const QString folder = rig.folder();
  QVERIFY(QDir(folder).removeRecursively());
  QFile blocker(folder.chopped(1));
  QVERIFY(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  rig.note()->setPlainText("Could not sleep");
  rig.note()->document()->setModified(true);
  rig.view->ShowDate(QDate(2009, 2, 11));
  QCOMPARE(rig.env.messages.size(), 1);
  QVERIFY(rig.env.messages.at(0).text.startsWith("Cannot create file \"" + folder + "Y2009M2D10-note.txt"));
  // Back on that day, what was typed is still there.
  rig.view->ShowDate(QDate(2009, 2, 10));
  QCOMPARE(rig.note()->toPlainText(), QString("Could not sleep"));
  rig.view->ShowDate(QDate(2009, 2, 12));
  // With the folder back, the program's end writes it.
  QVERIFY(QFile::remove(folder.chopped(1)));
  QVERIFY(QDir().mkpath(folder));
  rig.env.clearMessages();
  rig.view->SaveOnLeave();
  QVERIFY(rig.env.messages.isEmpty());
  QCOMPARE(rig.bytes(folder + "Y2009M2D10-note.txt"), QByteArray("Could not sleep\r\n"));
}

void SleepTest::unreadableYearFileIsNeverWritten() {
  Rig rig;
  // A folder where the year file should be cannot be read.
  QVERIFY(QDir().mkpath(rig.yearPath(2009)));
  rig.view->ShowDate(QDate(2009, 2, 10));
  QCOMPARE(rig.env.messages.size(), 1);
  QVERIFY(rig.env.messages.at(0).text.startsWith("Cannot open file \"" + rig.yearPath(2009)));
  QCOMPARE(rig.env.messages.at(0).kind, MessageKind::Error);
  rig.env.clearMessages();
  // A click there is refused with a word of why, and nothing is written over the file;
  // the read error itself has been said already.
  rig.click(13, 3);
  QCOMPARE(rig.env.messageTexts(),
           QStringList({"The sleep log of 2009 could not be read, so it cannot be changed."}));
  QCOMPARE(rig.grid()->Text(13, 3), QString());
  QVERIFY(QFileInfo(rig.yearPath(2009)).isDir());
  // A day of another, readable year in the same window still takes marks.
  rig.env.clearMessages();
  rig.view->ShowDate(QDate(2010, 1, 10));
  rig.click(3, 3);
  QVERIFY(rig.env.messages.isEmpty());
  QCOMPARE(rig.year(2010).Cell(SleepSlotColumn(3), 3), QString("*"));
}

void SleepTest::failedWriteIsReportedAndRetried() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  // The Sleep folder replaced by a file: nothing can be written into it.
  const QString folder = rig.folder();
  QVERIFY(QDir(folder).removeRecursively());
  QFile blocker(folder.chopped(1));
  QVERIFY(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  rig.click(13, 3);
  QCOMPARE(rig.env.messages.size(), 1);
  QVERIFY(rig.env.messages.at(0).text.startsWith("Cannot create file \"" + rig.yearPath(2009)));
  // The mark stays on screen and in memory.
  QCOMPARE(rig.grid()->Text(13, 3), QString(" "));

  // Once the folder is back, the next save writes both clicks.
  QVERIFY(QFile::remove(folder.chopped(1)));
  QVERIFY(QDir().mkpath(folder));
  rig.env.clearMessages();
  rig.view->ShowDate(QDate(2009, 3, 10));  // a date change saves what is unsaved
  QVERIFY(rig.env.messages.isEmpty());
  QCOMPARE(rig.year(2009).Cell(SleepSlotColumn(3), 41), QString("*"));
}

// A full disk stays full for a while: each click's save fails the same way. The failure
// is told once, not at every click, until a save works again.
void SleepTest::fullDiskIsToldOncePerFailure() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  {
    FileSizeLimit full(1024);
    rig.click(13, 3);
    rig.click(13, 4);
  }
  QCOMPARE(rig.env.messages.size(), 1);
  QVERIFY2(rig.env.messages.at(0).text.startsWith("Cannot create file \"" + rig.yearPath(2009)),
           qPrintable(rig.env.messages.at(0).text));
  QVERIFY(!QFileInfo::exists(rig.yearPath(2009)));
  // Room again: the next click writes both marks and its own, and says nothing.
  rig.click(13, 5);
  QCOMPARE(rig.env.messages.size(), 1);
  for (int slot : {3, 4, 5}) QCOMPARE(rig.year(2009).Cell(SleepSlotColumn(slot), 41), QString("*"));
  // A failure after that is news.
  {
    FileSizeLimit full(1024);
    rig.click(13, 6);
  }
  QCOMPARE(rig.env.messages.size(), 2);
}

// The same in the program's window, whose date bar follows every click.
void SleepTest::fullDiskInTheMainWindow() {
  TestEnv env;
  FakeSoundOutput sound;
  MainWindow form(TestEnv::programFolder(), false);
  form.Startup();
  form.show();
  form.SetSelectedDate(QDate(2009, 2, 10));
  form.ShowView("sleep");
  auto* view = form.findChild<SleepView*>("frmSleep");
  QVERIFY(view);
  view->ShowPage(1);
  auto* grid = view->findChild<SleepGrid*>("Sleep_Chart");
  QVERIFY(grid && grid->isVisible());
  env.clearMessages();
  {
    FileSizeLimit full(1024);
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(13, 3).center());
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(14, 3).center());
  }
  QCOMPARE(env.messageTexts().size(), 1);
}

// A note of 10 MB in one line opens at once, read-only, said once, never written back.
void SleepTest::hugeNoteOpensReadOnly() {
  Rig rig;
  const QDate day(2009, 2, 10);
  const QString path = SleepNotePath(rig.folder(), day);
  const QByteArray bytes = QByteArray(10'000'000, 'z') + "\r\n";
  {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  rig.view->ShowDate(day);
  QVERIFY(rig.note()->isReadOnly());
  QCOMPARE(rig.env.messages.size(), 1);
  QVERIFY2(rig.env.messages.at(0).text.startsWith("The file \"" + path + "\" is 9.5 MB"),
           qPrintable(rig.env.messages.at(0).text));
  rig.view->ShowDate(day.addDays(1));
  rig.view->ShowDate(day);
  rig.view->SaveOnLeave();
  QCOMPARE(rig.env.messages.size(), 1);
  QCOMPARE(rig.bytes(path), bytes);
}

void SleepTest::noteKeepsWhatWasTyped() {
  Rig rig;
  const QDate day(2009, 2, 10);
  rig.view->ShowDate(day);
  QTest::keyClicks(rig.note(), QString("Slept\u00a0badly"));
  rig.view->SaveOnLeave();
  QCOMPARE(rig.bytes(SleepNotePath(rig.folder(), day)), QByteArray("Slept\xc2\xa0" "badly\r\n"));
}

// A year file with a line too long to show is shown read-only: its marks are there, a
// click is refused with a word of why, and the file stays as it is.
void SleepTest::hugeYearFileIsShownReadOnly() {
  Rig rig;
  CellGrid year = YearWithHours(2009, {{QDate(2009, 2, 10), "7.5"}});
  QByteArray bytes = GridToBytes(year);
  bytes += QByteArray(20000, 'x') + "\r\n";
  {
    QFile f(rig.yearPath(2009));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  rig.view->ShowDate(QDate(2009, 2, 10));
  QCOMPARE(rig.env.messages.size(), 1);
  QVERIFY2(rig.env.messages.at(0).text.startsWith("The file \"" + rig.yearPath(2009) +
                                                  "\" holds a line of 20,000 characters"),
           qPrintable(rig.env.messages.at(0).text));
  QCOMPARE(rig.view->Log().HoursText(rig.view->Log().DateColumn(QDate(2009, 2, 10))),
           QString("7.5"));
  rig.env.clearMessages();
  rig.click(13, 3);
  QCOMPARE(rig.env.messageTexts(),
           QStringList({"The sleep log of 2009 is opened read-only, so it cannot be changed."}));
  rig.view->SaveOnLeave();
  QCOMPARE(rig.bytes(rig.yearPath(2009)), bytes);
}

void SleepTest::drawing() {
  Rig rig;
  // Monday 9 February 2009 is column 12; today is far away.
  Clock::SetSource([] { return QDateTime(QDate(2020, 6, 1), QTime(12, 0)); });
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.view->ShowPage(QString("Track Sleep"));
  for (int k = 8; k <= 10; ++k) rig.click(13, k);
  SleepGrid* g = rig.grid();
  const QImage img = g->grab().toImage();
  auto colourAt = [&](int col, int row, int dx, int dy) {
    const QRect r = g->CellRect(col, row);
    return QColor(img.pixel(r.left() + dx, r.top() + dy));
  };
  QCOMPARE(colourAt(13, 9, 8, 3), QColor(145, 200, 255));  // asleep (odd column)
  QCOMPARE(colourAt(15, 20, 8, 3), QColor(247, 247, 247));  // odd column, awake
  QCOMPARE(colourAt(14, 20, 8, 3), QColor(Qt::white));      // even column, awake
  QCOMPARE(colourAt(12, 20, 0, 3), QColor(192, 192, 192));  // Monday's left edge
  // Midnight: the line under slot 8, across every day column.
  QCOMPARE(colourAt(14, 8, 8, 7), QColor(0, 64, 128));
  // Neighbouring asleep slots join into one bar: no gap at the row boundary.
  QCOMPARE(colourAt(13, 9, 8, 7), QColor(145, 200, 255));

  SleepGrid* strip = rig.grid("Date_Chart");
  const QImage top = strip->grab().toImage();
  const QRect cell = strip->CellRect(14, 1);  // 12 February
  QCOMPARE(QColor(top.pixel(cell.center().x(), cell.bottom() - 1)),
           CycleColour(rig.host.Cycle(), QDate(2009, 2, 12)));
  // The selected day (10 February, strip column 12) is framed in red.
  const QRect sel = strip->CellRect(12, 1);
  QCOMPARE(QColor(top.pixel(sel.left(), sel.center().y())), QColor(255, 0, 0));
  QCOMPARE(QColor(top.pixel(sel.right() - 1, sel.center().y())), QColor(255, 0, 0));
  QVERIFY(QColor(top.pixel(sel.center().x(), sel.center().y())) != QColor(255, 0, 0));
}

QTEST_MAIN(SleepTest)
#include "test_sleep.moc"
