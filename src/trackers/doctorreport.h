#pragma once
// The report for her doctor: one HTML page with its pictures, made from her records of a
// period, reading only. Her name and the dates; blood type, allergies and conditions,
// immunisations, prescriptions, appointments and contacts from the health records; the
// blood-pressure readings of the period with their categories, the morning and evening
// averages, the highest and the lowest and a graph; weight and BMI at the start and the
// end of the period with a chart; the cycle summary when she has recorded a period.
// A section without records is left out.
//
// The cycle reading (cycle/cyclereading.h) is built by whoever composes the report from
// the period history and the basal files, and handed in.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include "app/reportpage.h"
#include "trackers/bodyweight.h"
#include "trackers/healthrecords.h"
#include "trackers/pressurehistory.h"

class CycleReading;
class DataFolders;

// The period: the last `days` days up to today (today and the days - 1 before).
struct ReportPeriod {
  QDate first;
  QDate last;
  int Days() const { return first.isValid() && last.isValid() ? int(first.daysTo(last)) + 1 : 0; }
};
ReportPeriod LastDays(int days, const QDate& today);

// What the report reads from the data folder, apart from the cycle reading.
struct DoctorRecords {
  QString bloodType;  // empty when not known
  QString allergies;  // trimmed
  QList<Contact> contacts;  // those with a name or a value
  QList<QStringList> immunisations;  // vaccine, date received
  QList<QStringList> prescriptions;  // date start / end, medication, notes / dosage
  QList<QStringList> appointments;   // date, doctor, reason
  PressureHistory pressure;
  WeightReadings weights;  // in kg
  QStringList errors;      // every file that could not be read
};
// Reads the health files, the health tables of the data DB folder's Food.db (through a
// read-only connection), the blood-pressure logs and the weight files of the period
// (weights without a unit mark are in `unmarked`).
DoctorRecords ReadDoctorRecords(const DataFolders& dir, const ReportPeriod& period,
                                UnitSystem unmarked);

struct DoctorReport {
  QString name;  // may be empty
  QDate made;    // today
  ReportPeriod period;
  UnitSystem units = UnitSystem::Imperial;  // the system she reads numbers in
  double heightCm = 0;                      // the BMI height of her settings
  DoctorRecords records;
  const CycleReading* cycles = nullptr;  // no cycle section when null or without a start
};

// The page and picture names for a base name: "doctor" gives doctor.html,
// doctor_pressure.jpg and doctor_weight.jpg.
struct DoctorReportFiles {
  QString page;
  QString pressurePicture;
  QString weightPicture;
};
DoctorReportFiles DoctorReportFileNames(const QString& base);
// The report in the Build folder.
inline constexpr const char* kDoctorReportBase = "doctor";

QStringList DoctorReportLines(const DoctorReport& report, const DoctorReportFiles& files);
// The graph of the readings and the weight chart, for the sections that are there.
QList<ReportPicture> DoctorReportPictures(const DoctorReport& report,
                                          const DoctorReportFiles& files);
// Writes the pictures and then the page into folder (ending in "/"). False with the
// user's message.
bool WriteDoctorReport(const DoctorReport& report, const QString& folder,
                       const DoctorReportFiles& files, QString* error);
