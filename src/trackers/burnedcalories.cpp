#include "trackers/burnedcalories.h"

#include <QFileInfo>

#include "core/gridfile.h"
#include "trackers/exerciselog.h"

std::optional<int> RecordedWorkoutCalories(const QString& exerciseFolder, const QDate& date) {
  if (!date.isValid()) return std::nullopt;
  const QString path = ExerciseYearPath(exerciseFolder, date.year());
  if (!QFileInfo::exists(path)) return std::nullopt;
  CellGrid grid(kExerciseColumns, 1);
  if (!LoadGridFile(grid, path)) return std::nullopt;
  const QString cell = grid.Cell(kExCalories, YearGridRow(date));
  if (!HasWorkoutText(cell)) return std::nullopt;
  bool ok = false;
  const int calories = cell.trimmed().toInt(&ok);
  if (!ok || calories <= 0) return std::nullopt;
  return calories;
}
