#include "basal/basalexport.h"

#include <QRegularExpression>

#include "app/datafolders.h"
#include "basal/basalchart.h"
#include "basal/basalscale.h"
#include "basal/basalsigns.h"
#include "core/csvfile.h"
#include "core/gridfile.h"

namespace {

const QRegularExpression& YearName() {
  static const QRegularExpression re(QStringLiteral("^(\\d{4})-Basal\\.txt$"));
  return re;
}

}  // namespace

RecordKind BasalRecordKind(const DataFolders& dir) {
  RecordKind k{QStringLiteral("basal"), QStringLiteral("Basal temperature")};
  k.files << RecordFileRule{RecordRoot::Relative(dir, dir.BasalFolder()), YearName(),
                            kMaxRecordFileBytes, {}};
  k.read = [](const RecordRoot& root, QList<RecordTable>* tables, QString* error) {
    RecordTable t{QStringLiteral("basal.csv"),
                  {QStringLiteral("date"), QStringLiteral("fahrenheit"), QStringLiteral("celsius"),
                   QStringLiteral("discharge"), QStringLiteral("cervix"),
                   QStringLiteral("intercourse")}};
    const QString folder = root.Dir().BasalFolder();
    for (const QString& name : root.Files(folder, YearName())) {
      const int year = YearName().match(name).captured(1).toInt();
      if (year < 1) continue;
      CellGrid grid;
      if (!ReadRecordGrid(root, folder, name, &grid, error)) return false;
      const QDate first(year, 1, 1);
      const int days = first.daysInYear();
      for (int r = 1; r <= days && r < grid.RowCount(); ++r) {
        // The bar top is what the chart stores; both temperatures follow from it.
        const int top = ParseBarTop(grid.Cell(kBarTopCol, r));
        const QString discharge = grid.Cell(kDischargeCol, r).trimmed();
        const QString cervix = grid.Cell(kCervixCol, r).trimmed();
        const bool intercourse = grid.Cell(kIntercourseCol, r).trimmed() ==
                                 QLatin1String(kIntercourseMark);
        if (top == 0 && discharge.isEmpty() && cervix.isEmpty() && !intercourse) continue;
        const QDate date = first.addDays(r - 1);
        t.Add(date, {CsvDate(date), top ? CsvNumber(LevelFahrenheit(top)) : QString(),
                     top ? CsvNumber(LevelCelsius(top)) : QString(), discharge, cervix,
                     intercourse ? QStringLiteral("yes") : QString()});
      }
    }
    *tables << t;
    return true;
  };
  return k;
}
