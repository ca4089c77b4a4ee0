#pragma once
// The basal view: a 33-day chart of waking temperatures on a fixed scale, with the
// fertility signs below it and a cycle-coloured date strip above. Records live in
// BasalChart; this class shows them, forwards clicks to it and saves after each change.
// Below the signs, the selected day's precise waking temperature in her unit and whether
// the reading was disturbed; over the level grid, on demand, the line chart of the
// selected day's cycle as her signs read it. Each save hands the changed days to the
// shared cycle records, so nothing reads the basal files again.

#include <QDate>
#include <QWidget>

#include "app/dateview.h"
#include "basal/basalchart.h"

class BasalCycleChart;
class BasalGrid;
class LinkLabel;
class PeriodActions;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

class BasalView : public QWidget, public DateView {
  Q_OBJECT

 public:
  explicit BasalView(ViewHost* host, QWidget* parent = nullptr);

  void ShowDate(const QDate& date) override;
  void RefreshCharts() override;
  bool HasLoaded() const override { return shown_; }
  QSize sizeHint() const override;

  void SaveBeforeDateChange() override;
  void SaveOnLeave() override;

  QDate SelectedDate() const { return selected_; }
  const BasalChart& Chart() const { return chart_; }
  const BasalCycleChart* LineChart() const { return cycleChart_; }
  PeriodActions* Actions() const { return actions_; }

  // The address behind "What is Basal Temperature?".
  static QString BasalInfoUrl();

 private:
  void BuildPage();
  void BuildWindow();
  void FillCycleDays();
  void FillSigns();
  void SelectColumnDate(int column);
  void ShowSignHint(const QString& hint);
  // The report, then the year file(s). Only once the view has been shown. False when a
  // year file could not be written.
  bool Save();
  // The day fields below the signs: the selected day's reading and its disturbed mark.
  void BuildDayFields();
  void FillDayFields();
  // What was typed in the temperature field, for the day it was filled for.
  void CommitTemperature();
  void OnDisturbanceChosen(int index);
  void ShowFieldMessage(const QString& text, bool error);
  // The held years reach the shared cycle records, which rebuild the reading from them.
  void HandOverDays();
  void RefreshCycleChart();
  TemperatureUnit Unit() const;
  bool WriteReport();
  QString ReportPath() const;

  // Event handlers.
  void Basal_ChartSelectCell(int col, int row);
  void ClearCurrentDay();
  void Sex_ChartMouseUp(int col, int row);
  void Sex_ChartMouseMove(int col, int row);
  void Sex_ChartSelectCell(int col, int row);
  void SpeedButton7Click();
  void SpeedButton5Click();
  void Label5Click();

  // Painting.
  void PaintBasalCell(QPainter& p, const QRect& rect, int col, int row) const;
  void PaintSexCell(QPainter& p, const QRect& rect, int col, int row) const;
  void PaintDateCell(QPainter& p, const QRect& rect, int col, int row) const;

  ViewHost* host_;
  BasalChart chart_;
  QDate selected_;
  bool shown_ = false;

  QWidget* panel_ = nullptr;
  BasalGrid* dateChart_ = nullptr;
  BasalGrid* basalChart_ = nullptr;
  BasalGrid* sexChart_ = nullptr;
  QMenu* popup_ = nullptr;
  QAction* clearColumn_ = nullptr;
  LinkLabel* link_ = nullptr;
  QToolButton* report_ = nullptr;
  QToolButton* print_ = nullptr;

  QLabel* fieldLabel_ = nullptr;
  QLineEdit* temperature_ = nullptr;
  QPushButton* setTemperature_ = nullptr;
  QComboBox* disturbed_ = nullptr;
  QLabel* message_ = nullptr;
  QToolButton* chartToggle_ = nullptr;
  BasalCycleChart* cycleChart_ = nullptr;
  PeriodActions* actions_ = nullptr;
  QDate fieldDate_;   // the day the fields were filled for
  QString fieldText_; // the text the temperature field was filled with
  bool committing_ = false;
  bool daysChanged_ = false;  // a record changed since the days were last handed over
};
