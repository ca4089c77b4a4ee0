#pragma once
// Printing an HTML report of the Build folder: the page and its pictures are laid out
// by QTextDocument and printed on the default printer with no dialog and no page header
// or footer.

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

// Complete: the calendar report; Fixed: the basal and to-do reports. The page and its
// pictures load synchronously here, so both print the complete page.
enum class PrintWait { Complete, Fixed };

// Prints on QPrinterInfo::defaultPrinter(). No default printer, or a page that cannot be
// read, shows the application's error box and returns false.
bool PrintReport(const QString& path, PrintWait wait);

// The one printing path, onto any printer (tests print to a PDF file through it).
// False with *error (the user's message) when the page cannot be read or printed.
bool PrintHtmlReport(const QString& path, QPrinter& printer, QString* error);

// "Save as PDF": the same page and pictures written by Qt's PDF writer into pdfPath,
// on the paper of the locale (Letter in the US, A4 elsewhere). The PDF is made in a
// temporary folder and then written whole through the file layer, so a target that
// cannot be written (a read-only folder, a full disk) leaves an old PDF there as it was.
// False with *error (the user's message) when the page cannot be read or the PDF cannot
// be made or written.
bool SaveHtmlReportAsPdf(const QString& htmlPath, const QString& pdfPath, QString* error);

// The "Save as PDF..." action of every report page: asks for the target file (the
// suggested name in the last folder used, else the documents folder), then
// SaveHtmlReportAsPdf; a failure shows the error box, a success says where it went.
// False when cancelled or failed.
bool SaveReportAsPdf(const QString& htmlPath, const QString& suggestedName,
                     QWidget* parent = nullptr);

// Tests: the file dialog of SaveReportAsPdf is replaced by this chooser (given the
// suggested path, it returns the target, or an empty text to cancel). {} restores it.
using PdfTargetChooser = std::function<QString(const QString& suggestedPath)>;
void SetPdfTargetChooser(PdfTargetChooser chooser);
