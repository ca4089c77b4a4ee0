#pragma once
// Zip archives made byte by byte, so that tests can hand the restore what no honest
// writer makes: names that climb out, absolute names, links, devices, sizes that lie.

#include <QByteArray>
#include <QList>
#include <QString>

struct ZipMakerEntry {
  QString name;
  QByteArray data;
  quint32 mode = 0100644;   // Unix mode: 0120777 a link (data is its target), 040755 a folder
  qint64 declaredSize = -1; // the uncompressed size the headers claim; -1: the data's
  quint16 method = 0;       // 0 stored, 8 deflated (the data is then taken as it is)
};

QByteArray MakeZip(const QList<ZipMakerEntry>& entries);
bool WriteZip(const QString& path, const QList<ZipMakerEntry>& entries);
