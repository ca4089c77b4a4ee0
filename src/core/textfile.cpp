#include "core/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

namespace {

// In the user's way of writing numbers (the program sets en_US where the system has none).
QString CountText(qsizetype n) { return QLocale().toString(qint64(n)); }

}  // namespace

TextBytes ReadableText(QByteArray bytes) {
  TextBytes out;
  const auto* d = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype n = bytes.size();
  const bool le = n >= 2 && d[0] == 0xFF && d[1] == 0xFE;
  const bool be = n >= 2 && d[0] == 0xFE && d[1] == 0xFF;
  if (le || be) {
    // Made by another program on Windows ("Unicode" in Notepad): read as the text it is,
    // and written back, once edited, as UTF-8 like every file of the program.
    const QByteArrayView body = QByteArrayView(bytes).sliced(2);
    QStringDecoder decoder(le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                           QStringDecoder::Flag::Stateless);
    const QString text = decoder(body);
    if (decoder.hasError() || body.size() % 2 != 0)
      out.damage = QStringLiteral("holds UTF-16 text that breaks off");
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0) {
      out.hasNul = true;
      if (out.damage.isEmpty())
        out.damage = QStringLiteral("holds a NUL character at byte %1")
                         .arg(CountText(2 + 2 * nul));
    }
    out.bytes = text.toUtf8();
    out.utf8 = true;
    return out;
  }
  qsizetype bom = 0;
  if (n >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF) bom = 3;
  // memchr is never handed the null pointer of an empty array.
  if (n > bom) {
    if (const void* nul = std::memchr(bytes.constData() + bom, 0, size_t(n - bom))) {
      out.hasNul = true;
      out.damage = QStringLiteral("holds a NUL byte at byte %1")
                       .arg(CountText(static_cast<const char*>(nul) - bytes.constData()));
    }
  }
  if (bom > 0) bytes.remove(0, bom);
  out.utf8 = IsValidUtf8(bytes.constData(), bytes.size());
  out.bytes = std::move(bytes);
  return out;
}

QString DecodeTextAs(QByteArrayView bytes, bool utf8) {
  if (utf8) return QString::fromUtf8(bytes);
  return DecodeWindows1252(bytes.data(), bytes.size());
}

void ShownNuls(QString& text) { text.replace(QChar(0), QChar(0xFFFD)); }

QString DecodeText(const QByteArray& bytes) {
  const TextBytes text = ReadableText(bytes);
  return DecodeTextAs(text.bytes, text.utf8);
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

// ---------------------------------------------------------------------------------------
// Reasons

QString SystemReason(int errnum) {
  if (errnum == 0) return QStringLiteral("The operation failed");
  return QString::fromLocal8Bit(std::strerror(errnum));
}

QString FailureReason(const QString& qtText, int errnum) {
  if (!qtText.isEmpty() && qtText != QLatin1String("Unknown error")) return qtText;
  if (errnum != 0) return SystemReason(errnum);
  return QStringLiteral("The operation failed");
}

QString SizeText(qint64 bytes) {
  if (bytes < 1024) return QStringLiteral("%1 bytes").arg(bytes);
  if (bytes < (qint64(1) << 20)) return QStringLiteral("%1 KB").arg(bytes / 1024.0, 0, 'f', 1);
  if (bytes < (qint64(1) << 30))
    return QStringLiteral("%1 MB").arg(bytes / double(1 << 20), 0, 'f', 1);
  return QStringLiteral("%1 GB").arg(bytes / double(1 << 30), 0, 'f', 1);
}

// ---------------------------------------------------------------------------------------
// Guards

namespace {

struct Guard {
  FileGuard kind = FileGuard::None;
  QString detail;  // Unreadable: the read error's reason; ReadOnly: why, as a phrase
  // ReadOnly for what the file holds (a NUL, a line too long), not for its size: only a
  // loader that checks the whole content may lift it (ContentChecked), since any other
  // read of a file of a sane size would.
  bool content = false;
};

struct Guards {
  QMutex mutex;
  QHash<QString, Guard> files;
  // Messages to be said once, each with its topic: a file and what is wrong with it.
  // A read-only file's notice and the refusal of a save over it share one topic.
  QHash<QString, QString> topics;
  QSet<QString> told;  // topics said
};

Guards& TheGuards() {
  static Guards guards;
  return guards;
}

QString GuardKey(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

bool Exists(const QString& path) {
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
}

QString ReadOnlyNoticeText(const QString& path, const QString& detail) {
  return QStringLiteral("The file \"") + path + QStringLiteral("\" ") + detail +
         QStringLiteral(". It is opened read-only: nothing is written to it.");
}

QString RefusalMessage(const QString& path, const Guard& guard) {
  if (guard.kind == FileGuard::ReadOnly)
    return CannotCreateMessage(path, QStringLiteral("It was opened read-only because it ") +
                                         guard.detail + QStringLiteral(", so it is left as it is."));
  return CannotCreateMessage(path, QStringLiteral("It could not be read (") + guard.detail +
                                       QStringLiteral("), so it is left as it is."));
}

// Topics of one file: "<key>|<what>".
QString Topic(const QString& key, const QString& what) { return key + u'|' + what; }

// Caller holds the mutex.
void SayOnce(Guards& g, const QString& message, const QString& topic) {
  g.topics.insert(message, topic);
}

// Forgets what was said about a file that now loads as it should, so that a new failure
// is told again.
void ForgetSaid(Guards& g, const QString& key) {
  const QString prefix = key + u'|';
  for (auto it = g.told.begin(); it != g.told.end();) {
    if (it->startsWith(prefix)) it = g.told.erase(it);
    else ++it;
  }
}

void SetGuard(const QString& path, FileGuard kind, const QString& detail, bool content = false) {
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  const QString key = GuardKey(path);
  const Guard guard{kind, detail, content};
  g.files.insert(key, guard);
  const QString topic = Topic(key, kind == FileGuard::ReadOnly ? QStringLiteral("read-only ") + detail
                                                               : QStringLiteral("refused ") + detail);
  SayOnce(g, RefusalMessage(path, guard), topic);
  if (kind == FileGuard::ReadOnly) SayOnce(g, ReadOnlyNoticeText(path, detail), topic);
}

void NoteLoadFailure(const QString& path, const QString& message, const QString& reason) {
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  SayOnce(g, message, Topic(GuardKey(path), QStringLiteral("unreadable ") + reason));
}

// Lifts the guard of a file that was loaded: an Unreadable one always, a ReadOnly one
// only when the read checked the file's size (withinSaneSize).
void LiftGuard(const QString& path, bool withinSaneSize) {
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  const QString key = GuardKey(path);
  auto it = g.files.find(key);
  if (it == g.files.end()) return;
  if (it->kind == FileGuard::ReadOnly && (!withinSaneSize || it->content)) return;
  // A file that could be read again is told again should it fail again. A read-only one
  // is not: a loader may find it too long to edit at every load.
  if (it->kind == FileGuard::Unreadable) ForgetSaid(g, key);
  g.files.erase(it);
}

// Whether a write or removal over path may go ahead; *error gets the refusal otherwise.
bool WriteAllowed(const QString& path, QString* error) {
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  const QString key = GuardKey(path);
  auto it = g.files.find(key);
  if (it == g.files.end()) return true;
  if (!Exists(path)) {
    g.files.erase(it);
    ForgetSaid(g, key);
    return true;
  }
  if (error) *error = RefusalMessage(path, *it);
  return false;
}

}  // namespace

FileGuard GuardOf(const QString& path) {
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  return g.files.value(GuardKey(path)).kind;
}

void GuardReadOnly(const QString& path, const QString& detail) {
  SetGuard(path, FileGuard::ReadOnly, detail, true);
}

void ContentChecked(const QString& path, const QString& detail) {
  if (path.isEmpty()) return;
  if (!detail.isEmpty()) {
    GuardDamaged(path, detail);
    return;
  }
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  const auto it = g.files.find(GuardKey(path));
  if (it != g.files.end() && it->kind == FileGuard::ReadOnly && it->content) g.files.erase(it);
}

QString ReadOnlyNotice(const QString& path) {
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  const auto it = g.files.constFind(GuardKey(path));
  if (it == g.files.cend() || it->kind != FileGuard::ReadOnly) return QString();
  return ReadOnlyNoticeText(path, it->detail);
}

bool TellOnce(const QString& message) {
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  const auto it = g.topics.constFind(message);
  if (it == g.topics.cend()) return true;  // not one of the file layer's: always said
  if (g.told.contains(*it)) return false;
  g.told.insert(*it);
  return true;
}

void ForgetFileGuards() {
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  g.files.clear();
  g.topics.clear();
  g.told.clear();
}

// ---------------------------------------------------------------------------------------
// Reading

bool ReadRecordBytes(const QString& path, QByteArray* bytes, QString* error, qint64 saneBytes,
                     bool* readOnly) {
  if (readOnly) *readOnly = false;
  const QFileInfo info(path);
  const auto fail = [&](const QString& reason) {
    const QString message = CannotOpenMessage(path, reason);
    if (error) *error = message;
    // A file that is there but cannot be loaded must not be replaced by what a view
    // makes of nothing.
    if (Exists(path)) {
      SetGuard(path, FileGuard::Unreadable, reason);
      NoteLoadFailure(path, message, reason);
    }
    return false;
  };
  if (info.isDir()) return fail(QStringLiteral("Is a directory"));
  // A pipe or a device could block the window or never end.
  if (info.exists() && !info.isFile()) return fail(QStringLiteral("Not a regular file"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return fail(FailureReason(file.errorString(), errno));
  const qint64 size = file.size();
  if (size > kMaxReadBytes)
    return fail(QStringLiteral("File too large (%1)").arg(SizeText(size)));
  QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) return fail(FailureReason(file.errorString(), errno));
  if (data.size() > kMaxReadBytes)
    return fail(QStringLiteral("File too large (more than %1)").arg(SizeText(kMaxReadBytes)));
  if (saneBytes > 0 && data.size() > saneBytes) {
    SetGuard(path, FileGuard::ReadOnly,
             QStringLiteral("is %1, far larger than such a file should be")
                 .arg(SizeText(data.size())));
    if (readOnly) *readOnly = true;
  } else {
    LiftGuard(path, saneBytes > 0);
  }
  if (bytes) *bytes = std::move(data);
  return true;
}

bool ReadFileBytes(const QString& path, QByteArray* bytes, QString* error) {
  return ReadRecordBytes(path, bytes, error, 0);
}

QString LongLineDetail(qsizetype length) {
  return QStringLiteral("holds a line of %1 characters, too long to edit")
      .arg(CountText(length));
}

void GuardDamaged(const QString& path, const QString& detail) {
  // The first cause found is the one told: a file far too large may hold long lines too.
  if (!detail.isEmpty() && !path.isEmpty() && GuardOf(path) != FileGuard::ReadOnly)
    GuardReadOnly(path, detail);
}

namespace {

// The text of a record file and what was found wrong with its bytes (TextBytes::damage).
bool ReadTextAndDamage(const QString& path, QString* text, QString* error, QString* damage) {
  QByteArray bytes;
  if (!ReadRecordBytes(path, &bytes, error, kSaneTextBytes)) return false;
  const TextBytes readable = ReadableText(std::move(bytes));
  GuardDamaged(path, readable.damage);
  *damage = readable.damage;
  *text = DecodeTextAs(readable.bytes, readable.utf8);
  if (readable.hasNul) ShownNuls(*text);
  return true;
}

}  // namespace

bool ReadTextFile(const QString& path, QString* text, QString* error) {
  QString all, damage;
  if (!ReadTextAndDamage(path, &all, error, &damage)) return false;
  if (text) *text = std::move(all);
  return true;
}

bool ReadTextLines(const QString& path, QStringList* lines, QString* error) {
  QString text, damage;
  if (!ReadTextAndDamage(path, &text, error, &damage)) return false;
  QStringList all = SplitLines(text);
  text.clear();
  qsizetype longest = 0;
  for (const QString& line : std::as_const(all)) longest = std::max(longest, line.size());
  if (longest > kLongestLine) {
    if (damage.isEmpty()) damage = LongLineDetail(longest);
    // For the screen only: pieces short enough to lay out at once.
    QStringList shown;
    for (const QString& line : std::as_const(all)) {
      if (line.size() <= kLongestLine) {
        shown << line;
        continue;
      }
      for (qsizetype at = 0; at < line.size(); at += kLongestLine)
        shown << line.mid(at, kLongestLine);
    }
    all = std::move(shown);
  }
  // The whole text was checked: a file mended since an earlier load is writable again.
  ContentChecked(path, damage);
  if (lines) *lines = std::move(all);
  return true;
}

bool ReadMemoText(const QString& path, MemoText* memo, QString* error) {
  memo->text.clear();
  memo->readOnly = false;
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return true;
  QStringList lines;
  if (!ReadTextLines(path, &lines, error)) {
    memo->readOnly = true;
    return false;
  }
  memo->text = lines.join(QLatin1Char('\n'));
  memo->readOnly = GuardOf(path) != FileGuard::None;
  return true;
}

bool MayWriteFile(const QString& path, QString* error) { return WriteAllowed(path, error); }

QString ChangeRefusedMessage(const QString& path, const QString& what) {
  const QString why = GuardOf(path) == FileGuard::ReadOnly
                          ? QStringLiteral(" is opened read-only, so it cannot be changed.\n")
                          : QStringLiteral(" could not be read, so it cannot be changed.\n");
  return what + why + GuardMessage(path);
}

QString NotReplacedMessage(const QString& path) {
  {
    Guards& g = TheGuards();
    QMutexLocker lock(&g.mutex);
    const auto it = g.files.constFind(GuardKey(path));
    if (it != g.files.cend() && it->kind == FileGuard::ReadOnly) return RefusalMessage(path, *it);
  }
  return CannotCreateMessage(path,
                             QStringLiteral("The file could not be read, so it was not replaced."));
}

QString GuardMessage(const QString& path) {
  Guards& g = TheGuards();
  QMutexLocker lock(&g.mutex);
  const auto it = g.files.constFind(GuardKey(path));
  if (it == g.files.cend()) return QString();
  if (it->kind == FileGuard::ReadOnly) return ReadOnlyNoticeText(path, it->detail);
  return CannotOpenMessage(path, it->detail);
}

// ---------------------------------------------------------------------------------------
// Writing

namespace {

// Whether the file already holds exactly these bytes. Compared piece by piece, so a big
// file costs no memory; anything that cannot be read counts as different.
bool HoldsBytes(const QString& path, const QByteArray& bytes) {
  const QFileInfo info(path);
  if (!info.isFile() || info.size() != bytes.size()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  constexpr qint64 kPiece = 1 << 16;
  QByteArray piece(kPiece, Qt::Uninitialized);
  qint64 at = 0;
  while (at < bytes.size()) {
    const qint64 n = file.read(piece.data(), std::min(kPiece, bytes.size() - at));
    if (n <= 0 || std::memcmp(piece.constData(), bytes.constData() + at, size_t(n)) != 0)
      return false;
    at += n;
  }
  char extra;
  return file.read(&extra, 1) == 0;
}

}  // namespace

bool WriteToSaveFile(QSaveFile& file, const char* data, qint64 size, QString* reason) {
  const int fd = file.handle();
  if (fd < 0) {
    // No descriptor to write to: through the device, checked all the same.
    if (file.write(data, size) != size || !file.flush() || file.error() != QFileDevice::NoError) {
      if (reason) *reason = FailureReason(file.errorString(), errno);
      file.cancelWriting();
      return false;
    }
    return true;
  }
  // Straight to the descriptor: a buffered device can swallow a failed write of a small
  // file and still commit it, and only the call that failed knows the system's reason.
  qint64 done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size_t(std::min<qint64>(size - done, 1 << 20)));
    if (n < 0) {
      if (errno == EINTR) continue;
      if (reason) *reason = SystemReason(errno);
      file.cancelWriting();
      return false;
    }
    if (n == 0) {
      if (reason) *reason = SystemReason(ENOSPC);
      file.cancelWriting();
      return false;
    }
    done += n;
  }
  return true;
}

bool CommitSaveFile(QSaveFile& file, qint64 expectedSize, QString* reason) {
  const auto fail = [&](const QString& why) {
    if (reason) *reason = why;
    file.cancelWriting();
    return false;
  };
  if (!file.flush() || file.error() != QFileDevice::NoError)
    return fail(FailureReason(file.errorString(), errno));
  const int fd = file.handle();
  if (fd >= 0) {
    // A full disk may only show when the data is forced out: before the rename, not
    // after it has replaced the old file.
    if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS) return fail(SystemReason(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && qint64(st.st_size) != expectedSize)
      return fail(QStringLiteral("Only %1 of %2 reached the disk")
                      .arg(SizeText(qint64(st.st_size)), SizeText(expectedSize)));
  }
  errno = 0;
  if (!file.commit()) {
    if (reason) *reason = FailureReason(file.errorString(), errno);
    return false;
  }
  return true;
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes, QString* error) {
  if (path.isEmpty()) {
    if (error) *error = CannotCreateMessage(path, QStringLiteral("No file name given"));
    return false;
  }
  if (!WriteAllowed(path, error)) return false;
  if (QFileInfo(path).isDir()) {
    if (error) *error = CannotCreateMessage(path, QStringLiteral("Is a directory"));
    return false;
  }
  // Only a real change reaches the disk.
  if (HoldsBytes(path, bytes)) return true;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = CannotCreateMessage(path, FailureReason(file.errorString(), errno));
    return false;
  }
  QString reason;
  if (!WriteToSaveFile(file, bytes.constData(), bytes.size(), &reason) ||
      !CommitSaveFile(file, bytes.size(), &reason)) {
    if (error) *error = CannotCreateMessage(path, reason);
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
  if (Exists(path)) {
    if (!ReadRecordBytes(path, &bytes, error, kSaneTextBytes)) return false;
    // A damaged file is guarded, and the write below refused: nothing of it is lost.
    TextBytes readable = ReadableText(std::move(bytes));
    GuardDamaged(path, readable.damage);
    // The whole file is written as UTF-8: old Windows-1252 or UTF-16 text is re-encoded so
    // that the new line and the old ones decode alike.
    bytes = readable.utf8 ? std::move(readable.bytes)
                          : EncodeText(DecodeTextAs(readable.bytes, false));
    // A last line without its break would otherwise run into the new one.
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r')) bytes += "\r\n";
  }
  bytes += EncodeText(line);
  bytes += "\r\n";
  return WriteFileBytes(path, bytes, error);
}

bool RemoveRecordFile(const QString& path, QString* error) {
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return true;
  if (!WriteAllowed(path, error)) return false;
  if (info.isDir()) {
    if (error) *error = CannotCreateMessage(path, QStringLiteral("Is a directory"));
    return false;
  }
  QFile file(path);
  if (!file.remove()) {
    if (error) *error = CannotCreateMessage(path, FailureReason(file.errorString(), errno));
    return false;
  }
  return true;
}
