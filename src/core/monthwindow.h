#pragma once
// The 33 days that a month's day charts show (the basal chart, the sleep log): from the
// month's last day less 30 days to two days into the next month. June starts on 31 May,
// February 2009 on 29 January; December reaches 2 January of the next year.

#include <QDate>

inline constexpr int kWindowDays = 33;

// The first day of the window of a month; invalid for an invalid month.
QDate MonthWindowStart(int year, int month);
// Day column 1..33 of the window that starts at start (column 0 is the day before).
QDate WindowColumnDate(const QDate& start, int column);
// The day column of date in that window, 0 when the date lies outside it.
int WindowDateColumn(const QDate& start, const QDate& date);
