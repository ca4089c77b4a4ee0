#pragma once
// The calorie tracker: what the user ate on the selected date, meal by meal, with the
// meal and day totals, where the day's energy came from, a nutrition-facts panel and the
// history of daily calories against the year's average. Foods are typed in, or picked
// from the food database or the user's food lists. The records and every figure live in
// MealDay; this class shows them and forwards edits.

#include <QDate>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>

#include "app/dateview.h"
#include "nutrition/mealday.h"

class CellGridModel;
class CellGridView;
class QBarSet;
class QBarCategoryAxis;
class QChartView;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QRadioButton;
class QScatterSeries;
class QTabWidget;
class QToolButton;
class QValueAxis;

class MealDiaryView : public QWidget, public DateView {
  Q_OBJECT
 public:
  // The pages of `pg`: the four meals, then Total, Today and History.
  enum Page { BreakfastPage, LunchPage, DinnerPage, SnackPage, TotalPage, TodayPage, HistoryPage };
  // Where a pick from the food database goes: a new first row (a search from the search
  // panel) or over the current row (Enter in a meal grid, Edit).
  enum class PickPlace { InsertTop, OverwriteCurrent };

  explicit MealDiaryView(ViewHost* host, QWidget* parent = nullptr);
  ~MealDiaryView() override;

  // DateView
  void ShowDate(const QDate& date) override;
  void SaveBeforeDateChange() override { SaveIfModified(); }
  bool HasLoaded() const override { return model_.Loaded(); }
  DayMarkPicture MarkPicture() const override { return DayMarkPicture::Berry; }
  bool IsDayMarked(const QDate& date) const override { return model_.IsDayMarked(date); }
  // Opened from the keyboard, she types a food to find.
  QWidget* FirstInput() override;
  void StartView(const QDate& firstDate) override;
  void SaveOnLeave() override { SaveIfModified(); }

  // Reads the viewed date's meals and the year's history and shows the Breakfast page.
  void LoadDay();
  // Recomputes, then writes the day's files and the year's history. A failure is
  // reported (once, for the saves the user did not ask for); false then.
  bool SaveDay();
  void RecomputeTotals();
  void ShowHistoryGraph(int days);
  void PickFromFoodDatabase(const QString& keyword, PickPlace place);
  void PickFromFoodLists(bool searchNow);

  const MealDay& Model() const { return model_; }
  // The report (calories.html in the Build folder) of the day; the page's path, or empty
  // when it could not be written (she has been told).
  QString WriteReport();
  // The calories burned on the viewed day as the exercise tracker recorded them, asked
  // of the main window when a day is loaded and when the Today page is shown.
  const std::optional<int>& Burned() const { return burned_; }
  // The meal (1..4) of the page shown, 0 on the other pages.
  int ShownMeal() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildMealPage(int meal);
  QWidget* BuildTotalPage();
  QWidget* BuildTodayPage();
  QWidget* BuildHistoryPage();
  QWidget* BuildHands();
  // The Today page's lines under the chart: burned in the workout, and the net.
  QWidget* BuildBalance(QWidget* page);
  void RefreshBurned();
  void ShowBalance();
  QWidget* BuildFridgePanel();

  void SaveIfModified();
  bool SaveDayReporting(bool always);
  void ShowTotals();
  void ReloadMealGrid(int meal);
  CellGridView* ShownGrid() const;
  // The search panel's keyword; its initial "Search" is not one.
  QString SearchKeyword() const;
  void MarksMayHaveChanged(bool before);

  // Event handlers.
  void pgChange(int index);
  void MealGridEnter(int meal);
  void MealGridEditFinished();
  void SpeedButton1Click();  // delete row
  void SpeedButton3Click();  // move up
  void SpeedButton4Click();  // move down
  void btnEditClick();
  void btnSaveClick();
  void btFridge_SearchClick();
  void Label3Click();
  int SelectedHistoryDays() const;

  ViewHost* host_;
  MealDay model_;
  QDate date_;  // the viewed date
  bool loading_ = false;
  QString lastReported_;

  QLabel* lblDate_ = nullptr;
  QTabWidget* pg_ = nullptr;
  QWidget* pnlHands_ = nullptr;
  QWidget* fridgePanel_ = nullptr;
  QLabel* tip_ = nullptr;
  std::array<CellGridModel*, kMealCount> mealModels_{};
  std::array<CellGridView*, kMealCount> mealGrids_{};
  std::array<QLabel*, kMealCount> mealLabels_{};
  CellGridModel* totalModel_ = nullptr;
  CellGridModel* sumModel_ = nullptr;
  QLineEdit* fridgeSearch_ = nullptr;

  QLabel* factCalories_ = nullptr;
  QLabel* factCarbs_ = nullptr;
  QLabel* factProtein_ = nullptr;
  QLabel* factFat_ = nullptr;
  QLabel* factFatCalories_ = nullptr;
  QLabel* factFatPercent_ = nullptr;
  QLabel* factCarbsPercent_ = nullptr;
  QLabel* factProteinPercent_ = nullptr;
  std::array<QBarSet*, kMealCount> sourceBars_{};
  QLabel* burnedLabel_ = nullptr;
  QLabel* netLabel_ = nullptr;
  std::optional<int> burned_;

  QChartView* historyGraph_ = nullptr;
  QLineSeries* averageSeries_ = nullptr;
  QLineSeries* dailySeries_ = nullptr;
  QScatterSeries* dailyDots_ = nullptr;
  QValueAxis* historyX_ = nullptr;
  QValueAxis* historyY_ = nullptr;
  QRadioButton* history7_ = nullptr;
  QRadioButton* history30_ = nullptr;
  QRadioButton* historyYear_ = nullptr;
};
