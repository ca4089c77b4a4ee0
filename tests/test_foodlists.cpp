// The food lists: their files, the search over all eighteen, the row operations, the
// pick with a serving multiplier, and the window that edits them and hands a food to
// the meal diary.

#include <QAbstractItemModel>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include "app/datafolders.h"
#include "core/gridfile.h"
#include "nutrition/foodlists.h"
#include "nutrition/widgets/foodlistswindow.h"
#include "support/fakehost.h"
#include "support/testenv.h"

namespace {

QStringList Row(const CellGrid& grid, int row, int cols = kFoodListColumns) {
  QStringList out;
  for (int c = 0; c < cols; ++c) out << grid.Cell(c, row);
  return out;
}

QStringList Names(const CellGrid& grid) {
  QStringList out;
  for (int r = 1; r < grid.RowCount(); ++r) out << grid.Cell(0, r);
  return out;
}

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<none>";
  return f.readAll();
}

CellGrid ListOf(const QStringList& names) {
  CellGrid g(kFoodListColumns, kFoodListRows);
  for (int k = 0; k < names.size(); ++k) g.SetCell(0, k + 1, names.at(k));
  return g;
}

// The Food folder of a fresh data folder, with the fixture lists in it.
struct Folder {
  TestEnv env;
  FakeHost host;
  QString folder() const { return host.Dir().FoodFolder(); }
  void copyLists() {
    for (const QString& f : {"Fridge-Fruit.txt", "Fridge-Sweets.txt", "Fridge-Drinks.txt"})
      QVERIFY(QFile::copy(TestEnv::testData("nutrition/lists/" + f), folder() + f));
  }
  QStringList errors() const {
    QStringList out;
    for (const auto& m : env.messages)
      if (m.kind == MessageKind::Error) out << m.text;
    return out;
  }
};

// The window over the fixture lists, shown.
struct Window : Folder {
  std::unique_ptr<FoodListsWindow> window;
  Window() {
    copyLists();
    window = std::make_unique<FoodListsWindow>(folder());
    window->show();
    window->activateWindow();
    // Focus moves only in the active window.
    QCoreApplication::processEvents();
    QVERIFY(window->isActiveWindow());
  }
  QTableView* grid(const char* name) { return window->findChild<QTableView*>(name); }
  QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
  QLabel* selected() { return window->findChild<QLabel*>("Selected_Food"); }
  QDoubleSpinBox* amount() { return window->findChild<QDoubleSpinBox*>("Food_Amount"); }
  QLineEdit* keyword() { return window->findChild<QLineEdit*>("Search_Keyword"); }
  void select(QTableView* t, int gridRow, int col = 0) {
    t->setCurrentIndex(t->model()->index(gridRow - 1, col));
  }
  void type(QTableView* t, int gridRow, int col, const QString& text,
            Qt::Key finish = Qt::Key_Tab) {
    const QModelIndex idx = t->model()->index(gridRow - 1, col);
    t->setFocus();
    t->setCurrentIndex(idx);
    t->edit(idx);
    auto* editor = qobject_cast<QLineEdit*>(t->indexWidget(idx));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    if (finish != Qt::Key_unknown) QTest::keyClick(editor, finish);
    QCoreApplication::processEvents();
  }
  void clickShelf(const QString& caption) {
    auto* shelf = window->findChild<QListWidget*>("Shelf");
    const QList<QListWidgetItem*> items = shelf->findItems(caption, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    const QRect r = shelf->visualItemRect(items.first());
    QTest::mouseClick(shelf->viewport(), Qt::LeftButton, {}, r.center());
  }
};

}  // namespace

class FoodListsTest : public QObject {
  Q_OBJECT
 private slots:
  // --- lists, search and rows ---
  void categories();
  void search_data();
  void search();
  void foodPick_data();
  void foodPick();
  void insertListRow_data();
  void insertListRow();
  void deleteListRow_data();
  void deleteListRow();
  void listFilesAndShortFiles();
  void onlyChangedListsAreWritten();
  void unreadableListIsNeverReplaced();

  // --- the window ---
  void opensOnTheFirstList();
  void shelfShowsItsList();
  void searchPage();
  void closeHandsBackNothing_data();
  void closeHandsBackNothing();
  void eatHandsBackTheShownFood();
  void eatReadsTheRowAndMultiplierNow();
  void foodTypedOnDrinksIsKeptAndFound();
  void rowButtons();
  void searchUsdaOpensTheBrowser();
  void pickFunctionOpensAndSearches();
};

// --- lists, search and rows ---------------------------------------------------------

void FoodListsTest::categories() {
  QCOMPARE(QString(FoodCategoryAt(9).word), QString("Vegtable"));
  QCOMPARE(QString(FoodCategoryAt(9).caption), QString("Vegetables"));
  QCOMPARE(QString(FoodCategoryAt(13).grid), QString("Nuts_chart"));
  QCOMPARE(FoodCategoryOfCaption("Breads"), 5);
  QCOMPARE(FoodCategoryOfCaption(""), 0);
  QCOMPARE(FoodCategoryOfCaption("Bread"), 0);
  QCOMPARE(ShelfItems().size(), 25);
  QCOMPARE(ShelfItems().count(QString()), 7);
  QCOMPARE(FoodListHeaders("Vegtable"),
           QStringList({"Vegtable foods", "Amount", "Calories", "Carbs g", "Prot g", "Fat g"}));
  QCOMPARE(FoodListPath("/f/", 13), QString("/f/Fridge-Nut.txt"));
  QCOMPARE(FoodListPath("/f/", 18), QString("/f/Fridge-Drinks.txt"));
}

void FoodListsTest::search_data() {
  QTest::addColumn<QString>("keyword");
  QTest::addColumn<QStringList>("found");
  QTest::newRow("ap") << "ap" << QStringList{"Apple pie", "Grape juice"};
  QTest::newRow("AP") << "AP" << QStringList{"Apple pie", "Grape juice"};
  QTest::newRow("inside a word, list order") << "a" << QStringList{"Banana", "Milk shake",
      "Chocolate cake", "Apple pie", "Orange juice", "Grape juice", "Milk shake"};
  QTest::newRow("no match") << "zucchini" << QStringList{""};
  QTest::newRow("empty keyword") << "" << QStringList{""};
  QTest::newRow("blank keyword") << "  " << QStringList{""};
}

void FoodListsTest::search() {
  QFETCH(QString, keyword);
  QFETCH(QStringList, found);
  Folder f;
  f.copyLists();
  FoodLists lists(f.folder());
  QVERIFY(lists.LoadFoodLists());
  const CellGrid results = lists.SearchFoodLists(keyword);
  QCOMPARE(results.Cell(0, 0), QString("Search foods"));
  QCOMPARE(results.RowCount(), found.size() + 1);
  QCOMPARE(Names(results), found);
  if (keyword == "ap")
    QCOMPARE(Row(results, 1), QStringList({"Apple pie", "1 slice", "95", "25", "2.4", "14"}));
}

void FoodListsTest::foodPick_data() {
  QTest::addColumn<QStringList>("row");
  QTest::addColumn<double>("servings");
  QTest::addColumn<QStringList>("pick");
  const QStringList apple{"Apple", "1 medium", "95", "25", "0.5", "0.3"};
  QTest::newRow("one and a half") << apple << 1.5
                                  << QStringList{"Apple", "142", "37.5", "0.8", "0.5"};
  QTest::newRow("one serving hands the texts on")
      << QStringList{"Tea", "1 cup", "2.9", "0.25", " ", "abc"} << 1.0
      << QStringList{"Tea", "2", "0.25", " ", "abc"};
  QTest::newRow("tenths, not binary noise") << QStringList{"Rice", "", "100", "10", "", ""} << 2.3
                                            << QStringList{"Rice", "230", "23", "", ""};
  QTest::newRow("calories that are no number")
      << QStringList{"Soup", "", "lots", "x", "1,5", ""} << 2.0
      << QStringList{"Soup", "0", "x", "1,5", ""};
  QTest::newRow("half") << QStringList{"Cake", "", "351", "45", "5", "17"} << 0.5
                        << QStringList{"Cake", "175", "22.5", "2.5", "8.5"};
}

void FoodListsTest::foodPick() {
  QFETCH(QStringList, row);
  QFETCH(double, servings);
  QFETCH(QStringList, pick);
  CellGrid g(kFoodListColumns, 3);
  g.SetRow(2, row);
  const FoodPick p = MakeFoodPick(g, 2, servings);
  QCOMPARE(p.Cells(), pick);
  QVERIFY(MakeFoodPick(g, 0, servings).IsEmpty());
  QVERIFY(MakeFoodPick(g, 3, servings).IsEmpty());
}

void FoodListsTest::insertListRow_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<int>("at");
  QTest::newRow("row 1 inserts at row 2") << 1 << 2;
  QTest::newRow("middle") << 3 << 3;
  QTest::newRow("last row") << kFoodListRows - 1 << kFoodListRows - 1;
  QTest::newRow("past the end appends") << 99 << kFoodListRows;
}

void FoodListsTest::insertListRow() {
  QFETCH(int, row);
  QFETCH(int, at);
  CellGrid g = ListOf({"A", "B", "C", "D"});
  g.SetCell(2, 2, "120");
  InsertListRow(g, row);
  QCOMPARE(g.RowCount(), kFoodListRows + 1);
  QCOMPARE(g.CurrentRow(), at);
  QCOMPARE(Row(g, at), QStringList({"", "", "", "", "", ""}));
  QStringList names = {"A", "B", "C", "D"};
  while (names.size() < kFoodListRows - 1) names << "";
  names.insert(at - 1, "");
  QCOMPARE(Names(g), names);
  QCOMPARE(g.Cell(2, at <= 2 ? 3 : 2), QString("120"));
}

void FoodListsTest::deleteListRow_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<QStringList>("names");
  QTest::newRow("first") << 1 << QStringList{"B", "C", "Z", ""};
  QTest::newRow("middle") << 2 << QStringList{"A", "C", "Z", ""};
  QTest::newRow("last row empties it") << 4 << QStringList{"A", "B", "C", ""};
  QTest::newRow("beyond the last row") << 5 << QStringList{"A", "B", "C", "Z"};
  QTest::newRow("the header never") << 0 << QStringList{"A", "B", "C", "Z"};
}

void FoodListsTest::deleteListRow() {
  QFETCH(int, row);
  QFETCH(QStringList, names);
  CellGrid g(kFoodListColumns, 5);
  g.SetCell(0, 0, "Snack foods");
  for (int r = 1; r <= 3; ++r) g.SetCell(0, r, QString(QChar('A' + r - 1)));
  g.SetCell(0, 4, "Z");
  g.SetCell(5, 4, "9");
  DeleteListRow(g, row);
  QCOMPARE(g.RowCount(), 5);
  QCOMPARE(g.Cell(0, 0), QString("Snack foods"));
  QCOMPARE(Names(g), names);
  if (row == 4) QCOMPARE(Row(g, 4), QStringList({"", "", "", "", "", ""}));
}

void FoodListsTest::listFilesAndShortFiles() {
  Folder f;
  f.copyLists();
  FoodLists lists(f.folder());
  QVERIFY(lists.LoadFoodLists());
  // A list without a file is empty below its header; a short file still has 24 rows.
  QCOMPARE(lists.List(9).Cell(0, 0), QString("Vegtable foods"));
  QCOMPARE(lists.List(9).RowCount(), kFoodListRows);
  const CellGrid& drinks = lists.List(18);
  QCOMPARE(drinks.RowCount(), kFoodListRows);
  QCOMPARE(drinks.ColCount(), kFoodListColumns);
  QCOMPARE(Row(drinks, 2), QStringList({"Grape juice", "1 cup", "152", "37", "1.4", "0.3"}));
  QCOMPARE(Row(drinks, 0).first(), QString("Drinks foods"));
}

void FoodListsTest::onlyChangedListsAreWritten() {
  Folder f;
  FoodLists lists(f.folder());
  QVERIFY(lists.LoadFoodLists());
  QVERIFY(lists.SaveFoodLists());
  QVERIFY(QDir(f.folder()).entryList(QDir::Files).isEmpty());
  lists.List(17).SetCell(0, 1, "Crème fraîche, 1 Löffel");
  lists.MarkChanged(17);
  QVERIFY(lists.Changed(17));
  QVERIFY(lists.SaveFoodLists());
  QVERIFY(!lists.Changed(17));
  QCOMPARE(QDir(f.folder()).entryList(QDir::Files), QStringList({"Fridge-Other.txt"}));
  const QByteArray bytes = ReadBytes(f.folder() + "Fridge-Other.txt");
  QVERIFY(bytes.startsWith("\"Other foods\",Amount,Calories,\"Carbs g\",\"Prot g\",\"Fat g\"\r\n"
                           "\"Crème fraîche, 1 Löffel\",,,,,\r\n"));
  FoodLists again(f.folder());
  QVERIFY(again.LoadFoodLists());
  QCOMPARE(again.List(17).Cell(0, 1), QString("Crème fraîche, 1 Löffel"));
}

void FoodListsTest::unreadableListIsNeverReplaced() {
  Folder f;
  QVERIFY(QDir().mkpath(f.folder() + "Fridge-Fish.txt"));
  FoodLists lists(f.folder());
  QString error;
  QVERIFY(!lists.LoadFoodLists(&error));
  QVERIFY2(error.startsWith("Cannot open file \"" + f.folder() + "Fridge-Fish.txt\""),
           qPrintable(error));
  lists.List(11).SetCell(0, 1, "Trout");
  lists.MarkChanged(11);
  lists.List(12).SetCell(0, 1, "Ham");
  lists.MarkChanged(12);
  QVERIFY(!lists.SaveFoodLists(&error));
  QCOMPARE(error, "Cannot create file \"" + f.folder() +
                      "Fridge-Fish.txt\". The file could not be read, so it was not replaced.");
  QVERIFY(QFileInfo(f.folder() + "Fridge-Fish.txt").isDir());
  QVERIFY(QFile::exists(f.folder() + "Fridge-Meat.txt"));
}

// --- the window -------------------------------------------------------------------

void FoodListsTest::opensOnTheFirstList() {
  Window w;
  QCOMPARE(w.window->windowTitle(), QString("Fridge - Every Item You Ever Ate"));
  QCOMPARE(w.window->findChild<QTabWidget*>("PgTop")->currentIndex(), 0);
  QCOMPARE(w.window->ShownCategory(), 1);
  QCOMPARE(w.window->findChild<QListWidget*>("Shelf")->currentRow(), 0);
  QCOMPARE(w.keyword()->text(), QString("Search"));
  QCOMPARE(w.amount()->value(), 1.0);
  QCOMPARE(w.amount()->decimals(), 1);
  QCOMPARE(w.selected()->text(), QString(""));
  for (int c = 1; c <= kFoodListCount; ++c)
    QVERIFY(w.grid(FoodCategoryAt(c).grid));
  QCOMPARE(w.grid("Drinks_Chart")->model()->headerData(0, Qt::Horizontal).toString(),
           QString("Drinks foods"));
  // The Amount column holds the servings the table names, uncut.
  QTableView* fruit = w.grid(FoodCategoryAt(1).grid);
  for (const char* amount : {"1 medium", "1 cup, sliced"})
    QVERIFY2(fruit->fontMetrics().horizontalAdvance(amount) + 6 <= fruit->columnWidth(1), amount);
  // Nothing was written by opening.
  QCOMPARE(QDir(w.folder()).entryList(QDir::Files).size(), 3);
  QVERIFY(w.errors().isEmpty());
}

void FoodListsTest::shelfShowsItsList() {
  Window w;
  w.clickShelf("Sweets");
  QCOMPARE(w.window->ShownCategory(), 16);
  QCOMPARE(w.window->findChild<QStackedWidget*>("pg")->currentWidget()->objectName(),
           QString("Sweets_Chart"));
  w.clickShelf("Vegetables");
  QCOMPARE(w.window->ShownCategory(), 9);
  // The spacers match no list.
  auto* shelf = w.window->findChild<QListWidget*>("Shelf");
  const QRect spacer = shelf->visualItemRect(shelf->item(4));
  QTest::mouseClick(shelf->viewport(), Qt::LeftButton, {}, spacer.center());
  QCOMPARE(w.window->ShownCategory(), 9);
  // The arrows walk the shelf too, over the spacers.
  shelf->setFocus();
  shelf->setCurrentRow(3);
  QCOMPARE(w.window->ShownCategory(), 4);
  QTest::keyClick(shelf, Qt::Key_Down);
  QCOMPARE(shelf->currentRow(), 5);
  QCOMPARE(w.window->ShownCategory(), 5);
}

void FoodListsTest::searchPage() {
  Window w;
  QTest::mouseClick(w.keyword(), Qt::LeftButton);
  w.keyword()->setFocus();
  QCOMPARE(w.keyword()->text(), QString(""));  // the box empties its "Search"
  QTest::keyClicks(w.keyword(), "ap");
  QTest::keyClick(w.keyword(), Qt::Key_Return);
  QVERIFY(w.window->isVisible());  // Enter searched; it closed nothing
  QCOMPARE(w.window->findChild<QTabWidget*>("PgTop")->currentIndex(), 1);
  QAbstractItemModel* m = w.grid("Search_Chart")->model();
  QCOMPARE(m->rowCount(), 2);
  QCOMPARE(m->index(0, 0).data().toString(), QString("Apple pie"));
  QCOMPARE(m->index(1, 0).data().toString(), QString("Grape juice"));
  QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QString("Search foods"));
  QVERIFY(!(m->flags(m->index(0, 0)) & Qt::ItemIsEditable));
  QCOMPARE(w.selected()->text(), QString("Apple pie"));
  // No match: the header and one empty row.
  w.keyword()->setText("zucchini");
  w.button("Search_button")->click();
  QCOMPARE(m->rowCount(), 1);
  QCOMPARE(m->index(0, 0).data().toString(), QString(""));
  QCOMPARE(w.selected()->text(), QString(""));
}

void FoodListsTest::closeHandsBackNothing_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("Close") << "BitBtn1";
  QTest::newRow("the other Close") << "BitBtn3";
  QTest::newRow("Escape") << "escape";
  QTest::newRow("title bar") << "title";
}

void FoodListsTest::closeHandsBackNothing() {
  QFETCH(QString, how);
  Window w;
  w.clickShelf("Drinks");
  w.select(w.grid("Drinks_Chart"), 2);
  QCOMPARE(w.selected()->text(), QString("Grape juice"));
  if (how == "escape")
    QTest::keyClick(w.window.get(), Qt::Key_Escape);
  else if (how == "title")
    w.window->close();
  else
    w.button(qPrintable(how))->click();
  QVERIFY(!w.window->isVisible());
  QCOMPARE(w.window->result(), int(QDialog::Rejected));
  QVERIFY(!w.window->Pick().has_value());
}

void FoodListsTest::eatHandsBackTheShownFood() {
  Window w;
  w.clickShelf("Sweets");
  w.select(w.grid("Sweets_Chart"), 2, 3);
  QCOMPARE(w.selected()->text(), QString("Apple pie"));
  w.amount()->setValue(1.5);
  w.button("Button4")->click();
  QVERIFY(!w.window->isVisible());
  QCOMPARE(w.window->result(), int(QDialog::Accepted));
  QVERIFY(w.window->Pick().has_value());
  QCOMPARE(w.window->Pick()->Cells(), QStringList({"Apple pie", "142", "37.5", "3.6", "21"}));
}

void FoodListsTest::eatReadsTheRowAndMultiplierNow() {
  Window w;
  // Two foods of the same name on two lists: the second one shown is the one eaten.
  w.clickShelf("Fruits");
  w.select(w.grid("fruit_chart"), 2);
  QCOMPARE(w.selected()->text(), QString("Milk shake"));
  w.clickShelf("Drinks");
  w.select(w.grid("Drinks_Chart"), 3);
  QCOMPARE(w.selected()->text(), QString("Milk shake"));
  // A number just typed, and a multiplier still being typed.
  w.type(w.grid("Drinks_Chart"), 3, 2, "220", Qt::Key_unknown);
  w.amount()->setFocus();
  w.amount()->findChild<QLineEdit*>()->selectAll();
  QTest::keyClicks(w.amount(), "2");
  w.button("Button4")->click();
  QCOMPARE(w.window->Pick()->Cells(), QStringList({"Milk shake", "440", "60", "14", "12"}));
  // The edit was a change of the list, written on closing.
  CellGrid saved;
  QVERIFY(LoadGridFile(saved, w.folder() + "Fridge-Drinks.txt"));
  QCOMPARE(saved.Cell(2, 3), QString("220"));
}

void FoodListsTest::foodTypedOnDrinksIsKeptAndFound() {
  Window w;
  w.clickShelf("Drinks");
  QTableView* drinks = w.grid("Drinks_Chart");
  w.type(drinks, 4, 0, "Hot chocolate");
  w.type(drinks, 4, 1, "1 mug");
  w.type(drinks, 4, 2, "190", Qt::Key_unknown);
  QCOMPARE(w.selected()->text(), QString("Hot chocolate"));
  w.button("BitBtn1")->click();
  CellGrid saved;
  QVERIFY(LoadGridFile(saved, w.folder() + "Fridge-Drinks.txt"));
  QCOMPARE(Row(saved, 4), QStringList({"Hot chocolate", "1 mug", "190", " ", " ", " "}));
  QCOMPARE(Row(saved, 2).first(), QString("Grape juice"));
  // Only the list that changed was written.
  QCOMPARE(ReadBytes(w.folder() + "Fridge-Sweets.txt"),
           ReadBytes(TestEnv::testData("nutrition/lists/Fridge-Sweets.txt")));

  FoodListsWindow next(w.folder());
  next.SearchFoodLists("CHOC");
  QCOMPARE(Names(next.Results()), QStringList({"Chocolate cake", "Hot chocolate"}));
  QVERIFY(w.errors().isEmpty());
}

void FoodListsTest::rowButtons() {
  Window w;
  w.clickShelf("Drinks");
  QTableView* drinks = w.grid("Drinks_Chart");
  w.select(drinks, 1);
  w.button("Button1")->click();  // Add Row on row 1 inserts at row 2
  const CellGrid& list = w.window->Lists().List(18);
  QCOMPARE(list.RowCount(), kFoodListRows + 1);
  QCOMPARE(Names(list).mid(0, 4), QStringList({"Orange juice", "", "Grape juice", "Milk shake"}));
  QCOMPARE(drinks->currentIndex().row(), 1);
  w.select(drinks, 4);
  w.button("SpeedButton3")->click();
  QCOMPARE(Names(list).mid(0, 4), QStringList({"Orange juice", "", "Milk shake", "Grape juice"}));
  QCOMPARE(drinks->currentIndex().row(), 2);
  w.button("SpeedButton4")->click();
  QCOMPARE(Names(list).mid(0, 4), QStringList({"Orange juice", "", "Grape juice", "Milk shake"}));
  w.select(drinks, 2);
  w.button("Button3")->click();
  QCOMPARE(Names(list).mid(0, 3), QStringList({"Orange juice", "Grape juice", "Milk shake"}));
  // Delete Row on the last row empties it; the row count stays.
  w.select(drinks, kFoodListRows);
  w.type(drinks, kFoodListRows, 0, "Last");
  w.select(drinks, kFoodListRows);
  w.button("Button3")->click();
  QCOMPARE(list.RowCount(), kFoodListRows + 1);
  QCOMPARE(list.Cell(0, kFoodListRows), QString(""));
  // Written as they happened.
  CellGrid saved;
  QVERIFY(LoadGridFile(saved, w.folder() + "Fridge-Drinks.txt"));
  QCOMPARE(saved.RowCount(), kFoodListRows + 1);
  QCOMPARE(saved.Cell(0, 2), QString("Grape juice"));
  // On the Search page the buttons change the copies only.
  w.window->SearchFoodLists("juice");
  w.button("Button3")->click();
  QCOMPARE(Names(w.window->Results()), QStringList({"Grape juice", ""}));
  QCOMPARE(list.Cell(0, 1), QString("Orange juice"));
}

void FoodListsTest::searchUsdaOpensTheBrowser() {
  Window w;
  QList<QUrl> opened;
  SetOpenUrlHandler([&](const QUrl& u) { opened << u; });
  w.button("BitBtn2")->click();
  SetOpenUrlHandler({});
  QCOMPARE(opened, QList<QUrl>({QUrl("https://fdc.nal.usda.gov/food-search")}));
  QVERIFY(w.window->isVisible());
}

void FoodListsTest::pickFunctionOpensAndSearches() {
  Folder f;
  f.copyLists();
  QString keywordShown;
  int shownPage = -1;
  // Answer the modal window the way a user would: look, pick the second match, Eat.
  QTimer::singleShot(0, [&] {
    auto* w = qobject_cast<FoodListsWindow*>(QApplication::activeModalWidget());
    QVERIFY(w);
    keywordShown = w->findChild<QLineEdit*>("Search_Keyword")->text();
    shownPage = w->findChild<QTabWidget*>("PgTop")->currentIndex();
    auto* results = w->findChild<QTableView*>("Search_Chart");
    results->setCurrentIndex(results->model()->index(1, 0));
    w->findChild<QPushButton*>("Button4")->click();
  });
  const std::optional<FoodPick> pick =
      PickFromFoodListsWindow(nullptr, f.folder(), "juice", true);
  QCOMPARE(keywordShown, QString("juice"));
  QCOMPARE(shownPage, 1);
  QVERIFY(pick.has_value());
  QCOMPARE(pick->Cells(), QStringList({"Grape juice", "152", "37", "1.4", "0.3"}));

  QTimer::singleShot(0, [&] {
    auto* w = qobject_cast<FoodListsWindow*>(QApplication::activeModalWidget());
    QVERIFY(w);
    keywordShown = w->findChild<QLineEdit*>("Search_Keyword")->text();
    shownPage = w->findChild<QTabWidget*>("PgTop")->currentIndex();
    w->reject();
  });
  QVERIFY(!PickFromFoodListsWindow(nullptr, f.folder(), "", false).has_value());
  QCOMPARE(keywordShown, QString("Search"));
  QCOMPARE(shownPage, 0);
}

QTEST_MAIN(FoodListsTest)
#include "test_foodlists.moc"
