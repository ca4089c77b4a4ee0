#include "nutrition/foodsearch.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVarLengthArray>

namespace {
const QString kIndex = QStringLiteral("food_search");
const QString kPending = QStringLiteral("food_search_pending");
const QString kAdded = QStringLiteral("food_search_added");
const QString kChanged = QStringLiteral("food_search_changed");
const QString kRemoved = QStringLiteral("food_search_removed");

// The pending table's column: the rowid of the food that was added, changed or removed.
const QString kNoted = QStringLiteral("food_rowid");

// More noted foods than this are cheaper to fold all again than one by one.
constexpr int kRebuildAbove = 1000;

bool IsWordCharacter(QChar c) { return c.isLetterOrNumber(); }

// Whether the occurrence of word at position `at` of name stands on its own: no letter
// or digit runs on into it at either end (where the word itself ends in one).
bool WholeAt(QStringView name, qsizetype at, const QString& word) {
  const qsizetype end = at + word.size();
  if (at > 0 && IsWordCharacter(word.front()) && IsWordCharacter(name.at(at - 1))) return false;
  if (end < name.size() && IsWordCharacter(word.back()) && IsWordCharacter(name.at(end)))
    return false;
  return true;
}

bool HoldsWholeWord(QStringView name, const QString& word, Qt::CaseSensitivity cs) {
  for (qsizetype at = name.indexOf(word, 0, cs); at >= 0; at = name.indexOf(word, at + 1, cs))
    if (WholeAt(name, at, word)) return true;
  return false;
}

bool IsAscii(QStringView text) {
  for (const QChar c : text)
    if (c.unicode() >= 0x80) return false;
  return true;
}

bool Run(QSqlDatabase& db, const QString& statement, QString* error) {
  QSqlQuery q(db);
  if (q.exec(statement)) return true;
  if (error) *error = q.lastError().text();
  return false;
}

bool Failed(const QSqlQuery& q, QString* error) {
  if (error) *error = q.lastError().text();
  return false;
}

// Folds the names of every food, or of the foods whose rowids are in `only`, into the
// index, each under its food's rowid.
bool FoldIntoIndex(QSqlDatabase& db, const QList<qint64>* only, QString* error) {
  QSqlQuery insert(db);
  if (!insert.prepare(
          QStringLiteral("INSERT INTO %1 (rowid, Name, NDB_No) VALUES (?, ?, ?)").arg(kIndex)))
    return Failed(insert, error);
  auto add = [&](const QVariant& rowid, const QVariant& number, const QString& name) {
    insert.bindValue(0, rowid);
    insert.bindValue(1, FoldedFoodText(name));
    insert.bindValue(2, number);
    return insert.exec() || Failed(insert, error);
  };
  QSqlQuery read(db);
  read.setForwardOnly(true);
  if (!only) {
    if (!read.exec(QStringLiteral("SELECT rowid, NDB_No, Long_Desc FROM food")))
      return Failed(read, error);
    while (read.next())
      if (!add(read.value(0), read.value(1), read.value(2).toString())) return false;
    return !read.lastError().isValid() || Failed(read, error);
  }
  QSqlQuery remove(db);
  if (!remove.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kIndex)))
    return Failed(remove, error);
  if (!read.prepare(QStringLiteral("SELECT NDB_No, Long_Desc FROM food WHERE rowid = ?")))
    return Failed(read, error);
  for (const qint64 rowid : *only) {
    remove.bindValue(0, rowid);
    read.bindValue(0, rowid);
    if (!remove.exec()) return Failed(remove, error);
    if (!read.exec()) return Failed(read, error);
    // Gone from the food table: its entry is gone now too.
    if (read.next() && !add(rowid, read.value(0), read.value(1).toString())) return false;
    read.finish();
  }
  return true;
}

// Runs body in a transaction of its own: committed when it succeeds, rolled back when not.
template <typename Body>
bool InTransaction(QSqlDatabase& db, QString* error, Body body) {
  if (!db.transaction()) {
    if (error) *error = db.lastError().text();
    return false;
  }
  if (body() && db.commit()) return true;
  if (error && error->isEmpty()) *error = db.lastError().text();
  db.rollback();
  return false;
}
}  // namespace

QString FoldedFoodText(const QString& text) {
  if (IsAscii(text)) return text.toLower();
  QString kept;
  const QString decomposed = text.normalized(QString::NormalizationForm_KD);
  kept.reserve(decomposed.size());
  for (const char32_t c : decomposed.toUcs4()) {
    if (QChar::category(c) == QChar::Mark_NonSpacing) continue;
    if (QChar::requiresSurrogates(c)) {
      kept += QChar(QChar::highSurrogate(c));
      kept += QChar(QChar::lowSurrogate(c));
    } else {
      kept += QChar(char16_t(c));
    }
  }
  // Upper then lower case: the full mapping, so that "ß" meets "SS" and "ss" as well.
  return kept.toUpper().toLower();
}

FoodSearchText::FoodSearchText(const QString& text) {
  text_ = FoldedFoodText(text).simplified();
  words_ = text_.split(u' ', Qt::SkipEmptyParts);
}

int FoodSearchText::Rank(const QString& foldedName) const {
  return RankIn(foldedName, Qt::CaseSensitive);
}

int FoodSearchText::RankOf(const QString& name) const {
  // The words are folded already: an ASCII name compared without case is the name folded.
  if (IsAscii(name)) {
    // Folded into a buffer of its own: a case-sensitive search is several times faster
    // than Qt's case-insensitive one.
    QVarLengthArray<char16_t, 256> lower(name.size());
    const char16_t* from = reinterpret_cast<const char16_t*>(name.utf16());
    for (qsizetype i = 0; i < name.size(); ++i) {
      const char16_t c = from[i];
      lower[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    }
    return RankIn(QStringView(lower.data(), lower.size()), Qt::CaseSensitive);
  }
  return RankIn(FoldedFoodText(name), Qt::CaseSensitive);
}

int FoodSearchText::RankIn(QStringView name, Qt::CaseSensitivity cs) const {
  for (const QString& w : words_)
    if (!name.contains(w, cs)) return -1;
  if (name.startsWith(text_, cs)) return 0;
  for (const QString& w : words_)
    if (!HoldsWholeWord(name, w, cs)) return 2;
  return 1;
}

QString FoodSearchText::MatchExpression() const {
  QStringList phrases;
  for (const QString& w : words_) {
    // Trigrams count characters, not UTF-16 units.
    if (w.toUcs4().size() < 3) continue;
    phrases << u'"' + QString(w).replace(u'"', QStringLiteral("\"\"")) + u'"';
  }
  return phrases.join(QStringLiteral(" AND "));
}

QString FoodSearchTableName() { return kIndex; }

bool HasFoodSearchIndex(const QSqlDatabase& db) {
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE name IN ('%1', '%2', '%3', "
                             "'%4', '%5')")
                  .arg(kIndex, kPending, kAdded, kChanged, kRemoved)))
    return false;
  int found = 0;
  while (q.next()) ++found;
  if (found != 5) return false;
  // An index of an earlier program noted foods by NDB_No: it is made again.
  if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(kPending))) return false;
  while (q.next())
    if (q.value(1).toString() == kNoted) return true;
  return false;
}

bool FoodSearchIndexAgrees(const QSqlDatabase& db) {
  QSqlQuery q(db);
  q.setForwardOnly(true);
  return q.exec(QStringLiteral("SELECT (SELECT count(*) FROM food) = (SELECT count(*) FROM %1) "
                               "AND NOT EXISTS (SELECT 1 FROM food f LEFT JOIN %1 s ON s.rowid "
                               "= f.rowid WHERE s.NDB_No IS NOT f.NDB_No)")
                    .arg(kIndex)) &&
         q.next() && q.value(0).toInt() == 1;
}

bool CreateFoodSearchIndex(QSqlDatabase& db, QString* error) {
  const QStringList statements{
      QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(kAdded),
      QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(kChanged),
      QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(kRemoved),
      QStringLiteral("DROP TABLE IF EXISTS %1").arg(kIndex),
      QStringLiteral("DROP TABLE IF EXISTS %1").arg(kPending),
      // The names are folded before they get here: the tokenizer folds nothing more.
      QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(Name, NDB_No UNINDEXED, "
                     "tokenize = 'trigram case_sensitive 1', columnsize = 0)")
          .arg(kIndex),
      QStringLiteral("CREATE TABLE %1 (%2 INTEGER PRIMARY KEY)").arg(kPending, kNoted),
      QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON food BEGIN "
                     "INSERT OR IGNORE INTO %2 (%3) VALUES (new.rowid); END")
          .arg(kAdded, kPending, kNoted),
      QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE ON food WHEN old.rowid IS NOT new.rowid "
                     "OR old.NDB_No IS NOT new.NDB_No OR old.Long_Desc IS NOT new.Long_Desc "
                     "BEGIN INSERT OR IGNORE INTO %2 (%3) VALUES (old.rowid); "
                     "INSERT OR IGNORE INTO %2 (%3) VALUES (new.rowid); END")
          .arg(kChanged, kPending, kNoted),
      QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON food BEGIN "
                     "INSERT OR IGNORE INTO %2 (%3) VALUES (old.rowid); END")
          .arg(kRemoved, kPending, kNoted)};
  return InTransaction(db, error, [&] {
    for (const QString& s : statements)
      if (!Run(db, s, error)) return false;
    return FoldIntoIndex(db, nullptr, error);
  });
}

int PendingFoodSearchCount(const QSqlDatabase& db) {
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(kPending)) || !q.next()) return -1;
  return q.value(0).toInt();
}

bool UpdateFoodSearchIndex(QSqlDatabase& db, QString* error) {
  QList<qint64> rowids;
  {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM %2").arg(kNoted, kPending))) return Failed(q, error);
    while (q.next()) rowids << q.value(0).toLongLong();
  }
  if (rowids.isEmpty()) return true;
  return InTransaction(db, error, [&] {
    const bool folded = rowids.size() > kRebuildAbove
                            ? Run(db, QStringLiteral("DELETE FROM %1").arg(kIndex), error) &&
                                  FoldIntoIndex(db, nullptr, error)
                            : FoldIntoIndex(db, &rowids, error);
    return folded && Run(db, QStringLiteral("DELETE FROM %1").arg(kPending), error);
  });
}
