#include "nutrition/foodgroups.h"

const QStringList& FoodGroupNames() {
  static const QStringList names{QStringLiteral("Dairy and Egg "),
                                 QStringLiteral("Spices and Herbs"),
                                 QStringLiteral("Baby Foods"),
                                 QStringLiteral("Fats and Oils"),
                                 QStringLiteral("Poultry "),
                                 QStringLiteral("Soups and Sauces"),
                                 QStringLiteral("Sausages and Lunch Meats"),
                                 QStringLiteral("Breakfast Cereals"),
                                 QStringLiteral("Fruits and Fruit Juices"),
                                 QStringLiteral("Pork "),
                                 QStringLiteral("Vegetables"),
                                 QStringLiteral("Nut and Seed "),
                                 QStringLiteral("Beef "),
                                 QStringLiteral("Beverages"),
                                 QStringLiteral("Finfish and Shellfish "),
                                 QStringLiteral("Legumes and Legume "),
                                 QStringLiteral("Lamb, Veal, and Game "),
                                 QStringLiteral("Baked "),
                                 QStringLiteral("Sweets"),
                                 QStringLiteral("Cereal Grains and Pasta"),
                                 QStringLiteral("Fast Foods"),
                                 QStringLiteral("Meals, Entrees, and Sides"),
                                 QStringLiteral("Snacks"),
                                 QStringLiteral("Ethnic Foods")};
  return names;
}

QString FoodGroupCode(int position) {
  if (position < 0 || position >= kFoodGroupCount) return QString();
  if (position == 22) return QStringLiteral("2500");
  if (position == 23) return QStringLiteral("3500");
  return QStringLiteral("%1").arg(position + 1, 2, 10, QLatin1Char('0')) + QStringLiteral("00");
}
