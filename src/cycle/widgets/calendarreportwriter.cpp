#include "cycle/widgets/calendarreportwriter.h"

#include "app/widgets/messages.h"
#include "cycle/calendarreport.h"
#include "core/cyclemodel.h"
#include "cycle/widgets/monthcalendar.h"
#include "cycle/widgets/probabilitychart.h"

bool WriteCalendarReportFromScreen(MonthCalendar& grid, ProbabilityChart& chart,
                                   const CycleSettings& settings, const QDate& selectedDate,
                                   const QString& buildFolder, QWidget* parent) {
  QString error;
  if (WriteCalendarReport(buildFolder, grid.RenderImage(), chart.RenderImage(),
                          MakeCalendarReportData(settings, selectedDate), &error))
    return true;
  ShowError(error, parent);
  return false;
}
