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
  goalReadFailed_ = !goal_.errorString().isEmpty();
  if (goalReadFailed_ && error) {
    const QString e = goal_.errorString();
    *error = e.startsWith(QStringLiteral("Cannot ")) ? e : CannotOpenMessage(path, e);
  }
  return !goalReadFailed_;
}

double WeightModel::Goal() const {
  return goal_.ReadFloat(WeightGoalSection(date_.month()), QStringLiteral("Goal"),
                         kDefaultWeightGoal);
}

bool WeightModel::OpenYear(QString* error) {
  year_ = date_.year();
  yearPath_ = WeightYearPath(folder_, year_);
  QString e;
  yearReadFailed_ = !OpenYearGrid(grid_, year_, kWeightColumns, WeightHeaders(), yearPath_, &e);
  yearLoaded_ = true;
  if (yearReadFailed_ && error) *error = e;
  return !yearReadFailed_;
}

double WeightModel::StoredWeight() const {
  double value = 0;
  if (!ParseNumber(WeightText(Row()), &value)) return 0;
  return value;
}

QString WeightModel::ReadFailedMessage() const {
  if (!yearReadFailed_) return {};
  return CannotCreateMessage(yearPath_,
                             QStringLiteral("The file could not be read, so it was not replaced."));
}

bool WeightModel::HasWeight(int row) const {
  return yearLoaded_ && HasWeightText(grid_.Cell(kWeightColumn, row));
}

bool WeightModel::SaveDay(double weight, double goal, QString* error) {
  QStringList errors;
  const QString section = WeightGoalSection(date_.month());
  goal_.WriteFloat(section, QStringLiteral("D") + QString::number(date_.day()), weight);
  goal_.WriteFloat(section, QStringLiteral("Goal"), goal);

  grid_.SetCell(kWeightColumn, Row(), ShortestNumberText(weight));
  if (yearReadFailed_) {
    // The file on disk holds records this grid never saw: replacing it would lose them.
    errors << ReadFailedMessage();
  } else {
    QString e;
    if (!SaveGridFile(grid_, yearPath_, &e)) errors << e;
  }

  if (!goal_.UpdateFile()) {
    const QString e = goal_.errorString();
    errors << (e.startsWith(QStringLiteral("Cannot ")) ? e : CannotCreateMessage(goal_.path(), e));
  }
  if (error) *error = errors.join(u'\n');
  return errors.isEmpty();
}
