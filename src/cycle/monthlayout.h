#pragma once
// Where the days of a month sit in the 7 x 7 month grid (row 0 holds the weekday
// names, Sunday in column 0), the size of its cells, and the month's points of the
// pregnancy-probability chart.

#include <QList>
#include <QPoint>
#include <QRect>

struct CycleSettings;

inline constexpr int kGridColumns = 7;
inline constexpr int kGridRows = 7;
inline constexpr int kGridLineWidth = 1;

// The number added to column + 7 x (row - 1) to give the day shown in a cell: 2 - w,
// w being the weekday of day 1 counted 1 for Sunday to 7 for Saturday, modulo 7; -5
// when day 1 is a Saturday (w = 0). An invalid month gives 1.
int MonthOffset(int year, int month);

// The day shown at (col, row), or 0 for the header row, a cell outside the month and
// coordinates outside the grid.
int DayAtCell(int year, int month, int col, int row);

// The cell (x = column, y = row) showing the day; (-1, -1) when the month has no such day.
QPoint CellOfDay(int year, int month, int day);

// Cell sizes in whole pixels for a grid of the given size: (width - 6 lines) / 7 and
// (height - 6 lines) / 7, never below 0.
int GridColumnWidth(int gridWidth);
int GridRowHeight(int gridHeight);

// The rectangle of a cell, lines between cells excluded.
QRect GridCellRect(int col, int row, int gridWidth, int gridHeight);

// The cell (x = column, y = row) under a point of the grid; (-1, -1) on a grid line
// or outside the cells.
QPoint GridCellAt(const QPoint& pos, int gridWidth, int gridHeight);

struct MonthProbabilityPoint {
  int day = 0;
  int percent = 0;
  bool operator==(const MonthProbabilityPoint&) const = default;
};

// For each day 1 to the last day of the month, in order, the day's probability point
// when the cycle model gives one. Days without a point are left out.
QList<MonthProbabilityPoint> MonthProbabilityPoints(const CycleSettings& settings, int year,
                                                    int month);
