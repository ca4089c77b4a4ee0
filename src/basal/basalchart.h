#pragma once
// The records behind the basal chart: the year files that hold each day's bar top and
// fertility signs, read and changed through the day columns of the window on screen.
//
// The window of December ends with 1 and 2 January of the next year. Those two columns
// belong to the next year's file, which is held alongside the shown year; rows are never
// looked up by day number alone, so they never touch 1 and 2 January of the shown year.

#include <QDate>
#include <QString>
#include <QStringList>

#include "basal/basaltemperature.h"
#include "basal/basalwindow.h"
#include "core/gridfile.h"
#include "core/heldyears.h"

// Columns of the basal year file.
enum BasalYearColumn {
  kBasalDateCol = 0,
  kFahrenheitCol = 1,
  kCelsiusCol = 2,
  kBarTopCol = 3,
  kDischargeCol = 4,  // stored under the title "Cycle Day"
  kIntercourseCol = 5,
  kCervixCol = 6,
};
inline constexpr int kBasalYearColumns = 7;

// "Date", "Farenheit", "Celsius", "BarHeight", "Cycle Day", "", "".
QStringList BasalYearHeaders();
// basalFolder + year + "-Basal.txt" (2009-Basal.txt).
QString BasalYearPath(const QString& basalFolder, int year);

class BasalChart {
 public:
  explicit BasalChart(const QString& basalFolder = QString());
  void SetFolder(const QString& basalFolder) { years_.SetFolder(basalFolder); }

  // Places the window on date's month and opens the year files it covers (HeldYears: a
  // year with unsaved changes is kept, and stays held when the window moves away). A
  // file that exists but cannot be read adds its message to *errors; that year then
  // starts empty and is never written over (the file layer refuses it). A file opened
  // read-only adds its notice.
  void Open(const QDate& date, QStringList* errors);

  bool IsOpen() const { return years_.IsOpen(); }
  int Year() const { return year_; }
  int Month() const { return month_; }
  QDate WindowStart() const { return start_; }
  QDate ColumnDate(int column) const { return ::WindowColumnDate(start_, column); }
  int DateColumn(const QDate& date) const { return ::WindowDateColumn(start_, date); }
  // The file of the shown year; the file of the year that holds a day column.
  QString YearPath() const;
  QString ColumnYearPath(int column) const;

  // Day columns 1..33; 0 / empty outside them.
  int BarTop(int column) const;
  const BarTops& Tops() const { return tops_; }
  bool IsRiseDay(int column) const { return ::IsRiseDay(tops_, column); }
  QString Discharge(int column) const;  // without surrounding spaces
  QString Cervix(int column) const;     // without surrounding spaces
  bool Intercourse(int column) const;   // the file holds exactly "*"

  // A click on level row 1..16 of a day column: stores the bar it leaves (the bottom row
  // clears it) with the temperature of that row on the scale of her unit, in both units
  // (basal/basaltemperature.h). Returns the bar top now.
  int SetLevel(int column, int row, TemperatureUnit unit = TemperatureUnit::Fahrenheit);
  void ClearDay(int column) { SetLevel(column, 16); }
  // A precise reading typed for a day column: both units and the nearest level. Returns
  // the bar top now.
  int SetTemperature(int column, const BodyTemperature& t);
  // Marks the day's reading as disturbed (Disturbance::None clears the mark).
  void SetDisturbance(int column, Disturbance d);
  // The day's reading in her unit.
  BasalReading Reading(int column, TemperatureUnit unit) const;
  // A click on a sign cell: steps its code (rows 1, 2) or toggles the mark (row 3).
  // Returns the hint to show; *changed tells whether a record changed.
  QString ClickSign(int column, int row, bool* changed = nullptr);

  // Writes every held year with unsaved changes, and the shown year's file when it does
  // not exist yet. An unchanged year is not rewritten.
  bool Save(QStringList* errors);
  // Writes the file of the year that holds the column's date.
  bool SaveColumnYear(int column, QString* error);

  // The held grid of a year, or nullptr.
  const CellGrid* YearGrid(int year) const;

 private:
  // The held grid of a day column and the column's row in it, or nullptr.
  CellGrid* ColumnGrid(int column, int* row);
  void MarkColumnChanged(int column);
  QString Cell(int column, int col) const;
  void SetCell(int column, int col, const QString& text);
  void UpdateTops();

  int year_ = 0;
  int month_ = 0;
  QDate start_;
  HeldYears years_;
  BarTops tops_{};
};
