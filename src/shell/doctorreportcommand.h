#pragma once
// The report for her doctor put together from the whole data folder: the trackers' and
// health records (trackers/doctorreport.h), her settings and her cycle reading from the
// period history and the basal files (basal/cyclerecords.h), which the trackers' room
// may not read itself. Everything here reads only. Used by Tools > Report for my
// doctor... and by `mavelo --doctor-report FILE [--days N]`.

#include <QDate>
#include <QString>

#include "cycle/cyclereading.h"
#include "trackers/doctorreport.h"

class Config;
class DataFolders;

struct DoctorReportSettings {
  UnitSystem units = UnitSystem::Imperial;     // what she reads numbers in
  UnitSystem unmarked = UnitSystem::Imperial;  // records without a unit mark
  double heightCm = 0;
  QString temperatureUnits = QStringLiteral("F");
};
// The settings of the program's window, as they are now.
DoctorReportSettings ReportSettingsOf(const Config& config);
// The settings as stored in application.ini, read without writing anything.
DoctorReportSettings StoredReportSettings(const DataFolders& dir);

// The report and the cycle reading it points at.
struct ComposedDoctorReport {
  ComposedDoctorReport() = default;
  ComposedDoctorReport(const ComposedDoctorReport&) = delete;
  ComposedDoctorReport& operator=(const ComposedDoctorReport&) = delete;

  DoctorReport report;
  CycleReading cycles;
};
void ComposeDoctorReport(const DataFolders& dir, const DoctorReportSettings& settings,
                         const ReportPeriod& period, const QString& name, const QDate& today,
                         ComposedDoctorReport* out);

// Writes the report into the Build folder (doctor.html and its pictures). The page's path,
// or an empty text with *error.
QString WriteDoctorReportPage(const DataFolders& dir, const DoctorReportSettings& settings,
                              const ReportPeriod& period, const QString& name,
                              QString* error);

// The name the report puts at its top, as she last typed it in the dialog (the
// program's QSettings, key DoctorReport/Name).
QString DoctorReportName();
void RememberDoctorReportName(const QString& name);

// The days of the command line's report unless --days says otherwise.
inline constexpr int kDoctorReportDefaultDays = 90;
// `mavelo --doctor-report FILE [--days N]` (argv as main has it): writes the report
// without a window (a PDF when FILE ends in .pdf, HTML with its pictures beside it
// otherwise), says on stdout what it wrote, and gives the exit code: 0 written, 1 a
// file could not be read or written (stderr says which), 2 a wrong command line.
int RunDoctorReportCommand(int argc, char** argv);
