#include "basal/widgets/basalview.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
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
#include "basal/basalreport.h"
#include "basal/basalscale.h"
#include "basal/basalsigns.h"
#include "basal/widgets/basalgrid.h"
#include "basal/widgets/basalpictures.h"
#include "core/cyclemodel.h"

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
  connect(basalChart_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
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
      QStringLiteral("Tip: Click on a cell corresponding your "),
      QStringLiteral("to termperature for that day. The day "),
      QStringLiteral("that the temperature jumps above the "),
      QStringLiteral("cover line, and continues to  increase "),
      QStringLiteral("after is likely to be the ovulation day. "),
      QStringLiteral("The next three days are  when you "),
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
}

QSize BasalView::sizeHint() const { return QSize(kPageWidth, kPageHeight); }

void BasalView::ShowDate(const QDate& date) {
  if (!date.isValid()) return;
  if (shown_) Save();
  selected_ = date;
  QStringList errors;
  chart_.Open(date, &errors);
  for (const QString& e : errors) ShowError(e, this);
  BuildWindow();
  FillSigns();
  shown_ = true;
  RefreshCharts();
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
  selected_ = chart_.ColumnDate(column);
  host_->SetSelectedDate(selected_);
}

void BasalView::Basal_ChartSelectCell(int col, int row) {
  if (!shown_ || col < 1 || row < 1) return;
  // The row's value on the scale she sees, and its exact conversion to the other unit.
  chart_.SetLevel(col, row, TemperatureUnitFromSetting(host_->Settings().TemperatureUnits));
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
  QString error;
  if (!chart_.SaveColumnYear(col, &error)) ShowError(error, this);
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

void BasalView::Save() {
  if (!shown_) return;
  WriteReport();
  QStringList errors;
  chart_.Save(&errors);
  for (const QString& e : errors) ShowError(e, this);
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
      p.fillRect(tall, blank ? QColor(Qt::white) : kBarColour);
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
