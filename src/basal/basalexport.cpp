#include "basal/basalexport.h"

#include <QRegularExpression>

#include "app/datafolders.h"
#include "app/config.h"
#include "basal/basalchart.h"
#include "basal/basalimport.h"
#include "basal/basaltemperature.h"
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
                   QStringLiteral("intercourse"), QStringLiteral("disturbed")}};
    // Her readings in her unit, as the chart shows them, and their exact conversion.
    TemperatureUnit unit = TemperatureUnit::Fahrenheit;
    const QString ini = QStringLiteral("application.ini");
    if (root.Exists(root.Dir().ConfigFolder(), ini)) {
      QByteArray bytes;
      if (!root.Read(root.Dir().ConfigFolder(), ini, &bytes, error)) return false;
      unit = TemperatureUnitFromSetting(Config::FromBytes(bytes).TemperatureUnits);
    }
    const QString folder = root.Dir().BasalFolder();
    for (const QString& name : root.Files(folder, YearName())) {
      const int year = YearName().match(name).captured(1).toInt();
      if (year < 1) continue;
      CellGrid grid;
      if (!ReadRecordGrid(root, folder, name, &grid, error)) return false;
      const QDate first(year, 1, 1);
      const int days = first.daysInYear();
      for (int r = 1; r <= days && r < grid.RowCount(); ++r) {
        const BasalReading reading = ReadBasalReading(grid, r, unit);
        const QString discharge = grid.Cell(kDischargeCol, r).trimmed();
        const QString cervix = grid.Cell(kCervixCol, r).trimmed();
        const bool intercourse = grid.Cell(kIntercourseCol, r).trimmed() ==
                                 QLatin1String(kIntercourseMark);
        const auto& temperature = reading.temperature;
        if (!temperature && discharge.isEmpty() && cervix.isEmpty() && !intercourse) continue;
        const QDate date = first.addDays(r - 1);
        t.Add(date, {CsvDate(date),
                     temperature ? CsvNumber(temperature->ValueIn(TemperatureUnit::Fahrenheit)) : QString(),
                     temperature ? CsvNumber(temperature->ValueIn(TemperatureUnit::Celsius)) : QString(),
                     discharge, cervix, intercourse ? QStringLiteral("yes") : QString(),
                     temperature ? DisturbanceWord(reading.disturbance) : QString()});
      }
    }
    *tables << t;
    return true;
  };
  k.importers << qMakePair(QStringLiteral("basal.csv"), RecordImporter(ImportBasalTable));
  return k;
}
