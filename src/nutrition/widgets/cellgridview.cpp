#include "nutrition/widgets/cellgridview.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "app/widgets/fonts.h"
#include "core/gridfile.h"
#include "nutrition/mealday.h"

namespace {

constexpr int kRowHeight = 16;
constexpr int kTextInset = 2;
const char* const kOriginalText = "originalText";
const char* const kEnterPressed = "enterPressed";

// Draws a cell as the grids of the diary do, and keeps typed text in the grid as it is
// typed.
class CellGridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QVariant bg = index.data(Qt::BackgroundRole);
    QColor background = bg.canConvert<QColor>() ? bg.value<QColor>() : QColor(Qt::white);
    QColor ink = option.palette.color(QPalette::Text);
    if (selected) {
      background = option.palette.color(QPalette::Highlight);
      ink = option.palette.color(QPalette::HighlightedText);
    }
    painter->save();
    painter->fillRect(option.rect, background);
    painter->setPen(ink);
    painter->setFont(option.font);
    const QRect text = option.rect.adjusted(kTextInset, kTextInset, -1, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
      painter->setPen(QPen(selected ? ink : option.palette.color(QPalette::Highlight), 1,
                           Qt::DotLine));
      painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      edit->setFrame(false);
      edit->setTextMargins(kTextInset - 1, 0, 0, 0);
      auto* self = const_cast<CellGridDelegate*>(this);
      QObject::connect(edit, &QLineEdit::textEdited, self,
                       [self, edit] { Q_EMIT self->commitData(edit); });
    }
    return w;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit) {
      QStyledItemDelegate::setEditorData(editor, index);
      return;
    }
    const QString text = index.data(Qt::EditRole).toString();
    if (!edit->property(kOriginalText).isValid()) edit->setProperty(kOriginalText, text);
    // The grid follows the editor while typing; handing the same text back would move
    // the cursor to the end.
    if (edit->text() == text) return;
    edit->setText(text);
  }

  bool eventFilter(QObject* object, QEvent* event) override {
    // Enter ends an edit the way any move to another row does; only the key asks for
    // more.
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) object->setProperty(kEnterPressed, true);
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex&) const override {
    editor->setGeometry(option.rect);
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------

CellGridModel::CellGridModel(CellGrid* grid, int columns, const Look& look, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), columns_(columns), look_(look) {}

void CellGridModel::SetGrid(CellGrid* grid) {
  beginResetModel();
  grid_ = grid;
  endResetModel();
}

void CellGridModel::Reset() {
  beginResetModel();
  endResetModel();
}

int CellGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !grid_) return 0;
  return std::max(0, grid_->RowCount() - 1);
}

int CellGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

QVariant CellGridModel::data(const QModelIndex& index, int role) const {
  if (!grid_ || !index.isValid()) return {};
  const int row = GridRow(index);
  switch (role) {
    case Qt::DisplayRole: {
      const QString text = grid_->Cell(index.column(), row);
      return look_.cutLongTexts ? ShownFoodText(text) : text;
    }
    case Qt::EditRole:
      return grid_->Cell(index.column(), row);
    case Qt::ToolTipRole: {
      const QString text = grid_->Cell(index.column(), row);
      if (look_.cutLongTexts && ShownFoodText(text) != text) return text;
      return {};
    }
    case Qt::BackgroundRole:
      return row % 2 == 1 ? look_.oddRow : look_.evenRow;
    default:
      return {};
  }
}

bool CellGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!grid_ || !index.isValid() || role != Qt::EditRole || !look_.editable) return false;
  const int row = GridRow(index);
  QString text = value.toString();
  // A cell is one line.
  text.replace(u'\r', u' ').replace(u'\n', u' ');
  if (grid_->Cell(index.column(), row) == text) return true;
  grid_->SetCell(index.column(), row, text);
  Q_EMIT dataChanged(index, index);
  Q_EMIT cellEdited(index.column(), row);
  return true;
}

Qt::ItemFlags CellGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (look_.editable) f |= Qt::ItemIsEditable;
  return f;
}

QVariant CellGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || !grid_) return {};
  if (role == Qt::DisplayRole) return grid_->Cell(section, 0);
  if (role == Qt::BackgroundRole) return look_.header;
  return {};
}

// ---------------------------------------------------------------------------------------

CellGridView::CellGridView(CellGridModel* model, const QList<int>& widths, QWidget* parent)
    : QTableView(parent), model_(model) {
  setModel(model);
  setItemDelegate(new CellGridDelegate(this));
  setFont(ArialFont(11));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  QHeaderView* header = horizontalHeader();
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setHighlightSections(false);
  header->setSectionsClickable(false);
  header->setMinimumSectionSize(10);
  header->setFixedHeight(kRowHeight + 1);
  header->setFont(ArialFont(11));
  header->setStyleSheet(QStringLiteral(
      "QHeaderView::section { background: %1; border: none; border-right: 1px solid #a0a0a0;"
      " border-bottom: 1px solid #a0a0a0; padding: 0px 0px 0px 2px; }")
                            .arg(model->Appearance().header.name()));
  for (int c = 0; c < widths.size(); ++c) setColumnWidth(c, widths.at(c));
  header->setStretchLastSection(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setGridStyle(Qt::SolidLine);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  // Tab leaves the grid (the arrows move in it); within an edit Tab moves to the next cell.
  setTabKeyNavigation(false);
  if (model->Appearance().editable)
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
  else
    setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(model, &QAbstractItemModel::modelReset, this, [this] { ShowGridCurrent(); });
}

int CellGridView::FullWidth() const {
  int w = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < model_->columnCount(); ++c) w += columnWidth(c);
  return w;
}

void CellGridView::ShowGridCurrent() {
  CellGrid* grid = model_->Grid();
  if (!grid || model_->rowCount() == 0) return;
  syncing_ = true;
  const QModelIndex idx = model_->IndexOf(grid->CurrentCol(), grid->CurrentRow());
  if (idx.isValid()) {
    setCurrentIndex(idx);
    // A grid that is not on screen has no true height yet: it starts at the top and
    // brings its current row into sight when shown.
    scrollToTop();
    if (isVisible()) scrollTo(idx);
  }
  syncing_ = false;
}

void CellGridView::showEvent(QShowEvent* event) {
  QTableView::showEvent(event);
  if (currentIndex().isValid()) scrollTo(currentIndex());
}

void CellGridView::Reload() {
  model_->Reset();
  ShowGridCurrent();
}

void CellGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid()) return;
  if (CellGrid* grid = model_->Grid())
    grid->SetCurrent(current.column(), CellGridModel::GridRow(current));
}

void CellGridView::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      state() != QAbstractItemView::EditingState) {
    event->accept();
    Q_EMIT enterPressed();
    return;
  }
  QTableView::keyPressEvent(event);
}

void CellGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  if (hint == QAbstractItemDelegate::RevertModelCache) {
    // Escape gives the cell back the text it had before this edit.
    const QVariant original = editor->property(kOriginalText);
    if (original.isValid() && currentIndex().isValid())
      model_->setData(currentIndex(), original, Qt::EditRole);
  }
  // Read before the editor goes: what the signals start may run the event loop.
  const bool enter = hint == QAbstractItemDelegate::SubmitModelCache &&
                     editor->property(kEnterPressed).toBool();
  QTableView::closeEditor(editor, hint);
  if (hint != QAbstractItemDelegate::RevertModelCache) Q_EMIT editFinished();
  if (enter) Q_EMIT enterPressed();
}

void CellGridView::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  // Focus that moves into the grid's own cell editor has not left it.
  QWidget* now = QApplication::focusWidget();
  if (now && (now == this || isAncestorOf(now))) return;
  if (event->reason() == Qt::PopupFocusReason) return;
  Q_EMIT focusLeft();
}
