#include "basal/basalchart.h"

#include <QFileInfo>
#include <algorithm>

#include "core/textfile.h"
#include "basal/basalscale.h"
#include "basal/basalsigns.h"

QStringList BasalYearHeaders() {
  return {QStringLiteral("Date"),      QStringLiteral("Farenheit"), QStringLiteral("Celsius"),
          QStringLiteral("BarHeight"), QStringLiteral("Cycle Day"), QString(),
          QString()};
}

QString BasalYearPath(const QString& basalFolder, int year) {
  return basalFolder + QString::number(year) + QStringLiteral("-Basal.txt");
}

BasalChart::BasalChart(const QString& basalFolder) : folder_(basalFolder) {}

void BasalChart::Open(const QDate& date, QStringList* errors) {
  year_ = date.year();
  month_ = date.month();
  start_ = MonthWindowStart(year_, month_);
  const int lastYear = ::WindowColumnDate(start_, kBasalDayColumns).year();

  std::vector<HeldYear> held;
  held.swap(years_);
  for (int y = start_.year(); y <= lastYear; ++y) {
    auto kept = std::find_if(held.begin(), held.end(),
                             [y](const HeldYear& h) { return h.year == y && h.dirty; });
    if (kept != held.end()) {
      years_.push_back(std::move(*kept));
      continue;
    }
    HeldYear h;
    h.year = y;
    h.path = BasalYearPath(folder_, y);
    QString error;
    if (!OpenYearGrid(h.grid, y, kBasalYearColumns, BasalYearHeaders(), h.path, &error)) {
      h.readable = false;
      if (errors) errors->append(error);
    } else if (const QString notice = ReadOnlyNotice(h.path); !notice.isEmpty()) {
      if (errors) errors->append(notice);  // far larger than a year file: read-only
    }
    years_.push_back(std::move(h));
  }
  // The shown year first.
  std::stable_partition(years_.begin(), years_.end(),
                        [this](const HeldYear& h) { return h.year == year_; });
  UpdateTops();
}

QString BasalChart::YearPath() const { return years_.empty() ? QString() : years_.front().path; }

QString BasalChart::ColumnYearPath(int column) const {
  const HeldYear* y = HolderOf(ColumnDate(column));
  return y ? y->path : QString();
}

BasalChart::HeldYear* BasalChart::HolderOf(const QDate& date) {
  for (HeldYear& y : years_)
    if (y.year == date.year()) return &y;
  return nullptr;
}

const BasalChart::HeldYear* BasalChart::HolderOf(const QDate& date) const {
  for (const HeldYear& y : years_)
    if (y.year == date.year()) return &y;
  return nullptr;
}

QString BasalChart::Cell(int column, int col) const {
  if (column < 1 || column > kBasalDayColumns) return {};
  const QDate d = ColumnDate(column);
  const HeldYear* y = HolderOf(d);
  return y ? y->grid.Cell(col, YearGridRow(d)) : QString();
}

void BasalChart::SetCell(int column, int col, const QString& text) {
  if (column < 1 || column > kBasalDayColumns) return;
  const QDate d = ColumnDate(column);
  HeldYear* y = HolderOf(d);
  if (!y) return;
  y->grid.SetCell(col, YearGridRow(d), text);
  y->dirty = true;
}

int BasalChart::BarTop(int column) const {
  return (column >= 1 && column <= kBasalDayColumns) ? tops_[column] : 0;
}

void BasalChart::UpdateTops() {
  tops_.fill(0);
  for (int c = 1; c <= kBasalDayColumns; ++c) tops_[c] = ParseBarTop(Cell(c, kBarTopCol));
}

QString BasalChart::Discharge(int column) const { return Cell(column, kDischargeCol).trimmed(); }
QString BasalChart::Cervix(int column) const { return Cell(column, kCervixCol).trimmed(); }
bool BasalChart::Intercourse(int column) const {
  return Cell(column, kIntercourseCol) == QLatin1String(kIntercourseMark);
}

BasalChart::HeldYear* BasalChart::ColumnHolder(int column, int* row) {
  if (column < 1 || column > kBasalDayColumns) return nullptr;
  const QDate d = ColumnDate(column);
  *row = YearGridRow(d);
  return HolderOf(d);
}

int BasalChart::SetLevel(int column, int row, TemperatureUnit unit) {
  if (row < 1 || row > kBasalLevelRows) return 0;
  int yearRow = 0;
  HeldYear* y = ColumnHolder(column, &yearRow);
  if (!y) return 0;
  const int top = BarTopForClick(row);
  // A click on the bar's own level changes nothing: a reading typed to two decimals, or
  // stored in the other unit, keeps its exact value.
  if (top != 0 && top == tops_[column]) return top;
  WriteBasalLevel(y->grid, yearRow, top, unit);
  y->dirty = true;
  tops_[column] = top;
  return top;
}

int BasalChart::SetTemperature(int column, const BodyTemperature& t) {
  int yearRow = 0;
  HeldYear* y = ColumnHolder(column, &yearRow);
  if (!y) return 0;
  tops_[column] = WriteBasalTemperature(y->grid, yearRow, t);
  y->dirty = true;
  return tops_[column];
}

void BasalChart::SetDisturbance(int column, Disturbance d) {
  int yearRow = 0;
  HeldYear* y = ColumnHolder(column, &yearRow);
  if (!y) return;
  WriteBasalDisturbance(y->grid, yearRow, d);
  y->dirty = true;
}

BasalReading BasalChart::Reading(int column, TemperatureUnit unit) const {
  if (column < 1 || column > kBasalDayColumns) return {};
  const QDate d = ColumnDate(column);
  const HeldYear* y = HolderOf(d);
  return y ? ReadBasalReading(y->grid, YearGridRow(d), unit) : BasalReading{};
}

QString BasalChart::ClickSign(int column, int row, bool* changed) {
  if (changed) *changed = false;
  if (column < 1 || column > kBasalDayColumns) return {};
  SignStep step;
  switch (row) {
    case kDischargeRow:
      step = NextDischarge(Discharge(column));
      SetCell(column, kDischargeCol, step.code);
      break;
    case kCervixRow:
      step = NextCervix(Cervix(column));
      SetCell(column, kCervixCol, step.code);
      break;
    case kIntercourseRow:
      SetCell(column, kIntercourseCol,
              Intercourse(column) ? QString() : QString::fromLatin1(kIntercourseMark));
      break;
    default:
      return {};
  }
  if (changed) *changed = true;
  return step.hint;
}

bool BasalChart::Write(HeldYear& y, QString* error) {
  // A year that could not be read is refused by the file layer, which says so once.
  if (!SaveGridFile(y.grid, y.path, error)) return false;
  y.dirty = false;
  return true;
}

bool BasalChart::Save(QStringList* errors) {
  bool ok = true;
  for (HeldYear& y : years_) {
    // A year with changes is written; so is the shown year when it has no file yet
    // (browsing into a year creates its file). An unchanged year is not rewritten.
    const bool create = y.year == year_ && y.readable && !QFileInfo::exists(y.path);
    if (!y.dirty && !create) continue;
    QString error;
    if (!Write(y, &error)) {
      ok = false;
      if (errors && !error.isEmpty()) errors->append(error);
    }
  }
  return ok;
}

bool BasalChart::SaveColumnYear(int column, QString* error) {
  HeldYear* y = HolderOf(ColumnDate(column));
  if (!y) return true;
  return Write(*y, error);
}

const CellGrid* BasalChart::YearGrid(int year) const {
  for (const HeldYear& y : years_)
    if (y.year == year) return &y.grid;
  return nullptr;
}
