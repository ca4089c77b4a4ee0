#pragma once
// The sleep log: a day is 48 half-hour slots from 8 pm; the view shows a window of 33 days
// and the marks live in one year grid file per calendar year (Sleep folder + year +
// "-Sleep.txt"), slot k of day d in column k + 10 of row d, the day's hours in column 2.
//
// The window of December ends with 1 and 2 January of the next year. Those two columns
// belong to the next year's file, held alongside the shown year; rows are never looked up
// by day number alone, so they never touch 1 and 2 January of the shown year.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>

#include "core/gridcache.h"
#include "core/gridfile.h"
#include "core/heldyears.h"
#include "core/monthwindow.h"

inline constexpr int kSleepDayColumns = kWindowDays;
inline constexpr int kSleepSlots = 48;
inline constexpr int kSleepYearColumns = 59;

// Columns of the sleep year file.
enum SleepYearColumn {
  kSleepDateCol = 0,    // "mmmm d", written when the grid is started
  kSleepEditedCol = 1,  // "mmm d" (English month names), written each time the day is edited
  kSleepHoursCol = 2,   // hours asleep, "0.0" with "." whatever the locale
};
// Slot k (1..48) of a day lives in this column.
inline constexpr int SleepSlotColumn(int slot) { return slot + 10; }

// The time a slot (1..48) starts: slot 1 at 8 pm, a half hour each; slot 49 would be
// the next day's 8 pm.
QTime SleepSlotStart(int slot);
// The slot that starts at a time (1..48), 0 for a time not on a half hour.
int SleepSlotAt(const QTime& time);

// The marked slots of a day's row in its year grid: how many, the first and the last
// (0 for none).
struct SleepNight {
  int asleep = 0;
  int first = 0, last = 0;
  bool operator==(const SleepNight&) const = default;
};
SleepNight SleepNightOf(const CellGrid& yearGrid, int row);
// After a day's slots changed: records that the day was edited (its date) and the hours
// its marked slots make.
void StampSleepDay(CellGrid& yearGrid, const QDate& date);

// "8 pm", "8:30 pm" .. "12:30 am", "1:00 am" .. "7:30 pm"; empty outside 1..48.
QString SlotLabel(int slot);
// The tooltip of a slot: its start, " - ", its end ("11:30 pm - 12 am"); the last slot
// of the day ends at 8 pm.
QString SlotHint(int slot);
// The hour labels beside the grid: "Sleep Time", then " 8 pm" .. " 7 pm" (24 rows).
QStringList HourLabels();

// "Date", "Farenheit", "Celsius", "BarHeight", "Time", then empty titles up to 59.
QStringList SleepYearHeaders();
// folder + year + "-Sleep.txt".
QString SleepYearPath(const QString& folder, int year);
// folder + day key + "-note.txt" (Y2009M2D10-note.txt).
QString SleepNotePath(const QString& folder, const QDate& date);

// The first day of the window of date's month: the month's last day less 30 days.
QDate SleepWindowStart(const QDate& date);

// The two averages the grid page shows for a day.
struct SleepAverages {
  double week = 0;   // the day and the 6 before
  double month = 0;  // the day and the 29 before
};
// Only days with a number in column 2 count. Days before 1 January come from the grid
// of the year before (none without it).
SleepAverages SleepAveragesOf(const CellGrid& yearGrid, const QDate& date,
                              const CellGrid* previousYear = nullptr);
// The first day that a 30-day figure of date uses: the date less 29 days.
QDate ThirtyDayStart(const QDate& date);
// Average hours per weekday, Monday first, over the 30 days that end at date.
std::array<double, 7> WeekdayHours(const CellGrid& yearGrid, const QDate& date,
                                   const CellGrid* previousYear = nullptr);
// "Dec 22 - Jan 20" style: the days the weekday chart covers.
QString WeekdayRangeText(const QDate& date);
// "7 day average : 7.5 hours/day   30 day average : 7.2 hours/day".
QString AveragesText(const SleepAverages& a);

class SleepLog {
 public:
  explicit SleepLog(const QString& folder = QString());
  void SetFolder(const QString& folder) { years_.SetFolder(folder); }
  const QString& Folder() const { return years_.Folder(); }

  // Places the window on date's month and opens the year files it covers (HeldYears: a
  // year with unsaved changes is kept, and stays held when the window moves away). A
  // file that exists but cannot be read adds its message to *errors; that year then
  // shows empty, takes no marks and is never written over. A file opened read-only adds
  // its notice and takes no marks either.
  void Open(const QDate& date, QStringList* errors);
  bool IsOpen() const { return years_.IsOpen(); }

  QDate WindowStart() const { return start_; }
  // Day column 1..33; an invalid date outside.
  QDate ColumnDate(int column) const;
  // The column of a date, 0 when it lies outside the window.
  int DateColumn(const QDate& date) const;

  bool IsAsleep(int column, int slot) const;
  // The header cell of a day column: the stored hours text (nothing for a day never
  // edited).
  QString HoursText(int column) const;
  // 0.5 for every slot of the column marked asleep.
  double ColumnHours(int column) const;

  // Toggles a slot of a day column and records the day's date and hours. False, with
  // *error, when that day's year file may not be written (it could not be read, or was
  // opened read-only: nothing changes then) or the cell is outside the window.
  bool Toggle(int column, int slot, QString* error = nullptr);
  // Marks a slot asleep or awake (a drag paints every slot it passes so); a slot that is
  // so already is left as it is. False as Toggle.
  bool SetAsleep(int column, int slot, bool asleep, QString* error = nullptr);

  // The year grid that holds a date, or nullptr when that year is not held.
  const CellGrid* GridOf(const QDate& date) const;
  QString PathOf(int year) const;
  SleepAverages Averages(const QDate& date) const;
  std::array<double, 7> Weekdays(const QDate& date) const;

  // Writes every held year with unsaved changes. False with one message per failure.
  bool Save(QStringList* errors);
  bool HasUnsavedChanges() const;

 private:
  // The grid of the year before date's: held, or read from its file.
  const CellGrid* PreviousYearOf(const QDate& date) const;

  QDate start_;
  HeldYears years_;
  GridFileCache others_;  // years the 7- and 30-day figures reach into, not held
};
