// The calendar export: the predicted days of the cycle model as all-day events that
// libical (and Python's icalendar, where installed) read back, with stable UIDs.

#include <libical/ical.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "core/cyclemodel.h"
#include "cycle/calendarexport.h"

namespace {

CycleSettings Settings(int goal = 0) {
  CycleSettings s;
  s.LastPeriod = QDate(2026, 11, 20);
  s.CycleLength = 28;
  s.LutealLength = 14;
  s.Goal = goal;
  return s;
}

QDate DateOf(icaltimetype t) { return QDate(t.year, t.month, t.day); }

struct ParsedEvent {
  QString uid, summary, description;
  QDate start, end;
  bool allDay = false;
};

QList<ParsedEvent> ParseWithLibical(const QByteArray& text) {
  QList<ParsedEvent> out;
  icalcomponent* cal = icalparser_parse_string(text.constData());
  if (!cal) return out;
  for (icalcomponent* ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); ev;
       ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
    ParsedEvent e;
    e.uid = QString::fromUtf8(icalcomponent_get_uid(ev));
    e.summary = QString::fromUtf8(icalcomponent_get_summary(ev));
    e.description = QString::fromUtf8(icalcomponent_get_description(ev));
    const icaltimetype start = icalcomponent_get_dtstart(ev);
    e.allDay = start.is_date;
    e.start = DateOf(start);
    e.end = DateOf(icalcomponent_get_dtend(ev));
    out << e;
  }
  icalcomponent_free(cal);
  return out;
}

}  // namespace

class CalendarExportTest : public QObject {
  Q_OBJECT
 private slots:
  void eventsAreTheModelsDays() {
    const CycleSettings s = Settings();
    const QDate from(2026, 12, 10);  // day 21: this cycle's period and fertile days are past
    const QList<PredictedEvent> events = PredictedEvents(s, from, 12);
    QCOMPARE(events.size(), 12 * 3);
    // The first predicted period is the model's next first period day.
    const PredictedEvent& first = events.first();
    QCOMPARE(first.kind, PredictedEvent::Kind::Period);
    QDate next = from;
    while (CycleClass(s, next) != CycleClassKind::PeriodDay1) next = next.addDays(1);
    QCOMPARE(first.first, next);
    QCOMPARE(first.first, QDate(2026, 12, 18));
    // Every day of every event is of its kind, and the days around it are not.
    for (const PredictedEvent& e : events) {
      auto fits = [&](const QDate& d) {
        const CycleClassKind c = CycleClass(s, d);
        switch (e.kind) {
          case PredictedEvent::Kind::Period: return IsCriticalDay(c);
          case PredictedEvent::Kind::Fertile: return IsFertileDay(c);
          case PredictedEvent::Kind::Ovulation: return c == CycleClassKind::Ovulation;
        }
        return false;
      };
      for (QDate d = e.first; d <= e.last; d = d.addDays(1)) QVERIFY(fits(d));
      QVERIFY(!fits(e.first.addDays(-1)));
      QVERIFY(!fits(e.last.addDays(1)));
    }
    QCOMPARE(events.at(1).kind, PredictedEvent::Kind::Fertile);
    QCOMPARE(events.at(1).first, QDate(2026, 12, 28));
    QCOMPARE(events.at(1).last, QDate(2027, 1, 2));
    QCOMPARE(events.at(2).kind, PredictedEvent::Kind::Ovulation);
    QCOMPARE(events.at(2).first, QDate(2027, 1, 1));
  }

  void theCurrentCyclesDaysAheadCount() {
    // On day 3 the period is under way and its fertile window ahead: both are in.
    const QList<PredictedEvent> events = PredictedEvents(Settings(), QDate(2026, 11, 22), 1);
    QCOMPARE(events.size(), 3);
    QCOMPARE(events.first().first, QDate(2026, 11, 20));
  }

  void settingsThatPlaceNoDateGiveNoEvents() {
    CycleSettings s = Settings();
    s.CycleLength = 0;
    QVERIFY(PredictedEvents(s, QDate(2026, 12, 10), 12).isEmpty());
    s = Settings();
    s.LastPeriod = QDate();
    QVERIFY(PredictedEvents(s, QDate(2026, 12, 10), 12).isEmpty());
    // A luteal phase so long that ovulation falls in the period: periods only.
    s = Settings();
    s.CycleLength = 20;
    s.LutealLength = 18;
    const QList<PredictedEvent> events = PredictedEvents(s, QDate(2026, 12, 10), 3);
    QCOMPARE(events.size(), 3);
    for (const PredictedEvent& e : events) QCOMPARE(e.kind, PredictedEvent::Kind::Period);
  }

  void libicalReadsTheFile() {
    const QList<PredictedEvent> events = PredictedEvents(Settings(), QDate(2026, 12, 10), 12);
    const QByteArray text = CalendarText(events, QDateTime(QDate(2026, 12, 10), QTime(9, 0), Qt::UTC));
    QVERIFY(text.startsWith("BEGIN:VCALENDAR\r\n"));
    QVERIFY(text.contains("DTSTART;VALUE=DATE:20261218\r\n"));
    QVERIFY(text.contains("DTEND;VALUE=DATE:20261223\r\n"));  // the day after the fifth day
    const QList<ParsedEvent> parsed = ParseWithLibical(text);
    QCOMPARE(parsed.size(), events.size());
    for (int i = 0; i < events.size(); ++i) {
      QVERIFY(parsed.at(i).allDay);
      QCOMPARE(parsed.at(i).start, events.at(i).first);
      QCOMPARE(parsed.at(i).end, events.at(i).last.addDays(1));
      QCOMPARE(parsed.at(i).summary, events.at(i).summary);
      QCOMPARE(parsed.at(i).uid, events.at(i).uid);
      QCOMPARE(parsed.at(i).description, events.at(i).description);
    }
    QCOMPARE(parsed.first().summary, QStringLiteral("Period expected"));
    QCOMPARE(parsed.at(1).summary, QStringLiteral("Fertile window"));
    QCOMPARE(parsed.at(2).summary, QStringLiteral("Ovulation day"));
    QCOMPARE(parsed.first().uid, QStringLiteral("period-20261218@mavelo.app"));
  }

  void descriptionsGiveTheAdviceAndWhatItRestsOn() {
    const QList<PredictedEvent> avoid = PredictedEvents(Settings(0), QDate(2026, 12, 10), 1);
    QVERIFY(avoid.at(0).description.startsWith(QStringLiteral("Critical Day. Abstain from intercourse.")));
    QVERIFY(avoid.at(1).description.startsWith(QStringLiteral("Fertile Day. Abstain from intercourse.")));
    for (const PredictedEvent& e : avoid) {
      QVERIFY(e.description.contains(QStringLiteral("last period 2026-11-20, cycle of 28 days")));
      QVERIFY(e.description.contains(QStringLiteral("not a method of contraception")));
    }
    const QList<PredictedEvent> conceive = PredictedEvents(Settings(1), QDate(2026, 12, 10), 1);
    QVERIFY(conceive.at(1).description.startsWith(QStringLiteral("Fertile Day. You have a good chance to conceive a baby.")));
    const QList<PredictedEvent> none = PredictedEvents(Settings(kGoalNone), QDate(2026, 12, 10), 1);
    QVERIFY(none.at(0).description.startsWith(QStringLiteral("Predicted by Mavelo")));
  }

  void exportingTwiceGivesTheSameUids() {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.ics"), b = dir.filePath("b.ics");
    QString error;
    int count = 0;
    QVERIFY2(WriteCycleCalendar(a, Settings(), QDate(2026, 12, 10), 12, &error, &count), qPrintable(error));
    QCOMPARE(count, 36);
    // A day later the same cycles are exported: the events are the same ones.
    QVERIFY(WriteCycleCalendar(b, Settings(), QDate(2026, 12, 11), 12, &error));
    QFile fa(a), fb(b);
    QVERIFY(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly));
    QStringList ua, ub;
    for (const ParsedEvent& e : ParseWithLibical(fa.readAll())) ua << e.uid;
    for (const ParsedEvent& e : ParseWithLibical(fb.readAll())) ub << e.uid;
    QCOMPARE(ua.size(), 36);
    QCOMPARE(ua, ub);
    QCOMPARE(QSet<QString>(ua.begin(), ua.end()).size(), ua.size());
  }

  void pythonIcalendarReadsTheFile() {
    // Debian's python3-icalendar is for the system's Python, which another Python on
    // the PATH (a version manager's) may hide.
    QString python;
    for (const QString& candidate :
         {QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")}),
          QStandardPaths::findExecutable(QStringLiteral("python3"))}) {
      if (candidate.isEmpty()) continue;
      QProcess probe;
      probe.start(candidate, {"-c", "import icalendar"});
      if (probe.waitForFinished(30000) && probe.exitCode() == 0) {
        python = candidate;
        break;
      }
    }
    if (python.isEmpty()) QSKIP("Python's icalendar is not installed");

    QTemporaryDir dir;
    const QString path = dir.filePath("cycle.ics");
    QString error;
    QVERIFY(WriteCycleCalendar(path, Settings(), QDate(2026, 12, 10), 12, &error));
    QProcess p;
    p.start(python, {"-c",
                     "import sys, icalendar\n"
                     "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
                     "for e in cal.walk('VEVENT'):\n"
                     "    print('%s|%s|%s|%s' % (e['UID'], e['SUMMARY'], e['DTSTART'].dt.isoformat(),"
                     " e['DTEND'].dt.isoformat()))\n",
                     path});
    QVERIFY(p.waitForFinished(30000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    const QList<PredictedEvent> events = PredictedEvents(Settings(), QDate(2026, 12, 10), 12);
    QCOMPARE(lines.size(), events.size());
    for (int i = 0; i < events.size(); ++i) {
      const PredictedEvent& e = events.at(i);
      QCOMPARE(lines.at(i), QStringLiteral("%1|%2|%3|%4").arg(e.uid, e.summary,
                                                              e.first.toString(Qt::ISODate),
                                                              e.last.addDays(1).toString(Qt::ISODate)));
    }
  }
};

QTEST_GUILESS_MAIN(CalendarExportTest)
#include "test_calendarexport.moc"
