#include "cycle/cycleimport.h"

#include <QFileInfo>

#include "app/config.h"
#include "app/datafolders.h"
#include "core/inifile.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "cycle/cycleexport.h"
#include "cycle/journal.h"
#include "cycle/periodhistory.h"

namespace {

// "pregnancy until 2010-10-15", "breast-feeding".
bool ReadPause(const RecordTable& table, int row, const QDate& first, const QString& value,
               CyclePause* pause, QString* error) {
  const QStringList words = value.split(u' ', Qt::SkipEmptyParts);
  const bool known = !words.isEmpty() && PauseKindFromWord(words.first(), &pause->kind);
  if (!known || (words.size() != 1 && words.size() != 3) ||
      (words.size() == 3 && words.at(1).compare(QLatin1String("until"), Qt::CaseInsensitive) != 0)) {
    if (error)
      *error = QStringLiteral("%1: the pause \"%2\" is not one Mavelo keeps (pregnancy, "
                              "breast-feeding or gap, then \"until\" and its last day)")
                   .arg(table.Where(row), value);
    return false;
  }
  pause->first = first;
  pause->last = QDate();
  if (words.size() == 3) {
    if (!ImportDate(table, row, words.at(2), &pause->last, error)) return false;
    if (pause->last < first) {
      if (error)
        *error = QStringLiteral("%1: the pause ends before it begins").arg(table.Where(row));
      return false;
    }
  }
  return true;
}

bool ReadGoal(const QString& word, int* goal) {
  for (int g = -1; g <= 3; ++g)
    if (word.compare(GoalField(g), Qt::CaseInsensitive) == 0) {
      *goal = g;
      return true;
    }
  return false;
}

bool ReadWhole(const RecordTable& table, int row, const QString& what, const QString& text,
               int low, int high, int* value, QString* error) {
  bool ok = false;
  const int v = text.toInt(&ok);
  if (!ok || v < low || v > high) {
    if (error)
      *error = QStringLiteral("%1: the %2 \"%3\" is not a whole number from %4 to %5")
                   .arg(table.Where(row), what, text)
                   .arg(low)
                   .arg(high);
    return false;
  }
  *value = v;
  return true;
}

}  // namespace

bool ImportCycleTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                      ImportTally* tally, QString* error) {
  QHash<QString, int> col;
  if (!ImportColumns(table, {QStringLiteral("record"), QStringLiteral("date"), QStringLiteral("value")},
                     {}, &col, error))
    return false;
  const QString historyPath = PeriodHistory::PathIn(dir.CycleFolder());
  PeriodHistory history;
  if (!history.Load(historyPath, error)) return false;
  const QString iniPath = dir.ConfigFolder() + QStringLiteral("application.ini");
  const bool hasSettings = QFileInfo::exists(iniPath);
  // The rows given change her settings; the others stay as they are.
  CycleSettings current;
  if (hasSettings) {
    QByteArray bytes;
    if (!ReadFileBytes(iniPath, &bytes, error)) return false;
    current = Config::FromBytes(bytes).Cycle;
  }
  CycleSettings settings = current;
  bool settingsGiven = false;
  bool historyChanged = false;
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    const QString record = ImportField(row, col.value(QStringLiteral("record"))).toLower();
    const QString dateText = ImportField(row, col.value(QStringLiteral("date")));
    const QString value = ImportField(row, col.value(QStringLiteral("value")));
    QDate date;
    if (record == QLatin1String("last period")) {
      if (!ImportDate(table, r, dateText, &date, error)) return false;
      settings.LastPeriod = date;
      settingsGiven = true;
    } else if (record == QLatin1String("cycle length")) {
      if (!ReadWhole(table, r, QStringLiteral("cycle length"), value, 20, 40, &settings.CycleLength, error))
        return false;
      settingsGiven = true;
    } else if (record == QLatin1String("luteal length")) {
      if (!ReadWhole(table, r, QStringLiteral("luteal length"), value, 10, 18, &settings.LutealLength, error))
        return false;
      settingsGiven = true;
    } else if (record == QLatin1String("goal")) {
      if (!ReadGoal(value, &settings.Goal)) {
        if (error)
          *error = QStringLiteral("%1: the goal \"%2\" is not one Mavelo knows").arg(table.Where(r), value);
        return false;
      }
      settingsGiven = true;
    } else if (record == QLatin1String("period start")) {
      if (!ImportDate(table, r, dateText, &date, error)) return false;
      PeriodSource source = PeriodSource::Import;
      if (!value.isEmpty() && !PeriodSourceFromWord(value, &source)) {
        if (error)
          *error = QStringLiteral("%1: \"%2\" is not a way a start is recorded (picker, day, "
                                  "basal or import)")
                       .arg(table.Where(r), value);
        return false;
      }
      if (history.HasStart(date)) continue;  // there already
      const QDate near = history.StartNear(date, kSamePeriodDays - 1);
      if (near.isValid()) {
        ++tally->held;
        if (!Replaces(mode)) continue;
        history.RemoveStart(near);
      } else {
        ++tally->added;
      }
      history.AddStart(date, source);
      historyChanged = true;
    } else if (record == QLatin1String("pause")) {
      if (!ImportDate(table, r, dateText, &date, error)) return false;
      CyclePause pause;
      if (!ReadPause(table, r, date, value, &pause, error)) return false;
      const CyclePause* same = nullptr;
      for (const CyclePause& p : history.Pauses()) {
        const QDate end = pause.IsOpen() ? QDate(9999, 12, 31) : pause.last;
        if (p.Overlaps(pause.first, end)) same = &p;
      }
      if (same && *same == pause) continue;
      if (same) {
        ++tally->held;
        if (!Replaces(mode)) continue;
        history.RemovePause(same->first);
      } else {
        ++tally->added;
      }
      history.AddPause(pause);
      historyChanged = true;
    } else {
      if (error)
        *error = QStringLiteral("%1: \"%2\" is not a record of cycle.csv (last period, cycle "
                                "length, luteal length, goal, period start or pause)")
                     .arg(table.Where(r), record);
      return false;
    }
  }
  if (settingsGiven) {
    if (!hasSettings)
      ++tally->added;
    else if (current != settings)
      ++tally->held;
    else
      settingsGiven = false;
  }
  // Both files are checked before the first write of the import (IniFile reads only;
  // a Config would write its settings back at once).
  const bool writesSettings = settingsGiven && (!hasSettings || Replaces(mode));
  if (historyChanged && !MayWriteFile(historyPath, error)) return false;
  if (writesSettings) {
    const IniFile ini(iniPath);
    if (!ini.errorString().isEmpty() && !MayWriteFile(iniPath)) {
      if (error) *error = ini.errorString();
      return false;
    }
  }
  if (!Writes(mode)) return true;
  if (historyChanged && !history.Save(historyPath, error)) return false;
  if (writesSettings) {
    Config config(iniPath);
    if (!config.lastError().isEmpty() && !MayWriteFile(iniPath)) {
      if (error) *error = config.lastError();
      return false;
    }
    config.Cycle = settings;
    if (!config.SaveSettings()) {
      if (error) *error = config.lastError();
      return false;
    }
  }
  return true;
}

bool ImportJournalTable(const DataFolders& dir, const RecordTable& table, ImportMode mode,
                        ImportTally* tally, QString* error) {
  QHash<QString, int> col;
  if (!ImportColumns(table, {QStringLiteral("date"), QStringLiteral("text")}, {}, &col, error))
    return false;
  for (int r = 0; r < table.rows.size(); ++r) {
    const QStringList& row = table.rows.at(r);
    QDate date;
    if (!ImportDate(table, r, ImportField(row, col.value(QStringLiteral("date"))), &date, error))
      return false;
    // The text as written, but for the blank ends a note's lines do not keep.
    const int c = col.value(QStringLiteral("text"));
    QString text = c < row.size() ? row.at(c) : QString();
    while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
    if (text.trimmed().isEmpty()) continue;
    const QString path = NoteFilePath(dir.NotesFolder(), date);
    QString current;
    if (!LoadNote(path, &current, error)) return false;
    if (current == text) continue;
    if (!current.trimmed().isEmpty()) {
      ++tally->held;
      if (!Replaces(mode)) continue;
    } else {
      ++tally->added;
    }
    if (!MayWriteFile(path, error)) return false;
    if (Writes(mode) && !StoreNote(path, text, error)) return false;
  }
  return true;
}
