#include "cycle/bodytemperature.h"

namespace {

// n / d rounded to the nearest whole number, halves away from zero (d > 0).
int RoundedQuotient(int n, int d) { return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d); }

QString HundredthsText(int h, const QLocale& locale) {
  return FormatNumber(QStringLiteral("0.00"), h / 100.0, locale);
}

// Whole hundredths of "ddd", "ddd.d" or "ddd.dd" (point or the given separator); -1 for
// anything else, -2 for a number with more than two decimals.
int ParseHundredths(QStringView t, QChar separator) {
  qsizetype i = 0;
  int whole = 0;
  int wholeDigits = 0;
  while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
    if (++wholeDigits > 4) return -1;
    whole = whole * 10 + (t[i].unicode() - u'0');
    ++i;
  }
  if (wholeDigits == 0) return -1;
  int fraction = 0;
  int fractionDigits = 0;
  if (i < t.size() && (t[i] == u'.' || t[i] == separator)) {
    ++i;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
      if (++fractionDigits > 2) {
        // Keep reading: "36.555" is a number with too many decimals, "36.55x" no number.
        while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') ++i;
        return i == t.size() ? -2 : -1;
      }
      fraction = fraction * 10 + (t[i].unicode() - u'0');
      ++i;
    }
  }
  if (i != t.size()) return -1;
  if (fractionDigits == 1) fraction *= 10;
  return whole * 100 + fraction;
}

QString RangeText(TemperatureUnit unit, const QLocale& locale) {
  return QStringLiteral("from %1 to %2 %3")
      .arg(HundredthsText(MinimumHundredths(unit), locale), HundredthsText(MaximumHundredths(unit), locale),
           TemperatureUnitSymbol(unit));
}

QString ExampleText(TemperatureUnit unit, const QLocale& locale) {
  return HundredthsText(unit == TemperatureUnit::Celsius ? 3655 : 9780, locale);
}

}  // namespace

TemperatureUnit TemperatureUnitFromSetting(const QString& units) {
  return units.trimmed().compare(QLatin1String("C"), Qt::CaseInsensitive) == 0
             ? TemperatureUnit::Celsius
             : TemperatureUnit::Fahrenheit;
}

QString TemperatureUnitSymbol(TemperatureUnit unit) {
  return unit == TemperatureUnit::Celsius ? QStringLiteral("\u00B0C") : QStringLiteral("\u00B0F");
}

int MinimumHundredths(TemperatureUnit unit) {
  return unit == TemperatureUnit::Celsius ? 3500 : 9500;
}

int MaximumHundredths(TemperatureUnit unit) {
  return unit == TemperatureUnit::Celsius ? 4200 : 10760;
}

int CelsiusHundredthsFromFahrenheit(int f) { return RoundedQuotient((f - 3200) * 5, 9); }

int FahrenheitHundredthsFromCelsius(int c) { return RoundedQuotient(c * 9, 5) + 3200; }

int BodyTemperature::HundredthsIn(TemperatureUnit unit) const {
  if (unit == unit_) return hundredths_;
  return unit == TemperatureUnit::Celsius ? CelsiusHundredthsFromFahrenheit(hundredths_)
                                          : FahrenheitHundredthsFromCelsius(hundredths_);
}

double BodyTemperature::Celsius() const {
  if (unit_ == TemperatureUnit::Celsius) return hundredths_ / 100.0;
  return (hundredths_ - 3200) * 5.0 / 900.0;
}

int BodyTemperature::CelsiusSteps() const { return HundredthsToCelsiusSteps(hundredths_, unit_); }

bool BodyTemperature::IsInRange() const {
  return hundredths_ >= MinimumHundredths(unit_) && hundredths_ <= MaximumHundredths(unit_);
}

QString BodyTemperature::Text(const QLocale& locale) const { return HundredthsText(hundredths_, locale); }

QString BodyTemperature::TextIn(TemperatureUnit unit, const QLocale& locale) const {
  return HundredthsText(HundredthsIn(unit), locale);
}

int StepsToHundredths(int steps, TemperatureUnit unit) {
  // 0.05 °C is exactly 0.09 °F, so a step is a whole number of hundredths in both units.
  return unit == TemperatureUnit::Celsius ? steps * 5 : steps * 9 + 3200;
}

int HundredthsToCelsiusSteps(int hundredths, TemperatureUnit unit) {
  // °C × 20 = (°F − 32) × 100 / 9 = (hundredths of °F − 3200) / 9.
  return unit == TemperatureUnit::Celsius ? RoundedQuotient(hundredths, 5)
                                          : RoundedQuotient(hundredths - 3200, 9);
}

TemperatureInput ParseTemperatureInput(const QString& text, TemperatureUnit unit,
                                       const QLocale& locale) {
  const QString howTo = QStringLiteral("Type the waking temperature %1, with at most two "
                                       "decimals (for example %2).")
                            .arg(RangeText(unit, locale), ExampleText(unit, locale));
  QString t = text.trimmed();
  if (t.isEmpty()) return {std::nullopt, howTo};
  // A unit after the number is fine when it is hers: "36.55 °C", "36.55C", "97.8°".
  const QChar letter = unit == TemperatureUnit::Celsius ? u'C' : u'F';
  if (t.endsWith(letter, Qt::CaseInsensitive)) t.chop(1);
  t = t.trimmed();
  if (t.endsWith(u'\u00B0')) t.chop(1);
  t = t.trimmed();

  const QString point = locale.decimalPoint();
  const QChar separator = point.size() == 1 ? point.front() : QChar(u'.');
  const int h = ParseHundredths(t, separator);
  if (h == -2)
    return {std::nullopt, QStringLiteral("\"%1\" has more than two decimals. %2").arg(text.trimmed(), howTo)};
  if (h < 0)
    return {std::nullopt, QStringLiteral("\"%1\" is not a temperature. %2").arg(text.trimmed(), howTo)};
  const BodyTemperature value(h, unit);
  if (value.IsInRange()) return {value, QString()};

  QString message = QStringLiteral("%1 %2 is outside the range of a waking temperature. %3")
                        .arg(HundredthsText(h, locale), TemperatureUnitSymbol(unit), howTo);
  // A value that fits the other unit was most likely typed in it.
  const TemperatureUnit other =
      unit == TemperatureUnit::Celsius ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
  if (BodyTemperature(h, other).IsInRange())
    message += QStringLiteral(" Your temperatures are kept in %1; %2 looks like %3 (the unit is "
                              "chosen in the settings).")
                   .arg(TemperatureUnitSymbol(unit), HundredthsText(h, locale),
                        TemperatureUnitSymbol(other));
  return {std::nullopt, message};
}

std::optional<BodyTemperature> ParseStoredTemperature(const QString& text, TemperatureUnit unit) {
  const int h = ParseHundredths(QStringView(text).trimmed(), u',');
  if (h < 0) return std::nullopt;
  const BodyTemperature value(h, unit);
  if (!value.IsInRange()) return std::nullopt;
  return value;
}
