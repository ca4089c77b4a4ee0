#pragma once
// The calorie diary's records for backup, restore and the CSV export: the meals of each
// day, their day totals, and the user's food lists.

#include "app/recordkind.h"

// meals.csv: date, meal, food, amount, grams, kcal, fat, carbohydrate, protein. One row
// per food of a meal (Food/Y2009M3D14-Breakfast.txt ... -Snack.txt). The diary keeps a
// food's name and figures, not its serving: amount and grams stay empty.
// meals-daily.csv: date, kcal, fat, carbohydrate, protein: each day's totals as the
// diary adds them up (whole numbers).
// foodlists.csv: list, food, amount, kcal, fat, carbohydrate, protein: the rows of the
// food lists (Food/Fridge-Fruit.txt ...).
// An import writes meals.csv and foodlists.csv back and checks meals-daily.csv against
// meals.csv (nutrition/nutritionimport.h).
RecordKind MealRecordKind(const DataFolders& dir);
