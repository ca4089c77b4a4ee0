#pragma once
// The basal view: a 33-day chart of waking temperatures on a fixed scale, with the
// fertility signs below it and a cycle-coloured date strip above. Records live in
// BasalChart; this class shows them, forwards clicks to it and saves after each change.

#include <QDate>
#include <QWidget>

#include "app/dateview.h"
#include "basal/basalchart.h"

class BasalGrid;
class LinkLabel;
class QMenu;
class QAction;
class QToolButton;

class BasalView : public QWidget, public DateView {
  Q_OBJECT

 public:
  explicit BasalView(ViewHost* host, QWidget* parent = nullptr);

  void ShowDate(const QDate& date) override;
  void RefreshCharts() override;
  bool HasLoaded() const override { return shown_; }
  QSize sizeHint() const override;

  QDate SelectedDate() const { return selected_; }
  const BasalChart& Chart() const { return chart_; }

  // The address behind "What is Basal Temperature?".
  static QString BasalInfoUrl();

 private:
  void BuildPage();
  void BuildWindow();
  void FillCycleDays();
  void FillSigns();
  void SelectColumnDate(int column);
  void ShowSignHint(const QString& hint);
  // The report, then the year file(s). Only once the view has been shown.
  void Save();
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
};
