#pragma once
// "View Report" and "Print Report" of the day panel: the calendar report written from
// the grid and the chart as they are on screen.

#include <QDate>
#include <QString>

class QWidget;
class MonthCalendar;
class ProbabilityChart;
struct CycleSettings;

// Writes calendar.jpg, chart.jpg, legend.jpg and calendar.html into buildFolder. A file
// that cannot be written is shown in the application's error box and false returns, so
// the caller neither opens nor prints the page.
bool WriteCalendarReportFromScreen(MonthCalendar& grid, ProbabilityChart& chart,
                                   const CycleSettings& settings, const QDate& selectedDate,
                                   const QString& buildFolder, QWidget* parent = nullptr);
