#pragma once
// The alarm clock of a view: every tick (the view's timer runs every 59 seconds, so every
// minute sees at least one) scans the bed-time list, then the second list (wake-up or
// feeding times), and rings the first checked entry of each that is due. A ringing alarm
// stops by itself at the 59th tick after it rang; Snooze rings the same sound again five
// minutes later; Stop ends the sound and a pending snooze. The clock never asks the time
// itself: the caller passes "now" (Clock::Now in the program, a stepped clock in tests).

#include <QDateTime>
#include <QString>
#include <array>
#include <functional>

class AlarmList;
class SoundPlayer;

class AlarmClock {
 public:
  // The tick count runs out above this: 59 ticks after the ring.
  static constexpr int kStopAfter = 60;
  static constexpr int kSnoozeMinutes = 5;
  static constexpr int kTickMs = 59000;

  enum ListIndex { kBedList = 0, kSecondList = 1 };
  // The wave file a list's alarm plays; empty for none.
  using SoundFile = std::function<QString(int list)>;

  struct TickResult {
    bool bedRang = false;
    bool secondRang = false;
    // The index of the entry that rang in each list, -1 for none.
    std::array<int, 2> entry{-1, -1};
    bool snoozeRang = false;
    bool stopped = false;  // the automatic stop ended the alarm's sound
  };

  explicit AlarmClock(SoundPlayer& player) : player_(player) {}

  TickResult Tick(const QDateTime& now, const std::array<const AlarmList*, 2>& lists,
                  const SoundFile& sound);

  // Rings the snoozed sound when its time has come and no Stop came in between.
  bool RingDueSnooze(const QDateTime& now);
  // Stops the sound that plays and rings it again kSnoozeMinutes after now. False when
  // nothing plays.
  bool Snooze(const QDateTime& now);
  // The user's Stop: the sound, and any snooze of this clock.
  void Stop();

  int TickCount() const { return ticks_; }
  QDateTime SnoozeDue() const { return snoozeDue_; }
  // The sound that the last ring started (0: none).
  quint64 RingingId() const { return ringing_; }

 private:
  void Ring(const QString& file);

  SoundPlayer& player_;
  int ticks_ = 0;
  quint64 ringing_ = 0;
  // The minute in which each list last rang: a second tick in that minute does not ring
  // it again.
  std::array<QDateTime, 2> rangAt_;
  QDateTime snoozeDue_;
  QString snoozeFile_;
  quint64 snoozeStops_ = 0;
};
