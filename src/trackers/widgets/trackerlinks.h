#pragma once
// The blue underlined links of the exercise and blood-pressure views ("save", "clear",
// "Estimate", "Add"...). They are flat push buttons, so Tab reaches them and Space or
// Enter activates them as a click does.

#include <QPushButton>
#include <QString>

inline QPushButton* MakeTrackerLink(const QString& name, const QString& text,
                                    QWidget* parent = nullptr) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setFlat(true);
  b->setAutoDefault(true);  // Enter clicks it as well as Space
  b->setCursor(Qt::PointingHandCursor);
  b->setStyleSheet(QStringLiteral(
      "QPushButton { color: rgb(0,102,204); border: 1px solid transparent; padding: 0 3px; "
      "text-decoration: underline; background: transparent; }"
      "QPushButton:focus { border: 1px dotted rgb(0,102,204); }"
      "QPushButton:hover { color: rgb(0,64,160); }"));
  return b;
}
