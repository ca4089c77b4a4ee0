#pragma once
// The files of the data folder that belong to no one tracker: the settings and the
// pictures beside them (Config/), the database (DB/Food.db), the reports (Build/) and
// the Log/ and FTP/ folders, as the backup and the restore know them.

#include "app/recordkind.h"

// The settings and the database. No records of their own (the health tables are the
// health kind's).
RecordKind SettingsRecordKind(const DataFolders& dir);
// Reports and logs: pages and pictures the program makes again whenever asked.
RecordKind ReportsRecordKind(const DataFolders& dir);

// Reads the bytes as an ini file (which never fails: lines it does not understand are
// kept): the reader of the rules for .ini files.
bool ReadsAsIniFile(const QByteArray& bytes, QString* why);
// Whether bytes start as an SQLite 3 database does.
bool LooksLikeDatabase(const QByteArray& bytes, QString* why);
