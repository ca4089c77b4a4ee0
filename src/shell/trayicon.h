#pragma once
// The program's icon in the system tray, where the window goes when it is closed: its
// menu stops a ringing alarm, opens the window or ends the program; a click opens it.

#include <functional>

class QMainWindow;
class QSystemTrayIcon;

// Made, shown and owned by the window. stopAlarms stops whatever alarm rings.
QSystemTrayIcon* MakeTrayIcon(QMainWindow* window, std::function<void()> stopAlarms);
// Shows the window in front of the others.
void BringToFront(QMainWindow* window);
