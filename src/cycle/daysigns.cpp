#include "cycle/daysigns.h"

#include <algorithm>

#include "cycle/periodhistory.h"

namespace {
bool Earlier(const DaySigns& d, const QDate& date) { return d.date < date; }
}  // namespace

void SortDaySigns(DaySignsList& days) {
  std::stable_sort(days.begin(), days.end(),
                   [](const DaySigns& a, const DaySigns& b) { return a.date < b.date; });
  // Of equal dates the last one read stays (the stable sort keeps their order).
  DaySignsList unique;
  unique.reserve(days.size());
  for (qsizetype i = 0; i < days.size(); ++i)
    if (i + 1 == days.size() || days[i + 1].date != days[i].date) unique.append(days[i]);
  days.swap(unique);
}

DaySignsSpan DaysBetween(const DaySignsList& days, const QDate& first, const QDate& last) {
  const DaySigns* begin = days.constData();
  const DaySigns* end = begin + days.size();
  const DaySigns* from = first.isValid() ? std::lower_bound(begin, end, first, Earlier) : begin;
  const DaySigns* to =
      last.isValid() ? std::lower_bound(from, end, last.addDays(1), Earlier) : end;
  return DaySignsSpan(from, to);
}

const DaySigns* DayOn(const DaySignsList& days, const QDate& date) {
  const DaySigns* begin = days.constData();
  const DaySigns* end = begin + days.size();
  const DaySigns* at = std::lower_bound(begin, end, date, Earlier);
  return at != end && at->date == date ? at : nullptr;
}

QVector<QDate> PeriodStartsFromDays(const DaySignsList& days) {
  QVector<QDate> starts;
  QDate previousPeriodDay;
  for (const DaySigns& d : days) {
    if (!d.period) continue;
    const bool runGoesOn = previousPeriodDay.isValid() && previousPeriodDay.daysTo(d.date) == 1;
    const bool samePeriod =
        !starts.isEmpty() && starts.back().daysTo(d.date) < kSamePeriodDays;
    if (!runGoesOn && !samePeriod) starts.append(d.date);
    previousPeriodDay = d.date;
  }
  return starts;
}
