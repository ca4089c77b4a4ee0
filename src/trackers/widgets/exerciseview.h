#pragma once
// The exercise tracker: one workout per day (time, intensity, calories with an
// estimate, ticked activities, a workout text, distances and a note), the calories of
// the last days in a bar chart, and week, month and year totals. Records and arithmetic
// live in ExerciseLog (exerciselog.h); this class shows them and forwards edits.

#include <QDate>
#include <QSet>
#include <QStringList>
#include <QWidget>
#include <optional>

#include "app/dateview.h"
#include "trackers/exerciselog.h"

class QBarCategoryAxis;
class QBarSet;
class QChartView;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QValueAxis;

class ExerciseView : public QWidget, public DateView {
  Q_OBJECT
 public:
  explicit ExerciseView(ViewHost* host, QWidget* parent = nullptr);
  ~ExerciseView() override;

  // DateView
  void ShowDate(const QDate& date) override;
  bool HasLoaded() const override { return loaded_; }
  DayMarkPicture MarkPicture() const override { return DayMarkPicture::Arrow; }
  bool IsDayMarked(const QDate& date) const override;
  void StartView(const QDate&) override { LoadActivities(); }
  // Writes the shown day when something typed is not written yet.
  void SaveOnLeave() override;

  // The activity list: the user's activity.txt, the program's, or the built-in items.
  void LoadActivities();
  bool SaveActivities();

  // Loads the year grid (or starts the year empty). False with the message when the
  // year file cannot be read; that file is then never replaced.
  bool OpenYear(int year, QString* error = nullptr);
  // Writes the shown day's row into the year file and its note. Nothing before the
  // first day is shown, or while a day is being put into the form. False when a file
  // could not be written (the user has been told).
  bool SaveDay();
  // The intensity texts, the workout text from the ticks (unless the user wrote her
  // own), SaveDay and the week chart.
  void RefreshWorkout();
  // While the estimate panel is shown: calories from time and intensity.
  void EstimateCalories();
  void ShowWeekChart();
  void ShowSummaries();

  const ExerciseLog& Log() const { return log_; }
  QDate ShownDate() const { return date_; }
  QStringList Activities() const;
  QStringList TickedActivities() const;

  // Handlers of the links, named after their controls.
  void Label26Click();    // "Estimate"
  void Label28Click();    // "done"
  void UserSaveClick();   // "save"
  void UserClearClick();  // "clear"
  void Label12Click();    // "Add"
  void Label13Click();    // "Delete"
  void Label2Click();     // "Clear"

  // "Estimate from activities": MET x body weight x hours for the ticked activities,
  // shown beside the calories (the estimate from intensity stays as it is). The weight
  // is the weight tracker's latest on or before the shown day; without one she is asked
  // for it (kept for this run, never written). "use" puts the figure into the calories.
  void ActivityEstimateClick();
  void UseActivityEstimateClick();
  // The figure of the last estimate; -1 when there is none.
  int ActivityEstimateCalories() const { return activityCalories_; }
  QString ActivityEstimateShown() const;

  // The report (exercise.html in the Build folder) of the shown day and the totals; the
  // page's path, or empty when it could not be written (she has been told).
  QString WriteReport();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildLogPage();
  QWidget* BuildActivitiesPage();
  QWidget* BuildCaloriesPage();
  QWidget* BuildCardioPage();
  QWidget* BuildActivityEstimateRow(QWidget* page);
  // Recomputes the shown estimate (after a change of time, ticks or day), asking for a
  // weight only when `ask`.
  void UpdateActivityEstimate(bool ask = false);
  // Her weight in kg for the estimate and the day it was weighed (invalid when she gave
  // it); nothing when there is none and she was not asked or gave none.
  std::optional<std::pair<double, QDate>> EstimateWeight(bool ask);
  void FillActivityList(const QStringList& items);
  void TickActivities(const QStringList& names);
  // Puts a stored day into the form, in the units the settings show.
  void FillForm(const WorkoutDay& day);
  // The record to store: what the fields hold, except that a field she has not changed
  // keeps its stored value (a text that is not a number stays as it is; distances stay
  // exact and in their unit unless one of them was changed).
  WorkoutDay FormDay() const;
  // The fields as they stand, distances in the shown units.
  WorkoutDay FieldValues() const;
  void ShowUnits();
  void RefreshIntensityTexts();
  void ToggleEstimatePanel();
  void TimeChanged();       // hours, minutes, intensity
  void DistanceChanged();   // the four distances and the workout text
  void NoteChanged();
  bool SaveNote(QStringList* errors);
  bool SaveDayReporting(bool always);
  QString NoteRefusal() const;
  // Automatic saves show each failure once until a save works again; an explicit save
  // always shows it.
  void Report(const QStringList& errors, bool always);

  ViewHost* host_;
  ExerciseLog log_;
  QDate date_;
  int row_ = 0;
  bool loading_ = false;  // a day is being put into the form: nothing saves
  bool loaded_ = false;   // a day has been shown
  bool pending_ = false;  // an edit is not written yet (or its write failed)
  QString notePath_;
  QStringList notOnList_;  // the shown day's activities that the list does not offer
  QString madeFromTicks_;  // the workout text the ticks last made
  QSet<QString> reported_;
  UnitSystem units_ = UnitSystem::Imperial;  // the system the distance fields show
  WorkoutDay storedDay_;  // the shown day as read
  WorkoutDay shownDay_;   // the same in the shown units, exactly
  WorkoutDay filled_;     // the fields as FillForm left them

  QLabel* lblDate_ = nullptr;
  QTabWidget* pg_ = nullptr;
  QSpinBox* hours_ = nullptr;
  QSpinBox* minutes_ = nullptr;
  QSpinBox* calories_ = nullptr;
  QPlainTextEdit* note_ = nullptr;
  QFrame* estimatePanel_ = nullptr;
  QSlider* intensity_ = nullptr;
  QLabel* lblIntensity_ = nullptr;
  QLabel* lblLike_ = nullptr;
  QPushButton* estimate_ = nullptr;
  QDoubleSpinBox* run_ = nullptr;
  QDoubleSpinBox* bike_ = nullptr;
  QSpinBox* swim_ = nullptr;
  QSpinBox* climb_ = nullptr;
  QLabel* runUnit_ = nullptr;
  QLabel* bikeUnit_ = nullptr;
  QLabel* swimUnit_ = nullptr;
  QLabel* climbUnit_ = nullptr;
  QLineEdit* workout_ = nullptr;
  QListWidget* activities_ = nullptr;
  QChartView* chartView_ = nullptr;
  QBarSet* bars_ = nullptr;
  QBarCategoryAxis* chartX_ = nullptr;
  QValueAxis* chartY_ = nullptr;
  QTableWidget* gridCalories_ = nullptr;
  QTableWidget* gridFacts_ = nullptr;

  QPushButton* activityEstimate_ = nullptr;
  QLabel* lblActivityEstimate_ = nullptr;
  QPushButton* useEstimate_ = nullptr;
  bool activityEstimateShown_ = false;
  int activityCalories_ = -1;
  std::optional<double> givenKg_;  // the weight she typed for the estimate, this run
};
