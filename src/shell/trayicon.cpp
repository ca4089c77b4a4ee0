#include "shell/trayicon.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QSystemTrayIcon>

#include "shell/appicons.h"

void BringToFront(QMainWindow* window) {
  // Out of the tray or the taskbar, as it was; a maximised window stays maximised.
  if (window->isMinimized())
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  if (!window->isVisible()) window->show();
  window->raise();
  window->activateWindow();
}

QSystemTrayIcon* MakeTrayIcon(QMainWindow* window, std::function<void()> stopAlarms) {
  auto* tray = new QSystemTrayIcon(AppIcon(), window);
  tray->setObjectName(QStringLiteral("CoolTrayIcon1"));
  tray->setToolTip(QStringLiteral("Mavelo"));
  auto* menu = new QMenu(window);
  menu->setObjectName(QStringLiteral("TrayMenu"));
  QAction* caption = menu->addAction(QStringLiteral("Calendar"));
  caption->setEnabled(false);
  QAction* stop = menu->addAction(QStringLiteral("Stop Alarm"));
  QObject::connect(stop, &QAction::triggered, window, std::move(stopAlarms));
  menu->addSeparator();
  QAction* open = menu->addAction(QStringLiteral("Open"));
  QFont bold = open->font();
  bold.setBold(true);
  open->setFont(bold);
  menu->setDefaultAction(open);
  QObject::connect(open, &QAction::triggered, window, [window] { BringToFront(window); });
  QAction* exitAction = menu->addAction(QStringLiteral("Exit"));
  QObject::connect(exitAction, &QAction::triggered, window, &QMainWindow::close);
  tray->setContextMenu(menu);
  QObject::connect(tray, &QSystemTrayIcon::activated, window,
                   [window](QSystemTrayIcon::ActivationReason r) {
                     if (r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Trigger)
                       BringToFront(window);
                   });
  tray->show();
  return tray;
}
