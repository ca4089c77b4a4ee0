#include "trackers/exercisereport.h"

#include "app/reportpage.h"

namespace {
QList<QStringList> Rows(const QVector<QStringList>& rows) {
  return QList<QStringList>(rows.begin() + 1, rows.end());
}
}  // namespace

QStringList ExerciseReportLines(const ExerciseReportInput& in) {
  ReportPage page(QStringLiteral("Exercise Tracker"));
  page.Field(QStringLiteral("Date"), in.shown.toString(Qt::ISODate));
  const WorkoutDay& d = in.day;
  page.Field(QStringLiteral("Workout time"), QStringLiteral("%1 h %2 min").arg(d.hours).arg(d.minutes));
  page.Field(QStringLiteral("Calories burned"), QString::number(d.calories));
  if (!in.estimate.isEmpty()) page.Note(in.estimate);
  if (!d.activities.isEmpty())
    page.Field(QStringLiteral("Activities"), d.activities.join(QStringLiteral(", ")));
  if (!d.workout.isEmpty()) page.Field(QStringLiteral("Workout"), d.workout);
  page.Table({QStringLiteral("Run / Walk"), QStringLiteral("Bike"), QStringLiteral("Swim"),
              QStringLiteral("Climb")},
             {{ShortestNumberText(d.run, QLocale::c()) + QStringLiteral(" miles"),
               ShortestNumberText(d.bike, QLocale::c()) + QStringLiteral(" miles"),
               ShortestNumberText(d.swim, QLocale::c()) + QStringLiteral(" feet"),
               ShortestNumberText(d.climb, QLocale::c()) + QStringLiteral(" feet")}});
  if (!in.note.trimmed().isEmpty()) {
    page.Heading(QStringLiteral("Workout notes"));
    page.Paragraph(in.note.trimmed());
  }
  if (!in.week.isEmpty()) {
    page.Heading(QStringLiteral("Calories burned (8 days up to today)"));
    QList<QStringList> rows;
    for (const WeekBar& b : in.week)
      rows << QStringList{b.date.toString(Qt::ISODate), QString::number(b.calories)};
    page.Table({QStringLiteral("Date"), QStringLiteral("Calories")}, rows);
  }
  page.Heading(QStringLiteral("Totals up to today"));
  const QVector<QStringList> calories = CalorieSummaryRows(in.summary);
  page.Table(calories.first(), Rows(calories));
  const QVector<QStringList> distances = DistanceSummaryRows(in.summary);
  page.Table(distances.first(), Rows(distances));
  return page.Lines();
}

bool WriteExerciseReport(const QString& folder, const ExerciseReportInput& input,
                         QString* error) {
  return WriteReportFiles(folder, QString::fromLatin1(kExerciseReportPage),
                          ExerciseReportLines(input), {}, error);
}
