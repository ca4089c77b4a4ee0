#pragma once
// Precise waking temperatures and the disturbed mark in the basal year file.
//
// Columns 1 ("Farenheit") and 2 ("Celsius") hold one reading in both units, format
// "0.00" with "." whatever the locale, as the level texts are written (a file written
// under a locale with a decimal comma, "36,85", still reads): the value in her unit as
// she entered it, and its exact conversion (97.40 °F and 36.33 °C). Column 3 ("BarHeight")
// holds the level row of the 16-step scale of her unit nearest to the reading, clamped
// to 1..16 (halves go to the cooler row), so the grid chart and every older reader see a
// bar as before. A day has a reading exactly when column 3 holds a level 1..16; a day
// without one keeps the texts 98.80, 37.10 and 0.
//
// The value of a reading is read from the column of her unit. Rows written before precise
// temperatures hold the level formulas of two separate scales in columns 1 and 2 (a bar at
// row 14 stored 97.40 and 36.40, though 97.40 °F is 36.33 °C); her unit's column gives
// back the level she clicked on the scale she saw, and only the conversion to the other
// unit is computed. A column that holds no temperature gives the level of her scale.
//
// The disturbed mark: column 7, titled "Disturbed", holds the reason ("sleep",
// "illness", "alcohol", or "disturbed" for another one) when the reading is left out of
// the evaluation; empty otherwise. The column is added to a year file only when a mark is
// first set, so a file without marks keeps its seven columns byte for byte. Older readers
// never look at it, and the grid loader keeps it when they save the file.

#include <QString>
#include <optional>

#include "core/gridfile.h"
#include "cycle/bodytemperature.h"

inline constexpr int kDisturbedCol = 7;
QString DisturbedHeader();  // "Disturbed"

enum class Disturbance { None, Sleep, Illness, Alcohol, Other };
// "sleep", "illness", "alcohol", "disturbed"; empty for None.
QString DisturbanceWord(Disturbance d);
// Any text but these words (and the empty text) reads as Other.
Disturbance DisturbanceFromText(const QString& text);
// "short sleep or a late night", "illness or fever", "alcohol", "disturbed": for a hint.
QString DisturbanceName(Disturbance d);

// The value of level row 1..16 in a unit, in hundredths (row 14: 9740 °F, 3640 °C).
int LevelHundredths(int barTop, TemperatureUnit unit);
// The level row of her unit's scale nearest to a reading, clamped to 1..16.
int NearestLevel(const BodyTemperature& t);

struct BasalReading {
  int level = 0;  // 1..16, 0 for no reading
  std::optional<BodyTemperature> temperature;  // in the unit asked for
  // The reading differs from its level's value (entered in the temperature field).
  bool precise = false;
  Disturbance disturbance = Disturbance::None;
  bool HasReading() const { return temperature.has_value(); }
};

// The reading of year row `row`, in unit.
BasalReading ReadBasalReading(const CellGrid& grid, int row, TemperatureUnit unit);
// Stores a precise reading in year row `row`: columns 1 and 2 both units, column 3 the
// nearest level. Returns that level.
int WriteBasalTemperature(CellGrid& grid, int row, const BodyTemperature& t);
// A click on the grid: level row barTop (1..16) read on the scale of unit, stored as the
// reading of that value; 0 stores "no reading" (98.80, 37.10 and 0).
void WriteBasalLevel(CellGrid& grid, int row, int barTop, TemperatureUnit unit);
// Sets or clears the disturbed mark of year row `row`; the first mark adds the column.
void WriteBasalDisturbance(CellGrid& grid, int row, Disturbance d);
