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
                         QList<QStringList>* rows, QString* error) {
  rows->clear();
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
      if (!q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
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
          if (any) rows->append(row);
        }
      }
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(connection);
  return ok;
}
