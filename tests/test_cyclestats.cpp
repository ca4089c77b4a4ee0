#include <QtTest>

#include "cycle/cyclestats.h"
#include "cycle/periodhistory.h"
#include "support/testenv.h"

namespace {

QDate D(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }

PeriodHistory Fixture(const QString& name) {
  PeriodHistory h;
  QString error;
  if (!h.Load(TestEnv::testData("cycle/" + name), &error)) qWarning() << error;
  return h;
}

}  // namespace

Q_DECLARE_METATYPE(QVector<CyclePause>)

class CycleStatsTest : public QObject {
  Q_OBJECT

 private slots:
  void figures_data();
  void figures();
  void lastTwelveOnly();
  void pauseStopsThePrediction();
  void latePeriod();
  void predictedWindowForTheGrid();
  void cyclesFromStarts();
  void windowTexts_data();
  void windowTexts();
  void scriptNumbers();
};

void CycleStatsTest::figures_data() {
  QTest::addColumn<QString>("fixture");
  QTest::addColumn<QVector<CyclePause>>("pauses");
  QTest::addColumn<int>("counted");
  QTest::addColumn<int>("tooLong");
  QTest::addColumn<int>("paused");
  QTest::addColumn<double>("average");
  QTest::addColumn<int>("averageDays");
  QTest::addColumn<int>("shortest");
  QTest::addColumn<int>("longest");
  QTest::addColumn<double>("deviation");
  QTest::addColumn<int>("margin");
  QTest::addColumn<QDate>("first");  // the first window
  QTest::addColumn<QDate>("last");
  QTest::addColumn<QString>("panel");  // with today ten days after the last start
  QTest::addColumn<QString>("leftOut");

  QTest::newRow("2 cycles") << "two-cycles.txt" << QVector<CyclePause>{} << 2 << 0 << 0 << 0.0
                            << 0 << 0 << 0 << 0.0 << 1 << QDate() << QDate()
                            << "1 more cycle is needed before your next period can be predicted "
                               "from your own history (2 so far)."
                            << "";
  QTest::newRow("3 cycles") << "three-cycles.txt" << QVector<CyclePause>{} << 3 << 0 << 0
                            << 85.0 / 3 << 28 << 28 << 29 << 0.57735 << 1 << D("2009-04-23")
                            << D("2009-04-25")
                            << "Next period expected 23–25 April (from your last 3 cycles)." << "";
  // 28.5 rounds up to 29; the deviation of 1.87 days widens the window to ± 2.
  QTest::newRow("6 cycles") << "six-cycles.txt" << QVector<CyclePause>{} << 6 << 0 << 0 << 28.5
                            << 29 << 26 << 31 << 1.87083 << 2 << D("2009-07-18") << D("2009-07-22")
                            << "Next period expected 18–22 July (from your last 6 cycles)." << "";
  QTest::newRow("12 cycles") << "twelve-cycles.txt" << QVector<CyclePause>{} << 12 << 0 << 0
                             << 28.25 << 28 << 27 << 30 << 0.86603 << 1 << D("2010-01-02")
                             << D("2010-01-04")
                             << "Next period expected 2–4 January 2010 (from your last 12 cycles)."
                             << "";
  // One forgotten stretch of 120 days does not throw the prediction off.
  QTest::newRow("120-day gap") << "gap-120.txt" << QVector<CyclePause>{} << 5 << 1 << 0 << 28.2
                               << 28 << 27 << 29 << 0.83666 << 1 << D("2009-10-16")
                               << D("2009-10-18")
                               << "Next period expected 16–18 October (from your last 5 cycles)."
                               << "Left out of the figures: 1 cycle longer than 99 days.";
  QTest::newRow("120-day gap marked as a pause")
      << "gap-120.txt"
      << QVector<CyclePause>{{D("2009-03-15"), D("2009-06-20"), PauseKind::Gap}} << 5 << 0 << 1
      << 28.2 << 28 << 27 << 29 << 0.83666 << 1 << D("2009-10-16") << D("2009-10-18")
      << "Next period expected 16–18 October (from your last 5 cycles)."
      << "Left out of the figures: 1 cycle in a pause.";
}

void CycleStatsTest::figures() {
  QFETCH(QString, fixture);
  QFETCH(QVector<CyclePause>, pauses);
  TestEnv env;
  const PeriodHistory h = Fixture(fixture);
  QVERIFY(!h.Starts().isEmpty());
  QVERIFY(h.Unreadable().isEmpty());
  const QVector<Cycle> cycles = CyclesFromStarts(StartDates(h.Starts()), pauses);
  QVERIFY(cycles.back().IsCurrent());
  const QDate today = cycles.back().start.addDays(10);
  const CycleForecast f = ForecastCycles(cycles, pauses, today);
  const CycleStats& s = f.stats;

  QFETCH(int, counted);
  QFETCH(int, tooLong);
  QFETCH(int, paused);
  QCOMPARE(s.complete, int(cycles.size()) - 1);
  QCOMPARE(s.counted, counted);
  QCOMPARE(s.leftOutTooLong, tooLong);
  QCOMPARE(s.leftOutPaused, paused);
  QCOMPARE(s.HasFigures(), counted >= 3);
  QCOMPARE(s.CyclesNeeded(), std::max(0, 3 - counted));
  QFETCH(double, average);
  QFETCH(int, averageDays);
  QFETCH(int, shortest);
  QFETCH(int, longest);
  QFETCH(double, deviation);
  QFETCH(int, margin);
  QVERIFY2(qAbs(s.average - average) < 1e-9, qPrintable(QString::number(s.average)));
  QCOMPARE(s.averageDays, averageDays);
  QCOMPARE(s.shortest, shortest);
  QCOMPARE(s.longest, longest);
  QVERIFY2(qAbs(s.deviation - deviation) < 1e-5, qPrintable(QString::number(s.deviation, 'f', 6)));
  QCOMPARE(s.WindowMargin(), margin);

  QFETCH(QDate, first);
  QFETCH(QDate, last);
  if (first.isValid()) {
    QCOMPARE(f.windows.size(), 3);
    QCOMPARE(f.windows[0].first, first);
    QCOMPARE(f.windows[0].last, last);
    // The next two, whole average cycles later.
    for (int k = 1; k < 3; ++k) {
      QCOMPARE(f.windows[k].expected, f.lastStart.addDays((k + 1) * averageDays));
      QCOMPARE(f.windows[k].first.daysTo(f.windows[k].last), 2 * margin);
    }
  } else {
    QVERIFY(f.windows.isEmpty());
  }
  QFETCH(QString, panel);
  QFETCH(QString, leftOut);
  QCOMPARE(NextPeriodText(f, today), panel);
  QCOMPARE(LeftOutText(s), leftOut);
}

void CycleStatsTest::lastTwelveOnly() {
  TestEnv env;
  PeriodHistory h = Fixture("twelve-cycles.txt");
  // An older cycle of 40 days: the thirteenth from the end is not averaged.
  QVERIFY(h.AddStart(D("2008-11-22"), PeriodSource::Import));
  const CycleStats s = ComputeCycleStats(CyclesFromStarts(StartDates(h.Starts()), {}));
  QCOMPARE(s.counted, 13);
  QCOMPARE(s.used, 12);
  QCOMPARE(s.average, 28.25);
  QCOMPARE(s.longest, 30);
  QCOMPARE(FiguresText(s), QString("Average 28.3 days over your last 12 cycles; shortest 27, "
                                   "longest 30; standard deviation 0.9 days."));
}

void CycleStatsTest::pauseStopsThePrediction() {
  TestEnv env;
  const PeriodHistory h = Fixture("six-cycles.txt");  // last start 21 June 2009
  const QVector<Cycle> cycles = CyclesFromStarts(StartDates(h.Starts()), {});

  // Pregnant since July: nothing is predicted, and the panel says why.
  const QVector<CyclePause> pregnant = {{D("2009-07-10"), QDate(), PauseKind::Pregnancy}};
  CycleForecast f = ForecastCycles(cycles, pregnant, D("2009-09-01"));
  QVERIFY(f.pause);
  QVERIFY(f.windows.isEmpty());
  QVERIFY(f.stats.HasFigures());  // the figures still stand
  QCOMPARE(NextPeriodText(f, D("2009-09-01")),
           QString("No period is predicted during a pause (pregnancy since 10 July 2009)."));

  // A gap in recording that is over: the prediction waits for the next recorded start.
  const QVector<CyclePause> gap = {{D("2009-07-01"), D("2009-08-31"), PauseKind::Gap}};
  f = ForecastCycles(cycles, gap, D("2009-09-10"));
  QVERIFY(f.windows.isEmpty());
  QCOMPARE(NextPeriodText(f, D("2009-09-10")),
           QString("No period is predicted until you record the first period after your pause "
                   "(gap in recording, 1 July–31 August)."));

  // A pause before the last start is history: the prediction goes on.
  const QVector<CyclePause> before = {{D("2009-01-05"), D("2009-01-20"), PauseKind::Gap}};
  f = ForecastCycles(CyclesFromStarts(StartDates(h.Starts()), before), before, D("2009-07-01"));
  QCOMPARE(f.windows.size(), 3);
  QVERIFY(!f.pause);
  // Its cycle is left out, and the others still give figures.
  QCOMPARE(f.stats.leftOutPaused, 1);
  QCOMPARE(f.stats.counted, 5);
}

void CycleStatsTest::latePeriod() {
  TestEnv env;
  const QVector<Cycle> cycles =
      CyclesFromStarts(StartDates(Fixture("three-cycles.txt").Starts()), {});
  const CycleForecast f = ForecastCycles(cycles, {}, D("2009-04-28"));
  QCOMPARE(NextPeriodText(f, D("2009-04-28")),
           QString("Your period was expected 23–25 April (from your last 3 cycles) and no start "
                   "has been recorded since."));
  QCOMPARE(NextPeriodText(f, D("2009-04-25")),
           QString("Next period expected 23–25 April (from your last 3 cycles)."));
}

void CycleStatsTest::predictedWindowForTheGrid() {
  TestEnv env;
  const QVector<Cycle> cycles =
      CyclesFromStarts(StartDates(Fixture("six-cycles.txt").Starts()), {});
  const CycleForecast f = ForecastCycles(cycles, {}, D("2009-07-01"));
  QVERIFY(!f.InWindow(D("2009-07-17")));
  QVERIFY(f.InWindow(D("2009-07-18")));
  QVERIFY(f.InWindow(D("2009-07-22")));
  QVERIFY(!f.InWindow(D("2009-07-23")));
  QCOMPARE(f.WindowOn(D("2009-08-18"))->expected, D("2009-08-18"));  // the second, 29 days on
  QVERIFY(f.InWindow(D("2009-09-16")));                                // the third
  QVERIFY(!f.InWindow(D("2009-10-15")));                               // only three
}

void CycleStatsTest::cyclesFromStarts() {
  const QVector<Cycle> none = CyclesFromStarts({}, {});
  QVERIFY(none.isEmpty());
  const CycleForecast f = ForecastCycles(none, {}, D("2009-01-01"));
  QCOMPARE(f.stats.CyclesNeeded(), 3);
  QVERIFY(!f.lastStart.isValid());
  QCOMPARE(NextPeriodText(f, D("2009-01-01")),
           QString("3 more cycles are needed before your next period can be predicted from your "
                   "own history (0 so far)."));

  // Out of order, repeated and invalid dates are taken in order, once.
  const QVector<Cycle> c = CyclesFromStarts(
      {D("2009-03-29"), QDate(), D("2009-03-01"), D("2009-03-29"), D("2009-09-01")}, {});
  QCOMPARE(c.size(), 3);
  QCOMPARE(c[0].start, D("2009-03-01"));
  QCOMPARE(c[0].length, 28);
  QCOMPARE(c[0].LastDay(), D("2009-03-28"));
  QCOMPARE(c[1].length, 156);
  QCOMPARE(c[1].leftOut, CycleLeftOut::TooLong);
  QVERIFY(c[2].IsCurrent());
  QVERIFY(!c[2].Counts());
  // 99 days still counts.
  QCOMPARE(CyclesFromStarts({D("2009-01-01"), D("2009-04-10")}, {})[0].leftOut, CycleLeftOut::None);
}

void CycleStatsTest::windowTexts_data() {
  QTest::addColumn<QDate>("first");
  QTest::addColumn<QDate>("last");
  QTest::addColumn<QString>("text");  // today in 2009
  QTest::newRow("one month") << D("2009-03-14") << D("2009-03-16") << "14–16 March";
  QTest::newRow("two months") << D("2009-03-30") << D("2009-04-01") << "30 March–1 April";
  QTest::newRow("next year") << D("2010-01-02") << D("2010-01-04") << "2–4 January 2010";
  QTest::newRow("two years") << D("2009-12-30") << D("2010-01-01")
                             << "30 December 2009–1 January 2010";
}

void CycleStatsTest::windowTexts() {
  QFETCH(QDate, first);
  QFETCH(QDate, last);
  QFETCH(QString, text);
  TestEnv env;
  QCOMPARE(DateWindowText(first, last, D("2009-03-01")), text);
}

void CycleStatsTest::scriptNumbers() {
  QCOMPARE(ScriptNumber(28), QString("28"));
  QCOMPARE(ScriptNumber(28.5), QString("28.5"));
  QCOMPARE(ScriptNumber(85.0 / 3), QString("28.33"));
  QCOMPARE(ScriptNumber(0.57735), QString("0.58"));
  QCOMPARE(ScriptNumber(28.999), QString("29"));
}

QTEST_GUILESS_MAIN(CycleStatsTest)
#include "test_cyclestats.moc"
