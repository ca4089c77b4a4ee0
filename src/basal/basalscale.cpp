#include "basal/basalscale.h"

#include "core/textutil.h"

namespace {
// Hundredths of a degree, so that every level is exact before it is formatted.
int FahrenheitHundredths(int barTop) { return 9870 - 10 * (barTop - 1); }
int CelsiusHundredths(int barTop) { return 3705 - 5 * (barTop - 1); }
}  // namespace

double LevelFahrenheit(int barTop) { return FahrenheitHundredths(barTop) / 100.0; }
double LevelCelsius(int barTop) { return CelsiusHundredths(barTop) / 100.0; }

QString FahrenheitText(int barTop) { return StoredFixedText(LevelFahrenheit(barTop), 2); }

QString CelsiusText(int barTop) { return StoredFixedText(LevelCelsius(barTop), 2); }

QString LevelLabel(int row, const QString& units) {
  if (row < 1 || row > kBasalLevelRows) return {};
  if (units == QLatin1String("F"))
    return FormatNumber(QStringLiteral("0.0"), LevelFahrenheit(row)) + QStringLiteral(" \u00B0F");
  if (units == QLatin1String("C"))
    return FormatNumber(QStringLiteral("0.00"), LevelCelsius(row)) + QStringLiteral(" \u00B0C");
  return {};
}

int BarTopForClick(int row) {
  if (row < 1 || row >= kBasalLevelRows) return 0;
  return row;
}

int ParseBarTop(const QString& text) {
  bool ok = false;
  const int t = text.trimmed().toInt(&ok);
  if (!ok || t < 1 || t > kBasalLevelRows) return 0;
  return t;
}
