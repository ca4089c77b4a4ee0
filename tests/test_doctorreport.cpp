// The report for her doctor: the blood-pressure categories at every boundary, the
// readings placed by their own dates, the averages, the fixture folder's page against
// its golden HTML file, sections left out without records, reading only, the command
// line (HTML and PDF through pdftotext) and the dialog.

#include <QtTest>

#include <QDateEdit>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app/datafolders.h"
#include "app/widgets/printreport.h"
#include "core/gridfile.h"
#include "core/textfile.h"
#include "shell/doctorreportcommand.h"
#include "shell/doctorreportdialog.h"
#include "support/faults.h"
#include "support/fixturedb.h"
#include "support/pdftext.h"
#include "support/testenv.h"
#include "trackers/doctorreport.h"
#include "trackers/pressurehistory.h"
#include "trackers/weightmodel.h"

namespace {
const QDate kToday(2009, 3, 5);
const ReportPeriod kPeriod{QDate(2009, 2, 1), QDate(2009, 3, 5)};

QString Program() { return TestEnv::programFolder() + "mavelo"; }

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void CopyTree(const QString& from, const QString& to) {
  QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    const QString target = to + "/" + QDir(from).relativeFilePath(file);
    QDir().mkpath(QFileInfo(target).path());
    QFile::remove(target);
    QVERIFY(QFile::copy(file, target));
  }
}

// Every file under the folder with its bytes: what "reads only" must leave as it was.
QMap<QString, QByteArray> Snapshot(const QString& folder) {
  QMap<QString, QByteArray> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString f = it.next();
    files.insert(QDir(folder).relativeFilePath(f), ReadAll(f));
  }
  return files;
}

// The fixture folder as her data root, with the health tables filled in Food.db.
void FillDataFolder(const TestEnv& env) {
  CopyTree(TestEnv::testData("doctor"), env.dataRoot());
  const QString db = env.dataRoot() + "DB/Food.db";
  QDir().mkpath(env.dataRoot() + "DB");
  QString error;
  QVERIFY2(CopyFixtureDatabase(db, &error), qPrintable(error));
  const QStringList statements{
      "INSERT INTO Health_Immunization (Vaccines, Date_Received) VALUES "
      "('Tetanus', '2007-05-01'), ('Influenza <2008/09>', '2008-10-15'), ('', ' ')",
      "INSERT INTO Health_Prescription (Date_Start_End, Medication_Dosage, Special_Notes) "
      "VALUES ('2009-01-10 / 2009-04-10', 'Iron 65 mg', 'once a day & with food')",
      "INSERT INTO Health_Appointments (StartTime, Doctor, Reason) VALUES "
      "('2009-03-20 10:00', 'Dr. Anna Lee', 'Check-up')"};
  for (const QString& s : statements) QVERIFY2(ExecOnDatabaseFile(db, s, &error), qPrintable(error));
}

QProcessEnvironment EnvFor(const TestEnv& env) {
  QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
  e.insert("HOME", env.home());
  e.insert("XDG_DATA_HOME", env.dataHome());
  e.insert("XDG_CONFIG_HOME", env.configHome());
  e.insert("LC_ALL", "en_US.UTF-8");
  e.insert("LANG", "en_US.UTF-8");
  e.remove("QT_QPA_PLATFORM");  // the command needs no display of its own
  e.remove("DISPLAY");
  return e;
}

// The days from the fixture's first reading to the real today, for the command line.
int DaysSince(const QDate& first) { return int(first.daysTo(QDate::currentDate())) + 1; }
}  // namespace

class DoctorReportTest : public QObject {
  Q_OBJECT

 private slots:
  void categoriesAtEveryBoundary_data();
  void categoriesAtEveryBoundary();
  void cellDatesAndTimes_data();
  void cellDatesAndTimes();
  void readingsArePlacedByTheirOwnDates();
  void morningAndEveningAverages();
  void fixtureReportMatchesGoldenPage();
  void sectionsWithoutRecordsAreLeftOut();
  void weightsInTheirOwnUnitsShownInHers_data();
  void weightsInTheirOwnUnitsShownInHers();
  void unreadableLogIsNamedInTheReport();
  void commandLineWritesHtmlWithPictures();
  void commandLineWritesPdfWithTheKeyLines();
  void commandLineRefusesWrongArguments_data();
  void commandLineRefusesWrongArguments();
  void helpNamesTheCommand();
  void dialogPeriodsAndActions();
};

void DoctorReportTest::categoriesAtEveryBoundary_data() {
  QTest::addColumn<int>("systolic");
  QTest::addColumn<int>("diastolic");
  QTest::addColumn<int>("category");
  const int normal = int(PressureCategory::Normal), elevated = int(PressureCategory::Elevated),
            stage1 = int(PressureCategory::Stage1), stage2 = int(PressureCategory::Stage2),
            crisis = int(PressureCategory::Crisis);
  QTest::newRow("119/79 normal") << 119 << 79 << normal;
  QTest::newRow("120/79 elevated") << 120 << 79 << elevated;
  QTest::newRow("129/79 elevated") << 129 << 79 << elevated;
  QTest::newRow("129/80 stage 1 by diastolic") << 129 << 80 << stage1;
  QTest::newRow("119/80 stage 1 by diastolic") << 119 << 80 << stage1;
  QTest::newRow("130/80 stage 1") << 130 << 80 << stage1;
  QTest::newRow("130/70 stage 1 by systolic") << 130 << 70 << stage1;
  QTest::newRow("139/89 stage 1") << 139 << 89 << stage1;
  QTest::newRow("140/90 stage 2") << 140 << 90 << stage2;
  QTest::newRow("140/70 stage 2 by systolic") << 140 << 70 << stage2;
  QTest::newRow("110/90 stage 2 by diastolic") << 110 << 90 << stage2;
  QTest::newRow("180/120 still stage 2") << 180 << 120 << stage2;
  QTest::newRow("181/100 crisis by systolic") << 181 << 100 << crisis;
  QTest::newRow("150/121 crisis by diastolic") << 150 << 121 << crisis;
}

void DoctorReportTest::categoriesAtEveryBoundary() {
  QFETCH(int, systolic);
  QFETCH(int, diastolic);
  QFETCH(int, category);
  QCOMPARE(int(ClassifyPressure(systolic, diastolic)), category);
}

void DoctorReportTest::cellDatesAndTimes_data() {
  QTest::addColumn<QString>("dateCell");
  QTest::addColumn<QDate>("date");
  QTest::addColumn<QString>("timeCell");
  QTest::addColumn<QTime>("time");
  QTest::newRow("as the log writes") << "Mar 5, 2009" << QDate(2009, 3, 5) << "7:05 AM" << QTime(7, 5);
  QTest::newRow("afternoon") << " Dec 31, 2008 " << QDate(2008, 12, 31) << "12:30 PM" << QTime(12, 30);
  QTest::newRow("midnight") << "Jan 1, 2009" << QDate(2009, 1, 1) << "12:00 AM" << QTime(0, 0);
  QTest::newRow("ISO and 24 hours") << "2009-03-05" << QDate(2009, 3, 5) << "19:45" << QTime(19, 45);
  QTest::newRow("full month name") << "March 5, 2009" << QDate(2009, 3, 5) << "" << QTime();
  QTest::newRow("short date") << "3/5/2009" << QDate(2009, 3, 5) << "soon" << QTime();
  QTest::newRow("not a date") << "someday" << QDate() << "25:00" << QTime();
}

void DoctorReportTest::cellDatesAndTimes() {
  QFETCH(QString, dateCell);
  QFETCH(QDate, date);
  QFETCH(QString, timeCell);
  QFETCH(QTime, time);
  TestEnv env;
  QCOMPARE(PressureCellDate(dateCell), date);
  QCOMPARE(PressureCellTime(timeCell), time);
}

void DoctorReportTest::readingsArePlacedByTheirOwnDates() {
  TestEnv env;
  const PressureHistory h =
      ReadPressureHistory(TestEnv::testData("doctor/Heart/"), kPeriod.first, kPeriod.last);
  QVERIFY(h.errors.isEmpty());
  // The 2008 log holds a reading of 2 February 2009; the 2009 log one of January, out of
  // the period, one without a systolic value and one whose date cannot be read.
  QCOMPARE(h.readings.size(), 9);
  QCOMPARE(h.undated, 1);
  QCOMPARE(h.readings.first().date, QDate(2009, 2, 2));
  QCOMPARE(h.readings.first().pulse, -1);
  QCOMPARE(h.readings.last().date, QDate(2009, 3, 4));
  for (int i = 1; i < h.readings.size(); ++i)
    QVERIFY(h.readings[i - 1].date <= h.readings[i].date);
}

void DoctorReportTest::morningAndEveningAverages() {
  auto reading = [](int s, int d, QTime t) {
    DatedReading r;
    r.date = QDate(2009, 3, 1);
    r.time = t;
    r.systolic = s;
    r.diastolic = d;
    return r;
  };
  const QVector<DatedReading> readings{
      reading(120, 80, QTime(7, 0)), reading(125, 81, QTime(11, 59)),
      reading(140, 90, QTime(12, 0)), reading(131, 85, QTime(21, 0)),
      reading(160, 100, QTime())};
  const PressureSummary s = SummarizePressure(readings);
  QCOMPARE(s.morning.count, 2);
  QCOMPARE(s.morning.systolic, 123);  // 122.5 rounds up
  QCOMPARE(s.morning.diastolic, 81);  // 80.5
  QCOMPARE(s.evening.count, 2);       // noon counts as the evening
  QCOMPARE(s.evening.systolic, 136);  // 135.5
  QCOMPARE(s.evening.diastolic, 88);  // 87.5
  QCOMPARE(s.untimed, 1);
  QCOMPARE(s.all.count, 5);
  QCOMPARE(s.highest->systolic, 160);
  QCOMPARE(s.lowest->systolic, 120);

  const PressureSummary none = SummarizePressure({});
  QCOMPARE(none.all.count, 0);
  QVERIFY(!none.highest);
}

void DoctorReportTest::fixtureReportMatchesGoldenPage() {
  TestEnv env;
  DataFolders dir(TestEnv::programFolder());
  FillDataFolder(env);
  const auto before = Snapshot(env.dataRoot());

  ComposedDoctorReport composed;
  ComposeDoctorReport(dir, StoredReportSettings(dir), kPeriod, "Jane <Doe>", kToday, &composed);
  QVERIFY2(composed.report.records.errors.isEmpty(),
           qPrintable(composed.report.records.errors.join('\n')));
  QTemporaryDir out;
  const QString folder = out.path() + "/";
  const DoctorReportFiles files = DoctorReportFileNames("doctor");
  QString error;
  QVERIFY2(WriteDoctorReport(composed.report, folder, files, &error), qPrintable(error));

  const QByteArray page = ReadAll(folder + "doctor.html");
  const QByteArray golden = ReadAll(TestEnv::testData("doctor-report.html"));
  if (page != golden) {
    const QList<QByteArray> a = page.split('\n'), b = golden.split('\n');
    for (int i = 0; i < std::max(a.size(), b.size()); ++i)
      if (a.value(i) != b.value(i))
        QFAIL(qPrintable(QString("line %1 differs:\n  made:   %2\n  golden: %3")
                             .arg(i + 1)
                             .arg(QString::fromUtf8(a.value(i)), QString::fromUtf8(b.value(i)))));
  }
  for (const QString& picture : {files.pressurePicture, files.weightPicture}) {
    const QImage img(folder + picture);
    QVERIFY2(!img.isNull(), qPrintable(picture));
    QCOMPARE(img.size(), QSize(640, 300));
  }
  // Reading only: not a byte of her folder changed, and nothing was added to it.
  QCOMPARE(Snapshot(env.dataRoot()), before);
}

void DoctorReportTest::sectionsWithoutRecordsAreLeftOut() {
  TestEnv env;
  DataFolders dir(TestEnv::programFolder());
  // Only a blood type: no other section.
  QVERIFY(WriteTextLines(dir.HealthFolder() + "info.ini", {"[Settings]", "BloodType=1"}, nullptr));
  ComposedDoctorReport composed;
  ComposeDoctorReport(dir, StoredReportSettings(dir), kPeriod, QString(), kToday, &composed);
  const QString page = DoctorReportLines(composed.report, DoctorReportFileNames("doctor")).join('\n');
  QVERIFY(page.contains("<h3>Blood type</h3>"));
  QVERIFY(page.contains("<p>O+</p>"));
  for (const char* section : {"Allergies", "Immunisations", "Prescriptions", "Appointments",
                              "Contacts", "Blood pressure", "Weight", "Cycle", "Name:",
                              "could not be read", "<img"})
    QVERIFY2(!page.contains(section), section);
  QVERIFY(DoctorReportPictures(composed.report, DoctorReportFileNames("doctor")).isEmpty());
}

void DoctorReportTest::weightsInTheirOwnUnitsShownInHers_data() {
  QTest::addColumn<QString>("measureUnits");
  QTest::addColumn<QStringList>("expected");
  // The fixture's pounds (unmarked, written in US units) and one weight typed in kg since
  // she changed units; the BMI of each from kilograms and the height of 65 inches.
  QTest::newRow("shown in US units")
      << "I"
      << QStringList{"<td>2009-02-03</td><td>148.2 lbs (67.2 kg)</td><td>24.7</td>",
                     "<td>2009-03-04</td><td>145.5 lbs (66.0 kg)</td><td>24.2</td>",
                     "<b>Change:</b> -2.7 lbs over 29 days", "65 inches (165.1 cm)"};
  QTest::newRow("shown in metric units")
      << "M"
      << QStringList{"<td>2009-02-03</td><td>67.2 kg (148.2 lbs)</td><td>24.7</td>",
                     "<td>2009-03-04</td><td>66.0 kg (145.5 lbs)</td><td>24.2</td>",
                     "<b>Change:</b> -1.2 kg over 29 days", "height in the settings: 165.1 cm."};
}

void DoctorReportTest::weightsInTheirOwnUnitsShownInHers() {
  QFETCH(QString, measureUnits);
  QFETCH(QStringList, expected);
  TestEnv env;
  DataFolders dir(TestEnv::programFolder());
  FillDataFolder(env);
  QVERIFY(WriteTextLines(dir.ConfigFolder() + "application.ini",
                         {"[Application]", "Measure_Units=" + measureUnits, "Unmarked_Units=I",
                          "", "[BMI]", "Height=65"},
                         nullptr));
  const QString year = dir.WeightFolder() + "2009.txt";
  CellGrid grid;
  QVERIFY(LoadGridFile(grid, year));
  const int row = YearGridRow(QDate(2009, 3, 4));
  grid.SetCell(kWeightColumn, row, "66");
  grid.SetCell(kWeightUnitColumn, row, "kg");
  QVERIFY(SaveGridFile(grid, year));

  ComposedDoctorReport composed;
  ComposeDoctorReport(dir, StoredReportSettings(dir), kPeriod, QString(), kToday, &composed);
  const QString page = DoctorReportLines(composed.report, DoctorReportFileNames("doctor")).join('\n');
  for (const QString& line : expected) QVERIFY2(page.contains(line), qPrintable(line + "\n" + page));
  // Read in the unit each was written in, whatever she reads them in.
  const QVector<DatedWeight>& kg = composed.report.records.weights.weights;
  QCOMPARE(kg.size(), 3);
  QCOMPARE(kg.first().weight, 148.2 * 0.45359237);
  QCOMPARE(kg.last().weight, 66.0);
}

void DoctorReportTest::unreadableLogIsNamedInTheReport() {
  TestEnv env;
  DataFolders dir(TestEnv::programFolder());
  FillDataFolder(env);
  const QString log = dir.HeartFolder() + "Y2009-pressure.txt";
  if (!MakeUnreadable(log)) QSKIP("the file can still be read here");
  ComposedDoctorReport composed;
  ComposeDoctorReport(dir, StoredReportSettings(dir), kPeriod, QString(), kToday, &composed);
  MakeReadable(log);
  const QString page = DoctorReportLines(composed.report, DoctorReportFileNames("doctor")).join('\n');
  QVERIFY(page.contains("Some records could not be read"));
  QVERIFY(page.contains(log));
  // The other log still counts.
  QCOMPARE(composed.report.records.pressure.readings.size(), 1);
}

void DoctorReportTest::commandLineWritesHtmlWithPictures() {
  TestEnv env;
  { DataFolders dir(TestEnv::programFolder()); }
  FillDataFolder(env);
  const auto before = Snapshot(env.dataRoot());
  QTemporaryDir out;
  QProcess p;
  p.setProcessEnvironment(EnvFor(env));
  p.start(Program(), {"--doctor-report", out.path() + "/for Dr Lee.html", "--days",
                      QString::number(DaysSince(QDate(2009, 1, 1)))});
  QVERIFY(p.waitForFinished(60000));
  const QString said = QString::fromUtf8(p.readAllStandardOutput());
  QCOMPARE(p.exitCode(), 0);
  QVERIFY2(said.contains("blood pressure readings\t10"), qPrintable(said));
  QVERIFY(said.contains("weights\t4"));
  QVERIFY(said.contains("cycles\t4"));
  const QString page = QString::fromUtf8(ReadAll(out.path() + "/for Dr Lee.html"));
  QVERIFY(page.contains("<img src=\"for Dr Lee_pressure.jpg\""));
  QVERIFY(!QImage(out.path() + "/for Dr Lee_pressure.jpg").isNull());
  QVERIFY(!QImage(out.path() + "/for Dr Lee_weight.jpg").isNull());
  QCOMPARE(Snapshot(env.dataRoot()), before);
}

void DoctorReportTest::commandLineWritesPdfWithTheKeyLines() {
  TestEnv env;
  { DataFolders dir(TestEnv::programFolder()); }
  FillDataFolder(env);
  QTemporaryDir out;
  const QString pdf = out.path() + "/report.pdf";
  QVERIFY(WriteFileBytes(pdf, "old PDF", nullptr));
  QProcess p;
  p.setProcessEnvironment(EnvFor(env));
  p.start(Program(), {"--doctor-report", pdf, "--days",
                      QString::number(DaysSince(QDate(2009, 1, 1)))});
  QVERIFY(p.waitForFinished(60000));
  QCOMPARE(p.exitCode(), 0);
  QVERIFY(ReadAll(pdf).startsWith("%PDF"));
  // Nothing but the PDF: its pictures were laid out in a folder of their own.
  QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"report.pdf"});

  const QString text = PdfText(pdf);
  if (text.isNull()) QSKIP("pdftotext is not installed; the PDF's text was not checked");
  const QString flat = text.simplified();
  for (const char* line :
       {"Health Report", "Blood type", "A+", "Penicillin (rash)", "Tetanus", "Iron 65 mg",
        "Dr. Anna Lee", "Blood pressure", "Hypertensive Crisis (!)", "181 100",
        "Morning average (taken before noon):", "Weight and BMI", "Average length",
        "Last period started: 2009-02-24"})
    QVERIFY2(flat.contains(QString::fromUtf8(line)), line);
}

void DoctorReportTest::commandLineRefusesWrongArguments_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::newRow("no file") << QStringList{"--doctor-report"};
  QTest::newRow("option for a file") << QStringList{"--doctor-report", "--days", "5"};
  QTest::newRow("days not a number") << QStringList{"--doctor-report", "x.html", "--days", "many"};
  QTest::newRow("no days") << QStringList{"--doctor-report", "x.html", "--days", "0"};
  QTest::newRow("a second file") << QStringList{"--doctor-report", "x.html", "y.html"};
  QTest::newRow("another option") << QStringList{"--doctor-report", "x.html", "--count", "3"};
}

void DoctorReportTest::commandLineRefusesWrongArguments() {
  QFETCH(QStringList, arguments);
  TestEnv env;
  QTemporaryDir out;
  QProcess p;
  p.setProcessEnvironment(EnvFor(env));
  p.setWorkingDirectory(out.path());
  p.start(Program(), arguments);
  QVERIFY(p.waitForFinished(60000));
  QCOMPARE(p.exitCode(), 2);
  QVERIFY(p.readAllStandardError().contains("Usage: mavelo --doctor-report FILE"));
  QVERIFY(QDir(out.path()).entryList(QDir::Files).isEmpty());
}

void DoctorReportTest::helpNamesTheCommand() {
  TestEnv env;
  QProcess p;
  p.setProcessEnvironment(EnvFor(env));
  p.start(Program(), {"--help"});
  QVERIFY(p.waitForFinished(60000));
  QCOMPARE(p.exitCode(), 0);
  QVERIFY(p.readAllStandardOutput().contains("--doctor-report FILE [--days N]"));
}

void DoctorReportTest::dialogPeriodsAndActions() {
  TestEnv env;
  QList<ReportPeriod> asked;
  QStringList names;
  QTemporaryDir out;
  const QString page = out.path() + "/page.html";
  QVERIFY(WriteTextLines(page, {"<html><body><p>Report page</p></body></html>"}, nullptr));
  DoctorReportDialog dialog(
      [&](const ReportPeriod& period, const QString& name) {
        asked << period;
        names << name;
        return page;
      },
      kToday);
  QCOMPARE(dialog.Period().first, QDate(2008, 12, 6));  // 90 days unless told
  QCOMPARE(dialog.Period().last, kToday);
  dialog.findChild<QRadioButton*>("Period30")->setChecked(true);
  QCOMPARE(dialog.Period().first, QDate(2009, 2, 4));
  dialog.findChild<QRadioButton*>("PeriodYear")->setChecked(true);
  QCOMPARE(dialog.Period().Days(), 365);

  dialog.findChild<QRadioButton*>("PeriodDates")->setChecked(true);
  dialog.findChild<QDateEdit*>("PeriodFrom")->setDate(QDate(2009, 3, 6));
  dialog.ViewClick();  // starts after it ends: told, nothing written
  QVERIFY(asked.isEmpty());
  QCOMPARE(env.messages.size(), 1);
  dialog.findChild<QDateEdit*>("PeriodFrom")->setDate(QDate(2009, 1, 15));

  dialog.findChild<QLineEdit*>("DoctorReportName")->setText("  Jane Doe ");
  QString target = out.path() + "/saved.pdf";
  SetPdfTargetChooser([&](const QString& suggested) {
    [&] { QVERIFY(suggested.endsWith("Health report 2009-01-15 to 2009-03-05.pdf")); }();
    return target;
  });
  dialog.SavePdfClick();
  SetPdfTargetChooser({});
  QCOMPARE(asked.size(), 1);
  QCOMPARE(asked.first().first, QDate(2009, 1, 15));
  QCOMPARE(names.first(), QString("Jane Doe"));
  QVERIFY(ReadAll(target).startsWith("%PDF"));
  QVERIFY(env.messageTexts().last().contains("saved.pdf"));
  // The name is offered again next time.
  QCOMPARE(DoctorReportName(), QString("Jane Doe"));
}

QTEST_MAIN(DoctorReportTest)
#include "test_doctorreport.moc"
