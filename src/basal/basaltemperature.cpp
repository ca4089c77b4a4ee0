#include "basal/basaltemperature.h"

#include <QtGlobal>
#include <algorithm>

#include "basal/basalchart.h"
#include "basal/basalscale.h"

QString DisturbedHeader() { return QStringLiteral("Disturbed"); }

QString DisturbanceWord(Disturbance d) {
  switch (d) {
    case Disturbance::None: return {};
    case Disturbance::Sleep: return QStringLiteral("sleep");
    case Disturbance::Illness: return QStringLiteral("illness");
    case Disturbance::Alcohol: return QStringLiteral("alcohol");
    case Disturbance::Other: return QStringLiteral("disturbed");
  }
  return {};
}

Disturbance DisturbanceFromText(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return Disturbance::None;
  for (Disturbance d : {Disturbance::Sleep, Disturbance::Illness, Disturbance::Alcohol})
    if (t.compare(DisturbanceWord(d), Qt::CaseInsensitive) == 0) return d;
  return Disturbance::Other;
}

QString DisturbanceName(Disturbance d) {
  switch (d) {
    case Disturbance::None: return {};
    case Disturbance::Sleep: return QStringLiteral("short sleep or a late night");
    case Disturbance::Illness: return QStringLiteral("illness or fever");
    case Disturbance::Alcohol: return QStringLiteral("alcohol");
    case Disturbance::Other: return QStringLiteral("disturbed");
  }
  return {};
}

int LevelHundredths(int barTop, TemperatureUnit unit) {
  const double value =
      unit == TemperatureUnit::Celsius ? LevelCelsius(barTop) : LevelFahrenheit(barTop);
  return qRound(value * 100);
}

int NearestLevel(const BodyTemperature& t) {
  // Level rows are 0.10 °F or 0.05 °C apart, row 1 the warmest.
  const int top = LevelHundredths(1, t.Unit());
  const int step = t.Unit() == TemperatureUnit::Celsius ? 5 : 10;
  const int below = top - t.Hundredths();
  if (below <= 0) return 1;
  const int rows = (below + step / 2) / step;  // halves go to the cooler row
  return std::clamp(rows + 1, 1, kBasalLevelRows);
}

BasalReading ReadBasalReading(const CellGrid& grid, int row, TemperatureUnit unit) {
  BasalReading r;
  r.level = ParseBarTop(grid.Cell(kBarTopCol, row));
  if (grid.ColCount() > kDisturbedCol)
    r.disturbance = DisturbanceFromText(grid.Cell(kDisturbedCol, row));
  if (r.level == 0) return r;
  const int column = unit == TemperatureUnit::Celsius ? kCelsiusCol : kFahrenheitCol;
  r.temperature = ParseStoredTemperature(grid.Cell(column, row), unit);
  const int levelValue = LevelHundredths(r.level, unit);
  if (!r.temperature) r.temperature = BodyTemperature(levelValue, unit);
  r.precise = r.temperature->Hundredths() != levelValue;
  return r;
}

int WriteBasalTemperature(CellGrid& grid, int row, const BodyTemperature& t) {
  const int level = NearestLevel(t);
  grid.SetCell(kFahrenheitCol, row, t.TextIn(TemperatureUnit::Fahrenheit, QLocale::c()));
  grid.SetCell(kCelsiusCol, row, t.TextIn(TemperatureUnit::Celsius, QLocale::c()));
  grid.SetCell(kBarTopCol, row, QString::number(level));
  return level;
}

void WriteBasalLevel(CellGrid& grid, int row, int barTop, TemperatureUnit unit) {
  if (barTop < 1 || barTop > kBasalLevelRows) {
    grid.SetCell(kFahrenheitCol, row, FahrenheitText(0));
    grid.SetCell(kCelsiusCol, row, CelsiusText(0));
    grid.SetCell(kBarTopCol, row, QStringLiteral("0"));
    return;
  }
  const BodyTemperature t(LevelHundredths(barTop, unit), unit);
  grid.SetCell(kFahrenheitCol, row, t.TextIn(TemperatureUnit::Fahrenheit, QLocale::c()));
  grid.SetCell(kCelsiusCol, row, t.TextIn(TemperatureUnit::Celsius, QLocale::c()));
  grid.SetCell(kBarTopCol, row, QString::number(barTop));
}

void WriteBasalDisturbance(CellGrid& grid, int row, Disturbance d) {
  if (grid.ColCount() <= kDisturbedCol) {
    if (d == Disturbance::None) return;  // no column, no mark: nothing to clear
    grid.SetColCount(kDisturbedCol + 1);
    grid.SetCell(kDisturbedCol, 0, DisturbedHeader());
  }
  grid.SetCell(kDisturbedCol, row, DisturbanceWord(d));
}
