#include "basal/widgets/basalpictures.h"

#include <QPainter>
#include <QPainterPath>

QPixmap HeartPicture() {
  static const QPixmap heart = [] {
    QPixmap pm(17, 17);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Two lobes and a point, inside the top-left 10 x 9 pixels so that the heart shows
    // whole in a small grid cell.
    p.scale(10.0 / 12.0, 10.0 / 12.0);
    QPainterPath path;
    path.moveTo(6, 10.5);
    path.cubicTo(-1.5, 5.5, 0.5, -0.5, 6, 2.8);
    path.cubicTo(11.5, -0.5, 13.5, 5.5, 6, 10.5);
    p.setPen(QPen(QColor(160, 0, 30), 0.8));
    p.setBrush(QColor(230, 20, 60));
    p.drawPath(path);
    return pm;
  }();
  return heart;
}

QPixmap PrinterGlyph(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size / 20.0;
  p.scale(s, s);
  p.setPen(QPen(QColor(60, 60, 60), 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5.5, 2.5, 9, 6));          // paper in
  p.setBrush(QColor(170, 175, 185));
  p.drawRoundedRect(QRectF(2.5, 7.5, 15, 7), 1.5, 1.5);  // body
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5.5, 11.5, 9, 6));         // paper out
  p.setPen(QPen(QColor(90, 90, 90), 0.8));
  p.drawLine(QPointF(7, 14), QPointF(13, 14));
  p.drawLine(QPointF(7, 16), QPointF(12, 16));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 180, 60));
  p.drawEllipse(QPointF(15, 9.8), 0.9, 0.9);
  return pm;
}
