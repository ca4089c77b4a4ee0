#include "nutrition/mealreport.h"

#include <QLocale>

#include "app/reportpage.h"

namespace {
QString Calories(qint64 n) {
  return QLocale::c().toString(n) + (n == 1 || n == -1 ? QStringLiteral(" Calorie")
                                                       : QStringLiteral(" Calories"));
}
}  // namespace

QString BurnedText(const EnergyBalance& balance) {
  return QStringLiteral("Burned in your workout: ") +
         (balance.burned ? Calories(*balance.burned) : QStringLiteral("none recorded"));
}

QString NetText(const EnergyBalance& balance) {
  return QStringLiteral("Net (eaten \u2212 burned): ") + Calories(balance.Net());
}

QStringList MealReportLines(const MealDay& day, const EnergyBalance& balance) {
  ReportPage page(QStringLiteral("Calorie Tracker"));
  page.Field(QStringLiteral("Date"), day.Date().toString(Qt::ISODate));
  const MealTotals& t = day.Totals();
  bool any = false;
  for (int meal = 1; meal <= kMealCount; ++meal) {
    const CellGrid& grid = day.MealGrid(meal);
    QList<QStringList> rows;
    for (int r = 1; r < grid.RowCount(); ++r) {
      QStringList row;
      for (int c = 0; c < kMealColumns; ++c) row << grid.Cell(c, r).trimmed();
      if (!row.first().isEmpty()) rows << row;
    }
    if (rows.isEmpty()) continue;
    any = true;
    page.Heading(MealWord(meal));
    page.Table(MealHeaders(), rows);
    page.Paragraph(t.mealLabels[meal - 1]);
  }
  if (!any) page.Paragraph(QStringLiteral("Nothing has been written down for this day."));
  page.Heading(QStringLiteral("Day totals"));
  page.Table({QStringLiteral("Calories"), QStringLiteral("Carbohydrate g"),
              QStringLiteral("Protein g"), QStringLiteral("Fat g")},
             {{QString::number(t.calories), QString::number(t.carbs), QString::number(t.protein),
               QString::number(t.fat)}});
  page.Paragraph(BurnedText(balance) + QLatin1Char('\n') + NetText(balance));
  return page.Lines();
}

bool WriteMealReport(const QString& folder, const MealDay& day, const EnergyBalance& balance,
                     QString* error) {
  return WriteReportFiles(folder, QString::fromLatin1(kMealReportPage),
                          MealReportLines(day, balance), {}, error);
}
