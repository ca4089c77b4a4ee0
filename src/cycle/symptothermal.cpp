#include "cycle/symptothermal.h"

#include <algorithm>

#include "cycle/cyclestats.h"

namespace {

struct Reading {
  QDate date;
  int steps;  // 0.05 °C
  BodyTemperature value;
};

QVector<Reading> CountedReadings(DaySignsSpan days) {
  QVector<Reading> r;
  r.reserve(static_cast<qsizetype>(days.size()));
  for (const DaySigns& d : days)
    if (d.HasValidReading()) r.append({d.date, d.temperature->CelsiusSteps(), *d.temperature});
  return r;
}

QString Day(const QDate& date, const QDate& today) { return DayMonthText(date, today); }

QString MucusWord(Mucus m) {
  switch (m) {
    case Mucus::Wet: return QStringLiteral("wet");
    case Mucus::Sticky: return QStringLiteral("sticky");
    case Mucus::Dry: return QStringLiteral("dry");
    case Mucus::None: break;
  }
  return QStringLiteral("no");
}

QString ReadingsWord(int n) {
  return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? QStringLiteral("reading")
                                                   : QStringLiteral("readings"));
}

QString ReadingsCount(const TemperatureShift& s) {
  return QStringLiteral("this cycle has %1 counted temperature %2, and a rise needs six lower "
                        "readings and three higher ones")
      .arg(s.readings)
      .arg(s.readings == 1 ? QStringLiteral("reading") : QStringLiteral("readings"));
}

// What the temperature says so far, for a day before the end of the fertile phase.
QString ShiftSoFar(const CycleSignsReading& c, const QDate& today) {
  const TemperatureShift& s = c.shift;
  switch (s.state) {
    case ShiftState::TooFewReadings:
      return QStringLiteral("not enough readings: ") + ReadingsCount(s);
    case ShiftState::NoRise:
      return QStringLiteral("no temperature rise is confirmed in this cycle's %1")
          .arg(ReadingsWord(s.readings));
    case ShiftState::Awaiting:
      return QStringLiteral("the first higher reading of %1 waits for the readings that would "
                            "confirm the rise")
          .arg(Day(s.firstHigher, today));
    case ShiftState::Confirmed:
      return QStringLiteral("the temperature rise was confirmed on %1").arg(Day(s.confirmed, today));
  }
  return {};
}

QString PeakSoFar(const CycleSignsReading& c, const QDate& today) {
  const MucusPeak& p = c.peak;
  switch (p.state) {
    case PeakState::NoMucus:
      return QStringLiteral("no sticky or wet mucus is recorded in this cycle");
    case PeakState::Awaiting:
      return QStringLiteral("the mucus peak of %1 is not confirmed yet (it needs three recorded "
                            "days of lower quality after it)")
          .arg(Day(p.peak, today));
    case PeakState::Confirmed:
      return QStringLiteral("the mucus peak of %1 was confirmed on %2")
          .arg(Day(p.peak, today), Day(p.confirmed, today));
  }
  return {};
}

QString CoverLineText(const CycleSignsReading& c) {
  const TemperatureUnit unit = c.context.unit;
  return c.shift.cover.TextIn(unit) + u' ' + TemperatureUnitSymbol(unit);
}

QString Sentence(QString text) {
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  return text;
}

DayStatus Status(FertilityStatus status, const QString& text) {
  return {status, Sentence(text) + u' ' + NotContraceptionText()};
}

}  // namespace

TemperatureShift FindTemperatureShift(DaySignsSpan days) {
  TemperatureShift shift;
  const QVector<Reading> r = CountedReadings(days);
  const qsizetype n = r.size();
  shift.readings = static_cast<int>(n);
  if (n <= kLowReadings) return shift;  // TooFewReadings
  shift.state = ShiftState::NoRise;

  for (qsizetype i = kLowReadings; i < n; ++i) {
    int cover = r[i - kLowReadings].steps;
    for (qsizetype k = i - kLowReadings + 1; k < i; ++k) cover = std::max(cover, r[k].steps);
    if (r[i].steps <= cover) continue;

    // A first higher reading: what follows decides.
    const auto above = [&](qsizetype k) { return r[k].steps > cover; };
    const auto clear = [&](qsizetype k) { return r[k].steps >= cover + kClearRiseSteps; };
    const auto base = [&] {
      shift.firstHigher = r[i].date;
      shift.coverSteps = cover;
      shift.lowDays.clear();
      shift.cover = r[i - kLowReadings].value;
      for (qsizetype k = i - kLowReadings; k < i; ++k) {
        shift.lowDays.append(r[k].date);
        if (r[k].value.Celsius() > shift.cover.Celsius()) shift.cover = r[k].value;
      }
    };
    const auto awaiting = [&] {
      shift.state = ShiftState::Awaiting;
      base();
      shift.higherDays = {r[i].date};
      for (qsizetype k = i + 1; k < n; ++k)
        if (above(k)) shift.higherDays.append(r[k].date);
      return shift;
    };
    const auto confirm = [&](ShiftRule rule, qsizetype at, QVector<qsizetype> higher,
                             qsizetype dip) {
      shift.state = ShiftState::Confirmed;
      shift.rule = rule;
      base();
      shift.confirmed = r[at].date;
      shift.higherDays.clear();
      for (qsizetype k : higher) shift.higherDays.append(r[k].date);
      if (dip >= 0) shift.dipDay = r[dip].date;
      return shift;
    };

    if (i + 2 >= n) return awaiting();  // the second or third reading is still to come
    const bool second = above(i + 1);
    const bool third = above(i + 2);
    if (second && third && clear(i + 2)) return confirm(ShiftRule::ThirdAbove, i + 2, {i, i + 1, i + 2}, -1);
    if (!second && !third) continue;  // two readings back on or below the line
    if (i + 3 >= n) return awaiting();
    if (second && third) {
      if (above(i + 3))
        return confirm(ShiftRule::FourthAbove, i + 3, {i, i + 1, i + 2, i + 3}, -1);
      continue;
    }
    // Exactly one of the second and third is on or below the line.
    if (clear(i + 3)) {
      const qsizetype dip = second ? i + 2 : i + 1;
      const qsizetype kept = second ? i + 1 : i + 2;
      return confirm(ShiftRule::OneDip, i + 3, {i, kept, i + 3}, dip);
    }
  }
  return shift;
}

MucusPeak FindMucusPeak(DaySignsSpan days) {
  MucusPeak p;
  Mucus best = Mucus::Dry;
  qsizetype peakAt = -1;
  for (qsizetype k = 0; k < qsizetype(days.size()); ++k) {
    const DaySigns& d = days[k];
    if (!d.HasMucusRecord() || d.mucus == Mucus::Dry) continue;
    if (!p.firstMucus.isValid()) p.firstMucus = d.date;
    if (d.mucus >= best) {  // the last day of the best quality
      best = d.mucus;
      peakAt = k;
    }
  }
  if (peakAt < 0) return p;
  p.peak = days[peakAt].date;
  p.quality = best;
  p.state = PeakState::Awaiting;
  for (qsizetype k = peakAt + 1; k < qsizetype(days.size()) && p.lowerDays.size() < 3; ++k) {
    const DaySigns& d = days[k];
    if (!d.HasMucusRecord()) continue;  // not recorded, or a period day
    // Every later recorded day is of lower quality: the peak is the last of the best.
    p.lowerDays.append(d.date);
  }
  if (p.lowerDays.size() == 3) {
    p.state = PeakState::Confirmed;
    p.confirmed = p.lowerDays.back();
  }
  return p;
}

CycleSignsReading EvaluateCycle(const QDate& start, const QDate& last, DaySignsSpan days,
                                const CycleContext& context) {
  CycleSignsReading c;
  c.start = start;
  c.last = last;
  c.context = context;
  c.shift = FindTemperatureShift(days);
  c.peak = FindMucusPeak(days);
  if (c.shift.state == ShiftState::Confirmed) {
    c.ovulation = c.shift.firstHigher.addDays(-1);
    if (c.peak.state == PeakState::Confirmed)
      c.fertileEnd = std::max(c.shift.confirmed, c.peak.confirmed);
  }

  if (context.hasPreviousCycle && context.previousShift == ShiftState::Confirmed) {
    c.earlyRule = EarlyRule::FirstFiveDays;
    c.earlyRuleDays = kFirstDaysRule;
    if (context.shiftCycles >= kCyclesForMinusRule && context.earliestFirstHigherDay > 0) {
      const int minus = context.earliestFirstHigherDay - kMinusDays;
      if (minus < c.earlyRuleDays) {
        c.earlyRule = EarlyRule::MinusEight;
        c.earlyRuleDays = std::max(0, minus);
      }
    }
  }
  c.earlyDays = c.earlyRuleDays;
  // Mucus seen within those days ends them; so does a shorter cycle.
  if (c.peak.firstMucus.isValid()) c.earlyDays = std::min(c.earlyDays, c.CycleDay(c.peak.firstMucus) - 1);
  if (last.isValid()) c.earlyDays = std::min(c.earlyDays, c.CycleDay(last));
  c.earlyDays = std::max(0, c.earlyDays);
  return c;
}

QString NotContraceptionText() {
  return QStringLiteral("This reading of your signs is not a method of contraception on its own.");
}

DayStatus CycleDayStatus(const CycleSignsReading& c, const QDate& date, const QDate& today) {
  const int day = c.CycleDay(date);

  if (c.fertileEnd.isValid() && date >= c.fertileEnd) {
    const bool tempLast = c.shift.confirmed >= c.peak.confirmed;
    const QString basis =
        tempLast ? QStringLiteral("temperature rise confirmed on %1 (first higher reading %2, "
                                  "cover line %3); mucus peak %4, confirmed on %5")
                       .arg(Day(c.shift.confirmed, today), Day(c.shift.firstHigher, today),
                            CoverLineText(c),
                            Day(c.peak.peak, today), Day(c.peak.confirmed, today))
                 : QStringLiteral("mucus peak %1, confirmed on %2; temperature rise confirmed on "
                                  "%3 (first higher reading %4)")
                       .arg(Day(c.peak.peak, today), Day(c.peak.confirmed, today),
                            Day(c.shift.confirmed, today), Day(c.shift.firstHigher, today));
    if (date == c.fertileEnd) {
      const QString what = tempLast
          ? QStringLiteral("Temperature rise confirmed on %1").arg(Day(c.shift.confirmed, today))
          : QStringLiteral("Mucus peak of %1 confirmed on %2")
                .arg(Day(c.peak.peak, today), Day(c.peak.confirmed, today));
      return Status(FertilityStatus::FertileEndsTonight,
                    QStringLiteral("%1: after this evening, the fertile phase of this cycle has "
                                   "ended. This rests on the %2.")
                        .arg(what, basis));
    }
    return Status(FertilityStatus::LikelyInfertileAfter,
                  QStringLiteral("Likely infertile until your next period: the fertile phase of "
                                 "this cycle ended on the evening of %1. This rests on the %2.")
                      .arg(Day(c.fertileEnd, today), basis));
  }

  if (day >= 1 && day <= c.earlyDays) {
    const QString rule =
        c.earlyRule == EarlyRule::MinusEight
            ? QStringLiteral("your earliest first higher reading in %1 cycles with a confirmed "
                             "rise was on cycle day %2, so the days up to cycle day %3 count")
                  .arg(c.context.shiftCycles)
                  .arg(c.context.earliestFirstHigherDay)
                  .arg(c.earlyRuleDays)
            : QStringLiteral("the first five days of a cycle count after a cycle with a "
                             "confirmed temperature rise, as your previous cycle had");
    return Status(FertilityStatus::LikelyInfertileEarly,
                  QStringLiteral("Cycle day %1: likely infertile. This rests on the rule for the "
                                 "first days: %2, and no mucus has been seen so far.")
                      .arg(day)
                      .arg(rule));
  }

  // Before the end of the fertile phase, or in a cycle where it has not ended.
  if (today.isValid() && date > today && !c.fertileEnd.isValid())
    return Status(FertilityStatus::NotEnoughReadings,
                  QStringLiteral("Not enough readings: there are no records for this day yet."));

  const QString shift = ShiftSoFar(c, today);
  const QString peak = PeakSoFar(c, today);
  if (c.earlyRule == EarlyRule::None && day <= kFirstDaysRule) {
    // The first days, without the rule that would read them as infertile.
    const QString why =
        !c.context.hasPreviousCycle
            ? QStringLiteral("there is no recorded cycle before this one")
        : c.context.previousShift == ShiftState::TooFewReadings
            ? QStringLiteral("the cycle before has too few temperature readings")
            : QStringLiteral("no temperature rise was confirmed in the cycle before");
    const FertilityStatus status = c.context.hasPreviousCycle &&
                                           c.context.previousShift != ShiftState::TooFewReadings
                                       ? FertilityStatus::PossiblyFertile
                                       : FertilityStatus::NotEnoughReadings;
    const QString head = status == FertilityStatus::NotEnoughReadings
                             ? QStringLiteral("Not enough readings to read cycle day %1 as infertile")
                             : QStringLiteral("Cycle day %1 is not read as infertile");
    return Status(status, QStringLiteral("%1: the first days of a cycle count as likely "
                                         "infertile only after a cycle with a confirmed "
                                         "temperature rise, and %2.")
                              .arg(head.arg(day), why));
  }

  if (c.shift.state == ShiftState::TooFewReadings && c.peak.state == PeakState::NoMucus)
    return Status(FertilityStatus::NotEnoughReadings,
                  QStringLiteral("Not enough readings: %1; %2. Treat this day as possibly "
                                 "fertile.")
                      .arg(ReadingsCount(c.shift), peak));

  QString from;
  if (c.peak.firstMucus.isValid() && date >= c.peak.firstMucus)
    from = QStringLiteral("mucus was first seen on %1").arg(Day(c.peak.firstMucus, today));
  else if (c.earlyDays > 0)
    from = QStringLiteral("the first days of the cycle ended on cycle day %1").arg(c.earlyDays);
  else
    from = QStringLiteral("no rule reads this day as infertile");
  return Status(FertilityStatus::PossiblyFertile,
                QStringLiteral("Possibly fertile: %1; %2; %3. The fertile phase ends on the "
                               "evening of the later of the two confirmations.")
                    .arg(from, shift, peak));
}
