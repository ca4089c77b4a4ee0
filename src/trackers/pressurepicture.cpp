#include "trackers/pressurepicture.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {
constexpr int kTitleHeight = 26;
constexpr int kHeaderHeight = 36;
constexpr int kRowHeight = 40;
constexpr int kTableTop = kTitleHeight;
constexpr int kRowsTop = kTableTop + kHeaderHeight;
constexpr int kMarkWidth = 40;
// Columns: category, systolic, connector, diastolic; the marker column at the right.
constexpr int kColX[] = {0, 200, 350, 410, kPressurePictureWidth - kMarkWidth};

struct CategoryRow {
  PressureCategory category;
  const char* name;
  const char* systolic;
  const char* connector;
  const char* diastolic;
};

const CategoryRow kRows[] = {
    {PressureCategory::Normal, "Normal", "less than 120", "and", "less than 80"},
    {PressureCategory::Elevated, "Elevated", "120 \u2013 129", "and", "less than 80"},
    {PressureCategory::Stage1, "High Blood Pressure\n(Hypertension) Stage 1", "130 \u2013 139",
     "or", "80 \u2013 89"},
    {PressureCategory::Stage2, "High Blood Pressure\n(Hypertension) Stage 2", "140 or higher",
     "or", "90 or higher"},
    {PressureCategory::Crisis, "Hypertensive Crisis\n(see a doctor at once)", "higher than 180",
     "and/or", "higher than 120"},
};

QFont PixelFont(int pixels, bool bold = false) {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

// Dark text on the light bands, white on the dark ones.
QColor TextOn(const QColor& background) {
  return background.lightness() > 140 ? QColor(30, 30, 30) : QColor(Qt::white);
}
}  // namespace

QColor PressureCategoryColour(PressureCategory category) {
  switch (category) {
    case PressureCategory::Normal: return QColor(76, 175, 80);
    case PressureCategory::Elevated: return QColor(255, 221, 51);
    case PressureCategory::Stage1: return QColor(255, 160, 60);
    case PressureCategory::Stage2: return QColor(226, 83, 42);
    case PressureCategory::Crisis: return QColor(168, 30, 30);
  }
  return QColor(Qt::white);
}

QRect PressureCategoryRect(PressureCategory category) {
  const int index = int(category);
  return QRect(0, kRowsTop + index * kRowHeight, kColX[4], kRowHeight);
}

QImage PressureClassPicture(const std::optional<PressureReading>& newest) {
  QImage img(kPressurePictureWidth, kPressurePictureHeight, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  p.setPen(QColor(40, 40, 40));
  p.setFont(PixelFont(14, true));
  p.drawText(QRect(0, 0, kPressurePictureWidth, kTitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Blood pressure categories (American Heart Association, 2017)"));

  // Header row.
  const QColor headerBack(70, 72, 86);
  p.fillRect(QRect(0, kTableTop, kColX[4], kHeaderHeight), headerBack);
  p.setPen(Qt::white);
  p.setFont(PixelFont(12, true));
  const char* headers[] = {"Category", "Systolic mm Hg\n(upper number)", "",
                           "Diastolic mm Hg\n(lower number)"};
  for (int c = 0; c < 4; ++c)
    p.drawText(QRect(kColX[c] + 6, kTableTop, kColX[c + 1] - kColX[c] - 12, kHeaderHeight),
               Qt::AlignCenter, QString::fromUtf8(headers[c]));

  // One band per category.
  for (const CategoryRow& row : kRows) {
    const QRect band = PressureCategoryRect(row.category);
    const QColor colour = PressureCategoryColour(row.category);
    p.fillRect(QRect(kColX[0], band.top(), kColX[1] - kColX[0], band.height()), colour);
    const QColor light = colour.lighter(165);
    p.fillRect(QRect(kColX[1], band.top(), kColX[4] - kColX[1], band.height()),
               QColor(light.red(), light.green(), light.blue()));
    p.setPen(TextOn(colour));
    p.setFont(PixelFont(12, true));
    p.drawText(band.adjusted(8, 0, -(kColX[4] - kColX[1]), 0), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(row.name));
    p.setPen(QColor(30, 30, 30));
    p.setFont(PixelFont(13));
    p.drawText(QRect(kColX[1], band.top(), kColX[2] - kColX[1], band.height()), Qt::AlignCenter,
               QString::fromUtf8(row.systolic));
    p.setFont(PixelFont(12, true));
    p.drawText(QRect(kColX[2], band.top(), kColX[3] - kColX[2], band.height()), Qt::AlignCenter,
               QString::fromUtf8(row.connector));
    p.setFont(PixelFont(13));
    p.drawText(QRect(kColX[3], band.top(), kColX[4] - kColX[3], band.height()), Qt::AlignCenter,
               QString::fromUtf8(row.diastolic));
  }
  // Lines between the bands.
  p.setPen(QPen(Qt::white, 2));
  for (int i = 1; i < 5; ++i) {
    const int y = kRowsTop + i * kRowHeight;
    p.drawLine(0, y, kColX[4], y);
  }

  const int footTop = kRowsTop + 5 * kRowHeight;
  const QRect foot(0, footTop + 4, kPressurePictureWidth, kPressurePictureHeight - footTop - 4);
  p.setPen(QColor(30, 30, 30));
  if (!newest) {
    p.setFont(PixelFont(13));
    p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               QStringLiteral("Add a reading with its systolic and diastolic values to see "
                              "where it falls."));
    return img;
  }

  // The newest reading's band: a frame around it and an arrow pointing at it.
  const QRect band = PressureCategoryRect(newest->category);
  p.setPen(QPen(QColor(20, 20, 20), 3));
  p.setBrush(Qt::NoBrush);
  p.drawRect(band.adjusted(1, 1, -2, -2));
  const int cy = band.center().y();
  const int ax = kColX[4] + 6;
  QPolygon arrow;
  arrow << QPoint(ax, cy) << QPoint(ax + 14, cy - 10) << QPoint(ax + 14, cy - 4)
        << QPoint(ax + kMarkWidth - 8, cy - 4) << QPoint(ax + kMarkWidth - 8, cy + 4)
        << QPoint(ax + 14, cy + 4) << QPoint(ax + 14, cy + 10);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 20, 20));
  p.drawPolygon(arrow);

  QString when = newest->date;
  if (!newest->time.isEmpty()) when += (when.isEmpty() ? QString() : QStringLiteral(" ")) + newest->time;
  QString text = QStringLiteral("Newest reading: %1/%2 mm Hg").arg(newest->systolic).arg(newest->diastolic);
  if (!when.isEmpty()) text += QStringLiteral(" (") + when + QLatin1Char(')');
  text += QStringLiteral(": ") + PressureCategoryName(newest->category);
  p.setPen(QColor(30, 30, 30));
  p.setFont(PixelFont(13, true));
  p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
  return img;
}
