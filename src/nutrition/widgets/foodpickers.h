#pragma once
// The windows the meal diary asks for a food. Each is reached through one function, so
// the diary needs no window to be tested: tests put their own answer in its place.

#include <QString>
#include <functional>
#include <optional>

#include "nutrition/foodpick.h"

class QWidget;

// Opens the food database window with a keyword (searched at once when not empty) and
// waits until it closes. No value when it was closed without choosing a food.
using FoodDatabasePicker =
    std::function<std::optional<FoodPick>(QWidget* parent, const QString& keyword)>;

std::optional<FoodPick> PickFromFoodDatabaseWindow(QWidget* parent, const QString& keyword);
// Replaces the window (tests); an empty function restores it.
void SetFoodDatabasePicker(FoodDatabasePicker picker);
