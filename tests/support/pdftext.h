#pragma once
// The text of a PDF as poppler's pdftotext reads it (-layout), for tests of the PDFs the
// program writes.

#include <QString>

// A null string when pdftotext is not installed or cannot read the file.
QString PdfText(const QString& pdfPath);
