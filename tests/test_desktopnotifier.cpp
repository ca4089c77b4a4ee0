// The alarms' desktop notices: Notify with Stop and Snooze on the notification service,
// its ActionInvoked answered, the notice replaced and closed, and the fallback where no
// service answers. The service is a stand-in on a private bus of the test's own (skipped
// where dbus-daemon is not installed); nothing reaches the user's desktop.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "app/desktopnotifier.h"

namespace {

class NotificationServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  struct Call {
    uint replaces = 0;
    QString summary, body;
    QStringList actions;
    QVariantMap hints;
    int timeout = -1;
  };
  QList<Call> calls;
  QList<uint> closed;
  uint lastId = 40;

 public Q_SLOTS:
  uint Notify(const QString&, uint replaces, const QString&, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints,
              int timeout) {
    calls.append({replaces, summary, body, actions, hints, timeout});
    return replaces ? replaces : ++lastId;
  }
  void CloseNotification(uint id) { closed.append(id); }
  QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
};

}  // namespace

class DesktopNotifierTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();

  void fallbackWithoutABus();
  void noticeWithStopAndSnooze();
  void fallbackWhenNoServiceAnswers();
  void endedBeforeTheReplyIsClosed();
  void endingTheProgramClosesItsNotices();

 private:
  void emitSignal(const QString& name, const QVariantList& args);

  QProcess daemon_;
  QString address_;
  NotificationServer server_;
};

void DesktopNotifierTest::initTestCase() {
  const QString exe = QStandardPaths::findExecutable("dbus-daemon");
  if (exe.isEmpty()) return;
  daemon_.start(exe, {"--session", "--nofork", "--print-address=1"});
  if (!daemon_.waitForStarted(5000)) return;
  for (int i = 0; i < 50 && address_.isEmpty(); ++i) {
    daemon_.waitForReadyRead(100);
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
  }
  if (address_.isEmpty()) return;
  QDBusConnection server = QDBusConnection::connectToBus(address_, "server");
  QVERIFY(server.isConnected());
  QVERIFY(server.registerObject(DesktopNotifier::kPath, &server_, QDBusConnection::ExportAllSlots));
  QVERIFY(server.registerService(DesktopNotifier::kService));
}

void DesktopNotifierTest::cleanupTestCase() {
  QDBusConnection::disconnectFromBus("server");
  QDBusConnection::disconnectFromBus("client");
  if (daemon_.state() != QProcess::NotRunning) {
    daemon_.terminate();
    daemon_.waitForFinished(3000);
  }
}

void DesktopNotifierTest::emitSignal(const QString& name, const QVariantList& args) {
  QDBusMessage signal =
      QDBusMessage::createSignal(DesktopNotifier::kPath, DesktopNotifier::kInterface, name);
  signal.setArguments(args);
  QVERIFY(QDBusConnection(QStringLiteral("server")).send(signal));
}

void DesktopNotifierTest::fallbackWithoutABus() {
  QList<AlarmNotice> fallen;
  DesktopNotifier notifier(QDBusConnection(QStringLiteral("no such bus")),
                           [&](const AlarmNotice& n) { fallen << n; });
  notifier.Show("frmSleep", {"Wake up Alarm", "Daily at 06:30 AM"}, {});
  QCOMPARE(fallen.size(), 1);
  QCOMPARE(fallen.at(0).title, QString("Wake up Alarm"));
  QCOMPARE(fallen.at(0).text, QString("Daily at 06:30 AM"));
  notifier.Withdraw("frmSleep");  // nothing to close, nothing breaks
}

void DesktopNotifierTest::noticeWithStopAndSnooze() {
  if (address_.isEmpty()) QSKIP("no dbus-daemon for a private bus");
  server_.calls.clear();
  server_.closed.clear();
  int fallbacks = 0;
  QList<AlarmAnswer> answers;
  DesktopNotifier notifier(QDBusConnection::connectToBus(address_, "client"),
                           [&](const AlarmNotice&) { ++fallbacks; });
  notifier.Show("frmSleep", {"Wake up Alarm", "Daily at 06:30 AM"},
                [&](AlarmAnswer a) { answers << a; });
  QTRY_COMPARE(server_.calls.size(), 1);
  const NotificationServer::Call call = server_.calls.at(0);
  QCOMPARE(call.replaces, 0u);
  QCOMPARE(call.summary, QString("Wake up Alarm"));
  QCOMPARE(call.body, QString("Daily at 06:30 AM"));
  QCOMPARE(call.actions, QStringList({"stop", "Stop", "snooze", "Snooze"}));
  QCOMPARE(call.hints.value("urgency").toInt(), 2);
  QCOMPARE(call.timeout, 0);
  QTRY_VERIFY(notifier.NoticeId("frmSleep") != 0);
  const uint id = notifier.NoticeId("frmSleep");

  // Another notice's buttons are not this one's.
  emitSignal("ActionInvoked", {QVariant::fromValue(id + 100), QString("stop")});
  emitSignal("ActionInvoked", {QVariant::fromValue(id), QString("snooze")});
  QTRY_COMPARE(answers, QList<AlarmAnswer>{AlarmAnswer::Snooze});
  emitSignal("ActionInvoked", {QVariant::fromValue(id), QString("stop")});
  QTRY_COMPARE(answers, QList<AlarmAnswer>({AlarmAnswer::Snooze, AlarmAnswer::Stop}));

  // A second ring of the same alarm replaces its notice.
  notifier.Show("frmSleep", {"Wake up Alarm", "Snoozed"}, [&](AlarmAnswer a) { answers << a; });
  QTRY_COMPARE(server_.calls.size(), 2);
  QCOMPARE(server_.calls.at(1).replaces, id);
  // Ended: closed, and its buttons answer no more.
  notifier.Withdraw("frmSleep");
  QTRY_COMPARE(server_.closed, QList<uint>{id});
  emitSignal("ActionInvoked", {QVariant::fromValue(id), QString("stop")});
  QTest::qWait(100);
  QCOMPARE(answers.size(), 2);
  // Closed by her on the desktop: the next ring makes a new notice.
  notifier.Show("frmSleep", {"Wake up Alarm", "again"}, {});
  QTRY_VERIFY(notifier.NoticeId("frmSleep") != 0);
  const uint again = notifier.NoticeId("frmSleep");
  emitSignal("NotificationClosed", {QVariant::fromValue(again), QVariant::fromValue(2u)});
  QTRY_COMPARE(notifier.NoticeId("frmSleep"), 0u);
  notifier.Show("frmSleep", {"Wake up Alarm", "and again"}, {});
  QTRY_COMPARE(server_.calls.size(), 4);
  QCOMPARE(server_.calls.at(3).replaces, 0u);
  QCOMPARE(fallbacks, 0);
}

void DesktopNotifierTest::fallbackWhenNoServiceAnswers() {
  if (address_.isEmpty()) QSKIP("no dbus-daemon for a private bus");
  QDBusConnection server(QStringLiteral("server"));
  QVERIFY(server.unregisterService(DesktopNotifier::kService));
  QList<AlarmNotice> fallen;
  DesktopNotifier notifier(QDBusConnection::connectToBus(address_, "client"),
                           [&](const AlarmNotice& n) { fallen << n; });
  notifier.Show("frmKids", {"Feeding Alarm", "Daily at 03:00 PM"}, {});
  QTRY_COMPARE(fallen.size(), 1);
  QCOMPARE(fallen.at(0).title, QString("Feeding Alarm"));
  // An alarm stopped before the error came needs no balloon.
  notifier.Show("frmKids", {"Feeding Alarm", "Daily at 03:00 PM"}, {});
  notifier.Withdraw("frmKids");
  QTest::qWait(200);
  QCOMPARE(fallen.size(), 1);
  QVERIFY(server.registerService(DesktopNotifier::kService));
}

void DesktopNotifierTest::endedBeforeTheReplyIsClosed() {
  if (address_.isEmpty()) QSKIP("no dbus-daemon for a private bus");
  server_.calls.clear();
  server_.closed.clear();
  DesktopNotifier notifier(QDBusConnection::connectToBus(address_, "client"), {});
  notifier.Show("frmSleep", {"Time for Bed", "Daily at 10:00 PM"}, {});
  notifier.Withdraw("frmSleep");  // before the service replied
  QTRY_COMPARE(server_.calls.size(), 1);
  QTRY_COMPARE(server_.closed.size(), 1);
  QCOMPARE(notifier.NoticeId("frmSleep"), 0u);
}

void DesktopNotifierTest::endingTheProgramClosesItsNotices() {
  if (address_.isEmpty()) QSKIP("no dbus-daemon for a private bus");
  server_.calls.clear();
  server_.closed.clear();
  uint id = 0;
  {
    DesktopNotifier notifier(QDBusConnection::connectToBus(address_, "client"), {});
    notifier.Show("frmSleep", {"Wake up Alarm", "Daily at 06:30 AM"}, {});
    QTRY_VERIFY(notifier.NoticeId("frmSleep") != 0);
    id = notifier.NoticeId("frmSleep");
  }
  QTRY_COMPARE(server_.closed, QList<uint>{id});
}

QTEST_GUILESS_MAIN(DesktopNotifierTest)
#include "test_desktopnotifier.moc"
