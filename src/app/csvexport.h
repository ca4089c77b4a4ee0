#pragma once
// The CSV export of every kind's records: one file per table in a folder, each written
// whole (an old export of the same name stays whole when a write fails).

#include <QString>
#include <QStringList>

#include "app/recordarchive.h"
#include "app/recordkind.h"

// Writes each kind's tables under root into folder (made when missing). *written gets
// "journal.csv: 3,650 rows" lines. False with the user's message at the first failure.
bool ExportRecordsCsv(const RecordRoot& root, const QList<RecordKind>& kinds,
                      const QString& folder, QStringList* written, QString* error,
                      const ProgressFunction& progress = {});
