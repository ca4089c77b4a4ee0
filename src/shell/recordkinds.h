#pragma once
// The one table of every room's records: what a backup holds, what a restore accepts
// and what the CSV export writes, in the order of the CSV files. A new kind of record
// is one entry here.

#include <QList>

#include "app/recordkind.h"

QList<RecordKind> RecordKinds(const DataFolders& dir);
