#include "app/widgets/glyphs.h"

#include <QPainter>
#include <QPixmap>

QIcon GlyphIcon(Glyph glyph) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor ink(70, 96, 130);
  switch (glyph) {
    case Glyph::Add:
      p.setPen(QPen(QColor(34, 139, 34), 2.4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(8, 3), QPointF(8, 13));
      p.drawLine(QPointF(3, 8), QPointF(13, 8));
      break;
    case Glyph::Delete:
      p.setPen(QPen(QColor(200, 50, 50), 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(4, 4), QPointF(12, 12));
      p.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
    case Glyph::Up:
    case Glyph::Down: {
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
      const bool up = glyph == Glyph::Up;
      const QPointF tri[] = {QPointF(3, up ? 11 : 5), QPointF(13, up ? 11 : 5),
                             QPointF(8, up ? 4 : 12)};
      p.drawPolygon(tri, 3);
      break;
    }
    case Glyph::Edit: {
      p.setPen(QPen(ink, 1));
      p.setBrush(QColor(250, 210, 90));
      const QPointF pencil[] = {QPointF(3, 13), QPointF(4, 10), QPointF(11, 3), QPointF(13, 5),
                                QPointF(6, 12)};
      p.drawPolygon(pencil, 5);
      break;
    }
    case Glyph::Save:
      p.setPen(QPen(ink, 1));
      p.setBrush(QColor(90, 130, 200));
      p.drawRect(QRectF(2.5, 2.5, 11, 11));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 2.5, 7, 4));
      p.drawRect(QRectF(5.5, 9.5, 5, 4));
      break;
    case Glyph::Report:
      p.setPen(QPen(ink, 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3.5, 1.5, 9, 13));
      for (int y = 5; y <= 11; y += 2) p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
      break;
    case Glyph::Print:
      p.setPen(QPen(ink, 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 1.5, 7, 5));
      p.setBrush(QColor(200, 208, 220));
      p.drawRect(QRectF(1.5, 6.5, 13, 6));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 10.5, 7, 4));
      break;
  }
  p.end();
  return QIcon(pm);
}
