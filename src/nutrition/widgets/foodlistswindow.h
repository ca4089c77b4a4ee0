#pragma once
// The food lists window ("Fridge"): the user's eighteen food lists, browsed by the shelf
// on the left, searched all at once, edited in place, and one food picked with a
// serving multiplier for the meal diary. The lists and their arithmetic live in
// FoodLists; this window shows them and forwards edits.

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "nutrition/foodlists.h"
#include "nutrition/foodpick.h"

class CellGridModel;
class CellGridView;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTabWidget;

// The public food search page of the USDA's FoodData Central.
inline constexpr const char* kUsdaFoodSearchUrl = "https://fdc.nal.usda.gov/food-search";

class FoodListsWindow : public QDialog {
  Q_OBJECT
 public:
  // Reads the lists of the Food folder at once (a list that cannot be read is reported).
  explicit FoodListsWindow(const QString& foodFolder, QWidget* parent = nullptr);
  ~FoodListsWindow() override;

  // The search box's text; an empty keyword leaves its "Search".
  void SetKeyword(const QString& keyword);
  // Shows the Search page with every food whose name holds the keyword.
  void SearchFoodLists(const QString& keyword);
  // Shows a category's list on the Browse page (1..18).
  void ShowCategory(int category);
  // The category shown on the Browse page.
  int ShownCategory() const;
  // Writes the lists changed since they were read; a failure is reported (once for the
  // saves the user did not ask for). False then.
  bool SaveFoodLists();

  // The food the Eat button handed back; none after Close, Escape or the title bar.
  const std::optional<FoodPick>& Pick() const { return pick_; }
  // The pick the Eat button would make now: the current row of the current grid, with
  // the multiplier as it stands.
  FoodPick CurrentPick() const;
  // The results grid while the Search page is shown, otherwise the shown list.
  CellGrid& CurrentGrid();
  const FoodLists& Lists() const { return lists_; }
  const CellGrid& Results() const { return results_; }

  void done(int result) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildBrowsePage();
  QWidget* BuildSearchPage();
  CellGridView* CurrentView() const;
  void UpdateSelectedFood();
  void ListEdited(int category);
  void SaveQuietly();
  bool SaveReporting(bool always);

  // Event handlers.
  void ShelfClick(int item);
  void Search_buttonClick();
  void Button1Click();       // add row
  void Button3Click();       // delete row
  void SpeedButton3Click();  // move up
  void SpeedButton4Click();  // move down
  void BitBtn2Click();       // Search USDA
  void Button4Click();       // Eat

  FoodLists lists_;
  CellGrid results_;
  std::optional<FoodPick> pick_;
  QString lastReported_;

  QLineEdit* keyword_ = nullptr;
  QTabWidget* pgTop_ = nullptr;
  QListWidget* shelf_ = nullptr;
  QStackedWidget* pg_ = nullptr;
  std::array<CellGridModel*, kFoodListCount> listModels_{};
  std::array<CellGridView*, kFoodListCount> listViews_{};
  CellGridModel* resultsModel_ = nullptr;
  CellGridView* resultsView_ = nullptr;
  QDoubleSpinBox* amount_ = nullptr;
  QLabel* selectedFood_ = nullptr;
};

// Opens the food lists window with a keyword (searched at once when asked), waits until
// it closes and hands back the food chosen with Eat; no value when it was closed.
std::optional<FoodPick> PickFromFoodListsWindow(QWidget* parent, const QString& foodFolder,
                                                const QString& keyword, bool searchNow);

// Replaces the window (tests); an empty function restores it.
using FoodListsPicker = std::function<std::optional<FoodPick>(
    QWidget* parent, const QString& keyword, bool searchNow)>;
void SetFoodListsPicker(FoodListsPicker picker);
