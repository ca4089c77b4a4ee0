#pragma once
// What the main window asks of every feature view, so that the month grid, ShowView
// and DispatchDate need no special case per view; and what a view may ask of the main
// window. Neither side knows widgets here.

#include <QDate>
#include <QString>

class Config;
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
  // Repaint the date strips that carry cycle colours.
  virtual void RefreshCharts() {}
  // Start-up, once, right after the view is docked and before its first ShowDate (when
  // it gets one): a view that loads lists or opens tables at start does it here.
  virtual void StartView(const QDate& /*firstDate*/) {}
  // The view is left for another one, or the program ends: write what was typed and is
  // not written yet. Views that write on every edit need nothing here.
  virtual void SaveOnLeave() {}
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
  // A save added or removed a day's record: the month grid redraws its marks.
  virtual void DayMarksChanged() {}
};
