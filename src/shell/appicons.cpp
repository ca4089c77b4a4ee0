#include "shell/appicons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kSize = 32;

QPainterPath HeartPath(const QRectF& r) {
  QPainterPath p;
  const qreal w = r.width(), h = r.height(), x = r.x(), y = r.y();
  p.moveTo(x + w / 2, y + h);
  p.cubicTo(x - w * 0.1, y + h * 0.55, x + w * 0.05, y - h * 0.05, x + w / 2, y + h * 0.28);
  p.cubicTo(x + w * 0.95, y - h * 0.05, x + w * 1.1, y + h * 0.55, x + w / 2, y + h);
  return p;
}

void Badge(QPainter& p, const QColor& colour) {
  QLinearGradient g(0, 0, 0, kSize);
  g.setColorAt(0, colour.lighter(135));
  g.setColorAt(1, colour);
  p.setPen(QPen(colour.darker(125), 1));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(1.5, 1.5, kSize - 3, kSize - 3), 8, 8);
}

// Drawn on a 32-unit square, scaled to the size asked for.
QImage DrawImage(const QString& name, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(qreal(size) / kSize, qreal(size) / kSize);
  const QPen white(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  if (name == QLatin1String("Ovulation_Icon") || name == QLatin1String("app")) {
    Badge(p, QColor(232, 84, 128));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(HeartPath(QRectF(7, 8, 18, 17)));
    p.setBrush(QColor(45, 215, 53));
    p.drawEllipse(QPointF(16, 15), 3, 3);
  } else if (name == QLatin1String("Basal_Icon")) {
    Badge(p, QColor(240, 112, 64));
    p.setPen(white);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(13.5, 5, 5, 16), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 23), 4.5, 4.5);
    p.drawLine(QPointF(16, 12), QPointF(16, 22));
  } else if (name == QLatin1String("Calories_Icon")) {
    Badge(p, QColor(96, 176, 72));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7, 10, 18, 16));
    p.setBrush(QColor(255, 240, 160));
    QPainterPath leaf;
    leaf.moveTo(16, 10);
    leaf.quadTo(17, 4, 23, 5);
    leaf.quadTo(21, 10, 16, 10);
    p.drawPath(leaf);
  } else if (name == QLatin1String("Exercise_Icon")) {
    Badge(p, QColor(64, 140, 220));
    p.setPen(white);
    p.drawLine(QPointF(9, 16), QPointF(23, 16));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 10), QPointF(8, 22));
    p.drawLine(QPointF(24, 10), QPointF(24, 22));
  } else if (name == QLatin1String("Weight_Icon")) {
    Badge(p, QColor(150, 100, 200));
    p.setPen(white);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(7, 9, 18, 16), 3, 3);
    p.drawArc(QRectF(11, 12, 10, 10), 30 * 16, 120 * 16);
    p.drawLine(QPointF(16, 17), QPointF(18.5, 13.5));
  } else if (name == QLatin1String("Heart_Icon")) {
    Badge(p, QColor(210, 48, 64));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(HeartPath(QRectF(6, 7, 20, 19)));
    p.setPen(QPen(QColor(210, 48, 64), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygonF pulse{{8, 15}, {12, 15}, {14, 11}, {17, 19}, {19, 14}, {24, 14}};
    p.drawPolyline(pulse);
  } else if (name == QLatin1String("Sleep_Icon")) {
    Badge(p, QColor(60, 72, 140));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPainterPath moon;
    moon.addEllipse(QRectF(7, 7, 18, 18));
    QPainterPath cut;
    cut.addEllipse(QRectF(12, 4, 17, 17));
    p.drawPath(moon.subtracted(cut));
  } else if (name == QLatin1String("Kids_Icon")) {
    Badge(p, QColor(250, 176, 40));
    p.setPen(white);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(7, 7, 18, 18));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(13, 14), 1, 1);
    p.drawEllipse(QPointF(19, 14), 1, 1);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(11, 14, 10, 7), 200 * 16, 140 * 16);
  } else if (name == QLatin1String("ToDo_Icon")) {
    Badge(p, QColor(40, 160, 150));
    p.setPen(white);
    for (int i = 0; i < 3; ++i) {
      const qreal y = 10 + i * 6;
      p.drawLine(QPointF(14, y), QPointF(24, y));
    }
    p.drawPolyline(QPolygonF{{7, 10}, {9, 12}, {12, 7}});
    p.drawPolyline(QPolygonF{{7, 16}, {9, 18}, {12, 13}});
  } else if (name == QLatin1String("Journal_icon")) {
    Badge(p, QColor(180, 120, 70));
    p.setPen(white);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(9, 7, 14, 18));
    p.drawLine(QPointF(12, 12), QPointF(20, 12));
    p.drawLine(QPointF(12, 16), QPointF(20, 16));
    p.drawLine(QPointF(12, 20), QPointF(17, 20));
  } else if (name == QLatin1String("Cycles_Icon")) {
    // A ring of days with the period's arc and the next start marked.
    Badge(p, QColor(200, 70, 120));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(7, 7, 18, 18), 110 * 16, 290 * 16);
    p.setPen(QPen(QColor(255, 200, 215), 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(7, 7, 18, 18), 60 * 16, 50 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 2.5, 2.5);
  } else if (name == QLatin1String("Health_Icon")) {
    Badge(p, QColor(220, 60, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(13, 7, 6, 18));
    p.drawRect(QRectF(7, 13, 18, 6));
  } else if (name == QLatin1String("Calendar_Icon")) {
    Badge(p, QColor(70, 120, 200));
    p.setPen(QPen(Qt::white, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(7, 9, 18, 16));
    p.drawLine(QPointF(7, 13), QPointF(25, 13));
    for (int c = 0; c < 3; ++c)
      for (int r = 0; r < 2; ++r) p.drawPoint(QPointF(11 + c * 5, 17 + r * 4));
  } else {  // Forum and anything else
    Badge(p, QColor(110, 110, 130));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(6, 8, 20, 13), 4, 4);
    bubble.moveTo(10, 20);
    bubble.lineTo(9, 26);
    bubble.lineTo(15, 20);
    p.drawPath(bubble.simplified());
  }
  p.end();
  return image;
}

QPixmap Draw(const QString& name) { return QPixmap::fromImage(DrawImage(name, kSize)); }
}  // namespace

QImage AppIconImage(int size) { return DrawImage(QStringLiteral("app"), size); }

QIcon AppIcon() {
  static const QIcon icon = [] {
    QIcon i;
    for (int size : {16, 24, 32, 48, 64, 128}) i.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return i;
  }();
  return icon;
}

QPixmap FeatureIcon(const QString& iconName) {
  static QHash<QString, QPixmap> cache;
  auto it = cache.find(iconName);
  if (it == cache.end()) it = cache.insert(iconName, Draw(iconName));
  return *it;
}
