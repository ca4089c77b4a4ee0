#pragma once
// The weight records: one year file of daily weights (Weight folder + year + ".txt", a
// ten-column year grid with the weight in column 1) and one goal file per month
// (Weight folder + "Y" + year + "M" + month + ".ini", section "M" + month, keys "Goal"
// and "D" + day). The view edits one shown day at a time through this class.

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

#include "core/inifile.h"
#include "core/gridcache.h"
#include "core/gridfile.h"
#include "core/units.h"

inline constexpr int kWeightColumns = 10;
inline constexpr int kWeightColumn = 1;
// The unit of a row's weight ("kg" / "lbs", core/units.h), written only for a weight
// typed in another system than the unmarked one; headed "Unit" once a row has one.
inline constexpr int kWeightUnitColumn = 3;
// A month without a stored goal.
inline constexpr double kDefaultWeightGoal = 150.0;

// A day has a weight when its trimmed cell is neither empty nor "0" nor "0.0". ("0" is
// what "clear" leaves behind.)
bool HasWeightText(const QString& cell);

QString WeightYearPath(const QString& weightFolder, int year);
QString WeightGoalPath(const QString& weightFolder, int year, int month);
QString WeightGoalSection(int month);

struct DatedWeight {
  QDate date;
  double weight = 0;
  bool operator==(const DatedWeight&) const = default;
};

// The history chart's points: every day row with a weight that reads as a number
// above -1, dated 1 January of the year + row - 1 days, in the shown system (each row
// converted from its own unit). Other texts are skipped.
QVector<DatedWeight> WeightHistoryPoints(const CellGrid& grid, int year,
                                         UnitSystem shown = UnitSystem::Imperial,
                                         UnitSystem unmarked = UnitSystem::Imperial);
// The system a row's weight is in.
UnitSystem WeightRowUnits(const CellGrid& grid, int row, UnitSystem unmarked);

class WeightModel {
 public:
  explicit WeightModel(const QString& weightFolder);

  // The shown day; its goal file and year grid are opened by OpenGoal / OpenYear.
  void SetDate(const QDate& date);
  const QDate& Date() const { return date_; }
  // The system the view shows numbers in, and the one of records without a unit mark
  // (Config::UnmarkedUnits). Every weight this class hands out or takes is in the shown
  // system; records keep the unit they were written in.
  void SetUnits(UnitSystem shown, UnitSystem unmarked);
  UnitSystem ShownUnits() const { return shown_; }

  // Opens the goal file of the shown month. A missing file means no goal yet; an
  // unreadable one gives false with the user's message (the goal then reads 150, and
  // the file is never replaced: its saves are refused).
  bool OpenGoal(QString* error = nullptr);
  // The month's goal in the shown system (150 in the unmarked system when none is
  // stored, or when the stored text is not a number: GoalReading tells which).
  double Goal() const;
  StoredNumber GoalReading() const;

  // Loads the year file of the shown date, or starts an empty year when it is missing.
  // False with the user's message when the file exists but cannot be read; the view
  // then holds an empty year and that file is never replaced (its saves are refused).
  // A file far larger than a year file is opened read-only.
  bool OpenYear(QString* error = nullptr);
  bool YearLoaded() const { return yearLoaded_; }
  // Notices for the files of the shown day opened read-only (the error box says each
  // once).
  QStringList ReadOnlyNotices() const;
  int Year() const { return year_; }
  const QString& YearPath() const { return yearPath_; }
  const CellGrid& Grid() const { return grid_; }

  // The shown day's row and its stored weight in the shown system (0 when empty or not
  // a number; DayWeight tells which).
  int Row() const { return date_.isValid() ? YearGridRow(date_) : 0; }
  double StoredWeight() const;
  StoredNumber DayWeight() const;
  QString WeightText(int row) const { return grid_.Cell(kWeightColumn, row); }
  // The weight cell's text as it stands; a text that is no weight ("0") drops the
  // row's unit mark.
  void SetWeightText(int row, const QString& text);
  // A weight in the shown system, with the row's unit mark.
  void SetWeight(int row, double weight);
  // Whether the row of the loaded year grid holds a weight (no file access).
  bool HasWeight(int row) const;
  QVector<DatedWeight> History() const {
    return WeightHistoryPoints(grid_, year_, shown_, unmarked_);
  }
  // The weights of the days from `from` to `to`, across year files: the loaded year
  // from memory, the others from their files (read, never written).
  QVector<DatedWeight> History(const QDate& from, const QDate& to) const;

  // Stores the day: the weight in the year grid when a weight is given, "Goal" when a
  // goal is given, and "D" + day whenever the goal file is written (both in the shown system; what is not given stays as it
  // is stored, so that a value that could not be read is never replaced by what the
  // view showed for it). Writes the year file (when a weight changed since it was
  // written, or it does not exist yet), then the goal file (nothing when its bytes are
  // the same). Both are attempted; false with the messages (one per line) when either
  // failed.
  // shownWeight is what "D" + day notes when only the goal is given.
  bool SaveDay(std::optional<double> weight, std::optional<double> goal,
               QString* error = nullptr, std::optional<double> shownWeight = std::nullopt);

 private:
  // The system the goal section's numbers are in ("Unit" key, or the unmarked one).
  UnitSystem GoalUnits() const;
  // Puts every number of the goal section into the shown system before one is written
  // in it, so that the section keeps one unit; then marks the section with it.
  void ConvertGoalSection();
  void MarkGoalSection();
  QString folder_;
  UnitSystem shown_ = UnitSystem::Imperial;
  UnitSystem unmarked_ = UnitSystem::Imperial;
  GridFileCache others_;  // the years the history reaches besides the loaded one
  QDate date_;
  IniFile goal_;
  CellGrid grid_;
  int year_ = 0;
  QString yearPath_;
  bool yearLoaded_ = false;
  // A weight of the year grid changed since the year file was last read or written.
  bool yearChanged_ = false;
  // A value of the goal file changed since it was last read or written.
  bool goalChanged_ = false;
};
