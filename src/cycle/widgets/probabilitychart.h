#pragma once
// The pregnancy-probability chart of the day panel (`Chart1`): one red line
// (`Series1`) through the month's probability points, placed at their running index
// (0, 1, 2 ...) and labelled with their day numbers, so days without a point are
// skipped, not drawn as gaps.

#include <QChartView>
#include <QDate>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QStringList>

class QCategoryAxis;
class QGraphicsSimpleTextItem;
class QLineSeries;
struct CycleSettings;

class ProbabilityChart : public QChartView {
  Q_OBJECT

 public:
  explicit ProbabilityChart(QWidget* parent = nullptr);

  // Rebuilds the chart for the month of monthDate.
  void Refresh(const CycleSettings& settings, const QDate& monthDate);

  // What the chart shows: the points (x = running index, y = percent), the day label
  // of each point in the same order, and the bottom axis title (the full month name).
  QList<QPointF> Points() const;
  QStringList Labels() const { return labels_; }
  QString BottomTitle() const;
  // The left axis labels from 0 to 35 ("0%" ... "35%").
  QStringList LeftLabels() const;
  // The day labels drawn under the points: all of them, unless the month has so many
  // points that neighbours would overlap; then some are left out, never cut short.
  QStringList ShownLabels() const;

  QLineSeries* Series() const { return series_; }

  // The chart drawn into a picture of the widget's size (chart.jpg).
  QImage RenderImage();

  QSize sizeHint() const override { return QSize(330, 200); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceTitle();
  void PlaceDayLabels();

  QLineSeries* series_;
  QCategoryAxis* bottom_;
  QCategoryAxis* left_;
  QGraphicsSimpleTextItem* title_;
  QStringList labels_;
  QList<QGraphicsSimpleTextItem*> dayLabels_;
};
