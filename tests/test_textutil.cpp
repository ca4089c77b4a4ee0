#include <QtTest>
#include <cmath>
#include <limits>

#include "core/textutil.h"

class TextUtilTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void appLocale() {
    QCOMPARE(AppLocale().name(), QStringLiteral("en_US"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(AppLocale().name(), QStringLiteral("de_DE"));
    QLocale::setDefault(QLocale::c());
    QCOMPARE(AppLocale().name(), QStringLiteral("en_US"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  void datePatterns_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("expected");
    const QDateTime mar5(QDate(2009, 3, 5), QTime(14, 7, 9));
    const QDateTime jan1(QDate(2009, 1, 1), QTime(0, 30));
    QTest::newRow("mmmm d") << "mmmm d" << jan1 << "January 1";
    QTest::newRow("mmm dd, yyyy") << "mmm dd, yyyy" << mar5 << "Mar 05, 2009";
    QTest::newRow("mmm d, yyyy") << "mmm d, yyyy" << mar5 << "Mar 5, 2009";
    QTest::newRow("mmm d") << "mmm d" << mar5 << "Mar 5";
    QTest::newRow("(ddd)") << "(ddd)" << QDateTime(QDate(2009, 3, 2), QTime(0, 0)) << "(Mon)";
    QTest::newRow(" (ddd)") << " (ddd)" << mar5 << " (Thu)";
    QTest::newRow("dddd") << "dddd" << mar5 << "Thursday";
    QTest::newRow("ddddd") << "ddddd" << mar5 << "3/5/2009";
    QTest::newRow("ddddd 3/14") << "ddddd" << QDateTime(QDate(2009, 3, 14), QTime(0, 0))
                                << "3/14/2009";
    QTest::newRow("dddddd") << "dddddd" << mar5 << "Thursday, March 5, 2009";
    QTest::newRow("d dd m mm") << "d dd m mm" << mar5 << "5 05 3 03";
    QTest::newRow("yy yyyy") << "yy yyyy" << mar5 << "09 2009";
    QTest::newRow("h:mm ampm pm") << "h:mm ampm" << mar5 << "2:07 PM";
    QTest::newRow("h:mm ampm midnight") << "h:mm ampm" << jan1 << "12:30 AM";
    QTest::newRow("hh:mm ampm") << "hh:mm ampm" << QDateTime(QDate(2009, 1, 1), QTime(7, 30))
                                << "07:30 AM";
    QTest::newRow("hh:mm 24h") << "hh:mm" << mar5 << "14:07";
    QTest::newRow("h ampm noon") << "h ampm" << QDateTime(QDate(2009, 1, 1), QTime(12, 0))
                                 << "12 PM";
    QTest::newRow("hh mm minutes") << "hh mm" << mar5 << "14 07";
    QTest::newRow("mm before h is month") << "mm/dd hh:mm" << mar5 << "03/05 14:07";
    QTest::newRow("quoted") << "\"Day\" d 'of' mmmm" << mar5 << "Day 5 of March";
    QTest::newRow("literals") << "d-m-yyyy [x]" << mar5 << "5-3-2009 [x]";
    QTest::newRow("upper letters") << "MMM D, YYYY" << mar5 << "Mar 5, 2009";
    QTest::newRow("dddd mmmm, d, yyyy") << "dddd mmmm, d, yyyy" << mar5
                                        << "Thursday March, 5, 2009";
    QTest::newRow("am/pm") << "h:mm am/pm" << mar5 << "2:07 pm";
    QTest::newRow("empty") << "" << mar5 << "";
  }
  void datePatterns() {
    QFETCH(QString, pattern);
    QFETCH(QDateTime, when);
    QFETCH(QString, expected);
    QCOMPARE(FormatDateTime(pattern, when), expected);
  }

  void formatDate() {
    QCOMPARE(FormatDate("mmm dd, yyyy", QDate(2009, 3, 5)), QStringLiteral("Mar 05, 2009"));
    QCOMPARE(FormatDate("ddddd", QDate(2009, 12, 31)), QStringLiteral("12/31/2009"));
    QCOMPARE(FormatDate("ddddd", QDate()), QString());
    QCOMPARE(FormatDate("dddddd", QDate(2009, 3, 5),
                        QLocale(QLocale::German, QLocale::Germany)),
             QStringLiteral("Donnerstag, 5. März 2009"));
  }

  void shortDate() {
    QCOMPARE(ShortDatePattern(), QStringLiteral("M/d/yyyy"));
    QCOMPARE(ParseShortDate("3/14/2009"), QDate(2009, 3, 14));
    QCOMPARE(ParseShortDate(" 3/14/2009 "), QDate(2009, 3, 14));
    QCOMPARE(ParseShortDate("03/05/2009"), QDate(2009, 3, 5));
    QVERIFY(!ParseShortDate("").isValid());
    QVERIFY(!ParseShortDate("garbage").isValid());
    QVERIFY(!ParseShortDate("13/1/2009").isValid());
    QVERIFY(!ParseShortDate("2/30/2009").isValid());
    QVERIFY(!ParseShortDate("2/29/2009").isValid());
    QCOMPARE(ParseShortDate("2/29/2012"), QDate(2012, 2, 29));
    QVERIFY(!ParseShortDate("3/14/2009x").isValid());
    QVERIFY(!ParseShortDate("3/14").isValid());
    // Round trip in several locales.
    const QList<QLocale> locales = {QLocale(QLocale::English, QLocale::UnitedStates),
                                    QLocale(QLocale::German, QLocale::Germany),
                                    QLocale(QLocale::French, QLocale::France),
                                    QLocale(QLocale::English, QLocale::UnitedKingdom),
                                    QLocale(QLocale::Japanese, QLocale::Japan)};
    for (const QLocale& loc : locales) {
      QVERIFY2(ShortDatePattern(loc).contains("yyyy"), qPrintable(loc.name()));
      for (QDate d : {QDate(2009, 3, 5), QDate(2004, 1, 1), QDate(2020, 12, 31),
                      QDate(1999, 11, 30), QDate(2031, 7, 19)}) {
        const QString text = FormatDate("ddddd", d, loc);
        QCOMPARE(ParseShortDate(text, loc), d);
      }
    }
  }

  void numberPatterns_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << "0" << 2.5 << "3";
    QTest::newRow("0 neg") << "0" << -2.5 << "-3";
    QTest::newRow("0.0") << "0.0" << 150.0 << "150.0";
    QTest::newRow("0.0 round") << "0.0" << 145.55 << "145.6";
    QTest::newRow("0.00") << "0.00" << 1.005 << "1.01";
    QTest::newRow("0.00 small") << "0.00" << 0.004 << "0.00";
    QTest::newRow("0.00 neg zero") << "0.00" << -0.001 << "0.00";
    QTest::newRow("0.00 carry") << "0.00" << 9.999 << "10.00";
    QTest::newRow("grouped") << "#,##0.###" << 1234567.891 << "1,234,567.891";
    QTest::newRow("grouped trim") << "#,##0.###" << 1234.5 << "1,234.5";
    QTest::newRow("grouped whole") << "#,##0.###" << 999.0 << "999";
    QTest::newRow("grouped round") << "#,##0.###" << 0.12345 << "0.123";
    QTest::newRow("grouped zero") << "#,##0.###" << 0.0 << "0";
    QTest::newRow("grouped neg") << "#,##0.###" << -1234.0 << "-1,234";
    QTest::newRow("percent") << "#,##0.### %" << 12.5 << "12.5 %";
    QTest::newRow("##0") << "##0" << 1234.4 << "1234";
    QTest::newRow("tiny") << "0.0" << 1e-300 << "0.0";
    QTest::newRow("huge") << "0" << 1e20 << "100000000000000000000";
    QTest::newRow("nan") << "0.0" << std::numeric_limits<double>::quiet_NaN() << "NAN";
    QTest::newRow("inf") << "0.0" << std::numeric_limits<double>::infinity() << "INF";
  }
  void numberPatterns() {
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(pattern, value), expected);
  }

  void numberPatternsGerman() {
    const QLocale de(QLocale::German, QLocale::Germany);
    QCOMPARE(FormatNumber("0.0", 145.5, de), QStringLiteral("145,5"));
    QCOMPARE(FormatNumber("#,##0.###", 1234.5, de), QStringLiteral("1.234,5"));
    QCOMPARE(ShortestNumberText(145.5, de), QStringLiteral("145,5"));
    double v = 0;
    QVERIFY(ParseNumber("145,5", &v, de));
    QCOMPARE(v, 145.5);
    QVERIFY(!ParseNumber("145.5", &v, de));
  }

  void shortestNumber() {
    QCOMPARE(ShortestNumberText(150), QStringLiteral("150"));
    QCOMPARE(ShortestNumberText(145.5), QStringLiteral("145.5"));
    QCOMPARE(ShortestNumberText(0), QStringLiteral("0"));
    QCOMPARE(ShortestNumberText(-2.25), QStringLiteral("-2.25"));
    QCOMPARE(ShortestNumberText(0.1 + 0.2), QStringLiteral("0.3"));
    QCOMPARE(ShortestNumberText(1234567.0), QStringLiteral("1234567"));
    for (double v : {1e20, 1.5e-7, -3.75e100, 98.6, 36.7, std::numeric_limits<double>::max(),
                     std::numeric_limits<double>::lowest(),
                     std::numeric_limits<double>::denorm_min(), 2.2250738585072014e-308}) {
      double back = 0;
      QVERIFY2(ParseNumber(ShortestNumberText(v), &back), qPrintable(ShortestNumberText(v)));
      QVERIFY2(back == v || std::fabs(back - v) <= std::fabs(v) * 1e-14, qPrintable(ShortestNumberText(v)));
    }
  }

  void parseNumber() {
    double v = -1;
    QVERIFY(ParseNumber("150", &v));
    QCOMPARE(v, 150.0);
    QVERIFY(ParseNumber("  145.5 ", &v));
    QCOMPARE(v, 145.5);
    QVERIFY(ParseNumber("-0.5", &v));
    QCOMPARE(v, -0.5);
    QVERIFY(ParseNumber(".5", &v));
    QCOMPARE(v, 0.5);
    QVERIFY(ParseNumber("+7", &v));
    QCOMPARE(v, 7.0);
    QVERIFY(ParseNumber("1E3", &v));
    QCOMPARE(v, 1000.0);
    v = 42;
    for (const char* bad : {"", "   ", "abc", "1,234", "1.2.3", "inf", "-inf", "nan", "NaN",
                            "1e", "12abc", "--1", ".", "-", "1 2", "1e999"}) {
      QVERIFY2(!ParseNumber(QString::fromLatin1(bad), &v), bad);
      QCOMPARE(v, 42.0);
    }
  }

  // Numbers and dates kept in files read and write the same under every locale.
  void storedNumbers_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::addColumn<double>("value");
    for (const char* name : {"en_US", "de_DE", "fr_FR", "ja_JP"}) {
      const QString n = QString::fromLatin1(name);
      QTest::newRow(qPrintable(n + ": point")) << n << "165.4" << true << 165.4;
      QTest::newRow(qPrintable(n + ": whole")) << n << " 150 " << true << 150.0;
      QTest::newRow(qPrintable(n + ": text")) << n << "abc" << false << 0.0;
      QTest::newRow(qPrintable(n + ": grouped")) << n << "1,234.5" << false << 0.0;
    }
    // The locale's own separator, as earlier versions wrote it there; never elsewhere.
    QTest::newRow("de_DE: comma") << "de_DE" << "165,4" << true << 165.4;
    QTest::newRow("fr_FR: comma") << "fr_FR" << "165,4" << true << 165.4;
    QTest::newRow("en_US: comma") << "en_US" << "165,4" << false << 0.0;
  }

  void storedNumbers() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, number);
    QFETCH(double, value);
    QLocale::setDefault(QLocale(locale));
    double v = -1;
    QCOMPARE(ParseStoredNumber(text, &v), number);
    if (number) QCOMPARE(v, value);
    const StoredNumber n = ReadStoredNumber(text);
    QCOMPARE(n.IsNumber(), number);
    QCOMPARE(n.IsUnreadable(), !number);
    QCOMPARE(n.text, text.trimmed());
    // Written with "." whatever the locale.
    QCOMPARE(StoredNumberText(165.4), QStringLiteral("165.4"));
    QCOMPARE(StoredFixedText(7.5, 1), QStringLiteral("7.5"));
    QCOMPARE(StoredFixedText(98.3, 2), QStringLiteral("98.30"));
    QCOMPARE(FormatDate("mmmm d", QDate(2026, 12, 10), FileLocale()), QStringLiteral("December 10"));
    QCOMPARE(ReadStoredNumber(" ").state, StoredNumber::State::Empty);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  void storedDates_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    const QDate nov28(2026, 11, 28), dec5(2026, 12, 5);
    for (const char* name : {"en_US", "de_DE", "fr_FR"}) {
      const QString n = QString::fromLatin1(name);
      QTest::newRow(qPrintable(n + ": ISO")) << n << "2026-11-28" << nov28;
      // The en_US short date of files made before reads first, in every locale.
      QTest::newRow(qPrintable(n + ": en_US")) << n << "11/28/2026" << nov28;
      QTest::newRow(qPrintable(n + ": en_US, day under 13")) << n << "12/5/2026" << dec5;
      QTest::newRow(qPrintable(n + ": not a date")) << n << "soon" << QDate();
      QTest::newRow(qPrintable(n + ": ISO with more")) << n << "2026-11-28x" << QDate();
    }
    QTest::newRow("de_DE: its own") << "de_DE" << "28.11.2026" << nov28;
    QTest::newRow("fr_FR: its own, day over 12") << "fr_FR" << "28/11/2026" << nov28;
    QTest::newRow("en_US: German") << "en_US" << "28.11.2026" << QDate();
  }

  void storedDates() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(ParseStoredDate(text), date);
    QCOMPARE(StoredDateText(QDate(2026, 12, 5)), QStringLiteral("2026-12-05"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  void dayKey() {
    QCOMPARE(DayKey(QDate(2009, 3, 5)), QStringLiteral("Y2009M3D5"));
    QCOMPARE(DayKey(QDate(2010, 12, 31)), QStringLiteral("Y2010M12D31"));
  }

  void dateNumber() {
    QCOMPARE(DateNumber(QDate(2009, 3, 5)), 39877);
    QCOMPARE(DateNumber(QDate(1899, 12, 30)), 0);
    QCOMPARE(DateNumber(QDate(1900, 1, 1)), 2);
    QCOMPARE(DateFromNumber(39877), QDate(2009, 3, 5));
    QCOMPARE(DateFromNumber(-1), QDate(1899, 12, 29));
    const QDateTime noon(QDate(2009, 3, 5), QTime(12, 0));
    QCOMPARE(DateTimeNumber(noon), 39877.5);
    QCOMPARE(DateTimeFromNumber(39877.5), noon);
    QCOMPARE(DateTimeFromNumber(39877.75), QDateTime(QDate(2009, 3, 5), QTime(18, 0)));
    const QDateTime t(QDate(2012, 7, 1), QTime(7, 30, 15));
    QCOMPARE(DateTimeFromNumber(DateTimeNumber(t)), t);
    QVERIFY(!DateTimeFromNumber(std::numeric_limits<double>::quiet_NaN()).isValid());
    QVERIFY(!DateTimeFromNumber(std::numeric_limits<double>::infinity()).isValid());
  }
};

QTEST_GUILESS_MAIN(TextUtilTest)
#include "test_textutil.moc"
