#pragma once
// The weight view: today's weight, the month's goal with a diet plan, the year's
// weight history and the body-mass index. The records and arithmetic live in
// WeightModel, weightplan.h and bmi.h; this class shows them and forwards edits.

#include <QString>
#include <QWidget>
#include <optional>

#include "app/dateview.h"
#include "trackers/weightmodel.h"

class QAreaSeries;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QTabWidget;
class QValueAxis;

class WeightView : public QWidget, public DateView {
  Q_OBJECT
 public:
  explicit WeightView(ViewHost* host, QWidget* parent = nullptr);
  ~WeightView() override;

  // DateView
  void ShowDate(const QDate& date) override;
  void SaveBeforeDateChange() override { SaveWeight(); }
  bool HasLoaded() const override { return shown_; }
  DayMarkPicture MarkPicture() const override { return DayMarkPicture::Arrow; }
  bool IsDayMarked(const QDate& date) const override;

  // Stores the shown day's weight and the month's goal in their files, and the height
  // field in the configuration. Nothing before the first ShowDate. False when a file
  // could not be written (the user has been told).
  bool SaveWeight();
  void ShowHistory();
  void ShowPlan();
  void ShowGoalMessage();
  void ShowBMI();

  const WeightModel& Model() const { return model_; }

 private:
  void BuildHeader(QWidget* box);
  QWidget* BuildTargetTab();
  QWidget* BuildHistoryTab();
  QWidget* BuildBmiTab();
  void PlaceArrow(const QPoint& point);

  // Edit handlers.
  void Weight_TodayChange();
  void Weight_TodayExit();
  void WEight_GoalChange();
  void days_dietChange();
  void days_dietExit();
  void BMI_HeightExit();
  void pgChange(int index);
  void save_weightClick();
  void UserClearClick();
  void SpeedButton1Click();
  void Button1Click();

  double WeightValue() const;  // 0 when the field is not a number
  double GoalValue() const;
  int DaysValue() const;       // 0 while empty
  bool Imperial() const;       // pounds and inches, as the fields show them
  void SetGoalText(double goal);
  // What a save stores: the fields she changed since the day was shown (or asked to
  // save); nothing for a field that still shows a stored value that is not a number.
  std::optional<double> WeightToSave() const;
  std::optional<double> GoalToSave() const;
  // A field over a stored value that is not a number: empty, marked "unreadable", the
  // stored text in its tooltip. An empty text clears the mark.
  static void MarkUnreadable(QLineEdit* field, const QString& what, const QString& stored);
  // Automatic saves (each keystroke, leaving a field) report a failure once until a
  // save works again; an explicit save always reports it.
  bool SaveWeightReporting(bool always);
  void Report(const QString& errors, bool always);

  ViewHost* host_;
  WeightModel model_;
  bool shown_ = false;
  bool filling_ = false;  // ShowDate is filling the fields: no edit may save
  QString lastReported_;
  // The fields she changed since the shown day was filled in.
  bool weightEdited_ = false;
  bool goalEdited_ = false;
  bool heightEdited_ = false;
  // The shown day's stored weight / the month's goal is a text that is not a number.
  bool weightUnreadable_ = false;
  bool goalUnreadable_ = false;
  UnitSystem units_ = UnitSystem::Imperial;  // the system the fields show

  QLabel* title_ = nullptr;
  QLineEdit* weight_ = nullptr;
  QLabel* weightUnit1_ = nullptr;
  QTabWidget* pg_ = nullptr;

  QLineEdit* days_ = nullptr;
  QLineEdit* goal_ = nullptr;
  QLabel* weightUnit2_ = nullptr;
  QLabel* daysLeft_ = nullptr;
  QLabel* calories_ = nullptr;
  QLabel* targetCaption_ = nullptr;
  QChartView* targetView_ = nullptr;
  QAreaSeries* planArea_ = nullptr;
  QLineSeries* planLine_ = nullptr;
  QLineSeries* reference_ = nullptr;
  QDateTimeAxis* targetX_ = nullptr;
  QValueAxis* targetY_ = nullptr;

  QChartView* historyView_ = nullptr;
  QLineSeries* history_ = nullptr;
  QDateTimeAxis* historyX_ = nullptr;
  QValueAxis* historyY_ = nullptr;

  QLabel* bmiPicture_ = nullptr;
  QLabel* arrow_ = nullptr;
  QLabel* bmiIndex_ = nullptr;
  QLabel* bmiWarning_ = nullptr;
  QLineEdit* height_ = nullptr;
  QLabel* heightUnit_ = nullptr;
  bool pictureImperial_ = true;
};
