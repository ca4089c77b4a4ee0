#pragma once
// Turns the USDA Standard Reference release files FOOD_DES.txt (number, food group and
// description of each food) and ABBREV.txt (energy and nutrients per 100 g, and the
// weight of one household serving) into the rows of the food table.
//
// The table holds the values per serving: value x GmWt_1 / 100, so that "1 Servings of
// 1 cup ... 244 grams" shows that cup's calories. A food without a serving weight keeps
// its per-100 g values with GMWT_1 "100" and GMWT_DESC1 "100 g". Numbers are written
// with "." and at most two decimals; a value the release leaves empty stays empty.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "nutrition/foodtable.h"

// The fields of one release line: split at "^", text fields without their "~" marks.
QStringList SplitUsdaLine(const QString& line);

// A decimal text of the release ("244.00") as the table writes it ("244"); empty for an
// empty text; a null string when the text is not a plain decimal number.
QString NormalizedDecimal(const QString& text);
// per100g x gramWeight / 100, rounded half away from zero to two decimals, exactly (no
// binary rounding on the way): ("60", "244.00") gives "146.4". Empty stays empty; a null
// string when either text is not a plain decimal number.
QString PerServingText(const QString& per100g, const QString& gramWeight);

// The table record of one food from its FOOD_DES and ABBREV fields. False with the
// reason when a field is missing or a number is not one.
bool UsdaFoodRecord(const QStringList& description, const QStringList& nutrients,
                    FoodRecord* record, QString* error);

// Reads both files and inserts every food into db's food table (which must exist), in
// one transaction, in the order of FOOD_DES.txt. False with a message naming the file
// and line at the first fault; nothing is inserted then.
bool ImportUsdaRelease(QSqlDatabase& db, const QString& foodDesPath, const QString& abbrevPath,
                       QString* error, int* imported = nullptr);
