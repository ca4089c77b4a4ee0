#include "trackers/bmipicture.h"

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include "trackers/bmi.h"

namespace {
int KgToX(double kg) { return BmiArrowPosition(kg, kBmiMinCm).x(); }
int CmToY(double cm) { return BmiArrowPosition(kBmiMinKg, cm).y(); }

struct Tick {
  double metric;  // kg or cm
  QString label;
};

QVector<Tick> WeightTicks(bool imperial) {
  QVector<Tick> ticks;
  if (imperial) {
    for (int lb = 100; lb <= 400; lb += 50) ticks.append({BmiWeightKg(lb, true), QString::number(lb)});
  } else {
    for (int kg = 40; kg <= 200; kg += 20) ticks.append({double(kg), QString::number(kg)});
  }
  return ticks;
}

QVector<Tick> HeightTicks(bool imperial) {
  QVector<Tick> ticks;
  if (imperial) {
    // Every half foot, written as feet and inches.
    for (int in = 60; in <= 84; in += 6)
      ticks.append({BmiHeightCm(in, true), QStringLiteral("%1'%2\"").arg(in / 12).arg(in % 12)});
  } else {
    for (int cm = 140; cm <= 220; cm += 10) ticks.append({double(cm), QString::number(cm)});
  }
  return ticks;
}
}  // namespace

QImage BmiTablePicture(bool imperial) {
  QImage img(kBmiPictureWidth, kBmiPictureHeight, QImage::Format_RGB32);
  img.fill(Qt::white);
  const QRect plot = BmiPlotRect();

  // The bands, pixel by pixel, from the weight and height each pixel stands for.
  for (int y = plot.top(); y <= plot.bottom(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    const double cm = BmiPixelCm(y);
    for (int x = plot.left(); x <= plot.right(); ++x) {
      line[x] = BmiBandColour(BmiBandOf(BmiIndex(BmiPixelKg(x), cm))).rgb();
    }
  }

  QPainter p(&img);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(10);
  p.setFont(font);
  const QFontMetrics fm(font);
  const QColor gridColour(0, 0, 0, 45);

  for (const Tick& t : WeightTicks(imperial)) {
    const int x = KgToX(t.metric);
    if (x < plot.left() || x > plot.right()) continue;
    p.setPen(gridColour);
    p.drawLine(x, plot.top(), x, plot.bottom());
    p.setPen(Qt::black);
    p.drawLine(x, plot.bottom() + 1, x, plot.bottom() + 3);
    const int w = fm.horizontalAdvance(t.label);
    p.drawText(std::clamp(x - w / 2, 0, kBmiPictureWidth - w), plot.bottom() + 4 + fm.ascent(),
               t.label);
  }
  for (const Tick& t : HeightTicks(imperial)) {
    const int y = CmToY(t.metric);
    if (y < plot.top() || y > plot.bottom()) continue;  // as BmiHeightLabels
    p.setPen(gridColour);
    p.drawLine(plot.left(), y, plot.right(), y);
    p.setPen(Qt::black);
    p.drawLine(plot.right() + 1, y, plot.right() + 3, y);
    p.drawText(plot.right() + 6, y + fm.ascent() / 2 - 1, t.label);
  }

  p.setPen(Qt::black);
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot.adjusted(-1, -1, 0, 0));

  QFont bold = font;
  bold.setBold(true);
  p.setFont(bold);
  const QFontMetrics bfm(bold);
  const QString weightTitle = imperial ? QStringLiteral("weight (lbs)") : QStringLiteral("weight (kg)");
  const QString heightTitle = imperial ? QStringLiteral("height") : QStringLiteral("height (cm)");
  p.drawText((plot.left() + plot.right() - bfm.horizontalAdvance(weightTitle)) / 2,
             kBmiPictureHeight - 4, weightTitle);
  p.drawText(kBmiPictureWidth - bfm.horizontalAdvance(heightTitle) - 2,
             plot.top() - 6, heightTitle);
  p.drawText(plot.left(), plot.top() - 6, QStringLiteral("Body Mass Index"));
  return img;
}

QStringList BmiHeightLabels(bool imperial) {
  QStringList labels;
  const QRect plot = BmiPlotRect();
  for (const Tick& t : HeightTicks(imperial)) {
    const int y = CmToY(t.metric);
    if (y >= plot.top() && y <= plot.bottom()) labels << t.label;
  }
  return labels;
}

QImage BmiArrowPicture() {
  QImage img(13, 19, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  const QPolygon arrow({QPoint(0, 0), QPoint(0, 15), QPoint(4, 11), QPoint(7, 18),
                        QPoint(9, 17), QPoint(6, 10), QPoint(11, 10)});
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(Qt::black);
  p.drawPolygon(arrow);
  return img;
}
