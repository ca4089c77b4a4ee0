#include "basal/basalwindow.h"

#include <algorithm>

#include "basal/basalscale.h"

bool IsRiseDay(const BarTops& tops, int column) {
  if (column < 2 || column > kBasalDayColumns) return false;
  const int today = tops[column];
  const int before = tops[column - 1];
  if (!IsAboveCoverLine(today) || !IsAtOrBelowCoverLine(before)) return false;
  if (before - today <= 3) return false;
  for (int i = std::max(column - 10, 1); i < column; ++i)
    if (IsAboveCoverLine(tops[i])) return false;
  return true;
}
