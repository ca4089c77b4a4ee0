#pragma once
// Printing an HTML report of the Build folder: the page and its pictures are laid out
// by QTextDocument and printed on the default printer with no dialog and no page header
// or footer.

#include <QString>

class QPrinter;

// Complete: the calendar report; Fixed: the basal and to-do reports. The page and its
// pictures load synchronously here, so both print the complete page.
enum class PrintWait { Complete, Fixed };

// Prints on QPrinterInfo::defaultPrinter(). No default printer, or a page that cannot be
// read, shows the application's error box and returns false.
bool PrintReport(const QString& path, PrintWait wait);

// The one printing path, onto any printer (tests print to a PDF file through it).
// False with *error (the user's message) when the page cannot be read or printed.
bool PrintHtmlReport(const QString& path, QPrinter& printer, QString* error);
