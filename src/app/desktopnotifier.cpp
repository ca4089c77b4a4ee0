#include "app/desktopnotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {
const QString kStop = QStringLiteral("stop");
const QString kSnooze = QStringLiteral("snooze");
// The desktop entry and icon the program is installed with.
const QString kAppId = QStringLiteral("app.mavelo.Mavelo");
}  // namespace

DesktopNotifier::DesktopNotifier(Fallback fallback, QObject* parent)
    : DesktopNotifier(QDBusConnection::sessionBus(), std::move(fallback), parent) {}

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, Fallback fallback, QObject* parent)
    : QObject(parent), bus_(bus), fallback_(std::move(fallback)) {
  if (!bus_.isConnected()) return;
  bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
               SLOT(ActionInvoked(uint, QString)));
  bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
               SLOT(NotificationClosed(uint, uint)));
}

DesktopNotifier::~DesktopNotifier() {
  for (const Notice& n : std::as_const(notices_))
    if (!n.withdrawn) Close(n.id);
}

void DesktopNotifier::Show(const QString& source, const AlarmNotice& notice, Answer answer) {
  Notice& n = notices_[source];
  const uint replaces = n.withdrawn ? 0 : n.id;
  n.serial = ++serial_;
  n.withdrawn = false;
  n.answer = std::move(answer);
  if (!bus_.isConnected()) {
    if (fallback_) fallback_(notice);
    return;
  }
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
  // Critical urgency: the notice stays until she answers it or the alarm ends.
  const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(2))},
                          {QStringLiteral("desktop-entry"), kAppId}};
  call << QStringLiteral("Mavelo") << replaces << kAppId << notice.title << notice.text
       << QStringList{kStop, QStringLiteral("Stop"), kSnooze, QStringLiteral("Snooze")} << hints
       << int(0);
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  const quint64 serial = n.serial;
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, source, serial, notice](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            const QDBusPendingReply<uint> reply = *w;
            auto it = notices_.find(source);
            const bool current = it != notices_.end() && it->serial == serial;
            if (reply.isError()) {
              // Nobody shows notices here: the fallback does, unless the alarm is over.
              if (current && !it->withdrawn && fallback_) fallback_(notice);
              return;
            }
            const uint id = reply.value();
            if (!current || it->withdrawn) {
              Close(id);  // ended, or replaced by a later one, before the reply came
              return;
            }
            it->id = id;
          });
}

void DesktopNotifier::Withdraw(const QString& source) {
  auto it = notices_.find(source);
  if (it == notices_.end() || it->withdrawn) return;
  it->withdrawn = true;
  it->answer = {};
  if (it->id) Close(it->id);
  it->id = 0;
}

void DesktopNotifier::Close(uint id) {
  if (!id || !bus_.isConnected()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                     QStringLiteral("CloseNotification"));
  call << id;
  bus_.send(call);  // no answer awaited: a notice already gone is no error worth telling
}

void DesktopNotifier::ActionInvoked(uint id, const QString& action) {
  if (!id) return;
  for (auto it = notices_.begin(); it != notices_.end(); ++it) {
    if (it->id != id || it->withdrawn) continue;
    // The answer may withdraw this notice (and so change the table): call a copy.
    const Answer answer = it->answer;
    if (!answer) return;
    if (action == kStop) answer(AlarmAnswer::Stop);
    else if (action == kSnooze) answer(AlarmAnswer::Snooze);
    return;
  }
}

void DesktopNotifier::NotificationClosed(uint id, uint /*reason*/) {
  // The service dropped it (she closed it, or answered it): a later ring makes a new one.
  for (Notice& n : notices_)
    if (n.id == id) n.id = 0;
}
