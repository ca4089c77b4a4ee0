#pragma once
// What the calorie tracker says about a day beyond what she ate: the calories her
// workout burned (the exercise tracker's record, handed in through the view interface,
// since this room does not read the exercise files) and the net, eaten less burned;
// and the tracker's report page (calories.html in the Build folder): each meal's foods,
// the day's totals and that balance.

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

#include "nutrition/mealday.h"

struct EnergyBalance {
  qint64 eaten = 0;
  std::optional<int> burned;  // nothing when no workout is recorded for the day
  qint64 Net() const { return eaten - burned.value_or(0); }
};
// "Burned in your workout: 300 Calories" / "Burned in your workout: none recorded".
QString BurnedText(const EnergyBalance& balance);
// "Net (eaten - burned): 1500 Calories" (no grouping: the same text on screen and in the report).
QString NetText(const EnergyBalance& balance);

inline constexpr const char* kMealReportPage = "calories.html";
QStringList MealReportLines(const MealDay& day, const EnergyBalance& balance);
bool WriteMealReport(const QString& folder, const MealDay& day, const EnergyBalance& balance,
                     QString* error);
