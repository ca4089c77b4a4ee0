#include "sleep/widgets/sleepgrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <algorithm>

SleepGrid::SleepGrid(int cols, int rows, QWidget* parent) : QWidget(parent) {
  cols = std::max(cols, 1);
  rows = std::max(rows, 1);
  colX_.resize(cols + 1);
  rowY_.resize(rows + 1);
  for (int c = 0; c <= cols; ++c) colX_[c] = c * 18;
  for (int r = 0; r <= rows; ++r) rowY_[r] = r * 8;
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  FitSize();
}

void SleepGrid::SetColumnWidth(int col, int width) {
  if (col < 0 || col >= ColumnCount()) return;
  const int delta = std::max(width, 0) - (colX_[col + 1] - colX_[col]);
  for (int c = col + 1; c < colX_.size(); ++c) colX_[c] += delta;
  FitSize();
}

void SleepGrid::SetRowHeight(int row, int height) {
  if (row < 0 || row >= RowCount()) return;
  const int delta = std::max(height, 0) - (rowY_[row + 1] - rowY_[row]);
  for (int r = row + 1; r < rowY_.size(); ++r) rowY_[r] += delta;
  FitSize();
}

void SleepGrid::SetActiveRange(const QRect& cells) {
  active_ = cells;
  setFocusPolicy(cells.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
  if (!IsActive(current_.x(), current_.y())) current_ = QPoint(-1, -1);
}

void SleepGrid::FitSize() { setFixedSize(colX_.back(), rowY_.back()); }

QSize SleepGrid::sizeHint() const { return QSize(colX_.back(), rowY_.back()); }

QRect SleepGrid::CellRect(int col, int row) const {
  if (col < 0 || row < 0 || col >= ColumnCount() || row >= RowCount()) return {};
  return QRect(colX_[col], rowY_[row], colX_[col + 1] - colX_[col], rowY_[row + 1] - rowY_[row]);
}

QPoint SleepGrid::CellAt(const QPoint& pos) const {
  // upper_bound finds the first edge right of the point; zero-width columns are skipped.
  const auto cx = std::upper_bound(colX_.begin(), colX_.end(), pos.x());
  const auto ry = std::upper_bound(rowY_.begin(), rowY_.end(), pos.y());
  if (cx == colX_.begin() || cx == colX_.end() || ry == rowY_.begin() || ry == rowY_.end())
    return {-1, -1};
  return {static_cast<int>(cx - colX_.begin()) - 1, static_cast<int>(ry - rowY_.begin()) - 1};
}

void SleepGrid::SetCurrent(int col, int row) {
  const QPoint next = IsActive(col, row) ? QPoint(col, row) : QPoint(-1, -1);
  if (next == current_) return;
  UpdateCell(current_);
  current_ = next;
  UpdateCell(current_);
}

void SleepGrid::UpdateCell(const QPoint& cell) {
  const QRect r = CellRect(cell.x(), cell.y());
  if (!r.isEmpty()) update(r.adjusted(-1, -1, 1, 1));
}

void SleepGrid::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  const QRect area = e->rect();
  p.fillRect(area, Qt::white);
  if (!painter_) return;
  // Only the cells the repaint touches: a toggled slot repaints one column's worth.
  const int c0 = std::max(0, CellAt(QPoint(area.left(), 0)).x());
  int c1 = CellAt(QPoint(area.right(), 0)).x();
  if (c1 < 0) c1 = ColumnCount() - 1;
  const int r0 = std::max(0, CellAt(QPoint(0, area.top())).y());
  int r1 = CellAt(QPoint(0, area.bottom())).y();
  if (r1 < 0) r1 = RowCount() - 1;
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      const QRect rect = CellRect(c, r);
      if (rect.width() <= 0 || rect.height() <= 0) continue;
      p.save();
      painter_(p, rect, c, r);
      p.restore();
    }
  }
  if (hasFocus() && current_.x() >= 0) {
    const QRect cur = CellRect(current_.x(), current_.y()).adjusted(0, 0, -2, -2);
    QPen pen(Qt::black, 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(cur);
  }
}

void SleepGrid::mousePressEvent(QMouseEvent* e) {
  e->accept();
  if (e->button() != Qt::LeftButton) return;
  const QPoint cell = CellAt(e->position().toPoint());
  if (!IsActive(cell.x(), cell.y())) return;
  SetCurrent(cell.x(), cell.y());
  painting_ = true;
  paintPos_ = e->position().toPoint();
  paintCell_ = cell;
  emit paintStarted(cell.x(), cell.y());
}

void SleepGrid::mouseMoveEvent(QMouseEvent* e) {
  e->accept();
  if (!painting_ || !(e->buttons() & Qt::LeftButton)) return;
  const QPoint to = e->position().toPoint();
  // Every cell on the way, one pixel at a time: a quick stroke skips no slot.
  const QPoint d = to - paintPos_;
  const int steps = std::max(std::abs(d.x()), std::abs(d.y()));
  for (int i = 1; i <= steps && painting_; ++i) {
    const QPoint at(paintPos_.x() + d.x() * i / steps, paintPos_.y() + d.y() * i / steps);
    const QPoint cell = CellAt(at);
    if (cell == paintCell_ || !IsActive(cell.x(), cell.y())) continue;
    paintCell_ = cell;
    SetCurrent(cell.x(), cell.y());
    emit paintEntered(cell.x(), cell.y());
  }
  paintPos_ = to;
}

void SleepGrid::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  if (e->button() != Qt::LeftButton || !painting_) return;
  painting_ = false;
  emit paintFinished();
}

void SleepGrid::keyPressEvent(QKeyEvent* e) {
  if (active_.isEmpty()) {
    QWidget::keyPressEvent(e);
    return;
  }
  QPoint next = current_.x() < 0 ? active_.topLeft() : current_;
  switch (e->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (current_.x() < 0) SetCurrent(next.x(), next.y());
      emit cellActivated(current_.x(), current_.y());
      return;
    case Qt::Key_Left:
      if (current_.x() >= 0) next.rx() -= 1;
      break;
    case Qt::Key_Right:
      if (current_.x() >= 0) next.rx() += 1;
      break;
    case Qt::Key_Up:
      if (current_.x() >= 0) next.ry() -= 1;
      break;
    case Qt::Key_Down:
      if (current_.x() >= 0) next.ry() += 1;
      break;
    case Qt::Key_Home:
      next.setY(active_.top());
      break;
    case Qt::Key_End:
      next.setY(active_.bottom());
      break;
    case Qt::Key_PageUp:
      next.ry() -= 8;
      break;
    case Qt::Key_PageDown:
      next.ry() += 8;
      break;
    default:
      QWidget::keyPressEvent(e);
      return;
  }
  next.setX(std::clamp(next.x(), active_.left(), active_.right()));
  next.setY(std::clamp(next.y(), active_.top(), active_.bottom()));
  if (next != current_) {
    SetCurrent(next.x(), next.y());
    emit currentMoved(current_.x(), current_.y());
  }
  e->accept();
}

void SleepGrid::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  UpdateCell(current_);
}

void SleepGrid::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  // A box that came up under the stroke takes its release: the stroke ends here.
  if (painting_ && e->reason() != Qt::MouseFocusReason) {
    painting_ = false;
    emit paintFinished();
  }
  UpdateCell(current_);
}
