#include "basal/widgets/basalcyclechart.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/widgets/fonts.h"
#include "cycle/cyclestats.h"
#include "cycle/symptothermal.h"

namespace {
const QColor kReadingColour(70, 70, 70);
const QColor kDisturbedColour(170, 170, 170);
const QColor kCoverColour(255, 128, 255);  // the grid's cover line
const QColor kHigherColour(45, 170, 53);
const QColor kPeakColour(40, 110, 220);
const QColor kEndColour(200, 60, 60);
}  // namespace

BasalCycleChart::BasalCycleChart(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ui_basal_cycle_chart"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  auto* lay = new QVBoxLayout(this);
  lay->setContentsMargins(0, 0, 0, 0);
  lay->setSpacing(0);
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("ui_basal_cycle_summary"));
  title_->setFont(ArialFont(12));
  title_->setWordWrap(true);
  title_->setContentsMargins(6, 2, 6, 2);
  lay->addWidget(title_);
  auto* c = new QChart;
  c->setBackgroundRoundness(0);
  c->setMargins(QMargins(2, 0, 8, 0));
  c->legend()->setAlignment(Qt::AlignBottom);
  c->legend()->setFont(ArialFont(10));
  view_ = new QChartView(c, this);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setFrameShape(QFrame::NoFrame);
  view_->setBackgroundBrush(Qt::white);
  lay->addWidget(view_, 1);
}

QChart* BasalCycleChart::chart() const { return view_->chart(); }

void BasalCycleChart::AddVertical(const QString& name, double day, const QColor& colour,
                                  double low, double high) {
  auto* line = new QLineSeries;
  line->setName(name);
  line->setPen(QPen(colour, 2, Qt::DashLine));
  line->append(day, low);
  line->append(day, high);
  chart()->addSeries(line);
  line->attachAxis(days_);
  line->attachAxis(degrees_);
}

void BasalCycleChart::Show(const CycleChart& data, const QDate& today) {
  shown_ = data;
  QChart* c = chart();
  c->removeAllSeries();
  for (QAbstractAxis* a : c->axes()) {
    c->removeAxis(a);
    delete a;
  }
  days_ = new QValueAxis;
  degrees_ = new QValueAxis;
  days_->setLabelFormat(QStringLiteral("%d"));
  days_->setLabelsFont(ArialFont(10));
  days_->setTitleFont(ArialFont(11));
  degrees_->setLabelFormat(QStringLiteral("%.2f"));
  degrees_->setLabelsFont(ArialFont(10));
  degrees_->setTitleFont(ArialFont(11));
  degrees_->setTitleText(TemperatureUnitSymbol(data.unit));
  c->addAxis(days_, Qt::AlignBottom);
  c->addAxis(degrees_, Qt::AlignLeft);

  if (!data.start.isValid()) {
    summary_ = QStringLiteral("No period start is recorded before this day: record the first "
                              "day of a period to see its cycle here.");
    title_->setText(summary_);
    days_->setRange(1, 28);
    degrees_->setRange(data.unit == TemperatureUnit::Celsius ? 36.0 : 96.8,
                       data.unit == TemperatureUnit::Celsius ? 37.2 : 99.0);
    return;
  }
  const int length = std::max(1, data.CycleDay(data.last));
  summary_ = ChartSummaryText(data, today);
  title_->setText(summary_ + QLatin1Char(' ') + NotContraceptionText());
  days_->setTitleText(QStringLiteral("Cycle day (day 1: %1)").arg(DayMonthText(data.start, today)));
  const int shownDays = std::max(length, 7);
  // Room right of the last day for its number; a tick each day, or every other day in a
  // long cycle.
  days_->setRange(0.5, shownDays + 0.7);
  days_->setTickType(QValueAxis::TicksDynamic);
  days_->setTickAnchor(1);
  days_->setTickInterval(shownDays <= 24 ? 1 : shownDays <= 48 ? 2 : 7);

  // The range of the readings and the cover line, with a little room above for the numbers.
  double low = 1e9, high = -1e9;
  for (const ChartReading& r : data.readings) {
    low = std::min(low, r.temperature.Value());
    high = std::max(high, r.temperature.Value());
  }
  if (data.hasCoverLine) {
    low = std::min(low, data.coverLine.Value());
    high = std::max(high, data.coverLine.Value());
  }
  if (low > high) {
    low = data.unit == TemperatureUnit::Celsius ? 36.0 : 96.8;
    high = data.unit == TemperatureUnit::Celsius ? 37.2 : 99.0;
  }
  // Ticks at tenths of a degree Celsius (fifths of a degree Fahrenheit).
  const double step = data.unit == TemperatureUnit::Celsius ? 0.1 : 0.2;
  low = std::floor(low / step - 0.5) * step;
  high = std::ceil(high / step + 1.0) * step;
  degrees_->setRange(low, high);
  degrees_->setTickType(QValueAxis::TicksDynamic);
  degrees_->setTickAnchor(low);
  degrees_->setTickInterval(step);
  degrees_->setLabelFormat(QStringLiteral("%.1f"));

  auto* counted = new QLineSeries;
  counted->setName(QStringLiteral("Waking temperature"));
  counted->setPen(QPen(kReadingColour, 2));
  counted->setPointsVisible(true);
  auto* disturbed = new QScatterSeries;
  disturbed->setName(QStringLiteral("Disturbed (left out)"));
  disturbed->setMarkerSize(8);
  disturbed->setColor(Qt::white);
  disturbed->setBorderColor(kDisturbedColour);
  for (const ChartReading& r : data.readings) {
    if (r.disturbed)
      disturbed->append(r.cycleDay, r.temperature.Value());
    else
      counted->append(r.cycleDay, r.temperature.Value());
  }
  QList<QAbstractSeries*> series{counted};
  if (disturbed->count() > 0) series << disturbed;
  else delete disturbed;

  if (data.hasCoverLine) {
    auto* cover = new QLineSeries;
    cover->setName(QStringLiteral("Cover line"));
    cover->setPen(QPen(kCoverColour, 2));
    cover->append(data.CycleDay(data.coverFrom), data.coverLine.Value());
    cover->append(data.CycleDay(data.coverTo), data.coverLine.Value());
    series << cover;
  }
  for (QAbstractSeries* s : series) {
    c->addSeries(s);
    s->attachAxis(days_);
    s->attachAxis(degrees_);
  }

  // The higher readings, numbered over their points.
  int n = 0;
  for (const QDate& d : data.higher) {
    const auto it = std::find_if(data.readings.cbegin(), data.readings.cend(),
                                 [&d](const ChartReading& r) { return r.date == d; });
    if (it == data.readings.cend()) continue;
    auto* mark = new QScatterSeries;
    mark->setName(QString::number(++n));
    mark->setMarkerSize(9);
    mark->setColor(kHigherColour);
    mark->setBorderColor(kHigherColour);
    mark->append(it->cycleDay, it->temperature.Value());
    mark->setPointLabelsFormat(QString::number(n));
    mark->setPointLabelsVisible(true);
    mark->setPointLabelsFont(ArialFont(11, true));
    mark->setPointLabelsColor(kHigherColour.darker(130));
    c->addSeries(mark);
    mark->attachAxis(days_);
    mark->attachAxis(degrees_);
    for (QLegendMarker* m : c->legend()->markers(mark)) m->setVisible(n == 1);
    if (n == 1) mark->setName(QStringLiteral("Higher readings"));
  }
  if (data.peakDay.isValid())
    AddVertical(data.peakConfirmed.isValid() ? QStringLiteral("Mucus peak")
                                             : QStringLiteral("Mucus peak (not confirmed)"),
                data.CycleDay(data.peakDay), kPeakColour, low, high);
  // The phase ends on that day's evening: the line stands at its end.
  if (data.fertileEnd.isValid())
    AddVertical(QStringLiteral("Fertile phase ends"), data.CycleDay(data.fertileEnd) + 0.5,
                kEndColour, low, high);
}
