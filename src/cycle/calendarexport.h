#pragma once
// The calendar export: the predicted period days, fertile windows and ovulation days of
// the coming cycles as all-day events of an iCalendar file (RFC 5545, written by libical),
// for the user's own calendar program. The days are the cycle model's, from the
// calendar's settings; the same settings give the same events with the same UIDs, so a
// second import updates the first instead of adding to it.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include "core/cyclemodel.h"

inline constexpr int kDefaultExportCycles = 12;

struct PredictedEvent {
  enum class Kind { Period, Fertile, Ovulation };
  Kind kind = Kind::Period;
  QDate first, last;  // all-day, both included
  QString summary;    // "Period expected", "Fertile window", "Ovulation day"
  QString description;
  QString uid;        // "period-20261218@mavelo.app"
};

// The events of `cycles` cycles: the cycle that holds `from` and those after it (a
// cycle whose every event lies before `from` is not counted), leaving out events that
// ended before `from`. In date order. None when the settings cannot place a date.
QList<PredictedEvent> PredictedEvents(const CycleSettings& settings, const QDate& from,
                                      int cycles = kDefaultExportCycles);

// The calendar text (CR LF lines). stamp is every event's DTSTAMP.
QByteArray CalendarText(const QList<PredictedEvent>& events, const QDateTime& stamp);

// Writes the calendar of the settings to path (whole, through the file layer). False
// with the user's message. *count gets the number of events.
bool WriteCycleCalendar(const QString& path, const CycleSettings& settings, const QDate& from,
                        int cycles, QString* error, int* count = nullptr);
