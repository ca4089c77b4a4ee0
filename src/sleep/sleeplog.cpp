#include "sleep/sleeplog.h"

#include <algorithm>

#include "core/textfile.h"
#include "core/textutil.h"

namespace {
constexpr int kWeekDays = 7;
constexpr int kMonthDays = 30;

QString OneDecimal(double v) { return FormatNumber(QStringLiteral("0.0"), v); }

// Calls f(day, hours) for each of the `days` days that end at date and hold hours, each
// read from its own year's grid.
template <typename F>
void ForEachHours(const CellGrid& grid, const CellGrid* previous, const QDate& date, int days,
                  F f) {
  for (int k = 0; k < days; ++k) {
    const QDate d = date.addDays(-k);
    const CellGrid* g = d.year() == date.year()       ? &grid
                        : d.year() == date.year() - 1 ? previous
                                                      : nullptr;
    double v;
    if (g && ReadNumericCell(g->Cell(kSleepHoursCol, YearGridRow(d)), &v)) f(d, v);
  }
}

double AverageHours(const CellGrid& grid, const CellGrid* previous, const QDate& date,
                    int days) {
  double sum = 0;
  int count = 0;
  ForEachHours(grid, previous, date, days, [&](const QDate&, double v) {
    sum += v;
    ++count;
  });
  return count > 0 ? sum / count : 0.0;
}
}  // namespace

QTime SleepSlotStart(int slot) { return QTime(20, 0).addSecs((slot - 1) * 1800); }

int SleepSlotAt(const QTime& time) {
  if (!time.isValid() || time.second() != 0 || time.msec() != 0 || time.minute() % 30 != 0) return 0;
  const int minutes = time.hour() * 60 + time.minute();
  return (minutes - 20 * 60 + 24 * 60) % (24 * 60) / 30 + 1;
}

SleepNight SleepNightOf(const CellGrid& yearGrid, int row) {
  SleepNight n;
  const QStringList& texts = yearGrid.RowTexts(row);
  for (int slot = 1; slot <= kSleepSlots; ++slot) {
    const int col = SleepSlotColumn(slot);
    if (col >= texts.size() || texts.at(col).trimmed() != QLatin1String("*")) continue;
    ++n.asleep;
    if (!n.first) n.first = slot;
    n.last = slot;
  }
  return n;
}

void StampSleepDay(CellGrid& yearGrid, const QDate& date) {
  const int d = YearGridRow(date);
  // English month names and ".", so that the file reads the same in every language.
  yearGrid.SetCell(kSleepEditedCol, d, FormatDate(QStringLiteral("mmm d"), date, FileLocale()));
  yearGrid.SetCell(kSleepHoursCol, d, StoredFixedText(0.5 * SleepNightOf(yearGrid, d).asleep, 1));
}

QString SlotLabel(int slot) {
  static const char* const kEvening[] = {"8 pm",  "8:30 pm",  "9 pm",  "9:30 pm",
                                         "10 pm", "10:30 pm", "11 pm", "11:30 pm",
                                         "12 am", "12:30 am"};
  if (slot < 1 || slot > kSleepSlots) return {};
  if (slot <= 10) return QString::fromLatin1(kEvening[slot - 1]);
  const QString half = (slot % 2) ? QStringLiteral(":00") : QStringLiteral(":30");
  if (slot <= 32) return QString::number(1 + (slot - 11) / 2) + half + QStringLiteral(" am");
  if (slot <= 34) return QStringLiteral("12") + half + QStringLiteral(" pm");
  return QString::number(1 + (slot - 35) / 2) + half + QStringLiteral(" pm");
}

QString SlotHint(int slot) {
  if (slot < 1 || slot > kSleepSlots) return {};
  // The last half hour of a day ends where the next day's first begins.
  const QString end = slot == kSleepSlots ? SlotLabel(1) : SlotLabel(slot + 1);
  return SlotLabel(slot) + QStringLiteral(" - ") + end;
}

QStringList HourLabels() {
  QStringList out{QStringLiteral("Sleep Time")};
  for (int i = 0; i < 24; ++i) {
    const int hour24 = (20 + i) % 24;
    const int hour12 = hour24 % 12 == 0 ? 12 : hour24 % 12;
    const QString ampm = hour24 < 12 ? QStringLiteral(" am") : QStringLiteral(" pm");
    out << QStringLiteral("%1").arg(hour12, 2) + ampm;
  }
  return out;
}

QStringList SleepYearHeaders() {
  QStringList h{QStringLiteral("Date"), QStringLiteral("Farenheit"), QStringLiteral("Celsius"),
                QStringLiteral("BarHeight"), QStringLiteral("Time")};
  while (h.size() < kSleepYearColumns) h << QString();
  return h;
}

QString SleepYearPath(const QString& folder, int year) {
  return folder + QString::number(year) + QStringLiteral("-Sleep.txt");
}

QString SleepNotePath(const QString& folder, const QDate& date) {
  return folder + DayKey(date) + QStringLiteral("-note.txt");
}

QDate SleepWindowStart(const QDate& date) {
  return date.isValid() ? MonthWindowStart(date.year(), date.month()) : QDate();
}

QDate ThirtyDayStart(const QDate& date) {
  if (!date.isValid()) return {};
  return date.addDays(-(kMonthDays - 1));
}

SleepAverages SleepAveragesOf(const CellGrid& yearGrid, const QDate& date,
                              const CellGrid* previousYear) {
  SleepAverages a;
  if (!date.isValid()) return a;
  a.week = AverageHours(yearGrid, previousYear, date, kWeekDays);
  a.month = AverageHours(yearGrid, previousYear, date, kMonthDays);
  return a;
}

std::array<double, 7> WeekdayHours(const CellGrid& yearGrid, const QDate& date,
                                   const CellGrid* previousYear) {
  std::array<double, 7> sum{};
  std::array<int, 7> count{};
  if (!date.isValid()) return sum;
  ForEachHours(yearGrid, previousYear, date, kMonthDays, [&](const QDate& d, double v) {
    sum[d.dayOfWeek() - 1] += v;
    ++count[d.dayOfWeek() - 1];
  });
  for (int w = 0; w < 7; ++w) sum[w] = count[w] > 0 ? sum[w] / count[w] : 0.0;
  return sum;
}

QString WeekdayRangeText(const QDate& date) {
  if (!date.isValid()) return {};
  return FormatDate(QStringLiteral("mmm d"), ThirtyDayStart(date)) + QStringLiteral(" - ") +
         FormatDate(QStringLiteral("mmm d"), date);
}

QString AveragesText(const SleepAverages& a) {
  return QStringLiteral("7 day average : ") + OneDecimal(a.week) +
         QStringLiteral(" hours/day   30 day average : ") + OneDecimal(a.month) +
         QStringLiteral(" hours/day");
}

// ---------------------------------------------------------------------------------

SleepLog::SleepLog(const QString& folder)
    : years_(kSleepYearColumns, SleepYearHeaders(), &SleepYearPath, folder) {}

void SleepLog::Open(const QDate& date, QStringList* errors) {
  if (!date.isValid()) return;
  start_ = SleepWindowStart(date);
  years_.Open(start_, start_.addDays(kSleepDayColumns - 1), errors);
}

QDate SleepLog::ColumnDate(int column) const {
  if (!start_.isValid() || column < 1 || column > kSleepDayColumns) return {};
  return WindowColumnDate(start_, column);
}

int SleepLog::DateColumn(const QDate& date) const { return WindowDateColumn(start_, date); }

bool SleepLog::IsAsleep(int column, int slot) const {
  if (slot < 1 || slot > kSleepSlots) return false;
  const QDate d = ColumnDate(column);
  const CellGrid* g = GridOf(d);
  if (!g) return false;
  // Compared without copying: this runs for every cell of every repaint.
  const QStringList& row = g->RowTexts(YearGridRow(d));
  const int col = SleepSlotColumn(slot);
  return col < row.size() && row.at(col).trimmed() == QLatin1String("*");
}

QString SleepLog::HoursText(int column) const {
  const QDate d = ColumnDate(column);
  const CellGrid* g = GridOf(d);
  if (!g) return {};
  // A load leaves a single space in an empty field: nothing to show. The hours are
  // shown with her decimal separator, whatever the file holds.
  const StoredNumber hours = ReadStoredNumber(g->Cell(kSleepHoursCol, YearGridRow(d)));
  return hours.IsNumber() ? OneDecimal(hours.value) : hours.text;
}

double SleepLog::ColumnHours(int column) const {
  int asleep = 0;
  for (int k = 1; k <= kSleepSlots; ++k)
    if (IsAsleep(column, k)) ++asleep;
  return 0.5 * asleep;
}

bool SleepLog::Toggle(int column, int slot, QString* error) {
  return SetAsleep(column, slot, !IsAsleep(column, slot), error);
}

bool SleepLog::SetAsleep(int column, int slot, bool asleep, QString* error) {
  if (slot < 1 || slot > kSleepSlots) return false;
  const QDate date = ColumnDate(column);
  CellGrid* g = date.isValid() ? years_.Grid(date.year()) : nullptr;
  if (!g) return false;
  if (!years_.Writable(date.year())) {
    // Its file holds records that are not all on screen: a mark here could never be
    // saved without overwriting them. The first line is said at every try, why once.
    if (error)
      *error = ChangeRefusedMessage(years_.Path(date.year()),
                                    QStringLiteral("The sleep log of %1").arg(date.year()));
    return false;
  }
  if (IsAsleep(column, slot) == asleep) return true;
  g->SetCell(SleepSlotColumn(slot), YearGridRow(date), asleep ? QStringLiteral("*") : QString());
  StampSleepDay(*g, date);
  years_.MarkChanged(date.year());
  return true;
}

const CellGrid* SleepLog::GridOf(const QDate& date) const {
  return date.isValid() ? years_.Grid(date.year()) : nullptr;
}

QString SleepLog::PathOf(int year) const { return years_.Path(year); }

const CellGrid* SleepLog::PreviousYearOf(const QDate& date) const {
  if (!date.isValid()) return nullptr;
  const QDate before(date.year() - 1, 12, 31);
  if (const CellGrid* g = years_.Grid(before.year())) return g;
  return others_.Grid(years_.Path(before.year()));
}

SleepAverages SleepLog::Averages(const QDate& date) const {
  const CellGrid* g = GridOf(date);
  return g ? SleepAveragesOf(*g, date, PreviousYearOf(date)) : SleepAverages{};
}

std::array<double, 7> SleepLog::Weekdays(const QDate& date) const {
  const CellGrid* g = GridOf(date);
  return g ? WeekdayHours(*g, date, PreviousYearOf(date)) : std::array<double, 7>{};
}

bool SleepLog::Save(QStringList* errors) { return years_.Save(errors); }

bool SleepLog::HasUnsavedChanges() const { return years_.HasUnsavedChanges(); }
