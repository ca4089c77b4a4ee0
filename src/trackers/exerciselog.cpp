#include "trackers/exerciselog.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "core/textfile.h"

const QStringList& ExerciseHeaders() {
  static const QStringList headers{
      QStringLiteral("Date"),     QStringLiteral("Hours"),      QStringLiteral("Minutes"),
      QStringLiteral("Intensity"), QStringLiteral("Activities"), QStringLiteral("Calories"),
      QStringLiteral("Workout"),  QStringLiteral("Run"),        QStringLiteral("Bike"),
      QStringLiteral("Swim"),     QStringLiteral("Climb")};
  return headers;
}

const QStringList& BuiltInActivities() {
  // "Boxing " ends in a space: days stored with it name it so.
  static const QStringList items{
      "Aerobics", "Badminton", "Baseball", "Basketball", "Bicycling", "Billiards", "Bowling",
      "Boxing ", "Child Care", "Circuit training", "Cricket", "Crunches", "Cycling",
      "Cycling (Stationary)", "Cleaning (House)", "Coaching", "Dancing", "Elliptical machine",
      "Football", "Gardening", "Golf", "Hiking", "Hockey", "Home Repairs", "Horseback Riding",
      "Jiu-Jitsu", "Jump - rope", "Karate", "Kayaking", "Kick-boxing", "Pilates",
      "Racquetball", "Rock Climbing", "Rowing (water)", "Rowing (machine)", "Rugby",
      "Running", "Running (treadmill)", "Sexual Activity", "Skateboarding", "Skating (ice)",
      "Skating (inline)", "Skating (roller)", "Skiing", "Snorkeling", "Snowboarding",
      "Soccer", "Spinning", "Squash", "Stairclimber (machine)", "Swimming", "Tae kwon do",
      "Tae-Bo", "Tai chi", "Tennis", "Ultimate Frisbee", "Vacuuming", "Volleyball", "Walking",
      "Water skiing", "Weight Training", "Wrestling", "Yoga"};
  return items;
}

QString ExerciseYearPath(const QString& exerciseFolder, int year) {
  return exerciseFolder + QString::number(year) + QStringLiteral(".txt");
}

QString ExerciseNotePath(const QString& exerciseFolder, const QDate& date) {
  return exerciseFolder + DayKey(date) + QStringLiteral(".txt");
}

int EstimateCalories(int hours, int minutes, int intensity) {
  const qint64 calories = (qint64(hours) * 60 + minutes) * (qint64(intensity) + 1) * 2;
  return int(std::clamp<qint64>(calories, 0, kMaxWorkoutCalories));
}

QString IntensityText(int intensity, UnitSystem units) {
  const int v = intensity + 1;
  const char* like = v <= 4 ? " calories/minute. Like walking "
                     : v <= 7 ? " calories/minute. Like jogging "
                              : " calories/minute. Like Running ";
  const QString speed = units == UnitSystem::Imperial
                            ? QString::number(v) + QStringLiteral(" miles/hour")
                            : QString::number(std::lround(ConvertDistance(v, UnitSystem::Imperial,
                                                                          UnitSystem::Metric))) +
                                  QStringLiteral(" km/hour");
  return QString::number(2 * v) + QLatin1String(like) + speed;
}

QString WorkoutText(const QStringList& ticked) { return ticked.join(QStringLiteral(" and ")); }

QString ActivitiesCell(const QStringList& names) {
  if (names.isEmpty()) return {};
  return WriteGridLine(names);
}

QStringList ReadActivitiesCell(const QString& cell) {
  if (cell.trimmed().isEmpty()) return {};
  return ReadGridLine(cell);
}

void SplitStoredActivities(const QStringList& stored, const QStringList& list,
                           QStringList* onList, QStringList* notOnList) {
  onList->clear();
  notOnList->clear();
  for (const QString& name : stored) {
    if (list.contains(name)) {
      if (!onList->contains(name)) onList->append(name);
    } else if (!name.isEmpty() && !notOnList->contains(name)) {
      notOnList->append(name);
    }
  }
}

namespace {
// A whole-number cell; any other text it holds is kept in `unreadable`.
int WholeCell(const CellGrid& grid, int col, int row, int max, WorkoutDay* day) {
  const QString cell = grid.Cell(col, row);
  bool ok = false;
  const int v = cell.trimmed().toInt(&ok);
  if (ok) return std::clamp(v, 0, max);
  const QString text = cell.trimmed();
  if (!text.isEmpty()) day->unreadable.insert(col, text);
  return 0;
}

// A distance: a number of 0 or more; any other text is kept in `unreadable`.
double NumberCell(const CellGrid& grid, int col, int row, WorkoutDay* day) {
  const StoredNumber n = ReadStoredNumber(grid.Cell(col, row));
  if (n.IsNumber() && std::isfinite(n.value) && n.value >= 0) return n.value;
  if (!n.text.isEmpty()) day->unreadable.insert(col, n.text);
  return 0;
}

// The system of a row's distances.
UnitSystem RowUnits(const QStringList& texts, UnitSystem unmarked) {
  return texts.size() > kExUnits ? RecordUnits(texts.at(kExUnits), unmarked) : unmarked;
}
}  // namespace

bool IsEmptyWorkout(const WorkoutDay& day) {
  WorkoutDay plain = day;
  plain.units = WorkoutDay{}.units;
  return plain == WorkoutDay{};
}

WorkoutDay ReadWorkoutDay(const CellGrid& grid, int row, UnitSystem unmarked) {
  WorkoutDay day;
  day.hours = WholeCell(grid, kExHours, row, kMaxExerciseHours, &day);
  day.minutes = WholeCell(grid, kExMinutes, row, kMaxExerciseMinutes, &day);
  day.intensity = WholeCell(grid, kExIntensity, row, kMaxIntensity, &day);
  day.calories = WholeCell(grid, kExCalories, row, kMaxWorkoutCalories, &day);
  day.activities = ReadActivitiesCell(grid.Cell(kExActivities, row));
  day.workout = grid.Cell(kExWorkout, row).trimmed();
  day.run = NumberCell(grid, kExRun, row, &day);
  day.bike = NumberCell(grid, kExBike, row, &day);
  day.swim = NumberCell(grid, kExSwim, row, &day);
  day.climb = NumberCell(grid, kExClimb, row, &day);
  day.units = RowUnits(grid.RowTexts(row), unmarked);
  return day;
}

void WriteWorkoutDay(CellGrid& grid, int row, const WorkoutDay& day, UnitSystem unmarked) {
  auto put = [&](int col, const QString& text) {
    grid.SetCell(col, row, day.unreadable.value(col, text));
  };
  put(kExHours, QString::number(day.hours));
  put(kExMinutes, QString::number(day.minutes));
  put(kExIntensity, QString::number(day.intensity));
  grid.SetCell(kExActivities, row, ActivitiesCell(day.activities));
  put(kExCalories, QString::number(day.calories));
  grid.SetCell(kExWorkout, row, day.workout.trimmed());
  put(kExRun, StoredNumberText(day.run));
  put(kExBike, StoredNumberText(day.bike));
  put(kExSwim, StoredNumberText(day.swim));
  put(kExClimb, StoredNumberText(day.climb));
  if (day.units != unmarked) {
    if (grid.ColCount() <= kExUnits) grid.SetColCount(kExUnits + 1);
    if (grid.Cell(kExUnits, 0).trimmed().isEmpty())
      grid.SetCell(kExUnits, 0, QStringLiteral("Units"));
    grid.SetCell(kExUnits, row, DistanceUnitMark(day.units));
  } else if (!grid.Cell(kExUnits, row).trimmed().isEmpty()) {
    grid.SetCell(kExUnits, row, QString());
  }
}

WorkoutDay InUnits(WorkoutDay day, UnitSystem units) {
  day.run = ConvertDistance(day.run, day.units, units);
  day.bike = ConvertDistance(day.bike, day.units, units);
  day.swim = ConvertFeet(day.swim, day.units, units);
  day.climb = ConvertFeet(day.climb, day.units, units);
  day.units = units;
  return day;
}

bool HasWorkoutText(const QString& caloriesCell) {
  const QString t = caloriesCell.trimmed();
  return !t.isEmpty() && t != u"0";
}

namespace {
// The windows of a day of one year; with the grid of the year before (and its number of
// days) the 7- and 30-day windows reach back into it.
ExerciseSummary SumDays(const CellGrid& grid, int todayRow, const CellGrid* previousYear,
                        int previousDays, UnitSystem shown, UnitSystem unmarked) {
  // One pass over the days adds each value to every window it falls in. Row r of the
  // year before stands `offset` rows before this year's row 1.
  constexpr int kColumns[] = {kExCalories, kExRun, kExBike, kExSwim, kExClimb};
  double sums[5][3] = {};
  const int weekFirst = todayRow - 6, monthFirst = todayRow - 29;
  auto add = [&](const CellGrid& g, int from, int to, int offset, bool thisYear) {
    const int last = std::min(to, g.RowCount() - 1);
    for (int r = std::max(from, 1); r <= last; ++r) {
      const QStringList& texts = g.RowTexts(r);
      const int day = r - offset;
      const UnitSystem units = RowUnits(texts, unmarked);
      for (int k = 0; k < 5; ++k) {
        const int c = kColumns[k];
        if (c >= texts.size()) break;
        double v;
        if (!ReadNumericCell(texts.at(c), &v)) continue;
        if (k == 1 || k == 2) v = ConvertDistance(v, units, shown);
        if (k == 3 || k == 4) v = ConvertFeet(v, units, shown);
        if (thisYear) sums[k][ExerciseSummary::Year] += v;
        if (day >= monthFirst) sums[k][ExerciseSummary::Month] += v;
        if (day >= weekFirst) sums[k][ExerciseSummary::Week] += v;
      }
    }
  };
  add(grid, 1, todayRow, 0, true);
  if (previousYear && monthFirst < 1)
    add(*previousYear, previousDays + monthFirst, previousDays, previousDays, false);
  ExerciseSummary s;
  auto whole = [](double v) { return std::isfinite(v) ? qint64(std::floor(v)) : qint64(0); };
  // Miles are typed with a decimal; their sums keep it (a 0.8 mile walk is not 0 miles).
  auto tenth = [](double v) { return std::isfinite(v) ? std::round(v * 10) / 10 : 0.0; };
  for (int w = 0; w < 3; ++w) {
    s.calories[w] = whole(sums[0][w]);
    s.run[w] = tenth(sums[1][w]);
    s.bike[w] = tenth(sums[2][w]);
    s.swim[w] = whole(sums[3][w]);
    s.climb[w] = whole(sums[4][w]);
  }
  return s;
}
}  // namespace

ExerciseSummary SummarizeYear(const CellGrid& grid, int todayRow, UnitSystem shown,
                              UnitSystem unmarked) {
  return SumDays(grid, todayRow, nullptr, 0, shown, unmarked);
}

QVector<QStringList> CalorieSummaryRows(const ExerciseSummary& s, UnitSystem shown) {
  QVector<QStringList> rows{
      {QStringLiteral("Burned"), QStringLiteral("7 Days"), QStringLiteral("30 Days"),
       QStringLiteral("Year so far")},
      {QStringLiteral("Calories")},
      {QStringLiteral("Fat")}};
  for (int w = 0; w < 3; ++w) {
    rows[1] << QString::number(s.calories[w]) + QStringLiteral(" KCal");
    // 3500 calories to the pound of body fat.
    rows[2] << FormatNumber(QStringLiteral("0.0"),
                            ConvertWeight(double(s.calories[w]) / 3500.0,
                                          UnitSystem::Imperial, shown)) +
                   (shown == UnitSystem::Imperial ? QStringLiteral(" lbs") : QStringLiteral(" kg"));
  }
  return rows;
}

QVector<QStringList> DistanceSummaryRows(const ExerciseSummary& s, UnitSystem shown) {
  QVector<QStringList> rows{
      {QStringLiteral("Distance"), QStringLiteral("7 Days"), QStringLiteral("30 Days"),
       QStringLiteral("Year so far")},
      {QStringLiteral("Run")},
      {QStringLiteral("Bike")},
      {QStringLiteral("Swim")},
      {QStringLiteral("Climb")}};
  const bool imperial = shown == UnitSystem::Imperial;
  const QString far = imperial ? QStringLiteral(" miles") : QStringLiteral(" km");
  const QString near = imperial ? QStringLiteral(" feet") : QStringLiteral(" m");
  for (int w = 0; w < 3; ++w) {
    rows[1] << ShortestNumberText(s.run[w]) + far;
    rows[2] << ShortestNumberText(s.bike[w]) + far;
    rows[3] << QString::number(s.swim[w]) + near;
    rows[4] << QString::number(s.climb[w]) + near;
  }
  return rows;
}

namespace {
QStringList NonBlank(const QStringList& lines) {
  QStringList items;
  for (const QString& line : lines)
    if (!line.trimmed().isEmpty()) items << line;
  return items;
}
}  // namespace

ActivityList LoadActivityList(const QString& userPath, const QString& programPath) {
  ActivityList list;
  QStringList lines;
  if (QFileInfo::exists(userPath)) {
    if (ReadTextLines(userPath, &lines, &list.error)) {
      list.items = NonBlank(lines);
      if (list.items.size() > kMostActivities) {
        // A check list of a million names would hold the window for minutes: the first
        // ones are shown, and the file, which holds more than is shown, is never replaced.
        GuardDamaged(userPath, QStringLiteral("holds %1 names, more than the list shows")
                                   .arg(QLocale().toString(qint64(list.items.size()))));
        list.items.resize(kMostActivities);
      }
      list.error = ReadOnlyNotice(userPath);
      return list;
    }
  }
  QString error;
  if (QFileInfo::exists(programPath) && ReadTextLines(programPath, &lines, &error)) {
    list.items = NonBlank(lines);
    return list;
  }
  list.items = BuiltInActivities();
  return list;
}

bool SaveActivityList(const QString& path, const QStringList& items, QString* error) {
  // Replacing a list that was not read whole would lose the names it holds.
  if (!MayWriteFile(path)) {
    if (error) *error = NotReplacedMessage(path);
    return false;
  }
  return WriteTextLines(path, items, error);
}

QString ActivityToAdd(const QStringList& items, const QString& answer) {
  const QString name = answer.trimmed();
  if (name.isEmpty() || name == u"Activity") return {};
  for (const QString& item : items)
    if (item.trimmed().compare(name, Qt::CaseInsensitive) == 0) return {};
  return name;
}

// --- ExerciseLog -------------------------------------------------------------------

ExerciseLog::ExerciseLog(const QString& exerciseFolder) : folder_(exerciseFolder) {}

bool ExerciseLog::OpenYear(int year, QString* error) {
  year_ = year;
  yearPath_ = ExerciseYearPath(folder_, year);
  others_.Forget(yearPath_);
  return OpenYearGrid(grid_, year, kExerciseColumns, ExerciseHeaders(), yearPath_, error);
}

bool ExerciseLog::YearReadFailed() const { return YearLoaded() && !MayWriteFile(yearPath_); }

QString ExerciseLog::ReadFailedMessage() const {
  if (!YearReadFailed()) return {};
  return NotReplacedMessage(yearPath_);
}

bool ExerciseLog::HasWorkout(int row) const {
  return YearLoaded() && HasWorkoutText(grid_.Cell(kExCalories, row));
}

bool ExerciseLog::Save(QString* error) {
  if (!YearLoaded()) return true;
  if (YearReadFailed()) {
    if (error) *error = ReadFailedMessage();
    return false;
  }
  return SaveGridFile(grid_, yearPath_, error);
}

const CellGrid* ExerciseLog::YearGrid(int year) const {
  // A shown year whose file could not be read holds none of its records.
  if (year == year_) return GuardOf(yearPath_) == FileGuard::Unreadable ? nullptr : &grid_;
  return others_.Grid(ExerciseYearPath(folder_, year));
}

QVector<WeekBar> ExerciseLog::WeekChart(const QDate& today) const {
  QVector<WeekBar> bars;
  bars.reserve(7);
  for (int i = 6; i >= 0; --i) {
    const QDate d = today.addDays(-i);
    const CellGrid* grid = YearGrid(d.year());
    int calories = 0;
    if (grid) {
      bool ok = false;
      const int v = grid->Cell(kExCalories, YearGridRow(d)).trimmed().toInt(&ok);
      if (ok) calories = v;
    }
    bars.append({d, calories});
  }
  return bars;
}

ExerciseSummary ExerciseLog::Summaries(const QDate& today, UnitSystem shown) const {
  const CellGrid* previous = YearGrid(today.year() - 1);
  const CellGrid* grid = YearGrid(today.year());
  // A year without its file still counts the days of December in its first weeks.
  static const CellGrid kNoDays;
  return SumDays(grid ? *grid : kNoDays, YearGridRow(today), previous,
                 QDate(today.year() - 1, 1, 1).daysInYear(), shown, unmarked_);
}
