#pragma once
// One alarm list (the bed times, the wake-up or feeding times) with the list-view file
// that keeps it. Newest entries are at the top; the clock scans from the top.

#include <QString>

#include "sleep/listviewfile.h"

class AlarmList {
 public:
  explicit AlarmList(const QString& path = QString()) : path_(path) {}
  void SetPath(const QString& path) { path_ = path; }
  const QString& Path() const { return path_; }

  const ListViewFile& Data() const { return data_; }
  const QList<ListViewItem>& Items() const { return data_.items; }
  int Count() const { return static_cast<int>(data_.items.size()); }
  bool HasCheckBoxes() const { return data_.checkBoxes; }

  // Reads the file when it exists; a missing file keeps the items. A list with changes
  // that are not written yet keeps them (they are written at the next save). False with
  // the user's message when the file exists but cannot be read: the list keeps its items
  // and will not write over that file until it reads again (the file layer's guard). A
  // file read only in part is shown as far as it goes, read-only, its notice in *error.
  bool Load(QString* error = nullptr);
  // Writes the whole list. False with the user's message when it cannot be written (the
  // list then stays unsaved) or when its file may not be written (see Load).
  bool Save(QString* error = nullptr);
  bool HasUnsavedChanges() const { return dirty_; }
  // Its file could not be read, or was read only in part: no change may be made.
  bool ReadFailed() const;
  // Why a change to such a list is refused: a line of its own (said every time the user
  // tries) above the file layer's message (which the error box says once).
  QString RefusedMessage() const;

  // A new entry at the top. A list read without check boxes gets them, so the new entry
  // can ring; the older entries stay unchecked.
  void Insert(const ListViewItem& entry);
  void Remove(int index);
  void SetChecked(int index, bool checked);

 private:
  QString path_;
  ListViewFile data_;
  bool dirty_ = false;
};
