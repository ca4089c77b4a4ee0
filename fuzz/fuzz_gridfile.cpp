// Feeds arbitrary bytes to the grid file reader, then checks what saving can promise:
// a load of the saved bytes gives the same shape and cells, except that the empty cells
// of the first load come back as single spaces; from then on save and load are exact,
// so the bytes saved a second time are saved unchanged a third time. (Rows beyond the
// longest line, which are cut, are exempt: their files are read-only.)
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/gridfile.h"
#include "core/textfile.h"

namespace {

void Fail(const char* what, int col, int row) {
  std::fprintf(stderr, "grid round trip broken: %s at column %d row %d\n", what, col, row);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                   static_cast<qsizetype>(size));
  CellGrid first;
  LoadGridBytes(first, bytes);
  if (first.RowCount() < 1 || first.ColCount() < 1) Fail("empty shape", 0, 0);
  // Saving writes every row at full width; keep runs fast on very sparse shapes.
  if (qint64(first.RowCount()) * first.ColCount() > (1 << 16)) return 0;

  // Each row's fields survive the line writer and reader unchanged. A row whose line is
  // longer than a line may be would be cut on reading: such a file is only ever shown.
  for (int r = 0; r < first.RowCount(); ++r) {
    QStringList row;
    for (int c = 0; c < first.ColCount(); ++c) row << first.Cell(c, r);
    const QString line = WriteGridLine(row);
    if (line.size() > kLongestLine) return 0;
    if (ReadGridLine(line) != row) Fail("line round trip", 0, r);
  }

  const QByteArray saved1 = GridToBytes(first);
  CellGrid second;
  LoadGridBytes(second, saved1);
  if (second.RowCount() != first.RowCount()) Fail("row count", 0, second.RowCount());
  if (second.ColCount() != first.ColCount()) Fail("column count", second.ColCount(), 0);
  for (int r = 0; r < first.RowCount(); ++r) {
    for (int c = 0; c < first.ColCount(); ++c) {
      const QString want = first.Cell(c, r).isEmpty() ? QStringLiteral(" ") : first.Cell(c, r);
      if (second.Cell(c, r) != want) Fail("cell text", c, r);
    }
  }

  const QByteArray saved2 = GridToBytes(second);
  CellGrid third;
  LoadGridBytes(third, saved2);
  if (GridToBytes(third) != saved2) Fail("second save not stable", 0, 0);
  return 0;
}
