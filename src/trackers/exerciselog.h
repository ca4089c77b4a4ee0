#pragma once
// The exercise records and their arithmetic, without widgets: one year grid per year
// (Exercise folder + year + ".txt", eleven columns, row r = day r of the year), one note
// file per day (Exercise folder + day key + ".txt"), the calorie estimate, the texts the
// view shows, and the week chart and summaries, which are always about today.

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

#include "core/gridcache.h"
#include "core/gridfile.h"
#include "core/textutil.h"
#include "core/units.h"

inline constexpr int kExerciseColumns = 11;
enum ExerciseColumn {
  kExDate = 0,
  kExHours = 1,
  kExMinutes = 2,
  kExIntensity = 3,
  kExActivities = 4,
  kExCalories = 5,
  kExWorkout = 6,
  kExRun = 7,
  kExBike = 8,
  kExSwim = 9,
  kExClimb = 10,
  // The unit of the row's distances ("km" for kilometres and metres, "mi" for miles and
  // feet; core/units.h), written only for a row kept in another system than the
  // unmarked one. The column, headed "Units", is added when a row first needs it.
  kExUnits = 11,
};

// The limits of the form's fields.
inline constexpr int kMaxExerciseHours = 59;
inline constexpr int kMaxExerciseMinutes = 59;
inline constexpr int kMaxIntensity = 10;
inline constexpr int kMaxWorkoutCalories = 10000;

// "Date", "Hours", ... "Climb".
const QStringList& ExerciseHeaders();
// The 63 activities the list holds when neither activity.txt exists.
const QStringList& BuiltInActivities();

QString ExerciseYearPath(const QString& exerciseFolder, int year);
QString ExerciseNotePath(const QString& exerciseFolder, const QDate& date);

// (hours * 60 + minutes) * (intensity + 1) * 2, limited to 0 .. 10000.
int EstimateCalories(int hours, int minutes, int intensity);
// The text under the intensity bar: "10 calories/minute. Like jogging 5 miles/hour";
// in metric the speed in km/hour, rounded to a whole number ("... Like jogging 8 km/hour").
QString IntensityText(int intensity, UnitSystem units = UnitSystem::Imperial);
// The ticked names joined by " and ".
QString WorkoutText(const QStringList& ticked);

// The Activities cell: names joined by commas, a name holding a space, comma, double
// quote or control character written in double quotes (inner quotes doubled). An empty
// list gives the empty text.
QString ActivitiesCell(const QStringList& names);
QStringList ReadActivitiesCell(const QString& cell);
// Splits a day's stored names into those on the list (ticked; compared exactly) and the
// others, which the day keeps although the list no longer offers them.
void SplitStoredActivities(const QStringList& stored, const QStringList& list,
                           QStringList* onList, QStringList* notOnList);

// A day's record as it is stored.
struct WorkoutDay {
  int hours = 0;
  int minutes = 0;
  int intensity = 0;
  int calories = 0;
  QStringList activities;  // ticked names in list order, then the ones not on the list
  QString workout;
  double run = 0;
  double bike = 0;
  double swim = 0;
  double climb = 0;
  // The system the four distances are in: run and bike in miles or kilometres, swim
  // and climb in feet or metres.
  UnitSystem units = UnitSystem::Imperial;
  // The number cells that hold a text that is not a number, by column: they read as 0
  // and are written back as they stand, never replaced by that 0.
  QHash<int, QString> unreadable;
  bool operator==(const WorkoutDay&) const = default;
};

// A day that keeps no workout: every figure 0, no activity, no workout text and no
// unreadable cell, whatever system its distances are in.
bool IsEmptyWorkout(const WorkoutDay& day);

// Whole numbers read as 0 when a cell is not one, and are held to the fields' limits;
// distances read as 0 when a cell is not a number of 0 or more. A row without a unit
// mark is in the unmarked system.
WorkoutDay ReadWorkoutDay(const CellGrid& grid, int row,
                          UnitSystem unmarked = UnitSystem::Imperial);
// Writes every column of the day row, zeros included; numbers with ".", a unit mark
// only outside the unmarked system.
void WriteWorkoutDay(CellGrid& grid, int row, const WorkoutDay& day,
                     UnitSystem unmarked = UnitSystem::Imperial);
// The same day with its distances in another system (exactly converted).
WorkoutDay InUnits(WorkoutDay day, UnitSystem units);
// A day is marked on the month grid when its Calories cell, trimmed, is neither empty
// nor "0".
bool HasWorkoutText(const QString& caloriesCell);

// One bar of the week chart.
struct WeekBar {
  QDate date;
  int calories = 0;
  bool operator==(const WeekBar&) const = default;
};

// The totals of three windows ending today: 7 days (today and the 6 before), 30 days
// (today and the 29 before) and the year so far.
struct ExerciseSummary {
  enum Window { Week = 0, Month = 1, Year = 2 };
  qint64 calories[3] = {0, 0, 0};
  double run[3] = {0, 0, 0};
  double bike[3] = {0, 0, 0};
  qint64 swim[3] = {0, 0, 0};
  qint64 climb[3] = {0, 0, 0};
};
// The windows within one year's grid (ExerciseLog::Summaries reaches into the year
// before). The distances are summed in the shown system, each row converted from its own.
ExerciseSummary SummarizeYear(const CellGrid& grid, int todayRow,
                              UnitSystem shown = UnitSystem::Imperial,
                              UnitSystem unmarked = UnitSystem::Imperial);
// The texts of grid_calories (3 rows) and Grid_Facts (5 rows), 4 columns each, in the
// shown system (fat in lbs or kg, distances in miles and feet or km and m).
QVector<QStringList> CalorieSummaryRows(const ExerciseSummary& s,
                                        UnitSystem shown = UnitSystem::Imperial);
QVector<QStringList> DistanceSummaryRows(const ExerciseSummary& s,
                                         UnitSystem shown = UnitSystem::Imperial);

// The activity list file (activity.txt): one name per line.
struct ActivityList {
  QStringList items;
  // Why the user's file is not shown, or shown read-only (its read error or read-only
  // notice); empty when it was read as it is or is missing.
  QString error;
};
// The most names the activity list shows.
inline constexpr int kMostActivities = 1000;
// The user's file, else the program's, else the built-in list. Blank lines are skipped.
// A user's list of more than kMostActivities names shows its first ones, read-only.
// A user's file that exists but could not be read is never replaced (the file layer
// guards it, SaveActivityList refuses); the program's list serves meanwhile. One far
// larger than a list is, or damaged, is shown read-only.
ActivityList LoadActivityList(const QString& userPath, const QString& programPath);
// False with the message when the list cannot be written, or its file was not read
// whole (it holds names this list never saw).
bool SaveActivityList(const QString& path, const QStringList& items, QString* error);
// The answer of the "New Activity Type" box, trimmed, when it may be added: not empty,
// not "Activity", and not on the list already (compared trimmed, ignoring case).
// Empty when nothing is to be added.
QString ActivityToAdd(const QStringList& items, const QString& answer);

// One shown year of records, and read-only looks at other years' files for the charts
// about today.
class ExerciseLog {
 public:
  explicit ExerciseLog(const QString& exerciseFolder);

  const QString& Folder() const { return folder_; }
  // The system of rows without a unit mark (Config::UnmarkedUnits).
  void SetUnmarkedUnits(UnitSystem units) { unmarked_ = units; }
  UnitSystem UnmarkedUnits() const { return unmarked_; }

  // Loads the year file, or starts the year empty when there is none. False with the
  // user's message when the file exists but cannot be read; the grid is then the empty
  // year and Save refuses to replace the file.
  bool OpenYear(int year, QString* error = nullptr);
  bool YearLoaded() const { return year_ > 0; }
  int Year() const { return year_; }
  const QString& YearPath() const { return yearPath_; }
  // The year file could not be read (its records are not on screen) or was opened
  // read-only: saves are refused, with ReadFailedMessage.
  bool YearReadFailed() const;
  QString ReadFailedMessage() const;
  const CellGrid& Grid() const { return grid_; }

  WorkoutDay Day(int row) const { return ReadWorkoutDay(grid_, row, unmarked_); }
  void SetDay(int row, const WorkoutDay& day) { WriteWorkoutDay(grid_, row, day, unmarked_); }
  bool HasWorkout(int row) const;
  // Writes the whole year grid. False with the message on failure, and when the file
  // could not be read (it holds records this grid never saw).
  bool Save(QString* error = nullptr);

  // Calories of the 7 days that end today (the days of the 7-day total), oldest first; each date's row is read from
  // its own year (the shown grid for the shown year, the file for another).
  QVector<WeekBar> WeekChart(const QDate& today) const;
  // Today's windows, the 7 and 30 days reaching into the year before on early January.
  ExerciseSummary Summaries(const QDate& today, UnitSystem shown = UnitSystem::Imperial) const;

 private:
  // The grid of a year: the shown one, or a read-only copy of that year's file (read
  // again when the file changes). Null when there is no file or it cannot be read.
  const CellGrid* YearGrid(int year) const;

  QString folder_;
  UnitSystem unmarked_ = UnitSystem::Imperial;
  int year_ = 0;
  QString yearPath_;
  CellGrid grid_;
  GridFileCache others_;
};
