#include "nutrition/widgets/foodlistswindow.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/datafolders.h"
#include "app/widgets/fonts.h"
#include "app/widgets/messages.h"
#include "nutrition/widgets/cellgridview.h"

namespace {

const QString kSearchText = QStringLiteral("Search");
// Wide enough for the servings the table names ("1 medium", "1 cup, sliced").
const QList<int> kListWidths{190, 78, 48, 43, 43, 36};

FoodListsPicker& Override() {
  static FoodListsPicker picker;
  return picker;
}

CellGridModel::Look ListLook(bool editable) {
  CellGridModel::Look look;
  look.header = QColor(192, 220, 192);
  look.oddRow = QColor(244, 249, 253);
  look.evenRow = Qt::white;
  look.editable = editable;
  return look;
}

QIcon ArrowIcon(bool up) {
  QPixmap pm(12, 12);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 96, 130));
  const QPointF tri[] = {QPointF(1, up ? 9 : 3), QPointF(11, up ? 9 : 3), QPointF(6, up ? 2 : 10)};
  p.drawPolygon(tri, 3);
  p.end();
  return QIcon(pm);
}

QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  // Enter belongs to the search box and the grids, never to a default button.
  b->setAutoDefault(false);
  b->setDefault(false);
  return b;
}

// The search box's keyword; its initial "Search" is not one.
QString KeywordOf(const QString& text) {
  const QString t = text.trimmed();
  return t == kSearchText ? QString() : t;
}

}  // namespace

FoodListsWindow::FoodListsWindow(const QString& foodFolder, QWidget* parent)
    : QDialog(parent), lists_(foodFolder), results_(kFoodListColumns, 2) {
  setObjectName(QStringLiteral("frmFridge"));
  setWindowTitle(QStringLiteral("Fridge - Every Item You Ever Ate"));
  setFont(ArialFont(11));
  resize(681, 606);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);

  QString loadErrors;
  lists_.LoadFoodLists(&loadErrors);
  results_ = lists_.SearchFoodLists(QString());

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(10, 8, 10, 8);
  root->setSpacing(6);

  auto* head = new QHBoxLayout;
  auto* titles = new QVBoxLayout;
  titles->setSpacing(0);
  auto* title = new QLabel(QStringLiteral("Fridge"), this);
  title->setFont(ArialFont(26, true));
  title->setStyleSheet(QStringLiteral("color: rgb(40,90,150);"));
  titles->addWidget(title);
  titles->addWidget(new QLabel(QStringLiteral("Keep frequently added items in the fridge."), this));
  head->addLayout(titles);
  head->addStretch(1);
  auto* closeTop = MakeButton(QStringLiteral("Close"), "BitBtn3", this);
  head->addWidget(closeTop, 0, Qt::AlignTop);
  root->addLayout(head);

  auto* searchRow = new QHBoxLayout;
  searchRow->setSpacing(4);
  keyword_ = new QLineEdit(kSearchText, this);
  keyword_->setObjectName(QStringLiteral("Search_Keyword"));
  keyword_->setFixedWidth(220);
  keyword_->installEventFilter(this);
  searchRow->addWidget(keyword_);
  auto* go = MakeButton(QStringLiteral("Go"), "Search_button", this);
  go->setFixedWidth(40);
  searchRow->addWidget(go);
  searchRow->addStretch(1);
  auto* usda = MakeButton(QStringLiteral("Search USDA"), "BitBtn2", this);
  usda->setToolTip(QStringLiteral("Open the USDA FoodData Central food search in the browser"));
  searchRow->addWidget(usda);
  root->addLayout(searchRow);

  auto* body = new QHBoxLayout;
  body->setSpacing(8);
  pgTop_ = new QTabWidget(this);
  pgTop_->setObjectName(QStringLiteral("PgTop"));
  pgTop_->addTab(BuildBrowsePage(), QStringLiteral("Browse"));
  pgTop_->addTab(BuildSearchPage(), QStringLiteral("Search"));
  body->addWidget(pgTop_, 1);
  auto* buttons = new QVBoxLayout;
  buttons->setContentsMargins(0, 26, 0, 0);
  buttons->setSpacing(4);
  auto* add = MakeButton(QStringLiteral("Add Row    "), "Button1", this);
  auto* del = MakeButton(QStringLiteral("Delete Row"), "Button3", this);
  auto* up = MakeButton(QStringLiteral("move"), "SpeedButton3", this);
  up->setIcon(ArrowIcon(true));
  up->setToolTip(QStringLiteral("Move line up"));
  auto* down = MakeButton(QStringLiteral("move"), "SpeedButton4", this);
  down->setIcon(ArrowIcon(false));
  down->setToolTip(QStringLiteral("Move line down"));
  for (QPushButton* b : {add, del, up, down}) {
    b->setFixedWidth(96);
    buttons->addWidget(b);
  }
  buttons->addStretch(1);
  body->addLayout(buttons);
  root->addLayout(body, 1);

  auto* bottom = new QHBoxLayout;
  bottom->setSpacing(6);
  amount_ = new QDoubleSpinBox(this);
  amount_->setObjectName(QStringLiteral("Food_Amount"));
  amount_->setDecimals(1);
  amount_->setRange(0.1, 100.0);
  amount_->setSingleStep(0.5);
  amount_->setValue(1.0);
  amount_->setToolTip(QStringLiteral("Servings"));
  amount_->setFixedWidth(64);
  bottom->addWidget(amount_);
  bottom->addWidget(new QLabel(QStringLiteral("x"), this));
  selectedFood_ = new QLabel(this);
  selectedFood_->setObjectName(QStringLiteral("Selected_Food"));
  selectedFood_->setFont(ArialFont(13, true));
  selectedFood_->setTextFormat(Qt::PlainText);
  selectedFood_->setMinimumWidth(200);
  bottom->addWidget(selectedFood_, 1);
  auto* eat = MakeButton(QStringLiteral("Eat"), "Button4", this);
  eat->setFixedWidth(80);
  bottom->addWidget(eat);
  auto* close = MakeButton(QStringLiteral("Close"), "BitBtn1", this);
  close->setFixedWidth(80);
  bottom->addWidget(close);
  root->addLayout(bottom);

  connect(keyword_, &QLineEdit::returnPressed, this, &FoodListsWindow::Search_buttonClick);
  connect(go, &QPushButton::clicked, this, &FoodListsWindow::Search_buttonClick);
  connect(usda, &QPushButton::clicked, this, &FoodListsWindow::BitBtn2Click);
  connect(add, &QPushButton::clicked, this, &FoodListsWindow::Button1Click);
  connect(del, &QPushButton::clicked, this, &FoodListsWindow::Button3Click);
  connect(up, &QPushButton::clicked, this, &FoodListsWindow::SpeedButton3Click);
  connect(down, &QPushButton::clicked, this, &FoodListsWindow::SpeedButton4Click);
  connect(eat, &QPushButton::clicked, this, &FoodListsWindow::Button4Click);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(closeTop, &QPushButton::clicked, this, &QDialog::reject);
  connect(pgTop_, &QTabWidget::currentChanged, this, [this] { UpdateSelectedFood(); });

  // The Close at the top is the last stop of the Tab key, after the one at the bottom.
  setTabOrder(close, closeTop);
  ShowCategory(1);
  shelf_->setFocus();
  if (!loadErrors.isEmpty()) ShowError(loadErrors, this);
}

FoodListsWindow::~FoodListsWindow() {
  // The grids go before the lists they show, and tell no handler on the way.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

QWidget* FoodListsWindow::BuildBrowsePage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("Browse_Page"));
  auto* h = new QHBoxLayout(page);
  h->setContentsMargins(4, 4, 4, 4);
  h->setSpacing(4);
  shelf_ = new QListWidget(page);
  shelf_->setObjectName(QStringLiteral("Shelf"));
  shelf_->setFixedWidth(96);
  for (const QString& text : ShelfItems()) {
    auto* item = new QListWidgetItem(text, shelf_);
    if (text.isEmpty()) {
      // The spacers between groups can be neither chosen nor reached by the arrows.
      item->setFlags(Qt::NoItemFlags);
      item->setSizeHint(QSize(0, 6));
    }
  }
  h->addWidget(shelf_);

  pg_ = new QStackedWidget(page);
  pg_->setObjectName(QStringLiteral("pg"));
  for (int category = 1; category <= kFoodListCount; ++category) {
    auto* model = new CellGridModel(&lists_.List(category), kFoodListColumns, ListLook(true), pg_);
    auto* view = new CellGridView(model, kListWidths, pg_);
    view->setObjectName(QLatin1String(FoodCategoryAt(category).grid));
    listModels_[category - 1] = model;
    listViews_[category - 1] = view;
    pg_->addWidget(view);
    connect(model, &CellGridModel::cellEdited, this, [this, category] { ListEdited(category); });
    connect(view, &CellGridView::editFinished, this, &FoodListsWindow::SaveQuietly);
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { UpdateSelectedFood(); });
  }
  pg_->setMinimumWidth(listViews_[0]->FullWidth());
  h->addWidget(pg_, 1);

  connect(shelf_, &QListWidget::currentRowChanged, this, &FoodListsWindow::ShelfClick);
  connect(shelf_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ShelfClick(shelf_->row(item)); });
  connect(pg_, &QStackedWidget::currentChanged, this, [this] { UpdateSelectedFood(); });
  return page;
}

QWidget* FoodListsWindow::BuildSearchPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("Search_Page"));
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(4, 4, 4, 4);
  v->setSpacing(4);
  auto* caption = new QLabel(QStringLiteral("Search Results"), page);
  caption->setFont(ArialFont(13, true));
  v->addWidget(caption);
  resultsModel_ = new CellGridModel(&results_, kFoodListColumns, ListLook(false), page);
  resultsView_ = new CellGridView(resultsModel_, kListWidths, page);
  resultsView_->setObjectName(QStringLiteral("Search_Chart"));
  resultsView_->setSelectionBehavior(QAbstractItemView::SelectRows);
  v->addWidget(resultsView_, 1);
  connect(resultsView_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { UpdateSelectedFood(); });
  return page;
}

// --- opening ----------------------------------------------------------------------

void FoodListsWindow::SetKeyword(const QString& keyword) {
  keyword_->setText(keyword.isEmpty() ? kSearchText : keyword);
}

void FoodListsWindow::SearchFoodLists(const QString& keyword) {
  pgTop_->setCurrentIndex(1);
  results_ = lists_.SearchFoodLists(KeywordOf(keyword));
  results_.SetCurrent(0, 1);
  resultsView_->Reload();
  UpdateSelectedFood();
}

void FoodListsWindow::ShowCategory(int category) {
  if (category < 1 || category > kFoodListCount) return;
  pgTop_->setCurrentIndex(0);
  pg_->setCurrentIndex(category - 1);
  const QString caption = QLatin1String(FoodCategoryAt(category).caption);
  const int item = int(ShelfItems().indexOf(caption));
  if (shelf_->currentRow() != item) {
    const QSignalBlocker block(shelf_);
    shelf_->setCurrentRow(item);
  }
  listViews_[category - 1]->ShowGridCurrent();
  UpdateSelectedFood();
}

int FoodListsWindow::ShownCategory() const { return pg_->currentIndex() + 1; }

CellGrid& FoodListsWindow::CurrentGrid() {
  if (pgTop_->currentIndex() == 1) return results_;
  return lists_.List(ShownCategory());
}

CellGridView* FoodListsWindow::CurrentView() const {
  if (pgTop_->currentIndex() == 1) return resultsView_;
  return listViews_[pg_->currentIndex()];
}

FoodPick FoodListsWindow::CurrentPick() const {
  auto* self = const_cast<FoodListsWindow*>(this);
  const CellGrid& grid = self->CurrentGrid();
  return MakeFoodPick(grid, grid.CurrentRow(), amount_->value());
}

void FoodListsWindow::UpdateSelectedFood() {
  if (!selectedFood_ || !pgTop_ || !pg_) return;
  const CellGrid& grid = CurrentGrid();
  selectedFood_->setText(grid.Cell(0, grid.CurrentRow()).trimmed());
}

// --- saving -----------------------------------------------------------------------

void FoodListsWindow::ListEdited(int category) {
  lists_.MarkChanged(category);
  UpdateSelectedFood();
}

void FoodListsWindow::SaveQuietly() { SaveReporting(false); }

bool FoodListsWindow::SaveFoodLists() { return SaveReporting(true); }

bool FoodListsWindow::SaveReporting(bool always) {
  QString errors;
  if (lists_.SaveFoodLists(&errors)) {
    lastReported_.clear();
    return true;
  }
  if (always || errors != lastReported_) {
    lastReported_ = errors;
    ShowError(errors, this);
  }
  return false;
}

void FoodListsWindow::done(int result) {
  // Eat keeps the pick; every other way out (Close, Escape, the title bar) chooses
  // nothing.
  if (result != QDialog::Accepted) pick_.reset();
  SaveFoodLists();
  QDialog::done(result);
}

// --- events -----------------------------------------------------------------------

void FoodListsWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool FoodListsWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == keyword_ && event->type() == QEvent::FocusIn &&
      keyword_->text() == kSearchText)
    keyword_->clear();
  return QDialog::eventFilter(watched, event);
}

void FoodListsWindow::ShelfClick(int item) {
  if (item < 0 || item >= shelf_->count()) return;
  const int category = FoodCategoryOfCaption(shelf_->item(item)->text());
  if (category) ShowCategory(category);
}

void FoodListsWindow::Search_buttonClick() { SearchFoodLists(keyword_->text()); }

namespace {
// After a row operation: the grid shows its new rows and keeps the keyboard.
void AfterRowChange(CellGridView* view) {
  view->Reload();
  view->setFocus();
}
}  // namespace

void FoodListsWindow::Button1Click() {
  CellGrid& grid = CurrentGrid();
  InsertListRow(grid, grid.CurrentRow());
  if (pgTop_->currentIndex() == 0) lists_.MarkChanged(ShownCategory());
  AfterRowChange(CurrentView());
  UpdateSelectedFood();
  SaveQuietly();
}

void FoodListsWindow::Button3Click() {
  CellGrid& grid = CurrentGrid();
  DeleteListRow(grid, grid.CurrentRow());
  if (pgTop_->currentIndex() == 0) lists_.MarkChanged(ShownCategory());
  AfterRowChange(CurrentView());
  UpdateSelectedFood();
  SaveQuietly();
}

void FoodListsWindow::SpeedButton3Click() {
  CellGrid& grid = CurrentGrid();
  GridRowUp(grid, grid.CurrentRow());
  if (pgTop_->currentIndex() == 0) lists_.MarkChanged(ShownCategory());
  AfterRowChange(CurrentView());
  SaveQuietly();
}

void FoodListsWindow::SpeedButton4Click() {
  CellGrid& grid = CurrentGrid();
  GridRowDown(grid, grid.CurrentRow());
  if (pgTop_->currentIndex() == 0) lists_.MarkChanged(ShownCategory());
  AfterRowChange(CurrentView());
  SaveQuietly();
}

void FoodListsWindow::BitBtn2Click() { OpenDocument(QLatin1String(kUsdaFoodSearchUrl)); }

void FoodListsWindow::Button4Click() {
  // The multiplier as typed so far, and the row as it stands now.
  amount_->interpretText();
  pick_ = CurrentPick();
  accept();
}

// ---------------------------------------------------------------------------------------

std::optional<FoodPick> PickFromFoodListsWindow(QWidget* parent, const QString& foodFolder,
                                                const QString& keyword, bool searchNow) {
  if (Override()) return Override()(parent, keyword, searchNow);
  FoodListsWindow window(foodFolder, parent);
  window.SetKeyword(keyword);
  if (searchNow) window.SearchFoodLists(keyword);
  window.exec();
  return window.Pick();
}

void SetFoodListsPicker(FoodListsPicker picker) { Override() = std::move(picker); }
