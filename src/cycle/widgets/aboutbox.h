#pragma once
#include <QDialog>

// The about box: the brand picture, the version, the home page and the support address.
class TfrmAbout : public QDialog {
  Q_OBJECT
 public:
  TfrmAbout(const QString& picturePath, QWidget* parent = nullptr);
};
