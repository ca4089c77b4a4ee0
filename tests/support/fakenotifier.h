#pragma once
// A stand-in for the desktop's notification service: it keeps the notices shown and lets
// a test press their Stop and Snooze.

#include <QHash>
#include <QStringList>

#include "app/alarmnotifier.h"

class FakeNotifier : public AlarmNotifier {
 public:
  void Show(const QString& source, const AlarmNotice& notice, Answer answer) override {
    shown[source] = notice;
    answers[source] = std::move(answer);
    log << QStringLiteral("show %1: %2").arg(source, notice.title);
  }
  void Withdraw(const QString& source) override {
    if (shown.remove(source)) log << QStringLiteral("withdraw %1").arg(source);
    answers.remove(source);
  }
  // Her press on a notice; false when that source shows none.
  bool press(const QString& source, AlarmAnswer answer) {
    const Answer a = answers.value(source);
    if (!a) return false;
    a(answer);
    return true;
  }

  QHash<QString, AlarmNotice> shown;
  QHash<QString, Answer> answers;
  QStringList log;
};
