#include "app/widgets/datefield.h"

#include <QDateTimeEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

namespace {

class SectionTyping : public QObject {
 public:
  explicit SectionTyping(QDateTimeEdit* edit)
      : QObject(edit), edit_(edit), line_(edit->findChild<QLineEdit*>()) {
    edit->installEventFilter(this);
    if (line_) line_->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::FocusIn:
        if (watched == edit_) Restart();
        break;
      case QEvent::MouseButtonRelease:
        if (watched == line_) {
          Restart();
          // Once the click has moved the cursor: the section it landed in is chosen.
          QTimer::singleShot(0, edit_, [edit = edit_, line = line_] {
            if (edit->hasFocus() && line && !line->hasSelectedText())
              edit->setSelectedSection(edit->currentSection());
          });
        }
        break;
      case QEvent::KeyPress:
        if (watched == edit_) return Key(static_cast<QKeyEvent*>(event));
        break;
      default:
        break;
    }
    return false;
  }

 private:
  void Restart() {
    fresh_ = true;
    monthDigits_ = 0;
  }

  bool MonthByName() const {
    return edit_->currentSection() == QDateTimeEdit::MonthSection &&
           edit_->displayFormat().contains(QLatin1String("MMM"));
  }

  bool Key(QKeyEvent* e) {
    const QString text = e->text();
    const bool digit = text.size() == 1 && text.at(0).isDigit() &&
                       !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!digit) {
      // Any other key (an arrow, Tab, Backspace) moves or edits: the next digit starts anew.
      switch (e->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
          break;
        default:
          Restart();
      }
      return false;
    }
    const int d = text.at(0).digitValue();
    if (MonthByName()) {
      // "1" waits for a second digit that may make 10, 11 or 12.
      int month = fresh_ || monthDigits_ == 0 ? d : monthDigits_ * 10 + d;
      if (month > 12) month = d;
      fresh_ = false;
      monthDigits_ = month == 1 ? 1 : 0;
      if (month >= 1 && month <= 12) {
        const QDate date = edit_->date();
        const QDate first(date.year(), month, 1);
        edit_->setDate(QDate(date.year(), month, std::min(date.day(), first.daysInMonth())));
        edit_->setSelectedSection(QDateTimeEdit::MonthSection);
      }
      return true;
    }
    if (fresh_ && line_ && !line_->hasSelectedText())
      edit_->setSelectedSection(edit_->currentSection());
    fresh_ = false;
    return false;
  }

  QDateTimeEdit* edit_;
  QLineEdit* line_;
  bool fresh_ = true;
  int monthDigits_ = 0;
};

}  // namespace

void TypeDigitsIntoSections(QDateTimeEdit* edit) {
  if (edit) new SectionTyping(edit);
}
