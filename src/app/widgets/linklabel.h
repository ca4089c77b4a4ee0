#pragma once
// A label that reacts to the mouse: the links of the views ("save", "today", "View
// Report") and the header icons with their captions.

#include <QLabel>

class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  explicit LinkLabel(const QString& text = QString(), QWidget* parent = nullptr);

 signals:
  void clicked();
  void doubleClicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};
