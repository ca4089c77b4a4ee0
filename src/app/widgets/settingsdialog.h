#pragma once
// The preferences dialog: temperature and measurement units, and the session-start
// entry. Units reach Config only through "Close"; the AutoStart buttons act at once.

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class Config;

class SettingsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit SettingsDialog(Config& config, QWidget* parent = nullptr);

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

  Config& config_;
  QButtonGroup* temperature_ = nullptr;
  QButtonGroup* measure_ = nullptr;
};
