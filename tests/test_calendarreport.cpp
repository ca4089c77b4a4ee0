// The calendar report: calendar.html line by line, the pictures as progressive JPEGs of
// quality 100, and what happens when the Build folder cannot be written.
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QtTest>
#include <memory>

#include "app/datafolders.h"
#include "core/textfile.h"
#include "cycle/calendarreport.h"
#include "core/cyclemodel.h"
#include "cycle/widgets/calendarreportwriter.h"
#include "cycle/widgets/monthcalendar.h"
#include "cycle/widgets/probabilitychart.h"
#include "support/fakehost.h"
#include "support/testenv.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

struct JpegInfo {
  bool ok = false;
  bool progressive = false;  // SOF2
  bool baseline = false;     // SOF0
  int tables = 0;
  bool allQuantOne = true;
};

// Walks the marker segments up to the first scan.
JpegInfo InspectJpeg(const QByteArray& b) {
  JpegInfo info;
  const auto u8 = [&](qsizetype i) { return static_cast<quint8>(b.at(i)); };
  if (b.size() < 4 || u8(0) != 0xFF || u8(1) != 0xD8) return info;
  qsizetype i = 2;
  while (i + 4 <= b.size()) {
    if (u8(i) != 0xFF) return info;
    const quint8 marker = u8(i + 1);
    const int len = (u8(i + 2) << 8) | u8(i + 3);
    if (marker == 0xC0) info.baseline = true;
    if (marker == 0xC2) info.progressive = true;
    if (marker == 0xDB) {
      qsizetype j = i + 4;
      while (j < i + 2 + len) {
        const int precision = u8(j) >> 4;
        ++j;
        for (int k = 0; k < 64; ++k) {
          const int q = precision ? (u8(j) << 8) | u8(j + 1) : u8(j);
          j += precision ? 2 : 1;
          if (q != 1) info.allQuantOne = false;
        }
        ++info.tables;
      }
    }
    if (marker == 0xDA) {  // start of the first scan: the header is complete
      info.ok = true;
      return info;
    }
    i += 2 + len;
  }
  return info;
}

CycleSettings Settings(int goal) { return CycleSettings{QDate(2009, 3, 1), 28, 14, goal}; }

}  // namespace

class CalendarReportTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TestEnv> env_;
  std::unique_ptr<FakeHost> host_;

 private slots:
  void init() {
    env_ = std::make_unique<TestEnv>();
    host_ = std::make_unique<FakeHost>();
    host_->Settings().Cycle = Settings(1);
  }
  void cleanup() {
    host_.reset();
    env_.reset();
  }

  void pageMatchesFixture() {
    CalendarReportData data = MakeCalendarReportData(Settings(1), QDate(2009, 3, 5),
                                                     QDate(2009, 3, 5));
    const QString build = host_->Dir().BuildFolder();
    QString error;
    QVERIFY2(WriteCalendarReport(build, QImage(328, 272, QImage::Format_RGB32),
                                 QImage(330, 200, QImage::Format_RGB32), data, &error),
             qPrintable(error));
    QCOMPARE(ReadAll(build + "calendar.html"),
             ReadAll(TestEnv::testData("calendar/calendar_conceive.html")));
  }

  void lines_data() {
    QTest::addColumn<int>("goal");
    QTest::addColumn<QDate>("selected");
    QTest::addColumn<QString>("line4");
    QTest::addColumn<QString>("line6");
    QTest::newRow("Conceive, 5 March") << 1 << QDate(2009, 3, 5) << "<b>Goal: Conceive</b>"
        << "<center><b>::: March&nbsp;2009&nbsp;Calendar ::: </b></center>";
    QTest::newRow("no goal") << -1 << QDate(2009, 3, 5) << "<b>Goal: </b>"
        << "<center><b>::: March&nbsp;2009&nbsp;Calendar ::: </b></center>";
    QTest::newRow("Girl, December 2010") << 3 << QDate(2010, 12, 31)
        << "<b>Goal: Conceive a Girl</b>"
        << "<center><b>::: December&nbsp;2010&nbsp;Calendar ::: </b></center>";
  }
  void lines() {
    QFETCH(int, goal);
    QFETCH(QDate, selected);
    QFETCH(QString, line4);
    QFETCH(QString, line6);
    QStringList expected;
    QVERIFY(ReadTextLines(TestEnv::testData("calendar/calendar_conceive.html"), &expected,
                          nullptr));
    expected[3] = line4;
    expected[5] = line6;
    // Created is today.
    expected[21] = "<b>Created : </b> " + QLocale(QLocale::English, QLocale::UnitedStates)
                       .toString(QDate::currentDate(), "MMM dd, yyyy") + " <br>";
    const QStringList got = CalendarReportLines(MakeCalendarReportData(Settings(goal), selected));
    QCOMPARE(got.size(), 24);
    for (int i = 0; i < 24; ++i) QCOMPARE(got[i], expected[i]);
  }

  void writtenFromScreen() {
    MonthCalendar grid(host_.get());
    grid.resize(328, 272);
    grid.MoveToDate(QDate(2009, 3, 5));
    ProbabilityChart chart;
    chart.resize(331, 203);
    chart.Refresh(host_->Cycle(), QDate(2009, 3, 5));
    const QString build = host_->Dir().BuildFolder();

    QVERIFY(WriteCalendarReportFromScreen(grid, chart, host_->Cycle(), QDate(2009, 3, 5), build));
    QCOMPARE(env_->messages.size(), 0);
    const QByteArray first = ReadAll(build + "calendar.html");

    const struct {
      const char* name;
      QSize size;
    } pictures[] = {{"calendar.jpg", QSize(328, 272)},
                    {"chart.jpg", QSize(331, 203)},
                    {"legend.jpg", CalendarLegendImage().size()}};
    for (const auto& p : pictures) {
      const QByteArray bytes = ReadAll(build + p.name);
      const JpegInfo info = InspectJpeg(bytes);
      QVERIFY2(info.ok, p.name);
      QVERIFY2(info.progressive, p.name);
      QVERIFY2(!info.baseline, p.name);
      QVERIFY2(info.tables >= 1, p.name);
      QVERIFY2(info.allQuantOne, p.name);  // quality 100
      QImageReader reader(build + p.name);
      QCOMPARE(reader.size(), p.size);
    }

    // Again, with a day selected in the meantime: the same page.
    grid.MoveToDate(QDate(2009, 3, 17));
    QVERIFY(WriteCalendarReportFromScreen(grid, chart, host_->Cycle(), QDate(2009, 3, 5), build));
    QCOMPARE(ReadAll(build + "calendar.html"), first);
    QVERIFY(first.endsWith("<center><body></html>\r\n"));
    QCOMPARE(first.count("\r\n"), 24);
    QCOMPARE(first.count("\n"), 24);
  }

  void legend() {
    const QImage img = CalendarLegendImage();
    QVERIFY(img.width() >= 120 && img.height() >= 150);
    // Each of the four cycle colours shows as a tile.
    for (CycleClassKind k : {CycleClassKind::Fertile, CycleClassKind::Ovulation,
                             CycleClassKind::PeriodDay1, CycleClassKind::Neutral}) {
      const QColor want = ClassColour(k);
      int n = 0;
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if (img.pixelColor(x, y) == want) ++n;
      QVERIFY2(n > 150, qPrintable(want.name()));
    }
  }

  void unwritableBuildFolder_data() {
    QTest::addColumn<QString>("blocked");  // made a folder where this file belongs
    QTest::addColumn<QStringList>("written");
    QTest::newRow("calendar.jpg") << "calendar.jpg" << QStringList();
    QTest::newRow("chart.jpg") << "chart.jpg" << QStringList({"calendar.jpg"});
    QTest::newRow("legend.jpg") << "legend.jpg" << QStringList({"calendar.jpg", "chart.jpg"});
    QTest::newRow("calendar.html") << "calendar.html"
                                   << QStringList({"calendar.jpg", "chart.jpg", "legend.jpg"});
  }
  void unwritableBuildFolder() {
    QFETCH(QString, blocked);
    QFETCH(QStringList, written);
    const QString build = host_->Dir().BuildFolder();
    QVERIFY(QDir().mkpath(build + blocked));
    MonthCalendar grid(host_.get());
    grid.resize(328, 272);
    ProbabilityChart chart;
    chart.resize(330, 200);
    QVERIFY(!WriteCalendarReportFromScreen(grid, chart, host_->Cycle(), QDate(2009, 3, 5), build));
    QCOMPARE(env_->messages.size(), 1);
    QCOMPARE(env_->messages[0].kind, MessageKind::Error);
    const QString prefix = "Cannot create file \"" + build + blocked + "\". ";
    QVERIFY2(env_->messages[0].text.startsWith(prefix), qPrintable(env_->messages[0].text));
    QVERIFY(env_->messages[0].text.size() > prefix.size());  // with the reason
    for (const QString& name : {"calendar.jpg", "chart.jpg", "legend.jpg", "calendar.html"}) {
      if (name == blocked) continue;
      QCOMPARE(QFileInfo(build + name).isFile(), written.contains(name));
    }
  }

  void buildFolderUnderAFile() {
    // The Build folder's place is taken by a regular file: nothing can be written.
    const QString blocker = env_->home() + "/blocker";
    QVERIFY(WriteTextFile(blocker, "x", nullptr));
    QString error;
    const CalendarReportData data = MakeCalendarReportData(Settings(1), QDate(2009, 3, 5));
    QVERIFY(!WriteCalendarReport(blocker + "/", QImage(10, 10, QImage::Format_RGB32),
                                 QImage(10, 10, QImage::Format_RGB32), data, &error));
    QVERIFY2(error.startsWith("Cannot create file \"" + blocker + "/calendar.jpg\". "),
             qPrintable(error));
    QVERIFY(QFileInfo(blocker).isFile());
  }
};

QTEST_MAIN(CalendarReportTest)
#include "test_calendarreport.moc"
