#include "shell/doctorreportdialog.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/datafolders.h"
#include "app/widgets/messages.h"
#include "app/widgets/printreport.h"
#include "shell/doctorreportcommand.h"

namespace {
constexpr int kYearDays = 365;
}

DoctorReportDialog::DoctorReportDialog(Writer write, const QDate& today, QWidget* parent)
    : QDialog(parent), write_(std::move(write)), today_(today) {
  setObjectName(QStringLiteral("DoctorReportDialog"));
  setWindowTitle(QStringLiteral("Report for my doctor"));
  auto* v = new QVBoxLayout(this);

  auto* intro = new QLabel(QStringLiteral(
      "One page for your doctor: your health records, the blood pressure, weight and BMI "
      "of the period, and your cycle summary. Nothing is changed in your records."),
      this);
  intro->setWordWrap(true);
  v->addWidget(intro);

  auto* form = new QFormLayout;
  name_ = new QLineEdit(DoctorReportName(), this);
  name_->setObjectName(QStringLiteral("DoctorReportName"));
  name_->setPlaceholderText(QStringLiteral("Your name (optional)"));
  form->addRow(QStringLiteral("&Name:"), name_);
  v->addLayout(form);

  auto* box = new QGroupBox(QStringLiteral("Period"), this);
  auto* bv = new QVBoxLayout(box);
  days30_ = new QRadioButton(QStringLiteral("The last &30 days"), box);
  days90_ = new QRadioButton(QStringLiteral("The last &90 days"), box);
  year_ = new QRadioButton(QStringLiteral("The last &year"), box);
  between_ = new QRadioButton(QStringLiteral("&From"), box);
  days30_->setObjectName(QStringLiteral("Period30"));
  days90_->setObjectName(QStringLiteral("Period90"));
  year_->setObjectName(QStringLiteral("PeriodYear"));
  between_->setObjectName(QStringLiteral("PeriodDates"));
  auto* group = new QButtonGroup(this);
  for (QRadioButton* b : {days30_, days90_, year_, between_}) group->addButton(b);
  days90_->setChecked(true);
  bv->addWidget(days30_);
  bv->addWidget(days90_);
  bv->addWidget(year_);
  auto* datesRow = new QHBoxLayout;
  datesRow->addWidget(between_);
  auto makeDate = [box](const QString& name, const QDate& date) {
    auto* e = new QDateEdit(date, box);
    e->setObjectName(name);
    e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    e->setCalendarPopup(true);
    return e;
  };
  from_ = makeDate(QStringLiteral("PeriodFrom"), today.addDays(-(kDoctorReportDefaultDays - 1)));
  to_ = makeDate(QStringLiteral("PeriodTo"), today);
  datesRow->addWidget(from_);
  auto* toLabel = new QLabel(QStringLiteral("&to"), box);
  toLabel->setBuddy(to_);
  datesRow->addWidget(toLabel);
  datesRow->addWidget(to_);
  datesRow->addStretch(1);
  bv->addLayout(datesRow);
  v->addWidget(box);

  auto* buttons = new QDialogButtonBox(this);
  auto* view = buttons->addButton(QStringLiteral("&View Report"), QDialogButtonBox::ActionRole);
  auto* print = buttons->addButton(QStringLiteral("&Print"), QDialogButtonBox::ActionRole);
  auto* pdf = buttons->addButton(QStringLiteral("&Save as PDF..."), QDialogButtonBox::ActionRole);
  auto* close = buttons->addButton(QDialogButtonBox::Close);
  view->setObjectName(QStringLiteral("DoctorReportView"));
  print->setObjectName(QStringLiteral("DoctorReportPrint"));
  pdf->setObjectName(QStringLiteral("DoctorReportPdf"));
  view->setDefault(true);
  v->addWidget(buttons);

  connect(view, &QPushButton::clicked, this, &DoctorReportDialog::ViewClick);
  connect(print, &QPushButton::clicked, this, &DoctorReportDialog::PrintClick);
  connect(pdf, &QPushButton::clicked, this, &DoctorReportDialog::SavePdfClick);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(group, &QButtonGroup::buttonToggled, this, [this] { UpdateDates(); });
  UpdateDates();
}

void DoctorReportDialog::UpdateDates() {
  from_->setEnabled(between_->isChecked());
  to_->setEnabled(between_->isChecked());
}

ReportPeriod DoctorReportDialog::Period() const {
  if (days30_->isChecked()) return LastDays(30, today_);
  if (year_->isChecked()) return LastDays(kYearDays, today_);
  if (between_->isChecked()) {
    if (from_->date() > to_->date()) return {};
    return {from_->date(), to_->date()};
  }
  return LastDays(kDoctorReportDefaultDays, today_);
}

QString DoctorReportDialog::WritePage() {
  const ReportPeriod period = Period();
  if (!period.first.isValid()) {
    ShowError(QStringLiteral("The period starts after it ends. Choose a \"From\" date on or "
                             "before the \"to\" date."),
              this);
    from_->setFocus();
    return {};
  }
  RememberDoctorReportName(name_->text().trimmed());
  return write_(period, name_->text().trimmed());
}

void DoctorReportDialog::ViewClick() {
  const QString page = WritePage();
  if (!page.isEmpty()) OpenDocument(page);
}

void DoctorReportDialog::PrintClick() {
  const QString page = WritePage();
  if (!page.isEmpty()) PrintReport(page, PrintWait::Complete);
}

void DoctorReportDialog::SavePdfClick() {
  const QString page = WritePage();
  if (page.isEmpty()) return;
  const ReportPeriod period = Period();
  SaveReportAsPdf(page,
                  QStringLiteral("Health report %1 to %2.pdf")
                      .arg(period.first.toString(Qt::ISODate), period.last.toString(Qt::ISODate)),
                  this);
}
