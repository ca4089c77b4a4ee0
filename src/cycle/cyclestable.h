#pragma once
// The cycle table of `mavelo --cycles`, for scripts. One line per cycle, oldest first,
// fields separated by a tab:
//   start, length in days (empty for the current cycle), first higher reading, shift
//   confirmed, mucus peak, peak confirmed
// with ISO dates and "-" where there is none (the first higher reading and the peak are
// given while they wait for confirmation, too). Then the lines
//   average<TAB>28.5      (at most two decimals)
//   shortest<TAB>26
//   longest<TAB>31
//   sd<TAB>1.41           (at most two decimals)
//   next period<TAB>2009-03-14<TAB>2009-03-16
// with "-" for a figure her history does not give yet. Every line ends in "\n"; numbers
// use "." whatever the locale.

#include <QString>

class CycleReading;

QString CyclesTableText(const CycleReading& reading);
