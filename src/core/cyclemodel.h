#pragma once
// The cycle arithmetic: where a date falls in its menstrual cycle, the colour it is
// painted, the advice and marks for the user's goal, the chance of pregnancy, the due
// date and its zodiac sign. No state, no allocation, no file access: every answer is
// computed from the settings passed in.

#include <QColor>
#include <QDate>
#include <QString>
#include <optional>

struct CycleSettings {
  QDate LastPeriod;      // first day of the last period
  int CycleLength = 28;  // 20 to 40
  int LutealLength = 14; // 10 to 18
  int Goal = 0;          // -1 none, 0 avoid, 1 conceive, 2 boy, 3 girl
  bool operator==(const CycleSettings&) const = default;
};

enum class CycleClassKind {
  PeriodDay1, PeriodDay2, PeriodDay3, PeriodDay4, PeriodDay5, Fertile, Ovulation, Neutral
};
enum class GoalMarkKind { None, Heart, OvulationHeart, Cross };

inline constexpr int kGoalNone = -1;
inline constexpr int kDueDays = 266;

// The goal selector's item texts, indexed by goal 0..3.
QString GoalName(int goal);

int OvulationIndex(const CycleSettings& s);  // CycleLength - LutealLength

// Settings that cannot place a date (an invalid LastPeriod, CycleLength below 1) and
// an invalid date give index 0 (PeriodDay1, cycle day 1) instead of failing.
// Julian-day forms for the hot paths (month grid, date strips); the QDate forms call them.
int DayIndex(const CycleSettings& s, qint64 julianDay);
CycleClassKind CycleClass(const CycleSettings& s, qint64 julianDay);

int DayIndex(const CycleSettings& s, const QDate& date);
CycleClassKind CycleClass(const CycleSettings& s, const QDate& date);
QColor ClassColour(CycleClassKind c);
QColor CycleColour(const CycleSettings& s, const QDate& date);
int OvulationOffset(const CycleSettings& s, const QDate& date);
int CycleDayNumber(const CycleSettings& s, const QDate& date);
bool IsCriticalDay(CycleClassKind c);  // the five period days
bool IsFertileDay(CycleClassKind c);   // Fertile or Ovulation
// Null QString when the goal is -1 (no advice).
QString AdviceText(const CycleSettings& s, const QDate& date);
GoalMarkKind GoalMark(const CycleSettings& s, const QDate& date);
std::optional<int> ProbabilityPoint(const CycleSettings& s, const QDate& date);
QDate DueDate(const QDate& conception);
QString ZodiacSign(const QDate& date);
