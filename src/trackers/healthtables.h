#pragma once
// The three health tables of the program's database: their columns as the grids show
// them, and the statements that create them in a new Food.db (the build does that).
// Every column is text; "ID" is SQLite's own row id, named so that the grids can write
// back and delete exactly the row the user edits, even among identical rows.

#include <QList>
#include <QSqlDatabase>
#include <QString>

struct HealthColumn {
  QString name;   // the table column
  QString title;  // the grid's column title
  int width;      // the grid's column width in pixels, before FitGridColumns
};

struct HealthTable {
  QString name;
  QList<HealthColumn> columns;  // in the table's order, after the row id
  QString marks;                // FitGridColumns marks of its grid
};

// The row id column of every health table.
QString HealthRowIdColumn();

// Health_Appointments, Health_Immunization, Health_Prescription.
const HealthTable& AppointmentsTable();
const HealthTable& ImmunizationTable();
const HealthTable& PrescriptionTable();
const QList<HealthTable>& HealthTables();

// Creates the three tables (empty) in db. False with the engine's message.
bool CreateHealthTables(QSqlDatabase& db, QString* error);

// The rows of a health table in the database file at dbPath, in the order they were
// entered, each with the table's columns (trimmed texts); rows whose cells are all blank
// are left out. Reads through a read-only connection of its own, so it works beside the
// program's connection and never writes. A missing file gives no rows; a file or table
// that cannot be read gives false with *error.
bool ReadHealthTableRows(const QString& dbPath, const HealthTable& table,
                         QList<QStringList>* rows, QString* error);
