#include "cycle/cyclerecordstore.h"

#include "core/clock.h"
#include "cycle/cyclestats.h"

CycleRecordStore::CycleRecordStore(const QString& historyPath, DaysReader readDays,
                                   QObject* parent)
    : QObject(parent), path_(historyPath), readDays_(std::move(readDays)) {}

void CycleRecordStore::EnsureHistory() {
  if (historyLoaded_) return;
  QString error;
  if (!history_.Load(path_, &error)) errors_.append(error);
  historyLoaded_ = true;
  stale_ = true;
}

void CycleRecordStore::EnsureLoaded(TemperatureUnit unit) {
  EnsureHistory();
  if (!daysLoaded_ || unit != unit_) {
    // The basal files hold the reading of each unit in its own column: another unit is
    // another reading of them.
    days_.clear();
    if (readDays_) {
      ++dayReads_;
      readDays_(unit, &days_, &errors_);
    }
    daysLoaded_ = true;
    unit_ = unit;
    stale_ = true;
  }
}

const CycleReading& CycleRecordStore::Reading(TemperatureUnit unit) {
  EnsureLoaded(unit);
  const QDate today = Clock::Today();
  if (stale_ || builtFor_ != today) {
    reading_.Build(history_.Starts(), history_.Pauses(), days_, today, unit_);
    builtFor_ = today;
    stale_ = false;
  }
  return reading_;
}

const PeriodHistory& CycleRecordStore::History() {
  EnsureHistory();
  return history_;
}

QStringList CycleRecordStore::TakeErrors() {
  QStringList e;
  e.swap(errors_);
  return e;
}

bool CycleRecordStore::Write(const QStringList& before, QString* error) {
  if (history_.Save(path_, error)) {
    Rebuilt();
    return true;
  }
  history_.Parse(before);
  return false;
}

void CycleRecordStore::Rebuilt() {
  stale_ = true;
  emit changed();
}

bool CycleRecordStore::AddDayStart(const QDate& date, QString* error) {
  EnsureHistory();
  const QStringList before = history_.Lines();
  if (!history_.AddStart(date, PeriodSource::DayAction)) {
    if (error) *error = QStringLiteral("A period start is already recorded on this day.");
    return false;
  }
  if (!Write(before, error)) return false;
  undo_ = UndoStep{date, true, PeriodSource::DayAction};
  return true;
}

bool CycleRecordStore::RemoveStart(const QDate& date, QString* error) {
  EnsureHistory();
  const QStringList before = history_.Lines();
  PeriodSource source = PeriodSource::DayAction;
  for (const PeriodStart& s : history_.Starts())
    if (s.date == date) source = s.source;
  if (!history_.RemoveStart(date)) {
    if (error) *error = QStringLiteral("No period start is recorded on this day.");
    return false;
  }
  if (!Write(before, error)) return false;
  undo_ = UndoStep{date, false, source};
  return true;
}

QString CycleRecordStore::UndoText() const {
  if (!undo_) return {};
  const QString day = DayMonthText(undo_->date, Clock::Today());
  return undo_->added ? QStringLiteral("Undo: period start on %1").arg(day)
                      : QStringLiteral("Undo: removal of the period start on %1").arg(day);
}

bool CycleRecordStore::Undo(QString* error) {
  if (!undo_) return false;
  EnsureHistory();
  const QStringList before = history_.Lines();
  const bool done = undo_->added ? history_.RemoveStart(undo_->date)
                                 : history_.AddStart(undo_->date, undo_->source);
  if (!done) {
    // The history changed since (the picker, another action): nothing of it to take back.
    undo_.reset();
    if (error) *error = QStringLiteral("There is nothing to undo.");
    return false;
  }
  if (!Write(before, error)) return false;
  undo_.reset();
  return true;
}

bool CycleRecordStore::AddPause(const CyclePause& pause, QString* error) {
  EnsureHistory();
  const QStringList before = history_.Lines();
  if (!history_.AddPause(pause)) {
    if (error)
      *error = pause.last.isValid() && pause.last < pause.first
                   ? QStringLiteral("The last day of a pause cannot lie before its first day.")
                   : QStringLiteral("A pause starting on that day is already marked.");
    return false;
  }
  return Write(before, error);
}

bool CycleRecordStore::RemovePause(const QDate& first, QString* error) {
  EnsureHistory();
  const QStringList before = history_.Lines();
  if (!history_.RemovePause(first)) {
    if (error) *error = QStringLiteral("No pause starts on that day.");
    return false;
  }
  return Write(before, error);
}

bool CycleRecordStore::PickerMoved(const QDate& from, const QDate& to, QString* error) {
  if (!from.isValid() || !to.isValid() || from == to) return true;
  EnsureHistory();
  if (!picker_) picker_ = PickerEdit{from, QDate(), std::nullopt};
  PickerEdit edit = *picker_;
  const QStringList before = history_.Lines();

  // What this edit did so far is taken back first: only where it ends counts.
  if (edit.added.isValid()) history_.RemoveStart(edit.added);
  if (edit.moved) history_.AddStart(edit.moved->date, edit.moved->source);
  edit.added = QDate();
  edit.moved.reset();

  if (to > edit.origin) {
    const auto pickerStartAt = [this](const QDate& d) {
      for (const PeriodStart& s : history_.Starts())
        if (s.date == d) return s.source == PeriodSource::Picker;
      return false;
    };
    if (pickerStartAt(edit.origin) && edit.origin.daysTo(to) < kSamePeriodDays) {
      edit.moved = PeriodStart{edit.origin, PeriodSource::Picker};
      history_.RemoveStart(edit.origin);
    }
    const QDate near = history_.StartNear(to, kSamePeriodDays - 1);
    if (!near.isValid() && history_.AddStart(to, PeriodSource::Picker)) edit.added = to;
  }

  if (history_.Lines() == before) {
    picker_ = edit;
    return true;
  }
  if (!Write(before, error)) return false;
  picker_ = edit;
  return true;
}

void CycleRecordStore::PickerEditFinished() { picker_.reset(); }

void CycleRecordStore::UpdateDays(const std::function<void(DaySignsList*)>& edit) {
  if (!daysLoaded_) {
    // Nothing read yet: the first question reads the files, which hold the change.
    return;
  }
  edit(&days_);
  Rebuilt();
}

void CycleRecordStore::Reload() {
  historyLoaded_ = false;
  daysLoaded_ = false;
  stale_ = true;
  undo_.reset();
  picker_.reset();
  emit changed();
}
