#include "app/widgets/welcomedialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/config.h"
#include "app/widgets/datefield.h"

namespace {
WelcomeHandler& Handler() {
  static WelcomeHandler handler;
  return handler;
}

// Two choices in a row, the second checked when `second`.
QWidget* Choice(QRadioButton** first, QRadioButton** secondButton, const QString& a,
                const QString& b, bool second, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  auto* one = new QRadioButton(a, box);
  auto* two = new QRadioButton(b, box);
  auto* group = new QButtonGroup(box);
  group->addButton(one);
  group->addButton(two);
  (second ? two : one)->setChecked(true);
  row->addWidget(one);
  row->addWidget(two);
  row->addStretch();
  if (first) *first = one;
  *secondButton = two;
  return box;
}
}  // namespace

WelcomeDialog::WelcomeDialog(const WelcomeAnswers& proposed, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Welcome"));
  setWindowTitle(QStringLiteral("Welcome to Mavelo"));
  auto* lay = new QVBoxLayout(this);
  auto* intro = new QLabel(
      QStringLiteral("A few questions so that your calendar starts right. You can change "
                     "every answer later: the cycle at the bottom of the window, the units "
                     "and the start at login in the Settings menu."),
      this);
  intro->setWordWrap(true);
  lay->addWidget(intro);

  auto* form = new QFormLayout;
  lastPeriod_ = new QDateEdit(this);
  TypeDigitsIntoSections(lastPeriod_);
  lastPeriod_->setObjectName(QStringLiteral("welcome_LastPeriod"));
  lastPeriod_->setCalendarPopup(true);
  lastPeriod_->setDisplayFormat(QStringLiteral("MMM d, yyyy"));
  lastPeriod_->setDateRange(LastPeriodMinimum(), LastPeriodMaximum());
  lastPeriod_->setDate(proposed.lastPeriod);
  form->addRow(QStringLiteral("First day of your last &period:"), lastPeriod_);
  cycle_ = new QSpinBox(this);
  cycle_->setObjectName(QStringLiteral("welcome_Cycle"));
  cycle_->setRange(Config::ClampCycleLength(0), Config::ClampCycleLength(1000));
  cycle_->setValue(proposed.cycleLength);
  cycle_->setSuffix(QStringLiteral(" days"));
  form->addRow(QStringLiteral("Your usual &cycle length:"), cycle_);
  QRadioButton* pounds = nullptr;
  form->addRow(QStringLiteral("Weight in:"),
               Choice(&pounds, &kilograms_, QStringLiteral("P&ounds (lbs)"),
                      QStringLiteral("&Kilograms (kg)"), proposed.kilograms, this));
  pounds->setObjectName(QStringLiteral("welcome_Pounds"));
  kilograms_->setObjectName(QStringLiteral("welcome_Kilograms"));
  QRadioButton* fahrenheit = nullptr;
  form->addRow(QStringLiteral("Temperature in:"),
               Choice(&fahrenheit, &celsius_, QStringLiteral("&Fahrenheit (°F)"),
                      QStringLiteral("C&elsius (°C)"), proposed.celsius, this));
  fahrenheit->setObjectName(QStringLiteral("welcome_Fahrenheit"));
  celsius_->setObjectName(QStringLiteral("welcome_Celsius"));
  lay->addLayout(form);

  login_ = new QCheckBox(QStringLiteral("Start Mavelo when I &log in"), this);
  login_->setObjectName(QStringLiteral("welcome_StartAtLogin"));
  login_->setChecked(proposed.startAtLogin);
  lay->addWidget(login_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* start = buttons->addButton(QStringLiteral("&Start"), QDialogButtonBox::AcceptRole);
  start->setObjectName(QStringLiteral("welcome_Start"));
  start->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  lay->addWidget(buttons);
  lastPeriod_->setFocus();
}

WelcomeAnswers WelcomeDialog::Answers() const {
  WelcomeAnswers a;
  a.lastPeriod = lastPeriod_->date();
  a.cycleLength = cycle_->value();
  a.kilograms = kilograms_->isChecked();
  a.celsius = celsius_->isChecked();
  a.startAtLogin = login_->isChecked();
  return a;
}

void SetWelcomeHandler(WelcomeHandler handler) { Handler() = std::move(handler); }

void AskWelcome(const WelcomeAnswers& proposed, QWidget* parent,
                std::function<void(const std::optional<WelcomeAnswers>&)> done) {
  if (Handler()) {
    done(Handler()(proposed));
    return;
  }
  auto* dialog = new WelcomeDialog(proposed, parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(dialog, &QDialog::finished, dialog, [dialog, done](int result) {
    if (result == QDialog::Accepted)
      done(dialog->Answers());
    else
      done(std::nullopt);
  });
  dialog->open();
}
