#pragma once
// What the main window asks of every view, so that ShowView, DispatchDate and the
// footer need no special case per view; and what a view may ask of the main window.

#include <QDate>
#include <QString>
#include <optional>

class QWidget;

class AlarmNotifier;
class Config;
class CycleRecordStore;  // cycle/cyclerecordstore.h: her period history and signs, shared
class DataFolders;
struct CycleSettings;

// The picture the month grid draws on a day that holds data in the view on screen.
enum class DayMarkPicture { None, Berry, Arrow };

class DateView {
 public:
  virtual ~DateView() = default;
  // The main window's date reaches the view.
  virtual void ShowDate(const QDate& date) = 0;
  // Called just before ShowDate when the date changes or the view is switched to
  // (to-do SaveList, weight SaveWeight). Not before the first ShowDate.
  virtual void SaveBeforeDateChange() {}
  // Whether the view has loaded its records (shown at least once).
  virtual bool HasLoaded() const { return true; }
  // Which picture marks the days that hold data, and whether a date is such a day.
  virtual DayMarkPicture MarkPicture() const { return DayMarkPicture::None; }
  virtual bool IsDayMarked(const QDate&) const { return false; }
  // Repaint what carries cycle colours (date strips, the month grid, the day panel): the
  // cycle settings changed.
  virtual void RefreshCharts() {}
  // The days to mark changed: another view is on screen, or a save added or removed a
  // day's record. The view that draws the marks repaints them.
  virtual void RepaintMarks() {}
  // The month grid moved to another day (a click on it, or the grid following the date
  // bar). Views that hold a record of the grid's day (the journal's note) take it here,
  // on screen or not, before the date reaches the view on screen.
  virtual void GridDayChanged(const QDate& /*date*/) {}
  // A view that also draws beside the pages of its outer page (the calendar's month grid,
  // beside the day panel and the trackers of that page) gives that part here; the main
  // window docks it in the panel its table entry names as `side`.
  virtual QWidget* SideWidget() { return nullptr; }
  // Start-up, once, right after the view is docked and before its first ShowDate (when
  // it gets one): a view that loads lists or opens tables at start does it here.
  virtual void StartView(const QDate& /*firstDate*/) {}
  // Start-up, once, when every view has started: a view that opens the program's database
  // does it here.
  virtual void ProgramStarted() {}
  // The view is left for another one, or the program ends: write what was typed and is
  // not written yet. Views that write on every edit need nothing here.
  virtual void SaveOnLeave() {}
  // The control that takes the focus when the view is opened from the keyboard (Ctrl+1 ..
  // Ctrl+0); null: its first input in the tab order.
  virtual QWidget* FirstInput() { return nullptr; }
  // Some views open on one of their pages when their header icon is clicked.
  virtual void ShowPage(int /*page*/) {}
  // "Stop Alarm": a view with alarms stops its sound.
  virtual void StopAlarm() {}
};

class ViewHost {
 public:
  virtual ~ViewHost() = default;
  virtual QDate SelectedDate() const = 0;
  // Sets the date bar for display only: no view is told.
  virtual void SetSelectedDate(const QDate& date) = 0;
  virtual QString CurrentViewName() const = 0;
  virtual const CycleSettings& Cycle() const = 0;
  virtual Config& Settings() = 0;
  virtual const DataFolders& Dir() const = 0;
  // The view on screen (the one whose days the month grid marks); null before start-up.
  virtual DateView* CurrentView() const { return nullptr; }
  // A save added or removed a day's record: the month grid redraws its marks.
  virtual void DayMarksChanged() {}
  // The month grid's day changed: the date bar takes it and every view hears of it.
  virtual void GridDayChosen(const QDate& /*date*/) {}
  // The "today" link: the date bar goes to today.
  virtual void GoToday() {}
  // Another view on screen, by its name in the table of views.
  virtual void ShowView(const QString& /*name*/) {}
  // A ringing alarm: the window comes to the front (out of the tray, unminimised) with
  // this view on screen. The view then turns to the ringing page itself.
  virtual void RaiseView(DateView* /*view*/) {}
  // The desktop's alarm notices; null when the host has none.
  virtual AlarmNotifier* Notifier() { return nullptr; }
  // Whether the weekly planner program is there; without it nothing offers it.
  virtual bool HasWeeklyPlanner() const { return false; }
  // The "Open" link and a double click on a day: the weekly planner on the selected date.
  virtual void OpenWeeklyPlanner() {}
  // The calories burned on a day as the exercise tracker recorded them (the calorie
  // tracker shows them beside what she ate); nothing when none are recorded.
  virtual std::optional<int> BurnedCaloriesOn(const QDate& /*date*/) const {
    return std::nullopt;
  }
  // Her cycle records, read once and shared by the views that read them; null when the
  // host keeps none (the views then show nothing of them).
  virtual CycleRecordStore* CycleRecords() { return nullptr; }
  // Sets the footer's cycle length and luteal phase (0 keeps a value) as if she had
  // typed them: application.ini and every view follow.
  virtual void ApplyCycleSettings(int /*cycleLength*/, int /*lutealLength*/) {}
};
