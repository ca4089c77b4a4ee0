#include "sleep/alarmlist.h"

#include <QFileInfo>

#include "core/textfile.h"

bool AlarmList::Load(QString* error) {
  if (dirty_) return true;
  if (!QFileInfo::exists(path_)) return true;
  ListViewFile read;
  if (!read.Read(path_)) {
    if (error) *error = read.errorString();
    return false;
  }
  data_ = read;
  if (error) *error = ReadOnlyNotice(path_);
  return true;
}

bool AlarmList::ReadFailed() const { return !path_.isEmpty() && !MayWriteFile(path_); }

QString AlarmList::RefusedMessage() const {
  return ChangeRefusedMessage(path_, QStringLiteral("This alarm list"));
}

bool AlarmList::Save(QString* error) {
  if (ReadFailed()) {
    if (error) *error = GuardMessage(path_);
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
