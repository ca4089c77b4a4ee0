#pragma once
// Tools > Report for my doctor...: asks for the period (the last 30 days, 90 days, a
// year, or two dates) and her name, then writes the report and shows it in the browser,
// prints it, or saves it as a PDF. The dialog stays open for the next action.

#include <QDialog>
#include <functional>

#include "trackers/doctorreport.h"

class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;

class DoctorReportDialog : public QDialog {
  Q_OBJECT
 public:
  // write: writes the report of the period with the name at its top and gives the page's
  // path, or an empty text when it could not be written (the writer has told her).
  using Writer = std::function<QString(const ReportPeriod& period, const QString& name)>;
  DoctorReportDialog(Writer write, const QDate& today, QWidget* parent = nullptr);

  // The period chosen; invalid dates when "From ... to" holds a start after its end.
  ReportPeriod Period() const;

  // The three actions (also driven by tests). Each writes the report first.
  void ViewClick();
  void PrintClick();
  void SavePdfClick();

 private:
  // The page written for the chosen period, or empty (she has been told why).
  QString WritePage();
  void UpdateDates();

  Writer write_;
  QDate today_;
  QLineEdit* name_ = nullptr;
  QRadioButton* days30_ = nullptr;
  QRadioButton* days90_ = nullptr;
  QRadioButton* year_ = nullptr;
  QRadioButton* between_ = nullptr;
  QDateEdit* from_ = nullptr;
  QDateEdit* to_ = nullptr;
};
