// Mavelo: program entry. One instance per executable; the main window runs the rest.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "app/singleinstance.h"
#include "app/datafolders.h"
#include "shell/mainwindow.h"

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mavelo"));
  QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
  // Hiding the window keeps the program in the tray; only the exit sequence ends it.
  QApplication::setQuitOnLastWindowClosed(false);
  if (QLocale().language() == QLocale::C)
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

  SingleInstance instance(QCoreApplication::applicationFilePath());
  if (!instance.TryAdmit()) {
    const QString message = QStringLiteral(
        "Only one calendar can be opened at a time. Exiting this instance of Mavelo");
    std::fprintf(stderr, "%s\n", qPrintable(message));
    QMessageBox::information(nullptr, QStringLiteral("Mavelo"), message);
    return 0;
  }

  MainWindow window(DataFolders::ExecutableFolder());
  QObject::connect(&instance, &SingleInstance::activationRequested, &window, [&window] {
    window.showNormal();
    window.raise();
    window.activateWindow();
  });

  // MAVELO_STARTUP_BENCH=1: report the time from process start to the window shown with
  // today selected, and leave without the exit sequence (used by the start-up benchmark).
  if (qEnvironmentVariableIsSet("MAVELO_STARTUP_BENCH")) {
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&] {
      if (!window.Started() || !window.isVisible()) return;
      std::printf("startup_ms %lld\n", static_cast<long long>(sinceStart.elapsed()));
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
