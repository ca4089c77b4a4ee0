#include "nutrition/nutritionexport.h"

#include <QMap>
#include <QRegularExpression>

#include "app/datafolders.h"
#include "core/csvfile.h"
#include "core/gridfile.h"
#include "core/textutil.h"
#include "nutrition/foodlists.h"
#include "nutrition/mealday.h"
#include "nutrition/nutritionimport.h"

namespace {

const QRegularExpression& DayFileName() {
  static const QRegularExpression re(QStringLiteral(
      "^Y\\d{1,4}M\\d{1,2}D\\d{1,2}-(Breakfast|Lunch|Dinner|Snack|Treat)\\.txt$"));
  return re;
}
const QRegularExpression& HistoryName() {
  static const QRegularExpression re(QStringLiteral("^\\d{4}History\\.txt$"));
  return re;
}
const QRegularExpression& ListName() {
  static const QRegularExpression re = [] {
    QStringList words;
    for (int c = 1; c <= kFoodListCount; ++c)
      words << QRegularExpression::escape(QLatin1String(FoodCategoryAt(c).word));
    return QRegularExpression(QStringLiteral("^Fridge-(%1)\\.txt$").arg(words.join(u'|')));
  }();
  return re;
}

bool RowIsBlank(const CellGrid& grid, int row, int columns) {
  for (int c = 0; c < columns; ++c)
    if (!grid.Cell(c, row).trimmed().isEmpty()) return false;
  return true;
}

}  // namespace

RecordKind MealRecordKind(const DataFolders& dir) {
  const QString folder = RecordRoot::Relative(dir, dir.FoodFolder());
  RecordKind k{QStringLiteral("meals"), QStringLiteral("Calorie diary")};
  k.files << RecordFileRule{folder, DayFileName(), kMaxRecordFileBytes, {}}
          << RecordFileRule{folder, HistoryName(), kMaxRecordFileBytes, {}}
          << RecordFileRule{folder, ListName(), kMaxRecordFileBytes, {}};
  k.read = [](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable meals{QStringLiteral("meals.csv"),
                      {QStringLiteral("date"), QStringLiteral("meal"), QStringLiteral("food"),
                       QStringLiteral("amount"), QStringLiteral("grams"), QStringLiteral("kcal"),
                       QStringLiteral("fat"), QStringLiteral("carbohydrate"),
                       QStringLiteral("protein")}};
    RecordTable daily{QStringLiteral("meals-daily.csv"),
                      {QStringLiteral("date"), QStringLiteral("kcal"), QStringLiteral("fat"),
                       QStringLiteral("carbohydrate"), QStringLiteral("protein")}};
    RecordTable lists{QStringLiteral("foodlists.csv"),
                      {QStringLiteral("list"), QStringLiteral("food"), QStringLiteral("amount"),
                       QStringLiteral("kcal"), QStringLiteral("fat"),
                       QStringLiteral("carbohydrate"), QStringLiteral("protein")}};
    const QString folder = root.Dir().FoodFolder();

    // The meal files of each day, by meal number.
    QMap<QDate, QMap<int, QString>> days;
    for (const QString& name : root.Files(folder, DayFileName())) {
      const QDate date = DayKeyDate(name);
      if (!date.isValid()) continue;
      const QString word = DayFileName().match(name).captured(1);
      for (int meal = 1; meal <= kMealCount; ++meal)
        if (MealWord(meal) == word) days[date].insert(meal, name);
    }
    MealDay day(folder);
    for (auto it = days.cbegin(); it != days.cend(); ++it) {
      const QDate date = it.key();
      bool any = false;
      for (int meal = 1; meal <= kMealCount; ++meal) {
        CellGrid& grid = day.MealGrid(meal);
        grid = CellGrid(kMealColumns, kMealRows);
        const QString name = it.value().value(meal);
        if (name.isEmpty()) continue;
        if (!ReadRecordGrid(root, folder, name, &grid, error)) return false;
        for (int r = 1; r < grid.RowCount(); ++r) {
          if (RowIsBlank(grid, r, kMealColumns)) continue;
          any = true;
          meals.Add(date, {CsvDate(date), MealWord(meal), grid.Cell(0, r).trimmed(), QString(),
                           QString(), NumberField(grid.Cell(1, r)), NumberField(grid.Cell(4, r)),
                           NumberField(grid.Cell(2, r)), NumberField(grid.Cell(3, r))});
        }
      }
      if (!any) continue;
      // The day's totals by the diary's own arithmetic.
      day.RecomputeTotals();
      const MealTotals& t = day.Totals();
      daily.Add(date, {CsvDate(date), QString::number(t.calories), QString::number(t.fat),
                       QString::number(t.carbs), QString::number(t.protein)});
    }

    for (int c = 1; c <= kFoodListCount; ++c) {
      const QString name = FoodListPath(QString(), c);
      if (!root.Exists(folder, name)) continue;
      CellGrid grid;
      if (!ReadRecordGrid(root, folder, name, &grid, error)) return false;
      for (int r = 1; r < grid.RowCount(); ++r) {
        if (RowIsBlank(grid, r, kFoodListColumns)) continue;
        lists.Add({}, {QLatin1String(FoodCategoryAt(c).word), grid.Cell(0, r).trimmed(),
                       grid.Cell(1, r).trimmed(), NumberField(grid.Cell(2, r)),
                       NumberField(grid.Cell(5, r)), NumberField(grid.Cell(3, r)),
                       NumberField(grid.Cell(4, r))});
      }
    }
    *tables << meals << daily << lists;
    return true;
  };
  k.importers << qMakePair(QStringLiteral("meals.csv"), RecordImporter(ImportMealsTable))
              << qMakePair(QStringLiteral("foodlists.csv"), RecordImporter(ImportFoodListsTable));
  // The day totals are checked against the source's meals, and written nowhere.
  k.sourceImporters << qMakePair(QStringLiteral("meals-daily.csv"),
                                 RecordSourceImporter(CheckMealTotalsTable));
  return k;
}
