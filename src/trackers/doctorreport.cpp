#include "trackers/doctorreport.h"

#include <QLocale>

#include "app/database.h"
#include "app/datechart.h"
#include "app/datafolders.h"
#include "cycle/cyclereading.h"
#include "trackers/healthtables.h"
#include "trackers/pressurereport.h"
#include "trackers/weightreport.h"

namespace {
QString Iso(const QDate& date) { return date.toString(Qt::ISODate); }

QString Decimal(double value, int decimals) {
  return QLocale::c().toString(value, 'f', decimals);
}

QString Plural(int n, const QString& one, const QString& many) {
  return QString::number(n) + QLatin1Char(' ') + (n == 1 ? one : many);
}

void AddWeight(ReportPage& page, const DoctorReport& report, const DoctorReportFiles& files) {
  const QVector<DatedWeight>& weights = report.records.weights.weights;
  if (weights.isEmpty()) return;
  page.Heading(QStringLiteral("Weight and BMI"));
  const double cm = report.heightCm;
  const auto shown = [&](double kg) { return ConvertWeight(kg, UnitSystem::Metric, report.units); };
  auto row = [&](const QString& caption, const DatedWeight& w) {
    const double bmi = BodyMassIndex(w.weight, cm);
    return QStringList{caption, Iso(w.date), WeightBothUnits(shown(w.weight), report.units),
                       bmi > 0 ? Decimal(bmi, 1) : QString()};
  };
  QList<QStringList> rows;
  if (weights.size() == 1) {
    rows << row(QStringLiteral("The only weight of the period"), weights.first());
  } else {
    rows << row(QStringLiteral("Start of the period"), weights.first());
    rows << row(QStringLiteral("End of the period"), weights.last());
  }
  page.Table({QString(), QStringLiteral("Date"), QStringLiteral("Weight"), QStringLiteral("BMI")},
             rows);
  if (weights.size() > 1) {
    const double change = shown(weights.last().weight) - shown(weights.first().weight);
    page.Field(QStringLiteral("Change"),
               (change > 0 ? QStringLiteral("+") : QString()) + Decimal(change, 1) +
                   QLatin1Char(' ') + WeightUnitMark(report.units) + QStringLiteral(" over ") +
                   Plural(int(weights.first().date.daysTo(weights.last().date)),
                          QStringLiteral("day"), QStringLiteral("days")) +
                   QStringLiteral(" (") +
                   Plural(weights.size(), QStringLiteral("weight"), QStringLiteral("weights")) +
                   QStringLiteral(" recorded)"));
  }
  if (cm > 0)
    page.Note(QStringLiteral("BMI (kg/m\u00b2) from the height in the settings: ") +
              HeightText(cm, report.units) + QLatin1Char('.'));
  page.Picture(files.weightPicture, kReportChartSize);
}

void AddCycles(ReportPage& page, const DoctorReport& report) {
  if (!report.cycles || report.cycles->Rows().isEmpty()) return;
  const CycleReading& reading = *report.cycles;
  const CycleForecast& forecast = reading.Forecast();
  const CycleStats& stats = forecast.stats;
  page.Heading(QStringLiteral("Cycle"));
  QString recorded = Plural(stats.complete, QStringLiteral("complete cycle"),
                            QStringLiteral("complete cycles"));
  const CycleRow& current = reading.Rows().last();
  if (current.cycle.IsCurrent())
    recorded += QStringLiteral(", and the current one since ") + Iso(current.cycle.start);
  page.Field(QStringLiteral("Recorded cycles"), recorded);
  if (stats.HasFigures()) {
    page.Field(QStringLiteral("Average length"),
               Decimal(stats.average, 1) + QStringLiteral(" days (over the last ") +
                   Plural(stats.used, QStringLiteral("counted cycle"),
                          QStringLiteral("counted cycles")) +
                   QLatin1Char(')'));
    page.Field(QStringLiteral("Range"), QStringLiteral("%1 to %2 days, standard deviation %3 days")
                                            .arg(stats.shortest)
                                            .arg(stats.longest)
                                            .arg(Decimal(stats.deviation, 1)));
  } else {
    page.Field(QStringLiteral("Average length"),
               QStringLiteral("not enough cycles: %1 counted cycles are needed, %2 recorded")
                   .arg(kCyclesForFigures)
                   .arg(stats.counted));
  }
  const QString leftOut = LeftOutText(stats);
  if (!leftOut.isEmpty()) page.Note(leftOut);
  if (forecast.lastStart.isValid())
    page.Field(QStringLiteral("Last period started"), Iso(forecast.lastStart));
  page.Note(QStringLiteral(
      "From the period starts recorded in Mavelo and the period days of its basal chart."));
}
}  // namespace

ReportPeriod LastDays(int days, const QDate& today) {
  return {today.addDays(-(qMax(1, days) - 1)), today};
}

DoctorRecords ReadDoctorRecords(const DataFolders& dir, const ReportPeriod& period,
                                UnitSystem unmarked) {
  DoctorRecords r;
  HealthRecords health(dir.HealthFolder());
  QString error;
  if (!health.Load(&error) && !error.isEmpty()) r.errors << error.split(QLatin1Char('\n'));
  const int blood = health.BloodType();
  if (blood > 0 && blood < BloodTypeNames().size()) r.bloodType = BloodTypeNames().at(blood).trimmed();
  r.allergies = health.Allergies().trimmed();
  for (const Contact& c : health.Contacts())
    if (!c.name.trimmed().isEmpty() || !c.value.trimmed().isEmpty())
      r.contacts << Contact{c.name.trimmed(), c.value.trimmed()};

  const QString db = dir.DBFolder() + DatabaseFileName();
  struct Wanted {
    const HealthTable& table;
    QList<QStringList>* rows;
  };
  for (const Wanted& w : {Wanted{ImmunizationTable(), &r.immunisations},
                          Wanted{PrescriptionTable(), &r.prescriptions},
                          Wanted{AppointmentsTable(), &r.appointments}}) {
    error.clear();
    if (!ReadHealthTableRows(db, w.table, w.rows, &error)) {
      if (!r.errors.contains(error)) r.errors << error;
    }
  }

  r.pressure = ReadPressureHistory(dir.HeartFolder(), period.first, period.last);
  r.errors << r.pressure.errors;
  r.weights = ReadWeights(dir.WeightFolder(), period.first, period.last, unmarked);
  r.errors << r.weights.errors;
  r.errors.removeAll(QString());
  return r;
}

DoctorReportFiles DoctorReportFileNames(const QString& base) {
  return {base + QStringLiteral(".html"), base + QStringLiteral("_pressure.jpg"),
          base + QStringLiteral("_weight.jpg")};
}

QStringList DoctorReportLines(const DoctorReport& report, const DoctorReportFiles& files) {
  const DoctorRecords& r = report.records;
  ReportPage page(QStringLiteral("Health Report"));
  if (!report.name.trimmed().isEmpty()) page.Field(QStringLiteral("Name"), report.name.trimmed());
  page.Field(QStringLiteral("Report made"), Iso(report.made));
  page.Field(QStringLiteral("Period"), Iso(report.period.first) + QStringLiteral(" to ") +
                                           Iso(report.period.last) + QStringLiteral(" (") +
                                           Plural(report.period.Days(), QStringLiteral("day"),
                                                  QStringLiteral("days")) +
                                           QLatin1Char(')'));
  if (!r.errors.isEmpty()) {
    page.Paragraph(QStringLiteral(
        "Some records could not be read, so they are missing from this report:\n") +
                   r.errors.join(QLatin1Char('\n')));
  }

  if (!r.bloodType.isEmpty()) {
    page.Heading(QStringLiteral("Blood type"));
    page.Paragraph(r.bloodType);
  }
  if (!r.allergies.isEmpty()) {
    page.Heading(QStringLiteral("Allergies and conditions"));
    page.Paragraph(r.allergies);
  }
  if (!r.immunisations.isEmpty()) {
    page.Heading(QStringLiteral("Immunisations"));
    page.Table({QStringLiteral("Vaccine"), QStringLiteral("Date received")}, r.immunisations);
  }
  if (!r.prescriptions.isEmpty()) {
    page.Heading(QStringLiteral("Prescriptions"));
    page.Table({QStringLiteral("Date start / end"), QStringLiteral("Medication"),
                QStringLiteral("Notes / dosage")},
               r.prescriptions);
  }
  if (!r.appointments.isEmpty()) {
    page.Heading(QStringLiteral("Appointments"));
    page.Table({QStringLiteral("Date"), QStringLiteral("Doctor"),
                QStringLiteral("Reason for visit")},
               r.appointments);
  }
  if (!r.contacts.isEmpty()) {
    page.Heading(QStringLiteral("Contacts"));
    QList<QStringList> rows;
    for (const Contact& c : r.contacts) rows << QStringList{c.name, c.value};
    page.Table({QStringLiteral("Name"), QStringLiteral("Phone and address")}, rows);
  }
  AddPressureSection(page, r.pressure, files.pressurePicture);
  AddWeight(page, report, files);
  AddCycles(page, report);
  page.Note(QStringLiteral(
      "Made by Mavelo from the records kept in it. Every figure rests only on what was "
      "entered there."));
  return page.Lines();
}

QList<ReportPicture> DoctorReportPictures(const DoctorReport& report,
                                          const DoctorReportFiles& files) {
  QList<ReportPicture> pictures;
  const ReportPeriod& p = report.period;
  if (!report.records.pressure.readings.isEmpty())
    pictures << ReportPicture{files.pressurePicture,
                              PressureChartPicture(report.records.pressure.readings, p.first, p.last)};
  if (!report.records.weights.weights.isEmpty()) {
    QVector<DatedWeight> shown = report.records.weights.weights;
    for (DatedWeight& w : shown) w.weight = ConvertWeight(w.weight, UnitSystem::Metric, report.units);
    pictures << ReportPicture{files.weightPicture,
                              WeightChartPicture(shown, p.first, p.last, report.units)};
  }
  return pictures;
}

bool WriteDoctorReport(const DoctorReport& report, const QString& folder,
                       const DoctorReportFiles& files, QString* error) {
  return WriteReportFiles(folder, files.page, DoctorReportLines(report, files),
                          DoctorReportPictures(report, files), error);
}
