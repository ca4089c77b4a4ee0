#pragma once
// The readings table as an item model over the log's grid: grid row 0 is the header,
// grid row r is table row r - 1. Cells show and edit their text without surrounding
// spaces; every change is announced through changed(), so the view knows what is not
// written yet.

#include <QAbstractTableModel>
#include <QDate>
#include <QDateTime>

#include "trackers/pressurereadings.h"

class PressureTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit PressureTableModel(PressureReadings* readings, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The log was opened again: the whole table changes.
  void Reload();
  // A new reading in the first row; the others move down.
  void AddReading(const QDate& date, const QDateTime& when);
  // Removes the reading of a table row (the only row is emptied instead).
  void DeleteReading(int tableRow);

 Q_SIGNALS:
  void changed();

 private:
  PressureReadings* readings_;
};
