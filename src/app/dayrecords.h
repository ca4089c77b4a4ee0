#pragma once
// The exports of the trackers women move from, read into plain day records, and those
// records as the tables of Mavelo's own CSV export (cycle.csv, basal.csv, journal.csv),
// which the rooms' import writers take (app/recordkind.h RecordImporter).
//
//   drip's CSV: a header row naming the columns present ("date", "temperature.value",
//     "temperature.exclude", "bleeding.value", "bleeding.exclude", "mucus.feeling",
//     "mucus.texture", "cervix.opening", "cervix.firmness", "note.value", "sex.partner",
//     ...), one day a row, ISO dates, temperatures in °C.
//   Clue's measurements.json: an array of {"type", "date", "value"}; "period" marks a
//     bleeding day (its value's "option" "spotting" does not).
//   Periodical's backup (Periodical-backup.json.gz, version 6 and older): {"version",
//     "data": [{"eventtype", "eventdate" (yyyymmdd), "eventtemp", "notes", ...}]};
//     eventtype 1 is a period start.
//
// How the days become Mavelo's records:
//   bleeding (drip 1 to 3, a Clue "period" day): "P" in the basal chart; the first day
//     of a run (no bleeding the kRunGapDays days before) is a period start, unless it is
//     fewer than kSameStartDays after the start before (one period told twice). Drip's
//     spotting (0) and excluded bleeding are not period days.
//   a temperature: the basal reading of the day; drip's "temperature.exclude" marks it
//     disturbed.
//   mucus (drip): egg white or a wet or slippery feeling "W" (wet), creamy "S"
//     (sticky), dry or nothing felt "D" (dry). Cervix firmness: hard "H", soft "S".
//   intercourse: drip's "sex.partner" (or "sex.condom", "sex.pill", ... with a partner).
//   notes: the journal note of the day.
// Other columns and kinds of entry are left aside and counted (leftAside).

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

#include "app/recordkind.h"

struct DayRecord {
  QDate date;
  int bleeding = -1;          // -1 none; 0 spotting, 1 light, 2 medium, 3 heavy
  bool periodStart = false;   // the source itself says a period began
  std::optional<double> temperature;
  bool fahrenheit = false;    // the unit of temperature
  bool excluded = false;      // the reading is left out of the evaluation
  QString discharge;          // "W", "S", "D" or empty
  QString cervix;             // "S", "H" or empty
  bool intercourse = false;
  QString note;
  bool IsEmpty() const {
    return bleeding < 0 && !periodStart && !temperature && discharge.isEmpty() &&
           cervix.isEmpty() && !intercourse && note.trimmed().isEmpty();
  }
};

inline constexpr int kRunGapDays = 3;
inline constexpr int kSameStartDays = 10;  // as the period history counts (cycle/periodhistory.h)
// The newest Periodical backup version read.
inline constexpr int kPeriodicalVersion = 6;

// Each reader: false with the user's message naming the line (or entry) and the reason;
// *days in date order, one record a day (entries of one day joined).
bool ReadDripCsv(const QByteArray& bytes, QVector<DayRecord>* days, QStringList* leftAside,
                 QString* error);
bool ReadClueJson(const QByteArray& bytes, QVector<DayRecord>* days, QStringList* leftAside,
                  QString* error);
// Takes the gzip file as it is, or its JSON already unpacked.
bool ReadPeriodicalBackup(const QByteArray& bytes, QVector<DayRecord>* days,
                          QStringList* leftAside, QString* error);

// Whether a CSV header is drip's (its columns are named "group.field").
bool IsDripHeader(const QStringList& header);

// The days as cycle.csv ("period start" rows, recorded by "import"), basal.csv and
// journal.csv tables; tables without rows are left out.
QList<RecordTable> DayRecordTables(const QVector<DayRecord>& days);
