#include "trackers/healthtables.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUrl>

#include "core/textfile.h"

QString HealthRowIdColumn() { return QStringLiteral("ID"); }

const HealthTable& AppointmentsTable() {
  static const HealthTable t{QStringLiteral("Health_Appointments"),
                             {{QStringLiteral("StartTime"), QStringLiteral("Date"), 110},
                              {QStringLiteral("Doctor"), QStringLiteral("Doctor's Name"), 156},
                              {QStringLiteral("Reason"), QStringLiteral("Reason for Visit"), 111}},
                             QStringLiteral(",,*")};
  return t;
}

const HealthTable& ImmunizationTable() {
  static const HealthTable t{
      QStringLiteral("Health_Immunization"),
      {{QStringLiteral("Vaccines"), QStringLiteral("Vaccine"), 177},
       {QStringLiteral("Date_Received"), QStringLiteral("Date Received"), 133}},
      QStringLiteral("*,")};
  return t;
}

const HealthTable& PrescriptionTable() {
  static const HealthTable t{
      QStringLiteral("Health_Prescription"),
      {{QStringLiteral("Date_Start_End"), QStringLiteral("Date Start / End"), 200},
       {QStringLiteral("Medication_Dosage"), QStringLiteral("Medication Name"), 189},
       {QStringLiteral("Special_Notes"), QStringLiteral("Notes / Dosage"), 155}},
      QStringLiteral(",,*")};
  return t;
}

const QList<HealthTable>& HealthTables() {
  static const QList<HealthTable> all{AppointmentsTable(), ImmunizationTable(),
                                      PrescriptionTable()};
  return all;
}

bool CreateHealthTables(QSqlDatabase& db, QString* error) {
  for (const HealthTable& table : HealthTables()) {
    QStringList columns{HealthRowIdColumn() + QStringLiteral(" INTEGER PRIMARY KEY")};
    for (const HealthColumn& c : table.columns) columns << c.name + QStringLiteral(" TEXT");
    QSqlQuery q(db);
    // Names from the table above only: no outside text reaches this statement.
    if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(u", ")))) {
      if (error) *error = q.lastError().text();
      return false;
    }
  }
  return true;
}

bool ReadHealthTableRows(const QString& dbPath, const HealthTable& table,
                         QList<QStringList>* rows, QString* error, QList<qint64>* ids) {
  rows->clear();
  if (ids) ids->clear();
  const QFileInfo info(dbPath);
  if (!info.exists()) return true;
  static QAtomicInt serial;
  const QString connection =
      QStringLiteral("Mavelo.HealthReader.%1").arg(serial.fetchAndAddRelaxed(1));
  bool ok = true;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
    db.setDatabaseName(QString::fromLatin1(QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded()) +
                       QStringLiteral("?mode=ro"));
    if (!db.open()) {
      ok = false;
      if (error) *error = CannotOpenMessage(dbPath, db.lastError().text());
    } else {
      QStringList columns;
      for (const HealthColumn& c : table.columns) columns << c.name;
      QSqlQuery q(db);
      // Names from the table definitions only: no outside text reaches this statement.
      if (!q.exec(QStringLiteral("SELECT %1, %3 FROM %2 ORDER BY %3")
                      .arg(columns.join(u", "), table.name, HealthRowIdColumn()))) {
        ok = false;
        if (error) *error = CannotOpenMessage(dbPath, q.lastError().text());
      } else {
        while (q.next()) {
          QStringList row;
          bool any = false;
          for (int c = 0; c < columns.size(); ++c) {
            const QString text = q.value(c).toString().trimmed();
            any = any || !text.isEmpty();
            row << text;
          }
          if (!any) continue;
          rows->append(row);
          if (ids) ids->append(q.value(columns.size()).toLongLong());
        }
      }
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(connection);
  return ok;
}

bool WriteHealthTableRows(const QString& dbPath, const QList<HealthRowWrite>& rows,
                          QString* error, bool checkOnly) {
  if (rows.isEmpty()) return true;
  const QFileInfo info(dbPath);
  if (!info.isFile()) {
    // Never made here: an empty file would hold none of the tables.
    if (error) *error = CannotOpenMessage(dbPath, QStringLiteral("There is no such file"));
    return false;
  }
  static QAtomicInt serial;
  const QString connection =
      QStringLiteral("Mavelo.HealthWriter.%1").arg(serial.fetchAndAddRelaxed(1));
  QString reason;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    db.setDatabaseName(QString::fromLatin1(QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded()) +
                       QStringLiteral("?mode=rw"));
    if (!db.open()) {
      reason = db.lastError().text();
    } else {
      QSqlQuery check(db);
      // A damaged file takes no more rows: they could land on its broken pages.
      if (!check.exec(QStringLiteral("PRAGMA quick_check(1)")) || !check.next()) {
        reason = check.lastError().text();
        if (reason.trimmed().isEmpty()) reason = QStringLiteral("SQLite's check gave no answer");
      } else if (check.value(0).toString() != QLatin1String("ok")) {
        // "*** in database main ***" heads the findings; the first says what is wrong.
        QString found;
        for (const QString& line : check.value(0).toString().split(u'\n'))
          if (found.isEmpty() && !line.trimmed().isEmpty() && !line.startsWith(QLatin1String("***")))
            found = line.trimmed();
        reason = QStringLiteral("It is damaged (SQLite's check: %1)").arg(found);
      } else if (!info.isWritable()) {
        reason = QStringLiteral("Permission denied");
      }
      check.finish();
      if (checkOnly) {
        // What a write would meet, said before anything is written.
      } else if (reason.isEmpty() && !db.transaction()) {
        reason = db.lastError().text();
      } else if (reason.isEmpty()) {
        for (const HealthRowWrite& w : rows) {
          QStringList columns, marks;
          for (const HealthColumn& c : w.table->columns) {
            columns << c.name;
            marks << (w.rowId ? c.name + QStringLiteral(" = ?") : QStringLiteral("?"));
          }
          QSqlQuery q(db);
          // Names from the table definitions only; her texts go in as bound values.
          q.prepare(w.rowId ? QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                  .arg(w.table->name, marks.join(u", "), HealthRowIdColumn())
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(w.table->name, columns.join(u", "), marks.join(u", ")));
          for (int c = 0; c < columns.size(); ++c) q.addBindValue(w.values.value(c));
          if (w.rowId) q.addBindValue(w.rowId);
          if (!q.exec()) {
            reason = q.lastError().text();
            break;
          }
          if (w.rowId && q.numRowsAffected() != 1) {
            reason = QStringLiteral("the row %1 of %2 is gone").arg(w.rowId).arg(w.table->name);
            break;
          }
        }
        if (reason.isEmpty() && !db.commit()) reason = db.lastError().text();
        if (!reason.isEmpty()) db.rollback();
      }
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(connection);
  if (reason.isEmpty()) return true;
  if (error) *error = CannotCreateMessage(dbPath, reason);
  return false;
}
