#include "sleep/sleepcycle.h"

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
