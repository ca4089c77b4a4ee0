#pragma once
// The basal room's writer for an import (app/recordkind.h RecordImporter): the rows of
// basal.csv, as its export writes them, back into the year files (Basal/2009-Basal.txt).
//
// A row's temperature is read from the column of her unit (the settings'
// Temperature_Units), else from the other one, and stored as a precise reading in both
// units with its nearest level (basal/basaltemperature.h); 35.00 to 42.00 °C. The
// discharge and cervix codes are stored as they are written, "yes" under intercourse
// sets the mark, and a "disturbed" column's word marks the reading as left out of the
// evaluation. A day that already holds a reading or a sign keeps it, or under
// ImportMode::Replace gets the imported day instead. Each year file is written once.

#include "app/recordkind.h"

bool ImportBasalTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                      ImportTally* tally, QString* error);
