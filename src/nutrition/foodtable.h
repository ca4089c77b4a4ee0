#pragma once
// The food table "food" of the program's database: its eleven text columns, one food's
// record, and the statement that creates the table (with its index on the food group)
// in a new Food.db.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>

enum class FoodField {
  NDB_No,
  FdGrp_Cd,
  Long_Desc,
  Energ_Kcal,
  Protein,
  Carbohydrt,
  Sugar_Tot,
  Lipid_Tot,
  Cholestrl,
  GMWT_1,
  GMWT_DESC1,
};
inline constexpr int kFoodFieldCount = 11;

// "food"
QString FoodTableName();
// The column names in the table's order (the FoodField order).
const QStringList& FoodColumnNames();
QString FoodColumnName(FoodField field);

// One food as the table holds it: every field is text.
struct FoodRecord {
  std::array<QString, kFoodFieldCount> values;

  const QString& operator[](FoodField f) const { return values[static_cast<int>(f)]; }
  QString& operator[](FoodField f) { return values[static_cast<int>(f)]; }
  bool operator==(const FoodRecord&) const = default;
};

// Creates the empty table with NDB_No as its key and an index on FdGrp_Cd. False with
// the engine's message.
bool CreateFoodTable(QSqlDatabase& db, QString* error);
