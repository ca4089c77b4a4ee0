#include "cycle/calendarexport.h"

#include <libical/ical.h>

#include <cstdlib>

#include "core/textfile.h"

namespace {

const char* KindWord(PredictedEvent::Kind k) {
  switch (k) {
    case PredictedEvent::Kind::Period: return "period";
    case PredictedEvent::Kind::Fertile: return "fertile";
    case PredictedEvent::Kind::Ovulation: return "ovulation";
  }
  return "event";
}

QString Summary(PredictedEvent::Kind k) {
  switch (k) {
    case PredictedEvent::Kind::Period: return QStringLiteral("Period expected");
    case PredictedEvent::Kind::Fertile: return QStringLiteral("Fertile window");
    case PredictedEvent::Kind::Ovulation: return QStringLiteral("Ovulation day");
  }
  return {};
}

// What the prediction rests on, and what it is not.
QString Basis(const CycleSettings& s) {
  return QStringLiteral(
             "Predicted by Mavelo from your calendar settings: last period %1, cycle of %2 "
             "days, luteal phase of %3 days. A prediction from the calendar, not a reading "
             "of your signs, and not a method of contraception.")
      .arg(s.LastPeriod.toString(Qt::ISODate))
      .arg(s.CycleLength)
      .arg(s.LutealLength);
}

icaltimetype DateValue(const QDate& d) {
  icaltimetype t = icaltime_null_date();
  t.year = d.year();
  t.month = d.month();
  t.day = d.day();
  t.is_date = 1;
  return t;
}

}  // namespace

QList<PredictedEvent> PredictedEvents(const CycleSettings& s, const QDate& from, int cycles) {
  QList<PredictedEvent> out;
  if (!s.LastPeriod.isValid() || s.CycleLength <= 0 || !from.isValid() || cycles <= 0) return out;
  // The first day of the cycle that holds `from`.
  QDate start = from.addDays(-DayIndex(s, from));
  int counted = 0;
  // A cycle longer than a few years is no cycle: the loop is bounded by the count.
  for (int guard = 0; counted < cycles && guard < cycles + 2; ++guard) {
    const QDate end = start.addDays(s.CycleLength - 1);
    QList<PredictedEvent> cycle;
    // Runs of days of one kind, as the model colours them.
    for (QDate d = start; d <= end; d = d.addDays(1)) {
      const CycleClassKind c = CycleClass(s, d);
      auto extend = [&](PredictedEvent::Kind kind) {
        for (PredictedEvent& e : cycle)
          if (e.kind == kind && e.last.addDays(1) == d) {
            e.last = d;
            return;
          }
        cycle.append({kind, d, d});
      };
      if (IsCriticalDay(c)) extend(PredictedEvent::Kind::Period);
      if (IsFertileDay(c)) extend(PredictedEvent::Kind::Fertile);
      if (c == CycleClassKind::Ovulation) extend(PredictedEvent::Kind::Ovulation);
    }
    bool ahead = false;
    for (const PredictedEvent& e : std::as_const(cycle)) ahead = ahead || e.last >= from;
    if (ahead) {
      ++counted;
      for (PredictedEvent& e : cycle) {
        if (e.last < from) continue;
        e.summary = Summary(e.kind);
        const QString advice = AdviceText(s, e.first);
        e.description = advice.isNull() ? Basis(s) : advice + QStringLiteral("\n\n") + Basis(s);
        e.uid = QStringLiteral("%1-%2@mavelo.app")
                    .arg(QLatin1String(KindWord(e.kind)), e.first.toString(QStringLiteral("yyyyMMdd")));
        out << e;
      }
    }
    start = end.addDays(1);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const PredictedEvent& a, const PredictedEvent& b) { return a.first < b.first; });
  return out;
}

QByteArray CalendarText(const QList<PredictedEvent>& events, const QDateTime& stamp) {
  icalcomponent* cal = icalcomponent_new_vcalendar();
  icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
  icalcomponent_add_property(cal, icalproperty_new_prodid("-//Tarnwick//Mavelo//EN"));
  icalcomponent_add_property(cal, icalproperty_new_calscale("GREGORIAN"));
  icalproperty* name = icalproperty_new_x("Mavelo cycle");
  icalproperty_set_x_name(name, "X-WR-CALNAME");
  icalcomponent_add_property(cal, name);

  const QDateTime utc = stamp.toUTC();
  icaltimetype dtstamp = icaltime_null_time();
  dtstamp.year = utc.date().year();
  dtstamp.month = utc.date().month();
  dtstamp.day = utc.date().day();
  dtstamp.hour = utc.time().hour();
  dtstamp.minute = utc.time().minute();
  dtstamp.second = utc.time().second();
  dtstamp.zone = icaltimezone_get_utc_timezone();

  for (const PredictedEvent& e : events) {
    icalcomponent* ev = icalcomponent_new_vevent();
    icalcomponent_add_property(ev, icalproperty_new_uid(e.uid.toUtf8().constData()));
    icalcomponent_add_property(ev, icalproperty_new_dtstamp(dtstamp));
    icalproperty* start = icalproperty_new_dtstart(DateValue(e.first));
    icalproperty_add_parameter(start, icalparameter_new_value(ICAL_VALUE_DATE));
    icalcomponent_add_property(ev, start);
    // The end of an all-day event is the day after its last day.
    icalproperty* end = icalproperty_new_dtend(DateValue(e.last.addDays(1)));
    icalproperty_add_parameter(end, icalparameter_new_value(ICAL_VALUE_DATE));
    icalcomponent_add_property(ev, end);
    icalcomponent_add_property(ev, icalproperty_new_summary(e.summary.toUtf8().constData()));
    icalcomponent_add_property(ev, icalproperty_new_description(e.description.toUtf8().constData()));
    icalcomponent_add_property(ev, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    icalcomponent_add_property(ev, icalproperty_new_categories(KindWord(e.kind)));
    icalcomponent_add_component(cal, ev);
  }
  char* text = icalcomponent_as_ical_string_r(cal);
  QByteArray bytes(text ? text : "");
  std::free(text);
  icalcomponent_free(cal);
  return bytes;
}

bool WriteCycleCalendar(const QString& path, const CycleSettings& settings, const QDate& from,
                        int cycles, QString* error, int* count) {
  const QList<PredictedEvent> events = PredictedEvents(settings, from, cycles);
  if (count) *count = events.size();
  const QByteArray text = CalendarText(events, QDateTime::currentDateTimeUtc());
  if (text.isEmpty()) {
    if (error) *error = CannotCreateMessage(path, QStringLiteral("the calendar could not be made"));
    return false;
  }
  return WriteFileBytes(path, text, error);
}
