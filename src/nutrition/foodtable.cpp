#include "nutrition/foodtable.h"

#include <QSqlError>
#include <QSqlQuery>

QString FoodTableName() { return QStringLiteral("food"); }

const QStringList& FoodColumnNames() {
  static const QStringList names{
      QStringLiteral("NDB_No"),    QStringLiteral("FdGrp_Cd"),   QStringLiteral("Long_Desc"),
      QStringLiteral("Energ_Kcal"), QStringLiteral("Protein"),   QStringLiteral("Carbohydrt"),
      QStringLiteral("Sugar_Tot"), QStringLiteral("Lipid_Tot"),  QStringLiteral("Cholestrl"),
      QStringLiteral("GMWT_1"),    QStringLiteral("GMWT_DESC1")};
  return names;
}

QString FoodColumnName(FoodField field) { return FoodColumnNames().at(static_cast<int>(field)); }

bool CreateFoodTable(QSqlDatabase& db, QString* error) {
  QStringList columns;
  for (const QString& name : FoodColumnNames())
    columns << name + (name == u"NDB_No" ? QStringLiteral(" TEXT NOT NULL PRIMARY KEY")
                                         : QStringLiteral(" TEXT"));
  const QStringList statements{
      QStringLiteral("CREATE TABLE food (%1)").arg(columns.join(u", ")),
      QStringLiteral("CREATE INDEX food_group ON food (FdGrp_Cd)")};
  for (const QString& s : statements) {
    QSqlQuery q(db);
    if (!q.exec(s)) {
      if (error) *error = q.lastError().text();
      return false;
    }
  }
  return true;
}
