#pragma once
// The weight parts of the reports: the chart of her weights over a stretch of days, and
// the weight tracker's own page (weight.html in the Build folder): the shown day's weight,
// the month's goal, the BMI, the year's chart and the month's weights.

#include <QDate>
#include <QImage>
#include <QVector>

#include "trackers/weightmodel.h"

// The weights (in the files' unit) from first to last.
QImage WeightChartPicture(const QVector<DatedWeight>& weights, const QDate& first,
                          const QDate& last, bool pounds);

inline constexpr const char* kWeightReportPage = "weight.html";
inline constexpr const char* kWeightReportChart = "weight_chart.jpg";

struct WeightReportInput {
  QDate shown;
  QVector<DatedWeight> year;  // the shown year's weights, date order
  double goal = 0;
  bool pounds = true;
  int heightField = 0;  // inches or cm, as her settings hold it
};
QStringList WeightReportLines(const WeightReportInput& input);
// Writes the chart and the page into folder. False with the user's message.
bool WriteWeightReport(const QString& folder, const WeightReportInput& input, QString* error);

// "160.0 lbs (72.6 kg)" / "72.6 kg (160.0 lbs)": the files' unit first.
QString WeightBothUnits(double weight, bool pounds);
// "65 inches (165.1 cm)" / "170 cm".
QString HeightText(int heightField, bool pounds);
