#pragma once
// The basal chart's fixed temperature scale: sixteen level rows, 0.1 °F or 0.05 °C apart,
// with the cover line under level row 12. A bar top is stored once; both temperatures are
// derived from it.

#include <QString>

inline constexpr int kBasalLevelRows = 16;
// Bars with a top in rows 1..11 stand above the cover line, 12..16 at or below it.
inline constexpr int kCoverLineRow = 12;

// Bar top 1..16 (0: no bar). Row r reads 98.7 - 0.1 (r - 1) °F and 37.05 - 0.05 (r - 1) °C,
// so no bar gives 98.8 and 37.1.
double LevelFahrenheit(int barTop);
double LevelCelsius(int barTop);

// The stored texts, format "0.00" with "." whatever the locale (98.30, 36.85).
QString FahrenheitText(int barTop);
QString CelsiusText(int barTop);

// The label of level row 1..16: "98.7 °F" for units "F", "37.05 °C" for "C"; any other
// unit has no labels.
QString LevelLabel(int row, const QString& units);

// The bar top that a click on level row 1..16 leaves: the row itself, except the bottom
// row, which clears the bar.
int BarTopForClick(int row);

// Reads a stored bar top; 0 (no bar) for anything but a whole number from 1 to 16.
int ParseBarTop(const QString& text);

inline bool IsAboveCoverLine(int barTop) { return barTop >= 1 && barTop < kCoverLineRow; }
inline bool IsAtOrBelowCoverLine(int barTop) {
  return barTop >= kCoverLineRow && barTop <= kBasalLevelRows;
}
