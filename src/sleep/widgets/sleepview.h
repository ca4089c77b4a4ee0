#pragma once
// The sleep view and the baby and kids view: one class, set up by a SleepSetup. A shelf
// on the left turns the pages: the alarm lists with their sounds and the sleep-cycle
// chart, the 33-day grid of half-hour slots, the weekday chart and the day note. Records
// live in SleepLog, AlarmList and AlarmClock; this class shows them, forwards the user's
// clicks and writes after each change.

#include <QDate>
#include <QHash>
#include <QSet>
#include <QWidget>

#include "app/dateview.h"
#include "sleep/alarmclock.h"
#include "sleep/alarmlist.h"
#include "sleep/sleeplog.h"
#include "sleep/sleepsetup.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class SleepGrid;
class SoundPlayer;

class SleepView : public QWidget, public DateView {
  Q_OBJECT

 public:
  SleepView(ViewHost* host, const SleepSetup& setup, QWidget* parent = nullptr);
  ~SleepView() override;

  // DateView
  void ShowDate(const QDate& date) override;
  bool HasLoaded() const override { return initialised_; }
  void RefreshCharts() override;
  void SaveOnLeave() override;
  void ShowPage(int page) override;
  void StopAlarm() override { Alarm_StopButtonClick(); }
  QSize sizeHint() const override;

  const SleepSetup& Setup() const { return setup_; }
  QDate SelectedDate() const { return selected_; }
  const SleepLog& Log() const { return log_; }
  const AlarmList& BedTimes() const { return bedList_; }
  const AlarmList& SecondList() const { return secondList_; }
  const AlarmClock& AlarmState() const { return clock_; }
  // The caption of the page in front.
  QString CurrentPage() const;
  QString NotePath() const { return notePath_; }
  // The report (sleep.html or kids.html in the Build folder): the grid of the 33 days and
  // each day's hours; the page's path, or empty when it could not be written (she has
  // been told).
  QString WriteReport();

  // Shows the page with this caption (nothing for a caption no page has); the weekday
  // chart is redrawn when it is the graph page.
  void ShowPage(const QString& caption);

  // The alarm clock's tick: the view's timer runs it every 59 seconds; it reads the time
  // from Clock::Now.
  void ClockTimer();

  // Event handlers (also driven by tests).
  // Space or Enter on a slot: it turns over, and the log is written.
  void Sleep_ChartSelectCell(int col, int row);
  void Button3Click() { AddEntry(bedList_, bedListView_); }
  void Button4Click() { DeleteEntry(bedList_, bedListView_); }
  void Button5Click() { AddEntry(secondList_, secondListView_); }
  void Button6Click() { DeleteEntry(secondList_, secondListView_); }
  void Bed_PlayClick();
  void wakeup_playClick();
  void Alarm_StopButtonClick();
  void Alarm_SnoozeButtonClick();
  void NoteExit() { SaveDayNote(); }

 private:
  void BuildFrame();
  void BuildGoToBedPage(QWidget* page);
  void BuildTrackPage(QWidget* page);
  void BuildGraphPage(QWidget* page);
  void BuildNotePage(QWidget* page);
  void BuildSecondListPage(QWidget* page);
  QTreeWidget* MakeAlarmList(QWidget* page, const QString& name, const QString& column);

  void OpenYear(const QDate& date);
  void BuildWindow();
  void ShowDayFigures();
  // Marks a slot and shows it; false (told) when its year may not be written.
  bool MarkSlot(int col, int row, bool asleep);
  // After slots were marked: the log is written, the day's note and date strip follow.
  void SlotsMarked();
  // A mouse stroke over the slots: the press turns its slot over, every slot passed
  // takes that same state, and the release writes the log once.
  void PaintStarted(int col, int row);
  void PaintEntered(int col, int row);
  void PaintFinished();
  void SaveSleepState();
  void ReportErrors(const QStringList& errors);

  void LoadDayNote(const QDate& date);
  // Writes the note when it was changed. `quiet`: a failure is only remembered (the typing
  // pause save), to be reported at the next save that the user makes happen.
  bool SaveDayNote(bool quiet = false);
  void SaveUnsavedNotes();

  void ShowWeekdayChart(const QDate& date);
  void ShowBedTimeCycle();
  void DrawSleepCycle(const QDateTime& bedTime);
  void ClearSleepCycle();

  void LoadLists();
  void FillList(const AlarmList& list, QTreeWidget* view);
  void FillListItems(const AlarmList& list, QTreeWidget* view);
  void AddEntry(AlarmList& list, QTreeWidget* view);
  void DeleteEntry(AlarmList& list, QTreeWidget* view);
  void SaveList(AlarmList& list);
  void ListItemChanged(AlarmList& list, QTreeWidget* view, QTreeWidgetItem* item);
  void SelectSounds();
  QString SoundPath(const QString& file) const;
  QString AlarmSoundPath(int list) const;
  void RingDueSnooze();
  // An alarm of a list rang (or its snooze did): the window and its page come to the front,
  // the desktop shows its notice, and the page says when it cannot be heard.
  void AlarmRang(int list, const QString& caption, bool snoozed);
  void WithdrawNotice();

  void PaintSlotCell(QPainter& p, const QRect& rect, int col, int row) const;
  void PaintDateCell(QPainter& p, const QRect& rect, int col, int row) const;
  void PaintTimeCell(QPainter& p, const QRect& rect, int col, int row) const;

  bool eventFilter(QObject* watched, QEvent* event) override;

  ViewHost* host_;
  SleepSetup setup_;
  SoundPlayer& player_;
  SleepLog log_;
  AlarmList bedList_;
  AlarmList secondList_;
  AlarmClock clock_;

  bool initialised_ = false;
  QDate selected_;
  QString notePath_;
  // Notes whose write failed, by path: shown again when their day is opened and written
  // at the next save, so nothing typed is lost.
  QHash<QString, QString> unsavedNotes_;
  // The failures of saving the log and the lists that the user has been told of.
  QSet<QString> unsavedReported_;
  bool loadingNote_ = false;
  bool painting_ = false;      // a stroke is on and may still mark
  bool paintAsleep_ = false;   // what it marks
  bool paintMarked_ = false;   // it marked something, to be written at its end

  QListWidget* shelf_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  SleepGrid* sleepChart_ = nullptr;
  SleepGrid* dateChart_ = nullptr;
  SleepGrid* timeChart_ = nullptr;
  QLabel* sleep7_ = nullptr;
  QLabel* sleepLabel_ = nullptr;
  QLabel* dateLabel_ = nullptr;
  QLabel* rangeLabel_ = nullptr;
  QPlainTextEdit* note_ = nullptr;
  QChartView* weekChart_ = nullptr;
  QChartView* cycleGraph_ = nullptr;
  QTreeWidget* bedListView_ = nullptr;
  QTreeWidget* secondListView_ = nullptr;
  QComboBox* bedSound_ = nullptr;
  QComboBox* secondSound_ = nullptr;
  QLabel* cycleCaption_ = nullptr;
  // "No sound can play" on the bed-time page and on the second list's page.
  QLabel* bedNoSound_ = nullptr;
  QLabel* secondNoSound_ = nullptr;
  // The list whose alarm rang last and its caption: a snooze rings it again.
  int ringingList_ = -1;
  QString ringingCaption_;
  QTimer* clockTimer_ = nullptr;
  QTimer* snoozeTimer_ = nullptr;
  QTimer* noteTimer_ = nullptr;
};
