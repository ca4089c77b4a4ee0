#include "app/widgets/settingsdialog.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/config.h"
#include "app/widgets/messages.h"

namespace {

QLabel* Heading(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont f = label->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.15);
  label->setFont(f);
  return label;
}

}  // namespace

SettingsDialog::SettingsDialog(Config& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  setObjectName(QStringLiteral("Form_Settings"));
  setWindowTitle(QStringLiteral("Application Settings"));
  setModal(true);

  auto* pages = new QTabWidget(this);
  pages->setObjectName(QStringLiteral("PageControl1"));

  // Units
  auto* units = new QWidget(pages);
  units->setObjectName(QStringLiteral("Units"));
  auto* unitsLayout = new QVBoxLayout(units);
  unitsLayout->addWidget(Heading(QStringLiteral("Temperature"), units));
  unitsLayout->addWidget(MakeRadioGroup(
      QStringLiteral("rgTemperature"),
      {QStringLiteral("Fahrenheit °F "), QStringLiteral("Celsius °C  ")}, &temperature_));
  unitsLayout->addSpacing(8);
  unitsLayout->addWidget(Heading(QStringLiteral("Measurement"), units));
  unitsLayout->addWidget(MakeRadioGroup(
      QStringLiteral("rgMesure"),
      {QStringLiteral("US      ( Pounds/ Feet)"), QStringLiteral("Metric  ( Kg / Meters)")},
      &measure_));
  unitsLayout->addStretch(1);
  pages->addTab(units, QStringLiteral("Units"));

  // AutoStart
  auto* autoStart = new QWidget(pages);
  autoStart->setObjectName(QStringLiteral("AutoStart"));
  auto* autoLayout = new QVBoxLayout(autoStart);
  autoLayout->addWidget(Heading(QStringLiteral("AutoStart"), autoStart));
  auto* line = new QLabel(QStringLiteral("Start the program when you log in"), autoStart);
  QFont italic = line->font();
  italic.setItalic(true);
  line->setFont(italic);
  autoLayout->addWidget(line);
  auto* buttons = new QHBoxLayout;
  auto* remove = new QPushButton(QStringLiteral("Remove"), autoStart);
  remove->setObjectName(QStringLiteral("btnRemove"));
  remove->setAutoDefault(false);
  auto* add = new QPushButton(QStringLiteral("Add"), autoStart);
  add->setObjectName(QStringLiteral("btnAdd"));
  add->setAutoDefault(false);
  buttons->addWidget(remove);
  buttons->addWidget(add);
  buttons->addStretch(1);
  autoLayout->addLayout(buttons);
  autoLayout->addStretch(1);
  pages->addTab(autoStart, QStringLiteral("AutoStart"));

  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("btnClose"));
  close->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(close);
  layout->addLayout(bottom);

  connect(remove, &QPushButton::clicked, this, &SettingsDialog::RemoveClick);
  connect(add, &QPushButton::clicked, this, &SettingsDialog::AddClick);
  connect(close, &QPushButton::clicked, this, &SettingsDialog::CloseClick);

  // Anything but the second item's letter shows the first item.
  SetTemperatureIndex(config_.TemperatureUnits == QLatin1String("C") ? 1 : 0);
  SetMeasureIndex(config_.MeasureUnits == QLatin1String("M") ? 1 : 0);

  setFixedSize(sizeHint().expandedTo(QSize(320, 300)));
}

QGroupBox* SettingsDialog::MakeRadioGroup(const QString& name, const QStringList& items,
                                          QButtonGroup** group) {
  auto* box = new QGroupBox(QStringLiteral("Preferred Units"));
  box->setObjectName(name);
  auto* layout = new QVBoxLayout(box);
  *group = new QButtonGroup(box);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], box);
    button->setObjectName(name + QString::number(i));
    (*group)->addButton(button, i);
    layout->addWidget(button);
  }
  return box;
}

int SettingsDialog::TemperatureIndex() const { return qMax(0, temperature_->checkedId()); }
int SettingsDialog::MeasureIndex() const { return qMax(0, measure_->checkedId()); }

void SettingsDialog::SetTemperatureIndex(int index) {
  if (QAbstractButton* b = temperature_->button(index)) b->setChecked(true);
}
void SettingsDialog::SetMeasureIndex(int index) {
  if (QAbstractButton* b = measure_->button(index)) b->setChecked(true);
}

void SettingsDialog::RemoveClick() {
  RemoveAutoStart();
  ShowMessage(QStringLiteral("auto startup removed"), this);
  config_.AutoStart = false;
}

void SettingsDialog::AddClick() {
  AddAutoStart(QCoreApplication::applicationFilePath());
  config_.AutoStart = true;
  ShowMessage(QStringLiteral("auto startup added"), this);
}

void SettingsDialog::CloseClick() {
  config_.TemperatureUnits = TemperatureIndex() == 1 ? QStringLiteral("C") : QStringLiteral("F");
  config_.MeasureUnits = MeasureIndex() == 1 ? QStringLiteral("M") : QStringLiteral("I");
  accept();
}
