#include "shell/doctorreportcommand.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

#include "app/config.h"
#include "app/datafolders.h"
#include "app/widgets/printreport.h"
#include "basal/cyclerecords.h"
#include "core/clock.h"
#include "core/textfile.h"

namespace {
const QString kNameKey = QStringLiteral("DoctorReport/Name");
constexpr int kMaxDays = 36600;  // a hundred years

void PrintErr(const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }

constexpr const char* kCommandUsage =
    "Usage: mavelo --doctor-report FILE [--days N]\n"
    "Writes the report for your doctor of the last N days (90 unless told) to FILE:\n"
    "a PDF when FILE ends in .pdf, otherwise an HTML page with its pictures beside it.\n";
}  // namespace

DoctorReportSettings ReportSettingsOf(const Config& config) {
  return {config.Units(), config.UnmarkedUnits(), config.BmiHeightIn(UnitSystem::Metric),
          config.TemperatureUnits};
}

DoctorReportSettings StoredReportSettings(const DataFolders& dir) {
  const QString ini = dir.ConfigFolder() + QStringLiteral("application.ini");
  QByteArray bytes;
  // A missing or unreadable file gives the defaults (the report says nothing of units it
  // could not read: its weights and height say which they are in).
  if (QFileInfo::exists(ini)) ReadFileBytes(ini, &bytes, nullptr);
  return ReportSettingsOf(Config::FromBytes(bytes));
}

void ComposeDoctorReport(const DataFolders& dir, const DoctorReportSettings& settings,
                         const ReportPeriod& period, const QString& name, const QDate& today,
                         ComposedDoctorReport* out) {
  DoctorReport& report = out->report;
  report.name = name;
  report.made = today;
  report.period = period;
  report.units = settings.units;
  report.heightCm = settings.heightCm;
  report.records = ReadDoctorRecords(dir, period, settings.unmarked);
  QStringList errors;
  LoadCycleReading(dir, TemperatureUnitFromSetting(settings.temperatureUnits), today,
                   &out->cycles, &errors);
  for (const QString& e : errors)
    if (!e.isEmpty() && !report.records.errors.contains(e)) report.records.errors << e;
  report.cycles = &out->cycles;
}

QString WriteDoctorReportPage(const DataFolders& dir, const DoctorReportSettings& settings,
                              const ReportPeriod& period, const QString& name,
                              QString* error) {
  ComposedDoctorReport composed;
  ComposeDoctorReport(dir, settings, period, name, Clock::Today(), &composed);
  const DoctorReportFiles files = DoctorReportFileNames(QString::fromLatin1(kDoctorReportBase));
  if (!WriteDoctorReport(composed.report, dir.BuildFolder(), files, error)) return {};
  return dir.BuildFolder() + files.page;
}

QString DoctorReportName() {
  return QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Mavelo")).value(kNameKey).toString();
}

void RememberDoctorReportName(const QString& name) {
  QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Mavelo"));
  if (settings.value(kNameKey).toString() != name) settings.setValue(kNameKey, name);
}

int RunDoctorReportCommand(int argc, char** argv) {
  QString target;
  int days = kDoctorReportDefaultDays;
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    if (arg == "--doctor-report") {
      if (i + 1 >= argc || QByteArray(argv[i + 1]).startsWith("--")) {
        PrintErr(QStringLiteral("mavelo: --doctor-report needs the file to write."));
        std::fputs(kCommandUsage, stderr);
        return 2;
      }
      target = QString::fromLocal8Bit(argv[++i]);
    } else if (arg == "--days") {
      bool ok = false;
      const int n = i + 1 < argc ? QByteArray(argv[i + 1]).toInt(&ok) : 0;
      if (!ok || n < 1 || n > kMaxDays) {
        PrintErr(QStringLiteral("mavelo: --days needs a whole number of days from 1 to %1.")
                     .arg(kMaxDays));
        std::fputs(kCommandUsage, stderr);
        return 2;
      }
      days = n;
      ++i;
    } else {
      // As every command of the program does: what it does not know is refused, not
      // passed over.
      PrintErr(QStringLiteral("mavelo: --doctor-report does not take \"%1\".")
                   .arg(QString::fromLocal8Bit(arg)));
      std::fputs(kCommandUsage, stderr);
      return 2;
    }
  }
  if (target.isEmpty()) {
    std::fputs(kCommandUsage, stderr);
    return 2;
  }

  // No window and no display: the pages are laid out and the pictures drawn offscreen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("Mavelo"));
  QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
  if (QLocale().language() == QLocale::C)
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

  const DataFolders dir(DataFolders::ProgramFolderFor(DataFolders::ExecutableFolder()), false);
  const QDate today = Clock::Today();
  const ReportPeriod period = LastDays(days, today);
  ComposedDoctorReport composed;
  ComposeDoctorReport(dir, StoredReportSettings(dir), period, DoctorReportName(), today,
                      &composed);

  const QFileInfo info(target);
  const bool pdf = info.suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0;
  QString error;
  if (pdf) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
      PrintErr(QStringLiteral("mavelo: no temporary folder could be made (%1).")
                   .arg(scratch.errorString()));
      return 1;
    }
    const QString folder = scratch.path() + QLatin1Char('/');
    const DoctorReportFiles files = DoctorReportFileNames(QString::fromLatin1(kDoctorReportBase));
    if (!WriteDoctorReport(composed.report, folder, files, &error) ||
        !SaveHtmlReportAsPdf(folder + files.page, info.absoluteFilePath(), &error)) {
      PrintErr(error);
      return 1;
    }
  } else {
    const QString folder = info.absolutePath() + QLatin1Char('/');
    DoctorReportFiles files = DoctorReportFileNames(info.completeBaseName());
    files.page = info.fileName();
    if (!WriteDoctorReport(composed.report, folder, files, &error)) {
      PrintErr(error);
      return 1;
    }
  }

  const DoctorRecords& r = composed.report.records;
  std::printf("Wrote the report for %s to %s to %s\n",
              qPrintable(period.first.toString(Qt::ISODate)),
              qPrintable(period.last.toString(Qt::ISODate)),
              qPrintable(QDir::toNativeSeparators(info.absoluteFilePath())));
  std::printf("blood pressure readings\t%lld\n", static_cast<long long>(r.pressure.readings.size()));
  std::printf("weights\t%lld\n", static_cast<long long>(r.weights.weights.size()));
  std::printf("cycles\t%lld\n", static_cast<long long>(composed.cycles.Forecast().stats.complete));
  for (const QString& e : r.errors) PrintErr(e);
  return r.errors.isEmpty() ? 0 : 1;
}
