#pragma once
// Read-only copies of grid files that a view looks at but never writes, such as the
// year before the one it shows: each is read once and read again only when its file
// changes (size or modification time).

#include <QDateTime>
#include <QHash>
#include <QString>

#include "core/gridfile.h"

class GridFileCache {
 public:
  // The file's grid, or nullptr when there is no file or it cannot be read.
  const CellGrid* Grid(const QString& path) const;
  void Forget(const QString& path) { entries_.remove(path); }

 private:
  struct Entry {
    CellGrid grid;
    QDateTime modified;
    qint64 size = -1;
    bool ok = false;
  };
  mutable QHash<QString, Entry> entries_;
};
