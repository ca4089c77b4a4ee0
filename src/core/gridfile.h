#pragma once
// The cell grid that tracker views show and edit, and its grid file: one line per row,
// cells separated by commas, CR LF after every line. Cells are addressed (column, row)
// as the views draw them; row 0 is the header row.

#include <QDate>
#include <QIODevice>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

#include "core/textutil.h"

class CellGrid {
 public:
  explicit CellGrid(int colCount = 1, int rowCount = 1);

  int RowCount() const { return rows_; }
  int ColCount() const { return cols_; }
  // Both at least 1; cells inside the new shape keep their texts.
  void SetRowCount(int rows);
  void SetColCount(int cols);

  // Outside the grid: reading yields the empty text, writing does nothing.
  QString Cell(int col, int row) const;
  void SetCell(int col, int row, const QString& text);
  void ClearRow(int row);
  void Clear();  // every cell empty, shape kept
  // Replaces a row's cells from column 0 on; texts beyond the column count are dropped,
  // columns beyond the texts become empty.
  void SetRow(int row, QStringList texts);
  // Exchanges two rows' cells; nothing happens when either is outside the grid.
  void SwapRows(int a, int b);
  // The texts a row holds from column 0 on, without copying; it may be shorter than
  // the column count (the cells after it are empty). Empty outside the grid.
  const QStringList& RowTexts(int row) const;

  // The current cell; never in the header row.
  int CurrentCol() const { return curCol_; }
  int CurrentRow() const { return curRow_; }
  void SetCurrent(int col, int row);

 private:
  int cols_ = 1;
  int rows_ = 1;
  int curCol_ = 0;
  int curRow_ = 1;
  // Each row holds its texts from column 0 up to its last written cell; the cells after
  // them are empty. Memory follows the texts held, not rows times columns, so a file
  // with one very wide line and many short ones stays small.
  QVector<QStringList> rowTexts_;
};

// Reads one line into fields by the grid file's rules (quoted fields, "" for a quote,
// spaces and control characters around fields dropped). Also the comma-text rule of the
// to-do categories.
QStringList ReadGridLine(const QString& line);
// Writes fields as one line (no line break): quotes a field holding a double quote, a
// comma, a space or a control character; a single empty field is written as "".
// A line break or NUL inside a field, which the file cannot carry, is written as a space.
QString WriteGridLine(const QStringList& fields);

// Replaces the grid's shape and cells with the file's content. Every empty field is
// stored as a single space. An empty file leaves one row and one column, keeping that
// cell. On failure (cannot open) *error gets the user's message, the grid is unchanged
// and false returns; the file is then guarded against saves (core/textfile.h).
// Text is decoded as DecodeText does (a byte-order mark, UTF-16 included). A file that
// cannot be shown whole as the program wrote it is loaded read-only (saves over it are
// refused, ReadOnlyNotice tells why): one above kSaneGridBytes, one with a NUL byte or
// broken UTF-16 (read to its end all the same, a NUL shown as U+FFFD), and one with a
// line longer than kLongestLine (only the line's first kLongestLine characters are read).
// Of a file above kSaneGridBytes only the first kMostShownRows rows are held.
inline constexpr int kMostShownRows = 10000;
bool LoadGridFile(CellGrid& grid, const QString& path, QString* error = nullptr);
bool LoadGridFile(CellGrid& grid, QIODevice* device, QString* error = nullptr);
// The same for bytes in memory; *damage gets what a file of them would be guarded for
// (empty for sound bytes).
void LoadGridBytes(CellGrid& grid, const QByteArray& bytes, QString* damage = nullptr);

// Writes the whole grid (WriteFileBytes: checked to the disk, nothing written when the
// file already holds these bytes, refused over a guarded file). On failure *error gets
// the user's message.
bool SaveGridFile(const CellGrid& grid, const QString& path, QString* error = nullptr);
bool SaveGridFile(const CellGrid& grid, QIODevice* device, QString* error = nullptr);
QByteArray GridToBytes(const CellGrid& grid);

void GridRowUp(CellGrid& grid, int row);
void GridRowDown(CellGrid& grid, int row);

// A counting cell: trimmed text that reads as a stored number (core/textutil.h
// ParseStoredNumber: "." or the locale's decimal separator) of 0 or more.
bool ReadNumericCell(const QString& text, double* value, const QLocale& locale = AppLocale());
double GridColumnAverage(const CellGrid& grid, int col, int fromRow, int toRow,
                         const QLocale& locale = AppLocale());
// weekday 1 = Monday .. 7 = Sunday; row r stands for 1 January of year + r - 1 days.
double GridWeekdayAverage(const CellGrid& grid, int year, int weekday, int col, int fromRow,
                          int toRow, const QLocale& locale = AppLocale());
// Sum of the counting cells, rounded down; the header row is never counted.
qint64 GridColumnTotal(const CellGrid& grid, int col, int fromRow, int toRow,
                       const QLocale& locale = AppLocale());

// Year grids: row 0 headers, row d = day d of the year, column 0 the date ("mmmm d",
// English month names whatever the locale).
// A leap year has 367 rows so that 31 December has its row; other years 366.
int YearGridRowCount(int year);
// The row of a date in its year's grid (its day of the year).
inline int YearGridRow(const QDate& date) { return date.dayOfYear(); }
// A year without a file: the given shape, headers in row 0, dates in column 0, every
// other cell empty.
void InitYearGrid(CellGrid& grid, int year, int colCount, const QStringList& headers);
// Loads the year file when it exists, else InitYearGrid. A file with fewer rows than the
// year has days (a leap year's file from when 31 December had no row, or a cut-off file)
// gains the missing day rows with their dates; one with fewer columns than colCount
// gains the missing columns with their headers, so that no day and no column the view
// writes is lost. False with *error when the file exists but cannot be read; the grid
// is then left as InitYearGrid made it. A file that LoadGridFile would load read-only is
// opened read-only (IsReadOnlyFile, ReadOnlyNotice); one above kSaneGridBytes with only
// the year's rows held.
bool OpenYearGrid(CellGrid& grid, int year, int colCount, const QStringList& headers,
                  const QString& path, QString* error = nullptr);
