#pragma once
// The basal chart's records for backup, restore and the CSV export.

#include "app/recordkind.h"

// basal.csv: date, fahrenheit, celsius, discharge, cervix, intercourse, disturbed. One
// row for each day of the year files (Basal/2009-Basal.txt) with a reading or a sign: the
// day's reading in her unit as the chart shows it and its exact conversion
// (basal/basaltemperature.h), the discharge code (P, W, S, D), the cervix code (S, H),
// "yes" for intercourse, and the reason a reading is marked disturbed ("sleep",
// "illness", "alcohol", "disturbed"). An import takes the same columns back
// (basal/basalimport.h).
RecordKind BasalRecordKind(const DataFolders& dir);
