#pragma once
// The blood-pressure log: one grid file per year in the Heart folder
// ("Y" + year + "-pressure.txt"), a header row and one reading per row, newest first:
// date, time taken, systolic, diastolic, pulse, all free text. Also what is drawn from
// it: the graph's points and the newest reading's category.

#include <QDate>
#include <QDateTime>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

#include "core/gridfile.h"

inline constexpr int kPressureColumns = 5;
enum PressureColumn {
  kBpDate = 0,
  kBpTime = 1,
  kBpSystolic = 2,
  kBpDiastolic = 3,
  kBpPulse = 4,
};
// Rows of a log that has no file yet: the header and 364 empty rows.
inline constexpr int kEmptyLogRows = 365;

// "Date", "Time Taken", "Systolic", "Diastolic", "Pulse".
const QStringList& PressureHeaders();
QString PressureReadingsPath(const QString& heartFolder, int year);

// A cell read as a whole number: its trimmed text in decimal digits (with an optional
// sign); -1 otherwise.
int PressureValue(const QString& cell);

// A whole reading typed into one cell: "120/80", or "120/80/72" with the pulse, blanks
// allowed around the parts. Nothing for any other text.
struct TypedReading {
  QString systolic;
  QString diastolic;
  QString pulse;  // empty when not typed
};
std::optional<TypedReading> SplitTypedReading(const QString& text);

// Why a value cell (systolic, diastolic, pulse) is no reading the graph can draw: empty
// for a blank cell or a whole number within its range (systolic and pulse 50..230,
// diastolic 10..140); otherwise the hint the table shows on the marked cell.
QString PressureCellProblem(int column, const QString& cell);

// The graph: each value at its reading's row number, so that the three lines stay
// lined up reading by reading. A row is plotted only when its systolic cell is not
// blank; each value only within its range (systolic and pulse 50..230, diastolic
// 10..140).
struct PressureGraph {
  QVector<QPointF> systolic;
  QVector<QPointF> diastolic;
  QVector<QPointF> pulse;
  // Value cells that hold something the graph cannot draw (marked in the table).
  int notReadings = 0;
};
PressureGraph PressureGraphPoints(const CellGrid& grid);

// The American Heart Association's adult categories (2017).
enum class PressureCategory { Normal, Elevated, Stage1, Stage2, Crisis };
PressureCategory ClassifyPressure(int systolic, int diastolic);
QString PressureCategoryName(PressureCategory category);

struct PressureReading {
  int row = 0;
  QString date;
  QString time;
  int systolic = 0;
  int diastolic = 0;
  PressureCategory category = PressureCategory::Normal;
};
// The topmost row (the newest reading) whose systolic and diastolic cells are both whole
// numbers above 0.
std::optional<PressureReading> NewestReading(const CellGrid& grid);

class PressureReadings {
 public:
  // The log of the year of `date`, in the Heart folder.
  bool Open(const QString& heartFolder, const QDate& date, QString* error = nullptr);

  const QString& Path() const { return path_; }
  int Year() const { return year_; }
  // The log's file could not be read, or was opened read-only (core/textfile.h): saves
  // are refused with ReadFailedMessage.
  bool ReadFailed() const;
  QString ReadFailedMessage() const;
  CellGrid& Grid() { return grid_; }
  const CellGrid& Grid() const { return grid_; }

  // Row 1 becomes a new reading taken at `when` on `date`; the rows below move down.
  void AddReading(const QDate& date, const QDateTime& when);
  // Removes a reading row, the rows below moving up. The only reading row is emptied
  // instead: the log always keeps its header and one row. The header never goes.
  void DeleteReading(int row);

  // Writes the whole log. False with the message on failure, and when the file could
  // not be read (it holds readings this log never saw).
  bool Save(QString* error = nullptr);

 private:
  QString path_;
  int year_ = 0;
  CellGrid grid_{kPressureColumns, kEmptyLogRows};
};
