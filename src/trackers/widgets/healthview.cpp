#include "trackers/widgets/healthview.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSqlRecord>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/database.h"
#include "app/datafolders.h"
#include "app/widgets/editortext.h"
#include "app/widgets/fonts.h"
#include "app/widgets/messages.h"
#include "trackers/healthtablemodel.h"
#include "trackers/healthtables.h"

namespace {
const QColor kPale(244, 249, 253);
const QStringList kMenuItems{QStringLiteral("Medical Information"),
                             QStringLiteral("Medical Appointments"),
                             QStringLiteral("Prescription List"),
                             QStringLiteral("Important Contacts")};
const QString kFixedCells = QStringLiteral(
    "QHeaderView::section { font-family: Arial; font-size: 12px; "
    "background: rgb(192,220,192); border: none; "
    "border-right: 1px solid rgb(160,190,160); border-bottom: 1px solid rgb(160,190,160); "
    "padding: 2px 4px; }");

// A grid edited in place. Tab and Shift+Tab move from cell to cell as in any grid, and
// out of the grid past its last (first) cell, so the keyboard is never caught in it; the
// open cell editor's text can be handed to the model before its row is written (a click
// on a navigator button leaves the editor open).
template <typename Base>
class EditGrid : public Base {
 public:
  using Base::Base;
  void CommitEditor() {
    if (QWidget* editor = this->indexWidget(this->currentIndex())) {
      this->commitData(editor);
      Base::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
  }

 protected:
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
    const bool forward = hint == QAbstractItemDelegate::EditNextItem;
    const bool out = (forward || hint == QAbstractItemDelegate::EditPreviousItem) && AtEnd(forward);
    Base::closeEditor(editor, out ? QAbstractItemDelegate::SubmitModelCache : hint);
    if (out) forward ? this->focusNextChild() : this->focusPreviousChild();
  }

 private:
  bool AtEnd(bool forward) const {
    const QModelIndex c = this->currentIndex();
    const QAbstractItemModel* m = this->model();
    if (!c.isValid() || !m) return true;
    if (c.row() != (forward ? m->rowCount() - 1 : 0)) return false;
    for (int col = c.column() + (forward ? 1 : -1); col >= 0 && col < m->columnCount();
         col += forward ? 1 : -1)
      if (!this->isColumnHidden(col)) return false;
    return true;
  }
};
using HealthGrid = EditGrid<QTableView>;
using ContactsGrid = EditGrid<QTableWidget>;

QLabel* Caption(const QString& text, QWidget* parent, bool bold = true) {
  auto* l = new QLabel(text, parent);
  l->setFont(ArialFont(12, bold));
  return l;
}

bool Inside(const QWidget* widget, const QWidget* w) {
  return w && (w == widget || widget->isAncestorOf(w));
}
}  // namespace

HealthView::HealthView(ViewHost* host, QWidget* parent)
    : QWidget(parent), host_(host), records_(host->Dir().HealthFolder()) {
  setObjectName(QStringLiteral("frmHealth"));
  setFont(ArialFont(12));
  vaccines_.table = &ImmunizationTable();
  appointments_.table = &AppointmentsTable();
  prescriptions_.table = &PrescriptionTable();

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 8, 8, 8);
  row->setSpacing(10);

  auto* left = new QVBoxLayout;
  left->setSpacing(6);
  auto* tracker = new QLabel(QStringLiteral("Health Tracker"), this);
  tracker->setObjectName(QStringLiteral("Label1"));
  tracker->setFont(ArialFont(18, true));
  tracker->setStyleSheet(QStringLiteral("color: rgb(0,106,213);"));
  left->addWidget(tracker);
  menu_ = new QListWidget(this);
  menu_->setObjectName(QStringLiteral("menu"));
  menu_->addItems(kMenuItems);
  menu_->setFont(ArialFont(13));
  menu_->setFixedWidth(200);
  menu_->setSpacing(3);
  {
    QPalette pal = menu_->palette();
    pal.setColor(QPalette::Base, kPale);
    menu_->setPalette(pal);
  }
  left->addWidget(menu_, 1);
  row->addLayout(left);

  auto* right = new QVBoxLayout;
  right->setSpacing(6);
  title_ = new QLabel(QStringLiteral("Medical Health"), this);
  title_->setObjectName(QStringLiteral("Title_Label"));
  title_->setFont(ArialFont(18, true));
  right->addWidget(title_);
  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("PG"));
  pages_->addWidget(BuildPage0());
  pages_->addWidget(BuildGridPage(appointments_, QStringLiteral("DBNavigator1"),
                                  QStringLiteral("Appointment:"),
                                  QStringLiteral("Add Appointment"),
                                  QStringLiteral("Delete Selected Appointment")));
  pages_->addWidget(BuildGridPage(prescriptions_, QStringLiteral("DBNavigator3"),
                                  QStringLiteral("Medications:"), QStringLiteral("Insert record"),
                                  QStringLiteral("Delete record")));
  pages_->addWidget(BuildContactsPage());
  right->addWidget(pages_, 1);
  row->addLayout(right, 1);

  // A choice of the user (a click, the arrow keys) selects an item; the list taking the
  // focus only makes its first item current, and must not turn the page by itself.
  connect(menu_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    const QList<QListWidgetItem*> chosen = menu_->selectedItems();
    if (!chosen.isEmpty()) menuClick(menu_->row(chosen.first()));
  });
  connect(menu_, &QListWidget::clicked, this,
          [this](const QModelIndex& index) { menuClick(index.row()); });
  connect(bloodType_, &QComboBox::activated, this, [this] {
    if (!loading_) SaveHealthRecords();
  });
  connect(qApp, &QApplication::focusChanged, this, &HealthView::FocusChanged);
}

HealthView::~HealthView() {
  disconnect(qApp, nullptr, this, nullptr);
  // A focused editor that goes away reports on its way out: no handler may run then.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

QWidget* HealthView::BuildPage0() {
  auto* page = new QWidget;
  auto* row = new QHBoxLayout(page);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(14);

  auto* left = new QVBoxLayout;
  left->setSpacing(4);
  left->addWidget(Caption(QStringLiteral("Allergies and Medical Conditions"), page));
  allergies_ = new QPlainTextEdit(page);
  allergies_->setObjectName(QStringLiteral("Alergies_Memo"));
  allergies_->setFixedWidth(330);
  allergies_->setTabChangesFocus(true);
  {
    QPalette pal = allergies_->palette();
    pal.setColor(QPalette::Base, kPale);
    allergies_->setPalette(pal);
  }
  allergies_->installEventFilter(this);
  left->addWidget(allergies_, 1);
  left->addSpacing(6);
  auto* bloodRow = new QHBoxLayout;
  bloodRow->addWidget(Caption(QStringLiteral("Blood Type"), page));
  bloodType_ = new QComboBox(page);
  bloodType_->setObjectName(QStringLiteral("BloodType_Combo"));
  bloodType_->addItems(BloodTypeNames());
  bloodType_->setMinimumWidth(110);
  bloodRow->addWidget(bloodType_);
  bloodRow->addStretch(1);
  left->addLayout(bloodRow);
  row->addLayout(left);

  auto* right = new QVBoxLayout;
  right->setSpacing(4);
  right->addWidget(Caption(QStringLiteral("Immunization Record"), page));
  vaccines_.view = MakeGrid(QStringLiteral("Vaccine_Grid"));
  right->addWidget(vaccines_.view, 1);
  auto* nav = new QHBoxLayout;
  nav->addWidget(Caption(QStringLiteral("Vaccine:"), page, false));
  nav->addWidget(MakeNavigator(vaccines_, QStringLiteral("DBNavigator2"),
                               QStringLiteral("Insert record"), QStringLiteral("Delete record")));
  nav->addStretch(1);
  right->addLayout(nav);
  row->addLayout(right, 1);
  return page;
}

QWidget* HealthView::BuildGridPage(Grid& grid, const QString& navigatorName,
                                   const QString& caption, const QString& addHint,
                                   const QString& deleteHint) {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(4);
  grid.view = MakeGrid(grid.table == &AppointmentsTable() ? QStringLiteral("Appointment_Grid")
                                                          : QStringLiteral("Prescription_grid"));
  v->addWidget(grid.view, 1);
  auto* nav = new QHBoxLayout;
  nav->addWidget(Caption(caption, page, false));
  nav->addWidget(MakeNavigator(grid, navigatorName, addHint, deleteHint));
  nav->addStretch(1);
  v->addLayout(nav);
  return page;
}

QWidget* HealthView::BuildContactsPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(0, 0, 0, 0);
  contacts_ = new ContactsGrid(kContactRows, 2, page);
  contacts_->setObjectName(QStringLiteral("Contacts_chart"));
  contacts_->setHorizontalHeaderLabels(
      {QStringLiteral("   Doctor Name"), QStringLiteral("   Phone #            Address")});
  contacts_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  contacts_->horizontalHeader()->setStyleSheet(kFixedCells);
  contacts_->horizontalHeader()->setFont(ArialFont(12));
  contacts_->setColumnWidth(0, 150);
  contacts_->setColumnWidth(1, 518);
  contacts_->horizontalHeader()->setStretchLastSection(true);
  contacts_->verticalHeader()->hide();
  contacts_->verticalHeader()->setDefaultSectionSize(21);
  contacts_->setTabKeyNavigation(false);
  contacts_->setEditTriggers(QAbstractItemView::AllEditTriggers);
  contacts_->setSelectionMode(QAbstractItemView::SingleSelection);
  for (int r = 0; r < kContactRows; ++r)
    for (int c = 0; c < 2; ++c) contacts_->setItem(r, c, new QTableWidgetItem);
  v->addWidget(contacts_, 1);
  return page;
}

QTableView* HealthView::MakeGrid(const QString& name) {
  auto* grid = new HealthGrid(this);
  grid->setObjectName(name);
  grid->setFont(ArialFont(12));
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(21);
  grid->horizontalHeader()->setStyleSheet(kFixedCells);
  grid->horizontalHeader()->setFont(ArialFont(12));
  grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid->horizontalHeader()->setHighlightSections(false);
  grid->setShowGrid(true);
  grid->setTabKeyNavigation(false);
  grid->setWordWrap(false);
  // The cell editor opens on the current cell: the grid is always being edited.
  grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setSelectionBehavior(QAbstractItemView::SelectItems);
  grid->setAlternatingRowColors(true);
  QPalette pal = grid->palette();
  // Records 1, 3, 5 ... (odd, counted from 1) on the pale blue.
  pal.setColor(QPalette::Base, kPale);
  pal.setColor(QPalette::AlternateBase, Qt::white);
  pal.setColor(QPalette::Text, Qt::black);
  grid->setPalette(pal);
  grid->installEventFilter(this);
  return grid;
}

QWidget* HealthView::MakeNavigator(Grid& grid, const QString& name, const QString& addHint,
                                   const QString& deleteHint) {
  auto* nav = new QWidget(this);
  nav->setObjectName(name);
  auto* h = new QHBoxLayout(nav);
  h->setContentsMargins(0, 0, 0, 0);
  h->setSpacing(2);
  auto* insert = new QToolButton(nav);
  insert->setObjectName(QStringLiteral("Insert"));
  insert->setText(QStringLiteral("+"));
  insert->setToolTip(addHint);
  auto* remove = new QToolButton(nav);
  remove->setObjectName(QStringLiteral("Delete"));
  remove->setText(QStringLiteral("\u2212"));
  remove->setToolTip(deleteHint);
  for (QToolButton* b : {insert, remove}) {
    // Reached with Tab, but a click leaves the focus (and the row) in the grid.
    b->setFocusPolicy(Qt::TabFocus);
    b->setFixedSize(28, 24);
    b->setFont(ArialFont(16, true));
    h->addWidget(b);
  }
  Grid* g = &grid;
  connect(insert, &QToolButton::clicked, this, [this, g] { InsertRecord(*g); });
  connect(remove, &QToolButton::clicked, this, [this, g] { DeleteRecord(*g); });
  return nav;
}

HealthTableModel* HealthView::Model(const QString& table) const {
  for (const Grid* g : {&vaccines_, &appointments_, &prescriptions_})
    if (g->table->name == table) return g->model;
  return nullptr;
}

bool HealthView::OpenHealthTables() {
  for (Grid* g : {&vaccines_, &appointments_, &prescriptions_}) {
    g->view->setModel(nullptr);
    delete g->model;
    g->model = nullptr;
  }
  QString error;
  if (!OpenDatabase(host_->Dir(), &error)) {
    ShowError(error, this);
    return false;
  }
  QStringList errors;
  if (DatabaseIsReadOnly()) errors << DatabaseReadOnlyMessage();
  // The order of opening: appointments, prescriptions, immunisations.
  for (Grid* g : {&appointments_, &prescriptions_, &vaccines_}) {
    QString e;
    QStringList columns;
    for (const HealthColumn& c : g->table->columns) columns << c.name;
    if (!CheckDatabaseTable(g->table->name, columns, &e, HealthRowIdColumn())) {
      errors << e;
      continue;
    }
    auto* model = new HealthTableModel(*g->table, AppDatabase(), this);
    if (!model->Open()) {
      errors << model->errorString();
      delete model;
      continue;
    }
    g->model = model;
    g->view->setModel(model);
    g->view->hideColumn(model->RowIdColumn());
    Grid* grid = g;
    // Moving to another row writes the row left (the view's own call gives no error).
    connect(g->view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, grid](const QModelIndex& current, const QModelIndex& previous) {
              if (previous.isValid() && current.row() != previous.row() &&
                  grid->model->isDirty(previous))
                PostGrid(*grid);
            });
  }
  FitAllGrids();
  if (!errors.isEmpty()) ShowError(errors.join(u'\n'), this);
  return errors.isEmpty();
}

void HealthView::LoadHealthRecords() {
  QString error;
  records_.Load(&error);
  loading_ = true;
  bloodType_->setCurrentIndex(records_.BloodType());
  // A file that could not be read, or is shown only, takes no typing.
  allergies_->setReadOnly(records_.AllergiesReadOnly());
  allergies_->setPlainText(records_.Allergies());
  shownAllergies_ = EditorText(allergies_);
  loadedAllergies_ = records_.Allergies();
  const QList<Contact>& contacts = records_.Contacts();
  contacts_->setRowCount(int(contacts.size()));
  for (int r = 0; r < contacts.size(); ++r) {
    for (int c = 0; c < 2; ++c)
      if (!contacts_->item(r, c)) contacts_->setItem(r, c, new QTableWidgetItem);
    contacts_->item(r, 0)->setText(contacts[r].name);
    contacts_->item(r, 1)->setText(contacts[r].value);
  }
  loading_ = false;
  FitAllGrids();
  // Read errors, and the notices of files shown read-only (each said once).
  ShowError(error, this);
}

void HealthView::CollectFields() {
  records_.SetBloodType(bloodType_->currentIndex());
  // Only what she typed: the memo as it was shown is the file as it is, byte for byte
  // (the editor's own plain text would turn a non-breaking space into a space).
  const QString allergies = EditorText(allergies_);
  records_.SetAllergies(allergies == shownAllergies_ ? loadedAllergies_ : allergies);
  QList<Contact> contacts;
  for (int r = 0; r < contacts_->rowCount(); ++r) {
    const QTableWidgetItem* name = contacts_->item(r, 0);
    const QTableWidgetItem* value = contacts_->item(r, 1);
    contacts.append({name ? name->text() : QString(), value ? value->text() : QString()});
  }
  records_.SetContacts(contacts);
}

bool HealthView::SaveHealthRecords() {
  // A contact cell still being typed in counts.
  if (contacts_->indexWidget(contacts_->currentIndex()) && !loading_)
    static_cast<ContactsGrid*>(contacts_)->CommitEditor();
  CollectFields();
  QString error;
  const bool ok = records_.Save(&error);
  Report(ok ? QString() : error);
  return ok;
}

void HealthView::Report(const QString& errors) {
  if (errors.isEmpty()) {
    lastReported_.clear();
    return;
  }
  if (errors == lastReported_) return;
  lastReported_ = errors;
  ShowError(errors, this);
}

void HealthView::SaveOnLeave() {
  for (Grid* g : {&appointments_, &prescriptions_, &vaccines_}) PostGrid(*g);
  SaveHealthRecords();
}

void HealthView::menuClick(int row) {
  if (row < 0 || row >= kMenuItems.size()) return;
  pages_->setCurrentIndex(row);
  title_->setText(kMenuItems[row]);
  SaveHealthRecords();
}

bool HealthView::PostGrid(Grid& grid) {
  // The error box of a failed post takes the focus from the grid, which would post (and
  // fail) once more behind it.
  if (!grid.model || posting_) return true;
  posting_ = true;
  static_cast<HealthGrid*>(grid.view)->CommitEditor();
  const bool ok = grid.model->Post();
  if (!ok) ShowError(grid.model->errorString(), this);
  posting_ = false;
  return ok;
}

void HealthView::InsertRecord(Grid& grid) {
  if (!grid.model) return;
  static_cast<HealthGrid*>(grid.view)->CommitEditor();
  const int row = grid.model->InsertNew();
  if (row < 0) {
    ShowError(grid.model->errorString(), this);
    return;
  }
  // The new row first, then the focus: a grid that gets the focus without a current
  // cell would open one in the first row.
  const QModelIndex cell = grid.model->index(row, 1);
  grid.view->setCurrentIndex(cell);
  grid.view->scrollTo(cell);
  grid.view->setFocus();
  // Taking the focus closed the cell editor that opened with the row: open it again.
  if (!grid.view->indexWidget(cell)) grid.view->edit(cell);
}

void HealthView::DeleteRecord(Grid& grid) {
  if (!grid.model) return;
  const QModelIndex current = grid.view->currentIndex();
  const int row = current.row();
  if (!current.isValid() || row >= grid.model->rowCount()) return;
  // A database that takes no writes says so before asking anything.
  if (const QString refusal = DatabaseWriteRefusal(grid.model->database()); !refusal.isEmpty()) {
    ShowError(refusal, this);
    return;
  }
  const QVariant id = grid.model->record(row).value(grid.model->RowIdColumn());
  if (!AskYesNo(QStringLiteral("Delete record?"), this)) return;
  // The question may have moved the focus and written (or dropped) the row: delete it
  // only if it is still the same record.
  if (row >= grid.model->rowCount() || grid.model->record(row).value(grid.model->RowIdColumn()) != id)
    return;
  static_cast<HealthGrid*>(grid.view)->CommitEditor();
  if (!grid.model->DeleteRecord(row)) {
    ShowError(grid.model->errorString(), this);
    return;
  }
  const int rows = grid.model->rowCount();
  if (rows > 0) grid.view->setCurrentIndex(grid.model->index(std::min(row, rows - 1), current.column()));
}

void HealthView::FitGridColumns(QTableView* grid, const QString& marks) {
  const HealthTable* table = nullptr;
  for (const Grid* g : {&vaccines_, &appointments_, &prescriptions_})
    if (g->view == grid) table = g->table;
  if (!table || !grid->model()) return;
  QVector<int> widths;
  for (const HealthColumn& c : table->columns) widths << c.width;
  const QVector<int> fitted =
      FittedColumnWidths(widths, marks, grid->contentsRect().width(), grid->showGrid(),
                         grid->verticalHeader()->isVisible());
  for (int i = 0; i < fitted.size(); ++i) grid->setColumnWidth(i + 1, fitted[i]);
}

void HealthView::FitAllGrids() {
  for (const Grid* g : {&appointments_, &prescriptions_, &vaccines_})
    FitGridColumns(g->view, g->table->marks);
}

void HealthView::FocusChanged(QWidget* old, QWidget* now) {
  for (Grid* g : {&appointments_, &prescriptions_, &vaccines_}) {
    // A row typed and then left by a click elsewhere is written, never thrown away.
    if (Inside(g->view, old) && !Inside(g->view, now)) PostGrid(*g);
  }
}

bool HealthView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == allergies_ && event->type() == QEvent::FocusOut && !loading_)
    SaveHealthRecords();
  if (event->type() == QEvent::Resize)
    for (const Grid* g : {&appointments_, &prescriptions_, &vaccines_})
      if (watched == g->view) FitGridColumns(g->view, g->table->marks);
  return QWidget::eventFilter(watched, event);
}
