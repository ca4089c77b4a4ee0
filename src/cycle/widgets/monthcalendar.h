#pragma once
// The month grid of the calendar page: one month in 7 x 7 cells (weekday names on
// top), each day in its cycle colour, the selected day drawn large, and small marks for
// the user's goal (calendar and basal views) or for the days that hold data in the
// tracker view on screen.

#include <QDate>
#include <QImage>
#include <QWidget>
#include <functional>

class DateView;
class ViewHost;

class MonthCalendar : public QWidget {
  Q_OBJECT

 public:
  // The tracker view on screen, asked at paint time which days to mark; may return null.
  using CurrentViewFn = std::function<DateView*()>;
  // Whether a period is expected on a day from her own history (asked at paint time).
  using PredictedFn = std::function<bool(const QDate&)>;

  // Starts on day 1 of the month of host->SelectedDate() (today when that is not a
  // valid date). The host must outlive the grid.
  explicit MonthCalendar(ViewHost* host, CurrentViewFn currentView = {},
                       QWidget* parent = nullptr);

  QDate Date() const { return date_; }
  // Shows the month of date with that day selected and repaints; dateChanged fires once
  // when the date differs from the one shown. An invalid date is ignored.
  void MoveToDate(const QDate& date);
  // Paints every cell again (cycle settings, goal, view or tracker data changed).
  void Repaint() { update(); }

  // The grid as it is on screen, at the widget's size in pixels (calendar.jpg).
  QImage RenderImage();

  // The rectangle of cell (col, row) in widget coordinates; row 0 is the header.
  QRect CellRect(int col, int row) const;
  // The cell of a day of the month shown; an empty rectangle for another month.
  QRect DayRect(const QDate& date) const;

  // The frame around the days of a predicted period, beside the cycle colours and goal
  // marks (the pages that show the goal marks draw it too; the report picture does not).
  void SetPredictedDays(PredictedFn predicted);
  // Whether the grid on screen frames the day as a predicted period day.
  bool FramesPredicted(const QDate& date) const;

  QSize sizeHint() const override { return QSize(328, 272); }

 signals:
  // The selected date changed, by a click, a key or MoveToDate.
  void dateChanged(const QDate& date);
  // A double click anywhere on the grid (the weekly planner).
  void doubleClicked();
  // The context menu of a day (a right click selects the day first; the menu key or
  // Shift+F10 asks for the selected day), at globalPos.
  void dayMenuRequested(const QDate& date, const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void SelectDate(const QDate& date);
  bool ShowsGoalMarks() const;

  ViewHost* host_;
  CurrentViewFn currentView_;
  PredictedFn predicted_;
  QDate date_;
  bool rendering_ = false;
};
