#pragma once
// Her cycle reading from the data folder, reading only: the period history
// (Cycle/Periods.txt) and every basal year file (Basal/). The views build it at start and
// after a change (handing the chart's held years with unsaved changes to
// ReplaceBasalYear first); `mavelo --cycles` prints its table.

#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>

#include "app/datafolders.h"
#include "cycle/cyclereading.h"
#include "cycle/cyclerecordstore.h"
#include "cycle/periodhistory.h"

// Reads the history into *history and the basal files into *days. A file that cannot be
// read adds its message to *errors and the rest is still read; false then.
bool ReadCycleRecords(const DataFolders& dir, TemperatureUnit unit, PeriodHistory* history,
                      DaySignsList* days, QStringList* errors);
// ReadCycleRecords, then the reading built for today.
bool LoadCycleReading(const DataFolders& dir, TemperatureUnit unit, const QDate& today,
                      CycleReading* reading, QStringList* errors);
// `mavelo --cycles`: the cycle table (cycle/cyclestable.h) in the unit of her settings.
// A file that cannot be read adds its message to *errors (the table shows the rest).
QString CyclesCommandText(const DataFolders& dir, const QDate& today, QStringList* errors);
// The views' shared store of her records over the data folder: the history file and the
// basal files it reads (read once, then kept; see cycle/cyclerecordstore.h).
std::unique_ptr<CycleRecordStore> MakeCycleRecordStore(const DataFolders& dir,
                                                       QObject* parent = nullptr);
