#include "sleep/alarmclock.h"

#include "sleep/alarmentry.h"
#include "sleep/alarmlist.h"
#include "sleep/soundplayer.h"

namespace {
QDateTime MinuteOf(const QDateTime& t) {
  return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute()));
}
}  // namespace

void AlarmClock::Ring(const QString& file) {
  ringing_ = player_.Play(file);
  ticks_ = 1;
}

AlarmClock::TickResult AlarmClock::Tick(const QDateTime& now,
                                        const std::array<const AlarmList*, 2>& lists,
                                        const SoundFile& sound) {
  TickResult result;
  if (!now.isValid()) return result;
  result.snoozeRang = RingDueSnooze(now);

  const QDateTime minute = MinuteOf(now);
  for (int i = 0; i < 2; ++i) {
    const AlarmList* list = lists[i];
    if (!list || !list->HasCheckBoxes() || rangAt_[i] == minute) continue;
    const QList<ListViewItem>& items = list->Items();
    for (int e = 0; e < items.size(); ++e) {
      if (!AlarmRings(items.at(e), now)) continue;
      rangAt_[i] = minute;
      Ring(sound ? sound(i) : QString());
      (i == kBedList ? result.bedRang : result.secondRang) = true;
      result.entry[i] = e;
      break;
    }
  }

  if (ticks_ > 0 && ++ticks_ > kStopAfter) {
    result.stopped = player_.StopIfPlaying(ringing_);
    ticks_ = 0;
    ringing_ = 0;
  }
  return result;
}

bool AlarmClock::RingDueSnooze(const QDateTime& now) {
  if (!snoozeDue_.isValid() || !now.isValid() || now < snoozeDue_) return false;
  snoozeDue_ = QDateTime();
  if (player_.StopCount() != snoozeStops_) return false;  // stopped since
  Ring(snoozeFile_);
  return true;
}

bool AlarmClock::Snooze(const QDateTime& now) {
  if (!player_.IsPlaying() || !now.isValid()) return false;
  snoozeFile_ = player_.CurrentFile();
  player_.Stop();
  snoozeStops_ = player_.StopCount();
  snoozeDue_ = now.addSecs(kSnoozeMinutes * 60);
  return true;
}

void AlarmClock::Stop() {
  player_.Stop();
  snoozeDue_ = QDateTime();
}
