#include "sleep/sleepimport.h"

#include <QMap>
#include <QRegularExpression>
#include <cmath>
#include <optional>

#include "app/datafolders.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "sleep/sleeplog.h"

namespace {

struct Day {
  QDate date;
  std::optional<SleepNight> night;
  QString note;
};

// A bed or wake time: "HH:mm" (or "H:mm") on one of the log's half hours; the slot that
// starts then.
bool ReadSlotTime(const RecordTable& table, int row, const QString& what, const QString& text,
                  int* slot, QString* error) {
  static const QRegularExpression hhmm(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
  const QRegularExpressionMatch m = hhmm.match(text);
  const QTime time = m.hasMatch() ? QTime(m.captured(1).toInt(), m.captured(2).toInt()) : QTime();
  if (!time.isValid()) {
    if (error)
      *error = QStringLiteral("%1: the %2 time \"%3\" is not a time (HH:mm)").arg(table.Where(row), what, text);
    return false;
  }
  *slot = SleepSlotAt(time);
  if (!*slot) {
    if (error)
      *error = QStringLiteral("%1: the %2 time %3 is not on one of the log's half hours (:00 or :30)")
                   .arg(table.Where(row), what, text);
    return false;
  }
  return true;
}

// The night of a row: its slots from bed to wake, and how many of them she slept.
bool ReadNight(const RecordTable& table, int row, const QString& hours, const QString& bed,
               const QString& wake, std::optional<SleepNight>* night, QString* error) {
  if (bed.isEmpty() && wake.isEmpty()) {
    if (hours.isEmpty()) return true;
    if (error)
      *error = QStringLiteral("%1: the hours %2 have no bed and wake time").arg(table.Where(row), hours);
    return false;
  }
  if (bed.isEmpty() || wake.isEmpty()) {
    if (error)
      *error = QStringLiteral("%1: a night has both a bed and a wake time").arg(table.Where(row));
    return false;
  }
  SleepNight n;
  int end = 0;
  if (!ReadSlotTime(table, row, QStringLiteral("bed"), bed, &n.first, error) ||
      !ReadSlotTime(table, row, QStringLiteral("wake"), wake, &end, error))
    return false;
  // Wake is the end of the last slot: the start of the one after it (8 pm ends the day).
  n.last = end == 1 ? kSleepSlots : end - 1;
  if (n.last < n.first) {
    if (error)
      *error = QStringLiteral("%1: from bed at %2 to wake at %3 runs past 8 pm, where the log's "
                              "next day begins")
                   .arg(table.Where(row), bed, wake);
    return false;
  }
  const int span = n.last - n.first + 1;
  n.asleep = span;
  if (!hours.isEmpty()) {
    double h = 0;
    if (!ImportNumber(table, row, QStringLiteral("hours"), hours, &h, error)) return false;
    const double halves = h * 2;
    n.asleep = int(std::lround(halves));
    // The first and the last slot are marked: at least those two of a longer night.
    if (std::abs(halves - n.asleep) > 1e-9 || n.asleep > span || n.asleep < std::min(2, span)) {
      if (error)
        *error = QStringLiteral("%1: the hours %2 do not fit from bed at %3 to wake at %4 (whole "
                                "half hours, from %5 to %6)")
                     .arg(table.Where(row), hours, bed, wake,
                          QString::number(0.5 * std::min(2, span)), QString::number(0.5 * span));
      return false;
    }
  }
  *night = n;
  return true;
}

void WriteNight(CellGrid& grid, const QDate& date, const SleepNight& n) {
  const int row = YearGridRow(date);
  for (int slot = 1; slot <= kSleepSlots; ++slot) {
    const bool asleep = (slot >= n.first && slot < n.first + n.asleep - 1) || slot == n.last;
    grid.SetCell(SleepSlotColumn(slot), row, asleep ? QStringLiteral("*") : QString());
  }
  StampSleepDay(grid, date);
}

bool ImportLog(const QString& folder, const RecordTable& table, ImportMode mode,
               ImportTally* tally, QString* error) {
  QHash<QString, int> col;
  if (!ImportColumns(table, {QStringLiteral("date"), QStringLiteral("bed"), QStringLiteral("wake")},
                     {QStringLiteral("hours"), QStringLiteral("note")}, &col, error))
    return false;
  QMap<int, QList<Day>> years;
  QHash<QDate, int> seen;  // the row of each day
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    Day d;
    const QString dateText = ImportField(row, col.value(QStringLiteral("date")));
    if (!ImportDate(table, r, dateText, &d.date, error)) return false;
    if (!ReadNight(table, r, ImportField(row, col.value(QStringLiteral("hours"))),
                   ImportField(row, col.value(QStringLiteral("bed"))),
                   ImportField(row, col.value(QStringLiteral("wake"))), &d.night, error))
      return false;
    d.note = ImportNoteField(row, col.value(QStringLiteral("note")));
    if (!d.night && d.note.isEmpty()) continue;
    if (!ImportOneRowADay(table, r, dateText, d.date, &seen, error)) return false;
    years[d.date.year()] << d;
  }

  for (auto it = years.cbegin(); it != years.cend(); ++it) {
    const QString path = SleepYearPath(folder, it.key());
    CellGrid grid;
    if (!OpenYearGrid(grid, it.key(), kSleepYearColumns, SleepYearHeaders(), path, error)) return false;
    bool changed = false;
    for (const Day& d : it.value()) {
      if (!d.night) continue;
      const SleepNight kept = SleepNightOf(grid, YearGridRow(d.date));
      if (kept.asleep) {
        // The same hours, bed and wake: the CSV says no more of a night.
        if (kept == *d.night) continue;
        ++tally->held;
        if (!Replaces(mode)) continue;
      } else {
        ++tally->added;
      }
      WriteNight(grid, d.date, *d.night);
      changed = true;
    }
    if (changed) {
      if (!MayWriteFile(path, error)) return false;
      if (Writes(mode) && !SaveGridFile(grid, path, error)) return false;
    }
    for (const Day& d : it.value())
      if (!d.note.isEmpty() && !ImportNote(SleepNotePath(folder, d.date), d.note, mode, tally, error))
        return false;
  }
  return true;
}

}  // namespace

bool ImportSleepTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                      ImportTally* tally, QString* error) {
  return ImportLog(dir.SleepFolder(), table, mode, tally, error);
}

bool ImportKidsTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                     ImportTally* tally, QString* error) {
  return ImportLog(dir.BabyFolder(), table, mode, tally, error);
}
