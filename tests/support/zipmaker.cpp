#include "zipmaker.h"

#include <QFile>
#include <QtEndian>

namespace {

quint32 Crc32(const QByteArray& data) {
  static quint32 table[256] = {};
  if (!table[1]) {
    for (quint32 i = 0; i < 256; ++i) {
      quint32 c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
  }
  quint32 crc = 0xFFFFFFFFu;
  for (const char ch : data) crc = table[(crc ^ quint8(ch)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void Put16(QByteArray& b, quint16 v) {
  char x[2];
  qToLittleEndian(v, x);
  b.append(x, 2);
}
void Put32(QByteArray& b, quint32 v) {
  char x[4];
  qToLittleEndian(v, x);
  b.append(x, 4);
}

}  // namespace

QByteArray MakeZip(const QList<ZipMakerEntry>& entries) {
  QByteArray out, central;
  const quint16 time = 0x6000, date = 0x5A8A;  // 12:00, 2025-04-10
  for (const ZipMakerEntry& e : entries) {
    const QByteArray name = e.name.toUtf8();
    const quint32 crc = Crc32(e.data);
    const quint32 size = quint32(e.declaredSize >= 0 ? e.declaredSize : e.data.size());
    const quint32 csize = quint32(e.method == 0 ? size : e.data.size());
    const quint32 offset = quint32(out.size());
    Put32(out, 0x04034b50);
    Put16(out, 20);
    Put16(out, 0x0800);  // names in UTF-8
    Put16(out, e.method);
    Put16(out, time);
    Put16(out, date);
    Put32(out, crc);
    Put32(out, csize);
    Put32(out, size);
    Put16(out, quint16(name.size()));
    Put16(out, 0);
    out += name;
    out += e.data;

    Put32(central, 0x02014b50);
    Put16(central, (3 << 8) | 20);  // made on Unix: the mode is in the external attributes
    Put16(central, 20);
    Put16(central, 0x0800);
    Put16(central, e.method);
    Put16(central, time);
    Put16(central, date);
    Put32(central, crc);
    Put32(central, csize);
    Put32(central, size);
    Put16(central, quint16(name.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, e.mode << 16);
    Put32(central, offset);
    central += name;
  }
  const quint32 centralAt = quint32(out.size());
  out += central;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, quint16(entries.size()));
  Put16(out, quint16(entries.size()));
  Put32(out, quint32(central.size()));
  Put32(out, centralAt);
  Put16(out, 0);
  return out;
}

bool WriteZip(const QString& path, const QList<ZipMakerEntry>& entries) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const QByteArray bytes = MakeZip(entries);
  return f.write(bytes) == bytes.size();
}
