#include "nutrition/widgets/foodpickers.h"

namespace {
FoodDatabasePicker& Override() {
  static FoodDatabasePicker picker;
  return picker;
}

// The food database window: until it exists, nothing is chosen.
std::optional<FoodPick> ShowFoodDatabaseWindow(QWidget* /*parent*/, const QString& /*keyword*/) {
  return std::nullopt;
}
}  // namespace

std::optional<FoodPick> PickFromFoodDatabaseWindow(QWidget* parent, const QString& keyword) {
  if (Override()) return Override()(parent, keyword);
  return ShowFoodDatabaseWindow(parent, keyword);
}

void SetFoodDatabasePicker(FoodDatabasePicker picker) { Override() = std::move(picker); }
