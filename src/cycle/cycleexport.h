#pragma once
// The cycle room's records for backup, restore and the CSV export: the calendar's
// settings (cycle.csv) and the journal notes (journal.csv).

#include "app/recordkind.h"

// cycle.csv: record, date, value. One row for each of the calendar's settings ("last
// period", "cycle length", "luteal length", "goal") when Config/application.ini exists;
// then, from the period history (Cycle/Periods.txt, which this kind keeps), a row
// "period start", date, how it was recorded ("picker", "day", "basal", "import") for each
// start, and "pause", first day, "pregnancy until 2010-10-15" for each pause.
RecordKind CycleRecordKind(const DataFolders& dir);
// The goal as the CSV names it: "none", "avoid pregnancy", "conceive", "conceive a boy",
// "conceive a girl".
QString GoalField(int goal);

// journal.csv: date, text. One row per note file (Notes/Y2009M3D14.txt), the note's lines
// joined by line feeds.
RecordKind JournalRecordKind(const DataFolders& dir);
