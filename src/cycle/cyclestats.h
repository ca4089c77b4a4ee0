#pragma once
// Her cycles, counted from her period starts, with the figures that rest on them: the
// average of the last 12 cycles, the shortest, the longest, the standard deviation, and
// the windows in which the next three periods are expected. Cycles longer than 99 days
// and cycles that touch a pause she marked are left out of the figures (and counted, so
// the page can say so). Plain functions over plain values: no files, no clock.

#include <QDate>
#include <QLocale>
#include <QString>
#include <QVector>
#include <optional>

#include "core/textutil.h"
#include "cycle/periodhistory.h"

inline constexpr int kLongestCountedCycle = 99;  // days
inline constexpr int kCyclesForFigures = 3;
inline constexpr int kCyclesAveraged = 12;
inline constexpr int kPredictedPeriods = 3;

enum class CycleLeftOut { None, TooLong, Paused };

struct Cycle {
  QDate start;
  int length = 0;  // days from this start to the next one; 0 for the current cycle
  CycleLeftOut leftOut = CycleLeftOut::None;

  bool IsCurrent() const { return length == 0; }
  // The last day: the day before the next start; invalid for the current cycle.
  QDate LastDay() const { return length > 0 ? start.addDays(length - 1) : QDate(); }
  bool Counts() const { return length > 0 && leftOut == CycleLeftOut::None; }
};

// One cycle per start, oldest first; the last is the current cycle. A cycle that has a
// day in a pause is left out as Paused (the pause explains its length), else one longer
// than 99 days as TooLong. Starts are taken in date order; an invalid or repeated date
// is skipped.
QVector<Cycle> CyclesFromStarts(const QVector<QDate>& starts, const QVector<CyclePause>& pauses);
QVector<QDate> StartDates(const QVector<PeriodStart>& starts);

struct CycleStats {
  int complete = 0;       // cycles with a length
  int counted = 0;        // complete and not left out
  int used = 0;           // the last (up to) 12 counted cycles: what the figures rest on
  int leftOutTooLong = 0;
  int leftOutPaused = 0;
  // From three counted cycles on; zero before.
  double average = 0;     // of the cycles used
  int averageDays = 0;    // the average rounded to whole days (halves up)
  int shortest = 0;
  int longest = 0;
  double deviation = 0;   // sample standard deviation (divides by n - 1)

  bool HasFigures() const { return counted >= kCyclesForFigures; }
  int CyclesNeeded() const { return HasFigures() ? 0 : kCyclesForFigures - counted; }
  // ± 1 day when the deviation is under 1.5 days, ± 2 days otherwise.
  int WindowMargin() const { return deviation < 1.5 ? 1 : 2; }
};
CycleStats ComputeCycleStats(const QVector<Cycle>& cycles);

struct PeriodWindow {
  QDate expected;  // the last start plus whole average cycles
  QDate first;     // expected - margin
  QDate last;      // expected + margin
  bool Contains(const QDate& date) const { return date >= first && date <= last; }
};

struct CycleForecast {
  CycleStats stats;
  QDate lastStart;                    // invalid without any start
  std::optional<CyclePause> pause;    // a pause since the last start: nothing is predicted
  QVector<PeriodWindow> windows;      // the next three periods, oldest first; may be empty

  // Whether a date lies in one of the predicted windows (the month grid's mark).
  bool InWindow(const QDate& date) const;
  const PeriodWindow* WindowOn(const QDate& date) const;
};

// The next three periods from the last start, each window the last start plus k average
// cycles ± the margin, when there are figures. A pause that has a day between the last
// start and today (or goes on) stops the prediction: the history says nothing about
// cycles she did not record.
CycleForecast ForecastCycles(const QVector<Cycle>& cycles, const QVector<CyclePause>& pauses,
                             const QDate& today);

// "14–16 March"; "30 March–1 April"; with the year when it is not today's
// ("2–4 January 2010"), after each date when the window spans two years
// ("30 December 2009–1 January 2010").
QString DateWindowText(const QDate& first, const QDate& last, const QDate& today,
                       const QLocale& locale = AppLocale());
// "17 March" (with the year when not today's).
QString DayMonthText(const QDate& date, const QDate& today, const QLocale& locale = AppLocale());

// The day panel's line about the next period:
//   "Next period expected 14–16 March (from your last 6 cycles)."
//   "Your period was expected 14–16 March (from your last 6 cycles) and no start has
//    been recorded since."
//   "2 more cycles are needed before your next period can be predicted from your own
//    history (1 so far)."
//   "No period is predicted during a pause (pregnancy since 4 January 2010)."
QString NextPeriodText(const CycleForecast& forecast, const QDate& today,
                       const QLocale& locale = AppLocale());
// What was left out, or empty: "Left out of the figures: 1 cycle longer than 99 days and
// 2 cycles in a pause."
QString LeftOutText(const CycleStats& stats);
// "Average 28.5 days over your last 12 cycles; shortest 26, longest 31; standard
// deviation 1.4 days." Empty without figures.
QString FiguresText(const CycleStats& stats, const QLocale& locale = AppLocale());
// A number with at most two decimals, "." always (28, 28.5, 28.33): for scripts.
QString ScriptNumber(double value);
