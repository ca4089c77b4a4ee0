#include "trackers/weightreport.h"

#include <QLocale>
#include <cmath>

#include "app/datechart.h"
#include "app/reportpage.h"
#include "core/textutil.h"
#include "trackers/bodyweight.h"

namespace {
const QColor kWeightColour(30, 100, 200);

UnitSystem Other(UnitSystem s) {
  return s == UnitSystem::Imperial ? UnitSystem::Metric : UnitSystem::Imperial;
}

QString Decimal(double value, int decimals) { return QLocale::c().toString(value, 'f', decimals); }
QString Iso(const QDate& date) { return date.toString(Qt::ISODate); }
}  // namespace

QString WeightBothUnits(double weight, UnitSystem system) {
  return Decimal(weight, 1) + QLatin1Char(' ') + WeightUnitMark(system) + QStringLiteral(" (") +
         Decimal(ConvertWeight(weight, system, Other(system)), 1) + QLatin1Char(' ') +
         WeightUnitMark(Other(system)) + QLatin1Char(')');
}

QString HeightText(double heightCm, UnitSystem shown) {
  // A whole height she typed reads as she typed it ("65 inches", "170 cm"); one
  // converted from the other system keeps a tenth.
  const auto tenths = [](double v) { return StoredNumberText(std::round(v * 10) / 10); };
  if (shown == UnitSystem::Imperial)
    return tenths(ConvertHeight(heightCm, UnitSystem::Metric, UnitSystem::Imperial)) +
           QStringLiteral(" inches (") + Decimal(heightCm, 1) + QStringLiteral(" cm)");
  return tenths(heightCm) + QStringLiteral(" cm");
}

QImage WeightChartPicture(const QVector<DatedWeight>& weights, const QDate& first,
                          const QDate& last, UnitSystem system) {
  DateChartSpec spec;
  spec.title = QStringLiteral("Weight");
  spec.valueCaption = WeightUnitMark(system);
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
             day ? WeightBothUnits(day->weight, in.units) : QStringLiteral("not recorded"));
  if (in.goal > 0) page.Field(QStringLiteral("Goal of the month"), WeightBothUnits(in.goal, in.units));
  const double cm = in.heightCm;
  if (latest && cm > 0) {
    const double bmi =
        BodyMassIndex(ConvertWeight(latest->weight, in.units, UnitSystem::Metric), cm);
    page.Field(QStringLiteral("BMI"),
               Decimal(bmi, 1) + QStringLiteral(" (kg/m\u00b2, from the weight of ") +
                   Iso(latest->date) + QStringLiteral(" and a height of ") +
                   HeightText(in.heightCm, in.units) + QLatin1Char(')'));
  }
  if (in.year.isEmpty()) {
    page.Paragraph(QStringLiteral("No weight has been recorded in %1.").arg(in.shown.year()));
    return page.Lines();
  }
  page.Picture(QString::fromLatin1(kWeightReportChart), kReportChartSize);
  QList<QStringList> rows;
  for (const DatedWeight& w : in.year)
    if (w.date.year() == in.shown.year() && w.date.month() == in.shown.month())
      rows << QStringList{Iso(w.date), WeightBothUnits(w.weight, in.units)};
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
                                                 QDate(in.shown.year(), 12, 31), in.units)};
  return WriteReportFiles(folder, QString::fromLatin1(kWeightReportPage), WeightReportLines(in),
                          pictures, error);
}
