#pragma once
// The to-do page: check lists under named categories, three of them ("Today",
// "Yesterday", "Tomorrow") tied to the selected date. Items move to another category by
// dragging them from the check column onto its entry in the category list.

#include <QDate>
#include <QImage>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include "app/dateview.h"
#include "trackers/todolist.h"

class LinkLabel;
class QLabel;
class QListWidget;
class QMimeData;
class QTableView;
class QTimer;
class QToolButton;
class ToDoItemModel;

class TodoView : public QWidget, public DateView {
  Q_OBJECT

 public:
  explicit TodoView(ViewHost* host, QWidget* parent = nullptr);
  ~TodoView() override;

  // DateView
  void ShowDate(const QDate& date) override;
  void SaveBeforeDateChange() override { SaveList(); }
  bool HasLoaded() const override { return true; }
  DayMarkPicture MarkPicture() const override { return DayMarkPicture::Berry; }
  bool IsDayMarked(const QDate& date) const override;

  // Writes the shown list to its category file, then the report, when the user changed
  // it (a blank list writes nothing; a deleted last item removes the file). Errors go to
  // the error box; the list stays on screen and is written at the next chance.
  void SaveList();
  // Reads the selected category's file into the list.
  void LoadList();
  // Adds a line at the end of a category's file; false (and the error box) on failure.
  bool AppendItem(const QString& category, const QString& line);
  bool WriteToDoReport();

  // The file of a category on the shown date.
  QString CategoryFile(const QString& name) const;

  // State, for the main window and tests.
  QDate ShownDate() const { return date_; }
  const ToDoList& List() const { return list_; }
  const QStringList& Categories() const { return categories_; }
  int SelectedCategory() const { return selected_; }
  bool DragArmed() const { return dragArmed_; }
  QImage CheckPicture(bool checked) const { return checked ? checkedPic_ : emptyPic_; }
  // What a drag of the current item carries; only this view's drops accept it.
  QMimeData* CreateDragData() const;

 public Q_SLOTS:
  // Selecting a category entry (click or keys): saves the shown list, then loads the
  // chosen one under its heading.
  void cboCategoryClick(int index);
  // An item dropped on a category entry: appended to that category's file and removed
  // here. A drop on the shown category changes nothing. True when the item moved.
  bool cboCategoryDragDrop(int index);
  void SpeedButton1Click();  // add new todo
  void bntCheckClick();      // check mark
  void btnDeleteClick();     // delete item
  void SpeedButton3Click();  // move up
  void SpeedButton4Click();  // move down
  void SpeedButton7Click();  // report
  void SpeedButton5Click();  // print
  void Label5Click();        // add category
  void Label6Click();        // delete category

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // Writes the list when it was edited; reportFailure false keeps a failure quiet.
  void WriteList(bool reportFailure);
  void BuildControls();
  void FillCategoryList();
  void SelectFirstCategory();
  void SetHeading();
  // Puts the list on screen again and the current item under the cursor.
  void ShowList();
  void SyncCurrentFromView();
  void ToggleItem(int index);
  void StartDrag();
  bool IsOurDrag(const QEvent* event) const;
  bool ApplyCategories(const QStringList& categories);

  bool TodoMouseEvent(QEvent* event);
  bool TodoKeyEvent(QEvent* event);
  bool CategoryDragEvent(QEvent* event);

  ViewHost* host_;
  QDate date_;
  QStringList categories_;
  int selected_ = -1;
  ToDoList list_;
  bool saving_ = false;
  QTimer* autoSave_ = nullptr;

  bool dragArmed_ = false;
  bool pressInCheck_ = false;
  bool dragStarted_ = false;
  int pressRow_ = -1;
  QPoint pressPos_;

  QImage emptyPic_, checkedPic_;
  QString toDoFolder_;

  QLabel* Category_Label = nullptr;
  QTableView* todo = nullptr;
  ToDoItemModel* model_ = nullptr;
  QListWidget* cboCategory = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* bntCheck = nullptr;
  QToolButton* btnDelete = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  QToolButton* SpeedButton7 = nullptr;
  QToolButton* SpeedButton5 = nullptr;
  LinkLabel* Label5 = nullptr;
  LinkLabel* Label6 = nullptr;
};
