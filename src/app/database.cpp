#include "app/database.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include "app/datafolders.h"
#include "core/textfile.h"

namespace {
const QString kConnection = QStringLiteral("Mavelo.Food");

struct State {
  QString path;
  QString openError;
  // Why the connection writes nothing ("It is damaged ..."); empty while it writes.
  QString readOnlyReason;
  QSet<QString> tables;  // lower case
};

State& Current() {
  static State state;
  return state;
}

QString EngineText(const QSqlError& error) {
  QString text = error.text().trimmed();
  if (text.isEmpty()) text = QStringLiteral("The database engine gave no reason.");
  return text;
}

bool Fail(const QString& message, QString* error) {
  Current().openError = message;
  if (error) *error = message;
  return false;
}

// SQLITE_CORRUPT and SQLITE_NOTADB, in the low byte of the extended codes as well.
bool ShowsDamage(const QSqlError& error) {
  bool ok = false;
  const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
  return ok && (code == 11 || code == 26);
}

QString DamagedReason(const QString& detail) {
  return QStringLiteral("It is damaged (%1)").arg(detail);
}

// Connects to the file: read-write, never creating it (it may have vanished since the
// caller looked), or read-only. An invalid database with *error set on failure.
QSqlDatabase Connect(const QFileInfo& info, bool readOnly, QString* error) {
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
  if (!db.isValid()) {
    *error = QStringLiteral("The SQLite driver of Qt SQL is missing.");
    return QSqlDatabase();
  }
  db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
  db.setDatabaseName(QString::fromLatin1(QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded()) +
                     (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
  if (!db.open()) {
    *error = EngineText(db.lastError());
    db = QSqlDatabase();
    CloseDatabase();
    return QSqlDatabase();
  }
  return db;
}

// SQLite reads the file on the first statement: a file that is not a database fails here.
bool ReadTables(QSqlDatabase& db, QSet<QString>* tables, QString* error) {
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
    *error = QStringLiteral("It is not a database (%1).").arg(EngineText(q.lastError()));
    return false;
  }
  while (q.next()) tables->insert(q.value(0).toString().toLower());
  return true;
}

// SQLite's integrity check of every page; empty when the file is whole, otherwise the
// first thing the check found (or the error that stopped it), on one line.
QString IntegrityProblem(QSqlDatabase& db) {
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("PRAGMA integrity_check(3)"))) return EngineText(q.lastError());
  QStringList found;
  while (q.next())
    for (const QString& line : q.value(0).toString().split(u'\n'))
      // "*** in database main ***" heads the findings; what follows says what is wrong.
      if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1String("***")))
        found << line.trimmed();
  if (q.lastError().isValid()) found << EngineText(q.lastError());
  if (found == QStringList{QStringLiteral("ok")}) return QString();
  if (found.isEmpty()) return QStringLiteral("the integrity check gave no answer");
  return QStringLiteral("SQLite's integrity check: ") + found.first();
}

// From now on the connection refuses every write.
void TurnReadOnly(const QString& reason) {
  if (!Current().readOnlyReason.isEmpty()) return;
  Current().readOnlyReason = reason;
  if (!QSqlDatabase::contains(kConnection)) return;
  QSqlQuery q(QSqlDatabase::database(kConnection, false));
  q.exec(QStringLiteral("PRAGMA query_only = ON"));
}

// An engine error that shows the file damaged turns the connection read-only; the text
// to add to the error's message then.
QString NoteEngineError(const QSqlError& error) {
  if (!ShowsDamage(error) || !Current().readOnlyReason.isEmpty() || !DatabaseIsOpen())
    return QString();
  TurnReadOnly(DamagedReason(EngineText(error)));
  return QStringLiteral(" The database is damaged: from now on it is read-only, so that nothing "
                        "more is written into it.");
}
}  // namespace

QString DatabaseFileName() { return QStringLiteral("Food.db"); }

bool OpenDatabase(const DataFolders& dir, QString* error) {
  const QString path = dir.DBFolder() + DatabaseFileName();
  if (!FirstRunDatabaseCopy(dir)) {
    CloseDatabase();
    Current().path = path;
    const QString shipped = dir.ProgramDBFolder() + DatabaseFileName();
    if (!dir.NewDataFolder()) {
      // Her own database went missing: a fresh copy would hide that her records are gone.
      return Fail(
          CannotOpenMessage(
              path,
              QStringLiteral("The file is missing. Your own foods and your health records "
                             "(appointments, immunizations, prescriptions) were kept in it, so "
                             "the program does not put its empty database in its place. Put "
                             "your Food.db back into \"%1\" (from a backup or wherever it went); "
                             "to start again without those records, copy \"%2\" there.")
                  .arg(dir.DBFolder(), shipped)),
          error);
    }
    const QString reason =
        QFileInfo::exists(shipped)
            ? QStringLiteral("The program's database \"%1\" could not be copied there.")
                  .arg(shipped)
            : QStringLiteral("The file is missing, and so is the program's database \"%1\".")
                  .arg(shipped);
    return Fail(CannotOpenMessage(path, reason), error);
  }
  return OpenDatabaseFile(path, error);
}

bool OpenDatabaseFile(const QString& path, QString* error) {
  CloseDatabase();
  Current().path = path;
  const QFileInfo info(path);
  if (!info.exists())
    return Fail(CannotOpenMessage(path, QStringLiteral("The file does not exist.")), error);
  if (!info.isFile())
    return Fail(CannotOpenMessage(path, QStringLiteral("It is not a file.")), error);

  // SQLite writes its journal beside the file: both must be writable to change anything.
  QString readOnly;
  if (!info.isWritable() || !QFileInfo(info.absolutePath()).isWritable())
    readOnly = QStringLiteral("The file or its folder cannot be written");

  QString reason;
  QSqlDatabase db = Connect(info, !readOnly.isEmpty(), &reason);
  if (!db.isValid()) return Fail(CannotOpenMessage(path, reason), error);
  QSet<QString> tables;
  if (!ReadTables(db, &tables, &reason)) {
    db = QSqlDatabase();
    CloseDatabase();
    return Fail(CannotOpenMessage(path, reason), error);
  }
  const QString problem = IntegrityProblem(db);
  if (!problem.isEmpty()) {
    // Whatever the file still holds stays as it is: nothing is written into it from here.
    const QString damaged = DamagedReason(problem);
    if (readOnly.isEmpty()) {
      db = QSqlDatabase();
      CloseDatabase();
      Current().path = path;
      db = Connect(info, true, &reason);
      if (!db.isValid()) return Fail(CannotOpenMessage(path, reason), error);
      tables.clear();
      if (!ReadTables(db, &tables, &reason)) {
        db = QSqlDatabase();
        CloseDatabase();
        return Fail(CannotOpenMessage(path, reason), error);
      }
    }
    readOnly = damaged;
  }
  Current().tables = tables;
  Current().openError.clear();
  Current().readOnlyReason = readOnly;
  return true;
}

void CloseDatabase() {
  Current().tables.clear();
  Current().readOnlyReason.clear();
  if (!QSqlDatabase::contains(kConnection)) return;
  {
    QSqlDatabase db = QSqlDatabase::database(kConnection, false);
    db.close();
  }
  QSqlDatabase::removeDatabase(kConnection);
}

bool DatabaseIsOpen() {
  return QSqlDatabase::contains(kConnection) &&
         QSqlDatabase::database(kConnection, false).isOpen();
}

QSqlDatabase AppDatabase() {
  if (!QSqlDatabase::contains(kConnection)) return QSqlDatabase();
  return QSqlDatabase::database(kConnection, false);
}

QString DatabasePath() { return Current().path; }

QString DatabaseOpenError() { return Current().openError; }

bool DatabaseIsReadOnly() { return DatabaseIsOpen() && !Current().readOnlyReason.isEmpty(); }

QString DatabaseReadOnlyMessage() {
  if (!DatabaseIsReadOnly()) return QString();
  return QStringLiteral("The database \"%1\" was opened read-only, so that nothing is written "
                        "into it. %2. Your foods and health records can be looked at, but not "
                        "changed until the file is mended or replaced; keep a copy of it.")
      .arg(Current().path, Current().readOnlyReason);
}

QString DatabaseWriteRefusal(const QSqlDatabase& db) {
  if (!DatabaseIsReadOnly() || db.connectionName() != kConnection) return QString();
  return CannotCreateMessage(Current().path,
                             QStringLiteral("The database was opened read-only: %1. Nothing was "
                                            "changed.")
                                 .arg(Current().readOnlyReason));
}

bool CheckDatabaseTable(const QString& table, QString* error) {
  return CheckDatabaseTable(table, {}, error);
}

bool CheckDatabaseTable(const QString& table, const QStringList& columns, QString* error,
                        const QString& rowId) {
  auto fail = [error](const QString& message) {
    if (error) *error = message;
    return false;
  };
  if (!DatabaseIsOpen()) {
    QString message = Current().openError;
    if (message.isEmpty())
      message = CannotOpenMessage(Current().path.isEmpty() ? DatabaseFileName() : Current().path,
                                  QStringLiteral("The database is not open."));
    return fail(message);
  }
  if (!Current().tables.contains(table.toLower()))
    return fail(CannotOpenMessage(Current().path,
                                  QStringLiteral("It holds no table \"%1\".").arg(table)));
  if (columns.isEmpty() && rowId.isEmpty()) return true;

  struct Column {
    QString type;
    int key = 0;  // its place in the primary key, 0 when outside it
  };
  QHash<QString, Column> found;  // by lower-case name
  int keyColumns = 0;
  {
    QSqlQuery q(AppDatabase());
    q.setForwardOnly(true);
    // The name comes from the program's own table list, quoted as an identifier.
    const QString quoted = QString(table).replace(u'"', QStringLiteral("\"\""));
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(quoted)))
      return fail(DatabaseReadMessage(q.lastError()));
    while (q.next()) {
      const Column c{q.value(2).toString(), q.value(5).toInt()};
      if (c.key > 0) ++keyColumns;
      found.insert(q.value(1).toString().toLower(), c);
    }
  }
  QStringList problems;
  QStringList missing;
  for (const QString& c : columns)
    if (!found.contains(c.toLower())) missing << c;
  if (!missing.isEmpty())
    problems << (missing.size() == 1
                     ? QStringLiteral("the column %1 is missing").arg(missing.first())
                     : QStringLiteral("the columns %1 are missing").arg(missing.join(u", ")));
  if (!rowId.isEmpty()) {
    const auto id = found.constFind(rowId.toLower());
    if (id == found.constEnd()) {
      if (!missing.contains(rowId))
        problems << QStringLiteral("the column %1 is missing").arg(rowId);
    } else if (id->key != 1 || keyColumns != 1 ||
               id->type.compare(u"INTEGER", Qt::CaseInsensitive) != 0) {
      problems << QStringLiteral("its column %1 is not the row id (INTEGER PRIMARY KEY)")
                      .arg(rowId);
    }
  }
  if (problems.isEmpty()) return true;
  return fail(CannotOpenMessage(
      Current().path, QStringLiteral("Its table \"%1\" is not of the shape the program needs: %2. "
                                     "The table is left as it is.")
                          .arg(table, problems.join(QStringLiteral("; ")))));
}

QString DatabaseReadMessage(const QSqlError& error) {
  const QString message = CannotOpenMessage(Current().path, EngineText(error));
  return message + NoteEngineError(error);
}

QString DatabaseWriteMessage(const QSqlError& error) {
  const QString message = CannotCreateMessage(Current().path, EngineText(error));
  return message + NoteEngineError(error);
}
