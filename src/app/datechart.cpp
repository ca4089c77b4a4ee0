#include "app/datechart.h"

#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kLeft = 56;
constexpr int kRight = 16;
constexpr int kTop = 30;
constexpr int kBottom = 50;

QFont PixelFont(int pixels, bool bold = false) {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

double DayNumber(const QDateTime& when, const QDate& first) {
  const QDate d = when.date();
  const QTime t = when.time().isValid() ? when.time() : QTime(12, 0);
  return double(first.daysTo(d)) + t.msecsSinceStartOfDay() / 86400000.0;
}
}  // namespace

QVector<double> ChartTicks(double lo, double hi, int wanted) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) return {0, 1};
  if (hi < lo) std::swap(lo, hi);
  if (hi - lo < 1e-9) {
    lo -= 1;
    hi += 1;
  }
  const double raw = (hi - lo) / std::max(1, wanted - 1);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power;
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    step = m * power;
    if (step >= raw) break;
  }
  QVector<double> ticks;
  const double start = std::floor(lo / step) * step;
  for (double v = start; v < hi + step * 0.999 && ticks.size() < 50; v += step)
    ticks << std::round(v / step) * step;
  if (ticks.size() < 2) ticks << ticks.value(0) + step;
  return ticks;
}

QImage DrawDateChart(const DateChartSpec& spec) {
  QImage img(spec.size, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QLocale c = QLocale::c();

  p.setPen(QColor(40, 40, 40));
  p.setFont(PixelFont(14, true));
  p.drawText(QRect(0, 4, spec.size.width(), 22), Qt::AlignHCenter | Qt::AlignVCenter, spec.title);

  const QRect plot(kLeft, kTop, spec.size.width() - kLeft - kRight,
                   spec.size.height() - kTop - kBottom);
  const QDate first = spec.first.isValid() ? spec.first : QDate::currentDate();
  const QDate last = spec.last.isValid() && spec.last >= first ? spec.last : first;
  const double spanDays = first.daysTo(last) + 1;

  bool any = false;
  double lo = 0, hi = 0;
  for (const ChartLine& line : spec.lines)
    for (const ChartPoint& pt : line.points) {
      if (!any) lo = hi = pt.value;
      lo = std::min(lo, pt.value);
      hi = std::max(hi, pt.value);
      any = true;
    }
  if (!any) {
    p.setPen(QColor(180, 180, 180));
    p.drawRect(plot);
    p.setPen(QColor(90, 90, 90));
    p.setFont(PixelFont(13));
    p.drawText(plot, Qt::AlignCenter, QStringLiteral("No readings in this period"));
    return img;
  }
  const double pad = std::max(1.0, (hi - lo) * 0.08);
  const QVector<double> ticks = ChartTicks(lo - pad, hi + pad);
  const double yMin = ticks.first(), yMax = ticks.last();
  auto yOf = [&](double v) {
    return plot.bottom() - (v - yMin) / (yMax - yMin) * plot.height();
  };
  auto xOf = [&](double day) { return plot.left() + day / spanDays * plot.width(); };

  // Grid and value axis.
  p.setFont(PixelFont(11));
  for (double t : ticks) {
    const double y = yOf(t);
    p.setPen(QPen(QColor(225, 225, 225), 1));
    p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    p.setPen(QColor(70, 70, 70));
    p.drawText(QRectF(0, y - 8, kLeft - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
               c.toString(t, 'f', spec.decimals));
  }
  if (!spec.valueCaption.isEmpty()) {
    p.save();
    p.translate(12, plot.center().y());
    p.rotate(-90);
    p.drawText(QRect(-plot.height() / 2, -8, plot.height(), 16), Qt::AlignCenter,
               spec.valueCaption);
    p.restore();
  }

  // Date axis: as many labels as fit, whole days apart.
  const QFontMetrics fm(PixelFont(11));
  const int labelWidth = fm.horizontalAdvance(QStringLiteral("0000-00-00")) + 16;
  const int maxLabels = std::max(2, plot.width() / labelWidth);
  const int stepDays = std::max(1, int(std::ceil(spanDays / maxLabels)));
  for (int d = 0; d < spanDays; d += stepDays) {
    const double x = xOf(d + 0.5);
    p.setPen(QPen(QColor(235, 235, 235), 1));
    p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    p.setPen(QColor(70, 70, 70));
    p.drawText(QRectF(x - labelWidth / 2.0, plot.bottom() + 3, labelWidth, 16), Qt::AlignCenter,
               first.addDays(d).toString(Qt::ISODate));
  }
  p.setPen(QPen(QColor(150, 150, 150), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot);

  // The lines, each point marked.
  p.setClipRect(plot.adjusted(-4, -4, 4, 4));
  for (const ChartLine& line : spec.lines) {
    if (line.points.isEmpty()) continue;
    QPainterPath path;
    for (int i = 0; i < line.points.size(); ++i) {
      const QPointF pt(xOf(DayNumber(line.points[i].when, first)), yOf(line.points[i].value));
      if (i == 0) path.moveTo(pt);
      else path.lineTo(pt);
    }
    p.setPen(QPen(line.colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setBrush(line.colour);
    for (const ChartPoint& cp : line.points)
      p.drawEllipse(QPointF(xOf(DayNumber(cp.when, first)), yOf(cp.value)), 3, 3);
  }
  p.setClipping(false);

  // Legend under the date labels.
  int x = plot.left();
  const int y = plot.bottom() + 24;
  p.setFont(PixelFont(11));
  for (const ChartLine& line : spec.lines) {
    if (line.name.isEmpty()) continue;
    p.setPen(QPen(line.colour, 3));
    p.drawLine(x, y + 8, x + 18, y + 8);
    p.setPen(QColor(40, 40, 40));
    const int w = fm.horizontalAdvance(line.name);
    p.drawText(QRect(x + 22, y, w + 4, 16), Qt::AlignLeft | Qt::AlignVCenter, line.name);
    x += 22 + w + 18;
  }
  return img;
}
