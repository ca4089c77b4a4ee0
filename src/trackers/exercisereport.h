#pragma once
// The exercise tracker's report page (exercise.html in the Build folder): the shown day's
// workout (time, calories, activities, distances, note and the estimate from the
// activities), the calories of the last eight days and the week, month and year totals,
// which are always about today.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include "trackers/exerciselog.h"

inline constexpr const char* kExerciseReportPage = "exercise.html";

struct ExerciseReportInput {
  QDate shown;
  WorkoutDay day;
  QString note;
  QString estimate;  // the estimate from activities, as shown beside the calories; may be empty
  QVector<WeekBar> week;
  ExerciseSummary summary;
};
QStringList ExerciseReportLines(const ExerciseReportInput& input);
bool WriteExerciseReport(const QString& folder, const ExerciseReportInput& input,
                         QString* error);
