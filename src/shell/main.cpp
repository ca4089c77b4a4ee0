// Mavelo: program entry. One instance per data folder; the main window runs the rest.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "app/singleinstance.h"
#include "app/datafolders.h"
#include "basal/cyclerecords.h"
#include "core/clock.h"
#include "app/widgets/welcomedialog.h"
#include "shell/commandline.h"
#include "shell/recordactions.h"
#include "shell/mainwindow.h"

namespace {
constexpr const char* kUsage =
    "Usage: mavelo [options]\n"
    "Mavelo: a cycle calendar and organiser for a woman's health and her family's day.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "  --cycles       Print your cycles, their signs and the figures, tab-separated,\n"
    "                 and exit (reads only; works while Mavelo is open).\n"
    "\n"
    "Your records, without a window:\n"
    "%s"
    "\n"
    "Qt's own options (such as -platform or -style) are understood as well.\n"
    "Your records are kept under $XDG_DATA_HOME/Tarnwick/Mavelo/\n"
    "(by default ~/.local/share/Tarnwick/Mavelo/).\n";

// --help and --version answer on the terminal, before any window or display is needed.
// Returns the exit code, or -1 to go on and start the program.
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
    if (arg == "--cycles") {
      const DataFolders dir(DataFolders::ProgramFolderFor(DataFolders::ExecutableFolder()), false);
      QStringList errors;
      const QString table = CyclesCommandText(dir, Clock::Today(), &errors);
      std::fputs(table.toUtf8().constData(), stdout);
      for (const QString& e : errors) std::fprintf(stderr, "%s\n", qPrintable(e));
      return errors.isEmpty() ? 0 : 1;
    }
  }
  return -1;
}
}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  Clock::PinTimeZone();
  if (const int code = AnswerCommandLine(argc, argv); code >= 0) return code;
  // Backups, restores and exports need no display.
  if (IsRecordCommand(argc, argv)) return RunRecordCommand(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mavelo"));
  QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
  // Hiding the window keeps the program in the tray; only the exit sequence ends it.
  QApplication::setQuitOnLastWindowClosed(false);
  if (QLocale().language() == QLocale::C)
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

  // One instance per data folder, whatever the executable or its environment.
  const QString programFolder = DataFolders::ProgramFolderFor(DataFolders::ExecutableFolder());
  // Paths only: the window's own DataFolders must be the one that sees a new data folder.
  SingleInstance instance{DataFolders(programFolder, false)};
  if (!instance.TryAdmit()) {
    const QString message = QStringLiteral(
        "Only one calendar can be opened at a time. Exiting this instance of Mavelo");
    std::fprintf(stderr, "%s\n", qPrintable(message));
    QMessageBox::information(nullptr, QStringLiteral("Mavelo"), message);
    return 0;
  }

  MainWindow window(programFolder);
  QObject::connect(&instance, &SingleInstance::activationRequested, &window, [&window] {
    window.showNormal();
    window.raise();
    window.activateWindow();
  });

  // MAVELO_STARTUP_BENCH=1: report the time from process start to the window shown with
  // today selected and the program folder in use, and leave without the exit sequence
  // (used by the start-up benchmark and the install test).
  const bool bench = qEnvironmentVariableIsSet("MAVELO_STARTUP_BENCH");
  // The day's automatic backup, in the background; a measured start leaves before one
  // could be whole.
  if (!bench) StartDailyBackup(window.Dir(), &window);
  if (bench) {
    // A first start is measured as if she closed the welcome at once.
    SetWelcomeHandler([](const WelcomeAnswers&) { return std::optional<WelcomeAnswers>(); });
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&] {
      if (!window.Started() || !window.isVisible()) return;
      std::printf("startup_ms %lld\n", static_cast<long long>(sinceStart.elapsed()));
      std::printf("program_folder %s\n", qPrintable(programFolder));
      QFile status(QStringLiteral("/proc/self/status"));
      if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
          if (line.startsWith("VmRSS")) std::printf("%s\n", line.constData());
      std::fflush(stdout);
      std::_Exit(0);
    });
    poll->start(1);
  }
  window.ShowAndStart();
  return app.exec();
}
