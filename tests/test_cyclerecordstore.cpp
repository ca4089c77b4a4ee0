// The shared store of her cycle records: read once and rebuilt only on a change, the day
// action and its undo, pauses, the "Last Period" picker's one start per edit, and failed
// writes that leave the history as it was.

#include <QtTest>

#include "core/clock.h"
#include "core/textfile.h"
#include "cycle/cyclerecordstore.h"
#include "support/testenv.h"

namespace {
QDate D(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }
QDate Iso(const QString& iso) { return QDate::fromString(iso, Qt::ISODate); }

QString FileText(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("<none>");
  return QString::fromUtf8(f.readAll());
}

// Two cycles of "P" days (1 and 29 March 2009), counted as the basal files would give
// them.
DaySignsList PeriodDays() {
  DaySignsList days;
  for (const QDate& start : {D("2009-03-01"), D("2009-03-29")})
    for (int i = 0; i < 4; ++i) {
      DaySigns d;
      d.date = start.addDays(i);
      d.period = true;
      days.append(d);
    }
  return days;
}
}  // namespace

class CycleRecordStoreTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TestEnv> env;
  QString path;
  int reads = 0;
  std::unique_ptr<CycleRecordStore> store;

  void makeStore(const QString& historyPath) {
    reads = 0;
    store = std::make_unique<CycleRecordStore>(
        historyPath, [this](TemperatureUnit, DaySignsList* days, QStringList*) {
          ++reads;
          *days = PeriodDays();
          return true;
        });
  }

 private slots:
  void init() {
    env = std::make_unique<TestEnv>();
    path = env->home() + "/Periods.txt";
    Clock::SetSource([] { return QDateTime(D("2009-04-10"), QTime(9, 0)); });
    makeStore(path);
  }
  void cleanup() {
    store.reset();
    Clock::SetSource({});
    env.reset();
  }

  void readsOnceAndRebuildsOnlyOnAChange() {
    QSignalSpy changed(store.get(), &CycleRecordStore::changed);
    QCOMPARE(store->Reading(TemperatureUnit::Celsius).Rows().size(), 2);
    store->Reading(TemperatureUnit::Celsius);
    QCOMPARE(reads, 1);
    QCOMPARE(changed.count(), 0);

    // A period action rebuilds from what is held: no file is read again.
    QString error;
    QVERIFY2(store->AddDayStart(D("2009-04-20"), &error), qPrintable(error));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(store->Reading(TemperatureUnit::Celsius).Rows().size(), 3);
    QCOMPARE(reads, 1);

    // A basal save hands its days over.
    store->UpdateDays([](DaySignsList* days) {
      DaySigns d;
      d.date = D("2009-02-01");
      d.period = true;
      days->append(d);
      SortDaySigns(*days);
    });
    QCOMPARE(changed.count(), 2);
    QCOMPARE(store->Reading(TemperatureUnit::Celsius).Rows().front().cycle.start, D("2009-02-01"));
    QCOMPARE(reads, 1);

    // Another unit reads the files in it; a reload reads everything again.
    store->Reading(TemperatureUnit::Fahrenheit);
    QCOMPARE(reads, 2);
    store->Reload();
    store->Reading(TemperatureUnit::Fahrenheit);
    QCOMPARE(reads, 3);

    // A new day rebuilds the current cycle without reading.
    Clock::SetSource([] { return QDateTime(D("2009-04-20"), QTime(9, 0)); });
    QCOMPARE(store->Reading(TemperatureUnit::Fahrenheit).Today(), D("2009-04-20"));
    QCOMPARE(reads, 3);
  }

  void dayStartAndItsUndoWriteAndRemoveOneLine() {
    QVERIFY(WriteTextLines(path, {"# mine", "2009-03-01 picker"}, nullptr));
    makeStore(path);
    const QString before = FileText(path);
    QString error;
    QVERIFY(!store->CanUndo());
    QVERIFY2(store->AddDayStart(D("2009-03-29"), &error), qPrintable(error));
    QCOMPARE(FileText(path), before + "2009-03-29 day\r\n");
    QVERIFY(store->CanUndo());
    QCOMPARE(store->UndoText(), QString("Undo: period start on 29 March"));
    QVERIFY(store->Undo(&error));
    QCOMPARE(FileText(path), before);
    QVERIFY(!store->CanUndo());

    // A removal is undone with the start's own source.
    QVERIFY(store->RemoveStart(D("2009-03-01"), &error));
    QCOMPARE(FileText(path), QString("# mine\r\n"));
    QVERIFY(store->Undo(&error));
    QCOMPARE(FileText(path), before);

    // Nothing to add twice, nothing to remove where there is no start.
    QVERIFY(!store->AddDayStart(D("2009-03-01"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!store->RemoveStart(D("2009-03-02"), &error));
    QCOMPARE(FileText(path), before);
  }

  void pausesAreWrittenAndRemoved() {
    QString error;
    QVERIFY(store->AddPause({D("2009-05-01"), QDate(), PauseKind::Pregnancy}, &error));
    QCOMPARE(FileText(path), QString("2009-05-01 pause pregnancy\r\n"));
    QVERIFY(!store->AddPause({D("2009-06-01"), D("2009-05-01"), PauseKind::Gap}, &error));
    QVERIFY(error.contains("before its first day"));
    QVERIFY(store->RemovePause(D("2009-05-01"), &error));
    QCOMPARE(FileText(path), QString(""));
  }

  void pickerRecordsOneStartPerEdit_data() {
    QTest::addColumn<QStringList>("before");  // the history file's lines
    QTest::addColumn<QStringList>("moves");   // "from>to", "|" ends the edit
    QTest::addColumn<QStringList>("after");   // the lines then ("<none>": no file)
    const QStringList none{"<none>"};
    QTest::newRow("forward") << QStringList() << QStringList{"2009-03-01>2009-03-29"}
                             << QStringList{"2009-03-29 picker"};
    QTest::newRow("backward") << QStringList() << QStringList{"2009-03-29>2009-03-01"} << none;
    QTest::newRow("arrow steps, one start at the end")
        << QStringList()
        << QStringList{"2009-03-26>2009-03-27", "2009-03-27>2009-03-28", "2009-03-28>2009-03-29"}
        << QStringList{"2009-03-29 picker"};
    QTest::newRow("forward and back to where it began")
        << QStringList() << QStringList{"2009-03-01>2009-03-29", "2009-03-29>2009-03-01"}
        << QStringList();
    QTest::newRow("two edits, two starts")
        << QStringList() << QStringList{"2009-03-01>2009-03-29", "|", "2009-03-29>2009-04-26"}
        << QStringList{"2009-03-29 picker", "2009-04-26 picker"};
    QTest::newRow("back in a second edit keeps the first")
        << QStringList() << QStringList{"2009-03-01>2009-03-29", "|", "2009-03-29>2009-03-20"}
        << QStringList{"2009-03-29 picker"};
    QTest::newRow("the picker's own start set early moves")
        << QStringList{"2009-03-29 picker"} << QStringList{"2009-03-29>2009-03-31"}
        << QStringList{"2009-03-31 picker"};
    QTest::newRow("a start she recorded on a day is left alone")
        << QStringList{"2009-03-29 day"} << QStringList{"2009-03-01>2009-03-31"}
        << QStringList{"2009-03-29 day"};
    QTest::newRow("a far start of the picker stays")
        << QStringList{"2009-03-01 picker"} << QStringList{"2009-03-01>2009-03-29"}
        << QStringList{"2009-03-01 picker", "2009-03-29 picker"};
  }
  void pickerRecordsOneStartPerEdit() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, moves);
    QFETCH(QStringList, after);
    if (!before.isEmpty()) QVERIFY(WriteTextLines(path, before, nullptr));
    makeStore(path);
    for (const QString& m : moves) {
      if (m == "|") {
        store->PickerEditFinished();
        continue;
      }
      const QStringList ft = m.split('>');
      QString error;
      QVERIFY2(store->PickerMoved(Iso(ft[0]), Iso(ft[1]), &error),
               qPrintable(error));
    }
    const QString expected =
        after == QStringList{"<none>"} ? "<none>"
                                        : (after.isEmpty() ? QString() : after.join("\r\n") + "\r\n");
    QCOMPARE(FileText(path), expected);
  }

  void aFailedWriteChangesNothing() {
    // The history's folder is a file: nothing can be written there.
    QVERIFY(WriteTextLines(env->home() + "/blocked", {"x"}, nullptr));
    makeStore(env->home() + "/blocked/Periods.txt");
    QSignalSpy changed(store.get(), &CycleRecordStore::changed);
    QString error;
    QVERIFY(!store->AddDayStart(D("2009-04-05"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!store->History().HasStart(D("2009-04-05")));
    QVERIFY(!store->CanUndo());
    error.clear();
    QVERIFY(!store->PickerMoved(D("2009-03-01"), D("2009-03-29"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(store->History().Starts().isEmpty());
    QCOMPARE(changed.count(), 0);
  }

  void anUnreadableHistoryIsNeverReplaced() {
    // A folder where the file should be cannot be read, and is not written over.
    QDir().mkpath(path);
    makeStore(path);
    QCOMPARE(store->Reading(TemperatureUnit::Celsius).Rows().size(), 2);
    QCOMPARE(store->TakeErrors().size(), 1);
    QVERIFY(store->TakeErrors().isEmpty());
    QString error;
    QVERIFY(!store->AddDayStart(D("2009-04-05"), &error));
    QVERIFY(QFileInfo(path).isDir());
  }
};

QTEST_GUILESS_MAIN(CycleRecordStoreTest)
#include "test_cyclerecordstore.moc"
