#include "trackers/pressurereadings.h"

#include <QFileInfo>
#include <algorithm>

#include "core/textfile.h"
#include "core/textutil.h"

const QStringList& PressureHeaders() {
  static const QStringList headers{QStringLiteral("Date"), QStringLiteral("Time Taken"),
                                   QStringLiteral("Systolic"), QStringLiteral("Diastolic"),
                                   QStringLiteral("Pulse")};
  return headers;
}

QString PressureReadingsPath(const QString& heartFolder, int year) {
  return heartFolder + QStringLiteral("Y%1-pressure.txt").arg(year);
}

int PressureValue(const QString& cell) {
  const QString t = cell.trimmed();
  if (t.isEmpty()) return -1;
  for (qsizetype i = 0; i < t.size(); ++i) {
    const QChar c = t.at(i);
    const bool sign = i == 0 && (c == u'-' || c == u'+') && t.size() > 1;
    if (!sign && (c < u'0' || c > u'9')) return -1;
  }
  bool ok = false;
  const int v = t.toInt(&ok);
  return ok ? v : -1;
}

std::optional<TypedReading> SplitTypedReading(const QString& text) {
  const QStringList parts = text.split(u'/');
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  QStringList values;
  for (const QString& part : parts) {
    if (PressureValue(part) <= 0) return std::nullopt;
    values << part.trimmed();
  }
  return TypedReading{values.at(0), values.at(1), values.value(2)};
}

namespace {
bool InRange(int column, int v) {
  return column == kBpDiastolic ? v >= 10 && v <= 140 : v >= 50 && v <= 230;
}
}  // namespace

QString PressureCellProblem(int column, const QString& cell) {
  if (column != kBpSystolic && column != kBpDiastolic && column != kBpPulse) return {};
  const QString t = cell.trimmed();
  if (t.isEmpty()) return {};
  const int v = PressureValue(t);
  if (v < 0)
    return QStringLiteral("Not a reading: \"%1\" is not a whole number, so the graph "
                          "leaves it out. Type one number in each cell.")
        .arg(t);
  if (!InRange(column, v))
    return QStringLiteral("Not drawn: %1 lies outside %2, the range the graph shows.")
        .arg(t, column == kBpDiastolic ? QStringLiteral("10 to 140") : QStringLiteral("50 to 230"));
  return {};
}

PressureGraph PressureGraphPoints(const CellGrid& grid) {
  PressureGraph g;
  for (int r = 1; r < grid.RowCount(); ++r) {
    for (int c : {kBpSystolic, kBpDiastolic, kBpPulse})
      if (!PressureCellProblem(c, grid.Cell(c, r)).isEmpty()) ++g.notReadings;
    if (grid.Cell(kBpSystolic, r).trimmed().isEmpty()) continue;
    const int sys = PressureValue(grid.Cell(kBpSystolic, r));
    const int dia = PressureValue(grid.Cell(kBpDiastolic, r));
    const int pulse = PressureValue(grid.Cell(kBpPulse, r));
    if (InRange(kBpSystolic, sys)) g.systolic.append(QPointF(r, sys));
    if (InRange(kBpDiastolic, dia)) g.diastolic.append(QPointF(r, dia));
    if (InRange(kBpPulse, pulse)) g.pulse.append(QPointF(r, pulse));
  }
  return g;
}

PressureCategory ClassifyPressure(int systolic, int diastolic) {
  if (systolic > 180 || diastolic > 120) return PressureCategory::Crisis;
  if (systolic >= 140 || diastolic >= 90) return PressureCategory::Stage2;
  if (systolic >= 130 || diastolic >= 80) return PressureCategory::Stage1;
  if (systolic >= 120) return PressureCategory::Elevated;
  return PressureCategory::Normal;
}

QString PressureCategoryName(PressureCategory category) {
  switch (category) {
    case PressureCategory::Normal: return QStringLiteral("Normal");
    case PressureCategory::Elevated: return QStringLiteral("Elevated");
    case PressureCategory::Stage1: return QStringLiteral("High Blood Pressure, Stage 1");
    case PressureCategory::Stage2: return QStringLiteral("High Blood Pressure, Stage 2");
    case PressureCategory::Crisis: return QStringLiteral("Hypertensive Crisis");
  }
  return {};
}

std::optional<PressureReading> NewestReading(const CellGrid& grid) {
  for (int r = 1; r < grid.RowCount(); ++r) {
    const int sys = PressureValue(grid.Cell(kBpSystolic, r));
    const int dia = PressureValue(grid.Cell(kBpDiastolic, r));
    if (sys <= 0 || dia <= 0) continue;
    PressureReading reading;
    reading.row = r;
    reading.date = grid.Cell(kBpDate, r).trimmed();
    reading.time = grid.Cell(kBpTime, r).trimmed();
    reading.systolic = sys;
    reading.diastolic = dia;
    reading.category = ClassifyPressure(sys, dia);
    return reading;
  }
  return std::nullopt;
}

// --- PressureReadings --------------------------------------------------------------

namespace {
void StartEmptyLog(CellGrid& grid) {
  grid = CellGrid(kPressureColumns, kEmptyLogRows);
  grid.SetRow(0, PressureHeaders());
}
}  // namespace

bool PressureReadings::Open(const QString& heartFolder, const QDate& date, QString* error) {
  path_ = PressureReadingsPath(heartFolder, date.year());
  year_ = date.year();
  StartEmptyLog(grid_);
  if (!QFileInfo::exists(path_)) return true;
  CellGrid loaded;
  if (!LoadGridFile(loaded, path_, error)) return false;
  // A file with fewer columns gains the missing ones with their headers, so that every
  // value the table shows has its column; one with only its header line gains one row.
  const int loadedCols = loaded.ColCount();
  if (loadedCols < kPressureColumns) {
    loaded.SetColCount(kPressureColumns);
    for (int c = loadedCols; c < kPressureColumns; ++c)
      loaded.SetCell(c, 0, PressureHeaders().at(c));
  }
  if (loaded.RowCount() < 2) loaded.SetRowCount(2);
  grid_ = loaded;
  return true;
}

bool PressureReadings::ReadFailed() const { return !path_.isEmpty() && !MayWriteFile(path_); }

QString PressureReadings::ReadFailedMessage() const {
  if (!ReadFailed()) return {};
  return NotReplacedMessage(path_);
}

void PressureReadings::AddReading(const QDate& date, const QDateTime& when) {
  const int last = grid_.RowCount();
  grid_.SetRowCount(last + 1);
  for (int r = last; r >= 2; --r) grid_.SetRow(r, grid_.RowTexts(r - 1));
  // English month names and AM / PM whatever the locale: the file reads the same in
  // every language.
  grid_.SetRow(1, {FormatDate(QStringLiteral("mmm d, yyyy"), date, FileLocale()),
                   FormatDateTime(QStringLiteral("h:mm ampm"), when, FileLocale())});
}

void PressureReadings::DeleteReading(int row) {
  const int count = grid_.RowCount();
  if (row < 1 || row >= count) return;
  if (count <= 2) {
    grid_.ClearRow(row);
    return;
  }
  for (int r = row; r < count - 1; ++r) grid_.SetRow(r, grid_.RowTexts(r + 1));
  grid_.SetRowCount(count - 1);
}

bool PressureReadings::Save(QString* error) {
  if (path_.isEmpty()) return true;
  if (ReadFailed()) {
    if (error) *error = ReadFailedMessage();
    return false;
  }
  return SaveGridFile(grid_, path_, error);
}
