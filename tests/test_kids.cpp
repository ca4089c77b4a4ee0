// The baby and kids view: the sleep view set up for a child (Baby folder, captions and
// pages, the feeding sound and its few differences), and both views in the main window
// (the Sleep icon, the kids icon's page, the tray's "Stop Alarm").

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTreeWidget>
#include <QtTest>

#include "core/clock.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "shell/mainwindow.h"
#include "sleep/alarmentry.h"
#include "sleep/listviewfile.h"
#include "sleep/sleeplog.h"
#include "sleep/widgets/sleepgrid.h"
#include "sleep/widgets/sleepview.h"
#include "support/fakehost.h"
#include "support/fakesound.h"
#include "support/testenv.h"

namespace {

struct SteppedClock {
  QDateTime now;
  SteppedClock(const QDate& d, const QTime& t) : now(d, t) {
    Clock::SetSource([this] { return now; });
  }
  ~SteppedClock() { Clock::SetSource({}); }
};

void WriteList(const QString& path, const QList<ListViewItem>& items) {
  ListViewFile f;
  f.items = items;
  QVERIFY(f.Write(path));
}

ListViewItem Daily(const QTime& t) { return MakeAlarmEntry("Daily", QDateTime(QDate(2009, 1, 1), t)); }

QByteArray FileBytes(const QString& path) {
  QByteArray b;
  ReadFileBytes(path, &b, nullptr);
  return b;
}

// A kids view; a test may give its own program folder (for its own Sound folder).
struct Rig {
  TestEnv env;
  FakeSoundOutput sound;
  FakeHost host;
  std::unique_ptr<SleepView> view;

  explicit Rig(const QString& programFolder = TestEnv::programFolder()) : host(programFolder) {
    view = std::make_unique<SleepView>(&host, SleepSetup::Kids());
    view->show();
  }
  QString baby() const { return host.Dir().BabyFolder(); }
  QString sleep() const { return host.Dir().SleepFolder(); }
  SleepGrid* grid() const { return view->findChild<SleepGrid*>("Sleep_Chart"); }
  void click(int col, int slot) const {
    QTest::mouseClick(grid(), Qt::LeftButton, {}, grid()->CellRect(col, slot).center());
  }
  QLabel* label(const char* name) const { return view->findChild<QLabel*>(QLatin1String(name)); }
  QPlainTextEdit* note() const { return view->findChild<QPlainTextEdit*>("Note"); }
  QComboBox* feed() const { return view->findChild<QComboBox*>("feed_Sound"); }
  QString wav(const QString& name) const { return host.Dir().SoundFolder() + name; }
};

}  // namespace

class KidsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { Clock::SetSource({}); }

  void captionsAndPages();
  void filesInTheBabyFolderOnly();
  void journalFollowsTheDate();
  void slotClickShowsTheLongDate();
  void feedingTimeRingsAndShowsItsPage();
  void silenceIsPlayedOnlyWhenPresent();
  void bedTimesOfTheBabyFolderRing();
  void emptyShelfItemsShowNothing();
  void feedSoundChoice();

  void mainWindowShowsSleepAndStopsAlarms();
  void alarmBringsTheWindowForward();
};

void KidsTest::captionsAndPages() {
  Rig rig;
  QCOMPARE(rig.view->objectName(), QString("frmKids"));
  QCOMPARE(rig.label("Title")->text(), QString("Baby Menu"));
  QCOMPARE(rig.label("Sleep_Caption")->text(), QString("Today baby slept"));
  QCOMPARE(rig.label("Note_Heading")->text(), QString("Baby Journal"));
  QCOMPARE(rig.label("Second_Heading")->text(), QString("Feeding Times"));
  bool feedCaption = false;
  for (QLabel* l : rig.view->findChildren<QLabel*>())
    feedCaption |= l->text() == "When it's time to feed, play this sound";
  QVERIFY(feedCaption);
  QVERIFY(rig.view->findChild<QPushButton*>("Button2"));
  QVERIFY(!rig.view->findChild<QPushButton*>("btnStop1"));
  QVERIFY(!rig.view->findChild<QComboBox*>("wakeup_Sound"));
  QCOMPARE(rig.view->findChild<QTreeWidget*>("List_WakeUp")->headerItem()->text(0),
           QString("Feeding Time"));
  auto* shelf = rig.view->findChild<QListWidget*>("Shelf");
  QStringList items;
  for (int i = 0; i < shelf->count(); ++i) items << shelf->item(i)->text();
  QCOMPARE(items, QStringList({"Baby Sleep Tracker", "Sleep Graph", "Feeding Alarm",
                               "Baby Journal", "", ""}));
  // The first date opens the sleep grid; the icon's page 1 is the same page.
  rig.view->ShowDate(QDate(2009, 2, 10));
  QCOMPARE(rig.view->CurrentPage(), QString("Baby Sleep Tracker"));
  rig.view->ShowPage(QString("Feeding Alarm"));
  rig.view->ShowPage(1);
  QCOMPARE(rig.view->CurrentPage(), QString("Baby Sleep Tracker"));
  QCOMPARE(shelf->currentItem()->text(), QString("Baby Sleep Tracker"));
  rig.view->ShowPage(QString("Sleep Graph"));
  QCOMPARE(rig.label("Label_Range")->text(), QString("Jan 12 - Feb 10"));
}

void KidsTest::filesInTheBabyFolderOnly() {
  Rig rig;
  SteppedClock clock(QDate(2009, 2, 10), QTime(9, 0));
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.click(13, 30);
  QVERIFY(QFile::exists(SleepYearPath(rig.baby(), 2009)));
  CellGrid y;
  QVERIFY(LoadGridFile(y, SleepYearPath(rig.baby(), 2009)));
  QCOMPARE(y.Cell(SleepSlotColumn(30), 41), QString("*"));
  rig.note()->setPlainText("First tooth");
  rig.note()->document()->setModified(true);
  rig.view->SaveOnLeave();
  QVERIFY(QFile::exists(rig.baby() + "Y2009M2D10-note.txt"));
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  rig.view->Button5Click();
  QVERIFY(QFile::exists(rig.baby() + "wakeuptimes.txt"));
  // The sleep view's folder is not touched.
  QCOMPARE(QDir(rig.sleep()).entryList(QDir::Files), QStringList());
}

void KidsTest::journalFollowsTheDate() {
  Rig rig;
  QVERIFY(WriteTextLines(rig.baby() + "Y2009M2D11-note.txt", {"Rolled over"}, nullptr));
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.note()->setPlainText("Said mama");
  rig.note()->document()->setModified(true);
  // The main window's date changes while the kids view is shown.
  rig.view->ShowDate(QDate(2009, 2, 11));
  QCOMPARE(FileBytes(rig.baby() + "Y2009M2D10-note.txt"), QByteArray("Said mama\r\n"));
  QCOMPARE(rig.note()->toPlainText(), QString("Rolled over"));
  QCOMPARE(rig.label("Date_Label")->text(), QString("February 11, 2009"));
}

void KidsTest::slotClickShowsTheLongDate() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.click(13, 5);
  QCOMPARE(rig.label("Date_Label")->text(), FormatDate("dddddd", QDate(2009, 2, 10)));
  QCOMPARE(rig.label("Date_Label")->text(), QString("Tuesday, February 10, 2009"));
}

void KidsTest::feedingTimeRingsAndShowsItsPage() {
  Rig rig;
  SteppedClock clock(QDate(2009, 2, 10), QTime(9, 0));
  WriteList(rig.baby() + "wakeuptimes.txt", {Daily(QTime(15, 0))});
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.view->ShowPage(QString("Sleep Graph"));
  clock.now = QDateTime(QDate(2009, 2, 10), QTime(15, 0, 40));
  rig.view->ClockTimer();
  // The fresh configuration's feeding sound.
  QCOMPARE(rig.feed()->currentText(), QString("DrinkGulp"));
  QCOMPARE(rig.sound.playing, rig.wav("DrinkGulp.wav"));
  // The feeding alarm shows itself: its page with Stop and Snooze, and its notice.
  QCOMPARE(rig.view->CurrentPage(), QString("Feeding Alarm"));
  QCOMPARE(rig.host.raised, QList<DateView*>{rig.view.get()});
  QCOMPARE(rig.host.notifier.shown.value("frmKids").title, QString("Feeding Alarm"));
  QCOMPARE(rig.host.notifier.shown.value("frmKids").text, QString("Daily at 03:00 PM"));
  rig.view->findChild<QPushButton*>("Alarm_StopButton")->click();
  QVERIFY(rig.host.notifier.shown.isEmpty());
  QCOMPARE(rig.sound.playing, QString());
}

void KidsTest::silenceIsPlayedOnlyWhenPresent() {
  TestEnv outer;
  const QString program = outer.home() + "/program/";
  QVERIFY(QDir().mkpath(program + "Sound"));
  Rig rig(program);
  SteppedClock clock(QDate(2009, 2, 10), QTime(9, 0));
  rig.host.Settings().FeedSound = "Silence";
  WriteList(rig.baby() + "wakeuptimes.txt", {Daily(QTime(15, 0))});
  rig.view->ShowDate(QDate(2009, 2, 10));
  QCOMPARE(rig.feed()->currentText(), QString("Silence"));
  clock.now = QDateTime(QDate(2009, 2, 10), QTime(15, 0, 10));
  rig.view->ClockTimer();
  QVERIFY(rig.sound.looped.isEmpty());  // no Silence.wav
  QVERIFY(QFile::copy(TestEnv::programFolder() + "Sound/Chirps.wav", program + "Sound/Silence.wav"));
  clock.now = QDateTime(QDate(2009, 2, 11), QTime(15, 0, 10));
  rig.view->ClockTimer();
  QCOMPARE(rig.sound.looped, QStringList{program + "Sound/Silence.wav"});
  rig.view->StopAlarm();
  rig.view->wakeup_playClick();
  QCOMPARE(rig.sound.playing, program + "Sound/Silence.wav");
}

void KidsTest::bedTimesOfTheBabyFolderRing() {
  Rig rig;
  SteppedClock clock(QDate(2009, 2, 10), QTime(9, 0));
  WriteList(rig.baby() + "bedtimes.txt", {Daily(QTime(19, 30))});
  rig.host.Settings().BedSound = "CalmSeaWaves";
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.view->ShowPage(QString("Baby Journal"));
  QCOMPARE(rig.view->BedTimes().Count(), 1);
  clock.now = QDateTime(QDate(2009, 2, 10), QTime(19, 30, 5));
  rig.view->ClockTimer();
  QCOMPARE(rig.sound.playing, rig.wav("CalmSeaWaves.wav"));
  // The bed-time page comes forward with its Stop, though the shelf does not offer it.
  QCOMPARE(rig.view->CurrentPage(), QString("Go to Bed"));
  QVERIFY(rig.view->findChild<QPushButton*>("Button2")->isVisible());
  QCOMPARE(rig.host.notifier.shown.value("frmKids").title, QString("Baby's Bed Time"));
  // The tray's stop reaches it.
  rig.view->StopAlarm();
  QCOMPARE(rig.sound.playing, QString());
}

void KidsTest::emptyShelfItemsShowNothing() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 2, 10));
  rig.view->ShowPage(QString("Baby Journal"));
  auto* shelf = rig.view->findChild<QListWidget*>("Shelf");
  QListWidgetItem* empty = shelf->item(4);
  QCOMPARE(empty->text(), QString());
  QTest::mouseClick(shelf->viewport(), Qt::LeftButton, {}, shelf->visualItemRect(empty).center());
  QCOMPARE(rig.view->CurrentPage(), QString("Baby Journal"));
  QCOMPARE(shelf->currentItem()->text(), QString("Baby Journal"));
  rig.view->ShowPage(QString());
  QCOMPARE(rig.view->CurrentPage(), QString("Baby Journal"));
}

void KidsTest::feedSoundChoice() {
  Rig rig;
  QStringList items;
  for (int i = 0; i < rig.feed()->count(); ++i) items << rig.feed()->itemText(i);
  QCOMPARE(items, QStringList({"Silence", "DrinkGulp", "BabyCrying", "Kisses", "Chirps", "Buzz",
                               "Klaxon"}));
  rig.host.Settings().FeedSound = "nothing like it";
  rig.view->ShowDate(QDate(2009, 2, 10));
  QCOMPARE(rig.feed()->currentText(), QString("Silence"));
  rig.feed()->setFocus();
  QTest::keyClick(rig.feed(), Qt::Key_Down);
  QTest::keyClick(rig.feed(), Qt::Key_Down);
  QCOMPARE(rig.host.Settings().FeedSound, QString("BabyCrying"));
  QCOMPARE(rig.host.Settings().WakeUpSound, QString("Buzz"));
  rig.view->wakeup_playClick();
  QCOMPARE(rig.sound.playing, rig.wav("BabyCrying.wav"));
}

void KidsTest::mainWindowShowsSleepAndStopsAlarms() {
  TestEnv env;
  FakeSoundOutput sound;
  MainWindow form(TestEnv::programFolder(), true);
  form.ShowAndStart();
  QTRY_VERIFY(form.Started());
  // The Sleep icon is shown and opens the sleep view on "Go to Bed".
  auto* icon = form.findChild<QWidget*>("Sleep_Icon");
  QVERIFY(icon && icon->isVisibleTo(&form));
  auto* sleepView = dynamic_cast<SleepView*>(form.View("sleep"));
  auto* kidsView = dynamic_cast<SleepView*>(form.View("kids"));
  QVERIFY(sleepView && kidsView);
  QVERIFY(sleepView->HasLoaded() && kidsView->HasLoaded());
  sleepView->ShowPage(QString("Note"));
  QTest::mouseClick(icon, Qt::LeftButton);
  QCOMPARE(form.CurrentViewName(), QString("sleep"));
  QCOMPARE(sleepView->CurrentPage(), QString("Go to Bed"));
  QTest::mouseClick(form.findChild<QWidget*>("Kids_Icon"), Qt::LeftButton);
  QCOMPARE(form.CurrentViewName(), QString("kids"));
  QCOMPARE(kidsView->CurrentPage(), QString("Baby Sleep Tracker"));

  // "Stop Alarm" in the tray stops whatever either view plays.
  SoundPlayer::Instance().Play(TestEnv::programFolder() + "Sound/Buzz.wav");
  QVERIFY(SoundPlayer::Instance().IsPlaying());
  auto* tray = form.findChild<QMenu*>("TrayMenu");
  QAction* stop = nullptr;
  for (QAction* a : tray->actions())
    if (a->text() == "Stop Alarm") stop = a;
  QVERIFY(stop);
  stop->trigger();
  QVERIFY(!SoundPlayer::Instance().IsPlaying());
  QCOMPARE(sound.playing, QString());

  // A note typed in the sleep view is written when the program ends.
  form.ShowView("sleep");
  sleepView->ShowPage(QString("Note"));
  auto* note = sleepView->findChild<QPlainTextEdit*>("Note");
  note->setPlainText("Dreamt of the sea");
  note->document()->setModified(true);
  const QString path = sleepView->NotePath();
  form.close();
  QCOMPARE(FileBytes(path), QByteArray("Dreamt of the sea\r\n"));
}

void KidsTest::alarmBringsTheWindowForward() {
  TestEnv env;
  FakeSoundOutput sound;
  SteppedClock clock(QDate(2009, 2, 10), QTime(9, 0));
  MainWindow form(TestEnv::programFolder(), true);
  WriteList(form.Dir().SleepFolder() + "wakeuptimes.txt", {Daily(QTime(15, 0))});
  form.ShowAndStart();
  QTRY_VERIFY(form.Started());
  form.ShowView("weight");
  form.showMinimized();
  QVERIFY(form.isMinimized());
  auto* sleepView = dynamic_cast<SleepView*>(form.View("sleep"));
  clock.now = QDateTime(QDate(2009, 2, 10), QTime(15, 0, 20));
  sleepView->ClockTimer();
  QCOMPARE(sound.playing, TestEnv::programFolder() + "Sound/Buzz.wav");
  QVERIFY(!form.isMinimized());
  QVERIFY(form.isVisible());
  QCOMPARE(form.CurrentViewName(), QString("sleep"));
  QCOMPARE(sleepView->CurrentPage(), QString("Wake up Alarm"));
  QVERIFY(form.Notifier());
  sleepView->findChild<QPushButton*>("Alarm_StopButton")->click();
  QCOMPARE(sound.playing, QString());
}

QTEST_MAIN(KidsTest)
#include "test_kids.moc"
