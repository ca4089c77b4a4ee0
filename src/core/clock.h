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
}  // namespace Clock
