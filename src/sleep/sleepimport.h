#pragma once
// The sleep room's writers for an import (app/recordkind.h RecordImporter): the rows of
// sleep.csv and baby.csv, as its export writes them, back into the sleep log and the
// baby and kids log.
//
// date, hours, bed, wake, note. A day's night and its note are two records: each goes
// into the year file or the day's note file when the day keeps none; one the day keeps
// otherwise stays, or under ImportMode::Replace takes the imported one. A night is the
// day's half-hour slots from bed (a slot's start) to wake (a slot's end); a day's slots
// run from 8 pm, so a night that ends after the next 8 pm is not one of the log's days.
// Fewer hours than bed to wake means she was awake in between, and the CSV does not say
// when: the slots from bed are marked for all but the last half hour, which is the one
// that ends at wake, so that the day's hours, bed and wake read back as imported.

#include "app/recordkind.h"

bool ImportSleepTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                      ImportTally* tally, QString* error);
bool ImportKidsTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                     ImportTally* tally, QString* error);
