#include "sleep/sleepexport.h"

#include <algorithm>

#include <QMap>
#include <QRegularExpression>
#include <QTime>

#include "app/datafolders.h"
#include "core/csvfile.h"
#include "core/gridfile.h"
#include "core/textutil.h"
#include "sleep/listviewfile.h"
#include "sleep/sleepimport.h"
#include "sleep/sleeplog.h"

namespace {

const QRegularExpression& YearName() {
  static const QRegularExpression re(QStringLiteral("^(\\d{4})-Sleep\\.txt$"));
  return re;
}
const QRegularExpression& NoteName() {
  static const QRegularExpression re(QStringLiteral("^Y\\d{1,4}M\\d{1,2}D\\d{1,2}-note\\.txt$"));
  return re;
}

bool ReadsAsList(const QByteArray& bytes, QString*) {
  ListViewFile list;
  list.ReadBytes(bytes);
  return true;
}

RecordKind LogKind(const DataFolders& dir, const QString& folderOfDir, const QString& id,
                   const QString& title, const QString& csv) {
  const QString folder = RecordRoot::Relative(dir, folderOfDir);
  RecordKind k{id, title};
  k.files << RecordFileRule{folder, YearName(), kMaxRecordFileBytes, {}}
          << RecordFileRule{folder, NoteName(), kMaxRecordFileBytes, {}}
          << RecordFileRule{folder, ExactFileName(QStringLiteral("bedtimes.txt")),
                            kMaxRecordFileBytes, ReadsAsList}
          << RecordFileRule{folder, ExactFileName(QStringLiteral("wakeuptimes.txt")),
                            kMaxRecordFileBytes, ReadsAsList};
  const bool baby = folderOfDir == dir.BabyFolder();
  k.read = [csv, baby](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable t{csv,
                  {QStringLiteral("date"), QStringLiteral("hours"), QStringLiteral("bed"),
                   QStringLiteral("wake"), QStringLiteral("note")}};
    const QString folder = baby ? root.Dir().BabyFolder() : root.Dir().SleepFolder();
    QMap<QDate, QString> notes;
    for (const QString& name : root.Files(folder, NoteName())) {
      const QDate date = DayKeyDate(name);
      if (!date.isValid()) continue;
      QStringList lines;
      if (!ReadRecordLines(root, folder, name, &lines, error)) return false;
      const QString text = lines.join(u'\n');
      if (!text.trimmed().isEmpty()) notes.insert(date, text);
    }
    QMap<QDate, SleepNight> nights;
    for (const QString& name : root.Files(folder, YearName())) {
      const int year = YearName().match(name).captured(1).toInt();
      if (year < 1) continue;
      CellGrid grid;
      if (!ReadRecordGrid(root, folder, name, &grid, error)) return false;
      const QDate jan1(year, 1, 1);
      for (int r = 1; r <= jan1.daysInYear() && r < grid.RowCount(); ++r) {
        const SleepNight n = SleepNightOf(grid, r);
        if (n.asleep) nights.insert(jan1.addDays(r - 1), n);
      }
    }
    QList<QDate> dates = nights.keys();
    for (const QDate& d : notes.keys())
      if (!nights.contains(d)) dates << d;
    std::sort(dates.begin(), dates.end());
    for (const QDate& d : std::as_const(dates)) {
      const SleepNight n = nights.value(d);
      t.Add(d, {CsvDate(d), n.asleep ? CsvNumber(0.5 * n.asleep) : QString(),
                n.first ? SleepSlotStart(n.first).toString(QStringLiteral("HH:mm")) : QString(),
                n.last ? SleepSlotStart(n.last + 1).toString(QStringLiteral("HH:mm")) : QString(),
                notes.value(d)});
    }
    *tables << t;
    return true;
  };
  k.importers << qMakePair(csv, RecordImporter(baby ? ImportKidsTable : ImportSleepTable));
  return k;
}

}  // namespace

RecordKind SleepRecordKind(const DataFolders& dir) {
  return LogKind(dir, dir.SleepFolder(), QStringLiteral("sleep"), QStringLiteral("Sleep"),
                 QStringLiteral("sleep.csv"));
}

RecordKind KidsRecordKind(const DataFolders& dir) {
  return LogKind(dir, dir.BabyFolder(), QStringLiteral("kids"), QStringLiteral("Baby and kids"),
                 QStringLiteral("baby.csv"));
}
