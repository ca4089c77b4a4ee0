// Imports into the data folder: Mavelo's own CSV export back again, and the exports of
// drip, Clue and Periodical (tests/data/import), what they add and keep, and bad input
// that changes nothing.

#include <QDir>
#include <QFile>
#include <QtTest>

#include "app/csvexport.h"
#include "app/datafolders.h"
#include "app/recordarchive.h"
#include "app/recordimport.h"
#include "core/csvfile.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "nutrition/mealday.h"
#include "shell/recordkinds.h"
#include "support/faults.h"
#include "support/fixturedb.h"
#include "support/recordsfixture.h"
#include "support/testenv.h"
#include "trackers/healthtables.h"

namespace {

// The CSV files of Mavelo's export that an import writes back.
const QStringList kImported = {"cycle.csv",     "journal.csv",   "basal.csv",       "weight.csv",
                               "todo.csv",      "bloodpressure.csv", "exercise.csv", "health.csv",
                               "sleep.csv",     "baby.csv",      "meals.csv",       "meals-daily.csv",
                               "foodlists.csv"};

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The records of the data folder as the CSV export writes them: one table's bytes.
QByteArray Exported(const DataFolders& dir, const QString& folder, const QString& table) {
  QString error;
  if (!ExportRecordsCsv(RecordRoot(dir), RecordKinds(dir), folder, nullptr, &error)) return error.toUtf8();
  return FileBytes(folder + u'/' + table);
}

// Everything of the data folder but the database the program ships, whose health tables
// are emptied.
void EmptyDataFolder(const DataFolders& dir) {
  for (const QFileInfo& info : QDir(dir.DataRoot()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
    if (info.fileName() != QLatin1String("DB")) {
      if (info.isDir()) QDir(info.filePath()).removeRecursively();
      else QFile::remove(info.filePath());
    }
  for (const QString& f : dir.RecordFolders()) QDir().mkpath(f);
  for (const HealthTable& t : HealthTables())
    QVERIFY(ExecOnDatabaseFile(dir.DBFolder() + "Food.db", "DELETE FROM " + t.name));
}

QByteArray Csv(const QStringList& lines) {
  QByteArray out;
  for (const QString& l : lines) out += l.toUtf8() + "\r\n";
  return out;
}

bool Import(const DataFolders& dir, const QString& path, bool replace, QString* error,
            ImportSummary* preview = nullptr) {
  ImportJob job(dir, RecordKinds(dir));
  if (!job.Inspect(path, error)) return false;
  if (preview) *preview = job.Summary();
  return job.Commit(replace, error);
}

const ImportCount* CountOf(const ImportSummary& s, const QString& table) {
  for (const ImportCount& c : s.tables)
    if (c.table == table) return &c;
  return nullptr;
}

// The fixture's CSV export, in a folder of its own, and the data folder emptied.
QString ExportFixtureThenEmpty(const TestEnv& env, const DataFolders& dir) {
  const QString out = env.home() + QStringLiteral("/export");
  QString error;
  if (!FillDataFolder(dir) || !ExportRecordsCsv(RecordRoot(dir), RecordKinds(dir), out, nullptr, &error)) {
    qWarning("%s", qPrintable(error));
    return {};
  }
  EmptyDataFolder(dir);
  return out;
}

const QString kMealsHeader = QStringLiteral("date,meal,food,amount,grams,kcal,fat,carbohydrate,protein");
const QString kDailyHeader = QStringLiteral("date,kcal,fat,carbohydrate,protein");
const QString kListsHeader = QStringLiteral("list,food,amount,kcal,fat,carbohydrate,protein");

}  // namespace

Q_DECLARE_METATYPE(QList<QByteArray>)

class ImportTest : public QObject {
  Q_OBJECT
 private slots:
  void maveloCsvRoundTrip() {
    // The fixture's export, imported into an empty data folder and exported again, gives
    // the same files.
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QString first = env.home() + QStringLiteral("/first");
    QString error;
    QVERIFY2(ExportRecordsCsv(RecordRoot(dir), RecordKinds(dir), first, nullptr, &error), qPrintable(error));
    EmptyDataFolder(dir);
    if (QTest::currentTestFailed()) return;

    ImportSummary preview;
    QVERIFY2(Import(dir, first, false, &error, &preview), qPrintable(error));
    QCOMPARE(preview.format, QStringLiteral("Mavelo's CSV export"));
    QCOMPARE(preview.Held(), 0);
    QCOMPARE(CountOf(preview, "basal.csv")->tally.added, 3);
    // Period starts, a pause and the settings.
    QCOMPARE(CountOf(preview, "cycle.csv")->tally.added, 5);
    // A workout and a note; a night and a note; three rows of the database's tables, the
    // blood type, the allergies and a contact.
    QCOMPARE(CountOf(preview, "exercise.csv")->tally.added, 2);
    QCOMPARE(CountOf(preview, "sleep.csv")->tally.added, 2);
    QCOMPARE(CountOf(preview, "baby.csv")->tally.added, 1);
    QCOMPARE(CountOf(preview, "health.csv")->tally.added, 6);
    // Every table of the export is written back: nothing is left aside.
    QVERIFY2(preview.leftAside.isEmpty(), qPrintable(preview.leftAside.join(u'\n')));

    const QString second = env.home() + QStringLiteral("/second");
    for (const QString& table : kImported) {
      const QByteArray again = Exported(dir, second, table);
      QVERIFY2(again == FileBytes(first + u'/' + table),
               qPrintable(table + QStringLiteral(":\n") + QString::fromUtf8(again)));
    }

    // A second import of the same files has nothing left to add and changes nothing.
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot());
    ImportJob job(dir, RecordKinds(dir));
    QVERIFY2(job.Inspect(first, &error), qPrintable(error));
    QCOMPARE(job.Summary().Added(), 0);
    QCOMPARE(job.Summary().Held(), 0);
    QVERIFY(!job.HasWork(true));
    QVERIFY(Snapshot(dir.DataRoot()) == before);
  }

  void otherTrackers_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("cycle");
    QTest::addColumn<QStringList>("basal");
    QTest::addColumn<QStringList>("journal");
    QTest::addColumn<QString>("leftAside");
    // Her unit is °F (the default): readings in °C are stored in °F, converted exactly.
    QTest::newRow("drip") << "drip.csv" << "drip's CSV"
        << QStringList{"period start,2024-01-05,import", "period start,2024-02-02,import"}
        << QStringList{"2024-01-05,,,P,,,", "2024-01-06,97.61,36.45,P,,,",
                       "2024-01-07,,,P,,,",
                       // Spotting is no period day.
                       "2024-01-08,97.7,36.5,,,,",
                       "2024-01-12,97.52,36.4,D,H,,",
                       "2024-01-15,97.79,36.55,W,S,yes,",
                       "2024-01-17,98.42,36.9,,,,disturbed",
                       "2024-01-20,98.33,36.85,W,S,,",
                       // A run six days after a start is the same period.
                       "2024-02-02,,,P,,,", "2024-02-03,,,P,,,", "2024-02-08,,,P,,,"}
        << QStringList{"2024-01-15,\"Felt great, \"\"really\"\"\"", "2024-01-17,\"Cold\nStayed home\""}
        << "pain.cramps (2 days)";
    QTest::newRow("Clue") << "measurements.json" << "Clue's measurements"
        << QStringList{"period start,2023-03-01,import", "period start,2023-03-29,import"}
        << QStringList{"2023-03-01,,,P,,,", "2023-03-02,,,P,,,", "2023-03-03,,,P,,,",
                       "2023-03-29,,,P,,,"}
        << QStringList{} << "period (spotting) (1 entry)";
    QTest::newRow("Periodical") << "Periodical-backup.json.gz" << "Periodical's backup"
        << QStringList{"period start,2022-01-10,import", "period start,2022-02-07,import"}
        << QStringList{"2022-02-07,97.88,36.6,,,,", "2022-02-15,98.33,36.85,,,,"}
        << QStringList{"2022-02-07,Headache in the morning"} << "event type 3 (1 row)";
  }

  void otherTrackers() {
    QFETCH(QString, file);
    QFETCH(QString, format);
    QFETCH(QStringList, cycle);
    QFETCH(QStringList, basal);
    QFETCH(QStringList, journal);
    QFETCH(QString, leftAside);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    ImportSummary preview;
    QString error;
    QVERIFY2(Import(dir, TestEnv::testData("import/" + file), false, &error, &preview), qPrintable(error));
    QCOMPARE(preview.format, format);
    QVERIFY2(preview.leftAside.contains(leftAside), qPrintable(preview.leftAside.join(u'\n')));
    const QString out = env.home() + QStringLiteral("/csv");
    QCOMPARE(Exported(dir, out, "cycle.csv"), Csv(QStringList{"record,date,value"} + cycle));
    QCOMPARE(Exported(dir, out, "basal.csv"),
             Csv(QStringList{"date,fahrenheit,celsius,discharge,cervix,intercourse,disturbed"} + basal));
    QCOMPARE(Exported(dir, out, "journal.csv"), Csv(QStringList{"date,text"} + journal));
  }

  void daysThatHoldSomethingAreKeptUnlessReplaced() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    const QString source = env.home() + QStringLiteral("/in.csv");
    QVERIFY(WriteFileBytes(source, Csv({"date,temperature.value,note.value,bleeding.value",
                                        "2024-01-12,36.40,imported note,",
                                        "2024-01-13,36.50,,",
                                        "2024-01-20,,,2"}),
                           nullptr));
    // She has a reading on the 12th, a note on the 13th and a start two days before the
    // imported one.
    const QString mine = env.home() + QStringLiteral("/mine");
    QDir().mkpath(mine);
    QVERIFY(WriteFileBytes(mine + "/basal.csv", Csv({"date,fahrenheit,celsius", "2024-01-12,97.9,"}), nullptr));
    QVERIFY(WriteFileBytes(mine + "/journal.csv", Csv({"date,text", "2024-01-12,my own note"}), nullptr));
    QVERIFY(WriteFileBytes(mine + "/cycle.csv", Csv({"record,date,value", "period start,2024-01-18,day"}), nullptr));
    QString error;
    QVERIFY2(Import(dir, mine, false, &error), qPrintable(error));

    ImportSummary preview;
    QVERIFY2(Import(dir, source, false, &error, &preview), qPrintable(error));
    QCOMPARE(CountOf(preview, "basal.csv")->tally.added, 2);  // the 13th and the P day
    QCOMPARE(CountOf(preview, "basal.csv")->tally.held, 1);
    QCOMPARE(CountOf(preview, "journal.csv")->tally.held, 1);
    QCOMPARE(CountOf(preview, "cycle.csv")->tally.held, 1);
    const QString out = env.home() + QStringLiteral("/csv");
    QVERIFY(Exported(dir, out, "basal.csv").contains("2024-01-12,97.9,36.61,"));
    QVERIFY(Exported(dir, out, "journal.csv").contains("2024-01-12,my own note"));
    QVERIFY(Exported(dir, out, "cycle.csv").contains("period start,2024-01-18,day"));
    QVERIFY(!Exported(dir, out, "cycle.csv").contains("2024-01-20"));

    QVERIFY2(Import(dir, source, true, &error), qPrintable(error));
    QVERIFY(Exported(dir, out, "basal.csv").contains("2024-01-12,97.52,36.4,"));
    QVERIFY(Exported(dir, out, "journal.csv").contains("2024-01-12,imported note"));
    QVERIFY(Exported(dir, out, "cycle.csv").contains("period start,2024-01-20,import"));
    QVERIFY(!Exported(dir, out, "cycle.csv").contains("2024-01-18"));
  }

  void trackersKeepWhatTheyHoldUnlessReplaced_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("mine");    // imported first, header included
    QTest::addColumn<QStringList>("theirs");  // imported over them
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("held");
    QTest::addColumn<QStringList>("kept");      // the export after keeping hers
    QTest::addColumn<QStringList>("replaced");  // the export after replacing them
    const QString ex = "date,hours,minutes,intensity,activities,calories,workout,run,bike,swim,climb,unit,note";
    // A day's workout and its note are records of their own; distances keep the
    // system they come in, and a row without a unit is in the settings' units.
    QTest::newRow("exercise") << "exercise.csv"
        << QStringList{ex, "2009-03-14,1,0,5,Running,720,Running,3,0,0,0,mi,",
                       "2009-03-16,0,0,0,,0,,0,0,0,0,,my note"}
        << QStringList{ex, "2009-03-14,0,45,3,Yoga; Boxing ,360,Yoga,0,0,0,0,mi,their note",
                       "2009-03-15,0,30,2,Walking,180,Walking,2.5,0,0,0,km,",
                       "2009-03-16,,,,,,,,,,,,their note",
                       "2009-03-17,0,20,1,,80,,1,0,0,0,,"}
        << 3 << 2
        << QStringList{ex, "2009-03-14,1,0,5,Running,720,Running,3,0,0,0,mi,their note",
                       "2009-03-15,0,30,2,Walking,180,Walking,2.5,0,0,0,km,",
                       "2009-03-16,0,0,0,,0,,0,0,0,0,,my note",
                       "2009-03-17,0,20,1,,80,,1,0,0,0,mi,"}
        << QStringList{ex, "2009-03-14,0,45,3,Yoga; Boxing ,360,Yoga,0,0,0,0,mi,their note",
                       "2009-03-15,0,30,2,Walking,180,Walking,2.5,0,0,0,km,",
                       "2009-03-16,0,0,0,,0,,0,0,0,0,,their note",
                       "2009-03-17,0,20,1,,80,,1,0,0,0,mi,"};
    // The same texts are her row; the same date and name another version of it. Rows
    // entered twice stay two.
    const QString health = "record,date,name,details";
    QTest::newRow("health") << "health.csv"
        << QStringList{health, "appointment,\"Mar 20, 2009\",Dr. Lee,Check-up",
                       "immunisation,2008,Tetanus,", "immunisation,2008,Tetanus,",
                       "blood type,,A+,", "allergies,,,Penicillin", "contact,,Dr. Lee,555-0100"}
        << QStringList{health, "appointment,\"Mar 20, 2009\",Dr. Lee,Blood test",
                       "appointment,\"Apr 2, 2009\",Dr. Kim,Eyes", "immunisation,2008,Tetanus,",
                       "immunisation,2008,Tetanus,", "prescription,Apr 2 - Apr 9,Drops,twice a day",
                       "blood type,,B+,", "allergies,,,\"Hay fever\nDust\"",
                       "contact,,Dr. Lee,555-0199", "contact,,Dr. Kim,555-0200"}
        << 3 << 4
        << QStringList{health, "appointment,\"Mar 20, 2009\",Dr. Lee,Check-up",
                       "appointment,\"Apr 2, 2009\",Dr. Kim,Eyes", "immunisation,2008,Tetanus,",
                       "immunisation,2008,Tetanus,", "prescription,Apr 2 - Apr 9,Drops,twice a day",
                       "blood type,,A+,", "allergies,,,Penicillin", "contact,,Dr. Lee,555-0100",
                       "contact,,Dr. Kim,555-0200"}
        << QStringList{health, "appointment,\"Mar 20, 2009\",Dr. Lee,Blood test",
                       "appointment,\"Apr 2, 2009\",Dr. Kim,Eyes", "immunisation,2008,Tetanus,",
                       "immunisation,2008,Tetanus,", "prescription,Apr 2 - Apr 9,Drops,twice a day",
                       "blood type,,B+,", "allergies,,,\"Hay fever\nDust\"",
                       "contact,,Dr. Lee,555-0199", "contact,,Dr. Kim,555-0200"};
    // A night and its note are records of their own. Fewer hours than bed to wake: the
    // awake half hours fall before the last, so hours, bed and wake read back.
    const QString night = "date,hours,bed,wake,note";
    QTest::newRow("sleep") << "sleep.csv"
        << QStringList{night, "2009-03-14,8,23:00,07:00,", "2009-03-16,,,,my note"}
        << QStringList{night, "2009-03-14,7,22:00,06:00,their note", "2009-03-15,6,23:00,06:00,",
                       "2009-03-16,8,23:00,07:00,their note"}
        << 3 << 2
        << QStringList{night, "2009-03-14,8,23:00,07:00,their note", "2009-03-15,6,23:00,06:00,",
                       "2009-03-16,8,23:00,07:00,my note"}
        << QStringList{night, "2009-03-14,7,22:00,06:00,their note", "2009-03-15,6,23:00,06:00,",
                       "2009-03-16,8,23:00,07:00,their note"};
    QTest::newRow("baby") << "baby.csv"
        << QStringList{night, "2009-03-15,2,20:00,22:00,"}
        << QStringList{night, "2009-03-15,1.5,20:30,22:00,", "2009-03-16,,20:00,20:00,"}
        << 1 << 1
        << QStringList{night, "2009-03-15,2,20:00,22:00,", "2009-03-16,24,20:00,20:00,"}
        << QStringList{night, "2009-03-15,1.5,20:30,22:00,", "2009-03-16,24,20:00,20:00,"};
  }

  void trackersKeepWhatTheyHoldUnlessReplaced() {
    QFETCH(QString, table);
    QFETCH(QStringList, mine);
    QFETCH(QStringList, theirs);
    QFETCH(int, added);
    QFETCH(int, held);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, replaced);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(CopyFixtureDatabase(dir.DBFolder() + "Food.db"));
    for (const QString& folder : {"mine", "theirs"}) QDir().mkpath(env.home() + u'/' + folder);
    const QString minePath = env.home() + "/mine/" + table, theirPath = env.home() + "/theirs/" + table;
    QVERIFY(WriteFileBytes(minePath, Csv(mine), nullptr));
    QVERIFY(WriteFileBytes(theirPath, Csv(theirs), nullptr));
    QString error;
    QVERIFY2(Import(dir, minePath, false, &error), qPrintable(error));
    const QString out = env.home() + QStringLiteral("/csv");
    QCOMPARE(Exported(dir, out, table), Csv(mine));

    ImportSummary preview;
    QVERIFY2(Import(dir, theirPath, false, &error, &preview), qPrintable(error));
    QCOMPARE(CountOf(preview, table)->tally.added, added);
    QCOMPARE(CountOf(preview, table)->tally.held, held);
    QCOMPARE(Exported(dir, out, table), Csv(kept));

    QVERIFY2(Import(dir, theirPath, true, &error, &preview), qPrintable(error));
    QCOMPARE(CountOf(preview, table)->tally.added, 0);
    QCOMPARE(CountOf(preview, table)->tally.held, held);
    QCOMPARE(Exported(dir, out, table), Csv(replaced));

    // What was imported is there now: a third time finds nothing to do and writes nothing.
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot());
    ImportJob job(dir, RecordKinds(dir));
    QVERIFY2(job.Inspect(theirPath, &error), qPrintable(error));
    QCOMPARE(job.Summary().Added() + job.Summary().Held(), 0);
    QVERIFY(!job.HasWork(true));
    QVERIFY(Snapshot(dir.DataRoot()) == before);
  }

  void exerciseDistancesKeepTheirSystem() {
    // Her settings are metric: kilometres are kept unmarked, miles marked as miles, and
    // a row without a unit is in her units; each reads back in its own system.
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(WriteFileBytes(dir.ConfigFolder() + "application.ini", "[Application]\r\nMeasure_Units=M\r\n", nullptr));
    const QString ex = "date,hours,minutes,intensity,activities,calories,workout,run,bike,swim,climb,unit,note";
    const QString source = env.home() + "/exercise.csv";
    QVERIFY(WriteFileBytes(source, Csv({ex, "2009-03-14,0,30,4,,300,,5,0,0,0,km,",
                                        "2009-03-15,0,30,4,,300,,3,0,0,0,mi,",
                                        "2009-03-16,0,30,4,,300,,2,0,0,0,,"}),
                           nullptr));
    QString error;
    QVERIFY2(Import(dir, source, false, &error), qPrintable(error));
    const QList<QByteArray> lines = FileBytes(dir.ExerciseFolder() + "2009.txt").split('\n');
    QCOMPARE(lines.value(0).trimmed(), QByteArray("Date,Hours,Minutes,Intensity,Activities,Calories,Workout,Run,Bike,Swim,Climb,Units"));
    QCOMPARE(lines.value(YearGridRow(QDate(2009, 3, 14))).trimmed(), QByteArray("\"March 14\",0,30,4,,300,,5,0,0,0,"));
    QCOMPARE(lines.value(YearGridRow(QDate(2009, 3, 15))).trimmed(), QByteArray("\"March 15\",0,30,4,,300,,3,0,0,0,mi"));
    QCOMPARE(Exported(dir, env.home() + "/csv", "exercise.csv"),
             Csv({ex, "2009-03-14,0,30,4,,300,,5,0,0,0,km,", "2009-03-15,0,30,4,,300,,3,0,0,0,mi,",
                  "2009-03-16,0,30,4,,300,,2,0,0,0,km,"}));
  }

  void aFileThatDoesNotReadRefusesItsTable_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("file");
    QTest::newRow("exercise year") << "exercise.csv" << "Exercise/2009.txt";
    QTest::newRow("exercise note") << "exercise.csv" << "Exercise/Y2009M3D15.txt";
    QTest::newRow("health contacts") << "health.csv" << "Health/contacts.txt";
    QTest::newRow("sleep year") << "sleep.csv" << "Sleep/2009-Sleep.txt";
    QTest::newRow("sleep note") << "sleep.csv" << "Sleep/Y2009M3D14-note.txt";
    QTest::newRow("baby year") << "baby.csv" << "Baby/2009-Sleep.txt";
  }

  void aFileThatDoesNotReadRefusesItsTable() {
    // Her records in a file that cannot be read cannot be compared, and a write would
    // lose them: the table is refused before anything is written.
    QFETCH(QString, table);
    QFETCH(QString, file);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QString path = dir.DataRoot() + file;
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot(), true);
    if (!MakeUnreadable(path)) QSKIP("the file can still be read");
    ImportJob job(dir, RecordKinds(dir));
    QString error;
    QVERIFY(!job.Inspect(TestEnv::testData("records/golden/" + table), &error));
    QVERIFY2(error.contains("Cannot open file") && error.contains(QFileInfo(file).fileName()), qPrintable(error));
    QVERIFY(!job.Commit(true, &error));
    MakeReadable(path);
    QVERIFY(Snapshot(dir.DataRoot(), true) == before);
  }

  void healthRowsGoNowhereIntoADamagedDatabase() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QString db = dir.DBFolder() + "Food.db";
    for (const HealthTable& t : HealthTables()) QVERIFY(ExecOnDatabaseFile(db, "DELETE FROM " + t.name));
    // Another table's page: the health tables still read, and the rows to add are found.
    QVERIFY(DamageDatabasePage(db, "food_group"));
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot(), true);
    ImportJob job(dir, RecordKinds(dir));
    QString error;
    QVERIFY(!job.Inspect(TestEnv::testData("records/golden/health.csv"), &error));
    QVERIFY2(error.contains("Cannot create file") && error.contains("Food.db") &&
                 error.contains("It is damaged (SQLite's check: Page"),
             qPrintable(error));
    QVERIFY(!job.Commit(false, &error));
    QVERIFY(Snapshot(dir.DataRoot(), true) == before);
  }

  void settingsRowsChangeOnlyWhatTheyName() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QString source = env.home() + QStringLiteral("/cycle.csv");
    QVERIFY(WriteFileBytes(source, Csv({"record,date,value", "cycle length,,30"}), nullptr));
    const QString out = env.home() + QStringLiteral("/csv");
    const QByteArray before = Exported(dir, out, "cycle.csv");
    ImportSummary preview;
    QString error;
    QVERIFY2(Import(dir, source, false, &error, &preview), qPrintable(error));
    QCOMPARE(CountOf(preview, "cycle.csv")->tally.held, 1);
    QCOMPARE(Exported(dir, out, "cycle.csv"), before);
    QVERIFY2(Import(dir, source, true, &error), qPrintable(error));
    QByteArray expected = before;
    expected.replace("cycle length,,28", "cycle length,,30");
    QCOMPARE(Exported(dir, out, "cycle.csv"), expected);
  }

  void numbersWithEveryDigitOfTheExportRead() {
    // The export writes the shortest form that reads back exactly: a converted weight can
    // carry fifteen decimals, and Mavelo must read its own files.
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    EmptyDataFolder(dir);
    const QString source = env.home() + QStringLiteral("/weight.csv");
    QVERIFY(WriteFileBytes(source, Csv({"date,weight,unit,goal", "2024-03-01,146.38716034229732,lbs,"}), nullptr));
    ImportSummary preview;
    QString error;
    QVERIFY2(Import(dir, source, false, &error, &preview), qPrintable(error));
    QCOMPARE(CountOf(preview, "weight.csv")->tally.added, 1);
  }

  void eachImportKeepsABackupFirst() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    // Notes/readme.bak is not one of Mavelo's files: no backup holds it, and a restore
    // leaves it where it is.
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot());
    ImportJob job(dir, RecordKinds(dir));
    QString error;
    QVERIFY2(job.Inspect(TestEnv::testData("import/drip.csv"), &error), qPrintable(error));
    QVERIFY2(job.Commit(false, &error), qPrintable(error));
    QVERIFY(AutomaticBackups(dir).contains(job.SafetyBackup()));
    QVERIFY(Snapshot(dir.DataRoot()) != before);
    // The backup puts the folder back as it was.
    RestoreJob restore(dir, RecordKinds(dir));
    QVERIFY2(restore.Inspect(job.SafetyBackup(), &error) && restore.Commit(&error), qPrintable(error));
    const QMap<QString, QByteArray> after = Snapshot(dir.DataRoot());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
      QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
    QCOMPARE(after.keys(), before.keys());
  }

  // Each fault of the calorie diary's tables refuses the whole source, naming the file,
  // the line and the reason: the fixture's export with one file (or two) replaced, into
  // an empty data folder that the other files would fill.
  void calorieDiaryBadRowsChangeNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("meals");  // meals.csv beside it, when not the fixture's
    QTest::addColumn<bool>("alone");        // the file imported on its own
    QTest::addColumn<QString>("message");
    const QByteArray fixture;
    const QString longName(20000, u'x');
    QTest::newRow("meal date") << "meals.csv"
        << Csv({kMealsHeader, "2009-03-14,Breakfast,Oatmeal,,,300,10,40,10", "2009-03-32,Lunch,Soup,,,200,5,20,8"})
        << fixture << false << "meals.csv, line 3: \"2009-03-32\" is not a date";
    QTest::newRow("meal without date") << "meals.csv"
        << Csv({kMealsHeader, ",Lunch,Soup,,,200,5,20,8"}) << fixture << false << "meals.csv, line 2: the date is missing";
    QTest::newRow("meal unknown") << "meals.csv"
        << Csv({kMealsHeader, "2009-03-14,Brunch,Soup,,,200,5,20,8"}) << fixture << false
        << "meals.csv, line 2: the meal \"Brunch\" is not one of the diary's";
    QTest::newRow("meal missing") << "meals.csv"
        << Csv({kMealsHeader, "2009-03-14,,Soup,,,200,5,20,8"}) << fixture << false
        << "meals.csv, line 2: the meal is missing";
    QTest::newRow("meal kcal text") << "meals.csv"
        << Csv({kMealsHeader, "2009-03-14,Lunch,Soup,,,about 200,5,20,8"}) << fixture << false
        << "meals.csv, line 2: the kcal \"about 200\" is not a number";
    QTest::newRow("meal fat comma") << "meals.csv"
        << Csv({kMealsHeader, "2009-03-14,Lunch,Soup,,,200,\"1,5\",20,8"}) << fixture << false
        << "meals.csv, line 2: the fat \"1,5\" is not a number";
    QTest::newRow("meal line too long") << "meals.csv"
        << Csv({kMealsHeader, "2009-03-14,Lunch," + longName + ",,,200,5,20,8"}) << fixture << false
        << "meals.csv, line 2: the row is 20011 characters long, more than a meal keeps on a line";
    QTest::newRow("meals without food column") << "meals.csv"
        << Csv({"date,meal,kcal", "2009-03-14,Lunch,200"}) << fixture << false << "meals.csv: it has no column \"food\"";
    // A food changed in meals.csv: the day's totals beside it no longer add up.
    QTest::newRow("daily total disagrees") << "meals-daily.csv"
        << Csv({kDailyHeader, "2009-03-14,630,31,70,15"})
        << Csv({kMealsHeader, "2009-03-14,Breakfast,Oatmeal,,,310,10,40,10",
                "2009-03-14,Dinner,\"Crème brûlée, vanilla\",,,330,21,30,5"})
        << false << "meals-daily.csv, line 2: the day's kcal is 630, but its foods in meals.csv add up to 640";
    QTest::newRow("daily protein disagrees") << "meals-daily.csv"
        << Csv({kDailyHeader, "2009-03-14,630,31,70,15", "2009-03-14,630,31,70,16"}) << fixture << false
        << "meals-daily.csv, line 3: the day's protein is 16, but its foods in meals.csv add up to 15";
    // Each meal's grams are added up and cut to whole grams before the day's: 0.5 + 0.6
    // and 0.9 make 1, not 2.
    QTest::newRow("daily adds meals as the diary") << "meals-daily.csv"
        << Csv({kDailyHeader, "2009-03-14,30,2,0,0"})
        << Csv({kMealsHeader, "2009-03-14,Breakfast,Butter,,,10,0.5,,", "2009-03-14,Breakfast,Butter,,,10,0.6,,",
                "2009-03-14,Dinner,Butter,,,10,0.9,,"})
        << false << "meals-daily.csv, line 2: the day's fat is 2, but its foods in meals.csv add up to 1";
    QTest::newRow("daily day without meals") << "meals-daily.csv"
        << Csv({kDailyHeader, "2009-03-14,630,31,70,15", "2009-03-15,100,0,0,0"}) << fixture << false
        << "meals-daily.csv, line 3: meals.csv holds no food of 2009-03-15";
    QTest::newRow("daily date") << "meals-daily.csv"
        << Csv({kDailyHeader, "14.3.2009,630,31,70,15"}) << fixture << false
        << "meals-daily.csv, line 2: \"14.3.2009\" is not a date";
    QTest::newRow("daily number") << "meals-daily.csv"
        << Csv({kDailyHeader, "2009-03-14,630 kcal,31,70,15"}) << fixture << false
        << "meals-daily.csv, line 2: the kcal \"630 kcal\" is not a number";
    QTest::newRow("daily alone") << "meals-daily.csv" << Csv({kDailyHeader, "2009-03-14,630,31,70,15"})
        << fixture << true << "meals-daily.csv: the day totals follow from the meals, and are checked against meals.csv";
    QTest::newRow("list unknown") << "foodlists.csv"
        << Csv({kListsHeader, "Drinks,Tea,1 cup,2,0,0.5,0", "Veggies,Carrot,1,25,0,6,0.6"}) << fixture << false
        << "foodlists.csv, line 3: \"Veggies\" is not one of the food lists (Breakfast, Lunch,";
    QTest::newRow("list missing") << "foodlists.csv"
        << Csv({kListsHeader, ",Tea,1 cup,2,0,0.5,0"}) << fixture << false << "foodlists.csv, line 2: the list is missing";
    QTest::newRow("list kcal") << "foodlists.csv"
        << Csv({kListsHeader, "Drinks,Tea,1 cup,two,0,0.5,0"}) << fixture << false
        << "foodlists.csv, line 2: the kcal \"two\" is not a number";
    QTest::newRow("list line too long") << "foodlists.csv"
        << Csv({kListsHeader, "Drinks,Tea," + longName + ",2,0,0.5,0"}) << fixture << false
        << "foodlists.csv, line 2: the row is 20014 characters long, more than a food list keeps";
    QTest::newRow("lists without list column") << "foodlists.csv"
        << Csv({"food,kcal", "Tea,2"}) << fixture << false << "foodlists.csv: it has no column \"list\"";
  }

  void calorieDiaryBadRowsChangeNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, meals);
    QFETCH(bool, alone);
    QFETCH(QString, message);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    const QString source = ExportFixtureThenEmpty(env, dir);
    QVERIFY(!source.isEmpty());
    QVERIFY(WriteFileBytes(source + u'/' + name, bytes, nullptr));
    if (!meals.isEmpty()) QVERIFY(WriteFileBytes(source + QStringLiteral("/meals.csv"), meals, nullptr));
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot(), true);
    ImportJob job(dir, RecordKinds(dir));
    QString error;
    QVERIFY(!job.Inspect(alone ? source + u'/' + name : source, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!job.Commit(true, &error));
    QVERIFY(Snapshot(dir.DataRoot(), true) == before);
  }

  // Meals and food-list items that already hold something are kept, or replaced when she
  // asks; what is new is added either way, the day saved as the diary saves it.
  void calorieDiaryKeepsOrReplaces() {
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    // Her 14 March: Oatmeal for breakfast, crème brûlée for dinner. Her drinks: orange
    // juice, grape juice, a milk shake.
    const QString source = env.home() + QStringLiteral("/source");
    QDir().mkpath(source);
    // Columns in another order, one Mavelo does not know, amount and grams left out.
    QVERIFY(WriteFileBytes(source + "/meals.csv",
                           Csv({"food,kcal,date,meal,note,protein,fat,carbohydrate",
                                "Toast,120,2009-03-14,Breakfast,mine,4,2,20",
                                "Soup,200,2009-03-14,lunch,,8,5,20",
                                "\"Crème brûlée, vanilla\",330,2009-03-14,Dinner,,5,21,30",
                                "Apple,95,2009-03-15,Snack,,0,0,25"}),
                           nullptr));
    QVERIFY(WriteFileBytes(source + "/meals-daily.csv",
                           Csv({"protein,date,kcal,fat,carbohydrate", "17,2009-03-14,650,28,70", "0,2009-03-15,95,0,25"}),
                           nullptr));
    QVERIFY(WriteFileBytes(source + "/foodlists.csv",
                           Csv({kListsHeader, "Drinks,orange juice,1 large glass,160,0,38,3",
                                "Drinks,Milk shake,1 glass,200,6,30,7",
                                "Vegetables,Carrot,1 medium,25,0.1,6,0.6",
                                "Drinks,Tea,1 cup,2,0,0.5,0", "Drinks,Tea,1 mug,3,0,0.7,0"}),
                           nullptr));
    const QString out = env.home() + QStringLiteral("/csv");
    const QByteArray lunch = "2009-03-14,Lunch,Soup,,,200,5,20,8";
    const QByteArray dinner = "2009-03-14,Dinner,\"Crème brûlée, vanilla\",,,330,21,30,5";
    const QByteArray apple = "2009-03-15,Snack,Apple,,,95,0,25,0";
    const QStringList lists{"Vegtable,Carrot,1 medium,25,0.1,6,0.6", "Drinks,Grape juice,1 cup,152,0.3,37,1.4",
                            "Drinks,Milk shake,1 glass,200,6,30,7", "Drinks,Tea,1 cup,2,0,0.5,0",
                            "Drinks,Tea,1 mug,3,0,0.7,0"};

    ImportSummary preview;
    QString error;
    QVERIFY2(Import(dir, source, false, &error, &preview), qPrintable(error));
    QCOMPARE(CountOf(preview, "meals.csv")->tally.added, 2);  // the Lunch and the Snack
    QCOMPARE(CountOf(preview, "meals.csv")->tally.held, 1);   // the Breakfast
    QCOMPARE(CountOf(preview, "foodlists.csv")->tally.added, 3);
    QCOMPARE(CountOf(preview, "foodlists.csv")->tally.held, 1);  // the orange juice
    QCOMPARE(CountOf(preview, "meals-daily.csv")->tally.checked, 2);
    QVERIFY2(preview.Lines().contains("Calorie diary (meals-daily.csv): 2 rows checked against the other "
                                      "files, nothing of its own to add"),
             qPrintable(preview.Lines().join(u'\n')));
    QVERIFY2(preview.Lines().contains("Calorie diary (meals.csv): 2 to add, 1 that already holds something"),
             qPrintable(preview.Lines().join(u'\n')));
    QCOMPARE(Exported(dir, out, "meals.csv"),
             Csv({kMealsHeader, "2009-03-14,Breakfast,Oatmeal,,,300,10,40,10", lunch, dinner, apple}));
    // The day's totals as the diary keeps them: its history row too.
    QCOMPARE(Exported(dir, out, "meals-daily.csv"), Csv({kDailyHeader, "2009-03-14,830,36,90,23", "2009-03-15,95,0,25,0"}));
    MealDay day(dir.FoodFolder());
    QVERIFY(day.LoadDay(QDate(2009, 3, 14)));
    QCOMPARE(day.HistoryGrid().Cell(1, YearGridRow(QDate(2009, 3, 14))), QStringLiteral("830"));
    QCOMPARE(day.HistoryGrid().Cell(1, YearGridRow(QDate(2009, 3, 15))), QStringLiteral("95"));
    QCOMPARE(Exported(dir, out, "foodlists.csv"),
             Csv(QStringList{kListsHeader, lists.at(0), "Drinks,Orange juice,1 glass,110,0,26,2"} + lists.mid(1)));

    QVERIFY2(Import(dir, source, true, &error, &preview), qPrintable(error));
    QCOMPARE(preview.Added(), 0);
    QCOMPARE(preview.Held(), 2);
    QCOMPARE(Exported(dir, out, "meals.csv"),
             Csv({kMealsHeader, "2009-03-14,Breakfast,Toast,,,120,2,20,4", lunch, dinner, apple}));
    QCOMPARE(Exported(dir, out, "meals-daily.csv"), Csv({kDailyHeader, "2009-03-14,650,28,70,17", "2009-03-15,95,0,25,0"}));
    QCOMPARE(Exported(dir, out, "foodlists.csv"),
             Csv(QStringList{kListsHeader, lists.at(0), "Drinks,orange juice,1 large glass,160,0,38,3"} + lists.mid(1)));

    // Once written over, the same source has nothing left to do.
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot());
    ImportJob job(dir, RecordKinds(dir));
    QVERIFY2(job.Inspect(source, &error), qPrintable(error));
    QVERIFY(!job.HasWork(true));
    QVERIFY(Snapshot(dir.DataRoot()) == before);
  }

  // A file of the diary that was opened read-only is not written over: the preview already
  // refuses, before the backup and before any other file.
  void calorieDiaryGuardedFilesRefuse_data() {
    QTest::addColumn<QString>("damaged");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("history") << "2009History.txt" << "meals.csv"
        << Csv({kMealsHeader, "2009-03-20,Snack,Apple,,,95,0,25,0"});
    QTest::newRow("meal of the day") << "Y2009M3D14-Lunch.txt" << "meals.csv"
        << Csv({kMealsHeader, "2009-03-14,Snack,Apple,,,95,0,25,0"});
    QTest::newRow("food list") << "Fridge-Drinks.txt" << "foodlists.csv" << Csv({kListsHeader, "Drinks,Tea,1 cup,2,0,0.5,0"});
  }

  void calorieDiaryGuardedFilesRefuse() {
    QFETCH(QString, damaged);
    QFETCH(QString, table);
    QFETCH(QByteArray, bytes);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    // A NUL byte: the file is shown read-only.
    QVERIFY(WriteFileBytes(dir.FoodFolder() + damaged, QByteArray("Food,Calories\r\nTea\0,2\r\n", 22), nullptr));
    const QString path = env.home() + QStringLiteral("/in/") + table;
    QDir().mkpath(env.home() + QStringLiteral("/in"));
    QVERIFY(WriteFileBytes(path, bytes, nullptr));
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot(), true);
    ImportJob job(dir, RecordKinds(dir));
    QString error;
    QVERIFY(!job.Inspect(path, &error));
    QVERIFY2(error.contains(damaged), qPrintable(error));
    QVERIFY(Snapshot(dir.DataRoot(), true) == before);
  }

  // A file that was read only in part (a NUL byte: it is shown read-only) is never
  // written over, and an import never stops halfway for it: a file it would add to is
  // refused at the preview; one that only holds what Replace would write over leaves
  // Keep free and refuses Replace before its first write.
  void guardedFilesRefuseBeforeTheFirstWrite_data() {
    QTest::addColumn<QString>("damaged");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("adds");  // the import adds to the file (else it replaces only)
    QTest::newRow("cycle history") << "Cycle/Periods.txt" << "cycle.csv"
        << Csv({"record,date,value", "period start,2009-05-01,import"}) << true;
    QTest::newRow("journal") << "Notes/Y2009M3D14.txt" << "journal.csv"
        << Csv({"date,text", "2009-03-14,another note"}) << false;
    QTest::newRow("basal, a new day") << "Basal/2009-Basal.txt" << "basal.csv"
        << Csv({"date,fahrenheit,celsius", "2009-03-20,97.9,"}) << true;
    QTest::newRow("basal, a held day") << "Basal/2009-Basal.txt" << "basal.csv"
        << Csv({"date,fahrenheit,celsius", "2009-03-02,98.9,"}) << false;
    QTest::newRow("weight") << "Weight/2009.txt" << "weight.csv"
        << Csv({"date,weight,unit,goal", "2009-03-20,150,lbs,"}) << true;
    QTest::newRow("to-do list") << "ToDo/@Home.txt" << "todo.csv"
        << Csv({"list,date,done,text", "@Home,,,Paint the fence"}) << false;
    QTest::newRow("blood pressure") << "Heart/Y2009-pressure.txt" << "bloodpressure.csv"
        << Csv({"date,time,systolic,diastolic,pulse", "2009-03-20,08:00,118,76,64"}) << true;
  }

  void guardedFilesRefuseBeforeTheFirstWrite() {
    QFETCH(QString, damaged);
    QFETCH(QString, table);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, adds);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    // The file as it was with a NUL byte in its first line.
    QByteArray file = FileBytes(dir.DataRoot() + damaged);
    QVERIFY(!file.isEmpty());
    file.insert(1, '\0');
    QVERIFY(WriteFileBytes(dir.DataRoot() + damaged, file, nullptr));
    // A table beside it that writes first, to show that nothing at all is written.
    QDir().mkpath(env.home() + QStringLiteral("/in"));
    QVERIFY(WriteFileBytes(env.home() + QStringLiteral("/in/") + table, bytes, nullptr));
    if (table != u"cycle.csv")
      QVERIFY(WriteFileBytes(env.home() + QStringLiteral("/in/cycle.csv"),
                             Csv({"record,date,value", "period start,2010-06-01,import"}), nullptr));
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot(), true);
    ImportJob job(dir, RecordKinds(dir));
    QString error;
    const bool inspected = job.Inspect(env.home() + QStringLiteral("/in"), &error);
    if (adds) {
      QVERIFY(!inspected);
      QVERIFY2(error.contains(QFileInfo(damaged).fileName()), qPrintable(error));
    } else {
      QVERIFY2(inspected, qPrintable(error));
      QVERIFY2(job.ReplaceRefusal().contains(QFileInfo(damaged).fileName()), qPrintable(job.ReplaceRefusal()));
      QVERIFY(!job.Commit(true, &error));
      QVERIFY2(error.startsWith(QStringLiteral("Nothing was imported")), qPrintable(error));
    }
    // Not a byte written, not even the backup.
    QVERIFY(Snapshot(dir.DataRoot(), true) == before);
    if (!adds) {
      QVERIFY2(job.Commit(false, &error), qPrintable(error));
      QCOMPARE(FileBytes(dir.DataRoot() + damaged), file);
    }
  }

  void badInputChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("drip date") << "drip.csv"
        << Csv({"date,bleeding.value", "2024-01-05,2", "5/1/2024,2"}) << "drip's CSV, line 3: \"5/1/2024\" is not a date";
    QTest::newRow("drip temperature") << "drip.csv"
        << Csv({"date,temperature.value", "2024-01-05,36,5"}) << "line 2";
    QTest::newRow("drip far temperature") << "drip.csv"
        << Csv({"date,temperature.value", "2024-01-05,98.6"}) << "line 2: the temperature 98.6 °C lies outside";
    QTest::newRow("drip bleeding") << "drip.csv"
        << Csv({"date,bleeding.value", "2024-01-05,7"}) << "line 2: bleeding.value is a number from 0 to 3";
    QTest::newRow("drip no date") << "drip.csv"
        << Csv({"day,bleeding.value", "2024-01-05,2"}) << "holds no records Mavelo imports";
    QTest::newRow("missing column") << "basal.csv"
        << Csv({"day,fahrenheit", "2009-03-02,97.5"}) << "basal.csv: it has no column \"date\"";
    QTest::newRow("weight number") << "weight.csv"
        << Csv({"date,weight,unit,goal", "2009-03-14,145.5,lbs,", "2009-03-15,146;5,lbs,"})
        << "weight.csv, line 3: the weight \"146;5\" is not a number";
    QTest::newRow("weight unit") << "weight.csv"
        << Csv({"date,weight,unit,goal", "2009-03-14,145.5,stone,"}) << "line 2: the unit \"stone\"";
    QTest::newRow("journal date") << "journal.csv"
        << Csv({"date,text", "2009-02-30,hello"}) << "journal.csv, line 2: \"2009-02-30\" is not a date";
    QTest::newRow("cycle record") << "cycle.csv"
        << Csv({"record,date,value", "period start,2009-03-01,import", "ovulation,2009-03-14,"})
        << "cycle.csv, line 3: \"ovulation\" is not a record";
    QTest::newRow("unknown table") << "mine.csv" << Csv({"a,b", "1,2"}) << "holds no records Mavelo imports";
    QTest::newRow("CSV damaged") << "todo.csv" << QByteArray("list,date,done,text\r\nToday,2009-03-14,,\"open\r\n")
        << "todo.csv, line 2";
    QTest::newRow("Clue date") << "measurements.json"
        << QByteArray(R"([{"type":"period","date":"2023-03-01"},{"type":"period","date":"March 2"}])")
        << "entry 2: \"March 2\" is not a date";
    QTest::newRow("JSON broken") << "measurements.json"
        << QByteArray("[\n{\"type\":\"period\",\n\"date\":\"2023-03-01\"\n,,]") << "line 4: it is not JSON";
    QTest::newRow("Periodical newer") << "periodical-version7.json"
        << FileBytes(TestEnv::testData("import/periodical-version7.json")) << "version 7, made by a newer Periodical";
    QTest::newRow("Periodical date") << "backup.json"
        << QByteArray(R"({"version":6,"data":[{"eventtype":1,"eventdate":"2022-01-10"}]})")
        << "data row 1: \"2022-01-10\" is not a date (yyyymmdd)";
    // One row per fault of the trackers' tables, after a good row: the whole table is
    // refused, naming the line and the reason.
    const QString ex = "date,hours,minutes,intensity,activities,calories,workout,run,bike,swim,climb,unit,note";
    const QString exGood = "2009-04-01,1,0,5,Running,720,Running,3,0,0,0,mi,";
    QTest::newRow("exercise date") << "exercise.csv"
        << Csv({ex, exGood, "2009-04-31,1,0,5,,720,,0,0,0,0,mi,"}) << "exercise.csv, line 3: \"2009-04-31\" is not a date";
    QTest::newRow("exercise minutes") << "exercise.csv"
        << Csv({ex, exGood, "2009-04-02,1,75,5,,720,,0,0,0,0,mi,"})
        << "exercise.csv, line 3: the minutes \"75\" is not a whole number from 0 to 59";
    QTest::newRow("exercise calories") << "exercise.csv"
        << Csv({ex, exGood, "2009-04-02,1,0,5,,lots,,0,0,0,0,mi,"})
        << "exercise.csv, line 3: the calories \"lots\" is not a whole number from 0 to 10000";
    QTest::newRow("exercise distance") << "exercise.csv"
        << Csv({ex, exGood, "2009-04-02,1,0,5,,720,,three,0,0,0,mi,"})
        << "exercise.csv, line 3: the run \"three\" is not a number";
    QTest::newRow("exercise negative") << "exercise.csv"
        << Csv({ex, exGood, "2009-04-02,1,0,5,,720,,0,0,-100,0,mi,"}) << "exercise.csv, line 3: the swim -100 is less than nothing";
    QTest::newRow("exercise unit") << "exercise.csv"
        << Csv({ex, exGood, "2009-04-02,1,0,5,,720,,2,0,0,0,furlong,"})
        << "exercise.csv, line 3: the unit \"furlong\" is neither \"mi\"";
    QTest::newRow("exercise day twice") << "exercise.csv"
        << Csv({ex, exGood, "2009-04-01,,,,,,,,,,,,a note"})
        << "exercise.csv, line 3: a second row for 2009-04-01 (the first is on line 2)";
    QTest::newRow("exercise no columns") << "exercise.csv"
        << Csv({"date,steps", "2009-04-01,9000"}) << "exercise.csv: it has no column of a workout";
    const QString health = "record,date,name,details";
    const QString healthGood = "appointment,\"Apr 2, 2009\",Dr. Kim,Eyes";
    QTest::newRow("health record") << "health.csv"
        << Csv({health, healthGood, "surgery,2009,Knee,"})
        << "health.csv, line 3: \"surgery\" is not a record of health.csv";
    QTest::newRow("health blood type") << "health.csv"
        << Csv({health, healthGood, "blood type,,C+,"})
        << "health.csv, line 3: the blood type \"C+\" is not one Mavelo knows (O+, A+, B+, AB+, O-, A-, B-, AB-)";
    QTest::newRow("health field kept nowhere") << "health.csv"
        << Csv({health, healthGood, "immunisation,2008,Tetanus,booster"})
        << "health.csv, line 3: Mavelo keeps no details with the immunisation (\"booster\")";
    QTest::newRow("health allergies twice") << "health.csv"
        << Csv({health, "allergies,,,Penicillin", "allergies,,,Hay fever"})
        << "health.csv, line 3: a second allergies row (the first is on line 2)";
    QTest::newRow("health no record") << "health.csv"
        << Csv({"kind,date,name,details", healthGood}) << "health.csv: it has no column \"record\"";
    const QString night = "date,hours,bed,wake,note";
    const QString nightGood = "2009-04-01,8,23:00,07:00,";
    QTest::newRow("sleep date") << "sleep.csv"
        << Csv({night, nightGood, "4/2/2009,8,23:00,07:00,"}) << "sleep.csv, line 3: \"4/2/2009\" is not a date";
    QTest::newRow("sleep off the half hours") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-02,8,23:15,07:15,"})
        << "sleep.csv, line 3: the bed time 23:15 is not on one of the log's half hours (:00 or :30)";
    QTest::newRow("sleep time") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-02,8,23:00,7 am,"}) << "sleep.csv, line 3: the wake time \"7 am\" is not a time (HH:mm)";
    QTest::newRow("sleep no such hour") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-02,8,25:00,07:00,"}) << "sleep.csv, line 3: the bed time \"25:00\" is not a time";
    QTest::newRow("sleep hours too many") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-02,9,23:00,07:00,"})
        << "sleep.csv, line 3: the hours 9 do not fit from bed at 23:00 to wake at 07:00 (whole half hours, from 1 to 8)";
    QTest::newRow("sleep hours not half hours") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-02,7.25,23:00,07:00,"}) << "sleep.csv, line 3: the hours 7.25 do not fit";
    QTest::newRow("sleep hours text") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-02,eight,23:00,07:00,"}) << "sleep.csv, line 3: the hours \"eight\" is not a number";
    QTest::newRow("sleep past 8 pm") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-02,,06:00,05:00,"})
        << "sleep.csv, line 3: from bed at 06:00 to wake at 05:00 runs past 8 pm";
    QTest::newRow("sleep no wake") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-02,8,23:00,,"}) << "sleep.csv, line 3: a night has both a bed and a wake time";
    QTest::newRow("sleep hours alone") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-02,8,,,"}) << "sleep.csv, line 3: the hours 8 have no bed and wake time";
    QTest::newRow("sleep day twice") << "sleep.csv"
        << Csv({night, nightGood, "2009-04-01,,,,a note"}) << "sleep.csv, line 3: a second row for 2009-04-01";
    QTest::newRow("baby off the half hours") << "baby.csv"
        << Csv({night, nightGood, "2009-04-02,1,20:10,21:10,"}) << "baby.csv, line 3: the bed time 20:10 is not on one";
    QTest::newRow("baby no wake column") << "baby.csv"
        << Csv({"date,hours,bed,note", "2009-04-02,1,20:00,"}) << "baby.csv: it has no column \"wake\"";
    QTest::newRow("gzip damaged") << "Periodical-backup.json.gz"
        << FileBytes(TestEnv::testData("import/Periodical-backup.json.gz")).left(60) << "cannot be unpacked";
  }

  void badInputChangesNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TestEnv env;
    DataFolders dir(TestEnv::programFolder());
    QVERIFY(FillDataFolder(dir));
    const QString path = env.home() + QStringLiteral("/in/") + name;
    QDir().mkpath(env.home() + QStringLiteral("/in"));
    QVERIFY(WriteFileBytes(path, bytes, nullptr));
    const QMap<QString, QByteArray> before = Snapshot(dir.DataRoot(), true);
    ImportJob job(dir, RecordKinds(dir));
    QString error;
    QVERIFY(!job.Inspect(path, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!job.Commit(true, &error));
    QVERIFY(Snapshot(dir.DataRoot(), true) == before);
  }
};

QTEST_GUILESS_MAIN(ImportTest)
#include "test_import.moc"
