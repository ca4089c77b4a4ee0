#include "trackers/widgets/todoview.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QTimer>
#include <QToolTip>

#include "app/config.h"
#include "app/icons.h"
#include "app/datafolders.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "app/widgets/fonts.h"
#include "app/widgets/glyphs.h"
#include "app/widgets/linklabel.h"
#include "app/widgets/messages.h"
#include "app/widgets/printreport.h"
#include "app/widgets/reportbar.h"

namespace {

constexpr int kCheckColumnWidth = 22;
constexpr int kTextColumnWidth = 323;
constexpr int kRowHeight = 20;
constexpr int kHintWidth = 25;
constexpr qsizetype kLongestShownText = 1000;
const char* const kDragMime = "application/x-mavelo-todo-item";
const char* const kCheckHint = "Click to check, click and drag to another category";
const QColor kLinkColour(95, 166, 224);

}  // namespace

// The shown list as the item view sees it: column 0 the check picture, column 1 the
// text, edited in place.
class ToDoItemModel : public QAbstractTableModel {
 public:
  ToDoItemModel(ToDoList* list, QObject* parent) : QAbstractTableModel(parent), list_(list) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : list_->Count();
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : 2;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= list_->Count()) return {};
    const ToDoItem& item = list_->Item(index.row());
    if (role == Qt::UserRole) return item.Checked();
    if (index.column() != 1) return {};
    switch (role) {
      case Qt::DisplayRole:
        // The cell shows a line's start: laying out megabytes of one item would freeze
        // the window, and no more than this fits the column anyway.
        if (item.text.size() > kLongestShownText) return item.text.left(kLongestShownText);
        return item.text;
      case Qt::EditRole:
        return item.text;
      case Qt::FontRole: {
        QFont f = ArialFont(13);
        f.setStrikeOut(item.Checked());
        return f;
      }
      default:
        return {};
    }
  }

  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole || index.column() != 1 || index.row() >= list_->Count())
      return false;
    const QString text = value.toString();
    if (text == list_->Item(index.row()).text) return true;
    list_->SetText(index.row(), text);
    Q_EMIT dataChanged(index, index);
    return true;
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 1) f |= Qt::ItemIsEditable;
    return f;
  }

  QVariant headerData(int, Qt::Orientation, int role) const override {
    // The title row above the items stays empty.
    if (role == Qt::DisplayRole) return QString();
    return {};
  }

  void Reset() {
    beginResetModel();
    endResetModel();
  }

  void RowChanged(int row) { Q_EMIT dataChanged(index(row, 0), index(row, 1)); }

 private:
  ToDoList* list_;
};

namespace {

// Draws the check pictures and keeps typed text in the list as it is typed, so that a
// save at any moment holds what is on screen.
class ToDoItemDelegate : public QStyledItemDelegate {
 public:
  ToDoItemDelegate(const QImage* empty, const QImage* checked, QObject* editorWatcher,
                   QObject* parent)
      : QStyledItemDelegate(parent), empty_(empty), checked_(checked), watcher_(editorWatcher) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (index.column() != 0) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    const bool selected = option.state & QStyle::State_Selected;
    const QColor background =
        selected ? option.palette.color(QPalette::Highlight) : option.palette.color(QPalette::Base);
    painter->fillRect(option.rect, background);
    const bool checked = index.data(Qt::UserRole).toBool();
    painter->drawImage(option.rect.topLeft() + QPoint(1, 1),
                       IconToBitmap(16, checked ? *checked_ : *empty_, background));
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      edit->setFont(ArialFont(13));
      edit->setFrame(false);
      auto* self = const_cast<ToDoItemDelegate*>(this);
      QObject::connect(edit, &QLineEdit::textEdited, self,
                       [self, edit] { Q_EMIT self->commitData(edit); });
      if (watcher_) edit->installEventFilter(watcher_);
    }
    return w;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    // The model follows the editor while typing; handing the same text back would move
    // the cursor to the end.
    if (auto* edit = qobject_cast<QLineEdit*>(editor))
      if (edit->text() == index.data(Qt::EditRole).toString()) return;
    QStyledItemDelegate::setEditorData(editor, index);
  }

 private:
  const QImage* empty_;
  const QImage* checked_;
  QObject* watcher_;
};

}  // namespace

// ---------------------------------------------------------------------------------

TodoView::TodoView(ViewHost* host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName(QStringLiteral("frmToDo"));
  toDoFolder_ = host_->Dir().ToDoFolder();
  emptyPic_ = LoadCheckPicture(host_->Dir().ConfigFolder(), false);
  checkedPic_ = LoadCheckPicture(host_->Dir().ConfigFolder(), true);
  BuildControls();
  categories_ = ReadCategories(host_->Settings().ToDoCategories);
  FillCategoryList();
  SelectFirstCategory();
  SetHeading();
  ShowList();
}

TodoView::~TodoView() = default;

void TodoView::BuildControls() {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setFont(ArialFont(11));
  resize(600, 420);

  Category_Label = new QLabel(this);
  Category_Label->setObjectName(QStringLiteral("Category_Label"));
  Category_Label->setFont(ArialFont(19, true));
  Category_Label->setGeometry(10, 6, 380, 28);

  auto makeButton = [this](QToolButton*& button, const char* name, const char* hint,
                           const QIcon& icon, int x, int y) {
    button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(QLatin1String(hint));
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setGeometry(x, y, 26, 24);
  };
  makeButton(SpeedButton1, "SpeedButton1", "Add new todo", GlyphIcon(Glyph::Add), 10, 40);
  makeButton(bntCheck, "bntCheck", "Check mark", QIcon(QPixmap::fromImage(DrawCheckPicture(true))),
             38, 40);
  makeButton(btnDelete, "btnDelete", "Delete item", GlyphIcon(Glyph::Delete), 66, 40);
  makeButton(SpeedButton3, "SpeedButton3", "move up", GlyphIcon(Glyph::Up), 102, 40);
  makeButton(SpeedButton4, "SpeedButton4", "move down", GlyphIcon(Glyph::Down), 130, 40);

  todo = new QTableView(this);
  todo->setObjectName(QStringLiteral("todo"));
  model_ = new ToDoItemModel(&list_, todo);
  todo->setModel(model_);
  todo->setItemDelegate(new ToDoItemDelegate(&emptyPic_, &checkedPic_, this, todo));
  todo->setFont(ArialFont(13));
  todo->setGeometry(10, 68, kCheckColumnWidth + kTextColumnWidth + 20, 282);
  todo->setSelectionMode(QAbstractItemView::SingleSelection);
  todo->setSelectionBehavior(QAbstractItemView::SelectItems);
  // A click on the selected row edits at once (see TodoMouseEvent): the view's own delayed
  // edit on such a click would reopen the editor after the first keys were typed and
  // replace them.
  todo->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  todo->setDragDropMode(QAbstractItemView::NoDragDrop);
  todo->viewport()->setAcceptDrops(true);
  todo->viewport()->setMouseTracking(true);
  todo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  todo->setWordWrap(false);
  todo->setStyleSheet(QStringLiteral("QTableView { background: white; gridline-color: #d4d4d4; }"));
  QHeaderView* vh = todo->verticalHeader();
  vh->hide();
  vh->setSectionResizeMode(QHeaderView::Fixed);
  vh->setMinimumSectionSize(kRowHeight);
  vh->setDefaultSectionSize(kRowHeight);
  QHeaderView* hh = todo->horizontalHeader();
  hh->setSectionResizeMode(QHeaderView::Fixed);
  hh->setSectionsClickable(false);
  hh->setHighlightSections(false);
  hh->setFixedHeight(kRowHeight);
  hh->resizeSection(0, kCheckColumnWidth);
  hh->resizeSection(1, kTextColumnWidth);
  todo->installEventFilter(this);
  todo->viewport()->installEventFilter(this);
  // Typed text reaches the file a moment after the typing stops, so a crash keeps it; a
  // failure is told by the next save of the list (leaving it, a change of day).
  autoSave_ = new QTimer(this);
  autoSave_->setSingleShot(true);
  autoSave_->setInterval(1500);
  connect(autoSave_, &QTimer::timeout, this, [this] { WriteList(false); });
  connect(model_, &QAbstractItemModel::dataChanged, autoSave_, qOverload<>(&QTimer::start));
  connect(todo->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) list_.SetCurrent(current.row());
          });

  auto* categoryCaption = new QLabel(QStringLiteral("Category               "), this);
  categoryCaption->setObjectName(QStringLiteral("Label1"));
  categoryCaption->setFont(ArialFont(13, true));
  categoryCaption->setGeometry(400, 46, 180, 20);

  cboCategory = new QListWidget(this);
  cboCategory->setObjectName(QStringLiteral("cboCategory"));
  cboCategory->setFont(ArialFont(13));
  cboCategory->setGeometry(400, 68, 121, 282);
  {
    QPalette p = cboCategory->palette();
    p.setColor(QPalette::Text, QColor(128, 128, 128));
    cboCategory->setPalette(p);
  }
  cboCategory->viewport()->setAcceptDrops(true);
  cboCategory->installEventFilter(this);
  cboCategory->viewport()->installEventFilter(this);
  connect(cboCategory, &QListWidget::currentRowChanged, this, &TodoView::cboCategoryClick);

  makeButton(SpeedButton7, "SpeedButton7", "Report", GlyphIcon(Glyph::Report), 10, 358);
  SpeedButton7->setText(QStringLiteral("Report"));
  SpeedButton7->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  SpeedButton7->setGeometry(10, 358, 72, 24);
  makeButton(SpeedButton5, "SpeedButton5", "Print", GlyphIcon(Glyph::Print), 86, 358);
  SpeedButton5->setText(QStringLiteral("Print"));
  SpeedButton5->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  SpeedButton5->setGeometry(86, 358, 64, 24);
  LinkLabel* pdf = MakeSavePdfLink(
      this,
      [this] {
        // As the report button: what is on screen, unsaved check marks included.
        SaveList();
        return WriteToDoReport() ? host_->Dir().BuildFolder() + QStringLiteral("todo.html")
                                 : QString();
      },
      QStringLiteral("To-do report.pdf"));
  pdf->setGeometry(10, 386, 100, 18);

  auto* tip = new QLabel(QStringLiteral("Tip: Drag and drop items to tomorrow"), this);
  tip->setObjectName(QStringLiteral("Label4"));
  QFont tipFont = ArialFont(11);
  tipFont.setItalic(true);
  tip->setFont(tipFont);
  {
    QPalette p = tip->palette();
    p.setColor(QPalette::WindowText, QColor(128, 128, 128));
    tip->setPalette(p);
  }
  tip->setGeometry(164, 362, 220, 16);

  auto makeLink = [this](LinkLabel*& label, const char* name, const char* text, int x, int w) {
    label = new LinkLabel(QLatin1String(text), this);
    label->setObjectName(QLatin1String(name));
    label->setFont(ArialFont(11));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, kLinkColour);
    label->setPalette(p);
    label->setCursor(Qt::PointingHandCursor);
    label->setGeometry(x, 356, w, 16);
  };
  makeLink(Label5, "Label5", "Add Category", 400, 80);
  makeLink(Label6, "Label6", "Delete", 486, 40);
  connect(Label5, &LinkLabel::clicked, this, &TodoView::Label5Click);
  connect(Label6, &LinkLabel::clicked, this, &TodoView::Label6Click);

  connect(SpeedButton1, &QToolButton::clicked, this, &TodoView::SpeedButton1Click);
  connect(bntCheck, &QToolButton::clicked, this, &TodoView::bntCheckClick);
  connect(btnDelete, &QToolButton::clicked, this, &TodoView::btnDeleteClick);
  connect(SpeedButton3, &QToolButton::clicked, this, &TodoView::SpeedButton3Click);
  connect(SpeedButton4, &QToolButton::clicked, this, &TodoView::SpeedButton4Click);
  connect(SpeedButton7, &QToolButton::clicked, this, &TodoView::SpeedButton7Click);
  connect(SpeedButton5, &QToolButton::clicked, this, &TodoView::SpeedButton5Click);
}

void TodoView::FillCategoryList() {
  const QSignalBlocker block(cboCategory);
  cboCategory->clear();
  cboCategory->addItems(categories_);
}

void TodoView::SelectFirstCategory() {
  selected_ = categories_.isEmpty() ? -1 : 0;
  const QSignalBlocker block(cboCategory);
  cboCategory->setCurrentRow(selected_);
}

void TodoView::SetHeading() {
  if (selected_ < 0) {
    Category_Label->clear();
    return;
  }
  Category_Label->setText(CategoryHeading(categories_.at(selected_), date_));
}

QString TodoView::CategoryFile(const QString& name) const {
  return ::CategoryFile(name, date_, toDoFolder_);
}

bool TodoView::IsDayMarked(const QDate& date) const {
  return QFileInfo::exists(toDoFolder_ + TodayFileName(date));
}

// ---------------------------------------------------------------------------------

void TodoView::ShowDate(const QDate& date) {
  date_ = date;
  dragArmed_ = false;
  SelectFirstCategory();
  if (selected_ >= 0 && categories_.at(selected_) == QLatin1String("Today"))
    Category_Label->setText(ShownDateHeading(date_));
  else
    SetHeading();
  LoadList();
}

void TodoView::LoadList() {
  if (selected_ < 0 || !date_.isValid()) {
    list_.SetLines({});
  } else {
    QString error;
    const QString path = CategoryFile(categories_.at(selected_));
    if (!LoadToDoList(&list_, path, &error)) {
      // Shown empty; the file layer keeps the file it could not read from being replaced.
      list_.SetLines({});
      ShowError(error, this);
    } else {
      ShowError(ReadOnlyNotice(path), this);  // a list far too large: said once
    }
  }
  ShowList();
}

void TodoView::SaveList() { WriteList(true); }

void TodoView::WriteList(bool reportFailure) {
  // Only an edit is written: showing a list and leaving it rewrites nothing.
  autoSave_->stop();
  if (saving_ || selected_ < 0 || !date_.isValid() || !list_.IsModified()) return;
  saving_ = true;
  QString error;
  if (SaveToDoList(list_, CategoryFile(categories_.at(selected_)), &error)) {
    list_.MarkSaved();
    WriteToDoReport();
    // A list written or removed adds or drops the day's mark.
    host_->DayMarksChanged();
  } else if (reportFailure) {
    ShowError(error, this);
  }
  saving_ = false;
}

bool TodoView::AppendItem(const QString& category, const QString& line) {
  QString error;
  if (::AppendItem(CategoryFile(category), line, &error)) {
    host_->DayMarksChanged();
    return true;
  }
  ShowError(error, this);
  return false;
}

bool TodoView::WriteToDoReport() {
  if (!date_.isValid()) return false;
  QString error;
  if (::WriteToDoReport(categories_, date_, toDoFolder_, host_->Dir().BuildFolder(), &error))
    return true;
  ShowError(error, this);
  return false;
}

void TodoView::ShowList() {
  const int want = list_.Current();
  int col = todo->currentIndex().isValid() ? todo->currentIndex().column() : 1;
  model_->Reset();
  list_.SetCurrent(want);
  todo->setCurrentIndex(model_->index(list_.Current(), col));
}

void TodoView::ToggleItem(int index) {
  list_.Toggle(index);
  model_->RowChanged(index);
}

// ---------------------------------------------------------------------------------

void TodoView::cboCategoryClick(int index) {
  if (index < 0 || index >= categories_.size()) return;
  SaveList();
  selected_ = index;
  dragArmed_ = false;
  SetHeading();
  LoadList();
}

bool TodoView::cboCategoryDragDrop(int index) {
  dragArmed_ = false;
  if (index < 0 || index >= categories_.size() || selected_ < 0 || !date_.isValid())
    return false;
  // The shown list would be appended to and then written without the item.
  if (CategoryFile(categories_.at(index)) == CategoryFile(categories_.at(selected_)))
    return false;
  const ToDoItem item = list_.Item(list_.Current());
  if (!AppendItem(categories_.at(index), ToDoLine(item))) return false;
  btnDeleteClick();
  return true;
}

void TodoView::SpeedButton1Click() {
  list_.InsertEmpty(list_.Current());
  ShowList();
  SaveList();
}

void TodoView::bntCheckClick() { ToggleItem(list_.Current()); }

void TodoView::btnDeleteClick() {
  list_.Remove(list_.Current());
  ShowList();
  SaveList();
}

void TodoView::SpeedButton3Click() {
  if (list_.MoveUp(list_.Current())) ShowList();
  SaveList();
}

void TodoView::SpeedButton4Click() {
  if (list_.MoveDown(list_.Current())) ShowList();
  SaveList();
}

void TodoView::SpeedButton7Click() {
  // The report shows what is on screen, unsaved check marks included.
  SaveList();
  if (WriteToDoReport()) OpenDocument(host_->Dir().BuildFolder() + QStringLiteral("todo.html"));
}

void TodoView::SpeedButton5Click() {
  SaveList();
  if (WriteToDoReport())
    PrintReport(host_->Dir().BuildFolder() + QStringLiteral("todo.html"), PrintWait::Fixed);
}

bool TodoView::ApplyCategories(const QStringList& categories) {
  Config& config = host_->Settings();
  const QString before = config.ToDoCategories;
  config.ToDoCategories = CategoriesText(categories);
  if (!config.SaveSettings()) {
    // Nothing changes that was not saved.
    config.ToDoCategories = before;
    ShowError(config.lastError(), this);
    return false;
  }
  categories_ = categories;
  FillCategoryList();
  return true;
}

void TodoView::Label5Click() {
  SaveList();
  // Cancelling yields the initial text too, which then becomes a category.
  const QString raw = AskText(QStringLiteral("New To-Do Category"),
                              QStringLiteral("Enter Category Name"), QStringLiteral("Category"),
                              nullptr, this);
  QStringList next = categories_;
  const QString name = NewCategoryName(categories_, raw);
  if (!name.isEmpty()) next.append(name);
  if (!ApplyCategories(next)) {
    // The list box was left as it was; keep its selection on the shown category.
    return;
  }
  SelectFirstCategory();
  SetHeading();
  LoadList();
}

void TodoView::Label6Click() {
  if (categories_.size() <= 1 || selected_ < 0) return;
  const QString name = categories_.at(selected_);
  // Asking first about a category that cannot go would only lead to a refusal.
  if (name == QLatin1String("Today")) {
    ShowMessage(QString::fromLatin1(kTodayReservedMessage), this);
    return;
  }
  if (!AskYesNo(DeleteCategoryQuestion(name), this)) return;
  SaveList();
  QStringList next = categories_;
  next.removeAt(selected_);
  if (!ApplyCategories(next)) return;
  SelectFirstCategory();
  SetHeading();
  LoadList();
}

// ---------------------------------------------------------------------------------

void TodoView::hideEvent(QHideEvent* event) {
  // Leaving the page (another view, or the window closing) keeps check marks and typed
  // text that no other event has written yet.
  if (!event->spontaneous()) SaveList();
  QWidget::hideEvent(event);
}

bool TodoView::IsOurDrag(const QEvent* event) const {
  const auto* drop = static_cast<const QDropEvent*>(event);
  const QMimeData* mime = drop->mimeData();
  return mime && mime->data(QLatin1String(kDragMime)) ==
                     QByteArray::number(reinterpret_cast<quintptr>(this));
}

QMimeData* TodoView::CreateDragData() const {
  auto* mime = new QMimeData;
  mime->setData(QLatin1String(kDragMime), QByteArray::number(reinterpret_cast<quintptr>(this)));
  mime->setText(list_.Item(list_.Current()).text);
  return mime;
}

void TodoView::StartDrag() {
  dragStarted_ = true;
  auto* drag = new QDrag(todo);
  drag->setMimeData(CreateDragData());
  const QString text = list_.Item(list_.Current()).text;
  const QFontMetrics fm(ArialFont(13));
  QPixmap pm(qMin(kTextColumnWidth, fm.horizontalAdvance(text) + 28), kRowHeight);
  pm.fill(QColor(255, 255, 255, 220));
  {
    QPainter p(&pm);
    p.drawImage(QPoint(2, 2), CheckPicture(list_.Item(list_.Current()).Checked()));
    p.setFont(ArialFont(13));
    p.setPen(Qt::black);
    p.drawText(QRect(24, 0, pm.width() - 24, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft, text);
  }
  drag->setPixmap(pm);
  drag->setHotSpot(QPoint(8, kRowHeight / 2));
  drag->exec(Qt::MoveAction);
  dragArmed_ = false;
  pressInCheck_ = false;
}

bool TodoView::TodoMouseEvent(QEvent* event) {
  auto* me = static_cast<QMouseEvent*>(event);
  const QPoint pos = me->position().toPoint();
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (me->button() != Qt::LeftButton) return false;
      if (model_->rowCount() == 0) {
        list_.SetLines({});
        ShowList();
      }
      const QModelIndex idx = todo->indexAt(pos);
      if (!idx.isValid()) return false;
      if (idx.column() == 0) {
        list_.SetCurrent(idx.row());
        todo->setCurrentIndex(idx);
        todo->setFocus(Qt::MouseFocusReason);
        dragArmed_ = true;
        pressInCheck_ = true;
        dragStarted_ = false;
        pressRow_ = idx.row();
        pressPos_ = pos;
        return true;
      }
      dragArmed_ = false;
      pressInCheck_ = false;
      // A press on the text of the row already current opens its editor now.
      const auto* editor = todo->viewport()->findChild<QLineEdit*>();
      if (event->type() == QEvent::MouseButtonPress && idx == todo->currentIndex() &&
          !(editor && editor->isVisible())) {
        todo->setFocus(Qt::MouseFocusReason);
        todo->edit(idx);
        return true;
      }
      return false;
    }
    case QEvent::MouseMove:
      if (me->buttons() == Qt::NoButton) {
        const int x = todo->viewport()->mapTo(todo, pos).x();
        const QString hint = x < kHintWidth ? QString::fromLatin1(kCheckHint) : QString();
        if (todo->viewport()->toolTip() != hint) {
          todo->viewport()->setToolTip(hint);
          if (hint.isEmpty()) QToolTip::hideText();
        }
        return false;
      }
      if (pressInCheck_ && dragArmed_ && !dragStarted_ && (me->buttons() & Qt::LeftButton) &&
          (pos - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
        StartDrag();
        return true;
      }
      return pressInCheck_;
    case QEvent::MouseButtonRelease: {
      if (!pressInCheck_ || me->button() != Qt::LeftButton) return false;
      pressInCheck_ = false;
      const QModelIndex idx = todo->indexAt(pos);
      // A click (no drag) on the check picture checks or unchecks the item.
      if (!dragStarted_ && idx.isValid() && idx.column() == 0 && idx.row() == pressRow_)
        ToggleItem(pressRow_);
      return true;
    }
    default:
      return false;
  }
}

bool TodoView::TodoKeyEvent(QEvent* event) {
  auto* ke = static_cast<QKeyEvent*>(event);
  if (event->type() == QEvent::KeyRelease) {
    dragArmed_ = false;
    return false;
  }
  if (ke->key() == Qt::Key_Down && ke->modifiers() == Qt::NoModifier &&
      list_.Current() == list_.Count() - 1) {
    list_.AppendEmpty();
    ShowList();
    return true;
  }
  if (ke->key() == Qt::Key_Space && ke->modifiers() == Qt::NoModifier &&
      todo->currentIndex().column() == 0) {
    ToggleItem(list_.Current());
    return true;
  }
  return false;
}

bool TodoView::CategoryDragEvent(QEvent* event) {
  auto* de = static_cast<QDropEvent*>(event);
  if (!IsOurDrag(event)) {
    de->ignore();
    return true;
  }
  const QListWidgetItem* item = cboCategory->itemAt(de->position().toPoint());
  const int row = item ? cboCategory->row(item) : -1;
  const bool useful = row >= 0 && selected_ >= 0 &&
                      CategoryFile(categories_.at(row)) != CategoryFile(categories_.at(selected_));
  switch (event->type()) {
    case QEvent::DragEnter:
      // Accepted over the whole list so that the moves reach each entry.
      de->acceptProposedAction();
      return true;
    case QEvent::DragMove: {
      auto* move = static_cast<QDragMoveEvent*>(event);
      if (useful) {
        move->acceptProposedAction();
      } else {
        move->ignore(item ? cboCategory->visualItemRect(item) : QRect());
      }
      return true;
    }
    case QEvent::Drop:
      if (row >= 0 && cboCategoryDragDrop(row)) {
        de->setDropAction(Qt::MoveAction);
        de->accept();
      } else {
        de->ignore();
      }
      return true;
    default:
      return false;
  }
}

bool TodoView::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == todo->viewport()) {
    switch (type) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::MouseButtonRelease:
        return TodoMouseEvent(event);
      case QEvent::ToolTip: {
        const QString hint = todo->viewport()->toolTip();
        auto* he = static_cast<QHelpEvent*>(event);
        if (hint.isEmpty()) {
          QToolTip::hideText();
        } else {
          const int left = todo->viewport()->mapFrom(todo, QPoint(0, 0)).x();
          QToolTip::showText(he->globalPos(), hint, todo->viewport(),
                             QRect(0, 0, kHintWidth + left, todo->viewport()->height()));
        }
        return true;
      }
      case QEvent::DragEnter:
      case QEvent::DragMove:
        if (IsOurDrag(event)) static_cast<QDropEvent*>(event)->acceptProposedAction();
        else event->ignore();
        return true;
      case QEvent::Drop:
        // Dropped back on the list: nothing moves.
        dragArmed_ = false;
        if (IsOurDrag(event)) {
          auto* de = static_cast<QDropEvent*>(event);
          de->setDropAction(Qt::IgnoreAction);
          de->accept();
        }
        return true;
      default:
        return false;
    }
  }
  if (watched == cboCategory->viewport()) {
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
      return CategoryDragEvent(event);
    return false;
  }
  if (type == QEvent::KeyRelease) dragArmed_ = false;
  if (watched == todo && (type == QEvent::KeyPress || type == QEvent::KeyRelease))
    return TodoKeyEvent(event);
  if (type == QEvent::FocusOut) {
    // Leaving the list (or its editor) for a control outside it writes the list; a
    // message box or a popup taking the focus does not.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
    const bool fromList = watched == todo || (qobject_cast<QWidget*>(watched) &&
                                              todo->isAncestorOf(static_cast<QWidget*>(watched)));
    if (!fromList) return false;
    QWidget* next = QApplication::focusWidget();
    if (next && (next == todo || todo->isAncestorOf(next))) return false;
    SaveList();
  }
  return false;
}
