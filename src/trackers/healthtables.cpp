#include "trackers/healthtables.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

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
