#pragma once
// The meal diary of one day: four meal grids (Breakfast, Lunch, Dinner, Snack; one food a
// row: name, calories, carbohydrate, protein and fat grams), the day totals, the energy
// shares, and the year's history of daily totals. Everything is kept in the Food folder
// as grid files:
//   Y2009M3D14-Breakfast.txt ... -Snack.txt   one per meal and day
//   Y2009M3D14-Treat.txt                       the energy shares (header and TOTAL row)
//   2009History.txt                            one row per day of the year
// The view edits the grids in place and asks this class for every figure it shows.

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

#include "core/gridcache.h"
#include "core/gridfile.h"
#include "nutrition/foodpick.h"

inline constexpr int kMealCount = 4;
inline constexpr int kMealColumns = 5;
inline constexpr int kMealRows = 25;  // the header and 24 foods
// Names longer than this are drawn cut, with "..." after them.
inline constexpr int kShownNameLength = 37;

// Meals are numbered 1 (Breakfast) to 4 (Snack); the word names their files and labels.
QString MealWord(int meal);
// "Food", "Calories", "Carbs g", "Prot g", "Fat g".
const QStringList& MealHeaders();
const QStringList& HistoryHeaders();

QString MealFilePath(const QString& foodFolder, const QDate& date, int meal);
QString TreatFilePath(const QString& foodFolder, const QDate& date);
QString HistoryFilePath(const QString& foodFolder, int year);

// Part as a whole percentage of whole, the fraction dropped; 0 when whole is 0.
int PercentOf(double part, double whole);
// A cell text as a meal grid draws it: at most 37 characters, then "...".
QString ShownFoodText(const QString& text);

// Everything a recompute shows.
struct MealTotals {
  std::array<qint64, kMealCount> mealCalories{};  // by meal, index 0 = Breakfast
  qint64 calories = 0, carbs = 0, protein = 0, fat = 0;  // the day's sums (C, K, P, F)
  qint64 energy = 0;  // 4 K + 4 P + 9 F
  std::array<QString, kMealCount> mealLabels;  // "Lunch: 600 Calories or 30% of Day ..."
  std::array<int, kMealCount> mealShares{};    // percentage of the day's calories
  // The Today page's labels.
  QString factCalories, factCarbs, factProtein, factFat, factFatCalories;
  QString factFatPercent, factCarbsPercent, factProteinPercent;
};

// One point of the history graph: n counts the days back from the viewed day (1 is the
// viewed day itself), row is the history row it came from.
struct HistoryPoint {
  int n = 0;
  int row = 0;
  double calories = 0;
  bool operator==(const HistoryPoint&) const = default;
};
struct HistoryGraph {
  // The viewed year's mean of the days that hold calories (above 0), rounded down.
  qint64 average = 0;
  QList<HistoryPoint> points;
  int labelCount = 0;  // how many days the graph spans (the last n)
  // The points taken from the year before (their row is that year's).
  int previousYearPoints = 0;
};

class MealDay {
 public:
  explicit MealDay(const QString& foodFolder);

  const QString& Folder() const { return folder_; }
  const QDate& Date() const { return date_; }
  bool Loaded() const { return loaded_; }

  // The grids. Meal grids are addressed by meal number 1..4.
  CellGrid& MealGrid(int meal);
  const CellGrid& MealGrid(int meal) const;
  const CellGrid& TotalGrid() const { return total_; }
  const CellGrid& SumGrid() const { return sum_; }
  const CellGrid& HistoryGrid() const { return history_; }
  const MealTotals& Totals() const { return totals_; }

  // Set by every change of a meal cell, cleared by a save that wrote everything.
  bool Modified() const { return modified_; }
  void SetModified(bool modified = true) { modified_ = modified; }

  // Reads the day's four meals and energy shares and the year's history. Missing files
  // leave their grids empty below the header. Totals and labels are brought up to date
  // from what was read, writing nothing; only a day with files gets its history row
  // recomputed, so looking at a day never marks it. A file that exists but cannot be read gives
  // false with the user's message (one per line); it will not be overwritten. Files
  // opened read-only (far too large, damaged: core/gridfile.h) add their notices, with
  // true, and are not overwritten either.
  bool LoadDay(const QDate& date, QString* error = nullptr);

  // Recomputes the totals first, then writes the four meals, the energy shares and the
  // year's history. Every file is attempted; false with the messages of those that
  // failed (a file that could not be read is never replaced, and says so). A day that
  // holds no food writes nothing; one that held food and was emptied loses its files
  // and its history row.
  bool SaveDay(QString* error = nullptr);

  // For a writer of many days (an import): while the history is held, SaveDay leaves the
  // year's history in memory, with the rows of the days it saved, and LoadDay of another
  // day of that year keeps it rather than reading it again; SaveHistory writes it, and
  // LoadDay of a day of another year does so first (false with its message when that
  // fails). A history written once a year instead of once a day.
  void HoldHistory(bool hold);
  bool SaveHistory(QString* error = nullptr);

  // Rebuilds the day totals, the energy shares, the labels and the viewed day's history
  // row from the meal grids (a day without food has no history row).
  void RecomputeTotals();

  // Whether a meal row holds anything (a name or a figure).
  bool HoldsFood() const;

  // The history graph of the viewed day and the `days` days before it, newest first;
  // days before 1 January come from the year before's history file.
  HistoryGraph HistoryGraphPoints(int days) const;

  // The viewed year's history holds a row for that date: a day recomputed with food in
  // it (a day without food has none).
  bool IsDayMarked(const QDate& date) const;

  // Grid edits. Rows outside the food rows are ignored.
  // Adds a row at the end and moves every food down one row, so that row 1 is free.
  static void InsertTopRow(CellGrid& grid);
  // Writes a pick into row 1 of a new top row, or over the five cells of a row.
  void InsertPick(int meal, const FoodPick& pick);
  void OverwriteRow(int meal, int row, const FoodPick& pick);
  void DeleteRow(int meal, int row);
  void RowUp(int meal, int row);
  void RowDown(int meal, int row);
  void SetCell(int meal, int col, int row, const QString& text);

  // What a save reports while a file could not be read or is read-only (empty when all
  // may be written).
  QString ReadFailedMessage() const;

 private:
  void ComputeTotals(bool historyRow);
  // Writes one of the day's files (SaveDay's rules: guarded files refused, a day without
  // food loses its files, unchanged bytes not written) and records its bytes.
  void SaveGrid(const CellGrid& grid, const QString& path, bool food, QStringList* errors);
  bool LoadGrid(CellGrid& grid, const QString& path, bool* existed, QStringList* errors);
  // The day's files: its four meals, its energy shares and its year's history.
  QStringList DayPaths() const;

  QString folder_;
  QDate date_;
  bool loaded_ = false;
  bool modified_ = false;
  bool holdHistory_ = false;
  bool historyUnsaved_ = false;  // held, with rows of saved days
  bool historyFood_ = false;     // a saved day of the held history held food
  int historyYear_ = 0;          // the year history_ was read for
  std::array<CellGrid, kMealCount> meals_;
  CellGrid total_;
  CellGrid sum_;
  CellGrid history_;
  MealTotals totals_;
  // The bytes each file of the day holds, as read or last written.
  QHash<QString, QByteArray> onDisk_;
  // The histories of other years the graph reaches into (read, never written).
  GridFileCache otherHistories_;
};
