#pragma once
// The calendar report of the Build folder: calendar.html with the month grid
// (calendar.jpg), the probability chart (chart.jpg) and the colour legend (legend.jpg).

#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>

#include "core/clock.h"

struct CycleSettings;

struct CalendarReportData {
  QString goalText;    // the goal selector's text; empty when no goal is selected
  QDate selectedDate;  // names the month and year
  QDate lastPeriod;
  int cycleLength = 28;
  int lutealLength = 14;
  QDate created;       // today
};

// The report data from the cycle settings: the goal's name (empty for no goal), the
// settings and today.
CalendarReportData MakeCalendarReportData(const CycleSettings& settings,
                                          const QDate& selectedDate,
                                          const QDate& today = Clock::Today());

// The 24 lines of calendar.html.
QStringList CalendarReportLines(const CalendarReportData& data);

// The colour legend beside the grid: the four cycle colours, the heart and the cross,
// each with its caption.
QImage CalendarLegendImage();

// Writes calendar.jpg, chart.jpg, legend.jpg and then calendar.html into buildFolder
// (ending in "/"). Stops at the first file that cannot be written, with the user's
// message in *error, so a page is never written without its pictures.
bool WriteCalendarReport(const QString& buildFolder, const QImage& calendarPicture,
                         const QImage& chartPicture, const CalendarReportData& data,
                         QString* error);
