#include "trackers/metvalues.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "trackers/exerciselog.h"

const QList<MetValue>& MetTable() {
  // One entry for every activity of the built-in list (BuiltInActivities); each has an
  // entry in the Compendium, so none is left out. Where the Compendium splits an
  // activity by pace or effort, the general or moderate entry is taken; its words are
  // beside the value. Jogging and brisk walking are not on the built-in list, but are
  // the names she is likeliest to add.
  static const QList<MetValue> table{
      {"Aerobics", "03015", 7.3, "aerobic, general"},
      {"Badminton", "15030", 5.5, "badminton, social singles and doubles, general"},
      {"Baseball", "15620", 5.0, "softball or baseball, fast or slow pitch, general"},
      {"Basketball", "15055", 6.5, "basketball, general"},
      {"Bicycling", "01015", 7.5, "bicycling, general"},
      {"Billiards", "15080", 2.5, "billiards"},
      {"Bowling", "15090", 3.0, "bowling"},
      {"Boxing", "15110", 5.5, "boxing, punching bag"},
      {"Child Care", "05186", 3.0, "child care, standing, moderate effort"},
      {"Circuit training", "02040", 8.0, "circuit training, general, vigorous intensity"},
      {"Cricket", "15150", 4.8, "cricket, batting, bowling, fielding"},
      {"Crunches", "02024", 2.8, "calisthenics (sit-ups, abdominal crunches), light effort"},
      {"Cycling", "01030", 8.0, "bicycling, 12-13.9 mph, leisure, moderate effort"},
      {"Cycling (Stationary)", "02010", 7.0, "bicycling, stationary, general"},
      {"Cleaning (House)", "05030", 3.3, "cleaning, house or cabin, general, moderate effort"},
      {"Coaching", "15140", 4.0, "coaching: football, soccer, basketball, baseball, swimming"},
      {"Dancing", "03031", 7.8, "general dancing (disco, folk, line dancing, country)"},
      {"Elliptical machine", "02048", 5.0, "elliptical trainer, moderate effort"},
      {"Football", "15230", 8.0, "football, touch, flag, general"},
      {"Gardening", "08245", 3.8, "gardening, general, moderate effort"},
      {"Golf", "15255", 4.8, "golf, general"},
      {"Hiking", "17080", 6.0, "hiking, cross country"},
      {"Hockey", "15360", 8.0, "hockey, ice, general"},
      {"Home Repairs", "06127", 4.5, "home repair, general, moderate effort"},
      {"Horseback Riding", "15370", 5.5, "horseback riding, general"},
      {"Jiu-Jitsu", "15430", 10.3, "martial arts, moderate pace (judo, jujitsu, karate)"},
      {"Jump - rope", "15551", 11.8, "rope jumping, moderate pace, general"},
      {"Karate", "15430", 10.3, "martial arts, moderate pace (judo, jujitsu, karate)"},
      {"Kayaking", "18100", 5.0, "kayaking, moderate effort"},
      {"Kick-boxing", "15430", 10.3, "martial arts, moderate pace (kick boxing)"},
      {"Pilates", "02105", 3.0, "pilates, general"},
      {"Racquetball", "15530", 7.0, "racquetball, general"},
      {"Rock Climbing", "15533", 8.0, "rock or mountain climbing"},
      {"Rowing (water)", "18070", 3.5, "canoeing, rowing, for pleasure, general"},
      {"Rowing (machine)", "02071", 4.8, "rowing, stationary, general, moderate effort"},
      {"Rugby", "15562", 6.3, "rugby, touch, non-competitive"},
      {"Running", "12050", 9.8, "running, 6 mph (10 min/mile)"},
      {"Running (treadmill)", "12050", 9.8, "running, 6 mph (10 min/mile)"},
      {"Sexual Activity", "14020", 1.8, "sexual activity, general, moderate effort"},
      {"Skateboarding", "15580", 5.0, "skateboarding, general, moderate effort"},
      {"Skating (ice)", "19030", 7.0, "skating, ice, general"},
      {"Skating (inline)", "15591", 7.5, "rollerblading, in-line skating, recreational pace"},
      {"Skating (roller)", "15590", 7.0, "skating, roller"},
      {"Skiing", "19075", 7.0, "skiing, general"},
      {"Snorkeling", "18210", 5.0, "snorkeling"},
      {"Snowboarding", "19160", 5.3, "skiing, downhill, or snowboarding, moderate effort"},
      {"Soccer", "15610", 7.0, "soccer, casual, general"},
      {"Spinning", "02019", 8.5, "bicycling, stationary, RPM/spin bike class"},
      {"Squash", "15652", 7.3, "squash, general"},
      {"Stairclimber (machine)", "02065", 9.0, "stair-treadmill ergometer, general"},
      {"Swimming", "18310", 6.0, "swimming, leisurely, not lap swimming, general"},
      {"Tae kwon do", "15430", 10.3, "martial arts, moderate pace (tae kwon do)"},
      {"Tae-Bo", "15430", 10.3, "martial arts, moderate pace (tai-bo)"},
      {"Tai chi", "15670", 3.0, "tai chi, qi gong, general"},
      {"Tennis", "15675", 7.3, "tennis, general"},
      {"Ultimate Frisbee", "15250", 8.0, "frisbee, ultimate"},
      {"Vacuuming", "05043", 3.3, "vacuuming, general, moderate effort"},
      {"Volleyball", "15710", 4.0, "volleyball"},
      {"Walking", "17190", 3.5, "walking, 2.8 to 3.2 mph, level, moderate pace"},
      {"Water skiing", "18150", 6.0, "skiing, water or wakeboarding"},
      {"Weight Training", "02054", 3.5, "resistance (weight) training, multiple exercises"},
      {"Wrestling", "15730", 6.0, "wrestling"},
      {"Yoga", "02150", 2.5, "yoga, Hatha"},
      {"Jogging", "12020", 7.0, "jogging, general"},
      {"Walking (brisk)", "17200", 4.3, "walking, 3.5 mph, level, brisk, for exercise"},
  };
  return table;
}

std::optional<MetValue> MetFor(const QString& activity) {
  const QString name = activity.trimmed();
  if (name.isEmpty()) return std::nullopt;
  for (const MetValue& v : MetTable())
    if (name.compare(QLatin1String(v.activity), Qt::CaseInsensitive) == 0) return v;
  return std::nullopt;
}

ActivityEstimate EstimateFromActivities(const QStringList& ticked, int hours, int minutes,
                                        double weightKg) {
  ActivityEstimate e;
  double metSum = 0;
  for (const QString& name : ticked) {
    if (const auto v = MetFor(name)) {
      e.counted << name;
      metSum += v->met;
    } else {
      e.withoutValue << name;
    }
  }
  if (e.counted.isEmpty() || !(weightKg > 0)) return e;
  const double h = (std::max(0, hours) * 60 + std::max(0, minutes)) / 60.0;
  // Each counted activity takes an equal share of the time.
  const double kcal = metSum / e.counted.size() * weightKg * h;
  e.calories = int(std::clamp(std::round(kcal), 0.0, double(kMaxWorkoutCalories)));
  return e;
}

QString ActivityEstimateText(const ActivityEstimate& e, const QStringList& ticked, int hours,
                             int minutes, double weightKg, const QDate& weighed) {
  const QLocale c = QLocale::c();
  QString text;
  if (ticked.isEmpty()) {
    text = QStringLiteral("From activities: tick what you did on the Activities page");
  } else if (!e.HasEstimate()) {
    text = QStringLiteral("From activities: none of the ticked activities has a MET value");
  } else if (hours <= 0 && minutes <= 0) {
    text = QStringLiteral("From activities: enter the workout time");
  } else {
    QStringList parts;
    for (const QString& name : e.counted) {
      const MetValue v = *MetFor(name);
      parts << QStringLiteral("%1 %2 MET, code %3")
                   .arg(name.trimmed(), c.toString(v.met, 'f', 1), QLatin1String(v.code));
    }
    const QString weight =
        c.toString(weightKg, 'f', 1) +
        (weighed.isValid() ? QStringLiteral(" kg weighed on ") + weighed.toString(Qt::ISODate)
                           : QStringLiteral(" kg as given"));
    text = QStringLiteral("From activities: %1 calories (%2; %3; %4 h %5 min)")
               .arg(e.calories)
               .arg(parts.join(QStringLiteral(", ")), weight)
               .arg(hours)
               .arg(minutes);
  }
  if (!e.withoutValue.isEmpty() && e.HasEstimate())
    text += QStringLiteral(". No value for: ") + e.withoutValue.join(QStringLiteral(", "));
  return text;
}
