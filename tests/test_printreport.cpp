#include <QtTest>

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/textfile.h"
#include "app/widgets/printreport.h"
#include "support/testenv.h"

namespace {

// Pages of a PDF as written by Qt: objects of /Type /Page (not /Pages).
int PdfPageCount(const QByteArray& pdf) {
  static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
  int n = 0;
  for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next()) ++n;
  return n;
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text of a PDF through pdftotext, or a null string when it is not installed.
QString PdfText(const QString& pdfPath, QStringList options = {"-layout"}) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) return {};
  QProcess p;
  p.start(tool, options << pdfPath << QStringLiteral("-"));
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

QString WriteReport(const QString& folder, const QString& body, QSize picture = QSize(120, 80)) {
  if (picture.isValid()) {
    QImage img(picture, QImage::Format_RGB32);
    img.fill(QColor(45, 215, 53));
    img.save(folder + "/pic.jpg", "jpeg");
  }
  const QString path = folder + "/report.html";
  WriteTextLines(path, {"<html><body>", body, "</body></html>"}, nullptr);
  return path;
}

void PdfPrinter(QPrinter& printer, const QString& out) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(out);
  printer.setPageSize(QPageSize(QPageSize::Letter));
}

}  // namespace

class PrintReportTest : public QObject {
  Q_OBJECT

 private slots:
  void printsOnePageWithPictureAndNoHeaderOrFooter();
  void longPageBreaksWithoutPageNumbers();
  void widePictureIsShrunkOntoThePage();
  void unreadablePage_data();
  void unreadablePage();
  void printReportShowsUnreadablePage();
  void printReportWithoutDefaultPrinter();
  void printsOnDefaultPrinter();
};

void PrintReportTest::printsOnePageWithPictureAndNoHeaderOrFooter() {
  TestEnv env;
  QTemporaryDir dir;
  const QString page = WriteReport(dir.path(),
                                   "<center><h2> Basal Temperature (BBT) </h2>"
                                   "<img src=pic.jpg border=1></center>");
  const QString out = dir.path() + "/out.pdf";
  QPrinter printer(QPrinter::HighResolution);
  PdfPrinter(printer, out);
  QString error;
  QVERIFY2(PrintHtmlReport(page, printer, &error), qPrintable(error));
  QVERIFY(error.isEmpty());

  const QByteArray pdf = ReadAll(out);
  QVERIFY(pdf.startsWith("%PDF"));
  QCOMPARE(PdfPageCount(pdf), 1);
  // The picture beside the page was found and printed.
  QVERIFY(pdf.contains("/Subtype /Image"));
  QVERIFY(env.messages.isEmpty());
  QVERIFY(!QGuiApplication::overrideCursor());

  const QString text = PdfText(out);
  if (text.isNull()) QSKIP("pdftotext is not installed; the page text was not checked");
  // Only the page's own text: no title, address, date or page number around it.
  QCOMPARE(text.simplified(), QStringLiteral("Basal Temperature (BBT)"));
}

void PrintReportTest::longPageBreaksWithoutPageNumbers() {
  TestEnv env;
  QTemporaryDir dir;
  QString body;
  for (int i = 0; i < 150; ++i) body += QStringLiteral("<p>Line of the report</p>");
  const QString page = WriteReport(dir.path(), body, QSize());
  const QString out = dir.path() + "/long.pdf";
  QPrinter printer(QPrinter::HighResolution);
  PdfPrinter(printer, out);
  QString error;
  QVERIFY2(PrintHtmlReport(page, printer, &error), qPrintable(error));
  QVERIFY(PdfPageCount(ReadAll(out)) > 1);

  const QString text = PdfText(out);
  if (text.isNull()) QSKIP("pdftotext is not installed; the page text was not checked");
  QStringList lines = text.split(QRegularExpression("[\\n\\f]"), Qt::SkipEmptyParts);
  int reportLines = 0;
  for (const QString& l : lines) {
    if (l.trimmed().isEmpty()) continue;
    QCOMPARE(l.trimmed(), QStringLiteral("Line of the report"));
    ++reportLines;
  }
  QCOMPARE(reportLines, 150);
}

void PrintReportTest::widePictureIsShrunkOntoThePage() {
  // The basal picture is wider than the paper: the page is scaled down, not cut.
  TestEnv env;
  QTemporaryDir dir;
  const QString page = WriteReport(dir.path(),
                                   "<table><tr><td><img src=pic.jpg border=1></td>"
                                   "<td>Right</td></tr></table>",
                                   QSize(1400, 450));
  const QString out = dir.path() + "/wide.pdf";
  QPrinter printer(QPrinter::HighResolution);
  PdfPrinter(printer, out);
  QString error;
  QVERIFY2(PrintHtmlReport(page, printer, &error), qPrintable(error));
  QCOMPARE(PdfPageCount(ReadAll(out)), 1);

  const QString html = PdfText(out, {"-bbox"});
  if (html.isNull()) QSKIP("pdftotext is not installed; the layout was not checked");
  // <page width="612.000000" ...> and <word xMin=".." yMin=".." xMax=".." ...>Right</word>
  const auto pageWidth = QRegularExpression("<page width=\"([0-9.]+)\"").match(html);
  const auto word = QRegularExpression("xMax=\"([0-9.]+)\"[^>]*>Right<").match(html);
  QVERIFY2(pageWidth.hasMatch() && word.hasMatch(), qPrintable(html));
  QVERIFY(word.captured(1).toDouble() < pageWidth.captured(1).toDouble());
}

void PrintReportTest::unreadablePage_data() {
  QTest::addColumn<QString>("relative");
  QTest::newRow("missing") << "nothing.html";
  QTest::newRow("directory") << "folder.html";
  QTest::newRow("under a file") << "file.html/page.html";
}

void PrintReportTest::unreadablePage() {
  QFETCH(QString, relative);
  TestEnv env;
  QTemporaryDir dir;
  QDir(dir.path()).mkdir("folder.html");
  WriteTextLines(dir.path() + "/file.html", {"<html></html>"}, nullptr);
  const QString path = dir.path() + "/" + relative;
  const QString out = dir.path() + "/out.pdf";
  QPrinter printer(QPrinter::HighResolution);
  PdfPrinter(printer, out);
  QString error;
  QVERIFY(!PrintHtmlReport(path, printer, &error));
  QVERIFY2(error.startsWith("Cannot open file \"" + path + "\". "), qPrintable(error));
  QVERIFY(!QFile::exists(out));
  QVERIFY(!QGuiApplication::overrideCursor());
}

void PrintReportTest::printReportShowsUnreadablePage() {
  TestEnv env;
  QTemporaryDir dir;
  const QString path = dir.path() + "/Basal.html";
  QVERIFY(!PrintReport(path, PrintWait::Fixed));
  QCOMPARE(env.messages.size(), 1);
  QCOMPARE(env.messages[0].kind, MessageKind::Error);
  QVERIFY(env.messages[0].text.startsWith("Cannot open file \"" + path + "\". "));
}

void PrintReportTest::printReportWithoutDefaultPrinter() {
  if (!QPrinterInfo::defaultPrinter().isNull())
    QSKIP("A default printer is set up here; the no-printer message cannot be shown");
  TestEnv env;
  QTemporaryDir dir;
  const QString page = WriteReport(dir.path(), "<p>Report</p>");
  QVERIFY(!PrintReport(page, PrintWait::Complete));
  QCOMPARE(env.messages.size(), 1);
  QCOMPARE(env.messages[0].kind, MessageKind::Error);
  QVERIFY2(env.messages[0].text.startsWith("No default printer is set up."),
           qPrintable(env.messages[0].text));
}

void PrintReportTest::printsOnDefaultPrinter() {
  const QString lpstat = QStandardPaths::findExecutable("lpstat");
  QString answer;
  if (!lpstat.isEmpty()) {
    QProcess p;
    p.start(lpstat, {"-d"});
    if (p.waitForFinished(30000)) answer = QString::fromLocal8Bit(p.readAllStandardOutput());
  }
  if (!answer.contains("system default destination:"))
    QSKIP("lpstat -d reports no default printer here; printing on a real printer not tried");
  TestEnv env;
  QTemporaryDir dir;
  const QString page = WriteReport(dir.path(), "<p>Mavelo print test</p><img src=pic.jpg>");
  QVERIFY(PrintReport(page, PrintWait::Fixed));
  QVERIFY2(env.messages.isEmpty(), qPrintable(env.messageTexts().join('\n')));
}

QTEST_MAIN(PrintReportTest)
#include "test_printreport.moc"
