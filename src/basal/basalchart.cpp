#include "basal/basalchart.h"

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

BasalChart::BasalChart(const QString& basalFolder)
    : years_(kBasalYearColumns, BasalYearHeaders(), &BasalYearPath, basalFolder) {}

void BasalChart::Open(const QDate& date, QStringList* errors) {
  year_ = date.year();
  month_ = date.month();
  start_ = MonthWindowStart(year_, month_);
  years_.Open(start_, ::WindowColumnDate(start_, kBasalDayColumns), errors);
  UpdateTops();
}

QString BasalChart::YearPath() const { return IsOpen() ? years_.Path(year_) : QString(); }

QString BasalChart::ColumnYearPath(int column) const {
  const QDate d = ColumnDate(column);
  return years_.Grid(d.year()) ? years_.Path(d.year()) : QString();
}

QString BasalChart::Cell(int column, int col) const {
  if (column < 1 || column > kBasalDayColumns) return {};
  const QDate d = ColumnDate(column);
  const CellGrid* g = years_.Grid(d.year());
  return g ? g->Cell(col, YearGridRow(d)) : QString();
}

void BasalChart::SetCell(int column, int col, const QString& text) {
  if (column < 1 || column > kBasalDayColumns) return;
  const QDate d = ColumnDate(column);
  CellGrid* g = years_.Grid(d.year());
  if (!g) return;
  g->SetCell(col, YearGridRow(d), text);
  years_.MarkChanged(d.year());
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

CellGrid* BasalChart::ColumnGrid(int column, int* row) {
  if (column < 1 || column > kBasalDayColumns) return nullptr;
  const QDate d = ColumnDate(column);
  *row = YearGridRow(d);
  return years_.Grid(d.year());
}

void BasalChart::MarkColumnChanged(int column) { years_.MarkChanged(ColumnDate(column).year()); }

int BasalChart::SetLevel(int column, int row, TemperatureUnit unit) {
  if (row < 1 || row > kBasalLevelRows) return 0;
  int yearRow = 0;
  CellGrid* g = ColumnGrid(column, &yearRow);
  if (!g) return 0;
  const int top = BarTopForClick(row);
  // A click on the bar's own level changes nothing: a reading typed to two decimals, or
  // stored in the other unit, keeps its exact value.
  if (top != 0 && top == tops_[column]) return top;
  WriteBasalLevel(*g, yearRow, top, unit);
  MarkColumnChanged(column);
  tops_[column] = top;
  return top;
}

int BasalChart::SetTemperature(int column, const BodyTemperature& t) {
  int yearRow = 0;
  CellGrid* g = ColumnGrid(column, &yearRow);
  if (!g) return 0;
  tops_[column] = WriteBasalTemperature(*g, yearRow, t);
  MarkColumnChanged(column);
  return tops_[column];
}

void BasalChart::SetDisturbance(int column, Disturbance d) {
  int yearRow = 0;
  CellGrid* g = ColumnGrid(column, &yearRow);
  if (!g) return;
  WriteBasalDisturbance(*g, yearRow, d);
  MarkColumnChanged(column);
}

BasalReading BasalChart::Reading(int column, TemperatureUnit unit) const {
  if (column < 1 || column > kBasalDayColumns) return {};
  const QDate d = ColumnDate(column);
  const CellGrid* g = years_.Grid(d.year());
  return g ? ReadBasalReading(*g, YearGridRow(d), unit) : BasalReading{};
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

bool BasalChart::Save(QStringList* errors) {
  // Browsing into a year creates its file; an unchanged year is not rewritten.
  return years_.Save(errors, year_);
}

bool BasalChart::SaveColumnYear(int column, QString* error) {
  return years_.SaveYear(ColumnDate(column).year(), error);
}

const CellGrid* BasalChart::YearGrid(int year) const { return years_.Grid(year); }
