#include "trackers/pressurehistory.h"

#include <QDir>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "core/textutil.h"

namespace {
QList<QLocale> DateLocales() {
  QList<QLocale> locales{AppLocale()};
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  if (locales.first() != english) locales << english;
  return locales;
}

PressureAverage Average(double sys, double dia, int count) {
  PressureAverage a;
  a.count = count;
  if (count > 0) {
    a.systolic = int(std::lround(sys / count));
    a.diastolic = int(std::lround(dia / count));
  }
  return a;
}
}  // namespace

QDate PressureCellDate(const QString& cell) {
  const QString t = cell.simplified();
  if (t.isEmpty()) return {};
  QDate d = QDate::fromString(t, Qt::ISODate);
  if (d.isValid()) return d;
  for (const QLocale& locale : DateLocales()) {
    for (const QString& pattern : {QStringLiteral("MMM d, yyyy"), QStringLiteral("MMMM d, yyyy")}) {
      d = locale.toDate(t, pattern);
      if (d.isValid()) return d;
    }
  }
  return ParseShortDate(t);
}

QTime PressureCellTime(const QString& cell) {
  const QString t = cell.simplified();
  if (t.isEmpty()) return {};
  for (const QLocale& locale : DateLocales()) {
    for (const QString& pattern : {QStringLiteral("h:mm AP"), QStringLiteral("h:mm ap"),
                                   QStringLiteral("h:mmAP"), QStringLiteral("h:mm:ss AP")}) {
      const QTime time = locale.toTime(t, pattern);
      if (time.isValid()) return time;
    }
  }
  for (const QString& pattern : {QStringLiteral("H:mm"), QStringLiteral("H:mm:ss")}) {
    const QTime time = QTime::fromString(t, pattern);
    if (time.isValid()) return time;
  }
  return {};
}

void CollectReadings(const CellGrid& grid, const QDate& first, const QDate& last,
                     PressureHistory* history) {
  for (int r = 1; r < grid.RowCount(); ++r) {
    const int sys = PressureValue(grid.Cell(kBpSystolic, r));
    const int dia = PressureValue(grid.Cell(kBpDiastolic, r));
    if (sys <= 0 || dia <= 0) continue;
    const QDate date = PressureCellDate(grid.Cell(kBpDate, r));
    if (!date.isValid()) {
      ++history->undated;
      continue;
    }
    if (date < first || date > last) continue;
    DatedReading reading;
    reading.date = date;
    reading.time = PressureCellTime(grid.Cell(kBpTime, r));
    reading.systolic = sys;
    reading.diastolic = dia;
    const int pulse = PressureValue(grid.Cell(kBpPulse, r));
    reading.pulse = pulse > 0 ? pulse : -1;
    reading.category = ClassifyPressure(sys, dia);
    history->readings << reading;
  }
}

PressureHistory ReadPressureHistory(const QString& heartFolder, const QDate& first,
                                    const QDate& last) {
  PressureHistory history;
  const QStringList logs =
      QDir(heartFolder).entryList({QStringLiteral("Y*-pressure.txt")}, QDir::Files, QDir::Name);
  for (const QString& name : logs) {
    CellGrid grid(kPressureColumns, 1);
    QString error;
    if (!LoadGridFile(grid, heartFolder + name, &error)) {
      history.errors << error;
      continue;
    }
    CollectReadings(grid, first, last, &history);
  }
  SortReadings(&history.readings);
  return history;
}

void SortReadings(QVector<DatedReading>* readings) {
  std::stable_sort(readings->begin(), readings->end(),
                   [](const DatedReading& a, const DatedReading& b) {
                     if (a.date != b.date) return a.date < b.date;
                     const int ta = a.time.isValid() ? a.time.msecsSinceStartOfDay() : -1;
                     const int tb = b.time.isValid() ? b.time.msecsSinceStartOfDay() : -1;
                     return ta < tb;
                   });
}

PressureSummary SummarizePressure(const QVector<DatedReading>& readings) {
  PressureSummary s;
  double sums[3][2] = {};
  int counts[3] = {};
  for (const DatedReading& r : readings) {
    sums[0][0] += r.systolic;
    sums[0][1] += r.diastolic;
    ++counts[0];
    if (!r.time.isValid()) {
      ++s.untimed;
    } else {
      const int part = r.time < QTime(12, 0) ? 1 : 2;
      sums[part][0] += r.systolic;
      sums[part][1] += r.diastolic;
      ++counts[part];
    }
    auto above = [](const DatedReading& a, const DatedReading& b) {
      return a.systolic != b.systolic ? a.systolic > b.systolic : a.diastolic > b.diastolic;
    };
    if (!s.highest || above(r, *s.highest)) s.highest = r;
    if (!s.lowest || above(*s.lowest, r)) s.lowest = r;
  }
  s.all = Average(sums[0][0], sums[0][1], counts[0]);
  s.morning = Average(sums[1][0], sums[1][1], counts[1]);
  s.evening = Average(sums[2][0], sums[2][1], counts[2]);
  return s;
}

QString PressureText(int systolic, int diastolic) {
  return QStringLiteral("%1/%2 mm Hg").arg(systolic).arg(diastolic);
}
