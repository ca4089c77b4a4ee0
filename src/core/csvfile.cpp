#include "core/csvfile.h"

#include <QLocale>
#include <cmath>

#include "core/textfile.h"

namespace {

bool NeedsQuotes(const QString& field) {
  for (const QChar c : field)
    if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') return true;
  return false;
}

}  // namespace

QByteArray CsvLine(const QStringList& fields) {
  QString line;
  for (qsizetype i = 0; i < fields.size(); ++i) {
    if (i > 0) line += u',';
    const QString& f = fields.at(i);
    if (NeedsQuotes(f)) {
      QString quoted = f;
      quoted.replace(u'"', QStringLiteral("\"\""));
      line += u'"' + quoted + u'"';
    } else {
      line += f;
    }
  }
  QByteArray bytes = line.toUtf8();
  bytes += "\r\n";
  return bytes;
}

CsvWriter::CsvWriter(const QStringList& header) : bytes_(CsvLine(header)) {}

void CsvWriter::AddRow(const QStringList& fields) {
  bytes_ += CsvLine(fields);
  ++rows_;
}

QString CsvDate(const QDate& date) {
  // Written out by hand: an export writes one for every row, and QDate::toString goes
  // through a formatter.
  if (!date.isValid() || date.year() < 0 || date.year() > 9999) return date.isValid() ? date.toString(Qt::ISODate) : QString();
  const int y = date.year(), m = date.month(), d = date.day();
  const char16_t text[10] = {char16_t(u'0' + y / 1000), char16_t(u'0' + y / 100 % 10),
                             char16_t(u'0' + y / 10 % 10), char16_t(u'0' + y % 10), u'-',
                             char16_t(u'0' + m / 10), char16_t(u'0' + m % 10), u'-',
                             char16_t(u'0' + d / 10), char16_t(u'0' + d % 10)};
  return QString(reinterpret_cast<const QChar*>(text), 10);
}

QString CsvNumber(double value) {
  if (!std::isfinite(value)) return QString();
  if (value == 0) return QStringLiteral("0");  // never "-0"
  return QLocale::c().toString(value, 'f', QLocale::FloatingPointShortest);
}

bool ReadCsv(const QByteArray& bytes, CsvTable* table, QString* error) {
  *table = CsvTable();
  const QString text = DecodeText(bytes);
  QVector<QStringList> records;
  QVector<int> starts;
  QStringList record;
  QString field;
  int line = 1;
  int recordLine = 1;
  bool inQuotes = false;
  bool afterQuote = false;  // a quoted field has closed; only , or a line break may follow
  bool any = false;         // the record has begun
  auto fail = [&](int at, const QString& why) {
    if (error) *error = QStringLiteral("line %1: %2").arg(at).arg(why);
    *table = CsvTable();
    return false;
  };
  auto endRecord = [&] {
    record << field;
    records << record;
    starts << recordLine;
    record.clear();
    field.clear();
    any = false;
    afterQuote = false;
  };
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text.at(i);
    if (inQuotes) {
      if (c == u'"') {
        if (i + 1 < n && text.at(i + 1) == u'"') {
          field += u'"';
          ++i;
        } else {
          inQuotes = false;
          afterQuote = true;
        }
      } else {
        if (c == u'\n' || (c == u'\r' && !(i + 1 < n && text.at(i + 1) == u'\n'))) ++line;
        field += c;
      }
      continue;
    }
    if (c == u',') {
      record << field;
      field.clear();
      afterQuote = false;
      any = true;
      continue;
    }
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
      endRecord();
      ++line;
      recordLine = line;
      continue;
    }
    if (afterQuote) return fail(line, QStringLiteral("text after a closing quote"));
    if (c == u'"') {
      if (!field.isEmpty()) return fail(line, QStringLiteral("a quote inside an unquoted field"));
      if (!any) recordLine = line;
      inQuotes = true;
      any = true;
      continue;
    }
    field += c;
    any = true;
  }
  if (inQuotes) return fail(recordLine, QStringLiteral("a quoted field is never closed"));
  if (any || !field.isEmpty()) endRecord();
  if (records.isEmpty()) return true;

  table->header = records.first();
  for (qsizetype r = 1; r < records.size(); ++r) {
    const QStringList& fields = records.at(r);
    // A blank line between records holds nothing to read.
    if (fields.size() == 1 && fields.first().isEmpty()) continue;
    if (fields.size() != table->header.size())
      return fail(starts.at(r), QStringLiteral("%1 fields where the header has %2")
                                    .arg(fields.size())
                                    .arg(table->header.size()));
    table->rows << fields;
    table->lines << starts.at(r);
  }
  return true;
}
