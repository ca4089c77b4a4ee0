#include <QtTest>

#include "basal/basalchart.h"
#include "basal/basalrecords.h"
#include "basal/basaltemperature.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "cycle/bodytemperature.h"
#include "support/testenv.h"

namespace {

constexpr TemperatureUnit F = TemperatureUnit::Fahrenheit;
constexpr TemperatureUnit C = TemperatureUnit::Celsius;

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QList<QByteArray> Lines(const QString& path) { return Bytes(path).split('\n'); }

// A Basal folder in the test's home, with the fixture written before precise temperatures.
struct Folder {
  Folder() {
    QDir().mkpath(path());
    QFile::copy(TestEnv::testData("basal/2008-before.txt"), BasalYearPath(path(), 2008));
  }
  QString path() const { return env.home() + "/Basal/"; }
  QString year(int y) const { return BasalYearPath(path(), y); }
  TestEnv env;
};

}  // namespace

Q_DECLARE_METATYPE(TemperatureUnit)

class BasalTemperatureTest : public QObject {
  Q_OBJECT

 private slots:
  void typedTemperatures_data();
  void typedTemperatures();
  void decimalComma();
  void conversions_data();
  void conversions();
  void nearestLevel_data();
  void nearestLevel();
  void roundTripThroughTheYearFile_data();
  void roundTripThroughTheYearFile();
  void disturbedMark();
  void fileWrittenBeforeLoadsUnchanged();
  void oldRowsReadInEitherUnit();
  void signsOfTheOldFile();
  void unreadableYearIsReported();
};

void BasalTemperatureTest::typedTemperatures_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<TemperatureUnit>("unit");
  QTest::addColumn<int>("hundredths");  // -1: refused
  QTest::addColumn<QString>("error");   // the start of the message
  QTest::newRow("two decimals") << "36.55" << C << 3655 << "";
  QTest::newRow("one decimal") << " 36.5 " << C << 3650 << "";
  QTest::newRow("whole") << "37" << C << 3700 << "";
  QTest::newRow("with its unit") << "36.55 °C" << C << 3655 << "";
  QTest::newRow("Fahrenheit") << "97.85F" << F << 9785 << "";
  QTest::newRow("lowest") << "35.00" << C << 3500 << "";
  QTest::newRow("highest") << "42.00" << C << 4200 << "";
  QTest::newRow("highest F") << "107.60" << F << 10760 << "";
  QTest::newRow("lowest F") << "95" << F << 9500 << "";
  QTest::newRow("empty") << "" << C << -1
                         << "Type the waking temperature from 35.00 to 42.00 °C, with at most two "
                            "decimals (for example 36.55).";
  QTest::newRow("three decimals") << "36.555" << C << -1 << "\"36.555\" has more than two decimals.";
  QTest::newRow("words") << "warm" << C << -1 << "\"warm\" is not a temperature.";
  QTest::newRow("negative") << "-36.5" << C << -1 << "\"-36.5\" is not a temperature.";
  QTest::newRow("other unit's letter") << "36.5 F" << C << -1 << "\"36.5 F\" is not a temperature.";
  QTest::newRow("too low") << "34.99" << C << -1
                           << "34.99 °C is outside the range of a waking temperature. Type the "
                              "waking temperature from 35.00 to 42.00 °C";
  QTest::newRow("too high F") << "107.61" << F << -1
                              << "107.61 °F is outside the range of a waking temperature. Type "
                                 "the waking temperature from 95.00 to 107.60 °F";
}

void BasalTemperatureTest::typedTemperatures() {
  QFETCH(QString, text);
  QFETCH(TemperatureUnit, unit);
  QFETCH(int, hundredths);
  QFETCH(QString, error);
  TestEnv env;
  const TemperatureInput in = ParseTemperatureInput(text, unit);
  if (hundredths < 0) {
    QVERIFY(!in.value);
    QVERIFY2(in.error.startsWith(error), qPrintable(in.error));
  } else {
    QVERIFY2(in.value, qPrintable(in.error));
    QCOMPARE(in.value->Hundredths(), hundredths);
    QCOMPARE(in.value->Unit(), unit);
    QVERIFY(in.error.isEmpty());
  }
}

void BasalTemperatureTest::decimalComma() {
  TestEnv env;
  const QLocale german(QLocale::German, QLocale::Germany);
  TemperatureInput in = ParseTemperatureInput("36,55", C, german);
  QVERIFY(in.value);
  QCOMPARE(in.value->Hundredths(), 3655);
  QCOMPARE(in.value->Text(german), QString("36,55"));
  // A point is a decimal point for a temperature whatever the locale.
  QCOMPARE(ParseTemperatureInput("36.55", C, german).value->Hundredths(), 3655);
  // A Celsius value typed with the unit set to Fahrenheit is named as such.
  in = ParseTemperatureInput("36.55", F);
  QVERIFY(!in.value);
  QVERIFY2(in.error.endsWith("Your temperatures are kept in °F; 36.55 looks like °C (the unit is "
                             "chosen in the settings)."),
           qPrintable(in.error));
  // Stored texts: a point or a comma, up to two decimals, within the range.
  QCOMPARE(ParseStoredTemperature("36,85", C)->Hundredths(), 3685);
  QCOMPARE(ParseStoredTemperature("98.3", F)->Hundredths(), 9830);
  QVERIFY(!ParseStoredTemperature(" ", C));
  QVERIFY(!ParseStoredTemperature("36.855", C));
  QVERIFY(!ParseStoredTemperature("12.00", C));
}

void BasalTemperatureTest::conversions_data() {
  QTest::addColumn<int>("hundredths");
  QTest::addColumn<TemperatureUnit>("unit");
  QTest::addColumn<int>("other");  // in the other unit
  QTest::addColumn<int>("steps");  // of 0.05 °C
  QTest::newRow("97.40 °F") << 9740 << F << 3633 << 727;
  QTest::newRow("36.33 °C") << 3633 << C << 9739 << 727;
  QTest::newRow("98.60 °F") << 9860 << F << 3700 << 740;
  QTest::newRow("36.85 °C") << 3685 << C << 9833 << 737;
  QTest::newRow("97.70 °F") << 9770 << F << 3650 << 730;
  QTest::newRow("35.00 °C") << 3500 << C << 9500 << 700;
  QTest::newRow("107.60 °F") << 10760 << F << 4200 << 840;
  // 36.32 and 36.33 lie either side of the half step 36.325.
  QTest::newRow("36.32 °C") << 3632 << C << 9738 << 726;
  QTest::newRow("97.38 °F") << 9738 << F << 3632 << 726;
}

void BasalTemperatureTest::conversions() {
  QFETCH(int, hundredths);
  QFETCH(TemperatureUnit, unit);
  QFETCH(int, other);
  QFETCH(int, steps);
  const BodyTemperature t(hundredths, unit);
  const TemperatureUnit otherUnit = unit == F ? C : F;
  QCOMPARE(t.HundredthsIn(otherUnit), other);
  QCOMPARE(t.HundredthsIn(unit), hundredths);
  QCOMPARE(t.CelsiusSteps(), steps);
  // The step from the exact value, not from the rounded other unit.
  QCOMPARE(qRound(t.Celsius() * 20), steps);
}

void BasalTemperatureTest::nearestLevel_data() {
  QTest::addColumn<int>("hundredths");
  QTest::addColumn<TemperatureUnit>("unit");
  QTest::addColumn<int>("level");
  QTest::newRow("on a level F") << 9830 << F << 5;
  QTest::newRow("on a level C") << 3685 << C << 5;
  QTest::newRow("between C") << 3633 << C << 15;  // nearer 36.35 than 36.30
  QTest::newRow("half way F") << 9745 << F << 14;  // halves go to the cooler row
  QTest::newRow("warmer than the scale") << 3730 << C << 1;
  QTest::newRow("cooler than the scale") << 3610 << C << 16;
  QTest::newRow("far above F") << 10100 << F << 1;
}

void BasalTemperatureTest::nearestLevel() {
  QFETCH(int, hundredths);
  QFETCH(TemperatureUnit, unit);
  QFETCH(int, level);
  QCOMPARE(NearestLevel(BodyTemperature(hundredths, unit)), level);
}

void BasalTemperatureTest::roundTripThroughTheYearFile_data() {
  QTest::addColumn<TemperatureUnit>("unit");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QByteArray>("line");
  QTest::newRow("Celsius") << C << "36.33" << QByteArray("\"June 3\",97.39,36.33,15,,,\r");
  QTest::newRow("Fahrenheit") << F << "97.40" << QByteArray("\"June 3\",97.40,36.33,14,,,\r");
  QTest::newRow("warm morning") << C << "37.30" << QByteArray("\"June 3\",99.14,37.30,1,,,\r");
  QTest::newRow("cool morning") << F << "96.98" << QByteArray("\"June 3\",96.98,36.10,16,,,\r");
}

void BasalTemperatureTest::roundTripThroughTheYearFile() {
  QFETCH(TemperatureUnit, unit);
  QFETCH(QString, typed);
  QFETCH(QByteArray, line);
  Folder folder;
  const BodyTemperature t = *ParseTemperatureInput(typed, unit).value;
  const int column = 4;  // 3 June in the window of June
  {
    BasalChart chart(folder.path());
    QStringList errors;
    chart.Open(QDate(2009, 6, 15), &errors);
    QVERIFY(errors.isEmpty());
    QCOMPARE(chart.ColumnDate(column), QDate(2009, 6, 3));
    const int top = chart.SetTemperature(column, t);
    QCOMPARE(chart.BarTop(column), top);
    QVERIFY(chart.Save(&errors));
  }
  const QList<QByteArray> lines = Lines(folder.year(2009));
  QCOMPARE(lines[0], QByteArray("Date,Farenheit,Celsius,BarHeight,\"Cycle Day\",,\r"));
  QCOMPARE(lines[QDate(2009, 6, 3).dayOfYear()], line);

  // Read back in her unit, it is what she typed; in the other, its exact conversion.
  BasalChart again(folder.path());
  again.Open(QDate(2009, 6, 15), nullptr);
  const BasalReading r = again.Reading(column, unit);
  QVERIFY(r.HasReading());
  QCOMPARE(r.temperature->Hundredths(), t.Hundredths());
  QCOMPARE(r.temperature->Text(), typed);
  // 97.40 °F is the value of level 14 itself; the others lie off the scale's rows.
  QCOMPARE(r.precise, t.Hundredths() != LevelHundredths(r.level, unit));
  const TemperatureUnit other = unit == F ? C : F;
  QCOMPARE(again.Reading(column, other).temperature->Hundredths(), t.HundredthsIn(other));
  QCOMPARE(again.BarTop(column), NearestLevel(t));
  // The day records for the evaluation read the same.
  DaySignsList days;
  QVERIFY(ReadBasalFolder(folder.path(), unit, &days, nullptr));
  QCOMPARE(DayOn(days, QDate(2009, 6, 3))->temperature->Hundredths(), t.Hundredths());

  // A click on the grid makes it a level reading again.
  again.SetLevel(column, 5, unit);
  QVERIFY(!again.Reading(column, unit).precise);
  again.ClearDay(column);
  QVERIFY(!again.Reading(column, unit).HasReading());
}

void BasalTemperatureTest::disturbedMark() {
  Folder folder;
  const QByteArray before = Bytes(folder.year(2008));
  {
    BasalChart chart(folder.path());
    chart.Open(QDate(2008, 1, 20), nullptr);
    const int column = chart.DateColumn(QDate(2008, 1, 18));
    QVERIFY(column > 0);
    chart.SetDisturbance(column, Disturbance::Illness);
    QCOMPARE(chart.Reading(column, F).disturbance, Disturbance::Illness);
    QVERIFY(chart.Save(nullptr));
  }
  // The column is added with its title; every other row only gains an empty field.
  const QList<QByteArray> was = before.split('\n');
  const QList<QByteArray> now = Lines(folder.year(2008));
  QCOMPARE(now.size(), was.size());
  QCOMPARE(now[0], QByteArray("Date,Farenheit,Celsius,BarHeight,\"Cycle Day\",\" \",\" \",Disturbed\r"));
  QCOMPARE(now[18], QByteArray("\"January 18\",97.40,36.40,14,W,\" \",S,illness\r"));
  for (int r = 1; r < was.size() - 1; ++r)
    if (r != 18) QCOMPARE(now[r], was[r].chopped(1) + ",\r");

  DaySignsList days;
  QVERIFY(ReadBasalFolder(folder.path(), F, &days, nullptr));
  QVERIFY(DayOn(days, QDate(2008, 1, 18))->disturbed);
  QVERIFY(!DayOn(days, QDate(2008, 1, 19))->disturbed);

  // A reader that knows seven columns keeps the eighth when it writes the file.
  {
    CellGrid g;
    QVERIFY(OpenYearGrid(g, 2008, kBasalYearColumns, BasalYearHeaders(), folder.year(2008)));
    g.SetCell(kDischargeCol, 40, "D");
    QVERIFY(SaveGridFile(g, folder.year(2008)));
  }
  QCOMPARE(Lines(folder.year(2008))[18], now[18]);
  // Cleared, the mark is gone and the column stays.
  BasalChart chart(folder.path());
  chart.Open(QDate(2008, 1, 20), nullptr);
  chart.SetDisturbance(chart.DateColumn(QDate(2008, 1, 18)), Disturbance::None);
  QVERIFY(chart.Save(nullptr));
  QCOMPARE(Lines(folder.year(2008))[18], QByteArray("\"January 18\",97.40,36.40,14,W,\" \",S,\r"));
  QCOMPARE(DisturbanceFromText("Fever!"), Disturbance::Other);
  QCOMPARE(DisturbanceFromText(" SLEEP "), Disturbance::Sleep);
}

void BasalTemperatureTest::fileWrittenBeforeLoadsUnchanged() {
  Folder folder;
  const QByteArray before = Bytes(folder.year(2008));
  CellGrid g;
  QVERIFY(OpenYearGrid(g, 2008, kBasalYearColumns, BasalYearHeaders(), folder.year(2008)));
  QCOMPARE(g.ColCount(), kBasalYearColumns);
  QCOMPARE(GridToBytes(g), before);

  // Opening it in the chart and saving rewrites nothing; a click changes its own line only.
  BasalChart chart(folder.path());
  chart.Open(QDate(2008, 2, 10), nullptr);
  QVERIFY(chart.Save(nullptr));
  QCOMPARE(Bytes(folder.year(2008)), before);
  const int column = chart.DateColumn(QDate(2008, 2, 12));
  QCOMPARE(chart.BarTop(column), 13);  // cycle day 10
  chart.SetLevel(column, 9, F);
  QVERIFY(chart.Save(nullptr));
  const QList<QByteArray> was = before.split('\n');
  const QList<QByteArray> now = Lines(folder.year(2008));
  QCOMPARE(now.size(), was.size());
  const int row = QDate(2008, 2, 12).dayOfYear();
  for (int r = 0; r < was.size(); ++r)
    if (r != row) QCOMPARE(now[r], was[r]);
  QCOMPARE(now[row], QByteArray("\"February 12\",97.90,36.61,9,S,\" \",\" \"\r"));
}

void BasalTemperatureTest::oldRowsReadInEitherUnit() {
  Folder folder;
  CellGrid g;
  QVERIFY(OpenYearGrid(g, 2008, kBasalYearColumns, BasalYearHeaders(), folder.year(2008)));
  const int row = QDate(2008, 1, 8).dayOfYear();  // level 14: 97.40 and 36.40 on their scales
  // Each unit reads the level of its own scale, as the chart showed it.
  BasalReading r = ReadBasalReading(g, row, F);
  QCOMPARE(r.level, 14);
  QCOMPARE(r.temperature->Hundredths(), 9740);
  QVERIFY(!r.precise);
  QCOMPARE(r.temperature->TextIn(C), QString("36.33"));  // converted exactly
  r = ReadBasalReading(g, row, C);
  QCOMPARE(r.temperature->Hundredths(), 3640);
  QVERIFY(!r.precise);
  // A cleared day (98.80, 37.10, 0), a damaged bar top and a day never touched: no reading.
  for (const QDate& d : {QDate(2008, 2, 20), QDate(2008, 3, 24), QDate(2008, 1, 2)})
    QVERIFY2(!ReadBasalReading(g, d.dayOfYear(), F).HasReading(), qPrintable(d.toString()));
  QCOMPARE(ReadBasalReading(g, row, F).disturbance, Disturbance::None);
}

void BasalTemperatureTest::signsOfTheOldFile() {
  Folder folder;
  DaySignsList days;
  QStringList errors;
  QVERIFY(ReadBasalFolder(folder.path(), F, &days, &errors));
  QVERIFY(errors.isEmpty());
  QCOMPARE(BasalYears(folder.path()), QVector<int>{2008});
  // "P" runs start the periods.
  QCOMPARE(PeriodStartsFromDays(days), (QVector<QDate>{QDate(2008, 1, 6), QDate(2008, 2, 3),
                                                       QDate(2008, 3, 2), QDate(2008, 3, 30)}));
  // Discharge codes: P period, W wet, S sticky, D dry.
  const DaySigns* d = DayOn(days, QDate(2008, 1, 6));
  QVERIFY(d->period);
  QCOMPARE(d->mucus, Mucus::None);
  QCOMPARE(DayOn(days, QDate(2008, 1, 11))->mucus, Mucus::Dry);
  QCOMPARE(DayOn(days, QDate(2008, 1, 14))->mucus, Mucus::Sticky);
  QCOMPARE(DayOn(days, QDate(2008, 1, 16))->mucus, Mucus::Wet);
  QVERIFY(!DayOn(days, QDate(2008, 1, 2)));  // nothing recorded
  QCOMPARE(DayOn(days, QDate(2008, 1, 20))->temperature->Hundredths(), 9780);
  QCOMPARE(MucusFromDischarge(" W "), Mucus::Wet);
  QCOMPARE(MucusFromDischarge("w"), Mucus::None);

  // The chart's held year, changed but not written, replaces the file's.
  CellGrid g;
  OpenYearGrid(g, 2008, kBasalYearColumns, BasalYearHeaders(), folder.year(2008));
  g.SetCell(kDischargeCol, QDate(2008, 1, 16).dayOfYear(), "D");
  ReplaceBasalYear(&days, g, 2008, F);
  QCOMPARE(DayOn(days, QDate(2008, 1, 16))->mucus, Mucus::Dry);
  QCOMPARE(PeriodStartsFromDays(days).size(), 4);
}

void BasalTemperatureTest::unreadableYearIsReported() {
  Folder folder;
  ForgetFileGuards();
  QFile::copy(folder.year(2008), folder.year(2009));
  // A folder in the way of a year file: that year is reported, the others read.
  QDir().mkpath(folder.year(2010));
  DaySignsList days;
  QStringList errors;
  QVERIFY(!ReadBasalFolder(folder.path(), F, &days, &errors));
  QCOMPARE(errors.size(), 1);
  QVERIFY2(errors[0].startsWith("Cannot open file \"" + folder.year(2010) + "\"."),
           qPrintable(errors[0]));
  QVERIFY(DayOn(days, QDate(2008, 1, 6)));
  QVERIFY(DayOn(days, QDate(2009, 1, 6)));
  ForgetFileGuards();
}

QTEST_GUILESS_MAIN(BasalTemperatureTest)
#include "test_basaltemperature.moc"
