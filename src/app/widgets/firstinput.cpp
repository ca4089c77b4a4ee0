#include "app/widgets/firstinput.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

QWidget* FirstInputOf(QWidget* view) {
  QWidget* window = view->window();
  for (QWidget* w = view->nextInFocusChain(); w && w != view; w = w->nextInFocusChain()) {
    if (!view->isAncestorOf(w) || !w->isVisibleTo(window) || !w->isEnabled() ||
        !(w->focusPolicy() & Qt::TabFocus))
      continue;
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
        qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
        qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w))
      return w;
  }
  return nullptr;
}
