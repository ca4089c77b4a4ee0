#include "cycle/gridpictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

QImage Blank(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

// The marks keep to the left of their 17-pixel box, so they sit beside a centred day
// number rather than over it.

// A heart filling the box: two lobes at the top, the point at the bottom centre.
QPainterPath HeartPath(const QRectF& box) {
  const qreal x = box.x(), y = box.y(), w = box.width(), h = box.height();
  QPainterPath p;
  p.moveTo(x + w * 0.5, y + h);
  p.cubicTo(x + w * 0.1, y + h * 0.68, x - w * 0.02, y + h * 0.42, x + w * 0.06, y + h * 0.2);
  p.cubicTo(x + w * 0.16, y - h * 0.04, x + w * 0.44, y - h * 0.02, x + w * 0.5, y + h * 0.22);
  p.cubicTo(x + w * 0.56, y - h * 0.02, x + w * 0.84, y - h * 0.04, x + w * 0.94, y + h * 0.2);
  p.cubicTo(x + w * 1.02, y + h * 0.42, x + w * 0.9, y + h * 0.68, x + w * 0.5, y + h);
  p.closeSubpath();
  return p;
}

QPainterPath StarPath(const QPointF& centre, qreal outer, qreal inner) {
  QPainterPath p;
  for (int i = 0; i < 10; ++i) {
    const qreal r = i % 2 == 0 ? outer : inner;
    const qreal a = qDegreesToRadians(-90.0 + 36.0 * i);
    const QPointF pt(centre.x() + r * qCos(a), centre.y() + r * qSin(a));
    if (i == 0)
      p.moveTo(pt);
    else
      p.lineTo(pt);
  }
  p.closeSubpath();
  return p;
}

void PaintHeart(QPainter& p, const QRectF& box, const QColor& light, const QColor& dark,
                const QColor& outline, qreal outlineWidth) {
  const QPainterPath heart = HeartPath(box);
  QLinearGradient fill(box.topLeft(), box.bottomRight());
  fill.setColorAt(0, light);
  fill.setColorAt(1, dark);
  p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(heart);
}

QImage DrawHeart() {
  QImage img = Blank(17, 17);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  PaintHeart(p, QRectF(1.0, 2.5, 13.0, 12.0), QColor(255, 70, 100), QColor(200, 0, 40),
             QColor(140, 0, 30), 1.0);
  // A small gloss on the left lobe.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawEllipse(QRectF(3.3, 4.6, 2.8, 2.0));
  return img;
}

QImage DrawHeartOvulation() {
  QImage img = Blank(17, 17);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // A white ring keeps the deeper heart apart from the strong green of the ovulation day.
  PaintHeart(p, QRectF(1.0, 1.8, 13.8, 13.2), QColor(230, 0, 90), QColor(150, 0, 60),
             Qt::white, 1.6);
  p.setPen(QPen(QColor(150, 90, 0), 0.6));
  p.setBrush(QColor(255, 215, 0));
  p.drawPath(StarPath(QPointF(7.9, 7.9), 4.2, 1.8));
  return img;
}

QImage DrawBerry() {
  QImage img = Blank(17, 25);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Stem.
  QPainterPath stem;
  stem.moveTo(6.8, 12.5);
  stem.cubicTo(6.4, 8.5, 7.8, 5.5, 10.0, 3.0);
  p.setPen(QPen(QColor(70, 110, 30), 1.4, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(stem);
  // Leaf.
  QPainterPath leaf;
  leaf.moveTo(8.3, 5.5);
  leaf.cubicTo(9.6, 1.6, 13.4, 1.2, 14.6, 2.6);
  leaf.cubicTo(13.4, 5.8, 10.4, 6.9, 8.3, 5.5);
  p.setPen(QPen(QColor(40, 100, 20), 0.7));
  p.setBrush(QColor(90, 170, 40));
  p.drawPath(leaf);
  // The berry itself.
  QRadialGradient body(QPointF(5.0, 15.5), 7.5);
  body.setColorAt(0, QColor(200, 120, 235));
  body.setColorAt(0.55, QColor(130, 40, 180));
  body.setColorAt(1, QColor(70, 0, 110));
  p.setPen(QPen(QColor(60, 0, 95), 0.8));
  p.setBrush(body);
  p.drawEllipse(QRectF(1.0, 11.5, 12.0, 12.0));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 170));
  p.drawEllipse(QRectF(3.6, 14.0, 3.0, 2.2));
  return img;
}

QImage DrawArrow() {
  QImage img = Blank(17, 25);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath arrow;
  arrow.moveTo(7.0, 1.0);  // tip
  arrow.lineTo(13.2, 9.5);
  arrow.lineTo(9.4, 9.5);
  arrow.lineTo(9.4, 23.5);
  arrow.lineTo(4.6, 23.5);
  arrow.lineTo(4.6, 9.5);
  arrow.lineTo(0.8, 9.5);
  arrow.closeSubpath();
  QLinearGradient fill(QPointF(0, 0), QPointF(14, 0));
  fill.setColorAt(0, QColor(80, 170, 255));
  fill.setColorAt(1, QColor(0, 90, 200));
  p.setPen(QPen(QColor(0, 55, 140), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(fill);
  p.drawPath(arrow);
  return img;
}

}  // namespace

const QImage& GridPictureImage(GridPicture picture) {
  static const QImage heart = DrawHeart();
  static const QImage ovulation = DrawHeartOvulation();
  static const QImage berry = DrawBerry();
  static const QImage arrow = DrawArrow();
  switch (picture) {
    case GridPicture::Heart: return heart;
    case GridPicture::HeartOvulation: return ovulation;
    case GridPicture::Berry: return berry;
    case GridPicture::Arrow: break;
  }
  return arrow;
}

QString GridPictureName(GridPicture picture) {
  switch (picture) {
    case GridPicture::Heart: return QStringLiteral("ui_heart");
    case GridPicture::HeartOvulation: return QStringLiteral("ui_heart_ovulation");
    case GridPicture::Berry: return QStringLiteral("berry");
    case GridPicture::Arrow: break;
  }
  return QStringLiteral("ui_arrow");
}

QColor PredictedWindowColour() { return QColor(170, 40, 90); }
