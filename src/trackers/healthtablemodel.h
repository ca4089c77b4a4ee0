#pragma once
// One health table edited in place: Qt's SQL table model over the whole table, with the
// grid's column titles, writing a row when the user leaves it. A new row left without
// any text is dropped instead of stored as an empty record. Over a database opened
// read-only (damaged, or a file that cannot be written) the rows are shown but offer no
// editor, and an insert or delete is refused with the message that says why.

#include <QSqlTableModel>

#include "trackers/healthtables.h"

class HealthTableModel : public QSqlTableModel {
  Q_OBJECT
 public:
  HealthTableModel(const HealthTable& table, const QSqlDatabase& db, QObject* parent = nullptr);

  const HealthTable& Table() const { return table_; }
  // The model column of the row id, hidden in the grid.
  int RowIdColumn() const { return 0; }

  // Reads the whole table. False with the user's message in errorString().
  bool Open();

  // Writes the row being edited (a new row without text is dropped). False with the
  // user's message; the row then stays as it is, unwritten.
  bool Post();
  // The grid's own call when a cell editor closes: writes a changed row, keeps a new row
  // without text (Post decides about it when the row is left).
  bool submit() override;

  // Posts the row being edited, then adds an empty row at the end; its row, or -1.
  int InsertNew();
  // Whether the row is new and not written yet.
  bool IsNew(int row) const;
  // Deletes the row from the table (a new row is just dropped) and reads the table again.
  bool DeleteRecord(int row);

  QString errorString() const { return error_; }

  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  bool OnlyUntouchedNewRow() const;
  HealthTable table_;
  QString error_;
  bool dropping_ = false;
};
