#include "app/widgets/labels.h"

#include <QLabel>
#include <QPlainTextEdit>

#include "app/widgets/fonts.h"
#include "app/widgets/linklabel.h"

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  const QColor& colour) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setFont(font);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, colour);
  l->setPalette(p);
  return l;
}

LinkLabel* MakeLink(QWidget* parent, const QString& name, const QString& text,
                    const QColor& colour, int pixels) {
  auto* l = new LinkLabel(text, parent);
  l->setObjectName(name);
  l->setFont(ArialFont(pixels, true));
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, colour);
  l->setPalette(p);
  return l;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const QString& name, const QFont& font, bool readOnly) {
  auto* m = new QPlainTextEdit(parent);
  m->setObjectName(name);
  m->setFont(font);
  m->setReadOnly(readOnly);
  m->setFrameShape(QFrame::NoFrame);
  m->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return m;
}
