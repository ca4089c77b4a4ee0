#pragma once
// The footer under the calendar's pages: the colour legend of the month grid and the
// cycle settings she changes most (goal, last period, cycle and luteal lengths). It
// shows settings and tells when she changed one; the window keeps and saves them.

#include <QWidget>

#include "core/cyclemodel.h"

class QComboBox;
class QDateEdit;
class QSpinBox;

class FooterBar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHeight = 55;
  explicit FooterBar(QWidget* parent = nullptr);

  // The legend's colours and pictures, as the theme and the month grid draw them now.
  void FillLegend();
  // Shows the settings without telling of a change. The controls clamp what they show;
  // the settings as shown are returned.
  CycleSettings Show(const CycleSettings& settings);
  // The settings as the controls show them.
  CycleSettings Shown() const;
  // Sets the lengths without telling of a change (0 keeps a length).
  void SetLengths(int cycleLength, int lutealLength);
  // A stored last period that could not be read: the picker is framed in red and its
  // tip says what was found, until she picks a date. Empty: readable.
  void MarkLastPeriodUnreadable(const QString& unreadable);

 signals:
  void goalChanged();
  void lastPeriodChanged();
  // The picker lost the focus or took Return after typing.
  void lastPeriodEditFinished();
  void lengthsChanged();

 private:
  QComboBox* goal_ = nullptr;
  QDateEdit* lastPeriod_ = nullptr;
  QSpinBox* cycle_ = nullptr;
  QSpinBox* luteal_ = nullptr;
};
