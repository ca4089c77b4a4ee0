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

QVector<DatedWeight> WeightHistoryPoints(const CellGrid& grid, int year, const QLocale& locale) {
  QVector<DatedWeight> points;
  const QDate first(year, 1, 1);
  for (int r = 1; r < grid.RowCount(); ++r) {
    const QString cell = grid.Cell(kWeightColumn, r);
    if (!HasWeightText(cell)) continue;
    double value = 0;
    if (!ParseNumber(cell, &value, locale) || !(value > -1)) continue;
    points.append({first.addDays(r - 1), value});
  }
  return points;
}

WeightModel::WeightModel(const QString& weightFolder) : folder_(weightFolder) {}

void WeightModel::SetDate(const QDate& date) { date_ = date; }

bool WeightModel::OpenGoal(QString* error) {
  const QString path = WeightGoalPath(folder_, date_.year(), date_.month());
  goal_ = IniFile(path);
  const bool failed = !goal_.errorString().isEmpty();
  if (failed && error) {
    const QString e = goal_.errorString();
    *error = e.startsWith(QStringLiteral("Cannot ")) ? e : CannotOpenMessage(path, e);
  }
  return !failed;
}

double WeightModel::Goal() const {
  return goal_.ReadFloat(WeightGoalSection(date_.month()), QStringLiteral("Goal"),
                         kDefaultWeightGoal);
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
  if (grid_.Cell(kWeightColumn, row) == text) return;
  grid_.SetCell(kWeightColumn, row, text);
  yearChanged_ = true;
}

double WeightModel::StoredWeight() const {
  double value = 0;
  if (!ParseNumber(WeightText(Row()), &value)) return 0;
  return value;
}

bool WeightModel::HasWeight(int row) const {
  return yearLoaded_ && HasWeightText(grid_.Cell(kWeightColumn, row));
}

bool WeightModel::SaveDay(double weight, double goal, QString* error) {
  QStringList errors;
  const QString section = WeightGoalSection(date_.month());
  goal_.WriteFloat(section, QStringLiteral("D") + QString::number(date_.day()), weight);
  goal_.WriteFloat(section, QStringLiteral("Goal"), goal);

  SetWeightText(Row(), ShortestNumberText(weight));
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

  if (!goal_.UpdateFile()) {
    ok = false;
    const QString e = goal_.errorString();
    if (!e.isEmpty())
      errors << (e.startsWith(QStringLiteral("Cannot ")) ? e : CannotCreateMessage(goal_.path(), e));
  }
  if (error) *error = errors.join(u'\n');
  return ok;
}
