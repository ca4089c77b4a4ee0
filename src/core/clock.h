#pragma once
// The program's one answer to "what time is it". Alarms, today's summaries and the
// "today" link ask here, so tests can step through minutes and days without waiting.

#include <QDate>
#include <QDateTime>
#include <functional>

namespace Clock {
QDateTime Now();
QDate Today();
// Replaces the system clock until called again with an empty function.
void SetSource(std::function<QDateTime()> source);
// Called first thing in main: while TZ is unset, the C library reads the zone file again
// at every conversion to local time, and a backup or a restore converts the times of
// thousands of files. TZ then names the system's own zone file, the same zone.
void PinTimeZone();
}  // namespace Clock
