#include "nutrition/foodsearch.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
const QString kIndex = QStringLiteral("food_search");
const QString kPending = QStringLiteral("food_search_pending");
const QString kAdded = QStringLiteral("food_search_added");
const QString kChanged = QStringLiteral("food_search_changed");
const QString kRemoved = QStringLiteral("food_search_removed");

// More noted foods than this are cheaper to fold all again than one by one: removing
// one food's entry reads the whole index (NDB_No is not indexed there).
constexpr int kRebuildAbove = 64;

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

// Folds the names of every food, or of the foods numbered in `only`, into the index.
bool FoldIntoIndex(QSqlDatabase& db, const QStringList* only, QString* error) {
  QSqlQuery insert(db);
  if (!insert.prepare(QStringLiteral("INSERT INTO food_search (Name, NDB_No) VALUES (?, ?)"))) {
    if (error) *error = insert.lastError().text();
    return false;
  }
  auto add = [&](const QString& number, const QString& name) {
    insert.bindValue(0, FoldedFoodText(name));
    insert.bindValue(1, number);
    if (insert.exec()) return true;
    if (error) *error = insert.lastError().text();
    return false;
  };
  QSqlQuery read(db);
  read.setForwardOnly(true);
  if (!only) {
    if (!read.exec(QStringLiteral("SELECT NDB_No, Long_Desc FROM food ORDER BY rowid"))) {
      if (error) *error = read.lastError().text();
      return false;
    }
    while (read.next())
      if (!add(read.value(0).toString(), read.value(1).toString())) return false;
    if (read.lastError().isValid()) {
      if (error) *error = read.lastError().text();
      return false;
    }
    return true;
  }
  QSqlQuery remove(db);
  if (!remove.prepare(QStringLiteral("DELETE FROM food_search WHERE NDB_No = ?")) ||
      !read.prepare(QStringLiteral("SELECT Long_Desc FROM food WHERE NDB_No = ?"))) {
    if (error) *error = remove.lastError().text() + read.lastError().text();
    return false;
  }
  for (const QString& number : *only) {
    remove.bindValue(0, number);
    read.bindValue(0, number);
    if (!remove.exec() || !read.exec()) {
      if (error) *error = remove.lastError().isValid() ? remove.lastError().text()
                                                       : read.lastError().text();
      return false;
    }
    // Gone from the food table: its entry is gone now too.
    if (read.next() && !add(number, read.value(0).toString())) return false;
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
  if (IsAscii(name)) return RankIn(name, Qt::CaseInsensitive);
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
  return found == 5;
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
      QStringLiteral("CREATE TABLE %1 (NDB_No TEXT PRIMARY KEY)").arg(kPending),
      QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON food BEGIN "
                     "INSERT OR IGNORE INTO %2 (NDB_No) VALUES (new.NDB_No); END")
          .arg(kAdded, kPending),
      QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF NDB_No, Long_Desc ON food BEGIN "
                     "INSERT OR IGNORE INTO %2 (NDB_No) VALUES (old.NDB_No); "
                     "INSERT OR IGNORE INTO %2 (NDB_No) VALUES (new.NDB_No); END")
          .arg(kChanged, kPending),
      QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON food BEGIN "
                     "INSERT OR IGNORE INTO %2 (NDB_No) VALUES (old.NDB_No); END")
          .arg(kRemoved, kPending)};
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
  QStringList numbers;
  {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT NDB_No FROM %1").arg(kPending))) {
      if (error) *error = q.lastError().text();
      return false;
    }
    while (q.next()) numbers << q.value(0).toString();
  }
  if (numbers.isEmpty()) return true;
  return InTransaction(db, error, [&] {
    const bool folded = numbers.size() > kRebuildAbove
                            ? Run(db, QStringLiteral("DELETE FROM %1").arg(kIndex), error) &&
                                  FoldIntoIndex(db, nullptr, error)
                            : FoldIntoIndex(db, &numbers, error);
    return folded && Run(db, QStringLiteral("DELETE FROM %1").arg(kPending), error);
  });
}
