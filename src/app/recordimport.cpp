#include "app/recordimport.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "app/datafolders.h"
#include "app/dayrecords.h"
#include "core/csvfile.h"
#include "core/textfile.h"
#include "core/textutil.h"

namespace {


// The largest source read: ten years of daily records are a few megabytes.
constexpr qint64 kMaxSourceBytes = qint64(256) << 20;

bool ReadSourceBytes(const QString& path, QByteArray* bytes, QString* error) {
  if (QFileInfo(path).size() > kMaxSourceBytes) {
    if (error) *error = CannotOpenMessage(path, QStringLiteral("File too large"));
    return false;
  }
  return ReadFileBytes(path, bytes, error);
}

bool ReadMaveloCsv(const QString& path, const QByteArray& bytes, RecordTable* table,
                   QString* error) {
  CsvTable csv;
  QString e;
  table->fileName = QFileInfo(path).fileName();
  if (!ReadCsv(bytes, &csv, &e)) {
    if (error) *error = QStringLiteral("%1, %2").arg(table->fileName, e);
    return false;
  }
  table->header = csv.header;
  table->rows = csv.rows;
  table->lines = csv.lines;
  return true;
}

}  // namespace

qint64 ImportSummary::Added() const {
  qint64 n = 0;
  for (const ImportCount& c : tables) n += c.tally.added;
  return n;
}

qint64 ImportSummary::Held() const {
  qint64 n = 0;
  for (const ImportCount& c : tables) n += c.tally.held;
  return n;
}

qint64 ImportSummary::Checked() const {
  qint64 n = 0;
  for (const ImportCount& c : tables) n += c.tally.checked;
  return n;
}

QStringList ImportSummary::Lines(ImportMode mode) const {
  QStringList out;
  const bool preview = mode == ImportMode::Preview;
  const QString add = preview ? QStringLiteral("to add") : QStringLiteral("added");
  for (const ImportCount& c : tables) {
    if (c.tally.checked && !c.tally.added && !c.tally.held) {
      out << QStringLiteral("%1 (%2): %3 checked against the other files, nothing of its own %4")
                 .arg(c.title, c.table,
                      CountText(c.tally.checked, QStringLiteral("row"), QStringLiteral("rows")), add);
      continue;
    }
    QString line = QStringLiteral("%1 (%2): %3 %4").arg(c.title, c.table, CountText(c.tally.added), add);
    if (c.tally.held && preview)
      line += QStringLiteral(", %1 that already %2 something")
                  .arg(CountText(c.tally.held), c.tally.held == 1 ? QStringLiteral("holds") : QStringLiteral("hold"));
    else if (c.tally.held)
      line += QStringLiteral(", %1 %2").arg(CountText(c.tally.held),
                                            mode == ImportMode::Replace ? QStringLiteral("replaced")
                                                                        : QStringLiteral("kept as they were"));
    if (c.tally.checked) line += QStringLiteral(", %1 checked").arg(CountText(c.tally.checked));
    out << line;
  }
  return out;
}

bool ReadImportSource(const QString& path, QString* format, QList<RecordTable>* tables,
                      QStringList* leftAside, QString* error) {
  tables->clear();
  leftAside->clear();
  const QFileInfo info(path);
  if (info.isDir()) {
    *format = QStringLiteral("Mavelo's CSV export");
    const QFileInfoList files = QDir(path).entryInfoList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    for (const QFileInfo& f : files) {
      QByteArray bytes;
      RecordTable t;
      if (!ReadSourceBytes(f.filePath(), &bytes, error) || !ReadMaveloCsv(f.filePath(), bytes, &t, error))
        return false;
      *tables << t;
    }
    if (tables->isEmpty()) {
      if (error)
        *error = QStringLiteral("\"%1\" holds no CSV files of Mavelo's export (cycle.csv, "
                                "basal.csv, journal.csv, ...).").arg(path);
      return false;
    }
    return true;
  }
  if (!info.isFile()) {
    if (error) *error = CannotOpenMessage(path, QStringLiteral("There is no such file"));
    return false;
  }
  QByteArray bytes;
  if (!ReadSourceBytes(path, &bytes, error)) return false;
  QVector<DayRecord> days;
  const QByteArray start = bytes.left(64).trimmed();
  bool ok = false;
  if (bytes.startsWith("\x1f\x8b") || (start.startsWith('{') && bytes.contains("\"data\""))) {
    *format = QStringLiteral("Periodical's backup");
    ok = ReadPeriodicalBackup(bytes, &days, leftAside, error);
  } else if (start.startsWith('[') || start.startsWith('{')) {
    *format = QStringLiteral("Clue's measurements");
    ok = ReadClueJson(bytes, &days, leftAside, error);
  } else {
    CsvTable head;
    QString e;
    // The header alone tells drip's CSV from Mavelo's.
    const qsizetype firstLine = bytes.indexOf('\n');
    ReadCsv(firstLine < 0 ? bytes : bytes.left(firstLine), &head, &e);
    if (IsDripHeader(head.header)) {
      *format = QStringLiteral("drip's CSV");
      ok = ReadDripCsv(bytes, &days, leftAside, error);
    } else {
      *format = QStringLiteral("Mavelo's CSV export");
      RecordTable t;
      if (!ReadMaveloCsv(path, bytes, &t, error)) return false;
      *tables << t;
      return true;
    }
  }
  if (!ok) return false;
  *tables = DayRecordTables(days);
  return true;
}

ImportJob::ImportJob(const DataFolders& dir, const QList<RecordKind>& kinds)
    : dir_(dir), kinds_(kinds) {}

const RecordTable* ImportJob::SourceTable(const QString& fileName) const {
  for (const RecordTable& t : tables_)
    if (t.fileName == fileName) return &t;
  return nullptr;
}

bool ImportJob::Inspect(const QString& path, QString* error, const ProgressFunction& progress) {
  steps_.clear();
  tables_.clear();
  replaceRefusal_.clear();
  summary_ = ImportSummary();
  written_ = ImportSummary();
  if (!ReadImportSource(path, &summary_.format, &tables_, &summary_.leftAside, error)) return false;
  // In the kinds' order, which is the order the export writes and the writers need.
  QStringList taken;
  auto take = [&](const QString& name, const RecordSourceImporter& write, const QString& title) {
    for (int t = 0; t < tables_.size(); ++t)
      if (tables_.at(t).fileName == name) {
        steps_ << Step{t, write, title};
        taken << name;
      }
  };
  for (const RecordKind& kind : std::as_const(kinds_)) {
    for (const auto& importer : kind.importers) {
      const RecordImporter write = importer.second;
      take(importer.first,
           [write](const DataFolders& dir, const RecordTable& table, const RecordTableLookup&,
                   ImportMode mode, ImportTally* tally, QString* e) {
             return write(dir, table, mode, tally, e);
           },
           kind.title);
    }
    for (const auto& importer : kind.sourceImporters) take(importer.first, importer.second, kind.title);
  }
  for (const RecordTable& t : std::as_const(tables_))
    if (!taken.contains(t.fileName) && !t.rows.isEmpty())
      summary_.leftAside << QStringLiteral("%1 (%2 Mavelo does not import)")
                                .arg(t.fileName, CountText(t.rows.size(), QStringLiteral("row"),
                                                           QStringLiteral("rows")));
  if (steps_.isEmpty()) {
    if (error) {
      QStringList names;
      for (const RecordKind& kind : std::as_const(kinds_)) {
        for (const auto& importer : kind.importers) names << importer.first;
        for (const auto& importer : kind.sourceImporters) names << importer.first;
      }
      *error = QStringLiteral("\"%1\" holds no records Mavelo imports: it reads %2 from its own "
                              "CSV export, drip's CSV, Clue's measurements.json and Periodical's "
                              "backup.").arg(QFileInfo(path).fileName(), names.join(QStringLiteral(", ")));
    }
    tables_.clear();
    return false;
  }
  const RecordTableLookup source = [this](const QString& name) { return SourceTable(name); };
  qint64 done = 0;
  for (const Step& s : std::as_const(steps_)) {
    const RecordTable& table = tables_.at(s.table);
    ImportCount count{table.fileName, s.title, {}};
    if (!s.write(dir_, table, source, ImportMode::Preview, &count.tally, error)) {
      steps_.clear();
      tables_.clear();
      return false;
    }
    summary_.tables << count;
    if (progress) progress(++done, steps_.size());
  }
  // What Replace would write over is checked as well, writing nothing.
  if (summary_.Held() > 0) {
    for (const Step& s : std::as_const(steps_)) {
      ImportTally ignored;
      QString why;
      if (!s.write(dir_, tables_.at(s.table), source, ImportMode::PreviewReplace, &ignored, &why)) {
        replaceRefusal_ = why;
        break;
      }
    }
  }
  return true;
}

bool ImportJob::HasWork(bool replace) const {
  return summary_.Added() > 0 || (replace && summary_.Held() > 0);
}

bool ImportJob::Commit(bool replace, QString* error, const ProgressFunction& progress) {
  written_ = ImportSummary();
  written_.format = summary_.format;
  writtenMode_ = replace ? ImportMode::Replace : ImportMode::Keep;
  if (steps_.isEmpty()) {
    if (error) *error = QStringLiteral("There is nothing checked to import.");
    return false;
  }
  if (replace && !replaceRefusal_.isEmpty()) {
    if (error)
      *error = QStringLiteral("Nothing was imported: a file that holds what the import would "
                              "replace cannot be written over.\n%1\nImport without replacing to "
                              "add only what is new.").arg(replaceRefusal_);
    return false;
  }
  QString e;
  if (!WriteSafetyBackup(dir_, kinds_, &safetyBackup_, &e, progress)) {
    if (error)
      *error = QStringLiteral("The data folder could not be saved first, so nothing was "
                              "imported.\n") + e;
    return false;
  }
  const RecordTableLookup source = [this](const QString& name) { return SourceTable(name); };
  qint64 done = 0;
  for (const Step& s : std::as_const(steps_)) {
    const RecordTable& table = tables_.at(s.table);
    ImportCount count{table.fileName, s.title, {}};
    if (!s.write(dir_, table, source, replace ? ImportMode::Replace : ImportMode::Keep, &count.tally, &e)) {
      if (error)
        *error = QStringLiteral("The import stopped at %1: %2\nYour records as they were before "
                                "the import are saved in \"%3\"; File > Restore puts them back.")
                     .arg(table.fileName, e, safetyBackup_);
      return false;
    }
    written_.tables << count;
    if (progress) progress(++done, steps_.size());
  }
  return true;
}
