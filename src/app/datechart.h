#pragma once
// A line chart over dates drawn into a picture, for the reports: one or more lines of
// readings (blood pressure, weight), a value axis with round steps and a date axis in
// ISO dates. Drawn with QPainter alone, so a report can be written without a window
// (the command line) and looks the same on paper, on screen and in a PDF.

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QVector>

struct ChartPoint {
  QDateTime when;
  double value = 0;
};

struct ChartLine {
  QString name;  // the legend
  QColor colour;
  QVector<ChartPoint> points;  // in time order
};

// The size of the charts of the report pages.
inline constexpr QSize kReportChartSize(640, 300);

struct DateChartSpec {
  QString title;
  QString valueCaption;  // "mm Hg", "kg"
  QDate first;           // the date axis runs over these days, both included
  QDate last;
  QVector<ChartLine> lines;
  QSize size = kReportChartSize;
  int decimals = 0;  // of the value axis labels
};

// Tick values of a value axis from lo to hi: round steps (1, 2 or 5 times a power of
// ten), about `wanted` of them, the first at or below lo and the last at or above hi.
QVector<double> ChartTicks(double lo, double hi, int wanted = 6);

QImage DrawDateChart(const DateChartSpec& spec);
