#pragma once
// What she recorded on a day for the symptothermal reading: the waking temperature
// (and whether it was disturbed), whether it was a period day, and the mucus quality.
// The basal room reads them from its year files (basal/basalrecords.h); the rules in
// cycle/symptothermal.h read them from here, so they need no file.

#include <QDate>
#include <QVector>
#include <optional>
#include <span>

#include "cycle/bodytemperature.h"

// Mucus quality, from least to most fertile. None: nothing recorded that day.
enum class Mucus : quint8 { None = 0, Dry = 1, Sticky = 2, Wet = 3 };

struct DaySigns {
  QDate date;
  std::optional<BodyTemperature> temperature;  // the waking reading, in her unit
  bool disturbed = false;  // sleep, illness, alcohol...: left out of the evaluation
  bool period = false;     // a period day ("P")
  Mucus mucus = Mucus::None;

  // A reading that counts for the temperature rule.
  bool HasValidReading() const { return temperature.has_value() && !disturbed; }
  // A day with a mucus observation that counts: recorded, not a period day.
  bool HasMucusRecord() const { return !period && mucus != Mucus::None; }
};

// Days in date order, one per date; days without anything recorded may be absent.
using DaySignsList = QVector<DaySigns>;
using DaySignsSpan = std::span<const DaySigns>;

// Sorts by date and keeps the last entry of a repeated date.
void SortDaySigns(DaySignsList& days);
// The days from `first` to `last` (both included; an invalid last: to the end).
DaySignsSpan DaysBetween(const DaySignsList& days, const QDate& first, const QDate& last);
// The entry of a date, or nullptr.
const DaySigns* DayOn(const DaySignsList& days, const QDate& date);

// The period starts the "P" days give: a run of period days after a day without one
// starts a period. A run that begins fewer than kSamePeriodDays after the start before
// it (a day she forgot to mark inside one period) continues that period.
QVector<QDate> PeriodStartsFromDays(const DaySignsList& days);
