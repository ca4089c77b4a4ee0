#include "nutrition/widgets/fooddatabasewindow.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/database.h"
#include "app/widgets/fonts.h"
#include "app/widgets/messages.h"
#include "nutrition/foodgroups.h"
#include "nutrition/foodquery.h"
#include "nutrition/foodserving.h"
#include "nutrition/widgets/addfooddialog.h"

namespace {
const QColor kPale(244, 249, 253);
const QColor kSelected(119, 187, 255);
constexpr int kReadyMs = 1000;
constexpr int kSearchMs = 2000;
constexpr int kTrackStart = 4;
const QString kInitialKeyword = QStringLiteral("Search");

// The result grid, with a way to hand the open cell editor's text to the model before a
// post (a click on the navigator does not take the focus from the editor).
class ResultGrid : public QTableView {
 public:
  using QTableView::QTableView;
  void CommitEditor() {
    if (QWidget* editor = indexWidget(currentIndex())) {
      commitData(editor);
      closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
  }
};

QIcon MagnifierIcon() {
  QPixmap pixmap(18, 18);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 90, 140), 2));
  p.drawEllipse(QRectF(2.5, 2.5, 9, 9));
  p.setPen(QPen(QColor(60, 90, 140), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(11.5, 11.5), QPointF(15.5, 15.5));
  return QIcon(pixmap);
}

QToolButton* NavigatorButton(const QString& name, const QString& text, const QString& hint,
                             QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(text);
  b->setToolTip(hint);
  b->setFocusPolicy(Qt::StrongFocus);
  b->setMinimumWidth(54);
  return b;
}
}  // namespace

FoodDatabaseWindow::FoodDatabaseWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FoodDatabaseWindow"));
  setWindowTitle(QStringLiteral("USDA - Food Database"));
  setFont(ArialFont(12));
  query_ = new FoodQuery(this);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 10);
  column->setSpacing(8);
  column->addWidget(BuildHeader());

  // The search box with the magnifier inside it.
  keyword_ = new QLineEdit(kInitialKeyword, this);
  keyword_->setObjectName(QStringLiteral("Search_Keyword"));
  keyword_->setMinimumHeight(26);
  searchButton_ = new QToolButton(keyword_);
  searchButton_->setObjectName(QStringLiteral("Search_button"));
  searchButton_->setIcon(MagnifierIcon());
  searchButton_->setToolTip(QStringLiteral("Search"));
  searchButton_->setCursor(Qt::PointingHandCursor);
  searchButton_->setFocusPolicy(Qt::StrongFocus);
  searchButton_->setAutoRaise(true);
  auto* inside = new QHBoxLayout(keyword_);
  inside->setContentsMargins(0, 0, 2, 0);
  inside->addStretch(1);
  inside->addWidget(searchButton_);
  keyword_->setTextMargins(0, 0, 24, 0);
  keyword_->installEventFilter(this);
  auto* searchRow = new QHBoxLayout;
  searchRow->setContentsMargins(10, 0, 10, 0);
  searchRow->addWidget(new QLabel(QStringLiteral("Find a food:"), this));
  searchRow->addWidget(keyword_, 1);
  column->addLayout(searchRow);

  auto* middle = new QHBoxLayout;
  middle->setContentsMargins(10, 0, 10, 0);
  middle->setSpacing(8);
  group_ = new QListWidget(this);
  group_->setObjectName(QStringLiteral("Group"));
  group_->addItems(FoodGroupNames());
  group_->setFixedWidth(180);
  group_->setFont(ArialFont(11));
  {
    QPalette pal = group_->palette();
    pal.setColor(QPalette::Base, kPale);
    group_->setPalette(pal);
  }
  middle->addWidget(group_);

  auto* right = new QVBoxLayout;
  right->setSpacing(4);
  auto* grid = new ResultGrid(this);
  grid_ = grid;
  grid_->setObjectName(QStringLiteral("DBGrid2"));
  grid_->setModel(query_);
  grid_->setFont(ArialFont(11));
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(18);
  grid_->setWordWrap(false);
  grid_->setTabKeyNavigation(false);
  grid_->setAlternatingRowColors(true);
  {
    // Record 1, 3, 5 ... (odd, counted from 1) on the pale blue, the others on white.
    QPalette pal = grid_->palette();
    pal.setColor(QPalette::Base, kPale);
    pal.setColor(QPalette::AlternateBase, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::Highlight, kSelected);
    pal.setColor(QPalette::HighlightedText, Qt::black);
    pal.setColor(QPalette::Inactive, QPalette::Highlight, kSelected);
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    grid_->setPalette(pal);
  }
  QHeaderView* header = grid_->horizontalHeader();
  header->setFont(ArialFont(11));
  // The style draws section titles in its own header font unless a style sheet names one.
  header->setStyleSheet(QStringLiteral(
      "QHeaderView::section { font-family: Arial; font-size: 11px; padding: 2px 3px; "
      "background: rgb(236,240,246); border: none; border-right: 1px solid rgb(200,208,220); "
      "border-bottom: 1px solid rgb(200,208,220); }"));
  header->setHighlightSections(false);
  // The column widths of the grid, widened where a title would not fit; the food name
  // takes what the window gives beyond them.
  const int widths[] = {310, 44, 43, 49, 43};
  const QFontMetrics titles(header->font());
  int total = 0;
  for (int c = 0; c < FoodQuery::ColumnCount; ++c) {
    const QString title = query_->headerData(c, Qt::Horizontal).toString();
    const int w = std::max(widths[c], titles.horizontalAdvance(title) + 10);
    grid_->setColumnWidth(c, w);
    total += w;
  }
  header->setSectionResizeMode(FoodQuery::NameColumn, QHeaderView::Stretch);
  header->setStretchLastSection(false);
  grid_->setMinimumWidth(total + 24);
  grid_->installEventFilter(this);
  right->addWidget(grid_, 1);
  right->addWidget(BuildNavigator());
  middle->addLayout(right, 1);
  column->addLayout(middle, 1);

  column->addWidget(BuildServingPanel());

  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(10, 0, 10, 0);
  buttons->addStretch(1);
  eat_ = new QPushButton(QStringLiteral("Eat"), this);
  eat_->setObjectName(QStringLiteral("btnEat"));
  close_ = new QPushButton(QStringLiteral("Close"), this);
  close_->setObjectName(QStringLiteral("BitBtn3"));
  for (QPushButton* b : {eat_, close_}) {
    // Enter belongs to the search box and the grid, not to a default button.
    b->setAutoDefault(false);
    b->setMinimumWidth(90);
    buttons->addWidget(b);
  }
  column->addLayout(buttons);

  readyTimer_ = new QTimer(this);
  readyTimer_->setObjectName(QStringLiteral("ReadyTimer"));
  readyTimer_->setSingleShot(true);
  readyTimer_->setInterval(kReadyMs);
  searchTimer_ = new QTimer(this);
  searchTimer_->setObjectName(QStringLiteral("SearchTimer"));
  searchTimer_->setSingleShot(true);
  searchTimer_->setInterval(kSearchMs);

  connect(readyTimer_, &QTimer::timeout, this, &FoodDatabaseWindow::ReadyTimerFired);
  connect(searchTimer_, &QTimer::timeout, this, &FoodDatabaseWindow::SearchTimerFired);
  connect(keyword_, &QLineEdit::textChanged, this, &FoodDatabaseWindow::Search_KeywordChange);
  connect(keyword_, &QLineEdit::returnPressed, this,
          [this] { SearchByKeyword(keyword_->text()); });
  connect(searchButton_, &QToolButton::clicked, this,
          [this] { SearchByKeyword(keyword_->text()); });
  connect(group_, &QListWidget::clicked, this,
          [this](const QModelIndex& index) { GroupClick(index.row()); });
  connect(group_, &QListWidget::activated, this,
          [this](const QModelIndex& index) { GroupClick(index.row()); });
  connect(grid_, &QTableView::clicked, this, &FoodDatabaseWindow::DBGrid2CellClick);
  connect(grid_, &QTableView::doubleClicked, this, &FoodDatabaseWindow::DBGrid2DblClick);
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &FoodDatabaseWindow::CurrentRowChanged);
  connect(track_, &QSlider::valueChanged, this, &FoodDatabaseWindow::trackChange);
  connect(multiple_, &QDoubleSpinBox::valueChanged, this,
          &FoodDatabaseWindow::UpdateDatabasePick);
  connect(eat_, &QPushButton::clicked, this, &FoodDatabaseWindow::btnEatClick);
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  connect(insert_, &QToolButton::clicked, this, &FoodDatabaseWindow::NavigatorInsert);
  connect(delete_, &QToolButton::clicked, this, &FoodDatabaseWindow::NavigatorDelete);
  connect(edit_, &QToolButton::clicked, this, &FoodDatabaseWindow::NavigatorEdit);
  connect(post_, &QToolButton::clicked, this, &FoodDatabaseWindow::NavigatorPost);

  setTabOrder(keyword_, searchButton_);
  setTabOrder(searchButton_, group_);
  setTabOrder(group_, grid_);
  setTabOrder(grid_, insert_);
  setTabOrder(insert_, delete_);
  setTabOrder(delete_, edit_);
  setTabOrder(edit_, post_);
  setTabOrder(post_, track_);
  setTabOrder(track_, multiple_);
  setTabOrder(multiple_, eat_);
  setTabOrder(eat_, close_);

  SetBrowsing();
  UpdateEatButton();
  resize(780, 600);

  QString error;
  databaseOk_ = CheckDatabaseTable(FoodTableName(), FoodColumnNames(), &error);
  if (!databaseOk_) ShowError(error, parent);
  keyword_->setFocus();
  keyword_->selectAll();
  readyTimer_->start();
}

FoodDatabaseWindow::~FoodDatabaseWindow() {
  // Handlers must not run on a half-destroyed window (a focused editor reports on its way out).
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

QWidget* FoodDatabaseWindow::BuildHeader() {
  auto* banner = new QWidget(this);
  banner->setObjectName(QStringLiteral("Banner"));
  banner->setAttribute(Qt::WA_StyledBackground, true);
  banner->setStyleSheet(QStringLiteral("#Banner { background: rgb(244,249,253); "
                                       "border-bottom: 1px solid rgb(192,220,192); }"));
  auto* v = new QVBoxLayout(banner);
  v->setContentsMargins(14, 8, 14, 8);
  v->setSpacing(0);
  auto* heading = new QLabel(QStringLiteral("USDA"), banner);
  heading->setObjectName(QStringLiteral("Heading"));
  heading->setFont(ArialFont(22, true));
  auto* sub = new QLabel(QStringLiteral("Food Database"), banner);
  sub->setObjectName(QStringLiteral("SubHeading"));
  sub->setFont(ArialFont(13));
  v->addWidget(heading);
  v->addWidget(sub);
  return banner;
}

QWidget* FoodDatabaseWindow::BuildNavigator() {
  auto* nav = new QWidget(this);
  nav->setObjectName(QStringLiteral("DBNavigator1"));
  auto* h = new QHBoxLayout(nav);
  h->setContentsMargins(0, 0, 0, 0);
  h->setSpacing(2);
  insert_ = NavigatorButton(QStringLiteral("Insert"), QStringLiteral("+ Insert"),
                            QStringLiteral("Add a food of your own"), nav);
  delete_ = NavigatorButton(QStringLiteral("Delete"), QStringLiteral("\u2212 Delete"),
                            QStringLiteral("Delete the selected food"), nav);
  edit_ = NavigatorButton(QStringLiteral("Edit"), QStringLiteral("Edit"),
                          QStringLiteral("Edit the foods in the grid"), nav);
  post_ = NavigatorButton(QStringLiteral("Post"), QStringLiteral("Post"),
                          QStringLiteral("Save the edited food"), nav);
  for (QToolButton* b : {insert_, delete_, edit_, post_}) h->addWidget(b);
  h->addStretch(1);
  return nav;
}

QWidget* FoodDatabaseWindow::BuildServingPanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("ServingPanel"));
  panel->setFrameShape(QFrame::StyledPanel);
  auto* v = new QVBoxLayout(panel);
  v->setContentsMargins(10, 6, 10, 6);
  v->setSpacing(4);

  foodName_ = new QLabel(panel);
  foodName_->setObjectName(QStringLiteral("DBText_Long_Desc"));
  foodName_->setAlignment(Qt::AlignCenter);
  foodName_->setWordWrap(true);
  foodName_->setFont(ArialFont(13, true));
  foodName_->setMinimumHeight(36);
  v->addWidget(foodName_);

  auto* row = new QHBoxLayout;
  row->setSpacing(8);
  track_ = new QSlider(Qt::Horizontal, panel);
  track_->setObjectName(QStringLiteral("track"));
  track_->setRange(0, 40);
  track_->setValue(kTrackStart);
  track_->setTickPosition(QSlider::TicksBelow);
  track_->setTickInterval(4);
  track_->setFixedWidth(200);
  track_->setToolTip(QStringLiteral("Servings, in quarters"));
  multiple_ = new QDoubleSpinBox(panel);
  multiple_->setObjectName(QStringLiteral("multiple"));
  multiple_->setDecimals(2);
  multiple_->setRange(0, 100);
  multiple_->setSingleStep(0.25);
  multiple_->setValue(1.0);
  multiple_->setAlignment(Qt::AlignRight);
  servingOf_ = new QLabel(QStringLiteral("Servings of"), panel);
  servingOf_->setObjectName(QStringLiteral("DBText_GMWT_DESC1"));
  row->addWidget(track_);
  row->addWidget(multiple_);
  row->addWidget(servingOf_, 1);
  v->addLayout(row);

  auto* figures = new QHBoxLayout;
  grams_ = new QLabel(panel);
  grams_->setObjectName(QStringLiteral("grams_label"));
  grams_->setFont(ArialFont(13));
  grams_->setMinimumWidth(160);
  calories_ = new QLabel(panel);
  calories_->setObjectName(QStringLiteral("Calories_Label"));
  calories_->setFont(ArialFont(16, true));
  calories_->setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));
  calories_->setMinimumWidth(200);
  calories_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  figures->addWidget(grams_);
  figures->addStretch(1);
  figures->addWidget(calories_);
  v->addLayout(figures);
  return panel;
}

void FoodDatabaseWindow::SetKeyword(const QString& keyword) {
  keyword_->setText(keyword);
  if (!keyword.isEmpty()) {
    SearchByKeyword(keyword);
    if (query_->rowCount() > 0) grid_->setFocus();
  } else {
    keyword_->setFocus();
  }
}

void FoodDatabaseWindow::SearchByKeyword(const QString& keyword) {
  if (!databaseOk_) return;
  CommitEditor();
  if (!PostEdits()) return;
  const bool ok = query_->SearchByKeyword(keyword);
  shownKeyword_ = ok ? keyword : QString();
  if (!ok) ReportQueryError();
  SetBrowsing();
  ShowFirstRecord();
}

void FoodDatabaseWindow::SearchByGroup(const QString& code) {
  if (!databaseOk_) return;
  CommitEditor();
  if (!PostEdits()) return;
  const bool ok = query_->SearchByGroup(code);
  shownKeyword_ = QString();
  if (!ok) ReportQueryError();
  SetBrowsing();
  ShowFirstRecord();
}

void FoodDatabaseWindow::ShowFirstRecord() {
  if (query_->rowCount() > 0) {
    grid_->setCurrentIndex(query_->index(0, 0));
    grid_->scrollToTop();
  }
  // An empty result sends no row change of its own.
  CurrentRowChanged();
}

void FoodDatabaseWindow::Search_KeywordChange() {
  // Armed once: further typing does not put the search off.
  if (!searchTimer_->isActive()) searchTimer_->start();
}

void FoodDatabaseWindow::SearchTimerFired() {
  searchTimer_->stop();
  const QString text = keyword_->text();
  // The results of this very text are already shown (the meal diary's keyword is searched
  // at once): searching again would only move the user's row back to the first food.
  if (!shownKeyword_.isNull() && text == shownKeyword_) return;
  SearchByKeyword(text);
}

void FoodDatabaseWindow::ReadyTimerFired() {
  readyTimer_->stop();
  ready_ = true;
  multiple_->setValue(1.0);
  UpdateDatabasePick();
  track_->setValue(kTrackStart);
  UpdateEatButton();
}

void FoodDatabaseWindow::GroupClick(int position) {
  const QString code = FoodGroupCode(position);
  if (!code.isEmpty()) SearchByGroup(code);
}

int FoodDatabaseWindow::CurrentRow() const {
  const QModelIndex current = grid_->currentIndex();
  return current.isValid() && current.row() < query_->rowCount() ? current.row() : -1;
}

void FoodDatabaseWindow::DBGrid2CellClick() {
  multiple_->setValue(1.0);
  UpdateDatabasePick();
  track_->setValue(kTrackStart);
}

void FoodDatabaseWindow::CurrentRowChanged() {
  const int row = CurrentRow();
  // Leaving an edited record writes it, as moving on in the grid always does.
  if (query_->IsEditing() && query_->EditRow() != row) PostEdits();
  const FoodRecord food = query_->Record(row);
  foodName_->setText(row >= 0 ? food[FoodField::Long_Desc] : QString());
  servingOf_->setText(QStringLiteral("Servings of") +
                      (row >= 0 ? u' ' + food[FoodField::GMWT_DESC1] : QString()));
  // However the row was reached (click, arrow keys, a search), the pick follows it.
  DBGrid2CellClick();
  UpdateEatButton();
}

void FoodDatabaseWindow::trackChange(int position) { multiple_->setValue(ServingsOfTrack(position)); }

void FoodDatabaseWindow::UpdateDatabasePick() {
  if (!ready_) return;
  const int row = CurrentRow();
  if (row < 0) {
    grams_->clear();
    calories_->clear();
    return;
  }
  const FoodRecord food = query_->Record(row);
  const double servings = multiple_->value();
  pick_ = FoodPickOf(food, servings);
  calories_->setText(pick_.Calories + QStringLiteral(" calories"));
  grams_->setText(ScaleByServings(food[FoodField::GMWT_1], servings) + QStringLiteral(" grams"));
}

void FoodDatabaseWindow::UpdateEatButton() { eat_->setEnabled(ready_ && CurrentRow() >= 0); }

void FoodDatabaseWindow::btnEatClick() {
  // Only a food the grid shows as current is eaten, and only from the moment the window
  // is ready: otherwise the diary would get an empty or an earlier food.
  if (!ready_ || CurrentRow() < 0) return;
  CommitEditor();
  if (!PostEdits()) return;
  const int row = CurrentRow();
  if (row < 0) return;
  pick_ = FoodPickOf(query_->Record(row), multiple_->value());
  chosen_ = true;
  accept();
}

void FoodDatabaseWindow::DBGrid2DblClick() {
  // While a record is edited a double click edits a cell; it never closes the window.
  if (editMode_ || query_->IsEditing()) return;
  btnEatClick();
}

bool FoodDatabaseWindow::Writable() {
  const QString refusal = query_->WriteRefusal();
  if (refusal.isEmpty()) return true;
  ShowError(refusal, this);
  return false;
}

void FoodDatabaseWindow::NavigatorInsert() {
  if (!Writable()) return;
  CommitEditor();
  if (!PostEdits()) return;
  SetBrowsing();
  AddFoodRecord();
}

void FoodDatabaseWindow::AddFoodRecord() {
  AddFoodDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  int row = -1;
  if (!query_->AddFood(OwnFoodRecord(dialog.Food()), &row)) {
    ReportQueryError();
    return;
  }
  grid_->setCurrentIndex(query_->index(row, 0));
  grid_->scrollTo(query_->index(row, 0));
  grid_->setFocus();
}

void FoodDatabaseWindow::NavigatorDelete() {
  const int row = CurrentRow();
  if (row < 0 || !Writable()) return;
  if (!AskYesNo(QStringLiteral("Delete record?"), this)) return;
  CommitEditor();
  if (query_->IsEditing()) {
    if (query_->EditRow() == row)
      query_->Cancel();
    else if (!PostEdits())
      return;
  }
  if (!query_->RemoveFood(row)) ReportQueryError();
  SetBrowsing();
  CurrentRowChanged();
}

void FoodDatabaseWindow::NavigatorEdit() {
  if (query_->rowCount() == 0 || !Writable()) return;
  editMode_ = true;
  grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
  grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  if (CurrentRow() < 0) grid_->setCurrentIndex(query_->index(0, 0));
  grid_->clearSelection();
  grid_->selectionModel()->select(grid_->currentIndex(), QItemSelectionModel::Select);
  grid_->setFocus();
}

void FoodDatabaseWindow::NavigatorPost() {
  CommitEditor();
  if (PostEdits()) SetBrowsing();
  UpdateDatabasePick();
}

void FoodDatabaseWindow::SetBrowsing() {
  editMode_ = false;
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  const int row = CurrentRow();
  if (row >= 0) grid_->selectRow(row);
}

bool FoodDatabaseWindow::PostEdits() {
  if (!query_->IsEditing()) return true;
  if (query_->Post()) return true;
  ReportQueryError();
  return false;
}

void FoodDatabaseWindow::CommitEditor() { static_cast<ResultGrid*>(grid_)->CommitEditor(); }

void FoodDatabaseWindow::ReportQueryError() { ShowError(query_->errorString(), this); }

void FoodDatabaseWindow::done(int result) {
  CommitEditor();
  if (query_->IsEditing() && !query_->Post()) {
    // Told once; closing again leaves without the change.
    if (!closeAfterFailedPost_) {
      closeAfterFailedPost_ = true;
      ReportQueryError();
      return;
    }
    query_->Cancel();
  }
  searchTimer_->stop();
  readyTimer_->stop();
  QDialog::done(result);
}

bool FoodDatabaseWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == keyword_ && event->type() == QEvent::FocusIn &&
      keyword_->text() == kInitialKeyword) {
    // The word "Search" is a prompt: typing replaces it.
    QTimer::singleShot(0, keyword_, [k = keyword_] { k->selectAll(); });
  }
  if (watched == grid_ && event->type() == QEvent::KeyPress && !editMode_) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      DBGrid2DblClick();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
