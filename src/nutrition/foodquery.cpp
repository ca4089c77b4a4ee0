#include "nutrition/foodquery.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

#include "app/database.h"
#include "core/textutil.h"
#include "nutrition/foodgroups.h"
#include "nutrition/foodsearch.h"

namespace {
// What the grid and the serving panel show, and the key: the searches read no more
// (a search of every food reads 7,413 rows, so each column counts).
const FoodField kRead[] = {FoodField::NDB_No,     FoodField::Long_Desc, FoodField::Energ_Kcal,
                           FoodField::Protein,    FoodField::Carbohydrt, FoodField::Lipid_Tot,
                           FoodField::GMWT_1,     FoodField::GMWT_DESC1};

QString ReadColumns(const QString& table = QString()) {
  QStringList names;
  for (FoodField f : kRead)
    names << (table.isEmpty() ? FoodColumnName(f) : table + u'.' + FoodColumnName(f));
  return names.join(u", ");
}

// kRead's place of the description.
constexpr int kReadName = 1;

// A food found by a keyword, with what orders the results.
struct Found {
  int rank;
  qint64 rowid;
  int record;  // its place among the records read
};
}  // namespace

FoodRecord OwnFoodRecord(const OwnFood& food) {
  FoodRecord r;
  r[FoodField::FdGrp_Cd] = FoodGroupCode(food.groupPosition);
  r[FoodField::Long_Desc] = food.name;
  r[FoodField::GMWT_DESC1] = food.serving;
  r[FoodField::GMWT_1] = QString::number(food.weight);
  r[FoodField::Energ_Kcal] = QString::number(food.calories);
  r[FoodField::Carbohydrt] = QString::number(food.carbs);
  r[FoodField::Lipid_Tot] = QString::number(food.fat);
  r[FoodField::Protein] = QString::number(food.protein);
  return r;
}

FoodField FoodQuery::ColumnField(int column) {
  switch (column) {
    case NameColumn: return FoodField::Long_Desc;
    case CaloriesColumn: return FoodField::Energ_Kcal;
    case CarbsColumn: return FoodField::Carbohydrt;
    case ProteinColumn: return FoodField::Protein;
    default: return FoodField::Lipid_Tot;
  }
}

FoodQuery::FoodQuery(QObject* parent) : FoodQuery(AppDatabase(), parent) {}

FoodQuery::FoodQuery(const QSqlDatabase& db, QObject* parent)
    : QAbstractTableModel(parent), db_(db) {}

bool FoodQuery::SearchByKeyword(const QString& keyword) {
  const FoodSearchText text(keyword);
  usedIndex_ = false;
  if (text.IsEmpty()) return Fill(QStringLiteral("1"), {});
  if (IsEditing() && !Post()) return false;
  error_.clear();
  if (!db_.isOpen()) {
    error_ = DatabaseOpenError();
    if (error_.isEmpty()) error_ = DatabaseReadMessage(db_.lastError());
    Show({});
    return false;
  }
  QVector<FoodRecord> found;
  QSqlError failure;
  // The index narrows the search to the names that can match; without it (or when it
  // fails) every name is read, with the same result.
  const bool indexed = !text.MatchExpression().isEmpty() && SearchIndexReady() &&
                       FindFoods(text, true, &found, &failure);
  // An index that failed is looked for again at the next search.
  if (!indexed) indexFound_ = false;
  bool ok = indexed || FindFoods(text, false, &found, &failure);
  usedIndex_ = indexed;
  if (!ok) {
    error_ = DatabaseReadMessage(failure);
    found.clear();
  }
  Show(std::move(found));
  return ok;
}

bool FoodQuery::SearchIndexReady() {
  if (indexFailed_) return false;
  const bool writable = WriteRefusal().isEmpty();
  if (!indexFound_) {
    if (!HasFoodSearchIndex(db_)) {
      // A database made before the index: it gets one, once. Nothing of hers is touched.
      if (!writable || !CreateFoodSearchIndex(db_, nullptr)) {
        indexFailed_ = writable;
        return false;
      }
    }
    checkedVersion_ = -1;
  }
  indexFound_ = true;
  const int pending = PendingFoodSearchCount(db_);
  if (pending < 0 || (pending > 0 && (!writable || !UpdateFoodSearchIndex(db_, nullptr))))
    return false;
  // The index is checked against the food table once, and again whenever another
  // connection (another program) changed the file.
  const qint64 version = DataVersion();
  if (version >= 0 && version == checkedVersion_) return true;
  if (!FoodSearchIndexAgrees(db_)) {
    if (!writable || !CreateFoodSearchIndex(db_, nullptr) || !FoodSearchIndexAgrees(db_)) {
      indexFailed_ = writable;
      return false;
    }
  }
  checkedVersion_ = version;
  return true;
}

qint64 FoodQuery::DataVersion() const {
  QSqlQuery q(db_);
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("PRAGMA data_version")) || !q.next()) return -1;
  return q.value(0).toLongLong();
}

bool FoodQuery::FindFoods(const FoodSearchText& text, bool useIndex, QVector<FoodRecord>* rows,
                          QSqlError* error) const {
  QSqlQuery q(db_);
  q.setForwardOnly(true);
  bool ok;
  if (useIndex) {
    ok = q.prepare(QStringLiteral("SELECT f.rowid, %1 FROM %2 JOIN food f ON f.rowid = %2.rowid "
                                  "WHERE %2 MATCH ?")
                       .arg(ReadColumns(QStringLiteral("f")), FoodSearchTableName()));
    q.bindValue(0, text.MatchExpression());
  } else {
    ok = q.prepare(QStringLiteral("SELECT rowid, %1 FROM food").arg(ReadColumns()));
  }
  ok = ok && q.exec();
  QVector<FoodRecord> records;
  QVector<Found> found;
  records.reserve(256);
  found.reserve(256);
  while (ok && q.next()) {
    QString name = q.value(1 + kReadName).toString();
    const int rank = text.RankOf(name);
    if (rank < 0) continue;
    found.append({rank, q.value(0).toLongLong(), int(records.size())});
    FoodRecord& r = records.emplace_back();
    int column = 1;
    for (FoodField field : kRead) {
      if (field == FoodField::Long_Desc)
        r[field] = std::move(name);
      else
        r[field] = q.value(column).toString();
      ++column;
    }
  }
  if (ok && q.lastError().isValid()) ok = false;
  if (!ok) {
    *error = q.lastError();
    return false;
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return a.rank != b.rank ? a.rank < b.rank : a.rowid < b.rowid;
  });
  rows->clear();
  rows->reserve(found.size());
  for (const Found& f : found) rows->append(std::move(records[f.record]));
  return true;
}

bool FoodQuery::SearchByGroup(const QString& code) {
  return Fill(QStringLiteral("FdGrp_Cd = ?"), {code});
}

void FoodQuery::Clear() {
  beginResetModel();
  rows_.clear();
  editRow_ = -1;
  endResetModel();
}

bool FoodQuery::Fill(const QString& where, const QStringList& values) {
  if (IsEditing() && !Post()) return false;
  error_.clear();
  QVector<FoodRecord> found;
  bool ok = db_.isOpen();
  if (!ok) {
    error_ = DatabaseOpenError();
    if (error_.isEmpty()) error_ = DatabaseReadMessage(db_.lastError());
  } else {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    ok = q.prepare(QStringLiteral("SELECT %1 FROM food WHERE %2").arg(ReadColumns(), where));
    for (int i = 0; ok && i < values.size(); ++i) q.bindValue(i, values[i]);
    ok = ok && q.exec();
    if (ok) {
      while (q.next()) {
        FoodRecord r;
        int column = 0;
        for (FoodField f : kRead) r[f] = q.value(column++).toString();
        found.append(std::move(r));
      }
      ok = !q.lastError().isValid();
    }
    if (!ok) {
      error_ = DatabaseReadMessage(q.lastError());
      found.clear();
    }
  }
  Show(std::move(found));
  return ok;
}

void FoodQuery::Show(QVector<FoodRecord> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  editRow_ = -1;
  endResetModel();
}

QString FoodQuery::WriteRefusal() const { return DatabaseWriteRefusal(db_); }

void FoodQuery::AfterWrite() {
  // The triggers noted the food; folded into the index now, the next search needs no
  // write. When this fails the next search tries again, or reads every name.
  if (HasFoodSearchIndex(db_)) UpdateFoodSearchIndex(db_, nullptr);
}

int FoodQuery::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(rows_.size());
}

int FoodQuery::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

FoodRecord FoodQuery::Record(int row) const {
  if (row < 0 || row >= rows_.size()) return {};
  return row == editRow_ ? edited_ : rows_[row];
}

QVariant FoodQuery::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_.size()) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  const FoodRecord& r = index.row() == editRow_ ? edited_ : rows_[index.row()];
  const QString& text = r[ColumnField(index.column())];
  // Shown to one decimal, the precision of the table's figures per 100 g; the stored
  // hundredths of a serving stay as they are, and the editor gets them whole.
  if (role == Qt::DisplayRole && index.column() != NameColumn) {
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok) return AppLocale().toString(v, 'f', 1);
  }
  return text;
}

QVariant FoodQuery::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return QAbstractTableModel::headerData(section, orientation, role);
  if (role == Qt::TextAlignmentRole && section == CaloriesColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  switch (section) {
    case NameColumn: return QStringLiteral("Food Name");
    case CaloriesColumn: return QStringLiteral("Calories");
    case CarbsColumn: return QStringLiteral("Carbs g");
    case ProteinColumn: return QStringLiteral("Protein g");
    case FatColumn: return QStringLiteral("Fat g");
    default: return {};
  }
}

Qt::ItemFlags FoodQuery::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // A database that takes no writes offers no cell editor that could only fail.
  if (!WriteRefusal().isEmpty()) return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool FoodQuery::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.row() >= rows_.size()) return false;
  const int row = index.row();
  if (editRow_ >= 0 && editRow_ != row && !Post()) return false;
  const QString text = value.toString();
  const FoodField field = ColumnField(index.column());
  if (editRow_ < 0) {
    if (rows_[row][field] == text) return true;
    editRow_ = row;
    edited_ = rows_[row];
  }
  edited_[field] = text;
  emit dataChanged(index, index);
  return true;
}

bool FoodQuery::Post() {
  if (editRow_ < 0) return true;
  error_ = WriteRefusal();
  if (!error_.isEmpty()) return false;
  // The grid edits its five columns; the others are left as the table holds them.
  QStringList sets;
  for (int c = 0; c < ColumnCount; ++c) sets << FoodColumnName(ColumnField(c)) + QStringLiteral(" = ?");
  QSqlQuery q(db_);
  bool ok = q.prepare(QStringLiteral("UPDATE food SET %1 WHERE NDB_No = ?").arg(sets.join(u", ")));
  for (int c = 0; ok && c < ColumnCount; ++c) q.bindValue(c, edited_[ColumnField(c)]);
  if (ok) q.bindValue(int(ColumnCount), rows_[editRow_][FoodField::NDB_No]);
  ok = ok && q.exec();
  if (!ok) {
    error_ = DatabaseWriteMessage(q.lastError());
    return false;
  }
  if (q.numRowsAffected() != 1) {
    error_ = DatabaseWriteMessage(QSqlError(
        QString(), QStringLiteral("The food %1 is no longer in the table.")
                       .arg(rows_[editRow_][FoodField::NDB_No])));
    return false;
  }
  rows_[editRow_] = edited_;
  editRow_ = -1;
  AfterWrite();
  return true;
}

void FoodQuery::Cancel() {
  if (editRow_ < 0) return;
  const int row = editRow_;
  editRow_ = -1;
  emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

bool FoodQuery::RemoveFood(int row) {
  if (row < 0 || row >= rows_.size()) return false;
  error_ = WriteRefusal();
  if (!error_.isEmpty()) return false;
  QSqlQuery q(db_);
  bool ok = q.prepare(QStringLiteral("DELETE FROM food WHERE NDB_No = ?"));
  q.bindValue(0, rows_[row][FoodField::NDB_No]);
  ok = ok && q.exec();
  if (!ok) {
    error_ = DatabaseWriteMessage(q.lastError());
    return false;
  }
  beginRemoveRows(QModelIndex(), row, row);
  rows_.remove(row);
  if (editRow_ == row)
    editRow_ = -1;
  else if (editRow_ > row)
    --editRow_;
  endRemoveRows();
  AfterWrite();
  return true;
}

QString FoodQuery::NextOwnFoodNumber() {
  error_.clear();
  QSqlQuery q(db_);
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT NDB_No FROM food WHERE NDB_No LIKE 'F%'"))) {
    error_ = DatabaseReadMessage(q.lastError());
    return QString();
  }
  qint64 highest = 0;
  while (q.next()) {
    bool ok = false;
    const qint64 n = q.value(0).toString().mid(1).toLongLong(&ok);
    if (ok && n > highest) highest = n;
  }
  return QStringLiteral("F") + QString::number(highest + 1);
}

bool FoodQuery::AddFood(FoodRecord food, int* row) {
  if (IsEditing() && !Post()) return false;
  error_ = WriteRefusal();
  if (!error_.isEmpty()) return false;
  const QString number = NextOwnFoodNumber();
  if (number.isEmpty()) return false;
  food[FoodField::NDB_No] = number;
  QStringList marks;
  for (int f = 0; f < kFoodFieldCount; ++f) marks << QStringLiteral("?");
  QSqlQuery q(db_);
  bool ok = q.prepare(QStringLiteral("INSERT INTO food (%1) VALUES (%2)")
                          .arg(FoodColumnNames().join(u", "), marks.join(u", ")));
  for (int f = 0; ok && f < kFoodFieldCount; ++f) q.bindValue(f, food.values[f]);
  ok = ok && q.exec();
  if (!ok) {
    error_ = DatabaseWriteMessage(q.lastError());
    return false;
  }
  const int at = int(rows_.size());
  beginInsertRows(QModelIndex(), at, at);
  rows_.append(food);
  endInsertRows();
  if (row) *row = at;
  AfterWrite();
  return true;
}
