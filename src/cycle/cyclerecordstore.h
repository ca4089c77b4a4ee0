#pragma once
// Her cycle records as the views share them: the period history (Cycle/Periods.txt), the
// day signs of her basal files and the reading built from both. The files are read once,
// on the first question; the reading is rebuilt only when something it rests on changes
// (a period action here, a basal save handed over with UpdateDays, another temperature
// unit, a new day), never on a change of the selected date. changed() tells the views.
//
// The period actions write the whole history file through the file layer before they
// count: a failed write leaves the history as it was and says why.

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "cycle/cyclereading.h"
#include "cycle/periodhistory.h"

class CycleRecordStore : public QObject {
  Q_OBJECT
 public:
  // Reads her day signs in a unit (the basal files); false when a file could not be read,
  // with its message in *errors (the days of the rest are still given).
  using DaysReader =
      std::function<bool(TemperatureUnit unit, DaySignsList* days, QStringList* errors)>;

  CycleRecordStore(const QString& historyPath, DaysReader readDays, QObject* parent = nullptr);

  // The reading for today (Clock::Today) in her unit, built when first asked and again
  // after a change.
  const CycleReading& Reading(TemperatureUnit unit);
  const PeriodHistory& History();
  // The messages of files that could not be read since the last call (each read once).
  QStringList TakeErrors();
  // How often the basal files were read (the benchmark and the tests watch it).
  int DayReads() const { return dayReads_; }

  // --- Period actions. Each writes Periods.txt whole; false with *error (nothing changed).
  // A start recorded on a day (month grid, basal chart): the undo takes it back.
  bool AddDayStart(const QDate& date, QString* error);
  // Removes the recorded start of a day (the undo puts it back).
  bool RemoveStart(const QDate& date, QString* error);
  // Takes back the last AddDayStart or RemoveStart; false when there is nothing to undo.
  bool CanUndo() const { return undo_.has_value(); }
  QString UndoText() const;  // "Undo: period start on 5 March"
  bool Undo(QString* error);

  bool AddPause(const CyclePause& pause, QString* error);
  bool RemovePause(const QDate& first, QString* error);

  // The footer's "Last Period" picker. Moved forward it records a start (source
  // "picker"), one per edit: while an edit goes on (arrow keys step through the days)
  // each move takes back what the edit recorded before, so only its last date counts,
  // and a move back to or before where the edit began records nothing. A start that
  // the picker itself recorded on the day the edit began, fewer than kSamePeriodDays
  // before the new date, was the same period set a little early: it moves. A start
  // recorded otherwise near the new date is left alone, and no second one is added.
  bool PickerMoved(const QDate& from, const QDate& to, QString* error);
  // The edit ends (the picker lost the focus, or Enter).
  void PickerEditFinished();

  // The basal view changed days (a save, a "P" day): it edits the held days (for example
  // with ReplaceBasalYear) and the reading is rebuilt from them without reading files.
  void UpdateDays(const std::function<void(DaySignsList*)>& edit);
  // Everything is read again on the next question (after a restore or an import).
  void Reload();

 signals:
  // The reading has changed: what shows it repaints.
  void changed();

 private:
  void EnsureHistory();
  void EnsureLoaded(TemperatureUnit unit);
  // Writes the history; on failure puts back the lines it had.
  bool Write(const QStringList& before, QString* error);
  void Rebuilt();

  QString path_;
  DaysReader readDays_;
  PeriodHistory history_;
  DaySignsList days_;
  CycleReading reading_;
  QStringList errors_;
  bool historyLoaded_ = false;
  bool daysLoaded_ = false;
  bool stale_ = true;
  TemperatureUnit unit_ = TemperatureUnit::Fahrenheit;
  QDate builtFor_;
  int dayReads_ = 0;

  struct UndoStep {
    QDate date;
    bool added = true;  // the action added the start (the undo removes it)
    PeriodSource source = PeriodSource::DayAction;
  };
  std::optional<UndoStep> undo_;

  struct PickerEdit {
    QDate origin;             // the picker's date when the edit began
    QDate added;              // the start this edit recorded
    std::optional<PeriodStart> moved;  // the picker's start it moved away
  };
  std::optional<PickerEdit> picker_;
};
