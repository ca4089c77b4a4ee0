#include "cycle/widgets/calendarreportwriter.h"

#include "app/widgets/messages.h"
#include "cycle/calendarreport.h"
#include "cycle/cyclemodel.h"
#include "cycle/widgets/mycalendar.h"
#include "cycle/widgets/probabilitychart.h"

bool WriteCalendarReportFromScreen(TMyCalendar& grid, TProbabilityChart& chart,
                                   const CycleSettings& settings, const QDate& selectedDate,
                                   const QString& buildFolder, QWidget* parent) {
  QString error;
  if (WriteCalendarReport(buildFolder, grid.RenderImage(), chart.RenderImage(),
                          MakeCalendarReportData(settings, selectedDate), &error))
    return true;
  ShowError(error, parent);
  return false;
}
