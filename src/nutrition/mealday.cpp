#include "nutrition/mealday.h"

#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/textfile.h"
#include "core/textutil.h"

namespace {

// The energy per gram: carbohydrate and protein 4 kilocalories, fat 9.
constexpr qint64 kCarbEnergy = 4, kProteinEnergy = 4, kFatEnergy = 9;
// A column sum is held at a trillion, so that no figure typed (1e300 calories) can carry
// the day's arithmetic past the range of whole numbers.
constexpr qint64 kLargestSum = 1'000'000'000'000;
// The daily reference amounts of the facts panel, in grams.
constexpr double kFatReference = 65, kCarbsReference = 300, kProteinReference = 50;

QString Whole(qint64 v) { return QString::number(v); }
QString Percent(int v) { return QString::number(v) + u'%'; }
QString Grams(qint64 v) { return QString::number(v) + u'g'; }

void WriteHeaders(CellGrid& grid, const QStringList& headers) {
  for (int c = 0; c < headers.size(); ++c) grid.SetCell(c, 0, headers.at(c));
}

// The first food row whose name is blank; the current row stays when every row has one.
void CurrentToFirstFree(CellGrid& grid) {
  for (int r = 1; r < grid.RowCount(); ++r) {
    if (grid.Cell(0, r).trimmed().isEmpty()) {
      grid.SetCurrent(0, r);
      return;
    }
  }
}

}  // namespace

QString MealWord(int meal) {
  switch (meal) {
    case 1: return QStringLiteral("Breakfast");
    case 2: return QStringLiteral("Lunch");
    case 3: return QStringLiteral("Dinner");
    case 4: return QStringLiteral("Snack");
    default: return {};
  }
}

const QStringList& MealHeaders() {
  static const QStringList headers{QStringLiteral("Food"), QStringLiteral("Calories"),
                                   QStringLiteral("Carbs g"), QStringLiteral("Prot g"),
                                   QStringLiteral("Fat g")};
  return headers;
}

const QStringList& HistoryHeaders() {
  static const QStringList headers = [] {
    QStringList h = MealHeaders();
    h[0] = QStringLiteral("Date");
    return h;
  }();
  return headers;
}

QString MealFilePath(const QString& foodFolder, const QDate& date, int meal) {
  return foodFolder + DayKey(date) + u'-' + MealWord(meal) + QStringLiteral(".txt");
}

QString TreatFilePath(const QString& foodFolder, const QDate& date) {
  return foodFolder + DayKey(date) + QStringLiteral("-Treat.txt");
}

QString HistoryFilePath(const QString& foodFolder, int year) {
  return foodFolder + QString::number(year) + QStringLiteral("History.txt");
}

int PercentOf(double part, double whole) {
  if (whole == 0 || !std::isfinite(part) || !std::isfinite(whole)) return 0;
  // Multiplied first: 29 of 100 is 29, where 29 / 100 * 100 would give 28.999...
  const double q = std::trunc(part * 100.0 / whole);
  if (!std::isfinite(q)) return 0;
  return static_cast<int>(std::clamp(q, double(INT_MIN), double(INT_MAX)));
}

QString ShownFoodText(const QString& text) {
  if (text.size() <= kShownNameLength) return text;
  qsizetype cut = kShownNameLength;
  // Never half a character outside the basic plane.
  if (text.at(cut - 1).isHighSurrogate()) --cut;
  return text.left(cut) + QStringLiteral("...");
}

// ---------------------------------------------------------------------------------------

MealDay::MealDay(const QString& foodFolder)
    : folder_(foodFolder), total_(kMealColumns, 8), sum_(kMealColumns, 2),
      history_(kMealColumns, 1) {
  for (CellGrid& g : meals_) {
    g = CellGrid(kMealColumns, kMealRows);
    WriteHeaders(g, MealHeaders());
  }
  WriteHeaders(sum_, MealHeaders());
  ComputeTotals(false);
}

CellGrid& MealDay::MealGrid(int meal) { return meals_.at(std::clamp(meal, 1, kMealCount) - 1); }

const CellGrid& MealDay::MealGrid(int meal) const {
  return meals_.at(std::clamp(meal, 1, kMealCount) - 1);
}

QStringList MealDay::DayPaths() const {
  QStringList paths;
  if (!date_.isValid()) return paths;
  for (int meal = 1; meal <= kMealCount; ++meal) paths << MealFilePath(folder_, date_, meal);
  paths << TreatFilePath(folder_, date_) << HistoryFilePath(folder_, date_.year());
  return paths;
}

bool MealDay::LoadGrid(CellGrid& grid, const QString& path, bool* existed,
                       QStringList* errors) {
  grid.Clear();
  *existed = QFileInfo::exists(path);
  if (!*existed) return true;
  QString e;
  if (LoadGridFile(grid, path, &e)) {
    // What the file holds, as this grid would write it unchanged.
    onDisk_.insert(path, GridToBytes(grid));
    return true;
  }
  errors->append(e);
  return false;
}

bool MealDay::LoadDay(const QDate& date, QString* error) {
  if (!date.isValid()) return false;
  QStringList errors;
  // A held history of another year is written before that year is left.
  const bool keepHistory = holdHistory_ && historyYear_ == date.year();
  if (holdHistory_ && !keepHistory && !SaveHistory(error)) return false;
  const QString historyPath = HistoryFilePath(folder_, date.year());
  const auto historyOnDisk = onDisk_.constFind(historyPath);
  const QByteArray historyBytes =
      keepHistory && historyOnDisk != onDisk_.cend() ? historyOnDisk.value() : QByteArray();
  date_ = date;
  onDisk_.clear();
  if (keepHistory && !historyBytes.isNull()) onDisk_.insert(historyPath, historyBytes);
  bool anyFile = false;

  for (int meal = 1; meal <= kMealCount; ++meal) {
    CellGrid& grid = MealGrid(meal);
    bool existed = false;
    const bool read = LoadGrid(grid, MealFilePath(folder_, date, meal), &existed, &errors);
    anyFile = anyFile || existed;
    // A short or narrow file still leaves 24 rows to type into and every column.
    grid.SetColCount(std::max(grid.ColCount(), kMealColumns));
    grid.SetRowCount(existed && read ? std::max(grid.RowCount(), kMealRows) : kMealRows);
    WriteHeaders(grid, MealHeaders());
    grid.SetCurrent(0, 1);
    CurrentToFirstFree(grid);
  }

  {
    bool existed = false;
    LoadGrid(sum_, TreatFilePath(folder_, date), &existed, &errors);
    anyFile = anyFile || existed;
    sum_.SetColCount(kMealColumns);
    sum_.SetRowCount(2);
    WriteHeaders(sum_, MealHeaders());
  }

  if (!keepHistory) {
    const int year = date.year();
    const QString& path = historyPath;
    historyYear_ = 0;
    QString e;
    if (!OpenYearGrid(history_, year, kMealColumns, HistoryHeaders(), path, &e)) {
      errors << e;
    } else {
      historyYear_ = year;
      // What the file holds, as this grid would write it unchanged.
      if (QFileInfo::exists(path)) onDisk_.insert(path, GridToBytes(history_));
    }
    // One row per day of the year, each dated anew, in English whatever her language,
    // so that the file never changes with it.
    history_.SetRowCount(QDate(year, 1, 1).daysInYear() + 1);
    const QDate newYear(year, 1, 1);
    const QLocale locale = FileLocale();
    for (int r = 1; r < history_.RowCount(); ++r)
      history_.SetCell(0, r, FormatDate(QStringLiteral("mmmm d"), newYear.addDays(r - 1), locale));
    WriteHeaders(history_, HistoryHeaders());
  }

  // Labels and totals follow what was read; the history row only for a day with files,
  // so that looking at a day neither marks it as eaten nothing nor wipes a history row
  // whose day files are gone. A held history gets the rows of the days saved only.
  ComputeTotals(anyFile && !holdHistory_);
  loaded_ = true;
  modified_ = false;
  // Files shown read-only (far too large, damaged) are told as well, once each.
  QStringList notices;
  for (const QString& path : DayPaths())
    if (const QString notice = ReadOnlyNotice(path); !notice.isEmpty()) notices << notice;
  if (error) *error = (errors + notices).join(u'\n');
  return errors.isEmpty();
}

void MealDay::SaveGrid(const CellGrid& grid, const QString& path, bool food,
                       QStringList* errors) {
  if (!MayWriteFile(path)) {
    errors->append(NotReplacedMessage(path));
    return;
  }
  const bool history = path == HistoryFilePath(folder_, date_.year());
  if (!food && !history) {
    // A day without food has no files: looking writes none, and a day she emptied
    // loses the ones it had.
    if (!QFileInfo::exists(path)) return;
    QString e;
    if (RemoveRecordFile(path, &e))
      onDisk_.remove(path);
    else
      errors->append(e);
    return;
  }
  // A file that already holds these very bytes is left alone: one edit rewrites its
  // meal, the shares and the history, not the whole day.
  const QByteArray bytes = GridToBytes(grid);
  if (onDisk_.value(path) == bytes && QFileInfo::exists(path)) return;
  // No history file is started for a year that has no food in it yet.
  if (!food && !QFileInfo::exists(path)) return;
  QString e;
  if (WriteFileBytes(path, bytes, &e))
    onDisk_.insert(path, bytes);
  else
    errors->append(e);
}

bool MealDay::SaveDay(QString* error) {
  if (!date_.isValid()) {
    if (error) error->clear();
    return true;
  }
  // Totals first, so that the energy shares and the history row hold this very day.
  ComputeTotals(true);
  QStringList errors;
  const bool food = HoldsFood();
  for (int meal = 1; meal <= kMealCount; ++meal)
    SaveGrid(MealGrid(meal), MealFilePath(folder_, date_, meal), food, &errors);
  SaveGrid(sum_, TreatFilePath(folder_, date_), food, &errors);
  if (holdHistory_) {
    historyUnsaved_ = true;
    historyFood_ = historyFood_ || food;
  } else {
    SaveGrid(history_, HistoryFilePath(folder_, date_.year()), food, &errors);
  }
  // What could not be written stays modified, so that leaving the day tries again.
  modified_ = !errors.isEmpty();
  if (error) *error = errors.join(u'\n');
  return errors.isEmpty();
}

void MealDay::HoldHistory(bool hold) {
  holdHistory_ = hold;
  historyYear_ = 0;  // read again by the next LoadDay
}

bool MealDay::SaveHistory(QString* error) {
  if (error) error->clear();
  if (!historyUnsaved_ || !date_.isValid()) return true;
  QStringList errors;
  SaveGrid(history_, HistoryFilePath(folder_, date_.year()), historyFood_, &errors);
  if (error) *error = errors.join(u'\n');
  if (!errors.isEmpty()) return false;
  historyUnsaved_ = historyFood_ = false;
  return true;
}

void MealDay::RecomputeTotals() { ComputeTotals(true); }

bool MealDay::HoldsFood() const {
  for (const CellGrid& grid : meals_)
    for (int r = 1; r < grid.RowCount(); ++r)
      for (const QString& text : grid.RowTexts(r))
        if (!text.trimmed().isEmpty()) return true;
  return false;
}

void MealDay::ComputeTotals(bool historyRow) {
  MealTotals t;
  std::array<std::array<qint64, kMealColumns>, kMealCount> sums{};
  for (int meal = 1; meal <= kMealCount; ++meal) {
    const CellGrid& grid = MealGrid(meal);
    for (int c = 1; c < kMealColumns; ++c)
      sums[meal - 1][c] =
          std::min(GridColumnTotal(grid, c, 1, grid.RowCount() - 1), kLargestSum);
    t.mealCalories[meal - 1] = sums[meal - 1][1];
  }
  qint64 day = 0;
  for (qint64 m : t.mealCalories) day += m;

  total_.SetColCount(kMealColumns);
  total_.SetRowCount(8);
  total_.Clear();
  WriteHeaders(total_, MealHeaders());
  for (int meal = 1; meal <= kMealCount; ++meal) {
    const qint64 m = t.mealCalories[meal - 1];
    t.mealShares[meal - 1] = PercentOf(double(m), double(day));
    t.mealLabels[meal - 1] = MealWord(meal) + QStringLiteral(": ") + Whole(m) +
                             QStringLiteral(" Calories or ") + Percent(t.mealShares[meal - 1]) +
                             QStringLiteral(" of Day Total ") + Whole(day) +
                             QStringLiteral(" Calories");
    QStringList row{MealWord(meal)};
    for (int c = 1; c < kMealColumns; ++c) row << Whole(sums[meal - 1][c]);
    total_.SetRow(meal, row);
  }
  t.calories = GridColumnTotal(total_, 1, 1, 5);
  t.carbs = GridColumnTotal(total_, 2, 1, 5);
  t.protein = GridColumnTotal(total_, 3, 1, 5);
  t.fat = GridColumnTotal(total_, 4, 1, 5);
  total_.SetRow(6, {QStringLiteral("TOTAL"), Whole(t.calories), Grams(t.carbs),
                    Grams(t.protein), Grams(t.fat)});

  t.energy = kCarbEnergy * t.carbs + kProteinEnergy * t.protein + kFatEnergy * t.fat;
  const double e = double(t.energy);
  sum_.SetColCount(std::max(sum_.ColCount(), kMealColumns));
  sum_.SetRowCount(2);
  WriteHeaders(sum_, MealHeaders());
  sum_.SetRow(1, {QStringLiteral("TOTAL"), Whole(t.calories),
                  Percent(PercentOf(double(kCarbEnergy * t.carbs), e)),
                  Percent(PercentOf(double(kProteinEnergy * t.protein), e)),
                  Percent(PercentOf(double(kFatEnergy * t.fat), e))});

  if (historyRow && date_.isValid()) {
    const int row = YearGridRow(date_);
    history_.SetCell(0, row, FormatDate(QStringLiteral("mmmm d"), date_, FileLocale()));
    // A day without food is no day of the diary: no row, no mark, no part of an average.
    const bool food = HoldsFood();
    history_.SetCell(1, row, food ? Whole(t.calories) : QString());
    history_.SetCell(2, row, food ? Whole(t.carbs) : QString());
    history_.SetCell(3, row, food ? Whole(t.protein) : QString());
    history_.SetCell(4, row, food ? Whole(t.fat) : QString());
  }

  t.factCalories = Whole(t.calories);
  t.factCarbs = Grams(t.carbs);
  t.factProtein = Grams(t.protein);
  t.factFat = Grams(t.fat);
  t.factFatCalories = Whole(kFatEnergy * t.fat);
  t.factFatPercent = Percent(PercentOf(double(t.fat), kFatReference));
  t.factCarbsPercent = Percent(PercentOf(double(t.carbs), kCarbsReference));
  t.factProteinPercent = Percent(PercentOf(double(t.protein), kProteinReference));
  totals_ = t;
}

HistoryGraph MealDay::HistoryGraphPoints(int days) const {
  HistoryGraph g;
  if (!loaded_ || !date_.isValid()) return g;
  // The mean of the days that hold calories: a day that holds 0 (an earlier version
  // wrote one for every day only looked at) does not pull it down.
  double sum = 0;
  int count = 0;
  for (int r = 1; r < history_.RowCount(); ++r) {
    double v = 0;
    if (ReadNumericCell(history_.Cell(1, r), &v) && v > 0) {
      sum += v;
      ++count;
    }
  }
  g.average = count > 0 ? static_cast<qint64>(std::floor(sum / count)) : 0;
  const int b = YearGridRow(date_);
  const int back = std::max(days, 0);
  // The viewed day and the days before it in this year ...
  int n = 1;
  for (int r = b; r >= std::max(1, b - back); --r, ++n) {
    double v = 0;
    if (ReadNumericCell(history_.Cell(1, r), &v)) g.points.append({n, r, v});
  }
  // ... then, back over 1 January, the last days of the year before.
  if (back >= b) {
    const int year = date_.year() - 1;
    const int lastRow = QDate(year, 1, 1).daysInYear();
    const int firstRow = std::max(1, lastRow - (back - b));
    if (const CellGrid* before = otherHistories_.Grid(HistoryFilePath(folder_, year))) {
      for (int r = lastRow; r >= firstRow; --r) {
        double v = 0;
        if (ReadNumericCell(before->Cell(1, r), &v)) {
          g.points.append({b + lastRow - r + 1, r, v});
          ++g.previousYearPoints;
        }
      }
    }
  }
  g.labelCount = back + 1;
  return g;
}

bool MealDay::IsDayMarked(const QDate& date) const {
  // The history in memory is the viewed year's; another year's days are not in it.
  if (!loaded_ || !date.isValid() || date.year() != date_.year()) return false;
  return !history_.Cell(1, YearGridRow(date)).trimmed().isEmpty();
}

void MealDay::InsertTopRow(CellGrid& grid) {
  grid.SetRowCount(grid.RowCount() + 1);
  // The new, empty, last row climbs to row 1.
  for (int r = grid.RowCount() - 1; r > 1; --r) grid.SwapRows(r, r - 1);
}

void MealDay::InsertPick(int meal, const FoodPick& pick) {
  if (meal < 1 || meal > kMealCount || pick.IsEmpty()) return;
  CellGrid& grid = MealGrid(meal);
  InsertTopRow(grid);
  OverwriteRow(meal, 1, pick);
}

void MealDay::OverwriteRow(int meal, int row, const FoodPick& pick) {
  if (meal < 1 || meal > kMealCount || pick.IsEmpty()) return;
  CellGrid& grid = MealGrid(meal);
  if (row < 1 || row >= grid.RowCount()) return;
  const QStringList cells = pick.Cells();
  for (int c = 0; c < kMealColumns; ++c) grid.SetCell(c, row, cells.at(c));
  grid.SetCurrent(grid.CurrentCol(), row);
  modified_ = true;
}

void MealDay::DeleteRow(int meal, int row) {
  if (meal < 1 || meal > kMealCount) return;
  CellGrid& grid = MealGrid(meal);
  row = std::max(row, 1);
  if (row >= grid.RowCount()) return;
  for (int c = 0; c < kMealColumns; ++c) grid.SetCell(c, row, QString());
  modified_ = true;
}

void MealDay::RowUp(int meal, int row) {
  if (meal < 1 || meal > kMealCount) return;
  GridRowUp(MealGrid(meal), row);
  modified_ = true;
}

void MealDay::RowDown(int meal, int row) {
  if (meal < 1 || meal > kMealCount) return;
  GridRowDown(MealGrid(meal), row);
  modified_ = true;
}

void MealDay::SetCell(int meal, int col, int row, const QString& text) {
  if (meal < 1 || meal > kMealCount || row < 1) return;
  CellGrid& grid = MealGrid(meal);
  if (grid.Cell(col, row) == text) return;
  grid.SetCell(col, row, text);
  modified_ = true;
}

QString MealDay::ReadFailedMessage() const {
  QStringList out;
  for (const QString& path : DayPaths())
    if (!MayWriteFile(path)) out << NotReplacedMessage(path);
  return out.join(u'\n');
}
