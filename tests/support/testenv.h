#pragma once
// Test environment: a fresh temporary HOME, XDG_DATA_HOME and XDG_CONFIG_HOME, the
// locale pinned to en_US, and every message box recorded instead of shown.
// Create one TestEnv per test (or per test case) before anything reads a path.

#include <QDate>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "app/welcome.h"
#include "app/widgets/messages.h"

class TestEnv {
 public:
  TestEnv();
  ~TestEnv();

  QString home() const { return dir_.path(); }
  QString dataHome() const;    // $XDG_DATA_HOME
  QString configHome() const;  // $XDG_CONFIG_HOME
  // The data root the program uses: dataHome() + "/Tarnwick/Mavelo/".
  QString dataRoot() const;
  // The folder with the built executable and the shipped folders beside it.
  static QString programFolder();
  // tests/data
  static QString testData(const QString& relative);

  // Messages shown since the start (or the last clear).
  QList<MessageRequest> messages;
  QStringList messageTexts() const;
  void clearMessages() { messages.clear(); }
  // Answers for questions and input boxes; default: Yes / OK with the initial text.
  std::function<MessageAnswer(const MessageRequest&)> answer;
  // The first start's welcome: what it proposed each time it asked, and her answers
  // (default: she closes it).
  QList<WelcomeAnswers> welcomed;
  std::function<std::optional<WelcomeAnswers>(const WelcomeAnswers&)> welcome;

 private:
  QTemporaryDir dir_;
  QByteArray oldHome_, oldData_, oldConfig_;
};
