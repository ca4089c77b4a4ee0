#include <QtTest>
#include <QtWidgets>

#include "app/config.h"
#include "app/widgets/settingsdialog.h"
#include "support/testenv.h"

namespace {

QStringList RadioTexts(QWidget* group) {
  QStringList out;
  for (auto* b : group->findChildren<QRadioButton*>()) out << b->text();
  return out;
}

int CheckedIndex(QWidget* group) {
  const auto buttons = group->findChildren<QRadioButton*>();
  for (int i = 0; i < buttons.size(); ++i)
    if (buttons[i]->isChecked()) return i;
  return -1;
}

QPushButton* Button(QWidget* dialog, const QString& text) {
  for (auto* b : dialog->findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

}  // namespace

class TestSettingsDialog : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void showsItsTexts();
  void opensWithStoredUnits_data();
  void opensWithStoredUnits();
  void closeCopiesUnits_data();
  void closeCopiesUnits();
  void otherCloseKeepsUnits();
  void autoStartButtons();

 private:
  std::unique_ptr<TestEnv> env_;
  std::unique_ptr<Config> config_;
};

void TestSettingsDialog::init() {
  env_ = std::make_unique<TestEnv>();
  qputenv("XDG_CONFIG_DIRS", (env_->home() + "/etc-xdg").toLocal8Bit());
  config_ = std::make_unique<Config>(env_->home() + "/application.ini");
}

void TestSettingsDialog::cleanup() {
  config_.reset();
  qunsetenv("XDG_CONFIG_DIRS");
  env_.reset();
}

void TestSettingsDialog::showsItsTexts() {
  SettingsDialog dialog(*config_);
  QCOMPARE(dialog.windowTitle(), QString("Application Settings"));
  auto* pages = dialog.findChild<QTabWidget*>();
  QVERIFY(pages);
  QCOMPARE(pages->count(), 2);
  QCOMPARE(pages->tabText(0), QString("Units"));
  QCOMPARE(pages->tabText(1), QString("AutoStart"));

  auto* temperature = dialog.findChild<QGroupBox*>("rgTemperature");
  auto* measure = dialog.findChild<QGroupBox*>("rgMesure");
  QVERIFY(temperature && measure);
  QCOMPARE(temperature->title(), QString("Preferred Units"));
  QCOMPARE(measure->title(), QString("Preferred Units"));
  QCOMPARE(RadioTexts(temperature), (QStringList{"Fahrenheit °F ", "Celsius °C  "}));
  QCOMPARE(RadioTexts(measure),
           (QStringList{"US      ( Pounds/ Feet)", "Metric  ( Kg / Meters)"}));

  QStringList labels;
  for (auto* l : dialog.findChildren<QLabel*>()) labels << l->text();
  for (const char* text : {"Temperature", "Measurement", "AutoStart",
                           "Start the program when you log in"})
    QVERIFY2(labels.contains(text), text);
  for (auto* l : dialog.findChildren<QLabel*>())
    if (l->text() == "Start the program when you log in") QVERIFY(l->font().italic());
  QVERIFY(Button(&dialog, "Remove"));
  QVERIFY(Button(&dialog, "Add"));
  QVERIFY(Button(&dialog, "Close"));

  // A picture of each page to look at, when asked for.
  const QString shots = qEnvironmentVariable("MAVELO_SCREENSHOTS");
  if (!shots.isEmpty()) {
    dialog.show();
    dialog.grab().save(shots + "/settings_units.png");
    pages->setCurrentIndex(1);
    dialog.grab().save(shots + "/settings_autostart.png");
  }
}

void TestSettingsDialog::opensWithStoredUnits_data() {
  QTest::addColumn<QString>("temperature");
  QTest::addColumn<QString>("measure");
  QTest::addColumn<int>("temperatureIndex");
  QTest::addColumn<int>("measureIndex");
  QTest::newRow("F I") << "F" << "I" << 0 << 0;
  QTest::newRow("C M") << "C" << "M" << 1 << 1;
  QTest::newRow("lower case") << "c" << "i" << 0 << 0;
  QTest::newRow("lower m") << "F" << "m" << 0 << 0;
  QTest::newRow("empty") << "" << "" << 0 << 0;
  QTest::newRow("junk") << "Kelvin" << "Metric" << 0 << 0;
}

void TestSettingsDialog::opensWithStoredUnits() {
  QFETCH(QString, temperature);
  QFETCH(QString, measure);
  QFETCH(int, temperatureIndex);
  QFETCH(int, measureIndex);
  config_->TemperatureUnits = temperature;
  config_->MeasureUnits = measure;
  SettingsDialog dialog(*config_);
  QCOMPARE(CheckedIndex(dialog.findChild<QGroupBox*>("rgTemperature")), temperatureIndex);
  QCOMPARE(CheckedIndex(dialog.findChild<QGroupBox*>("rgMesure")), measureIndex);
  // Opening alone changes nothing.
  QCOMPARE(config_->TemperatureUnits, temperature);
  QCOMPARE(config_->MeasureUnits, measure);
}

void TestSettingsDialog::closeCopiesUnits_data() {
  QTest::addColumn<QString>("stored");  // both fields' starting text
  QTest::addColumn<int>("temperatureIndex");
  QTest::addColumn<int>("measureIndex");
  QTest::addColumn<QString>("temperature");
  QTest::addColumn<QString>("measure");
  QTest::newRow("to metric") << "x" << 1 << 1 << "C" << "M";
  QTest::newRow("to US") << "x" << 0 << 0 << "F" << "I";
  QTest::newRow("mixed") << "x" << 1 << 0 << "C" << "I";
}

void TestSettingsDialog::closeCopiesUnits() {
  QFETCH(QString, stored);
  QFETCH(int, temperatureIndex);
  QFETCH(int, measureIndex);
  QFETCH(QString, temperature);
  QFETCH(QString, measure);
  config_->TemperatureUnits = stored;
  config_->MeasureUnits = stored;
  SettingsDialog dialog(*config_);
  auto radios = [&](const char* name) {
    return dialog.findChild<QGroupBox*>(name)->findChildren<QRadioButton*>();
  };
  dialog.show();
  // Clicked on the round indicator, as a user would.
  auto clickRadio = [](QRadioButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  };
  clickRadio(radios("rgTemperature")[temperatureIndex]);
  clickRadio(radios("rgMesure")[measureIndex]);
  QTest::mouseClick(Button(&dialog, "Close"), Qt::LeftButton);
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  QVERIFY(!dialog.isVisible());
  QCOMPARE(config_->TemperatureUnits, temperature);
  QCOMPARE(config_->MeasureUnits, measure);
  QVERIFY(env_->messages.isEmpty());
}

void TestSettingsDialog::otherCloseKeepsUnits() {
  config_->TemperatureUnits = "F";
  config_->MeasureUnits = "I";
  {
    SettingsDialog dialog(*config_);
    dialog.show();
    dialog.SetTemperatureIndex(1);
    dialog.SetMeasureIndex(1);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }
  {
    SettingsDialog dialog(*config_);
    dialog.show();
    dialog.SetTemperatureIndex(1);
    dialog.close();  // the title bar's close box
  }
  QCOMPARE(config_->TemperatureUnits, QString("F"));
  QCOMPARE(config_->MeasureUnits, QString("I"));
}

void TestSettingsDialog::autoStartButtons() {
  const QString entry = env_->configHome() + "/autostart/Mavelo.desktop";
  SettingsDialog dialog(*config_);
  dialog.show();

  config_->AutoStart = false;
  QTest::mouseClick(Button(&dialog, "Add"), Qt::LeftButton);
  QVERIFY(config_->AutoStart);
  QCOMPARE(env_->messageTexts(), QStringList{"auto startup added"});
  QCOMPARE(env_->messages[0].kind, MessageKind::Info);
  QFile f(entry);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QVERIFY(f.readAll().contains(
      DesktopExecValue(QCoreApplication::applicationFilePath()).toUtf8()));
  f.close();

  env_->clearMessages();
  QTest::mouseClick(Button(&dialog, "Remove"), Qt::LeftButton);
  QVERIFY(!config_->AutoStart);
  QCOMPARE(env_->messageTexts(), QStringList{"auto startup removed"});
  QVERIFY(!QFileInfo::exists(entry));

  // The dialog stays open, and AutoStart is not undone by leaving it some other way.
  QVERIFY(dialog.isVisible());
  dialog.reject();
  QVERIFY(!config_->AutoStart);
}

QTEST_MAIN(TestSettingsDialog)
#include "test_settingsdialog.moc"
