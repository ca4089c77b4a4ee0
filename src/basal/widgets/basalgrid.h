#pragma once
// A text-cell grid drawn by its owner, as the basal page's three grids are: no headers,
// no scroll bars, fixed column and row sizes, cells addressed (column, row). The first
// fixedCols columns and fixedRows rows cannot be selected, by mouse or keyboard. Only the
// left button selects, so a right click for the context menu never changes a cell. The
// arrow keys only move the current cell; a click, Space or Enter selects it.

#include <QTableWidget>
#include <functional>

class BasalGrid : public QTableWidget {
  Q_OBJECT

 public:
  // paints (painter, cell rectangle including its right and bottom grid line, column, row)
  using CellPainter = std::function<void(QPainter&, const QRect&, int, int)>;

  BasalGrid(int cols, int rows, int fixedCols, int fixedRows, QWidget* parent = nullptr);

  void SetCellPainter(CellPainter painter) { painter_ = std::move(painter); }
  void PaintCell(QPainter& p, const QRect& rect, int col, int row) const;

  // Sets a column width / row height and keeps the widget exactly the size of its cells.
  void SetColumnWidth(int col, int width);
  void SetRowHeight(int row, int height);

  QString Text(int col, int row) const;
  void SetText(int col, int row, const QString& text);
  // The cell rectangle in the viewport's coordinates.
  QRect CellRect(int col, int row) const;
  // Moves the current cell without telling the owner (no cellSelected).
  void SetCurrentQuietly(int col, int row);

 signals:
  // The user chose a cell: a left click, or Space / Enter on the current cell.
  void cellSelected(int col, int row);
  // The left mouse button was released over a cell.
  void cellReleased(int col, int row);
  // The mouse moved onto a cell (-1, -1 when it left the cells).
  void cellHovered(int col, int row);
  // A left double click on a cell that can be selected.
  void leftDoubleClicked(int col, int row);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

 private:
  bool IsFixed(int col, int row) const { return col < fixedCols_ || row < fixedRows_; }
  void FitSize();

  int fixedCols_, fixedRows_;
  CellPainter painter_;
  bool quiet_ = false;
  bool clicking_ = false;  // the current cell changes under a left press
  QPoint hovered_{-1, -1};
};
