#include "sleep/sleepreport.h"

#include <QLocale>

#include "app/reportpage.h"

QString SleepReportBase(SleepViewKind kind) {
  return kind == SleepViewKind::Kids ? QStringLiteral("kids") : QStringLiteral("sleep");
}

QStringList SleepReportLines(const SleepReportInput& in, const SleepLog& log,
                             const QString& base) {
  ReportPage page(in.title);
  page.Field(QStringLiteral("Date"), in.selected.toString(Qt::ISODate));
  if (!log.IsOpen()) {
    page.Paragraph(QStringLiteral("The log has not been opened yet."));
    return page.Lines();
  }
  const QDate first = log.ColumnDate(1), last = log.ColumnDate(kSleepDayColumns);
  page.Field(QStringLiteral("Days"), first.toString(Qt::ISODate) + QStringLiteral(" to ") +
                                         last.toString(Qt::ISODate));
  page.Paragraph(AveragesText(log.Averages(in.selected)).simplified());
  if (!in.grid.isNull()) page.Picture(base + QStringLiteral("_grid.jpg"), in.grid.size());
  QList<QStringList> rows;
  for (int c = 1; c <= kSleepDayColumns; ++c) {
    if (log.HoursText(c).trimmed().isEmpty()) continue;
    rows << QStringList{log.ColumnDate(c).toString(Qt::ISODate),
                        QLocale::c().toString(log.ColumnHours(c), 'f', 1)};
  }
  if (!rows.isEmpty()) {
    page.Heading(QStringLiteral("Hours asleep"));
    page.Table({QStringLiteral("Date"), QStringLiteral("Hours")}, rows);
  }
  return page.Lines();
}

bool WriteSleepReport(const QString& folder, const QString& base, const SleepReportInput& input,
                      const SleepLog& log, QString* error) {
  QList<ReportPicture> pictures;
  if (!input.grid.isNull()) pictures << ReportPicture{base + QStringLiteral("_grid.jpg"), input.grid};
  return WriteReportFiles(folder, base + QStringLiteral(".html"),
                          SleepReportLines(input, log, base), pictures, error);
}
