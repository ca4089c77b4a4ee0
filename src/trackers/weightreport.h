#pragma once
// The weight parts of the reports: the chart of her weights over a stretch of days, and
// the weight tracker's own page (weight.html in the Build folder): the shown day's weight,
// the month's goal, the BMI, the year's chart and the month's weights.

#include <QDate>
#include <QImage>
#include <QVector>

#include "core/units.h"
#include "trackers/weightmodel.h"

// The weights (in `system`) from first to last.
QImage WeightChartPicture(const QVector<DatedWeight>& weights, const QDate& first,
                          const QDate& last, UnitSystem system);

inline constexpr const char* kWeightReportPage = "weight.html";
inline constexpr const char* kWeightReportChart = "weight_chart.jpg";

struct WeightReportInput {
  QDate shown;
  QVector<DatedWeight> year;  // the shown year's weights in `units`, date order
  double goal = 0;            // in `units`
  UnitSystem units = UnitSystem::Imperial;  // the system the view shows
  double heightCm = 0;
};
QStringList WeightReportLines(const WeightReportInput& input);
// Writes the chart and the page into folder. False with the user's message.
bool WriteWeightReport(const QString& folder, const WeightReportInput& input, QString* error);

// A weight in `system`, then in the other: "160.0 lbs (72.6 kg)" / "72.6 kg (160.0 lbs)".
QString WeightBothUnits(double weight, UnitSystem system);
// "65 inches (165.1 cm)" in imperial, "170 cm" / "165.1 cm" in metric.
QString HeightText(double heightCm, UnitSystem shown);
