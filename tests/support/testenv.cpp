#include "support/testenv.h"

#include "app/widgets/welcomedialog.h"

#include <QDir>
#include <QLocale>

#include "core/textfile.h"

TestEnv::TestEnv() {
  // Guards and what was told belong to one test's files.
  ForgetFileGuards();
  oldHome_ = qgetenv("HOME");
  oldData_ = qgetenv("XDG_DATA_HOME");
  oldConfig_ = qgetenv("XDG_CONFIG_HOME");
  QDir(dir_.path()).mkpath("data");
  QDir(dir_.path()).mkpath("config");
  qputenv("HOME", dir_.path().toLocal8Bit());
  qputenv("XDG_DATA_HOME", dataHome().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  // A new user closes the welcome: its proposal (en_US: pounds, Fahrenheit, no start at
  // login) stands. Tests of the welcome set their own answers.
  SetWelcomeHandler([this](const WelcomeAnswers& proposed) -> std::optional<WelcomeAnswers> {
    welcomed.append(proposed);
    return welcome ? welcome(proposed) : std::nullopt;
  });
  SetMessageHandler([this](const MessageRequest& r) {
    messages.append(r);
    if (answer) return answer(r);
    return MessageAnswer{true, r.initial};
  });
}

TestEnv::~TestEnv() {
  SetMessageHandler({});
  SetWelcomeHandler({});
  qputenv("HOME", oldHome_);
  qputenv("XDG_DATA_HOME", oldData_);
  qputenv("XDG_CONFIG_HOME", oldConfig_);
}

QString TestEnv::dataHome() const { return dir_.path() + "/data"; }
QString TestEnv::configHome() const { return dir_.path() + "/config"; }
QString TestEnv::dataRoot() const { return dataHome() + "/Tarnwick/Mavelo/"; }
QString TestEnv::programFolder() { return QStringLiteral(MAVELO_BIN_DIR) + "/"; }
QString TestEnv::testData(const QString& relative) {
  return QStringLiteral(MAVELO_TEST_DATA) + "/" + relative;
}

QStringList TestEnv::messageTexts() const {
  QStringList out;
  for (const auto& m : messages) out << m.text;
  return out;
}
