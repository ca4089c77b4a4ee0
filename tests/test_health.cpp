// The health records: the files of the Health folder, the three tables of the program's
// database in their grids, the first-run copy of the shipped DB folder and the faults of
// a missing or damaged Food.db.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/database.h"
#include "nutrition/foodquery.h"
#include "nutrition/widgets/addfooddialog.h"
#include "nutrition/widgets/fooddatabasewindow.h"
#include "shell/mainwindow.h"
#include "support/fakehost.h"
#include "support/fixturedb.h"
#include "support/testenv.h"
#include "trackers/healthrecords.h"
#include "trackers/healthtablemodel.h"
#include "trackers/widgets/healthview.h"

namespace {

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A program folder of our own whose DB folder ships a fixture Food.db with health rows.
struct ProgramFolder {
  QTemporaryDir dir;
  QString path() const { return dir.path() + "/"; }
  QString shippedDb() const { return path() + "DB/Food.db"; }
  explicit ProgramFolder(bool withDb = true) {
    if (!withDb) return;
    QDir().mkpath(path() + "DB");
    QString e;
    if (!CopyFixtureDatabase(shippedDb(), &e)) qFatal("fixture: %s", qPrintable(e));
    const char* rows[] = {
        "INSERT INTO Health_Appointments (StartTime, Doctor, Reason) VALUES "
        "('3/14/2009', 'Dr. Lee', 'Checkup')",
        // The same appointment twice: each row is still one record of its own.
        "INSERT INTO Health_Appointments (StartTime, Doctor, Reason) VALUES "
        "('3/14/2009', 'Dr. Lee', 'Checkup')",
        "INSERT INTO Health_Immunization (Vaccines, Date_Received) VALUES ('Tetanus', '2005')",
        "INSERT INTO Health_Prescription (Date_Start_End, Medication_Dosage, Special_Notes) "
        "VALUES ('3/1 - 3/10', 'Amoxicillin', '500 mg, 3 a day')"};
    for (const char* statement : rows)
      if (!ExecOnDatabaseFile(shippedDb(), statement, &e)) qFatal("rows: %s", qPrintable(e));
    WriteBytes(path() + "DB/notes.txt", "shipped beside the database");
  }
};

// A health view over a fresh data folder and a program folder, docked at the panel's size.
struct Rig {
  TestEnv env;
  std::unique_ptr<ProgramFolder> program;
  std::unique_ptr<FakeHost> host;
  std::unique_ptr<HealthView> view;

  explicit Rig(bool shippedDb = true) : program(std::make_unique<ProgramFolder>(shippedDb)) { start(); }
  ~Rig() {
    view.reset();
    CloseDatabase();
  }
  // A start of the program: the view made, its records loaded.
  void start() {
    view.reset();
    host = std::make_unique<FakeHost>(program->path());
    view = std::make_unique<HealthView>(host.get());
    view->resize(966, 506);
    view->show();
    QApplication::setActiveWindow(view.get());
    view->StartView(QDate(2009, 3, 5));
  }
  QString healthFolder() const { return host->Dir().HealthFolder(); }
  QString dataDb() const { return host->Dir().DBFolder() + "Food.db"; }

  template <typename T>
  T* child(const char* name) const {
    T* w = view->findChild<T*>(name);
    if (!w) qFatal("no child %s", name);
    return w;
  }
  QStringList errors() const {
    QStringList out;
    for (const auto& m : env.messages)
      if (m.kind == MessageKind::Error) out << m.text;
    return out;
  }
  void clickMenu(int row) {
    auto* menu = child<QListWidget>("menu");
    QTest::mouseClick(menu->viewport(), Qt::LeftButton, {}, menu->visualItemRect(menu->item(row)).center());
  }
  void clickNavigator(const char* navigator, const char* button) {
    QTest::mouseClick(child<QWidget>(navigator)->findChild<QToolButton*>(button), Qt::LeftButton);
  }
  // Rows of a table as stored, each as "a|b|c".
  QStringList stored(const QString& table) const {
    QStringList out;
    QSqlQuery q(AppDatabase());
    if (!q.exec("SELECT * FROM " + table + " ORDER BY ID")) return {"<error>"};
    while (q.next()) {
      QStringList cells;
      for (int c = 1; c < q.record().count(); ++c) cells << q.value(c).toString();
      out << cells.join('|');
    }
    return out;
  }
  QStringList fileLines(const QString& name) const {
    QFile f(healthFolder() + name);
    if (!f.open(QIODevice::ReadOnly)) return {"<missing>"};
    QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
  }
};

}  // namespace

class HealthTest : public QObject {
  Q_OBJECT
 private slots:
  // --- records and arithmetic ---
  void fitGridColumns_data();
  void fitGridColumns();
  void gridsFittedToTheirWidth();
  void contactLines_data();
  void contactLines();

  // --- files ---
  void bloodTypeWrittenAndSelectedAtNextStart();
  void contactsAndMemoWrittenOnLeave();
  void contactsFileHoldsOnlyFilledRows();
  void showingTheViewWritesNothing();
  void allergiesAreWrittenAsTyped();
  void hugeAllergiesFileOpensReadOnly();
  void unreadableFilesAreNotReplaced();

  // --- database and tables ---
  void firstRunCopiesTheDbFolder();
  void missingDatabaseIsReportedNotCreated();
  void damagedDatabaseIsReportedAndLeftAlone_data();
  void damagedDatabaseIsReportedAndLeftAlone();
  void missingTableIsReported();
  void missingDatabaseIsNotReplacedLater();
  void damagedDatabaseOpensReadOnly();
  void wrongShapeTableIsNamed_data();
  void wrongShapeTableIsNamed();
  void rowTypedThenLeftIsPosted_data();
  void rowTypedThenLeftIsPosted();
  void untouchedNewRowIsDropped();
  void failedPostIsReportedAndKept();
  void deleteAsksAndRemovesOneRecord();
  void startupOpensTheTablesAndShowsTheIcon();
  void screenshots();
};

// ------------------------------------------------------------------------------------
// Records and arithmetic

void HealthTest::fitGridColumns_data() {
  QTest::addColumn<QVector<int>>("widths");
  QTest::addColumn<QString>("marks");
  QTest::addColumn<int>("client");
  QTest::addColumn<bool>("lines");
  QTest::addColumn<bool>("indicator");
  QTest::addColumn<QVector<int>>("expected");
  // 111 + (600 - 377 - 3 - 16) = 315.
  QTest::newRow("appointments") << QVector<int>{110, 156, 111} << ",,*" << 600 << true << false
                                << QVector<int>{110, 156, 315};
  QTest::newRow("vaccines, first column") << QVector<int>{177, 133} << "*," << 400 << true << false
                                          << QVector<int>{249, 133};
  QTest::newRow("indicator takes 11") << QVector<int>{110, 156, 111} << ",,*" << 600 << true << true
                                      << QVector<int>{110, 156, 304};
  QTest::newRow("no column lines") << QVector<int>{110, 156, 111} << ",,*" << 600 << false << false
                                   << QVector<int>{110, 156, 318};
  QTest::newRow("two shares, whole division") << QVector<int>{100, 100} << "*,*" << 300 << false << false
                                              << QVector<int>{142, 142};
  QTest::newRow("no star leaves all") << QVector<int>{110, 156, 111} << ",," << 900 << true << false
                                      << QVector<int>{110, 156, 111};
  QTest::newRow("narrow grid never below 20") << QVector<int>{110, 156, 111} << ",,*" << 200 << true << false
                                              << QVector<int>{110, 156, 20};
}

void HealthTest::fitGridColumns() {
  QFETCH(QVector<int>, widths);
  QFETCH(QString, marks);
  QFETCH(int, client);
  QFETCH(bool, lines);
  QFETCH(bool, indicator);
  QFETCH(QVector<int>, expected);
  QCOMPARE(FittedColumnWidths(widths, marks, client, lines, indicator), expected);
}

// The grids fill their width, whatever the layout gave them.
void HealthTest::gridsFittedToTheirWidth() {
  Rig rig;
  QVERIFY(rig.view->OpenHealthTables());
  rig.clickMenu(1);
  auto* grid = rig.child<QTableView>("Appointment_Grid");
  const int client = grid->contentsRect().width();
  QVERIFY(client > 400);
  QCOMPARE(grid->columnWidth(1), 110);
  QCOMPARE(grid->columnWidth(2), 156);
  QCOMPARE(grid->columnWidth(3), 111 + (client - 377 - 3 - 16));
  QVERIFY(grid->isColumnHidden(0));  // the row id
  auto* vaccines = rig.child<QTableView>("Vaccine_Grid");
  QCOMPARE(vaccines->columnWidth(1), 177 + (vaccines->contentsRect().width() - 310 - 2 - 16));
  QCOMPARE(vaccines->columnWidth(2), 133);
}

void HealthTest::contactLines_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("value");
  QTest::newRow("the doctor") << "Dr. Lee=555-0100 Main St." << "Dr. Lee" << "555-0100 Main St.";
  QTest::newRow("an empty row") << "=" << "" << "";
  QTest::newRow("'=' in the value") << "Dr. Ray=555-0199 = Suite 4" << "Dr. Ray" << "555-0199 = Suite 4";
  QTest::newRow("no '=': all name") << "Dr. Kim" << "Dr. Kim" << "";
}

void HealthTest::contactLines() {
  QFETCH(QString, line);
  QFETCH(QString, name);
  QFETCH(QString, value);
  const Contact c = ParseContactLine(line);
  QCOMPARE(c.name, name);
  QCOMPARE(c.value, value);
  if (line.contains('=')) QCOMPARE(ContactLine(c), line);
}

// ------------------------------------------------------------------------------------
// Files

void HealthTest::bloodTypeWrittenAndSelectedAtNextStart() {
  Rig rig;
  auto* combo = rig.child<QComboBox>("BloodType_Combo");
  QCOMPARE(combo->count(), 9);
  QCOMPARE(combo->itemText(0), QString("Unknown"));
  QCOMPARE(combo->itemText(7), QString("B-   "));
  QCOMPARE(combo->currentIndex(), 0);
  combo->setFocus();
  combo->setCurrentIndex(6);
  QTest::keyClick(combo, Qt::Key_Down);  // the user chooses B-
  QCOMPARE(combo->currentIndex(), 7);
  QCOMPARE(rig.fileLines("info.ini"), (QStringList{"[Settings]", "BloodType=7"}));

  rig.start();
  QCOMPARE(rig.child<QComboBox>("BloodType_Combo")->currentIndex(), 7);
  QVERIFY(rig.errors().isEmpty());
}

// Contacts typed just before the view is left or the program ends are written, the cell
// still open included; so is the memo.
void HealthTest::contactsAndMemoWrittenOnLeave() {
  Rig rig;
  rig.clickMenu(3);
  QCOMPARE(rig.child<QLabel>("Title_Label")->text(), QString("Important Contacts"));
  QCOMPARE(rig.child<QStackedWidget>("PG")->currentIndex(), 3);
  auto* contacts = rig.child<QTableWidget>("Contacts_chart");
  QCOMPARE(contacts->rowCount(), 18);
  QCOMPARE(contacts->horizontalHeaderItem(0)->text(), QString("   Doctor Name"));
  contacts->item(0, 0)->setText("Dr. Lee");
  // The value is still being typed when the program ends.
  contacts->setFocus();
  contacts->setCurrentCell(0, 1);
  QTest::keyClicks(contacts->viewport()->focusWidget() ? contacts->viewport()->focusWidget() : contacts,
                   "555-0100 Main St.");
  rig.child<QPlainTextEdit>("Alergies_Memo")->setPlainText("Penicillin\nPollen");
  rig.view->SaveOnLeave();

  // Only the rows that hold something are written, not the grid's empty ones.
  QCOMPARE(rig.fileLines("contacts.txt"), QStringList{"Dr. Lee=555-0100 Main St."});
  QCOMPARE(rig.fileLines("Alergies.txt"), (QStringList{"Penicillin", "Pollen"}));

  rig.start();
  QCOMPARE(rig.child<QTableWidget>("Contacts_chart")->item(0, 1)->text(), QString("555-0100 Main St."));
  QCOMPARE(rig.child<QPlainTextEdit>("Alergies_Memo")->toPlainText(), QString("Penicillin\nPollen"));
  QVERIFY(rig.errors().isEmpty());
}

// The contacts file holds her contacts, not the view's 18 rows: a file written with the
// padding lines of an earlier version loses them at its next change, and an emptied row
// between two contacts is not written.
void HealthTest::contactsFileHoldsOnlyFilledRows() {
  TestEnv env;
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  QByteArray padded = "Dr. Lee=555-0100\r\nDr. Kim=555-0142\r\n";
  for (int i = 0; i < 16; ++i) padded += "=\r\n";
  QVERIFY(WriteBytes(folder + "contacts.txt", padded));
  HealthRecords records(folder);
  QVERIFY(records.Load());
  QCOMPARE(records.Contacts().size(), 18);
  QList<Contact> contacts = records.Contacts();
  contacts[0] = Contact{};
  contacts[3] = Contact{"Dr. Roe", "555-0199"};
  contacts[5] = Contact{"  ", " "};  // blanks hold nothing
  records.SetContacts(contacts);
  QVERIFY(records.Save());
  QCOMPARE(ReadBytes(folder + "contacts.txt"), QByteArray("Dr. Kim=555-0142\r\nDr. Roe=555-0199\r\n"));
  HealthRecords again(folder);
  QVERIFY(again.Load());
  QCOMPARE(again.Contacts().size(), 18);
  QCOMPARE(again.Contacts().at(1), (Contact{"Dr. Roe", "555-0199"}));
}

// Loading, turning the pages and leaving rewrite nothing that did not change.
void HealthTest::showingTheViewWritesNothing() {
  Rig rig;
  QVERIFY(rig.view->OpenHealthTables());
  // The menu taking the focus turns no page; the arrow keys do.
  auto* menu = rig.child<QListWidget>("menu");
  menu->setFocus();
  QVERIFY(menu->hasFocus());
  QCOMPARE(rig.child<QLabel>("Title_Label")->text(), QString("Medical Health"));
  QTest::keyClick(menu, Qt::Key_Down);
  QCOMPARE(rig.child<QLabel>("Title_Label")->text(), QString("Medical Appointments"));
  QCOMPARE(rig.child<QStackedWidget>("PG")->currentIndex(), 1);
  for (int page = 0; page < 4; ++page) rig.clickMenu(page);
  rig.view->SaveOnLeave();
  QCOMPARE(QDir(rig.healthFolder()).entryList(QDir::Files), QStringList());

  // Files that exist stay byte for byte as they are.
  const QByteArray contacts = "Dr. Kim\r\nDr. Lee=555-0100\r\n";
  QVERIFY(WriteBytes(rig.healthFolder() + "contacts.txt", contacts));
  rig.start();
  QCOMPARE(rig.child<QTableWidget>("Contacts_chart")->item(0, 0)->text(), QString("Dr. Kim"));
  QCOMPARE(rig.child<QTableWidget>("Contacts_chart")->rowCount(), 18);
  rig.clickMenu(3);
  rig.view->SaveOnLeave();
  QCOMPARE(ReadBytes(rig.healthFolder() + "contacts.txt"), contacts);
}

// The memo's own plain text turns a non-breaking space into a space: the file is not
// rewritten by being looked at, and what she types is written byte for byte.
void HealthTest::allergiesAreWrittenAsTyped() {
  Rig rig(false);
  const QString path = rig.healthFolder() + "Alergies.txt";
  const QByteArray fixture = ReadBytes(TestEnv::testData("health/Alergies.txt"));
  QVERIFY(WriteBytes(path, fixture));
  rig.start();
  auto* memo = rig.child<QPlainTextEdit>("Alergies_Memo");
  QVERIFY(memo->toPlainText().startsWith("Peanuts (severe)"));  // the editor shows a space
  memo->setFocus();
  for (int page = 0; page < 4; ++page) rig.clickMenu(page);
  rig.view->SaveOnLeave();
  QCOMPARE(ReadBytes(path), fixture);

  // Typing adds to it, and keeps the non-breaking spaces there and typed.
  memo->moveCursor(QTextCursor::End);
  QTest::keyClick(memo, Qt::Key_Return);
  QTest::keyClicks(memo, QString("Latex\u00a0gloves"));
  rig.view->SaveOnLeave();
  QCOMPARE(ReadBytes(path), fixture + "Latex\xc2\xa0gloves\r\n");
  QVERIFY(rig.errors().isEmpty());
}

// 10 MB of allergies open read-only, at once, said once, and stay as they are.
void HealthTest::hugeAllergiesFileOpensReadOnly() {
  Rig rig(false);
  const QString path = rig.healthFolder() + "Alergies.txt";
  const QByteArray bytes = QByteArray(10'000'000, 'a') + "\r\n";
  QVERIFY(WriteBytes(path, bytes));
  rig.env.clearMessages();
  rig.start();
  auto* memo = rig.child<QPlainTextEdit>("Alergies_Memo");
  QVERIFY(memo->isReadOnly());
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors().first().startsWith("The file \"" + path + "\" is 9.5 MB"),
           qPrintable(rig.errors().first()));
  rig.clickMenu(1);
  rig.view->SaveOnLeave();
  rig.start();
  QCOMPARE(rig.errors().size(), 1);
  QCOMPARE(ReadBytes(path), bytes);
}

void HealthTest::unreadableFilesAreNotReplaced() {
  Rig rig(false);
  rig.view.reset();
  // Folders stand where the files belong: they exist but cannot be read.
  for (const char* name : {"contacts.txt", "Alergies.txt", "info.ini"})
    QVERIFY(QDir().mkpath(rig.healthFolder() + name));
  rig.env.clearMessages();
  rig.start();
  QCOMPARE(rig.errors().size(), 1);
  QCOMPARE(rig.errors()[0].count("Cannot open file"), 3);
  rig.child<QPlainTextEdit>("Alergies_Memo")->setPlainText("Pollen");
  rig.child<QComboBox>("BloodType_Combo")->setCurrentIndex(3);
  rig.child<QTableWidget>("Contacts_chart")->item(0, 0)->setText("Dr. Lee");
  rig.view->SaveOnLeave();
  QCOMPARE(rig.errors().size(), 2);
  QCOMPARE(rig.errors()[1].count("could not be read, so it was not replaced"), 3);
  for (const char* name : {"contacts.txt", "Alergies.txt", "info.ini"})
    QVERIFY(QFileInfo(rig.healthFolder() + name).isDir());
  // Reported once until a save works again.
  rig.view->SaveOnLeave();
  QCOMPARE(rig.errors().size(), 2);
}

// ------------------------------------------------------------------------------------
// Database and tables

void HealthTest::firstRunCopiesTheDbFolder() {
  Rig rig;
  QVERIFY(!QFile::exists(rig.dataDb()));
  QVERIFY(rig.view->OpenHealthTables());
  QCOMPARE(ReadBytes(rig.dataDb()), ReadBytes(rig.program->shippedDb()));
  QCOMPARE(ReadBytes(rig.host->Dir().DBFolder() + "notes.txt"), QByteArray("shipped beside the database"));
  QCOMPARE(rig.view->Model("Health_Appointments")->rowCount(), 2);
  QCOMPARE(rig.view->Model("Health_Immunization")->rowCount(), 1);
  QCOMPARE(rig.view->Model("Health_Prescription")->rowCount(), 1);
  auto* grid = rig.child<QTableView>("Prescription_grid");
  QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QString("Date Start / End"));
  QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QString("Medication Name"));
  QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), QString("Notes / Dosage"));
  QCOMPARE(grid->model()->index(0, 2).data().toString(), QString("Amoxicillin"));
  QCOMPARE(rig.child<QTableView>("Vaccine_Grid")->model()->index(0, 1).data().toString(), QString("Tetanus"));
  QVERIFY(rig.errors().isEmpty());

  // Later runs copy nothing: the user's database stays hers.
  rig.view.reset();
  CloseDatabase();
  QVERIFY(ExecOnDatabaseFile(rig.program->shippedDb(), "DELETE FROM Health_Appointments"));
  rig.start();
  QVERIFY(rig.view->OpenHealthTables());
  QCOMPARE(rig.view->Model("Health_Appointments")->rowCount(), 2);
}

// No shipped database to copy: reported, and no empty Food.db that would stop every
// later copy.
void HealthTest::missingDatabaseIsReportedNotCreated() {
  Rig rig(false);
  QVERIFY(!rig.view->OpenHealthTables());
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors()[0].startsWith("Cannot open file \"" + rig.dataDb() + "\""), qPrintable(rig.errors()[0]));
  QVERIFY(rig.errors()[0].contains(rig.program->path() + "DB/Food.db"));
  QVERIFY(!QFile::exists(rig.dataDb()));
  QVERIFY(!DatabaseIsOpen());
  QCOMPARE(rig.child<QTableView>("Appointment_Grid")->model(), nullptr);
  // The view goes on: its files still work.
  rig.child<QPlainTextEdit>("Alergies_Memo")->setPlainText("Pollen");
  rig.view->SaveOnLeave();
  QCOMPARE(rig.fileLines("Alergies.txt"), QStringList{"Pollen"});
}

void HealthTest::damagedDatabaseIsReportedAndLeftAlone_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("reason");
  QTest::newRow("text") << QByteArray("These are my notes, not a database.\n") << "It is not a database";
  QTest::newRow("truncated header") << QByteArray("SQLite format 3\0\x10\x00", 18) << "It is not a database";
  QTest::newRow("empty file") << QByteArray() << "holds no table";
}

void HealthTest::damagedDatabaseIsReportedAndLeftAlone() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, reason);
  Rig rig;
  QVERIFY(WriteBytes(rig.dataDb(), bytes));
  QVERIFY(!rig.view->OpenHealthTables());
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors()[0].contains(reason), qPrintable(rig.errors()[0]));
  QVERIFY(rig.errors()[0].contains(rig.dataDb()));
  for (const char* grid : {"Appointment_Grid", "Vaccine_Grid", "Prescription_grid"})
    QCOMPARE(rig.child<QTableView>(grid)->model(), nullptr);
  rig.view->SaveOnLeave();
  rig.view.reset();
  CloseDatabase();
  QCOMPARE(ReadBytes(rig.dataDb()), bytes);
  QVERIFY(!QFile::exists(rig.dataDb() + "-journal"));
}

void HealthTest::missingTableIsReported() {
  Rig rig;
  QVERIFY(QFile::copy(rig.program->shippedDb(), rig.dataDb()));
  QVERIFY(ExecOnDatabaseFile(rig.dataDb(), "DROP TABLE Health_Prescription"));
  QVERIFY(!rig.view->OpenHealthTables());
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors()[0].contains("holds no table \"Health_Prescription\""), qPrintable(rig.errors()[0]));
  QCOMPARE(rig.child<QTableView>("Prescription_grid")->model(), nullptr);
  QCOMPARE(rig.view->Model("Health_Appointments")->rowCount(), 2);
}

// Food.db gone after the first start: nothing is copied in its place, and the message
// says what is missing and that her own records were in it.
void HealthTest::missingDatabaseIsNotReplacedLater() {
  Rig rig;
  QVERIFY(rig.view->OpenHealthTables());
  QVERIFY(QFile::exists(rig.dataDb()));
  rig.view.reset();
  CloseDatabase();
  QVERIFY(QFile::remove(rig.dataDb()));
  rig.start();
  QVERIFY(!rig.view->OpenHealthTables());
  QVERIFY(!QFile::exists(rig.dataDb()));
  QVERIFY(!DatabaseIsOpen());
  QCOMPARE(rig.errors().size(), 1);
  const QString message = rig.errors()[0];
  QVERIFY2(message.startsWith("Cannot open file \"" + rig.dataDb() + "\". The file is missing."),
           qPrintable(message));
  QVERIFY(message.contains("Your own foods and your health records"));
  QVERIFY(message.contains(rig.program->shippedDb()));
  QCOMPARE(rig.child<QTableView>("Appointment_Grid")->model(), nullptr);
  // The food window says the same.
  rig.env.clearMessages();
  { FoodDatabaseWindow food; }
  QCOMPARE(rig.errors(), QStringList{message});
  QVERIFY(!QFile::exists(rig.dataDb()));
}

// A damaged Food.db ("database disk image is malformed") is shown read-only with its
// message: the records can be read, and no appointment, vaccine or food is written.
void HealthTest::damagedDatabaseOpensReadOnly() {
  Rig rig;
  QVERIFY(QFile::copy(rig.program->shippedDb(), rig.dataDb()));
  QVERIFY(DamageDatabasePage(rig.dataDb(), "food_group"));
  const QByteArray before = ReadBytes(rig.dataDb());
  QVERIFY(!rig.view->OpenHealthTables());
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors()[0].contains("was opened read-only"), qPrintable(rig.errors()[0]));
  QVERIFY(rig.errors()[0].contains("It is damaged"));
  QVERIFY(rig.errors()[0].contains(rig.dataDb()));
  QCOMPARE(rig.view->Model("Health_Appointments")->rowCount(), 2);
  QCOMPARE(rig.view->Model("Health_Prescription")->rowCount(), 1);
  auto* model = rig.view->Model("Health_Appointments");
  QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsEditable));

  rig.clickMenu(1);
  rig.env.clearMessages();
  rig.clickNavigator("DBNavigator1", "Insert");
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors()[0].startsWith("Cannot create file \"" + rig.dataDb() + "\". The database "
                                      "was opened read-only"), qPrintable(rig.errors()[0]));
  QCOMPARE(model->rowCount(), 2);
  auto* grid = rig.child<QTableView>("Appointment_Grid");
  grid->setCurrentIndex(model->index(0, 1));
  rig.env.clearMessages();
  rig.clickNavigator("DBNavigator1", "Delete");
  QCOMPARE(rig.env.messages.size(), 1);  // no question first
  QCOMPARE(rig.env.messages[0].kind, MessageKind::Error);
  QCOMPARE(model->rowCount(), 2);
  {
    FoodDatabaseWindow food;
    food.SetKeyword("apple");
    OwnFood rye;
    rye.name = "Rye crisp";
    QVERIFY(!food.Query()->AddFood(OwnFoodRecord(rye)));
  }
  rig.view->SaveOnLeave();
  rig.view.reset();
  CloseDatabase();
  QCOMPARE(ReadBytes(rig.dataDb()), before);
  QVERIFY(!QFile::exists(rig.dataDb() + "-journal"));
}

void HealthTest::wrongShapeTableIsNamed_data() {
  QTest::addColumn<QString>("create");
  QTest::addColumn<QString>("problem");
  QTest::newRow("other columns")
      << "CREATE TABLE Health_Appointments (ID INTEGER PRIMARY KEY, Date TEXT, Doctor TEXT, Notes TEXT)"
      << "the columns StartTime, Reason are missing";
  QTest::newRow("no row id")
      << "CREATE TABLE Health_Appointments (StartTime TEXT, Doctor TEXT, Reason TEXT)"
      << "the column ID is missing";
  QTest::newRow("a row id that is text")
      << "CREATE TABLE Health_Appointments (ID TEXT PRIMARY KEY, StartTime TEXT, Doctor TEXT, Reason TEXT)"
      << "its column ID is not the row id";
}

// A health table of another shape is named in the message at opening (not met with an
// empty error at every add); the other tables open as usual.
void HealthTest::wrongShapeTableIsNamed() {
  QFETCH(QString, create);
  QFETCH(QString, problem);
  Rig rig;
  QVERIFY(QFile::copy(rig.program->shippedDb(), rig.dataDb()));
  QVERIFY(ExecOnDatabaseFile(rig.dataDb(), "DROP TABLE Health_Appointments"));
  QVERIFY(ExecOnDatabaseFile(rig.dataDb(), create));
  QVERIFY(!rig.view->OpenHealthTables());
  QCOMPARE(rig.errors().size(), 1);
  const QString message = rig.errors()[0];
  QVERIFY2(message.startsWith("Cannot open file \"" + rig.dataDb() + "\". Its table "
                              "\"Health_Appointments\" is not of the shape"), qPrintable(message));
  QVERIFY2(message.contains(problem), qPrintable(message));
  QCOMPARE(rig.child<QTableView>("Appointment_Grid")->model(), nullptr);
  QCOMPARE(rig.view->Model("Health_Prescription")->rowCount(), 1);
  QCOMPARE(rig.view->Model("Health_Immunization")->rowCount(), 1);
}

void HealthTest::rowTypedThenLeftIsPosted_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("a menu click") << "menu";
  QTest::newRow("the view is left or the program ends") << "leave";
  QTest::newRow("Tab out of the grid") << "tab";
  QTest::newRow("another row") << "row";
}

// An appointment typed and then left without moving to another row is written, never
// thrown away.
void HealthTest::rowTypedThenLeftIsPosted() {
  QFETCH(QString, how);
  Rig rig;
  QVERIFY(rig.view->OpenHealthTables());
  rig.clickMenu(1);
  rig.clickNavigator("DBNavigator1", "Insert");
  auto* grid = rig.child<QTableView>("Appointment_Grid");
  QCOMPARE(grid->currentIndex().row(), 2);
  QCOMPARE(grid->currentIndex().column(), 1);
  QWidget* editor = QApplication::focusWidget();
  QVERIFY(qobject_cast<QLineEdit*>(editor));
  QTest::keyClicks(editor, "4/2/2009");
  QCOMPARE(rig.stored("Health_Appointments").size(), 2);  // not written while typing

  if (how == "menu") {
    rig.clickMenu(0);
  } else if (how == "leave") {
    rig.view->SaveOnLeave();
  } else if (how == "tab") {
    // From cell to cell, then out past the last one.
    for (int i = 0; i < 3; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(!grid->isAncestorOf(QApplication::focusWidget()));
    QVERIFY(QApplication::focusWidget() != grid);
  } else {
    QTest::keyClick(editor, Qt::Key_Up);
    if (grid->currentIndex().row() == 2) grid->setCurrentIndex(grid->model()->index(0, 1));
  }
  QCOMPARE(rig.stored("Health_Appointments"),
           (QStringList{"3/14/2009|Dr. Lee|Checkup", "3/14/2009|Dr. Lee|Checkup", "4/2/2009||"}));
  QVERIFY(rig.errors().isEmpty());
}

void HealthTest::untouchedNewRowIsDropped() {
  Rig rig;
  QVERIFY(rig.view->OpenHealthTables());
  rig.clickNavigator("DBNavigator2", "Insert");
  QCOMPARE(rig.view->Model("Health_Immunization")->rowCount(), 2);
  rig.clickMenu(2);
  QCOMPARE(rig.view->Model("Health_Immunization")->rowCount(), 1);
  QCOMPARE(rig.stored("Health_Immunization"), QStringList{"Tetanus|2005"});
  rig.view->SaveOnLeave();
  QCOMPARE(rig.stored("Health_Immunization"), QStringList{"Tetanus|2005"});
}

// A row the database refuses stays in the grid, unwritten, and the user is told once;
// the next leave writes it.
void HealthTest::failedPostIsReportedAndKept() {
  Rig rig;
  QVERIFY(QFile::copy(rig.program->shippedDb(), rig.dataDb()));
  QVERIFY(ExecOnDatabaseFile(rig.dataDb(), "CREATE TRIGGER refuse BEFORE INSERT ON Health_Prescription "
                                           "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
  QVERIFY(rig.view->OpenHealthTables());
  rig.clickMenu(2);
  rig.clickNavigator("DBNavigator3", "Insert");
  QTest::keyClicks(QApplication::focusWidget(), "since 5/2009");
  rig.clickMenu(0);
  QCOMPARE(rig.errors().size(), 1);
  QVERIFY2(rig.errors()[0].startsWith("Cannot create file \"" + rig.dataDb() + "\""), qPrintable(rig.errors()[0]));
  QVERIFY(rig.errors()[0].contains("database or disk is full"));
  auto* model = rig.view->Model("Health_Prescription");
  QCOMPARE(model->rowCount(), 2);
  QCOMPARE(model->index(1, 1).data().toString(), QString("since 5/2009"));
  QCOMPARE(rig.stored("Health_Prescription").size(), 1);

  QVERIFY(QSqlQuery(AppDatabase()).exec("DROP TRIGGER refuse"));
  rig.view->SaveOnLeave();
  QCOMPARE(rig.stored("Health_Prescription"),
           (QStringList{"3/1 - 3/10|Amoxicillin|500 mg, 3 a day", "since 5/2009||"}));
  QCOMPARE(rig.errors().size(), 1);
}

// Deleting asks first; of two identical appointments exactly the chosen one goes.
void HealthTest::deleteAsksAndRemovesOneRecord() {
  Rig rig;
  QVERIFY(rig.view->OpenHealthTables());
  rig.clickMenu(1);
  auto* grid = rig.child<QTableView>("Appointment_Grid");
  grid->setFocus();
  grid->setCurrentIndex(grid->model()->index(1, 2));
  rig.env.answer = [](const MessageRequest&) { return MessageAnswer{false, {}}; };
  rig.clickNavigator("DBNavigator1", "Delete");
  QCOMPARE(rig.env.messages.size(), 1);
  QCOMPARE(rig.env.messages[0].kind, MessageKind::Question);
  QCOMPARE(rig.env.messages[0].text, QString("Delete record?"));
  QCOMPARE(rig.stored("Health_Appointments").size(), 2);

  rig.env.answer = [](const MessageRequest&) { return MessageAnswer{true, {}}; };
  rig.clickNavigator("DBNavigator1", "Delete");
  QCOMPARE(rig.stored("Health_Appointments"), QStringList{"3/14/2009|Dr. Lee|Checkup"});
  QCOMPARE(rig.view->Model("Health_Appointments")->rowCount(), 1);
  QCOMPARE(rig.child<QWidget>("DBNavigator1")->findChild<QToolButton*>("Insert")->toolTip(),
           QString("Add Appointment"));
  QCOMPARE(rig.child<QWidget>("DBNavigator1")->findChild<QToolButton*>("Delete")->toolTip(),
           QString("Delete Selected Appointment"));
}

// The start-up routine copies the shipped database, opens the health tables without a
// message, and the Health icon leads to the view.
void HealthTest::startupOpensTheTablesAndShowsTheIcon() {
  TestEnv env;
  {
    MainWindow window(TestEnv::programFolder(), false);
    window.Startup();
    QVERIFY2(env.messages.isEmpty(), qPrintable(env.messageTexts().join('\n')));
    QVERIFY(QFile::exists(env.dataRoot() + "DB/Food.db"));
    auto* health = dynamic_cast<HealthView*>(window.View("health"));
    QVERIFY(health);
    QVERIFY(health->Model("Health_Appointments"));
    QVERIFY(health->Model("Health_Immunization"));
    QVERIFY(health->Model("Health_Prescription"));
    auto* icon = window.findChild<QLabel*>("Health_Icon");
    QVERIFY(icon);
    QVERIFY(icon->isVisibleTo(&window));
    window.ShowView("health");
    QVERIFY(health->isVisibleTo(&window));
    QCOMPARE(health->findChild<QLabel*>("Title_Label")->text(), QString("Medical Health"));
  }
  CloseDatabase();
}

// Screenshots to look at by hand: MAVELO_SHOTS=/some/folder build/bin/test_health.
void HealthTest::screenshots() {
  const QString dir = qEnvironmentVariable("MAVELO_SHOTS");
  if (dir.isEmpty()) QSKIP("set MAVELO_SHOTS to a folder to write screenshots");
  QDir().mkpath(dir);
  TestEnv env;
  {
    MainWindow window(TestEnv::programFolder(), false);
    window.Startup();
    const char* rows[] = {
        "INSERT INTO Health_Appointments (StartTime, Doctor, Reason) VALUES "
        "('3/14/2009 10:00', 'Dr. Lee', 'Yearly checkup'), ('4/2/2009 8:30', 'Dr. Kim', "
        "'Blood test'), ('5/20/2009 14:15', 'Dr. Ray', 'Dentist, cleaning')",
        "INSERT INTO Health_Immunization (Vaccines, Date_Received) VALUES ('Tetanus', "
        "'6/1/2005'), ('Hepatitis B', '9/12/2007'), ('Influenza', '10/3/2008')",
        "INSERT INTO Health_Prescription (Date_Start_End, Medication_Dosage, Special_Notes) "
        "VALUES ('3/1/2009 - 3/10/2009', 'Amoxicillin', '500 mg, three times a day'), "
        "('since 1/2009', 'Folic acid', '0.4 mg every morning')"};
    for (const char* statement : rows) QVERIFY(QSqlQuery(AppDatabase()).exec(statement));
    auto* health = dynamic_cast<HealthView*>(window.View("health"));
    QVERIFY(health->OpenHealthTables());
    health->findChild<QPlainTextEdit*>("Alergies_Memo")
        ->setPlainText("Penicillin (rash)\nHay fever in spring\nMild asthma");
    health->findChild<QComboBox*>("BloodType_Combo")->setCurrentIndex(7);
    auto* contacts = health->findChild<QTableWidget*>("Contacts_chart");
    contacts->item(0, 0)->setText("Dr. Lee");
    contacts->item(0, 1)->setText("555-0100 Main St.");
    contacts->item(1, 0)->setText("Dr. Kim");
    contacts->item(1, 1)->setText("555-0142 Oak Avenue 12, Springfield");
    window.show();
    window.ShowView("health");
    auto* menu = health->findChild<QListWidget*>("menu");
    QVERIFY(window.grab().save(dir + "/health-start.png"));
    for (int page = 0; page < 4; ++page) {
      menu->setCurrentRow(page);
      QVERIFY(window.grab().save(dir + QString("/health-page%1.png").arg(page)));
    }
    FoodDatabaseWindow food(&window);
    food.show();
    food.SetKeyword("apple");
    food.ReadyTimerFired();
    QCoreApplication::processEvents();
    QVERIFY(food.grab().save(dir + "/food-apple.png"));
    auto* groups = food.findChild<QListWidget*>("Group");
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, groups->visualItemRect(groups->item(8)).center());
    food.findChild<QSlider*>("track")->setValue(6);
    QCoreApplication::processEvents();
    QVERIFY(food.grab().save(dir + "/food-group-fruits.png"));
    AddFoodDialog add(&food);
    add.show();
    QVERIFY(add.grab().save(dir + "/food-add.png"));
  }
  CloseDatabase();
}

QTEST_MAIN(HealthTest)
#include "test_health.moc"
