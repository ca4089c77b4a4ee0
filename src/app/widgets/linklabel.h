#pragma once
// A label that acts as a link: the links of the views ("save", "today", "View Report")
// and the header icons. It takes the keyboard focus by Tab, shows a focus frame, and
// Enter or Space run it as a click does.

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
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};
