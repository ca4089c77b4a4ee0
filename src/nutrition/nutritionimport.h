#pragma once
// The calorie diary's writers for an import (app/recordkind.h): the rows of meals.csv and
// foodlists.csv, as its export writes them, back into the Food folder, and the check of
// meals-daily.csv against meals.csv.
//
// meals.csv: date, meal, food, amount, grams, kcal, fat, carbohydrate, protein. The foods
// of each meal of a day, in their order, make that meal's grid, and the day is saved as
// the diary saves it (its meals, its energy shares and its row of the year's history). A
// meal that already holds a food keeps what it holds, or under ImportMode::Replace
// becomes the imported meal; the day's other meals stay as they are. The diary keeps no
// serving, so amount and grams are not read.
// meals-daily.csv: date, kcal, fat, carbohydrate, protein. The totals follow from the
// meals, so nothing is written: each row is checked against the day's foods in
// meals.csv of the same source, added up by the diary's own arithmetic, and a total that
// differs (or a day that meals.csv does not hold) refuses the import.
// foodlists.csv: list, food, amount, kcal, fat, carbohydrate, protein. Each food joins the
// end of its list (the list's word as the export writes it, "Vegtable", or its caption,
// "Vegetables"). An item of the same name in that list (letter case aside; the second
// "Apple" of a list matches its second "Apple") keeps its serving and figures, or under
// Replace takes the imported ones.

#include "app/recordkind.h"

bool ImportMealsTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                      ImportTally* tally, QString* error);
bool CheckMealTotalsTable(const DataFolders& dir, const RecordTable& table,
                          const RecordTableLookup& source, ImportMode mode, ImportTally* tally,
                          QString* error);
bool ImportFoodListsTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                          ImportTally* tally, QString* error);
