#pragma once
// The food window's query over the food table: the foods found by a word of their
// description or by food group, as the rows of the result grid, editable in place and
// written back to the table; foods of one's own added; foods deleted.
//
// Every statement takes the user's text through bound parameters. A keyword is matched
// literally: a double quote, "%", "_" or a backslash in it stands for itself. The keyword
// search goes through the full-text index of foodsearch.h, made for a database that lacks
// it and kept up to date with every food added, edited or removed here; where the index
// cannot be made or brought up to date (a damaged or read-only file) or fails, every name
// is read instead, with the same result. A connection that refuses writes
// (DatabaseWriteRefusal) gets no write tried.

#include <QAbstractTableModel>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include "nutrition/foodtable.h"

class FoodSearchText;

// A food of one's own as the add-food dialog gives it: the numbers are whole, the
// energy and nutrients those of one serving.
struct OwnFood {
  QString name;
  int groupPosition = 0;  // in the food group list
  QString serving;        // "1 Cup"
  int weight = 1;         // grams of one serving
  int calories = 1, carbs = 1, protein = 1, fat = 1;
};
// Its table record (NDB_No left empty: AddFood numbers it).
FoodRecord OwnFoodRecord(const OwnFood& food);

class FoodQuery : public QAbstractTableModel {
  Q_OBJECT
 public:
  // The result grid's columns.
  enum Column { NameColumn, CaloriesColumn, CarbsColumn, ProteinColumn, FatColumn, ColumnCount };
  static FoodField ColumnField(int column);

  // Over the food table of db (the program's connection when not given).
  explicit FoodQuery(QObject* parent = nullptr);
  FoodQuery(const QSqlDatabase& db, QObject* parent = nullptr);

  // The foods whose description holds every word of the keyword, letter case and accents
  // ignored: those that begin with the keyword first, then those holding every word as a
  // whole word, then the rest, each in the table's order (FoodSearchText). A keyword
  // without words finds every food, in the table's order. Pending edits are posted first;
  // on failure the results are emptied and false returns with errorString().
  bool SearchByKeyword(const QString& keyword);
  // Whether the last keyword search went through the full-text index (false when it had
  // to read every name).
  bool UsedSearchIndex() const { return usedIndex_; }
  // The foods of one group code ("0100" ...).
  bool SearchByGroup(const QString& code);
  void Clear();
  QString errorString() const { return error_; }

  // QAbstractTableModel
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Changes a cell of one row. The change is held until Post(); a change to another row
  // posts the held one first (false when that fails).
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // The row's record as shown (a held change included). A search reads the fields the
  // grid and the serving panel show and the key; FdGrp_Cd, Sugar_Tot and Cholestrl stay
  // empty here (a food added here keeps all of its fields).
  FoodRecord Record(int row) const;
  QString Field(int row, FoodField field) const { return Record(row)[field]; }

  // Empty when the database takes writes; otherwise the message that refuses them (a
  // damaged or read-only file). The writes below check it first.
  QString WriteRefusal() const;

  // Whether a row holds a change not written yet, and which.
  bool IsEditing() const { return editRow_ >= 0; }
  int EditRow() const { return editRow_; }
  // Writes the held change to the table. False with errorString(); the change stays held.
  bool Post();
  // Drops the held change.
  void Cancel();

  // Deletes the food of a row from the table and the results. False with errorString().
  bool RemoveFood(int row);

  // The NDB_No for a new food of one's own: "F" and one more than the highest number
  // after "F" in the table ("F1" for the first). Empty with errorString() on failure.
  QString NextOwnFoodNumber();
  // Stores a food of one's own under NextOwnFoodNumber() (whatever NDB_No it holds) and
  // appends it to the results; *row gets its row. False with errorString().
  bool AddFood(FoodRecord food, int* row = nullptr);

 private:
  bool Fill(const QString& where, const QStringList& values);
  void Show(QVector<FoodRecord> rows);
  bool SearchIndexReady();
  // SQLite's count of changes made to the file by other connections; -1 unread.
  qint64 DataVersion() const;
  bool FindFoods(const FoodSearchText& text, bool useIndex, QVector<FoodRecord>* found,
                 QSqlError* error) const;
  void AfterWrite();
  QSqlDatabase db_;
  bool indexFailed_ = false;
  bool indexFound_ = false;
  bool usedIndex_ = false;
  qint64 checkedVersion_ = -1;  // the data version the index was last checked at
  QVector<FoodRecord> rows_;
  int editRow_ = -1;
  FoodRecord edited_;
  QString error_;
};
