#pragma once
// The trackers room's records for backup, restore and the CSV export: weight, to-do
// lists, blood pressure, exercise and health.

#include "app/recordkind.h"

// weight.csv: date, weight, unit, goal. A row for each day of the year files
// (Weight/2009.txt) with a weight; the unit of the settings (lbs or kg); the goal of the
// day's month (Weight/Y2009M3.ini) when one is kept.
RecordKind WeightRecordKind(const DataFolders& dir);
// todo.csv: list, date, done, text. One row per item with text: the list's name
// ("Today" for the lists of a day, with their date), "yes" for a checked item.
RecordKind ToDoRecordKind(const DataFolders& dir);
// bloodpressure.csv: date, time, systolic, diastolic, pulse. One row per reading
// (Heart/Y2009-pressure.txt), oldest first; a date or time that does not read as one is
// kept as typed.
RecordKind PressureRecordKind(const DataFolders& dir);
// exercise.csv: date, hours, minutes, intensity, activities, calories, workout, run,
// bike, swim, climb, unit, note. One row per day with a workout or a note; the distances
// as the day keeps them, in the system the unit names ("mi": miles and feet, "km":
// kilometres and metres; empty for a day with a note alone).
RecordKind ExerciseRecordKind(const DataFolders& dir);
// health.csv: record, date, name, details. The appointments, immunisations and
// prescriptions of the database's health tables, then the blood type, the allergies and
// the contacts of the Health folder. Dates are kept as typed.
RecordKind HealthRecordKind(const DataFolders& dir);
