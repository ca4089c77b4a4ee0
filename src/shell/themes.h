#pragma once
// The toolbar themes: the look of the header strip, the menu bar and the footer.
// The chosen theme is remembered in QSettings("Tarnwick", "Mavelo"), key Theme/Theme.

#include <QString>
#include <QStringList>

class QWidget;

// "Default", "Xito", "Aluminum", "Roma", "Nexos2".
QStringList ThemeNames();
bool IsThemeName(const QString& name);

// Styles the window's header strip (objectName "Panel2"), menu bar and footer
// ("pnlFooter"). An unknown name changes nothing and returns false.
bool ApplyTheme(QWidget* window, const QString& name);

// The saved theme name, or an empty text when none (or an unknown one) is saved.
QString SavedTheme();
void SaveTheme(const QString& name);
