#pragma once
// A cell grid of the grid store on screen: the model shows the grid's row 0 as the
// column titles and its rows 1.. as the table's rows, and writes edits straight into the
// grid (each keystroke, so that a save at any moment holds what is on screen); the view
// draws every cell on its row colour with the text 2 pixels in from the top-left corner.

#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>
#include <functional>

class CellGrid;

class CellGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  struct Look {
    QColor header;
    QColor oddRow;   // grid rows 1, 3, 5 ...
    QColor evenRow;  // grid rows 2, 4, 6 ...
    bool editable = false;
    // Shown texts are cut to the meal grids' 37 characters and "..."; edits see all.
    bool cutLongTexts = false;
  };

  CellGridModel(CellGrid* grid, int columns, const Look& look, QObject* parent = nullptr);

  // Shows another grid (or the same one after its shape changed).
  void SetGrid(CellGrid* grid);
  CellGrid* Grid() const { return grid_; }
  const Look& Appearance() const { return look_; }
  // The grid changed behind the model's back: every row is read again.
  void Reset();

  // Table row r shows grid row r + 1.
  static int GridRow(const QModelIndex& index) { return index.row() + 1; }
  QModelIndex IndexOf(int col, int gridRow) const { return index(gridRow - 1, col); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 Q_SIGNALS:
  // A cell's text was changed by an edit (col, grid row).
  void cellEdited(int col, int gridRow);

 private:
  CellGrid* grid_;
  int columns_;
  Look look_;
};

class CellGridView : public QTableView {
  Q_OBJECT
 public:
  // widths: the column widths in pixels; rows are 16 pixels high.
  CellGridView(CellGridModel* model, const QList<int>& widths, QWidget* parent = nullptr);

  CellGridModel* GridModel() const { return model_; }
  // Makes the grid's current cell the table's current cell, and the reverse happens on
  // every move of the table's cursor.
  void ShowGridCurrent();
  // Reads the grid again and keeps its current cell.
  void Reload();
  // The width that shows every column without a horizontal scroll bar.
  int FullWidth() const;

 Q_SIGNALS:
  // Enter (or Return) while no cell is being edited, or to finish an edit.
  void enterPressed();
  // A cell editor closed, its text kept.
  void editFinished();
  // The keyboard focus went to a widget outside the grid.
  void focusLeft();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  CellGridModel* model_;
  bool syncing_ = false;
};
