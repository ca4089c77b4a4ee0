#include "app/database.h"

#include <QFileInfo>
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
}  // namespace

QString DatabaseFileName() { return QStringLiteral("Food.db"); }

bool OpenDatabase(const DataFolders& dir, QString* error) {
  const QString path = dir.DBFolder() + DatabaseFileName();
  if (!FirstRunDatabaseCopy(dir)) {
    CloseDatabase();
    Current().path = path;
    const QString shipped = dir.ProgramDBFolder() + DatabaseFileName();
    const QString reason =
        QFileInfo::exists(shipped)
            ? QStringLiteral("The program's database \"%1\" could not be copied there.").arg(shipped)
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

  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
  if (!db.isValid())
    return Fail(CannotOpenMessage(path, QStringLiteral("The SQLite driver of Qt SQL is missing.")),
                error);
  // "mode=rw": SQLite opens the file for reading and writing but never creates it, even
  // if it vanished since the check above.
  db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
  db.setDatabaseName(QString::fromLatin1(QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded()) +
                     QStringLiteral("?mode=rw"));
  if (!db.open()) {
    const QString message = CannotOpenMessage(path, EngineText(db.lastError()));
    db = QSqlDatabase();
    CloseDatabase();
    return Fail(message, error);
  }
  // SQLite reads the file on the first statement: a file that is not a database fails here.
  QSet<QString> tables;
  {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
      const QString message = CannotOpenMessage(
          path, QStringLiteral("It is not a database (%1).").arg(EngineText(q.lastError())));
      q = QSqlQuery();
      db = QSqlDatabase();
      CloseDatabase();
      return Fail(message, error);
    }
    while (q.next()) tables.insert(q.value(0).toString().toLower());
  }
  Current().tables = tables;
  Current().openError.clear();
  return true;
}

void CloseDatabase() {
  Current().tables.clear();
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

bool CheckDatabaseTable(const QString& table, QString* error) {
  if (!DatabaseIsOpen()) {
    QString message = Current().openError;
    if (message.isEmpty())
      message = CannotOpenMessage(Current().path.isEmpty() ? DatabaseFileName() : Current().path,
                                  QStringLiteral("The database is not open."));
    if (error) *error = message;
    return false;
  }
  if (Current().tables.contains(table.toLower())) return true;
  if (error)
    *error = CannotOpenMessage(Current().path,
                               QStringLiteral("It holds no table \"%1\".").arg(table));
  return false;
}

QString DatabaseReadMessage(const QSqlError& error) {
  return CannotOpenMessage(Current().path, EngineText(error));
}

QString DatabaseWriteMessage(const QSqlError& error) {
  return CannotCreateMessage(Current().path, EngineText(error));
}
