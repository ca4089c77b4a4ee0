#include "trackers/bodyweight.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "core/gridfile.h"

namespace {
// The years that have a year file, newest first.
QVector<int> YearFiles(const QString& weightFolder) {
  static const QRegularExpression name(QStringLiteral("^(\\d{4})\\.txt$"));
  QVector<int> years;
  for (const QString& file : QDir(weightFolder).entryList(QDir::Files)) {
    const auto m = name.match(file);
    if (m.hasMatch()) years << m.captured(1).toInt();
  }
  std::sort(years.begin(), years.end(), std::greater<int>());
  return years;
}

bool LoadYear(const QString& weightFolder, int year, UnitSystem unmarked,
              QVector<DatedWeight>* weights, QStringList* errors) {
  CellGrid grid(kWeightColumns, 1);
  QString error;
  if (!LoadGridFile(grid, WeightYearPath(weightFolder, year), &error)) {
    if (errors) errors->append(error);
    return false;
  }
  for (const DatedWeight& w : WeightHistoryPoints(grid, year, UnitSystem::Metric, unmarked))
    if (w.weight > 0) weights->append(w);
  return true;
}
}  // namespace

WeightReadings ReadWeights(const QString& weightFolder, const QDate& first, const QDate& last,
                           UnitSystem unmarked) {
  WeightReadings out;
  const QVector<int> years = YearFiles(weightFolder);
  for (auto it = years.crbegin(); it != years.crend(); ++it) {
    if (*it < first.year() || *it > last.year()) continue;
    QVector<DatedWeight> year;
    LoadYear(weightFolder, *it, unmarked, &year, &out.errors);
    for (const DatedWeight& w : year)
      if (w.date >= first && w.date <= last) out.weights << w;
  }
  return out;
}

std::optional<DatedWeight> LatestWeightOnOrBefore(const QString& weightFolder, const QDate& date,
                                                  UnitSystem unmarked, QStringList* errors) {
  if (!date.isValid()) return std::nullopt;
  for (int year : YearFiles(weightFolder)) {
    if (year > date.year()) continue;
    QVector<DatedWeight> weights;
    if (!LoadYear(weightFolder, year, unmarked, &weights, errors)) continue;
    for (auto it = weights.crbegin(); it != weights.crend(); ++it)
      if (it->date <= date) return *it;
  }
  return std::nullopt;
}

double BodyMassIndex(double weightKg, double heightCm) {
  if (!(heightCm > 0) || !std::isfinite(weightKg)) return 0;
  const double m = heightCm / 100;
  return weightKg / (m * m);
}
