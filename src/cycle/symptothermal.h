#pragma once
// The symptothermal reading of one cycle, as published for natural family planning and
// as open-source trackers implement it: the temperature shift over a cover line, the
// mucus peak, and the fertile phase they bound. Plain functions over the cycle's days
// (cycle/daysigns.h): no files, no clock.
//
// Temperature shift. Only readings that are not marked disturbed count; days without one
// are skipped. Readings are compared after rounding to 0.05 °C. The first higher reading
// is the first reading above all of the six counted readings before it; the cover line
// is the highest of those six. The shift is confirmed
//   (a) when the two readings after the first higher one are above the cover line and
//       the third higher reading is at least 0.2 °C above it; confirmed on the third;
//   or else (b) when the three readings after it are above the cover line (the fourth
//       higher reading need only be above it); confirmed on the fourth;
//   or else (c) when exactly one of the second and third readings is on or below the
//       cover line and the fourth reading is at least 0.2 °C above it; confirmed on the
//       fourth. The reading on or below the line is not numbered.
// A first higher reading that none of these confirms is passed over, and the search goes
// on from the next reading.
//
// Mucus peak. The last day of the best quality seen in the cycle (wet above sticky above
// dry; period days do not count, and dry alone is no peak), confirmed by the next three
// recorded days all of lower quality: the peak is confirmed on the third of them.
//
// Fertile phase. It ends on the evening of the later of the two confirmations. Before
// that, a day is possibly fertile from the first mucus seen (sticky or wet). The first
// five days of a cycle are likely infertile only when the cycle before had a confirmed
// shift; from 12 cycles with a confirmed shift on, the earliest first higher reading
// (as a cycle day) minus 8 days may shorten that, never lengthen it. Mucus seen within
// those days ends them.

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

#include "cycle/daysigns.h"

// The steps of 0.05 °C that "at least 0.2 °C above" asks for.
inline constexpr int kClearRiseSteps = 4;
inline constexpr int kLowReadings = 6;
inline constexpr int kFirstDaysRule = 5;    // the first five days
inline constexpr int kMinusDays = 8;        // the minus-8 rule
inline constexpr int kCyclesForMinusRule = 12;

enum class ShiftState {
  TooFewReadings,  // fewer than seven counted readings: no cover line can be drawn
  NoRise,          // readings enough, but no first higher reading was confirmed
  Awaiting,        // a first higher reading waits for the readings that would confirm it
  Confirmed,
};
enum class ShiftRule { None, ThirdAbove, FourthAbove, OneDip };  // (a), (b), (c)

struct TemperatureShift {
  ShiftState state = ShiftState::TooFewReadings;
  ShiftRule rule = ShiftRule::None;
  int readings = 0;           // counted readings in the days read
  QDate firstHigher;          // Confirmed or Awaiting: the first higher reading
  QDate confirmed;            // Confirmed: the day of the reading that confirmed it
  int coverSteps = 0;         // the cover line, in steps of 0.05 °C (Confirmed, Awaiting)
  BodyTemperature cover;      // the same line as she entered it: the highest of the six
  QVector<QDate> lowDays;     // the six readings the cover line rests on
  QVector<QDate> higherDays;  // the higher readings, in order: numbered 1, 2, 3 (4)
  QDate dipDay;               // rule (c): the reading on or below the line
};
TemperatureShift FindTemperatureShift(DaySignsSpan days);

enum class PeakState { NoMucus, Awaiting, Confirmed };

struct MucusPeak {
  PeakState state = PeakState::NoMucus;
  QDate firstMucus;           // the first day with sticky or wet mucus
  QDate peak;                 // the last day of the best quality
  Mucus quality = Mucus::None;
  QVector<QDate> lowerDays;   // the recorded days after the peak (up to three)
  QDate confirmed;            // Confirmed: the third of them
};
MucusPeak FindMucusPeak(DaySignsSpan days);

enum class EarlyRule { None, FirstFiveDays, MinusEight };

// What a cycle's reading takes from the cycles before it.
struct CycleContext {
  bool hasPreviousCycle = false;
  ShiftState previousShift = ShiftState::TooFewReadings;
  // Cycles before this one with a confirmed shift, and the earliest cycle day of their
  // first higher readings (0 when there is none).
  int shiftCycles = 0;
  int earliestFirstHigherDay = 0;
  // The unit her texts show temperatures in (the cover line).
  TemperatureUnit unit = TemperatureUnit::Fahrenheit;
};

struct CycleSignsReading {
  QDate start;
  QDate last;  // the day before the next start; for the current cycle, today (or the last day read)
  TemperatureShift shift;
  MucusPeak peak;
  QDate fertileEnd;   // its evening ends the fertile phase; invalid until both are confirmed
  QDate ovulation;    // estimated: the day before the first higher reading (confirmed shift)
  EarlyRule earlyRule = EarlyRule::None;
  int earlyDays = 0;  // cycle days 1..earlyDays are likely infertile (0: none)
  int earlyRuleDays = 0;  // what the rule gave before mucus cut it short
  CycleContext context;

  int CycleDay(const QDate& date) const { return static_cast<int>(start.daysTo(date)) + 1; }
  int FirstHigherDay() const { return shift.firstHigher.isValid() ? CycleDay(shift.firstHigher) : 0; }
};

// Reads the days of one cycle, from start to last (both included).
CycleSignsReading EvaluateCycle(const QDate& start, const QDate& last, DaySignsSpan days,
                                const CycleContext& context);

enum class FertilityStatus {
  NoCycle,               // before her first recorded period start
  Paused,                // a day in a pause she marked (pregnancy, breast-feeding, a gap)
  NotEnoughReadings,     // too few readings or signs to read this day
  LikelyInfertileEarly,  // the first days of the cycle
  PossiblyFertile,
  FertileEndsTonight,    // the day of the later confirmation
  LikelyInfertileAfter,  // after that evening, until the next period
};

struct DayStatus {
  FertilityStatus status = FertilityStatus::NoCycle;
  QString text;  // plain words: what it is, what it rests on, and that it is no contraception
};

// Every text that reads her signs ends with this sentence.
QString NotContraceptionText();

// The status of a date of this cycle. today: days after it have no records yet.
DayStatus CycleDayStatus(const CycleSignsReading& cycle, const QDate& date, const QDate& today);
