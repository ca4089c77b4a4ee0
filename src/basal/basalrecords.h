#pragma once
// Her basal year files read as day signs for the cycle reading (cycle/daysigns.h): every
// "<year>-Basal.txt" of the Basal folder, read only.
//
// How the chart's signs map to the reading's:
//   discharge, column 4: "P" (period) a period day, which the mucus rule does not count;
//     "W" (wet mucus) wet; "S" (sticky mucus) sticky; "D" (dry, no discharge) dry;
//     empty or any other text: nothing recorded.
//   cervix, column 6: "S" (soft) and "H" (hard) describe the cervix, not the mucus, and
//     are not read: the rules here rest on temperature and mucus alone.
//   temperature, columns 1 to 3 and 7: basal/basaltemperature.h (a disturbed reading is
//     kept, marked, and left out of the temperature rule).
//   intercourse, column 5: not a sign of fertility; not read.

#include <QString>
#include <QStringList>

#include "core/gridfile.h"
#include "cycle/daysigns.h"

// The mucus reading of a discharge code (trimmed); period days are told apart by
// IsPeriodCode.
Mucus MucusFromDischarge(const QString& code);
bool IsPeriodCode(const QString& code);

// Appends the signs of every day of a year grid that holds anything the reading uses.
void ReadBasalYear(const CellGrid& grid, int year, TemperatureUnit unit, DaySignsList* days);
// Replaces the days of one year (the chart's held year with changes not yet written).
void ReplaceBasalYear(DaySignsList* days, const CellGrid& grid, int year, TemperatureUnit unit);

// The years that have a file in the folder, oldest first.
QVector<int> BasalYears(const QString& basalFolder);
// Reads every year file of the folder into days (date order). A file that cannot be read
// adds its message to *errors, its days are missing and the rest is read; false then.
bool ReadBasalFolder(const QString& basalFolder, TemperatureUnit unit, DaySignsList* days,
                     QStringList* errors);
