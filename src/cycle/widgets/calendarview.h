#pragma once
// The calendar: the month grid with its month label and the "today" and "Open" links
// (the side part, beside every page of the calendar's outer page), and the day panel:
// the day's advice with its colour tile, the due date and zodiac sign of a baby
// conceived that day, the pregnancy-probability chart and the calendar report links.
// The grid marks the goal's days in the calendar and the days that hold data in the
// view on screen; a change of its day reaches the main window, which hands it on.
// Beside the settings-driven advice, the day panel says what her own records give: the
// next period expected from her history (framed on the grid) and the day's status read
// from her signs; a day's context menu (or P on the grid) records a period start.

#include <QDate>
#include <QWidget>

#include "app/dateview.h"

class QLabel;
class QMenu;
class QPlainTextEdit;
class CycleRecordStore;
class CycleReading;
class LinkLabel;
class MonthCalendar;
class PeriodActions;
class ProbabilityChart;

class CalendarView : public QWidget, public DateView {
  Q_OBJECT
 public:
  explicit CalendarView(ViewHost* host, QWidget* parent = nullptr);

  // DateView
  // The month label and the grid go to the date; the day panel and the chart follow.
  void ShowDate(const QDate& date) override;
  void StartView(const QDate& firstDate) override;
  void RefreshCharts() override;
  void RepaintMarks() override;
  QWidget* SideWidget() override { return side_; }
  // The month grid takes the arrow keys.
  QWidget* FirstInput() override;

  MonthCalendar* Grid() const { return grid_; }
  PeriodActions* Actions() const { return actions_; }
  // Writes calendar.jpg, chart.jpg, legend.jpg and calendar.html into the Build folder;
  // false after an error box.
  bool WriteCalendarReport();

 private:
  QWidget* BuildSide();
  void BuildDayPanel();
  // The grid's day changed: the day panel shows it, then the main window hears of it.
  void OnGridDay(const QDate& date);
  // The advice tile, advice and birth date of the day in the day panel, for the settings
  // on screen.
  void FillAdvice();
  void RefreshChart();
  // The day panel's lines from her own records, for the day it shows.
  void FillRecords();
  // Her records changed (a period action, a basal save): the frames and the lines follow.
  void OnRecordsChanged();
  void ShowDayMenu(const QDate& date, const QPoint& globalPos);
  // Null without shared records. tellErrors: a file that could not be read is said.
  const CycleReading* Reading(bool tellErrors = true);

  ViewHost* host_;
  QWidget* side_ = nullptr;
  QLabel* monthLabel_ = nullptr;
  MonthCalendar* grid_ = nullptr;
  QLabel* dayCaption_ = nullptr;
  QWidget* adviseTile_ = nullptr;
  QPlainTextEdit* advise_ = nullptr;
  QPlainTextEdit* birthday_ = nullptr;
  ProbabilityChart* chart_ = nullptr;
  QPlainTextEdit* records_ = nullptr;
  LinkLabel* startLink_ = nullptr;
  LinkLabel* undoLink_ = nullptr;
  PeriodActions* actions_ = nullptr;
  QMenu* dayMenu_ = nullptr;
  QDate panelDate_;  // the day the day panel shows
};
