#include "basal/basalwindow.h"

#include <algorithm>

#include "basal/basalscale.h"

QDate BasalWindowStart(int year, int month) {
  const QDate first(year, month, 1);
  if (!first.isValid()) return {};
  return QDate(year, month, first.daysInMonth()).addDays(-30);
}

QDate ColumnDate(const QDate& start, int column) { return start.addDays(column - 1); }

int DateColumn(const QDate& start, const QDate& date) {
  if (!start.isValid() || !date.isValid()) return 0;
  const qint64 c = start.daysTo(date) + 1;
  return (c >= 1 && c <= kBasalDayColumns) ? static_cast<int>(c) : 0;
}

bool IsRiseDay(const BarTops& tops, int column) {
  if (column < 2 || column > kBasalDayColumns) return false;
  const int today = tops[column];
  const int before = tops[column - 1];
  if (!IsAboveCoverLine(today) || !IsAtOrBelowCoverLine(before)) return false;
  if (before - today <= 3) return false;
  for (int i = std::max(column - 10, 1); i < column; ++i)
    if (IsAboveCoverLine(tops[i])) return false;
  return true;
}
