// The CSV writer and reader that the export and the imports share (RFC 4180).

#include <QtTest>

#include "core/csvfile.h"
#include "core/textutil.h"

class CsvFileTest : public QObject {
  Q_OBJECT
 private slots:
  void quotesWhatNeedsIt_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain") << QStringList{"a", "b c", ""} << QByteArray("a,b c,\r\n");
    QTest::newRow("comma") << QStringList{"1,5"} << QByteArray("\"1,5\"\r\n");
    QTest::newRow("quote") << QStringList{"say \"hi\""} << QByteArray("\"say \"\"hi\"\"\"\r\n");
    QTest::newRow("line feed") << QStringList{"a\nb", "c"} << QByteArray("\"a\nb\",c\r\n");
    QTest::newRow("carriage return") << QStringList{"a\rb"} << QByteArray("\"a\rb\"\r\n");
    QTest::newRow("utf-8") << QStringList{"Crème brûlée"} << QStringLiteral("Crème brûlée\r\n").toUtf8();
    QTest::newRow("one empty field") << QStringList{""} << QByteArray("\r\n");
  }
  void quotesWhatNeedsIt() {
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, line);
    QCOMPARE(CsvLine(fields), line);
  }

  void readsBackWhatItWrites() {
    const QVector<QStringList> rows{{"a\r\nb", "\"", ","}, {"", "x y", "Crème"}, {"\n", "", "1.5"}};
    CsvWriter w({"one", "two", "three"});
    for (const QStringList& r : rows) w.AddRow(r);
    CsvTable t;
    QString error;
    QVERIFY2(ReadCsv(w.Bytes(), &t, &error), qPrintable(error));
    QCOMPARE(t.header, (QStringList{"one", "two", "three"}));
    QCOMPARE(t.rows, rows);
    // The first record starts on line 2, the second on line 3 (the first holds a break).
    QCOMPARE(t.lines, (QVector<int>{2, 4, 5}));
    QCOMPARE(t.Column("three"), 2);
  }

  void readsOtherProgramsFiles() {
    // LF line ends, a byte-order mark, no final break, a blank line, Windows-1252 text.
    CsvTable t;
    QString error;
    QVERIFY(ReadCsv(QByteArray("\xEF\xBB\xBF" "date,value\n2009-03-14,1\n\n2009-03-15,\"x\ny\""), &t, &error));
    QCOMPARE(t.header, (QStringList{"date", "value"}));
    QCOMPARE(t.rows, (QVector<QStringList>{{"2009-03-14", "1"}, {"2009-03-15", "x\ny"}}));
    QVERIFY(ReadCsv(QByteArray("name\r\nCr\xE8me\r\n"), &t, &error));
    QCOMPARE(t.rows.first().first(), QStringLiteral("Crème"));
    QVERIFY(ReadCsv(QByteArray(), &t, &error));
    QVERIFY(t.header.isEmpty());
  }

  void namesTheLineOfWhatItCannotRead_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    QTest::newRow("too few fields") << QByteArray("a,b\r\n1,2\r\n3\r\n") << "line 3: 1 fields where the header has 2";
    QTest::newRow("too many fields") << QByteArray("a,b\r\n1,2,3\r\n") << "line 2: 3 fields where the header has 2";
    QTest::newRow("open quote") << QByteArray("a\r\n1\r\n\"never closed\r\n") << "line 3: a quoted field is never closed";
    QTest::newRow("text after quote") << QByteArray("a,b\r\n\"x\"y,2\r\n") << "line 2: text after a closing quote";
    QTest::newRow("stray quote") << QByteArray("a\nab\"c\n") << "line 2: a quote inside an unquoted field";
  }
  void namesTheLineOfWhatItCannotRead() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    CsvTable t;
    QString got;
    QVERIFY(!ReadCsv(bytes, &t, &got));
    QCOMPARE(got, error);
    QVERIFY(t.rows.isEmpty());
  }

  void numbersAndDatesIgnoreTheLocale() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(CsvNumber(98.3), QStringLiteral("98.3"));
    QCOMPARE(CsvNumber(1234567.25), QStringLiteral("1234567.25"));
    QCOMPARE(CsvNumber(-0.0), QStringLiteral("0"));
    QCOMPARE(CsvNumber(36.85), QStringLiteral("36.85"));
    QCOMPARE(CsvDate(QDate(2009, 3, 14)), QStringLiteral("2009-03-14"));
    QCOMPARE(CsvDate(QDate()), QString());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  void dayKeysReadBack_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("length");
    QTest::newRow("note") << "Y2009M3D14.txt" << QDate(2009, 3, 14) << 10;
    QTest::newRow("meal") << "Y2009M12D1-Breakfast.txt" << QDate(2009, 12, 1) << 10;
    QTest::newRow("no such day") << "Y2009M2D30.txt" << QDate() << 0;
    QTest::newRow("leading zero") << "Y2009M03D1.txt" << QDate() << 0;
    QTest::newRow("too many digits") << "Y2009M3D145.txt" << QDate() << 0;
    QTest::newRow("not a key") << "Today.txt" << QDate() << 0;
  }
  void dayKeysReadBack() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QFETCH(int, length);
    qsizetype got = 0;
    QCOMPARE(DayKeyDate(text, &got), date);
    QCOMPARE(int(got), length);
    if (date.isValid()) QCOMPARE(DayKey(date), text.left(length));
  }
};

QTEST_GUILESS_MAIN(CsvFileTest)
#include "test_csvfile.moc"
