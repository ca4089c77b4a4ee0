#include "app/appfiles.h"

#include "app/database.h"
#include "app/datafolders.h"
#include "core/inifile.h"

bool ReadsAsIniFile(const QByteArray& bytes, QString*) {
  IniFile ini;
  ini.LoadBytes(bytes);
  return true;
}

bool LooksLikeDatabase(const QByteArray& bytes, QString* why) {
  // An empty Food.db is what a failed first copy leaves; the program copies the shipped
  // one over it, so it restores as harmlessly as it was backed up.
  if (bytes.isEmpty() || bytes.startsWith(QByteArrayLiteral("SQLite format 3\0"))) return true;
  if (why) *why = QStringLiteral("it is not an SQLite database");
  return false;
}

RecordKind SettingsRecordKind(const DataFolders& dir) {
  const QString config = RecordRoot::Relative(dir, dir.ConfigFolder());
  const QString db = RecordRoot::Relative(dir, dir.DBFolder());
  RecordKind k{QStringLiteral("settings"), QStringLiteral("Settings and database")};
  k.files << RecordFileRule{config, PlainFileName({QStringLiteral("ini")}), kMaxRecordFileBytes,
                            ReadsAsIniFile}
          << RecordFileRule{config, PlainFileName({QStringLiteral("ico"), QStringLiteral("png"),
                                                   QStringLiteral("jpg"), QStringLiteral("bmp")}),
                            kMaxRecordFileBytes, {}}
          << RecordFileRule{db, ExactFileName(DatabaseFileName()), kMaxDatabaseBytes,
                            LooksLikeDatabase};
  return k;
}

RecordKind ReportsRecordKind(const DataFolders& dir) {
  const QStringList pages{QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("jpg"),
                          QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("gif"),
                          QStringLiteral("css"),  QStringLiteral("txt"), QStringLiteral("log")};
  RecordKind k{QStringLiteral("reports"), QStringLiteral("Reports and logs")};
  for (const QString& folder : {dir.BuildFolder(), dir.LogFolder(), dir.FTPFolder()})
    k.files << RecordFileRule{RecordRoot::Relative(dir, folder), PlainFileName(pages),
                              kMaxRecordFileBytes, {}};
  return k;
}
