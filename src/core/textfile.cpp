#include "core/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString CannotOpenMessage(const QString& path, const QString& reason) {
  return QStringLiteral("Cannot open file \"") + path + QStringLiteral("\". ") + reason;
}

QString CannotCreateMessage(const QString& path, const QString& reason) {
  return QStringLiteral("Cannot create file \"") + path + QStringLiteral("\". ") + reason;
}

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const char* data, qsizetype size) {
  const auto* s = reinterpret_cast<const unsigned char*>(data);
  qsizetype i = 0;
  while (i < size) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int extra;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the first continuation byte
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (size - i <= extra) return false;
    if (s[i + 1] < lo || s[i + 1] > hi) return false;
    for (int k = 2; k <= extra; ++k)
      if ((s[i + k] & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

// Windows-1252 bytes 0x80..0x9F; the five unassigned codes map to the C1 controls of the
// same value, as Windows itself decodes them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

QString DecodeWindows1252(const char* data, qsizetype size) {
  QString out(size, Qt::Uninitialized);
  QChar* d = out.data();
  for (qsizetype i = 0; i < size; ++i) {
    const unsigned char c = static_cast<unsigned char>(data[i]);
    d[i] = (c >= 0x80 && c <= 0x9F) ? QChar(kCp1252High[c - 0x80]) : QChar(char16_t(c));
  }
  return out;
}

}  // namespace

QString DecodeText(const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype size = bytes.size();
  if (size >= 3 && static_cast<unsigned char>(data[0]) == 0xEF &&
      static_cast<unsigned char>(data[1]) == 0xBB && static_cast<unsigned char>(data[2]) == 0xBF) {
    data += 3;
    size -= 3;
  }
  if (IsValidUtf8(data, size)) return QString::fromUtf8(data, size);
  return DecodeWindows1252(data, size);
}

QByteArray EncodeText(const QString& text) { return text.toUtf8(); }

QStringList SplitLines(const QString& text) {
  QStringList lines;
  const qsizetype n = text.size();
  const QChar* s = text.constData();
  qsizetype start = 0;
  qsizetype i = 0;
  while (i < n) {
    const QChar c = s[i];
    if (c == u'\r' || c == u'\n') {
      lines.append(QString(s + start, i - start));
      if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n') ++i;
      ++i;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < n) lines.append(QString(s + start, n - start));
  return lines;
}

bool ReadFileBytes(const QString& path, QByteArray* bytes, QString* error) {
  QFile file(path);
  if (QFileInfo(path).isDir()) {
    if (error) *error = CannotOpenMessage(path, QStringLiteral("Is a directory"));
    return false;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = CannotOpenMessage(path, file.errorString());
    return false;
  }
  QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    if (error) *error = CannotOpenMessage(path, file.errorString());
    return false;
  }
  if (bytes) *bytes = std::move(data);
  return true;
}

bool ReadTextFile(const QString& path, QString* text, QString* error) {
  QByteArray bytes;
  if (!ReadFileBytes(path, &bytes, error)) return false;
  if (text) *text = DecodeText(bytes);
  return true;
}

bool ReadTextLines(const QString& path, QStringList* lines, QString* error) {
  QString text;
  if (!ReadTextFile(path, &text, error)) return false;
  if (lines) *lines = SplitLines(text);
  return true;
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes, QString* error) {
  if (path.isEmpty()) {
    if (error) *error = CannotCreateMessage(path, QStringLiteral("No file name given"));
    return false;
  }
  if (QFileInfo(path).isDir()) {
    if (error) *error = CannotCreateMessage(path, QStringLiteral("Is a directory"));
    return false;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = CannotCreateMessage(path, file.errorString());
    return false;
  }
  if (file.write(bytes) != bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    if (error) *error = CannotCreateMessage(path, reason);
    return false;
  }
  if (!file.commit()) {
    if (error) *error = CannotCreateMessage(path, file.errorString());
    return false;
  }
  return true;
}

bool WriteTextFile(const QString& path, const QString& text, QString* error) {
  return WriteFileBytes(path, EncodeText(text), error);
}

bool WriteTextLines(const QString& path, const QStringList& lines, QString* error) {
  QByteArray bytes;
  for (const QString& line : lines) {
    bytes += EncodeText(line);
    bytes += "\r\n";
  }
  return WriteFileBytes(path, bytes, error);
}

bool AppendTextLine(const QString& path, const QString& line, QString* error) {
  QByteArray bytes;
  if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
    if (!ReadFileBytes(path, &bytes, error)) return false;
    // The whole file is written as UTF-8: old Windows-1252 text is re-encoded so that the
    // new line and the old ones decode alike.
    if (!IsValidUtf8(bytes.constData(), bytes.size())) bytes = EncodeText(DecodeText(bytes));
    // A last line without its break would otherwise run into the new one.
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r')) bytes += "\r\n";
  }
  bytes += EncodeText(line);
  bytes += "\r\n";
  return WriteFileBytes(path, bytes, error);
}
