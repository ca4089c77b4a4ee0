#pragma once
// "Alarm Set": the time of a new alarm entry and how often it rings (daily, on chosen
// weekdays, or on one date). Both pickers start at the current date and time.

#include <QDateTime>
#include <QDialog>

#include "sleep/alarmentry.h"

class QCheckBox;
class QDateEdit;
class QDateTimeEdit;
class QRadioButton;

class AlarmSetDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AlarmSetDialog(QWidget* parent = nullptr);

  // The picked date-time: the day the entry is made and the chosen hour and minute.
  QDateTime Time() const;
  AlarmFrequency Frequency() const;
  WeekdaySet Weekdays() const;
  QDate FixedDate() const;

 private:
  void FrequencyClick();

  QDateTimeEdit* time_ = nullptr;
  QRadioButton* daily_ = nullptr;
  QRadioButton* weekly_ = nullptr;
  QRadioButton* fixedDate_ = nullptr;
  QCheckBox* days_[7] = {};
  QDateEdit* date_ = nullptr;
};
