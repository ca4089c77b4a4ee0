#pragma once
// The food database window: finds foods of the food table by a word of their
// description or by food group, shows a chosen food's serving scaled by a number of
// servings, and hands it to the meal diary as a pick when the user eats it. Foods of
// one's own are added, edited in place and deleted through its navigator.
//
// The pick is always made from the result grid's current record at the moment of
// eating, so moving with the arrow keys and pressing Eat eats the highlighted food;
// without a current record nothing is handed back.

#include <QDialog>
#include <QString>

#include "nutrition/foodpick.h"

class FoodQuery;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QModelIndex;
class QPushButton;
class QSlider;
class QTableView;
class QTimer;
class QToolButton;

class FoodDatabaseWindow : public QDialog {
  Q_OBJECT
 public:
  explicit FoodDatabaseWindow(QWidget* parent = nullptr);
  ~FoodDatabaseWindow() override;

  // The meal diary's keyword: the search box takes it, and a keyword that is not empty
  // is searched at once.
  void SetKeyword(const QString& keyword);

  // Whether a food was eaten, and the pick made then.
  bool Chosen() const { return chosen_; }
  const FoodPick& Pick() const { return pick_; }
  bool Ready() const { return ready_; }

  void SearchByKeyword(const QString& keyword);
  void SearchByGroup(const QString& code);
  // Recomputes the pick and the serving labels from the current record and the servings.
  void UpdateDatabasePick();
  // Asks for a food of one's own and stores it.
  void AddFoodRecord();

  // The timers' handlers (the one-second ready timer, the two-second keyword timer).
  void ReadyTimerFired();
  void SearchTimerFired();

  FoodQuery* Query() const { return query_; }

 protected:
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildHeader();
  QWidget* BuildNavigator();
  QWidget* BuildServingPanel();
  void Search_KeywordChange();
  void GroupClick(int position);
  void DBGrid2CellClick();
  void DBGrid2DblClick();
  void CurrentRowChanged();
  void trackChange(int position);
  void btnEatClick();
  void NavigatorInsert();
  void NavigatorDelete();
  void NavigatorEdit();
  void NavigatorPost();
  void SetBrowsing();
  void ShowFirstRecord();
  // Writes a change held in the grid; false (after the error box) when it failed.
  bool PostEdits();
  // False, with the message that says why, when the database takes no writes.
  bool Writable();
  void CommitEditor();
  int CurrentRow() const;
  void UpdateEatButton();
  void ReportQueryError();

  FoodQuery* query_ = nullptr;
  bool databaseOk_ = true;
  bool ready_ = false;
  bool chosen_ = false;
  bool editMode_ = false;
  bool closeAfterFailedPost_ = false;
  FoodPick pick_;
  QString shownKeyword_;  // the keyword whose results are shown; null when none

  QTimer* readyTimer_ = nullptr;
  QTimer* searchTimer_ = nullptr;
  QLineEdit* keyword_ = nullptr;
  QToolButton* searchButton_ = nullptr;
  QListWidget* group_ = nullptr;
  QTableView* grid_ = nullptr;
  QToolButton* insert_ = nullptr;
  QToolButton* delete_ = nullptr;
  QToolButton* edit_ = nullptr;
  QToolButton* post_ = nullptr;
  QLabel* foodName_ = nullptr;
  QSlider* track_ = nullptr;
  QDoubleSpinBox* multiple_ = nullptr;
  QLabel* servingOf_ = nullptr;
  QLabel* grams_ = nullptr;
  QLabel* calories_ = nullptr;
  QPushButton* eat_ = nullptr;
  QPushButton* close_ = nullptr;
};
