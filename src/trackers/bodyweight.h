#pragma once
// Her body weight as other parts of the program need it, read from the weight tracker's
// year files (Weight folder + year + ".txt"), reading only: the weights of a stretch of
// dates (the doctor's report) and the latest weight on or before a day (the exercise
// estimate). Weights are stored in the unit of her settings; kilograms come through
// BmiWeightKg.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

#include "trackers/weightmodel.h"

class Config;

// Whether the weight files hold pounds (US units in her settings) rather than kilograms.
// The one place that says what unit the stored weights are in.
bool WeightsInPounds(const Config& config);
bool WeightsInPounds(const QString& measureUnits);

struct WeightReadings {
  QVector<DatedWeight> weights;  // date order, in the files' unit, each above 0
  QStringList errors;            // year files that could not be read
};
// The weights recorded from first to last (both included).
WeightReadings ReadWeights(const QString& weightFolder, const QDate& first, const QDate& last);

// The latest weight recorded on or before `date`, looking back through every earlier
// year file there is. Nothing when there is none; a year file that cannot be read adds
// its message to *errors and the search goes on in the years before.
std::optional<DatedWeight> LatestWeightOnOrBefore(const QString& weightFolder, const QDate& date,
                                                  QStringList* errors = nullptr);

// kg / m², not rounded; 0 when the height is not above 0. (BmiIndex gives the whole
// number the BMI picture uses.)
double BodyMassIndex(double weightKg, double heightCm);
