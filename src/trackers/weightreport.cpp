#include "trackers/weightreport.h"

#include <QLocale>

#include "app/datechart.h"
#include "app/reportpage.h"
#include "trackers/bmi.h"
#include "trackers/bodyweight.h"

namespace {
const QColor kWeightColour(30, 100, 200);
constexpr double kPoundKg = 0.45359237;

QString Decimal(double value, int decimals) { return QLocale::c().toString(value, 'f', decimals); }
QString Iso(const QDate& date) { return date.toString(Qt::ISODate); }
}  // namespace

QString WeightBothUnits(double weight, bool pounds) {
  if (pounds)
    return Decimal(weight, 1) + QStringLiteral(" lbs (") + Decimal(weight * kPoundKg, 1) +
           QStringLiteral(" kg)");
  return Decimal(weight, 1) + QStringLiteral(" kg (") + Decimal(weight / kPoundKg, 1) +
         QStringLiteral(" lbs)");
}

QString HeightText(int heightField, bool pounds) {
  if (pounds)
    return QString::number(heightField) + QStringLiteral(" inches (") +
           Decimal(BmiHeightCm(heightField, true), 1) + QStringLiteral(" cm)");
  return QString::number(heightField) + QStringLiteral(" cm");
}

QImage WeightChartPicture(const QVector<DatedWeight>& weights, const QDate& first,
                          const QDate& last, bool pounds) {
  DateChartSpec spec;
  spec.title = QStringLiteral("Weight");
  spec.valueCaption = pounds ? QStringLiteral("lbs") : QStringLiteral("kg");
  spec.first = first;
  spec.last = last;
  spec.decimals = 1;
  ChartLine line{QStringLiteral("Weight"), kWeightColour, {}};
  for (const DatedWeight& w : weights)
    line.points << ChartPoint{QDateTime(w.date, QTime(12, 0)), w.weight};
  spec.lines << line;
  return DrawDateChart(spec);
}

QStringList WeightReportLines(const WeightReportInput& in) {
  ReportPage page(QStringLiteral("Weight Tracker"));
  page.Field(QStringLiteral("Date"), Iso(in.shown));
  const DatedWeight* day = nullptr;
  const DatedWeight* latest = nullptr;
  for (const DatedWeight& w : in.year) {
    if (w.date == in.shown) day = &w;
    if (w.date <= in.shown) latest = &w;
  }
  page.Field(QStringLiteral("Weight of the day"),
             day ? WeightBothUnits(day->weight, in.pounds) : QStringLiteral("not recorded"));
  if (in.goal > 0) page.Field(QStringLiteral("Goal of the month"), WeightBothUnits(in.goal, in.pounds));
  const double cm = BmiHeightCm(in.heightField, in.pounds);
  if (latest && cm > 0) {
    const double bmi = BodyMassIndex(BmiWeightKg(latest->weight, in.pounds), cm);
    page.Field(QStringLiteral("BMI"),
               Decimal(bmi, 1) + QStringLiteral(" (kg/m\u00b2, from the weight of ") +
                   Iso(latest->date) + QStringLiteral(" and a height of ") +
                   HeightText(in.heightField, in.pounds) + QLatin1Char(')'));
  }
  if (in.year.isEmpty()) {
    page.Paragraph(QStringLiteral("No weight has been recorded in %1.").arg(in.shown.year()));
    return page.Lines();
  }
  page.Picture(QString::fromLatin1(kWeightReportChart), kReportChartSize);
  QList<QStringList> rows;
  for (const DatedWeight& w : in.year)
    if (w.date.year() == in.shown.year() && w.date.month() == in.shown.month())
      rows << QStringList{Iso(w.date), WeightBothUnits(w.weight, in.pounds)};
  if (!rows.isEmpty()) {
    page.Heading(QStringLiteral("Weights of ") + QLocale::c().monthName(in.shown.month()) +
                 QLatin1Char(' ') + QString::number(in.shown.year()));
    page.Table({QStringLiteral("Date"), QStringLiteral("Weight")}, rows);
  }
  return page.Lines();
}

bool WriteWeightReport(const QString& folder, const WeightReportInput& in, QString* error) {
  QList<ReportPicture> pictures;
  if (!in.year.isEmpty())
    pictures << ReportPicture{QString::fromLatin1(kWeightReportChart),
                              WeightChartPicture(in.year, QDate(in.shown.year(), 1, 1),
                                                 QDate(in.shown.year(), 12, 31), in.pounds)};
  return WriteReportFiles(folder, QString::fromLatin1(kWeightReportPage), WeightReportLines(in),
                          pictures, error);
}
