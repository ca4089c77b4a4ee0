#pragma once
// The sleep-cycle chart of a bed time: an adult's night of 7.5 hours in quarter hours,
// from awake (1) through dreaming (-1) and light sleep (-2) to deep sleep (-4), and the
// wake-up line 7.5 hours after the bed time.

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QString>

inline constexpr double kAdultSleepHours = 7.5;

// "1,-1,-2,-3,-4,-3,-1,-3,-4,-4,-3,-1,-1,-2,-3,-3,-2,-1,-1,-1,-2,-2,-2,-1,-2,-1,-2,-2,
// -0.5 (seven times),0.5": 36 quarter-hour values.
QString SleepCycleText();
QList<double> SleepCycleValues();

struct SleepCyclePoint {
  QDateTime at;
  double value = 0;
};
// Point i at bedTime + i quarter hours with value i of the cycle.
QList<SleepCyclePoint> SleepCyclePoints(const QDateTime& bedTime);
// The wake-up line's time: bedTime + hours.
QDateTime WakeUpTime(const QDateTime& bedTime, double hours = kAdultSleepHours);

class AlarmList;

// The night the chart draws, and what it rests on.
struct ChartNight {
  QDateTime bedTime;
  QString caption;  // "For the bed time 11:00 PM", "For waking at 06:30 AM (your wake-up alarm)"
};
// The bed time chosen in the bed-time list (selected: its row, -1 for none); without one,
// the night that ends at the first checked wake-up time (else the first wake-up time);
// without any, a bed time of 10:30 PM. So the chart is never empty.
ChartNight ChartNightOf(const AlarmList& bedTimes, int selected, const AlarmList* wakeUpTimes);
