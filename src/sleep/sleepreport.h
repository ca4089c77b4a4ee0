#pragma once
// The report page of the sleep view and of the baby and kids view (sleep.html or
// kids.html in the Build folder): the 33 days of the grid as a picture, the hours of
// each day and the 7- and 30-day averages of the selected day.

#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

#include "sleep/sleeplog.h"
#include "sleep/sleepsetup.h"

// "sleep" / "kids": the page is that + ".html", its picture that + "_grid.jpg".
QString SleepReportBase(SleepViewKind kind);

struct SleepReportInput {
  QString title;  // "Sleep Tracker", "Baby & Kids Tracker"
  QDate selected;
  QImage grid;    // the grid as the page shows it
};
QStringList SleepReportLines(const SleepReportInput& input, const SleepLog& log,
                             const QString& base);
bool WriteSleepReport(const QString& folder, const QString& base, const SleepReportInput& input,
                      const SleepLog& log, QString* error);
