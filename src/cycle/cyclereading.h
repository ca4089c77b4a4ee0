#pragma once
// Everything the program reads from her own records, in one place for the views: her
// cycles (from the recorded starts and the basal chart's "P" days), the figures and the
// predicted periods, and the symptothermal reading of every cycle, with the status of
// any day, the chart series of a cycle and the "Use my average" values. Built in one
// pass over her records (a few milliseconds for ten years of daily records); ask again
// after a change by building anew. Plain values: no files, no clock.
//
// A view needs:
//   the day panel        StatusOn(date).text, NextPeriodText(today)
//   the month grid       Forecast().InWindow(date) (the predicted window of a period)
//   "My cycles"          Rows(), Forecast().stats, LeftOutText, FiguresText
//   the basal chart      ChartOf(RowOf(date))
//   "Use my average"     Averages()
//   mavelo --cycles      CyclesTableText(reading) (cycle/cyclestable.h)

#include <QDate>
#include <QVector>

#include "cycle/cyclestats.h"
#include "cycle/daysigns.h"
#include "cycle/periodhistory.h"
#include "cycle/symptothermal.h"

struct CycleRow {
  Cycle cycle;  // start, length (0 for the current cycle), left out of the figures or not
  PeriodSource source = PeriodSource::DayAction;  // how its start was recorded
  CycleSignsReading signs;
  // The next start less the ovulation day found from her temperatures (the day before the
  // first higher reading), for a complete cycle with a confirmed shift; 0 otherwise.
  int lutealLength = 0;
};

// One cycle's line chart, in her unit.
struct ChartReading {
  QDate date;
  int cycleDay = 0;
  BodyTemperature temperature;
  bool disturbed = false;  // drawn apart: it does not count
};
struct CycleChart {
  QDate start;
  QDate last;  // the chart's days run from start to last
  TemperatureUnit unit = TemperatureUnit::Fahrenheit;
  QVector<ChartReading> readings;  // every reading of the cycle, date order
  bool hasCoverLine = false;       // a confirmed or awaiting shift
  BodyTemperature coverLine;       // in her unit: the highest of the six lower readings
  QDate coverFrom;                 // the first of the six lower readings
  QDate coverTo;                   // the confirmation (or the last higher reading)
  QVector<QDate> higher;           // the higher readings, numbered 1, 2, 3 (4) in order
  QDate dipDay;                    // rule (c): the reading on or below the line
  QDate firstHigher;
  QDate shiftConfirmed;
  QDate peakDay;                   // the mucus peak (confirmed or not yet)
  QDate peakConfirmed;
  QDate fertileEnd;                // its evening ends the fertile phase

  int CycleDay(const QDate& date) const { return static_cast<int>(start.daysTo(date)) + 1; }
};

// The line over a cycle's chart, in plain words, saying what it rests on:
//   "Temperature rise confirmed on 17 March over a cover line of 36.45 °C."
//   "First higher reading on 14 March: the readings that would confirm the rise are still to come."
//   "Not enough readings for a cover line: 4 counted readings, 7 needed."
//   "No temperature rise is confirmed in this cycle's 12 counted readings."
// then "Readings marked disturbed are left out." when the cycle has one.
QString ChartSummaryText(const CycleChart& chart, const QDate& today);

// "Use my average": the values the footer could take from her history. A value is 0
// when her records do not give it; the view checks that it fits the footer's range
// (Config::ClampCycleLength / ClampLuteal) before it offers to set it.
struct AverageSettings {
  int cycleLength = 0;   // the rounded average of her last 12 counted cycles
  int cycles = 0;        // how many it rests on
  int lutealLength = 0;  // the rounded average of the last 12 luteal lengths, from 3 on
  int lutealCycles = 0;
};

class CycleReading {
 public:
  // starts: her recorded starts (PeriodHistory::Starts); days: her day signs from the
  // basal files (their "P" days add the starts she did not record, MergeStarts);
  // today: the current cycle runs up to it.
  void Build(const QVector<PeriodStart>& starts, const QVector<CyclePause>& pauses,
             DaySignsList days, const QDate& today, TemperatureUnit unit);

  const QVector<CycleRow>& Rows() const { return rows_; }
  const CycleForecast& Forecast() const { return forecast_; }
  const QVector<CyclePause>& Pauses() const { return pauses_; }
  const DaySignsList& Days() const { return days_; }
  QDate Today() const { return today_; }
  TemperatureUnit Unit() const { return unit_; }

  // The row of the cycle that holds the date; -1 before the first start.
  int RowOf(const QDate& date) const;
  // The day's status in plain words. A day in a pause says so; a day before her first
  // start asks for one.
  DayStatus StatusOn(const QDate& date) const;
  // The chart of a row's cycle; empty for a row out of range.
  CycleChart ChartOf(int row) const;
  AverageSettings Averages() const;
  // cycle/cyclestats.h's NextPeriodText for her forecast.
  QString NextPeriodText() const;

 private:
  QVector<CycleRow> rows_;
  QVector<CyclePause> pauses_;
  CycleForecast forecast_;
  DaySignsList days_;
  QDate today_;
  TemperatureUnit unit_ = TemperatureUnit::Fahrenheit;
};
