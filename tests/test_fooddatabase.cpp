// The food database: the importer of the USDA release, the keyword and group searches,
// the servings arithmetic, foods of one's own, and the window that hands a pick to the
// meal diary.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/database.h"
#include "nutrition/foodgroups.h"
#include "nutrition/foodquery.h"
#include "nutrition/foodsearch.h"
#include "nutrition/foodserving.h"
#include "nutrition/foodtable.h"
#include "nutrition/usdaimport.h"
#include "nutrition/widgets/addfooddialog.h"
#include "nutrition/widgets/fooddatabasewindow.h"
#include "nutrition/widgets/foodpickers.h"
#include "support/fixturedb.h"
#include "support/testenv.h"

namespace {

// The fixture's twelve foods by number.
const QString kApplesRaw = "09003";         // Apples, raw, with skin
const QString kBabyJuiceApple = "03166";    // Babyfood, juice, apple
const QString kStrudelApple = "18354";      // Strudel, apple
const QString kPineappleJuice = "09273";    // Pineapple juice, canned, ...
const QString kApplesauceMiddle = "03150";  // Babyfood, fruit, applesauce and pineapple, ...
const QString kBlackberryJuice = "09043";   // 95 calories a cup
const QString kBeefFlank = "13065";         // ... trimmed to 0" fat, choice, raw
const QString kMilkReduced = "01079";       // Milk, reduced fat, fluid, 2% milkfat, ...
const QString kMilkWhole = "01077";
const QString kAscidians = "35004";         // no serving weight; Ethnic Foods
const QString kSnackChips = "19003";        // Snacks
const QString kPork = "10001";              // Pork

// A fresh fixture Food.db opened as the program's database: as the build makes it, as a
// Food.db made before the search index, or such an old one damaged (read-only then).
enum class Db { Indexed, Old, DamagedOld };

struct DatabaseRig {
  TestEnv env;
  QString path = env.home() + "/Food.db";
  explicit DatabaseRig(Db kind = Db::Indexed) {
    QString e;
    if (!CopyFixtureDatabase(path, &e)) qFatal("fixture: %s", qPrintable(e));
    if (kind != Db::Indexed && !DropFoodSearchIndex(path, &e)) qFatal("old: %s", qPrintable(e));
    // The group index: the foods themselves still read.
    if (kind == Db::DamagedOld && !DamageDatabasePage(path, "food_group", &e))
      qFatal("damage: %s", qPrintable(e));
    if (!OpenDatabaseFile(path, &e)) qFatal("open: %s", qPrintable(e));
  }
  QByteArray bytes() const {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // Every food as stored, one line each, in the table's order.
  QStringList dump() const {
    QStringList out;
    QSqlQuery q(AppDatabase());
    if (!q.exec("SELECT " + FoodColumnNames().join(", ") + " FROM food ORDER BY rowid")) return {"<error>"};
    while (q.next()) {
      QStringList cells;
      for (int f = 0; f < kFoodFieldCount; ++f) cells << q.value(f).toString();
      out << cells.join('|');
    }
    return out;
  }
  ~DatabaseRig() { CloseDatabase(); }

  QStringList errors() const {
    QStringList out;
    for (const auto& m : env.messages)
      if (m.kind == MessageKind::Error) out << m.text;
    return out;
  }
  // One stored food, straight from the table.
  FoodRecord stored(const QString& number) const {
    QSqlQuery q(AppDatabase());
    q.prepare("SELECT " + FoodColumnNames().join(", ") + " FROM food WHERE NDB_No = ?");
    q.bindValue(0, number);
    FoodRecord r;
    if (q.exec() && q.next())
      for (int f = 0; f < kFoodFieldCount; ++f) r.values[f] = q.value(f).toString();
    return r;
  }
  int count(const QString& where = "1") const {
    QSqlQuery q(AppDatabase());
    if (!q.exec("SELECT count(*) FROM food WHERE " + where) || !q.next()) return -1;
    return q.value(0).toInt();
  }
};

QStringList Numbers(const FoodQuery& query) {
  QStringList out;
  for (int r = 0; r < query.rowCount(); ++r) out << query.Field(r, FoodField::NDB_No);
  return out;
}

// The food window over the fixture, shown at its own size.
struct WindowRig : DatabaseRig {
  std::unique_ptr<FoodDatabaseWindow> window = std::make_unique<FoodDatabaseWindow>();
  WindowRig() {
    window->show();
    // Cell editors and the focus need the window to be the active one.
    QApplication::setActiveWindow(window.get());
  }
  ~WindowRig() { window.reset(); }

  template <typename T>
  T* child(const char* name) const {
    T* w = window->findChild<T*>(name);
    if (!w) qFatal("no child %s", name);
    return w;
  }
  QTableView* grid() const { return child<QTableView>("DBGrid2"); }
  FoodQuery* query() const { return window->Query(); }
  int currentRow() const { return grid()->currentIndex().row(); }
  QString currentNumber() const { return query()->Field(currentRow(), FoodField::NDB_No); }
  int rowOf(const QString& number) const { return int(Numbers(*query()).indexOf(number)); }
  QPoint cellCentre(int row, int column = 0) const {
    return grid()->visualRect(query()->index(row, column)).center();
  }
  void clickRow(int row) { QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row)); }
  // As a desktop delivers it: a click, then a second press that is a double click.
  void doubleClick(int row, int column = 0) {
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row, column));
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row, column));
  }
  void clickGroup(const QString& text) {
    auto* list = child<QListWidget>("Group");
    const auto items = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(text));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.first()).center());
  }
  void clickButton(const char* name) { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); }
  void clickNavigator(const char* name) {
    auto* nav = child<QWidget>("DBNavigator1");
    QTest::mouseClick(nav->findChild<QToolButton*>(name), Qt::LeftButton);
  }
};

// Runs `body` on the next modal window to open, once the event loop shows it.
void OnNextModal(std::function<void(QWidget*)> body) {
  QTimer::singleShot(0, [body] {
    QWidget* modal = QApplication::activeModalWidget();
    QVERIFY(modal);
    body(modal);
  });
}

}  // namespace

class FoodDatabaseTest : public QObject {
  Q_OBJECT
 private slots:
  // --- the importer ---
  void perServingText_data();
  void perServingText();
  void importedFoodsPerServing_data();
  void importedFoodsPerServing();
  void brokenReleaseImportsNothing_data();
  void brokenReleaseImportsNothing();
  void builtFoodDbHoldsTheRelease();

  // --- searches and numbers ---
  void foodGroupCode_data();
  void foodGroupCode();
  void keywordSearch_data();
  void keywordSearch();
  void searchRank_data();
  void searchRank();
  void ownFoodsInOtherLanguages_data();
  void ownFoodsInOtherLanguages();
  void searchIndexFollowsEveryChange();
  void oldDatabaseGetsTheIndex();
  void indexOutOfStepIsMadeAgain_data();
  void indexOutOfStepIsMadeAgain();
  void shippedDatabaseFindsEveryWord();
  void groupSearch_data();
  void groupSearch();
  void scaleByServings_data();
  void scaleByServings();
  void commaLocaleReadsPointNumbers();
  void ownFoodsNeverClash();
  void editHeldUntilPosted();
  void gridShowsOneDecimal();

  // --- the window ---
  void keywordFromDiarySearchedAtOnce();
  void groupClickQueriesItsCode_data();
  void groupClickQueriesItsCode();
  void trackBarScalesThePick();
  void pickFollowsTheHighlightedRow();
  void noPickWithoutCurrentRecord_data();
  void noPickWithoutCurrentRecord();
  void doubleClickWhileEditingKeepsWindowOpen();
  void typingSearchesOnceAfterTwoSeconds();
  void addFoodThroughDialog();
  void deleteAsksFirst();
  void closingPostsAnEditedFood();
  void missingFoodTableIsReported();
  void wrongShapeFoodTableIsNamed();
  void damagedDatabaseIsSearchedNotWritten();
  void damageFoundLaterStopsTheWrites();
  void seamHandsBackThePick();
};

// ------------------------------------------------------------------------------------
// The importer

void FoodDatabaseTest::perServingText_data() {
  QTest::addColumn<QString>("per100g");
  QTest::addColumn<QString>("weight");
  QTest::addColumn<QString>("expected");
  QTest::newRow("whole milk, 1 cup") << "60" << "244.00" << "146.4";
  // 0.26 x 1.25 = 0.325 exactly: a half, away from zero (binary doubles give 0.32).
  QTest::newRow("exact half") << "0.26" << "125.00" << "0.33";
  QTest::newRow("blackberry juice") << "38" << "250.00" << "95";
  QTest::newRow("small") << "0.005" << "100" << "0.01";
  QTest::newRow("zero") << "0.00" << "28.35" << "0";
  QTest::newRow("no value stays empty") << "" << "244.00" << "";
  QTest::newRow("not a number") << "1,5" << "100" << QString();
  QTest::newRow("weight not a number") << "60" << "cup" << QString();
}

void FoodDatabaseTest::perServingText() {
  QFETCH(QString, per100g);
  QFETCH(QString, weight);
  QFETCH(QString, expected);
  const QString got = PerServingText(per100g, weight);
  QCOMPARE(got, expected);
  QCOMPARE(got.isNull(), expected.isNull());
}

void FoodDatabaseTest::importedFoodsPerServing_data() {
  QTest::addColumn<QString>("number");
  QTest::addColumn<QStringList>("expected");  // every column, in the table's order
  QTest::newRow("apples: a cup of 125 g")
      << kApplesRaw
      << QStringList{kApplesRaw, "0900", "Apples, raw, with skin", "65", "0.33", "17.26",
                     "12.99", "0.21", "0", "125", "1 cup, quartered or chopped"};
  QTest::newRow("no serving weight: per 100 g")
      << kAscidians
      << QStringList{kAscidians, "3500", "Ascidians (tunughnak) (Alaska Native)", "20", "3.8",
                     "0", "", "0.5", "7", "100", "100 g"};
  QTest::newRow("a double quote in the description")
      << kBeefFlank
      << QStringList{kBeefFlank, "1300",
                     "Beef, flank, separable lean and fat, trimmed to 0\" fat, choice, raw",
                     "46.78", "6.02", "0", "0", "2.35", "11.62", "28.35", "1 oz"};
}

void FoodDatabaseTest::importedFoodsPerServing() {
  QFETCH(QString, number);
  QFETCH(QStringList, expected);
  DatabaseRig rig;
  QCOMPARE(rig.count(), 12);
  const FoodRecord r = rig.stored(number);
  QCOMPARE(QStringList(r.values.begin(), r.values.end()), expected);
}

void FoodDatabaseTest::brokenReleaseImportsNothing_data() {
  QTest::addColumn<QString>("desc");
  QTest::addColumn<QString>("abbrev");
  QTest::addColumn<QString>("expectedInError");
  const QString goodDesc = "~09043~^~0900~^~Blackberry juice, canned~^~BLACKBERRY JUC,CND~^~~^~~^~Y~^~~^0^~~^6.25^3.36^8.37^3.92\r\n";
  QFile f(TestEnv::testData("usda/ABBREV.txt"));
  f.open(QIODevice::ReadOnly);
  QString goodAbbrev;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("~09043~")) goodAbbrev = QString::fromLatin1(line) + "\n";
  QTest::newRow("no nutrient line") << goodDesc << "" << "has no line";
  QTest::newRow("short nutrient line")
      << goodDesc << QString(goodAbbrev).replace("^~1 cup~^^~~^0", "") << "line 1";
  QTest::newRow("energy not a number")
      << goodDesc << QString(goodAbbrev).replace("^90.90^38^", "^90.90^3x8^") << "Energ_Kcal";
  QTest::newRow("nutrients of an undescribed food")
      << goodDesc << goodAbbrev + QString(goodAbbrev).replace("~09043~", "~99999~") << "does not describe";
}

void FoodDatabaseTest::brokenReleaseImportsNothing() {
  QFETCH(QString, desc);
  QFETCH(QString, abbrev);
  QFETCH(QString, expectedInError);
  TestEnv env;
  const QString descPath = env.home() + "/FOOD_DES.txt", abbrevPath = env.home() + "/ABBREV.txt";
  for (const auto& [path, text] : {std::pair{descPath, desc}, std::pair{abbrevPath, abbrev}}) {
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(text.toLatin1());
  }
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "broken");
    db.setDatabaseName(":memory:");
    QVERIFY(db.open());
    QString e;
    QVERIFY(CreateFoodTable(db, &e));
    QVERIFY(!ImportUsdaRelease(db, descPath, abbrevPath, &e));
    QVERIFY2(e.contains(expectedInError), qPrintable(e));
    QSqlQuery q("SELECT count(*) FROM food", db);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
  }
  QSqlDatabase::removeDatabase("broken");
}

// The database the build ships: the whole release, one food checked per serving.
void FoodDatabaseTest::builtFoodDbHoldsTheRelease() {
  const QString path = TestEnv::programFolder() + "DB/Food.db";
  QVERIFY2(QFile::exists(path), qPrintable(path));
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "shipped");
    db.setConnectOptions("QSQLITE_OPEN_READONLY");
    db.setDatabaseName(path);
    QVERIFY(db.open());
    QSqlQuery q(db);
    QVERIFY(q.exec("SELECT count(*), count(DISTINCT FdGrp_Cd) FROM food"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 7413);
    QCOMPARE(q.value(1).toInt(), 24);
    // Exactly the groups of the list.
    QStringList codes;
    QVERIFY(q.exec("SELECT DISTINCT FdGrp_Cd FROM food ORDER BY FdGrp_Cd"));
    while (q.next()) codes << q.value(0).toString();
    QStringList listed;
    for (int p = 0; p < kFoodGroupCount; ++p) listed << FoodGroupCode(p);
    QCOMPARE(codes, listed);
    // Whole milk: 60 kcal, 3.22 g protein, 3.25 g fat, 4.52 g carbohydrate per 100 g;
    // one cup is 244 g.
    QVERIFY(q.exec("SELECT Long_Desc, Energ_Kcal, Protein, Lipid_Tot, Carbohydrt, GMWT_1, "
                   "GMWT_DESC1 FROM food WHERE NDB_No = '01077'"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QString("Milk, whole, 3.25% milkfat"));
    QCOMPARE(q.value(1).toString(), QString("146.4"));
    QCOMPARE(q.value(2).toString(), QString("7.86"));
    QCOMPARE(q.value(3).toString(), QString("7.93"));
    QCOMPARE(q.value(4).toString(), QString("11.03"));
    QCOMPARE(q.value(5).toString(), QString("244"));
    QCOMPARE(q.value(6).toString(), QString("1 cup"));
    // The empty health tables come with it.
    for (const char* table : {"Health_Appointments", "Health_Immunization", "Health_Prescription"})
      QVERIFY2(q.exec(QString("SELECT count(*) FROM %1").arg(table)), table);
  }
  QSqlDatabase::removeDatabase("shipped");
}

// ------------------------------------------------------------------------------------
// Searches and numbers

void FoodDatabaseTest::foodGroupCode_data() {
  QTest::addColumn<int>("position");
  QTest::addColumn<QString>("code");
  QTest::newRow("Dairy and Egg") << 0 << "0100";
  QTest::newRow("Fruits and Fruit Juices") << 8 << "0900";
  QTest::newRow("Pork") << 9 << "1000";
  QTest::newRow("Meals, Entrees, and Sides") << 21 << "2200";
  QTest::newRow("Snacks") << 22 << "2500";
  QTest::newRow("Ethnic Foods") << 23 << "3500";
  QTest::newRow("before the list") << -1 << "";
  QTest::newRow("after the list") << 24 << "";
}

void FoodDatabaseTest::foodGroupCode() {
  QFETCH(int, position);
  QFETCH(QString, code);
  QCOMPARE(FoodGroupCode(position), code);
  if (!code.isEmpty()) QVERIFY(!FoodGroupNames().at(position).isEmpty());
}

void FoodDatabaseTest::keywordSearch_data() {
  QTest::addColumn<QString>("keyword");
  QTest::addColumn<QStringList>("expected");
  // Every word anywhere in the name: names that begin with the text, then those with the
  // words as whole words, then the rest ("applesauce", "Pineapple").
  const QStringList apple{kApplesRaw, kBabyJuiceApple, kStrudelApple, kApplesauceMiddle,
                          kPineappleJuice};
  QTest::newRow("Apple") << "Apple" << apple;
  QTest::newRow("case ignored") << "APPLE" << apple;
  QTest::newRow("words in any order") << "juice apple" << QStringList{kBabyJuiceApple, kPineappleJuice};
  QTest::newRow("spaces around words") << "  juice   apple " << QStringList{kBabyJuiceApple, kPineappleJuice};
  QTest::newRow("every word must match") << "apple pork" << QStringList{};
  QTest::newRow("a word inside a word") << "sauce" << QStringList{kApplesauceMiddle};
  // "fat" as a word before "milkfat"; the table's order within each.
  QTest::newRow("whole words before the rest") << "fat" << QStringList{kMilkReduced, kPork, kBeefFlank, kMilkWhole};
  QTest::newRow("beginning before whole words")
      << "babyfood, juice" << QStringList{kBabyJuiceApple};
  QTest::newRow("a short word") << "2%" << QStringList{kMilkReduced};
  QTest::newRow("short and long words") << "2% reduced" << QStringList{kMilkReduced};
  QTest::newRow("double quote") << "\"" << QStringList{kBeefFlank};
  QTest::newRow("percent") << "%" << QStringList{kMilkWhole, kMilkReduced};
  QTest::newRow("underscore") << "_" << QStringList{};
  QTest::newRow("backslash") << "\\" << QStringList{};
  QTest::newRow("underscore is no wildcard") << "_pples, raw, with skin" << QStringList{};
  QTest::newRow("percent is no wildcard") << "a%e" << QStringList{};
  QTest::newRow("quote found as written") << "0\" fat, choice, raw" << QStringList{kBeefFlank};
  QTest::newRow("percent found as written") << "Milk, reduced fat, fluid, 2%" << QStringList{kMilkReduced};
  QTest::newRow("statement text stays text") << "apple\" or 1=1 --" << QStringList{};
  QTest::newRow("search syntax stays text") << "juice OR pork" << QStringList{};
  QTest::newRow("no prefix star") << "appl*" << QStringList{};
  QTest::newRow("no NEAR") << "NEAR(apple juice)" << QStringList{};
  QTest::newRow("phrase quotes stay text") << "\"apple\"" << QStringList{};
  const QStringList every{kMilkWhole, kMilkReduced, kApplesauceMiddle, kBabyJuiceApple,
                          kApplesRaw, kBlackberryJuice, kPineappleJuice, kPork, kBeefFlank,
                          kStrudelApple, kSnackChips, kAscidians};
  QTest::newRow("empty finds every food") << "" << every;
  QTest::newRow("only spaces find every food") << "   " << every;
}

// Through the index, and by reading every name in a damaged database without one: the
// same foods in the same order.
void FoodDatabaseTest::keywordSearch() {
  QFETCH(QString, keyword);
  QFETCH(QStringList, expected);
  for (const Db kind : {Db::Indexed, Db::DamagedOld}) {
    DatabaseRig rig(kind);
    QCOMPARE(DatabaseIsReadOnly(), kind == Db::DamagedOld);
    FoodQuery query;
    QVERIFY2(query.SearchByKeyword(keyword), qPrintable(query.errorString()));
    QCOMPARE(Numbers(query), expected);
    if (kind == Db::DamagedOld) QVERIFY(!query.UsedSearchIndex());
  }
}

// Where a name ranks for a search text: 0 begins with it, 1 holds every word as a whole
// word, 2 holds every word, -1 lacks one; case and accents folded for every script.
void FoodDatabaseTest::searchRank_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("rank");
  QTest::newRow("begins with it") << "chicken br" << "Chicken breast, roasted" << 0;
  QTest::newRow("begins, spaces folded") << " chicken   breast" << "Chicken breast" << 0;
  QTest::newRow("whole words, any order") << "breast chicken" << "Chicken, broilers, breast" << 1;
  QTest::newRow("a word at the very end") << "raw" << "Apples, raw" << 1;
  QTest::newRow("a word between punctuation") << "banana" << "Babyfood, apple-banana juice" << 1;
  QTest::newRow("part of a word") << "fat" << "Milk, 3.25% milkfat" << 2;
  QTest::newRow("one whole, one part") << "milk fat" << "Milk, 3.25% milkfat" << 2;
  QTest::newRow("punctuation stands for itself") << "2%" << "Milk, 2% milkfat" << 1;
  QTest::newRow("a word missing") << "apple pork" << "Apples, raw" << -1;
  QTest::newRow("an accent typed, an ASCII name") << "crème" << "Creme brulee" << 0;
  QTest::newRow("sharp s typed") << "straße" << "Strasse, Berlin style" << 0;
  QTest::newRow("sharp s stored") << "STRASSE" << "Straßenbrot" << 0;
  QTest::newRow("a letter no ASCII name holds") << "smørbrød" << "Smorbrod" << -1;
  QTest::newRow("no words") << "" << "Apples, raw" << 0;
  QTest::newRow("accent typed") << "éclair" << "Eclair, custard-filled" << 0;
  QTest::newRow("accent stored") << "eclair" << "Chocolate ÉCLAIR" << 1;
  QTest::newRow("decomposed accent") << "eclair" << QString("Chocolate E\u0301clair") << 1;
  QTest::newRow("Cyrillic case") << "борщ" << "Украинский БОРЩ" << 1;
  QTest::newRow("Greek final sigma") << "ΣΟΥΒΛΑΚΙΑΣ" << "σουβλακιας" << 0;
  QTest::newRow("Turkish dotted I") << "istanbul" << "İstanbul simidi" << 0;
  QTest::newRow("full-width letters") << "tofu" << "ＴＯＦＵ, firm" << 0;
  QTest::newRow("a letter beyond the basic plane") << "𝐓ea" << "tea, brewed" << 0;
}

void FoodDatabaseTest::searchRank() {
  QFETCH(QString, text);
  QFETCH(QString, name);
  QFETCH(int, rank);
  const FoodSearchText search(text);
  QCOMPARE(search.Rank(FoldedFoodText(name)), rank);
  QCOMPARE(search.RankOf(name), rank);
}

// Her own foods in other languages: case and accents are ignored for every letter, in
// the index and in the slower reading of every name.
void FoodDatabaseTest::ownFoodsInOtherLanguages_data() {
  QTest::addColumn<QString>("keyword");
  QTest::addColumn<QStringList>("expected");  // names
  const QString eclair = "Chocolate Éclair, homemade";
  const QString borscht = "Украинский Борщ";
  const QString creme = "Crème brûlée";
  QTest::newRow("Éclair") << "Éclair" << QStringList{eclair};
  QTest::newRow("éclair") << "éclair" << QStringList{eclair};
  QTest::newRow("ÉCLAIR") << "ÉCLAIR" << QStringList{eclair};
  QTest::newRow("without the accent") << "eclair" << QStringList{eclair};
  QTest::newRow("Борщ") << "Борщ" << QStringList{borscht};
  QTest::newRow("борщ") << "борщ" << QStringList{borscht};
  QTest::newRow("БОРЩ") << "БОРЩ" << QStringList{borscht};
  QTest::newRow("two Cyrillic words, any order") << "борщ украинский" << QStringList{borscht};
  QTest::newRow("accents typed, none stored") << "Crème" << QStringList{creme, "Creme brulee, quick"};
  QTest::newRow("accents stored, none typed") << "creme brulee" << QStringList{creme, "Creme brulee, quick"};
  QTest::newRow("a decomposed accent") << QString("bru\u0302le\u0301e") << QStringList{creme, "Creme brulee, quick"};
}

void FoodDatabaseTest::ownFoodsInOtherLanguages() {
  QFETCH(QString, keyword);
  QFETCH(QStringList, expected);
  for (const Db kind : {Db::Indexed, Db::Old}) {
    DatabaseRig rig(kind);
    FoodQuery query;
    for (const char* name : {"Chocolate Éclair, homemade", "Украинский Борщ", "Crème brulée"}) {
      OwnFood food;
      food.name = QString::fromUtf8(name);
      QVERIFY2(query.AddFood(OwnFoodRecord(food)), qPrintable(query.errorString()));
    }
    // One stored by hand, its accents decomposed, and one without accents.
    QVERIFY(ExecOnDatabaseFile(rig.path, QString("UPDATE food SET Long_Desc = 'Cre\u0300me "
                                                 "bru\u0302le\u0301e' WHERE NDB_No = 'F3'")));
    QVERIFY(ExecOnDatabaseFile(rig.path, "INSERT INTO food (NDB_No, Long_Desc) VALUES ('F4', 'Creme brulee, quick')"));
    QVERIFY2(query.SearchByKeyword(keyword), qPrintable(query.errorString()));
    QStringList names;
    for (int r = 0; r < query.rowCount(); ++r)
      names << query.Field(r, FoodField::Long_Desc).normalized(QString::NormalizationForm_C);
    QCOMPARE(names, expected);
    if (kind == Db::Old) QVERIFY(query.UsedSearchIndex());  // made at the first search
  }
}

// Adding, renaming and removing her own foods keeps the index up to date, and so does a
// food written by another program (the triggers note it).
void FoodDatabaseTest::searchIndexFollowsEveryChange() {
  DatabaseRig rig;
  FoodQuery query;
  auto found = [&](const QString& keyword) {
    if (!query.SearchByKeyword(keyword)) return QStringList{"<error> " + query.errorString()};
    if (!query.UsedSearchIndex()) return QStringList{"<no index>"};
    return Numbers(query);
  };
  auto indexed = [&] {
    QSqlQuery q(AppDatabase());
    return q.exec("SELECT count(*) FROM food_search") && q.next() ? q.value(0).toInt() : -1;
  };
  QCOMPARE(indexed(), 12);
  OwnFood food;
  food.name = "Grandma's rye crisp";
  QVERIFY(query.AddFood(OwnFoodRecord(food)));
  QCOMPARE(PendingFoodSearchCount(AppDatabase()), 0);  // folded in at once
  QCOMPARE(found("crisp rye"), QStringList{"F1"});

  QVERIFY(query.setData(query.index(0, FoodQuery::NameColumn), "Knäckebröd"));
  QVERIFY(query.Post());
  QCOMPARE(found("crisp"), QStringList{});
  QCOMPARE(found("knackebrod"), QStringList{"F1"});
  QCOMPARE(rig.stored("F1")[FoodField::Long_Desc], QString("Knäckebröd"));

  QVERIFY(query.RemoveFood(0));
  QCOMPARE(found("knackebrod"), QStringList{});
  QCOMPARE(indexed(), 12);

  QVERIFY(ExecOnDatabaseFile(rig.path, "INSERT INTO food (NDB_No, Long_Desc) VALUES ('F9', 'Pfefferkuchen')"));
  QVERIFY(ExecOnDatabaseFile(rig.path, "UPDATE food SET Long_Desc = 'Pork, my way' WHERE NDB_No = '10001'"));
  QCOMPARE(found("kuchen"), QStringList{"F9"});
  QCOMPARE(found("my way"), QStringList{kPork});
  QVERIFY(ExecOnDatabaseFile(rig.path, "DELETE FROM food WHERE NDB_No = 'F9'"));
  QCOMPARE(found("kuchen"), QStringList{});
  QCOMPARE(indexed(), 12);
}

// A Food.db made before the index gets it at the first search, her foods untouched; a
// damaged one is never written, and still found in.
void FoodDatabaseTest::oldDatabaseGetsTheIndex() {
  {
    DatabaseRig rig(Db::Old);
    QVERIFY(ExecOnDatabaseFile(rig.path, "INSERT INTO food (NDB_No, FdGrp_Cd, Long_Desc, Energ_Kcal) "
                                         "VALUES ('F1', '1900', 'Éclair', '262')"));
    const QStringList before = rig.dump();
    QVERIFY(!HasFoodSearchIndex(AppDatabase()));
    FoodQuery query;
    QVERIFY(query.SearchByGroup("1900"));  // the group listing needs no index
    QVERIFY(!HasFoodSearchIndex(AppDatabase()));
    QVERIFY(query.SearchByKeyword("eclair"));
    QVERIFY(query.UsedSearchIndex());
    QCOMPARE(Numbers(query), QStringList{"F1"});
    QVERIFY(HasFoodSearchIndex(AppDatabase()));
    QCOMPARE(rig.dump(), before);
  }
  DatabaseRig rig(Db::DamagedOld);
  const QByteArray before = rig.bytes();
  FoodQuery query;
  QVERIFY(query.SearchByKeyword("apple juice"));
  QCOMPARE(Numbers(query), (QStringList{kBabyJuiceApple, kPineappleJuice}));
  QVERIFY(!query.UsedSearchIndex());
  QVERIFY(!HasFoodSearchIndex(AppDatabase()));
  CloseDatabase();
  QCOMPARE(rig.bytes(), before);
}

// An index that no longer matches the food table is made again before it is searched:
// one of an earlier program (which noted NDB_No, not rowids, and had missed a food), and
// one whose foods were renumbered behind the triggers' back by another program while the
// window was open (a table dumped and read back).
void FoodDatabaseTest::indexOutOfStepIsMadeAgain_data() {
  QTest::addColumn<QStringList>("change");
  QTest::addColumn<bool>("searchFirst");
  QTest::newRow("earlier program's index")
      << QStringList{"DROP TRIGGER food_search_added", "DROP TRIGGER food_search_changed",
                     "DROP TRIGGER food_search_removed", "DROP TABLE food_search_pending",
                     "DELETE FROM food_search WHERE NDB_No = '09003'",
                     "CREATE TABLE food_search_pending (NDB_No TEXT PRIMARY KEY)",
                     "CREATE TRIGGER food_search_added AFTER INSERT ON food BEGIN INSERT OR "
                     "IGNORE INTO food_search_pending (NDB_No) VALUES (new.NDB_No); END",
                     "CREATE TRIGGER food_search_changed AFTER UPDATE OF NDB_No, Long_Desc ON "
                     "food BEGIN INSERT OR IGNORE INTO food_search_pending (NDB_No) VALUES "
                     "(new.NDB_No); END",
                     "CREATE TRIGGER food_search_removed AFTER DELETE ON food BEGIN INSERT OR "
                     "IGNORE INTO food_search_pending (NDB_No) VALUES (old.NDB_No); END"}
      << false;
  QTest::newRow("foods renumbered while open")
      << QStringList{"DROP TRIGGER food_search_changed", "UPDATE food SET rowid = -rowid",
                     "<the trigger as it was>"}
      << true;
}

void FoodDatabaseTest::indexOutOfStepIsMadeAgain() {
  QFETCH(QStringList, change);
  QFETCH(bool, searchFirst);
  QStringList expected;
  {
    DatabaseRig fresh;
    FoodQuery query;
    QVERIFY(query.SearchByKeyword("apple"));
    expected = Numbers(query);
  }
  QVERIFY(expected.contains(kApplesRaw));
  DatabaseRig rig;
  FoodQuery query;
  if (searchFirst) QVERIFY(query.SearchByKeyword("apple"));
  QString trigger;
  {
    QSqlQuery q(AppDatabase());
    QVERIFY(q.exec("SELECT sql FROM sqlite_master WHERE name = 'food_search_changed'") && q.next());
    trigger = q.value(0).toString();
  }
  for (QString statement : change) {
    if (statement == "<the trigger as it was>") statement = trigger;
    QString e;
    QVERIFY2(ExecOnDatabaseFile(rig.path, statement, &e), qPrintable(statement + ": " + e));
  }
  const QStringList before = rig.dump();
  QVERIFY(query.SearchByKeyword("apple"));
  QVERIFY(query.UsedSearchIndex());
  QStringList found = Numbers(query);
  // Renumbered in reverse, the order within a rank follows the table: the set is the same.
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  QCOMPARE(found, expected);
  QVERIFY(HasFoodSearchIndex(AppDatabase()));
  QVERIFY(FoodSearchIndexAgrees(AppDatabase()));
  QCOMPARE(rig.dump(), before);
}

// The database the build ships has the index, and finds every food that holds the words.
void FoodDatabaseTest::shippedDatabaseFindsEveryWord() {
  TestEnv env;
  const QString path = env.home() + "/Food.db";
  QVERIFY(QFile::copy(TestEnv::programFolder() + "DB/Food.db", path));
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  QVERIFY(OpenDatabaseFile(path, nullptr));
  QVERIFY(HasFoodSearchIndex(AppDatabase()));
  {
    // The SQLite that Qt's driver uses has the full-text engine.
    QSqlQuery q(AppDatabase());
    QVERIFY(q.exec("PRAGMA compile_options"));
    QStringList options;
    while (q.next()) options << q.value(0).toString();
    QVERIFY2(options.contains("ENABLE_FTS5"), qPrintable(options.join(' ')));
  }
  FoodQuery query;
  // Every one of the 55 names that hold "banana", those beginning with it first.
  QVERIFY(query.SearchByKeyword("banana"));
  QVERIFY(query.UsedSearchIndex());
  QCOMPARE(query.rowCount(), 55);
  QVERIFY(query.Field(0, FoodField::Long_Desc).startsWith("Bananas"));
  QVERIFY(!query.Field(54, FoodField::Long_Desc).startsWith("Banana", Qt::CaseInsensitive));
  QVERIFY(query.SearchByKeyword("chicken breast"));
  QStringList names;
  for (int r = 0; r < query.rowCount(); ++r) names << query.Field(r, FoodField::Long_Desc);
  QVERIFY(names.contains("Chicken, broilers or fryers, breast, meat only, cooked, roasted"));
  for (const QString& name : names) {
    QVERIFY2(name.contains("chicken", Qt::CaseInsensitive), qPrintable(name));
    QVERIFY2(name.contains("breast", Qt::CaseInsensitive), qPrintable(name));
  }
  CloseDatabase();
}

void FoodDatabaseTest::groupSearch_data() {
  QTest::addColumn<QString>("code");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("Ethnic Foods") << "3500" << QStringList{kAscidians};
  QTest::newRow("Snacks") << "2500" << QStringList{kSnackChips};
  QTest::newRow("Pork") << "1000" << QStringList{kPork};
  QTest::newRow("Fruits") << "0900" << QStringList{kApplesRaw, kBlackberryJuice, kPineappleJuice};
  QTest::newRow("no such group") << "2500\" OR \"1\"=\"1" << QStringList{};
}

void FoodDatabaseTest::groupSearch() {
  QFETCH(QString, code);
  QFETCH(QStringList, expected);
  DatabaseRig rig;
  FoodQuery query;
  QVERIFY(query.SearchByGroup(code));
  QCOMPARE(Numbers(query), expected);
}

void FoodDatabaseTest::scaleByServings_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("servings");
  QTest::addColumn<QString>("expected");
  QTest::newRow("142.5 to the even 142") << "95" << 1.5 << "142";
  QTest::newRow("22.5 to 22") << "22.5" << 1.0 << "22";
  QTest::newRow("23.5 to 24") << "23.5" << 1.0 << "24";
  QTest::newRow("decimals") << "0.33" << 10.0 << "3";
  QTest::newRow("no servings") << "95" << 0.0 << "0";
  QTest::newRow("not a number") << "abc" << 2.0 << "0";
  QTest::newRow("empty") << "" << 2.0 << "0";
  QTest::newRow("no minus zero") << "-0.4" << 1.0 << "0";
  QTest::newRow("spaces") << " 146.4 " << 1.0 << "146";
}

void FoodDatabaseTest::scaleByServings() {
  QFETCH(QString, text);
  QFETCH(double, servings);
  QFETCH(QString, expected);
  QCOMPARE(ScaleByServings(text, servings), expected);
}

// The table writes "."; a comma locale still reads 0.26 as 0.26 (not as 0), and a value
// typed with the comma reads too.
void FoodDatabaseTest::commaLocaleReadsPointNumbers() {
  const QLocale german(QLocale::German, QLocale::Germany);
  QCOMPARE(ReadFoodNumber("0.26", german), 0.26);
  QCOMPARE(ReadFoodNumber("0,26", german), 0.26);
  QCOMPARE(ReadFoodNumber("146.4", german), 146.4);
  QCOMPARE(ReadFoodNumber("zwei", german), 0.0);
  QCOMPARE(ScaleByServings("0.26", 100, german), QString("26"));
  FoodRecord apples;
  apples[FoodField::Long_Desc] = "Apples, raw, with skin";
  apples[FoodField::Energ_Kcal] = "65";
  apples[FoodField::Carbohydrt] = "17.26";
  apples[FoodField::Protein] = "0.33";
  apples[FoodField::Lipid_Tot] = "0.21";
  const FoodPick pick = FoodPickOf(apples, 10, german);
  QCOMPARE(pick.Cells(), (QStringList{"Apples, raw, with skin", "650", "173", "3", "2"}));
}

// "F" and a number not used yet: adding twice, or after an old program's F417, never
// fails on the key.
void FoodDatabaseTest::ownFoodsNeverClash() {
  DatabaseRig rig;
  FoodQuery query;
  QVERIFY(query.SearchByGroup("2500"));
  OwnFood rye;
  rye.name = "Rye crisp";
  rye.groupPosition = 22;
  rye.serving = "1 Cup";
  rye.weight = 10;
  rye.calories = 37;
  int row = -1;
  QVERIFY2(query.AddFood(OwnFoodRecord(rye), &row), qPrintable(query.errorString()));
  QCOMPARE(row, 1);
  QCOMPARE(query.Field(row, FoodField::NDB_No), QString("F1"));
  QVERIFY(query.AddFood(OwnFoodRecord(rye), &row));
  QCOMPARE(query.Field(row, FoodField::NDB_No), QString("F2"));
  const FoodRecord stored = rig.stored("F2");
  QCOMPARE(stored[FoodField::FdGrp_Cd], QString("2500"));
  QCOMPARE(stored[FoodField::GMWT_1], QString("10"));
  QCOMPARE(stored[FoodField::GMWT_DESC1], QString("1 Cup"));
  QCOMPARE(stored[FoodField::Energ_Kcal], QString("37"));
  QCOMPARE(stored[FoodField::Long_Desc], QString("Rye crisp"));

  QVERIFY(ExecOnDatabaseFile(rig.path, "INSERT INTO food (NDB_No, Long_Desc) VALUES ('F417', 'old')"));
  QVERIFY(query.AddFood(OwnFoodRecord(rye), &row));
  QCOMPARE(query.Field(row, FoodField::NDB_No), QString("F418"));
  QCOMPARE(rig.count("Long_Desc = 'Rye crisp'"), 3);
}

// The grid shows the figures to the table's precision, one decimal, in her language;
// the editor and the record keep the stored hundredths.
void FoodDatabaseTest::gridShowsOneDecimal() {
  DatabaseRig rig;
  FoodQuery query;
  QVERIFY(query.SearchByKeyword("apple"));
  const int juice = int(Numbers(query).indexOf(kBabyJuiceApple));
  QVERIFY(query.setData(query.index(juice, FoodQuery::CarbsColumn), "51.39"));
  QCOMPARE(query.index(juice, FoodQuery::CarbsColumn).data(Qt::DisplayRole).toString(), QString("51.4"));
  QCOMPARE(query.index(juice, FoodQuery::CarbsColumn).data(Qt::EditRole).toString(), QString("51.39"));
  QCOMPARE(query.index(juice, FoodQuery::CaloriesColumn).data(Qt::DisplayRole).toString(), QString("14.9"));
  QCOMPARE(query.index(juice, FoodQuery::NameColumn).data(Qt::DisplayRole).toString(),
           query.Field(juice, FoodField::Long_Desc));
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QCOMPARE(query.index(juice, FoodQuery::CarbsColumn).data(Qt::DisplayRole).toString(), QString("51,4"));
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  query.Cancel();
}

// An edit is held until posted (moving to another row posts it); a post that cannot
// find its record fails and keeps the edit.
void FoodDatabaseTest::editHeldUntilPosted() {
  DatabaseRig rig;
  FoodQuery query;
  QVERIFY(query.SearchByKeyword("apple"));
  const int juice = int(Numbers(query).indexOf(kBabyJuiceApple));
  QVERIFY(query.setData(query.index(juice, FoodQuery::CaloriesColumn), "20"));
  QVERIFY(query.IsEditing());
  QCOMPARE(query.Field(juice, FoodField::Energ_Kcal), QString("20"));
  QCOMPARE(rig.stored(kBabyJuiceApple)[FoodField::Energ_Kcal], QString("14.9"));
  // An edit in another row writes the first.
  const int apples = int(Numbers(query).indexOf(kApplesRaw));
  QVERIFY(query.setData(query.index(apples, FoodQuery::NameColumn), "Apples, my own"));
  QCOMPARE(rig.stored(kBabyJuiceApple)[FoodField::Energ_Kcal], QString("20"));
  query.Cancel();
  QCOMPARE(query.Field(apples, FoodField::Long_Desc), QString("Apples, raw, with skin"));
  QCOMPARE(rig.stored(kApplesRaw)[FoodField::Long_Desc], QString("Apples, raw, with skin"));

  QVERIFY(query.setData(query.index(apples, FoodQuery::FatColumn), "1"));
  QVERIFY(ExecOnDatabaseFile(rig.path, "DELETE FROM food WHERE NDB_No = '09003'"));
  QVERIFY(!query.Post());
  QVERIFY(query.errorString().contains("no longer in the table"));
  QVERIFY(query.IsEditing());
}

// ------------------------------------------------------------------------------------
// The window

void FoodDatabaseTest::keywordFromDiarySearchedAtOnce() {
  WindowRig rig;
  QCOMPARE(rig.window->windowTitle(), QString("USDA - Food Database"));
  QCOMPARE(rig.child<QLineEdit>("Search_Keyword")->text(), QString("Search"));
  QCOMPARE(rig.query()->rowCount(), 0);  // nothing until the first search
  rig.window->SetKeyword("juice apple");
  QCOMPARE(rig.child<QLineEdit>("Search_Keyword")->text(), QString("juice apple"));
  QCOMPARE(Numbers(*rig.query()), (QStringList{kBabyJuiceApple, kPineappleJuice}));
  QCOMPARE(rig.currentRow(), 0);
  QCOMPARE(rig.child<QLabel>("DBText_Long_Desc")->text(), QString("Babyfood, juice, apple"));
  QCOMPARE(rig.child<QLabel>("DBText_GMWT_DESC1")->text(), QString("Servings of 1 fl oz"));
  // The magnifier searches the box's text at once.
  rig.child<QLineEdit>("Search_Keyword")->setText("pork");
  QTest::mouseClick(rig.child<QToolButton>("Search_button"), Qt::LeftButton);
  QCOMPARE(Numbers(*rig.query()), QStringList{kPork});
  QVERIFY(rig.errors().isEmpty());
}

void FoodDatabaseTest::groupClickQueriesItsCode_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("Ethnic Foods") << "Ethnic Foods" << QStringList{kAscidians};
  QTest::newRow("Snacks") << "Snacks" << QStringList{kSnackChips};
  QTest::newRow("Pork") << "Pork " << QStringList{kPork};
  QTest::newRow("Baked") << "Baked " << QStringList{kStrudelApple};
}

void FoodDatabaseTest::groupClickQueriesItsCode() {
  QFETCH(QString, item);
  QFETCH(QStringList, expected);
  WindowRig rig;
  rig.clickGroup(item);
  QCOMPARE(Numbers(*rig.query()), expected);
}

// Position 6 is 1.5 servings: 95 calories give 142 (142.5 to the even neighbour).
void FoodDatabaseTest::trackBarScalesThePick() {
  WindowRig rig;
  rig.window->SetKeyword("blackberry");
  rig.window->ReadyTimerFired();
  QCOMPARE(rig.child<QLabel>("Calories_Label")->text(), QString("95 calories"));
  rig.child<QSlider>("track")->setValue(6);
  QCOMPARE(rig.child<QDoubleSpinBox>("multiple")->value(), 1.5);
  QCOMPARE(rig.child<QLabel>("Calories_Label")->text(), QString("142 calories"));
  QCOMPARE(rig.child<QLabel>("grams_label")->text(), QString("375 grams"));
  rig.clickButton("btnEat");
  QVERIFY(rig.window->Chosen());
  QCOMPARE(rig.window->result(), int(QDialog::Accepted));
  QCOMPARE(rig.window->Pick().Cells(),
           (QStringList{"Blackberry juice, canned", "142", "29", "1", "2"}));
}

// Moving with the arrow keys and eating takes the highlighted food, with the servings
// shown for it; so does Enter.
void FoodDatabaseTest::pickFollowsTheHighlightedRow() {
  {
  WindowRig rig;
  rig.window->SetKeyword("apple");
  rig.window->ReadyTimerFired();
  rig.clickRow(1);
  rig.child<QSlider>("track")->setValue(8);
  QTest::keyClick(rig.grid(), Qt::Key_Up);
  QCOMPARE(rig.currentNumber(), kApplesRaw);
  QCOMPARE(rig.child<QLabel>("DBText_Long_Desc")->text(), QString("Apples, raw, with skin"));
  QCOMPARE(rig.child<QLabel>("Calories_Label")->text(), QString("65 calories"));
  rig.child<QSlider>("track")->setValue(8);
  rig.clickButton("btnEat");
  QVERIFY(rig.window->Chosen());
  QCOMPARE(rig.window->Pick().Cells(), (QStringList{"Apples, raw, with skin", "130", "35", "1", "0"}));
  }

  WindowRig again;
  again.window->SetKeyword("apple");
  again.window->ReadyTimerFired();
  QTest::keyClick(again.grid(), Qt::Key_Down);
  QTest::keyClick(again.grid(), Qt::Key_Down);
  QTest::keyClick(again.grid(), Qt::Key_Return);
  QVERIFY(again.window->Chosen());
  QCOMPARE(again.window->Pick().Name, QString("Strudel, apple"));
}

void FoodDatabaseTest::noPickWithoutCurrentRecord_data() {
  QTest::addColumn<bool>("ready");
  QTest::addColumn<QString>("keyword");
  QTest::newRow("before the window is ready") << false << "apple";
  QTest::newRow("after a search that found nothing") << true << "nothing like this";
  QTest::newRow("before any search") << true << "";
}

// Eat, a double click and Enter hand back nothing without a current record or before
// the window is ready; the window stays open.
void FoodDatabaseTest::noPickWithoutCurrentRecord() {
  QFETCH(bool, ready);
  QFETCH(QString, keyword);
  WindowRig rig;
  if (!keyword.isEmpty()) rig.window->SetKeyword(keyword);
  if (ready) rig.window->ReadyTimerFired();
  auto* eat = rig.child<QPushButton>("btnEat");
  QVERIFY(!eat->isEnabled());
  QTest::mouseClick(eat, Qt::LeftButton);
  if (rig.query()->rowCount() > 0)
    rig.doubleClick(0);
  QTest::keyClick(rig.grid(), Qt::Key_Return);
  QVERIFY(!rig.window->Chosen());
  QVERIFY(rig.window->isVisible());
}

void FoodDatabaseTest::doubleClickWhileEditingKeepsWindowOpen() {
  WindowRig rig;
  rig.window->SetKeyword("apple");
  rig.window->ReadyTimerFired();
  rig.clickNavigator("Edit");
  QCOMPARE(rig.grid()->selectionBehavior(), QAbstractItemView::SelectItems);
  const int apples = rig.rowOf(kApplesRaw);
  rig.doubleClick(apples);
  QVERIFY(rig.window->isVisible());
  QVERIFY(!rig.window->Chosen());
  // The double click opened the cell for typing; Post writes it and browses again.
  auto* editor = qobject_cast<QLineEdit*>(rig.grid()->indexWidget(rig.query()->index(apples, 0)));
  QVERIFY(editor);
  editor->setText("Apples, picked today");
  rig.clickNavigator("Post");
  QCOMPARE(rig.stored(kApplesRaw)[FoodField::Long_Desc], QString("Apples, picked today"));
  QCOMPARE(rig.grid()->selectionBehavior(), QAbstractItemView::SelectRows);
  QCOMPARE(rig.grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
  // Browsing again, a double click eats.
  rig.doubleClick(apples);
  QVERIFY(rig.window->Chosen());
  QCOMPARE(rig.window->Pick().Name, QString("Apples, picked today"));
}

// The timer is armed by the first change and not put off by later ones; it searches the
// text typed by then. The diary's keyword is searched at once, and its timer then
// leaves the user's row alone.
void FoodDatabaseTest::typingSearchesOnceAfterTwoSeconds() {
  WindowRig rig;
  auto* timer = rig.window->findChild<QTimer*>("SearchTimer");
  QVERIFY(timer);
  QCOMPARE(timer->interval(), 2000);
  QVERIFY(!timer->isActive());
  auto* box = rig.child<QLineEdit>("Search_Keyword");
  box->selectAll();
  QTest::keyClick(box, Qt::Key_P);
  QVERIFY(timer->isActive());
  QTest::keyClicks(box, "ork");
  QVERIFY(timer->isActive());
  QCOMPARE(rig.query()->rowCount(), 0);
  rig.window->SearchTimerFired();
  QVERIFY(!timer->isActive());
  QCOMPARE(Numbers(*rig.query()), QStringList{kPork});

  rig.window->SetKeyword("apple");
  QVERIFY(timer->isActive());
  rig.clickRow(2);
  rig.window->SearchTimerFired();
  QCOMPARE(rig.currentNumber(), kStrudelApple);
}

// Rye crisp in Snacks, 10 grams: stored with group 2500, weight 10 and an F number; a
// second one gets the next number.
void FoodDatabaseTest::addFoodThroughDialog() {
  WindowRig rig;
  rig.clickGroup("Snacks");
  for (const QString& expected : {QString("F1"), QString("F2")}) {
    OnNextModal([](QWidget* modal) {
      auto* dialog = qobject_cast<AddFoodDialog*>(modal);
      QVERIFY(dialog);
      QCOMPARE(dialog->windowTitle(), QString("Add Food"));
      dialog->findChild<QLineEdit*>("Foodname")->setText("Rye crisp");
      dialog->findChild<QComboBox*>("Group")->setCurrentIndex(22);
      dialog->findChild<QSpinBox*>("Weight")->setValue(10);
      dialog->findChild<QSpinBox*>("Calories")->setValue(37);
      QTest::mouseClick(dialog->findChild<QPushButton*>("btnAdd"), Qt::LeftButton);
    });
    rig.clickNavigator("Insert");
    QCOMPARE(rig.currentNumber(), expected);
    const FoodRecord stored = rig.stored(expected);
    QCOMPARE(stored[FoodField::Long_Desc], QString("Rye crisp"));
    QCOMPARE(stored[FoodField::FdGrp_Cd], QString("2500"));
    QCOMPARE(stored[FoodField::GMWT_1], QString("10"));
    QCOMPARE(stored[FoodField::GMWT_DESC1], QString("1 Cup"));
    QCOMPARE(stored[FoodField::Energ_Kcal], QString("37"));
    QCOMPARE(stored[FoodField::Carbohydrt], QString("1"));
  }
  // Cancel adds nothing.
  OnNextModal([](QWidget* modal) {
    QTest::mouseClick(modal->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
  });
  rig.clickNavigator("Insert");
  QCOMPARE(rig.count("NDB_No LIKE 'F%'"), 2);
  QVERIFY(rig.errors().isEmpty());
}

void FoodDatabaseTest::deleteAsksFirst() {
  WindowRig rig;
  rig.window->SetKeyword("apple");
  rig.clickRow(rig.rowOf(kStrudelApple));
  rig.env.answer = [](const MessageRequest&) { return MessageAnswer{false, {}}; };
  rig.clickNavigator("Delete");
  QCOMPARE(rig.env.messages.size(), 1);
  QCOMPARE(rig.env.messages[0].kind, MessageKind::Question);
  QCOMPARE(rig.env.messages[0].text, QString("Delete record?"));
  QCOMPARE(rig.count("NDB_No = '18354'"), 1);
  QCOMPARE(rig.query()->rowCount(), 5);

  rig.env.answer = [](const MessageRequest&) { return MessageAnswer{true, {}}; };
  rig.clickNavigator("Delete");
  QCOMPARE(rig.count("NDB_No = '18354'"), 0);
  QCOMPARE(Numbers(*rig.query()),
           (QStringList{kApplesRaw, kBabyJuiceApple, kApplesauceMiddle, kPineappleJuice}));
  QVERIFY(rig.currentRow() >= 0);
  // Gone from the search as well.
  rig.window->SetKeyword("strudel");
  QCOMPARE(rig.query()->rowCount(), 0);
}

// What was typed into a food survives closing the window without Post.
void FoodDatabaseTest::closingPostsAnEditedFood() {
  WindowRig rig;
  rig.window->SetKeyword("pork");
  rig.clickNavigator("Edit");
  rig.doubleClick(0, FoodQuery::CaloriesColumn);
  auto* editor = qobject_cast<QLineEdit*>(rig.grid()->indexWidget(rig.query()->index(0, FoodQuery::CaloriesColumn)));
  QVERIFY(editor);
  editor->setText("100");
  rig.clickButton("BitBtn3");
  QVERIFY(!rig.window->isVisible());
  QVERIFY(!rig.window->Chosen());
  QCOMPARE(rig.stored(kPork)[FoodField::Energ_Kcal], QString("100"));
}

void FoodDatabaseTest::missingFoodTableIsReported() {
  DatabaseRig rig;
  CloseDatabase();
  QVERIFY(ExecOnDatabaseFile(rig.path, "DROP TABLE food"));
  QString e;
  QVERIFY(OpenDatabaseFile(rig.path, &e));
  FoodDatabaseWindow window;
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors()[0].contains("holds no table \"food\""), qPrintable(rig.errors()[0]));
  window.SetKeyword("apple");
  QCOMPARE(window.Query()->rowCount(), 0);
  QCOMPARE(rig.errors().size(), 1);
}

// A food table of another shape is named in the message, not met with empty errors later.
void FoodDatabaseTest::wrongShapeFoodTableIsNamed() {
  DatabaseRig rig;
  CloseDatabase();
  QVERIFY(ExecOnDatabaseFile(rig.path, "ALTER TABLE food RENAME COLUMN GMWT_DESC1 TO Serving"));
  QVERIFY(OpenDatabaseFile(rig.path, nullptr));
  FoodDatabaseWindow window;
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors()[0].contains("table \"food\""), qPrintable(rig.errors()[0]));
  QVERIFY2(rig.errors()[0].contains("the column GMWT_DESC1 is missing"), qPrintable(rig.errors()[0]));
  window.SetKeyword("apple");
  QCOMPARE(window.Query()->rowCount(), 0);
  QCOMPARE(rig.errors().size(), 1);
}

// A damaged Food.db is searched but never written: the window says why at Insert, Edit
// and Delete (before asking anything), the grid opens no editor, and the file keeps
// every byte.
void FoodDatabaseTest::damagedDatabaseIsSearchedNotWritten() {
  DatabaseRig rig;
  CloseDatabase();
  QVERIFY(DamageDatabasePage(rig.path, "food_group"));
  const QByteArray before = rig.bytes();
  QString e;
  QVERIFY(OpenDatabaseFile(rig.path, &e));
  QVERIFY(DatabaseIsReadOnly());
  QVERIFY2(DatabaseReadOnlyMessage().contains("It is damaged"), qPrintable(DatabaseReadOnlyMessage()));
  QVERIFY(DatabaseReadOnlyMessage().contains(rig.path));
  {
    FoodDatabaseWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(rig.errors().isEmpty());
    window.SetKeyword("apple");
    QCOMPARE(window.Query()->rowCount(), 5);
    for (const char* button : {"Insert", "Edit", "Delete"}) {
      rig.env.clearMessages();
      QTest::mouseClick(window.findChild<QWidget*>("DBNavigator1")->findChild<QToolButton*>(button),
                        Qt::LeftButton);
      QCOMPARE(rig.env.messages.size(), 1);
      QCOMPARE(rig.env.messages[0].kind, MessageKind::Error);
      QVERIFY2(rig.env.messages[0].text.contains("read-only"), qPrintable(rig.env.messages[0].text));
    }
    QVERIFY(!(window.Query()->flags(window.Query()->index(0, 0)) & Qt::ItemIsEditable));
    OwnFood food;
    food.name = "Rye crisp";
    QVERIFY(!window.Query()->AddFood(OwnFoodRecord(food)));
    QVERIFY(window.Query()->errorString().startsWith("Cannot create file \"" + rig.path));
    QVERIFY(!window.Query()->RemoveFood(0));
  }
  CloseDatabase();
  QCOMPARE(rig.bytes(), before);
  QVERIFY(!QFile::exists(rig.path + "-journal"));
}

// Damage met while the program runs ("database disk image is malformed") stops the
// writes from then on.
void FoodDatabaseTest::damageFoundLaterStopsTheWrites() {
  DatabaseRig rig;
  QVERIFY(!DatabaseIsReadOnly());
  const QString message = DatabaseReadMessage(
      QSqlError("", "database disk image is malformed", QSqlError::StatementError, "11"));
  QVERIFY2(message.contains("read-only"), qPrintable(message));
  QVERIFY(DatabaseIsReadOnly());
  QVERIFY(DatabaseReadOnlyMessage().contains("database disk image is malformed"));
  FoodQuery query;
  OwnFood food;
  food.name = "Rye crisp";
  QVERIFY(!query.AddFood(OwnFoodRecord(food)));
  QVERIFY(query.errorString().contains("read-only"));
  // Even a statement of its own is refused by the connection.
  QVERIFY(!QSqlQuery(AppDatabase()).exec("DELETE FROM food"));
  QCOMPARE(rig.count(), 12);
  // Other errors change nothing.
  CloseDatabase();
  QVERIFY(OpenDatabaseFile(rig.path, nullptr));
  DatabaseWriteMessage(QSqlError("", "database or disk is full", QSqlError::StatementError, "13"));
  QVERIFY(!DatabaseIsReadOnly());
}

// The meal diary's way in: the window opens modally with its keyword and hands back the
// food eaten, or nothing when closed.
void FoodDatabaseTest::seamHandsBackThePick() {
  DatabaseRig rig;
  OnNextModal([](QWidget* modal) {
    auto* window = qobject_cast<FoodDatabaseWindow*>(modal);
    QVERIFY(window);
    QCOMPARE(window->Query()->rowCount(), 1);
    window->ReadyTimerFired();
    QTest::mouseClick(window->findChild<QPushButton*>("btnEat"), Qt::LeftButton);
  });
  const std::optional<FoodPick> pick = PickFromFoodDatabaseWindow(nullptr, "blackberry");
  QVERIFY(pick.has_value());
  QCOMPARE(pick->Cells(), (QStringList{"Blackberry juice, canned", "95", "20", "1", "2"}));

  OnNextModal([](QWidget* modal) {
    QTest::mouseClick(modal->findChild<QPushButton*>("BitBtn3"), Qt::LeftButton);
  });
  QVERIFY(!PickFromFoodDatabaseWindow(nullptr, "blackberry").has_value());
}

QTEST_MAIN(FoodDatabaseTest)
#include "test_fooddatabase.moc"
