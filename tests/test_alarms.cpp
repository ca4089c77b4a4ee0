// The alarm schedule: the list-view file, alarm entries and the rule by which they ring,
// the 59-second clock with its automatic stop and snooze, the one sound player, the
// alarm-set dialog, and the alarm pages of the sleep view.

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QChartView>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtEndian>
#include <QtTest>
#include <cmath>

#include "core/clock.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "sleep/alarmclock.h"
#include "sleep/alarmentry.h"
#include "sleep/alarmlist.h"
#include "sleep/listviewfile.h"
#include "sleep/sleepcycle.h"
#include "sleep/sleepsetup.h"
#include "sleep/soundplayer.h"
#include "sleep/widgets/alarmsetdialog.h"
#include "sleep/widgets/sleepview.h"
#include "support/fakehost.h"
#include "support/fakesound.h"
#include "support/testenv.h"

namespace {

QByteArray Fixture(const QString& name) {
  QByteArray b;
  ReadFileBytes(TestEnv::testData("sleep/" + name), &b, nullptr);
  return b;
}

QByteArray FileBytes(const QString& path) {
  QByteArray b;
  ReadFileBytes(path, &b, nullptr);
  return b;
}

// A stepped clock: tests set `now` and the program reads it.
struct SteppedClock {
  QDateTime now;
  SteppedClock(const QDate& d, const QTime& t) : now(d, t) {
    Clock::SetSource([this] { return now; });
  }
  ~SteppedClock() { Clock::SetSource({}); }
};

ListViewItem Entry(const QString& days, const QDateTime& time, bool checked = true) {
  ListViewItem item = MakeAlarmEntry(days, time);
  item.checked = checked;
  return item;
}

// An alarm list held in memory and written to a temporary folder.
AlarmList ListOf(const QString& path, const QList<ListViewItem>& newestFirst) {
  AlarmList list(path);
  for (int i = newestFirst.size() - 1; i >= 0; --i) list.Insert(newestFirst.at(i));
  return list;
}

// Acts on the alarm-set dialog once it is on screen; the action ends it.
void WhenAlarmSetShows(std::function<void(AlarmSetDialog*)> act) {
  QTimer::singleShot(0, [act] {
    auto* d = qobject_cast<AlarmSetDialog*>(QApplication::activeModalWidget());
    if (!d) qFatal("the alarm-set dialog is not showing");
    act(d);
  });
}

void SetTime(AlarmSetDialog* d, const QTime& t) {
  auto* edit = d->findChild<QDateTimeEdit*>("Bed_Time");
  edit->setTime(t);
}

// A sleep or kids view over a fresh data folder, with a recorder for the speakers.
struct Rig {
  TestEnv env;
  FakeSoundOutput sound;
  FakeHost host;
  std::unique_ptr<SleepView> view;

  explicit Rig(const SleepSetup& setup = SleepSetup::Sleep()) {
    view = std::make_unique<SleepView>(&host, setup);
    view->show();
  }
  QString folder() const { return view->Setup().Folder(host.Dir()); }
  QString bedPath() const { return folder() + "bedtimes.txt"; }
  QString wakePath() const { return folder() + "wakeuptimes.txt"; }
  QTreeWidget* list(const char* name) const { return view->findChild<QTreeWidget*>(name); }
  QComboBox* combo(const QString& name) const { return view->findChild<QComboBox*>(name); }
  void press(const QString& button) const {
    auto* b = view->findChild<QPushButton*>(button);
    if (!b) qFatal("no button %s", qPrintable(button));
    b->click();
  }
  void write(const QString& path, const QList<ListViewItem>& items, bool checkBoxes = true) const {
    ListViewFile f;
    f.checkBoxes = checkBoxes;
    f.items = items;
    QVERIFY(f.Write(path));
  }
  QString wav(const QString& name) const { return host.Dir().SoundFolder() + name; }
};

}  // namespace

class AlarmsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
  void cleanup() {
    Clock::SetSource({});
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  // The list-view file.
  void exampleFileLoadsAndIsWrittenBackByteForByte();
  void damagedFiles_data();
  void damagedFiles();
  void textIsUtf8WithByteLengths();
  void unreadableAndUnwritableFiles();

  // Entries and the ringing rule.
  void daysText_data();
  void daysText();
  void captionAndTimeValue();
  void rings_data();
  void rings();
  void weeklyEntriesRingInEveryLocale();

  // The clock and the sound.
  void dailyEntryOnASteppedClock();
  void ringsOnceInItsMinute();
  void onlyTheUpperEntryRings();
  void automaticStopAfter59Ticks();
  void automaticStopLeavesALaterSound();
  void snoozeRingsAgainAfterFiveMinutes();
  void stopCancelsASnooze();
  void wakeUpReplacesBedTimeInOneTick();
  void playerLoopsOneSoundAtATime();

  // The dialog and the view's alarm pages.
  void alarmSetDialog();
  void addWeeklyEntry();
  void weeklyWithoutDaysIsRefused();
  void cancelStillWritesTheFile();
  void deleteRemovesTheSelectedEntry();
  void uncheckedNeverRingsTickingRingsAndIsWritten();
  void ringingTurnsToItsPage();
  void ringingShowsItself_data();
  void ringingShowsItself();
  void silentMachineSaysSoOnce();
  void ringingOutWithdrawsTheNotice();
  void fixedDateRingsOnItsDayOnly();
  void listWithoutCheckBoxes();
  void unreadableListIsNeverWritten();
  void cutListIsShownAndNeverWritten();
  void soundChoices();
  void shippedSoundsArePcmAndNotSilent_data();
  void shippedSoundsArePcmAndNotSilent();
  void sleepCycleChart();
};

// ---------------------------------------------------------------------------------

void AlarmsTest::exampleFileLoadsAndIsWrittenBackByteForByte() {
  TestEnv env;
  const QByteArray bytes = Fixture("example.lvf");
  QCOMPARE(bytes.size(), 54);
  ListViewFile f;
  QVERIFY(f.Read(TestEnv::testData("sleep/example.lvf")));
  QVERIFY(f.checkBoxes);
  QCOMPARE(f.items.size(), 1);
  QVERIFY(f.items.at(0).checked);
  QCOMPARE(f.items.at(0).caption, QString("Daily at 07:30 AM"));
  QCOMPARE(f.items.at(0).subItems, QStringList({"Daily", "39448.3125"}));
  QCOMPARE(f.ToBytes(), bytes);
  // Through a device, both ways.
  QBuffer in;
  in.setData(bytes);
  ListViewFile g;
  QVERIFY(g.Read(&in));
  QCOMPARE(g.items, f.items);
  QBuffer out;
  QVERIFY(g.Write(&out));
  QCOMPARE(out.data(), bytes);
  // And to disk.
  const QString path = env.home() + "/wakeuptimes.txt";
  QVERIFY(SaveListViewFile(f, path));
  QCOMPARE(FileBytes(path), bytes);
  // It is what the alarm entry of the dialog makes for 07:30 on 1 January 2008.
  QCOMPARE(MakeAlarmEntry("Daily", QDateTime(QDate(2008, 1, 1), QTime(7, 30))), f.items.at(0));
}

void AlarmsTest::damagedFiles_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<bool>("checkBoxes");
  QTest::addColumn<QStringList>("captions");
  // Whether the bytes were read to their end: a file that was not is shown read-only.
  QTest::addColumn<bool>("whole");
  QTest::newRow("empty") << QByteArray() << true << QStringList() << true;
  QTest::newRow("cut after the flag") << Fixture("cut_after_flag.lvf") << true << QStringList()
                                      << false;
  QTest::newRow("cut inside the count") << QByteArray("\x01\x02\x00", 3) << true << QStringList()
                                        << false;
  // The whole first item stays; the cut second one goes.
  QTest::newRow("cut inside an item") << Fixture("cut_inside_item.lvf") << true
                                      << QStringList{"Daily at 07:30 AM"} << false;
  QTest::newRow("cut inside an item's flag") << Fixture("example.lvf").left(5) << true
                                             << QStringList() << false;
  QTest::newRow("flag 0") << Fixture("flag0.lvf") << false << QStringList{"Daily at 07:30 AM"}
                          << true;
  // Counts and lengths far beyond the bytes there: nothing is reserved from them.
  QTest::newRow("count 2^31-1") << Fixture("huge_count.lvf") << true
                                << QStringList{"Daily at 07:30 AM"} << false;
  QTest::newRow("length 2^31-1") << Fixture("huge_length.lvf") << true << QStringList() << false;
  QTest::newRow("sub-items 2^31-1") << Fixture("huge_subitems.lvf") << true << QStringList()
                                    << false;
  QTest::newRow("negative count") << QByteArray("\x01\xff\xff\xff\xff", 5) << true
                                  << QStringList() << true;
  QTest::newRow("negative lengths") << Fixture("negative_lengths.lvf") << true
                                    << QStringList{""} << true;
  QTest::newRow("Windows-1252 text") << Fixture("cp1252.lvf") << true
                                     << QStringList{QString::fromUtf8("Café at 07:30 AM")} << true;
  QTest::newRow("bytes after the last item") << Fixture("example.lvf") + "\x01" << true
                                             << QStringList{"Daily at 07:30 AM"} << false;
}

void AlarmsTest::damagedFiles() {
  QFETCH(QByteArray, bytes);
  QFETCH(bool, checkBoxes);
  QFETCH(QStringList, captions);
  QFETCH(bool, whole);
  ListViewFile f;
  f.items << ListViewItem{true, "left over", {}};
  QCOMPARE(f.ReadBytes(bytes), whole);
  QCOMPARE(f.checkBoxes, checkBoxes);
  QStringList got;
  for (const ListViewItem& item : f.items) got << item.caption;
  QCOMPARE(got, captions);
  if (QByteArray(QTest::currentDataTag()) == "negative lengths")
    QCOMPARE(f.items.at(0).subItems, QStringList({"Daily", ""}));
  if (QByteArray(QTest::currentDataTag()) == "flag 0") QVERIFY(!f.items.at(0).checked);
  // Whatever was read is written as whole items and reads back the same.
  ListViewFile again;
  QVERIFY(again.ReadBytes(f.ToBytes()));
  QCOMPARE(again.items, f.items);
  QCOMPARE(again.checkBoxes, f.checkBoxes);
}

void AlarmsTest::textIsUtf8WithByteLengths() {
  ListViewFile f;
  f.items << ListViewItem{false, QString::fromUtf8("Café at 07:30 AM"), {"Daily", "39448.3125"}};
  const QByteArray bytes = f.ToBytes();
  // The caption's length counts its UTF-8 bytes (é is two).
  QCOMPARE(bytes.mid(6, 4), QByteArray("\x11\x00\x00\x00", 4));
  QVERIFY(bytes.contains(QString::fromUtf8("Café").toUtf8()));
  ListViewFile g;
  g.ReadBytes(bytes);
  QCOMPARE(g.items, f.items);
}

void AlarmsTest::unreadableAndUnwritableFiles() {
  TestEnv env;
  const QString dir = env.home() + "/afolder";
  QVERIFY(QDir().mkpath(dir));
  ListViewFile f;
  f.items << ListViewItem{true, "kept", {}};
  QVERIFY(!f.Read(dir));
  QVERIFY(f.errorString().startsWith("Cannot open file \"" + dir));
  QCOMPARE(f.items.size(), 1);
  QString error;
  QVERIFY(!SaveListViewFile(f, dir + "/missing/x.txt", &error));
  QVERIFY(error.startsWith("Cannot create file"));
}

// ---------------------------------------------------------------------------------

void AlarmsTest::daysText_data() {
  QTest::addColumn<int>("frequency");
  QTest::addColumn<uint>("weekdays");
  QTest::addColumn<QString>("text");
  const QDate d(2009, 1, 5);
  QTest::newRow("daily") << int(AlarmFrequency::Daily) << 0u << "Daily";
  QTest::newRow("daily ignores ticked days")
      << int(AlarmFrequency::Daily) << (WeekdayBit(1) | WeekdayBit(2)) << "Daily";
  QTest::newRow("Mon Wed Fri") << int(AlarmFrequency::Weekly)
                               << (WeekdayBit(1) | WeekdayBit(3) | WeekdayBit(5))
                               << "Mon Wed Fri ";
  QTest::newRow("every day of the week") << int(AlarmFrequency::Weekly) << 0x7Fu
                                         << "Mon Tue Wed Thu Fri Sat Sun ";
  QTest::newRow("no day") << int(AlarmFrequency::Weekly) << 0u << "";
  QTest::newRow("fixed date") << int(AlarmFrequency::FixedDate) << 0u
                              << "Monday January, 5, 2009";
  Q_UNUSED(d);
}

void AlarmsTest::daysText() {
  QFETCH(int, frequency);
  QFETCH(uint, weekdays);
  QFETCH(QString, text);
  QCOMPARE(AlarmDaysText(AlarmFrequency(frequency), weekdays, QDate(2009, 1, 5)), text);
}

void AlarmsTest::captionAndTimeValue() {
  const QDateTime t(QDate(2009, 1, 5), QTime(22, 15));
  QCOMPARE(AlarmCaption("Mon Wed Fri ", t), QString("Mon Wed Fri at 10:15 PM"));
  QCOMPARE(AlarmTimeText(QDateTime(QDate(2008, 1, 1), QTime(7, 30))), QString("07:30 AM"));
  QCOMPARE(AlarmTimeValueText(QDateTime(QDate(2008, 1, 1), QTime(7, 30))), QString("39448.3125"));
  const ListViewItem e = MakeAlarmEntry("Mon Wed Fri ", t);
  QVERIFY(e.checked);
  QCOMPARE(e.caption, QString("Mon Wed Fri at 10:15 PM"));
  QCOMPARE(e.subItems.at(0), QString("Mon Wed Fri "));
  QCOMPARE(ReadAlarmTime(e.subItems.at(1)), t);
  // Either decimal separator reads; anything that is not a number does not.
  QCOMPARE(ReadAlarmTime("39448,3125"), QDateTime(QDate(2008, 1, 1), QTime(7, 30)));
  QCOMPARE(ReadAlarmTime(" 0.5 ").time(), QTime(12, 0));
  for (const char* bad : {"", "abc", "7:30", "inf", "nan", "1e400", "39448.3125x"})
    QVERIFY2(!ReadAlarmTime(bad).isValid(), bad);
}

void AlarmsTest::rings_data() {
  QTest::addColumn<QString>("days");
  QTest::addColumn<QString>("time");
  QTest::addColumn<bool>("checked");
  QTest::addColumn<QDateTime>("now");
  QTest::addColumn<bool>("rings");
  const QString t0730 = "39448.3125";      // 07:30 AM
  const QString t2215 = "39818.92708333";  // 10:15 PM
  const QDate mon(2009, 1, 5);
  QTest::newRow("daily at 07:30:00") << "Daily" << t0730 << true << QDateTime(mon, QTime(7, 30))
                                     << true;
  QTest::newRow("daily at 07:30:59") << "Daily" << t0730 << true
                                     << QDateTime(mon, QTime(7, 30, 59)) << true;
  QTest::newRow("daily at 07:29:59") << "Daily" << t0730 << true
                                     << QDateTime(mon, QTime(7, 29, 59)) << false;
  QTest::newRow("daily at 07:31") << "Daily" << t0730 << true << QDateTime(mon, QTime(7, 31))
                                  << false;
  QTest::newRow("daily at 07:30 PM") << "Daily" << t0730 << true
                                     << QDateTime(mon, QTime(19, 30)) << false;
  QTest::newRow("unchecked") << "Daily" << t0730 << false << QDateTime(mon, QTime(7, 30))
                             << false;
  QTest::newRow("Mon Wed Fri on Monday") << "Mon Wed Fri " << t2215 << true
                                         << QDateTime(mon, QTime(22, 15, 30)) << true;
  QTest::newRow("Mon Wed Fri on Tuesday") << "Mon Wed Fri " << t2215 << true
                                          << QDateTime(mon.addDays(1), QTime(22, 15)) << false;
  QTest::newRow("Mon Wed Fri on Friday") << "Mon Wed Fri " << t2215 << true
                                         << QDateTime(mon.addDays(4), QTime(22, 15)) << true;
  QTest::newRow("fixed date on its day") << "Monday January, 5, 2009" << t0730 << true
                                         << QDateTime(mon, QTime(7, 30)) << true;
  // Not on the following Mondays: the day name in the date is no weekly rule.
  QTest::newRow("fixed date a week later") << "Monday January, 5, 2009" << t0730 << true
                                           << QDateTime(mon.addDays(7), QTime(7, 30)) << false;
  QTest::newRow("fixed date a year later") << "Monday January, 5, 2009" << t0730 << true
                                           << QDateTime(QDate(2010, 1, 5), QTime(7, 30))
                                           << false;
  // A time that cannot be read never rings, at midnight least of all.
  QTest::newRow("unreadable time at midnight") << "Daily" << "abc" << true
                                               << QDateTime(mon, QTime(0, 0)) << false;
  QTest::newRow("empty time at midnight") << "Daily" << "" << true
                                          << QDateTime(mon, QTime(0, 0, 30)) << false;
  QTest::newRow("no days") << "" << t0730 << true << QDateTime(mon, QTime(7, 30)) << false;
  QTest::newRow("unknown days") << "Someday" << t0730 << true << QDateTime(mon, QTime(7, 30))
                                << false;
}

void AlarmsTest::rings() {
  QFETCH(QString, days);
  QFETCH(QString, time);
  QFETCH(bool, checked);
  QFETCH(QDateTime, now);
  QFETCH(bool, rings);
  const ListViewItem entry{checked, "x", {days, time}};
  QCOMPARE(AlarmRings(entry, now), rings);
}

void AlarmsTest::weeklyEntriesRingInEveryLocale() {
  const QLocale german(QLocale::German, QLocale::Germany);
  QLocale::setDefault(german);
  // Written with Mon .. Sun whatever the locale, and matched against the same.
  QCOMPARE(AlarmDaysText(AlarmFrequency::Weekly, WeekdayBit(1) | WeekdayBit(3), QDate()),
           QString("Mon Wed "));
  const QDate monday(2009, 1, 5);
  QVERIFY(AlarmDaysMatch("Mon Wed ", monday));
  QVERIFY(!AlarmDaysMatch("Mon Wed ", monday.addDays(1)));
  // A list written by an older version under this locale holds its short names.
  const QString old = german.dayName(1, QLocale::ShortFormat) + " " +
                      german.dayName(3, QLocale::ShortFormat) + " ";
  QVERIFY(AlarmDaysMatch(old, monday.addDays(2)));
  QVERIFY(!AlarmDaysMatch(old, monday.addDays(3)));
  // A fixed date is written in English under this locale too, and rings on its day;
  // one written by an older version in German still rings.
  const QString fixed = AlarmDaysText(AlarmFrequency::FixedDate, 0, monday);
  QCOMPARE(fixed, QString("Monday January, 5, 2009"));
  QVERIFY(AlarmDaysMatch(fixed, monday));
  QVERIFY(!AlarmDaysMatch(fixed, monday.addDays(7)));
  const QString oldFixed = FormatDate("dddd mmmm, d, yyyy", monday, german);
  QVERIFY(oldFixed.startsWith(german.dayName(1)));
  QVERIFY(AlarmDaysMatch(oldFixed, monday));
  // The time value is written with "." under a comma locale as well; "39818,3125", as
  // an older version wrote it there, is 07:30 all the same.
  const ListViewItem e{true, "x", {"Daily", AlarmTimeValueText(QDateTime(monday, QTime(7, 30)))}};
  QCOMPARE(e.subItems.at(1), QString("39818.3125"));
  QVERIFY(AlarmRings(e, QDateTime(monday, QTime(7, 30))));
  const ListViewItem old2{true, "x", {"Daily", "39818,3125"}};
  QVERIFY(AlarmRings(old2, QDateTime(monday, QTime(7, 30))));
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

// ---------------------------------------------------------------------------------

void AlarmsTest::dailyEntryOnASteppedClock() {
  TestEnv env;
  FakeSoundOutput out;
  AlarmClock clock(SoundPlayer::Instance());
  const AlarmList wake = ListOf(env.home() + "/w.txt", {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(7, 30)))});
  const auto sound = [](int list) { return list == 1 ? TestEnv::programFolder() + "Sound/Buzz.wav" : QString(); };
  // Ticks 59 seconds apart from 07:27:40: one of them falls in 07:30.
  QDateTime t(QDate(2009, 1, 5), QTime(7, 27, 40));
  int rangAt = -1;
  for (int i = 0; i < 6; ++i, t = t.addSecs(59)) {
    const auto r = clock.Tick(t, {nullptr, &wake}, sound);
    if (r.secondRang) {
      QCOMPARE(rangAt, -1);
      rangAt = i;
      QCOMPARE(t.time().minute(), 30);
    }
  }
  QVERIFY(rangAt >= 0);
  QCOMPARE(out.looped, QStringList{TestEnv::programFolder() + "Sound/Buzz.wav"});
  QCOMPARE(out.playing, out.looped.at(0));
  // The next morning it rings again.
  clock.Stop();
  const auto r = clock.Tick(QDateTime(QDate(2009, 1, 6), QTime(7, 30, 12)), {nullptr, &wake}, sound);
  QVERIFY(r.secondRang);
  QCOMPARE(out.looped.size(), 2);
}

void AlarmsTest::ringsOnceInItsMinute() {
  TestEnv env;
  FakeSoundOutput out;
  AlarmClock clock(SoundPlayer::Instance());
  const AlarmList bed = ListOf(env.home() + "/b.txt", {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(22, 0)))});
  const auto sound = [](int) { return TestEnv::programFolder() + "Sound/Rain.wav"; };
  const QDate d(2009, 1, 5);
  QVERIFY(clock.Tick(QDateTime(d, QTime(22, 0, 0)), {&bed, nullptr}, sound).bedRang);
  QCOMPARE(clock.TickCount(), 2);
  // The second tick of the same minute neither restarts the sound nor the count.
  QVERIFY(!clock.Tick(QDateTime(d, QTime(22, 0, 59)), {&bed, nullptr}, sound).bedRang);
  QCOMPARE(out.looped.size(), 1);
  QCOMPARE(out.stops, 1);  // the one stop before the ring started
  QCOMPARE(clock.TickCount(), 3);
}

void AlarmsTest::onlyTheUpperEntryRings() {
  TestEnv env;
  FakeSoundOutput out;
  AlarmClock clock(SoundPlayer::Instance());
  const QDateTime t(QDate(2009, 1, 1), QTime(6, 45));
  const AlarmList wake = ListOf(env.home() + "/w.txt", {Entry("Daily", t), Entry("Mon ", t),
                                                        Entry("Daily", t, false)});
  const auto r = clock.Tick(QDateTime(QDate(2009, 1, 5), QTime(6, 45, 3)), {nullptr, &wake},
                            [](int) { return TestEnv::programFolder() + "Sound/Buzz.wav"; });
  QCOMPARE(r.entry[1], 0);
  QCOMPARE(out.looped.size(), 1);
  // An unchecked upper entry is passed over.
  const AlarmList second = ListOf(env.home() + "/x.txt", {Entry("Daily", t, false), Entry("Daily", t)});
  AlarmClock other(SoundPlayer::Instance());
  QCOMPARE(other.Tick(QDateTime(QDate(2009, 1, 5), QTime(6, 45)), {&second, nullptr}, {}).entry[0], 1);
}

void AlarmsTest::automaticStopAfter59Ticks() {
  TestEnv env;
  FakeSoundOutput out;
  AlarmClock clock(SoundPlayer::Instance());
  const AlarmList wake = ListOf(env.home() + "/w.txt", {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(7, 0)))});
  const auto sound = [](int) { return TestEnv::programFolder() + "Sound/Klaxon.wav"; };
  QDateTime t(QDate(2009, 1, 5), QTime(7, 0, 30));
  QVERIFY(clock.Tick(t, {nullptr, &wake}, sound).secondRang);
  for (int i = 1; i <= 58; ++i) {
    t = t.addSecs(59);
    QVERIFY(!clock.Tick(t, {nullptr, &wake}, sound).stopped);
    QVERIFY2(SoundPlayer::Instance().IsPlaying(), qPrintable(QString::number(i)));
  }
  // The 59th tick after the ring: 58 minutes and 1 second later.
  t = t.addSecs(59);
  QCOMPARE(t, QDateTime(QDate(2009, 1, 5), QTime(7, 58, 31)));
  QVERIFY(clock.Tick(t, {nullptr, &wake}, sound).stopped);
  QVERIFY(!SoundPlayer::Instance().IsPlaying());
  QCOMPARE(out.playing, QString());
  QCOMPARE(clock.TickCount(), 0);
}

void AlarmsTest::automaticStopLeavesALaterSound() {
  TestEnv env;
  FakeSoundOutput out;
  AlarmClock clock(SoundPlayer::Instance());
  const AlarmList bed = ListOf(env.home() + "/b.txt", {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(22, 0)))});
  QDateTime t(QDate(2009, 1, 5), QTime(22, 0, 10));
  clock.Tick(t, {&bed, nullptr}, [](int) { return TestEnv::programFolder() + "Sound/Rain.wav"; });
  // Another sound started since (the other view's alarm, or "Play") is not this alarm's.
  const QString later = TestEnv::programFolder() + "Sound/DrinkGulp.wav";
  QVERIFY(SoundPlayer::Instance().Play(later) != 0);
  for (int i = 0; i < 70; ++i) clock.Tick(t = t.addSecs(59), {&bed, nullptr}, {});
  QCOMPARE(out.playing, later);
}

void AlarmsTest::snoozeRingsAgainAfterFiveMinutes() {
  TestEnv env;
  FakeSoundOutput out;
  AlarmClock clock(SoundPlayer::Instance());
  const AlarmList wake = ListOf(env.home() + "/w.txt", {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(7, 0)))});
  const QString buzz = TestEnv::programFolder() + "Sound/Buzz.wav";
  const auto sound = [&](int) { return buzz; };
  const QDate d(2009, 1, 5);
  QVERIFY(clock.Tick(QDateTime(d, QTime(7, 0, 20)), {nullptr, &wake}, sound).secondRang);
  QVERIFY(!clock.Snooze(QDateTime()));
  QVERIFY(clock.Snooze(QDateTime(d, QTime(7, 1, 0))));
  QCOMPARE(out.playing, QString());
  QCOMPARE(clock.SnoozeDue(), QDateTime(d, QTime(7, 6, 0)));
  QVERIFY(!clock.Tick(QDateTime(d, QTime(7, 3, 0)), {nullptr, &wake}, sound).snoozeRang);
  QVERIFY(!clock.Tick(QDateTime(d, QTime(7, 5, 59)), {nullptr, &wake}, sound).snoozeRang);
  QCOMPARE(out.playing, QString());
  QVERIFY(clock.Tick(QDateTime(d, QTime(7, 6, 58)), {nullptr, &wake}, sound).snoozeRang);
  QCOMPARE(out.playing, buzz);
  QCOMPARE(out.looped, QStringList({buzz, buzz}));
  // Snoozed again, and again it comes back.
  QVERIFY(clock.Snooze(QDateTime(d, QTime(7, 7, 0))));
  QVERIFY(clock.RingDueSnooze(QDateTime(d, QTime(7, 12, 0))));
  QCOMPARE(out.playing, buzz);
  // Nothing plays: nothing to snooze.
  clock.Stop();
  QVERIFY(!clock.Snooze(QDateTime(d, QTime(7, 13, 0))));
}

void AlarmsTest::stopCancelsASnooze() {
  TestEnv env;
  FakeSoundOutput out;
  const QString buzz = TestEnv::programFolder() + "Sound/Buzz.wav";
  const QDate d(2009, 1, 5);
  // Stop in the same view.
  AlarmClock clock(SoundPlayer::Instance());
  SoundPlayer::Instance().Play(buzz);
  QVERIFY(clock.Snooze(QDateTime(d, QTime(7, 0))));
  clock.Stop();
  QVERIFY(!clock.SnoozeDue().isValid());
  QVERIFY(!clock.RingDueSnooze(QDateTime(d, QTime(7, 10))));
  QCOMPARE(out.playing, QString());
  // Stop anywhere else (the other view, the tray's "Stop Alarm"): the sound is one.
  SoundPlayer::Instance().Play(buzz);
  QVERIFY(clock.Snooze(QDateTime(d, QTime(8, 0))));
  AlarmClock otherView(SoundPlayer::Instance());
  otherView.Stop();
  QVERIFY(!clock.RingDueSnooze(QDateTime(d, QTime(8, 5))));
  QCOMPARE(out.playing, QString());
  // A new alarm that rings meanwhile does not cancel the snooze.
  SoundPlayer::Instance().Play(buzz);
  QVERIFY(clock.Snooze(QDateTime(d, QTime(9, 0))));
  SoundPlayer::Instance().Play(TestEnv::programFolder() + "Sound/Rain.wav");
  QVERIFY(clock.RingDueSnooze(QDateTime(d, QTime(9, 5))));
  QCOMPARE(out.playing, buzz);
}

void AlarmsTest::wakeUpReplacesBedTimeInOneTick() {
  TestEnv env;
  FakeSoundOutput out;
  AlarmClock clock(SoundPlayer::Instance());
  const QDateTime t(QDate(2009, 1, 1), QTime(6, 0));
  const AlarmList bed = ListOf(env.home() + "/b.txt", {Entry("Daily", t)});
  const AlarmList wake = ListOf(env.home() + "/w.txt", {Entry("Daily", t)});
  const QString rain = TestEnv::programFolder() + "Sound/Rain.wav";
  const QString buzz = TestEnv::programFolder() + "Sound/Buzz.wav";
  const auto r = clock.Tick(QDateTime(QDate(2009, 1, 5), QTime(6, 0, 5)), {&bed, &wake},
                            [&](int list) { return list == 0 ? rain : buzz; });
  QVERIFY(r.bedRang);
  QVERIFY(r.secondRang);
  QCOMPARE(out.looped, QStringList({rain, buzz}));
  QCOMPARE(out.playing, buzz);
}

void AlarmsTest::playerLoopsOneSoundAtATime() {
  TestEnv env;
  FakeSoundOutput out;
  SoundPlayer& p = SoundPlayer::Instance();
  const QString rain = TestEnv::programFolder() + "Sound/Rain.wav";
  const QString wind = TestEnv::programFolder() + "Sound/Wind.wav";
  const quint64 a = p.Play(rain);
  QVERIFY(a != 0);
  QCOMPARE(p.CurrentFile(), rain);
  const int stopsBefore = out.stops;
  const quint64 b = p.Play(wind);
  QVERIFY(b != a);
  QCOMPARE(out.stops, stopsBefore + 1);  // the first ends before the second starts
  QCOMPARE(out.playing, wind);
  QVERIFY(!p.StopIfPlaying(a));
  QCOMPARE(out.playing, wind);
  // A missing file plays nothing, and still ends what played.
  QCOMPARE(p.Play(TestEnv::programFolder() + "Sound/Silence.wav"), quint64(0));
  QVERIFY(!p.IsPlaying());
  QCOMPARE(out.playing, QString());
  QCOMPARE(p.Play(QString()), quint64(0));
  QCOMPARE(p.Play(TestEnv::programFolder() + "Sound"), quint64(0));  // a folder
  const quint64 stops = p.StopCount();
  p.Play(rain);
  p.Stop();
  QCOMPARE(p.StopCount(), stops + 1);
  QVERIFY(!p.IsPlaying());
}

// ---------------------------------------------------------------------------------

void AlarmsTest::alarmSetDialog() {
  TestEnv env;
  SteppedClock clock(QDate(2009, 1, 5), QTime(21, 40, 37));
  AlarmSetDialog d;
  QCOMPARE(d.windowTitle(), QString("Alarm Set"));
  QVERIFY(d.findChild<QRadioButton*>("Daily")->isChecked());
  QCOMPARE(d.Frequency(), AlarmFrequency::Daily);
  QCOMPARE(d.findChild<QDateTimeEdit*>("Bed_Time")->dateTime(), clock.now);
  QCOMPARE(d.findChild<QDateEdit*>("Date_Picker")->date(), QDate(2009, 1, 5));
  QVERIFY(d.findChild<QDateEdit*>("Date_Picker")->isEnabled());
  // The picked time is whole minutes of the day the entry is made.
  QCOMPARE(d.Time(), QDateTime(QDate(2009, 1, 5), QTime(21, 40)));
  QStringList names;
  for (int w = 1; w <= 7; ++w) {
    auto* box = d.findChild<QCheckBox*>(WeekdayName(w));
    QVERIFY(box);
    QCOMPARE(box->text(), WeekdayName(w));
    QVERIFY(!box->isChecked());
    QVERIFY(!box->isEnabled());
  }
  d.findChild<QRadioButton*>("Weekly")->click();
  QVERIFY(d.findChild<QCheckBox*>("Mon")->isEnabled());
  d.findChild<QCheckBox*>("Tue")->click();
  // Ticks are kept while the boxes are off, and count again with "Weekly".
  d.findChild<QRadioButton*>("FixedDate")->click();
  QVERIFY(!d.findChild<QCheckBox*>("Tue")->isEnabled());
  QVERIFY(d.findChild<QCheckBox*>("Tue")->isChecked());
  QCOMPARE(d.Frequency(), AlarmFrequency::FixedDate);
  d.findChild<QRadioButton*>("Weekly")->click();
  QCOMPARE(d.Weekdays(), WeekdayBit(2));
}

void AlarmsTest::addWeeklyEntry() {
  Rig rig;
  SteppedClock clock(QDate(2009, 1, 5), QTime(9, 0));
  rig.view->ShowDate(QDate(2009, 1, 5));
  WhenAlarmSetShows([](AlarmSetDialog* d) {
    d->findChild<QRadioButton*>("Weekly")->click();
    for (const char* day : {"Mon", "Wed", "Fri"}) d->findChild<QCheckBox*>(day)->click();
    SetTime(d, QTime(22, 15));
    d->accept();
  });
  rig.press("Button5");
  const AlarmList& wake = rig.view->SecondList();
  QCOMPARE(wake.Count(), 1);
  const ListViewItem& e = wake.Items().at(0);
  QCOMPARE(e.caption, QString("Mon Wed Fri at 10:15 PM"));
  QCOMPARE(e.subItems.at(0), QString("Mon Wed Fri "));
  QCOMPARE(ReadAlarmTime(e.subItems.at(1)), QDateTime(QDate(2009, 1, 5), QTime(22, 15)));
  QVERIFY(e.checked);
  QTreeWidget* list = rig.list("List_WakeUp");
  QCOMPARE(list->topLevelItemCount(), 1);
  QCOMPARE(list->topLevelItem(0)->text(0), QString("Mon Wed Fri at 10:15 PM"));
  QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Checked);
  QCOMPARE(list->headerItem()->text(0), QString("Get up"));
  QCOMPARE(FileBytes(rig.wakePath()), wake.Data().ToBytes());

  // A second entry goes on top.
  WhenAlarmSetShows([](AlarmSetDialog* d) {
    SetTime(d, QTime(6, 30));
    d->accept();
  });
  rig.press("Button5");
  QCOMPARE(list->topLevelItem(0)->text(0), QString("Daily at 06:30 AM"));
  QCOMPARE(list->topLevelItem(1)->text(0), QString("Mon Wed Fri at 10:15 PM"));
  ListViewFile onDisk;
  QVERIFY(onDisk.Read(rig.wakePath()));
  QCOMPARE(onDisk.items.size(), 2);
  QCOMPARE(onDisk.items.at(0).caption, QString("Daily at 06:30 AM"));
  // The bed-time list was not touched.
  QVERIFY(!QFile::exists(rig.bedPath()));
  QVERIFY(rig.env.messages.isEmpty());
}

void AlarmsTest::weeklyWithoutDaysIsRefused() {
  Rig rig;
  rig.write(rig.bedPath(), {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(22, 0)))});
  const QByteArray before = FileBytes(rig.bedPath());
  rig.view->ShowDate(QDate(2009, 1, 5));
  WhenAlarmSetShows([](AlarmSetDialog* d) {
    d->findChild<QRadioButton*>("Weekly")->click();
    d->accept();
  });
  rig.press("Button3");
  QCOMPARE(rig.env.messageTexts(), QStringList{"No Days of the Week Selected"});
  QCOMPARE(rig.view->BedTimes().Count(), 1);
  QCOMPARE(FileBytes(rig.bedPath()), before);
  QCOMPARE(rig.list("List_BedTimes")->topLevelItemCount(), 1);
}

void AlarmsTest::cancelStillWritesTheFile() {
  Rig rig;
  rig.view->ShowDate(QDate(2009, 1, 5));
  QVERIFY(!QFile::exists(rig.bedPath()));
  WhenAlarmSetShows([](AlarmSetDialog* d) { d->reject(); });
  rig.press("Button3");
  QCOMPARE(FileBytes(rig.bedPath()), QByteArray("\x01\x00\x00\x00\x00", 5));
  QCOMPARE(rig.view->BedTimes().Count(), 0);
  QVERIFY(!QFile::exists(rig.wakePath()));
}

void AlarmsTest::deleteRemovesTheSelectedEntry() {
  Rig rig;
  const QDateTime t(QDate(2009, 1, 1), QTime(22, 0));
  rig.write(rig.bedPath(), {Entry("Daily", t), Entry("Sat Sun ", t), Entry("Mon ", t)});
  rig.view->ShowDate(QDate(2009, 1, 5));
  QTreeWidget* list = rig.list("List_BedTimes");
  QCOMPARE(list->topLevelItemCount(), 3);
  // Nothing selected: nothing goes.
  list->setCurrentItem(nullptr);
  rig.press("Button4");
  QCOMPARE(rig.view->BedTimes().Count(), 3);
  list->setCurrentItem(list->topLevelItem(1));
  rig.press("Button4");
  ListViewFile onDisk;
  QVERIFY(onDisk.Read(rig.bedPath()));
  QStringList captions;
  for (const ListViewItem& e : onDisk.items) captions << e.caption;
  QCOMPARE(captions, QStringList({"Daily at 10:00 PM", "Mon at 10:00 PM"}));
  QCOMPARE(list->topLevelItemCount(), 2);
}

void AlarmsTest::uncheckedNeverRingsTickingRingsAndIsWritten() {
  Rig rig;
  SteppedClock clock(QDate(2009, 1, 5), QTime(7, 29, 40));
  rig.write(rig.wakePath(), {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(7, 30)), false)});
  rig.view->ShowDate(QDate(2009, 1, 5));
  clock.now = QDateTime(QDate(2009, 1, 5), QTime(7, 30, 5));
  rig.view->ClockTimer();
  QVERIFY(rig.sound.looped.isEmpty());
  // Ticked: it rings at its next tick, and the file keeps the tick at once.
  QTreeWidget* list = rig.list("List_WakeUp");
  list->topLevelItem(0)->setCheckState(0, Qt::Checked);
  ListViewFile onDisk;
  QVERIFY(onDisk.Read(rig.wakePath()));
  QVERIFY(onDisk.items.at(0).checked);
  clock.now = QDateTime(QDate(2009, 1, 5), QTime(7, 30, 50));
  rig.view->ClockTimer();
  QCOMPARE(rig.sound.looped, QStringList{rig.wav("Buzz.wav")});
  // Unticked again: the next day it stays quiet.
  rig.view->StopAlarm();
  list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
  QVERIFY(onDisk.Read(rig.wakePath()));
  QVERIFY(!onDisk.items.at(0).checked);
  clock.now = QDateTime(QDate(2009, 1, 6), QTime(7, 30, 1));
  rig.view->ClockTimer();
  QCOMPARE(rig.sound.looped.size(), 1);
}

void AlarmsTest::ringingTurnsToItsPage() {
  Rig rig;
  SteppedClock clock(QDate(2009, 1, 5), QTime(12, 0));
  rig.write(rig.bedPath(), {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(22, 0)))});
  rig.write(rig.wakePath(), {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(6, 30)))});
  rig.host.Settings().BedSound = "Rain";
  rig.view->ShowDate(QDate(2009, 1, 5));
  rig.view->ShowPage(QString("Graphs"));
  clock.now = QDateTime(QDate(2009, 1, 5), QTime(22, 0, 30));
  rig.view->ClockTimer();
  QCOMPARE(rig.view->CurrentPage(), QString("Go to Bed"));
  QCOMPARE(rig.sound.playing, rig.wav("Rain.wav"));
  rig.view->ShowPage(QString("Note"));
  clock.now = QDateTime(QDate(2009, 1, 6), QTime(6, 30, 30));
  rig.view->ClockTimer();
  // The wake-up alarm shows its own page, with Stop and Snooze.
  QCOMPARE(rig.view->CurrentPage(), QString("Wake up Alarm"));
  QCOMPARE(rig.sound.playing, rig.wav("Buzz.wav"));
  rig.press("Alarm_SnoozeButton");
  QCOMPARE(rig.sound.playing, QString());
  QVERIFY(rig.view->AlarmState().SnoozeDue().isValid());
  clock.now = clock.now.addSecs(5 * 60);
  rig.view->ClockTimer();
  QCOMPARE(rig.sound.playing, rig.wav("Buzz.wav"));
  rig.press("Alarm_StopButton");
  QCOMPARE(rig.sound.playing, QString());
}

void AlarmsTest::fixedDateRingsOnItsDayOnly() {
  Rig rig;
  SteppedClock clock(QDate(2009, 1, 1), QTime(9, 0));
  rig.view->ShowDate(QDate(2009, 1, 1));
  WhenAlarmSetShows([](AlarmSetDialog* d) {
    d->findChild<QRadioButton*>("FixedDate")->click();
    d->findChild<QDateEdit*>("Date_Picker")->setDate(QDate(2009, 1, 5));
    SetTime(d, QTime(7, 30));
    d->accept();
  });
  rig.press("Button5");
  QCOMPARE(rig.view->SecondList().Items().at(0).caption,
           QString("Monday January, 5, 2009 at 07:30 AM"));
  clock.now = QDateTime(QDate(2009, 1, 5), QTime(7, 30, 20));
  rig.view->ClockTimer();
  QCOMPARE(rig.sound.looped.size(), 1);
  rig.view->StopAlarm();
  clock.now = QDateTime(QDate(2009, 1, 12), QTime(7, 30, 20));
  rig.view->ClockTimer();
  QCOMPARE(rig.sound.looped.size(), 1);
}

void AlarmsTest::listWithoutCheckBoxes() {
  Rig rig;
  SteppedClock clock(QDate(2009, 1, 5), QTime(9, 0));
  QVERIFY(QFile::copy(TestEnv::testData("sleep/flag0.lvf"), rig.wakePath()));
  rig.view->ShowDate(QDate(2009, 1, 5));
  QTreeWidget* list = rig.list("List_WakeUp");
  QCOMPARE(list->topLevelItemCount(), 1);
  QVERIFY(!list->topLevelItem(0)->data(0, Qt::CheckStateRole).isValid());
  clock.now = QDateTime(QDate(2009, 1, 5), QTime(7, 30));
  rig.view->ClockTimer();
  QVERIFY(rig.sound.looped.isEmpty());
  // Showing it rewrote nothing.
  QCOMPARE(FileBytes(rig.wakePath()), Fixture("flag0.lvf"));
  // A new entry gives the list check boxes: the new one can ring, the old one stays off.
  WhenAlarmSetShows([](AlarmSetDialog* d) {
    SetTime(d, QTime(8, 0));
    d->accept();
  });
  rig.press("Button5");
  QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Checked);
  QCOMPARE(list->topLevelItem(1)->checkState(0), Qt::Unchecked);
  QCOMPARE(FileBytes(rig.wakePath()).at(0), '\x01');
}

void AlarmsTest::unreadableListIsNeverWritten() {
  Rig rig;
  QVERIFY(QDir().mkpath(rig.wakePath()));
  rig.view->ShowDate(QDate(2009, 1, 5));
  QCOMPARE(rig.env.messages.size(), 1);
  QVERIFY(rig.env.messages.at(0).text.startsWith("Cannot open file \"" + rig.wakePath()));
  rig.env.clearMessages();
  // No dialog opens: nothing could be kept.
  rig.press("Button5");
  // The refusal is said; the read error under it has been said already.
  QCOMPARE(rig.env.messageTexts(),
           QStringList({"This alarm list could not be read, so it cannot be changed."}));
  QCOMPARE(rig.list("List_WakeUp")->topLevelItemCount(), 0);
  QVERIFY(QFileInfo(rig.wakePath()).isDir());
  // The other list works as before.
  rig.env.clearMessages();
  WhenAlarmSetShows([](AlarmSetDialog* d) { d->accept(); });
  rig.press("Button3");
  QVERIFY(rig.env.messages.isEmpty());
  QVERIFY(QFileInfo(rig.bedPath()).isFile());
}

// A list whose file breaks off inside an item lost every item after it at the next save.
// It is shown as far as it goes, read-only, and its file stays as it is.
void AlarmsTest::cutListIsShownAndNeverWritten() {
  Rig rig;
  QVERIFY(QFile::copy(TestEnv::testData("sleep/cut_inside_item.lvf"), rig.wakePath()));
  const QByteArray before = FileBytes(rig.wakePath());
  rig.view->ShowDate(QDate(2009, 1, 5));
  QCOMPARE(rig.env.messages.size(), 1);
  QCOMPARE(rig.env.messages.at(0).text,
           "The file \"" + rig.wakePath() + "\" breaks off after 1 item (of " +
               QString::number(before.size()) + " bytes), so what came after could not be "
               "read. It is opened read-only: nothing is written to it.");
  QCOMPARE(rig.list("List_WakeUp")->topLevelItemCount(), 1);
  rig.env.clearMessages();
  rig.press("Button5");
  QCOMPARE(rig.env.messageTexts(),
           QStringList({"This alarm list is opened read-only, so it cannot be changed."}));
  // Ticking its entry off is refused by the file layer too.
  rig.list("List_WakeUp")->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
  rig.view->SaveOnLeave();
  rig.view->ShowDate(QDate(2009, 1, 6));
  QCOMPARE(FileBytes(rig.wakePath()), before);
}

void AlarmsTest::soundChoices() {
  Rig rig;
  QComboBox* bed = rig.combo("Bed_Sound");
  QComboBox* wake = rig.combo("wakeup_Sound");
  QStringList items;
  for (int i = 0; i < bed->count(); ++i) items << bed->itemText(i);
  QCOMPARE(items, BedSoundItems());
  QCOMPARE(SelectComboItem({}, "x"), -1);
  QCOMPARE(SelectComboItem(BedSoundItems(), "rAIN"), 2);

  // The configuration's default "Waves" names no item: "Silence" shows.
  QCOMPARE(rig.host.Settings().BedSound, QString("Waves"));
  rig.host.Settings().WakeUpSound = "klaxon";
  rig.view->ShowDate(QDate(2009, 1, 5));
  QCOMPARE(bed->currentText(), QString("Silence"));
  QCOMPARE(wake->currentText(), QString("Klaxon"));
  // Showing changes no setting.
  QCOMPARE(rig.host.Settings().BedSound, QString("Waves"));

  rig.press("Bed_Play");
  QVERIFY(rig.sound.looped.isEmpty());  // "Silence" plays nothing
  rig.press("wakeup_play");
  QCOMPARE(rig.sound.playing, rig.wav("Klaxon.wav"));
  // Choosing by the keyboard sets the configuration.
  bed->setFocus();
  QTest::keyClick(bed, Qt::Key_Down);
  QTest::keyClick(bed, Qt::Key_Down);
  QCOMPARE(rig.host.Settings().BedSound, QString("Rain"));
  rig.press("Bed_Play");
  QCOMPARE(rig.sound.playing, rig.wav("Rain.wav"));
  QCOMPARE(rig.sound.looped, QStringList({rig.wav("Klaxon.wav"), rig.wav("Rain.wav")}));
  rig.press("btnStop1");
  QCOMPARE(rig.sound.playing, QString());
  wake->setFocus();
  QTest::keyClick(wake, Qt::Key_Up);
  QCOMPARE(rig.host.Settings().WakeUpSound, QString("Buzz"));
  rig.press("wakeup_play");
  QCOMPARE(rig.sound.playing, rig.wav("Buzz.wav"));
  rig.view->StopAlarm();
  QCOMPARE(rig.sound.playing, QString());
  // Every sound the lists name is shipped.
  for (const QString& name : BedSoundItems() + SleepSetup::Sleep().secondSoundItems +
                                 SleepSetup::Kids().secondSoundItems) {
    if (name == "Silence") continue;
    QVERIFY2(QFileInfo(rig.wav(name + ".wav")).isFile(), qPrintable(name));
  }
  QVERIFY(!QFile::exists(rig.wav("Silence.wav")));
}

void AlarmsTest::shippedSoundsArePcmAndNotSilent_data() {
  QTest::addColumn<QString>("name");
  for (const char* n : {"Wind", "Rain", "Thunder", "Music", "CalmSeaWaves", "HarbourAmbient",
                        "RiverFlowRapids", "Buzz", "Klaxon", "PulsingBuzz", "DrinkGulp",
                        "BabyCrying", "Kisses", "Chirps"})
    QTest::newRow(n) << QString::fromLatin1(n);
}

void AlarmsTest::shippedSoundsArePcmAndNotSilent() {
  QFETCH(QString, name);
  const QByteArray wav = FileBytes(TestEnv::programFolder() + "Sound/" + name + ".wav");
  QVERIFY(wav.size() > 44);
  QCOMPARE(wav.left(4), QByteArray("RIFF"));
  QCOMPARE(wav.mid(8, 4), QByteArray("WAVE"));
  auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
  auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
  // Walk the chunks: "fmt " says PCM, 16 bits; "data" holds the samples.
  quint32 rate = 0;
  int channels = 0;
  QByteArray samples;
  for (qsizetype at = 12; at + 8 <= wav.size();) {
    const QByteArray id = wav.mid(at, 4);
    const quint32 size = u32(at + 4);
    if (id == "fmt ") {
      QCOMPARE(u16(at + 8), quint16(1));    // PCM
      channels = u16(at + 10);
      rate = u32(at + 12);
      QCOMPARE(u16(at + 22), quint16(16));  // bits per sample
    } else if (id == "data") {
      samples = wav.mid(at + 8, size);
    }
    at += 8 + size + (size & 1);
  }
  QVERIFY(channels >= 1);
  QVERIFY(rate >= 8000);
  QVERIFY(!samples.isEmpty());
  const double seconds = double(samples.size()) / (2.0 * channels * rate);
  QVERIFY2(seconds >= 1 && seconds <= 12, qPrintable(QString::number(seconds)));
  const auto* s = reinterpret_cast<const qint16*>(samples.constData());
  double sum = 0;
  int peak = 0;
  for (qsizetype i = 0; i < samples.size() / 2; ++i) {
    sum += double(s[i]) * s[i];
    peak = std::max(peak, std::abs(int(s[i])));
  }
  const double rms = std::sqrt(sum / (samples.size() / 2));
  QVERIFY2(rms > 1000, qPrintable(QString::number(rms)));
  QVERIFY2(peak > 8000, qPrintable(QString::number(peak)));
}

void AlarmsTest::sleepCycleChart() {
  QCOMPARE(SleepCycleValues().size(), 36);
  QCOMPARE(SleepCycleValues().first(), 1.0);
  QCOMPARE(SleepCycleValues().last(), 0.5);
  QCOMPARE(SleepCycleValues().at(28), -0.5);

  Rig rig;
  rig.write(rig.bedPath(), {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(22, 30))),
                            Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(23, 0)))});
  rig.view->ShowDate(QDate(2009, 1, 5));
  QChart* chart = rig.view->findChild<QChartView*>("Cycle_graph")->chart();
  QCOMPARE(chart->title(), QString("Adult Sleep Cycle (7.5 hours)"));
  auto* cycle = qobject_cast<QLineSeries*>(chart->series().at(0));
  auto* wake = qobject_cast<QLineSeries*>(chart->series().at(1));
  QCOMPARE(wake->name(), QString("Wake Up"));
  QLabel* caption = rig.view->findChild<QLabel*>("Cycle_Caption");
  // Before a bed time is chosen, and with no wake-up alarm, a night from 10:30 PM.
  QCOMPARE(cycle->count(), 72);
  QCOMPARE(cycle->at(0).x(), qreal(QDateTime(QDate(2000, 1, 1), QTime(22, 30)).toMSecsSinceEpoch()));
  QCOMPARE(caption->text(), QString("For a bed time of 10:30 PM: choose one of yours to see its own"));

  QTreeWidget* list = rig.list("List_BedTimes");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->topLevelItem(1)).center());
  const QDateTime bed(QDate(2009, 1, 1), QTime(23, 0));
  // Stairs: each quarter hour's value holds until the next.
  QCOMPARE(cycle->count(), 72);
  QCOMPARE(cycle->at(0), QPointF(bed.toMSecsSinceEpoch(), 1));
  QCOMPARE(cycle->at(1), QPointF(bed.addSecs(15 * 60).toMSecsSinceEpoch(), 1));
  QCOMPARE(cycle->at(2), QPointF(bed.addSecs(15 * 60).toMSecsSinceEpoch(), -1));
  const qreal w = bed.addSecs(7 * 3600 + 1800).toMSecsSinceEpoch();
  QCOMPARE(wake->points(), QList<QPointF>({QPointF(w, -4), QPointF(w, 1)}));
  // The keyboard moves to the other bed time and the chart follows.
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Up);
  QCOMPARE(cycle->at(0).x(), qreal(QDateTime(QDate(2009, 1, 1), QTime(22, 30)).toMSecsSinceEpoch()));
  // Deleted, its chart goes with it: the entry now selected is drawn.
  rig.press("Button4");
  QCOMPARE(rig.view->BedTimes().Count(), 1);
  QCOMPARE(rig.view->BedTimes().Items().at(0).caption, QString("Daily at 11:00 PM"));
  QCOMPARE(list->currentItem(), list->topLevelItem(0));
  QCOMPARE(cycle->at(0).x(), qreal(bed.toMSecsSinceEpoch()));
  QCOMPARE(caption->text(), QString("For the bed time 11:00 PM"));
  // The last one deleted, the chart draws the night before her wake-up alarm: the
  // checked one, not the unchecked one above it.
  ListViewItem off = Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(5, 0)));
  off.checked = false;
  rig.write(rig.wakePath(), {off, Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(6, 30)))});
  rig.view->ShowDate(QDate(2009, 1, 6));
  rig.press("Button4");
  QCOMPARE(rig.view->BedTimes().Count(), 0);
  QCOMPARE(cycle->count(), 72);
  const QDateTime fromWake(QDate(2009, 1, 1), QTime(23, 0));
  QCOMPARE(cycle->at(0).x(), qreal(fromWake.addDays(-1).toMSecsSinceEpoch()));
  QCOMPARE(wake->at(0).x(), qreal(QDateTime(QDate(2009, 1, 1), QTime(6, 30)).toMSecsSinceEpoch()));
  QCOMPARE(caption->text(), QString("For waking at 06:30 AM (your wake-up alarm)"));
}

void AlarmsTest::ringingShowsItself_data() {
  QTest::addColumn<bool>("kids");
  QTest::addColumn<bool>("bedList");
  QTest::addColumn<QString>("page");
  QTest::addColumn<QString>("title");
  QTest::newRow("bed time") << false << true << "Go to Bed" << "Time for Bed";
  QTest::newRow("wake-up") << false << false << "Wake up Alarm" << "Wake up Alarm";
  QTest::newRow("baby's bed time") << true << true << "Go to Bed" << "Baby's Bed Time";
  QTest::newRow("feeding") << true << false << "Feeding Alarm" << "Feeding Alarm";
}

void AlarmsTest::ringingShowsItself() {
  QFETCH(bool, kids);
  QFETCH(bool, bedList);
  QFETCH(QString, page);
  QFETCH(QString, title);
  Rig rig(kids ? SleepSetup::Kids() : SleepSetup::Sleep());
  const QString source = rig.view->objectName();
  SteppedClock clock(QDate(2009, 1, 5), QTime(12, 0));
  rig.write(bedList ? rig.bedPath() : rig.wakePath(),
            {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(6, 30)))});
  rig.host.Settings().BedSound = "Rain";
  rig.view->ShowDate(QDate(2009, 1, 5));
  const QString notePage = rig.view->Setup().pages.at(4);
  rig.view->ShowPage(notePage);
  clock.now = QDateTime(QDate(2009, 1, 6), QTime(6, 30, 30));
  rig.view->ClockTimer();
  QVERIFY(!rig.sound.playing.isEmpty());
  // The window comes forward with this view, on the page with the alarm's Stop.
  QCOMPARE(rig.host.raised, QList<DateView*>{rig.view.get()});
  QCOMPARE(rig.view->CurrentPage(), page);
  QCOMPARE(rig.host.notifier.shown.value(source).title, title);
  QCOMPARE(rig.host.notifier.shown.value(source).text, QString("Daily at 06:30 AM"));
  QVERIFY(!rig.view->findChild<QLabel*>(bedList ? "Bed_NoSound" : "Alarm_NoSound")->isVisible());

  // Snooze on the notice: the sound stops and the notice goes until the snooze rings.
  QVERIFY(rig.host.notifier.press(source, AlarmAnswer::Snooze));
  QCOMPARE(rig.sound.playing, QString());
  QVERIFY(rig.view->AlarmState().SnoozeDue().isValid());
  QVERIFY(!rig.host.notifier.shown.contains(source));
  rig.view->ShowPage(notePage);
  clock.now = clock.now.addSecs(5 * 60);
  rig.view->ClockTimer();
  QVERIFY(!rig.sound.playing.isEmpty());
  QCOMPARE(rig.view->CurrentPage(), page);
  QCOMPARE(rig.host.raised.size(), 2);
  QCOMPARE(rig.host.notifier.shown.value(source).text,
           QString("Daily at 06:30 AM\nSnoozed for 5 minutes"));

  // Stop on the notice ends it all.
  QVERIFY(rig.host.notifier.press(source, AlarmAnswer::Stop));
  QCOMPARE(rig.sound.playing, QString());
  QVERIFY(!rig.view->AlarmState().SnoozeDue().isValid());
  QVERIFY(!rig.host.notifier.shown.contains(source));
  QVERIFY(rig.env.messages.isEmpty());
}

void AlarmsTest::silentMachineSaysSoOnce() {
  Rig rig;
  rig.sound.canPlay = false;
  SteppedClock clock(QDate(2009, 1, 5), QTime(12, 0));
  rig.write(rig.wakePath(), {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(6, 30)))});
  rig.view->ShowDate(QDate(2009, 1, 5));
  QLabel* notice = rig.view->findChild<QLabel*>("Alarm_NoSound");
  QVERIFY(!notice->isVisible());
  for (int day = 6; day <= 7; ++day) {
    clock.now = QDateTime(QDate(2009, 1, day), QTime(6, 30, 30));
    rig.view->ClockTimer();
    QCOMPARE(rig.view->CurrentPage(), QString("Wake up Alarm"));
    QVERIFY(notice->isVisible());
    QVERIFY(notice->text().contains("no audio device"));
    QVERIFY(rig.host.notifier.shown.value("frmSleep").text.endsWith(
        "\nNo sound can play: this computer has no audio device."));
    rig.press("Alarm_StopButton");
  }
  // Said on the page, once: no box to click away at every ring, no second line.
  QVERIFY(rig.env.messages.isEmpty());
  int said = 0;
  for (QLabel* l : rig.view->findChildren<QLabel*>()) said += l->isVisible() && l->text().contains("no audio device");
  QCOMPARE(said, 1);
  QVERIFY(!rig.view->findChild<QLabel*>("Bed_NoSound")->isVisible());
}

void AlarmsTest::ringingOutWithdrawsTheNotice() {
  Rig rig;
  SteppedClock clock(QDate(2009, 1, 5), QTime(12, 0));
  rig.write(rig.wakePath(), {Entry("Daily", QDateTime(QDate(2009, 1, 1), QTime(7, 0)))});
  rig.view->ShowDate(QDate(2009, 1, 5));
  clock.now = QDateTime(QDate(2009, 1, 6), QTime(7, 0, 30));
  rig.view->ClockTimer();
  QVERIFY(rig.host.notifier.shown.contains("frmSleep"));
  for (int i = 1; i < AlarmClock::kStopAfter; ++i) {
    clock.now = clock.now.addSecs(59);
    rig.view->ClockTimer();
  }
  QCOMPARE(rig.sound.playing, QString());
  QVERIFY(!rig.host.notifier.shown.contains("frmSleep"));
  QCOMPARE(rig.host.notifier.log, QStringList({"show frmSleep: Wake up Alarm", "withdraw frmSleep"}));
}

QTEST_MAIN(AlarmsTest)
#include "test_alarms.moc"
