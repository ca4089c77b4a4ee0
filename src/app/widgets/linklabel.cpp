#include "app/widgets/linklabel.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      isEnabled())
    emit clicked();
  QLabel::mouseReleaseEvent(event);
}

void LinkLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && isEnabled()) emit doubleClicked();
  QLabel::mouseDoubleClickEvent(event);
}
