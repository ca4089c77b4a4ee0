#include "shell/themes.h"

#include <QSettings>
#include <QWidget>

namespace {
struct ThemeColours {
  const char* name;
  const char* headerTop;
  const char* headerBottom;
  const char* menuBack;
  const char* menuText;
  const char* footerBack;
  const char* captionText;
};

// Each theme differs in the header gradient, the menu bar and the footer, so the
// choice is visible at once.
constexpr ThemeColours kThemes[] = {
    {"Default", "#fdfdfe", "#dfe8f3", "#f4f6f9", "#20242c", "#f4faff", "#3c4250"},
    {"Xito", "#ffffff", "#f0e7d8", "#fbf6ee", "#4a3b22", "#fff8ec", "#5b4a2c"},
    {"Aluminum", "#eceef0", "#a9afb6", "#d5d9de", "#1b1f24", "#e4e7ea", "#22272d"},
    {"Roma", "#fff1f3", "#f2b8c6", "#fbe3e8", "#5a1426", "#fff0f3", "#6b1e32"},
    {"Nexos2", "#3b4a5e", "#1d2733", "#27323f", "#e8eef5", "#dfe9f2", "#f3f6fa"},
};

const ThemeColours* Find(const QString& name) {
  for (const auto& t : kThemes)
    if (name == QLatin1String(t.name)) return &t;
  return nullptr;
}

QSettings Store() { return QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Mavelo")); }
}  // namespace

QStringList ThemeNames() {
  QStringList names;
  for (const auto& t : kThemes) names << QLatin1String(t.name);
  return names;
}

bool IsThemeName(const QString& name) { return Find(name) != nullptr; }

bool ApplyTheme(QWidget* window, const QString& name) {
  const ThemeColours* t = Find(name);
  if (!t || !window) return false;
  window->setProperty("theme", name);
  const QString sheet =
      QStringLiteral(
          "QWidget#Panel2 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, "
          "stop:1 %2); }"
          "QWidget#Panel2 QLabel[iconCaption=\"true\"] { color: %6; }"
          "QWidget#Panel2 QLabel#ui_title { color: %6; }"
          "QMenuBar { background: %3; color: %4; }"
          "QMenuBar::item:selected { background: %2; }"
          "QWidget#pnlFooter { background: %5; }")
          .arg(QLatin1String(t->headerTop), QLatin1String(t->headerBottom),
               QLatin1String(t->menuBack), QLatin1String(t->menuText),
               QLatin1String(t->footerBack), QLatin1String(t->captionText));
  window->setStyleSheet(sheet);
  return true;
}

QString SavedTheme() {
  const QString name = Store().value(QStringLiteral("Theme/Theme")).toString();
  return IsThemeName(name) ? name : QString();
}

void SaveTheme(const QString& name) {
  QSettings s = Store();
  s.setValue(QStringLiteral("Theme/Theme"), name);
  s.sync();
}
