#pragma once
// CSV as other programs read it (RFC 4180): fields holding a comma, a double quote, CR or
// LF are quoted with the quote doubled inside, every line ends in CR LF, the text is UTF-8
// without a byte-order mark. The reader takes quoted fields over line breaks, any line
// break (CR LF, LF, CR), and names the line of what it cannot read.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

// One record as a CSV line with its CR LF.
QByteArray CsvLine(const QStringList& fields);

// A table being written: the header row, then one record a row.
class CsvWriter {
 public:
  explicit CsvWriter(const QStringList& header);
  void AddRow(const QStringList& fields);
  int RowCount() const { return rows_; }
  const QByteArray& Bytes() const { return bytes_; }

 private:
  QByteArray bytes_;
  int rows_ = 0;
};

// The texts of the fields whatever the user's locale: ISO dates (2009-03-14, empty for an
// invalid date) and numbers with "." (the shortest text that reads back the same).
QString CsvDate(const QDate& date);
QString CsvNumber(double value);

// A table read back: the header and the records, each with the line it started on.
struct CsvTable {
  QStringList header;
  QVector<QStringList> rows;
  QVector<int> lines;  // the line number (1 = the header) of each row
  // The column of a header name (exactly as written), or -1.
  int Column(const QString& name) const { return header.indexOf(name); }
};

// Reads CSV bytes (a leading byte-order mark is skipped; text that is not UTF-8 reads as
// Windows-1252). Every row must have as many fields as the header; a quote left open, a
// character after a closing quote or a row of another width fails with "line N: ...".
// An empty file has no header and no rows.
bool ReadCsv(const QByteArray& bytes, CsvTable* table, QString* error);
