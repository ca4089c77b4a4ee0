#pragma once
// Her blood-pressure readings over a stretch of dates, read from every log of the Heart
// folder (Y<year>-pressure.txt), reading only. A log is named after the year the
// program started in, not after its readings, so each reading is placed by its own Date
// cell. What the reports show of them: the readings in date order with their
// categories, the morning and evening averages, the highest and the lowest.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>
#include <optional>

#include "trackers/pressurereadings.h"

struct DatedReading {
  QDate date;
  QTime time;  // invalid when the Time Taken cell does not read as a time
  int systolic = 0;
  int diastolic = 0;
  int pulse = -1;  // -1 when the cell holds no whole number above 0
  PressureCategory category = PressureCategory::Normal;
  bool operator==(const DatedReading&) const = default;
};

// The date of a Date cell: "Mar 5, 2009" as the log writes it (in the program's
// language or in English), the ISO date, or the locale's short date. Invalid otherwise.
QDate PressureCellDate(const QString& cell);
// "7:30 AM" as the log writes it (the locale's or the English AM/PM), or "19:30".
QTime PressureCellTime(const QString& cell);

struct PressureHistory {
  QVector<DatedReading> readings;  // date and time order
  // Rows with both values whose Date cell reads as no date: they cannot be placed.
  int undated = 0;
  QStringList errors;  // logs that could not be read
};
// The readings of every log whose date lies from first to last (both included). A row
// counts when its systolic and diastolic cells are both whole numbers above 0.
PressureHistory ReadPressureHistory(const QString& heartFolder, const QDate& first,
                                    const QDate& last);
// The same over one log's grid (for a log held in memory); the readings are added in
// the log's order (SortReadings puts them in time order).
void CollectReadings(const CellGrid& grid, const QDate& first, const QDate& last,
                     PressureHistory* history);
// Oldest first; a reading without a time first on its day; readings of one moment keep
// their order.
void SortReadings(QVector<DatedReading>* readings);

struct PressureAverage {
  int count = 0;
  int systolic = 0;  // rounded to whole mm Hg; 0 without readings
  int diastolic = 0;
};
struct PressureSummary {
  PressureAverage all;
  PressureAverage morning;  // taken before noon
  PressureAverage evening;  // taken from noon on
  int untimed = 0;          // in neither: the time could not be read
  std::optional<DatedReading> highest;  // the highest systolic (then diastolic)
  std::optional<DatedReading> lowest;   // the lowest systolic (then diastolic)
};
PressureSummary SummarizePressure(const QVector<DatedReading>& readings);

// "120/80 mm Hg".
QString PressureText(int systolic, int diastolic);
