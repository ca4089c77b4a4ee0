#include "app/widgets/printreport.h"

#include <QAbstractTextDocumentLayout>
#include <algorithm>
#include <QCursor>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <QImage>
#include <QPrinter>
#include <QLocale>
#include <QPageSize>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include "core/textfile.h"
#include "app/widgets/messages.h"

namespace {

// Layout happens at this resolution, so a picture's pixels count as they do in a browser.
constexpr int kLayoutDpi = 96;
// A browser's usual page margin, used when the printer gives none.
constexpr qreal kDefaultMarginMm = 15.0;

// Restores the normal cursor however printing ends.
class BusyCursor {
 public:
  BusyCursor() : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    if (active_) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  }
  ~BusyCursor() {
    if (active_) QGuiApplication::restoreOverrideCursor();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  const bool active_;
};

// QTextDocument gives the line before a picture that wraps onto a line of its own the
// picture's height, which leaves a tall empty band above it. An explicit line break before
// such a picture lays the page out as a browser does.
void BreakBeforeWrappedPictures(QTextDocument& doc) {
  QList<int> positions;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() < 2) continue;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || !fragment.charFormat().isImageFormat()) continue;
      const int at = fragment.position() - block.position();
      const QTextLine line = layout->lineForTextPosition(at);
      if (line.isValid() && line.lineNumber() > 0 && line.textStart() == at)
        positions << fragment.position();
    }
  }
  // From the end, so that the positions before stay where they are.
  for (auto i = positions.crbegin(); i != positions.crend(); ++i) {
    QTextCursor cursor(&doc);
    cursor.setPosition(*i);
    cursor.insertText(QString(QChar::LineSeparator));
  }
}

bool PrintPage(const QString& path, const QByteArray& bytes, QPrinter& printer,
               QString* error) {
  BusyCursor busy;
  const QString folder = QFileInfo(path).absolutePath() + QLatin1Char('/');

  // A fixed-resolution layout device: the document is measured in browser pixels and
  // print() scales it onto the printer.
  QImage layoutDevice(1, 1, QImage::Format_RGB32);
  const int dotsPerMeter = qRound(kLayoutDpi / 0.0254);
  layoutDevice.setDotsPerMeterX(dotsPerMeter);
  layoutDevice.setDotsPerMeterY(dotsPerMeter);

  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(&layoutDevice);
  // Pictures are named by bare file name and sit beside the page.
  doc.setBaseUrl(QUrl::fromLocalFile(folder));
  doc.setMetaInformation(QTextDocument::DocumentUrl,
                         QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
  // Break lines between words only, as a browser does, so that the widest word counts in
  // the width the page needs.
  QTextOption wrap = doc.defaultTextOption();
  wrap.setWrapMode(QTextOption::WordWrap);
  doc.setDefaultTextOption(wrap);
  doc.setHtml(DecodeText(bytes));

  const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
  if (margins.isNull())
    printer.setPageMargins(QMarginsF(kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm,
                                     kDefaultMarginMm),
                           QPageLayout::Millimeter);

  // Giving the document a page size makes print() lay out pages itself, which adds no
  // page number. A page wider than the paper is shrunk to fit, as a browser does.
  const QSizeF page = printer.pageRect(QPrinter::Inch).size() * kLayoutDpi;
  if (page.width() <= 0 || page.height() <= 0) {
    if (error)
      *error = QCoreApplication::translate("PrintReport", "The printer reports no page size.");
    return false;
  }
  doc.setPageSize(QSizeF(page.width(), 1e9));
  const qreal width = std::max(page.width(), doc.idealWidth());
  doc.setPageSize(page * (width / page.width()));
  BreakBeforeWrappedPictures(doc);

  doc.print(&printer);
  if (printer.printerState() == QPrinter::Error) {
    if (error)
      *error = QCoreApplication::translate("PrintReport", "The page \"%1\" could not be printed.")
                   .arg(QDir::toNativeSeparators(path));
    return false;
  }
  return true;
}

}  // namespace

bool PrintHtmlReport(const QString& path, QPrinter& printer, QString* error) {
  QByteArray bytes;
  if (!ReadFileBytes(path, &bytes, error)) return false;
  return PrintPage(path, bytes, printer, error);
}

bool PrintReport(const QString& path, PrintWait wait) {
  // The page and its pictures load synchronously, so both waits print the whole page.
  Q_UNUSED(wait);
  QByteArray bytes;
  QString error;
  if (!ReadFileBytes(path, &bytes, &error)) {
    ShowError(error);
    return false;
  }
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull() || info.printerName().isEmpty()) {
    ShowError(QCoreApplication::translate(
        "PrintReport",
        "No default printer is set up. Set up a default printer in the system's printer "
        "settings, then print again."));
    return false;
  }
  QPrinter printer(info, QPrinter::HighResolution);
  if (!PrintPage(path, bytes, printer, &error)) {
    ShowError(error);
    return false;
  }
  return true;
}

namespace {
PdfTargetChooser& Chooser() {
  static PdfTargetChooser chooser;
  return chooser;
}

QPageSize LocalePaper() {
  return QLocale().measurementSystem() == QLocale::ImperialUSSystem
             ? QPageSize(QPageSize::Letter)
             : QPageSize(QPageSize::A4);
}

const QString kPdfFolderKey = QStringLiteral("Reports/PdfFolder");
}  // namespace

void SetPdfTargetChooser(PdfTargetChooser chooser) { Chooser() = std::move(chooser); }

bool SaveHtmlReportAsPdf(const QString& htmlPath, const QString& pdfPath, QString* error) {
  QByteArray bytes;
  if (!ReadFileBytes(htmlPath, &bytes, error)) return false;
  QTemporaryDir scratch;
  if (!scratch.isValid()) {
    if (error)
      *error = CannotCreateMessage(pdfPath, QCoreApplication::translate(
                                                "PrintReport",
                                                "No temporary folder could be made (%1).")
                                                .arg(scratch.errorString()));
    return false;
  }
  const QString made = scratch.filePath(QStringLiteral("report.pdf"));
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(made);
    printer.setPageSize(LocalePaper());
    printer.setDocName(QFileInfo(pdfPath).completeBaseName());
    printer.setCreator(QStringLiteral("Mavelo"));
    if (!PrintPage(htmlPath, bytes, printer, error)) return false;
  }
  // The PDF writer does not report a short write (a full disk): a document is whole
  // only when it ends with its end-of-file mark.
  QByteArray pdf;
  QString readError;
  if (!ReadFileBytes(made, &pdf, &readError) || !pdf.startsWith("%PDF") ||
      !pdf.trimmed().endsWith("%%EOF")) {
    if (error)
      *error = CannotCreateMessage(
          pdfPath, QCoreApplication::translate(
                       "PrintReport",
                       "The PDF writer could not make the whole document (is the disk full?)."));
    return false;
  }
  return WriteFileBytes(pdfPath, pdf, error);
}

bool SaveReportAsPdf(const QString& htmlPath, const QString& suggestedName, QWidget* parent) {
  QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Mavelo"));
  QString folder = settings.value(kPdfFolderKey).toString();
  if (folder.isEmpty() || !QFileInfo(folder).isDir())
    folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  const QString suggested = QDir(folder).filePath(suggestedName);

  QString target;
  if (Chooser()) {
    target = Chooser()(suggested);
  } else {
    target = QFileDialog::getSaveFileName(
        parent, QCoreApplication::translate("PrintReport", "Save as PDF"), suggested,
        QCoreApplication::translate("PrintReport", "PDF documents (*.pdf)"));
  }
  if (target.isEmpty()) return false;
  if (QFileInfo(target).suffix().isEmpty()) target += QStringLiteral(".pdf");

  QString error;
  if (!SaveHtmlReportAsPdf(htmlPath, target, &error)) {
    ShowError(error, parent);
    return false;
  }
  settings.setValue(kPdfFolderKey, QFileInfo(target).absolutePath());
  ShowMessage(QCoreApplication::translate("PrintReport", "The report was saved as \"%1\".")
                  .arg(QDir::toNativeSeparators(target)),
              parent);
  return true;
}
