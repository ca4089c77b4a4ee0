// Her own cycles in the program as she drives it: the "Last Period" picker and the
// "Period started on this day" action (month grid and basal chart) with its undo, the
// predicted window on the month grid and the day panel's texts, "My cycles" and its
// "Use my average", the basal view's precise temperature and disturbed mark, and the
// records of before this change, which only looking at them never rewrites.
//
// The records are the basal year of 2008 written before precise temperatures (four
// 28-day cycles from its "P" days, rises confirmed in the first three) and a history
// that adds 2 March (picker) and 27 April (day); today is 10 May 2008.

#include <QChartView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include "app/datafolders.h"
#include "app/widgets/linklabel.h"
#include "basal/basalchart.h"
#include "basal/widgets/basalcyclechart.h"
#include "basal/widgets/basalgrid.h"
#include "basal/widgets/basalview.h"
#include "core/clock.h"
#include "core/cyclemodel.h"
#include "core/inifile.h"
#include "core/textfile.h"
#include "cycle/cyclerecordstore.h"
#include "cycle/gridpictures.h"
#include "cycle/periodhistory.h"
#include "cycle/widgets/monthcalendar.h"
#include "shell/mainwindow.h"
#include "support/testenv.h"

namespace {
QDate D(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }
const QDate kToday = D("2008-05-10");

QStringList Lines(const QString& path) {
  QStringList lines;
  if (QFileInfo::exists(path)) ReadTextLines(path, &lines, nullptr);
  return lines;
}

// Every file under a folder with its bytes.
QMap<QString, QByteArray> Snapshot(const QString& folder) {
  QMap<QString, QByteArray> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    files.insert(path, f.readAll());
  }
  return files;
}

// The line of a day in a basal year file.
QString BasalLine(const QString& path, const QString& day) {
  for (const QString& l : Lines(path))
    if (l.startsWith('"' + day + '"')) return l;
  return {};
}
}  // namespace

class CycleViewsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TestEnv> env;
  std::unique_ptr<MainWindow> form;
  QString basalPath, historyPath;

  template <typename T>
  T* child(const char* name) {
    T* w = form->findChild<T*>(QLatin1String(name));
    if (!w) qFatal("no child %s", name);
    return w;
  }
  MonthCalendar* grid() { return child<MonthCalendar>("Calendar"); }
  BasalView* basal() { return dynamic_cast<BasalView*>(form->View("basal")); }

  // The data folders, without making the tree: the program's first start makes it (and
  // copies its database), as for a new user; only the records' folders are there.
  static DataFolders Folders() {
    DataFolders dir(TestEnv::programFolder(), false);
    QDir().mkpath(dir.BasalFolder());
    QDir().mkpath(dir.CycleFolder());
    return dir;
  }

  void start(bool withRecords = true, bool withHistory = true) {
    DataFolders dir = Folders();
    basalPath = BasalYearPath(dir.BasalFolder(), 2008);
    historyPath = PeriodHistory::PathIn(dir.CycleFolder());
    if (withRecords) QVERIFY(QFile::copy(TestEnv::testData("basal/2008-before.txt"), basalPath));
    if (withHistory)
      QVERIFY(QFile::copy(TestEnv::testData("cycle/records-2008.txt"), historyPath));
    form = std::make_unique<MainWindow>(TestEnv::programFolder(), false);
    form->Startup();
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
  }
  void go(const QString& view, const QDate& date) {
    form->ShowView(view);
    form->SetSelectedDate(date);
    form->DispatchDate(date);
  }
  // The basal chart's keyboard cell on a day, as a click on its bar would leave it.
  void focusBasalDay(const QDate& date) {
    go("basal", date);
    auto* chart = child<BasalGrid>("Basal_Chart");
    chart->setFocus();
    QCOMPARE(basal()->Chart().ColumnDate(chart->currentColumn()), date);
  }
  void typeTemperature(const QString& text) {
    auto* field = child<QLineEdit>("ui_basal_temperature");
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }

 private slots:
  void init() {
    env = std::make_unique<TestEnv>();
    Clock::SetSource([] { return QDateTime(kToday, QTime(8, 0)); });
  }
  void cleanup() {
    form.reset();
    Clock::SetSource({});
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    env.reset();
  }

  void pickerForwardRecordsOneStartAndBackwardNone() {
    start();
    const QStringList before = Lines(historyPath);
    auto* picker = child<QDateEdit>("ui_LastPeriod");
    QCOMPARE(picker->date(), kToday);

    // Forward with the arrow keys, three days and back one: one start, on the last day.
    picker->setFocus();
    picker->setCurrentSection(QDateTimeEdit::DaySection);
    for (int i = 0; i < 3; ++i) QTest::keyClick(picker, Qt::Key_Up);
    QTest::keyClick(picker, Qt::Key_Down);
    QCOMPARE(picker->date(), D("2008-05-12"));
    QCOMPARE(Lines(historyPath), before + QStringList{"2008-05-12 picker"});
    QTest::keyClick(picker, Qt::Key_Return);  // the edit ends

    // Backward records nothing, and leaves what was recorded.
    picker->setDate(D("2008-05-01"));
    emit picker->editingFinished();
    picker->setDate(D("2008-04-20"));
    QCOMPARE(Lines(historyPath), before + QStringList{"2008-05-12 picker"});
    // The footer's setting follows the picker as before.
    QCOMPARE(form->Cycle().LastPeriod, D("2008-04-20"));
    QVERIFY2(env->messages.isEmpty(), qPrintable(env->messageTexts().join('\n')));
  }

  void dayActionOnTheMonthGridAndItsUndo() {
    start();
    const QStringList before = Lines(historyPath);
    grid()->MoveToDate(D("2008-04-12"));
    grid()->setFocus();

    // P on the grid records the grid's day; Ctrl+Z takes exactly that line back.
    QTest::keyClick(grid(), Qt::Key_P);
    QCOMPARE(Lines(historyPath), QStringList({"2008-03-02 picker", "2008-04-12 day", "2008-04-27 day"}));
    QVERIFY(child<LinkLabel>("ui_period_undo")->isVisible());
    QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Lines(historyPath), before);

    // The day's menu (the menu key) offers the same action; the panel's undo link undoes.
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), grid()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(grid(), &menuKey);
    auto* menu = child<QMenu>("CalendarDayMenu");
    QTRY_VERIFY(menu->isVisible());
    QAction* startAction = nullptr;
    for (QAction* a : menu->actions())
      if (a->objectName() == "PeriodStarted") startAction = a;
    QVERIFY(startAction);
    QCOMPARE(startAction->text(), QString("Period started on this day"));
    menu->hide();
    startAction->trigger();
    QCOMPARE(Lines(historyPath).size(), before.size() + 1);
    QTest::mouseClick(child<LinkLabel>("ui_period_undo"), Qt::LeftButton);
    QCOMPARE(Lines(historyPath), before);

    // On a recorded start the action removes it, and the undo puts it back.
    grid()->MoveToDate(D("2008-04-27"));
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_P);
    QCOMPARE(Lines(historyPath), QStringList{"2008-03-02 picker"});
    QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Lines(historyPath), before);

    // A start a few days from another is asked about; No records nothing.
    env->answer = [](const MessageRequest&) { return MessageAnswer{false, {}}; };
    grid()->MoveToDate(D("2008-04-30"));
    QTest::keyClick(grid(), Qt::Key_P);
    QCOMPARE(env->messages.size(), 1);
    QCOMPARE(env->messages.front().kind, MessageKind::Question);
    QVERIFY(env->messages.front().text.contains("27 April, 3 days before"));
    QCOMPARE(Lines(historyPath), before);
  }

  void dayActionOnTheBasalChartAndItsUndo() {
    start();
    const QStringList before = Lines(historyPath);
    focusBasalDay(D("2008-04-12"));
    auto* chart = child<BasalGrid>("Basal_Chart");
    QTest::keyClick(chart, Qt::Key_P);
    QCOMPARE(Lines(historyPath), QStringList({"2008-03-02 picker", "2008-04-12 day", "2008-04-27 day"}));
    QTest::keyClick(chart, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Lines(historyPath), before);
    // The basal year is only looked at.
    QCOMPARE(QFile(basalPath).size(), QFile(TestEnv::testData("basal/2008-before.txt")).size());
  }

  void predictedWindowIsFramedAndTold() {
    start();
    // Four 28-day cycles from 6 January: the next period is expected 25 May ± 1 day.
    grid()->MoveToDate(D("2008-05-10"));
    for (int day = 20; day <= 31; ++day) {
      const QDate d(2008, 5, day);
      QCOMPARE(grid()->FramesPredicted(d), day >= 24 && day <= 26);
    }
    // The frame lies over the settings' colour, which stays as it was.
    const QImage shot = grid()->grab().toImage();
    const QRect r = grid()->DayRect(D("2008-05-25"));
    QCOMPARE(shot.pixelColor(r.right(), r.center().y()), PredictedWindowColour());
    QCOMPARE(shot.pixelColor(r.right() - 4, r.center().y()),
             CycleColour(form->Cycle(), D("2008-05-25")));
    // The report's picture is the settings' calendar alone.
    const QImage report = grid()->RenderImage();
    QCOMPARE(report.pixelColor(r.right(), r.center().y()), CycleColour(form->Cycle(), D("2008-05-25")));
    QCOMPARE(child<QLabel>("Legend_Window_Caption")->text(), QString("Expected period"));

    const QString text = child<QPlainTextEdit>("ui_cycle_reading")->toPlainText();
    QVERIFY2(text.startsWith("Next period expected 24–26 May (from your last 4 cycles)."), qPrintable(text));
    QVERIFY(text.contains("not a method of contraception on its own"));

    // Pages without the goal marks do not frame either.
    go("todo", kToday);
    QVERIFY(!grid()->FramesPredicted(D("2008-05-25")));
  }

  void dayPanelNamesTheStatusOrTooFewReadings() {
    start();
    grid()->MoveToDate(D("2008-01-25"));
    QString text = child<QPlainTextEdit>("ui_cycle_reading")->toPlainText();
    QVERIFY2(text.contains("rise confirmed on 22 January"), qPrintable(text));
    QVERIFY(text.contains("not a method of contraception on its own"));
    // The current cycle has no records after 8 April.
    grid()->MoveToDate(D("2008-05-05"));
    text = child<QPlainTextEdit>("ui_cycle_reading")->toPlainText();
    QVERIFY2(text.contains("ot enough readings"), qPrintable(text));
  }

  void underThreeCyclesItSaysHowManyMore() {
    // Two starts of her own, no basal file: one complete cycle.
    DataFolders dir = Folders();
    QVERIFY(WriteTextLines(PeriodHistory::PathIn(dir.CycleFolder()),
                           {"2008-03-02 picker", "2008-03-30 day"}, nullptr));
    start(false, false);
    const QString text = child<QPlainTextEdit>("ui_cycle_reading")->toPlainText();
    QVERIFY2(text.startsWith("2 more cycles are needed before your next period can be predicted"),
             qPrintable(text));
    QVERIFY(!grid()->FramesPredicted(D("2008-04-27")));
    go("cycles", kToday);
    QVERIFY(!child<QPushButton>("ui_use_average")->isEnabled());
    QVERIFY(child<QLabel>("ui_use_average_note")->text().contains("2 more cycles"));
    QCOMPARE(child<QTableWidget>("ui_cycles_table")->rowCount(), 2);
  }

  void myCyclesListsTheCyclesAndUsesTheAverage() {
    start();
    child<QSpinBox>("ui_cycle")->setValue(31);
    child<QSpinBox>("ui_luteal")->setValue(12);
    // The View menu and the header have the page.
    QVERIFY(form->findChild<QAction*>("View_cycles"));
    QVERIFY(form->findChild<QWidget*>("Cycles_Icon")->isVisible());
    go("cycles", kToday);

    auto* table = child<QTableWidget>("ui_cycles_table");
    QCOMPARE(table->rowCount(), 5);
    // Newest first: the current cycle, then 30 March ... 6 January.
    QCOMPARE(table->item(0, 0)->text(), QString("Apr 27, 2008"));
    QCOMPARE(table->item(4, 0)->text(), QString("Jan 6, 2008"));
    QCOMPARE(table->item(4, 1)->text(), QString("28"));
    QCOMPARE(table->item(4, 2)->text(), QString("Jan 19 (day 14)"));
    QCOMPARE(table->item(4, 3)->text(), QString("15"));
    QCOMPARE(table->item(1, 2)->text(), QString("-"));
    QVERIFY(child<QLabel>("ui_cycles_figures")->text().startsWith("Average 28 days over your last 4 cycles"));
    QVERIFY(child<QLabel>("ui_cycles_next")->text().startsWith("24–26 May (most likely 25 May)"));
    QVERIFY(child<QChartView>("ui_cycles_chart")->chart()->series().size() >= 2);

    QTest::mouseClick(child<QPushButton>("ui_use_average"), Qt::LeftButton);
    QCOMPARE(child<QSpinBox>("ui_cycle")->value(), 28);
    QCOMPARE(child<QSpinBox>("ui_luteal")->value(), 15);
    IniFile ini(env->dataRoot() + "Config/application.ini");
    QCOMPARE(ini.ReadInteger("Calendar", "ui_CycleLength", 0), 28);
    QCOMPARE(ini.ReadInteger("Calendar", "ui_luteal", 0), 15);
  }

  void pausesAreMarkedAndRemoved() {
    start();
    go("cycles", kToday);
    const QStringList before = Lines(historyPath);
    child<QComboBox>("ui_pause_kind")->setCurrentIndex(2);  // a gap in recording
    child<QDateEdit>("ui_pause_from")->setDate(D("2008-02-10"));
    child<QDateEdit>("ui_pause_until")->setDate(D("2008-02-20"));
    QTest::mouseClick(child<QPushButton>("ui_pause_add"), Qt::LeftButton);
    QCOMPARE(Lines(historyPath), QStringList({"2008-02-10 pause gap until 2008-02-20",
                                              "2008-03-02 picker", "2008-04-27 day"}));
    // The cycle of 3 February is left out now, and the page says so.
    QVERIFY(child<QLabel>("ui_cycles_leftout")->text().contains("1 cycle in a pause"));
    auto* list = child<QListWidget>("ui_pauses");
    QCOMPARE(list->count(), 1);
    list->setCurrentRow(0);
    QTest::mouseClick(child<QPushButton>("ui_pause_remove"), Qt::LeftButton);
    QCOMPARE(Lines(historyPath), before);
    QVERIFY(child<QLabel>("ui_cycles_leftout")->text().isEmpty());
  }

  void basalFieldTakesPreciseTemperatures_data() {
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("line");  // the year file's line, or empty when refused
    QTest::newRow("36.45 °C") << "C" << "en_US" << "36.45" << "\"April 20\",97.61,36.45,";
    QTest::newRow("97.61 °F") << "F" << "en_US" << "97.61" << "\"April 20\",97.61,36.45,";
    // Typed with her locale's decimal comma, stored with "." as every number of the file.
    QTest::newRow("decimal comma") << "C" << "de_DE" << "36,45" << "\"April 20\",97.61,36.45,";
    QTest::newRow("34.9 °C") << "C" << "en_US" << "34.9" << "";
    QTest::newRow("abc") << "C" << "en_US" << "abc" << "";
    QTest::newRow("42.01 °C") << "C" << "en_US" << "42.01" << "";
    QTest::newRow("107.61 °F") << "F" << "en_US" << "107.61" << "";
  }
  void basalFieldTakesPreciseTemperatures() {
    QFETCH(QString, units);
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QLocale::setDefault(QLocale(locale));
    start();
    form->Settings().TemperatureUnits = units;
    const QString old = BasalLine(basalPath, "April 20");
    go("basal", D("2008-04-20"));
    QVERIFY(child<QLabel>("ui_basal_temperature_label")->text().contains(units == "C" ? "°C" : "°F"));
    typeTemperature(typed);
    const QString message = child<QLabel>("ui_basal_temperature_message")->text();
    if (line.isEmpty()) {
      QCOMPARE(message, ParseTemperatureInput(typed, TemperatureUnitFromSetting(units)).error);
      QVERIFY(!message.isEmpty());
      QCOMPARE(BasalLine(basalPath, "April 20"), old);
    } else {
      QVERIFY2(BasalLine(basalPath, "April 20").startsWith(line), qPrintable(BasalLine(basalPath, "April 20")));
      QVERIFY2(message.startsWith("Saved: " + typed), qPrintable(message));
      // The level grid shows the nearest level as a bar, as for a click.
      QVERIFY(basal()->Chart().BarTop(basal()->Chart().DateColumn(D("2008-04-20"))) > 0);
    }
    QVERIFY(env->messages.isEmpty());
  }

  void disturbedReadingIsLeftOutOfTheChart() {
    start();
    focusBasalDay(D("2008-01-16"));
    child<QToolButton>("ui_basal_chart_toggle")->click();
    const BasalCycleChart* chart = basal()->LineChart();
    QVERIFY(chart->isVisible());
    QCOMPARE(chart->Shown().start, D("2008-01-06"));
    QCOMPARE(chart->Shown().firstHigher, D("2008-01-20"));

    // A high reading in the six before the rise hides it...
    typeTemperature("98.60");
    QVERIFY(BasalLine(basalPath, "January 16").startsWith("\"January 16\",98.60,37.00,"));
    QVERIFY(chart->Shown().firstHigher != D("2008-01-20"));

    // ...until it is marked disturbed: it is drawn apart and the rise is found again.
    auto* disturbed = child<QComboBox>("ui_basal_disturbed");
    disturbed->setFocus();
    QTest::keyClick(disturbed, Qt::Key_Down);
    QCOMPARE(disturbed->currentText(), DisturbanceName(Disturbance::Sleep));
    QVERIFY(BasalLine(basalPath, "January 16").endsWith(",sleep"));
    QCOMPARE(chart->Shown().firstHigher, D("2008-01-20"));
    QCOMPARE(chart->Shown().higher.front(), D("2008-01-20"));
    const auto it = std::find_if(chart->Shown().readings.cbegin(), chart->Shown().readings.cend(),
                                 [](const ChartReading& r) { return r.date == D("2008-01-16"); });
    QVERIFY(it != chart->Shown().readings.cend());
    QVERIFY(it->disturbed);
    QVERIFY(chart->Summary().contains("Readings marked disturbed are left out"));

    // The calendar's day panel reads the same records, without reading the files again.
    go("calendar", D("2008-01-25"));
    QVERIFY(child<QPlainTextEdit>("ui_cycle_reading")->toPlainText().contains("22 January"));
    QCOMPARE(form->CycleRecords()->DayReads(), 1);
  }

  void anUnreadableHistoryIsToldOnceAndNeverReplaced() {
    // Something that is no file stands where the history belongs.
    DataFolders dir = Folders();
    QVERIFY(QDir().mkpath(PeriodHistory::PathIn(dir.CycleFolder())));
    start(true, false);
    QCOMPARE(env->messages.size(), 1);
    QCOMPARE(env->messages.front().kind, MessageKind::Error);
    QVERIFY(env->messages.front().text.contains("Periods.txt"));
    // The basal "P" days are still read for her.
    go("calendar", D("2008-02-10"));
    QVERIFY(child<QPlainTextEdit>("ui_cycle_reading")->toPlainText().contains("from your last 3 cycles"));
    go("cycles", kToday);
    QCOMPARE(env->messages.size(), 1);

    go("calendar", D("2008-04-12"));
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_P);
    QCOMPARE(env->messages.size(), 2);
    QCOMPARE(env->messages.back().kind, MessageKind::Error);
    QVERIFY(QFileInfo(PeriodHistory::PathIn(dir.CycleFolder())).isDir());
    QVERIFY(!child<LinkLabel>("ui_period_undo")->isVisible());
  }

  void lookingAtTheRecordsWritesNothing() {
    start();
    DataFolders dir = Folders();
    const auto basalBefore = Snapshot(dir.BasalFolder());
    const auto cycleBefore = Snapshot(dir.CycleFolder());
    QCOMPARE(basalBefore.size(), 1);

    for (const QDate& d : {D("2008-01-20"), D("2008-03-05"), D("2008-05-10")}) {
      go("calendar", d);
      go("basal", d);
    }
    child<QToolButton>("ui_basal_chart_toggle")->click();
    go("basal", D("2008-02-10"));
    child<BasalGrid>("Basal_Chart")->setFocus();
    go("cycles", kToday);
    go("calendar", kToday);
    form->ExitSequence();

    QCOMPARE(Snapshot(dir.BasalFolder()), basalBefore);
    QCOMPARE(Snapshot(dir.CycleFolder()), cycleBefore);
    QVERIFY2(env->messages.isEmpty(), qPrintable(env->messageTexts().join('\n')));
  }
};

QTEST_MAIN(CycleViewsTest)
#include "test_cycleviews.moc"
