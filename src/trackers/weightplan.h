#pragma once
// The straight-line diet plan from today's weight to the goal, and the lines that tell
// the daily rate and the calorie surplus or deficit it needs.

#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

struct PlanPoint {
  QDateTime when;
  double weight = 0;
};

struct WeightPlan {
  QVector<PlanPoint> reference;  // today's weight held flat, one point per day
  QVector<PlanPoint> plan;       // from today's weight down (or up) to the goal
};

// For i from 0 to days: reference (start + i days, weight), plan (start + i days,
// weight - (weight - goal) * i / days) when that is above -1. With days 0 the plan is
// empty and the reference has its single point.
WeightPlan MakeWeightPlan(double weight, double goal, int days, const QDateTime& start);

// The two message lines; a line without a value keeps the text it had.
struct GoalMessage {
  std::optional<QString> daysLeft;  // ui_days_left
  std::optional<QString> calories;  // lblCalories
};

// q = weight - goal; the rate |q| / days in the unit of the fields, one decimal; the
// calories trunc(|q in pounds| / days * 3500), pounds being q * 2.2 when metric.
// While the days field holds 0 (only ever while typing) there is no rate to show:
// both lines keep their text, unless the goal is met.
GoalMessage MakeGoalMessage(double weight, double goal, int days, bool metric,
                            const QString& unitLabel);
