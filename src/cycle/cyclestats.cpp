#include "cycle/cyclestats.h"

#include <algorithm>
#include <cmath>

namespace {

const QChar kDash(0x2013);  // en dash between the days of a window

QString CyclesWord(int n) { return n == 1 ? QStringLiteral("cycle") : QStringLiteral("cycles"); }

QString FullDate(const QDate& date, const QLocale& locale) {
  return QStringLiteral("%1 %2 %3")
      .arg(date.day())
      .arg(locale.monthName(date.month(), QLocale::LongFormat))
      .arg(date.year());
}

}  // namespace

QVector<QDate> StartDates(const QVector<PeriodStart>& starts) {
  QVector<QDate> dates;
  dates.reserve(starts.size());
  for (const PeriodStart& s : starts) dates.append(s.date);
  return dates;
}

QVector<Cycle> CyclesFromStarts(const QVector<QDate>& starts, const QVector<CyclePause>& pauses) {
  QVector<QDate> sorted;
  sorted.reserve(starts.size());
  for (const QDate& d : starts)
    if (d.isValid()) sorted.append(d);
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());

  QVector<Cycle> cycles;
  cycles.reserve(sorted.size());
  for (qsizetype i = 0; i < sorted.size(); ++i) {
    Cycle c;
    c.start = sorted[i];
    if (i + 1 < sorted.size()) {
      c.length = static_cast<int>(sorted[i].daysTo(sorted[i + 1]));
      const QDate last = c.LastDay();
      const bool paused = std::any_of(pauses.begin(), pauses.end(), [&](const CyclePause& p) {
        return p.Overlaps(c.start, last);
      });
      if (paused) c.leftOut = CycleLeftOut::Paused;
      else if (c.length > kLongestCountedCycle) c.leftOut = CycleLeftOut::TooLong;
    }
    cycles.append(c);
  }
  return cycles;
}

CycleStats ComputeCycleStats(const QVector<Cycle>& cycles) {
  CycleStats s;
  QVector<int> lengths;
  for (const Cycle& c : cycles) {
    if (c.IsCurrent()) continue;
    ++s.complete;
    if (c.leftOut == CycleLeftOut::TooLong) ++s.leftOutTooLong;
    else if (c.leftOut == CycleLeftOut::Paused) ++s.leftOutPaused;
    else lengths.append(c.length);
  }
  s.counted = static_cast<int>(lengths.size());
  if (!s.HasFigures()) return s;

  const qsizetype from = std::max<qsizetype>(0, lengths.size() - kCyclesAveraged);
  const QVector<int> used = lengths.mid(from);
  s.used = static_cast<int>(used.size());
  long long sum = 0;
  for (int n : used) sum += n;
  s.average = double(sum) / s.used;
  // Halves up; the sum is whole, so this is exact.
  s.averageDays = static_cast<int>((2 * sum + s.used) / (2 * s.used));
  s.shortest = *std::min_element(used.begin(), used.end());
  s.longest = *std::max_element(used.begin(), used.end());
  double squares = 0;
  for (int n : used) squares += (n - s.average) * (n - s.average);
  s.deviation = std::sqrt(squares / (s.used - 1));
  return s;
}

bool CycleForecast::InWindow(const QDate& date) const { return WindowOn(date) != nullptr; }

const PeriodWindow* CycleForecast::WindowOn(const QDate& date) const {
  for (const PeriodWindow& w : windows)
    if (w.Contains(date)) return &w;
  return nullptr;
}

CycleForecast ForecastCycles(const QVector<Cycle>& cycles, const QVector<CyclePause>& pauses,
                             const QDate& today) {
  CycleForecast f;
  f.stats = ComputeCycleStats(cycles);
  if (cycles.isEmpty()) return f;
  f.lastStart = cycles.back().start;
  const QDate until = today.isValid() && today > f.lastStart ? today : f.lastStart;
  for (const CyclePause& p : pauses)
    if (p.Overlaps(f.lastStart, until) || (p.IsOpen() && p.first <= until)) {
      f.pause = p;
      break;
    }
  if (f.pause || !f.stats.HasFigures()) return f;
  const int margin = f.stats.WindowMargin();
  for (int k = 1; k <= kPredictedPeriods; ++k) {
    PeriodWindow w;
    w.expected = f.lastStart.addDays(qint64(k) * f.stats.averageDays);
    w.first = w.expected.addDays(-margin);
    w.last = w.expected.addDays(margin);
    f.windows.append(w);
  }
  return f;
}

QString DayMonthText(const QDate& date, const QDate& today, const QLocale& locale) {
  if (today.isValid() && date.year() != today.year()) return FullDate(date, locale);
  return QStringLiteral("%1 %2").arg(date.day()).arg(locale.monthName(date.month(), QLocale::LongFormat));
}

QString DateWindowText(const QDate& first, const QDate& last, const QDate& today,
                       const QLocale& locale) {
  if (first.year() != last.year()) return FullDate(first, locale) + kDash + FullDate(last, locale);
  const QString year =
      today.isValid() && last.year() != today.year() ? QStringLiteral(" %1").arg(last.year()) : QString();
  const QString month = locale.monthName(last.month(), QLocale::LongFormat);
  if (first.month() == last.month())
    return QStringLiteral("%1%2%3 %4%5").arg(first.day()).arg(kDash).arg(last.day()).arg(month, year);
  return QStringLiteral("%1 %2%3%4 %5%6")
      .arg(first.day())
      .arg(locale.monthName(first.month(), QLocale::LongFormat))
      .arg(kDash)
      .arg(last.day())
      .arg(month, year);
}

QString NextPeriodText(const CycleForecast& f, const QDate& today, const QLocale& locale) {
  if (f.pause) {
    const CyclePause& p = *f.pause;
    if (p.IsOpen() || p.Contains(today))
      return QStringLiteral("No period is predicted during a pause (%1 since %2).")
          .arg(PauseKindName(p.kind), FullDate(p.first, locale));
    return QStringLiteral("No period is predicted until you record the first period after "
                          "your pause (%1, %2).")
        .arg(PauseKindName(p.kind), DateWindowText(p.first, p.last, QDate(), locale));
  }
  const CycleStats& s = f.stats;
  if (!s.HasFigures()) {
    const int needed = s.CyclesNeeded();
    return QStringLiteral("%1 more %2 %3 needed before your next period can be predicted "
                          "from your own history (%4 so far).")
        .arg(needed)
        .arg(CyclesWord(needed), needed == 1 ? QStringLiteral("is") : QStringLiteral("are"))
        .arg(s.counted);
  }
  if (f.windows.isEmpty()) return {};
  const PeriodWindow& w = f.windows.front();
  const QString from = QStringLiteral("(from your last %1 %2)").arg(s.used).arg(CyclesWord(s.used));
  const QString days = DateWindowText(w.first, w.last, today, locale);
  if (today.isValid() && today > w.last)
    return QStringLiteral("Your period was expected %1 %2 and no start has been recorded since.")
        .arg(days, from);
  return QStringLiteral("Next period expected %1 %2.").arg(days, from);
}

QString LeftOutText(const CycleStats& s) {
  QStringList parts;
  if (s.leftOutTooLong)
    parts << QStringLiteral("%1 %2 longer than %3 days")
                 .arg(s.leftOutTooLong)
                 .arg(CyclesWord(s.leftOutTooLong))
                 .arg(kLongestCountedCycle);
  if (s.leftOutPaused)
    parts << QStringLiteral("%1 %2 in a pause").arg(s.leftOutPaused).arg(CyclesWord(s.leftOutPaused));
  if (parts.isEmpty()) return {};
  return QStringLiteral("Left out of the figures: %1.").arg(parts.join(QStringLiteral(" and ")));
}

QString FiguresText(const CycleStats& s, const QLocale& locale) {
  if (!s.HasFigures()) return {};
  return QStringLiteral("Average %1 days over your last %2 %3; shortest %4, longest %5; "
                        "standard deviation %6 days.")
      .arg(locale.toString(s.average, 'f', s.average == std::floor(s.average) ? 0 : 1))
      .arg(s.used)
      .arg(CyclesWord(s.used))
      .arg(s.shortest)
      .arg(s.longest)
      .arg(locale.toString(s.deviation, 'f', 1));
}

QString ScriptNumber(double value) {
  QString t = QLocale::c().toString(std::round(value * 100) / 100, 'f', 2);
  while (t.endsWith(u'0')) t.chop(1);
  if (t.endsWith(u'.')) t.chop(1);
  return t;
}
