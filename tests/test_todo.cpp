#include <QtTest>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTableView>
#include <QToolButton>

#include "app/config.h"
#include "core/inifile.h"
#include "app/datafolders.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "core/textfile.h"
#include "support/fakehost.h"
#include "support/faults.h"
#include "support/testenv.h"
#include "trackers/todolist.h"
#include "trackers/widgets/todoview.h"

namespace {

const QDate kMar1(2009, 3, 1);  // a Sunday
const QDate kMar2(2009, 3, 2);  // a Monday

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
  f.write(bytes);
}

QStringList Texts(const ToDoList& list) {
  QStringList out;
  for (const ToDoItem& item : list.Items()) out << item.text;
  return out;
}

// A view over a fresh data tree, shown offscreen so that item geometry exists.
struct ViewFixture {
  TestEnv env;
  FakeHost host;
  TodoView view{&host};
  QString todoDir = host.Dir().ToDoFolder();

  QTableView* list() { return view.findChild<QTableView*>("todo"); }
  QListWidget* categories() { return view.findChild<QListWidget*>("cboCategory"); }
  QToolButton* button(const char* name) { return view.findChild<QToolButton*>(name); }
  void show() {
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
  }
  QPoint checkCell(int row) { return list()->visualRect(list()->model()->index(row, 0)).center(); }
  QPoint textCell(int row) { return list()->visualRect(list()->model()->index(row, 1)).center(); }
  QPoint categoryEntry(int row) {
    return categories()->visualItemRect(categories()->item(row)).center();
  }
  void setText(int row, const QString& text) {
    list()->model()->setData(list()->model()->index(row, 1), text);
  }
  QList<MessageRequest> errors() const {
    QList<MessageRequest> out;
    for (const auto& m : env.messages)
      if (m.kind == MessageKind::Error) out << m;
    return out;
  }

  // Drives a drop of the current item onto the category list at pos, through the same
  // events a real drag delivers; returns whether the drop was accepted.
  bool dropOnCategories(const QPoint& pos, QMimeData* mime = nullptr) {
    return dropOn(categories()->viewport(), pos, mime);
  }
  bool dropOn(QWidget* target, const QPoint& pos, QMimeData* mime = nullptr) {
    std::unique_ptr<QMimeData> data(mime ? mime : view.CreateDragData());
    QDragEnterEvent enter(pos, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDragMoveEvent move(pos, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(pos), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
  }
};

}  // namespace

class ToDoTest : public QObject {
  Q_OBJECT

 private slots:
  // ---- records -------------------------------------------------------------------

  void parseLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("checked");
    QTest::newRow("unchecked") << "F=Call mom" << "F" << "Call mom" << false;
    QTest::newRow("checked") << "T=Pay rent" << "T" << "Pay rent" << true;
    QTest::newRow("first = splits") << "F=a=b T=c" << "F" << "a=b T=c" << false;
    QTest::newRow("no =") << "Call mom" << "Call mom" << "" << true;
    QTest::newRow("empty text") << "F=" << "F" << "" << false;
    QTest::newRow("empty key") << "=text" << "" << "text" << true;
    QTest::newRow("lower-case f is checked") << "f=x" << "f" << "x" << true;
    QTest::newRow("empty line") << "" << "" << "" << true;
  }
  void parseLine() {
    QFETCH(QString, line);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(bool, checked);
    const ToDoItem item = ParseToDoLine(line);
    QCOMPARE(item.key, key);
    QCOMPARE(item.text, text);
    QCOMPARE(item.Checked(), checked);
  }

  void categoryFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("file");
    QTest::newRow("Today") << "Today" << QDate(2009, 5, 3) << "TodayY2009M5D3.txt";
    QTest::newRow("Yesterday 1 March") << "Yesterday" << kMar1 << "TodayY2009M2D28.txt";
    QTest::newRow("Tomorrow 1 March") << "Tomorrow" << kMar1 << "TodayY2009M3D2.txt";
    QTest::newRow("Tomorrow at new year") << "Tomorrow" << QDate(2009, 12, 31)
                                          << "TodayY2010M1D1.txt";
    QTest::newRow("Yesterday in a leap year") << "Yesterday" << QDate(2008, 3, 1)
                                              << "TodayY2008M2D29.txt";
    QTest::newRow("letter case matters") << "today" << kMar1 << "today.txt";
    QTest::newRow("other name") << "@Home" << kMar1 << "@Home.txt";
    QTest::newRow("blank entry") << "" << kMar1 << ".txt";
  }
  void categoryFile() {
    QFETCH(QString, name);
    QFETCH(QDate, date);
    QFETCH(QString, file);
    QCOMPARE(CategoryFile(name, date), file);
    QCOMPARE(CategoryFile(name, date, "/x/ToDo/"), "/x/ToDo/" + file);
  }

  void defaultCategories() {
    const QStringList list = ReadCategories(QString::fromLatin1(kDefaultToDoCategories));
    QCOMPARE(list, QStringList({"Today", "Tomorrow", "Yesterday", "", "@Home", "@Work", "@Play",
                                "@Family", "@School", "@Other"}));
    QCOMPARE(CategoryFile(list.at(3), kMar1), QStringLiteral(".txt"));
    // Written back and read again, every entry keeps its place, the blank one included.
    QCOMPARE(ReadCategories(CategoriesText(list)), list);
    const QStringList odd{"Today", "My list", "a,b", "", "x"};
    QCOMPARE(ReadCategories(CategoriesText(odd)), odd);
    // A settings value with no entries at all falls back to the defaults.
    QCOMPARE(ReadCategories(""), list);
  }

  void newCategoryName_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("added");
    QTest::newRow("separators") << "a/b:c" << "a b c";
    QTest::newRow("every bad character")
        << "1\\2/3:4?5*6\"7<8>9|0;x" << "1 2 3 4 5 6 7 8 9 0 x";
    QTest::newRow("trimmed after replacing") << "  ;Shop*  " << "Shop";
    QTest::newRow("case-insensitive duplicate") << "@home" << "";
    QTest::newRow("duplicate after cleaning") << " @Work " << "";
    QTest::newRow("only bad characters") << " ? * " << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("new") << "Garden" << "Garden";
  }
  void newCategoryName() {
    QFETCH(QString, raw);
    QFETCH(QString, added);
    const QStringList list = ReadCategories(QString::fromLatin1(kDefaultToDoCategories));
    QCOMPARE(NewCategoryName(list, raw), added);
  }

  void headings() {
    QCOMPARE(ShownDateHeading(kMar2), QStringLiteral("Today (Mon)"));
    QCOMPARE(CategoryHeading("Today", kMar2), QStringLiteral("Today  (Mon)"));
    QCOMPARE(CategoryHeading("Tomorrow", kMar2), QStringLiteral("Tomorrow  (Tue)"));
    QCOMPARE(CategoryHeading("Yesterday", kMar2), QStringLiteral("Yesterday  (Sun)"));
    QCOMPARE(CategoryHeading("@Home", kMar2), QStringLiteral("@Home"));
    QCOMPARE(CategoryHeading("", kMar2), QString());
    QCOMPARE(DeleteCategoryQuestion("Mom's"),
             QStringLiteral("Are you sure you want to delete category 'Mom''s'"));
  }

  void listActions() {
    ToDoList list;
    QCOMPARE(list.Count(), 1);
    QVERIFY(list.IsBlank());
    list.SetLines({"F=A", "T=B", "F=C"});
    list.SetCurrent(1);
    list.InsertEmpty(list.Current());  // above B, and current
    QCOMPARE(Texts(list), QStringList({"A", "", "B", "C"}));
    QCOMPARE(list.Current(), 1);
    list.Remove(1);
    QVERIFY(!list.MoveUp(0));
    QVERIFY(list.MoveDown(1));  // B below C
    QCOMPARE(Texts(list), QStringList({"A", "C", "B"}));
    QCOMPARE(list.Current(), 2);
    QVERIFY(!list.MoveDown(2));
    list.Toggle(2);
    list.Toggle(0);
    QCOMPARE(list.Lines(), QStringList({"T=A", "F=C", "F=B"}));
    for (int i = 0; i < 3; ++i) list.Remove(list.Current());
    QCOMPARE(list.Lines(), QStringList({"F="}));  // never without an item
    // A key other than F or T keeps its meaning (checked) and is written as T.
    list.SetLines({"X=odd"});
    QCOMPARE(list.Lines(), QStringList({"T=odd"}));
  }

  void saveRule() {
    TestEnv env;
    const QString path = env.home() + "/TodayY2009M3D1.txt";
    QString error;
    ToDoList list;
    QVERIFY(SaveToDoList(list, path, &error));
    QVERIFY2(!QFile::exists(path), "a list with one empty item writes no file");
    list.SetLines({"F=", "F="});
    QVERIFY(SaveToDoList(list, path, &error));
    QCOMPARE(FileBytes(path), QByteArray("F=\r\nF=\r\n"));
    list.SetLines({"F=Call mom", "T=Pay rent"});
    QVERIFY(SaveToDoList(list, path, &error));
    QCOMPARE(FileBytes(path), QByteArray("F=Call mom\r\nT=Pay rent\r\n"));
    // Deleting the last item: the file goes, so the item cannot come back.
    list.Remove(0);
    list.Remove(0);
    QVERIFY(SaveToDoList(list, path, &error));
    QVERIFY(!QFile::exists(path));
    ToDoList again;
    QVERIFY(LoadToDoList(&again, path, &error));
    QCOMPARE(again.Lines(), QStringList({"F="}));
  }

  // Which actions count as the user's change (and so are written), and which deletion
  // takes the file with it.
  void modifiedOnlyByEdits_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("modified");
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("same text again") << "same" << false;
    QTest::newRow("text") << "text" << true;
    QTest::newRow("check") << "toggle" << true;
    QTest::newRow("add") << "insert" << true;
    QTest::newRow("down arrow on the last item") << "append" << true;
    QTest::newRow("delete") << "remove" << true;
    QTest::newRow("move") << "down" << true;
  }
  void modifiedOnlyByEdits() {
    QFETCH(QString, action);
    QFETCH(bool, modified);
    ToDoList list;
    list.SetLines({"F=A", "Buy milk"});
    QVERIFY(!list.IsModified());
    if (action == "same") list.SetText(0, "A");
    if (action == "text") list.SetText(0, "B");
    if (action == "toggle") list.Toggle(0);
    if (action == "insert") list.InsertEmpty(0);
    if (action == "append") list.AppendEmpty();
    if (action == "remove") list.Remove(0);
    if (action == "down") list.MoveDown(0);
    QCOMPARE(list.IsModified(), modified);
    QVERIFY(list.Lines().contains("Buy milk"));  // the hand-written line stands as read
    list.MarkSaved();
    QVERIFY(!list.IsModified());
  }

  void onlyADeletedLastItemRemovesTheFile() {
    TestEnv env;
    const QString path = env.home() + "/TodayY2009M3D1.txt";
    QString error;
    ToDoList list;
    for (const QStringList& lines : {QStringList{"F="}, QStringList{"Buy milk"}}) {
      QVERIFY(WriteTextLines(path, lines, &error));
      QVERIFY(LoadToDoList(&list, path, &error));
      QVERIFY(list.IsBlank());
      QVERIFY(SaveToDoList(list, path, &error));
      QVERIFY2(QFile::exists(path), qPrintable(lines.first()));
    }
    list.SetLines({"F=Call mom"});
    list.Remove(0);
    QVERIFY(list.EmptiedByDelete());
    list.SetText(0, "typed after all");
    QVERIFY(!list.EmptiedByDelete());  // not blank any more
    list.SetText(0, "");
    QVERIFY(SaveToDoList(list, path, &error));
    QVERIFY(!QFile::exists(path));
  }

  void readWindows1252() {
    ToDoList list;
    QString error;
    QVERIFY(LoadToDoList(&list, TestEnv::testData("todo/cp1252.txt"), &error));
    QCOMPARE(list.Count(), 3);
    QCOMPARE(list.Item(0).text, QString::fromUtf8("Café au lait"));
    QVERIFY(!list.Item(0).Checked());
    QCOMPARE(list.Item(1).text, QString::fromUtf8("Crème brûlée – 2€"));
    QVERIFY(list.Item(1).Checked());
    QCOMPARE(list.Item(2).key, QStringLiteral("no key line"));
  }

  void loadFailure() {
    TestEnv env;
    const QString path = env.home() + "/list.txt";
    QDir().mkpath(path);  // a folder where the file belongs
    ToDoList list;
    list.SetLines({"F=kept"});
    QString error;
    QVERIFY(!LoadToDoList(&list, path, &error));
    QVERIFY(error.startsWith("Cannot open file \"" + path + "\". "));
    QCOMPARE(list.Lines(), QStringList({"F=kept"}));
    QVERIFY(!SaveToDoList(list, path, &error));
    QVERIFY(error.startsWith("Cannot create file \"" + path + "\". "));
  }

  void report() {
    TestEnv env;
    QStringList categories = ReadCategories(QString::fromLatin1(kDefaultToDoCategories));
    categories << QString::fromUtf8("My café list");
    const QString build = env.home() + "/Build/";
    QDir().mkpath(build);
    QString error;
    QVERIFY2(WriteToDoReport(categories, kMar1, TestEnv::testData("todo/report/"), build, &error,
                             QDate(2009, 3, 14)),
             qPrintable(error));
    const QByteArray written = FileBytes(build + "todo.html");
    const QByteArray expected = FileBytes(TestEnv::testData("todo/report_expected.html"));
    const QStringList got = SplitLines(DecodeText(written));
    const QStringList want = SplitLines(DecodeText(expected));
    for (int i = 0; i < qMin(got.size(), want.size()); ++i)
      QCOMPARE(got.at(i), want.at(i));
    QCOMPARE(got.size(), want.size());
    QCOMPARE(written.count("\r\n"), want.size());  // every line ends in CR LF
    QVERIFY(!written.contains("\n\n") && !written.endsWith("\r\n\r\n"));

    // The two pictures the page refers to sit beside it.
    for (const char* name : {"checkoff.jpg", "checkon.jpg"}) {
      QImageReader reader(build + name);
      QCOMPARE(reader.format(), QByteArray("jpeg"));
      QCOMPARE(reader.size(), QSize(16, 16));
    }
    const QImage off(build + "checkoff.jpg"), on(build + "checkon.jpg");
    QVERIFY(off != on);

    // A Build folder that cannot take the page gives the user's message.
    QVERIFY(!WriteToDoReport(categories, kMar1, TestEnv::testData("todo/report/"),
                             env.home() + "/nofolder/", &error));
    QVERIFY(error.startsWith("Cannot create file"));
  }

  void checkPictures() {
    TestEnv env;
    const QString config = env.home() + "/Config/";
    QDir().mkpath(config);
    // Nothing ships these files: the drawn boxes stand in.
    const QImage empty = LoadCheckPicture(config, false);
    const QImage checked = LoadCheckPicture(config, true);
    QCOMPARE(empty.size(), QSize(16, 16));
    QCOMPARE(checked.size(), QSize(16, 16));
    QVERIFY(empty != checked);
    QCOMPARE(empty, DrawCheckPicture(false));
    // Files that are there are used.
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QImageWriter writer(config + "checked.ico", "ico");
    QVERIFY2(writer.write(red), qPrintable(writer.errorString()));
    QCOMPARE(LoadCheckPicture(config, true).pixelColor(8, 8), QColor(Qt::red));
    QCOMPARE(LoadCheckPicture(config, false), DrawCheckPicture(false));
    // A file that is not a picture falls back too.
    WriteBytes(config + "empty.ico", "not an icon");
    QCOMPARE(LoadCheckPicture(config, false), DrawCheckPicture(false));
  }

  // ---- the view ------------------------------------------------------------------

  void viewCreation() {
    ViewFixture f;
    QVERIFY(f.list());
    QCOMPARE(f.categories()->count(), 10);
    QCOMPARE(f.categories()->item(3)->text(), QString());
    QCOMPARE(f.view.SelectedCategory(), 0);
    QCOMPARE(f.categories()->currentRow(), 0);
    for (const char* name : {"SpeedButton1", "bntCheck", "btnDelete", "SpeedButton3",
                             "SpeedButton4", "SpeedButton7", "SpeedButton5"})
      QVERIFY2(f.button(name), name);
    QCOMPARE(f.button("SpeedButton1")->toolTip(), QStringLiteral("Add new todo"));
    QCOMPARE(f.button("btnDelete")->toolTip(), QStringLiteral("Delete item"));
    QCOMPARE(f.categories()->width(), 121);
    QCOMPARE(f.list()->columnWidth(0), 22);
    QCOMPARE(f.list()->columnWidth(1), 323);
    QCOMPARE(f.view.MarkPicture(), DayMarkPicture::Berry);

    f.view.ShowDate(kMar2);
    auto* heading = f.view.findChild<QLabel*>("Category_Label");
    QCOMPARE(heading->text(), QStringLiteral("Today (Mon)"));
    f.categories()->setCurrentRow(2);
    QCOMPARE(heading->text(), QStringLiteral("Yesterday  (Sun)"));
    f.categories()->setCurrentRow(0);
    QCOMPARE(heading->text(), QStringLiteral("Today  (Mon)"));
    f.categories()->setCurrentRow(4);
    QCOMPARE(heading->text(), QStringLiteral("@Home"));
  }

  void viewBlankCategoryAndDates() {
    ViewFixture f;
    WriteBytes(f.todoDir + ".txt", "F=Blank entry item\r\n");
    WriteBytes(f.todoDir + "TodayY2009M2D28.txt", "T=Saturday item\r\n");
    WriteBytes(f.todoDir + "TodayY2009M3D2.txt", "F=Monday item\r\n");
    f.view.ShowDate(kMar1);
    f.categories()->setCurrentRow(3);
    QCOMPARE(Texts(f.view.List()), QStringList({"Blank entry item"}));
    f.categories()->setCurrentRow(2);
    QCOMPARE(Texts(f.view.List()), QStringList({"Saturday item"}));
    QVERIFY(f.view.List().Item(0).Checked());
    f.categories()->setCurrentRow(1);
    QCOMPARE(Texts(f.view.List()), QStringList({"Monday item"}));
    QVERIFY(f.view.IsDayMarked(kMar2));
    QVERIFY(!f.view.IsDayMarked(kMar1));
    QVERIFY(f.errors().isEmpty());
  }

  void dragToTomorrow() {
    ViewFixture f;
    f.show();
    WriteBytes(f.todoDir + "TodayY2009M3D1.txt", "F=Buy milk\r\nF=Call mom\r\nT=Pay rent\r\n");
    f.view.ShowDate(kMar1);
    QCOMPARE(f.view.List().Count(), 3);

    // A press on Call mom's check box arms the drag and makes it current; it does not
    // check it (a click does, a drag does not).
    QTest::mousePress(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(1));
    QVERIFY(f.view.DragArmed());
    QCOMPARE(f.view.List().Current(), 1);
    QVERIFY(!f.view.List().Item(1).Checked());

    QVERIFY(f.dropOnCategories(f.categoryEntry(1)));  // Tomorrow
    QVERIFY(!f.view.DragArmed());
    QCOMPARE(FileBytes(f.todoDir + "TodayY2009M3D2.txt"), QByteArray("F=Call mom\r\n"));
    QCOMPARE(Texts(f.view.List()), QStringList({"Buy milk", "Pay rent"}));
    QCOMPARE(FileBytes(f.todoDir + "TodayY2009M3D1.txt"), QByteArray("F=Buy milk\r\nT=Pay rent\r\n"));

    // A checked item keeps its mark, and is added after what the file held.
    f.view.SaveBeforeDateChange();
    QTest::mousePress(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(1));
    QVERIFY(f.dropOnCategories(f.categoryEntry(1)));
    QCOMPARE(FileBytes(f.todoDir + "TodayY2009M3D2.txt"),
             QByteArray("F=Call mom\r\nT=Pay rent\r\n"));

    // The next day lists them under Today.
    f.view.SaveBeforeDateChange();
    f.view.ShowDate(kMar2);
    QCOMPARE(Texts(f.view.List()), QStringList({"Call mom", "Pay rent"}));
    QVERIFY(f.errors().isEmpty());
  }

  void dropsThatMoveNothing() {
    ViewFixture f;
    f.show();
    const QByteArray today("F=Buy milk\r\nF=Call mom\r\n");
    WriteBytes(f.todoDir + "TodayY2009M3D1.txt", today);
    f.view.ShowDate(kMar1);
    QTest::mousePress(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(1));

    // On the category that is shown: nothing changes, nothing is lost.
    QVERIFY(!f.dropOnCategories(f.categoryEntry(0)));
    QVERIFY(!f.view.cboCategoryDragDrop(0));
    QCOMPARE(FileBytes(f.todoDir + "TodayY2009M3D1.txt"), today);
    QCOMPARE(Texts(f.view.List()), QStringList({"Buy milk", "Call mom"}));

    // On the empty space below the entries.
    const QRect last = f.categories()->visualItemRect(f.categories()->item(9));
    QVERIFY(!f.dropOnCategories(QPoint(last.center().x(), last.bottom() + 30)));
    // Something that did not come from this list.
    auto* foreign = new QMimeData;
    foreign->setText("Call mom");
    QVERIFY(!f.dropOnCategories(f.categoryEntry(1), foreign));
    QVERIFY(!QFile::exists(f.todoDir + "TodayY2009M3D2.txt"));

    // Back on the item list: disarmed, nothing moves.
    QTest::mousePress(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(1));
    QVERIFY(f.view.DragArmed());
    f.dropOn(f.list()->viewport(), f.textCell(0));
    QVERIFY(!f.view.DragArmed());
    QCOMPARE(Texts(f.view.List()), QStringList({"Buy milk", "Call mom"}));

    // Any key released disarms; a press in the text column too.
    QTest::mousePress(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(0));
    QVERIFY(f.view.DragArmed());
    QTest::keyRelease(f.list(), Qt::Key_Shift);
    QVERIFY(!f.view.DragArmed());
    QTest::mousePress(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(0));
    QTest::mouseRelease(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(0));
    QTest::mousePress(f.list()->viewport(), Qt::LeftButton, {}, f.textCell(0));
    QVERIFY(!f.view.DragArmed());
    QVERIFY(f.errors().isEmpty());
  }

  void dropOnUnwritableTarget() {
    ViewFixture f;
    f.show();
    WriteBytes(f.todoDir + "TodayY2009M3D1.txt", "F=Buy milk\r\nF=Call mom\r\n");
    QDir().mkpath(f.todoDir + "TodayY2009M3D2.txt");  // a folder where Tomorrow's file goes
    f.view.ShowDate(kMar1);
    QTest::mousePress(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(1));
    QVERIFY(!f.dropOnCategories(f.categoryEntry(1)));
    QCOMPARE(Texts(f.view.List()), QStringList({"Buy milk", "Call mom"}));
    QCOMPARE(FileBytes(f.todoDir + "TodayY2009M3D1.txt"), QByteArray("F=Buy milk\r\nF=Call mom\r\n"));
    QCOMPARE(f.errors().size(), 1);
    QVERIFY(f.errors().first().text.contains(f.todoDir + "TodayY2009M3D2.txt"));
  }

  void clickChecks() {
    ViewFixture f;
    f.show();
    WriteBytes(f.todoDir + "@Home.txt", "F=Fix the sink\r\nT=Water plants\r\n");
    f.view.ShowDate(kMar1);
    f.categories()->setCurrentRow(4);
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(0));
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(1));
    QVERIFY(f.view.List().Item(0).Checked());
    QVERIFY(!f.view.List().Item(1).Checked());
    // The struck-out text follows the mark.
    QVERIFY(f.list()->model()->index(0, 1).data(Qt::FontRole).value<QFont>().strikeOut());
    QVERIFY(!f.list()->model()->index(1, 1).data(Qt::FontRole).value<QFont>().strikeOut());
    // Checking alone does not write; the next save does.
    QCOMPARE(FileBytes(f.todoDir + "@Home.txt"), QByteArray("F=Fix the sink\r\nT=Water plants\r\n"));
    f.button("bntCheck")->click();  // the current item (Water plants) again
    QVERIFY(f.view.List().Item(1).Checked());
    f.categories()->setCurrentRow(0);  // leaving the category saves it
    QCOMPARE(FileBytes(f.todoDir + "@Home.txt"), QByteArray("T=Fix the sink\r\nT=Water plants\r\n"));
  }

  void itemButtons() {
    ViewFixture f;
    WriteBytes(f.todoDir + "@Work.txt", "F=A\r\nF=B\r\nF=C\r\n");
    f.view.ShowDate(kMar1);
    f.categories()->setCurrentRow(5);
    const QString path = f.todoDir + "@Work.txt";
    f.list()->setCurrentIndex(f.list()->model()->index(1, 1));
    f.button("SpeedButton3")->click();  // move B up
    QCOMPARE(FileBytes(path), QByteArray("F=B\r\nF=A\r\nF=C\r\n"));
    QCOMPARE(f.view.List().Current(), 0);
    f.button("SpeedButton3")->click();  // already first: nothing moves
    QCOMPARE(FileBytes(path), QByteArray("F=B\r\nF=A\r\nF=C\r\n"));
    f.button("SpeedButton4")->click();
    f.button("SpeedButton4")->click();
    f.button("SpeedButton4")->click();  // already last
    QCOMPARE(FileBytes(path), QByteArray("F=A\r\nF=C\r\nF=B\r\n"));
    QCOMPARE(f.list()->currentIndex().row(), 2);
    f.button("SpeedButton1")->click();  // a new item above B
    QCOMPARE(FileBytes(path), QByteArray("F=A\r\nF=C\r\nF=\r\nF=B\r\n"));
    QCOMPARE(f.view.List().Current(), 2);
    f.setText(2, "New");
    f.button("btnDelete")->click();
    QCOMPARE(FileBytes(path), QByteArray("F=A\r\nF=C\r\nF=B\r\n"));
    // The Down key on the last item adds an empty one below it.
    f.list()->setCurrentIndex(f.list()->model()->index(2, 1));
    QTest::keyClick(f.list(), Qt::Key_Down);
    QCOMPARE(f.view.List().Count(), 4);
    QCOMPARE(f.list()->currentIndex().row(), 3);
    QVERIFY(f.errors().isEmpty());
  }

  void emptyListsAndMarks() {
    ViewFixture f;
    const QString path = f.todoDir + "TodayY2009M3D1.txt";
    f.view.ShowDate(kMar1);
    QCOMPARE(f.view.List().Lines(), QStringList({"F="}));
    // A new list whose only item was left empty: no file, no mark.
    f.view.SaveList();
    QVERIFY(!QFile::exists(path));
    QVERIFY(!f.view.IsDayMarked(kMar1));
    f.setText(0, "Call mom");
    int redraws = f.host.marksChangedCalls;
    f.view.SaveList();
    QCOMPARE(FileBytes(path), QByteArray("F=Call mom\r\n"));
    QVERIFY(f.view.IsDayMarked(kMar1));
    // The month grid is told, so the mark shows at once.
    QVERIFY(f.host.marksChangedCalls > redraws);
    // Deleting the last item: the file goes with it and the item stays gone.
    redraws = f.host.marksChangedCalls;
    f.button("btnDelete")->click();
    QVERIFY(!QFile::exists(path));
    QVERIFY(!f.view.IsDayMarked(kMar1));
    QVERIFY(f.host.marksChangedCalls > redraws);
    f.view.LoadList();
    QCOMPARE(f.view.List().Lines(), QStringList({"F="}));
    QVERIFY(f.errors().isEmpty());
  }

  void savedWhenLeavingTheList() {
    ViewFixture f;
    f.show();
    f.view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.view));
    const QString path = f.todoDir + "TodayY2009M3D1.txt";
    f.view.ShowDate(kMar1);

    // Text typed in place is in the list while the editor is still open, so a save
    // asked for by the main window (date change) holds it.
    f.list()->setFocus();
    f.list()->setCurrentIndex(f.list()->model()->index(0, 1));
    f.list()->edit(f.list()->currentIndex());
    auto* editor = f.list()->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QTest::keyClicks(editor, "Call mom");
    QCOMPARE(f.view.List().Item(0).text, QStringLiteral("Call mom"));
    f.view.SaveBeforeDateChange();
    QCOMPARE(FileBytes(path), QByteArray("F=Call mom\r\n"));

    // The focus leaving the list for another control writes it.
    f.list()->setFocus();
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.checkCell(0));
    QVERIFY(f.view.List().Item(0).Checked());
    f.categories()->setFocus(Qt::TabFocusReason);
    QCOMPARE(FileBytes(path), QByteArray("T=Call mom\r\n"));

    // Leaving the page (another view, or the window closing) writes a check mark too.
    f.button("bntCheck")->click();
    f.view.hide();
    QCOMPARE(FileBytes(path), QByteArray("F=Call mom\r\n"));
    QVERIFY(f.errors().isEmpty());
  }

  // Typing into a row keeps every character, whether the row was current before the
  // click or not; nothing typed is replaced by a late editor opening.
  void typingIntoARowKeepsEveryCharacter_data() {
    QTest::addColumn<bool>("selectedBefore");
    QTest::newRow("click on the current row") << true;
    QTest::newRow("click on another row") << false;
  }
  void typingIntoARowKeepsEveryCharacter() {
    QFETCH(bool, selectedBefore);
    ViewFixture f;
    f.show();
    f.view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.view));
    f.view.ShowDate(kMar1);
    f.setText(0, "Old");
    f.button("SpeedButton1")->click();  // a second, empty row
    const int row = 0;
    f.list()->setFocus();
    f.list()->setCurrentIndex(f.list()->model()->index(selectedBefore ? row : 1, 1));
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.textCell(row));
    // Each key goes where the focus is at that moment, as a keyboard's keys do.
    auto type = [](const QString& text) {
      for (QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    };
    type("Self drop test");
    // Longer than the double-click interval, after which a delayed edit would fire.
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    type("!");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QString text = f.view.List().Item(row).text;
    QCOMPARE(text, QString("Self drop test!"));
  }

  // Typing reaches the file a moment after it stops, while the editor is still open.
  void typedTextIsWrittenSoon() {
    ViewFixture f;
    f.show();
    f.view.ShowDate(kMar1);
    const QString path = f.todoDir + "TodayY2009M3D1.txt";
    f.list()->setCurrentIndex(f.list()->model()->index(0, 1));
    f.list()->edit(f.list()->currentIndex());
    auto* editor = f.list()->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QTest::keyClicks(editor, "Buy milk");
    QTRY_COMPARE_WITH_TIMEOUT(FileBytes(path), QByteArray("F=Buy milk\r\n"), 5000);
    QVERIFY(editor->isVisible());
    QVERIFY(f.errors().isEmpty());
  }

  void unwritableList() {
    ViewFixture f;
    const QString path = f.todoDir + "TodayY2009M3D1.txt";
    f.view.ShowDate(kMar1);
    f.setText(0, "Call mom");
    QDir().mkpath(path);  // the file cannot be written now
    f.view.SaveList();
    QCOMPARE(f.errors().size(), 1);
    QVERIFY(f.errors().first().text.startsWith("Cannot create file \"" + path + "\". "));
    QCOMPARE(Texts(f.view.List()), QStringList({"Call mom"}));

    // A list that cannot be read is shown empty and its file is never replaced.
    f.env.clearMessages();
    f.view.ShowDate(kMar1);
    QCOMPARE(f.errors().size(), 1);
    QVERIFY(f.errors().first().text.startsWith("Cannot open file \"" + path + "\". "));
    f.view.SaveList();
    QVERIFY(QFileInfo(path).isDir());
  }

  // Showing a list and leaving it writes nothing, whatever the file holds: hand-written
  // lines without "=" keep their words, a list that merely looks empty keeps its file.
  // Only an edit writes, and then the untouched lines stand as they were read.
  void showingAListWritesNothing_data() {
    QTest::addColumn<QString>("fixture");
    QTest::newRow("hand-written line") << "handwritten.txt";
    QTest::newRow("one line without =") << "no_key.txt";
    QTest::newRow("one empty item") << "looks_empty.txt";
    QTest::newRow("items without text") << "empty_items.txt";
    QTest::newRow("no break after the last line") << "no_final_break.txt";
  }
  void showingAListWritesNothing() {
    QFETCH(QString, fixture);
    ViewFixture f;
    f.show();
    const QString path = f.todoDir + "TodayY2009M3D1.txt";
    const QByteArray bytes = FileBytes(TestEnv::testData("todo/untouched/" + fixture));
    WriteBytes(path, bytes);
    const QDateTime written = QFileInfo(path).lastModified();
    f.view.ShowDate(kMar1);
    f.list()->setFocus();
    f.categories()->setFocus(Qt::TabFocusReason);  // the focus leaves the list
    f.view.SaveBeforeDateChange();                 // a date change
    f.categories()->setCurrentRow(6);              // another category, and back
    f.categories()->setCurrentRow(0);
    f.view.hide();                                 // another view
    QCOMPARE(FileBytes(path), bytes);
    QCOMPARE(QFileInfo(path).lastModified(), written);
    QVERIFY(f.errors().isEmpty());
  }

  void untouchedLinesSurviveAnEdit() {
    ViewFixture f;
    const QString path = f.todoDir + "TodayY2009M3D1.txt";
    WriteBytes(path, FileBytes(TestEnv::testData("todo/untouched/handwritten.txt")));
    f.view.ShowDate(kMar1);
    f.button("SpeedButton1")->click();  // add above the first item
    f.setText(0, "Water plants");
    f.view.SaveList();
    QCOMPARE(FileBytes(path),
             QByteArray("F=Water plants\r\nBuy milk\r\nF=Call mom\r\nT=Pay rent\r\n"));
    // Changing the hand-written item itself writes it in the list's own form.
    f.view.bntCheckClick();  // the current item, "Water plants"
    f.view.SaveList();
    QCOMPARE(FileBytes(path),
             QByteArray("T=Water plants\r\nBuy milk\r\nF=Call mom\r\nT=Pay rent\r\n"));
    QVERIFY(f.errors().isEmpty());
  }

  // A full disk while the list is written: the old file stays whole, the user sees why,
  // and the list on screen is written at the next chance.
  void failedWriteKeepsTheOldList() {
    ViewFixture f;
    const QString path = f.todoDir + "TodayY2009M3D1.txt";
    WriteBytes(path, "F=Call mom\r\n");
    f.view.ShowDate(kMar1);
    f.setText(0, "Call mom and ask about the weekend");
    {
      FileSizeLimit full(8);
      f.view.SaveList();
    }
    QCOMPARE(f.errors().size(), 1);
    QCOMPARE(f.errors().first().text, CannotCreateMessage(path, "File too large"));
    QCOMPARE(FileBytes(path), QByteArray("F=Call mom\r\n"));
    QCOMPARE(Texts(f.view.List()), QStringList({"Call mom and ask about the weekend"}));
    f.view.SaveList();
    QCOMPARE(FileBytes(path), QByteArray("F=Call mom and ask about the weekend\r\n"));
  }

  // A list that cannot be read is shown empty and is never replaced by what is typed
  // into that empty list; the refusal is said once.
  void unreadableListIsNeverReplaced() {
    ViewFixture f;
    const QString path = f.todoDir + "TodayY2009M3D1.txt";
    WriteBytes(path, "F=Call mom\r\nT=Pay rent\r\n");
    if (!MakeUnreadable(path)) QSKIP("this process reads files of any mode");
    f.view.ShowDate(kMar1);
    QCOMPARE(f.errors().size(), 1);
    QCOMPARE(f.errors().first().text, CannotOpenMessage(path, "Permission denied"));
    f.setText(0, "Buy bread");
    f.view.SaveList();
    f.button("SpeedButton1")->click();
    f.button("btnDelete")->click();
    f.button("btnDelete")->click();  // the last item: would remove the file
    QCOMPARE(f.errors().size(), 2);
    QVERIFY(f.errors().last().text.startsWith("Cannot create file \"" + path +
                                              "\". It could not be read"));
    MakeReadable(path);
    QCOMPARE(FileBytes(path), QByteArray("F=Call mom\r\nT=Pay rent\r\n"));
  }

  void addCategory_data() {
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("existing");  // settings value before
    QTest::addColumn<QString>("last");      // last entry after, or empty when none added
    const QString defaults = QString::fromLatin1(kDefaultToDoCategories);
    QTest::newRow("separators") << true << "a/b:c" << defaults << "a b c";
    QTest::newRow("duplicate in other case") << true << "@home" << defaults << "";
    QTest::newRow("cancel adds Category") << false << "ignored" << defaults << "Category";
    QTest::newRow("cancel, Category exists") << false << "ignored" << (defaults + ",category")
                                             << "";
    QTest::newRow("name with a space") << true << " My list " << defaults << "My list";
  }
  void addCategory() {
    QFETCH(bool, ok);
    QFETCH(QString, typed);
    QFETCH(QString, existing);
    QFETCH(QString, last);
    TestEnv env;
    FakeHost host;
    host.Settings().ToDoCategories = existing;
    TodoView view(&host);
    view.ShowDate(kMar1);
    const QStringList before = view.Categories();
    view.findChild<QListWidget*>("cboCategory")->setCurrentRow(4);
    env.answer = [&](const MessageRequest& r) {
      if (r.kind == MessageKind::Input) {
        if (r.title != "New To-Do Category" || r.text != "Enter Category Name" ||
            r.initial != "Category")
          return MessageAnswer{false, {}};
        return MessageAnswer{ok, typed};
      }
      return MessageAnswer{};
    };
    QTest::mouseClick(view.findChild<QWidget*>("Label5"), Qt::LeftButton);
    QStringList after = before;
    if (!last.isEmpty()) after << last;
    QCOMPARE(view.Categories(), after);
    QCOMPARE(view.findChild<QListWidget*>("cboCategory")->count(), after.size());
    QCOMPARE(view.SelectedCategory(), 0);
    // Written to the settings file at once.
    QCOMPARE(ReadCategories(host.Settings().ToDoCategories), after);
    IniFile ini(host.Settings().path());
    QCOMPARE(ReadCategories(ini.ReadString("ToDo", "Categories", QString())), after);
  }

  void deleteCategory() {
    ViewFixture f;
    f.view.ShowDate(kMar1);
    auto* link = f.view.findChild<QWidget*>("Label6");
    // "Today" is refused at once, without a question that could only lead to the refusal.
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(f.env.messageTexts(),
             QStringList({"Today is reserved. Today is for the selected date. Can no delete "}));
    QCOMPARE(f.env.messages.at(0).kind, MessageKind::Info);
    QCOMPARE(f.view.Categories().size(), 10);

    // No keeps the entry.
    WriteBytes(f.todoDir + "@Work.txt", "F=Report\r\n");
    f.categories()->setCurrentRow(5);
    f.env.clearMessages();
    f.env.answer = [](const MessageRequest&) { return MessageAnswer{false, {}}; };
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(f.env.messageTexts(),
             QStringList({"Are you sure you want to delete category '@Work'"}));
    QCOMPARE(f.view.Categories().size(), 10);

    // Yes removes it from the list and the settings; its file stays.
    f.env.answer = {};
    QTest::mouseClick(link, Qt::LeftButton);
    QVERIFY(!f.view.Categories().contains("@Work"));
    QCOMPARE(f.view.Categories().size(), 9);
    QCOMPARE(ReadCategories(f.host.Settings().ToDoCategories), f.view.Categories());
    QCOMPARE(f.view.SelectedCategory(), 0);
    QCOMPARE(FileBytes(f.todoDir + "@Work.txt"), QByteArray("F=Report\r\n"));

    // "Tomorrow" may go.
    f.categories()->setCurrentRow(1);
    QTest::mouseClick(link, Qt::LeftButton);
    QVERIFY(!f.view.Categories().contains("Tomorrow"));
  }

  void deleteOnlyCategory() {
    TestEnv env;
    FakeHost host;
    host.Settings().ToDoCategories = "@Home";
    TodoView view(&host);
    view.ShowDate(kMar1);
    view.Label6Click();
    QVERIFY(env.messages.isEmpty());
    QCOMPARE(view.Categories(), QStringList({"@Home"}));
  }

  void settingsCannotBeWritten() {
    ViewFixture f;
    f.view.ShowDate(kMar1);
    const QString ini = f.host.Settings().path();
    QFile::remove(ini);
    QDir().mkpath(ini);  // a folder where application.ini belongs
    const QString before = f.host.Settings().ToDoCategories;
    f.categories()->setCurrentRow(6);
    f.view.Label6Click();
    QCOMPARE(f.errors().size(), 1);
    // Nothing changed that was not saved.
    QCOMPARE(f.view.Categories().size(), 10);
    QCOMPARE(f.categories()->count(), 10);
    QCOMPARE(f.host.Settings().ToDoCategories, before);
    QCOMPARE(f.view.SelectedCategory(), 6);
  }

  void viewReport() {
    ViewFixture f;
    f.view.ShowDate(kMar1);
    f.setText(0, "Call mom");
    f.view.SaveList();
    const QString html = f.host.Dir().BuildFolder() + "todo.html";
    QStringList lines;
    QVERIFY(ReadTextLines(html, &lines, nullptr));
    QCOMPARE(lines.at(4), QStringLiteral("<table width=600 ><th bgcolor=#E0EEF1 >TODAY</th><tr>"));
    QCOMPARE(lines.at(5),
             QStringLiteral("<tr><td><img src=checkoff.jpg />&nbsp;&nbsp;Call mom</td></tr>"));
    QCOMPARE(lines.at(lines.size() - 2),
             "<div > .: created: " + FormatDate("ddddd", QDate::currentDate()) + "</div><br>");
    QVERIFY(QFile::exists(f.host.Dir().BuildFolder() + "checkoff.jpg"));
    QVERIFY(QFile::exists(f.host.Dir().BuildFolder() + "checkon.jpg"));
  }

  void checkColumnHint() {
    ViewFixture f;
    f.show();
    f.view.ShowDate(kMar1);
    QWidget* vp = f.list()->viewport();
    QTest::mouseMove(vp, f.checkCell(0));
    QCOMPARE(vp->toolTip(), QStringLiteral("Click to check, click and drag to another category"));
    QTest::mouseMove(vp, f.textCell(0));
    QCOMPARE(vp->toolTip(), QString());
  }

  // Pictures for a person to look at: MAVELO_SHOT_DIR=/tmp/shots test_todo lookAtIt
  void lookAtIt() {
    const QString out = qEnvironmentVariable("MAVELO_SHOT_DIR");
    if (out.isEmpty()) QSKIP("MAVELO_SHOT_DIR not set");
    QDir().mkpath(out);
    ViewFixture f;
    f.view.resize(600, 420);
    f.show();
    WriteBytes(f.todoDir + "TodayY2009M3D2.txt",
               "F=Call mom\r\nT=Pay rent\r\nF=Pick up dry cleaning\r\nT=Book dentist\r\n"
               "F=Buy milk & eggs\r\n");
    WriteBytes(f.todoDir + "@Home.txt", "T=Fix the sink\r\nF=Water plants\r\n");
    f.view.ShowDate(kMar2);
    f.list()->setCurrentIndex(f.list()->model()->index(2, 1));
    f.view.SaveList();
    f.view.grab().save(out + "/todo_view.png");
    for (const char* name : {"todo.html", "checkoff.jpg", "checkon.jpg"}) {
      QFile::remove(out + "/" + name);
      QFile::copy(f.host.Dir().BuildFolder() + name, out + "/" + name);
    }
  }
};

QTEST_MAIN(ToDoTest)
#include "test_todo.moc"
