#include "shell/recordkinds.h"

#include "app/appfiles.h"
#include "basal/basalexport.h"
#include "cycle/cycleexport.h"
#include "nutrition/nutritionexport.h"
#include "sleep/sleepexport.h"
#include "trackers/trackersexport.h"

QList<RecordKind> RecordKinds(const DataFolders& dir) {
  return {CycleRecordKind(dir),    JournalRecordKind(dir),  BasalRecordKind(dir),
          WeightRecordKind(dir),   ToDoRecordKind(dir),     PressureRecordKind(dir),
          ExerciseRecordKind(dir), SleepRecordKind(dir),    KidsRecordKind(dir),
          MealRecordKind(dir),     HealthRecordKind(dir),   SettingsRecordKind(dir),
          ReportsRecordKind(dir)};
}
