#pragma once
// Finding foods by the words of their name. Every word of the search text (words are
// what spaces separate) must occur somewhere in the name, in any order, with letter case
// and accents ignored for every script ("eclair" finds "Éclair", "борщ" finds "Борщ").
// Names that begin with the text come first, then those holding every word as a whole
// word, then the rest; within each, the table's order.
//
// The food table carries a full-text index: the SQLite FTS5 table food_search with the
// trigram tokenizer over the folded names (folded here, so that SQLite's own ASCII-only
// folding plays no part), each under its food's rowid, so that a search reads each food
// it finds by one lookup (NDB_No is kept beside the name, to check the two agree).
// Triggers on the food table note the rowid of every food that is added, changed or
// removed in food_search_pending, whoever writes it (this program, an older one, the
// sqlite3 tool); UpdateFoodSearchIndex folds those names into the index. A database
// made before the index (or with the index of an earlier program, which noted NDB_No)
// gets it through CreateFoodSearchIndex, which adds tables and touches no food.
//
// Rowids can change behind the triggers' back (a table dumped and read back, a VACUUM
// of an older SQLite): FoodSearchIndexAgrees tells, and the index is then made again.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The text as the search compares it: compatibility decomposition, combining marks
// dropped, case folded in full ("Crème Brûlée" -> "creme brulee", "ＡＢＣ" -> "abc",
// "Straße" -> "strasse").
QString FoldedFoodText(const QString& text);

// A search text taken apart into its folded words.
class FoodSearchText {
 public:
  explicit FoodSearchText(const QString& text);

  // No words: the text was empty or only spaces.
  bool IsEmpty() const { return words_.isEmpty(); }
  const QStringList& Words() const { return words_; }

  // Where a folded name ranks: 0 when it begins with the text (its words joined by single
  // spaces), 1 when it holds every word as a whole word, 2 when it holds every word
  // somewhere, -1 when a word is missing (not a match).
  int Rank(const QString& foldedName) const;
  // The same for a name as stored, folded here (a name of ASCII letters only is compared
  // without being copied: the search reads hundreds of them).
  int RankOf(const QString& name) const;

  // The FTS5 MATCH expression that narrows the search to names holding the words of
  // three characters or more, each as a quoted phrase (all must match). Empty when no
  // word is that long: the trigram index knows nothing about shorter ones, and every
  // name has to be read.
  QString MatchExpression() const;

 private:
  int RankIn(QStringView name, Qt::CaseSensitivity cs) const;
  QString text_;
  QStringList words_;
};

// "food_search"
QString FoodSearchTableName();

// Whether db holds the whole index of this shape: the FTS5 table, the pending table and
// its triggers.
bool HasFoodSearchIndex(const QSqlDatabase& db);

// Whether the index holds every food under its rowid and nothing else (NDB_No compared;
// nothing may be pending). False too when it cannot be read. Reads the whole index: a
// few milliseconds, asked once and when another connection changed the file.
bool FoodSearchIndexAgrees(const QSqlDatabase& db);

// Makes the index in one transaction: drops what is there of it, creates the tables and
// triggers and folds every food's name into it. The food table is only read. False with
// the engine's message; nothing is changed then.
bool CreateFoodSearchIndex(QSqlDatabase& db, QString* error);

// Folds the names of the foods the triggers noted into the index, in one transaction.
// True at once when none is noted. False with the engine's message; the foods stay
// noted for the next try.
bool UpdateFoodSearchIndex(QSqlDatabase& db, QString* error);

// How many foods wait for UpdateFoodSearchIndex; -1 when that cannot be read.
int PendingFoodSearchCount(const QSqlDatabase& db);
