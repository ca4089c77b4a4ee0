#pragma once
// The trackers room's writers for an import (app/recordkind.h RecordImporter): the rows
// of weight.csv, todo.csv and bloodpressure.csv, as its export writes them, back into
// their files.
//
// weight.csv: date, weight, unit, goal. Each weight goes into its year file in the
// settings' unit (converted from "lbs" or "kg" when the row says another), each month's
// goal into its goal file. A day that has a weight keeps it, or under
// ImportMode::Replace gets the imported one; a month's goal likewise.
// todo.csv: list, date, done, text. The rows of each list ("Today" with a date is the
// list of that day) make its file, in their order; a list that already holds items keeps
// them, or under Replace becomes the imported list.
// bloodpressure.csv: date, time, systolic, diastolic, pulse. Each reading joins the log of
// its year, newest on top; a reading of the same day and time keeps its values, or under
// Replace takes the imported ones.
// exercise.csv: date, hours, minutes, intensity, activities, calories, workout, run, bike,
// swim, climb, unit, note. A day's workout and its note are two records: each goes into
// the year file or the day's note file when the day keeps none, and one the day keeps
// otherwise stays, or under Replace takes the imported one. The distances stay in the
// system of the row's unit ("mi" or "km"; without one, the settings' units), marked as
// the log marks them.
// health.csv: record, date, name, details. Appointments, immunisations and prescriptions
// join their tables of the database, in their order; a row of the same texts already
// there is that row, and one of the same date and name (but other details) is held: kept,
// or under Replace given the imported details. The blood type and the allergies are held
// when she has others; a contact when one of hers has the same name.

#include "app/recordkind.h"

bool ImportWeightTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                       ImportTally* tally, QString* error);
bool ImportToDoTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                     ImportTally* tally, QString* error);
bool ImportPressureTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                         ImportTally* tally, QString* error);
bool ImportExerciseTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                         ImportTally* tally, QString* error);
bool ImportHealthTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                       ImportTally* tally, QString* error);
