#pragma once
// The first start's questions: the first day of her last period, her usual cycle length,
// her units and whether the program starts at login. Later starts never ask; every answer
// stays changeable (the footer, the preferences, the Settings menu).

#include <QDate>
#include <QLocale>

class Config;

struct WelcomeAnswers {
  QDate lastPeriod;
  int cycleLength = 28;
  bool kilograms = false;  // else pounds (and inches for her height)
  bool celsius = false;    // else Fahrenheit
  bool startAtLogin = false;
};

// What the welcome proposes: the settings as they are, the units of her locale (pounds
// and Fahrenheit where the locale measures in US units, else kilograms and Celsius), and
// no start at login.
WelcomeAnswers ProposedWelcome(const Config& config, const QLocale& locale = QLocale());
// Her answers into the settings (the cycle length and the last period within the
// footer's ranges); the caller saves them.
void ApplyWelcome(const WelcomeAnswers& answers, Config& config);
