// Mavelo: program entry. One instance per data folder; the main window runs the rest.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "app/recordarchive.h"
#include "app/singleinstance.h"
#include "app/datafolders.h"
#include "core/clock.h"
#include "app/widgets/welcomedialog.h"
#include "shell/commandline.h"
#include "shell/recordactions.h"
#include "shell/mainwindow.h"

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

  // A restore stopped among its moves is finished before anything reads the records.
  if (QString error; !FinishStoppedRestore(DataFolders(programFolder, false), &error))
    QMessageBox::warning(nullptr, QStringLiteral("Mavelo"), error);

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
