#pragma once
// The links of a report page: "View Report" (the page in the browser), "Print Report"
// (on the default printer) and "Save as PDF..." (printreport.h), each of which first
// writes the report afresh. One row for every tracker that has a report, and the one
// "Save as PDF..." link for the pages that had their own report links before.

#include <QString>
#include <QWidget>
#include <functional>

class LinkLabel;

// Writes the report and gives the page's path; an empty text when it could not be
// written (the writer has told the user).
using ReportWriter = std::function<QString()>;

// "Save as PDF..." (object name ui_save_pdf_link): writes the report, then asks where to
// save it as a PDF (suggestedName, for example "Weight report.pdf").
LinkLabel* MakeSavePdfLink(QWidget* parent, ReportWriter write, const QString& suggestedName);

class ReportBar : public QWidget {
  Q_OBJECT
 public:
  // The three links side by side, or one under the other.
  ReportBar(ReportWriter write, const QString& pdfName, QWidget* parent = nullptr,
            Qt::Orientation orientation = Qt::Horizontal);

  LinkLabel* ViewLink() const { return view_; }
  LinkLabel* PrintLink() const { return print_; }
  LinkLabel* PdfLink() const { return pdf_; }

 private:
  ReportWriter write_;
  LinkLabel* view_ = nullptr;
  LinkLabel* print_ = nullptr;
  LinkLabel* pdf_ = nullptr;
};
