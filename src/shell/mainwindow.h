#pragma once
// The main window: menu bar, header strip with the date bar and the feature icons, the
// page area that shows one view at a time, and the footer with the cycle settings and
// the colour legend. It holds the one selected date and hands it to the view on screen.
// It knows the views only through the table of views and the view interface.

#include <QDate>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>

#include "app/config.h"
#include "app/dateview.h"
#include "app/datafolders.h"
#include "app/widgets/recordsdialogs.h"

class FooterBar;
class QDateEdit;
class QLabel;
class QMenu;
class QStackedWidget;
class QSystemTrayIcon;
class QTimer;
class QAction;
class CycleRecordStore;
class DesktopNotifier;
struct ViewEntry;

// Tests: whether the desktop has a system tray (nullopt: ask the desktop).
void SetSystemTrayAvailable(std::optional<bool> available);

class MainWindow : public QMainWindow, public ViewHost {
  Q_OBJECT
 public:
  // The creation handler: builds the folder tree under programFolder's data root,
  // applies the saved theme, reads brand.ini and shows the tray icon. With autoStart the
  // start-up routine runs as soon as the window has been shown and painted (show it
  // with ShowAndStart); without, tests call Startup() themselves.
  explicit MainWindow(const QString& programFolder, bool autoStart = true, QWidget* parent = nullptr);
  ~MainWindow() override;

  // ViewHost
  QDate SelectedDate() const override;
  void SetSelectedDate(const QDate& date) override;
  QString CurrentViewName() const override { return viewName_; }
  const CycleSettings& Cycle() const override;
  Config& Settings() override { return *config_; }
  const DataFolders& Dir() const override { return *dir_; }
  DateView* CurrentView() const override { return views_.value(viewName_); }
  void DayMarksChanged() override;
  void GridDayChosen(const QDate& date) override;
  void GoToday() override;
  bool HasWeeklyPlanner() const override;
  void OpenWeeklyPlanner() override;
  std::optional<int> BurnedCaloriesOn(const QDate& date) const override;
  CycleRecordStore* CycleRecords() override { return cycleRecords_.get(); }
  void ApplyCycleSettings(int cycleLength, int lutealLength) override;
  void RaiseView(DateView* view) override;
  AlarmNotifier* Notifier() override;

  // The start-up routine: the settings, the first start's welcome, then the views.
  void Startup();
  // Centres the empty window, shows it, and lets the start-up routine fill it.
  void ShowAndStart() {
    CentreOnScreen();
    show();
  }
  bool Started() const { return started_; }
  void ShowView(const QString& name) override;
  void DispatchDate(const QDate& date);
  // Theme name to the settings, session-start entry, application.ini, and what every
  // view still holds unwritten.
  void ExitSequence();
  void ApplyThemeByName(const QString& name);
  QString CurrentTheme() const { return theme_; }

  DateView* View(const QString& name) const { return views_.value(name); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CentreOnScreen();
  // The weekly planner program: program folder + Calendar/Calendar.
  QString PlannerProgram() const;
  void BuildMenus();
  void BuildViewMenu(QMenu* menu);
  // A header icon or View menu entry: the view, on the page its icon opens.
  void OpenFeature(const ViewEntry& entry);
  // The View menu and its shortcuts: the view, with the focus in its first input.
  void OpenFromKeyboard(const ViewEntry& entry);
  void BuildHeader(QWidget* header);
  // The pages of pgMain and ui_pg with the panels the table names.
  QWidget* BuildPages();
  // Makes, docks and starts every view of the table, then goes to today.
  void StartViews();
  void LayoutIcons();
  void LoadFooterFromConfig();
  void MarkLastPeriodUnreadable(bool unreadable);
  // The cycle settings changed: every view repaints its cycle colours.
  void RefreshCycleCharts();
  // The view title of the current view: its own, or the selected day.
  void ShowTitle();
  void ShowAbout();
  // What the view on screen and every other view still hold unwritten.
  void SaveEveryView();
  // Every view goes (its side part too); StartViews makes them again.
  void DropViews();
  // File > Restore... and File > Import...: the folder is changed and every view reads
  // it again (ReloadHooks: what is typed is written and the views dropped before, the
  // views made again after).
  void RestoreRecords();
  void ImportRecords();
  RestoreHooks ReloadHooks();
  void ShowSettings();
  // Tools > Report for my doctor...
  void ShowDoctorReport();
  void OnGoalChanged();
  void OnLastPeriodChanged();
  void OnCycleSpin();
  void OnPickerChanged(const QDate& date);
  // Her cycle records, shared by the views that read them (made before the views).
  void MakeCycleRecords();
  // The "Last Period" picker moved from one date to another: forward records a start.
  void RecordPickerStart(const QDate& from, const QDate& to);
  DateView* DockView(const ViewEntry& entry, QWidget* view);

  std::unique_ptr<DataFolders> dir_;
  std::unique_ptr<Config> config_;
  QString viewName_ = QStringLiteral("calendar");
  QString theme_;
  bool started_ = false;
  bool autoStartup_ = true;
  bool exited_ = false;
  bool settingPicker_ = false;
  quint64 dispatches_ = 0;  // DispatchDate calls, so that GoToday dispatches once

  QTimer* startupTimer_ = nullptr;
  QTimer* plannerTimer_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
  // The alarms' desktop notices; the tray's balloon where the desktop shows none.
  DesktopNotifier* notifier_ = nullptr;
  QAction* startWithWindows_ = nullptr;

  // header
  QWidget* header_ = nullptr;
  QWidget* dateBar_ = nullptr;
  QDateEdit* datePicker_ = nullptr;
  QLabel* title_ = nullptr;
  struct Icon {
    QString name;
    QLabel* picture = nullptr;
    QLabel* caption = nullptr;
  };
  QList<Icon> icons_;
  // pages
  QStackedWidget* pgMain_ = nullptr;
  QStackedWidget* uiPg_ = nullptr;
  QWidget* forumNav_ = nullptr;
  QHash<QString, QWidget*> panels_;
  // The captions of the pages that show the selected day's long date over their panel.
  QList<QLabel*> dayCaptions_;
  // footer
  FooterBar* footer_ = nullptr;

  QHash<QString, DateView*> views_;
  std::unique_ptr<CycleRecordStore> cycleRecords_;
};
