#include <QtTest>

#include <QBuffer>

#include "app/datafolders.h"
#include "core/textfile.h"
#include "cycle/daysigns.h"
#include "cycle/periodhistory.h"
#include "support/faults.h"
#include "support/testenv.h"

namespace {

QDate D(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

DaySignsList PeriodDays(std::initializer_list<const char*> isoDays) {
  DaySignsList days;
  for (const char* iso : isoDays) {
    DaySigns d;
    d.date = D(iso);
    d.period = true;
    days.append(d);
  }
  return days;
}

}  // namespace

Q_DECLARE_METATYPE(DaySignsList)

class PeriodHistoryTest : public QObject {
  Q_OBJECT

 private slots:
  void damagedLinesLoseNothing();
  void writesWholeInDateOrder();
  void addAndUndo();
  void pauses();
  void missingFileIsEmpty();
  void unreadableFileIsNeverReplaced();
  void failedWriteKeepsTheOldFile();
  void readsFromADevice();
  void basalStartsFromPeriodDays_data();
  void basalStartsFromPeriodDays();
  void mergeWithoutDuplicates();
  void cycleFolderIsMade();
};

void PeriodHistoryTest::damagedLinesLoseNothing() {
  TestEnv env;
  PeriodHistory h;
  QString error;
  QVERIFY(h.Load(TestEnv::testData("cycle/damaged.txt"), &error));
  QVERIFY(error.isEmpty());

  const QVector<PeriodStart> starts = {{D("2009-01-01"), PeriodSource::Picker},
                                       {D("2009-01-29"), PeriodSource::DayAction},
                                       {D("2009-02-26"), PeriodSource::Picker},
                                       {D("2009-04-23"), PeriodSource::Basal},
                                       {D("2013-05-05"), PeriodSource::DayAction}};
  QCOMPARE(h.Starts(), starts);
  const QVector<CyclePause> pauses = {{D("2010-01-04"), D("2010-10-15"), PauseKind::Pregnancy},
                                      {D("2011-02-01"), QDate(), PauseKind::BreastFeeding}};
  QCOMPARE(h.Pauses(), pauses);
  // An impossible date, a stray line, a word too many, a pause that ends before it begins.
  QCOMPARE(h.Unreadable(), QStringList({"2009-02-30 day", "garbage line", "2009-03-26 day extra",
                                        "2012-06-01 pause gap until 2012-05-01"}));

  // Written back: the note first, the records in order, then what could not be read.
  QCOMPARE(h.Lines(), QStringList({"# my periods, typed by hand", "2009-01-01 picker",
                                   "2009-01-29 day", "2009-02-26 picker", "2009-04-23 basal",
                                   "2010-01-04 pause pregnancy until 2010-10-15",
                                   "2011-02-01 pause breast-feeding", "2013-05-05 day",
                                   "2009-02-30 day", "garbage line", "2009-03-26 day extra",
                                   "2012-06-01 pause gap until 2012-05-01"}));
  // And read again, the same history.
  PeriodHistory again;
  again.Parse(h.Lines());
  QCOMPARE(again.Starts(), h.Starts());
  QCOMPARE(again.Pauses(), h.Pauses());
  QCOMPARE(again.Unreadable(), h.Unreadable());
}

void PeriodHistoryTest::writesWholeInDateOrder() {
  TestEnv env;
  const QString path = env.home() + "/Periods.txt";
  PeriodHistory h;
  QVERIFY(h.AddStart(D("2009-03-29"), PeriodSource::DayAction));
  QVERIFY(h.AddStart(D("2009-03-01"), PeriodSource::Picker));
  QVERIFY(h.AddPause({D("2009-03-29"), D("2009-05-31"), PauseKind::Gap}));
  QVERIFY(h.AddStart(D("2009-06-20"), PeriodSource::Import));
  QString error;
  QVERIFY2(h.Save(path, &error), qPrintable(error));
  // A pause that begins on a start's day follows the start.
  QCOMPARE(Bytes(path), QByteArray("2009-03-01 picker\r\n"
                                   "2009-03-29 day\r\n"
                                   "2009-03-29 pause gap until 2009-05-31\r\n"
                                   "2009-06-20 import\r\n"));
  PeriodHistory read;
  QVERIFY(read.Load(path, &error));
  QCOMPARE(read.Lines(), h.Lines());
}

void PeriodHistoryTest::addAndUndo() {
  PeriodHistory h;
  QVERIFY(h.AddStart(D("2009-03-01"), PeriodSource::Picker));
  // The same day again changes nothing, so its undo must not remove the first record.
  QVERIFY(!h.AddStart(D("2009-03-01"), PeriodSource::DayAction));
  QCOMPARE(h.Starts().size(), 1);
  QCOMPARE(h.Starts().front().source, PeriodSource::Picker);
  QVERIFY(!h.AddStart(QDate(), PeriodSource::DayAction));

  QVERIFY(h.AddStart(D("2009-03-29"), PeriodSource::DayAction));
  QVERIFY(h.HasStart(D("2009-03-29")));
  QVERIFY(h.RemoveStart(D("2009-03-29")));  // undo
  QVERIFY(!h.HasStart(D("2009-03-29")));
  QVERIFY(!h.RemoveStart(D("2009-03-29")));
  QCOMPARE(h.Starts().size(), 1);

  // A start a few days from another is found, so a view can offer to move it instead.
  QCOMPARE(h.StartNear(D("2009-03-03"), 5), D("2009-03-01"));
  QCOMPARE(h.StartNear(D("2009-02-27"), 2), D("2009-03-01"));
  QCOMPARE(h.StartNear(D("2009-03-09"), 5), QDate());
}

void PeriodHistoryTest::pauses() {
  PeriodHistory h;
  QVERIFY(h.AddPause({D("2010-01-04"), QDate(), PauseKind::Pregnancy}));
  QVERIFY(!h.AddPause({D("2010-01-04"), QDate(), PauseKind::Gap}));      // same first day
  QVERIFY(!h.AddPause({D("2010-02-01"), D("2010-01-31"), PauseKind::Gap}));  // ends before it begins
  QVERIFY(h.PauseOn(D("2030-01-01")));  // goes on
  QVERIFY(!h.PauseOn(D("2010-01-03")));
  QVERIFY(h.EndPause(D("2010-10-15")));
  QCOMPARE(h.Pauses().front().last, D("2010-10-15"));
  QVERIFY(!h.PauseOn(D("2010-10-16")));
  QVERIFY(h.Pauses().front().Overlaps(D("2010-10-01"), D("2010-11-01")));
  QVERIFY(!h.Pauses().front().Overlaps(D("2009-12-01"), D("2010-01-03")));
  QVERIFY(!h.EndPause(D("2011-01-01")));
  QVERIFY(h.RemovePause(D("2010-01-04")));
  QVERIFY(h.Pauses().isEmpty());
}

void PeriodHistoryTest::missingFileIsEmpty() {
  TestEnv env;
  PeriodHistory h;
  h.AddStart(D("2009-03-01"), PeriodSource::Picker);
  QString error;
  QVERIFY(h.Load(env.home() + "/nothing/Periods.txt", &error));
  QVERIFY(h.IsEmpty());
  QVERIFY(error.isEmpty());
}

void PeriodHistoryTest::unreadableFileIsNeverReplaced() {
  TestEnv env;
  ForgetFileGuards();
  const QString path = env.home() + "/Periods.txt";
  QFile::copy(TestEnv::testData("cycle/six-cycles.txt"), path);
  const QByteArray before = Bytes(path);
  if (!MakeUnreadable(path)) QSKIP("cannot make a file unreadable here");
  PeriodHistory h;
  QString error;
  QVERIFY(!h.Load(path, &error));
  QVERIFY2(error.startsWith("Cannot open file \"" + path + "\"."), qPrintable(error));
  QVERIFY(h.IsEmpty());
  // What she adds now must not replace the history the program could not read.
  h.AddStart(D("2010-01-01"), PeriodSource::DayAction);
  QVERIFY(!h.Save(path, &error));
  QVERIFY2(error.startsWith("Cannot create file \"" + path + "\"."), qPrintable(error));
  MakeReadable(path);
  QCOMPARE(Bytes(path), before);
  ForgetFileGuards();
}

void PeriodHistoryTest::failedWriteKeepsTheOldFile() {
  TestEnv env;
  const QString path = env.home() + "/Periods.txt";
  QFile::copy(TestEnv::testData("cycle/twelve-cycles.txt"), path);
  const QByteArray before = Bytes(path);
  PeriodHistory h;
  QString error;
  QVERIFY(h.Load(path, &error));
  for (int i = 0; i < 200; ++i) h.AddStart(D("2010-01-01").addDays(30 * i), PeriodSource::DayAction);
  bool saved = true;
  {
    FileSizeLimit limit(before.size() + 10);
    saved = h.Save(path, &error);
  }
  QVERIFY(!saved);
  QVERIFY2(error.startsWith("Cannot create file \"" + path + "\"."), qPrintable(error));
  QCOMPARE(Bytes(path), before);
}

void PeriodHistoryTest::readsFromADevice() {
  QByteArray bytes("2009-03-01 picker\n2009-03-29 DAY\r\n\xE9t\xE9\n");  // Windows-1252 text
  QBuffer buffer(&bytes);
  PeriodHistory h;
  QString error;
  QVERIFY(h.Load(&buffer, &error));
  QCOMPARE(h.Starts().size(), 2);
  QCOMPARE(h.Unreadable(), QStringList({QString::fromUtf8("été")}));
}

void PeriodHistoryTest::basalStartsFromPeriodDays_data() {
  QTest::addColumn<DaySignsList>("days");
  QTest::addColumn<QVector<QDate>>("starts");
  QTest::newRow("one run") << PeriodDays({"2009-03-01", "2009-03-02", "2009-03-03"})
                           << QVector<QDate>{D("2009-03-01")};
  QTest::newRow("two periods")
      << PeriodDays({"2009-03-01", "2009-03-02", "2009-03-29", "2009-03-30"})
      << QVector<QDate>{D("2009-03-01"), D("2009-03-29")};
  // A day she forgot to mark inside one period does not start another.
  QTest::newRow("forgotten day")
      << PeriodDays({"2009-03-01", "2009-03-02", "2009-03-04", "2009-03-05"})
      << QVector<QDate>{D("2009-03-01")};
  // A run across the new year is one period, though the days sit in two year files.
  QTest::newRow("across the year")
      << PeriodDays({"2009-12-30", "2009-12-31", "2010-01-01", "2010-01-27"})
      << QVector<QDate>{D("2009-12-30"), D("2010-01-27")};
  QTest::newRow("none") << DaySignsList{} << QVector<QDate>{};
}

void PeriodHistoryTest::basalStartsFromPeriodDays() {
  QFETCH(DaySignsList, days);
  QFETCH(QVector<QDate>, starts);
  // A day with signs but no "P" between two runs changes nothing.
  DaySigns dry;
  dry.date = D("2009-03-15");
  dry.mucus = Mucus::Dry;
  days.append(dry);
  SortDaySigns(days);
  QCOMPARE(PeriodStartsFromDays(days), starts);
}

void PeriodHistoryTest::mergeWithoutDuplicates() {
  const QVector<PeriodStart> recorded = {{D("2009-03-02"), PeriodSource::Picker},
                                         {D("2009-05-24"), PeriodSource::DayAction}};
  const QVector<QDate> basal = {D("2009-01-31"), D("2009-03-01"), D("2009-03-29"),
                                D("2009-04-26"), D("2009-05-30"), QDate()};
  // 1 March is the picker's period of 2 March told twice; 30 May that of 24 May.
  const QVector<PeriodStart> merged = {{D("2009-01-31"), PeriodSource::Basal},
                                       {D("2009-03-02"), PeriodSource::Picker},
                                       {D("2009-03-29"), PeriodSource::Basal},
                                       {D("2009-04-26"), PeriodSource::Basal},
                                       {D("2009-05-24"), PeriodSource::DayAction}};
  QCOMPARE(MergeStarts(recorded, basal), merged);
  QCOMPARE(MergeStarts({}, {D("2009-01-31")}),
           QVector<PeriodStart>({{D("2009-01-31"), PeriodSource::Basal}}));
}

void PeriodHistoryTest::cycleFolderIsMade() {
  TestEnv env;
  {
    // Paths only: nothing is made (a command that reads).
    DataFolders paths(env.home() + "/program/", false);
    QCOMPARE(paths.CycleFolder(), env.dataRoot() + "Cycle/");
    QVERIFY(!QFileInfo::exists(env.dataRoot()));
  }
  DataFolders dir(env.home() + "/program/");
  QVERIFY(dir.ok());
  QVERIFY(QFileInfo(dir.CycleFolder()).isDir());
  QCOMPARE(PeriodHistory::PathIn(dir.CycleFolder()), env.dataRoot() + "Cycle/Periods.txt");
}

QTEST_GUILESS_MAIN(PeriodHistoryTest)
#include "test_periodhistory.moc"
