#include "trackers/widgets/bloodpressureview.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFrame>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/datafolders.h"
#include "app/widgets/fonts.h"
#include "app/widgets/messages.h"
#include "app/widgets/reportbar.h"
#include "core/clock.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "trackers/pressurepicture.h"
#include "trackers/pressurereport.h"
#include "trackers/pressuretablemodel.h"

// The readings table; it can hand what is typed in an open cell to the model, so that a
// reading typed just before leaving is written.
class ReadingsTable : public QTableView {
 public:
  using QTableView::QTableView;
  void CommitEditor() {
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
      commitData(editor);
      closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
  }
};

namespace {
// The glyphs of the add and delete buttons: a green plus and a red minus.
QIcon SignIcon(bool plus) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(plus ? QColor(40, 150, 60) : QColor(200, 40, 40));
  p.drawRoundedRect(QRectF(1, 6, 14, 4), 1, 1);
  if (plus) p.drawRoundedRect(QRectF(6, 1, 4, 14), 1, 1);
  return QIcon(pm);
}

QPushButton* SignButton(const QString& name, bool plus, const QString& hint, QWidget* parent) {
  auto* b = new QPushButton(parent);
  b->setObjectName(name);
  b->setIcon(SignIcon(plus));
  b->setIconSize(QSize(16, 16));
  b->setFixedSize(28, 24);
  b->setToolTip(hint);
  b->setAccessibleName(hint);
  b->setAutoDefault(true);  // Enter clicks it as well as Space
  return b;
}
}  // namespace

BloodPressureView::BloodPressureView(ViewHost* host, QWidget* parent)
    : QWidget(parent), host_(host) {
  setObjectName(QStringLiteral("frmHeart"));
  setFont(ArialFont(12));
  model_ = new PressureTableModel(&readings_, this);
  connect(model_, &PressureTableModel::changed, this, [this] { unsaved_ = true; });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);

  auto* top = new QHBoxLayout;
  lblDate_ = new QLabel(this);
  lblDate_->setObjectName(QStringLiteral("lblDate"));
  lblDate_->setFont(ArialFont(16, true));
  top->addWidget(lblDate_, 1);
  lblYear_ = new QLabel(this);
  lblYear_->setObjectName(QStringLiteral("lblYear"));
  top->addWidget(lblYear_);

  auto* box = new QFrame(this);
  box->setObjectName(QStringLiteral("ReadingBox"));
  box->setStyleSheet(QStringLiteral(
      "QFrame#ReadingBox { border: 1px solid rgb(170,190,210); border-radius: 8px; "
      "background: rgb(244,250,255); }"));
  auto* boxRow = new QHBoxLayout(box);
  boxRow->setContentsMargins(10, 3, 6, 3);
  boxRow->setSpacing(4);
  auto* caption = new QLabel(QStringLiteral("Reading:"), box);
  caption->setStyleSheet(QStringLiteral("background: transparent;"));
  boxRow->addWidget(caption);
  auto* add = SignButton(QStringLiteral("SpeedButton1"), true, QStringLiteral("Add new Reading"), box);
  auto* del = SignButton(QStringLiteral("SpeedButton2"), false,
                         QStringLiteral("Delete Selected Row"), box);
  boxRow->addWidget(add);
  boxRow->addWidget(del);
  top->addWidget(box);
  layout->addLayout(top);

  pg_ = new QTabWidget(this);
  pg_->setObjectName(QStringLiteral("PG"));
  pg_->addTab(BuildTablePage(), QStringLiteral("Blood Pressure"));
  pg_->addTab(BuildScorePage(), QStringLiteral("Score"));
  pg_->addTab(BuildGraphPage(), QStringLiteral("Graph"));
  layout->addWidget(pg_, 1);
  pg_->setCornerWidget(new ReportBar([this] { return WriteReport(); },
                                     QStringLiteral("Blood pressure report.pdf"), pg_));

  setTabOrder(add, del);
  setTabOrder(del, pg_);
  setTabOrder(pg_, table_);

  connect(add, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
  connect(del, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
  connect(pg_, &QTabWidget::currentChanged, this, &BloodPressureView::PGChange);
  connect(qApp, &QApplication::focusChanged, this, &BloodPressureView::FocusChanged);
}

BloodPressureView::~BloodPressureView() {
  // Focus moves while QWidget deletes the children: no handler may run on a
  // half-destroyed view.
  disconnect(qApp, nullptr, this, nullptr);
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  // The table and its model read the readings, which go before QWidget deletes the
  // children.
  delete pg_;
  delete model_;
}

QWidget* BloodPressureView::BuildTablePage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(4, 4, 4, 4);
  table_ = new ReadingsTable(page);
  table_->setObjectName(QStringLiteral("Pressure_Chart"));
  table_->setModel(model_);
  table_->setFont(ArialFont(13));
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setMinimumSectionSize(16);
  table_->verticalHeader()->setDefaultSectionSize(20);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->horizontalHeader()->setHighlightSections(false);
  table_->horizontalHeader()->setFont(ArialFont(12, true));
  table_->horizontalHeader()->setMinimumSectionSize(20);
  table_->horizontalHeader()->setStretchLastSection(false);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setSelectionBehavior(QAbstractItemView::SelectItems);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  // Tab leaves the table (arrows move between cells); inside an open editor Tab still
  // goes on to the next cell.
  table_->setTabKeyNavigation(false);
  table_->setStyleSheet(QStringLiteral(
      "QTableView { background: white; gridline-color: rgb(212,212,212); "
      "selection-background-color: rgb(166,202,240); selection-color: black; }"
      "QHeaderView::section { background: rgb(192,220,192); border: none; "
      "border-right: 1px solid rgb(160,190,160); border-bottom: 1px solid rgb(160,190,160); "
      "padding: 1px 3px; }"));
  v->addWidget(table_);
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    const int widths[] = {110, 79, 79, 79, 50};
    for (int c = 0; c < model_->columnCount(); ++c)
      table_->setColumnWidth(c, c < 5 ? widths[c] : 79);
  });
  return page;
}

QWidget* BloodPressureView::BuildScorePage() {
  auto* scroll = new QScrollArea;
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  scroll->setStyleSheet(QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: white; }"));
  score_ = new QLabel;
  score_->setObjectName(QStringLiteral("Score_Picture"));
  score_->setContentsMargins(4, 6, 4, 4);
  scroll->setWidget(score_);
  return scroll;
}

QWidget* BloodPressureView::BuildGraphPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(2, 2, 2, 2);
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("Blood Pressure"));
  chart->setTitleFont(ArialFont(13, true));
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->legend()->setFont(ArialFont(11));

  auto makeSeries = [chart](const QString& name, const QColor& colour) {
    auto* s = new QLineSeries;
    s->setName(name);
    s->setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    s->setPointsVisible(true);
    chart->addSeries(s);
    return s;
  };
  systolic_ = makeSeries(QStringLiteral("Systolic BP"), Qt::red);
  diastolic_ = makeSeries(QStringLiteral("Diastolic BP"), QColor(241, 158, 248));
  pulse_ = makeSeries(QStringLiteral("Heart Rate"), QColor(0, 160, 0));

  graphX_ = new QValueAxis;
  graphX_->setTitleText(QStringLiteral("Reading"));
  graphX_->setTitleFont(ArialFont(11));
  graphX_->setLabelFormat(QStringLiteral("%.0f"));
  graphX_->setLabelsFont(ArialFont(10));
  graphY_ = new QValueAxis;
  graphY_->setLabelFormat(QStringLiteral("%.0f"));
  graphY_->setLabelsFont(ArialFont(10));
  chart->addAxis(graphX_, Qt::AlignBottom);
  chart->addAxis(graphY_, Qt::AlignLeft);
  for (QLineSeries* s : {systolic_, diastolic_, pulse_}) {
    s->attachAxis(graphX_);
    s->attachAxis(graphY_);
  }
  graphView_ = new QChartView(chart, page);
  graphView_->setObjectName(QStringLiteral("Pressure_Graph"));
  graphView_->setRenderHint(QPainter::Antialiasing);
  // Zoom by dragging a rectangle; the right button zooms back out.
  graphView_->setRubberBand(QChartView::RectangleRubberBand);
  v->addWidget(graphView_);
  notReadings_ = new QLabel(page);
  notReadings_->setObjectName(QStringLiteral("lblNotReadings"));
  notReadings_->setStyleSheet(QStringLiteral("QLabel { color: rgb(170,20,20); }"));
  notReadings_->setWordWrap(true);
  notReadings_->hide();
  v->addWidget(notReadings_);
  return page;
}

// --- DateView -----------------------------------------------------------------------

void BloodPressureView::ShowDate(const QDate& date) {
  if (!date.isValid()) return;
  // Each year has its own log: a date of another year shows that year's readings once
  // what was typed here is written (a log that cannot be written stays on screen, so
  // nothing typed is lost).
  if (opened_ && date.year() != readings_.Year() && SaveReadings()) {
    OpenReadings(date);
    return;
  }
  date_ = date;
  lblDate_->setText(FormatDate(QStringLiteral("dddddd"), date));
}

void BloodPressureView::OpenReadings(const QDate& date) {
  date_ = date;
  lblDate_->setText(FormatDate(QStringLiteral("dddddd"), date));
  QString error;
  const bool ok = readings_.Open(host_->Dir().HeartFolder(), date, &error);
  model_->Reload();
  table_->setCurrentIndex(model_->index(0, 0));
  opened_ = true;
  unsaved_ = false;
  reported_.clear();
  lblYear_->setText(QStringLiteral("Readings of %1").arg(readings_.Year()));
  ShowScore();
  if (pg_->currentIndex() == 2) ShowPressureGraph();
  // Told once here; the saves that refuse to replace the file stay quiet until the
  // table changes again after a good write.
  if (readings_.ReadFailed()) reported_.insert(readings_.ReadFailedMessage());
  if (!ok) ShowError(error, this);
  else ShowError(ReadOnlyNotice(readings_.Path()), this);  // damaged or far too large
}

// --- editing ------------------------------------------------------------------------

void BloodPressureView::SpeedButton1Click() {
  if (!opened_) return;
  // The table comes to the front first: choosing a tab writes the log, and the new
  // reading is not written until it is edited or left.
  pg_->setCurrentIndex(0);
  table_->CommitEditor();
  model_->AddReading(date_, Clock::Now());
  const QModelIndex time = model_->index(0, kBpTime);
  table_->setCurrentIndex(time);
  table_->scrollToTop();
  table_->setFocus(Qt::OtherFocusReason);
  table_->edit(time);
}

void BloodPressureView::SpeedButton2Click() {
  if (!opened_) return;
  table_->CommitEditor();
  const QModelIndex current = table_->currentIndex();
  if (!current.isValid()) return;
  const int row = current.row();
  const int col = current.column();
  model_->DeleteReading(row);
  const int keep = std::min(row, model_->rowCount() - 1);
  table_->setCurrentIndex(model_->index(keep, col));
}

void BloodPressureView::PGChange(int index) {
  if (index == 2) ShowPressureGraph();
  if (index == 1) ShowScore();
  SaveReadings();
}

bool BloodPressureView::InTable(const QWidget* w) const {
  return w && (w == table_ || table_->isAncestorOf(w));
}

void BloodPressureView::FocusChanged(QWidget* old, QWidget* now) {
  // The keyboard focus leaves the table (an open editor has committed by now).
  if (InTable(old) && !InTable(now)) SaveReadings();
}

// --- saving -------------------------------------------------------------------------

bool BloodPressureView::SaveReadings() { return SaveReporting(false); }

bool BloodPressureView::SaveReporting(bool always) {
  if (!opened_) return true;
  table_->CommitEditor();
  if (!unsaved_) return true;
  QString error;
  if (readings_.Save(&error)) {
    unsaved_ = false;
    reported_.clear();
    return true;
  }
  if (always || !reported_.contains(error)) {
    // Marked before the box opens: the box takes the focus, which saves again.
    reported_.insert(error);
    ShowError(error, this);
  }
  return false;
}

// --- pictures -----------------------------------------------------------------------

void BloodPressureView::ShowScore() {
  score_->setPixmap(QPixmap::fromImage(PressureClassPicture(NewestReading(readings_.Grid()))));
  score_->adjustSize();
}

void BloodPressureView::ShowPressureGraph() {
  table_->CommitEditor();
  const PressureGraph g = PressureGraphPoints(readings_.Grid());
  notReadings_->setText(
      g.notReadings == 1
          ? QStringLiteral("1 value in the table is not a reading and is not drawn; it is "
                           "marked in red there.")
          : QStringLiteral("%1 values in the table are not readings and are not drawn; they "
                           "are marked in red there.")
                .arg(g.notReadings));
  notReadings_->setVisible(g.notReadings > 0);
  systolic_->replace(QList<QPointF>(g.systolic.begin(), g.systolic.end()));
  diastolic_->replace(QList<QPointF>(g.diastolic.begin(), g.diastolic.end()));
  pulse_->replace(QList<QPointF>(g.pulse.begin(), g.pulse.end()));

  double firstRow = 0, lastRow = 0, lo = 0, hi = 0;
  bool any = false;
  for (const QVector<QPointF>* points : {&g.systolic, &g.diastolic, &g.pulse})
    for (const QPointF& p : *points) {
      if (!any) {
        firstRow = lastRow = p.x();
        lo = hi = p.y();
        any = true;
      }
      firstRow = std::min(firstRow, p.x());
      lastRow = std::max(lastRow, p.x());
      lo = std::min(lo, p.y());
      hi = std::max(hi, p.y());
    }
  if (!any) {
    firstRow = 1;
    lastRow = 10;
    lo = 50;
    hi = 150;
  }
  graphView_->chart()->zoomReset();
  // Whole reading numbers on the bottom axis, at most about ten of them.
  const double span = std::max(1.0, lastRow - firstRow);
  const double step = std::max(1.0, std::ceil(span / 10.0));
  graphX_->setTickType(QValueAxis::TicksDynamic);
  graphX_->setTickAnchor(firstRow);
  graphX_->setTickInterval(step);
  graphX_->setRange(firstRow - 0.5, std::max(lastRow, firstRow + 1) + 0.5);
  graphY_->setRange(std::floor((lo - 10) / 10) * 10, std::ceil((hi + 10) / 10) * 10);
  graphY_->setTickCount(std::clamp(int((graphY_->max() - graphY_->min()) / 20) + 1, 3, 11));
}

// --- report -------------------------------------------------------------------------

QString BloodPressureView::WriteReport() {
  // What is typed in an open cell is part of the table, written or not.
  table_->CommitEditor();
  QString error;
  const QDate shown = date_.isValid() ? date_ : host_->SelectedDate();
  if (!WritePressureReport(host_->Dir().BuildFolder(), shown, readings_.Grid(), &error)) {
    ShowError(error, this);
    return {};
  }
  return host_->Dir().BuildFolder() + QLatin1String(kPressureReportPage);
}
