#include "cycle/cyclestable.h"

#include <QStringList>

#include "cycle/cyclereading.h"

namespace {

QString Iso(const QDate& date) {
  return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("-");
}

}  // namespace

QString CyclesTableText(const CycleReading& reading) {
  QString out;
  for (const CycleRow& r : reading.Rows()) {
    const TemperatureShift& shift = r.signs.shift;
    const MucusPeak& peak = r.signs.peak;
    const QStringList fields = {
        Iso(r.cycle.start),
        r.cycle.IsCurrent() ? QString() : QString::number(r.cycle.length),
        Iso(shift.firstHigher),
        Iso(shift.confirmed),
        Iso(peak.peak),
        Iso(peak.confirmed),
    };
    out += fields.join(u'\t') + u'\n';
  }
  const CycleStats& s = reading.Forecast().stats;
  const bool figures = s.HasFigures();
  const auto line = [&](const char* name, const QString& value) {
    out += QLatin1String(name) + u'\t' + (figures ? value : QStringLiteral("-")) + u'\n';
  };
  line("average", ScriptNumber(s.average));
  line("shortest", QString::number(s.shortest));
  line("longest", QString::number(s.longest));
  line("sd", ScriptNumber(s.deviation));
  const QVector<PeriodWindow>& w = reading.Forecast().windows;
  out += QStringLiteral("next period\t") +
         (w.isEmpty() ? QStringLiteral("-\t-") : Iso(w.front().first) + u'\t' + Iso(w.front().last)) +
         u'\n';
  return out;
}
