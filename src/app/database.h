#pragma once
// The program's one database: Food.db in the data DB folder, an SQLite file holding the
// food table and the health tables, reached through one Qt SQL connection.
//
// The file is opened, never created: a missing Food.db means the first-run copy of the
// shipped DB folder failed, or that her own database went missing, and an empty file
// made in its place would hold no tables and stop every later copy. A file that is not a
// database, or lacks a table or a column, is reported and left exactly as it is. A file
// that fails SQLite's integrity check, or cannot be written, is opened read-only with a
// message, so that nothing more is written into it. Statements take the user's text
// through bound parameters only.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class DataFolders;
class QSqlError;

// "Food.db": the file in the data DB folder and in the program's DB folder.
QString DatabaseFileName();

// The first-run copy (on the very first start of a new data folder the program's DB folder
// is copied into the data root, see FirstRunDatabaseCopy), then OpenDatabaseFile on the
// data DB folder's Food.db. False with the user's message when the copy failed or the
// file cannot be opened; a Food.db missing from a data folder that had one is never
// replaced: the message says what is missing and that her own foods and health records
// were in it.
bool OpenDatabase(const DataFolders& dir, QString* error);

// Opens an existing SQLite file as the program's connection, replacing the connection
// opened before. Checks that the file is a database (the table list reads) and runs
// SQLite's integrity check: a damaged file, or one that cannot be written, is opened
// read-only (true, with DatabaseReadOnlyMessage()). False with the user's message
// ("Cannot open file ...") otherwise; the file is not touched.
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

// Whether the open connection refuses to write (a damaged file, or one that cannot be
// written), and the user's message that says so and why; empty while it writes.
bool DatabaseIsReadOnly();
QString DatabaseReadOnlyMessage();
// The message that refuses a write through db when db is the program's connection and
// that is read-only; empty when the write may go ahead.
QString DatabaseWriteRefusal(const QSqlDatabase& db);

// False with the user's message when the open database has no table of that name, or the
// table lacks one of the columns (names in any case), or rowId is given and is not the
// table's row id (an INTEGER PRIMARY KEY column). The message names the table and what
// is wrong with it.
bool CheckDatabaseTable(const QString& table, QString* error);
bool CheckDatabaseTable(const QString& table, const QStringList& columns, QString* error,
                        const QString& rowId = QString());

// The user's message for an engine error on the database file (reading or writing). An
// error that shows the file damaged ("database disk image is malformed") turns the
// connection read-only from then on, and the message says so.
QString DatabaseReadMessage(const QSqlError& error);
QString DatabaseWriteMessage(const QSqlError& error);
