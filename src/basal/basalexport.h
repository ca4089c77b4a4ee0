#pragma once
// The basal chart's records for backup, restore and the CSV export.

#include "app/recordkind.h"

// basal.csv: date, fahrenheit, celsius, discharge, cervix, intercourse. One row for each
// day of the year files (Basal/2009-Basal.txt) with a reading or a sign: the two
// temperatures of the day's bar, the discharge code (P, W, S, D), the cervix code (S, H)
// and "yes" for intercourse.
RecordKind BasalRecordKind(const DataFolders& dir);
