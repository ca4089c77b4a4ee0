#include "nutrition/widgets/foodpickers.h"

#include "nutrition/widgets/fooddatabasewindow.h"

namespace {
FoodDatabasePicker& Override() {
  static FoodDatabasePicker picker;
  return picker;
}

// The food database window, modal; a pick only when a food was eaten.
std::optional<FoodPick> ShowFoodDatabaseWindow(QWidget* parent, const QString& keyword) {
  FoodDatabaseWindow window(parent);
  window.SetKeyword(keyword);
  window.exec();
  if (!window.Chosen()) return std::nullopt;
  return window.Pick();
}
}  // namespace

std::optional<FoodPick> PickFromFoodDatabaseWindow(QWidget* parent, const QString& keyword) {
  if (Override()) return Override()(parent, keyword);
  return ShowFoodDatabaseWindow(parent, keyword);
}

void SetFoodDatabasePicker(FoodDatabasePicker picker) { Override() = std::move(picker); }
