#include "sleep/alarmentry.h"

#include <QLocale>
#include <cmath>

#include "core/textutil.h"

namespace {
const QString kDaily = QStringLiteral("Daily");
const QString kFixedDatePattern = QStringLiteral("dddd mmmm, d, yyyy");
const QString kTimePattern = QStringLiteral("hh:mm ampm");

QLocale English() { return QLocale(QLocale::English, QLocale::UnitedStates); }

// The weekday a token of a weekly days text names, 0 for none. Lists written by older
// versions under another locale hold that locale's short names; they still ring.
int WeekdayOfToken(const QString& token) {
  const QLocale locale = AppLocale();
  for (int w = 1; w <= 7; ++w) {
    if (token.compare(WeekdayName(w), Qt::CaseInsensitive) == 0) return w;
    if (token.compare(locale.dayName(w, QLocale::ShortFormat), Qt::CaseInsensitive) == 0)
      return w;
  }
  return 0;
}
}  // namespace

QString WeekdayName(int weekday) {
  static const char* const kNames[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  return (weekday >= 1 && weekday <= 7) ? QString::fromLatin1(kNames[weekday - 1]) : QString();
}

QString AlarmDaysText(AlarmFrequency frequency, WeekdaySet weekdays, const QDate& date) {
  switch (frequency) {
    case AlarmFrequency::Daily:
      return kDaily;
    case AlarmFrequency::Weekly: {
      QString days;
      for (int w = 1; w <= 7; ++w)
        if (weekdays & WeekdayBit(w)) days += WeekdayName(w) + QLatin1Char(' ');
      return days;
    }
    case AlarmFrequency::FixedDate:
      // In English whatever the locale, as the weekday names: the list rings the same
      // wherever it is read.
      return FormatDate(kFixedDatePattern, date, FileLocale());
  }
  return kDaily;
}

QString AlarmTimeText(const QDateTime& time) {
  return time.isValid() ? FormatDateTime(kTimePattern, time) : QString();
}

QString AlarmCaption(const QString& daysText, const QDateTime& time) {
  return daysText.trimmed() + QStringLiteral(" at ") + AlarmTimeText(time);
}

QString AlarmTimeValueText(const QDateTime& time) {
  // QString::number always writes ".": the file reads the same in every locale.
  return QString::number(DateTimeNumber(time), 'g', 15);
}

QDateTime ReadAlarmTime(const QString& text) {
  // A time value has no thousands, so either separator can only be the decimal one.
  QString t = text.trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  const QString point = AppLocale().decimalPoint();
  if (point.size() == 1 && point != QLatin1String(".")) t.replace(point, QStringLiteral("."));
  bool ok = false;
  const double v = QLocale::c().toDouble(t, &ok);
  if (!ok || !std::isfinite(v)) return {};
  return DateTimeFromNumber(v);
}

ListViewItem MakeAlarmEntry(const QString& daysText, const QDateTime& time) {
  ListViewItem item;
  item.checked = true;
  item.caption = AlarmCaption(daysText, time);
  item.subItems << daysText << AlarmTimeValueText(time);
  return item;
}

bool AlarmDaysMatch(const QString& daysText, const QDate& today) {
  const QString days = daysText.simplified();
  if (days.isEmpty() || !today.isValid()) return false;
  if (days.compare(kDaily, Qt::CaseInsensitive) == 0) return true;

  const QStringList tokens = days.split(QLatin1Char(' '));
  bool weekly = true;
  bool todayNamed = false;
  for (const QString& token : tokens) {
    const int w = WeekdayOfToken(token);
    if (w == 0) {
      weekly = false;
      break;
    }
    if (w == today.dayOfWeek()) todayNamed = true;
  }
  if (weekly) return todayNamed;

  // One fixed date: that day only, in the locale it was written in or in English.
  return days == FormatDate(kFixedDatePattern, today).simplified() ||
         days == FormatDate(kFixedDatePattern, today, English()).simplified();
}

bool AlarmRings(const ListViewItem& entry, const QDateTime& now) {
  if (!entry.checked || entry.subItems.size() < 2 || !now.isValid()) return false;
  const QDateTime time = ReadAlarmTime(entry.subItems.at(1));
  if (!time.isValid()) return false;
  if (time.time().hour() != now.time().hour() || time.time().minute() != now.time().minute())
    return false;
  return AlarmDaysMatch(entry.subItems.at(0), now.date());
}
