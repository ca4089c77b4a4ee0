#pragma once
// The alarm notices of a freedesktop.org desktop: org.freedesktop.Notifications on the
// session bus, Notify with the actions "stop" and "snooze", its ActionInvoked signal
// answered, CloseNotification when the alarm ends. Where no notification service answers
// (no session bus, no service, an error reply) the fallback shows the notice instead (the
// tray's balloon in the program). Every call is asynchronous, so a slow or missing
// service never holds up the window.

#include <QDBusConnection>
#include <QHash>
#include <QObject>

#include "app/alarmnotifier.h"

class DesktopNotifier : public QObject, public AlarmNotifier {
  Q_OBJECT

 public:
  using Fallback = std::function<void(const AlarmNotice&)>;

  inline static const QString kService = QStringLiteral("org.freedesktop.Notifications");
  inline static const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
  inline static const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

  explicit DesktopNotifier(Fallback fallback, QObject* parent = nullptr);
  // Over a bus of the caller's (tests: a private one).
  DesktopNotifier(const QDBusConnection& bus, Fallback fallback, QObject* parent = nullptr);
  // The program ends: its notices go too, their buttons would answer nobody.
  ~DesktopNotifier() override;

  void Show(const QString& source, const AlarmNotice& notice, Answer answer) override;
  void Withdraw(const QString& source) override;

  // The id the service gave a source's notice; 0 while none is shown.
  uint NoticeId(const QString& source) const { return notices_.value(source).id; }

 private Q_SLOTS:
  void ActionInvoked(uint id, const QString& action);
  void NotificationClosed(uint id, uint reason);

 private:
  struct Notice {
    uint id = 0;         // the service's id, once its reply came
    quint64 serial = 0;  // which Show the reply belongs to
    bool withdrawn = false;
    Answer answer;
  };
  void Close(uint id);

  QDBusConnection bus_;
  Fallback fallback_;
  QHash<QString, Notice> notices_;
  quint64 serial_ = 0;
};
