#include "cycle/monthlayout.h"

#include <QDate>

#include "core/cyclemodel.h"

int MonthOffset(int year, int month) {
  const QDate first(year, month, 1);
  if (!first.isValid()) return 1;
  // QDate counts Monday 1 .. Sunday 7; the grid counts Sunday 1 .. Saturday 7.
  const int w = (first.dayOfWeek() % 7 + 1) % 7;
  return w == 0 ? -5 : 2 - w;
}

int DayAtCell(int year, int month, int col, int row) {
  if (col < 0 || col >= kGridColumns || row < 1 || row >= kGridRows) return 0;
  const QDate first(year, month, 1);
  if (!first.isValid()) return 0;
  const int n = MonthOffset(year, month) + col + kGridColumns * (row - 1);
  return n >= 1 && n <= first.daysInMonth() ? n : 0;
}

QPoint CellOfDay(int year, int month, int day) {
  const QDate first(year, month, 1);
  if (!first.isValid() || day < 1 || day > first.daysInMonth()) return QPoint(-1, -1);
  const int k = day - MonthOffset(year, month);  // col + 7 (row - 1)
  return QPoint(k % kGridColumns, k / kGridColumns + 1);
}

int GridColumnWidth(int gridWidth) {
  const int w = (gridWidth - (kGridColumns - 1) * kGridLineWidth) / kGridColumns;
  return w > 0 ? w : 0;
}

int GridRowHeight(int gridHeight) {
  const int h = (gridHeight - (kGridRows - 1) * kGridLineWidth) / kGridRows;
  return h > 0 ? h : 0;
}

QRect GridCellRect(int col, int row, int gridWidth, int gridHeight) {
  const int cw = GridColumnWidth(gridWidth);
  const int rh = GridRowHeight(gridHeight);
  return QRect(col * (cw + kGridLineWidth), row * (rh + kGridLineWidth), cw, rh);
}

QPoint GridCellAt(const QPoint& pos, int gridWidth, int gridHeight) {
  const int cw = GridColumnWidth(gridWidth);
  const int rh = GridRowHeight(gridHeight);
  if (cw == 0 || rh == 0 || pos.x() < 0 || pos.y() < 0) return QPoint(-1, -1);
  const int col = pos.x() / (cw + kGridLineWidth);
  const int row = pos.y() / (rh + kGridLineWidth);
  if (col >= kGridColumns || row >= kGridRows) return QPoint(-1, -1);
  if (pos.x() - col * (cw + kGridLineWidth) >= cw) return QPoint(-1, -1);
  if (pos.y() - row * (rh + kGridLineWidth) >= rh) return QPoint(-1, -1);
  return QPoint(col, row);
}

QList<MonthProbabilityPoint> MonthProbabilityPoints(const CycleSettings& settings, int year,
                                                    int month) {
  QList<MonthProbabilityPoint> points;
  const QDate first(year, month, 1);
  if (!first.isValid()) return points;
  const int last = first.daysInMonth();
  for (int day = 1; day <= last; ++day) {
    if (const auto p = ProbabilityPoint(settings, QDate(year, month, day)))
      points.append({day, *p});
  }
  return points;
}
