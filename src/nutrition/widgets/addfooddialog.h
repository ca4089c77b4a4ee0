#pragma once
// The add-food dialog: name, food group, serving size and weight, and the energy and
// nutrients of one serving of a food of one's own. "Add" confirms, "Cancel" drops it.

#include <QDialog>

#include "nutrition/foodquery.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class AddFoodDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AddFoodDialog(QWidget* parent = nullptr);

  // What the fields hold.
  OwnFood Food() const;

 private:
  QSpinBox* AddNumber(const char* name);
  void UpdateAddButton();

  QLineEdit* name_ = nullptr;
  QComboBox* group_ = nullptr;
  QLineEdit* amount_ = nullptr;
  QSpinBox* weight_ = nullptr;
  QSpinBox* calories_ = nullptr;
  QSpinBox* carbs_ = nullptr;
  QSpinBox* protein_ = nullptr;
  QSpinBox* fat_ = nullptr;
  QPushButton* add_ = nullptr;
};
