#include "trackers/trackersexport.h"

#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <algorithm>

#include "app/appfiles.h"
#include "app/config.h"
#include "app/database.h"
#include "app/datafolders.h"
#include "core/csvfile.h"
#include "core/gridfile.h"
#include "core/inifile.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "trackers/exerciselog.h"
#include "trackers/healthrecords.h"
#include "trackers/healthtables.h"
#include "trackers/pressurereadings.h"
#include "trackers/todolist.h"
#include "trackers/trackersimport.h"
#include "trackers/weightmodel.h"

namespace {

const QRegularExpression& WeightYearName() {
  static const QRegularExpression re(QStringLiteral("^(\\d{4})\\.txt$"));
  return re;
}
const QRegularExpression& WeightGoalName() {
  static const QRegularExpression re(QStringLiteral("^Y(\\d{4})M(\\d{1,2})\\.ini$"));
  return re;
}
const QRegularExpression& PressureName() {
  static const QRegularExpression re(QStringLiteral("^Y(\\d{4})-pressure\\.txt$"));
  return re;
}
const QRegularExpression& DayNoteName() {
  static const QRegularExpression re(QStringLiteral("^Y\\d{1,4}M\\d{1,2}D\\d{1,2}\\.txt$"));
  return re;
}

// The settings of the root, for the units; defaults when there is no file.
bool ReadSettings(const RecordRoot& root, Config* config, QString* error) {
  const QString ini = QStringLiteral("application.ini");
  QByteArray bytes;
  if (root.Exists(root.Dir().ConfigFolder(), ini) &&
      !root.Read(root.Dir().ConfigFolder(), ini, &bytes, error))
    return false;
  *config = Config::FromBytes(bytes);
  return true;
}

QString Yes(bool b) { return b ? QStringLiteral("yes") : QString(); }

// A date as the views write it ("Mar 14, 2009" in the user's language, or as typed).
QDate ReadShownDate(const QString& text) {
  const QString t = text.trimmed();
  for (const QLocale& l : {AppLocale(), QLocale::c()}) {
    for (const QString& f : {QStringLiteral("MMM d, yyyy"), QStringLiteral("MMMM d, yyyy")}) {
      const QDate d = l.toDate(t, f);
      if (d.isValid()) return d;
    }
  }
  QDate d = ParseShortDate(t);
  if (!d.isValid()) d = QDate::fromString(t, Qt::ISODate);
  return d;
}

QString ReadShownTime(const QString& text) {
  const QString t = text.trimmed();
  for (const QLocale& l : {AppLocale(), QLocale::c()}) {
    for (const QString& f : {QStringLiteral("h:mm AP"), QStringLiteral("h:mm ap"), QStringLiteral("H:mm")}) {
      const QTime time = l.toTime(t, f);
      if (time.isValid()) return time.toString(QStringLiteral("HH:mm"));
    }
  }
  return t;
}

}  // namespace

RecordKind WeightRecordKind(const DataFolders& dir) {
  const QString folder = RecordRoot::Relative(dir, dir.WeightFolder());
  RecordKind k{QStringLiteral("weight"), QStringLiteral("Weight")};
  k.files << RecordFileRule{folder, WeightYearName(), kMaxRecordFileBytes, {}}
          << RecordFileRule{folder, WeightGoalName(), kMaxRecordFileBytes, ReadsAsIniFile};
  k.read = [](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable t{QStringLiteral("weight.csv"),
                  {QStringLiteral("date"), QStringLiteral("weight"), QStringLiteral("unit"),
                   QStringLiteral("goal")}};
    Config config = Config::FromBytes({});
    if (!ReadSettings(root, &config, error)) return false;
    const QString unit = config.WeightUnitLabel();
    const QString folder = root.Dir().WeightFolder();
    // The goals of the months that have a goal file.
    QHash<int, QString> goals;
    for (const QString& name : root.Files(folder, WeightGoalName())) {
      const QRegularExpressionMatch m = WeightGoalName().match(name);
      const int year = m.captured(1).toInt(), month = m.captured(2).toInt();
      if (month < 1 || month > 12) continue;
      QByteArray bytes;
      if (!root.Read(folder, name, &bytes, error)) return false;
      IniFile ini;
      ini.LoadBytes(bytes);
      if (!ini.ValueExists(WeightGoalSection(month), QStringLiteral("Goal"))) continue;
      goals.insert(year * 100 + month,
                   CsvNumber(ini.ReadFloat(WeightGoalSection(month), QStringLiteral("Goal"),
                                           kDefaultWeightGoal)));
    }
    for (const QString& name : root.Files(folder, WeightYearName())) {
      const int year = WeightYearName().match(name).captured(1).toInt();
      if (year < 1) continue;
      CellGrid grid;
      if (!ReadRecordGrid(root, folder, name, &grid, error)) return false;
      for (const DatedWeight& w : WeightHistoryPoints(grid, year)) {
        if (w.date.year() != year) continue;
        t.Add(w.date, {CsvDate(w.date), CsvNumber(w.weight), unit,
                       goals.value(year * 100 + w.date.month())});
      }
    }
    *tables << t;
    return true;
  };
  k.importers << qMakePair(QStringLiteral("weight.csv"), RecordImporter(ImportWeightTable));
  return k;
}

RecordKind ToDoRecordKind(const DataFolders& dir) {
  RecordKind k{QStringLiteral("todo"), QStringLiteral("To-do lists")};
  const QRegularExpression lists = PlainFileName({QStringLiteral("txt")});
  k.files << RecordFileRule{RecordRoot::Relative(dir, dir.ToDoFolder()), lists,
                            kMaxRecordFileBytes, {}};
  k.read = [lists](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable t{QStringLiteral("todo.csv"),
                  {QStringLiteral("list"), QStringLiteral("date"), QStringLiteral("done"),
                   QStringLiteral("text")}};
    const QString folder = root.Dir().ToDoFolder();
    struct List {
      QString name;
      QDate date;
      QString file;
    };
    QList<List> found;
    for (const QString& file : root.Files(folder, lists)) {
      const QString base = file.chopped(4);  // ".txt"
      qsizetype keyLength = 0;
      if (base.startsWith(QLatin1String("Today"))) {
        const QDate date = DayKeyDate(QStringView(base).mid(5), &keyLength);
        if (date.isValid() && keyLength == base.size() - 5) {
          found.append({QStringLiteral("Today"), date, file});
          continue;
        }
      }
      found.append({base, QDate(), file});
    }
    // The lists of days by date, then the categories by name.
    std::stable_sort(found.begin(), found.end(), [](const List& a, const List& b) {
      if (a.date.isValid() != b.date.isValid()) return a.date.isValid();
      if (a.date != b.date) return a.date < b.date;
      return a.name < b.name;
    });
    for (const List& list : std::as_const(found)) {
      QStringList lines;
      if (!ReadRecordLines(root, folder, list.file, &lines, error)) return false;
      for (const QString& line : std::as_const(lines)) {
        const ToDoItem item = ParseToDoLine(line);
        const QString text = item.line.isEmpty() ? item.text : item.line;
        if (text.trimmed().isEmpty()) continue;
        t.Add(list.date, {list.name, CsvDate(list.date), Yes(item.line.isEmpty() && item.Checked()),
                          text});
      }
    }
    *tables << t;
    return true;
  };
  k.importers << qMakePair(QStringLiteral("todo.csv"), RecordImporter(ImportToDoTable));
  return k;
}

RecordKind PressureRecordKind(const DataFolders& dir) {
  RecordKind k{QStringLiteral("bloodpressure"), QStringLiteral("Blood pressure")};
  k.files << RecordFileRule{RecordRoot::Relative(dir, dir.HeartFolder()), PressureName(),
                            kMaxRecordFileBytes, {}};
  k.read = [](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable t{QStringLiteral("bloodpressure.csv"),
                  {QStringLiteral("date"), QStringLiteral("time"), QStringLiteral("systolic"),
                   QStringLiteral("diastolic"), QStringLiteral("pulse")}};
    const QString folder = root.Dir().HeartFolder();
    for (const QString& name : root.Files(folder, PressureName())) {
      CellGrid grid;
      if (!ReadRecordGrid(root, folder, name, &grid, error)) return false;
      // The log keeps the newest reading on top; the CSV runs oldest first.
      for (int r = grid.RowCount() - 1; r >= 1; --r) {
        QStringList cells;
        bool any = false;
        for (int c = 0; c < kPressureColumns; ++c) {
          cells << grid.Cell(c, r).trimmed();
          any = any || !cells.last().isEmpty();
        }
        if (!any) continue;
        const QDate date = ReadShownDate(cells.at(kBpDate));
        t.Add(date, {date.isValid() ? CsvDate(date) : cells.at(kBpDate),
                     ReadShownTime(cells.at(kBpTime)), NumberField(cells.at(kBpSystolic)),
                     NumberField(cells.at(kBpDiastolic)), NumberField(cells.at(kBpPulse))});
      }
    }
    *tables << t;
    return true;
  };
  k.importers << qMakePair(QStringLiteral("bloodpressure.csv"), RecordImporter(ImportPressureTable));
  return k;
}

RecordKind ExerciseRecordKind(const DataFolders& dir) {
  const QString folder = RecordRoot::Relative(dir, dir.ExerciseFolder());
  RecordKind k{QStringLiteral("exercise"), QStringLiteral("Exercise")};
  k.files << RecordFileRule{folder, WeightYearName(), kMaxRecordFileBytes, {}}
          << RecordFileRule{folder, DayNoteName(), kMaxRecordFileBytes, {}}
          << RecordFileRule{RecordRoot::Relative(dir, dir.ConfigFolder()),
                            ExactFileName(QStringLiteral("activity.txt")), kMaxRecordFileBytes,
                            {}};
  k.read = [](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable t{QStringLiteral("exercise.csv"),
                  {QStringLiteral("date"), QStringLiteral("hours"), QStringLiteral("minutes"),
                   QStringLiteral("intensity"), QStringLiteral("activities"),
                   QStringLiteral("calories"), QStringLiteral("workout"), QStringLiteral("run"),
                   QStringLiteral("bike"), QStringLiteral("swim"), QStringLiteral("climb"),
                   QStringLiteral("unit"), QStringLiteral("note")}};
    Config config = Config::FromBytes({});
    if (!ReadSettings(root, &config, error)) return false;
    const UnitSystem unmarked = config.UnmarkedUnits();
    const QString folder = root.Dir().ExerciseFolder();
    QMap<QDate, QString> notes;
    for (const QString& name : root.Files(folder, DayNoteName())) {
      const QDate date = DayKeyDate(name);
      if (!date.isValid()) continue;
      QStringList lines;
      if (!ReadRecordLines(root, folder, name, &lines, error)) return false;
      const QString text = lines.join(u'\n');
      if (!text.trimmed().isEmpty()) notes.insert(date, text);
    }
    QMap<QDate, WorkoutDay> days;
    for (const QString& name : root.Files(folder, WeightYearName())) {
      const int year = WeightYearName().match(name).captured(1).toInt();
      if (year < 1) continue;
      CellGrid grid;
      if (!ReadRecordGrid(root, folder, name, &grid, error)) return false;
      const QDate first(year, 1, 1);
      for (int r = 1; r <= first.daysInYear() && r < grid.RowCount(); ++r) {
        const WorkoutDay day = ReadWorkoutDay(grid, r, unmarked);
        if (IsEmptyWorkout(day)) continue;
        days.insert(first.addDays(r - 1), day);
      }
    }
    QList<QDate> dates = days.keys();
    for (const QDate& d : notes.keys())
      if (!days.contains(d)) dates << d;
    std::sort(dates.begin(), dates.end());
    for (const QDate& d : std::as_const(dates)) {
      const WorkoutDay day = days.value(d);
      t.Add(d, {CsvDate(d), QString::number(day.hours), QString::number(day.minutes),
                QString::number(day.intensity), day.activities.join(QStringLiteral("; ")),
                QString::number(day.calories), day.workout, CsvNumber(day.run),
                CsvNumber(day.bike), CsvNumber(day.swim), CsvNumber(day.climb),
                days.contains(d) ? DistanceUnitMark(day.units) : QString(), notes.value(d)});
    }
    *tables << t;
    return true;
  };
  k.importers << qMakePair(QStringLiteral("exercise.csv"), RecordImporter(ImportExerciseTable));
  return k;
}

RecordKind HealthRecordKind(const DataFolders& dir) {
  const QString folder = RecordRoot::Relative(dir, dir.HealthFolder());
  RecordKind k{QStringLiteral("health"), QStringLiteral("Health")};
  k.files << RecordFileRule{folder, ExactFileName(QStringLiteral("info.ini")), kMaxRecordFileBytes,
                            ReadsAsIniFile}
          << RecordFileRule{folder, ExactFileName(QStringLiteral("Alergies.txt")),
                            kMaxRecordFileBytes, {}}
          << RecordFileRule{folder, ExactFileName(QStringLiteral("contacts.txt")),
                            kMaxRecordFileBytes, {}};
  k.read = [](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable t{QStringLiteral("health.csv"),
                  {QStringLiteral("record"), QStringLiteral("date"), QStringLiteral("name"),
                   QStringLiteral("details")}};
    // The tables of the database, read through a connection that cannot write.
    const QString dbPath = root.Folder(root.Dir().DBFolder()) + DatabaseFileName();
    if (QFileInfo(dbPath).isFile() && QFileInfo(dbPath).size() > 0) {
      struct Shape {
        const HealthTable& table;
        const char* record;
        int date, name, details;  // columns; -1 for none
      };
      const Shape shapes[] = {{AppointmentsTable(), "appointment", 0, 1, 2},
                              {ImmunizationTable(), "immunisation", 1, 0, -1},
                              {PrescriptionTable(), "prescription", 0, 1, 2}};
      for (const Shape& s : shapes) {
        QList<QStringList> rows;
        if (!ReadHealthTableRows(dbPath, s.table, &rows, error)) return false;
        for (const QStringList& row : std::as_const(rows)) {
          auto at = [&](int c) { return c < 0 ? QString() : row.value(c); };
          const QString date = at(s.date);
          t.Add(ReadShownDate(date), {QString::fromLatin1(s.record), date, at(s.name), at(s.details)});
        }
      }
    }

    const QString health = root.Dir().HealthFolder();
    if (root.Exists(health, QStringLiteral("info.ini"))) {
      QByteArray bytes;
      if (!root.Read(health, QStringLiteral("info.ini"), &bytes, error)) return false;
      IniFile ini;
      ini.LoadBytes(bytes);
      const int blood = ini.ReadInteger(QStringLiteral("Settings"), QStringLiteral("BloodType"), 0);
      if (blood > 0 && blood < BloodTypeNames().size())
        t.Add({}, {QStringLiteral("blood type"), QString(), BloodTypeNames().at(blood).trimmed(),
                   QString()});
    }
    if (root.Exists(health, QStringLiteral("Alergies.txt"))) {
      QStringList lines;
      if (!ReadRecordLines(root, health, QStringLiteral("Alergies.txt"), &lines, error)) return false;
      const QString text = lines.join(u'\n');
      if (!text.trimmed().isEmpty())
        t.Add({}, {QStringLiteral("allergies"), QString(), QString(), text});
    }
    if (root.Exists(health, QStringLiteral("contacts.txt"))) {
      QStringList lines;
      if (!ReadRecordLines(root, health, QStringLiteral("contacts.txt"), &lines, error)) return false;
      for (const QString& line : std::as_const(lines)) {
        const Contact c = ParseContactLine(line);
        if (c.name.trimmed().isEmpty() && c.value.trimmed().isEmpty()) continue;
        t.Add({}, {QStringLiteral("contact"), QString(), c.name.trimmed(), c.value.trimmed()});
      }
    }
    *tables << t;
    return true;
  };
  k.importers << qMakePair(QStringLiteral("health.csv"), RecordImporter(ImportHealthTable));
  return k;
}
