#pragma once
// The calories a day's workout burned, as the exercise tracker stored them (the Calories
// column of its year file), read only, for the views of other rooms (through the view
// interface: the calorie tracker's Today page).

#include <QDate>
#include <QString>
#include <optional>

// Nothing when the day has no workout calories (no file, an empty or "0" cell, a cell
// that is not a whole number) or the year file cannot be read.
std::optional<int> RecordedWorkoutCalories(const QString& exerciseFolder, const QDate& date);
