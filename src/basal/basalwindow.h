#pragma once
// The 33 days the basal chart shows for a month, and the rise-day rule that marks the day
// on which the temperature jumps above the cover line.

#include <QDate>
#include <array>

inline constexpr int kBasalDayColumns = 33;

// The first day of the window of a month: its last day less 30 days (June starts on
// 31 May, February 2009 on 29 January). The window ends two days after the month.
QDate BasalWindowStart(int year, int month);
// Day column 1..33 of the window that starts at start.
QDate ColumnDate(const QDate& start, int column);
// The day column of date in that window, 0 when the date lies outside it.
int DateColumn(const QDate& start, const QDate& date);

// Bar tops of the window's day columns, index 1..33 (index 0 unused); 0 for no bar.
using BarTops = std::array<int, kBasalDayColumns + 1>;

// Column c is a rise day when its bar stands above the cover line, the day before has a
// reading at or below it, the rise is more than three levels, and none of the ten columns
// before it (within the window) reads above the cover line.
bool IsRiseDay(const BarTops& tops, int column);
