#include "cycle/widgets/journalview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "app/datafolders.h"
#include "app/widgets/fonts.h"
#include "app/widgets/labels.h"
#include "app/widgets/linklabel.h"
#include "app/widgets/messages.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "cycle/journal.h"

namespace {
constexpr int kAutoSaveMs = 1500;
}  // namespace

JournalView::JournalView(ViewHost* host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName(QStringLiteral("JournalPage"));
  auto* lay = new QVBoxLayout(this);
  lay->setContentsMargins(10, 8, 10, 10);
  auto* top = new QHBoxLayout;
  caption_ = MakeLabel(this, QStringLiteral("ui_calendar_day2"), QString(), ArialFont(19, true));
  top->addWidget(caption_, 1);
  LinkLabel* save = MakeLink(this, QStringLiteral("Label11"), QStringLiteral("save"));
  connect(save, &LinkLabel::clicked, this, &JournalView::SaveLink);
  top->addWidget(save);
  lay->addLayout(top);
  note_ = new QPlainTextEdit(this);
  note_->setObjectName(QStringLiteral("ui_note"));
  note_->setFont(ArialFont(16));
  note_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(255,255,232); }"));
  lay->addWidget(note_, 1);
  // What is typed reaches its file a moment after the typing stops, so a crash keeps it.
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  timer_->setInterval(kAutoSaveMs);
  connect(note_, &QPlainTextEdit::textChanged, this, [this] {
    if (note_->document()->isModified() && !note_->isReadOnly()) timer_->start();
  });
  connect(timer_, &QTimer::timeout, this, &JournalView::AutoSave);
}

bool JournalView::IsDayMarked(const QDate& date) const {
  return NoteExists(host_->Dir().NotesFolder(), date);
}

void JournalView::GridDayChanged(const QDate& date) {
  // Keep the note of the day left, then load the note of the new day. A note that cannot
  // be written stays in the memo under its own day, so nothing typed is lost; one that
  // cannot be read is shown empty and read-only, and one too large to edit is shown
  // read-only.
  if (!SaveCurrentNote()) return;
  caption_->setText(FormatDate(QStringLiteral("dddddd"), date));
  notePath_ = NoteFilePath(host_->Dir().NotesFolder(), date);
  MemoNote loaded;
  QString error;
  const bool read = LoadMemoNote(notePath_, &loaded, &error);
  note_->setReadOnly(!read || loaded.readOnly);
  note_->setPlainText(loaded.text);
  note_->document()->setModified(false);
  if (!read)
    ShowError(error, this);
  else if (loaded.readOnly)
    ShowError(ReadOnlyNotice(notePath_), this);
}

bool JournalView::SaveCurrentNote() {
  if (notePath_.isEmpty() || !note_->document()->isModified()) return true;
  return StoreMemo();
}

bool JournalView::StoreMemo() {
  QString error;
  if (!StoreNote(notePath_, note_->toPlainText(), &error)) {
    ShowError(error, this);
    return false;
  }
  note_->document()->setModified(false);
  host_->DayMarksChanged();
  return true;
}

void JournalView::AutoSave() {
  if (notePath_.isEmpty() || !note_->document()->isModified() || note_->isReadOnly()) return;
  if (!StoreNote(notePath_, note_->toPlainText(), nullptr)) return;
  note_->document()->setModified(false);
  host_->DayMarksChanged();
}

void JournalView::SaveLink() {
  if (notePath_.isEmpty() || note_->toPlainText().isEmpty() || !StoreMemo()) return;
  ShowMessage(QStringLiteral("Note saved"), this);
}
