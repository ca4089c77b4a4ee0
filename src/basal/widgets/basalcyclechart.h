#pragma once
// The line chart of one cycle's precise waking temperatures (`ui_basal_cycle_chart`):
// the counted readings joined by a line, the disturbed ones apart (left out), the cover
// line over the six lower readings up to the confirmation, the higher readings numbered
// 1-2-3, the mucus peak and the evening the fertile phase ends. It draws the CycleChart
// it is given (cycle/cyclereading.h) and computes nothing itself.

#include <QDate>
#include <QWidget>

#include "cycle/cyclereading.h"

class QChart;
class QChartView;
class QLabel;
class QValueAxis;

class BasalCycleChart : public QWidget {
  Q_OBJECT
 public:
  explicit BasalCycleChart(QWidget* parent = nullptr);

  // Draws a cycle's chart; the line over it says what it rests on (ChartSummaryText) and
  // that it is no contraception.
  void Show(const CycleChart& chart, const QDate& today);
  const CycleChart& Shown() const { return shown_; }
  QString Summary() const { return summary_; }

 private:
  void AddVertical(const QString& name, double day, const QColor& colour, double low, double high);

  QChart* chart() const;

  CycleChart shown_;
  QString summary_;
  QLabel* title_ = nullptr;
  QChartView* view_ = nullptr;
  QValueAxis* days_ = nullptr;
  QValueAxis* degrees_ = nullptr;
};
