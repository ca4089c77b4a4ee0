#include "trackers/pressurereport.h"

#include "app/datechart.h"
#include "trackers/pressurepicture.h"

namespace {
const QColor kSystolicColour(220, 30, 30);
const QColor kDiastolicColour(200, 90, 210);
const QColor kPulseColour(0, 150, 0);

QString Iso(const QDate& date) { return date.toString(Qt::ISODate); }

QString TimeText(const QTime& time) {
  return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString();
}

QString WhenText(const DatedReading& r) {
  QString text = Iso(r.date);
  if (r.time.isValid()) text += QStringLiteral(" at ") + TimeText(r.time);
  return text;
}

QString Readings(int n) {
  return n == 1 ? QStringLiteral("1 reading") : QStringLiteral("%1 readings").arg(n);
}

QString CategoryText(PressureCategory category) {
  QString text = PressureCategoryName(category);
  if (category == PressureCategory::Crisis) text += QStringLiteral(" (!)");
  return text;
}

QString AverageText(const PressureAverage& a) {
  if (a.count == 0) return QStringLiteral("no readings");
  return PressureText(a.systolic, a.diastolic) + QStringLiteral(" (") + Readings(a.count) +
         QLatin1Char(')');
}
}  // namespace

QImage PressureChartPicture(const QVector<DatedReading>& readings, const QDate& first,
                            const QDate& last) {
  DateChartSpec spec;
  spec.title = QStringLiteral("Blood pressure");
  spec.valueCaption = QStringLiteral("mm Hg");
  spec.first = first;
  spec.last = last;
  ChartLine sys{QStringLiteral("Systolic"), kSystolicColour, {}};
  ChartLine dia{QStringLiteral("Diastolic"), kDiastolicColour, {}};
  ChartLine pulse{QStringLiteral("Pulse"), kPulseColour, {}};
  for (const DatedReading& r : readings) {
    const QDateTime when(r.date, r.time.isValid() ? r.time : QTime(12, 0));
    sys.points << ChartPoint{when, double(r.systolic)};
    dia.points << ChartPoint{when, double(r.diastolic)};
    if (r.pulse > 0) pulse.points << ChartPoint{when, double(r.pulse)};
  }
  spec.lines << sys << dia;
  if (!pulse.points.isEmpty()) spec.lines << pulse;
  return DrawDateChart(spec);
}

void AddPressureSection(ReportPage& page, const PressureHistory& history,
                        const QString& pictureFile) {
  if (history.readings.isEmpty()) return;
  const QVector<DatedReading>& readings = history.readings;
  page.Heading(QStringLiteral("Blood pressure"));
  page.Paragraph(Readings(readings.size()) + QStringLiteral(" from ") +
                 Iso(readings.first().date) + QStringLiteral(" to ") +
                 Iso(readings.last().date) + QLatin1Char('.'));
  QList<QStringList> rows;
  QList<bool> marked;
  for (const DatedReading& r : readings) {
    rows << QStringList{Iso(r.date), TimeText(r.time), QString::number(r.systolic),
                        QString::number(r.diastolic),
                        r.pulse > 0 ? QString::number(r.pulse) : QString(),
                        CategoryText(r.category)};
    marked << (r.category == PressureCategory::Crisis);
  }
  page.Table({QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Systolic"),
              QStringLiteral("Diastolic"), QStringLiteral("Pulse"), QStringLiteral("Category")},
             rows, marked);

  const PressureSummary s = SummarizePressure(readings);
  page.Field(QStringLiteral("Morning average (taken before noon)"), AverageText(s.morning));
  page.Field(QStringLiteral("Evening average (taken from noon on)"), AverageText(s.evening));
  page.Field(QStringLiteral("Average of all readings"), AverageText(s.all));
  page.Field(QStringLiteral("Highest"), PressureText(s.highest->systolic, s.highest->diastolic) +
                                            QStringLiteral(" on ") + WhenText(*s.highest));
  page.Field(QStringLiteral("Lowest"), PressureText(s.lowest->systolic, s.lowest->diastolic) +
                                           QStringLiteral(" on ") + WhenText(*s.lowest));
  if (s.untimed > 0)
    page.Note(s.untimed == 1
                  ? QStringLiteral("1 reading has no readable time and so counts in neither the "
                                   "morning nor the evening average.")
                  : QStringLiteral("%1 readings have no readable time and so count in neither "
                                   "the morning nor the evening average.")
                        .arg(s.untimed));
  if (history.undated > 0)
    page.Note(history.undated == 1
                  ? QStringLiteral("1 reading of the log is not in this report: its date does "
                                   "not read as a date, so it could not be placed.")
                  : QStringLiteral("%1 readings of the log are not in this report: their dates "
                                   "do not read as dates, so they could not be placed.")
                        .arg(history.undated));
  page.Picture(pictureFile, kReportChartSize);
  page.Note(QStringLiteral(
      "Categories of the American Heart Association (2017): normal below 120/80; elevated "
      "120-129 and below 80; high blood pressure stage 1 130-139 or 80-89; stage 2 140 or "
      "higher or 90 or higher; hypertensive crisis higher than 180 and/or higher than 120, "
      "marked (!). Each reading is classed by itself, as entered; a category is no "
      "diagnosis."));
}

QStringList PressureReportLines(const QDate& shown, const PressureHistory& history) {
  ReportPage page(QStringLiteral("Blood Pressure"));
  page.Field(QStringLiteral("Date"), Iso(shown));
  if (history.readings.isEmpty()) {
    page.Paragraph(QStringLiteral("No readings with a date, a systolic and a diastolic value "
                                  "have been recorded yet."));
  }
  page.Picture(QString::fromLatin1(kPressureReportScore),
               QSize(kPressurePictureWidth, kPressurePictureHeight));
  AddPressureSection(page, history, QString::fromLatin1(kPressureReportGraph));
  return page.Lines();
}

bool WritePressureReport(const QString& folder, const QDate& shown, const CellGrid& log,
                         QString* error) {
  PressureHistory history;
  CollectReadings(log, QDate(1, 1, 1), QDate(9999, 12, 31), &history);
  SortReadings(&history.readings);
  QList<ReportPicture> pictures{
      {QString::fromLatin1(kPressureReportScore), PressureClassPicture(NewestReading(log))}};
  if (!history.readings.isEmpty())
    pictures << ReportPicture{QString::fromLatin1(kPressureReportGraph),
                              PressureChartPicture(history.readings, history.readings.first().date,
                                                   history.readings.last().date)};
  return WriteReportFiles(folder, QString::fromLatin1(kPressureReportPage),
                          PressureReportLines(shown, history), pictures, error);
}
