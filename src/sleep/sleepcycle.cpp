#include "sleep/sleepcycle.h"

#include "sleep/alarmentry.h"
#include "sleep/alarmlist.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

QString SleepCycleText() {
  return QStringLiteral(
      "1,-1,-2,-3,-4,-3,-1,-3,-4,-4,-3,-1,-1,-2,-3,-3,-2,-1,-1,-1,-2,-2,-2,-1,-2,-1,-2,-2,"
      "-0.5,-0.5,-0.5,-0.5,-0.5,-0.5,-0.5,0.5");
}

QList<double> SleepCycleValues() {
  QList<double> out;
  const QStringList parts = SleepCycleText().split(QLatin1Char(','));
  for (const QString& p : parts) out << QLocale::c().toDouble(p);
  return out;
}

QList<SleepCyclePoint> SleepCyclePoints(const QDateTime& bedTime) {
  QList<SleepCyclePoint> out;
  if (!bedTime.isValid()) return out;
  const QList<double> values = SleepCycleValues();
  for (int i = 0; i < values.size(); ++i)
    out.append({bedTime.addSecs(qint64(i) * 15 * 60), values.at(i)});
  return out;
}

QDateTime WakeUpTime(const QDateTime& bedTime, double hours) {
  return bedTime.addSecs(std::llround(hours * 3600));
}

namespace {
QDateTime EntryTime(const ListViewItem& entry) {
  return entry.subItems.size() < 2 ? QDateTime() : ReadAlarmTime(entry.subItems.at(1));
}
}  // namespace

ChartNight ChartNightOf(const AlarmList& bedTimes, int selected, const AlarmList* wakeUpTimes) {
  if (selected >= 0 && selected < bedTimes.Count()) {
    const QDateTime bed = EntryTime(bedTimes.Items().at(selected));
    if (bed.isValid())
      return {bed, QStringLiteral("For the bed time ") + AlarmTimeText(bed)};
  }
  if (wakeUpTimes) {
    QDateTime wake;
    for (const ListViewItem& e : wakeUpTimes->Items()) {
      const QDateTime t = EntryTime(e);
      if (!t.isValid()) continue;
      if (!wake.isValid()) wake = t;
      if (e.checked || !wakeUpTimes->HasCheckBoxes()) {
        wake = t;
        break;
      }
    }
    if (wake.isValid())
      return {WakeUpTime(wake, -kAdultSleepHours),
              QStringLiteral("For waking at ") + AlarmTimeText(wake) +
                  QStringLiteral(" (your wake-up alarm)")};
  }
  const QDateTime bed(QDate(2000, 1, 1), QTime(22, 30));
  return {bed, QStringLiteral("For a bed time of ") + AlarmTimeText(bed) +
                   QStringLiteral(": choose one of yours to see its own")};
}
