#pragma once
// A waking (basal body) temperature as she entered it: whole hundredths of a degree in
// the unit she uses. Held in hundredths so that a value typed as 36.55 stays 36.55 and
// every comparison is exact; the other unit is an exact conversion rounded to
// hundredths (97.40 °F is 36.33 °C, 36.33 °C is 97.39 °F), never a second scale.
//
// Readings are compared in steps of 0.05 °C (twentieths of a degree Celsius). The step
// is computed straight from the value in her unit, so a Fahrenheit reading is rounded
// once, not first to hundredths of a degree Celsius. No two-decimal value lies exactly
// half way between two steps in either unit, so the rounding never has a tie.

#include <QLocale>
#include <QString>
#include <optional>

#include "core/textutil.h"

enum class TemperatureUnit { Fahrenheit, Celsius };

// The setting Temperature_Units: "C" is Celsius, anything else Fahrenheit (the default).
TemperatureUnit TemperatureUnitFromSetting(const QString& units);
QString TemperatureUnitSymbol(TemperatureUnit unit);  // "°F", "°C"

// The accepted range of a waking temperature: 35.00 to 42.00 °C, 95.00 to 107.60 °F
// (the same range: 42 °C is exactly 107.6 °F).
int MinimumHundredths(TemperatureUnit unit);
int MaximumHundredths(TemperatureUnit unit);

// Exact conversions of hundredths of a degree, rounded to the nearest hundredth.
int CelsiusHundredthsFromFahrenheit(int fahrenheitHundredths);
int FahrenheitHundredthsFromCelsius(int celsiusHundredths);

class BodyTemperature {
 public:
  BodyTemperature() = default;
  BodyTemperature(int hundredths, TemperatureUnit unit) : hundredths_(hundredths), unit_(unit) {}

  int Hundredths() const { return hundredths_; }  // in Unit()
  TemperatureUnit Unit() const { return unit_; }
  // In another unit: the same value, or the exact conversion rounded to hundredths.
  int HundredthsIn(TemperatureUnit unit) const;
  double ValueIn(TemperatureUnit unit) const { return HundredthsIn(unit) / 100.0; }
  double Value() const { return hundredths_ / 100.0; }
  // Exactly, without rounding (for drawing and arithmetic on the value in °C).
  double Celsius() const;
  // The reading rounded to 0.05 °C, counted in twentieths of a degree (36.55 °C is 731).
  int CelsiusSteps() const;
  // Within 35.00 to 42.00 °C.
  bool IsInRange() const;

  // "36.55" in her unit, two decimals, with the locale's decimal separator.
  QString Text(const QLocale& locale = AppLocale()) const;
  QString TextIn(TemperatureUnit unit, const QLocale& locale = AppLocale()) const;

  bool operator==(const BodyTemperature&) const = default;

 private:
  int hundredths_ = 0;
  TemperatureUnit unit_ = TemperatureUnit::Fahrenheit;
};

// A value in steps of 0.05 °C, in hundredths of a degree of unit (the cover line drawn
// in her unit): 730 steps are 36.50 °C and 97.70 °F.
int StepsToHundredths(int celsiusSteps, TemperatureUnit unit);
// Steps of 0.05 °C of hundredths in a unit (what CelsiusSteps computes).
int HundredthsToCelsiusSteps(int hundredths, TemperatureUnit unit);

// What she typed in the temperature field, in her unit: digits with at most two decimals
// after "." or the locale's decimal separator, from 35.00 to 42.00 °C or 95.00 to 107.60 °F.
// On failure the value is empty and error tells her, in plain words, what to type.
struct TemperatureInput {
  std::optional<BodyTemperature> value;
  QString error;
};
TemperatureInput ParseTemperatureInput(const QString& text, TemperatureUnit unit,
                                       const QLocale& locale = AppLocale());

// A stored two-decimal text ("36.55", also "36,55" from a file written under a locale
// with a decimal comma, and "98.3"); empty for anything else or a value out of range.
std::optional<BodyTemperature> ParseStoredTemperature(const QString& text, TemperatureUnit unit);
