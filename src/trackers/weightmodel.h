#pragma once
// The weight records: one year file of daily weights (Weight folder + year + ".txt", a
// ten-column year grid with the weight in column 1) and one goal file per month
// (Weight folder + "Y" + year + "M" + month + ".ini", section "M" + month, keys "Goal"
// and "D" + day). The view edits one shown day at a time through this class.

#include <QDate>
#include <QString>
#include <QVector>

#include "core/inifile.h"
#include "core/gridfile.h"

inline constexpr int kWeightColumns = 10;
inline constexpr int kWeightColumn = 1;
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
// above -1, dated 1 January of the year + row - 1 days. Other texts are skipped.
QVector<DatedWeight> WeightHistoryPoints(const CellGrid& grid, int year,
                                         const QLocale& locale = AppLocale());

class WeightModel {
 public:
  explicit WeightModel(const QString& weightFolder);

  // The shown day; its goal file and year grid are opened by OpenGoal / OpenYear.
  void SetDate(const QDate& date);
  const QDate& Date() const { return date_; }

  // Opens the goal file of the shown month. A missing file means no goal yet; an
  // unreadable one gives false with the user's message (the goal then reads 150, and
  // the file is never replaced: its saves are refused).
  bool OpenGoal(QString* error = nullptr);
  double Goal() const;

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

  // The shown day's row and its stored weight (0 when empty or not a number).
  int Row() const { return date_.isValid() ? YearGridRow(date_) : 0; }
  double StoredWeight() const;
  QString WeightText(int row) const { return grid_.Cell(kWeightColumn, row); }
  void SetWeightText(int row, const QString& text);
  // Whether the row of the loaded year grid holds a weight (no file access).
  bool HasWeight(int row) const;
  QVector<DatedWeight> History() const { return WeightHistoryPoints(grid_, year_); }

  // Stores the day: "D" + day and "Goal" in the goal file, the weight as text in the
  // year grid; writes the year file (when a weight changed since it was written, or it
  // does not exist yet), then the goal file (nothing when its bytes are the same). Both
  // are attempted; false with the messages (one per line) when either failed.
  bool SaveDay(double weight, double goal, QString* error = nullptr);

 private:
  QString folder_;
  QDate date_;
  IniFile goal_;
  CellGrid grid_;
  int year_ = 0;
  QString yearPath_;
  bool yearLoaded_ = false;
  // A weight of the year grid changed since the year file was last read or written.
  bool yearChanged_ = false;
};
