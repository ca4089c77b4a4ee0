#pragma once
// The 24 food groups of the USDA nutrient database, in the order the food window and
// the add-food dialog list them, and the group code of a list position.

#include <QString>
#include <QStringList>

inline constexpr int kFoodGroupCount = 24;

// The list texts, as shown (several end in a space).
const QStringList& FoodGroupNames();

// Positions 0 to 8 give "0100" to "0900", 9 to 21 give "1000" to "2200", 22 gives
// "2500" and 23 "3500"; any other position gives an empty text.
QString FoodGroupCode(int position);
