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
// With ids, each row's row id beside it.
bool ReadHealthTableRows(const QString& dbPath, const HealthTable& table,
                         QList<QStringList>* rows, QString* error,
                         QList<qint64>* ids = nullptr);

// A row to write into a health table: a new one at the end (rowId 0), or the new texts
// of the row with that id. values holds the table's columns in order.
struct HealthRowWrite {
  const HealthTable* table = nullptr;
  qint64 rowId = 0;
  QStringList values;
};
// Writes the rows into the database file at dbPath in one transaction: every row or,
// when one fails, none. The file is opened, never created, and a file that fails
// SQLite's quick check, or that cannot be written, is not written into. False with
// "Cannot create file ..." and the reason. checkOnly: those checks alone, writing
// nothing (an import's preview).
bool WriteHealthTableRows(const QString& dbPath, const QList<HealthRowWrite>& rows,
                          QString* error, bool checkOnly = false);
