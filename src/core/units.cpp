#include "core/units.h"

namespace {
constexpr double kKgPerPound = 0.45359237;
constexpr double kCmPerInch = 2.54;
constexpr double kKmPerMile = 1.609344;
constexpr double kMetresPerFoot = 0.3048;

double Convert(double value, UnitSystem from, UnitSystem to, double metricPerImperial) {
  if (from == to) return value;
  return from == UnitSystem::Imperial ? value * metricPerImperial : value / metricPerImperial;
}
}  // namespace

UnitSystem UnitSystemOf(const QString& measureUnits) {
  return measureUnits == QLatin1String("I") ? UnitSystem::Imperial : UnitSystem::Metric;
}

QString MeasureUnitsKey(UnitSystem system) {
  return system == UnitSystem::Imperial ? QStringLiteral("I") : QStringLiteral("M");
}

double ConvertWeight(double value, UnitSystem from, UnitSystem to) {
  return Convert(value, from, to, kKgPerPound);
}
double ConvertHeight(double value, UnitSystem from, UnitSystem to) {
  return Convert(value, from, to, kCmPerInch);
}
double ConvertDistance(double value, UnitSystem from, UnitSystem to) {
  return Convert(value, from, to, kKmPerMile);
}
double ConvertFeet(double value, UnitSystem from, UnitSystem to) {
  return Convert(value, from, to, kMetresPerFoot);
}

QString WeightUnitMark(UnitSystem system) {
  return system == UnitSystem::Imperial ? QStringLiteral("lbs") : QStringLiteral("kg");
}
QString HeightUnitMark(UnitSystem system) {
  return system == UnitSystem::Imperial ? QStringLiteral("in") : QStringLiteral("cm");
}
QString DistanceUnitMark(UnitSystem system) {
  return system == UnitSystem::Imperial ? QStringLiteral("mi") : QStringLiteral("km");
}

std::optional<UnitSystem> ReadUnitMark(const QString& text) {
  const QString t = text.trimmed().toLower();
  if (t == u"lbs" || t == u"in" || t == u"inches" || t == u"mi" || t == u"miles" || t == u"i")
    return UnitSystem::Imperial;
  if (t == u"kg" || t == u"cm" || t == u"km" || t == u"m") return UnitSystem::Metric;
  return std::nullopt;
}

UnitSystem RecordUnits(const QString& mark, UnitSystem unmarked) {
  return ReadUnitMark(mark).value_or(unmarked);
}
