#pragma once
// An alarm entry is one item of an alarm list: its caption ("Mon Wed Fri at 10:15 PM"),
// sub-item 0 the days text and sub-item 1 the time value. The days text is "Daily", the
// chosen weekdays each as Mon .. Sun followed by a space ("Mon Wed Fri "), or one date
// written "dddd mmmm, d, yyyy" in English (Monday January, 5, 2009). The time value is a date-time
// number (days since 30 December 1899); only its time of day takes part in ringing.

#include <QDate>
#include <QDateTime>
#include <QString>

#include "sleep/listviewfile.h"

enum class AlarmFrequency { Daily, Weekly, FixedDate };

// Weekday bits: Monday is bit 0 .. Sunday bit 6.
using WeekdaySet = unsigned;
inline constexpr WeekdaySet WeekdayBit(int weekday) { return 1u << (weekday - 1); }

// "Mon" .. "Sun" for 1 .. 7. Written in every locale, so that a list rings the same
// wherever it is read.
QString WeekdayName(int weekday);

// The days text of a new entry; empty for a weekly entry without days.
QString AlarmDaysText(AlarmFrequency frequency, WeekdaySet weekdays, const QDate& date);
// "hh:mm ampm" (07:30 AM).
QString AlarmTimeText(const QDateTime& time);
// The days text without its outer blanks + " at " + the time text.
QString AlarmCaption(const QString& daysText, const QDateTime& time);
// The time value as the file keeps it: up to 15 significant digits, "." whatever the
// locale (39448.3125).
QString AlarmTimeValueText(const QDateTime& time);
// Reads a time value written with either decimal separator. Invalid when the text is
// not a number, so such an entry never rings.
QDateTime ReadAlarmTime(const QString& text);

// A new checked entry.
ListViewItem MakeAlarmEntry(const QString& daysText, const QDateTime& time);

// Whether an entry rings at `now`: it is checked, its time of day has now's hour and
// minute, and its days are "Daily", name now's weekday, or are now's date.
bool AlarmRings(const ListViewItem& entry, const QDateTime& now);
// The same for the days text alone.
bool AlarmDaysMatch(const QString& daysText, const QDate& today);
