#include "sleep/widgets/alarmsetdialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/widgets/datefield.h"
#include "core/clock.h"
#include "core/textutil.h"

AlarmSetDialog::AlarmSetDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AlarmSet_Form"));
  setWindowTitle(QStringLiteral("Alarm Set"));
  setModal(true);

  const QDateTime now = Clock::Now();
  auto* layout = new QVBoxLayout(this);

  auto* timeBox = new QGroupBox(QStringLiteral("Alarm Time"), this);
  auto* timeLayout = new QHBoxLayout(timeBox);
  time_ = new QDateTimeEdit(now, timeBox);
  TypeDigitsIntoSections(time_);
  time_->setObjectName(QStringLiteral("Bed_Time"));
  // hh:mm with the morning or afternoon designator.
  time_->setDisplayFormat(QStringLiteral("hh:mm AP"));
  time_->setCurrentSection(QDateTimeEdit::HourSection);
  timeLayout->addWidget(time_);
  timeLayout->addStretch();
  layout->addWidget(timeBox);

  auto* freqBox = new QGroupBox(QStringLiteral("Frequency"), this);
  auto* freqLayout = new QGridLayout(freqBox);
  daily_ = new QRadioButton(QStringLiteral("Daily"), freqBox);
  daily_->setObjectName(QStringLiteral("Daily"));
  weekly_ = new QRadioButton(QStringLiteral("Weekly"), freqBox);
  weekly_->setObjectName(QStringLiteral("Weekly"));
  fixedDate_ = new QRadioButton(QStringLiteral("Fixed Date"), freqBox);
  fixedDate_->setObjectName(QStringLiteral("FixedDate"));
  daily_->setChecked(true);
  freqLayout->addWidget(daily_, 0, 0);
  freqLayout->addWidget(weekly_, 1, 0);
  auto* dayRow = new QHBoxLayout;
  for (int w = 1; w <= 7; ++w) {
    auto* box = new QCheckBox(WeekdayName(w), freqBox);
    box->setObjectName(WeekdayName(w));
    days_[w - 1] = box;
    dayRow->addWidget(box);
  }
  dayRow->addStretch();
  freqLayout->addLayout(dayRow, 1, 1);
  freqLayout->addWidget(fixedDate_, 2, 0);
  date_ = new QDateEdit(now.date(), freqBox);
  TypeDigitsIntoSections(date_);
  date_->setObjectName(QStringLiteral("Date_Picker"));
  date_->setCalendarPopup(true);
  date_->setDisplayFormat(ShortDatePattern());
  freqLayout->addWidget(date_, 2, 1, Qt::AlignLeft);
  layout->addWidget(freqBox);

  for (QRadioButton* b : {daily_, weekly_, fixedDate_})
    connect(b, &QRadioButton::toggled, this, [this](bool on) {
      if (on) FrequencyClick();
    });
  FrequencyClick();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  time_->setFocus();
}

void AlarmSetDialog::FrequencyClick() {
  // Ticks in disabled boxes are kept; they count only while "Weekly" is chosen.
  const bool weekly = weekly_->isChecked();
  for (QCheckBox* box : days_) box->setEnabled(weekly);
}

QDateTime AlarmSetDialog::Time() const {
  const QDateTime t = time_->dateTime();
  return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute()));
}

AlarmFrequency AlarmSetDialog::Frequency() const {
  if (weekly_->isChecked()) return AlarmFrequency::Weekly;
  if (fixedDate_->isChecked()) return AlarmFrequency::FixedDate;
  return AlarmFrequency::Daily;
}

WeekdaySet AlarmSetDialog::Weekdays() const {
  WeekdaySet set = 0;
  for (int w = 1; w <= 7; ++w)
    if (days_[w - 1]->isChecked()) set |= WeekdayBit(w);
  return set;
}

QDate AlarmSetDialog::FixedDate() const { return date_->date(); }
