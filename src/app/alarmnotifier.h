#pragma once
// A ringing alarm also shows itself on the desktop: a notice that names it, with Stop and
// Snooze, for when the window is hidden, covered or on another page and no sound reaches
// her. The program speaks the desktop's notification service (desktopnotifier.h); tests
// give a recorder.

#include <QString>
#include <functional>

enum class AlarmAnswer { Stop, Snooze };

struct AlarmNotice {
  QString title;  // what rings: "Wake up Alarm"
  QString text;   // which entry, and whether it can be heard: "Daily at 06:30 AM"
};

class AlarmNotifier {
 public:
  using Answer = std::function<void(AlarmAnswer)>;
  virtual ~AlarmNotifier() = default;
  // Shows the notice of one alarm source (a view's clock), replacing the one it showed
  // before; `answer` hears her Stop or Snooze on it.
  virtual void Show(const QString& source, const AlarmNotice& notice, Answer answer) = 0;
  // The source's alarm ended (stopped, snoozed, rang out): its notice goes.
  virtual void Withdraw(const QString& source) = 0;
};
