#pragma once
// The cycle room's writers for an import (app/recordkind.h RecordImporter): the rows of
// cycle.csv and journal.csv, as its export writes them, back into the period history,
// the calendar's settings and the journal's note files.
//
// cycle.csv: "period start" rows become starts of the history (Cycle/Periods.txt) with
// the way they were recorded; a start on a day that already is one is there already,
// and one fewer than kSamePeriodDays from a start she has is the same period: kept, or
// under ImportMode::Replace put in its place. "pause" rows become pauses (one that
// overlaps a pause she has is kept, or replaces it). The settings rows ("last period",
// "cycle length", "luteal length", "goal") are written when the data folder has no
// settings yet or under Replace.
// journal.csv: date, text. A day whose note holds text keeps it, or under Replace gets
// the imported text.

#include "app/recordkind.h"

bool ImportCycleTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                      ImportTally* tally, QString* error);
bool ImportJournalTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                        ImportTally* tally, QString* error);
