#include "trackers/pressuretablemodel.h"

#include <QColor>

PressureTableModel::PressureTableModel(PressureReadings* readings, QObject* parent)
    : QAbstractTableModel(parent), readings_(readings) {}

int PressureTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : readings_->Grid().RowCount() - 1;
}

int PressureTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : readings_->Grid().ColCount();
}

QVariant PressureTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + 1;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return readings_->Grid().Cell(index.column(), row).trimmed();
    case Qt::BackgroundRole:
      // A value the graph cannot draw is marked, never silently left out.
      if (!PressureCellProblem(index.column(), readings_->Grid().Cell(index.column(), row)).isEmpty())
        return QColor(255, 214, 214);
      return row % 2 == 1 ? QColor(244, 250, 253) : QColor(Qt::white);
    case Qt::ToolTipRole: {
      const QString problem =
          PressureCellProblem(index.column(), readings_->Grid().Cell(index.column(), row));
      return problem.isEmpty() ? QVariant() : QVariant(problem);
    }
    default:
      return {};
  }
}

bool PressureTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const int row = index.row() + 1;
  QString text = value.toString();
  // A cell is one line of its file.
  for (QChar& c : text)
    if (c == u'\n' || c == u'\r') c = u' ';
  CellGrid& grid = readings_->Grid();
  if (text == grid.Cell(index.column(), row).trimmed()) return true;  // nothing typed
  // "120/80" (or "120/80/72") typed as systolic is the whole reading: it is split over
  // its cells, unless that would type over a different value already there (the cell
  // then keeps the text and is marked as no reading).
  if (index.column() == kBpSystolic) {
    if (const std::optional<TypedReading> r = SplitTypedReading(text)) {
      auto fits = [&](int col, const QString& value) {
        const QString there = grid.Cell(col, row).trimmed();
        return value.isEmpty() || there.isEmpty() || there == value;
      };
      if (fits(kBpDiastolic, r->diastolic) && fits(kBpPulse, r->pulse)) {
        grid.SetCell(kBpSystolic, row, r->systolic);
        grid.SetCell(kBpDiastolic, row, r->diastolic);
        if (!r->pulse.isEmpty()) grid.SetCell(kBpPulse, row, r->pulse);
        Q_EMIT dataChanged(index, this->index(index.row(), kBpPulse),
                           {Qt::DisplayRole, Qt::EditRole, Qt::BackgroundRole, Qt::ToolTipRole});
        Q_EMIT changed();
        return true;
      }
    }
  }
  grid.SetCell(index.column(), row, text);
  Q_EMIT dataChanged(index, index,
                     {Qt::DisplayRole, Qt::EditRole, Qt::BackgroundRole, Qt::ToolTipRole});
  Q_EMIT changed();
  return true;
}

QVariant PressureTableModel::headerData(int section, Qt::Orientation orientation,
                                        int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Horizontal) return readings_->Grid().Cell(section, 0).trimmed();
  return section + 1;
}

Qt::ItemFlags PressureTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void PressureTableModel::Reload() {
  beginResetModel();
  endResetModel();
}

void PressureTableModel::AddReading(const QDate& date, const QDateTime& when) {
  beginInsertRows(QModelIndex(), 0, 0);
  readings_->AddReading(date, when);
  endInsertRows();
  Q_EMIT changed();
}

void PressureTableModel::DeleteReading(int tableRow) {
  if (tableRow < 0 || tableRow >= rowCount()) return;
  if (rowCount() > 1) {
    beginRemoveRows(QModelIndex(), tableRow, tableRow);
    readings_->DeleteReading(tableRow + 1);
    endRemoveRows();
  } else {
    readings_->DeleteReading(tableRow + 1);
    Q_EMIT dataChanged(index(tableRow, 0), index(tableRow, columnCount() - 1));
  }
  Q_EMIT changed();
}
