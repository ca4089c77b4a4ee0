#include "cycle/cycleexport.h"

#include <QFileInfo>
#include <QPair>
#include <QRegularExpression>
#include <algorithm>

#include "app/config.h"
#include "app/datafolders.h"
#include "core/csvfile.h"
#include "core/textutil.h"
#include "cycle/cycleimport.h"
#include "cycle/periodhistory.h"

#include <QBuffer>

namespace {

const QRegularExpression& NoteName() {
  static const QRegularExpression re(QStringLiteral("^Y\\d{1,4}M\\d{1,2}D\\d{1,2}\\.txt$"));
  return re;
}

}  // namespace

QString GoalField(int goal) {
  switch (goal) {
    case 0: return QStringLiteral("avoid pregnancy");
    case 1: return QStringLiteral("conceive");
    case 2: return QStringLiteral("conceive a boy");
    case 3: return QStringLiteral("conceive a girl");
    default: return QStringLiteral("none");
  }
}

RecordKind CycleRecordKind(const DataFolders& dir) {
  // The settings file itself is the settings kind's (app/appfiles.h); this kind reads
  // the calendar's part of it, and owns the period history.
  RecordKind k{QStringLiteral("cycle"), QStringLiteral("Cycle")};
  const QString periods = QFileInfo(PeriodHistory::PathIn(dir.CycleFolder())).fileName();
  k.files << RecordFileRule{RecordRoot::Relative(dir, dir.CycleFolder()), ExactFileName(periods),
                            kMaxRecordFileBytes,
                            [](const QByteArray& bytes, QString* why) {
                              QByteArray copy = bytes;
                              QBuffer buffer(&copy);
                              buffer.open(QIODevice::ReadOnly);
                              PeriodHistory history;
                              return history.Load(&buffer, why);
                            }};
  k.read = [periods](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable t{QStringLiteral("cycle.csv"),
                  {QStringLiteral("record"), QStringLiteral("date"), QStringLiteral("value")}};
    const QString ini = QStringLiteral("application.ini");
    const QString folder = root.Dir().ConfigFolder();
    if (root.Exists(folder, ini)) {
      QByteArray bytes;
      if (!root.Read(folder, ini, &bytes, error)) return false;
      const Config config = Config::FromBytes(bytes);
      const CycleSettings& c = config.Cycle;
      // Settings, not days that hold records: they give the records no date range.
      t.Add({}, {QStringLiteral("last period"), CsvDate(c.LastPeriod), QString()});
      t.Add({}, {QStringLiteral("cycle length"), QString(), QString::number(c.CycleLength)});
      t.Add({}, {QStringLiteral("luteal length"), QString(), QString::number(c.LutealLength)});
      t.Add({}, {QStringLiteral("goal"), QString(), GoalField(c.Goal)});
    }
    const QString cycle = root.Dir().CycleFolder();
    if (root.Exists(cycle, periods)) {
      QByteArray bytes;
      if (!root.Read(cycle, periods, &bytes, error)) return false;
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::ReadOnly);
      PeriodHistory history;
      if (!history.Load(&buffer, error)) return false;
      for (const PeriodStart& s : history.Starts())
        t.Add(s.date, {QStringLiteral("period start"), CsvDate(s.date), PeriodSourceWord(s.source)});
      for (const CyclePause& p : history.Pauses()) {
        QString value = PauseKindWord(p.kind);
        if (!p.IsOpen()) value += QStringLiteral(" until ") + CsvDate(p.last);
        t.Add(p.first, {QStringLiteral("pause"), CsvDate(p.first), value});
      }
    }
    *tables << t;
    return true;
  };
  k.importers << qMakePair(QStringLiteral("cycle.csv"), RecordImporter(ImportCycleTable));
  return k;
}

RecordKind JournalRecordKind(const DataFolders& dir) {
  RecordKind k{QStringLiteral("journal"), QStringLiteral("Journal")};
  k.files << RecordFileRule{RecordRoot::Relative(dir, dir.NotesFolder()), NoteName(),
                            kMaxRecordFileBytes, {}};
  k.read = [](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable t{QStringLiteral("journal.csv"), {QStringLiteral("date"), QStringLiteral("text")}};
    const QString folder = root.Dir().NotesFolder();
    QList<QPair<QDate, QString>> notes;
    for (const QString& name : root.Files(folder, NoteName())) {
      const QDate date = DayKeyDate(name);
      if (!date.isValid()) continue;
      QStringList lines;
      if (!ReadRecordLines(root, folder, name, &lines, error)) return false;
      const QString text = lines.join(u'\n');
      if (!text.trimmed().isEmpty()) notes.append({date, text});
    }
    std::sort(notes.begin(), notes.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& n : std::as_const(notes)) t.Add(n.first, {CsvDate(n.first), n.second});
    *tables << t;
    return true;
  };
  k.importers << qMakePair(QStringLiteral("journal.csv"), RecordImporter(ImportJournalTable));
  return k;
}
