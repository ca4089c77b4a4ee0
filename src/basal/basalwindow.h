#pragma once
// The basal chart's day columns (a month's 33-day window) and the rise-day rule that marks
// the day on which the temperature jumps above the cover line.

#include <array>

#include "core/monthwindow.h"

inline constexpr int kBasalDayColumns = kWindowDays;

// Bar tops of the window's day columns, index 1..33 (index 0 unused); 0 for no bar.
using BarTops = std::array<int, kBasalDayColumns + 1>;

// Column c is a rise day when its bar stands above the cover line, the day before has a
// reading at or below it, the rise is more than three levels, and none of the ten columns
// before it (within the window) reads above the cover line.
bool IsRiseDay(const BarTops& tops, int column);
