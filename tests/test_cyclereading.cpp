#include <QtTest>

#include <QProcess>

#include "app/datafolders.h"
#include "basal/basalchart.h"
#include "basal/basalrecords.h"
#include "basal/basalsigns.h"
#include "basal/cyclerecords.h"
#include "core/clock.h"
#include "core/textfile.h"
#include "cycle/cyclereading.h"
#include "cycle/cyclestable.h"
#include "support/testenv.h"

namespace {

QDate D(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }
const QDate kToday = D("2008-05-10");

// The basal year written before precise temperatures: four 28-day cycles from its "P"
// days (6 January, 3 February, 2 March, 30 March), a rise on cycle day 15 confirmed on
// day 17 and a mucus peak on day 13 confirmed on day 16 in the first three, and records
// up to 8 April. The history adds 2 March (the picker, the same period as its "P" days)
// and 27 April (no "P" days).
struct Records {
  explicit Records(bool withHistory = true) : dir(TestEnv::programFolder(), false) {
    QDir().mkpath(dir.BasalFolder());
    QDir().mkpath(dir.CycleFolder());
    QFile::copy(TestEnv::testData("basal/2008-before.txt"), BasalYearPath(dir.BasalFolder(), 2008));
    if (withHistory)
      QFile::copy(TestEnv::testData("cycle/records-2008.txt"), PeriodHistory::PathIn(dir.CycleFolder()));
  }
  CycleReading Load(TemperatureUnit unit = TemperatureUnit::Fahrenheit) const {
    CycleReading r;
    QStringList errors;
    if (!LoadCycleReading(dir, unit, kToday, &r, &errors)) qWarning() << errors;
    return r;
  }
  TestEnv env;
  DataFolders dir;
};

const QString kTable =
    "2008-01-06\t28\t2008-01-20\t2008-01-22\t2008-01-18\t2008-01-21\n"
    "2008-02-03\t28\t2008-02-17\t2008-02-19\t2008-02-15\t2008-02-18\n"
    "2008-03-02\t28\t2008-03-16\t2008-03-18\t2008-03-14\t2008-03-17\n"
    "2008-03-30\t28\t-\t-\t2008-04-08\t-\n"
    "2008-04-27\t\t-\t-\t-\t-\n"
    "average\t28\n"
    "shortest\t28\n"
    "longest\t28\n"
    "sd\t0\n"
    "next period\t2008-05-24\t2008-05-26\n";

QString Program() { return TestEnv::programFolder() + "mavelo"; }

}  // namespace

Q_DECLARE_METATYPE(FertilityStatus)

class CycleReadingTest : public QObject {
  Q_OBJECT

 private slots:
  void cyclesFromHistoryAndPeriodDays();
  void table();
  void tableWithoutFigures();
  void dayStatus_data();
  void dayStatus();
  void pauseDays();
  void chartSeries();
  void useMyAverage();
  void heldYearReplacesTheFile();
  void commandLine();
  void commandLineReportsWhatItCouldNotRead();
};

void CycleReadingTest::cyclesFromHistoryAndPeriodDays() {
  Records rec;
  const CycleReading r = rec.Load();
  const QVector<CycleRow>& rows = r.Rows();
  QCOMPARE(rows.size(), 5);
  // The "P" days count from the first start; 2 March is hers, not told twice.
  QCOMPARE(rows[0].cycle.start, D("2008-01-06"));
  QCOMPARE(rows[0].source, PeriodSource::Basal);
  QCOMPARE(rows[2].cycle.start, D("2008-03-02"));
  QCOMPARE(rows[2].source, PeriodSource::Picker);
  QCOMPARE(rows[4].source, PeriodSource::DayAction);
  QVERIFY(rows[4].cycle.IsCurrent());
  QCOMPARE(rows[4].signs.last, kToday);
  QCOMPARE(rows[1].signs.shift.rule, ShiftRule::ThirdAbove);
  QCOMPARE(r.RowOf(D("2008-01-05")), -1);
  QCOMPARE(r.RowOf(D("2008-02-03")), 1);
  QCOMPARE(r.RowOf(D("2008-03-01")), 1);
  QCOMPARE(r.RowOf(D("2009-01-01")), 4);
  QCOMPARE(r.NextPeriodText(), QString("Next period expected 24–26 May (from your last 4 cycles)."));
  QVERIFY(r.Forecast().InWindow(D("2008-05-26")));
}

void CycleReadingTest::table() {
  Records rec;
  QCOMPARE(CyclesTableText(rec.Load()), kTable);
  // The old rows read on the Celsius scale give the same dates.
  QCOMPARE(CyclesTableText(rec.Load(TemperatureUnit::Celsius)), kTable);
}

void CycleReadingTest::tableWithoutFigures() {
  TestEnv env;
  CycleReading r;
  r.Build({{D("2009-03-01"), PeriodSource::Picker}, {D("2009-03-29"), PeriodSource::DayAction}},
          {}, {}, D("2009-04-05"), TemperatureUnit::Celsius);
  QCOMPARE(CyclesTableText(r), QString("2009-03-01\t28\t-\t-\t-\t-\n"
                                       "2009-03-29\t\t-\t-\t-\t-\n"
                                       "average\t-\nshortest\t-\nlongest\t-\nsd\t-\n"
                                       "next period\t-\t-\n"));
  CycleReading none;
  none.Build({}, {}, {}, D("2009-04-05"), TemperatureUnit::Celsius);
  QCOMPARE(CyclesTableText(none), QString("average\t-\nshortest\t-\nlongest\t-\nsd\t-\n"
                                          "next period\t-\t-\n"));
  QCOMPARE(none.StatusOn(D("2009-04-05")).status, FertilityStatus::NoCycle);
}

void CycleReadingTest::dayStatus_data() {
  QTest::addColumn<QDate>("date");
  QTest::addColumn<FertilityStatus>("status");
  QTest::addColumn<QString>("start");  // how the text begins
  QTest::newRow("before the first start") << D("2008-01-01") << FertilityStatus::NoCycle
                                          << "No period start is recorded before this day";
  QTest::newRow("first days of the first cycle") << D("2008-01-08")
                                                 << FertilityStatus::NotEnoughReadings
                                                 << "Not enough readings to read cycle day 3";
  QTest::newRow("first days after a rise") << D("2008-02-05")
                                           << FertilityStatus::LikelyInfertileEarly
                                           << "Cycle day 3: likely infertile.";
  QTest::newRow("possibly fertile") << D("2008-02-12") << FertilityStatus::PossiblyFertile
                                    << "Possibly fertile: mucus was first seen on 11 February;";
  QTest::newRow("the evening it ends") << D("2008-02-19") << FertilityStatus::FertileEndsTonight
                                       << "Temperature rise confirmed on 19 February: after this "
                                          "evening, the fertile phase of this cycle has ended.";
  QTest::newRow("after it") << D("2008-02-25") << FertilityStatus::LikelyInfertileAfter
                            << "Likely infertile until your next period: the fertile phase of "
                               "this cycle ended on the evening of 19 February.";
  QTest::newRow("no rise in the readings so far") << D("2008-04-05")
                                                  << FertilityStatus::PossiblyFertile
                                                  << "Possibly fertile: the first days of the "
                                                     "cycle ended on cycle day 5;";
  QTest::newRow("after a cycle without a rise") << D("2008-04-29")
                                                << FertilityStatus::PossiblyFertile
                                                << "Cycle day 3 is not read as infertile";
  QTest::newRow("after today") << D("2008-05-20") << FertilityStatus::NotEnoughReadings
                               << "Not enough readings: there are no records for this day yet.";
}

void CycleReadingTest::dayStatus() {
  QFETCH(QDate, date);
  QFETCH(FertilityStatus, status);
  QFETCH(QString, start);
  Records rec;
  const DayStatus s = rec.Load().StatusOn(date);
  QCOMPARE(s.status, status);
  QVERIFY2(s.text.startsWith(start), qPrintable(s.text));
  if (status != FertilityStatus::NoCycle)
    QVERIFY2(s.text.endsWith(NotContraceptionText()), qPrintable(s.text));
}

void CycleReadingTest::pauseDays() {
  Records rec;
  PeriodHistory h;
  QVERIFY(h.Load(PeriodHistory::PathIn(rec.dir.CycleFolder()), nullptr));
  QVERIFY(h.AddPause({D("2008-04-27"), QDate(), PauseKind::Pregnancy}));
  QVERIFY(h.Save(PeriodHistory::PathIn(rec.dir.CycleFolder()), nullptr));
  const CycleReading r = rec.Load();
  const DayStatus s = r.StatusOn(D("2008-05-01"));
  QCOMPARE(s.status, FertilityStatus::Paused);
  QCOMPARE(s.text, QString("A pause you marked (pregnancy): your signs are not read for these days."));
  QVERIFY(r.Forecast().windows.isEmpty());
  QCOMPARE(r.NextPeriodText(),
           QString("No period is predicted during a pause (pregnancy since 27 April 2008)."));
  QCOMPARE(CyclesTableText(r).section('\n', -2, -2), QString("next period\t-\t-"));
}

void CycleReadingTest::chartSeries() {
  Records rec;
  const CycleReading r = rec.Load();
  const CycleChart c = r.ChartOf(1);  // 3 February to 1 March
  QCOMPARE(c.start, D("2008-02-03"));
  QCOMPARE(c.last, D("2008-03-01"));
  QCOMPARE(c.unit, TemperatureUnit::Fahrenheit);
  QCOMPARE(c.readings.size(), 27);  // 20 February was cleared
  QCOMPARE(c.readings.front().date, D("2008-02-03"));
  QCOMPARE(c.readings.front().cycleDay, 1);
  QCOMPARE(c.readings.front().temperature.Text(), QString("97.60"));
  QVERIFY(c.hasCoverLine);
  // The highest of the six lower readings, in her unit: 97.5 °F, not its rounded step.
  QCOMPARE(c.coverLine.Text(), QString("97.50"));
  QCOMPARE(c.coverFrom, D("2008-02-11"));
  QCOMPARE(c.coverTo, D("2008-02-19"));
  QCOMPARE(c.higher, (QVector<QDate>{D("2008-02-17"), D("2008-02-18"), D("2008-02-19")}));
  QCOMPARE(c.firstHigher, D("2008-02-17"));
  QCOMPARE(c.shiftConfirmed, D("2008-02-19"));
  QCOMPARE(c.peakDay, D("2008-02-15"));
  QCOMPARE(c.peakConfirmed, D("2008-02-18"));
  QCOMPARE(c.fertileEnd, D("2008-02-19"));
  // In Celsius the same days, the line drawn at its own column's value.
  const CycleChart cc = rec.Load(TemperatureUnit::Celsius).ChartOf(1);
  QCOMPARE(cc.coverLine.Text(), QString("36.45"));
  QCOMPARE(cc.higher, c.higher);
  // A cycle without a rise has no line; an unknown row has nothing.
  QVERIFY(!r.ChartOf(3).hasCoverLine);
  QCOMPARE(r.ChartOf(3).peakDay, D("2008-04-08"));
  QVERIFY(r.ChartOf(7).readings.isEmpty());
  QVERIFY(!r.ChartOf(-1).start.isValid());
}

void CycleReadingTest::useMyAverage() {
  Records rec;
  const CycleReading r = rec.Load();
  // Ovulation the day before the first higher reading, cycle day 14: 15 days to the next.
  QCOMPARE(r.Rows()[0].signs.ovulation, D("2008-01-19"));
  QCOMPARE(r.Rows()[0].lutealLength, 15);
  QCOMPARE(r.Rows()[3].lutealLength, 0);
  const AverageSettings a = r.Averages();
  QCOMPARE(a.cycleLength, 28);
  QCOMPARE(a.cycles, 4);
  QCOMPARE(a.lutealLength, 15);
  QCOMPARE(a.lutealCycles, 3);

  // Two cycles give no average.
  CycleReading few;
  few.Build({{D("2009-03-01"), PeriodSource::Picker}, {D("2009-03-29"), PeriodSource::DayAction},
             {D("2009-04-26"), PeriodSource::DayAction}},
            {}, {}, D("2009-05-01"), TemperatureUnit::Celsius);
  QCOMPARE(few.Averages().cycleLength, 0);
  QCOMPARE(few.Averages().lutealLength, 0);
}

void CycleReadingTest::heldYearReplacesTheFile() {
  Records rec(false);
  // A "P" day set in the chart and not written yet already counts.
  BasalChart chart(rec.dir.BasalFolder());
  chart.Open(D("2008-04-27"), nullptr);
  const int column = chart.DateColumn(D("2008-04-27"));
  chart.ClickSign(column, kDischargeRow);  // (empty) -> P
  PeriodHistory history;
  DaySignsList days;
  QVERIFY(ReadCycleRecords(rec.dir, TemperatureUnit::Fahrenheit, &history, &days, nullptr));
  QVERIFY(history.IsEmpty());
  ReplaceBasalYear(&days, *chart.YearGrid(2008), 2008, TemperatureUnit::Fahrenheit);
  CycleReading r;
  r.Build(history.Starts(), history.Pauses(), days, kToday, TemperatureUnit::Fahrenheit);
  QCOMPARE(r.Rows().size(), 5);
  QCOMPARE(r.Rows().back().cycle.start, D("2008-04-27"));
  QCOMPARE(r.Rows().back().source, PeriodSource::Basal);
}

void CycleReadingTest::commandLine() {
  Records rec;
  const QStringList before =
      QDir(rec.dir.DataRoot()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", rec.env.home());
  env.insert("XDG_DATA_HOME", rec.env.dataHome());
  env.insert("XDG_CONFIG_HOME", rec.env.configHome());
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("LC_ALL", "de_DE.UTF-8");  // numbers with "." whatever the locale
  p.setProcessEnvironment(env);
  p.start(Program(), {"--cycles"});
  QVERIFY(p.waitForFinished(30000));
  QCOMPARE(QString::fromUtf8(p.readAllStandardError()), QString());
  QCOMPARE(p.exitCode(), 0);
  QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), kTable);
  // It only reads: no folder or file was made.
  QCOMPARE(QDir(rec.dir.DataRoot()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void CycleReadingTest::commandLineReportsWhatItCouldNotRead() {
  Records rec;
  QDir().mkpath(BasalYearPath(rec.dir.BasalFolder(), 2009));  // a folder in the way
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", rec.env.home());
  env.insert("XDG_DATA_HOME", rec.env.dataHome());
  p.setProcessEnvironment(env);
  p.start(Program(), {"--cycles"});
  QVERIFY(p.waitForFinished(30000));
  QCOMPARE(p.exitCode(), 1);
  const QString err = QString::fromUtf8(p.readAllStandardError());
  QVERIFY2(err.startsWith("Cannot open file \"" + BasalYearPath(rec.dir.BasalFolder(), 2009) + "\"."),
           qPrintable(err));
  // What could be read is still printed.
  QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), kTable);
}

QTEST_GUILESS_MAIN(CycleReadingTest)
#include "test_cyclereading.moc"
