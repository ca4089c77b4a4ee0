#pragma once
// Reading the food table's numbers and scaling them by a number of servings for the
// pick handed to the meal diary.

#include <QLocale>
#include <QString>

#include "core/textutil.h"
#include "nutrition/foodpick.h"
#include "nutrition/foodtable.h"

// A number of the food table. The table writes "." as the decimal point (as the USDA
// release does), so that form is read first; a value typed in the user's locale ("0,26"
// with a comma locale) is read next. 0 when neither reads.
double ReadFoodNumber(const QString& text, const QLocale& locale = AppLocale());

// The text read as a number, times servings, rounded to the nearest whole number (a half
// goes to the even neighbour: 22.5 gives 22, 23.5 gives 24), written without decimals.
QString ScaleByServings(const QString& text, double servings,
                        const QLocale& locale = AppLocale());

// The servings number of a track bar position (0 to 40): a quarter serving a step.
double ServingsOfTrack(int position);

// The pick of a food for a number of servings: its description and its scaled
// calories, carbohydrate, protein and fat.
FoodPick FoodPickOf(const FoodRecord& food, double servings,
                    const QLocale& locale = AppLocale());
