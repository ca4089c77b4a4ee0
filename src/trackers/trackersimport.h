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

#include "app/recordkind.h"

bool ImportWeightTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                       ImportTally* tally, QString* error);
bool ImportToDoTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                     ImportTally* tally, QString* error);
bool ImportPressureTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                         ImportTally* tally, QString* error);
