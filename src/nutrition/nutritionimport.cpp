#include "nutrition/nutritionimport.h"

#include <QHash>
#include <QLocale>
#include <QMap>
#include <array>

#include "app/datafolders.h"
#include "core/csvfile.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "nutrition/foodlists.h"
#include "nutrition/mealday.h"

namespace {

// A day's imported foods, by meal (index 0 = Breakfast); each food in the meal grid's
// columns: name, calories, carbohydrate, protein, fat.
using MealFoods = std::array<QList<QStringList>, kMealCount>;
using ImportedDays = QMap<QDate, MealFoods>;

// The figure columns of meals.csv and foodlists.csv, with the grid column each goes to
// (meal grid; the food lists' columns are one further right, after the serving).
struct Figure {
  const char* column;
  int mealColumn;
};
constexpr Figure kFigures[] = {{"kcal", 1}, {"carbohydrate", 2}, {"protein", 3}, {"fat", 4}};

// A field as a grid cell keeps it: on one line (the file cannot carry a break).
QString CellText(const QStringList& row, int column) {
  QString text = ImportField(row, column);
  text.replace(u'\r', u' ').replace(u'\n', u' ');
  return text.trimmed();
}

// A figure: empty, or a number written as the diary's files keep numbers.
bool ReadFigure(const RecordTable& table, int r, const QHash<QString, int>& col,
                const QString& name, QString* cell, QString* error) {
  const QString text = ImportField(table.rows.at(r), col.value(name));
  cell->clear();
  if (text.isEmpty()) return true;
  double v = 0;
  if (!ImportNumber(table, r, name, text, &v, error)) return false;
  *cell = StoredNumberText(v);
  return true;
}

// A row longer than a grid line may be would make its file read-only when it is read
// again: it is refused instead.
bool FitsOnLine(const RecordTable& table, int r, const QStringList& cells, const QString& what,
                QString* error) {
  const qsizetype length = WriteGridLine(cells).size();
  if (length <= kLongestLine) return true;
  if (error)
    *error = QStringLiteral("%1: the row is %2 characters long, more than %3 keeps on a line "
                            "(%4)")
                 .arg(table.Where(r), CountText(length), what, CountText(kLongestLine));
  return false;
}

bool IsBlank(const QStringList& cells) {
  for (const QString& c : cells)
    if (!c.isEmpty()) return false;
  return true;
}

// The cells of a row as the export writes them, so that a grid row and an imported one
// compare as the same food whatever form its figures were typed in.
QStringList Compared(const QStringList& cells, int firstFigure) {
  QStringList out;
  out.reserve(cells.size());
  for (int c = 0; c < cells.size(); ++c)
    out << (c >= firstFigure ? NumberField(cells.at(c)) : cells.at(c).trimmed());
  return out;
}

QStringList GridCells(const CellGrid& grid, int row, int columns) {
  QStringList out;
  out.reserve(columns);
  for (int c = 0; c < columns; ++c) out << grid.Cell(c, row).trimmed();
  return out;
}

// The foods a meal grid holds, compared as the export writes them.
QList<QStringList> MealRows(const CellGrid& grid) {
  QList<QStringList> out;
  for (int r = 1; r < grid.RowCount(); ++r) {
    const QStringList cells = GridCells(grid, r, kMealColumns);
    if (!IsBlank(cells)) out << Compared(cells, 1);
  }
  return out;
}

int MealOfWord(const QString& word) {
  for (int meal = 1; meal <= kMealCount; ++meal)
    if (word.compare(MealWord(meal), Qt::CaseInsensitive) == 0) return meal;
  return 0;
}

// Every row of meals.csv checked and gathered by day and meal.
bool ReadMealDays(const RecordTable& table, ImportedDays* days, QString* error) {
  QHash<QString, int> col;
  QStringList optional{QStringLiteral("amount"), QStringLiteral("grams")};
  for (const Figure& f : kFigures) optional << QLatin1String(f.column);
  if (!ImportColumns(table, {QStringLiteral("date"), QStringLiteral("meal"), QStringLiteral("food")},
                     optional, &col, error))
    return false;
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    QDate date;
    if (!ImportDate(table, r, ImportField(row, col.value(QStringLiteral("date"))), &date, error))
      return false;
    const QString word = ImportField(row, col.value(QStringLiteral("meal")));
    const int meal = MealOfWord(word);
    if (!meal) {
      if (error)
        *error = word.isEmpty()
                     ? QStringLiteral("%1: the meal is missing (Breakfast, Lunch, Dinner or Snack)")
                           .arg(table.Where(r))
                     : QStringLiteral("%1: the meal \"%2\" is not one of the diary's (Breakfast, "
                                      "Lunch, Dinner or Snack)")
                           .arg(table.Where(r), word);
      return false;
    }
    QStringList cells(kMealColumns);
    cells[0] = CellText(row, col.value(QStringLiteral("food")));
    for (const Figure& f : kFigures)
      if (!ReadFigure(table, r, col, QLatin1String(f.column), &cells[f.mealColumn], error))
        return false;
    if (IsBlank(cells)) continue;
    if (!FitsOnLine(table, r, cells, QStringLiteral("a meal"), error)) return false;
    (*days)[date][meal - 1] << cells;
  }
  return true;
}

// The categories by the word the export writes ("Vegtable") and by their captions
// ("Vegetables"), letter case aside.
int FoodListOfName(const QString& name) {
  for (int c = 1; c <= kFoodListCount; ++c) {
    const FoodCategory& k = FoodCategoryAt(c);
    if (name.compare(QLatin1String(k.word), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String(k.caption), Qt::CaseInsensitive) == 0)
      return c;
  }
  return 0;
}

QString FoodListWords() {
  QStringList words;
  for (int c = 1; c <= kFoodListCount; ++c) words << QLatin1String(FoodCategoryAt(c).word);
  return words.join(QStringLiteral(", "));
}

}  // namespace

bool ImportMealsTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                      ImportTally* tally, QString* error) {
  ImportedDays days;
  if (!ReadMealDays(table, &days, error)) return false;
  MealDay day(dir.FoodFolder());
  // Each year's history is written once, after its days, not once a day.
  day.HoldHistory(true);
  // A day that fails leaves the history with the rows of the days written before it.
  auto fail = [&](const QString& e) {
    if (error) *error = e;
    day.SaveHistory();
    return false;
  };
  for (auto it = days.cbegin(); it != days.cend(); ++it) {
    QString e;
    // A day whose files do not read is neither counted nor written.
    if (!day.LoadDay(it.key(), &e)) return fail(e);
    bool changed = false;
    for (int meal = 1; meal <= kMealCount; ++meal) {
      const QList<QStringList>& foods = it.value().at(meal - 1);
      if (foods.isEmpty()) continue;
      CellGrid& grid = day.MealGrid(meal);
      const QList<QStringList> current = MealRows(grid);
      if (!current.isEmpty()) {
        QList<QStringList> imported;
        for (const QStringList& f : foods) imported << Compared(f, 1);
        if (current == imported) continue;
        ++tally->held;
        if (!Replaces(mode)) continue;
      } else {
        ++tally->added;
      }
      // The imported foods from the first row on, and the rows a meal has to type into.
      grid = CellGrid(kMealColumns, std::max(kMealRows, int(foods.size()) + 1));
      grid.SetRow(0, MealHeaders());
      for (int r = 0; r < foods.size(); ++r) grid.SetRow(r + 1, foods.at(r));
      changed = true;
    }
    if (!changed) continue;
    // A day's file that could not be read, or was opened read-only, is not written over:
    // told before anything is written, at the preview already.
    if (const QString refused = day.ReadFailedMessage(); !refused.isEmpty()) return fail(refused);
    if (Writes(mode) && !day.SaveDay(&e)) return fail(e);
  }
  return day.SaveHistory(error);
}

bool CheckMealTotalsTable(const DataFolders&, const RecordTable& table,
                          const RecordTableLookup& source, ImportMode, ImportTally* tally,
                          QString* error) {
  QHash<QString, int> col;
  QStringList optional;
  for (const Figure& f : kFigures) optional << QLatin1String(f.column);
  if (!ImportColumns(table, {QStringLiteral("date")}, optional, &col, error)) return false;
  if (table.rows.isEmpty()) return true;
  const RecordTable* meals = source ? source(QStringLiteral("meals.csv")) : nullptr;
  if (!meals) {
    if (error)
      *error = QStringLiteral("%1: the day totals follow from the meals, and are checked against "
                              "meals.csv, which is not beside it. Import the folder of the export, "
                              "or meals.csv itself.")
                   .arg(table.fileName);
    return false;
  }
  ImportedDays days;
  if (!ReadMealDays(*meals, &days, error)) return false;
  // The totals of each day, added up once, as the diary adds them.
  QHash<QDate, MealTotals> totals;
  MealDay day{QString()};
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    QDate date;
    if (!ImportDate(table, r, ImportField(row, col.value(QStringLiteral("date"))), &date, error))
      return false;
    const auto foods = days.constFind(date);
    if (foods == days.cend()) {
      if (error)
        *error = QStringLiteral("%1: meals.csv holds no food of %2, so it has no totals")
                     .arg(table.Where(r), CsvDate(date));
      return false;
    }
    if (!totals.contains(date)) {
      for (int meal = 1; meal <= kMealCount; ++meal) {
        const QList<QStringList>& rows = foods.value().at(meal - 1);
        CellGrid& grid = day.MealGrid(meal);
        grid = CellGrid(kMealColumns, int(rows.size()) + 1);
        for (int k = 0; k < rows.size(); ++k) grid.SetRow(k + 1, rows.at(k));
      }
      day.RecomputeTotals();
      totals.insert(date, day.Totals());
    }
    const MealTotals& t = totals.value(date);
    const std::array<qint64, 4> sums{t.calories, t.carbs, t.protein, t.fat};
    for (int k = 0; k < 4; ++k) {
      const QString name = QLatin1String(kFigures[k].column);
      const QString text = ImportField(row, col.value(name));
      if (text.isEmpty()) continue;
      double v = 0;
      if (!ImportNumber(table, r, name, text, &v, error)) return false;
      if (v != double(sums[k])) {
        if (error)
          *error = QStringLiteral("%1: the day's %2 is %3, but its foods in meals.csv add up to %4")
                       .arg(table.Where(r), name, text, QString::number(sums[k]));
        return false;
      }
    }
    ++tally->checked;
  }
  return true;
}

bool ImportFoodListsTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                          ImportTally* tally, QString* error) {
  QHash<QString, int> col;
  QStringList optional{QStringLiteral("amount")};
  for (const Figure& f : kFigures) optional << QLatin1String(f.column);
  if (!ImportColumns(table, {QStringLiteral("list"), QStringLiteral("food")}, optional, &col, error))
    return false;
  // The foods of each list, in the grid's columns: name, amount, calories, carbohydrate,
  // protein, fat.
  std::array<QList<QStringList>, kFoodListCount> imported;
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    const QString name = ImportField(row, col.value(QStringLiteral("list")));
    const int list = FoodListOfName(name);
    if (!list) {
      if (error)
        *error = name.isEmpty()
                     ? QStringLiteral("%1: the list is missing (one of %2)").arg(table.Where(r), FoodListWords())
                     : QStringLiteral("%1: \"%2\" is not one of the food lists (%3)")
                           .arg(table.Where(r), name, FoodListWords());
      return false;
    }
    QStringList cells(kFoodListColumns);
    cells[0] = CellText(row, col.value(QStringLiteral("food")));
    cells[1] = CellText(row, col.value(QStringLiteral("amount")));
    for (const Figure& f : kFigures)
      if (!ReadFigure(table, r, col, QLatin1String(f.column), &cells[f.mealColumn + 1], error))
        return false;
    if (IsBlank(cells)) continue;
    if (!FitsOnLine(table, r, cells, QStringLiteral("a food list"), error)) return false;
    imported[list - 1] << cells;
  }

  FoodLists lists(dir.FoodFolder());
  // A list that cannot be read stops the import only when it is one of those imported.
  lists.LoadFoodLists(nullptr);
  for (int list = 1; list <= kFoodListCount; ++list) {
    const QList<QStringList>& foods = imported.at(list - 1);
    if (foods.isEmpty()) continue;
    const QString path = FoodListPath(dir.FoodFolder(), list);
    if (GuardOf(path) == FileGuard::Unreadable) {
      if (error) *error = GuardMessage(path);
      return false;
    }
    CellGrid& grid = lists.List(list);
    // Her items by name, each name's rows in their order; and the last row that holds one.
    QHash<QString, QList<int>> rowsOf;
    int last = 0;
    for (int r = 1; r < grid.RowCount(); ++r) {
      const QStringList cells = GridCells(grid, r, kFoodListColumns);
      if (IsBlank(cells)) continue;
      rowsOf[cells.at(0).toCaseFolded()] << r;
      last = r;
    }
    QHash<QString, int> seen;  // how many of each name the import has come to
    bool changed = false;
    for (const QStringList& food : foods) {
      const QString key = food.at(0).toCaseFolded();
      const int n = seen[key]++;
      const QList<int>& rows = rowsOf.value(key);
      int row = 0;
      if (n < rows.size()) {
        row = rows.at(n);
        if (Compared(GridCells(grid, row, kFoodListColumns), 2) == Compared(food, 2)) continue;
        ++tally->held;
        if (!Replaces(mode)) continue;
      } else {
        ++tally->added;
        row = ++last;
        if (row >= grid.RowCount()) grid.SetRowCount(row + 1);
      }
      for (int c = 0; c < kFoodListColumns; ++c) grid.SetCell(c, row, food.at(c));
      changed = true;
    }
    if (!changed) continue;
    if (!MayWriteFile(path)) {
      if (error) *error = NotReplacedMessage(path);
      return false;
    }
    lists.MarkChanged(list);
  }
  return !Writes(mode) || lists.SaveFoodLists(error);
}
