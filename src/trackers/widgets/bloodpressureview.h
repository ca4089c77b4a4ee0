#pragma once
// The blood-pressure tracker: a table of readings (date, time taken, systolic,
// diastolic, pulse), newest first, kept in one file per year (the shown date's year);
// the categories of blood pressure with the newest reading marked; a graph of the
// readings. Records live in PressureReadings; this class shows and edits them.

#include <QDate>
#include <QSet>
#include <QWidget>

#include "app/dateview.h"
#include "trackers/pressurereadings.h"

class PressureTableModel;
class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QTabWidget;
class QTableView;
class QValueAxis;
class ReadingsTable;

class BloodPressureView : public QWidget, public DateView {
  Q_OBJECT
 public:
  explicit BloodPressureView(ViewHost* host, QWidget* parent = nullptr);
  ~BloodPressureView() override;

  // DateView
  void ShowDate(const QDate& date) override;
  bool HasLoaded() const override { return opened_; }
  void StartView(const QDate& firstDate) override { OpenReadings(firstDate); }
  // A reading typed just before the view is left or the program ends is kept.
  void SaveOnLeave() override { SaveReadings(); }

  // Opens the readings file of the year of `date`; ShowDate of a date in another year
  // opens that year's file.
  void OpenReadings(const QDate& date);
  // Writes the table when it holds changes not written yet (an open cell editor is
  // committed first). False when the write failed (the user has been told).
  bool SaveReadings();
  void ShowPressureGraph();
  // The category picture with the newest reading marked.
  void ShowScore();

  void SpeedButton1Click();  // add a reading
  void SpeedButton2Click();  // delete the selected reading
  void PGChange(int index);

  const PressureReadings& Readings() const { return readings_; }
  QDate ShownDate() const { return date_; }
  bool Unsaved() const { return unsaved_; }

 private:
  QWidget* BuildTablePage();
  QWidget* BuildScorePage();
  QWidget* BuildGraphPage();
  void FocusChanged(QWidget* old, QWidget* now);
  bool InTable(const QWidget* w) const;
  bool SaveReporting(bool always);

  ViewHost* host_;
  PressureReadings readings_;
  PressureTableModel* model_ = nullptr;
  QDate date_;
  bool opened_ = false;
  bool unsaved_ = false;
  QSet<QString> reported_;

  QLabel* lblDate_ = nullptr;
  QLabel* lblYear_ = nullptr;
  QLabel* notReadings_ = nullptr;
  QTabWidget* pg_ = nullptr;
  ReadingsTable* table_ = nullptr;
  QLabel* score_ = nullptr;
  QChartView* graphView_ = nullptr;
  QLineSeries* systolic_ = nullptr;
  QLineSeries* diastolic_ = nullptr;
  QLineSeries* pulse_ = nullptr;
  QValueAxis* graphX_ = nullptr;
  QValueAxis* graphY_ = nullptr;
};
