// "Save as PDF..." of every report page: the PDF written by Qt's PDF writer from the
// same page and pictures as the browser shows, its failures reported with an old PDF
// left whole; and every report page of the program offering it, with the trackers'
// own pages (weight, blood pressure, exercise, sleep, kids, calories) and their
// "View Report" and "Print Report".

#include <QtTest>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "app/datafolders.h"
#include "app/dateview.h"
#include "app/reportpage.h"
#include "app/widgets/linklabel.h"
#include "app/widgets/printreport.h"
#include "app/widgets/reportbar.h"
#include "core/clock.h"
#include "core/textfile.h"
#include "shell/mainwindow.h"
#include "support/faults.h"
#include "support/pdftext.h"
#include "support/testenv.h"

namespace {
QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A page with a picture beside it, written as the reports are.
QString WritePage(const QString& folder) {
  ReportPage page("Weekly Summary");
  page.Paragraph("Systolic 120 & diastolic <80>");
  page.Picture("pic.jpg", QSize(200, 100));
  QImage pic(200, 100, QImage::Format_RGB32);
  pic.fill(QColor(30, 100, 200));
  QString error;
  if (!WriteReportFiles(folder + "/", "page.html", page.Lines(), {{"pic.jpg", pic}}, &error))
    qFatal("%s", qPrintable(error));
  return folder + "/page.html";
}

struct FixedToday {
  explicit FixedToday(const QDate& d) {
    Clock::SetSource([d] { return QDateTime(d, QTime(9, 30)); });
  }
  ~FixedToday() { Clock::SetSource({}); }
};
}  // namespace

class ReportPagesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetSystemTrayAvailable(true); }
  void savesThePageWithItsPicture();
  void failuresAreReportedAndAnOldPdfStaysWhole();
  void saveAsPdfAsksForTheTarget();
  void everyReportPageOffersSaveAsPdf_data();
  void everyReportPageOffersSaveAsPdf();
  void trackerReportLinksViewAndPrint();
  void toolsMenuOffersTheDoctorsReport();
};

void ReportPagesTest::savesThePageWithItsPicture() {
  TestEnv env;
  QTemporaryDir dir;
  const QString page = WritePage(dir.path());
  const QString pdf = dir.path() + "/out.pdf";
  QString error;
  QVERIFY2(SaveHtmlReportAsPdf(page, pdf, &error), qPrintable(error));
  const QByteArray bytes = ReadAll(pdf);
  QVERIFY(bytes.startsWith("%PDF"));
  QVERIFY(bytes.contains("/Subtype /Image"));  // the picture beside the page came along
  // Nothing else is left beside the target.
  QCOMPARE(QDir(dir.path()).entryList({"*.pdf*"}, QDir::Files), QStringList{"out.pdf"});
  const QString text = PdfText(pdf);
  if (text.isNull()) QSKIP("pdftotext is not installed; the PDF's text was not checked");
  QVERIFY(text.contains("Weekly Summary"));
  QVERIFY(text.contains("Systolic 120 & diastolic <80>"));
}

void ReportPagesTest::failuresAreReportedAndAnOldPdfStaysWhole() {
  TestEnv env;
  QTemporaryDir dir;
  const QString page = WritePage(dir.path());
  QString error;

  // A folder that is not there.
  const QString nowhere = dir.path() + "/missing/out.pdf";
  QVERIFY(!SaveHtmlReportAsPdf(page, nowhere, &error));
  QVERIFY2(error.startsWith("Cannot create file"), qPrintable(error));
  QVERIFY(!QFile::exists(nowhere));

  // A page that cannot be read.
  error.clear();
  QVERIFY(!SaveHtmlReportAsPdf(dir.path() + "/none.html", dir.path() + "/x.pdf", &error));
  QVERIFY2(error.startsWith("Cannot open file"), qPrintable(error));
  QVERIFY(!QFile::exists(dir.path() + "/x.pdf"));

  // A disk that fills up: the old PDF is there as it was.
  const QString pdf = dir.path() + "/old.pdf";
  const QByteArray old = "%PDF-1.4 the report she sent last month";
  QVERIFY(WriteFileBytes(pdf, old, nullptr));
  const ChildResult child = RunInChild([&](QString* message) {
    FileSizeLimit limit(600);
    QString e;
    const bool ok = SaveHtmlReportAsPdf(page, pdf, &e);
    *message = e;
    return ok ? 0 : 1;
  });
  QCOMPARE(child.status, 1);
  QVERIFY2(child.message.startsWith("Cannot create file"), qPrintable(child.message));
  QCOMPARE(ReadAll(pdf), old);
}

void ReportPagesTest::saveAsPdfAsksForTheTarget() {
  TestEnv env;
  QTemporaryDir dir;
  const QString page = WritePage(dir.path());
  QString suggested;
  QString answer;
  SetPdfTargetChooser([&](const QString& s) {
    suggested = s;
    return answer;
  });
  // Cancelled: nothing written, nothing said.
  QVERIFY(!SaveReportAsPdf(page, "Weight report.pdf"));
  QVERIFY(suggested.endsWith("/Weight report.pdf"));
  QVERIFY(env.messages.isEmpty());
  // A name without ".pdf" gets it; the success is told with the place.
  answer = dir.path() + "/for the doctor";
  QVERIFY(SaveReportAsPdf(page, "Weight report.pdf"));
  QVERIFY(ReadAll(dir.path() + "/for the doctor.pdf").startsWith("%PDF"));
  QCOMPARE(env.messages.size(), 1);
  QVERIFY(env.messages.first().text.contains("for the doctor.pdf"));
  // The next time starts in the folder used last.
  QVERIFY(SaveReportAsPdf(page, "Weight report.pdf"));
  QCOMPARE(suggested, dir.path() + "/Weight report.pdf");
  // A failure is an error box, not a success.
  env.clearMessages();
  answer = dir.path() + "/missing/x.pdf";
  QVERIFY(!SaveReportAsPdf(page, "Weight report.pdf"));
  QCOMPARE(env.messages.size(), 1);
  QCOMPARE(env.messages.first().kind, MessageKind::Error);
  SetPdfTargetChooser({});
}

void ReportPagesTest::everyReportPageOffersSaveAsPdf_data() {
  QTest::addColumn<QString>("view");
  QTest::addColumn<QString>("page");
  QTest::addColumn<QString>("title");
  QTest::newRow("calendar") << "calendar" << "calendar.html" << "Luteal Phase";
  QTest::newRow("basal") << "basal" << "Basal.html" << "Basal Temperature";
  QTest::newRow("to do") << "todo" << "todo.html" << "";
  QTest::newRow("weight") << "weight" << "weight.html" << "Weight Tracker";
  QTest::newRow("blood pressure") << "heart" << "pressure.html" << "Blood Pressure";
  QTest::newRow("exercise") << "exercise" << "exercise.html" << "Exercise Tracker";
  QTest::newRow("calories") << "eat" << "calories.html" << "Calorie Tracker";
  QTest::newRow("sleep") << "sleep" << "sleep.html" << "Sleep Tracker";
  QTest::newRow("kids") << "kids" << "kids.html" << "Baby & Kids Tracker";
}

void ReportPagesTest::everyReportPageOffersSaveAsPdf() {
  QFETCH(QString, view);
  QFETCH(QString, page);
  QFETCH(QString, title);
  TestEnv env;
  FixedToday today(QDate(2009, 3, 14));
  MainWindow form(TestEnv::programFolder(), false);
  form.resize(1000, 640);
  form.show();
  form.Startup();
  form.ShowView(view);
  auto* widget = dynamic_cast<QWidget*>(form.View(view));
  QVERIFY(widget);
  const QList<LinkLabel*> links = widget->findChildren<LinkLabel*>("ui_save_pdf_link");
  QCOMPARE(links.size(), 1);
  QVERIFY(links.first()->isVisibleTo(widget));
  QVERIFY(links.first()->focusPolicy() & Qt::TabFocus);

  QTemporaryDir out;
  const QString target = out.path() + "/report.pdf";
  SetPdfTargetChooser([&](const QString&) { return target; });
  emit links.first()->clicked();
  SetPdfTargetChooser({});
  QVERIFY2(ReadAll(target).startsWith("%PDF"), qPrintable(env.messageTexts().join('\n')));
  // Written from the page of the Build folder, the same the browser shows.
  QVERIFY(QFile::exists(env.dataRoot() + "Build/" + page));
  if (title.isEmpty()) return;
  const QString text = PdfText(target);
  if (text.isNull()) QSKIP("pdftotext is not installed; the PDF's text was not checked");
  QVERIFY2(text.contains(title), qPrintable(text.left(400)));
}

void ReportPagesTest::trackerReportLinksViewAndPrint() {
  TestEnv env;
  QList<QUrl> opened;
  SetOpenUrlHandler([&](const QUrl& u) { opened << u; });
  MainWindow form(TestEnv::programFolder(), false);
  form.Startup();
  form.ShowView("heart");
  auto* bar = dynamic_cast<QWidget*>(form.View("heart"))->findChild<ReportBar*>("ReportBar");
  QVERIFY(bar);
  emit bar->ViewLink()->clicked();
  SetOpenUrlHandler({});
  QCOMPARE(opened.size(), 1);
  QCOMPARE(opened.first().toLocalFile(), env.dataRoot() + "Build/pressure.html");
  const QString html = QString::fromUtf8(ReadAll(env.dataRoot() + "Build/pressure.html"));
  QVERIFY(html.contains("<img src=\"pressure_score.jpg\""));
  QVERIFY(!QImage(env.dataRoot() + "Build/pressure_score.jpg").isNull());
  // Print goes to the default printer; none here is an error box, not silence.
  if (QPrinterInfo::defaultPrinter().isNull()) {
    emit bar->PrintLink()->clicked();
    QCOMPARE(env.messages.size(), 1);
    QVERIFY(env.messages.first().text.contains("No default printer"));
  }
}

void ReportPagesTest::toolsMenuOffersTheDoctorsReport() {
  TestEnv env;
  MainWindow form(TestEnv::programFolder(), false);
  form.Startup();
  auto* action = form.findChild<QAction*>("DoctorReport1");
  QVERIFY(action);
  QCOMPARE(action->text(), QString("Report for my &doctor..."));
  QVERIFY(action->isEnabled());
}

QTEST_MAIN(ReportPagesTest)
#include "test_reportpages.moc"
