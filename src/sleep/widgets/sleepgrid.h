#pragma once
// A small owner-drawn cell grid with fixed column widths and row heights, as the sleep
// page draws its slot grid, date header and hour labels. Cells are addressed
// (column, row). The owner gives the texts and paints the cells; the grid does hit
// testing, the current cell and the keyboard.
//
// Only the cells of the active range can become current. The arrow keys (and Home, End,
// Page Up, Page Down) only move the current cell; a click, Space or Enter activates it:
// walking across a night with the keyboard marks nothing. The mouse paints: a press starts
// on a cell, every cell the pointer then passes with the button held is entered in turn
// (none skipped however fast it moves), and the release ends it.

#include <QRect>
#include <QVector>
#include <QWidget>
#include <functional>

class SleepGrid : public QWidget {
  Q_OBJECT

 public:
  // paints (painter, cell rectangle including its right and bottom grid line, col, row)
  using CellPainter = std::function<void(QPainter&, const QRect&, int, int)>;
  using TextSource = std::function<QString(int, int)>;

  SleepGrid(int cols, int rows, QWidget* parent = nullptr);

  int ColumnCount() const { return static_cast<int>(colX_.size()) - 1; }
  int RowCount() const { return static_cast<int>(rowY_.size()) - 1; }
  void SetColumnWidth(int col, int width);
  void SetRowHeight(int row, int height);
  // The cells that can be current and activated: columns and rows of this rectangle.
  // An empty rectangle: none (the grid then takes no focus).
  void SetActiveRange(const QRect& cells);

  void SetCellPainter(CellPainter painter) { painter_ = std::move(painter); }
  void SetTextSource(TextSource source) { text_ = std::move(source); }
  QString Text(int col, int row) const { return text_ ? text_(col, row) : QString(); }

  // The cell rectangle in widget coordinates (empty outside the grid).
  QRect CellRect(int col, int row) const;
  // The cell under a point, (-1, -1) when none.
  QPoint CellAt(const QPoint& pos) const;

  int CurrentColumn() const { return current_.x(); }
  int CurrentRow() const { return current_.y(); }
  // Moves the current cell without telling the owner; (-1, -1) for none.
  void SetCurrent(int col, int row);

  QSize sizeHint() const override;

 signals:
  // Space or Enter on a cell of the active range.
  void cellActivated(int col, int row);
  // The left button went down on a cell of the active range / the pointer, the button
  // held, reached another one / the button was released.
  void paintStarted(int col, int row);
  void paintEntered(int col, int row);
  void paintFinished();
  // The keyboard moved the current cell.
  void currentMoved(int col, int row);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  bool IsActive(int col, int row) const { return active_.contains(QPoint(col, row)); }
  void UpdateCell(const QPoint& cell);
  void FitSize();

  // Left edge of each column and one past the last (size cols + 1); likewise rows.
  QVector<int> colX_;
  QVector<int> rowY_;
  QRect active_;
  QPoint current_{-1, -1};
  bool painting_ = false;
  QPoint paintPos_;   // where the pointer was at the last press or move
  QPoint paintCell_;  // the cell painted last
  CellPainter painter_;
  TextSource text_;
};
