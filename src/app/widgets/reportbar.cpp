#include "app/widgets/reportbar.h"

#include <QHBoxLayout>

#include "app/datafolders.h"
#include "app/widgets/labels.h"
#include "app/widgets/linklabel.h"
#include "app/widgets/printreport.h"

LinkLabel* MakeSavePdfLink(QWidget* parent, ReportWriter write, const QString& suggestedName) {
  LinkLabel* link =
      MakeLink(parent, QStringLiteral("ui_save_pdf_link"), QStringLiteral("Save as PDF..."));
  link->setToolTip(QStringLiteral("Save this report as a PDF document"));
  QObject::connect(link, &LinkLabel::clicked, parent, [write, suggestedName, link] {
    const QString page = write();
    if (!page.isEmpty()) SaveReportAsPdf(page, suggestedName, link->window());
  });
  return link;
}

ReportBar::ReportBar(ReportWriter write, const QString& pdfName, QWidget* parent)
    : QWidget(parent), write_(std::move(write)) {
  setObjectName(QStringLiteral("ReportBar"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(12);
  view_ = MakeLink(this, QStringLiteral("ui_view_report_link"), QStringLiteral("View Report"));
  print_ = MakeLink(this, QStringLiteral("ui_print_report_link"), QStringLiteral("Print Report"));
  pdf_ = MakeSavePdfLink(this, write_, pdfName);
  row->addWidget(view_);
  row->addWidget(print_);
  row->addWidget(pdf_);
  connect(view_, &LinkLabel::clicked, this, [this] {
    const QString page = write_();
    if (!page.isEmpty()) OpenDocument(page);
  });
  connect(print_, &LinkLabel::clicked, this, [this] {
    const QString page = write_();
    if (!page.isEmpty()) PrintReport(page, PrintWait::Complete);
  });
}
