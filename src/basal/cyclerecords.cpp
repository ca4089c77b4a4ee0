#include "basal/cyclerecords.h"

#include "app/config.h"
#include "basal/basalrecords.h"
#include "cycle/cyclestable.h"

bool ReadCycleRecords(const DataFolders& dir, TemperatureUnit unit, PeriodHistory* history,
                      DaySignsList* days, QStringList* errors) {
  bool ok = true;
  QString error;
  if (!history->Load(PeriodHistory::PathIn(dir.CycleFolder()), &error)) {
    ok = false;
    if (errors) errors->append(error);
  }
  if (!ReadBasalFolder(dir.BasalFolder(), unit, days, errors)) ok = false;
  return ok;
}

bool LoadCycleReading(const DataFolders& dir, TemperatureUnit unit, const QDate& today,
                      CycleReading* reading, QStringList* errors) {
  PeriodHistory history;
  DaySignsList days;
  const bool ok = ReadCycleRecords(dir, unit, &history, &days, errors);
  reading->Build(history.Starts(), history.Pauses(), std::move(days), today, unit);
  return ok;
}

QString CyclesCommandText(const DataFolders& dir, const QDate& today, QStringList* errors) {
  const TemperatureUnit unit = TemperatureUnitFromSetting(
      Config::StoredTemperatureUnits(dir.ConfigFolder() + QStringLiteral("application.ini")));
  CycleReading reading;
  LoadCycleReading(dir, unit, today, &reading, errors);
  return CyclesTableText(reading);
}

std::unique_ptr<CycleRecordStore> MakeCycleRecordStore(const DataFolders& dir, QObject* parent) {
  const QString basal = dir.BasalFolder();
  return std::make_unique<CycleRecordStore>(
      PeriodHistory::PathIn(dir.CycleFolder()),
      [basal](TemperatureUnit unit, DaySignsList* days, QStringList* errors) {
        return ReadBasalFolder(basal, unit, days, errors);
      },
      parent);
}
