#pragma once
// The data folder with records in every tracker (tests/data/records/folder, with a
// Food.db whose health tables hold rows), and a snapshot of a folder's files to compare.

#include <QByteArray>
#include <QMap>
#include <QString>

class DataFolders;

// Every file under a folder, by path relative to it, with its bytes (Backups/ left out
// unless asked for).
QMap<QString, QByteArray> Snapshot(const QString& root, bool withBackups = false);
// Copies the fixture's files into the data folder and makes its database. False (with a
// failed check already reported) when something could not be made.
bool FillDataFolder(const DataFolders& dir);
