#include "nutrition/widgets/mealdiaryview.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QFrame>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/datafolders.h"
#include "app/widgets/fonts.h"
#include "app/widgets/glyphs.h"
#include "app/widgets/messages.h"
#include "app/widgets/reportbar.h"
#include "core/textutil.h"
#include "nutrition/mealreport.h"
#include "nutrition/widgets/cellgridview.h"
#include "nutrition/widgets/foodlistswindow.h"
#include "nutrition/widgets/foodpickers.h"

namespace {

const QString kSearchText = QStringLiteral("Search");
const QString kTip = QStringLiteral(
    "Tip: Select the meal tab, select a row, enter the name of the food and press enter. ");
const QColor kFactRed(Qt::red);
const QColor kFactBlue(0, 106, 213);
const QColor kAverageGreen(50, 205, 69);

const QList<int> kMealWidths{230, 45, 43, 43, 29};


// The search panel's picture: an apple under a magnifying glass.
QPixmap SearchPicture() {
  QPixmap pm(56, 56);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  QPainterPath apple;
  apple.moveTo(24, 14);
  apple.cubicTo(10, 6, 2, 20, 6, 32);
  apple.cubicTo(9, 42, 17, 48, 24, 44);
  apple.cubicTo(31, 48, 39, 42, 42, 32);
  apple.cubicTo(46, 20, 38, 6, 24, 14);
  p.setPen(QPen(QColor(150, 20, 20), 1));
  p.setBrush(QColor(215, 40, 40));
  p.drawPath(apple);
  p.setPen(QPen(QColor(110, 70, 30), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(24, 14), QPointF(26, 6));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 160, 60));
  p.drawEllipse(QRectF(27, 4, 10, 5));
  p.setPen(QPen(QColor(60, 60, 70), 3));
  p.setBrush(QColor(220, 235, 250, 150));
  p.drawEllipse(QPointF(34, 34), 11, 11);
  p.setPen(QPen(QColor(60, 60, 70), 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(42, 42), QPointF(51, 51));
  p.end();
  return pm;
}

QLabel* MakeLabel(const QString& text, const QFont& font, QWidget* parent,
                  const char* name = nullptr) {
  auto* l = new QLabel(text, parent);
  l->setFont(font);
  l->setTextFormat(Qt::PlainText);
  if (name) l->setObjectName(QLatin1String(name));
  return l;
}

QFrame* Rule(int thickness, QWidget* parent) {
  auto* f = new QFrame(parent);
  f->setFixedHeight(thickness);
  f->setStyleSheet(QStringLiteral("background: black;"));
  return f;
}

QChart* MakeChart() {
  auto* chart = new QChart;
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  return chart;
}

// Axis ticks every `step` from 1, so that long ranges never crowd their labels.
void SetDayAxis(QValueAxis* axis, int days) {
  const int last = std::max(days, 2);
  const int step = last <= 10 ? 1 : last <= 40 ? 5 : 30;
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(1);
  axis->setTickInterval(step);
  axis->setRange(1, last);
}

}  // namespace

MealDiaryView::MealDiaryView(ViewHost* host, QWidget* parent)
    : QWidget(parent), host_(host), model_(host->Dir().FoodFolder()) {
  setObjectName(QStringLiteral("frmEat"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setFont(ArialFont(11));

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(4, 4, 4, 2);
  root->setSpacing(3);
  lblDate_ = MakeLabel(QString(), ArialFont(16, true), this, "lblDate");
  auto* titleRow = new QHBoxLayout;
  titleRow->addWidget(lblDate_, 1);
  titleRow->addWidget(new ReportBar([this] { return WriteReport(); },
                                    QStringLiteral("Calorie report.pdf"), this));
  root->addLayout(titleRow);

  auto* body = new QHBoxLayout;
  body->setSpacing(4);
  pg_ = new QTabWidget(this);
  pg_->setObjectName(QStringLiteral("pg"));
  pg_->setDocumentMode(false);
  for (int meal = 1; meal <= kMealCount; ++meal) pg_->addTab(BuildMealPage(meal), MealWord(meal));
  pg_->addTab(BuildTotalPage(), QStringLiteral("Total"));
  pg_->addTab(BuildTodayPage(), QStringLiteral("Today"));
  pg_->addTab(BuildHistoryPage(), QStringLiteral("History"));
  // The tabs keep the view's font when a theme's style sheet repolishes the window;
  // inherited only, they would take the style sheet's default and no longer fit.
  pg_->tabBar()->setFont(font());
  body->addWidget(pg_, 1);
  pnlHands_ = BuildHands();
  body->addWidget(pnlHands_, 0, Qt::AlignTop);
  fridgePanel_ = BuildFridgePanel();
  body->addWidget(fridgePanel_, 0, Qt::AlignTop);
  root->addLayout(body, 1);

  tip_ = MakeLabel(kTip, ArialFont(11), this, "lblTip");
  tip_->setStyleSheet(QStringLiteral("color: rgb(96,96,96);"));
  root->addWidget(tip_);

  connect(pg_, &QTabWidget::currentChanged, this, &MealDiaryView::pgChange);
  ShowTotals();
}

MealDiaryView::~MealDiaryView() {
  // Grids that lose the focus while they go would recompute on a half-destroyed view;
  // and the grids go before the records they show.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

QWidget* MealDiaryView::BuildMealPage(int meal) {
  auto* page = new QWidget;
  page->setObjectName(MealWord(meal) + QStringLiteral("_Page"));
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(3, 3, 3, 3);
  v->setSpacing(3);
  CellGridModel::Look look;
  look.header = QColor(192, 220, 192);
  look.oddRow = QColor(244, 249, 253);
  look.evenRow = Qt::white;
  look.editable = true;
  look.cutLongTexts = true;
  auto* model = new CellGridModel(&model_.MealGrid(meal), kMealColumns, look, page);
  auto* grid = new CellGridView(model, kMealWidths, page);
  grid->setObjectName(MealWord(meal) + QStringLiteral("_Chart"));
  grid->setMinimumWidth(grid->FullWidth());
  mealModels_[meal - 1] = model;
  mealGrids_[meal - 1] = grid;
  v->addWidget(grid, 1);
  auto* label = MakeLabel(QString(), ArialFont(11, true), page);
  label->setObjectName(MealWord(meal) + QStringLiteral("_Calories"));
  mealLabels_[meal - 1] = label;
  v->addWidget(label);

  connect(model, &CellGridModel::cellEdited, this, [this] { model_.SetModified(); });
  connect(grid, &CellGridView::enterPressed, this, [this, meal] { MealGridEnter(meal); });
  connect(grid, &CellGridView::editFinished, this, &MealDiaryView::MealGridEditFinished);
  connect(grid, &CellGridView::focusLeft, this, &MealDiaryView::RecomputeTotals);
  return page;
}

QWidget* MealDiaryView::BuildTotalPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("Total_Page"));
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(8, 6, 8, 6);
  v->setSpacing(4);
  v->addWidget(MakeLabel(QStringLiteral("Day Totals"), ArialFont(13, true), page));

  CellGridModel::Look look;
  look.header = QColor(192, 192, 192);
  look.oddRow = QColor(244, 249, 253);
  look.evenRow = QColor(251, 253, 255);
  // Never edited: the grids are rebuilt by every recompute.
  auto* totalGrid = const_cast<CellGrid*>(&model_.TotalGrid());
  totalModel_ = new CellGridModel(totalGrid, kMealColumns, look, page);
  auto* total = new CellGridView(totalModel_, kMealWidths, page);
  total->setObjectName(QStringLiteral("Total_Chart"));
  total->setSelectionBehavior(QAbstractItemView::SelectRows);
  total->setSelectionMode(QAbstractItemView::NoSelection);
  total->setFocusPolicy(Qt::NoFocus);
  total->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  total->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  total->setFixedSize(total->FullWidth() - total->verticalScrollBar()->sizeHint().width(),
                      7 * 16 + 17 + 2 * total->frameWidth());
  v->addWidget(total);
  v->addSpacing(8);

  v->addWidget(MakeLabel(QStringLiteral("Calorie Sources"), ArialFont(13, true), page));
  CellGridModel::Look sumLook = look;
  sumLook.oddRow = QColor(251, 253, 255);
  auto* sumGrid = const_cast<CellGrid*>(&model_.SumGrid());
  sumModel_ = new CellGridModel(sumGrid, kMealColumns, sumLook, page);
  auto* sum = new CellGridView(sumModel_, kMealWidths, page);
  sum->setObjectName(QStringLiteral("Sum_Chart"));
  sum->setSelectionBehavior(QAbstractItemView::SelectRows);
  sum->setSelectionMode(QAbstractItemView::NoSelection);
  sum->setFocusPolicy(Qt::NoFocus);
  sum->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sum->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sum->setFixedSize(total->width(), 16 + 17 + 2 * sum->frameWidth());
  v->addWidget(sum);
  v->addStretch(1);
  return page;
}

QWidget* MealDiaryView::BuildTodayPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("Today_Page"));
  auto* h = new QHBoxLayout(page);
  h->setContentsMargins(8, 6, 8, 6);
  h->setSpacing(12);

  auto* facts = new QFrame(page);
  facts->setObjectName(QStringLiteral("Facts_Panel"));
  facts->setFixedWidth(270);
  facts->setStyleSheet(
      QStringLiteral("#Facts_Panel { background: white; border: 1px solid black; }"));
  auto* v = new QVBoxLayout(facts);
  v->setContentsMargins(6, 4, 6, 6);
  v->setSpacing(2);
  v->addWidget(MakeLabel(QStringLiteral("Nutrition Facts"), ArialFont(24, true), facts));
  v->addWidget(MakeLabel(QStringLiteral("What you ate this day"), ArialFont(11), facts));
  v->addWidget(Rule(8, facts));
  v->addWidget(MakeLabel(QStringLiteral("Amount Per Day"), ArialFont(10, true), facts));

  auto makeFact = [&](const char* name, bool bold, const QColor& colour) {
    QLabel* l = MakeLabel(QString(), ArialFont(12, bold), facts, name);
    l->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
    return l;
  };
  // One line of the panel: a caption with its amount right after it, and on the right
  // what else the line carries.
  auto line = [&](const QString& caption, QLabel* amount, QWidget* rightSide) {
    auto* bh = new QHBoxLayout;
    bh->setSpacing(4);
    bh->addWidget(MakeLabel(caption, ArialFont(12, true), facts));
    bh->addWidget(amount);
    bh->addStretch(1);
    if (rightSide) bh->addWidget(rightSide);
    v->addLayout(bh);
  };

  factCalories_ = makeFact("Fact_Calories", true, kFactRed);
  factFatCalories_ = makeFact("Fact_FatCalories", false, kFactBlue);
  {
    auto* fatCalories = new QWidget(facts);
    auto* fh = new QHBoxLayout(fatCalories);
    fh->setContentsMargins(0, 0, 0, 0);
    fh->setSpacing(4);
    fh->addWidget(MakeLabel(QStringLiteral("Calories from Fat"), ArialFont(12), fatCalories));
    factFatCalories_->setParent(fatCalories);
    fh->addWidget(factFatCalories_);
    line(QStringLiteral("Calories"), factCalories_, fatCalories);
  }
  v->addWidget(Rule(4, facts));
  auto* daily = MakeLabel(QStringLiteral("% Daily Value*"), ArialFont(10, true), facts);
  daily->setAlignment(Qt::AlignRight);
  v->addWidget(daily);

  factFat_ = makeFact("Fact_Fat", false, kFactRed);
  factFatPercent_ = makeFact("Fact_FatP", true, kFactBlue);
  factCarbs_ = makeFact("Fact_Carbs", false, kFactRed);
  factCarbsPercent_ = makeFact("Fact_CarbsP", true, kFactBlue);
  factProtein_ = makeFact("Fact_PRo", false, kFactRed);
  factProteinPercent_ = makeFact("Fact_ProP", true, kFactBlue);
  for (QLabel* percent : {factFatPercent_, factCarbsPercent_, factProteinPercent_})
    percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  const struct {
    const char* caption;
    QLabel* amount;
    QLabel* percent;
  } lines[] = {{"Total Fat", factFat_, factFatPercent_},
               {"Total Carbohydrate", factCarbs_, factCarbsPercent_},
               {"Protein", factProtein_, factProteinPercent_}};
  for (const auto& l : lines) {
    v->addWidget(Rule(1, facts));
    line(QLatin1String(l.caption), l.amount, l.percent);
  }
  v->addWidget(Rule(8, facts));
  auto* note = MakeLabel(QStringLiteral("* Percent Daily Values are based on 65 g of fat, "
                                        "300 g of carbohydrate and 50 g of protein a day."),
                         ArialFont(10), facts);
  note->setWordWrap(true);
  v->addWidget(note);
  v->addStretch(1);
  h->addWidget(facts, 0);

  auto* right = new QVBoxLayout;
  right->setSpacing(2);
  auto* caption = MakeLabel(QStringLiteral("Energy Source"), ArialFont(13, true), page);
  caption->setAlignment(Qt::AlignCenter);
  right->addWidget(caption);
  QChart* chart = MakeChart();
  auto* series = new QStackedBarSeries;
  series->setBarWidth(0.6);
  const QColor colours[kMealCount] = {QColor(255, 170, 40), QColor(70, 150, 230),
                                      QColor(200, 60, 90), QColor(90, 180, 90)};
  for (int meal = 1; meal <= kMealCount; ++meal) {
    // One set per meal, holding a value only in its own bar: each bar its own colour.
    auto* set = new QBarSet(MealWord(meal));
    set->setColor(colours[meal - 1]);
    set->setBorderColor(colours[meal - 1].darker(130));
    for (int k = 1; k <= kMealCount; ++k) set->append(0);
    set->setLabelColor(Qt::black);
    sourceBars_[meal - 1] = set;
    series->append(set);
  }
  series->setLabelsVisible(true);
  series->setLabelsFormat(QStringLiteral("@value %"));
  series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
  chart->addSeries(series);
  auto* axisX = new QBarCategoryAxis;
  for (int meal = 1; meal <= kMealCount; ++meal) axisX->append(MealWord(meal));
  // "Breakfast" fits its bar; the axis would cut it all the same.
  axisX->setTruncateLabels(false);
  auto* axisY = new QValueAxis;
  axisY->setRange(0, 100);
  axisY->setTickCount(6);
  axisY->setLabelFormat(QStringLiteral("%d %%"));
  for (QAbstractAxis* a : {static_cast<QAbstractAxis*>(axisX), static_cast<QAbstractAxis*>(axisY)}) {
    QFont f = a->labelsFont();
    f.setPixelSize(9);
    a->setLabelsFont(f);
  }
  chart->addAxis(axisX, Qt::AlignBottom);
  chart->addAxis(axisY, Qt::AlignLeft);
  series->attachAxis(axisX);
  series->attachAxis(axisY);
  chart->legend()->setAlignment(Qt::AlignBottom);
  QFont lf = chart->legend()->font();
  lf.setPixelSize(10);
  chart->legend()->setFont(lf);
  auto* view = new QChartView(chart, page);
  view->setObjectName(QStringLiteral("Pie_Chart7"));
  view->setRenderHint(QPainter::Antialiasing);
  view->setFocusPolicy(Qt::NoFocus);
  right->addWidget(view, 1);
  right->addWidget(BuildBalance(page));
  h->addLayout(right, 1);
  return page;
}

QWidget* MealDiaryView::BuildHistoryPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("History_Page"));
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(4, 4, 4, 4);
  v->setSpacing(2);

  QChart* chart = MakeChart();
  chart->setTitle(QStringLiteral("Total Calories Over Time  ( green line is year average )"));
  QFont tf = chart->titleFont();
  tf.setPixelSize(12);
  tf.setBold(true);
  chart->setTitleFont(tf);
  chart->legend()->hide();
  averageSeries_ = new QLineSeries;
  averageSeries_->setName(QStringLiteral("Average"));
  averageSeries_->setPen(QPen(kAverageGreen, 2));
  dailySeries_ = new QLineSeries;
  dailySeries_->setName(QStringLiteral("Calories"));
  dailySeries_->setPen(QPen(Qt::red, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  // Dots, so that a single day (or days apart) still shows.
  dailyDots_ = new QScatterSeries;
  dailyDots_->setMarkerSize(7);
  dailyDots_->setColor(Qt::red);
  dailyDots_->setBorderColor(Qt::red);
  chart->addSeries(averageSeries_);
  chart->addSeries(dailySeries_);
  chart->addSeries(dailyDots_);
  historyX_ = new QValueAxis;
  historyX_->setTitleText(QStringLiteral("Days Ago"));
  historyX_->setLabelFormat(QStringLiteral("%d"));
  historyY_ = new QValueAxis;
  historyY_->setLabelFormat(QStringLiteral("%d"));
  for (QValueAxis* a : {historyX_, historyY_}) {
    QFont f = a->labelsFont();
    f.setPixelSize(10);
    a->setLabelsFont(f);
  }
  QFont at = historyX_->titleFont();
  at.setPixelSize(11);
  historyX_->setTitleFont(at);
  chart->addAxis(historyX_, Qt::AlignBottom);
  chart->addAxis(historyY_, Qt::AlignLeft);
  for (QAbstractSeries* s : chart->series()) {
    s->attachAxis(historyX_);
    s->attachAxis(historyY_);
  }
  SetDayAxis(historyX_, 8);
  historyY_->setRange(0, 100);
  historyGraph_ = new QChartView(chart, page);
  historyGraph_->setObjectName(QStringLiteral("History_Graph"));
  historyGraph_->setRenderHint(QPainter::Antialiasing);
  historyGraph_->setFocusPolicy(Qt::NoFocus);
  v->addWidget(historyGraph_, 1);

  auto* bar = new QFrame(page);
  bar->setObjectName(QStringLiteral("History_Bar"));
  bar->setStyleSheet(QStringLiteral("#History_Bar { background: rgb(240,244,248); }"));
  auto* h = new QHBoxLayout(bar);
  h->setContentsMargins(6, 2, 6, 2);
  h->addWidget(MakeLabel(QStringLiteral("View the last:"), ArialFont(11, true), bar));
  history7_ = new QRadioButton(QStringLiteral("7 Days"), bar);
  history7_->setObjectName(QStringLiteral("History_View7"));
  history7_->setChecked(true);
  history30_ = new QRadioButton(QStringLiteral("30 Days"), bar);
  history30_->setObjectName(QStringLiteral("RadioButton2"));
  historyYear_ = new QRadioButton(QStringLiteral("Year"), bar);
  historyYear_->setObjectName(QStringLiteral("RadioButton3"));
  auto* group = new QButtonGroup(bar);
  for (QRadioButton* r : {history7_, history30_, historyYear_}) {
    group->addButton(r);
    h->addWidget(r);
  }
  h->addStretch(1);
  v->addWidget(bar);
  connect(history7_, &QRadioButton::clicked, this, [this] { ShowHistoryGraph(7); });
  connect(history30_, &QRadioButton::clicked, this, [this] { ShowHistoryGraph(30); });
  connect(historyYear_, &QRadioButton::clicked, this, [this] { ShowHistoryGraph(365); });
  return page;
}

QWidget* MealDiaryView::BuildHands() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("pnlHands"));
  auto* v = new QVBoxLayout(panel);
  v->setContentsMargins(0, 26, 0, 0);
  v->setSpacing(2);
  auto add = [&](const char* name, const char* hint, Glyph glyph, void (MealDiaryView::*slot)()) {
    auto* b = new QToolButton(panel);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(QLatin1String(hint));
    b->setAccessibleName(QLatin1String(hint));
    b->setIcon(GlyphIcon(glyph));
    b->setIconSize(QSize(16, 16));
    b->setAutoRaise(true);
    b->setFixedSize(26, 24);
    b->setFocusPolicy(Qt::StrongFocus);
    connect(b, &QToolButton::clicked, this, slot);
    v->addWidget(b);
  };
  add("SpeedButton1", "Delete", Glyph::Delete, &MealDiaryView::SpeedButton1Click);
  add("SpeedButton3", "Move line up", Glyph::Up, &MealDiaryView::SpeedButton3Click);
  add("SpeedButton4", "Move line down", Glyph::Down, &MealDiaryView::SpeedButton4Click);
  add("btnEdit", "Edit", Glyph::Edit, &MealDiaryView::btnEditClick);
  add("btnSave", "Save", Glyph::Save, &MealDiaryView::btnSaveClick);
  v->addStretch(1);
  return panel;
}

QWidget* MealDiaryView::BuildFridgePanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Fridge_Panel"));
  panel->setFixedWidth(150);
  panel->setStyleSheet(QStringLiteral(
      "#Fridge_Panel { background: rgb(244,249,253); border: 1px solid rgb(200,214,228); }"));
  auto* v = new QVBoxLayout(panel);
  v->setContentsMargins(6, 6, 6, 6);
  v->setSpacing(4);

  auto* picture = new QToolButton(panel);
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setIcon(QIcon(SearchPicture()));
  picture->setIconSize(QSize(56, 56));
  picture->setAutoRaise(true);
  picture->setCursor(Qt::PointingHandCursor);
  picture->setToolTip(QStringLiteral("Search the food database"));
  picture->setAccessibleName(picture->toolTip());
  picture->setFocusPolicy(Qt::NoFocus);  // "Go" does the same from the keyboard
  v->addWidget(picture, 0, Qt::AlignHCenter);

  auto* row = new QHBoxLayout;
  row->setSpacing(3);
  fridgeSearch_ = new QLineEdit(kSearchText, panel);
  fridgeSearch_->setObjectName(QStringLiteral("Fridge_Search"));
  fridgeSearch_->installEventFilter(this);
  row->addWidget(fridgeSearch_, 1);
  auto* go = new QPushButton(QStringLiteral("Go"), panel);
  go->setObjectName(QStringLiteral("btFridge_Search"));
  go->setFixedWidth(32);
  row->addWidget(go);
  v->addLayout(row);

  auto* lists = new QPushButton(QStringLiteral("Food Database"), panel);
  lists->setObjectName(QStringLiteral("Label3"));
  lists->setToolTip(QStringLiteral("Open Fridge"));
  lists->setFlat(true);
  lists->setCursor(Qt::PointingHandCursor);
  lists->setStyleSheet(QStringLiteral(
      "QPushButton { color: rgb(0,128,255); border: none; padding: 0 2px; "
      "text-decoration: underline; background: transparent; text-align: left; }"
      "QPushButton:focus { outline: 1px dotted rgb(0,128,255); }"));
  v->addWidget(lists, 0, Qt::AlignLeft);

  connect(fridgeSearch_, &QLineEdit::returnPressed, this, &MealDiaryView::btFridge_SearchClick);
  connect(go, &QPushButton::clicked, this, &MealDiaryView::btFridge_SearchClick);
  connect(picture, &QToolButton::clicked, this, &MealDiaryView::btFridge_SearchClick);
  connect(lists, &QPushButton::clicked, this, &MealDiaryView::Label3Click);
  return panel;
}

bool MealDiaryView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == fridgeSearch_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    // A click empties the initial "Search", and otherwise takes the whole text.
    if (fridgeSearch_->text() == kSearchText)
      fridgeSearch_->clear();
    else if (!fridgeSearch_->hasSelectedText())
      fridgeSearch_->selectAll();
  }
  return QWidget::eventFilter(watched, event);
}

// --- DateView ---------------------------------------------------------------------

QWidget* MealDiaryView::FirstInput() { return fridgeSearch_; }

void MealDiaryView::StartView(const QDate& firstDate) {
  if (!firstDate.isValid()) return;
  date_ = firstDate;
  lblDate_->setText(FormatDate(QStringLiteral("dddddd"), date_));
  LoadDay();
}

void MealDiaryView::ShowDate(const QDate& date) {
  // What was typed belongs to the date shown so far.
  SaveIfModified();
  if (!date.isValid()) return;
  date_ = date;
  lblDate_->setText(FormatDate(QStringLiteral("dddddd"), date_));
  LoadDay();
}

// --- loading and saving -----------------------------------------------------------

void MealDiaryView::LoadDay() {
  if (!date_.isValid()) return;
  loading_ = true;
  pg_->setCurrentIndex(BreakfastPage);
  QString errors;
  model_.LoadDay(date_, &errors);
  for (int meal = 1; meal <= kMealCount; ++meal) ReloadMealGrid(meal);
  ShowTotals();
  RefreshBurned();
  loading_ = false;
  host_->DayMarksChanged();
  // Opening told the user; the saves that refuse to replace an unreadable file stay
  // quiet until an explicit Save.
  lastReported_ = model_.ReadFailedMessage();
  ShowError(errors, this);  // read errors, and the notices of files shown read-only
}

bool MealDiaryView::SaveDay() { return SaveDayReporting(false); }

void MealDiaryView::SaveIfModified() {
  if (model_.Loaded() && model_.Modified()) SaveDayReporting(false);
}

bool MealDiaryView::SaveDayReporting(bool always) {
  if (!model_.Loaded()) return true;
  const bool before = model_.IsDayMarked(date_);
  model_.RecomputeTotals();
  ShowTotals();
  QString errors;
  const bool ok = model_.SaveDay(&errors);
  MarksMayHaveChanged(before);
  if (ok) {
    lastReported_.clear();
    return true;
  }
  if (always || errors != lastReported_) {
    // Set before the box opens: the box takes the focus, and a grid that loses it
    // recomputes and may save again.
    lastReported_ = errors;
    ShowError(errors, this);
  }
  return false;
}

void MealDiaryView::RecomputeTotals() {
  if (!model_.Loaded()) return;
  const bool before = model_.IsDayMarked(date_);
  model_.RecomputeTotals();
  ShowTotals();
  MarksMayHaveChanged(before);
}

void MealDiaryView::MarksMayHaveChanged(bool before) {
  if (model_.IsDayMarked(date_) != before) host_->DayMarksChanged();
}

void MealDiaryView::ShowTotals() {
  const MealTotals& t = model_.Totals();
  for (int meal = 1; meal <= kMealCount; ++meal) {
    mealLabels_[meal - 1]->setText(t.mealLabels[meal - 1]);
    QBarSet* set = sourceBars_[meal - 1];
    for (int k = 0; k < kMealCount; ++k) set->replace(k, k == meal - 1 ? t.mealShares[k] : 0);
  }
  totalModel_->Reset();
  sumModel_->Reset();
  factCalories_->setText(t.factCalories);
  factCarbs_->setText(t.factCarbs);
  factProtein_->setText(t.factProtein);
  factFat_->setText(t.factFat);
  factFatCalories_->setText(t.factFatCalories);
  factFatPercent_->setText(t.factFatPercent);
  factCarbsPercent_->setText(t.factCarbsPercent);
  factProteinPercent_->setText(t.factProteinPercent);
  if (pg_->currentIndex() == HistoryPage) ShowHistoryGraph(SelectedHistoryDays());
  ShowBalance();
}

void MealDiaryView::ReloadMealGrid(int meal) { mealGrids_[meal - 1]->Reload(); }

int MealDiaryView::SelectedHistoryDays() const {
  if (historyYear_->isChecked()) return 365;
  if (history30_->isChecked()) return 30;
  return 7;
}

void MealDiaryView::ShowHistoryGraph(int days) {
  const HistoryGraph g = model_.HistoryGraphPoints(days);
  QList<QPointF> average, daily;
  double top = double(g.average);
  for (const HistoryPoint& p : g.points) {
    average.append(QPointF(p.n, double(g.average)));
    daily.append(QPointF(p.n, p.calories));
    top = std::max(top, p.calories);
  }
  averageSeries_->replace(average);
  dailySeries_->replace(daily);
  dailyDots_->replace(daily);
  SetDayAxis(historyX_, g.labelCount);
  historyY_->setRange(0, std::max(100.0, std::ceil(top * 1.1)));
  historyY_->applyNiceNumbers();
}

// --- meal pages -------------------------------------------------------------------

int MealDiaryView::ShownMeal() const {
  const int page = pg_->currentIndex();
  return page >= BreakfastPage && page <= SnackPage ? page + 1 : 0;
}

CellGridView* MealDiaryView::ShownGrid() const {
  const int meal = ShownMeal();
  return meal ? mealGrids_[meal - 1] : nullptr;
}

QString MealDiaryView::SearchKeyword() const {
  const QString text = fridgeSearch_->text().trimmed();
  return text == kSearchText ? QString() : text;
}

void MealDiaryView::pgChange(int index) {
  const bool mealPage = index >= BreakfastPage && index <= SnackPage;
  pnlHands_->setVisible(mealPage);
  fridgePanel_->setVisible(mealPage);
  tip_->setVisible(mealPage);
  if (loading_) return;
  // Only what was typed is written: choosing a page after looking at a day writes
  // nothing.
  SaveIfModified();
  RecomputeTotals();
  // A workout may have been recorded since the day was loaded.
  if (index == TodayPage) RefreshBurned();
  if (index == HistoryPage) {
    history7_->setChecked(true);
    ShowHistoryGraph(7);
  }
}

void MealDiaryView::MealGridEnter(int meal) {
  if (meal != ShownMeal()) return;
  const CellGrid& grid = model_.MealGrid(meal);
  PickFromFoodDatabase(grid.Cell(0, grid.CurrentRow()).trimmed(), PickPlace::OverwriteCurrent);
}

void MealDiaryView::MealGridEditFinished() {
  RecomputeTotals();
  SaveIfModified();
}

void MealDiaryView::PickFromFoodDatabase(const QString& keyword, PickPlace place) {
  const int meal = ShownMeal();
  if (!meal) return;
  // The row is the one current when the pick started.
  const int row = model_.MealGrid(meal).CurrentRow();
  const std::optional<FoodPick> pick = PickFromFoodDatabaseWindow(window(), keyword);
  if (!pick || pick->IsEmpty() || meal != ShownMeal()) return;
  if (place == PickPlace::InsertTop)
    model_.InsertPick(meal, *pick);
  else
    model_.OverwriteRow(meal, row, *pick);
  ReloadMealGrid(meal);
  SaveDayReporting(false);
}

void MealDiaryView::PickFromFoodLists(bool searchNow) {
  const int meal = ShownMeal();
  if (!meal) return;
  const std::optional<FoodPick> pick =
      PickFromFoodListsWindow(window(), host_->Dir().FoodFolder(), SearchKeyword(), searchNow);
  if (!pick || pick->IsEmpty() || meal != ShownMeal()) return;
  model_.InsertPick(meal, *pick);
  ReloadMealGrid(meal);
  // Written at once, so that a change of date right after it loses nothing.
  SaveDayReporting(false);
}

void MealDiaryView::SpeedButton1Click() {
  const int meal = ShownMeal();
  if (!meal) return;
  model_.DeleteRow(meal, model_.MealGrid(meal).CurrentRow());
  ReloadMealGrid(meal);
  SaveDayReporting(false);
}

void MealDiaryView::SpeedButton3Click() {
  const int meal = ShownMeal();
  if (!meal) return;
  model_.RowUp(meal, model_.MealGrid(meal).CurrentRow());
  ReloadMealGrid(meal);
  SaveDayReporting(false);
}

void MealDiaryView::SpeedButton4Click() {
  const int meal = ShownMeal();
  if (!meal) return;
  model_.RowDown(meal, model_.MealGrid(meal).CurrentRow());
  ReloadMealGrid(meal);
  SaveDayReporting(false);
}

void MealDiaryView::btnEditClick() {
  const int meal = ShownMeal();
  if (!meal) return;
  const CellGrid& grid = model_.MealGrid(meal);
  PickFromFoodDatabase(grid.Cell(0, grid.CurrentRow()).trimmed(), PickPlace::OverwriteCurrent);
}

void MealDiaryView::btnSaveClick() { SaveDayReporting(true); }

void MealDiaryView::btFridge_SearchClick() {
  PickFromFoodDatabase(SearchKeyword(), PickPlace::InsertTop);
}

void MealDiaryView::Label3Click() { PickFromFoodLists(false); }

// --- energy balance and report --------------------------------------------------------

QWidget* MealDiaryView::BuildBalance(QWidget* page) {
  auto* box = new QFrame(page);
  box->setObjectName(QStringLiteral("Balance_Panel"));
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(4, 2, 4, 2);
  v->setSpacing(2);
  burnedLabel_ = MakeLabel(QString(), ArialFont(12), box, "Today_Burned");
  netLabel_ = MakeLabel(QString(), ArialFont(12, true), box, "Today_Net");
  v->addWidget(burnedLabel_);
  v->addWidget(netLabel_);
  return box;
}

void MealDiaryView::RefreshBurned() {
  burned_ = date_.isValid() ? host_->BurnedCaloriesOn(date_) : std::nullopt;
  ShowBalance();
}

void MealDiaryView::ShowBalance() {
  if (!burnedLabel_) return;
  const EnergyBalance balance{model_.Totals().calories, burned_};
  burnedLabel_->setText(BurnedText(balance));
  netLabel_->setText(NetText(balance));
}

QString MealDiaryView::WriteReport() {
  QString error;
  if (!WriteMealReport(host_->Dir().BuildFolder(), model_,
                       EnergyBalance{model_.Totals().calories, burned_}, &error)) {
    ShowError(error, this);
    return {};
  }
  return host_->Dir().BuildFolder() + QLatin1String(kMealReportPage);
}
