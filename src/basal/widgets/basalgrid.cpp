#include "basal/widgets/basalgrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

class OwnerDrawDelegate : public QStyledItemDelegate {
 public:
  explicit OwnerDrawDelegate(BasalGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    p->save();
    grid_->PaintCell(*p, option.rect, index.column(), index.row());
    p->restore();
    // The keyboard's cell: a dotted frame inside its grid lines while the grid has the
    // focus, so that the arrow keys show where Space or Enter would choose.
    if (option.state & QStyle::State_HasFocus) {
      p->save();
      p->setPen(QPen(Qt::black, 1, Qt::DotLine));
      p->setBrush(Qt::NoBrush);
      p->drawRect(option.rect.adjusted(1, 1, -3, -3));
      p->restore();
    }
  }

 private:
  BasalGrid* grid_;
};

}  // namespace

BasalGrid::BasalGrid(int cols, int rows, int fixedCols, int fixedRows, QWidget* parent)
    : QTableWidget(rows, cols, parent), fixedCols_(fixedCols), fixedRows_(fixedRows) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
    h->setMinimumSectionSize(1);
    h->setSectionResizeMode(QHeaderView::Fixed);
  }
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
  // The owner draws grid lines itself, so that fills may cover them.
  setShowGrid(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setTabKeyNavigation(false);
  setAutoScroll(false);
  setWordWrap(false);
  setMouseTracking(true);
  setItemDelegate(new OwnerDrawDelegate(this));
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      auto* item = new QTableWidgetItem;
      if (IsFixed(c, r)) item->setFlags(Qt::NoItemFlags);
      else item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      setItem(r, c, item);
    }
  }
  setCurrentCell(-1, -1);
  // Only a click selects through a change of the current cell; keys move it quietly.
  connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int col, int, int) {
    if (quiet_ || !clicking_ || row < 0 || col < 0 || IsFixed(col, row)) return;
    emit cellSelected(col, row);
  });
  FitSize();
}

void BasalGrid::PaintCell(QPainter& p, const QRect& rect, int col, int row) const {
  if (painter_) painter_(p, rect, col, row);
}

void BasalGrid::SetColumnWidth(int col, int width) {
  setColumnWidth(col, width);
  FitSize();
}

void BasalGrid::SetRowHeight(int row, int height) {
  setRowHeight(row, height);
  FitSize();
}

void BasalGrid::FitSize() {
  int w = 0, h = 0;
  for (int c = 0; c < columnCount(); ++c) w += columnWidth(c);
  for (int r = 0; r < rowCount(); ++r) h += rowHeight(r);
  setFixedSize(w, h);
}

QString BasalGrid::Text(int col, int row) const {
  const QTableWidgetItem* it = item(row, col);
  return it ? it->text() : QString();
}

void BasalGrid::SetText(int col, int row, const QString& text) {
  if (QTableWidgetItem* it = item(row, col)) {
    if (it->text() != text) it->setText(text);
  }
}

QRect BasalGrid::CellRect(int col, int row) const { return visualRect(model()->index(row, col)); }

void BasalGrid::SetCurrentQuietly(int col, int row) {
  quiet_ = true;
  if (col < 0 || row < 0) setCurrentIndex(QModelIndex());
  else setCurrentCell(row, col);
  quiet_ = false;
  viewport()->update();
}

void BasalGrid::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    e->accept();
    return;
  }
  const QModelIndex index = indexAt(e->position().toPoint());
  if (!index.isValid() || IsFixed(index.column(), index.row())) {
    e->accept();
    return;
  }
  const QModelIndex before = currentIndex();
  clicking_ = true;
  QTableWidget::mousePressEvent(e);
  clicking_ = false;
  // A click on the current cell selects it again, as a click on any other cell does.
  if (before == index && currentIndex() == index) emit cellSelected(index.column(), index.row());
}

void BasalGrid::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      const QModelIndex index = currentIndex();
      if (index.isValid() && !IsFixed(index.column(), index.row()))
        emit cellSelected(index.column(), index.row());
      e->accept();
      return;
    }
    default:
      QTableWidget::keyPressEvent(e);
  }
}

void BasalGrid::focusInEvent(QFocusEvent* e) {
  // Reached by the keyboard with no current cell: start at the first cell that can be
  // chosen, without choosing it.
  if (!currentIndex().isValid() && fixedCols_ < columnCount() && fixedRows_ < rowCount())
    SetCurrentQuietly(fixedCols_, fixedRows_);
  QTableWidget::focusInEvent(e);
}

void BasalGrid::mouseReleaseEvent(QMouseEvent* e) {
  QTableWidget::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(e->position().toPoint());
  if (index.isValid()) emit cellReleased(index.column(), index.row());
}

void BasalGrid::mouseMoveEvent(QMouseEvent* e) {
  const QModelIndex index = indexAt(e->position().toPoint());
  const QPoint cell = index.isValid() ? QPoint(index.column(), index.row()) : QPoint(-1, -1);
  if (cell != hovered_) {
    hovered_ = cell;
    emit cellHovered(cell.x(), cell.y());
  }
  // No drag selection: a move never changes the current cell.
  e->accept();
}

void BasalGrid::mouseDoubleClickEvent(QMouseEvent* e) {
  e->accept();
  if (e->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(e->position().toPoint());
  if (index.isValid() && !IsFixed(index.column(), index.row()))
    emit leftDoubleClicked(index.column(), index.row());
}

QModelIndex BasalGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
  if (!next.isValid() || IsFixed(next.column(), next.row())) return currentIndex();
  return next;
}
