#include "core/heldyears.h"

#include <QFileInfo>
#include <algorithm>

#include "core/textfile.h"

HeldYears::HeldYears(int colCount, QStringList headers, PathOf pathOf, const QString& folder)
    : colCount_(colCount), headers_(std::move(headers)), pathOf_(pathOf), folder_(folder) {}

void HeldYears::Open(const QDate& first, const QDate& last, QStringList* errors) {
  if (!first.isValid() || !last.isValid()) return;
  std::vector<Year> before;
  before.swap(years_);
  for (int y = first.year(); y <= last.year(); ++y) {
    auto kept = std::find_if(before.begin(), before.end(),
                             [y](const Year& h) { return h.year == y && h.changed; });
    if (kept != before.end()) {
      years_.push_back(std::move(*kept));
      before.erase(kept);
      continue;
    }
    Year h;
    h.year = y;
    const QString path = Path(y);
    QString error;
    if (!OpenYearGrid(h.grid, y, colCount_, headers_, path, &error)) {
      if (errors) errors->append(error);
    } else if (const QString notice = ReadOnlyNotice(path); !notice.isEmpty()) {
      if (errors) errors->append(notice);
    }
    years_.push_back(std::move(h));
  }
  // A year with changes that the new window no longer covers stays held, so that the
  // next save still writes it.
  for (Year& h : before)
    if (h.changed) years_.push_back(std::move(h));
}

HeldYears::Year* HeldYears::Find(int year) {
  for (Year& y : years_)
    if (y.year == year) return &y;
  return nullptr;
}

const HeldYears::Year* HeldYears::Find(int year) const {
  for (const Year& y : years_)
    if (y.year == year) return &y;
  return nullptr;
}

CellGrid* HeldYears::Grid(int year) {
  Year* y = Find(year);
  return y ? &y->grid : nullptr;
}

const CellGrid* HeldYears::Grid(int year) const {
  const Year* y = Find(year);
  return y ? &y->grid : nullptr;
}

bool HeldYears::Writable(int year, QString* why) const { return MayWriteFile(Path(year), why); }

void HeldYears::MarkChanged(int year) {
  if (Year* y = Find(year)) y->changed = true;
}

bool HeldYears::Write(Year& y, QString* error) {
  // A year that could not be read is refused by the file layer, which says so once.
  if (!SaveGridFile(y.grid, Path(y.year), error)) return false;
  y.changed = false;
  return true;
}

bool HeldYears::Save(QStringList* errors, int createYear) {
  bool ok = true;
  for (Year& y : years_) {
    const bool create = y.year == createYear && !y.changed && Writable(y.year) &&
                        !QFileInfo::exists(Path(y.year));
    if (!y.changed && !create) continue;
    QString error;
    if (!Write(y, &error)) {
      ok = false;
      if (errors && !error.isEmpty()) errors->append(error);
    }
  }
  return ok;
}

bool HeldYears::SaveYear(int year, QString* error) {
  Year* y = Find(year);
  if (!y) return true;
  return Write(*y, error);
}

bool HeldYears::HasUnsavedChanges() const {
  return std::any_of(years_.begin(), years_.end(), [](const Year& y) { return y.changed; });
}
