#pragma once
// "Period started on this day" and its undo, as two actions that the month grid and the
// basal chart share: each view says which day they act on, puts them in its context
// menu and on its keyboard (P and Ctrl+Z where the day has the focus), and the actions
// write the history through the shared records (cycle/cyclerecordstore.h).
//
// On a day that is a recorded start the first action removes it instead. A start fewer
// than kSamePeriodDays from another one is most likely the same period told twice: she
// is asked before it is recorded.

#include <QDate>
#include <QObject>
#include <functional>

class QAction;
class QWidget;
class ViewHost;

class PeriodActions : public QObject {
  Q_OBJECT
 public:
  // day: the day the actions act on, asked when they run and when Update is called.
  PeriodActions(ViewHost* host, std::function<QDate()> day, QWidget* parent);

  QAction* Start() const { return start_; }
  QAction* Undo() const { return undo_; }
  // Adds both to a widget with their shortcuts working while it has the focus.
  void AddTo(QWidget* widget);
  // Texts and enabled states for the day now.
  void Update();

  // What the actions do, for the views' own links.
  void ToggleStart();
  void UndoLast();

 signals:
  // A start was recorded, removed or put back.
  void done();

 private:
  ViewHost* host_;
  std::function<QDate()> day_;
  QWidget* parent_;
  QAction* start_;
  QAction* undo_;
};
