#pragma once
// The sleep room's records for backup, restore and the CSV export: the sleep log and the
// baby and kids log (the same files in two folders), with their day notes and alarm lists.

#include "app/recordkind.h"

// sleep.csv (the Sleep folder) / baby.csv (the Baby folder): date, hours, bed, wake,
// note. One row per day with a marked slot or a note: the hours the marked slots make,
// the start of the first marked slot and the end of the last (24-hour "HH:mm"; a day's
// slots run from 8 pm), and the day's note. An import writes them back
// (sleep/sleepimport.h).
RecordKind SleepRecordKind(const DataFolders& dir);
RecordKind KidsRecordKind(const DataFolders& dir);
