#include "app/csvexport.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "core/csvfile.h"
#include "core/textfile.h"

bool ExportRecordsCsv(const RecordRoot& root, const QList<RecordKind>& kinds,
                      const QString& folder, QStringList* written, QString* error,
                      const ProgressFunction& progress) {
  if (written) written->clear();
  QString target = folder;
  if (!target.endsWith(u'/')) target += u'/';
  if (!QFileInfo(target).isDir() && !QDir().mkpath(target)) {
    if (error) *error = CannotCreateMessage(folder, QStringLiteral("The folder cannot be made"));
    return false;
  }
  qint64 done = 0;
  for (const RecordKind& kind : kinds) {
    if (!kind.read) continue;
    QList<RecordTable> tables;
    QString e;
    if (!kind.read(root, &tables, &e)) {
      if (error) *error = e;
      return false;
    }
    for (const RecordTable& t : std::as_const(tables)) {
      CsvWriter csv(t.header);
      for (const QStringList& row : t.rows) csv.AddRow(row);
      if (!WriteFileBytes(target + t.fileName, csv.Bytes(), &e)) {
        if (error) *error = e;
        return false;
      }
      if (written)
        *written << QStringLiteral("%1: %2 %3")
                        .arg(t.fileName, QLocale::c().toString(csv.RowCount()),
                             csv.RowCount() == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
    }
    if (progress) progress(++done, kinds.size());
  }
  return true;
}
