#pragma once
// "My cycles": what the program learns from her own records. The cycle table (start,
// length, the ovulation day found from her temperatures and the luteal length after it),
// the figures with what was left out of them and why, the next three periods with their
// windows, the pauses she marks (pregnancy, breast-feeding, a gap in recording), a chart
// of her cycle lengths over time, and "Use my average", which sets the footer's cycle
// length (and the luteal phase, where her temperatures give it). It shows the shared
// cycle records (cycle/cyclerecordstore.h) and changes them only through their actions.

#include <QWidget>

#include "app/dateview.h"

class QChartView;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class CycleReading;

class CyclesView : public QWidget, public DateView {
  Q_OBJECT
 public:
  explicit CyclesView(ViewHost* host, QWidget* parent = nullptr);

  // DateView
  void ShowDate(const QDate& date) override;
  void StartView(const QDate& firstDate) override;
  QWidget* FirstInput() override;

 private:
  void Build();
  // Everything from the reading as it is now.
  void Fill();
  void FillTable(const CycleReading& r);
  void FillFigures(const CycleReading& r);
  void FillChart(const CycleReading& r);
  void FillPauses();
  void UseAverage();
  void AddPause();
  void RemovePause();

  ViewHost* host_;
  bool shown_ = false;
  bool stale_ = true;

  QTableWidget* table_ = nullptr;
  QChartView* chart_ = nullptr;
  QLabel* figures_ = nullptr;
  QLabel* leftOut_ = nullptr;
  QLabel* next_ = nullptr;
  QPushButton* useAverage_ = nullptr;
  QLabel* averageNote_ = nullptr;
  QListWidget* pauses_ = nullptr;
  QComboBox* pauseKind_ = nullptr;
  QDateEdit* pauseFrom_ = nullptr;
  QDateEdit* pauseUntil_ = nullptr;
  QCheckBox* pauseOpen_ = nullptr;
  QPushButton* addPause_ = nullptr;
  QPushButton* removePause_ = nullptr;
  int averageCycle_ = 0;
  int averageLuteal_ = 0;
};
