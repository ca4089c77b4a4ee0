#include "core/gridcache.h"

#include <QFileInfo>

const CellGrid* GridFileCache::Grid(const QString& path) const {
  const QFileInfo info(path);
  if (!info.exists()) {
    entries_.remove(path);
    return nullptr;
  }
  Entry& entry = entries_[path];
  const QDateTime modified = info.lastModified();
  if (entry.size != info.size() || entry.modified != modified) {
    entry.size = info.size();
    entry.modified = modified;
    entry.ok = LoadGridFile(entry.grid, path);
  }
  return entry.ok ? &entry.grid : nullptr;
}
