#pragma once
// Calories from what she did: the activities of the exercise tracker's list with their
// MET values (the energy an activity costs as a multiple of sitting at rest) from the
// Compendium of Physical Activities (Ainsworth et al., 2011), each with the
// Compendium's five-digit code, and the estimate MET x body weight in kg x hours.
// The older estimate from time and intensity (EstimateCalories) stays as it is.

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

struct MetValue {
  const char* activity;     // the name on the built-in list
  const char* code;         // the Compendium's code
  double met;
  const char* description;  // the Compendium's activity the value is taken from
};

// The value of an activity of the list: its name compared trimmed and without regard
// to case, so "Boxing " and a "yoga" she added herself find theirs. Nothing for an
// activity the Compendium has no entry for here (the names she adds).
std::optional<MetValue> MetFor(const QString& activity);
// Every entry, in the list's order.
const QList<MetValue>& MetTable();

struct ActivityEstimate {
  int calories = 0;  // rounded, held to the calories field's 0 .. 10000
  QStringList counted;       // the ticked activities with a value
  QStringList withoutValue;  // the ticked activities without one (not counted)
  bool HasEstimate() const { return !counted.isEmpty(); }
};
// MET x kg x hours for the ticked activities. The workout's time is shared evenly among
// the ticked activities that have a value (one hour of running and yoga: half an hour
// each); those without one count nothing and are named.
ActivityEstimate EstimateFromActivities(const QStringList& ticked, int hours, int minutes,
                                        double weightKg);

// The text beside the estimate, saying what it rests on:
//   "From activities: 588 calories (Running 9.8 MET, code 12050; 60.0 kg weighed on
//    2009-03-01; 1 h 0 min)"  ("60.0 kg as given" without a date)
//   "From activities: tick what you did on the Activities page"
//   "From activities: enter the workout time"
//   with ". No value for: Ultimate Cooking" when some ticked ones have none.
QString ActivityEstimateText(const ActivityEstimate& estimate, const QStringList& ticked,
                             int hours, int minutes, double weightKg, const QDate& weighed);
