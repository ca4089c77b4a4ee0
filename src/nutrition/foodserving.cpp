#include "nutrition/foodserving.h"

#include <cmath>

double ReadFoodNumber(const QString& text, const QLocale& locale) {
  double value = 0;
  return ParseStoredNumber(text, &value, locale) && std::isfinite(value) ? value : 0;
}

QString ScaleByServings(const QString& text, double servings, const QLocale& locale) {
  const double scaled = ReadFoodNumber(text, locale) * servings;
  if (!std::isfinite(scaled)) return QStringLiteral("0");
  // rint rounds a half to the even neighbour; adding 0.0 turns -0 into 0.
  return QString::number(std::rint(scaled) + 0.0, 'f', 0);
}

double ServingsOfTrack(int position) { return position * 0.25; }

FoodPick FoodPickOf(const FoodRecord& food, double servings, const QLocale& locale) {
  FoodPick pick;
  pick.Name = food[FoodField::Long_Desc];
  pick.Calories = ScaleByServings(food[FoodField::Energ_Kcal], servings, locale);
  pick.Carbs = ScaleByServings(food[FoodField::Carbohydrt], servings, locale);
  pick.Protein = ScaleByServings(food[FoodField::Protein], servings, locale);
  pick.Fat = ScaleByServings(food[FoodField::Lipid_Tot], servings, locale);
  return pick;
}
