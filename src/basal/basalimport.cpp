#include "basal/basalimport.h"

#include <QFileInfo>
#include <QMap>
#include <cmath>

#include "app/config.h"
#include "app/datafolders.h"
#include "basal/basalchart.h"
#include "basal/basalscale.h"
#include "basal/basalsigns.h"
#include "basal/basaltemperature.h"
#include "core/gridfile.h"
#include "core/textfile.h"

namespace {

struct BasalDay {
  QDate date;
  std::optional<BodyTemperature> temperature;
  QString discharge, cervix;
  bool intercourse = false;
  Disturbance disturbance = Disturbance::None;
};

bool DayHoldsSomething(const CellGrid& grid, int row) {
  return ParseBarTop(grid.Cell(kBarTopCol, row)) != 0 ||
         !grid.Cell(kDischargeCol, row).trimmed().isEmpty() ||
         !grid.Cell(kCervixCol, row).trimmed().isEmpty() ||
         grid.Cell(kIntercourseCol, row).trimmed() == QLatin1String(kIntercourseMark);
}

bool SameDay(const CellGrid& grid, int row, const BasalDay& d, TemperatureUnit unit) {
  const BasalReading reading = ReadBasalReading(grid, row, unit);
  return reading.temperature == d.temperature && reading.disturbance == d.disturbance &&
         grid.Cell(kDischargeCol, row).trimmed() == d.discharge &&
         grid.Cell(kCervixCol, row).trimmed() == d.cervix &&
         (grid.Cell(kIntercourseCol, row).trimmed() == QLatin1String(kIntercourseMark)) ==
             d.intercourse;
}

void WriteDay(CellGrid& grid, int row, const BasalDay& d, TemperatureUnit unit) {
  if (d.temperature)
    WriteBasalTemperature(grid, row, *d.temperature);
  else
    WriteBasalLevel(grid, row, 0, unit);
  grid.SetCell(kDischargeCol, row, d.discharge);
  grid.SetCell(kCervixCol, row, d.cervix);
  grid.SetCell(kIntercourseCol, row, d.intercourse ? QString::fromLatin1(kIntercourseMark) : QString());
  if (d.disturbance != Disturbance::None || grid.ColCount() > kDisturbedCol)
    WriteBasalDisturbance(grid, row, d.temperature ? d.disturbance : Disturbance::None);
}

bool ReadTemperature(const RecordTable& table, int row, const QString& column,
                     const QString& text, TemperatureUnit unit,
                     std::optional<BodyTemperature>* t, QString* error) {
  double value = 0;
  if (!ImportNumber(table, row, column, text, &value, error)) return false;
  const BodyTemperature reading(int(std::lround(value * 100)), unit);
  if (!reading.IsInRange()) {
    if (error)
      *error = QStringLiteral("%1: the temperature %2 %3 lies outside 35.00 to 42.00 °C "
                              "(95.00 to 107.60 °F)")
                   .arg(table.Where(row), text, TemperatureUnitSymbol(unit));
    return false;
  }
  *t = reading;
  return true;
}

}  // namespace

bool ImportBasalTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                      ImportTally* tally, QString* error) {
  QHash<QString, int> col;
  const QString kF = QStringLiteral("fahrenheit"), kC = QStringLiteral("celsius");
  if (!ImportColumns(table, {QStringLiteral("date")},
                     {kF, kC, QStringLiteral("discharge"), QStringLiteral("cervix"),
                      QStringLiteral("intercourse"), QStringLiteral("disturbed")},
                     &col, error))
    return false;
  if (col.value(kF) < 0 && col.value(kC) < 0 && col.value(QStringLiteral("discharge")) < 0) {
    if (error)
      *error = QStringLiteral("%1: it has no column \"fahrenheit\", \"celsius\" or \"discharge\"")
                   .arg(table.fileName);
    return false;
  }
  const TemperatureUnit unit = TemperatureUnitFromSetting(
      Config::StoredTemperatureUnits(dir.ConfigFolder() + QStringLiteral("application.ini")));
  const QString mine = unit == TemperatureUnit::Celsius ? kC : kF;
  const QString other = unit == TemperatureUnit::Celsius ? kF : kC;
  const TemperatureUnit otherUnit =
      unit == TemperatureUnit::Celsius ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;

  QMap<int, QList<BasalDay>> years;
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    BasalDay d;
    if (!ImportDate(table, r, ImportField(row, col.value(QStringLiteral("date"))), &d.date, error))
      return false;
    const QString own = ImportField(row, col.value(mine));
    const QString second = ImportField(row, col.value(other));
    if (!own.isEmpty()) {
      if (!ReadTemperature(table, r, mine, own, unit, &d.temperature, error)) return false;
    } else if (!second.isEmpty()) {
      std::optional<BodyTemperature> t;
      if (!ReadTemperature(table, r, other, second, otherUnit, &t, error)) return false;
      d.temperature = BodyTemperature(t->HundredthsIn(unit), unit);
    }
    d.discharge = ImportField(row, col.value(QStringLiteral("discharge")));
    d.cervix = ImportField(row, col.value(QStringLiteral("cervix")));
    const QString intercourse = ImportField(row, col.value(QStringLiteral("intercourse")));
    if (!intercourse.isEmpty() && intercourse.compare(QLatin1String("yes"), Qt::CaseInsensitive) != 0) {
      if (error)
        *error = QStringLiteral("%1: intercourse is \"yes\" or empty, not \"%2\"")
                     .arg(table.Where(r), intercourse);
      return false;
    }
    d.intercourse = !intercourse.isEmpty();
    const QString disturbed = ImportField(row, col.value(QStringLiteral("disturbed")));
    d.disturbance = DisturbanceFromText(disturbed);
    if (!d.temperature && d.discharge.isEmpty() && d.cervix.isEmpty() && !d.intercourse) continue;
    years[d.date.year()] << d;
  }

  for (auto it = years.cbegin(); it != years.cend(); ++it) {
    const int year = it.key();
    const QString path = BasalYearPath(dir.BasalFolder(), year);
    CellGrid grid;
    if (!OpenYearGrid(grid, year, kBasalYearColumns, BasalYearHeaders(), path, error)) return false;
    bool changed = false;
    for (const BasalDay& d : it.value()) {
      const int row = YearGridRow(d.date);
      if (DayHoldsSomething(grid, row)) {
        if (SameDay(grid, row, d, unit)) continue;
        ++tally->held;
        if (!Replaces(mode)) continue;
      } else {
        ++tally->added;
      }
      WriteDay(grid, row, d, unit);
      changed = true;
    }
    // Checked before the first write of the import, not at this year's.
    if (changed && !MayWriteFile(path, error)) return false;
    if (changed && Writes(mode) && !SaveGridFile(grid, path, error)) return false;
  }
  return true;
}
