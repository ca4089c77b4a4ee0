#include "app/dayrecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>

#include "core/csvfile.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "core/ziparchive.h"

namespace {

// The largest JSON an import unpacks: years of daily entries are a few megabytes.
constexpr qint64 kMaxJsonBytes = qint64(256) << 20;

bool InRange(double value, bool fahrenheit) {
  return fahrenheit ? value >= 95.0 && value <= 107.6 : value >= 35.0 && value <= 42.0;
}

// Joins what one source says of a day into the record of that day.
void Merge(DayRecord* into, const DayRecord& d) {
  into->bleeding = qMax(into->bleeding, d.bleeding);
  into->periodStart = into->periodStart || d.periodStart;
  if (d.temperature) {
    into->temperature = d.temperature;
    into->fahrenheit = d.fahrenheit;
    into->excluded = d.excluded;
  }
  if (!d.discharge.isEmpty()) into->discharge = d.discharge;
  if (!d.cervix.isEmpty()) into->cervix = d.cervix;
  into->intercourse = into->intercourse || d.intercourse;
  if (!d.note.trimmed().isEmpty())
    into->note = into->note.trimmed().isEmpty() ? d.note : into->note + u'\n' + d.note;
}

QVector<DayRecord> Sorted(const QMap<QDate, DayRecord>& byDate) {
  QVector<DayRecord> out;
  for (const DayRecord& d : byDate)
    if (!d.IsEmpty()) out << d;
  return out;
}

// Where a JSON parse stopped, as a line number.
int LineAt(const QByteArray& bytes, int offset) {
  return 1 + int(bytes.left(qMax(0, offset)).count('\n'));
}

bool ParseJson(const QByteArray& bytes, const QString& what, QJsonDocument* doc, QString* error) {
  QJsonParseError e;
  *doc = QJsonDocument::fromJson(bytes, &e);
  if (e.error != QJsonParseError::NoError) {
    if (error)
      *error = QStringLiteral("%1, line %2: it is not JSON that reads (%3)")
                   .arg(what)
                   .arg(LineAt(bytes, e.offset))
                   .arg(e.errorString());
    return false;
  }
  return true;
}

// An ISO date, or one with a time after it ("2020-01-05T00:00:00Z").
QDate JsonDate(const QJsonValue& v) {
  static const QRegularExpression iso(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})(T.*)?$"));
  const QRegularExpressionMatch m = iso.match(v.toString());
  const QDate d = m.hasMatch() ? QDate::fromString(m.captured(1), Qt::ISODate) : QDate();
  return d.isValid() && d.year() >= 1900 && d.year() <= 2099 ? d : QDate();
}

}  // namespace

bool IsDripHeader(const QStringList& header) {
  if (!header.contains(QStringLiteral("date"))) return false;
  static const QStringList groups = {QStringLiteral("temperature."), QStringLiteral("bleeding."),
                                     QStringLiteral("mucus."), QStringLiteral("cervix."),
                                     QStringLiteral("note."), QStringLiteral("sex.")};
  for (const QString& h : header)
    for (const QString& g : groups)
      if (h.startsWith(g)) return true;
  return false;
}

bool ReadDripCsv(const QByteArray& bytes, QVector<DayRecord>* days, QStringList* leftAside,
                 QString* error) {
  const QString name = QStringLiteral("drip's CSV");
  CsvTable csv;
  QString e;
  if (!ReadCsv(bytes, &csv, &e)) {
    if (error) *error = QStringLiteral("%1, %2").arg(name, e);
    return false;
  }
  if (csv.Column(QStringLiteral("date")) < 0) {
    if (error) *error = QStringLiteral("%1: it has no column \"date\"").arg(name);
    return false;
  }
  auto column = [&](const char* n) { return csv.Column(QString::fromLatin1(n)); };
  const int cDate = column("date"), cTemp = column("temperature.value"),
            cTempEx = column("temperature.exclude"), cBleed = column("bleeding.value"),
            cBleedEx = column("bleeding.exclude"), cFeeling = column("mucus.feeling"),
            cTexture = column("mucus.texture"), cFirm = column("cervix.firmness"),
            cNote = column("note.value"), cPartner = column("sex.partner");
  const QList<int> read = {cDate, cTemp, cTempEx, cBleed, cBleedEx, cFeeling, cTexture, cFirm, cNote, cPartner};
  QMap<QString, int> unread;  // columns with values that have no place here
  QMap<QDate, DayRecord> byDate;
  for (int r = 0; r < csv.rows.size(); ++r) {
    const QStringList& row = csv.rows.at(r);
    const QString where = QStringLiteral("%1, line %2").arg(name).arg(csv.lines.at(r));
    auto field = [&](int c) { return c >= 0 && c < row.size() ? row.at(c).trimmed() : QString(); };
    auto fail = [&](const QString& why) {
      if (error) *error = where + QStringLiteral(": ") + why;
      return false;
    };
    auto flag = [&](int c, bool* value) {
      const QString t = field(c).toLower();
      if (t.isEmpty() || t == QLatin1String("false")) *value = false;
      else if (t == QLatin1String("true")) *value = true;
      else return fail(QStringLiteral("%1 is \"true\" or \"false\", not \"%2\"").arg(csv.header.at(c), field(c)));
      return true;
    };
    auto code = [&](int c, int high, int* value) {
      const QString t = field(c);
      *value = -1;
      if (t.isEmpty()) return true;
      bool ok = false;
      const int v = t.toInt(&ok);
      if (!ok || v < 0 || v > high)
        return fail(QStringLiteral("%1 is a number from 0 to %2, not \"%3\"").arg(csv.header.at(c)).arg(high).arg(t));
      *value = v;
      return true;
    };
    DayRecord d;
    const QString dateText = field(cDate);
    static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    d.date = iso.match(dateText).hasMatch() ? QDate::fromString(dateText, Qt::ISODate) : QDate();
    if (!d.date.isValid() || d.date.year() < 1900 || d.date.year() > 2099)
      return fail(QStringLiteral("\"%1\" is not a date (yyyy-MM-dd)").arg(dateText));
    const QString temp = field(cTemp);
    if (!temp.isEmpty()) {
      bool ok = false;
      const double v = temp.toDouble(&ok);
      if (!ok) return fail(QStringLiteral("the temperature \"%1\" is not a number").arg(temp));
      if (!InRange(v, false)) return fail(QStringLiteral("the temperature %1 °C lies outside 35 to 42 °C").arg(temp));
      d.temperature = v;
      if (!flag(cTempEx, &d.excluded)) return false;
    }
    int bleeding = -1, feeling = -1, texture = -1, firmness = -1;
    bool bleedingExcluded = false;
    if (!code(cBleed, 3, &bleeding) || !flag(cBleedEx, &bleedingExcluded) ||
        !code(cFeeling, 3, &feeling) || !code(cTexture, 2, &texture) || !code(cFirm, 1, &firmness))
      return false;
    // Spotting and excluded bleeding are no period days.
    if (bleeding >= 1 && !bleedingExcluded) d.bleeding = bleeding;
    if (texture == 2 || feeling >= 2) d.discharge = QStringLiteral("W");
    else if (texture == 1) d.discharge = QStringLiteral("S");
    else if (feeling == 0 || feeling == 1 || texture == 0) d.discharge = QStringLiteral("D");
    if (firmness == 0) d.cervix = QStringLiteral("H");
    else if (firmness == 1) d.cervix = QStringLiteral("S");
    if (!flag(cPartner, &d.intercourse)) return false;
    d.note = field(cNote);
    for (int c = 0; c < csv.header.size(); ++c) {
      if (read.contains(c)) continue;
      const QString v = field(c).toLower();
      if (!v.isEmpty() && v != QLatin1String("false")) unread[csv.header.at(c)]++;
    }
    DayRecord& into = byDate[d.date];
    into.date = d.date;
    Merge(&into, d);
  }
  for (auto it = unread.cbegin(); it != unread.cend(); ++it)
    *leftAside << QStringLiteral("%1 (%2)").arg(it.key(), CountText(it.value(), QStringLiteral("day"), QStringLiteral("days")));
  *days = Sorted(byDate);
  return true;
}

bool ReadClueJson(const QByteArray& bytes, QVector<DayRecord>* days, QStringList* leftAside,
                  QString* error) {
  const QString name = QStringLiteral("Clue's measurements");
  QJsonDocument doc;
  if (!ParseJson(bytes, name, &doc, error)) return false;
  if (!doc.isArray()) {
    if (error) *error = QStringLiteral("%1: it is not a list of measurements").arg(name);
    return false;
  }
  const QJsonArray entries = doc.array();
  QMap<QDate, DayRecord> byDate;
  QMap<QString, int> unread;
  for (int i = 0; i < entries.size(); ++i) {
    const QJsonObject o = entries.at(i).toObject();
    const QString where = QStringLiteral("%1, entry %2").arg(name).arg(i + 1);
    if (!entries.at(i).isObject() || !o.value(QLatin1String("type")).isString()) {
      if (error) *error = where + QStringLiteral(": it has no \"type\"");
      return false;
    }
    const QDate date = JsonDate(o.value(QLatin1String("date")));
    if (!date.isValid()) {
      if (error)
        *error = where + QStringLiteral(": \"%1\" is not a date (yyyy-MM-dd)")
                             .arg(o.value(QLatin1String("date")).toVariant().toString());
      return false;
    }
    const QString type = o.value(QLatin1String("type")).toString();
    if (type != QLatin1String("period")) {
      unread[type]++;
      continue;
    }
    const QJsonValue value = o.value(QLatin1String("value"));
    const QString option = (value.isObject() ? value.toObject().value(QLatin1String("option")) : value)
                               .toString().toLower();
    int bleeding = 2;
    if (option == QLatin1String("light")) bleeding = 1;
    else if (option == QLatin1String("heavy") || option == QLatin1String("very_heavy")) bleeding = 3;
    else if (option == QLatin1String("spotting")) bleeding = -1;
    if (bleeding < 0) {
      unread[QStringLiteral("period (spotting)")]++;
      continue;
    }
    DayRecord& into = byDate[date];
    into.date = date;
    DayRecord d;
    d.bleeding = bleeding;
    Merge(&into, d);
  }
  for (auto it = unread.cbegin(); it != unread.cend(); ++it)
    *leftAside << QStringLiteral("%1 (%2)").arg(it.key(), CountText(it.value(), QStringLiteral("entry"), QStringLiteral("entries")));
  *days = Sorted(byDate);
  return true;
}

bool ReadPeriodicalBackup(const QByteArray& bytes, QVector<DayRecord>* days,
                          QStringList* leftAside, QString* error) {
  const QString name = QStringLiteral("Periodical's backup");
  QByteArray json = bytes;
  if (bytes.startsWith("\x1f\x8b")) {
    QString why;
    if (!GunzipBytes(bytes, kMaxJsonBytes, &json, &why)) {
      if (error) *error = QStringLiteral("%1 cannot be unpacked: %2").arg(name, why);
      return false;
    }
  }
  QJsonDocument doc;
  if (!ParseJson(json, name, &doc, error)) return false;
  const QJsonObject top = doc.object();
  if (!doc.isObject() || !top.value(QLatin1String("data")).isArray()) {
    if (error) *error = QStringLiteral("%1: it holds no \"data\" list; it is not a Periodical backup").arg(name);
    return false;
  }
  const int version = top.value(QLatin1String("version")).toVariant().toInt();
  if (version > kPeriodicalVersion) {
    if (error)
      *error = QStringLiteral("%1 is of version %2, made by a newer Periodical; Mavelo reads "
                              "backups up to version %3")
                   .arg(name)
                   .arg(version)
                   .arg(kPeriodicalVersion);
    return false;
  }
  const QJsonArray rows = top.value(QLatin1String("data")).toArray();
  QMap<QDate, DayRecord> byDate;
  QMap<QString, int> unread;
  static const QRegularExpression ymd(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
  for (int i = 0; i < rows.size(); ++i) {
    const QJsonObject o = rows.at(i).toObject();
    const QString where = QStringLiteral("%1, data row %2").arg(name).arg(i + 1);
    auto fail = [&](const QString& why) {
      if (error) *error = where + QStringLiteral(": ") + why;
      return false;
    };
    if (!rows.at(i).isObject()) return fail(QStringLiteral("it is not a row of fields"));
    const QString dateText = o.value(QLatin1String("eventdate")).toVariant().toString();
    const QRegularExpressionMatch m = ymd.match(dateText);
    const QDate date = m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()) : QDate();
    if (!date.isValid() || date.year() < 1900 || date.year() > 2099)
      return fail(QStringLiteral("\"%1\" is not a date (yyyymmdd)").arg(dateText));
    bool ok = false;
    const int type = o.value(QLatin1String("eventtype")).toVariant().toInt(&ok);
    if (!ok) return fail(QStringLiteral("it has no event type"));
    DayRecord d;
    d.date = date;
    d.periodStart = type == 1;
    const QJsonValue temp = o.value(QLatin1String("eventtemp"));
    if (!temp.isNull() && !temp.isUndefined()) {
      const double t = temp.toVariant().toDouble(&ok);
      if (!ok) return fail(QStringLiteral("the temperature is not a number"));
      // 0 is what Periodical stores for "no temperature"; it keeps the unit she chose.
      if (t != 0) {
        d.fahrenheit = t > 50;
        if (!InRange(t, d.fahrenheit))
          return fail(QStringLiteral("the temperature %1 lies outside 35 to 42 °C (95 to 107.6 °F)").arg(t));
        d.temperature = t;
      }
    }
    d.note = o.value(QLatin1String("notes")).toString().trimmed();
    if (!d.periodStart && type != 1 && d.IsEmpty()) unread[QStringLiteral("event type %1").arg(type)]++;
    DayRecord& into = byDate[date];
    into.date = date;
    Merge(&into, d);
  }
  for (auto it = unread.cbegin(); it != unread.cend(); ++it)
    *leftAside << QStringLiteral("%1 (%2)").arg(it.key(), CountText(it.value(), QStringLiteral("row"), QStringLiteral("rows")));
  *days = Sorted(byDate);
  return true;
}

QList<RecordTable> DayRecordTables(const QVector<DayRecord>& days) {
  RecordTable cycle{QStringLiteral("cycle.csv"),
                    {QStringLiteral("record"), QStringLiteral("date"), QStringLiteral("value")}};
  RecordTable basal{QStringLiteral("basal.csv"),
                    {QStringLiteral("date"), QStringLiteral("fahrenheit"), QStringLiteral("celsius"),
                     QStringLiteral("discharge"), QStringLiteral("cervix"),
                     QStringLiteral("intercourse"), QStringLiteral("disturbed")}};
  RecordTable journal{QStringLiteral("journal.csv"), {QStringLiteral("date"), QStringLiteral("text")}};
  QDate lastBleeding, lastStart;
  for (const DayRecord& d : days) {
    const bool bleeding = d.bleeding >= 1;
    bool start = d.periodStart ||
                 (bleeding && (!lastBleeding.isValid() || lastBleeding.daysTo(d.date) > kRunGapDays));
    if (start && lastStart.isValid() && lastStart.daysTo(d.date) < kSameStartDays) start = false;
    if (bleeding) lastBleeding = d.date;
    if (start) {
      lastStart = d.date;
      cycle.Add(d.date, {QStringLiteral("period start"), CsvDate(d.date), QStringLiteral("import")});
    }
    const QString discharge = bleeding ? QStringLiteral("P") : d.discharge;
    if (d.temperature || !discharge.isEmpty() || !d.cervix.isEmpty() || d.intercourse) {
      const QString t = d.temperature ? CsvNumber(*d.temperature) : QString();
      basal.Add(d.date, {CsvDate(d.date), d.fahrenheit ? t : QString(), d.fahrenheit ? QString() : t,
                         discharge, d.cervix, d.intercourse ? QStringLiteral("yes") : QString(),
                         d.temperature && d.excluded ? QStringLiteral("disturbed") : QString()});
    }
    if (!d.note.trimmed().isEmpty()) journal.Add(d.date, {CsvDate(d.date), d.note});
  }
  QList<RecordTable> out;
  for (const RecordTable& t : {cycle, basal, journal})
    if (!t.rows.isEmpty()) out << t;
  return out;
}
