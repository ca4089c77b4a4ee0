#include "app/welcome.h"

#include "app/config.h"

WelcomeAnswers ProposedWelcome(const Config& config, const QLocale& locale) {
  WelcomeAnswers a;
  a.lastPeriod = config.Cycle.LastPeriod;
  a.cycleLength = config.Cycle.CycleLength;
  const bool us = locale.measurementSystem() == QLocale::ImperialUSSystem;
  a.kilograms = !us;
  a.celsius = !us;
  a.startAtLogin = false;
  return a;
}

void ApplyWelcome(const WelcomeAnswers& answers, Config& config) {
  if (answers.lastPeriod.isValid())
    config.Cycle.LastPeriod = qBound(LastPeriodMinimum(), answers.lastPeriod, LastPeriodMaximum());
  config.Cycle.CycleLength = Config::ClampCycleLength(answers.cycleLength);
  config.MeasureUnits = answers.kilograms ? QStringLiteral("M") : QStringLiteral("I");
  config.TemperatureUnits = answers.celsius ? QStringLiteral("C") : QStringLiteral("F");
  config.AutoStart = answers.startAtLogin;
}
