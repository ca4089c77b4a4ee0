#pragma once
// The preferences dialog: temperature and measurement units, and the session-start
// entry. Units reach TConfig only through "Close"; the AutoStart buttons act at once.

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class TConfig;

class TForm_Settings : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_Settings(TConfig& config, QWidget* parent = nullptr);

  // The selected item of each radio group (0 or 1).
  int TemperatureIndex() const;
  int MeasureIndex() const;
  void SetTemperatureIndex(int index);
  void SetMeasureIndex(int index);

 private slots:
  void RemoveClick();
  void AddClick();
  void CloseClick();

 private:
  QGroupBox* MakeRadioGroup(const QString& name, const QStringList& items,
                            QButtonGroup** group);

  TConfig& config_;
  QButtonGroup* temperature_ = nullptr;
  QButtonGroup* measure_ = nullptr;
};
