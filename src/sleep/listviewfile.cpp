#include "sleep/listviewfile.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QIODevice>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>

#include "core/textfile.h"

namespace {

// A string of the file: UTF-8 when it is valid UTF-8 (a byte-order mark inside a string is
// text like any other), otherwise the Windows-1252 of older files.
QString DecodeString(const char* data, qsizetype size) {
  QStringDecoder utf8(QStringDecoder::Utf8,
                      QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8(QByteArrayView(data, size));
  if (!utf8.hasError()) return text;
  return DecodeTextAs(QByteArrayView(data, size), false);
}

// Reads from bytes that are all in memory, so no length can ask for more than is there.
class Reader {
 public:
  explicit Reader(const QByteArray& bytes) : data_(bytes.constData()), size_(bytes.size()) {}

  bool AtEnd() const { return pos_ >= size_; }
  // Whether a read asked for more than was there.
  bool WasCut() const { return cut_; }
  bool Byte(quint8* out) {
    if (pos_ + 1 > size_) return Cut();
    *out = static_cast<quint8>(data_[pos_++]);
    return true;
  }
  bool Int32(qint32* out) {
    if (size_ - pos_ < 4) return Cut();
    *out = qFromLittleEndian<qint32>(data_ + pos_);
    pos_ += 4;
    return true;
  }
  // A negative length stands for the empty text.
  bool String(QString* out) {
    qint32 n = 0;
    if (!Int32(&n)) return false;
    if (n <= 0) {
      out->clear();
      return true;
    }
    if (size_ - pos_ < n) return Cut();
    *out = DecodeString(data_ + pos_, n);
    pos_ += n;
    return true;
  }

 private:
  bool Cut() {
    pos_ = size_;
    cut_ = true;
    return false;
  }
  const char* data_;
  qsizetype size_;
  qsizetype pos_ = 0;
  bool cut_ = false;
};

void PutInt32(QByteArray& out, qint32 v) {
  char b[4];
  qToLittleEndian<qint32>(v, b);
  out.append(b, 4);
}

void PutString(QByteArray& out, const QString& s) {
  const QByteArray bytes = EncodeText(s);
  PutInt32(out, static_cast<qint32>(bytes.size()));
  out.append(bytes);
}

}  // namespace

bool ListViewFile::ReadBytes(const QByteArray& bytes) {
  items.clear();
  checkBoxes = true;
  if (bytes.isEmpty()) return true;  // nothing there to lose
  Reader in(bytes);
  quint8 flag = 1;
  in.Byte(&flag);
  checkBoxes = flag != 0;
  qint32 count = 0;
  if (!in.Int32(&count)) return false;
  // Every item takes at least nine bytes, so the loop ends with the bytes even when the
  // count is huge; nothing is reserved from the count.
  for (qint32 i = 0; i < count && !in.AtEnd(); ++i) {
    ListViewItem item;
    if (checkBoxes) {
      quint8 checked = 0;
      if (!in.Byte(&checked)) return false;
      item.checked = checked != 0;
    }
    if (!in.String(&item.caption)) return false;
    qint32 m = 0;
    if (!in.Int32(&m)) return false;
    for (qint32 k = 0; k < m; ++k) {
      QString sub;
      if (!in.String(&sub)) return false;
      item.subItems << sub;
    }
    items << item;
  }
  // Items the count promised but the bytes did not hold, or bytes after the last item:
  // either way the file holds more than was read.
  return !in.WasCut() && in.AtEnd() && items.size() >= qsizetype(std::max<qint32>(count, 0));
}

namespace {
// A list whose file was not read to its end is shown as far as it was read, and never
// written over: a save would drop what came after.
QString CutListDetail(qsizetype bytes, qsizetype items) {
  const QString read = items == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(items);
  return QStringLiteral("breaks off after %1 (of %2 bytes), so what came after could not be "
                        "read")
      .arg(read)
      .arg(bytes);
}
}  // namespace

bool ListViewFile::Read(QIODevice* device) {
  if (!device || (!device->isOpen() && !device->open(QIODevice::ReadOnly))) {
    error_ = CannotOpenMessage(QString(), device ? device->errorString() : QString());
    return false;
  }
  const QByteArray bytes = device->readAll();
  const bool whole = ReadBytes(bytes);
  if (const auto* file = qobject_cast<const QFileDevice*>(device))
    ContentChecked(file->fileName(), whole ? QString() : CutListDetail(bytes.size(), items.size()));
  error_.clear();
  return true;
}

bool ListViewFile::Read(const QString& path) {
  QByteArray bytes;
  QString error;
  if (!ReadFileBytes(path, &bytes, &error)) {
    error_ = error;
    return false;
  }
  const bool whole = ReadBytes(bytes);
  ContentChecked(path, whole ? QString() : CutListDetail(bytes.size(), items.size()));
  error_.clear();
  return true;
}

QByteArray ListViewFile::ToBytes() const {
  QByteArray out;
  out.append(char(checkBoxes ? 1 : 0));
  PutInt32(out, static_cast<qint32>(items.size()));
  for (const ListViewItem& item : items) {
    if (checkBoxes) out.append(char(item.checked ? 1 : 0));
    PutString(out, item.caption);
    PutInt32(out, static_cast<qint32>(item.subItems.size()));
    for (const QString& s : item.subItems) PutString(out, s);
  }
  return out;
}

bool ListViewFile::Write(QIODevice* device) const {
  const QByteArray bytes = ToBytes();
  if (!device || (!device->isOpen() && !device->open(QIODevice::WriteOnly)) ||
      device->write(bytes) != bytes.size()) {
    error_ = CannotCreateMessage(QString(), device ? device->errorString() : QString());
    return false;
  }
  error_.clear();
  return true;
}

bool ListViewFile::Write(const QString& path) const {
  QString error;
  if (!WriteFileBytes(path, ToBytes(), &error)) {
    error_ = error;
    return false;
  }
  error_.clear();
  return true;
}

bool LoadListViewFile(ListViewFile& list, const QString& path, QString* error) {
  const bool ok = list.Read(path);
  if (!ok && error) *error = list.errorString();
  return ok;
}

bool SaveListViewFile(const ListViewFile& list, const QString& path, QString* error) {
  const bool ok = list.Write(path);
  if (!ok && error) *error = list.errorString();
  return ok;
}
