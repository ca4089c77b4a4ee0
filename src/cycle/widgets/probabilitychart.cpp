#include "cycle/widgets/probabilitychart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QPainter>

#include "core/textutil.h"
#include "core/cyclemodel.h"
#include "cycle/monthlayout.h"

namespace {

const QString kTitle = QStringLiteral("Probability of Pregnancy ");
constexpr int kMaxPercent = 35;
constexpr int kPercentStep = 5;
constexpr qreal kLabelGap = 3;

}  // namespace

ProbabilityChart::ProbabilityChart(QWidget* parent)
    : QChartView(parent),
      series_(new QLineSeries),
      bottom_(new QCategoryAxis),
      left_(new QCategoryAxis) {
  setObjectName(QStringLiteral("Chart1"));
  setRenderHint(QPainter::Antialiasing);
  setFrameShape(QFrame::NoFrame);
  setBackgroundBrush(Qt::white);

  auto* c = new QChart;
  c->legend()->hide();
  c->setBackgroundBrush(Qt::white);
  c->setBackgroundRoundness(0);
  c->setMargins(QMargins(4, 0, 8, 2));
  // The chart's own title is centred; it only reserves the room, and a right-aligned
  // copy of it is drawn on top.
  QFont titleFont(QStringLiteral("Arial"), 9, QFont::Bold);
  c->setTitle(kTitle);
  c->setTitleFont(titleFont);
  c->setTitleBrush(Qt::transparent);

  series_->setObjectName(QStringLiteral("Series1"));
  series_->setName(QStringLiteral("Series1"));
  series_->setPen(QPen(QColor(Qt::red), 2));
  series_->setPointsVisible(false);
  c->addSeries(series_);

  const QFont axisFont(QStringLiteral("Arial"), 7);
  const QFont axisTitleFont(QStringLiteral("Arial"), 8, QFont::Bold);

  bottom_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  bottom_->setLabelsFont(axisFont);
  // The axis keeps the day numbers and reserves their room, but it cuts a crowded label
  // to "..."; the day numbers are drawn by PlaceDayLabels instead.
  bottom_->setLabelsBrush(Qt::transparent);
  bottom_->setTitleFont(axisTitleFont);
  bottom_->setGridLineVisible(false);
  bottom_->setRange(0, 1);
  c->addAxis(bottom_, Qt::AlignBottom);
  series_->attachAxis(bottom_);

  left_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  left_->setLabelsFont(axisFont);
  left_->setTitleFont(axisTitleFont);
  left_->setTitleText(QStringLiteral("Pregnancy"));
  left_->setRange(0, kMaxPercent);
  left_->setStartValue(0);
  for (int v = 0; v <= kMaxPercent; v += kPercentStep)
    left_->append(FormatNumber(QStringLiteral("#,##0.###"), v) + QLatin1Char('%'), v);
  left_->setGridLinePen(QPen(QColor(225, 225, 225), 1));
  c->addAxis(left_, Qt::AlignLeft);
  series_->attachAxis(left_);

  setChart(c);

  title_ = new QGraphicsSimpleTextItem(kTitle, c);
  title_->setFont(titleFont);
  title_->setBrush(QColor(128, 128, 128));
  title_->setZValue(10);
  connect(c, &QChart::geometryChanged, this, &ProbabilityChart::PlaceTitle);
  connect(c, &QChart::plotAreaChanged, this, &ProbabilityChart::PlaceDayLabels);
  PlaceTitle();
}

void ProbabilityChart::PlaceDayLabels() {
  const QRectF plot = chart()->plotArea();
  qreal lastRight = -1e9;
  for (qsizetype i = 0; i < dayLabels_.size(); ++i) {
    QGraphicsSimpleTextItem* item = dayLabels_[i];
    const QPointF at = chart()->mapToPosition(QPointF(i, 0), series_);
    const QRectF box = item->boundingRect();
    const qreal left = at.x() - box.width() / 2;
    item->setPos(left, plot.bottom() + 4);
    // Like neighbours on a crowded axis, a label that would touch the one before is left
    // out rather than drawn over it.
    const bool fits = left >= lastRight + kLabelGap;
    item->setVisible(fits);
    if (fits) lastRight = left + box.width();
  }
}

QStringList ProbabilityChart::ShownLabels() const {
  QStringList shown;
  for (const auto* item : dayLabels_)
    if (item->isVisible()) shown << item->text();
  return shown;
}

void ProbabilityChart::PlaceTitle() {
  const QRectF area = chart()->rect();
  const QRectF text = title_->boundingRect();
  title_->setPos(area.right() - text.width() - 8, area.top() + 4);
}

void ProbabilityChart::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  PlaceTitle();
}

void ProbabilityChart::Refresh(const CycleSettings& settings, const QDate& monthDate) {
  series_->clear();
  labels_.clear();
  qDeleteAll(dayLabels_);
  dayLabels_.clear();
  for (const QString& label : bottom_->categoriesLabels()) bottom_->remove(label);
  bottom_->setTitleText(monthDate.isValid() ? FormatDate(QStringLiteral("mmmm"), monthDate)
                                            : QString());
  if (!monthDate.isValid()) return;

  const auto points = MonthProbabilityPoints(settings, monthDate.year(), monthDate.month());
  QList<QPointF> xy;
  xy.reserve(points.size());
  bottom_->setStartValue(-1);
  for (qsizetype i = 0; i < points.size(); ++i) {
    const QString label = QString::number(points[i].day);
    xy.append(QPointF(i, points[i].percent));
    labels_.append(label);
    bottom_->append(label, i);
  }
  series_->replace(xy);
  for (const QString& label : labels_) {
    auto* item = new QGraphicsSimpleTextItem(label, chart());
    item->setFont(bottom_->labelsFont());
    item->setBrush(left_->labelsBrush());
    dayLabels_.append(item);
  }
  // Half a step of room on either side keeps the first and last labels whole.
  if (points.isEmpty())
    bottom_->setRange(0, 1);
  else
    bottom_->setRange(-0.5, points.size() - 0.5);
  PlaceDayLabels();
}

QList<QPointF> ProbabilityChart::Points() const { return series_->points(); }

QString ProbabilityChart::BottomTitle() const { return bottom_->titleText(); }

QStringList ProbabilityChart::LeftLabels() const { return left_->categoriesLabels(); }

QImage ProbabilityChart::RenderImage() {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  PlaceDayLabels();
  QWidget::render(&image);
  return image;
}
