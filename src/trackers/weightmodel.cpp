#include "trackers/weightmodel.h"

#include <QFileInfo>

#include "core/textfile.h"
#include "core/textutil.h"

namespace {
const QStringList& WeightHeaders() {
  static const QStringList headers{QStringLiteral("Weight"), QStringLiteral("Hours"),
                                   QStringLiteral("Minutes")};
  return headers;
}
}  // namespace

bool HasWeightText(const QString& cell) {
  const QString t = cell.trimmed();
  return !t.isEmpty() && t != u"0" && t != u"0.0";
}

QString WeightYearPath(const QString& weightFolder, int year) {
  return weightFolder + QString::number(year) + QStringLiteral(".txt");
}

QString WeightGoalPath(const QString& weightFolder, int year, int month) {
  return weightFolder + QStringLiteral("Y%1M%2.ini").arg(year).arg(month);
}

QString WeightGoalSection(int month) { return QStringLiteral("M") + QString::number(month); }

UnitSystem WeightRowUnits(const CellGrid& grid, int row, UnitSystem unmarked) {
  return RecordUnits(grid.Cell(kWeightUnitColumn, row), unmarked);
}

QVector<DatedWeight> WeightHistoryPoints(const CellGrid& grid, int year, UnitSystem shown,
                                         UnitSystem unmarked) {
  QVector<DatedWeight> points;
  const QDate first(year, 1, 1);
  for (int r = 1; r < grid.RowCount(); ++r) {
    const QString cell = grid.Cell(kWeightColumn, r);
    if (!HasWeightText(cell)) continue;
    double value = 0;
    if (!ParseStoredNumber(cell, &value) || !(value > -1)) continue;
    points.append({first.addDays(r - 1),
                   ConvertWeight(value, WeightRowUnits(grid, r, unmarked), shown)});
  }
  return points;
}

WeightModel::WeightModel(const QString& weightFolder) : folder_(weightFolder) {}

void WeightModel::SetDate(const QDate& date) { date_ = date; }

void WeightModel::SetUnits(UnitSystem shown, UnitSystem unmarked) {
  shown_ = shown;
  unmarked_ = unmarked;
}

bool WeightModel::OpenGoal(QString* error) {
  const QString path = WeightGoalPath(folder_, date_.year(), date_.month());
  goal_ = IniFile(path);
  goalChanged_ = false;
  const bool failed = !goal_.errorString().isEmpty();
  if (failed && error) {
    const QString e = goal_.errorString();
    *error = e.startsWith(QStringLiteral("Cannot ")) ? e : CannotOpenMessage(path, e);
  }
  return !failed;
}

UnitSystem WeightModel::GoalUnits() const {
  return RecordUnits(goal_.ReadString(WeightGoalSection(date_.month()), QStringLiteral("Unit"),
                                      QString()),
                     unmarked_);
}

StoredNumber WeightModel::GoalReading() const {
  const QString section = WeightGoalSection(date_.month());
  if (!goal_.ValueExists(section, QStringLiteral("Goal"))) return {};
  StoredNumber n = ReadStoredNumber(goal_.ReadString(section, QStringLiteral("Goal"), QString()));
  if (n.IsNumber()) n.value = ConvertWeight(n.value, GoalUnits(), shown_);
  return n;
}

double WeightModel::Goal() const {
  const StoredNumber n = GoalReading();
  return n.IsNumber() ? n.value : ConvertWeight(kDefaultWeightGoal, unmarked_, shown_);
}

void WeightModel::ConvertGoalSection() {
  const QString section = WeightGoalSection(date_.month());
  const UnitSystem stored = GoalUnits();
  if (stored == shown_) return;
  for (const QString& key : goal_.Keys(section)) {
    if (key.compare(QStringLiteral("Unit"), Qt::CaseInsensitive) == 0) continue;
    double value = 0;
    if (!ParseStoredNumber(goal_.ReadString(section, key, QString()), &value)) continue;
    goal_.WriteFloat(section, key, ConvertWeight(value, stored, shown_));
  }
}

void WeightModel::MarkGoalSection() {
  const QString section = WeightGoalSection(date_.month());
  if (shown_ == unmarked_)
    goal_.DeleteKey(section, QStringLiteral("Unit"));
  else if (GoalUnits() != shown_)
    goal_.WriteString(section, QStringLiteral("Unit"), WeightUnitMark(shown_));
}

bool WeightModel::OpenYear(QString* error) {
  year_ = date_.year();
  yearPath_ = WeightYearPath(folder_, year_);
  QString e;
  const bool read = OpenYearGrid(grid_, year_, kWeightColumns, WeightHeaders(), yearPath_, &e);
  yearLoaded_ = true;
  yearChanged_ = false;
  if (!read && error) *error = e;
  return read;
}

QStringList WeightModel::ReadOnlyNotices() const {
  QStringList out;
  for (const QString& path : {yearPath_, goal_.path()}) {
    const QString notice = path.isEmpty() ? QString() : ReadOnlyNotice(path);
    if (!notice.isEmpty()) out << notice;
  }
  return out;
}

void WeightModel::SetWeightText(int row, const QString& text) {
  if (!HasWeightText(text) && !grid_.Cell(kWeightUnitColumn, row).trimmed().isEmpty()) {
    grid_.SetCell(kWeightUnitColumn, row, QString());
    yearChanged_ = true;
  }
  if (grid_.Cell(kWeightColumn, row) == text) return;
  grid_.SetCell(kWeightColumn, row, text);
  yearChanged_ = true;
}

void WeightModel::SetWeight(int row, double weight) {
  if (row < 1 || row >= grid_.RowCount()) return;
  const StoredNumber stored = ReadStoredNumber(WeightText(row));
  const UnitSystem units = WeightRowUnits(grid_, row, unmarked_);
  // The same weight stays as it stands, in its own unit.
  if (stored.IsNumber() && ConvertWeight(stored.value, units, shown_) == weight) return;
  const QString text = StoredNumberText(weight);
  SetWeightText(row, text);
  const QString mark =
      shown_ == unmarked_ || !HasWeightText(text) ? QString() : WeightUnitMark(shown_);
  if (grid_.Cell(kWeightUnitColumn, row).trimmed() != mark) {
    grid_.SetCell(kWeightUnitColumn, row, mark);
    if (!mark.isEmpty() && grid_.Cell(kWeightUnitColumn, 0).trimmed().isEmpty())
      grid_.SetCell(kWeightUnitColumn, 0, QStringLiteral("Unit"));
    yearChanged_ = true;
  }
}

StoredNumber WeightModel::DayWeight() const {
  StoredNumber n = ReadStoredNumber(WeightText(Row()));
  if (n.IsNumber()) n.value = ConvertWeight(n.value, WeightRowUnits(grid_, Row(), unmarked_), shown_);
  return n;
}

double WeightModel::StoredWeight() const { return DayWeight().value; }

QVector<DatedWeight> WeightModel::History(const QDate& from, const QDate& to) const {
  QVector<DatedWeight> points;
  if (!from.isValid() || !to.isValid() || from > to) return points;
  for (int y = from.year(); y <= to.year(); ++y) {
    const CellGrid* grid = y == year_ && yearLoaded_ ? &grid_
                                                     : others_.Grid(WeightYearPath(folder_, y));
    if (!grid) continue;
    for (const DatedWeight& p : WeightHistoryPoints(*grid, y, shown_, unmarked_))
      if (p.date >= from && p.date <= to) points.append(p);
  }
  return points;
}

bool WeightModel::HasWeight(int row) const {
  return yearLoaded_ && HasWeightText(grid_.Cell(kWeightColumn, row));
}

bool WeightModel::SaveDay(std::optional<double> weight, std::optional<double> goal,
                          QString* error, std::optional<double> shownWeight) {
  QStringList errors;
  const QString section = WeightGoalSection(date_.month());
  const QString dayKey = QStringLiteral("D") + QString::number(date_.day());
  const QByteArray goalBefore = goal_.ToBytes();
  const auto storedAs = [&](const QString& key) -> std::optional<double> {
    double v = 0;
    if (!ParseStoredNumber(goal_.ReadString(section, key, QString()), &v)) return std::nullopt;
    return ConvertWeight(v, GoalUnits(), shown_);
  };
  // "D" + day notes the weight shown whenever the month's file is written; the file is
  // written only when a weight or the goal changed.
  const std::optional<double> dayWeight = weight ? weight : shownWeight;
  const bool dayChanged = weight && storedAs(dayKey) != weight;
  const bool goalValueChanged = goal && storedAs(QStringLiteral("Goal")) != goal;
  if (dayChanged || goalValueChanged) {
    // The section keeps one unit: its numbers move to the shown one as one is written.
    ConvertGoalSection();
    if (dayWeight && storedAs(dayKey) != dayWeight) goal_.WriteFloat(section, dayKey, *dayWeight);
    if (goalValueChanged) goal_.WriteFloat(section, QStringLiteral("Goal"), *goal);
    MarkGoalSection();
  }
  if (goal_.ToBytes() != goalBefore) goalChanged_ = true;

  if (weight) SetWeight(Row(), *weight);
  bool ok = true;
  // Showing a day stores its weight again: only a weight that changed (or a year that
  // has no file yet) is written, so a year file is never rewritten just by being shown.
  if (yearChanged_ || !QFileInfo::exists(yearPath_)) {
    QString e;
    if (SaveGridFile(grid_, yearPath_, &e)) {
      yearChanged_ = false;
    } else {
      ok = false;
      if (!e.isEmpty()) errors << e;
    }
  }

  // The goal file is written only when one of its values changed (or its last write
  // failed): looking at a month never creates or rewrites it.
  if (goalChanged_ && goal_.UpdateFile()) {
    goalChanged_ = false;
  } else if (goalChanged_) {
    ok = false;
    const QString e = goal_.errorString();
    if (!e.isEmpty())
      errors << (e.startsWith(QStringLiteral("Cannot ")) ? e : CannotCreateMessage(goal_.path(), e));
  }
  if (error) *error = errors.join(u'\n');
  return ok;
}
