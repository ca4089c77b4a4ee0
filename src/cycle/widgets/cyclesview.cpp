#include "cycle/widgets/cyclesview.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>

#include "app/config.h"
#include "app/widgets/datefield.h"
#include "app/widgets/fonts.h"
#include "app/widgets/labels.h"
#include "app/widgets/messages.h"
#include "core/clock.h"
#include "core/textutil.h"
#include "cycle/cyclerecordstore.h"
#include "cycle/cyclereading.h"
#include "cycle/cyclestats.h"
#include "cycle/symptothermal.h"

namespace {
constexpr int kPageWidth = 966;
constexpr int kPageHeight = 451;
constexpr int kRight = 578;
constexpr int kRightWidth = kPageWidth - kRight - 10;
const QColor kTitleGrey(128, 128, 128);
const QColor kLineColour(232, 84, 128);

QLabel* Text(QWidget* parent, const QString& name, int x, int y, int w, int h) {
  QLabel* l = MakeLabel(parent, name, QString(), ArialFont(12));
  l->setGeometry(x, y, w, h);
  l->setWordWrap(true);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return l;
}

QLabel* Heading(QWidget* parent, const QString& text, int x, int y, int w = kRightWidth) {
  QLabel* l = MakeLabel(parent, QString(), text, ArialFont(13, true), QColor(90, 90, 90));
  l->setGeometry(x, y, w, 18);
  return l;
}

QString ShortDate(const QDate& d) { return FormatDate(QStringLiteral("mmm d, yyyy"), d); }

QString PauseText(const CyclePause& p) {
  QString kind = PauseKindName(p.kind);
  kind[0] = kind[0].toUpper();
  if (p.IsOpen()) return QStringLiteral("%1 since %2").arg(kind, ShortDate(p.first));
  return QStringLiteral("%1 from %2 to %3").arg(kind, ShortDate(p.first), ShortDate(p.last));
}
}  // namespace

CyclesView::CyclesView(ViewHost* host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName(QStringLiteral("CyclesView"));
  Build();
}

void CyclesView::Build() {
  setFixedSize(kPageWidth, kPageHeight);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setFont(ArialFont(12));

  MakeLabel(this, QStringLiteral("ui_cycles_title"), QStringLiteral("My cycles"),
            ArialFont(19, true), kTitleGrey)
      ->setGeometry(10, 6, 300, 26);
  QLabel* about = Text(this, QStringLiteral("ui_cycles_about"), 10, 34, 556, 16);
  about->setText(QStringLiteral(
      "From the period starts you recorded and the P days of your basal chart, newest first."));
  about->setStyleSheet(QStringLiteral("color: rgb(110,110,110);"));

  table_ = new QTableWidget(0, 5, this);
  table_->setObjectName(QStringLiteral("ui_cycles_table"));
  table_->setGeometry(10, 54, 556, 192);
  table_->setHorizontalHeaderLabels({QStringLiteral("Start"), QStringLiteral("Days"),
                                     QStringLiteral("Ovulation (temperature)"),
                                     QStringLiteral("Luteal"), QStringLiteral("Note")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setWordWrap(false);
  table_->verticalHeader()->setDefaultSectionSize(20);
  table_->setColumnWidth(0, 96);
  table_->setColumnWidth(1, 44);
  table_->setColumnWidth(2, 150);
  table_->setColumnWidth(3, 50);
  table_->horizontalHeader()->setStretchLastSection(true);

  auto* chart = new QChart;
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->legend()->setFont(ArialFont(11));
  chart->setTitleFont(ArialFont(12, true));
  chart_ = new QChartView(chart, this);
  chart_->setObjectName(QStringLiteral("ui_cycles_chart"));
  chart_->setRenderHint(QPainter::Antialiasing);
  chart_->setFrameShape(QFrame::NoFrame);
  chart_->setBackgroundBrush(Qt::white);
  chart_->setGeometry(4, 250, 566, 198);

  Heading(this, QStringLiteral("Your figures"), kRight, 8);
  figures_ = Text(this, QStringLiteral("ui_cycles_figures"), kRight, 28, kRightWidth, 46);
  leftOut_ = Text(this, QStringLiteral("ui_cycles_leftout"), kRight, 74, kRightWidth, 32);

  Heading(this, QStringLiteral("Your next periods"), kRight, 108);
  next_ = Text(this, QStringLiteral("ui_cycles_next"), kRight, 128, kRightWidth, 62);

  useAverage_ = new QPushButton(QStringLiteral("&Use my average"), this);
  useAverage_->setObjectName(QStringLiteral("ui_use_average"));
  useAverage_->setGeometry(kRight, 194, 124, 26);
  connect(useAverage_, &QPushButton::clicked, this, &CyclesView::UseAverage);
  averageNote_ = Text(this, QStringLiteral("ui_use_average_note"), kRight + 132, 192,
                      kRightWidth - 132, 46);
  averageNote_->setFont(ArialFont(11));

  Heading(this, QStringLiteral("Pauses"), kRight, 240);
  pauses_ = new QListWidget(this);
  pauses_->setObjectName(QStringLiteral("ui_pauses"));
  pauses_->setGeometry(kRight, 260, kRightWidth, 70);
  QLabel* kindLabel = MakeLabel(this, QString(), QStringLiteral("&Mark a pause:"), ArialFont(12));
  kindLabel->setGeometry(kRight, 336, 90, 24);
  pauseKind_ = new QComboBox(this);
  pauseKind_->setObjectName(QStringLiteral("ui_pause_kind"));
  pauseKind_->setGeometry(kRight + 92, 336, 124, 24);
  for (PauseKind k : {PauseKind::Pregnancy, PauseKind::BreastFeeding, PauseKind::Gap})
    pauseKind_->addItem(PauseKindName(k), int(k));
  kindLabel->setBuddy(pauseKind_);
  pauseOpen_ = new QCheckBox(QStringLiteral("still going on"), this);
  pauseOpen_->setObjectName(QStringLiteral("ui_pause_open"));
  pauseOpen_->setGeometry(kRight + 224, 336, 140, 24);

  QLabel* fromLabel = MakeLabel(this, QString(), QStringLiteral("&from"), ArialFont(12));
  fromLabel->setGeometry(kRight, 364, 34, 24);
  pauseFrom_ = new QDateEdit(this);
  TypeDigitsIntoSections(pauseFrom_);
  pauseFrom_->setObjectName(QStringLiteral("ui_pause_from"));
  pauseFrom_->setDisplayFormat(QStringLiteral("MMM d, yyyy"));
  pauseFrom_->setCalendarPopup(true);
  pauseFrom_->setGeometry(kRight + 36, 364, 118, 24);
  fromLabel->setBuddy(pauseFrom_);
  QLabel* untilLabel = MakeLabel(this, QString(), QStringLiteral("un&til"), ArialFont(12));
  untilLabel->setGeometry(kRight + 160, 364, 30, 24);
  pauseUntil_ = new QDateEdit(this);
  TypeDigitsIntoSections(pauseUntil_);
  pauseUntil_->setObjectName(QStringLiteral("ui_pause_until"));
  pauseUntil_->setDisplayFormat(QStringLiteral("MMM d, yyyy"));
  pauseUntil_->setCalendarPopup(true);
  pauseUntil_->setGeometry(kRight + 192, 364, 118, 24);
  untilLabel->setBuddy(pauseUntil_);
  connect(pauseOpen_, &QCheckBox::toggled, pauseUntil_, &QWidget::setDisabled);

  addPause_ = new QPushButton(QStringLiteral("Mark &pause"), this);
  addPause_->setObjectName(QStringLiteral("ui_pause_add"));
  addPause_->setGeometry(kRight, 394, 110, 26);
  connect(addPause_, &QPushButton::clicked, this, &CyclesView::AddPause);
  removePause_ = new QPushButton(QStringLiteral("&Remove pause"), this);
  removePause_->setObjectName(QStringLiteral("ui_pause_remove"));
  removePause_->setGeometry(kRight + 118, 394, 120, 26);
  connect(removePause_, &QPushButton::clicked, this, &CyclesView::RemovePause);
  connect(pauses_, &QListWidget::currentRowChanged, this,
          [this](int row) { removePause_->setEnabled(row >= 0); });
  removePause_->setEnabled(false);

  QLabel* note = Text(this, QStringLiteral("ui_cycles_note"), kRight, 424, kRightWidth, 26);
  note->setFont(ArialFont(10));
  note->setStyleSheet(QStringLiteral("color: rgb(110,110,110);"));
  note->setText(QStringLiteral("The calendar's colours still follow the three settings below. ") +
                NotContraceptionText());
}

void CyclesView::StartView(const QDate&) {
  const QDate today = Clock::Today();
  pauseFrom_->setDate(today);
  pauseUntil_->setDate(today);
  if (CycleRecordStore* store = host_->CycleRecords())
    connect(store, &CycleRecordStore::changed, this, [this] {
      stale_ = true;
      if (isVisible()) Fill();
    });
}

void CyclesView::ShowDate(const QDate&) {
  // The page shows her whole history, whatever the day; it is read when it is looked at.
  if (!shown_ || stale_) Fill();
  shown_ = true;
}

QWidget* CyclesView::FirstInput() { return table_; }

void CyclesView::Fill() {
  stale_ = false;
  CycleRecordStore* store = host_->CycleRecords();
  if (!store) return;
  const CycleReading& r =
      store->Reading(TemperatureUnitFromSetting(host_->Settings().TemperatureUnits));
  const QStringList errors = store->TakeErrors();
  if (!errors.isEmpty()) ShowError(errors.join(QLatin1Char('\n')), this);
  FillTable(r);
  FillFigures(r);
  FillChart(r);
  FillPauses();
}

void CyclesView::FillTable(const CycleReading& r) {
  const QVector<CycleRow>& rows = r.Rows();
  table_->setRowCount(int(rows.size()));
  for (qsizetype i = 0; i < rows.size(); ++i) {
    const CycleRow& row = rows[rows.size() - 1 - i];
    const Cycle& c = row.cycle;
    QString note;
    if (c.IsCurrent())
      note = QStringLiteral("current cycle, day %1").arg(c.start.daysTo(r.Today()) + 1);
    else if (c.leftOut == CycleLeftOut::TooLong)
      note = QStringLiteral("left out: longer than %1 days").arg(kLongestCountedCycle);
    else if (c.leftOut == CycleLeftOut::Paused)
      note = QStringLiteral("left out: in a pause");
    else
      note = PeriodSourceName(row.source);
    const bool shift = row.signs.shift.state == ShiftState::Confirmed;
    const QStringList cells = {
        ShortDate(c.start), c.IsCurrent() ? QString() : QString::number(c.length),
        shift ? QStringLiteral("%1 (day %2)")
                    .arg(FormatDate(QStringLiteral("mmm d"), row.signs.ovulation))
                    .arg(row.signs.CycleDay(row.signs.ovulation))
              : QStringLiteral("-"),
        row.lutealLength > 0 ? QString::number(row.lutealLength) : QStringLiteral("-"), note};
    for (int col = 0; col < cells.size(); ++col) {
      auto* item = new QTableWidgetItem(cells[col]);
      if (col == 1 || col == 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (!c.Counts() && !c.IsCurrent()) item->setForeground(QColor(150, 150, 150));
      table_->setItem(int(i), col, item);
    }
    table_->item(int(i), 2)->setToolTip(
        shift ? QStringLiteral("The day before the first higher reading of a confirmed "
                               "temperature rise (confirmed on %1).")
                    .arg(ShortDate(row.signs.shift.confirmed))
              : QStringLiteral("No temperature rise is confirmed in this cycle."));
  }
}

void CyclesView::FillFigures(const CycleReading& r) {
  const CycleForecast& f = r.Forecast();
  const CycleStats& s = f.stats;
  figures_->setText(s.HasFigures() ? FiguresText(s) : r.NextPeriodText());
  leftOut_->setText(LeftOutText(s));

  QStringList next;
  const QDate today = r.Today();
  for (const PeriodWindow& w : f.windows)
    next << QStringLiteral("%1 (most likely %2)")
                .arg(DateWindowText(w.first, w.last, today), DayMonthText(w.expected, today));
  if (!next.isEmpty())
    next << QStringLiteral("± %1 %2: your cycles vary by %3 days (standard deviation).")
                .arg(s.WindowMargin())
                .arg(s.WindowMargin() == 1 ? QStringLiteral("day") : QStringLiteral("days"))
                .arg(AppLocale().toString(s.deviation, 'f', 1));
  else
    next << r.NextPeriodText();
  next_->setText(next.join(QLatin1Char('\n')));

  // "Use my average" offers only what fits the footer.
  const AverageSettings a = r.Averages();
  averageCycle_ = a.cycleLength > 0 && Config::ClampCycleLength(a.cycleLength) == a.cycleLength
                      ? a.cycleLength
                      : 0;
  averageLuteal_ = a.lutealLength > 0 && Config::ClampLuteal(a.lutealLength) == a.lutealLength
                       ? a.lutealLength
                       : 0;
  useAverage_->setEnabled(averageCycle_ > 0);
  QString note;
  if (a.cycleLength == 0) {
    note = QStringLiteral("Needs %1 more %2 of your own.")
               .arg(s.CyclesNeeded())
               .arg(s.CyclesNeeded() == 1 ? QStringLiteral("cycle") : QStringLiteral("cycles"));
  } else if (averageCycle_ == 0) {
    note = QStringLiteral("Your average of %1 days lies outside the cycle lengths the calendar "
                          "takes (20 to 40 days).")
               .arg(a.cycleLength);
  } else {
    note = QStringLiteral("Sets Cycle Length to %1 days (your last %2 cycles)")
               .arg(averageCycle_)
               .arg(a.cycles);
    if (averageLuteal_ > 0)
      note += QStringLiteral(" and Luteal Phase to %1 days (from your temperatures in %2 cycles)")
                  .arg(averageLuteal_)
                  .arg(a.lutealCycles);
    else
      note += QStringLiteral("; your temperatures do not give a luteal phase yet");
    note += QLatin1Char('.');
  }
  averageNote_->setText(note);
}

void CyclesView::FillChart(const CycleReading& r) {
  QChart* c = chart_->chart();
  c->removeAllSeries();
  for (QAbstractAxis* a : c->axes()) {
    c->removeAxis(a);
    delete a;
  }
  auto* lengths = new QLineSeries;
  lengths->setName(QStringLiteral("Cycle length (days)"));
  lengths->setPen(QPen(kLineColour, 2));
  lengths->setPointsVisible(true);
  auto* leftOut = new QScatterSeries;
  leftOut->setName(QStringLiteral("Left out"));
  leftOut->setMarkerSize(8);
  leftOut->setColor(Qt::white);
  leftOut->setBorderColor(QColor(150, 150, 150));
  int low = 99, high = 0;
  QDateTime first, last;
  for (const CycleRow& row : r.Rows()) {
    if (row.cycle.IsCurrent()) continue;
    const QDateTime x = row.cycle.start.startOfDay();
    if (!first.isValid()) first = x;
    last = x;
    if (row.cycle.Counts()) {
      lengths->append(double(x.toMSecsSinceEpoch()), row.cycle.length);
      low = std::min(low, row.cycle.length);
      high = std::max(high, row.cycle.length);
    }
  }
  if (high == 0) {
    low = 21;
    high = 35;
  }
  const int top = high + 3;
  for (const CycleRow& row : r.Rows())
    if (!row.cycle.IsCurrent() && !row.cycle.Counts())
      leftOut->append(double(row.cycle.start.startOfDay().toMSecsSinceEpoch()),
                      std::min(row.cycle.length, top));

  auto* axisX = new QDateTimeAxis;
  axisX->setFormat(QStringLiteral("MMM yyyy"));
  axisX->setLabelsFont(ArialFont(10));
  if (!first.isValid()) {
    first = Clock::Today().addMonths(-6).startOfDay();
    last = Clock::Today().startOfDay();
  }
  if (first == last) last = first.addDays(28);
  axisX->setRange(first.addDays(-7), last.addDays(7));
  axisX->setTickCount(std::clamp(int(lengths->count() + leftOut->count()), 2, 7));
  auto* axisY = new QValueAxis;
  axisY->setLabelFormat(QStringLiteral("%d"));
  axisY->setLabelsFont(ArialFont(10));
  axisY->setRange(std::max(0, low - 3), top);
  axisY->setTitleText(QStringLiteral("days"));
  axisY->setTitleFont(ArialFont(11));
  c->addAxis(axisX, Qt::AlignBottom);
  c->addAxis(axisY, Qt::AlignLeft);

  QList<QAbstractSeries*> series{lengths};
  const CycleStats& s = r.Forecast().stats;
  if (s.HasFigures()) {
    auto* average = new QLineSeries;
    average->setName(QStringLiteral("Average of your last %1").arg(s.used));
    average->setPen(QPen(QColor(90, 90, 90), 1.5, Qt::DashLine));
    average->append(double(axisX->min().toMSecsSinceEpoch()), s.average);
    average->append(double(axisX->max().toMSecsSinceEpoch()), s.average);
    series << average;
  }
  if (leftOut->count() > 0)
    series << leftOut;
  else
    delete leftOut;
  for (QAbstractSeries* x : series) {
    c->addSeries(x);
    x->attachAxis(axisX);
    x->attachAxis(axisY);
  }
  c->setTitle(lengths->count() > 0 ? QStringLiteral("Your cycle lengths over time")
                                   : QStringLiteral("No complete cycle recorded yet"));
}

void CyclesView::FillPauses() {
  CycleRecordStore* store = host_->CycleRecords();
  pauses_->clear();
  if (!store) return;
  for (const CyclePause& p : store->History().Pauses()) {
    auto* item = new QListWidgetItem(PauseText(p), pauses_);
    item->setData(Qt::UserRole, p.first);
  }
  if (pauses_->count() == 0) {
    auto* item = new QListWidgetItem(QStringLiteral("No pause marked."), pauses_);
    item->setFlags(Qt::NoItemFlags);
  }
  removePause_->setEnabled(false);
}

void CyclesView::UseAverage() {
  if (averageCycle_ <= 0) return;
  host_->ApplyCycleSettings(averageCycle_, averageLuteal_);
  averageNote_->setText(
      averageLuteal_ > 0
          ? QStringLiteral("Cycle Length is now %1 days and Luteal Phase %2 days.")
                .arg(averageCycle_)
                .arg(averageLuteal_)
          : QStringLiteral("Cycle Length is now %1 days.").arg(averageCycle_));
}

void CyclesView::AddPause() {
  CycleRecordStore* store = host_->CycleRecords();
  if (!store) return;
  CyclePause p;
  p.kind = static_cast<PauseKind>(pauseKind_->currentData().toInt());
  p.first = pauseFrom_->date();
  if (!pauseOpen_->isChecked()) p.last = pauseUntil_->date();
  QString error;
  if (!store->AddPause(p, &error)) ShowError(error, this);
}

void CyclesView::RemovePause() {
  CycleRecordStore* store = host_->CycleRecords();
  QListWidgetItem* item = pauses_->currentItem();
  if (!store || !item || !item->data(Qt::UserRole).isValid()) return;
  if (!AskYesNo(QStringLiteral("Remove the pause \"%1\"? The cycles in it count again.")
                    .arg(item->text()),
                this))
    return;
  QString error;
  if (!store->RemovePause(item->data(Qt::UserRole).toDate(), &error)) ShowError(error, this);
}
