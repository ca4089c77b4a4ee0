#pragma once
// The two systems of measures a user may choose: imperial (pounds, inches, miles, feet)
// and metric (kilograms, centimetres, kilometres, metres), and the exact conversions
// between them.
//
// How records say their unit: a record carries a unit mark only when it was written in
// another system than the user's unmarked system (Config::UnmarkedUnits), so that the
// files of a user who never changes units keep exactly the bytes they always had, and
// every file written before records carried marks still reads in the unit it was
// written in.

#include <QString>
#include <optional>

enum class UnitSystem { Imperial, Metric };

// The configuration's Measure_Units: "I" is imperial, anything else metric.
UnitSystem UnitSystemOf(const QString& measureUnits);
QString MeasureUnitsKey(UnitSystem system);  // "I" / "M"

// Exact conversions (a pound is 0.45359237 kg, an inch 2.54 cm, a foot 0.3048 m); the
// same system gives the value itself.
double ConvertWeight(double value, UnitSystem from, UnitSystem to);    // lbs / kg
double ConvertHeight(double value, UnitSystem from, UnitSystem to);    // inches / cm
double ConvertDistance(double value, UnitSystem from, UnitSystem to);  // miles / km
double ConvertFeet(double value, UnitSystem from, UnitSystem to);      // feet / m

// The marks written beside records: "lbs" / "kg", "in" / "cm", "mi" / "km".
QString WeightUnitMark(UnitSystem system);
QString HeightUnitMark(UnitSystem system);
QString DistanceUnitMark(UnitSystem system);
// The system a mark names, trimmed and without regard to case: any of the marks above,
// "inches", "miles", "I" or "M"; nothing for any other text (an empty cell included).
std::optional<UnitSystem> ReadUnitMark(const QString& text);
// The system a record is in: its mark, or the unmarked system when it has none.
UnitSystem RecordUnits(const QString& mark, UnitSystem unmarked);
