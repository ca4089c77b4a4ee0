#pragma once
// A food handed to the meal diary by the food lists or the food database: the five texts
// that become the Food, Calories, Carbs g, Prot g and Fat g cells of a meal row.

#include <QString>
#include <QStringList>

struct FoodPick {
  QString Name;
  QString Calories;
  QString Carbs;
  QString Protein;
  QString Fat;

  // A pick without a name changes nothing.
  bool IsEmpty() const { return Name.trimmed().isEmpty(); }
  QStringList Cells() const { return {Name, Calories, Carbs, Protein, Fat}; }
};
