#include "trackers/bmi.h"

#include <algorithm>
#include <cmath>

double BmiHeightCm(double heightField, bool imperial) {
  return imperial ? heightField * 2.54 : heightField;
}

double BmiWeightKg(double weightField, bool imperial) {
  return imperial ? weightField * 0.45359237 : weightField;
}

int BmiIndex(double weightKg, double heightCm) {
  if (!(heightCm > 0)) return 0;
  const double m = heightCm / 100;
  const double index = std::trunc(weightKg / (m * m));
  if (!std::isfinite(index)) return index < 0 ? -1 : 1000000;
  return static_cast<int>(std::clamp(index, -1.0, 1000000.0));
}

QString BmiClassText(int index) {
  if (index < 0) return {};
  if (index <= 15) return QStringLiteral("Starving");
  if (index <= 17) return QStringLiteral("Anorexic");
  if (index <= 25) return QStringLiteral("Ideal weight");
  if (index <= 30) return QStringLiteral("Overweight");
  if (index <= 40) return QStringLiteral("Obese");
  if (index <= 100) return QStringLiteral("Morbidly Obese");
  return {};
}

QString BmiWarningText(int index) { return QStringLiteral("> ") + BmiClassText(index); }

BmiBand BmiBandOf(int index) {
  if (index < 18) return BmiBand::Under;
  if (index <= 25) return BmiBand::Normal;
  if (index <= 30) return BmiBand::Over;
  return BmiBand::Obese;
}

QColor BmiBandColour(BmiBand band) {
  switch (band) {
    case BmiBand::Under: return QColor(255, 255, 255);
    case BmiBand::Normal: return QColor(255, 255, 0);
    case BmiBand::Over: return QColor(255, 0, 255);
    case BmiBand::Obese: return QColor(255, 0, 0);
  }
  return {};
}

QString BmiBandText(BmiBand band) {
  switch (band) {
    case BmiBand::Under: return QStringLiteral("underweight");
    case BmiBand::Normal: return QStringLiteral("normal weight");
    case BmiBand::Over: return QStringLiteral("overweight");
    case BmiBand::Obese: return QStringLiteral("obese");
  }
  return {};
}

QRect BmiPlotRect() {
  return QRect(QPoint(kBmiPlotLeft, kBmiPlotBottom - kBmiPlotHeight),
               QPoint(kBmiPlotLeft + kBmiPlotWidth, kBmiPlotBottom));
}

namespace {
// trunc of a finite value into a range that cannot overflow an int.
int TruncPixels(double v) {
  if (!std::isfinite(v)) return v < 0 ? -100000 : 100000;
  return static_cast<int>(std::trunc(std::clamp(v, -100000.0, 100000.0)));
}
}  // namespace

QPoint BmiArrowPosition(double weightKg, double heightCm) {
  const int left = TruncPixels((weightKg - kBmiMinKg) / kBmiSpanKg * kBmiPlotWidth) + kBmiPlotLeft;
  const int top = kBmiPlotBottom - TruncPixels((heightCm - kBmiMinCm) / kBmiSpanCm * kBmiPlotHeight);
  return QPoint(left, top);
}

QPoint BmiArrowOnPicture(double weightKg, double heightCm) {
  const QPoint p = BmiArrowPosition(weightKg, heightCm);
  const QRect r = BmiPlotRect();
  return QPoint(std::clamp(p.x(), r.left(), r.right()), std::clamp(p.y(), r.top(), r.bottom()));
}

double BmiPixelKg(int x) {
  return kBmiMinKg + (x - kBmiPlotLeft + 0.5) / kBmiPlotWidth * kBmiSpanKg;
}

double BmiPixelCm(int y) {
  // The arrow formula puts a height anywhere in (cm at y, cm at y - 1] on row y.
  return kBmiMinCm + (kBmiPlotBottom - y + 0.5) / kBmiPlotHeight * kBmiSpanCm;
}
