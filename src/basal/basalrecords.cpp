#include "basal/basalrecords.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>

#include "basal/basalchart.h"
#include "basal/basaltemperature.h"

Mucus MucusFromDischarge(const QString& code) {
  const QString c = code.trimmed();
  if (c == QLatin1String("W")) return Mucus::Wet;
  if (c == QLatin1String("S")) return Mucus::Sticky;
  if (c == QLatin1String("D")) return Mucus::Dry;
  return Mucus::None;
}

bool IsPeriodCode(const QString& code) { return code.trimmed() == QLatin1String("P"); }

void ReadBasalYear(const CellGrid& grid, int year, TemperatureUnit unit, DaySignsList* days) {
  const QDate first(year, 1, 1);
  if (!first.isValid() || !days) return;
  const int rows = std::min(grid.RowCount(), YearGridRowCount(year));
  for (int r = 1; r < rows; ++r) {
    const QDate date = first.addDays(r - 1);
    if (date.year() != year) break;
    const QString discharge = grid.Cell(kDischargeCol, r);
    DaySigns d;
    d.date = date;
    d.period = IsPeriodCode(discharge);
    d.mucus = MucusFromDischarge(discharge);
    const BasalReading reading = ReadBasalReading(grid, r, unit);
    d.temperature = reading.temperature;
    d.disturbed = reading.disturbance != Disturbance::None;
    if (d.temperature || d.period || d.mucus != Mucus::None) days->append(d);
  }
}

void ReplaceBasalYear(DaySignsList* days, const CellGrid& grid, int year, TemperatureUnit unit) {
  if (!days) return;
  days->removeIf([year](const DaySigns& d) { return d.date.year() == year; });
  ReadBasalYear(grid, year, unit, days);
  SortDaySigns(*days);
}

QVector<int> BasalYears(const QString& basalFolder) {
  static const QRegularExpression kName(QStringLiteral("^(\\d{4})-Basal\\.txt$"));
  QVector<int> years;
  // Everything of such a name, so that a folder or a broken link in the way is reported.
  const QStringList names =
      QDir(basalFolder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& name : names) {
    const QRegularExpressionMatch m = kName.match(name);
    if (m.hasMatch()) years.append(m.captured(1).toInt());
  }
  std::sort(years.begin(), years.end());
  return years;
}

bool ReadBasalFolder(const QString& basalFolder, TemperatureUnit unit, DaySignsList* days,
                     QStringList* errors) {
  bool ok = true;
  for (int year : BasalYears(basalFolder)) {
    CellGrid grid;
    QString error;
    if (!OpenYearGrid(grid, year, kBasalYearColumns, BasalYearHeaders(),
                      BasalYearPath(basalFolder, year), &error)) {
      ok = false;
      if (errors) errors->append(error);
      continue;
    }
    ReadBasalYear(grid, year, unit, days);
  }
  if (days) SortDaySigns(*days);
  return ok;
}
