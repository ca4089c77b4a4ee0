#include "sleep/alarmlist.h"

#include <QFileInfo>

bool AlarmList::Load(QString* error) {
  if (dirty_) return true;
  if (!QFileInfo::exists(path_)) return true;
  ListViewFile read;
  if (!read.Read(path_)) {
    readError_ = read.errorString();
    if (error) *error = readError_;
    return false;
  }
  readError_.clear();
  data_ = read;
  return true;
}

bool AlarmList::Save(QString* error) {
  if (ReadFailed()) {
    if (error) *error = readError_;
    return false;
  }
  QString e;
  if (!SaveListViewFile(data_, path_, &e)) {
    dirty_ = true;
    if (error) *error = e;
    return false;
  }
  dirty_ = false;
  return true;
}

void AlarmList::Insert(const ListViewItem& entry) {
  data_.checkBoxes = true;
  data_.items.prepend(entry);
  dirty_ = true;
}

void AlarmList::Remove(int index) {
  if (index < 0 || index >= Count()) return;
  data_.items.removeAt(index);
  dirty_ = true;
}

void AlarmList::SetChecked(int index, bool checked) {
  if (index < 0 || index >= Count() || !data_.checkBoxes) return;
  if (data_.items[index].checked == checked) return;
  data_.items[index].checked = checked;
  dirty_ = true;
}
