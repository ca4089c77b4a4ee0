#pragma once
// The program's own pictures for the window: the application (tray) icon and the
// feature icons of the header strip, drawn once with antialiased paths.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

QIcon AppIcon();
// The application icon as a size x size picture (the installed icon theme's files).
QImage AppIconImage(int size);
// 32 x 32 picture for a header icon by its object name ("Basal_Icon" ...).
QPixmap FeatureIcon(const QString& iconName);
