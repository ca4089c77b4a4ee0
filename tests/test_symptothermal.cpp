#include <QtTest>

#include "cycle/symptothermal.h"
#include "support/testenv.h"

namespace {

const QDate kStart(2009, 3, 1);
const QDate kToday(2009, 3, 31);

// Fourteen readings under a cover line of 36.50 °C with no reading above all six before
// it: the first part of every example cycle, cycle days 1 to 14.
const QVector<double> kLows = {36.40, 36.35, 36.45, 36.40, 36.50, 36.45, 36.40,
                               36.35, 36.45, 36.50, 36.40, 36.45, 36.40, 36.35};
// The same cycle taken in Fahrenheit (97.7 °F is 36.50 °C).
const QVector<double> kLowsF = {97.5, 97.4, 97.6, 97.5, 97.7, 97.6, 97.5,
                                97.4, 97.6, 97.7, 97.5, 97.6, 97.5, 97.4};

QDate Day(int cycleDay) { return kStart.addDays(cycleDay - 1); }

// Readings from cycle day 1 on; 0 is a day without one.
DaySignsList Readings(const QVector<double>& values, TemperatureUnit unit = TemperatureUnit::Celsius,
                      const QList<int>& disturbed = {}) {
  DaySignsList days;
  for (int i = 0; i < values.size(); ++i) {
    if (values[i] == 0) continue;
    DaySigns d;
    d.date = Day(i + 1);
    d.temperature = BodyTemperature(qRound(values[i] * 100), unit);
    d.disturbed = disturbed.contains(i + 1);
    days.append(d);
  }
  return days;
}

// Signs from cycle day 1 on: P period, D dry, S sticky, W wet, '.' nothing recorded.
DaySignsList Signs(const char* codes) {
  DaySignsList days;
  for (int i = 0; codes[i]; ++i) {
    DaySigns d;
    d.date = Day(i + 1);
    switch (codes[i]) {
      case 'P': d.period = true; break;
      case 'D': d.mucus = Mucus::Dry; break;
      case 'S': d.mucus = Mucus::Sticky; break;
      case 'W': d.mucus = Mucus::Wet; break;
      default: continue;
    }
    days.append(d);
  }
  return days;
}

// Readings and mucus of the same days together.
DaySignsList Both(DaySignsList temps, const DaySignsList& mucus) {
  for (const DaySigns& m : mucus) {
    auto at = std::find_if(temps.begin(), temps.end(), [&](const DaySigns& d) { return d.date == m.date; });
    if (at == temps.end()) {
      temps.append(m);
    } else {
      at->period = m.period;
      at->mucus = m.mucus;
    }
  }
  SortDaySigns(temps);
  return temps;
}

QVector<QDate> Days(std::initializer_list<int> cycleDays) {
  QVector<QDate> v;
  for (int d : cycleDays) v.append(Day(d));
  return v;
}

CycleSignsReading Evaluate(const DaySignsList& days, const CycleContext& context = {},
                           int lastDay = 28) {
  CycleContext c = context;
  c.unit = TemperatureUnit::Celsius;
  return EvaluateCycle(kStart, Day(lastDay), DaySignsSpan(days.constData(), days.size()), c);
}

CycleContext AfterAShift(int shiftCycles = 1, int earliest = 15) {
  CycleContext c;
  c.hasPreviousCycle = true;
  c.previousShift = ShiftState::Confirmed;
  c.shiftCycles = shiftCycles;
  c.earliestFirstHigherDay = earliest;
  return c;
}

}  // namespace

Q_DECLARE_METATYPE(DaySignsList)
Q_DECLARE_METATYPE(ShiftState)
Q_DECLARE_METATYPE(ShiftRule)
Q_DECLARE_METATYPE(PeakState)
Q_DECLARE_METATYPE(CycleContext)
Q_DECLARE_METATYPE(EarlyRule)

class SymptothermalTest : public QObject {
  Q_OBJECT

 private slots:
  void temperatureShift_data();
  void temperatureShift();
  void mucusPeak_data();
  void mucusPeak();
  void fertilePhaseEndsAtTheLaterConfirmation();
  void firstDays_data();
  void firstDays();
  void statusTexts();
  void notEnoughReadings();
};

void SymptothermalTest::temperatureShift_data() {
  QTest::addColumn<DaySignsList>("days");
  QTest::addColumn<ShiftState>("state");
  QTest::addColumn<ShiftRule>("rule");
  QTest::addColumn<int>("firstHigher");  // cycle day, 0 for none
  QTest::addColumn<int>("confirmed");
  QTest::addColumn<int>("cover");        // hundredths of °C
  QTest::addColumn<QVector<QDate>>("higher");
  QTest::addColumn<int>("dip");

  const auto after = [](QVector<double> v, const QVector<double>& lows = kLows) { return lows + v; };
  QTest::newRow("plain 3 over 6")
      << Readings(after({36.60, 36.55, 36.70, 36.75, 36.70})) << ShiftState::Confirmed
      << ShiftRule::ThirdAbove << 15 << 17 << 3650 << Days({15, 16, 17}) << 0;
  QTest::newRow("fourth reading: the third less than 0.2 above")
      << Readings(after({36.60, 36.55, 36.65, 36.55, 36.70})) << ShiftState::Confirmed
      << ShiftRule::FourthAbove << 15 << 18 << 3650 << Days({15, 16, 17, 18}) << 0;
  QTest::newRow("fourth reading back on the line")
      << Readings(after({36.60, 36.55, 36.65, 36.50, 36.45, 36.40})) << ShiftState::NoRise
      << ShiftRule::None << 0 << 0 << 0 << QVector<QDate>{} << 0;
  QTest::newRow("dip on the second")
      << Readings(after({36.60, 36.50, 36.60, 36.70, 36.75})) << ShiftState::Confirmed
      << ShiftRule::OneDip << 15 << 18 << 3650 << Days({15, 17, 18}) << 16;
  QTest::newRow("dip on the third")
      << Readings(after({36.60, 36.55, 36.45, 36.75})) << ShiftState::Confirmed
      << ShiftRule::OneDip << 15 << 18 << 3650 << Days({15, 16, 18}) << 17;
  QTest::newRow("dip, fourth less than 0.2 above")
      << Readings(after({36.60, 36.50, 36.60, 36.65, 36.60, 36.55})) << ShiftState::NoRise
      << ShiftRule::None << 0 << 0 << 0 << QVector<QDate>{} << 0;
  QTest::newRow("second and third both on or below")
      << Readings(after({36.60, 36.50, 36.45, 36.80})) << ShiftState::Awaiting << ShiftRule::None
      << 18 << 0 << 3660 << Days({18}) << 0;  // day 18 starts the search anew

  // A feverish reading of 36.80 on day 12, marked, is left out: the cover line rests on
  // the six counted readings before day 15.
  QVector<double> fever = after({36.60, 36.55, 36.70, 36.75, 36.70});
  fever[11] = 36.80;
  QTest::newRow("disturbed reading left out")
      << Readings(fever, TemperatureUnit::Celsius, {12}) << ShiftState::Confirmed
      << ShiftRule::ThirdAbove << 15 << 17 << 3650 << Days({15, 16, 17}) << 0;
  QTest::newRow("the same reading not marked")
      << Readings(fever) << ShiftState::NoRise << ShiftRule::None << 0 << 0 << 0
      << QVector<QDate>{} << 0;
  QTest::newRow("missing day skipped")
      << Readings(after({36.60, 0, 36.55, 36.70})) << ShiftState::Confirmed
      << ShiftRule::ThirdAbove << 15 << 18 << 3650 << Days({15, 17, 18}) << 0;
  // 36.52 rounds to 36.50, on the line; 36.58 to 36.60 and 36.68 to 36.70, 0.2 above.
  QTest::newRow("compared after rounding to 0.05")
      << Readings(after({36.52, 36.58, 36.57, 36.68})) << ShiftState::Confirmed
      << ShiftRule::ThirdAbove << 16 << 18 << 3650 << Days({16, 17, 18}) << 0;
  // 98.1 °F is 36.72 °C, 0.2 above the cover line of 97.7 °F (36.50 °C) once rounded.
  QTest::newRow("Fahrenheit")
      << Readings(after({98.0, 97.9, 98.1, 98.2}, kLowsF), TemperatureUnit::Fahrenheit)
      << ShiftState::Confirmed << ShiftRule::ThirdAbove << 15 << 17 << 3650 << Days({15, 16, 17})
      << 0;
  QTest::newRow("waiting for the third")
      << Readings(after({36.60, 36.55})) << ShiftState::Awaiting << ShiftRule::None << 15 << 0
      << 3650 << Days({15, 16}) << 0;
  QTest::newRow("too few readings")
      << Readings({36.40, 36.35, 36.45, 0, 36.40, 36.50, 0, 36.80}) << ShiftState::TooFewReadings
      << ShiftRule::None << 0 << 0 << 0 << QVector<QDate>{} << 0;
  QTest::newRow("no rise") << Readings(kLows + kLows) << ShiftState::NoRise << ShiftRule::None
                           << 0 << 0 << 0 << QVector<QDate>{} << 0;
}

void SymptothermalTest::temperatureShift() {
  QFETCH(DaySignsList, days);
  QFETCH(ShiftState, state);
  QFETCH(ShiftRule, rule);
  QFETCH(int, firstHigher);
  QFETCH(int, confirmed);
  QFETCH(int, cover);
  QFETCH(QVector<QDate>, higher);
  QFETCH(int, dip);
  const TemperatureShift s = FindTemperatureShift(DaySignsSpan(days.constData(), days.size()));
  QCOMPARE(s.state, state);
  QCOMPARE(s.rule, rule);
  QCOMPARE(s.firstHigher, firstHigher ? Day(firstHigher) : QDate());
  QCOMPARE(s.confirmed, confirmed ? Day(confirmed) : QDate());
  if (cover) QCOMPARE(StepsToHundredths(s.coverSteps, TemperatureUnit::Celsius), cover);
  QCOMPARE(s.higherDays, higher);
  QCOMPARE(s.dipDay, dip ? Day(dip) : QDate());
  int counted = 0;
  for (const DaySigns& d : days) counted += d.HasValidReading();
  QCOMPARE(s.readings, counted);
  if (state == ShiftState::Confirmed || state == ShiftState::Awaiting) {
    QCOMPARE(s.lowDays.size(), 6);
    QVERIFY(s.lowDays.back() < s.firstHigher);
    double highest = 0;
    for (const QDate& low : s.lowDays) {
      const DaySigns* d = DayOn(days, low);
      QVERIFY(d && d->HasValidReading());  // never a disturbed or missing day
      QVERIFY(d->temperature->CelsiusSteps() <= s.coverSteps);
      highest = std::max(highest, d->temperature->Celsius());
    }
    // The line as drawn is the highest of the six as she entered it (36.52 in the
    // rounding example), compared as its rounded step.
    QCOMPARE(s.cover.Celsius(), highest);
    QCOMPARE(s.cover.CelsiusSteps(), s.coverSteps);
  }
}

void SymptothermalTest::mucusPeak_data() {
  QTest::addColumn<DaySignsList>("days");
  QTest::addColumn<PeakState>("state");
  QTest::addColumn<int>("firstMucus");
  QTest::addColumn<int>("peak");
  QTest::addColumn<int>("confirmed");
  QTest::addColumn<QVector<QDate>>("lower");
  //                                      1234567890123456789
  QTest::newRow("three lower days") << Signs("PPPPPDDDSSWWSD.D") << PeakState::Confirmed << 9
                                    << 12 << 16 << Days({13, 14, 16});
  QTest::newRow("two lower days so far") << Signs("PPPPPDDDSSWWSD") << PeakState::Awaiting << 9
                                         << 12 << 0 << Days({13, 14});
  QTest::newRow("wet again later") << Signs("PPPPPDDDSSWSDWSDD") << PeakState::Confirmed << 9
                                   << 14 << 17 << Days({15, 16, 17});
  QTest::newRow("period day not counted") << Signs("PPPPPDDDSSWSPDD") << PeakState::Confirmed
                                          << 9 << 11 << 15 << Days({12, 14, 15});
  QTest::newRow("sticky at best") << Signs("PPPPPDDDSSDDD") << PeakState::Confirmed << 9 << 10
                                  << 13 << Days({11, 12, 13});
  QTest::newRow("dry only") << Signs("PPPPPDDDDDDDD") << PeakState::NoMucus << 0 << 0 << 0
                            << QVector<QDate>{};
  QTest::newRow("nothing recorded") << Signs("PPPPP") << PeakState::NoMucus << 0 << 0 << 0
                                    << QVector<QDate>{};
}

void SymptothermalTest::mucusPeak() {
  QFETCH(DaySignsList, days);
  QFETCH(PeakState, state);
  QFETCH(int, firstMucus);
  QFETCH(int, peak);
  QFETCH(int, confirmed);
  QFETCH(QVector<QDate>, lower);
  const MucusPeak p = FindMucusPeak(DaySignsSpan(days.constData(), days.size()));
  QCOMPARE(p.state, state);
  QCOMPARE(p.firstMucus, firstMucus ? Day(firstMucus) : QDate());
  QCOMPARE(p.peak, peak ? Day(peak) : QDate());
  QCOMPARE(p.confirmed, confirmed ? Day(confirmed) : QDate());
  QCOMPARE(p.lowerDays, lower);
}

void SymptothermalTest::fertilePhaseEndsAtTheLaterConfirmation() {
  const DaySignsList temps = Readings(kLows + QVector<double>{36.60, 36.55, 36.70, 36.75, 36.70});
  // Mucus peak on day 12, confirmed on day 15; the rise on day 17: the rise ends it.
  CycleSignsReading c = Evaluate(Both(temps, Signs("PPPPPDDDSSWWSDDD")));
  QCOMPARE(c.fertileEnd, Day(17));
  QCOMPARE(c.ovulation, Day(14));
  // Peak on day 15, confirmed on day 18: the mucus ends it.
  c = Evaluate(Both(temps, Signs("PPPPPDDDSSSSWWWDDSD")));
  QCOMPARE(c.peak.peak, Day(15));
  QCOMPARE(c.peak.confirmed, Day(18));
  QCOMPARE(c.fertileEnd, Day(18));
  QCOMPARE(CycleDayStatus(c, Day(17), kToday).status, FertilityStatus::PossiblyFertile);
  QCOMPARE(CycleDayStatus(c, Day(18), kToday).status, FertilityStatus::FertileEndsTonight);
  QVERIFY(CycleDayStatus(c, Day(18), kToday).text.startsWith(
      "Mucus peak of 15 March confirmed on 18 March: after this evening, the fertile phase of "
      "this cycle has ended."));
  QCOMPARE(CycleDayStatus(c, Day(19), kToday).status, FertilityStatus::LikelyInfertileAfter);
  // Without a confirmed peak the phase does not end, however clear the rise.
  c = Evaluate(Both(temps, Signs("PPPPPDDDSSSSWW")));
  QVERIFY(!c.fertileEnd.isValid());
  QCOMPARE(CycleDayStatus(c, Day(22), kToday).status, FertilityStatus::PossiblyFertile);
  c = Evaluate(temps);
  QVERIFY(!c.fertileEnd.isValid());
  QVERIFY(CycleDayStatus(c, Day(22), kToday).text.contains("no sticky or wet mucus"));
}

void SymptothermalTest::firstDays_data() {
  QTest::addColumn<CycleContext>("context");
  QTest::addColumn<QString>("mucus");
  QTest::addColumn<int>("earlyDays");
  QTest::addColumn<EarlyRule>("rule");
  QTest::newRow("no cycle before") << CycleContext{} << "PPPPPDDD" << 0 << EarlyRule::None;
  CycleContext noRise;
  noRise.hasPreviousCycle = true;
  noRise.previousShift = ShiftState::NoRise;
  QTest::newRow("no rise in the cycle before") << noRise << "PPPPPDDD" << 0 << EarlyRule::None;
  QTest::newRow("after a cycle with a rise") << AfterAShift() << "PPPPPDDD" << 5
                                             << EarlyRule::FirstFiveDays;
  QTest::newRow("mucus on day 4 ends them") << AfterAShift() << "PPPSDDD" << 3
                                            << EarlyRule::FirstFiveDays;
  QTest::newRow("minus 8 from 12 cycles") << AfterAShift(12, 12) << "PPPPPDDD" << 4
                                          << EarlyRule::MinusEight;
  QTest::newRow("minus 8 never lengthens") << AfterAShift(12, 15) << "PPPPPDDD" << 5
                                           << EarlyRule::FirstFiveDays;
  QTest::newRow("minus 8 waits for 12 cycles") << AfterAShift(11, 10) << "PPPPPDDD" << 5
                                               << EarlyRule::FirstFiveDays;
  QTest::newRow("minus 8 can leave none") << AfterAShift(14, 8) << "PPPPPDDD" << 0
                                          << EarlyRule::MinusEight;
}

void SymptothermalTest::firstDays() {
  QFETCH(CycleContext, context);
  QFETCH(QString, mucus);
  QFETCH(int, earlyDays);
  QFETCH(EarlyRule, rule);
  TestEnv env;
  const CycleSignsReading c = Evaluate(Signs(mucus.toLatin1().constData()), context);
  QCOMPARE(c.earlyDays, earlyDays);
  QCOMPARE(c.earlyRule, rule);
  for (int day = 1; day <= 6; ++day) {
    const DayStatus s = CycleDayStatus(c, Day(day), kToday);
    QCOMPARE(s.status == FertilityStatus::LikelyInfertileEarly, day <= earlyDays);
    QVERIFY2(s.text.endsWith(NotContraceptionText()), qPrintable(s.text));
  }
}

void SymptothermalTest::statusTexts() {
  TestEnv env;
  const DaySignsList days = Both(Readings(kLows + QVector<double>{36.60, 36.55, 36.70, 36.75}),
                                 Signs("PPPPPDDDSSWWSDDD"));
  const CycleSignsReading c = Evaluate(days, AfterAShift());
  const QString end = " This reading of your signs is not a method of contraception on its own.";
  QCOMPARE(CycleDayStatus(c, Day(17), kToday).text,
           "Temperature rise confirmed on 17 March: after this evening, the fertile phase of "
           "this cycle has ended. This rests on the temperature rise confirmed on 17 March (first "
           "higher reading 15 March, cover line 36.50 °C); mucus peak 12 March, confirmed on 15 "
           "March." + end);
  QCOMPARE(CycleDayStatus(c, Day(20), kToday).text,
           "Likely infertile until your next period: the fertile phase of this cycle ended on the "
           "evening of 17 March. This rests on the temperature rise confirmed on 17 March (first "
           "higher reading 15 March, cover line 36.50 °C); mucus peak 12 March, confirmed on 15 "
           "March." + end);
  QCOMPARE(CycleDayStatus(c, Day(3), kToday).text,
           "Cycle day 3: likely infertile. This rests on the rule for the first days: the first "
           "five days of a cycle count after a cycle with a confirmed temperature rise, as your "
           "previous cycle had, and no mucus has been seen so far." + end);
  QCOMPARE(CycleDayStatus(c, Day(10), kToday).text,
           "Possibly fertile: mucus was first seen on 9 March; the temperature rise was confirmed "
           "on 17 March; the mucus peak of 12 March was confirmed on 15 March. The fertile phase "
           "ends on the evening of the later of the two confirmations." + end);
  // Before any mucus, after the first five days.
  QVERIFY(CycleDayStatus(c, Day(7), kToday).text.startsWith(
      "Possibly fertile: the first days of the cycle ended on cycle day 5;"));
}

void SymptothermalTest::notEnoughReadings() {
  TestEnv env;
  const DaySignsList few = Readings({36.40, 36.35, 36.45});
  const CycleSignsReading c = Evaluate(few, AfterAShift());
  DayStatus s = CycleDayStatus(c, Day(9), kToday);
  QCOMPARE(s.status, FertilityStatus::NotEnoughReadings);
  QVERIFY2(s.text.startsWith("Not enough readings: this cycle has 3 counted temperature readings, "
                             "and a rise needs six lower readings and three higher ones"),
           qPrintable(s.text));
  QVERIFY(s.text.endsWith(NotContraceptionText()));

  // The first days after a cycle with too few readings: not read as infertile.
  CycleContext thin;
  thin.hasPreviousCycle = true;
  s = CycleDayStatus(Evaluate(few, thin), Day(2), kToday);
  QCOMPARE(s.status, FertilityStatus::NotEnoughReadings);
  QVERIFY2(s.text.contains("the cycle before has too few temperature readings"), qPrintable(s.text));

  // A day after today has no records yet.
  const CycleSignsReading current = Evaluate(few, AfterAShift(), 40);
  s = CycleDayStatus(current, Day(20), Day(12));
  QCOMPARE(s.status, FertilityStatus::NotEnoughReadings);
  QVERIFY(s.text.startsWith("Not enough readings: there are no records for this day yet."));
}

QTEST_GUILESS_MAIN(SymptothermalTest)
#include "test_symptothermal.moc"
