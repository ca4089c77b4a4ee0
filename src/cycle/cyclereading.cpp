#include "cycle/cyclereading.h"

#include <algorithm>

void CycleReading::Build(const QVector<PeriodStart>& starts, const QVector<CyclePause>& pauses,
                         DaySignsList days, const QDate& today, TemperatureUnit unit) {
  rows_.clear();
  pauses_ = pauses;
  days_ = std::move(days);
  SortDaySigns(days_);
  today_ = today;
  unit_ = unit;

  const QVector<PeriodStart> merged = MergeStarts(starts, PeriodStartsFromDays(days_));
  const QVector<Cycle> cycles = CyclesFromStarts(StartDates(merged), pauses_);
  forecast_ = ForecastCycles(cycles, pauses_, today_);

  rows_.reserve(cycles.size());
  CycleContext context;
  context.unit = unit_;
  for (qsizetype i = 0; i < cycles.size(); ++i) {
    CycleRow row;
    row.cycle = cycles[i];
    row.source = merged[i].source;
    QDate last = row.cycle.LastDay();
    if (!last.isValid()) {
      // The current cycle runs to today, or to its last record when that lies later.
      const DaySignsSpan after = DaysBetween(days_, row.cycle.start, QDate());
      last = today_.isValid() && today_ >= row.cycle.start ? today_ : row.cycle.start;
      if (!after.empty() && after.back().date > last) last = after.back().date;
    }
    row.signs = EvaluateCycle(row.cycle.start, last, DaysBetween(days_, row.cycle.start, last),
                              context);
    const TemperatureShift& shift = row.signs.shift;
    if (shift.state == ShiftState::Confirmed && row.cycle.length > 0)
      row.lutealLength = static_cast<int>(row.signs.ovulation.daysTo(row.cycle.start.addDays(row.cycle.length)));

    // What the next cycle takes from this one.
    context.hasPreviousCycle = true;
    context.previousShift = shift.state;
    if (shift.state == ShiftState::Confirmed) {
      const int day = row.signs.FirstHigherDay();
      context.earliestFirstHigherDay =
          context.shiftCycles == 0 ? day : std::min(context.earliestFirstHigherDay, day);
      ++context.shiftCycles;
    }
    rows_.append(row);
  }
}

int CycleReading::RowOf(const QDate& date) const {
  if (!date.isValid() || rows_.isEmpty() || date < rows_.front().cycle.start) return -1;
  auto after = std::upper_bound(rows_.begin(), rows_.end(), date,
                                [](const QDate& d, const CycleRow& r) { return d < r.cycle.start; });
  return static_cast<int>(after - rows_.begin()) - 1;
}

DayStatus CycleReading::StatusOn(const QDate& date) const {
  for (const CyclePause& p : pauses_)
    if (p.Contains(date))
      return {FertilityStatus::Paused,
              QStringLiteral("A pause you marked (%1): your signs are not read for these days.")
                  .arg(PauseKindName(p.kind))};
  const int row = RowOf(date);
  if (row < 0)
    return {FertilityStatus::NoCycle,
            QStringLiteral("No period start is recorded before this day: record the first day "
                           "of a period to have your signs read.")};
  return CycleDayStatus(rows_[row].signs, date, today_);
}

CycleChart CycleReading::ChartOf(int row) const {
  CycleChart chart;
  chart.unit = unit_;
  if (row < 0 || row >= rows_.size()) return chart;
  const CycleSignsReading& s = rows_[row].signs;
  chart.start = s.start;
  chart.last = s.last;
  for (const DaySigns& d : DaysBetween(days_, s.start, s.last))
    if (d.temperature)
      chart.readings.append({d.date, s.CycleDay(d.date), *d.temperature, d.disturbed});

  const TemperatureShift& shift = s.shift;
  if (shift.state == ShiftState::Confirmed || shift.state == ShiftState::Awaiting) {
    chart.hasCoverLine = true;
    chart.coverLine = BodyTemperature(shift.cover.HundredthsIn(unit_), unit_);
    chart.coverFrom = shift.lowDays.isEmpty() ? shift.firstHigher : shift.lowDays.front();
    chart.coverTo = shift.confirmed.isValid() ? shift.confirmed : shift.higherDays.back();
    chart.higher = shift.higherDays;
    chart.dipDay = shift.dipDay;
    chart.firstHigher = shift.firstHigher;
    chart.shiftConfirmed = shift.confirmed;
  }
  chart.peakDay = s.peak.peak;
  chart.peakConfirmed = s.peak.confirmed;
  chart.fertileEnd = s.fertileEnd;
  return chart;
}

AverageSettings CycleReading::Averages() const {
  AverageSettings a;
  const CycleStats& stats = forecast_.stats;
  if (stats.HasFigures()) {
    a.cycleLength = stats.averageDays;
    a.cycles = stats.used;
  }
  QVector<int> luteal;
  for (const CycleRow& r : rows_)
    if (r.lutealLength > 0 && r.cycle.Counts()) luteal.append(r.lutealLength);
  luteal = luteal.mid(std::max<qsizetype>(0, luteal.size() - kCyclesAveraged));
  if (luteal.size() >= kCyclesForFigures) {
    long long sum = 0;
    for (int n : luteal) sum += n;
    const auto n = static_cast<long long>(luteal.size());
    a.lutealLength = static_cast<int>((2 * sum + n) / (2 * n));
    a.lutealCycles = static_cast<int>(n);
  }
  return a;
}

QString CycleReading::NextPeriodText() const { return ::NextPeriodText(forecast_, today_); }

QString ChartSummaryText(const CycleChart& chart, const QDate& today) {
  int counted = 0, disturbed = 0;
  for (const ChartReading& r : chart.readings) (r.disturbed ? disturbed : counted)++;
  const auto readings = [](int n) {
    return QStringLiteral("%1 counted %2").arg(n).arg(n == 1 ? QStringLiteral("reading")
                                                            : QStringLiteral("readings"));
  };
  QString text;
  if (chart.hasCoverLine && chart.shiftConfirmed.isValid())
    text = QStringLiteral("Temperature rise confirmed on %1 over a cover line of %2 %3.")
               .arg(DayMonthText(chart.shiftConfirmed, today), chart.coverLine.Text(),
                    TemperatureUnitSymbol(chart.unit));
  else if (chart.hasCoverLine)
    text = QStringLiteral("First higher reading on %1: the readings that would confirm the "
                          "rise are still to come.")
               .arg(DayMonthText(chart.firstHigher, today));
  else if (counted < kLowReadings + 1)
    text = QStringLiteral("Not enough readings for a cover line: %1, %2 needed.")
               .arg(readings(counted))
               .arg(kLowReadings + 1);
  else
    text = QStringLiteral("No temperature rise is confirmed in this cycle's %1.").arg(readings(counted));
  if (disturbed > 0) text += QStringLiteral(" Readings marked disturbed are left out.");
  return text;
}
