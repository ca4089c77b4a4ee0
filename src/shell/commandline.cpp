#include "shell/commandline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

#include "app/config.h"
#include "app/csvexport.h"
#include "app/datafolders.h"
#include "app/recordarchive.h"
#include "app/recordimport.h"
#include "app/singleinstance.h"
#include "basal/cyclerecords.h"
#include "core/clock.h"
#include "core/textfile.h"
#include "cycle/calendarexport.h"
#include "shell/doctorreportcommand.h"
#include "shell/recordkinds.h"

const char* const kRecordCommandsUsage =
    "  --backup FILE             Write a backup of all your records to the zip archive FILE.\n"
    "  --restore FILE [--yes]    Replace your records with those of the backup FILE (your\n"
    "                            records are first saved in Backups/). Asks first; --yes\n"
    "                            answers for you. Refused while Mavelo is open.\n"
    "  --export-csv DIR          Write your records as CSV files into the folder DIR.\n"
    "  --export-ics FILE [--count N]\n"
    "                            Write the predicted period days, fertile windows and\n"
    "                            ovulation days of the next N cycles (default 12) to the\n"
    "                            calendar file FILE.\n"
    "  --import FILE [--replace] Add the records of FILE to yours: a folder of Mavelo's CSV\n"
    "                            export (or one of its files), drip's CSV, Clue's\n"
    "                            measurements.json or Periodical-backup.json.gz. Prints\n"
    "                            what it adds first; days that already hold something\n"
    "                            are kept unless --replace is given. Your records are\n"
    "                            first saved in Backups/. Refused while Mavelo is open.\n";

namespace {

const char* const kUsage =
    "Usage: mavelo [options]\n"
    "Mavelo: a cycle calendar and organiser for a woman's health and her family's day.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "  --cycles       Print your cycles, their signs and the figures, tab-separated,\n"
    "                 and exit (reads only; works while Mavelo is open).\n"
    "  --doctor-report FILE [--days N]\n"
    "                 Write the report for your doctor of the last N days (90 unless\n"
    "                 told) to FILE: a PDF when FILE ends in .pdf, otherwise HTML with\n"
    "                 its pictures beside it (reads only; works while Mavelo is open).\n"
    "\n"
    "Your records, without a window:\n"
    "%s"
    "\n"
    "Qt's own options (such as -platform or -style) are understood as well.\n"
    "Your records are kept under $XDG_DATA_HOME/Tarnwick/Mavelo/\n"
    "(by default ~/.local/share/Tarnwick/Mavelo/).\n";

// Qt's own options (QGuiApplication, QApplication, the xcb platform), with one or two
// dashes: those that take the next argument as their value, and those that do not.
const char* const kQtValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle", "session", "style", "stylesheet", "display", "geometry",
    "title", "name", "visual", "qmljsdebugger", "ncols", "cmap", "fn", "font", "bg",
    "background", "fg", "foreground", "btn", "button", "im", "inputstyle"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync",
                                      "testability"};

const char* const kCommands[] = {"--backup", "--restore", "--export-csv", "--export-ics",
                                 "--import"};

void Out(const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int Fail(const QString& text, int code = 1) {
  std::fputs(("mavelo: " + text).toLocal8Bit().constData(), stderr);
  std::fputc('\n', stderr);
  return code;
}

QString Absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

void PrintSummary(const ArchiveSummary& s) {
  for (const QString& line : s.Lines()) Out(QStringLiteral("  ") + line);
}

bool Confirmed() {
  if (!::isatty(STDIN_FILENO)) return false;
  std::fputs("Replace your records with this backup? [y/N] ", stdout);
  std::fflush(stdout);
  char answer[16] = {};
  if (!std::fgets(answer, sizeof answer, stdin)) return false;
  return answer[0] == 'y' || answer[0] == 'Y';
}

}  // namespace

bool IsRecordCommand(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    for (const char* c : kCommands)
      if (qstrcmp(argv[i], c) == 0) return true;
  return false;
}

int RunRecordCommand(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Mavelo"));
  QCoreApplication::setOrganizationName(QStringLiteral("Tarnwick"));
  if (QLocale().language() == QLocale::C)
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

  QString command, target;
  int count = kDefaultExportCycles;
  bool yes = false, replace = false;
  const QStringList args = QCoreApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args.at(i);
    bool isCommand = false;
    for (const char* c : kCommands) isCommand = isCommand || a == QLatin1String(c);
    if (isCommand) {
      if (!command.isEmpty()) return Fail(QStringLiteral("one command at a time (%1 and %2)").arg(command, a), 2);
      if (i + 1 >= args.size()) return Fail(QStringLiteral("%1 needs a file or folder name").arg(a), 2);
      command = a;
      target = args.at(++i);
    } else if (a == QLatin1String("--count")) {
      bool ok = false;
      if (i + 1 < args.size()) count = args.at(++i).toInt(&ok);
      if (!ok || count < 1 || count > 120)
        return Fail(QStringLiteral("--count needs a number of cycles from 1 to 120"), 2);
    } else if (a == QLatin1String("--yes")) {
      yes = true;
    } else if (a == QLatin1String("--replace")) {
      replace = true;
    } else {
      return Fail(QStringLiteral("unknown option \"%1\" (mavelo --help lists them)").arg(a), 2);
    }
  }
  if (command != QLatin1String("--export-ics") && count != kDefaultExportCycles)
    return Fail(QStringLiteral("--count goes with --export-ics"), 2);
  if (command != QLatin1String("--restore") && yes)
    return Fail(QStringLiteral("--yes goes with --restore"), 2);
  if (command != QLatin1String("--import") && replace)
    return Fail(QStringLiteral("--replace goes with --import"), 2);

  const DataFolders dir(DataFolders::ProgramFolderFor(DataFolders::ExecutableFolder()));
  const QList<RecordKind> kinds = RecordKinds(dir);

  if (command == QLatin1String("--backup")) {
    ArchiveSummary summary;
    QStringList leftOut;
    QString error;
    if (!WriteBackup(dir, kinds, Absolute(target), &summary, &leftOut, &error)) return Fail(error);
    Out(QStringLiteral("Wrote %1: %2 files, %3.")
            .arg(Absolute(target), QLocale::c().toString(summary.files), SizeText(summary.bytes)));
    PrintSummary(summary);
    for (const QString& f : std::as_const(leftOut)) Out(QStringLiteral("  Left out: ") + f);
    return 0;
  }

  if (command == QLatin1String("--export-csv")) {
    QStringList written;
    QString error;
    if (!ExportRecordsCsv(RecordRoot(dir), kinds, Absolute(target), &written, &error))
      return Fail(error);
    Out(QStringLiteral("Wrote the CSV files into %1:").arg(Absolute(target)));
    for (const QString& line : std::as_const(written)) Out(QStringLiteral("  ") + line);
    return 0;
  }

  if (command == QLatin1String("--export-ics")) {
    QByteArray bytes;
    QString error;
    const QString ini = QStringLiteral("application.ini");
    const RecordRoot root(dir);
    if (root.Exists(dir.ConfigFolder(), ini) && !root.Read(dir.ConfigFolder(), ini, &bytes, &error))
      return Fail(error);
    const Config config = Config::FromBytes(bytes);
    int events = 0;
    if (!WriteCycleCalendar(Absolute(target), config.Cycle, Clock::Today(), count, &error, &events))
      return Fail(error);
    Out(QStringLiteral("Wrote %1: %2 events of the next %3 cycles.")
            .arg(Absolute(target)).arg(events).arg(count));
    return 0;
  }

  if (command == QLatin1String("--import")) {
    // The records change, so no window may hold them meanwhile.
    SingleInstance instance(dir);
    if (!instance.TryAdmit())
      return Fail(QStringLiteral("Mavelo is open. Close it (File > Exit) and run the import again, "
                                 "or use File > Import in its window."));
    if (QString error; !FinishStoppedRestore(dir, &error)) return Fail(error);
    ImportJob job(dir, kinds);
    QString error;
    if (!job.Inspect(Absolute(target), &error))
      return Fail(QStringLiteral("%1 cannot be imported, and nothing was changed: %2")
                      .arg(Absolute(target), error));
    const ImportSummary& s = job.Summary();
    Out(QStringLiteral("%1 is %2. It holds:").arg(Absolute(target), s.format));
    for (const QString& line : s.Lines()) Out(QStringLiteral("  ") + line);
    for (const QString& line : s.leftAside) Out(QStringLiteral("  Left aside: ") + line);
    if (!job.HasWork(replace)) {
      Out(s.Held() > 0 ? QStringLiteral("Nothing was imported: the days it holds already hold "
                                        "something (--replace writes over them).")
                       : QStringLiteral("Nothing was imported: your records already hold all of it."));
      return 0;
    }
    if (!job.Commit(replace, &error)) return Fail(error);
    Out(QStringLiteral("Imported:"));
    for (const QString& line : job.Written().Lines(job.WrittenMode())) Out(QStringLiteral("  ") + line);
    if (!replace && job.Written().Held() > 0)
      Out(job.ReplaceRefusal().isEmpty()
              ? QStringLiteral("Days that already held something were kept; --replace writes over them.")
              : QStringLiteral("Days that already held something were kept; they cannot be written "
                               "over: ") + job.ReplaceRefusal());
    Out(QStringLiteral("Your records as they were are saved in %1.").arg(job.SafetyBackup()));
    return 0;
  }

  // --restore: the data folder is replaced, so no instance may be running, and none may
  // start before it is done (this process holds the instance meanwhile).
  SingleInstance instance(dir);
  if (!instance.TryAdmit())
    return Fail(QStringLiteral("Mavelo is open. Close it (File > Exit) and run the restore again."));
  if (QString error; !FinishStoppedRestore(dir, &error)) return Fail(error);
  RestoreJob job(dir, kinds);
  QString error;
  if (!job.Inspect(Absolute(target), &error)) return Fail(error);
  const ArchiveSummary& s = job.Summary();
  Out(QStringLiteral("%1 holds %2 files (%3), backed up %4 by %5:")
          .arg(Absolute(target), QLocale::c().toString(s.files), SizeText(s.bytes),
               s.created.isValid() ? s.created.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                   : QStringLiteral("at an unknown time"),
               s.program.isEmpty() ? QStringLiteral("Mavelo") : s.program));
  PrintSummary(s);
  if (!yes && !Confirmed())
    return Fail(::isatty(STDIN_FILENO) ? QStringLiteral("Nothing was restored.")
                                       : QStringLiteral("Nothing was restored: add --yes to restore without asking."));
  if (!job.Commit(&error)) return Fail(error);
  Out(QStringLiteral("Restored. Your records as they were are saved in %1.").arg(job.SafetyBackup()));
  return 0;
}

int AnswerCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    if (arg == "--help" || arg == "-h") {
      std::printf(kUsage, kRecordCommandsUsage);
      return 0;
    }
    if (arg == "--version" || arg == "-v") {
      std::printf("Mavelo %d.%d.%d.%d\n", MAVELO_VERSION_MAJOR, MAVELO_VERSION_MINOR,
                  MAVELO_VERSION_PATCH, MAVELO_VERSION_TWEAK);
      return 0;
    }
    if (arg == "--doctor-report") return RunDoctorReportCommand(argc, argv);
    if (arg == "--cycles") {
      const DataFolders dir(DataFolders::ProgramFolderFor(DataFolders::ExecutableFolder()), false);
      QStringList errors;
      const QString table = CyclesCommandText(dir, Clock::Today(), &errors);
      std::fputs(table.toUtf8().constData(), stdout);
      for (const QString& e : errors) std::fprintf(stderr, "%s\n", qPrintable(e));
      return errors.isEmpty() ? 0 : 1;
    }
  }
  // The record commands read their own arguments (and refuse what they do not know).
  if (IsRecordCommand(argc, argv)) return -1;
  if (const QString unknown = UnknownArgument(argc, argv); !unknown.isEmpty()) {
    std::fprintf(stderr, "mavelo: %s\n\n", qPrintable(unknown));
    std::fprintf(stderr, kUsage, kRecordCommandsUsage);
    return 2;
  }
  return -1;
}

QString UnknownArgument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    QByteArray arg(argv[i]);
    if (!arg.startsWith('-') || arg == "-" || arg == "--")
      return QStringLiteral("unexpected argument \"%1\"").arg(QString::fromLocal8Bit(arg));
    const QByteArray name = arg.mid(arg.startsWith("--") ? 2 : 1);
    bool known = false;
    for (const char* o : kQtFlagOptions) known = known || name == o;
    for (const char* o : kQtValueOptions)
      if (name == o) {
        known = true;
        ++i;  // its value
      }
    if (!known) return QStringLiteral("unknown option \"%1\"").arg(QString::fromLocal8Bit(arg));
  }
  return {};
}
