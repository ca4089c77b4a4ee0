// The main window as a user drives it: start-up, day selection with the day panel and
// the chart, the journal, the date bar, view switching, the footer and the exit sequence.

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "core/clock.h"
#include "core/cyclemodel.h"
#include "core/inifile.h"
#include "app/datafolders.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "app/widgets/printreport.h"
#include "app/widgets/welcomedialog.h"
#include "shell/aboutbox.h"
#include "shell/mainwindow.h"
#include "cycle/widgets/calendarview.h"
#include "cycle/widgets/monthcalendar.h"
#include "cycle/widgets/probabilitychart.h"
#include "shell/themes.h"
#include "shell/viewtable.h"
#include "support/faults.h"
#include "shell/recordactions.h"
#include "app/recordarchive.h"
#include "app/widgets/recordsdialogs.h"
#include "cycle/cyclerecordstore.h"
#include <QAction>
#include "support/testenv.h"
#include "trackers/widgets/todoview.h"

namespace {
QString NoteText(const QString& path) {
  QString text;
  QString error;
  ReadTextFile(path, &text, &error);
  return text;
}
}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TestEnv> env;
  std::unique_ptr<MainWindow> form;
  QStringList opened;

  template <typename T>
  T* child(const char* name) {
    T* w = form->findChild<T*>(QLatin1String(name));
    if (!w) qFatal("no child %s", name);
    return w;
  }
  MonthCalendar* grid() const { return form->findChild<MonthCalendar*>("Calendar"); }
  CalendarView* calendar() const { return dynamic_cast<CalendarView*>(form->View("calendar")); }
  void clickDay(const QDate& date) {
    MonthCalendar* grid = this->grid();
    grid->MoveToDate(QDate(date.year(), date.month(), date.day() == 1 ? 2 : 1));
    const QDate first(date.year(), date.month(), 1);
    const int offset = (first.dayOfWeek() % 7);  // Sunday 0 .. Saturday 6
    const int index = offset + date.day() - 1;
    const QRect cell = grid->CellRect(index % 7, 1 + index / 7);
    QTest::mouseClick(grid, Qt::LeftButton, {}, cell.center());
  }
  // The worked example: last period 1 March 2009, 28 days, luteal 14.
  void useExampleSettings(int goal) {
    child<QDateEdit>("ui_LastPeriod")->setDate(QDate(2009, 3, 1));
    child<QSpinBox>("ui_cycle")->setValue(28);
    child<QSpinBox>("ui_luteal")->setValue(14);
    child<QComboBox>("ui_goal")->setCurrentIndex(goal);
  }
  QString notesFolder() const { return env->dataRoot() + "Notes/"; }

 private slots:
  void initTestCase() {
    // The offscreen desktop has no tray; most tests stand for one that has.
    SetSystemTrayAvailable(true);
  }
  void init() {
    env = std::make_unique<TestEnv>();
    opened.clear();
    SetOpenUrlHandler([this](const QUrl& url) { opened << url.toString(); });
    form = std::make_unique<MainWindow>(TestEnv::programFolder(), false);
    form->Startup();
  }
  void cleanup() {
    form.reset();
    SetOpenUrlHandler({});
    env.reset();
  }

  void startupShowsCalendarWithTodaySelected() {
    QVERIFY(form->Started());
    QCOMPARE(form->CurrentViewName(), QString("calendar"));
    QCOMPARE(form->SelectedDate(), QDate::currentDate());
    QCOMPARE(grid()->Date(), QDate::currentDate());
    QVERIFY(child<QWidget>("pnlFooter")->isVisible());
    QCOMPARE(child<QStackedWidget>("pgMain")->currentIndex(), 0);
    QCOMPARE(child<QStackedWidget>("ui_pg")->currentIndex(), 0);
    QCOMPARE(child<QLabel>("ui_calendar_day")->text(),
             QLocale().toString(QDate::currentDate(), QLocale::LongFormat));
    QVERIFY(!child<QPlainTextEdit>("ui_advise")->toPlainText().isEmpty());
    QCOMPARE(form->windowTitle(),
             QString("Mavelo - plan your pregnancy and organize your life"));
    // The first start writes application.ini with every key.
    IniFile ini(env->dataRoot() + "Config/application.ini");
    QCOMPARE(ini.ReadString("Calendar", "ui_CycleLength", ""), QString("28"));
    QCOMPARE(ini.ReadString("Calendar", "ui_luteal", ""), QString("14"));
    QVERIFY(env->messages.isEmpty());
  }

  // Every view the table makes is docked in its panel, reachable by its name and by its
  // header icon, and switching to it turns to the panel's page.
  void everyViewOfTheTableIsDockedAndReachable() {
    for (const ViewEntry& entry : ViewTable()) {
      if (!entry.icon.isEmpty()) QVERIFY2(form->findChild<QWidget*>(entry.icon), qPrintable(entry.icon));
      if (!entry.make) continue;
      DateView* view = form->View(entry.name);
      QVERIFY2(view, qPrintable(entry.name));
      auto* widget = dynamic_cast<QWidget*>(view);
      QVERIFY(widget->parentWidget());
      QCOMPARE(widget->parentWidget()->objectName(), entry.panel);
      form->ShowView(entry.name);
      QCOMPARE(form->CurrentViewName(), entry.name);
      QVERIFY2(widget->isVisibleTo(form.get()), qPrintable(entry.name));
    }
  }

  // The start-up routine waits for the window to be shown, then runs at the next turn of
  // the event loop (no idle wait): nothing is filled before, everything right after.
  void startupRunsOnceTheWindowIsShown() {
    MainWindow window(TestEnv::programFolder(), true);
    QCoreApplication::processEvents();
    QVERIFY(!window.Started());
    QVERIFY(!window.findChild<MonthCalendar*>("Calendar"));
    window.ShowAndStart();
    QTRY_VERIFY(window.Started());
    QVERIFY(window.isVisible());
    QCOMPARE(window.findChild<MonthCalendar*>("Calendar")->Date(), QDate::currentDate());
    QCOMPARE(window.CurrentViewName(), QString("calendar"));
  }

  // On the first day of a month the grid already starts on today, so nothing moves at
  // start-up: the day panel and the journal are filled all the same.
  void startupOnTheFirstOfAMonthFillsTheDayPanel() {
    form.reset();
    Clock::SetSource([] { return QDateTime(QDate(2026, 12, 1), QTime(9, 0)); });
    WriteTextFile(notesFolder() + "Y2026M12D1.txt", "first note", nullptr);
    form = std::make_unique<MainWindow>(TestEnv::programFolder(), false);
    form->Startup();
    Clock::SetSource({});
    QCOMPARE(form->SelectedDate(), QDate(2026, 12, 1));
    QCOMPARE(child<QLabel>("ui_calendar_day")->text(), QString("Tuesday, December 1, 2026"));
    QVERIFY(!child<QPlainTextEdit>("ui_advise")->toPlainText().isEmpty());
    QCOMPARE(child<QPlainTextEdit>("ui_note")->toPlainText(), QString("first note"));
  }

  // The first start asks once: her last period, cycle length, units (her locale's
  // preselected) and the start at login (off). Her answers are the settings at once; a
  // later start never asks again.
  void firstStartWelcomesHerOnce() {
    QCOMPARE(env->welcomed.size(), 1);
    const WelcomeAnswers proposed = env->welcomed.first();
    QCOMPARE(proposed.lastPeriod, QDate::currentDate());
    QCOMPARE(proposed.cycleLength, 28);
    QVERIFY(!proposed.kilograms);
    QVERIFY(!proposed.celsius);
    QVERIFY(!proposed.startAtLogin);
    form.reset();
    env.reset();  // before the next one: its end forgets the handlers
    env = std::make_unique<TestEnv>();
    env->welcome = [](const WelcomeAnswers&) {
      return WelcomeAnswers{QDate(2026, 11, 28), 31, true, true, true};
    };
    form = std::make_unique<MainWindow>(TestEnv::programFolder(), false);
    form->Startup();
    QCOMPARE(env->welcomed.size(), 1);
    QVERIFY(form->Started());
    QCOMPARE(child<QDateEdit>("ui_LastPeriod")->date(), QDate(2026, 11, 28));
    QCOMPARE(child<QSpinBox>("ui_cycle")->value(), 31);
    QVERIFY(child<QAction>("StartWithWindows1")->isChecked());
    IniFile ini(env->dataRoot() + "Config/application.ini");
    QCOMPARE(ini.ReadString("Calendar", "ui_CycleLength", ""), QString("31"));
    QCOMPARE(ini.ReadString("Application", "Measure_Units", ""), QString("M"));
    QCOMPARE(ini.ReadString("Application", "Temperature_Units", ""), QString("C"));
    QCOMPARE(ini.ReadString("Application", "AutoStart", ""), QString("1"));
    form.reset();
    form = std::make_unique<MainWindow>(TestEnv::programFolder(), false);
    form->Startup();
    QCOMPARE(env->welcomed.size(), 1);
    QCOMPARE(form->Cycle().CycleLength, 31);
  }

  // The welcome itself: every answer is a control reached by the keyboard, and "Start"
  // gives what is shown; a German locale proposes kilograms and Celsius.
  void welcomeDialogGivesWhatIsShown() {
    const WelcomeAnswers german = ProposedWelcome(form->Settings(), QLocale(QLocale::German, QLocale::Germany));
    QVERIFY(german.kilograms && german.celsius && !german.startAtLogin);
    WelcomeDialog dialog(german);
    dialog.findChild<QDateEdit*>("welcome_LastPeriod")->setDate(QDate(2026, 12, 2));
    dialog.findChild<QSpinBox*>("welcome_Cycle")->setValue(33);
    dialog.findChild<QRadioButton*>("welcome_Fahrenheit")->setChecked(true);
    dialog.findChild<QCheckBox*>("welcome_StartAtLogin")->setChecked(true);
    const WelcomeAnswers a = dialog.Answers();
    QCOMPARE(a.lastPeriod, QDate(2026, 12, 2));
    QCOMPARE(a.cycleLength, 33);
    QVERIFY(a.kilograms);
    QVERIFY(!a.celsius);
    QVERIFY(a.startAtLogin);
    for (QWidget* w : dialog.findChildren<QWidget*>())
      if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w))
        QVERIFY2(w->focusPolicy() & Qt::TabFocus, qPrintable(w->objectName()));
  }

  void clickOnADayFillsTheDayPanel() {
    useExampleSettings(2);  // Conceive a Boy
    clickDay(QDate(2009, 3, 15));
    QCOMPARE(form->SelectedDate(), QDate(2009, 3, 15));
    QCOMPARE(child<QLabel>("ui_calendar_day")->text(), QString("Sunday, March 15, 2009"));
    QCOMPARE(child<QPlainTextEdit>("ui_advise")->toPlainText(),
             QString("Fertile Day. You have a good chance to conceive a Boy."));
    QCOMPARE(child<QPlainTextEdit>("ui_baby_birthday")->toPlainText(),
             QString("If you conceive on this day, your baby will be born approximately "
                     "Sunday, December 6, 2009\n\nYour baby's Zodiac sign will be 'Sagittarius'"));
    auto* chart = child<ProbabilityChart>("Chart1");
    QCOMPARE(chart->Labels(), QStringList({"7", "8", "9", "10", "11", "12", "13", "14", "15",
                                           "16", "17"}));
    const QList<int> expected{2, 2, 2, 8, 13, 10, 30, 25, 7, 2, 2};
    const QList<QPointF> points = chart->Points();
    QCOMPARE(points.size(), expected.size());
    for (int i = 0; i < points.size(); ++i) QCOMPARE(points[i].y(), double(expected[i]));
    QCOMPARE(chart->BottomTitle(), QString("March"));
    QCOMPARE(child<QLabel>("ui_calendarmonth")->text(), QString("March"));
  }

  // Changing a setting in the footer refreshes the day panel at once: advice, tile colour
  // and birth date agree with the grid for the new settings.
  void dayPanelFollowsTheSettings_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("value");
    QTest::newRow("goal") << "ui_goal" << 0;
    QTest::newRow("cycle length") << "ui_cycle" << 35;
    QTest::newRow("luteal phase") << "ui_luteal" << 18;
    QTest::newRow("last period") << "ui_LastPeriod" << 10;
  }
  void dayPanelFollowsTheSettings() {
    QFETCH(QString, control);
    QFETCH(int, value);
    useExampleSettings(1);  // Conceive
    const QDate day(2009, 3, 15);
    clickDay(day);
    const QString before = child<QPlainTextEdit>("ui_advise")->toPlainText();
    QCOMPARE(before, AdviceText(form->Cycle(), day));
    QWidget* w = form->findChild<QWidget*>(control);
    if (auto* spin = qobject_cast<QSpinBox*>(w)) spin->setValue(value);
    else if (auto* combo = qobject_cast<QComboBox*>(w)) combo->setCurrentIndex(value);
    else qobject_cast<QDateEdit*>(w)->setDate(QDate(2009, 3, value));
    const QString after = child<QPlainTextEdit>("ui_advise")->toPlainText();
    QCOMPARE(after, AdviceText(form->Cycle(), day));
    QVERIFY2(after != before, qPrintable(after));
    QVERIFY(child<QWidget>("ui_advise_tile")->styleSheet().contains(
        CycleColour(form->Cycle(), day).name()));
    QCOMPARE(form->SelectedDate(), day);
  }

  void noGoalKeepsThePreviousAdvice() {
    useExampleSettings(1);
    clickDay(QDate(2009, 3, 15));
    const QString advice = child<QPlainTextEdit>("ui_advise")->toPlainText();
    QCOMPARE(advice, QString("Fertile Day. You have a good chance to conceive a baby."));
    child<QComboBox>("ui_goal")->setCurrentIndex(-1);
    clickDay(QDate(2009, 3, 2));
    QCOMPARE(child<QPlainTextEdit>("ui_advise")->toPlainText(), advice);
    QCOMPARE(child<QLabel>("ui_calendar_day")->text(), QString("Monday, March 2, 2009"));
  }

  void journalSavesThePreviousDayAndLoadsTheNext() {
    QDir().mkpath(notesFolder());
    QVERIFY(WriteTextLines(notesFolder() + "Y2009M3D6.txt", {"older note", "second line"}, nullptr));
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    auto* memo = child<QPlainTextEdit>("ui_note");
    QVERIFY(memo->toPlainText().isEmpty());
    QTest::keyClicks(memo, "walked an hour");
    clickDay(QDate(2009, 3, 6));
    QCOMPARE(NoteText(notesFolder() + "Y2009M3D5.txt"), QString("walked an hour\r\n"));
    QCOMPARE(memo->toPlainText(), QString("older note\nsecond line"));
    QCOMPARE(child<QLabel>("ui_calendar_day2")->text(), QString("Friday, March 6, 2009"));
    // Selecting a day without touching its note leaves the file as it was.
    const QByteArray before = NoteText(notesFolder() + "Y2009M3D6.txt").toUtf8();
    clickDay(QDate(2009, 3, 7));
    QCOMPARE(NoteText(notesFolder() + "Y2009M3D6.txt").toUtf8(), before);
  }

  void emptiedNoteIsRemoved() {
    QDir().mkpath(notesFolder());
    QVERIFY(WriteTextLines(notesFolder() + "Y2009M3D5.txt", {"to be removed"}, nullptr));
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    auto* memo = child<QPlainTextEdit>("ui_note");
    QCOMPARE(memo->toPlainText(), QString("to be removed"));
    memo->selectAll();
    QTest::keyClick(memo, Qt::Key_Delete);
    clickDay(QDate(2009, 3, 6));
    QVERIFY(!QFile::exists(notesFolder() + "Y2009M3D5.txt"));
    clickDay(QDate(2009, 3, 5));
    QVERIFY(memo->toPlainText().isEmpty());
  }

  void saveLinkWritesTheNoteAndSaysSo() {
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    QTest::keyClicks(child<QPlainTextEdit>("ui_note"), "a note");
    QTest::mouseClick(child<QLabel>("Label11"), Qt::LeftButton);
    QCOMPARE(NoteText(notesFolder() + "Y2009M3D5.txt"), QString("a note\r\n"));
    QCOMPARE(env->messageTexts(), QStringList{"Note saved"});
  }

  // File > Back up and File > Restore from the window: what she typed is in the backup,
  // and after the restore every view shows the restored records, the cycle settings and
  // the period history included.
  void backupAndRestoreFromTheFileMenu() {
    const QString archive = env->home() + "/backup.zip";
    SetRecordsChooser([&](const QString& what, const QString&) {
      return what == QLatin1String("backup") || what == QLatin1String("restore") ? archive : QString();
    });
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    QTest::keyClicks(child<QPlainTextEdit>("ui_note"), "kept in the backup");
    child<QSpinBox>("ui_cycle")->setValue(30);
    QVERIFY(form->CycleRecords()->AddDayStart(QDate(2009, 2, 3), nullptr));
    child<QAction>("BackUp1")->trigger();  // without saving the note first
    QVERIFY(QFileInfo::exists(archive));

    auto* memo = child<QPlainTextEdit>("ui_note");
    memo->selectAll();
    QTest::keyClicks(memo, "typed after");
    child<QSpinBox>("ui_cycle")->setValue(33);
    QVERIFY(form->CycleRecords()->AddDayStart(QDate(2009, 2, 24), nullptr));
    child<QAction>("Restore1")->trigger();

    QCOMPARE(NoteText(notesFolder() + "Y2009M3D5.txt"), QString("kept in the backup\r\n"));
    QCOMPARE(child<QSpinBox>("ui_cycle")->value(), 30);
    QVERIFY(form->CycleRecords()->History().HasStart(QDate(2009, 2, 3)));
    QVERIFY(!form->CycleRecords()->History().HasStart(QDate(2009, 2, 24)));
    form->ShowView("note");
    clickDay(QDate(2009, 3, 6));
    clickDay(QDate(2009, 3, 5));
    QCOMPARE(child<QPlainTextEdit>("ui_note")->toPlainText(), QString("kept in the backup"));
    // What she had typed before the restore is in the automatic backup it made.
    QCOMPARE(AutomaticBackups(form->Dir()).size(), 1);
    SetRecordsChooser({});
  }

  void exitSequenceSavesSettingsThemeAndTheNote() {
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    QTest::keyClicks(child<QPlainTextEdit>("ui_note"), "typed before closing");
    useExampleSettings(3);
    child<QSpinBox>("ui_cycle")->setValue(30);
    form->ApplyThemeByName("Roma");
    form->close();
    QCOMPARE(NoteText(notesFolder() + "Y2009M3D5.txt"), QString("typed before closing\r\n"));
    IniFile ini(env->dataRoot() + "Config/application.ini");
    QCOMPARE(ini.ReadInteger("Calendar", "ui_Goal", -5), 3);
    QCOMPARE(ini.ReadInteger("Calendar", "ui_CycleLength", 0), 30);
    QCOMPARE(ini.ReadString("Calendar", "ui_LastPeriod", ""), QString("2009-03-01"));
    QCOMPARE(SavedTheme(), QString("Roma"));
    // A new user was never asked to start at login: nothing is added.
    QVERIFY(!QFile::exists(env->configHome() + "/autostart/Mavelo.desktop"));
  }

  // In the journal the note always belongs to the day in the date bar: the arrows keep
  // what was typed in the day left and open the next day's note.
  void arrowsInTheJournalOpenTheNextNote() {
    WriteTextFile(notesFolder() + "Y2009M3D7.txt", "seventh", nullptr);
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    QTest::keyClicks(child<QPlainTextEdit>("ui_note"), "fifth");
    QTest::mouseClick(child<QPushButton>("ArrowRight"), Qt::LeftButton);
    QCOMPARE(NoteText(notesFolder() + "Y2009M3D5.txt"), QString("fifth\r\n"));
    QCOMPARE(child<QPlainTextEdit>("ui_note")->toPlainText(), QString());
    QCOMPARE(child<QLabel>("ui_calendar_day2")->text(), QString("Friday, March 6, 2009"));
    QTest::mouseClick(child<QPushButton>("ArrowRight"), Qt::LeftButton);
    QCOMPARE(form->SelectedDate(), QDate(2009, 3, 7));
    QCOMPARE(grid()->Date(), QDate(2009, 3, 7));
    QCOMPARE(child<QPlainTextEdit>("ui_note")->toPlainText(), QString("seventh"));
    QVERIFY(!QFile::exists(notesFolder() + "Y2009M3D6.txt"));
    QTest::mouseClick(child<QPushButton>("ArrowLeft"), Qt::LeftButton);
    QCOMPARE(form->SelectedDate(), QDate(2009, 3, 6));
    QCOMPARE(child<QLabel>("ui_calendar_day2")->text(), QString("Friday, March 6, 2009"));
    QVERIFY(env->messages.isEmpty());
  }

  // A note is written a moment after the typing stops, without waiting for a change of
  // day or exit, so a crash keeps it.
  void journalIsWrittenSoonAfterTyping() {
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    QTest::keyClicks(child<QPlainTextEdit>("ui_note"), "slept well");
    const QString path = notesFolder() + "Y2009M3D5.txt";
    QTRY_COMPARE_WITH_TIMEOUT(NoteText(path), QString("slept well\r\n"), 5000);
    QVERIFY(!child<QPlainTextEdit>("ui_note")->document()->isModified());
    QVERIFY(env->messages.isEmpty());
  }

  // The to-do title is the day of the list on screen, after any way of changing it.
  void toDoTitleFollowsTheDateBar() {
    clickDay(QDate(2009, 3, 5));
    form->ShowView("todo");
    QCOMPARE(child<QLabel>("ui_title")->text(), QString("Mar 5, 2009 "));
    QTest::mouseClick(child<QPushButton>("ArrowRight"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("ui_title")->text(), QString("Mar 6, 2009 "));
    child<QDateEdit>("Date_Picker")->setDate(QDate(2009, 4, 1));
    QCOMPARE(child<QLabel>("ui_title")->text(), QString("Apr 1, 2009 "));
    QCOMPARE(child<QLabel>("ui_todo_day")->text(), QString("Wednesday, April 1, 2009"));
  }

  void arrowsInTheCalendarMoveTheGrid() {
    clickDay(QDate(2009, 1, 31));
    QTest::mouseClick(child<QPushButton>("ArrowRight"), Qt::LeftButton);
    QCOMPARE(grid()->Date(), QDate(2009, 2, 1));
    QCOMPARE(child<QLabel>("ui_calendarmonth")->text(), QString("February"));
    QCOMPARE(child<QLabel>("ui_calendar_day")->text(), QString("Sunday, February 1, 2009"));
    QTest::mouseClick(child<QLabel>("lblToday"), Qt::LeftButton);
    QCOMPARE(grid()->Date(), QDate::currentDate());
  }

  // Beside another page the grid's "today" moves the grid as well, not only the date bar.
  void todayMovesTheGridBesideEveryPage() {
    const QDate today = QDate::currentDate();
    const QDate other = today.day() == 5 ? today.addDays(-2) : QDate(today.year(), today.month(), 5);
    clickDay(other);
    form->ShowView("weight");
    QCOMPARE(grid()->Date(), other);
    QTest::mouseClick(child<QLabel>("lblToday"), Qt::LeftButton);
    QCOMPARE(form->SelectedDate(), today);
    QCOMPARE(grid()->Date(), today);
    auto* weight = dynamic_cast<QWidget*>(form->View("weight"));
    QCOMPARE(weight->findChild<QLabel*>("Title_Label")->text(), FormatDate("dddddd", today));
    QCOMPARE(form->CurrentViewName(), QString("weight"));
  }

  void showViewSwitchesPagesFooterAndTitle_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<bool>("footer");
    QTest::addColumn<bool>("dateBar");
    QTest::addColumn<QString>("title");
    QTest::newRow("calendar") << "calendar" << 0 << 0 << true << true << "Mavelo";
    QTest::newRow("basal") << "basal" << 1 << 1 << true << true << "Basal Temperature";
    QTest::newRow("weight") << "weight" << 0 << 5 << false << true << "Weight Tracker";
    QTest::newRow("heart") << "heart" << 0 << 9 << false << true << "Blood Pressure Tracker";
    QTest::newRow("health") << "health" << 5 << 4 << false << false << "Health Information";
    QTest::newRow("sleep") << "sleep" << 3 << 7 << false << true << "";
    QTest::newRow("kids") << "kids" << 6 << 7 << false << true << "Baby & Kids Tracker";
    QTest::newRow("eat") << "eat" << 0 << 8 << false << true << "Calorie Tracker";
    QTest::newRow("exercise") << "exercise" << 0 << 6 << false << true << "Exercise Tracker";
    QTest::newRow("note") << "note" << 0 << 3 << false << true << "Journal";
    QTest::newRow("todo") << "todo" << 0 << 2 << false << true
                          << QLocale().toString(QDate::currentDate(), "MMM d, yyyy") + " ";
  }
  void showViewSwitchesPagesFooterAndTitle() {
    QFETCH(QString, view);
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(bool, footer);
    QFETCH(bool, dateBar);
    QFETCH(QString, title);
    form->ShowView(view);
    QCOMPARE(form->CurrentViewName(), view);
    QCOMPARE(child<QStackedWidget>("pgMain")->currentIndex(), outer);
    QCOMPARE(child<QStackedWidget>("ui_pg")->currentIndex(), inner);
    QCOMPARE(child<QWidget>("pnlFooter")->isVisible(), footer);
    QCOMPARE(child<QWidget>("DateBar")->isVisible(), dateBar);
    QCOMPARE(child<QLabel>("ui_title")->text(), title);
  }

  // The grid follows the date bar in the calendar, to-do and journal views.
  void gridFollowsTheDateBar_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<bool>("follows");
    QTest::newRow("calendar") << "calendar" << true;
    QTest::newRow("todo") << "todo" << true;
    QTest::newRow("weight") << "weight" << false;
    QTest::newRow("basal") << "basal" << false;
    QTest::newRow("note") << "note" << true;
  }
  void gridFollowsTheDateBar() {
    QFETCH(QString, view);
    QFETCH(bool, follows);
    clickDay(QDate(2009, 3, 5));
    form->ShowView(view);
    QTest::mouseClick(child<QPushButton>("ArrowRight"), Qt::LeftButton);
    QCOMPARE(form->SelectedDate(), QDate(2009, 3, 6));
    QCOMPARE(grid()->Date(), follows ? QDate(2009, 3, 6) : QDate(2009, 3, 5));
    QVERIFY(env->messages.isEmpty());
  }

  void forumOpensTheForumAddressInTheBrowser() {
    form->ShowView("forum");
    QCOMPARE(child<QStackedWidget>("pgMain")->currentIndex(), 4);
    QVERIFY(!child<QDateEdit>("Date_Picker")->isVisible());
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened.first().contains("forum"));
  }

  void cycleLengthChangeRedispatches() {
    useExampleSettings(1);
    clickDay(QDate(2009, 3, 15));
    auto* chart = child<ProbabilityChart>("Chart1");
    QCOMPARE(chart->Labels().first(), QString("7"));
    child<QSpinBox>("ui_cycle")->setValue(30);  // ovulation moves two days later
    QCOMPARE(chart->Labels().first(), QString("9"));
    QCOMPARE(form->Cycle().CycleLength, 30);
  }

  void themesDifferAndAreRemembered() {
    QSet<QString> sheets;
    for (const QString& name : ThemeNames()) {
      form->ApplyThemeByName(name);
      QCOMPARE(form->CurrentTheme(), name);
      sheets.insert(form->styleSheet());
    }
    QCOMPARE(sheets.size(), ThemeNames().size());
    form->ApplyThemeByName("NoSuchTheme");
    QCOMPARE(form->CurrentTheme(), ThemeNames().last());
  }

  // Without the planner program nothing offers it: no icon, no menu entry, no "Open"
  // link, and a double click on a day opens that day's journal note instead.
  void withoutThePlannerADoubleClickOpensTheJournal() {
    QVERIFY(!child<QWidget>("Calendar_Icon")->isVisibleTo(form.get()));
    QVERIFY(!child<QWidget>("lblOpen")->isVisibleTo(form.get()));
    QVERIFY(!form->findChild<QAction*>("WeeklyPlanner1"));
    WriteTextFile(notesFolder() + "Y2009M3D7.txt", "seventh", nullptr);
    clickDay(QDate(2009, 3, 7));
    grid()->doubleClicked();
    QCOMPARE(form->CurrentViewName(), QString("note"));
    QCOMPARE(child<QPlainTextEdit>("ui_note")->toPlainText(), QString("seventh"));
    QVERIFY(env->messages.isEmpty());
  }

  // With the planner program beside the executable, the icon, the menu entry, the link and
  // a double click start it on the selected day.
  void thePlannerStartsOnTheSelectedDay() {
    form.reset();
    QTemporaryDir program;
    for (const char* shipped : {"Brand", "Config", "DB", "Help", "Sound"})
      QVERIFY(QFile::link(TestEnv::programFolder() + shipped, program.filePath(shipped)));
    QVERIFY(QDir().mkpath(program.filePath("Calendar")));
    const QString started = env->home() + "/planner-args";
    QFile script(program.filePath("Calendar/Calendar"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"$1\" >> '" + started.toUtf8() + "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    form = std::make_unique<MainWindow>(program.path() + "/", false);
    form->Startup();
    QVERIFY(child<QWidget>("Calendar_Icon")->isVisibleTo(form.get()));
    QVERIFY(child<QWidget>("lblOpen")->isVisibleTo(form.get()));
    QVERIFY(form->findChild<QAction*>("WeeklyPlanner1"));
    clickDay(QDate(2009, 3, 7));
    grid()->doubleClicked();
    QCOMPARE(form->CurrentViewName(), QString("calendar"));
    QTRY_VERIFY(QFile::exists(started));
    QFile args(started);
    QVERIFY(args.open(QIODevice::ReadOnly));
    QCOMPARE(args.readAll().trimmed(), QByteArray::number(DateNumber(QDate(2009, 3, 7))));
    QVERIFY(env->messages.isEmpty());
    form.reset();
  }

  // Screenshots to look at by hand: MAVELO_SHOTS=/some/folder make test.
  void screenshots() {
    const QString dir = qEnvironmentVariable("MAVELO_SHOTS");
    if (dir.isEmpty()) QSKIP("set MAVELO_SHOTS to a folder to write screenshots");
    QDir().mkpath(dir);
    useExampleSettings(1);
    clickDay(QDate(2009, 3, 15));
    for (const QString& theme : ThemeNames()) {
      form->ApplyThemeByName(theme);
      QVERIFY(form->grab().save(dir + "/calendar-" + theme + ".png"));
    }
    form->ApplyThemeByName("Default");
    // A week of basal readings and signs, entered with the mouse.
    form->ShowView("basal");
    auto* basal = form->findChild<QTableWidget*>("Basal_Chart");
    auto* signs = form->findChild<QTableWidget*>("Sex_Chart");
    QVERIFY(basal && signs);
    const int tops[] = {14, 13, 14, 13, 8, 6, 5};
    for (int i = 0; i < 7; ++i) {
      const int col = 10 + i;
      QTest::mouseClick(basal->viewport(), Qt::LeftButton, {},
                        basal->visualRect(basal->model()->index(tops[i], col)).center());
      QTest::mouseClick(signs->viewport(), Qt::LeftButton, {},
                        signs->visualRect(signs->model()->index(1, col)).center());
      if (i % 2)
        QTest::mouseClick(signs->viewport(), Qt::LeftButton, {},
                          signs->visualRect(signs->model()->index(3, col)).center());
    }
    QVERIFY(form->grab().save(dir + "/view-basal-readings.png"));
    for (const QString& view : {"todo", "weight", "basal", "note", "forum"}) {
      form->ShowView(view);
      QVERIFY(form->grab().save(dir + "/view-" + view + ".png"));
    }
    // The reports as written, to open in a browser.
    form->ShowView("calendar");
    clickDay(QDate(2009, 3, 15));
    QVERIFY(calendar()->WriteCalendarReport());
    const QString build = env->dataRoot() + "Build/";
    QDir().mkpath(dir + "/Build");
    for (const QString& f : QDir(build).entryList(QDir::Files)) {
      QFile::remove(dir + "/Build/" + f);
      QVERIFY(QFile::copy(build + f, dir + "/Build/" + f));
    }
  }

  void helpMenuOpensDocumentsAndFolders() {
    const QStringList items{"Document", "Support Forum", "Visit Homepage",
                            "Open AppData Directory", "Open Application Directory"};
    for (const QString& text : items) {
      QAction* found = nullptr;
      for (QAction* a : form->findChildren<QAction*>())
        if (a->text() == text) found = a;
      QVERIFY2(found, qPrintable(text));
      found->trigger();
    }
    QCOMPARE(opened.size(), items.size());
    QVERIFY(opened[0].endsWith("/Help/index.html"));
    QVERIFY(QFile::exists(TestEnv::programFolder() + "Help/index.html"));
    QVERIFY(opened[1].contains("forum"));
    QVERIFY(opened[3].endsWith("/Tarnwick/Mavelo/") || opened[3].endsWith("/Tarnwick/Mavelo"));
  }

  void hideAndTrayOpenBringTheWindowBack() {
    QVERIFY(form->isVisible());
    form->findChild<QAction*>("Hide1")->trigger();
    QVERIFY(!form->isVisible());
    auto* tray = form->findChild<QSystemTrayIcon*>("CoolTrayIcon1");
    QVERIFY(tray);
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(form->isVisible());
  }

  // Without a system tray nothing could bring a hidden window back: Hide is disabled.
  void hideIsDisabledWithoutATray() {
    QVERIFY(form->findChild<QAction*>("Hide1")->isEnabled());
    SetSystemTrayAvailable(false);
    MainWindow window(TestEnv::programFolder(), false);
    SetSystemTrayAvailable(true);
    window.Startup();
    QAction* hide = window.findChild<QAction*>("Hide1");
    QVERIFY(!hide->isEnabled());
    hide->trigger();
    QVERIFY(window.isVisible());
  }

  // A report that cannot be opened (no browser) is an error box with the page's path.
  void reportThatCannotBeOpenedIsAnError() {
    const QString bin = env->home() + "/bin";
    QDir().mkpath(bin);
    QFile script(bin + "/xdg-open");
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexit 3\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toLocal8Bit());
    SetOpenUrlHandler({});
    auto* viewReport = child<QWidget>("DayPanel")->findChild<QLabel*>("Label9");
    QTest::mouseClick(viewReport, Qt::LeftButton);
    QTRY_COMPARE(env->messages.size(), 1);
    qputenv("PATH", oldPath);
    QCOMPARE(env->messages[0].kind, MessageKind::Error);
    QVERIFY2(env->messages[0].text.contains(env->dataRoot() + "Build/calendar.html"),
             qPrintable(env->messages[0].text));
  }

  // The keyboard reaches every feature: Tab stops on the header icons and links, Enter or
  // Space opens them, the View menu has Ctrl+1 .. Ctrl+0, and the spinners take typing.
  void keyboardReachesTheFeatures() {
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QStringList visited;
    QWidget* start = child<QWidget>("Ovulation_Icon");
    start->setFocus(Qt::TabFocusReason);
    QWidget* w = start;
    for (int i = 0; i < 200; ++i) {
      visited << w->objectName();
      w = w->nextInFocusChain();
      while (w && !(w->isVisibleTo(form.get()) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)))
        w = w->nextInFocusChain();
      if (!w || w == start) break;
    }
    for (const ViewEntry& entry : ViewTable())
      if (!entry.icon.isEmpty() && child<QWidget>(qPrintable(entry.icon))->isVisibleTo(form.get()))
        QVERIFY2(visited.contains(entry.icon), qPrintable(entry.icon));
    for (const char* link : {"lblToday", "Label9", "ui_print_link", "ui_cycle", "ui_luteal"})
      QVERIFY2(visited.contains(link), link);

    auto* basal = child<QWidget>("Basal_Icon");
    basal->setFocus(Qt::TabFocusReason);
    QTest::keyClick(basal, Qt::Key_Return);
    QCOMPARE(form->CurrentViewName(), QString("basal"));
    auto* weight = child<QWidget>("Weight_Icon");
    weight->setFocus(Qt::TabFocusReason);
    QTest::keyClick(weight, Qt::Key_Space);
    QCOMPARE(form->CurrentViewName(), QString("weight"));

    QStringList menus;
    for (QAction* a : form->menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, QStringList({"&File", "&View", "&Tools", "&Settings", "Th&emes", "&Help"}));
    QMenu* viewMenu = form->findChild<QMenu*>("View1");
    QVERIFY(viewMenu);
    QStringList texts;
    for (QAction* a : viewMenu->actions()) texts << a->text();
    QCOMPARE(texts.first(), QString("&Ovulation"));
    QVERIFY2(texts.contains("&Basal Temp"), qPrintable(texts.join('|')));
    QVERIFY2(texts.contains("Baby && &Kids"), qPrintable(texts.join('|')));
    QCOMPARE(form->findChild<QAction*>("View_basal")->shortcut(), QKeySequence("Ctrl+2"));
    QCOMPARE(form->findChild<QAction*>("View_calendar")->shortcut(), QKeySequence("Ctrl+1"));
    form->findChild<QAction*>("View_calendar")->trigger();
    QCOMPARE(form->CurrentViewName(), QString("calendar"));
    QTest::keyClick(form.get(), Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(form->CurrentViewName(), QString("basal"));

    form->ShowView("calendar");
    auto* cycle = child<QSpinBox>("ui_cycle");
    cycle->setFocus(Qt::TabFocusReason);
    cycle->selectAll();
    QTest::keyClicks(cycle, "35");
    QTest::keyClick(cycle, Qt::Key_Return);
    QCOMPARE(form->Cycle().CycleLength, 35);
  }

  // A window smaller than the pages (a small screen) scrolls them: every control is
  // reachable, and one that takes the focus is scrolled into sight. It can be resized
  // and maximised; at its designed size nothing scrolls.
  void smallWindowScrollsToEveryControl() {
    // The test screen (800 x 600) is smaller than the pages: the window keeps within it.
    form->ShowAndStart();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QVERIFY(form->screen()->availableGeometry().contains(form->frameGeometry()));
    auto* scroll = child<QScrollArea>("clientScroll");
    form->resize(form->sizeHint());
    QTRY_VERIFY(!scroll->horizontalScrollBar()->isVisible());
    QVERIFY(!scroll->verticalScrollBar()->isVisible());
    QCOMPARE(form->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    form->resize(700, 420);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTRY_VERIFY(scroll->verticalScrollBar()->isVisible());
    QVERIFY(scroll->horizontalScrollBar()->isVisible());
    for (const char* name : {"ui_luteal", "ui_goal", "Health_Icon"}) {
      auto* w = child<QWidget>(name);
      w->setFocus(Qt::TabFocusReason);
      QCoreApplication::processEvents();
      const QRect shown(w->mapTo(scroll->viewport(), QPoint(0, 0)), w->size());
      QVERIFY2(scroll->viewport()->rect().contains(shown), name);
    }
  }

  // Ctrl+1 .. Ctrl+0 put the focus in the view's first input, so typing goes there: a
  // food to find in the calorie tracker, the note in the journal.
  void shortcutsFocusTheViewsFirstInput() {
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QMenu* viewMenu = child<QMenu>("View1");
    for (QAction* a : viewMenu->actions()) {
      if (a->shortcut().isEmpty()) continue;
      const QString name = a->objectName().mid(QStringLiteral("View_").size());
      QTest::keySequence(form.get(), a->shortcut());
      QCOMPARE(form->CurrentViewName(), name);
      QWidget* focus = QApplication::focusWidget();
      QVERIFY2(focus, qPrintable(name));
      QVERIFY2(child<QStackedWidget>("pgMain")->currentWidget()->isAncestorOf(focus),
               qPrintable(name + ": " + focus->objectName()));
      QVERIFY2(!qobject_cast<QLabel*>(focus) && !qobject_cast<QAbstractButton*>(focus),
               qPrintable(name + ": " + focus->objectName()));
    }
    QTest::keyClick(form.get(), Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), grid());
    QTest::keyClick(form.get(), Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("Fridge_Search"));
    QTest::keyClick(form.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("ui_note"));
  }

  void startWithWindowsTogglesAutoStart() {
    auto* item = form->findChild<QAction*>("StartWithWindows1");
    QVERIFY(!item->isChecked());
    item->trigger();
    QVERIFY(form->Settings().AutoStart);
    form->close();
    QVERIFY(QFile::exists(env->configHome() + "/autostart/Mavelo.desktop"));
    form = std::make_unique<MainWindow>(TestEnv::programFolder(), false);
    form->Startup();
    item = form->findChild<QAction*>("StartWithWindows1");
    QVERIFY(item->isChecked());
    item->trigger();
    QVERIFY(!form->Settings().AutoStart);
    form->close();
    IniFile ini(env->dataRoot() + "Config/application.ini");
    QCOMPARE(ini.ReadString("Application", "AutoStart", ""), QString("0"));
    QVERIFY(!QFile::exists(env->configHome() + "/autostart/Mavelo.desktop"));
  }

  void aboutBoxShowsVersionAndPicture() {
    AboutBox about(form->Dir().BrandFolder() + "about.jpg");
    QCOMPARE(about.windowTitle(), QString("About"));
    QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(), "Version " + FileVersionText());
    QVERIFY(!about.findChild<QLabel*>("Image1")->pixmap().isNull());
  }

  // "Print Report" prints through the one printing path; here onto a PDF file.
  void calendarReportPrintsOnOnePage() {
    useExampleSettings(1);
    clickDay(QDate(2009, 3, 5));
    QVERIFY(calendar()->WriteCalendarReport());
    const QString page = env->dataRoot() + "Build/calendar.html";
    const QString pdf = env->home() + "/calendar.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QString error;
    QVERIFY2(PrintHtmlReport(page, printer, &error), qPrintable(error));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString bytes = QString::fromLatin1(file.readAll());
    QCOMPARE(bytes.count(QRegularExpression("/Type\\s*/Page(?![a-zA-Z])")), 1);
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty()) QSKIP("pdftotext is not installed; the page text was not checked");
    QProcess p;
    p.start(tool, {pdf, "-"});
    QVERIFY(p.waitForFinished(60000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
    // The report's own text, and nothing a browser would add around it (title, address,
    // page number).
    QVERIFY2(text.startsWith("Mavelo Goal: Conceive ::: March 2009 Calendar :::"), qPrintable(text));
    QVERIFY(text.contains("Last Period : Mar 01, 2009"));
    QVERIFY(text.contains("Cycle Length : 28 days"));
    QVERIFY(!text.contains("file:"));
    QVERIFY(!text.contains("calendar.html"));
  }

  // A note that cannot be read does not stop the date change: the error is shown, the
  // memo stays empty and read-only (nothing typed into it could be kept), and the to-do
  // view on screen gets the new day, so its next edit goes into the right file.
  void unreadableNoteStillChangesTheDate() {
    QDir().mkpath(notesFolder());
    const QString path = notesFolder() + "Y2009M3D6.txt";
    QVERIFY(WriteTextLines(path, {"private"}, nullptr));
    if (!MakeUnreadable(path)) QSKIP("this process reads files of any mode");
    form->ShowView("todo");
    clickDay(QDate(2009, 3, 5));
    env->clearMessages();
    clickDay(QDate(2009, 3, 6));
    QCOMPARE(env->messageTexts(), QStringList{CannotOpenMessage(path, "Permission denied")});
    auto* todo = dynamic_cast<TodoView*>(form->View("todo"));
    QCOMPARE(todo->ShownDate(), QDate(2009, 3, 6));
    auto* memo = child<QPlainTextEdit>("ui_note");
    QVERIFY(memo->isReadOnly());
    QVERIFY(memo->toPlainText().isEmpty());
    clickDay(QDate(2009, 3, 7));
    QVERIFY(!memo->isReadOnly());
    MakeReadable(path);
    QCOMPARE(NoteText(path), QString("private\r\n"));
  }

  // A note that cannot be written stays in the memo under its own day while the date
  // moves on; it is written at the next day change that can write it.
  void unwritableNoteStaysInTheMemo() {
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    auto* memo = child<QPlainTextEdit>("ui_note");
    QTest::keyClicks(memo, "typed on the fifth");
    const QString path = notesFolder() + "Y2009M3D5.txt";
    QVERIFY(QDir().mkpath(path));  // a folder where the note belongs
    grid()->MoveToDate(QDate(2009, 3, 6));  // one day change
    QCOMPARE(env->messages.size(), 1);
    QVERIFY(env->messageTexts().first().startsWith(CannotCreateMessage(path, "")));
    QCOMPARE(form->SelectedDate(), QDate(2009, 3, 6));
    QCOMPARE(memo->toPlainText(), QString("typed on the fifth"));
    QCOMPARE(child<QLabel>("ui_calendar_day2")->text(), QString("Thursday, March 5, 2009"));
    QVERIFY(QDir().rmdir(path));
    clickDay(QDate(2009, 3, 7));
    QCOMPARE(NoteText(path), QString("typed on the fifth\r\n"));
    QVERIFY(memo->toPlainText().isEmpty());
    QCOMPARE(child<QLabel>("ui_calendar_day2")->text(), QString("Saturday, March 7, 2009"));
  }

  // A full disk during "save": the old note stays whole and the user sees why, never
  // "Note saved".
  void failedNoteSaveKeepsTheOldNote() {
    QDir().mkpath(notesFolder());
    const QString path = notesFolder() + "Y2009M3D5.txt";
    QVERIFY(WriteTextLines(path, {"old note"}, nullptr));
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    QTest::keyClicks(child<QPlainTextEdit>("ui_note"), " and a much longer addition");
    {
      FileSizeLimit full(12);
      QTest::mouseClick(child<QLabel>("Label11"), Qt::LeftButton);
    }
    QCOMPARE(env->messageTexts(), QStringList{CannotCreateMessage(path, "File too large")});
    QCOMPARE(NoteText(path), QString("old note\r\n"));
  }

  // A note far larger than a note is, or one holding a line no editor lays out quickly,
  // opens at once, read-only, with a word said once; it is never written back.
  void hugeNoteOpensReadOnly_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("notice");
    QByteArray lines;
    while (lines.size() <= kSaneTextBytes) lines += QByteArray(98, 'n') + "\r\n";
    QTest::newRow("over 4 MB of lines") << lines << "is 4.0 MB, far larger than such a file should be";
    QTest::newRow("one line of 200,000 characters")
        << QByteArray(200000, 'x') + "\r\n" << "holds a line of 200,000 characters, too long to edit";
  }
  void hugeNoteOpensReadOnly() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, notice);
    QDir().mkpath(notesFolder());
    const QString path = notesFolder() + "Y2009M3D5.txt";
    QVERIFY(WriteFileBytes(path, bytes, nullptr));
    const QFileInfo before(path);
    form->ShowView("note");
    clickDay(QDate(2009, 3, 5));
    auto* memo = child<QPlainTextEdit>("ui_note");
    QVERIFY(memo->isReadOnly());
    QCOMPARE(env->messageTexts(),
             QStringList{"The file \"" + path + "\" " + notice +
                         ". It is opened read-only: nothing is written to it."});
    // The save link writes nothing and says nothing more; leaving and coming back does
    // not repeat the word.
    QTest::mouseClick(child<QLabel>("Label11"), Qt::LeftButton);
    clickDay(QDate(2009, 3, 6));
    clickDay(QDate(2009, 3, 5));
    QCOMPARE(env->messages.size(), 1);
    QCOMPARE(QFileInfo(path).size(), bytes.size());
    QCOMPARE(QFileInfo(path).lastModified(), before.lastModified());
  }

  // The footer's settings are in application.ini as soon as they change, not only at
  // exit, so a crash keeps them.
  void footerSettingsAreWrittenAtOnce() {
    const QString ini = env->dataRoot() + "Config/application.ini";
    useExampleSettings(2);
    child<QSpinBox>("ui_luteal")->setValue(12);
    IniFile saved(ini);
    QCOMPARE(saved.ReadInteger("Calendar", "ui_Goal", -5), 2);
    QCOMPARE(saved.ReadString("Calendar", "ui_LastPeriod", ""), QString("2009-03-01"));
    QCOMPARE(saved.ReadInteger("Calendar", "ui_CycleLength", 0), 28);
    QCOMPARE(saved.ReadInteger("Calendar", "ui_luteal", 0), 12);
    child<QSpinBox>("ui_cycle")->setValue(31);
    QCOMPARE(IniFile(ini).ReadInteger("Calendar", "ui_CycleLength", 0), 31);
    QVERIFY(env->messages.isEmpty());
  }

  // A full disk as a setting changes: application.ini keeps its old bytes, the user
  // hears why, and the next change that can be written is.
  void fullDiskKeepsTheSettings() {
    const QString ini = env->dataRoot() + "Config/application.ini";
    QByteArray before;
    QVERIFY(ReadFileBytes(ini, &before, nullptr));
    {
      FileSizeLimit full(16);
      child<QSpinBox>("ui_cycle")->setValue(31);
    }
    QCOMPARE(env->messageTexts(), QStringList{CannotCreateMessage(ini, "File too large")});
    QByteArray after;
    QVERIFY(ReadFileBytes(ini, &after, nullptr));
    QCOMPARE(after, before);
    child<QSpinBox>("ui_luteal")->setValue(13);
    IniFile saved(ini);
    QCOMPARE(saved.ReadInteger("Calendar", "ui_CycleLength", 0), 31);
    QCOMPARE(saved.ReadInteger("Calendar", "ui_luteal", 0), 13);
  }

  // Start-up clears what a save killed in an earlier run left beside its file.
  void startClearsWhatKilledSavesLeft() {
    const QString kept = env->dataRoot() + "Weight/2009.txt";
    const QString leftover = kept + ".qWmxRt";
    QVERIFY(WriteFileBytes(kept, "record", nullptr));
    QVERIFY(WriteFileBytes(leftover, "half", nullptr));
    MainWindow again(TestEnv::programFolder(), false);
    QVERIFY(!QFile::exists(leftover));
    QVERIFY(QFile::exists(kept));
  }

  void lastPeriodOutsideTheOldRangeIsShown() {
    child<QDateEdit>("ui_LastPeriod")->setDate(QDate(2026, 12, 1));
    QCOMPARE(form->Cycle().LastPeriod, QDate(2026, 12, 1));
  }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
