// Feeds arbitrary bytes to the meal diary's files. The input, cut at each 0x1E byte, is
// the day's Breakfast, Lunch, Dinner and Snack files, its energy shares and the year's
// history (a part left out is a file that does not exist). The day is loaded and every
// figure the view shows is computed; then what saving can promise: the day saved and
// loaded again shows the same totals, and from the second save on the files stay as they
// are. The date (in March, on 31 December of a leap year, on 1 January) and the span of
// the history graph follow the input's length.
#include <QDate>

#include "fuzzfolder.h"
#include "nutrition/mealday.h"

namespace {
constexpr const char* kTarget = "meal day";

QDate DayOf(size_t size) {
  switch (size % 3) {
    case 0: return QDate(2009, 3, 14);
    case 1: return QDate(2024, 12, 31);
    default: return QDate(2025, 1, 1);
  }
}

// Everything the view shows of the day.
QStringList Shown(const MealDay& day, int days) {
  const MealTotals& t = day.Totals();
  QStringList out;
  for (qint64 m : t.mealCalories) out << QString::number(m);
  for (int s : t.mealShares) out << QString::number(s);
  for (const QString& label : t.mealLabels) out << label;
  out << QString::number(t.calories) << QString::number(t.carbs) << QString::number(t.protein)
      << QString::number(t.fat) << QString::number(t.energy) << t.factCalories << t.factCarbs
      << t.factProtein << t.factFat << t.factFatCalories << t.factFatPercent
      << t.factCarbsPercent << t.factProteinPercent;
  const HistoryGraph g = day.HistoryGraphPoints(days);
  out << QString::number(g.average) << QString::number(g.labelCount);
  for (const HistoryPoint& p : g.points)
    out << QStringLiteral("%1:%2:%3").arg(p.n).arg(p.row).arg(p.calories, 0, 'g', 17);
  out << (day.IsDayMarked(day.Date()) ? QStringLiteral("marked") : QStringLiteral("unmarked"));
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString folder = fuzz::EmptyFolder();
  const QDate date = DayOf(size);
  const int days = size % 2 ? 7 : 30;
  const QByteArrayList parts = fuzz::Parts(data, size);
  QStringList paths;
  for (int meal = 1; meal <= kMealCount; ++meal) paths << MealFilePath(folder, date, meal);
  paths << TreatFilePath(folder, date) << HistoryFilePath(folder, date.year());
  for (int i = 0; i < parts.size() && i < paths.size(); ++i) fuzz::WriteFile(paths[i], parts[i]);

  MealDay day(folder);
  day.LoadDay(date);
  Shown(day, days);
  for (int meal = 1; meal <= kMealCount; ++meal) {
    const CellGrid& grid = day.MealGrid(meal);
    for (int r = 0; r < grid.RowCount(); ++r)
      for (int c = 0; c < grid.ColCount(); ++c) ShownFoodText(grid.Cell(c, r));
  }
  // The edits of the view's buttons, on a row the input picks.
  const int row = int(size % 30);
  day.RowDown(1, row);
  day.RowUp(2, row);
  day.DeleteRow(3, row);
  day.InsertPick(4, FoodPick{QStringLiteral("Apple"), QStringLiteral("95"), QStringLiteral("25"),
                             QStringLiteral("0.5"), QStringLiteral("0.3")});
  day.RecomputeTotals();
  const QStringList before = Shown(day, days);
  // A file that could not be read (or is held read-only) is never written: nothing more
  // to check.
  if (!day.SaveDay()) return 0;

  MealDay again(folder);
  if (!again.LoadDay(date)) fuzz::Fail(kTarget, "a saved day does not load");
  if (Shown(again, days) != before) fuzz::Fail(kTarget, "a saved day loads with other figures");
  if (!again.SaveDay()) fuzz::Fail(kTarget, "a loaded day does not save");
  const QMap<QString, QByteArray> second = fuzz::Snapshot(folder);
  MealDay third(folder);
  if (!third.LoadDay(date) || !third.SaveDay()) fuzz::Fail(kTarget, "the third round fails");
  if (fuzz::Snapshot(folder) != second) fuzz::Fail(kTarget, "a second save is not stable");
  if (Shown(third, days) != before) fuzz::Fail(kTarget, "the third round shows other figures");
  return 0;
}
