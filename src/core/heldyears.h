#pragma once
// The year files behind a window of days (the basal chart, the sleep log): one grid file
// per calendar year, and a window of December reaches into January of the next year.
// Each year the window covers is opened and held while it is shown; an edit marks its
// year changed, and a save writes the changed years only, so showing a window rewrites
// nothing. A year whose last save failed stays held with its changes when the window
// moves away, and the next save still writes it: nothing typed is lost to a move.
//
// Whether a year may be changed is the file layer's guard (core/textfile.h): a file that
// could not be read, or was opened read-only, is never written over.

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/gridfile.h"

class HeldYears {
 public:
  // The shape of a year grid (OpenYearGrid), and the file of a year in a folder.
  using PathOf = QString (*)(const QString& folder, int year);
  HeldYears(int colCount, QStringList headers, PathOf pathOf, const QString& folder = QString());
  // Later Opens read from this folder.
  void SetFolder(const QString& folder) { folder_ = folder; }
  const QString& Folder() const { return folder_; }

  // Holds the years from first's to last's, each read from its file unless it is held
  // with changes. A file that exists but cannot be read adds its message to *errors (its
  // year then shows empty), and one opened read-only adds its notice.
  void Open(const QDate& first, const QDate& last, QStringList* errors);
  bool IsOpen() const { return !years_.empty(); }

  // The grid of a held year, or nullptr.
  CellGrid* Grid(int year);
  const CellGrid* Grid(int year) const;
  // The file of a year, held or not.
  QString Path(int year) const { return pathOf_(folder_, year); }
  // Whether the year's file may be written; *why gets the file layer's message otherwise.
  bool Writable(int year, QString* why = nullptr) const;
  // A cell of a held year was changed.
  void MarkChanged(int year);

  // Writes every held year with changes, and createYear's file when it has none yet
  // (0: no such year). False with one message per failure; a failed year stays changed.
  bool Save(QStringList* errors, int createYear = 0);
  // Writes one held year, changed or not.
  bool SaveYear(int year, QString* error);
  bool HasUnsavedChanges() const;

 private:
  struct Year {
    int year = 0;
    CellGrid grid;
    bool changed = false;
  };
  Year* Find(int year);
  const Year* Find(int year) const;
  bool Write(Year& y, QString* error);

  int colCount_;
  QStringList headers_;
  PathOf pathOf_;
  QString folder_;
  std::vector<Year> years_;
};
