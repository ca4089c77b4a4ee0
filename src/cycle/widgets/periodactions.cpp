#include "cycle/widgets/periodactions.h"

#include <QAction>
#include <QWidget>

#include "app/dateview.h"
#include "app/widgets/messages.h"
#include "core/clock.h"
#include "cycle/cyclerecordstore.h"
#include "cycle/cyclestats.h"

PeriodActions::PeriodActions(ViewHost* host, std::function<QDate()> day, QWidget* parent)
    : QObject(parent), host_(host), day_(std::move(day)), parent_(parent) {
  start_ = new QAction(QStringLiteral("Period started on this day"), this);
  start_->setObjectName(QStringLiteral("PeriodStarted"));
  start_->setShortcut(QKeySequence(Qt::Key_P));
  start_->setShortcutContext(Qt::WidgetShortcut);
  connect(start_, &QAction::triggered, this, &PeriodActions::ToggleStart);
  undo_ = new QAction(QStringLiteral("Undo"), this);
  undo_->setObjectName(QStringLiteral("PeriodUndo"));
  undo_->setShortcut(QKeySequence::Undo);
  undo_->setShortcutContext(Qt::WidgetShortcut);
  connect(undo_, &QAction::triggered, this, &PeriodActions::UndoLast);
  Update();
}

void PeriodActions::AddTo(QWidget* widget) {
  widget->addAction(start_);
  widget->addAction(undo_);
}

void PeriodActions::Update() {
  CycleRecordStore* store = host_->CycleRecords();
  const QDate day = day_();
  start_->setEnabled(store && day.isValid());
  const bool recorded = store && store->History().HasStart(day);
  start_->setText(recorded ? QStringLiteral("Remove the period start of this day")
                           : QStringLiteral("Period started on this day"));
  undo_->setEnabled(store && store->CanUndo());
  undo_->setText(store && store->CanUndo() ? store->UndoText() : QStringLiteral("Undo"));
}

void PeriodActions::ToggleStart() {
  CycleRecordStore* store = host_->CycleRecords();
  const QDate day = day_();
  if (!store || !day.isValid()) return;
  QString error;
  bool ok = false;
  if (store->History().HasStart(day)) {
    ok = store->RemoveStart(day, &error);
  } else {
    const QDate today = Clock::Today();
    const QDate near = store->History().StartNear(day, kSamePeriodDays - 1);
    if (near.isValid()) {
      const qint64 apart = qAbs(near.daysTo(day));
      const QString question =
          QStringLiteral("A period start is already recorded on %1, %2 %3 %4. Two starts this "
                         "close are most likely one period.\n\nRecord a start on %5 all the same?")
              .arg(DayMonthText(near, today))
              .arg(apart)
              .arg(apart == 1 ? QStringLiteral("day") : QStringLiteral("days"))
              .arg(near < day ? QStringLiteral("before") : QStringLiteral("after"))
              .arg(DayMonthText(day, today));
      if (!AskYesNo(question, parent_)) return;
    }
    ok = store->AddDayStart(day, &error);
  }
  if (!ok) {
    ShowError(error, parent_);
    return;
  }
  Update();
  emit done();
}

void PeriodActions::UndoLast() {
  CycleRecordStore* store = host_->CycleRecords();
  if (!store || !store->CanUndo()) return;
  QString error;
  if (!store->Undo(&error)) ShowError(error, parent_);
  Update();
  emit done();
}
