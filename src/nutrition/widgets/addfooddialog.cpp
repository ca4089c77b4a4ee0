#include "nutrition/widgets/addfooddialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/widgets/fonts.h"
#include "nutrition/foodgroups.h"

namespace {
constexpr int kMaxNumber = 99999;

QLabel* Label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }
}  // namespace

AddFoodDialog::AddFoodDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AddFoodDialog"));
  setWindowTitle(QStringLiteral("Add Food"));
  setFont(ArialFont(12));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 10);
  column->setSpacing(8);

  auto* banner = new QWidget(this);
  banner->setObjectName(QStringLiteral("Banner"));
  banner->setAttribute(Qt::WA_StyledBackground, true);
  banner->setStyleSheet(QStringLiteral("#Banner { background: rgb(244,249,253); "
                                       "border-bottom: 1px solid rgb(192,220,192); }"));
  auto* bannerLayout = new QVBoxLayout(banner);
  bannerLayout->setContentsMargins(14, 8, 14, 8);
  bannerLayout->setSpacing(2);
  auto* heading = new QLabel(QStringLiteral("ADD FOOD"), banner);
  heading->setObjectName(QStringLiteral("Heading"));
  heading->setFont(ArialFont(20, true));
  bannerLayout->addWidget(heading);
  auto* sub = new QHBoxLayout;
  sub->setSpacing(4);
  for (const QString& word :
       {QStringLiteral("Enter"), QStringLiteral("New Food"), QStringLiteral("Properties")}) {
    auto* l = new QLabel(word, banner);
    l->setFont(ArialFont(12, word == u"New Food"));
    sub->addWidget(l);
  }
  sub->addStretch(1);
  bannerLayout->addLayout(sub);
  column->addWidget(banner);

  auto* grid = new QGridLayout;
  grid->setContentsMargins(14, 4, 14, 4);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(6);

  name_ = new QLineEdit(QStringLiteral("Name"), this);
  name_->setObjectName(QStringLiteral("Foodname"));
  name_->setMinimumWidth(260);
  grid->addWidget(Label(QStringLiteral("Food Name:"), this), 0, 0);
  grid->addWidget(name_, 0, 1, 1, 3);

  group_ = new QComboBox(this);
  group_->setObjectName(QStringLiteral("Group"));
  group_->addItems(FoodGroupNames());
  group_->setCurrentIndex(0);
  grid->addWidget(Label(QStringLiteral("Food Group:"), this), 1, 0);
  grid->addWidget(group_, 1, 1, 1, 3);

  amount_ = new QLineEdit(QStringLiteral("1 Cup"), this);
  amount_->setObjectName(QStringLiteral("amount"));
  weight_ = AddNumber("Weight");
  grid->addWidget(Label(QStringLiteral("Serving Size:"), this), 2, 0);
  grid->addWidget(amount_, 2, 1);
  grid->addWidget(weight_, 2, 2);
  grid->addWidget(Label(QStringLiteral("grams"), this), 2, 3);

  calories_ = AddNumber("Calories");
  carbs_ = AddNumber("Carbs");
  protein_ = AddNumber("Protein");
  fat_ = AddNumber("Fat");
  const struct {
    const char* caption;
    QSpinBox* box;
    const char* unit;
  } rows[] = {{"Calories", calories_, "KCal"},
              {"Carbs", carbs_, "grams"},
              {"Protein", protein_, "grams"},
              {"Fat", fat_, "grams"}};
  int r = 3;
  for (const auto& row : rows) {
    grid->addWidget(Label(QLatin1String(row.caption), this), r, 0);
    grid->addWidget(row.box, r, 2);
    grid->addWidget(Label(QLatin1String(row.unit), this), r, 3);
    ++r;
  }
  grid->setColumnStretch(1, 1);
  column->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(14, 0, 14, 0);
  buttons->addStretch(1);
  add_ = new QPushButton(QStringLiteral("Add"), this);
  add_->setObjectName(QStringLiteral("btnAdd"));
  add_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  buttons->addWidget(add_);
  buttons->addWidget(cancel);
  column->addLayout(buttons);

  connect(add_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  // A food without a name could never be found or eaten.
  connect(name_, &QLineEdit::textChanged, this, &AddFoodDialog::UpdateAddButton);

  setTabOrder(name_, group_);
  setTabOrder(group_, amount_);
  setTabOrder(amount_, weight_);
  setTabOrder(weight_, calories_);
  setTabOrder(calories_, carbs_);
  setTabOrder(carbs_, protein_);
  setTabOrder(protein_, fat_);
  setTabOrder(fat_, add_);
  setTabOrder(add_, cancel);
  name_->selectAll();
  name_->setFocus();
}

QSpinBox* AddFoodDialog::AddNumber(const char* name) {
  auto* box = new QSpinBox(this);
  box->setObjectName(QLatin1String(name));
  box->setRange(0, kMaxNumber);
  box->setValue(1);
  box->setAlignment(Qt::AlignRight);
  box->setMinimumWidth(80);
  return box;
}

void AddFoodDialog::UpdateAddButton() { add_->setEnabled(!name_->text().trimmed().isEmpty()); }

OwnFood AddFoodDialog::Food() const {
  OwnFood f;
  f.name = name_->text();
  f.groupPosition = group_->currentIndex();
  f.serving = amount_->text();
  f.weight = weight_->value();
  f.calories = calories_->value();
  f.carbs = carbs_->value();
  f.protein = protein_->value();
  f.fat = fat_->value();
  return f;
}
