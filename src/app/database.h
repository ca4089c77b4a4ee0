#pragma once
// The program's one database: Food.db in the data DB folder, an SQLite file holding the
// food table and the health tables, reached through one Qt SQL connection.
//
// The file is opened, never created: a missing Food.db means the first-run copy of the
// shipped DB folder failed, and an empty file made in its place would hold no tables
// and stop every later copy. A file that is not a database, or lacks a table, is
// reported and left exactly as it is. Statements take the user's text through bound
// parameters only.

#include <QSqlDatabase>
#include <QString>

class DataFolders;
class QSqlError;

// "Food.db": the file in the data DB folder and in the program's DB folder.
QString DatabaseFileName();

// The first-run copy (when the data DB folder has no Food.db yet, the program's DB folder
// is copied into the data root), then OpenDatabaseFile on the data DB folder's Food.db.
// False with the user's message when the copy failed or the file cannot be opened.
bool OpenDatabase(const DataFolders& dir, QString* error);

// Opens an existing SQLite file read-write as the program's connection, replacing the
// connection opened before. Checks that the file is a database (the table list reads).
// False with the user's message ("Cannot open file ...") otherwise; the file is not touched.
bool OpenDatabaseFile(const QString& path, QString* error);

// Closes and forgets the connection. Models still holding it stop working.
void CloseDatabase();

bool DatabaseIsOpen();
// The open connection; an invalid QSqlDatabase when none is open.
QSqlDatabase AppDatabase();
// The file of the open connection (or of the last attempt).
QString DatabasePath();
// Why the last OpenDatabase / OpenDatabaseFile failed; empty after a success.
QString DatabaseOpenError();

// False with the user's message when the open database has no table of that name.
bool CheckDatabaseTable(const QString& table, QString* error);

// The user's message for an engine error on the database file (reading or writing).
QString DatabaseReadMessage(const QSqlError& error);
QString DatabaseWriteMessage(const QSqlError& error);
