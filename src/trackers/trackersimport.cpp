#include "trackers/trackersimport.h"

#include <QFileInfo>
#include <QMap>
#include <algorithm>

#include "app/config.h"
#include "app/datafolders.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "core/units.h"
#include "trackers/pressurereadings.h"
#include "trackers/todolist.h"
#include "trackers/weightmodel.h"

namespace {

Config SettingsOf(const DataFolders& dir, QString* error, bool* ok) {
  const QString ini = dir.ConfigFolder() + QStringLiteral("application.ini");
  QByteArray bytes;
  *ok = !QFileInfo::exists(ini) || ReadFileBytes(ini, &bytes, error);
  return Config::FromBytes(bytes);
}

bool ReadUnit(const RecordTable& table, int row, const QString& text, UnitSystem settings,
              UnitSystem* unit, QString* error) {
  if (text.isEmpty()) {
    *unit = settings;
  } else if (text.compare(QLatin1String("lbs"), Qt::CaseInsensitive) == 0) {
    *unit = UnitSystem::Imperial;
  } else if (text.compare(QLatin1String("kg"), Qt::CaseInsensitive) == 0) {
    *unit = UnitSystem::Metric;
  } else {
    if (error)
      *error = QStringLiteral("%1: the unit \"%2\" is neither \"lbs\" nor \"kg\"").arg(table.Where(row), text);
    return false;
  }
  return true;
}

// The day of a reading as the log writes it, or as it was typed.
QDateTime ReadingTime(const CellGrid& grid, int row) {
  const QString d = grid.Cell(kBpDate, row).trimmed();
  const QString t = grid.Cell(kBpTime, row).trimmed();
  QDate date;
  for (const QString& f : {QStringLiteral("MMM d, yyyy"), QStringLiteral("MMMM d, yyyy")}) {
    for (const QLocale& l : {FileLocale(), AppLocale()}) {
      if (!date.isValid()) date = l.toDate(d, f);
    }
  }
  if (!date.isValid()) date = ParseShortDate(d);
  if (!date.isValid()) date = QDate::fromString(d, Qt::ISODate);
  QTime time;
  for (const QString& f : {QStringLiteral("h:mm AP"), QStringLiteral("h:mm ap"), QStringLiteral("H:mm")}) {
    for (const QLocale& l : {FileLocale(), AppLocale()}) {
      if (!time.isValid()) time = l.toTime(t, f);
    }
  }
  if (!date.isValid()) return {};
  return QDateTime(date, time.isValid() ? time : QTime(0, 0));
}

bool RowIsEmpty(const CellGrid& grid, int row) {
  for (int c = 0; c < kPressureColumns; ++c)
    if (!grid.Cell(c, row).trimmed().isEmpty()) return false;
  return true;
}

}  // namespace

bool ImportWeightTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                       ImportTally* tally, QString* error) {
  QHash<QString, int> col;
  if (!ImportColumns(table, {QStringLiteral("date"), QStringLiteral("weight")},
                     {QStringLiteral("unit"), QStringLiteral("goal")}, &col, error))
    return false;
  bool ok = true;
  const Config config = SettingsOf(dir, error, &ok);
  if (!ok) return false;
  const UnitSystem shown = config.Units();
  struct Day {
    QDate date;
    std::optional<double> weight, goal;
  };
  QMap<int, QList<Day>> years;
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    Day d;
    if (!ImportDate(table, r, ImportField(row, col.value(QStringLiteral("date"))), &d.date, error))
      return false;
    UnitSystem unit = shown;
    if (!ReadUnit(table, r, ImportField(row, col.value(QStringLiteral("unit"))), shown, &unit, error))
      return false;
    double v = 0;
    const QString weight = ImportField(row, col.value(QStringLiteral("weight")));
    if (!weight.isEmpty()) {
      if (!ImportNumber(table, r, QStringLiteral("weight"), weight, &v, error)) return false;
      if (v <= 0 || v > 2000) {
        if (error) *error = QStringLiteral("%1: the weight %2 is not one a person has").arg(table.Where(r), weight);
        return false;
      }
      d.weight = ConvertWeight(v, unit, shown);
    }
    const QString goal = ImportField(row, col.value(QStringLiteral("goal")));
    if (!goal.isEmpty()) {
      if (!ImportNumber(table, r, QStringLiteral("goal"), goal, &v, error)) return false;
      d.goal = ConvertWeight(v, unit, shown);
    }
    if (d.weight || d.goal) years[d.date.year()] << d;
  }
  for (auto it = years.cbegin(); it != years.cend(); ++it) {
    WeightModel model(dir.WeightFolder());
    model.SetUnits(shown, config.UnmarkedUnits());
    model.SetDate(QDate(it.key(), 1, 1));
    if (!model.OpenYear(error)) return false;
    if (mode != ImportMode::Preview && !MayWriteFile(model.YearPath(), error)) return false;
    QMap<int, double> goals;  // month: the goal of its last row
    for (const Day& d : it.value()) {
      if (d.goal) goals.insert(d.date.month(), *d.goal);
      if (!d.weight) continue;
      const int row = YearGridRow(d.date);
      if (model.HasWeight(row)) {
        model.SetDate(d.date);
        const StoredNumber stored = model.DayWeight();
        if (stored.IsNumber() && qAbs(stored.value - *d.weight) < 1e-9) continue;
        ++tally->held;
        if (mode != ImportMode::Replace) continue;
      } else {
        ++tally->added;
      }
      model.SetWeight(row, *d.weight);
    }
    model.SetDate(QDate(it.key(), 1, 1));
    if (mode != ImportMode::Preview && !model.SaveDay(std::nullopt, std::nullopt, error)) return false;
    for (auto g = goals.cbegin(); g != goals.cend(); ++g) {
      model.SetDate(QDate(it.key(), g.key(), 1));
      if (!model.OpenGoal(error)) return false;
      const StoredNumber stored = model.GoalReading();
      if (stored.state != StoredNumber::State::Empty) {
        if (stored.IsNumber() && qAbs(stored.value - g.value()) < 1e-9) continue;
        ++tally->held;
        if (mode != ImportMode::Replace) continue;
      } else {
        ++tally->added;
      }
      if (mode != ImportMode::Preview && !model.SaveDay(std::nullopt, g.value(), error)) return false;
    }
  }
  return true;
}

bool ImportToDoTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                     ImportTally* tally, QString* error) {
  QHash<QString, int> col;
  if (!ImportColumns(table, {QStringLiteral("list"), QStringLiteral("text")},
                     {QStringLiteral("date"), QStringLiteral("done")}, &col, error))
    return false;
  static const QRegularExpression plain = PlainFileName({});
  // The lists in the order they first appear, each with its lines.
  QStringList order;
  QHash<QString, QStringList> lists;
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    const QString list = ImportField(row, col.value(QStringLiteral("list")));
    const QString dateText = ImportField(row, col.value(QStringLiteral("date")));
    QString file;
    if (list == QLatin1String("Today") && !dateText.isEmpty()) {
      QDate date;
      if (!ImportDate(table, r, dateText, &date, error)) return false;
      file = QStringLiteral("Today") + DayKey(date) + QStringLiteral(".txt");
    } else {
      if (!dateText.isEmpty() || list.isEmpty() || !plain.match(list + QStringLiteral(".txt")).hasMatch()) {
        if (error)
          *error = list.isEmpty() || !dateText.isEmpty()
                       ? QStringLiteral("%1: a list is \"Today\" with a date, or a name without one")
                             .arg(table.Where(r))
                       : QStringLiteral("%1: \"%2\" cannot be the name of a list (no \"/\", no "
                                        "leading \".\")")
                             .arg(table.Where(r), list);
        return false;
      }
      file = list + QStringLiteral(".txt");
    }
    const QString done = ImportField(row, col.value(QStringLiteral("done")));
    if (!done.isEmpty() && done.compare(QLatin1String("yes"), Qt::CaseInsensitive) != 0) {
      if (error)
        *error = QStringLiteral("%1: done is \"yes\" or empty, not \"%2\"").arg(table.Where(r), done);
      return false;
    }
    const int c = col.value(QStringLiteral("text"));
    QString text = c < row.size() ? row.at(c) : QString();
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    if (text.trimmed().isEmpty()) continue;
    if (!lists.contains(file)) order << file;
    lists[file] << ToDoLine(!done.isEmpty(), text);
  }
  for (const QString& file : std::as_const(order)) {
    const QString path = dir.ToDoFolder() + file;
    const QStringList& lines = lists.value(file);
    if (QFileInfo::exists(path)) {
      QStringList current;
      if (!ReadTextLines(path, &current, error)) return false;
      bool holds = false;
      for (const QString& line : std::as_const(current)) {
        const ToDoItem item = ParseToDoLine(line);
        holds = holds || !(item.line.isEmpty() ? item.text : item.line).trimmed().isEmpty();
      }
      if (holds) {
        if (current == lines) continue;
        ++tally->held;
        if (mode != ImportMode::Replace) continue;
      } else {
        ++tally->added;
      }
    } else {
      ++tally->added;
    }
    if (mode != ImportMode::Preview && !WriteTextLines(path, lines, error)) return false;
  }
  return true;
}

bool ImportPressureTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                         ImportTally* tally, QString* error) {
  QHash<QString, int> col;
  if (!ImportColumns(table, {QStringLiteral("date"), QStringLiteral("systolic"), QStringLiteral("diastolic")},
                     {QStringLiteral("time"), QStringLiteral("pulse")}, &col, error))
    return false;
  struct Reading {
    QDateTime when;
    QStringList values;  // systolic, diastolic, pulse
  };
  QMap<int, QList<Reading>> years;
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    Reading reading;
    QDate date;
    if (!ImportDate(table, r, ImportField(row, col.value(QStringLiteral("date"))), &date, error))
      return false;
    const QString timeText = ImportField(row, col.value(QStringLiteral("time")));
    const QTime time = timeText.isEmpty() ? QTime(0, 0) : QTime::fromString(timeText, QStringLiteral("HH:mm"));
    if (!time.isValid()) {
      if (error) *error = QStringLiteral("%1: \"%2\" is not a time (HH:mm)").arg(table.Where(r), timeText);
      return false;
    }
    reading.when = QDateTime(date, time);
    for (const QString& name : {QStringLiteral("systolic"), QStringLiteral("diastolic"), QStringLiteral("pulse")}) {
      const QString v = ImportField(row, col.value(name));
      double n = 0;
      if (!v.isEmpty() && (!ImportNumber(table, r, name, v, &n, error))) return false;
      reading.values << v;
    }
    years[date.year()] << reading;
  }
  for (auto it = years.cbegin(); it != years.cend(); ++it) {
    PressureReadings log;
    if (!log.Open(dir.HeartFolder(), QDate(it.key(), 1, 1), error)) return false;
    if (mode != ImportMode::Preview && log.ReadFailed()) {
      if (error) *error = log.ReadFailedMessage();
      return false;
    }
    CellGrid& grid = log.Grid();
    QHash<QDateTime, int> rows;
    for (int r = 1; r < grid.RowCount(); ++r) {
      const QDateTime when = ReadingTime(grid, r);
      if (when.isValid() && !rows.contains(when)) rows.insert(when, r);
    }
    bool added = false, changed = false;
    QList<Reading> fresh;
    for (const Reading& reading : it.value()) {
      const int row = rows.value(reading.when, 0);
      if (row) {
        QStringList current;
        for (int c = kBpSystolic; c <= kBpPulse; ++c) current << grid.Cell(c, row).trimmed();
        if (current == reading.values) continue;
        ++tally->held;
        if (mode != ImportMode::Replace) continue;
        for (int c = kBpSystolic; c <= kBpPulse; ++c) grid.SetCell(c, row, reading.values.at(c - kBpSystolic));
        changed = true;
      } else {
        ++tally->added;
        fresh << reading;
      }
    }
    // Oldest first, so the newest ends on top as the log keeps it; then the log's rows
    // are put back in time order, newest first, the rows without a day at the end.
    std::stable_sort(fresh.begin(), fresh.end(),
                     [](const Reading& a, const Reading& b) { return a.when < b.when; });
    for (const Reading& reading : std::as_const(fresh)) {
      log.AddReading(reading.when.date(), reading.when);
      for (int c = kBpSystolic; c <= kBpPulse; ++c) grid.SetCell(c, 1, reading.values.at(c - kBpSystolic));
      added = true;
    }
    if (added) {
      QList<QPair<QDateTime, QStringList>> readings;
      QList<QStringList> undated;
      for (int r = 1; r < grid.RowCount(); ++r) {
        if (RowIsEmpty(grid, r)) continue;
        const QDateTime when = ReadingTime(grid, r);
        if (when.isValid())
          readings.append({when, grid.RowTexts(r)});
        else
          undated.append(grid.RowTexts(r));
      }
      std::stable_sort(readings.begin(), readings.end(),
                       [](const auto& a, const auto& b) { return a.first > b.first; });
      const int rowCount = grid.RowCount();
      int r = 1;
      for (const auto& reading : std::as_const(readings)) grid.SetRow(r++, reading.second);
      for (const QStringList& row : std::as_const(undated)) grid.SetRow(r++, row);
      while (r < rowCount) grid.ClearRow(r++);
    }
    if ((added || changed) && mode != ImportMode::Preview && !log.Save(error)) return false;
  }
  return true;
}
