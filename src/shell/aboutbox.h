#pragma once
#include <QDialog>

// The about box: the brand picture, the version, the home page and the support address.
class AboutBox : public QDialog {
  Q_OBJECT
 public:
  AboutBox(const QString& picturePath, QWidget* parent = nullptr);
};
