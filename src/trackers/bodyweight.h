#pragma once
// Her body weight as other parts of the program need it, read from the weight tracker's
// year files (Weight folder + year + ".txt"), reading only: the weights of a stretch of
// dates (the doctor's report) and the latest weight on or before a day (the exercise
// estimate). Every weight comes out in kilograms, each row converted from the unit it
// was written in (its unit mark, else the unmarked system of her settings).

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

#include "core/units.h"
#include "trackers/weightmodel.h"

struct WeightReadings {
  QVector<DatedWeight> weights;  // date order, in kg, each above 0
  QStringList errors;            // year files that could not be read
};
// The weights recorded from first to last (both included).
WeightReadings ReadWeights(const QString& weightFolder, const QDate& first, const QDate& last,
                           UnitSystem unmarked);

// The latest weight (kg) recorded on or before `date`, looking back through every
// earlier year file there is. Nothing when there is none; a year file that cannot be
// read adds its message to *errors and the search goes on in the years before.
std::optional<DatedWeight> LatestWeightOnOrBefore(const QString& weightFolder, const QDate& date,
                                                  UnitSystem unmarked,
                                                  QStringList* errors = nullptr);

// kg / m², not rounded; 0 when the height is not above 0. (BmiIndex gives the whole
// number the BMI picture uses.)
double BodyMassIndex(double weightKg, double heightCm);
