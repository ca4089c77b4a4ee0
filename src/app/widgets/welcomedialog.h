#pragma once
// The first start's welcome: a few questions with sensible answers filled in (see
// app/welcome.h). "Start" takes the answers; closing it keeps the proposed ones but the
// start at login, which stays off.

#include <QDialog>
#include <functional>
#include <optional>

#include "app/welcome.h"

class QCheckBox;
class QDateEdit;
class QRadioButton;
class QSpinBox;

class WelcomeDialog : public QDialog {
  Q_OBJECT
 public:
  explicit WelcomeDialog(const WelcomeAnswers& proposed, QWidget* parent = nullptr);
  WelcomeAnswers Answers() const;

 private:
  QDateEdit* lastPeriod_ = nullptr;
  QSpinBox* cycle_ = nullptr;
  QRadioButton* kilograms_ = nullptr;
  QRadioButton* celsius_ = nullptr;
  QCheckBox* login_ = nullptr;
};

// Tests answer the welcome instead of a user: the handler gets the proposed answers and
// returns hers, or nullopt when she closed it. Without a handler the dialog is shown.
using WelcomeHandler = std::function<std::optional<WelcomeAnswers>(const WelcomeAnswers&)>;
void SetWelcomeHandler(WelcomeHandler handler);
// Shows the welcome over parent without blocking it; done gets her answers (nullopt:
// closed). With a handler set, done is called at once.
void AskWelcome(const WelcomeAnswers& proposed, QWidget* parent,
                std::function<void(const std::optional<WelcomeAnswers>&)> done);
