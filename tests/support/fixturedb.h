#pragma once
// A small Food.db for tests, made the way the build makes the shipped one: the food
// table imported from the dozen-food cut of the USDA SR21 files in tests/data/usda with
// its full-text index, and the three empty health tables.

#include <QString>

// Writes the database to path (which must not exist yet). False with the reason.
bool MakeFixtureDatabase(const QString& path, QString* error = nullptr);
// The same, copied from one made once per test program (faster for many test cases).
bool CopyFixtureDatabase(const QString& path, QString* error = nullptr);

// Runs one statement on the database file at path through a connection of its own.
bool ExecOnDatabaseFile(const QString& path, const QString& statement, QString* error = nullptr);

// Takes the full-text index of the food search out again, as in a Food.db made before
// the index existed.
bool DropFoodSearchIndex(const QString& path, QString* error = nullptr);

// Damages the database file at path as a failing disk does: the first page of the table
// or index `name` gets an invalid page type, so that SQLite reports "database disk image
// is malformed" when it reads that page, and its integrity check fails.
bool DamageDatabasePage(const QString& path, const QString& name, QString* error = nullptr);
