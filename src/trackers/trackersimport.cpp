#include "trackers/trackersimport.h"

#include <QFileInfo>
#include <QMap>
#include <algorithm>

#include "app/config.h"
#include "app/database.h"
#include "app/datafolders.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "core/units.h"
#include "trackers/exerciselog.h"
#include "trackers/healthrecords.h"
#include "trackers/healthtables.h"
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

// A whole number of a column, empty for 0.
bool ReadWhole(const RecordTable& table, int row, const QString& what, const QString& text,
               int high, int* value, QString* error) {
  static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
  *value = 0;
  if (text.isEmpty()) return true;
  if (!digits.match(text).hasMatch() || text.toInt() > high) {
    if (error)
      *error = QStringLiteral("%1: the %2 \"%3\" is not a whole number from 0 to %4")
                   .arg(table.Where(row), what, text)
                   .arg(high);
    return false;
  }
  *value = text.toInt();
  return true;
}

// The export's "Running; Yoga class": a name keeps its own spaces (one of the built-in
// activities ends in one), only the separator's space is dropped.
QStringList ReadActivities(const QString& field) {
  QStringList names;
  const QStringList parts = field.split(u';');
  for (int i = 0; i < parts.size(); ++i) {
    QString name = parts.at(i);
    if (i > 0 && name.startsWith(u' ')) name.remove(0, 1);
    if (!name.trimmed().isEmpty()) names << name;
  }
  return names;
}

bool NearlyEqual(double a, double b) { return qAbs(a - b) <= 1e-9 * qMax(1.0, qAbs(a)); }

// Whether a day keeps the imported workout already (its distances in either system).
bool SameWorkout(const WorkoutDay& kept, const WorkoutDay& imported) {
  if (!kept.unreadable.isEmpty()) return false;
  const WorkoutDay w = InUnits(imported, kept.units);
  return kept.hours == w.hours && kept.minutes == w.minutes && kept.intensity == w.intensity &&
         kept.calories == w.calories && kept.activities == w.activities &&
         kept.workout == w.workout.trimmed() && NearlyEqual(kept.run, w.run) &&
         NearlyEqual(kept.bike, w.bike) && NearlyEqual(kept.swim, w.swim) &&
         NearlyEqual(kept.climb, w.climb);
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
    bool changed = false;
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
        if (!Replaces(mode)) continue;
      } else {
        ++tally->added;
      }
      model.SetWeight(row, *d.weight);
      changed = true;
    }
    model.SetDate(QDate(it.key(), 1, 1));
    // Each file is checked before the first write of the import, not at its own.
    if (changed && !MayWriteFile(model.YearPath(), error)) return false;
    if (changed && Writes(mode) && !model.SaveDay(std::nullopt, std::nullopt, error)) return false;
    for (auto g = goals.cbegin(); g != goals.cend(); ++g) {
      model.SetDate(QDate(it.key(), g.key(), 1));
      if (!model.OpenGoal(error)) return false;
      const StoredNumber stored = model.GoalReading();
      if (stored.state != StoredNumber::State::Empty) {
        if (stored.IsNumber() && qAbs(stored.value - g.value()) < 1e-9) continue;
        ++tally->held;
        if (!Replaces(mode)) continue;
      } else {
        ++tally->added;
      }
      if (!MayWriteFile(WeightGoalPath(dir.WeightFolder(), it.key(), g.key()), error)) return false;
      if (Writes(mode) && !model.SaveDay(std::nullopt, g.value(), error)) return false;
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
        if (!Replaces(mode)) continue;
      } else {
        ++tally->added;
      }
    } else {
      ++tally->added;
    }
    if (!MayWriteFile(path, error)) return false;
    if (Writes(mode) && !WriteTextLines(path, lines, error)) return false;
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
        if (!Replaces(mode)) continue;
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
    // Checked before the first write of the import, not at this year's.
    if ((added || changed) && log.ReadFailed()) {
      if (error) *error = log.ReadFailedMessage();
      return false;
    }
    if ((added || changed) && !MayWriteFile(log.Path(), error)) return false;
    if ((added || changed) && Writes(mode) && !log.Save(error)) return false;
  }
  return true;
}

bool ImportExerciseTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                         ImportTally* tally, QString* error) {
  struct Whole {
    const char* name;
    int high;
    int WorkoutDay::*field;
  };
  static const Whole wholes[] = {{"hours", kMaxExerciseHours, &WorkoutDay::hours},
                                 {"minutes", kMaxExerciseMinutes, &WorkoutDay::minutes},
                                 {"intensity", kMaxIntensity, &WorkoutDay::intensity},
                                 {"calories", kMaxWorkoutCalories, &WorkoutDay::calories}};
  struct Distance {
    const char* name;
    double WorkoutDay::*field;
  };
  static const Distance distances[] = {{"run", &WorkoutDay::run},
                                       {"bike", &WorkoutDay::bike},
                                       {"swim", &WorkoutDay::swim},
                                       {"climb", &WorkoutDay::climb}};
  QStringList optional{QStringLiteral("activities"), QStringLiteral("workout"),
                       QStringLiteral("unit"), QStringLiteral("note")};
  for (const Whole& w : wholes) optional << QString::fromLatin1(w.name);
  for (const Distance& d : distances) optional << QString::fromLatin1(d.name);
  QHash<QString, int> col;
  if (!ImportColumns(table, {QStringLiteral("date")}, optional, &col, error)) return false;
  if (std::all_of(optional.cbegin(), optional.cend(), [&](const QString& c) { return col.value(c) < 0; })) {
    if (error)
      *error = QStringLiteral("%1: it has no column of a workout (hours, minutes, calories, ...) "
                              "or \"note\"").arg(table.fileName);
    return false;
  }
  bool ok = true;
  const Config config = SettingsOf(dir, error, &ok);
  if (!ok) return false;
  const UnitSystem unmarked = config.UnmarkedUnits();

  struct Day {
    QDate date;
    std::optional<WorkoutDay> workout;
    QString note;
  };
  QMap<int, QList<Day>> years;
  QHash<QDate, int> seen;  // the row of each day
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    Day d;
    if (!ImportDate(table, r, ImportField(row, col.value(QStringLiteral("date"))), &d.date, error))
      return false;
    WorkoutDay w;
    for (const Whole& whole : wholes) {
      const QString name = QString::fromLatin1(whole.name);
      if (!ReadWhole(table, r, name, ImportField(row, col.value(name)), whole.high, &(w.*whole.field), error))
        return false;
    }
    const QString unit = ImportField(row, col.value(QStringLiteral("unit")));
    if (unit.isEmpty()) {
      w.units = config.Units();
    } else if (unit.compare(QLatin1String("mi"), Qt::CaseInsensitive) == 0) {
      w.units = UnitSystem::Imperial;
    } else if (unit.compare(QLatin1String("km"), Qt::CaseInsensitive) == 0) {
      w.units = UnitSystem::Metric;
    } else {
      if (error)
        *error = QStringLiteral("%1: the unit \"%2\" is neither \"mi\" (miles and feet) nor "
                                "\"km\" (kilometres and metres)").arg(table.Where(r), unit);
      return false;
    }
    for (const Distance& distance : distances) {
      const QString name = QString::fromLatin1(distance.name);
      const QString text = ImportField(row, col.value(name));
      if (text.isEmpty()) continue;
      double v = 0;
      if (!ImportNumber(table, r, name, text, &v, error)) return false;
      if (v < 0) {
        if (error) *error = QStringLiteral("%1: the %2 %3 is less than nothing").arg(table.Where(r), name, text);
        return false;
      }
      w.*distance.field = v;
    }
    const int activities = col.value(QStringLiteral("activities"));
    w.activities = ReadActivities(activities >= 0 && activities < row.size() ? row.at(activities) : QString());
    w.workout = ImportField(row, col.value(QStringLiteral("workout")));
    if (!IsEmptyWorkout(w)) d.workout = w;
    d.note = ImportNoteField(row, col.value(QStringLiteral("note")));
    if (!d.workout && d.note.isEmpty()) continue;
    if (!ImportOneRowADay(table, r, ImportField(row, col.value(QStringLiteral("date"))), d.date,
                          &seen, error))
      return false;
    years[d.date.year()] << d;
  }

  for (auto it = years.cbegin(); it != years.cend(); ++it) {
    ExerciseLog log(dir.ExerciseFolder());
    log.SetUnmarkedUnits(unmarked);
    if (!log.OpenYear(it.key(), error)) return false;
    bool changed = false;
    for (const Day& d : it.value()) {
      if (!d.workout) continue;
      const int row = YearGridRow(d.date);
      const WorkoutDay kept = log.Day(row);
      if (!IsEmptyWorkout(kept)) {
        if (SameWorkout(kept, *d.workout)) continue;
        ++tally->held;
        if (!Replaces(mode)) continue;
      } else {
        ++tally->added;
      }
      log.SetDay(row, *d.workout);
      changed = true;
    }
    if (changed) {
      // Asked before anything is written, so that a preview names the file it cannot write.
      if (log.YearReadFailed()) {
        if (error) *error = log.ReadFailedMessage();
        return false;
      }
      if (Writes(mode) && !log.Save(error)) return false;
    }
    for (const Day& d : it.value())
      if (!d.note.isEmpty() &&
          !ImportNote(ExerciseNotePath(dir.ExerciseFolder(), d.date), d.note, mode, tally, error))
        return false;
  }
  return true;
}

namespace {

// How a record of health.csv is kept: in a table of the database (with the columns of
// the row's date, name and details, -1 for none), or in a file of the Health folder.
struct HealthShape {
  const char* record;
  const HealthTable* table;
  int date, name, details;
};

const QList<HealthShape>& HealthShapes() {
  static const QList<HealthShape> shapes{{"appointment", &AppointmentsTable(), 0, 1, 2},
                                         {"immunisation", &ImmunizationTable(), 1, 0, -1},
                                         {"prescription", &PrescriptionTable(), 0, 1, 2},
                                         {"blood type", nullptr, -1, 0, -1},
                                         {"allergies", nullptr, -1, -1, 0},
                                         {"contact", nullptr, -1, 0, 1}};
  return shapes;
}

const HealthShape* FindHealthShape(const QString& record) {
  // Both spellings: the program writes its own, a hand-made file may use the other.
  const QString r = record == QLatin1String("immunization") ? QStringLiteral("immunisation") : record;
  for (const HealthShape& s : HealthShapes())
    if (r == QLatin1String(s.record)) return &s;
  return nullptr;
}

struct HealthTableRow {
  const HealthTable* table;
  QStringList values;  // the table's columns
};

// How each imported record stands to hers: the index of the one of hers it is (same) or
// is another version of, or -1 for a new one. Each of hers answers one imported record,
// the same ones first, so records she entered twice come back twice.
struct RecordMatch {
  int kept = -1;
  bool same = false;
};
template <typename Imported, typename Kept, typename Same, typename Version>
QList<RecordMatch> MatchRecords(const QList<Imported>& imported, const QList<Kept>& kept,
                                Same same, Version version) {
  QList<RecordMatch> out(imported.size());
  QVector<bool> used(kept.size(), false);
  for (int i = 0; i < imported.size(); ++i)
    for (int k = 0; k < kept.size(); ++k)
      if (!used[k] && same(imported.at(i), kept.at(k))) {
        used[k] = true;
        out[i] = {k, true};
        break;
      }
  for (int i = 0; i < imported.size(); ++i) {
    if (out.at(i).same) continue;
    for (int k = 0; k < kept.size(); ++k)
      if (!used[k] && version(imported.at(i), kept.at(k))) {
        used[k] = true;
        out[i].kept = k;
        break;
      }
  }
  return out;
}

// Each imported row against the table's rows: the same texts are that row, the same date
// and name another version of it.
void MatchHealthRows(const QList<HealthTableRow>& imported, const HealthShape& shape,
                     const QList<QStringList>& kept, const QList<qint64>& ids, ImportMode mode,
                     ImportTally* tally, QList<HealthRowWrite>* writes) {
  auto key = [&](const QStringList& v) {
    return QStringList{v.value(shape.date), v.value(shape.name)};
  };
  const QList<RecordMatch> matches = MatchRecords(
      imported, kept, [](const HealthTableRow& i, const QStringList& k) { return k == i.values; },
      [&](const HealthTableRow& i, const QStringList& k) { return key(k) == key(i.values); });
  for (int i = 0; i < imported.size(); ++i) {
    const RecordMatch& m = matches.at(i);
    if (m.same) continue;
    if (m.kept >= 0) {
      ++tally->held;
      if (Replaces(mode)) writes->append({shape.table, ids.at(m.kept), imported.at(i).values});
    } else {
      ++tally->added;
      writes->append({shape.table, 0, imported.at(i).values});
    }
  }
}

}  // namespace

bool ImportHealthTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                       ImportTally* tally, QString* error) {
  QHash<QString, int> col;
  if (!ImportColumns(table, {QStringLiteral("record")},
                     {QStringLiteral("date"), QStringLiteral("name"), QStringLiteral("details")},
                     &col, error))
    return false;
  QList<HealthTableRow> tableRows;
  std::optional<int> bloodType;
  std::optional<QString> allergies;
  QList<Contact> contacts;
  int bloodRow = -1, allergiesRow = -1;
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    const QString record = ImportField(row, col.value(QStringLiteral("record"))).toLower();
    const HealthShape* shape = FindHealthShape(record);
    if (!shape) {
      if (error)
        *error = QStringLiteral("%1: \"%2\" is not a record of health.csv (appointment, "
                                "immunisation, prescription, blood type, allergies or contact)")
                     .arg(table.Where(r), record);
      return false;
    }
    const bool memo = QLatin1String(shape->record) == QLatin1String("allergies");
    const QString fields[] = {ImportField(row, col.value(QStringLiteral("date"))),
                              ImportField(row, col.value(QStringLiteral("name"))),
                              memo ? ImportNoteField(row, col.value(QStringLiteral("details")))
                                   : ImportField(row, col.value(QStringLiteral("details")))};
    const int places[] = {shape->date, shape->name, shape->details};
    static const char* const names[] = {"date", "name", "details"};
    bool any = false;
    for (int f = 0; f < 3; ++f) {
      if (places[f] < 0 && !fields[f].isEmpty()) {
        if (error)
          *error = QStringLiteral("%1: Mavelo keeps no %2 with the %3 (\"%4\")")
                       .arg(table.Where(r), QString::fromLatin1(names[f]), record, fields[f]);
        return false;
      }
      any = any || !fields[f].isEmpty();
    }
    if (!any) continue;
    if (shape->table) {
      QStringList values;
      for (int c = 0; c < shape->table->columns.size(); ++c)
        values << (c == shape->date ? fields[0] : c == shape->name ? fields[1] : fields[2]);
      tableRows.append({shape->table, values});
      continue;
    }
    auto twice = [&](int first) {
      if (error)
        *error = QStringLiteral("%1: a second %2 row (the first is on line %3)")
                     .arg(table.Where(r), record)
                     .arg(table.lines.value(first));
      return false;
    };
    if (record == QLatin1String("blood type")) {
      if (bloodType) return twice(bloodRow);
      int position = -1;
      for (int b = 0; b < BloodTypeNames().size(); ++b)
        if (BloodTypeNames().at(b).trimmed().compare(fields[1], Qt::CaseInsensitive) == 0) position = b;
      if (position < 0) {
        QStringList known;
        for (int b = 1; b < BloodTypeNames().size(); ++b) known << BloodTypeNames().at(b).trimmed();
        if (error)
          *error = QStringLiteral("%1: the blood type \"%2\" is not one Mavelo knows (%3)")
                       .arg(table.Where(r), fields[1], known.join(QStringLiteral(", ")));
        return false;
      }
      bloodType = position;
      bloodRow = r;
    } else if (memo) {
      if (allergies) return twice(allergiesRow);
      allergies = fields[2];
      allergiesRow = r;
    } else {
      contacts.append({fields[1], fields[2]});
    }
  }

  // The tables of the database, all in one transaction.
  const QString dbPath = dir.DBFolder() + DatabaseFileName();
  QList<HealthRowWrite> writes;
  for (const HealthShape& shape : HealthShapes()) {
    if (!shape.table) continue;
    QList<HealthTableRow> imported;
    for (const HealthTableRow& row : std::as_const(tableRows))
      if (row.table == shape.table) imported << row;
    if (imported.isEmpty()) continue;
    QList<QStringList> kept;
    QList<qint64> ids;
    if (!ReadHealthTableRows(dbPath, *shape.table, &kept, error, &ids)) return false;
    MatchHealthRows(imported, shape, kept, ids, mode, tally, &writes);
  }
  if (!writes.isEmpty() && !QFileInfo(dbPath).isFile()) {
    if (error)
      *error = CannotOpenMessage(dbPath, QStringLiteral("There is no such file, and the "
                                                        "appointments, immunisations and "
                                                        "prescriptions are kept in it"));
    return false;
  }
  if (!WriteHealthTableRows(dbPath, writes, error, !Writes(mode))) return false;

  // The files of the Health folder.
  if (!bloodType && !allergies && contacts.isEmpty()) return true;
  HealthRecords health(dir.HealthFolder());
  {
    QString e;
    if (!health.Load(&e)) {
      if (error) *error = e;
      return false;
    }
  }
  QStringList changedFiles;
  auto count = [&](bool holds) {
    ++(holds ? tally->held : tally->added);
    return !holds || Replaces(mode);
  };
  if (bloodType && *bloodType != 0 && *bloodType != health.BloodType() &&
      count(health.BloodType() != 0)) {
    health.SetBloodType(*bloodType);
    changedFiles << health.InfoPath();
  }
  if (allergies && *allergies != health.Allergies() && count(!health.Allergies().trimmed().isEmpty())) {
    health.SetAllergies(*allergies);
    changedFiles << health.AllergiesPath();
  }
  QList<Contact> list = health.Contacts();
  while (!list.isEmpty() && list.last().name.trimmed().isEmpty() && list.last().value.trimmed().isEmpty())
    list.removeLast();
  // The same name and number are that contact, the same name another version of it.
  const QList<RecordMatch> matches = MatchRecords(
      contacts, list,
      [](const Contact& i, const Contact& k) {
        return Contact{k.name.trimmed(), k.value.trimmed()} == i;
      },
      [](const Contact& i, const Contact& k) { return !i.name.isEmpty() && k.name.trimmed() == i.name; });
  bool contactsChanged = false;
  for (int i = 0; i < contacts.size(); ++i) {
    const RecordMatch& m = matches.at(i);
    if (m.same) continue;
    if (m.kept >= 0) {
      if (!count(true)) continue;
      list[m.kept].value = contacts.at(i).value;
    } else {
      count(false);
      list.append(contacts.at(i));
    }
    contactsChanged = true;
  }
  if (contactsChanged) {
    health.SetContacts(list);
    changedFiles << health.ContactsPath();
  }
  for (const QString& path : std::as_const(changedFiles))
    if (!MayWriteFile(path, error)) return false;
  if (Writes(mode) && !changedFiles.isEmpty() && !health.Save(error)) return false;
  return true;
}
