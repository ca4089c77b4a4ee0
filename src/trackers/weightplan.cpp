#include "trackers/weightplan.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/textutil.h"

WeightPlan MakeWeightPlan(double weight, double goal, int days, const QDateTime& start) {
  WeightPlan out;
  if (days < 0) return out;
  out.reference.reserve(days + 1);
  out.plan.reserve(days + 1);
  for (int i = 0; i <= days; ++i) {
    const QDateTime when = start.addDays(i);
    out.reference.append({when, weight});
    if (days == 0) continue;
    const double value = weight - (weight - goal) * i / days;
    if (value > -1) out.plan.append({when, value});
  }
  return out;
}

GoalMessage MakeGoalMessage(double weight, double goal, int days, bool metric,
                            const QString& unitLabel) {
  GoalMessage out;
  const double q = weight - goal;
  if (q == 0) {
    out.calories = QStringLiteral(" Congratulations, you have achieved your weight goal!!!!");
    return out;
  }
  if (days <= 0 || !std::isfinite(q)) return out;

  const double pounds = metric ? q * 2.2 : q;
  const QString rate = FormatNumber(QStringLiteral("0.0"), std::fabs(q) / days);
  const double perDay = std::trunc(std::fabs(pounds) / days * 3500);
  const double limit = static_cast<double>(std::numeric_limits<qint64>::max());
  const QString calories = QString::number(static_cast<qint64>(std::min(perDay, limit)));

  if (q < 0) {
    out.daysLeft = QStringLiteral("You need to gain ") + rate + u' ' + unitLabel +
                   QStringLiteral("/day ");
    out.calories = QStringLiteral(" ..eat at an extra ") + calories +
                   QStringLiteral(" Calories/day");
  } else {
    out.daysLeft = QStringLiteral("You need to lose ") + rate + u' ' + unitLabel +
                   QStringLiteral("/day ");
    out.calories = QStringLiteral("... you need a deficit of ") + calories +
                   QStringLiteral(" Calories/day");
  }
  return out;
}
