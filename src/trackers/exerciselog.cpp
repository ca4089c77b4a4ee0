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

QString IntensityText(int intensity) {
  const int v = intensity + 1;
  const char* like = v <= 4 ? " calories/minute. Like walking "
                     : v <= 7 ? " calories/minute. Like jogging "
                              : " calories/minute. Like Running ";
  return QString::number(2 * v) + QLatin1String(like) + QString::number(v) +
         QStringLiteral(" miles/hour");
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
int WholeCell(const QString& cell, int max) {
  bool ok = false;
  const int v = cell.trimmed().toInt(&ok);
  return ok ? std::clamp(v, 0, max) : 0;
}

double NumberCell(const QString& cell, const QLocale& locale) {
  double v = 0;
  return ReadNumericCell(cell, &v, locale) && std::isfinite(v) ? v : 0;
}
}  // namespace

WorkoutDay ReadWorkoutDay(const CellGrid& grid, int row, const QLocale& locale) {
  WorkoutDay day;
  day.hours = WholeCell(grid.Cell(kExHours, row), kMaxExerciseHours);
  day.minutes = WholeCell(grid.Cell(kExMinutes, row), kMaxExerciseMinutes);
  day.intensity = WholeCell(grid.Cell(kExIntensity, row), kMaxIntensity);
  day.calories = WholeCell(grid.Cell(kExCalories, row), kMaxWorkoutCalories);
  day.activities = ReadActivitiesCell(grid.Cell(kExActivities, row));
  day.workout = grid.Cell(kExWorkout, row).trimmed();
  day.run = NumberCell(grid.Cell(kExRun, row), locale);
  day.bike = NumberCell(grid.Cell(kExBike, row), locale);
  day.swim = NumberCell(grid.Cell(kExSwim, row), locale);
  day.climb = NumberCell(grid.Cell(kExClimb, row), locale);
  return day;
}

void WriteWorkoutDay(CellGrid& grid, int row, const WorkoutDay& day, const QLocale& locale) {
  grid.SetCell(kExHours, row, QString::number(day.hours));
  grid.SetCell(kExMinutes, row, QString::number(day.minutes));
  grid.SetCell(kExIntensity, row, QString::number(day.intensity));
  grid.SetCell(kExActivities, row, ActivitiesCell(day.activities));
  grid.SetCell(kExCalories, row, QString::number(day.calories));
  grid.SetCell(kExWorkout, row, day.workout.trimmed());
  grid.SetCell(kExRun, row, ShortestNumberText(day.run, locale));
  grid.SetCell(kExBike, row, ShortestNumberText(day.bike, locale));
  grid.SetCell(kExSwim, row, ShortestNumberText(day.swim, locale));
  grid.SetCell(kExClimb, row, ShortestNumberText(day.climb, locale));
}

bool HasWorkoutText(const QString& caloriesCell) {
  const QString t = caloriesCell.trimmed();
  return !t.isEmpty() && t != u"0";
}

ExerciseSummary SummarizeYear(const CellGrid& grid, int todayRow, const QLocale& locale) {
  // One pass over the year so far adds each value to every window it falls in.
  constexpr int kColumns[] = {kExCalories, kExRun, kExBike, kExSwim, kExClimb};
  double sums[5][3] = {};
  const int last = std::min(todayRow, grid.RowCount() - 1);
  const int weekFirst = todayRow - 6, monthFirst = todayRow - 29;
  for (int r = 1; r <= last; ++r) {
    const QStringList& texts = grid.RowTexts(r);
    for (int k = 0; k < 5; ++k) {
      const int c = kColumns[k];
      if (c >= texts.size()) break;
      double v;
      if (!ReadNumericCell(texts.at(c), &v, locale)) continue;
      sums[k][ExerciseSummary::Year] += v;
      if (r >= monthFirst) sums[k][ExerciseSummary::Month] += v;
      if (r >= weekFirst) sums[k][ExerciseSummary::Week] += v;
    }
  }
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

QVector<QStringList> CalorieSummaryRows(const ExerciseSummary& s) {
  QVector<QStringList> rows{
      {QStringLiteral("Burned"), QStringLiteral("7 Days"), QStringLiteral("30 Days"),
       QStringLiteral("Year so far")},
      {QStringLiteral("Calories")},
      {QStringLiteral("Fat")}};
  for (int w = 0; w < 3; ++w) {
    rows[1] << QString::number(s.calories[w]) + QStringLiteral(" KCal");
    rows[2] << FormatNumber(QStringLiteral("0.0"), double(s.calories[w]) / 3500.0) +
                   QStringLiteral(" lbs");
  }
  return rows;
}

QVector<QStringList> DistanceSummaryRows(const ExerciseSummary& s) {
  QVector<QStringList> rows{
      {QStringLiteral("Distance"), QStringLiteral("7 Days"), QStringLiteral("30 Days"),
       QStringLiteral("Year so far")},
      {QStringLiteral("Run")},
      {QStringLiteral("Bike")},
      {QStringLiteral("Swim")},
      {QStringLiteral("Climb")}};
  for (int w = 0; w < 3; ++w) {
    rows[1] << ShortestNumberText(s.run[w]) + QStringLiteral(" miles");
    rows[2] << ShortestNumberText(s.bike[w]) + QStringLiteral(" miles");
    rows[3] << QString::number(s.swim[w]) + QStringLiteral(" feet");
    rows[4] << QString::number(s.climb[w]) + QStringLiteral(" feet");
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
  others_.remove(year);
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
  const QString path = ExerciseYearPath(folder_, year);
  const QFileInfo info(path);
  if (!info.exists()) {
    others_.remove(year);
    return nullptr;
  }
  OtherYear& other = others_[year];
  const QDateTime modified = info.lastModified();
  if (other.size != info.size() || other.modified != modified) {
    other.size = info.size();
    other.modified = modified;
    other.ok = LoadGridFile(other.grid, path);
  }
  return other.ok ? &other.grid : nullptr;
}

QVector<WeekBar> ExerciseLog::WeekChart(const QDate& today) const {
  QVector<WeekBar> bars;
  bars.reserve(8);
  for (int i = 7; i >= 0; --i) {
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

ExerciseSummary ExerciseLog::Summaries(const QDate& today) const {
  const CellGrid* grid = YearGrid(today.year());
  if (!grid) return {};
  return SummarizeYear(*grid, YearGridRow(today));
}
