#pragma once
// The journal: the note of the month grid's day, one file a day in the Notes folder.
// A note is written a moment after the typing stops, when the grid moves to another day,
// when the journal is left and at exit; a note that cannot be written stays in the memo
// under its own day until a later save can write it. The grid marks the days that have
// a note.

#include <QDate>
#include <QString>
#include <QWidget>

#include "app/dateview.h"

class QLabel;
class QPlainTextEdit;
class QTimer;

class JournalView : public QWidget, public DateView {
  Q_OBJECT
 public:
  explicit JournalView(ViewHost* host, QWidget* parent = nullptr);

  // DateView. The note follows the grid's day, not the date bar: on the journal's page
  // the grid follows the date bar, so both agree.
  void ShowDate(const QDate&) override {}
  void GridDayChanged(const QDate& date) override;
  void SaveOnLeave() override { SaveCurrentNote(); }
  DayMarkPicture MarkPicture() const override { return DayMarkPicture::Berry; }
  bool IsDayMarked(const QDate& date) const override;

 private:
  // An untouched memo needs no write; an emptied one removes the note file. False after
  // the error box.
  bool SaveCurrentNote();
  bool StoreMemo();
  // The quiet save a moment after typing; a failure is told at the next day change,
  // "save" or exit, which try again.
  void AutoSave();
  // The "save" link: writes the note and says so.
  void SaveLink();

  ViewHost* host_;
  QLabel* caption_ = nullptr;
  QPlainTextEdit* note_ = nullptr;
  QTimer* timer_ = nullptr;
  QString notePath_;  // the note file of the day in the memo; empty before the first day
};
