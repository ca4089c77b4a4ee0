#pragma once
// The user's own food lists: eighteen categories (the meals of the day and kinds of
// food), each a grid of foods with a serving text and its calories, carbohydrate,
// protein and fat, kept in the Food folder as the grid file "Fridge-" + category word +
// ".txt". The food lists window edits them in place, searches them and hands one food,
// scaled by a serving multiplier, to the meal diary.

#include <QBitArray>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>

#include "core/gridfile.h"
#include "core/textutil.h"
#include "nutrition/foodpick.h"

inline constexpr int kFoodListCount = 18;
inline constexpr int kFoodListColumns = 6;  // name, amount, calories, carbs, protein, fat
inline constexpr int kFoodListRows = 25;

struct FoodCategory {
  const char* grid;     // the object name of its grid
  const char* caption;  // its page caption and shelf item
  const char* word;     // its file name and header word
};

// Categories are numbered 1 to 18 in shelf order.
const FoodCategory& FoodCategoryAt(int category);
// The category whose caption is this text, or 0 (the shelf's spacers match none).
int FoodCategoryOfCaption(const QString& caption);
// The shelf's items in order, empty texts standing for the spacers between groups.
const QStringList& ShelfItems();
// word + " foods", "Amount", "Calories", "Carbs g", "Prot g", "Fat g".
QStringList FoodListHeaders(const QString& word);
QString FoodListPath(const QString& foodFolder, int category);

// The pick of a list row with a serving multiplier (one decimal): the name; the calories
// times the servings, the fraction dropped (0 when the cell is not a number); the grams
// times the servings with at most one decimal (texts that are not numbers, and every
// text at one serving, are handed on unchanged).
FoodPick MakeFoodPick(const CellGrid& grid, int row, double servings,
                      const QLocale& locale = AppLocale());

// Adds an empty row at row (at least 2, so a new row never goes above the first food)
// and makes it current; the rows from there on move down.
void InsertListRow(CellGrid& grid, int row);
// Moves the rows below row up one; the last row is left empty and the row count stays.
void DeleteListRow(CellGrid& grid, int row);

class FoodLists {
 public:
  explicit FoodLists(const QString& foodFolder);

  // Reads every list; a missing file gives an empty list. False with the user's
  // messages (one per line) for files that exist but cannot be read; those are never
  // overwritten. Lists opened read-only (far too large, damaged) add their notices,
  // with true, and are never overwritten either.
  bool LoadFoodLists(QString* error = nullptr);
  // Writes every list changed since it was read. False with the messages of those that
  // could not be written (they stay changed).
  bool SaveFoodLists(QString* error = nullptr);

  CellGrid& List(int category);
  const CellGrid& List(int category) const;
  // The window calls this for every edit of a list.
  void MarkChanged(int category);
  bool Changed(int category) const;

  // Every row of every list, in category order, whose name holds the keyword (letter
  // case ignored): a grid headed "Search foods" with the matches from row 1 on, or
  // one empty row when nothing matched. An empty keyword matches nothing.
  CellGrid SearchFoodLists(const QString& keyword) const;

 private:
  QString folder_;
  std::array<CellGrid, kFoodListCount> lists_;
  QBitArray changed_{kFoodListCount};
};
