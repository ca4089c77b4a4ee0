#include "core/cyclemodel.h"

// Every text here is a QStringLiteral, so returning it copies a pointer to static data
// and never allocates.

QString GoalName(int goal) {
  switch (goal) {
    case 0: return QStringLiteral("Avoid Pregnancy");
    case 1: return QStringLiteral("Conceive");
    case 2: return QStringLiteral("Conceive a Boy");
    case 3: return QStringLiteral("Conceive a Girl");
    default: return QString();
  }
}

int OvulationIndex(const CycleSettings& s) { return s.CycleLength - s.LutealLength; }

int DayIndex(const CycleSettings& s, qint64 julianDay) {
  // Settings that cannot place a date (no last period, a cycle of no length) put every
  // date at index 0 rather than dividing by zero or reading the null date's sentinel.
  const qint64 len = s.CycleLength;
  if (len <= 0 || !s.LastPeriod.isValid()) return 0;
  // Reducing both days before subtracting keeps any julian day free of overflow; the
  // floored modulo gives what adding whole cycles until the difference is positive gives.
  qint64 k = julianDay % len - s.LastPeriod.toJulianDay() % len;
  k %= len;
  if (k < 0) k += len;
  return static_cast<int>(k);
}

namespace {

CycleClassKind ClassOfIndex(const CycleSettings& s, int d) {
  if (d <= 4) return static_cast<CycleClassKind>(static_cast<int>(CycleClassKind::PeriodDay1) + d);
  const int o = OvulationIndex(s);
  if (d == o) return CycleClassKind::Ovulation;
  if (d >= o - 4 && d <= o + 1) return CycleClassKind::Fertile;
  return CycleClassKind::Neutral;
}

}  // namespace

CycleClassKind CycleClass(const CycleSettings& s, qint64 julianDay) {
  return ClassOfIndex(s, DayIndex(s, julianDay));
}

int DayIndex(const CycleSettings& s, const QDate& date) {
  if (!date.isValid()) return 0;
  return DayIndex(s, date.toJulianDay());
}

CycleClassKind CycleClass(const CycleSettings& s, const QDate& date) {
  return ClassOfIndex(s, DayIndex(s, date));
}

QColor ClassColour(CycleClassKind c) {
  switch (c) {
    case CycleClassKind::PeriodDay1: return QColor(255, 98, 98);
    case CycleClassKind::PeriodDay2: return QColor(255, 128, 128);
    case CycleClassKind::PeriodDay3: return QColor(255, 164, 164);
    case CycleClassKind::PeriodDay4: return QColor(255, 213, 213);
    case CycleClassKind::PeriodDay5: return QColor(255, 236, 236);
    case CycleClassKind::Fertile: return QColor(148, 235, 156);
    case CycleClassKind::Ovulation: return QColor(45, 215, 53);
    case CycleClassKind::Neutral: break;
  }
  return QColor(233, 247, 252);
}

QColor CycleColour(const CycleSettings& s, const QDate& date) {
  return ClassColour(CycleClass(s, date));
}

int OvulationOffset(const CycleSettings& s, const QDate& date) {
  return DayIndex(s, date) - OvulationIndex(s);
}

int CycleDayNumber(const CycleSettings& s, const QDate& date) {
  if (s.CycleLength <= 0 || !s.LastPeriod.isValid() || !date.isValid()) return 1;
  const int d = DayIndex(s, date);
  // Before the last period the days count backwards: the day before it is day 1.
  if (date < s.LastPeriod) return s.CycleLength - d;
  return d + 1;
}

bool IsCriticalDay(CycleClassKind c) {
  return c == CycleClassKind::PeriodDay1 || c == CycleClassKind::PeriodDay2 ||
         c == CycleClassKind::PeriodDay3 || c == CycleClassKind::PeriodDay4 ||
         c == CycleClassKind::PeriodDay5;
}

bool IsFertileDay(CycleClassKind c) {
  return c == CycleClassKind::Fertile || c == CycleClassKind::Ovulation;
}

QString AdviceText(const CycleSettings& s, const QDate& date) {
  if (s.Goal < 0 || s.Goal > 3) return QString();
  const int off = OvulationOffset(s, date);
  // The boy and girl days override the class, whatever it is.
  if (s.Goal == 2 && off >= -1 && off <= 1)
    return QStringLiteral("Fertile Day. You have a good chance to conceive a Boy.");
  if (s.Goal == 3 && off >= -4 && off <= -2)
    return QStringLiteral("Fertile Day. You have a good chance to conceive a Girl.");
  const CycleClassKind c = CycleClass(s, date);
  if (IsCriticalDay(c)) return QStringLiteral("Critical Day. Abstain from intercourse.");
  if (IsFertileDay(c)) {
    if (s.Goal == 0) return QStringLiteral("Fertile Day. Abstain from intercourse.");
    return QStringLiteral("Fertile Day. You have a good chance to conceive a baby.");
  }
  return QStringLiteral("Non Fertile Day. Your chances of conceiving a baby are low.");
}

GoalMarkKind GoalMark(const CycleSettings& s, const QDate& date) {
  const int off = OvulationOffset(s, date);
  const CycleClassKind c = CycleClass(s, date);
  switch (s.Goal) {
    case 0:
      return (off >= -6 && off <= 3) || IsCriticalDay(c) ? GoalMarkKind::Cross
                                                         : GoalMarkKind::None;
    case 1:
      if (c == CycleClassKind::Ovulation) return GoalMarkKind::OvulationHeart;
      if (c == CycleClassKind::Fertile) return GoalMarkKind::Heart;
      return GoalMarkKind::None;
    case 2:
      if (off < -1 || off > 1) return GoalMarkKind::None;
      return c == CycleClassKind::Ovulation ? GoalMarkKind::OvulationHeart : GoalMarkKind::Heart;
    case 3:
      return off >= -4 && off <= -2 ? GoalMarkKind::Heart : GoalMarkKind::None;
    default:
      return GoalMarkKind::None;
  }
}

std::optional<int> ProbabilityPoint(const CycleSettings& s, const QDate& date) {
  static constexpr int kPercent[] = {2, 2, 2, 8, 13, 10, 30, 25, 7, 2, 2};  // offsets -8..2
  const int off = OvulationOffset(s, date);
  if (off < -8 || off > 2) return std::nullopt;
  return kPercent[off + 8];
}

QDate DueDate(const QDate& conception) { return conception.addDays(kDueDays); }

QString ZodiacSign(const QDate& date) {
  if (!date.isValid()) return QString();
  // For each month: the last day of the sign that month starts in.
  static constexpr int kLastDay[] = {19, 18, 20, 19, 20, 20, 22, 22, 22, 22, 21, 22};
  const int m = date.month();  // 1..12
  // The sign that starts the month m is sign m - 1 in this list (Capricorn starts January).
  const bool later = date.day() > kLastDay[m - 1];
  switch ((m - 1 + (later ? 1 : 0)) % 12) {
    case 0: return QStringLiteral("Capricorn");
    case 1: return QStringLiteral("Aquarius");
    case 2: return QStringLiteral("Pisces");
    case 3: return QStringLiteral("Aries");
    case 4: return QStringLiteral("Taurus");
    case 5: return QStringLiteral("Gemini");
    case 6: return QStringLiteral("Cancer");
    case 7: return QStringLiteral("Leo");
    case 8: return QStringLiteral("Virgo");
    case 9: return QStringLiteral("Libra");
    case 10: return QStringLiteral("Scorpio");
    default: return QStringLiteral("Sagittarius");
  }
}
