// The alarm heard for real: the test starts its own PulseAudio daemon with a null sink,
// lets an alarm ring through Qt Multimedia on a stepped clock, and records the sink's
// monitor. The recording is loud while the alarm rings (and still after the wave file's
// end: it loops), silent after Snooze, loud again after the snooze delay, and silent
// after Stop. Where no PulseAudio daemon can start, the test skips and says why.

#include <QDir>
#include <QMediaDevices>
#include <QAudioDevice>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "core/clock.h"
#include "sleep/alarmentry.h"
#include "sleep/listviewfile.h"
#include "sleep/soundplayer.h"
#include "sleep/widgets/sleepview.h"
#include "support/fakehost.h"
#include "support/testenv.h"

namespace {

constexpr int kRate = 22050;
const char* const kSink = "mavelo_test";

double Rms(const QByteArray& pcm) {
  const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
  const qsizetype n = pcm.size() / 2;
  if (n == 0) return 0;
  double sum = 0;
  for (qsizetype i = 0; i < n; ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / n);
}

}  // namespace

class AlarmSoundTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir runtime_;
  QProcess daemon_;
  QProcess recorder_;
  QByteArray recorded_;
  QString skipReason_;

  bool RunPactl(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  }
  // The RMS of the next `ms` of the recording, after `settleMs` for the output to follow.
  double Listen(int ms, int settleMs = 400) {
    recorder_.readAllStandardOutput();
    QTest::qWait(settleMs);
    recorder_.readAllStandardOutput();
    QTest::qWait(ms);
    return Rms(recorder_.readAllStandardOutput());
  }
  // Waits (3 seconds at most) for the sound to reach the sink, then listens: the first
  // sound of a process opens the audio stream, which takes a moment.
  double ListenOnceLoud(int ms) {
    recorder_.readAllStandardOutput();
    for (int i = 0; i < 30; ++i) {
      QTest::qWait(100);
      if (Rms(recorder_.readAllStandardOutput()) > 1000) break;
    }
    return Listen(ms, 0);
  }

 private slots:
  void initTestCase() {
    const QString pulse = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    const QString parec = QStandardPaths::findExecutable(QStringLiteral("parec"));
    if (pulse.isEmpty() || parec.isEmpty())
      QSKIP("pulseaudio and parec (pulseaudio, pulseaudio-utils) are not installed");
    QVERIFY(runtime_.isValid());
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString socket = runtime_.path() + QStringLiteral("/native");
    // Everything PulseAudio and its clients look at points into the private folder, before
    // Qt Multimedia first asks for a device.
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
    qputenv("PULSE_RUNTIME_PATH", runtime_.path().toLocal8Bit());
    qputenv("PULSE_STATE_PATH", (runtime_.path() + QStringLiteral("/state")).toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
    qputenv("PULSE_SINK", kSink);

    daemon_.setProcessChannelMode(QProcess::MergedChannels);
    daemon_.start(pulse, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                          QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm=true"),
                          QStringLiteral("--use-pid-file=no"), QStringLiteral("--system=no"),
                          QStringLiteral("-L"),
                          QStringLiteral("module-null-sink sink_name=%1").arg(QLatin1String(kSink)),
                          QStringLiteral("-L"),
                          QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=%1")
                              .arg(socket)});
    if (!daemon_.waitForStarted(5000)) QSKIP("PulseAudio could not be started");
    bool up = false;
    for (int i = 0; i < 50 && !up; ++i) {
      if (daemon_.state() != QProcess::Running) break;
      up = RunPactl({QStringLiteral("info")});
      if (!up) QTest::qWait(100);
    }
    if (!up) {
      const QByteArray log = daemon_.readAll();
      skipReason_ = "PulseAudio did not start: " + QString::fromLocal8Bit(log.right(300));
      QSKIP(qPrintable(skipReason_));
    }
    RunPactl({QStringLiteral("set-default-sink"), QLatin1String(kSink)});

    recorder_.start(parec, {QStringLiteral("-d"), QLatin1String(kSink) + QStringLiteral(".monitor"),
                            QStringLiteral("--format=s16le"),
                            QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--channels=1"),
                            QStringLiteral("--raw")});
    QVERIFY(recorder_.waitForStarted(5000));
    // The monitor delivers (silence) from the start.
    QTRY_VERIFY_WITH_TIMEOUT(recorder_.bytesAvailable() > 0, 5000);
    if (QMediaDevices::audioOutputs().isEmpty())
      QSKIP("Qt Multimedia sees no audio output on the test's PulseAudio daemon");
  }

  void cleanupTestCase() {
    SoundPlayer::Instance().Stop();
    for (QProcess* p : {&recorder_, &daemon_}) {
      if (p->state() == QProcess::NotRunning) continue;
      p->terminate();
      if (!p->waitForFinished(3000)) {
        p->kill();
        p->waitForFinished(3000);
      }
    }
    Clock::SetSource({});
  }

  void alarmRingsLoopsSnoozesAndStops() {
    TestEnv env;
    FakeHost host;
    QDateTime now(QDate(2009, 1, 5), QTime(7, 29, 30));
    Clock::SetSource([&now] { return now; });
    ListViewFile wake;
    wake.items << MakeAlarmEntry("Daily", QDateTime(QDate(2009, 1, 1), QTime(7, 30)));
    QVERIFY(wake.Write(host.Dir().SleepFolder() + "wakeuptimes.txt"));
    host.Settings().WakeUpSound = "Buzz";
    SleepView view(&host, SleepSetup::Sleep());
    view.show();
    view.ShowDate(now.date());

    view.ClockTimer();
    QVERIFY(!SoundPlayer::Instance().IsPlaying());
    const double before = Listen(800);

    now = QDateTime(QDate(2009, 1, 5), QTime(7, 30, 29));
    view.ClockTimer();
    QVERIFY(SoundPlayer::Instance().IsPlaying());
    const double ringing = ListenOnceLoud(1000);
    // Buzz.wav lasts 3 seconds: still loud after its end, because it loops.
    QTest::qWait(2500);
    const double looped = Listen(1500, 0);

    view.Alarm_SnoozeButtonClick();
    const double snoozed = Listen(1000);

    now = now.addSecs(5 * 60);
    view.ClockTimer();
    const double again = ListenOnceLoud(1000);

    view.Alarm_StopButtonClick();
    const double stopped = Listen(1000);

    qInfo("RMS before %.0f, ringing %.0f, looped %.0f, snoozed %.0f, again %.0f, stopped %.0f",
          before, ringing, looped, snoozed, again, stopped);
    QVERIFY2(before < 100, "silent before the alarm");
    QVERIFY2(ringing > 3000, "loud while the alarm rings");
    QVERIFY2(looped > 3000, "still loud after the file's end");
    QVERIFY2(snoozed < 100, "silent after Snooze");
    QVERIFY2(again > 3000, "loud again after the snooze delay");
    QVERIFY2(stopped < 100, "silent after Stop");
  }
};

QTEST_MAIN(AlarmSoundTest)
#include "test_alarmsound.moc"
