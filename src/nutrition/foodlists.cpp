#include "nutrition/foodlists.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

#include "core/textfile.h"

namespace {

constexpr FoodCategory kCategories[kFoodListCount] = {
    {"Breakfast_Chart", "Breakfast", "Breakfast"},
    {"Lunch_Chart", "Lunch", "Lunch"},
    {"Dinner_Chart", "Dinner", "Dinner"},
    {"Snack_Chart", "Snack", "Snack"},
    {"Bread_Chart", "Breads", "Bread"},
    {"Cereals_Chart", "Cereals", "Cereals"},
    {"Grains_Chart", "Grains", "Grains"},
    {"fruit_chart", "Fruits", "Fruit"},
    {"Vegtable_Chart", "Vegetables", "Vegtable"},
    {"Dairy_Chart", "Dairy", "Dairy"},
    {"Fish_Chart", "Fish", "Fish"},
    {"Meat_Chart", "Meat", "Meat"},
    {"Nuts_chart", "Nuts", "Nut"},
    {"Oils_Chart", "Oils", "Oils"},
    {"Fastfood_chart", "Fastfood", "Fastfood"},
    {"Sweets_Chart", "Sweets", "Sweets"},
    {"Other_chart", "Other", "Other"},
    {"Drinks_Chart", "Drinks", "Drinks"},
};

constexpr int kCaloriesColumn = 2;

void WriteHeaders(CellGrid& grid, const QStringList& headers) {
  for (int c = 0; c < headers.size(); ++c) grid.SetCell(c, 0, headers.at(c));
}

int Index(int category) { return std::clamp(category, 1, kFoodListCount) - 1; }

}  // namespace

const FoodCategory& FoodCategoryAt(int category) { return kCategories[Index(category)]; }

int FoodCategoryOfCaption(const QString& caption) {
  if (caption.isEmpty()) return 0;
  for (int k = 0; k < kFoodListCount; ++k)
    if (caption == QLatin1String(kCategories[k].caption)) return k + 1;
  return 0;
}

const QStringList& ShelfItems() {
  static const QStringList items{
      "Breakfast", "Lunch", "Dinner",   "Snack", "",       "Breads", "Cereals",
      "Grains",    "",      "Fruits",   "Vegetables",      "",       "Dairy",
      "Fish",      "Meat",  "",         "Nuts",  "Oils",   "",       "Fastfood",
      "Sweets",    "Other", "",         "Drinks", ""};
  return items;
}

QStringList FoodListHeaders(const QString& word) {
  return {word + QStringLiteral(" foods"), QStringLiteral("Amount"), QStringLiteral("Calories"),
          QStringLiteral("Carbs g"),       QStringLiteral("Prot g"), QStringLiteral("Fat g")};
}

QString FoodListPath(const QString& foodFolder, int category) {
  return foodFolder + QStringLiteral("Fridge-") + QLatin1String(FoodCategoryAt(category).word) +
         QStringLiteral(".txt");
}

FoodPick MakeFoodPick(const CellGrid& grid, int row, double servings, const QLocale& locale) {
  FoodPick pick;
  if (row < 1 || row >= grid.RowCount()) return pick;
  // The multiplier has one decimal; counting in tenths keeps 2.3 x 100 at 230, not 229.
  const qint64 tenths =
      std::isfinite(servings) ? std::max<qint64>(0, std::llround(servings * 10)) : 10;
  pick.Name = grid.Cell(0, row);

  double calories = 0;
  if (!ParseStoredNumber(grid.Cell(kCaloriesColumn, row), &calories, locale)) calories = 0;
  const double scaled = calories * double(tenths) / 10.0;
  const double whole = std::floor(scaled + 1e-9 * std::max(1.0, std::fabs(scaled)));
  pick.Calories = std::isfinite(whole) && std::fabs(whole) < 9e15
                      ? QString::number(static_cast<qint64>(whole))
                      : QStringLiteral("0");

  auto grams = [&](int col) {
    const QString text = grid.Cell(col, row);
    if (tenths == 10) return text;
    double v = 0;
    if (!ParseStoredNumber(text, &v, locale)) return text;
    // Into a meal grid, whose file keeps "." in every locale.
    return StoredNumberText(std::round(v * double(tenths)) / 10.0);
  };
  pick.Carbs = grams(3);
  pick.Protein = grams(4);
  pick.Fat = grams(5);
  return pick;
}

void InsertListRow(CellGrid& grid, int row) {
  // Past the end it is appended; a list of only its header gets its first row.
  const int at = std::min(std::max(row, 2), grid.RowCount());
  grid.SetRowCount(grid.RowCount() + 1);
  // The new, empty, last row climbs to the insertion row.
  for (int r = grid.RowCount() - 1; r > at; --r) grid.SwapRows(r, r - 1);
  grid.ClearRow(at);
  grid.SetCurrent(grid.CurrentCol(), at);
}

void DeleteListRow(CellGrid& grid, int row) {
  if (row < 1 || row >= grid.RowCount()) return;
  grid.ClearRow(row);
  // The emptied row sinks to the bottom.
  for (int r = row; r < grid.RowCount() - 1; ++r) grid.SwapRows(r, r + 1);
}

// ---------------------------------------------------------------------------------------

FoodLists::FoodLists(const QString& foodFolder) : folder_(foodFolder) {
  for (int k = 0; k < kFoodListCount; ++k) {
    lists_[k] = CellGrid(kFoodListColumns, kFoodListRows);
    WriteHeaders(lists_[k], FoodListHeaders(QLatin1String(kCategories[k].word)));
  }
}

CellGrid& FoodLists::List(int category) { return lists_[Index(category)]; }
const CellGrid& FoodLists::List(int category) const { return lists_[Index(category)]; }

void FoodLists::MarkChanged(int category) {
  if (category >= 1 && category <= kFoodListCount) changed_.setBit(category - 1);
}

bool FoodLists::Changed(int category) const {
  return category >= 1 && category <= kFoodListCount && changed_.testBit(category - 1);
}

bool FoodLists::LoadFoodLists(QString* error) {
  QStringList errors, notices;
  for (int category = 1; category <= kFoodListCount; ++category) {
    const int k = category - 1;
    CellGrid& grid = lists_[k];
    grid = CellGrid(kFoodListColumns, kFoodListRows);
    changed_.clearBit(k);
    const QString path = FoodListPath(folder_, category);
    if (QFileInfo::exists(path)) {
      QString e;
      if (LoadGridFile(grid, path, &e)) {
        // A short file still leaves rows to type into, and every column.
        grid.SetColCount(std::max(grid.ColCount(), kFoodListColumns));
        grid.SetRowCount(std::max(grid.RowCount(), kFoodListRows));
        // Far too large or damaged: shown, never written (said once).
        if (const QString notice = ReadOnlyNotice(path); !notice.isEmpty()) notices << notice;
      } else {
        errors << e;
      }
    }
    WriteHeaders(grid, FoodListHeaders(QLatin1String(kCategories[k].word)));
    grid.SetCurrent(0, 1);
  }
  if (error) *error = (errors + notices).join(u'\n');
  return errors.isEmpty();
}

bool FoodLists::SaveFoodLists(QString* error) {
  QStringList errors;
  for (int category = 1; category <= kFoodListCount; ++category) {
    const int k = category - 1;
    if (!changed_.testBit(k)) continue;
    const QString path = FoodListPath(folder_, category);
    if (!MayWriteFile(path)) {
      errors << NotReplacedMessage(path);
      continue;
    }
    QString e;
    if (SaveGridFile(lists_[k], path, &e))
      changed_.clearBit(k);
    else
      errors << e;
  }
  if (error) *error = errors.join(u'\n');
  return errors.isEmpty();
}

CellGrid FoodLists::SearchFoodLists(const QString& keyword) const {
  CellGrid results(kFoodListColumns, 2);
  WriteHeaders(results, FoodListHeaders(QStringLiteral("Search")));
  const QString key = keyword.trimmed();
  if (key.isEmpty()) return results;
  QList<const QStringList*> matches;
  for (const CellGrid& grid : lists_) {
    for (int r = 1; r < grid.RowCount(); ++r) {
      const QStringList& texts = grid.RowTexts(r);
      if (!texts.isEmpty() && texts.front().contains(key, Qt::CaseInsensitive))
        matches.append(&texts);
    }
  }
  if (matches.isEmpty()) return results;
  results.SetRowCount(int(matches.size()) + 1);
  for (int k = 0; k < matches.size(); ++k) results.SetRow(k + 1, *matches.at(k));
  return results;
}
