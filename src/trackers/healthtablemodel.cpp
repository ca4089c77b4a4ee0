#include "trackers/healthtablemodel.h"

#include <QSqlError>
#include <QSqlRecord>

#include "app/database.h"

HealthTableModel::HealthTableModel(const HealthTable& table, const QSqlDatabase& db,
                                   QObject* parent)
    : QSqlTableModel(parent, db), table_(table) {
  setEditStrategy(QSqlTableModel::OnRowChange);
}

bool HealthTableModel::Open() {
  error_.clear();
  setTable(table_.name);
  for (int i = 0; i < table_.columns.size(); ++i)
    setHeaderData(i + 1, Qt::Horizontal, table_.columns[i].title);
  if (!select()) {
    error_ = DatabaseReadMessage(lastError());
    return false;
  }
  // The whole table, not the first batch of rows only: the grid shows every record.
  while (canFetchMore()) fetchMore();
  return true;
}

bool HealthTableModel::IsNew(int row) const {
  return isDirty() && row >= 0 && row < rowCount() && headerData(row, Qt::Vertical).toString() == QLatin1String("*");
}

bool HealthTableModel::OnlyUntouchedNewRow() const {
  // OnRowChange holds at most one changed row; find it.
  for (int row = rowCount() - 1; row >= 0; --row) {
    if (!isDirty(index(row, 0))) continue;
    if (!IsNew(row)) return false;
    const QSqlRecord r = record(row);
    for (int c = 1; c < r.count(); ++c)
      if (!r.value(c).toString().trimmed().isEmpty()) return false;
    return true;
  }
  return false;
}

Qt::ItemFlags HealthTableModel::flags(const QModelIndex& index) const {
  const Qt::ItemFlags flags = QSqlTableModel::flags(index);
  return DatabaseWriteRefusal(database()).isEmpty() ? flags : flags & ~Qt::ItemIsEditable;
}

bool HealthTableModel::submit() {
  error_.clear();
  // A new row without text is never stored. The grid calls this when its cell editor
  // closes in any row, so the row is kept here; Post drops it when the user leaves it.
  if (dropping_ || !isDirty() || OnlyUntouchedNewRow()) return true;
  if (QSqlTableModel::submit()) return true;
  error_ = DatabaseWriteMessage(lastError());
  return false;
}

bool HealthTableModel::Post() {
  // Dropping a new row closes its cell editor, which moves the focus, which posts again:
  // that second call must leave the model alone.
  if (dropping_) return true;
  if (OnlyUntouchedNewRow()) {
    dropping_ = true;
    revertAll();
    dropping_ = false;
    return true;
  }
  return submit();
}

int HealthTableModel::InsertNew() {
  error_ = DatabaseWriteRefusal(database());
  if (!error_.isEmpty()) return -1;
  if (!Post()) return -1;
  const int row = rowCount();
  if (!insertRow(row)) {
    error_ = DatabaseWriteMessage(lastError());
    return -1;
  }
  return row;
}

bool HealthTableModel::DeleteRecord(int row) {
  error_.clear();
  if (row < 0 || row >= rowCount()) return false;
  if (IsNew(row)) {
    dropping_ = true;
    revertRow(row);
    dropping_ = false;
    return true;
  }
  error_ = DatabaseWriteRefusal(database());
  if (!error_.isEmpty()) return false;
  // A change held in another row is written first; one held in this row goes with it.
  if (isDirty() && !isDirty(index(row, 0)) && !Post()) return false;
  revertRow(row);
  if (!removeRow(row)) {
    error_ = DatabaseWriteMessage(lastError());
    revertRow(row);
    return false;
  }
  // The model keeps a blank line for a deleted row until it reads the table again.
  return Open();
}
