#include "app/widgets/reportbar.h"

#include <QBoxLayout>

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

ReportBar::ReportBar(ReportWriter write, const QString& pdfName, QWidget* parent,
                     Qt::Orientation orientation)
    : QWidget(parent), write_(std::move(write)) {
  setObjectName(QStringLiteral("ReportBar"));
  auto* row = new QBoxLayout(
      orientation == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this);
  row->setContentsMargins(4, 2, 4, 2);
  row->setSpacing(orientation == Qt::Horizontal ? 12 : 4);
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
