#include "core/gridfile.h"

#include <QFileDevice>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "core/textfile.h"

// ---------------------------------------------------------------------------------------
// CellGrid

CellGrid::CellGrid(int colCount, int rowCount)
    : cols_(std::max(1, colCount)), rows_(std::max(1, rowCount)), rowTexts_(rows_) {}

void CellGrid::SetRowCount(int rows) {
  rows_ = std::max(1, rows);
  rowTexts_.resize(rows_);
  curRow_ = std::min(curRow_, std::max(1, rows_ - 1));
}

void CellGrid::SetColCount(int cols) {
  const int old = cols_;
  cols_ = std::max(1, cols);
  // Widening touches no row; the cells past a row's texts already read as empty.
  if (cols_ < old) {
    for (QStringList& row : rowTexts_)
      if (row.size() > cols_) row.resize(cols_);
  }
  curCol_ = std::min(curCol_, cols_ - 1);
}

QString CellGrid::Cell(int col, int row) const {
  if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return QString();
  const QStringList& texts = rowTexts_.at(row);
  return col < texts.size() ? texts.at(col) : QString();
}

void CellGrid::SetCell(int col, int row, const QString& text) {
  if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return;
  QStringList& texts = rowTexts_[row];
  if (col >= texts.size()) {
    if (text.isEmpty()) return;
    texts.resize(col + 1);
  }
  texts[col] = text;
}

void CellGrid::ClearRow(int row) {
  if (row < 0 || row >= rows_) return;
  rowTexts_[row].clear();
}

void CellGrid::Clear() {
  for (QStringList& row : rowTexts_) row.clear();
}

void CellGrid::SetRow(int row, QStringList texts) {
  if (row < 0 || row >= rows_) return;
  if (texts.size() > cols_) texts.resize(cols_);
  rowTexts_[row] = std::move(texts);
}

void CellGrid::SwapRows(int a, int b) {
  if (a < 0 || a >= rows_ || b < 0 || b >= rows_) return;
  rowTexts_.swapItemsAt(a, b);
}

const QStringList& CellGrid::RowTexts(int row) const {
  static const QStringList kNone;
  if (row < 0 || row >= rows_) return kNone;
  return rowTexts_.at(row);
}

void CellGrid::SetCurrent(int col, int row) {
  curCol_ = std::clamp(col, 0, cols_ - 1);
  curRow_ = std::clamp(row, 1, std::max(1, rows_ - 1));
}

// ---------------------------------------------------------------------------------------
// Lines and fields

namespace {

// Spaces and control characters: what separates and surrounds fields.
inline bool IsBlank(QChar c) {
  const char16_t u = c.unicode();
  return u >= 1 && u <= 32;
}

void SkipBlanks(QStringView line, qsizetype& i) {
  while (i < line.size() && IsBlank(line[i])) ++i;
}

// One-character texts (the single space of every loaded empty field, the marks of
// slot grids) are shared rather than allocated cell by cell.
const QString& AsciiText(char16_t c) {
  static const std::array<QString, 128> kTexts = [] {
    std::array<QString, 128> texts;
    for (int k = 0; k < 128; ++k) texts[k] = QString(QChar(char16_t(k)));
    return texts;
  }();
  return kTexts[c];
}

const QString& SpaceText() { return AsciiText(u' '); }

QString FieldText(QStringView text) {
  if (text.size() == 1 && text.front().unicode() < 128) return AsciiText(text.front().unicode());
  return text.toString();
}

// A quoted field from just after its opening quote: up to the next quote that is not
// doubled, each doubled quote standing for one. Moves i past the closing quote.
QString ReadQuoted(QStringView line, qsizetype& i) {
  const qsizetype n = line.size();
  qsizetype close = line.indexOf(u'"', i);
  if (close < 0 || close + 1 >= n || line[close + 1] != u'"') {
    // The common case, no doubled quote: the text is taken in one piece.
    const qsizetype end = close < 0 ? n : close;
    QString field = FieldText(line.mid(i, end - i));
    i = close < 0 ? n : close + 1;
    return field;
  }
  QString field;
  while (close >= 0 && close + 1 < n && line[close + 1] == u'"') {
    field += line.mid(i, close - i);
    field += u'"';
    i = close + 2;
    close = line.indexOf(u'"', i);
  }
  const qsizetype end = close < 0 ? n : close;
  field += line.mid(i, end - i);
  i = close < 0 ? n : close + 1;
  return field;
}

QStringList ReadFields(QStringView line) {
  QStringList fields;
  const qsizetype n = line.size();
  fields.reserve(line.count(u',') + 1);
  qsizetype i = 0;
  SkipBlanks(line, i);
  while (i < n) {
    if (line[i] == u'"') {
      ++i;
      fields.append(ReadQuoted(line, i));
    } else {
      const qsizetype start = i;
      while (i < n && line[i] != u',' && !IsBlank(line[i])) ++i;
      fields.append(FieldText(line.mid(start, i - start)));
    }
    SkipBlanks(line, i);
    if (i < n && line[i] == u',') {
      // A comma that ends the line still opens one more, empty, field.
      if (i == n - 1) fields.append(QString());
      ++i;
      SkipBlanks(line, i);
    }
  }
  return fields;
}

bool NeedsQuotes(const QString& text) {
  // A leading zero-width no-break space is quoted too: at the start of the file it would
  // read back as a byte-order mark and be dropped.
  if (!text.isEmpty() && text.front() == QChar(0xFEFF)) return true;
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u <= 32 || u == u'"' || u == u',') return true;
  }
  return false;
}

QString DeviceName(const QIODevice* device) {
  if (const auto* file = qobject_cast<const QFileDevice*>(device)) return file->fileName();
  return QString();
}

}  // namespace

QStringList ReadGridLine(const QString& line) { return ReadFields(line); }

// ---------------------------------------------------------------------------------------
// Loading and saving

namespace {

// The lines of the text, as the file's lines are split: a line ends at CR LF, at CR or
// at LF; a last line without a break counts; nothing after the end starts a line.
// Calls take(begin, end) per line, in order, until it returns false.
template <typename Take>
void ForEachLine(QByteArrayView text, Take take) {
  const char* s = text.data();
  const qsizetype n = text.size();
  qsizetype start = 0;
  for (qsizetype i = 0; i < n; ++i) {
    const char c = s[i];
    if (c != '\r' && c != '\n') continue;
    if (!take(start, i)) return;
    if (c == '\r' && i + 1 < n && s[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) take(start, n);
}

// Loads at most maxRows lines; the rows after them are left out. The text is decoded
// line by line, so a large file is never held twice as a whole. Returns what keeps the
// grid from being the file as the program wrote it (a phrase for GuardReadOnly), empty
// for a sound file: a NUL byte or broken UTF-16 (read on all the same, a NUL shown as
// U+FFFD), or a line longer than kLongestLine, of which only the start is read.
QString LoadGridView(CellGrid& grid, QByteArray bytes, int maxRows) {
  const TextBytes readable = ReadableText(std::move(bytes));
  QString damage = readable.damage;
  const QByteArrayView text(readable.bytes);
  qsizetype lineCount = 0;
  ForEachLine(text, [&](qsizetype, qsizetype) { return ++lineCount < maxRows; });
  if (lineCount == 0) {
    // No rows at all: one cell is left, and it keeps its text.
    grid.SetRowCount(1);
    grid.SetColCount(1);
    return damage;
  }
  const int rowCount = static_cast<int>(
      std::min<qsizetype>({lineCount, maxRows, std::numeric_limits<int>::max()}));
  grid.SetColCount(1);
  grid.SetRowCount(rowCount);
  int r = 0;
  qsizetype longest = 0;
  ForEachLine(text, [&](qsizetype begin, qsizetype end) {
    QString line = DecodeTextAs(text.sliced(begin, end - begin), readable.utf8);
    if (readable.hasNul) ShownNuls(line);
    if (line.size() > kLongestLine) {
      // Megabytes in one line would make a cell (or columns) no view can lay out.
      longest = std::max(longest, line.size());
      line.truncate(kLongestLine);
    }
    QStringList fields = ReadFields(line);
    // An empty field keeps its column as a single space.
    for (QString& f : fields)
      if (f.isEmpty()) f = SpaceText();
    const qsizetype count = std::min<qsizetype>(fields.size(), std::numeric_limits<int>::max());
    if (count > grid.ColCount()) grid.SetColCount(static_cast<int>(count));
    grid.SetRow(r, std::move(fields));
    return ++r < rowCount;
  });
  if (damage.isEmpty() && longest > 0) damage = LongLineDetail(longest);
  return damage;
}

}  // namespace

void LoadGridBytes(CellGrid& grid, const QByteArray& bytes, QString* damage) {
  const QString found = LoadGridView(grid, bytes, std::numeric_limits<int>::max());
  if (damage) *damage = found;
}

bool LoadGridFile(CellGrid& grid, const QString& path, QString* error) {
  QByteArray bytes;
  bool readOnly = false;
  if (!ReadRecordBytes(path, &bytes, error, kSaneGridBytes, &readOnly)) return false;
  // A file far beyond any the program writes is only shown: its first rows are enough.
  ContentChecked(path, LoadGridView(grid, std::move(bytes),
                                    readOnly ? kMostShownRows : std::numeric_limits<int>::max()));
  return true;
}

bool LoadGridFile(CellGrid& grid, QIODevice* device, QString* error) {
  if (!device) {
    if (error) *error = CannotOpenMessage(QString(), QStringLiteral("No device"));
    return false;
  }
  const bool openedHere = !device->isOpen();
  if (openedHere && !device->open(QIODevice::ReadOnly)) {
    if (error) *error = CannotOpenMessage(DeviceName(device), device->errorString());
    return false;
  }
  if (!device->isReadable()) {
    if (error) *error = CannotOpenMessage(DeviceName(device), QStringLiteral("Not readable"));
    return false;
  }
  const QByteArray bytes = device->readAll();
  const auto* file = qobject_cast<const QFileDevice*>(device);
  const bool failed = file && file->error() != QFileDevice::NoError;
  const QString reason = failed ? device->errorString() : QString();
  if (openedHere) device->close();
  if (failed) {
    if (error) *error = CannotOpenMessage(DeviceName(device), reason);
    return false;
  }
  ContentChecked(DeviceName(device), LoadGridView(grid, bytes, std::numeric_limits<int>::max()));
  return true;
}

namespace {

// The length of a cell as written. Measured first so that the whole text is sized once
// and filled without growing.
qsizetype WrittenLength(const QString& text) {
  if (!NeedsQuotes(text)) return text.size();
  return text.size() + 2 + text.count(u'"');
}

char16_t* PutField(char16_t* out, const QString& text, bool quoted) {
  const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
  const qsizetype n = text.size();
  if (!quoted) {
    std::copy(in, in + n, out);
    return out + n;
  }
  *out++ = u'"';
  for (qsizetype k = 0; k < n; ++k) {
    const char16_t u = in[k];
    if (u == u'"') {
      *out++ = u'"';
      *out++ = u'"';
    } else if (u == u'\r' || u == u'\n' || u == 0) {
      // A line break would split the row and a NUL would end the file on reading.
      *out++ = u' ';
    } else {
      *out++ = u;
    }
  }
  *out++ = u'"';
  return out;
}

}  // namespace

QString WriteGridLine(const QStringList& fields) {
  if (fields.size() == 1 && fields.front().isEmpty()) return QStringLiteral("\"\"");
  qsizetype length = fields.isEmpty() ? 0 : fields.size() - 1;
  for (const QString& f : fields) length += WrittenLength(f);
  QString line(length, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(line.data());
  for (qsizetype k = 0; k < fields.size(); ++k) {
    if (k > 0) *out++ = u',';
    out = PutField(out, fields.at(k), NeedsQuotes(fields.at(k)));
  }
  return line;
}

QByteArray GridToBytes(const CellGrid& grid) {
  const int rows = grid.RowCount();
  const int cols = grid.ColCount();
  // Every row: its cells, a comma between each two, CR LF; a lone empty cell is "".
  qsizetype length = 0;
  for (int r = 0; r < rows; ++r) {
    const QStringList& texts = grid.RowTexts(r);
    const int held = static_cast<int>(std::min<qsizetype>(texts.size(), cols));
    if (cols == 1 && (held == 0 || texts.front().isEmpty())) {
      length += 2;
    } else {
      for (int c = 0; c < held; ++c) length += WrittenLength(texts.at(c));
      length += cols - 1;
    }
    length += 2;
  }
  QString text(length, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  for (int r = 0; r < rows; ++r) {
    const QStringList& texts = grid.RowTexts(r);
    const int held = static_cast<int>(std::min<qsizetype>(texts.size(), cols));
    if (cols == 1 && (held == 0 || texts.front().isEmpty())) {
      *out++ = u'"';
      *out++ = u'"';
    } else {
      for (int c = 0; c < held; ++c) {
        if (c > 0) *out++ = u',';
        out = PutField(out, texts.at(c), NeedsQuotes(texts.at(c)));
      }
      // The empty cells after the row's texts are written as nothing.
      for (int c = std::max(held, 1); c < cols; ++c) *out++ = u',';
    }
    *out++ = u'\r';
    *out++ = u'\n';
  }
  Q_ASSERT(out == reinterpret_cast<char16_t*>(text.data()) + length);
  return EncodeText(text);
}

bool SaveGridFile(const CellGrid& grid, const QString& path, QString* error) {
  return WriteFileBytes(path, GridToBytes(grid), error);
}

bool SaveGridFile(const CellGrid& grid, QIODevice* device, QString* error) {
  if (!device) {
    if (error) *error = CannotCreateMessage(QString(), QStringLiteral("No device"));
    return false;
  }
  const bool openedHere = !device->isOpen();
  if (openedHere && !device->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    if (error) *error = CannotCreateMessage(DeviceName(device), device->errorString());
    return false;
  }
  const QByteArray bytes = GridToBytes(grid);
  bool written = device->isWritable() && device->write(bytes) == bytes.size();
  // A file device buffers: only its flush tells whether the bytes reached the file.
  if (auto* file = qobject_cast<QFileDevice*>(device); written && file)
    written = file->flush() && file->error() == QFileDevice::NoError;
  const QString reason = written ? QString()
                         : device->isWritable() ? device->errorString()
                                                : QStringLiteral("Not writable");
  if (openedHere) device->close();
  if (!written) {
    if (error) *error = CannotCreateMessage(DeviceName(device), reason);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Row moves

void GridRowUp(CellGrid& grid, int row) {
  // The first row below the header never moves into it.
  if (row <= 1 || row >= grid.RowCount()) return;
  grid.SwapRows(row, row - 1);
  grid.SetCurrent(grid.CurrentCol(), row - 1);
}

void GridRowDown(CellGrid& grid, int row) {
  // Neither the header nor a row outside the grid moves: swapping with a row that does
  // not exist would empty the other one.
  if (row < 1 || row >= grid.RowCount() - 1) return;
  grid.SwapRows(row, row + 1);
  grid.SetCurrent(grid.CurrentCol(), row + 1);
}

// ---------------------------------------------------------------------------------------
// Column statistics

bool ReadNumericCell(const QString& text, double* value, const QLocale& locale) {
  qsizetype begin = 0, end = text.size();
  while (begin < end && text.at(begin).unicode() <= 32) ++begin;
  while (end > begin && text.at(end - 1).unicode() <= 32) --end;
  if (begin == end) return false;
  double v = 0;
  if (!ParseStoredNumber(text.mid(begin, end - begin), &v, locale)) return false;
  if (!(v >= 0)) return false;
  if (value) *value = v;
  return true;
}

double GridColumnAverage(const CellGrid& grid, int col, int fromRow, int toRow,
                         const QLocale& locale) {
  const int first = std::max(fromRow, 0);
  const int last = std::min(toRow, grid.RowCount() - 1);
  double sum = 0;
  int count = 0;
  for (int r = first; r <= last; ++r) {
    double v;
    if (ReadNumericCell(grid.Cell(col, r), &v, locale)) {
      sum += v;
      ++count;
    }
  }
  return count > 0 ? sum / count : 0.0;
}

double GridWeekdayAverage(const CellGrid& grid, int year, int weekday, int col, int fromRow,
                          int toRow, const QLocale& locale) {
  const int first = std::max(fromRow, 0);
  // Rows past the end read as empty, so the loop may stop at the last row.
  const int last = std::min(toRow, grid.RowCount() - 1);
  const QDate newYear(year, 1, 1);
  if (!newYear.isValid()) return 0.0;
  double sum = 0;
  int count = 0;
  for (int r = first; r <= last; ++r) {
    if (newYear.addDays(r - 1).dayOfWeek() != weekday) continue;
    double v;
    if (ReadNumericCell(grid.Cell(col, r), &v, locale)) {
      sum += v;
      ++count;
    }
  }
  return count > 0 ? sum / count : 0.0;
}

qint64 GridColumnTotal(const CellGrid& grid, int col, int fromRow, int toRow,
                       const QLocale& locale) {
  const int first = std::max(fromRow, 1);
  const int last = std::min(toRow, grid.RowCount() - 1);
  double sum = 0;
  for (int r = first; r <= last; ++r) {
    double v;
    if (ReadNumericCell(grid.Cell(col, r), &v, locale)) sum += v;
  }
  const double whole = std::floor(sum);
  // Values are never negative; a sum beyond the integer range saturates.
  constexpr double kLimit = 9223372036854775807.0;
  if (!(whole < kLimit)) return std::numeric_limits<qint64>::max();
  return static_cast<qint64>(whole);
}

// ---------------------------------------------------------------------------------------
// Year grids

int YearGridRowCount(int year) { return QDate::isLeapYear(year) ? 367 : 366; }

namespace {

void WriteDayDates(CellGrid& grid, int year, int fromRow) {
  const QDate newYear(year, 1, 1);
  // The same names in every language, so that a file never changes with hers.
  const QLocale locale = FileLocale();
  for (int r = std::max(fromRow, 1); r < grid.RowCount(); ++r)
    grid.SetCell(0, r, FormatDate(QStringLiteral("mmmm d"), newYear.addDays(r - 1), locale));
}

}  // namespace

void InitYearGrid(CellGrid& grid, int year, int colCount, const QStringList& headers) {
  grid.SetRowCount(YearGridRowCount(year));
  grid.SetColCount(colCount);
  grid.Clear();
  for (int c = 0; c < headers.size() && c < grid.ColCount(); ++c) grid.SetCell(c, 0, headers.at(c));
  WriteDayDates(grid, year, 1);
}

bool OpenYearGrid(CellGrid& grid, int year, int colCount, const QStringList& headers,
                  const QString& path, QString* error) {
  InitYearGrid(grid, year, colCount, headers);
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return true;  // no records for that year yet
  QByteArray bytes;
  bool readOnly = false;
  if (!ReadRecordBytes(path, &bytes, error, kSaneGridBytes, &readOnly)) return false;
  const int wantRows = YearGridRowCount(year);
  // A file far beyond a year's size is shown read-only, and nothing of it is written
  // back: the rows past the year's days need not be held.
  ContentChecked(path, LoadGridView(grid, std::move(bytes),
                                    readOnly ? wantRows : std::numeric_limits<int>::max()));
  const int loadedRows = grid.RowCount();
  if (loadedRows < wantRows) {
    grid.SetRowCount(wantRows);
    WriteDayDates(grid, year, loadedRows);
  }
  const int loadedCols = grid.ColCount();
  if (loadedCols < colCount) {
    grid.SetColCount(colCount);
    for (int c = loadedCols; c < headers.size() && c < colCount; ++c)
      grid.SetCell(c, 0, headers.at(c));
  }
  return true;
}
