#include "core/monthwindow.h"

QDate MonthWindowStart(int year, int month) {
  const QDate first(year, month, 1);
  if (!first.isValid()) return {};
  return QDate(year, month, first.daysInMonth()).addDays(-30);
}

QDate WindowColumnDate(const QDate& start, int column) { return start.addDays(column - 1); }

int WindowDateColumn(const QDate& start, const QDate& date) {
  if (!start.isValid() || !date.isValid()) return 0;
  const qint64 c = start.daysTo(date) + 1;
  return (c >= 1 && c <= kWindowDays) ? static_cast<int>(c) : 0;
}
