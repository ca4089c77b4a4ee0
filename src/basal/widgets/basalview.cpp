#include "basal/widgets/basalview.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QToolTip>

#include "app/config.h"
#include "app/datafolders.h"
#include "core/textutil.h"
#include "app/widgets/fonts.h"
#include "app/widgets/linklabel.h"
#include "app/widgets/messages.h"
#include "app/widgets/printreport.h"
#include "app/widgets/reportbar.h"
#include "basal/basalrecords.h"
#include "basal/basalreport.h"
#include "basal/basalscale.h"
#include "basal/basalsigns.h"
#include "basal/widgets/basalcyclechart.h"
#include "basal/widgets/basalgrid.h"
#include "basal/widgets/basalpictures.h"
#include "core/clock.h"
#include "core/cyclemodel.h"
#include "cycle/cyclerecordstore.h"
#include "cycle/widgets/periodactions.h"

namespace {

constexpr int kLabelColumnWidth = 63;
constexpr int kDayColumnWidth = 18;
constexpr int kDateRowHeight = 13;
constexpr int kLevelRowHeight = 16;
constexpr int kCycleRowHeight = 16;
constexpr int kSignRowHeight = 18;

constexpr int kPageWidth = 966;
constexpr int kPageHeight = 450;
constexpr int kChartLeft = 12;
constexpr int kDateTop = 8;
constexpr int kRightLeft = 700;

const QColor kFixedColour(244, 244, 244);
const QColor kOddColumnColour(247, 247, 247);
const QColor kSignsColour(255, 255, 236);
const QColor kBarColour(128, 128, 128);
const QColor kDisturbedBarColour(196, 196, 196);
const QColor kErrorColour(200, 0, 0);
const QColor kSavedColour(0, 110, 40);
const QColor kRiseColour(45, 215, 53);
const QColor kCoverLineColour(255, 128, 255);
const QColor kSelectedDateColour(255, 0, 0);
const QColor kGridLineColour(208, 208, 208);
const QColor kTipColour(128, 128, 128);
const QColor kLinkColour(0, 128, 255);

QFont PageFont() { return ArialFont(11); }

// Arial Narrow where the system has a narrow face, else Arial drawn condensed.
QFont NarrowFont() {
  const QString narrow = QStringLiteral("Liberation Sans Narrow");
  QFont f(QFontDatabase::hasFamily(narrow) ? narrow : QStringLiteral("Arial"));
  if (!QFontDatabase::hasFamily(narrow)) f.setStretch(QFont::Condensed);
  f.setPixelSize(9);
  return f;
}

QLabel* AddLabel(QWidget* parent, const QString& name, const QString& text, int x, int y,
                 int w, int h) {
  auto* l = new QLabel(text, parent);
  if (!name.isEmpty()) l->setObjectName(name);
  l->setGeometry(x, y, w, h);
  return l;
}

void SetTextColour(QLabel* l, const QColor& c) {
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, c);
  l->setPalette(pal);
}

// The cell without its right and bottom grid line.
QRect Inner(const QRect& rect) { return rect.adjusted(0, 0, -1, -1); }

void DrawGridLines(QPainter& p, const QRect& rect) {
  p.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), kGridLineColour);
  p.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), kGridLineColour);
}

// Cell text 2 pixels in from the top-left corner.
void DrawCellText(QPainter& p, const QRect& cell, const QString& text) {
  if (text.isEmpty()) return;
  p.setPen(Qt::black);
  p.drawText(cell.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
             text);
}

void DrawFixedCell(QPainter& p, const QRect& rect, const QString& text) {
  p.fillRect(rect, kFixedColour);
  DrawGridLines(p, rect);
  p.setPen(Qt::black);
  p.drawText(Inner(rect).adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}

}  // namespace

QString BasalView::BasalInfoUrl() {
  return QStringLiteral("https://en.wikipedia.org/wiki/Basal_body_temperature");
}

BasalView::BasalView(ViewHost* host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName(QStringLiteral("frmBasal"));
  chart_.SetFolder(host_->Dir().BasalFolder());
  BuildPage();
}

void BasalView::BuildPage() {
  // The page keeps its size; a smaller page area shows its top-left part.
  resize(kPageWidth, kPageHeight);

  panel_ = new QWidget(this);
  panel_->setObjectName(QStringLiteral("Basal_Panel"));
  panel_->setFixedSize(kPageWidth, kPageHeight);
  panel_->setAutoFillBackground(true);
  QPalette pal = panel_->palette();
  pal.setColor(QPalette::Window, Qt::white);
  pal.setColor(QPalette::WindowText, Qt::black);
  panel_->setPalette(pal);
  panel_->setFont(PageFont());

  // The temperature grid: labels, then 33 day columns under the date strip.
  basalChart_ = new BasalGrid(kBasalDayColumns + 1, kBasalLevelRows + 1, 1, 1, panel_);
  basalChart_->setObjectName(QStringLiteral("Basal_Chart"));
  basalChart_->SetColumnWidth(0, kLabelColumnWidth);
  for (int c = 1; c <= kBasalDayColumns; ++c) basalChart_->SetColumnWidth(c, kDayColumnWidth);
  basalChart_->SetRowHeight(0, kCycleRowHeight);
  for (int r = 1; r <= kBasalLevelRows; ++r) basalChart_->SetRowHeight(r, kLevelRowHeight);
  const int chartTop = kDateTop + 3 * kDateRowHeight + 2;
  basalChart_->move(kChartLeft, chartTop);
  basalChart_->SetCellPainter([this](QPainter& p, const QRect& r, int c, int row) {
    PaintBasalCell(p, r, c, row);
  });
  basalChart_->setContextMenuPolicy(Qt::CustomContextMenu);

  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  clearColumn_ = popup_->addAction(QStringLiteral("Clear Selected Date"));
  clearColumn_->setObjectName(QStringLiteral("ClearColumn1"));
  connect(clearColumn_, &QAction::triggered, this, [this] { ClearCurrentDay(); });
  // "Period started on this day" acts on the day column that has the keyboard's cell;
  // P and Ctrl+Z work on the grid as in its menu.
  actions_ = new PeriodActions(
      host_,
      [this] {
        const int c = basalChart_->currentColumn();
        return shown_ && c >= 1 ? chart_.ColumnDate(c) : QDate();
      },
      this);
  actions_->AddTo(basalChart_);
  popup_->addSeparator();
  popup_->addAction(actions_->Start());
  popup_->addAction(actions_->Undo());
  connect(basalChart_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    actions_->Update();
    popup_->popup(basalChart_->viewport()->mapToGlobal(pos));
  });
  connect(basalChart_, &BasalGrid::cellSelected, this,
          [this](int c, int r) { Basal_ChartSelectCell(c, r); });
  connect(basalChart_, &BasalGrid::leftDoubleClicked, this, [this](int, int) { ClearCurrentDay(); });

  // The date strip, column k over day column k + 1.
  dateChart_ = new BasalGrid(kBasalDayColumns, 3, 0, 0, panel_);
  dateChart_->setObjectName(QStringLiteral("Date_Chart"));
  for (int c = 0; c < kBasalDayColumns; ++c) dateChart_->SetColumnWidth(c, kDayColumnWidth);
  for (int r = 0; r < 3; ++r) dateChart_->SetRowHeight(r, kDateRowHeight);
  dateChart_->setFont(NarrowFont());
  dateChart_->move(kChartLeft + kLabelColumnWidth, kDateTop);
  dateChart_->setFocusPolicy(Qt::NoFocus);
  dateChart_->setSelectionMode(QAbstractItemView::NoSelection);
  dateChart_->setAttribute(Qt::WA_TransparentForMouseEvents);
  dateChart_->SetCellPainter([this](QPainter& p, const QRect& r, int c, int row) {
    PaintDateCell(p, r, c, row);
  });

  // The signs grid under the temperature grid.
  sexChart_ = new BasalGrid(kBasalDayColumns + 1, 4, 1, 1, panel_);
  sexChart_->setObjectName(QStringLiteral("Sex_Chart"));
  sexChart_->SetColumnWidth(0, kLabelColumnWidth);
  for (int c = 1; c <= kBasalDayColumns; ++c) sexChart_->SetColumnWidth(c, kDayColumnWidth);
  for (int r = 0; r < 4; ++r) sexChart_->SetRowHeight(r, kSignRowHeight);
  sexChart_->move(kChartLeft, chartTop + basalChart_->height() + 8);
  sexChart_->SetCellPainter([this](QPainter& p, const QRect& r, int c, int row) {
    PaintSexCell(p, r, c, row);
  });
  // "Intercourse" must fit the 63-pixel label column.
  sexChart_->setFont(PageFont());
  sexChart_->SetText(0, 0, QStringLiteral("Cycle Day"));
  sexChart_->SetText(0, 1, QStringLiteral("Discharge"));
  sexChart_->SetText(0, 2, QStringLiteral("Cervix"));
  sexChart_->SetText(0, 3, QStringLiteral("Intercourse"));
  connect(sexChart_, &BasalGrid::cellReleased, this, [this](int c, int r) { Sex_ChartMouseUp(c, r); });
  connect(sexChart_, &BasalGrid::cellHovered, this, [this](int c, int r) { Sex_ChartMouseMove(c, r); });
  connect(sexChart_, &BasalGrid::cellSelected, this,
          [this](int c, int r) { Sex_ChartSelectCell(c, r); });

  // The texts at the right.
  const int w = kPageWidth - kRightLeft - 8;
  QLabel* title = AddLabel(panel_, QStringLiteral("Label1"), QStringLiteral("Basal Body"),
                           kRightLeft, 4, w, 28);
  title->setFont(ArialFont(21, true));

  QLabel* sub = AddLabel(panel_, QStringLiteral("Label2"), QStringLiteral("Track your Temperature "),
                         kRightLeft, 32, w, 16);
  QFont italic = PageFont();
  italic.setItalic(true);
  sub->setFont(italic);

  const QStringList tipLines = {
      QStringLiteral("Tip: Click on the cell that matches "),
      QStringLiteral("your temperature for that day. The day "),
      QStringLiteral("the temperature jumps above the "),
      QStringLiteral("cover line, and goes on rising "),
      QStringLiteral("after, is likely to be the ovulation day. "),
      QStringLiteral("The next three days are when you "),
      QStringLiteral("are the most fertile. To clear a bar, "),
      QStringLiteral("click the lowest temperature cell on "),
      QStringLiteral("that day.")};
  QLabel* tip = AddLabel(panel_, QStringLiteral("Label3"), tipLines.join(QLatin1Char('\n')),
                         kRightLeft, 56, w, 9 * 14);
  tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SetTextColour(tip, kTipColour);

  QLabel* cover = AddLabel(panel_, QStringLiteral("Label4"), QStringLiteral("______"),
                           kRightLeft, 166, 130, 44);
  cover->setFont(ArialFont(37, true));
  cover->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SetTextColour(cover, kCoverLineColour);
  AddLabel(panel_, QStringLiteral("Label6"), QStringLiteral("Cover Line"), kRightLeft + 136, 190,
           100, 16);

  link_ = new LinkLabel(QStringLiteral("What is Basal Temperature?"), panel_);
  link_->setObjectName(QStringLiteral("Label5"));
  link_->setGeometry(kRightLeft, 220, w, 16);
  QFont linkFont = PageFont();
  linkFont.setUnderline(true);
  link_->setFont(linkFont);
  SetTextColour(link_, kLinkColour);
  connect(link_, &LinkLabel::clicked, this, [this] { Label5Click(); });

  AddLabel(panel_, QStringLiteral("Label7"), QStringLiteral("Tip: Click on a cell to change its value"),
           kRightLeft, 244, w, 16);

  QFont boldFont = PageFont();
  boldFont.setBold(true);
  QLabel* dTitle = AddLabel(panel_, QStringLiteral("Label8"), QStringLiteral("Discharge"),
                            kRightLeft, 272, 140, 16);
  dTitle->setFont(boldFont);
  QLabel* dLegend = AddLabel(panel_, QStringLiteral("Discharge_Legend"),
                             DischargeLegend().join(QLatin1Char('\n')), kRightLeft, 290, 140, 4 * 14);
  dLegend->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QLabel* cTitle = AddLabel(panel_, QStringLiteral("Label9"), QStringLiteral("Cervix"),
                            kRightLeft + 150, 272, 100, 16);
  cTitle->setFont(boldFont);
  QLabel* cLegend = AddLabel(panel_, QStringLiteral("Cervix_Legend"),
                             CervixLegend().join(QLatin1Char('\n')), kRightLeft + 150, 290, 100,
                             2 * 14);
  cLegend->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  report_ = new QToolButton(panel_);
  report_->setObjectName(QStringLiteral("SpeedButton7"));
  report_->setText(QStringLiteral("Report"));
  report_->setGeometry(kRightLeft, sexChart_->y() + sexChart_->height() - 30, 80, 30);
  connect(report_, &QToolButton::clicked, this, [this] { SpeedButton7Click(); });

  print_ = new QToolButton(panel_);
  print_->setObjectName(QStringLiteral("SpeedButton5"));
  print_->setToolTip(QStringLiteral("Print"));
  print_->setIcon(QIcon(PrinterGlyph(20)));
  print_->setIconSize(QSize(20, 20));
  print_->setGeometry(kRightLeft + 88, report_->y(), 34, 30);
  connect(print_, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });
  LinkLabel* pdf = MakeSavePdfLink(
      panel_, [this] { return shown_ && WriteReport() ? ReportPath() : QString(); },
      QStringLiteral("Basal temperature report.pdf"));
  pdf->setGeometry(kRightLeft + 130, report_->y() + 6, 100, 18);

  basalChart_->SetText(0, 0, QStringLiteral("Cycle Day"));
  BuildDayFields();
}

void BasalView::BuildDayFields() {
  const int top = sexChart_->y() + sexChart_->height() + 6;
  fieldLabel_ = AddLabel(panel_, QStringLiteral("ui_basal_temperature_label"), QString(),
                         kChartLeft, top, 236, 24);
  temperature_ = new QLineEdit(panel_);
  temperature_->setObjectName(QStringLiteral("ui_basal_temperature"));
  temperature_->setGeometry(kChartLeft + 238, top, 62, 24);
  temperature_->setMaxLength(8);
  fieldLabel_->setBuddy(temperature_);
  connect(temperature_, &QLineEdit::returnPressed, this, [this] { CommitTemperature(); });
  connect(temperature_, &QLineEdit::editingFinished, this, [this] { CommitTemperature(); });
  setTemperature_ = new QPushButton(QStringLiteral("Set"), panel_);
  setTemperature_->setObjectName(QStringLiteral("ui_basal_temperature_set"));
  setTemperature_->setGeometry(kChartLeft + 304, top, 42, 24);
  connect(setTemperature_, &QPushButton::clicked, this, [this] { CommitTemperature(); });

  QLabel* dLabel = AddLabel(panel_, QString(), QStringLiteral("&Disturbed:"), kChartLeft + 356,
                            top, 66, 24);
  disturbed_ = new QComboBox(panel_);
  disturbed_->setObjectName(QStringLiteral("ui_basal_disturbed"));
  disturbed_->setGeometry(kChartLeft + 422, top, 150, 24);
  disturbed_->addItem(QStringLiteral("no"), int(Disturbance::None));
  for (Disturbance d : {Disturbance::Sleep, Disturbance::Illness, Disturbance::Alcohol,
                        Disturbance::Other})
    disturbed_->addItem(DisturbanceName(d), int(d));
  disturbed_->setToolTip(
      QStringLiteral("A reading taken after a short night, in an illness, after alcohol or "
                     "otherwise out of the ordinary is kept but left out of the reading of "
                     "your signs."));
  dLabel->setBuddy(disturbed_);
  // Only her choice writes: filling the box for a day does not.
  connect(disturbed_, &QComboBox::activated, this, &BasalView::OnDisturbanceChosen);

  chartToggle_ = new QToolButton(panel_);
  chartToggle_->setObjectName(QStringLiteral("ui_basal_chart_toggle"));
  chartToggle_->setText(QStringLiteral("Line chart"));
  chartToggle_->setToolTip(QStringLiteral(
      "The precise temperatures of this cycle as a line, with the cover line and the signs "
      "read from them"));
  chartToggle_->setCheckable(true);
  chartToggle_->setGeometry(kChartLeft + 582, top, 75, 24);

  message_ = AddLabel(panel_, QStringLiteral("ui_basal_temperature_message"), QString(),
                      kChartLeft, top + 26, kPageWidth - 2 * kChartLeft, 16);

  // The line chart stands over the level grid and the date strip while it is chosen.
  cycleChart_ = new BasalCycleChart(panel_);
  cycleChart_->setGeometry(kChartLeft, kDateTop, basalChart_->x() + basalChart_->width() - kChartLeft,
                           basalChart_->y() + basalChart_->height() - kDateTop);
  cycleChart_->hide();
  connect(chartToggle_, &QToolButton::toggled, this, [this](bool on) {
    cycleChart_->setVisible(on);
    basalChart_->setVisible(!on);
    dateChart_->setVisible(!on);
    if (on) RefreshCycleChart();
  });
}

TemperatureUnit BasalView::Unit() const {
  return TemperatureUnitFromSetting(host_->Settings().TemperatureUnits);
}

void BasalView::FillDayFields() {
  const int c = shown_ ? chart_.DateColumn(selected_) : -1;
  const TemperatureUnit unit = Unit();
  fieldDate_ = c >= 1 ? selected_ : QDate();
  fieldLabel_->setText(QStringLiteral("&Waking temperature, %1 (%2):")
                           .arg(FormatDate(QStringLiteral("ddd mmm d"), selected_),
                                TemperatureUnitSymbol(unit)));
  const BasalReading r = c >= 1 ? chart_.Reading(c, unit) : BasalReading();
  fieldText_ = r.temperature ? r.temperature->Text() : QString();
  temperature_->setText(fieldText_);
  temperature_->setPlaceholderText(unit == TemperatureUnit::Celsius ? QStringLiteral("36.50")
                                                                    : QStringLiteral("97.70"));
  temperature_->setEnabled(c >= 1);
  disturbed_->setEnabled(c >= 1);
  disturbed_->setCurrentIndex(std::max(0, disturbed_->findData(int(r.disturbance))));
  actions_->Update();
}

void BasalView::ShowFieldMessage(const QString& text, bool error) {
  message_->setText(text);
  SetTextColour(message_, error ? kErrorColour : kSavedColour);
}

void BasalView::CommitTemperature() {
  if (!shown_ || committing_ || !fieldDate_.isValid()) return;
  const QString text = temperature_->text().trimmed();
  if (text == fieldText_) return;  // nothing typed since the field was filled
  const int c = chart_.DateColumn(fieldDate_);
  if (c < 1) return;
  committing_ = true;
  const TemperatureUnit unit = Unit();
  const QString day = FormatDate(QStringLiteral("ddd mmm d"), fieldDate_);
  if (text.isEmpty()) {
    chart_.ClearDay(c);
  } else {
    const TemperatureInput input = ParseTemperatureInput(text, unit);
    if (!input.value) {
      ShowFieldMessage(input.error, true);
      committing_ = false;
      return;
    }
    chart_.SetTemperature(c, *input.value);
  }
  daysChanged_ = true;
  const BasalReading r = chart_.Reading(c, unit);
  fieldText_ = r.temperature ? r.temperature->Text() : QString();
  temperature_->setText(fieldText_);
  if (chart_.DateColumn(selected_) == c)
    basalChart_->SetCurrentQuietly(c, chart_.BarTop(c) > 0 ? chart_.BarTop(c) : kBasalLevelRows);
  basalChart_->viewport()->update();
  dateChart_->viewport()->update();
  if (Save())
    ShowFieldMessage(r.temperature ? QStringLiteral("Saved: %1 %2 on %3.")
                                         .arg(fieldText_, TemperatureUnitSymbol(unit), day)
                                   : QStringLiteral("The reading of %1 is cleared.").arg(day),
                     false);
  else
    ShowFieldMessage(QStringLiteral("The reading of %1 could not be saved.").arg(day), true);
  committing_ = false;
}

void BasalView::OnDisturbanceChosen(int index) {
  if (!shown_ || !fieldDate_.isValid()) return;
  const int c = chart_.DateColumn(fieldDate_);
  if (c < 1) return;
  const auto d = static_cast<Disturbance>(disturbed_->itemData(index).toInt());
  if (chart_.Reading(c, Unit()).disturbance == d) return;
  chart_.SetDisturbance(c, d);
  daysChanged_ = true;
  basalChart_->viewport()->update();
  const QString day = FormatDate(QStringLiteral("ddd mmm d"), fieldDate_);
  if (Save())
    ShowFieldMessage(d == Disturbance::None
                         ? QStringLiteral("The reading of %1 counts again.").arg(day)
                         : QStringLiteral("The reading of %1 is marked disturbed (%2) and left "
                                          "out of the reading of your signs.")
                               .arg(day, DisturbanceName(d)),
                     false);
  else
    ShowFieldMessage(QStringLiteral("The mark of %1 could not be saved.").arg(day), true);
}

void BasalView::HandOverDays() {
  CycleRecordStore* store = host_->CycleRecords();
  // Only a change is handed over: a date change alone rebuilds nothing.
  if (!store || !chart_.IsOpen() || !daysChanged_) return;
  daysChanged_ = false;
  const TemperatureUnit unit = Unit();
  store->UpdateDays([this, unit](DaySignsList* days) {
    for (int year : {chart_.Year(), chart_.Year() + 1})
      if (const CellGrid* grid = chart_.YearGrid(year)) ReplaceBasalYear(days, *grid, year, unit);
  });
}

void BasalView::RefreshCycleChart() {
  if (!cycleChart_->isVisible()) return;
  CycleRecordStore* store = host_->CycleRecords();
  if (!store) return;
  const CycleReading& reading = store->Reading(Unit());
  const QStringList errors = store->TakeErrors();
  if (!errors.isEmpty()) ShowError(errors.join(QLatin1Char('\n')), this);
  cycleChart_->Show(reading.ChartOf(reading.RowOf(selected_)), Clock::Today());
}

void BasalView::SaveBeforeDateChange() { CommitTemperature(); }

void BasalView::SaveOnLeave() { CommitTemperature(); }

QSize BasalView::sizeHint() const { return QSize(kPageWidth, kPageHeight); }

void BasalView::ShowDate(const QDate& date) {
  if (!date.isValid()) return;
  if (shown_) {
    CommitTemperature();
    Save();
  }
  if (!shown_)
    if (CycleRecordStore* store = host_->CycleRecords())
      connect(store, &CycleRecordStore::changed, this, [this] {
        actions_->Update();
        RefreshCycleChart();
      });
  selected_ = date;
  QStringList errors;
  chart_.Open(date, &errors);
  for (const QString& e : errors) ShowError(e, this);
  BuildWindow();
  FillSigns();
  shown_ = true;
  FillDayFields();
  message_->clear();
  RefreshCharts();
  RefreshCycleChart();
}

void BasalView::BuildWindow() {
  for (int k = 0; k < kBasalDayColumns; ++k) {
    const QDate d = chart_.ColumnDate(k + 1);
    dateChart_->SetText(k, 0, FormatDate(QStringLiteral("ddd"), d));
    dateChart_->SetText(k, 1, FormatDate(QStringLiteral("mmm"), d));
    dateChart_->SetText(k, 2, FormatDate(QStringLiteral("d"), d));
  }
  const QString units = host_->Settings().TemperatureUnits;
  for (int r = 1; r <= kBasalLevelRows; ++r) basalChart_->SetText(0, r, LevelLabel(r, units));
  FillCycleDays();

  // The selected day's column shows as current, at its bar top (or the bottom row when it
  // has no bar, which draws as nothing).
  const int c = chart_.DateColumn(selected_);
  if (c > 0) {
    const int top = chart_.BarTop(c);
    basalChart_->SetCurrentQuietly(c, top > 0 ? top : kBasalLevelRows);
  } else {
    basalChart_->SetCurrentQuietly(-1, -1);
  }
  sexChart_->SetCurrentQuietly(-1, -1);
}

void BasalView::FillCycleDays() {
  for (int c = 1; c <= kBasalDayColumns; ++c) {
    const QString n = QString::number(CycleDayNumber(host_->Cycle(), chart_.ColumnDate(c)));
    basalChart_->SetText(c, 0, n);
    sexChart_->SetText(c, 0, n);
  }
}

void BasalView::FillSigns() {
  for (int c = 1; c <= kBasalDayColumns; ++c) {
    sexChart_->SetText(c, kDischargeRow, chart_.Discharge(c));
    sexChart_->SetText(c, kCervixRow, chart_.Cervix(c));
    sexChart_->SetText(c, kIntercourseRow,
                       chart_.Intercourse(c) ? QString::fromLatin1(kIntercourseMark) : QString());
  }
  sexChart_->viewport()->update();
}

void BasalView::RefreshCharts() {
  // Before the first ShowDate the view shows nothing.
  if (!shown_) return;
  // The cycle settings may have changed: the day numbers follow the colours.
  FillCycleDays();
  basalChart_->viewport()->update();
  dateChart_->viewport()->update();
  sexChart_->viewport()->update();
}

void BasalView::SelectColumnDate(int column) {
  const QDate date = chart_.ColumnDate(column);
  if (date != selected_) {
    // What was typed for the day before belongs to that day.
    CommitTemperature();
    message_->clear();
  }
  const bool otherCycle = date != selected_;
  selected_ = date;
  host_->SetSelectedDate(selected_);
  FillDayFields();
  if (otherCycle) RefreshCycleChart();
}

void BasalView::Basal_ChartSelectCell(int col, int row) {
  if (!shown_ || col < 1 || row < 1) return;
  // The row's value on the scale she sees, and its exact conversion to the other unit.
  chart_.SetLevel(col, row, TemperatureUnitFromSetting(host_->Settings().TemperatureUnits));
  daysChanged_ = true;
  SelectColumnDate(col);
  basalChart_->viewport()->update();
  dateChart_->viewport()->update();
  Save();
}

void BasalView::ClearCurrentDay() {
  if (!shown_) return;
  const int c = basalChart_->currentColumn();
  if (c < 1) return;
  chart_.ClearDay(c);
  daysChanged_ = true;
  SelectColumnDate(c);
  basalChart_->SetCurrentQuietly(c, kBasalLevelRows);
  dateChart_->viewport()->update();
  Save();
}

void BasalView::Sex_ChartMouseUp(int col, int row) {
  if (!shown_ || col < 1) return;
  bool changed = false;
  const QString hint = chart_.ClickSign(col, row, &changed);
  FillSigns();
  ShowSignHint(hint);
  if (!changed) return;
  daysChanged_ = true;
  QString error;
  if (!chart_.SaveColumnYear(col, &error)) ShowError(error, this);
  HandOverDays();
}

void BasalView::Sex_ChartMouseMove(int col, int row) {
  if (!shown_ || col < 1 || row < 1) {
    ShowSignHint(QString());
    return;
  }
  ShowSignHint(SignHoverHint(row, sexChart_->Text(col, row)));
}

void BasalView::ShowSignHint(const QString& hint) {
  sexChart_->setToolTip(hint);
  if (hint.isEmpty()) QToolTip::hideText();
  else if (sexChart_->viewport()->underMouse()) QToolTip::showText(QCursor::pos(), hint, sexChart_);
}

void BasalView::Sex_ChartSelectCell(int col, int) {
  if (!shown_ || col < 1) return;
  SelectColumnDate(col);
  dateChart_->viewport()->update();
}

QString BasalView::ReportPath() const {
  return host_->Dir().BuildFolder() + QLatin1String(kBasalReportPage);
}

bool BasalView::WriteReport() {
  // Rendered now, so the picture shows the change just made.
  QImage picture(panel_->size(), QImage::Format_RGB32);
  picture.fill(Qt::white);
  panel_->render(&picture);
  QString error;
  if (!WriteBasalReport(host_->Dir().BuildFolder(), picture, &error)) {
    ShowError(error, this);
    return false;
  }
  return true;
}

bool BasalView::Save() {
  if (!shown_) return false;
  WriteReport();
  QStringList errors;
  const bool ok = chart_.Save(&errors);
  for (const QString& e : errors) ShowError(e, this);
  // Written or held for the next try, the days count for her reading as they are now.
  HandOverDays();
  return ok;
}

void BasalView::SpeedButton7Click() {
  if (!shown_) return;
  if (WriteReport()) OpenDocument(ReportPath());
}

void BasalView::SpeedButton5Click() { PrintReport(ReportPath(), PrintWait::Fixed); }

void BasalView::Label5Click() { OpenDocument(BasalInfoUrl()); }

void BasalView::PaintBasalCell(QPainter& p, const QRect& rect, int col, int row) const {
  if (col == 0 || row == 0) {
    DrawFixedCell(p, rect, basalChart_->Text(col, row));
    return;
  }
  const QRect cell = Inner(rect);
  p.fillRect(cell, (col % 2) ? kOddColumnColour : Qt::white);
  DrawGridLines(p, rect);
  if (!shown_) return;

  const int top = chart_.BarTop(col);
  const bool inBar = top > 0 && row >= top;
  const int curCol = basalChart_->currentColumn();
  const bool current = curCol == col && basalChart_->currentRow() == row;
  if (inBar || current) {
    if (chart_.IsRiseDay(col)) {
      p.fillRect(cell, kRiseColour);
    } else {
      // Reaching one pixel above and below, so a bar shows no gaps between its cells.
      const QRect tall = cell.adjusted(0, -1, 0, 1);
      const bool blank = curCol == col && basalChart_->currentRow() == kBasalLevelRows;
      const bool disturbed = chart_.Reading(col, TemperatureUnit::Celsius).disturbance != Disturbance::None;
      p.fillRect(tall, blank ? QColor(Qt::white) : disturbed ? kDisturbedBarColour : kBarColour);
    }
  }
  if (row == kCoverLineRow) {
    const int edge = cell.top() + cell.height();  // the cell's bottom edge
    p.fillRect(QRect(cell.left() - 1, edge - 4, cell.width() + 2, 4), kCoverLineColour);
  }
}

void BasalView::PaintSexCell(QPainter& p, const QRect& rect, int col, int row) const {
  if (col == 0 || row == 0) {
    DrawFixedCell(p, rect, sexChart_->Text(col, row));
    return;
  }
  const QRect cell = Inner(rect);
  p.fillRect(cell, (col % 2) ? kOddColumnColour : kSignsColour);
  DrawGridLines(p, rect);
  const QString text = sexChart_->Text(col, row);
  if (row == kIntercourseRow) {
    if (text == QLatin1String(kIntercourseMark)) {
      p.setClipRect(cell);
      p.drawPixmap(cell.topLeft() + QPoint(5, 5), HeartPicture());
    }
    return;
  }
  DrawCellText(p, cell, text);
}

void BasalView::PaintDateCell(QPainter& p, const QRect& rect, int col, int row) const {
  const QRect cell = Inner(rect);
  if (!shown_) {
    p.fillRect(rect, Qt::white);
    return;
  }
  const QDate date = chart_.ColumnDate(col + 1);
  p.fillRect(cell.adjusted(-1, -1, 1, 1), CycleColour(host_->Cycle(), date));
  DrawCellText(p, cell, dateChart_->Text(col, row));
  if (date == selected_) {
    const int right = cell.left() + cell.width();  // the cell's right edge
    p.fillRect(QRect(cell.left(), rect.top(), 2, rect.height()), kSelectedDateColour);
    p.fillRect(QRect(right - 2, rect.top(), 2, rect.height()), kSelectedDateColour);
  }
}
