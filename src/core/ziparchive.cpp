#include "core/ziparchive.h"

#include <QFile>
#include <QTimeZone>
#include <QSaveFile>

#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <clocale>
#include <langinfo.h>
#include <mutex>

#include "core/textfile.h"

namespace {

// libarchive converts names between the archive's UTF-8 and the C library's character
// set. File names here are UTF-8 whatever the locale (as Qt takes them), so a locale of
// plain ASCII ("C", or one that is not installed) would make every accented name fail:
// the character set becomes UTF-8 then, once, before the first archive.
void UseUtf8Names() {
  static std::once_flag once;
  std::call_once(once, [] {
    const char* codeset = nl_langinfo(CODESET);
    if (codeset && qstrcmp(codeset, "UTF-8") == 0) return;
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "C.utf8");
  });
}

QString ArchiveError(archive* a) {
  const char* text = a ? archive_error_string(a) : nullptr;
  return text ? QString::fromLocal8Bit(text) : QStringLiteral("the archive library failed");
}

}  // namespace

// libarchive hands the archive's bytes to these, which pass them to the QSaveFile.
struct ZipWriterCallbacks {
  static la_ssize_t Write(archive*, void* client, const void* buffer, size_t length) {
    auto* w = static_cast<ZipWriter*>(client);
    QString reason;
    if (!WriteToSaveFile(*w->file_, static_cast<const char*>(buffer), qint64(length), &reason)) {
      w->writeError_ = reason;
      return -1;
    }
    w->written_ += qint64(length);
    return la_ssize_t(length);
  }
  static int Close(archive*, void*) { return ARCHIVE_OK; }
};

ZipWriter::ZipWriter() = default;

ZipWriter::~ZipWriter() { Cancel(); }

bool ZipWriter::Fail(QString* error, const QString& what) {
  const QString reason = !writeError_.isEmpty() ? writeError_ : what;
  if (error) *error = CannotCreateMessage(path_, reason);
  Cancel();
  return false;
}

bool ZipWriter::Open(const QString& path, QString* error) {
  UseUtf8Names();
  Cancel();
  path_ = path;
  writeError_.clear();
  written_ = 0;
  file_ = std::make_unique<QSaveFile>(path);
  file_->setDirectWriteFallback(false);
  if (!file_->open(QIODevice::WriteOnly)) {
    const QString reason = FailureReason(file_->errorString(), errno);
    file_.reset();
    if (error) *error = CannotCreateMessage(path, reason);
    return false;
  }
  a_ = archive_write_new();
  if (!a_ || archive_write_set_format_zip(a_) != ARCHIVE_OK ||
      archive_write_set_options(a_, "zip:compression=deflate,zip:compression-level=1,zip:hdrcharset=UTF-8") !=
          ARCHIVE_OK ||
      archive_write_set_bytes_in_last_block(a_, 1) != ARCHIVE_OK)
    return Fail(error, ArchiveError(a_));
  if (archive_write_open(a_, this, nullptr, &ZipWriterCallbacks::Write,
                         &ZipWriterCallbacks::Close) != ARCHIVE_OK)
    return Fail(error, ArchiveError(a_));
  return true;
}

namespace {

archive_entry* NewEntry(const QString& name, const QDateTime& modified, bool folder,
                        qint64 size) {
  archive_entry* e = archive_entry_new();
  archive_entry_set_pathname_utf8(e, name.toUtf8().constData());
  archive_entry_set_filetype(e, folder ? AE_IFDIR : AE_IFREG);
  archive_entry_set_perm(e, folder ? 0755 : 0644);
  archive_entry_set_size(e, folder ? 0 : size);
  const QDateTime when = modified.isValid() ? modified : QDateTime::currentDateTime();
  archive_entry_set_mtime(e, when.toSecsSinceEpoch(), 0);
  return e;
}

}  // namespace

bool ZipWriter::AddFolder(const QString& name, const QDateTime& modified, QString* error) {
  if (!a_) return Fail(error, QStringLiteral("the archive is not open"));
  archive_entry* e = NewEntry(name.endsWith(u'/') ? name : name + u'/', modified, true, 0);
  const int r = archive_write_header(a_, e);
  archive_entry_free(e);
  if (r != ARCHIVE_OK) return Fail(error, ArchiveError(a_));
  return true;
}

bool ZipWriter::AddFile(const QString& name, const QByteArray& bytes, const QDateTime& modified,
                        QString* error) {
  if (!a_) return Fail(error, QStringLiteral("the archive is not open"));
  archive_entry* e = NewEntry(name, modified, false, bytes.size());
  // Deflate saves a file this small a few bytes and costs a compressor's setup each;
  // a data folder holds thousands of them (a day's note, a meal).
  if (bytes.size() < kZipStoredBelow)
    archive_write_zip_set_compression_store(a_);
  else
    archive_write_zip_set_compression_deflate(a_);
  const int r = archive_write_header(a_, e);
  archive_entry_free(e);
  if (r != ARCHIVE_OK) return Fail(error, ArchiveError(a_));
  qsizetype at = 0;
  while (at < bytes.size()) {
    const la_ssize_t n = archive_write_data(a_, bytes.constData() + at, size_t(bytes.size() - at));
    if (n <= 0) return Fail(error, ArchiveError(a_));
    at += n;
  }
  if (archive_write_finish_entry(a_) != ARCHIVE_OK) return Fail(error, ArchiveError(a_));
  return true;
}

bool ZipWriter::Commit(QString* error) {
  if (!a_ || !file_) return Fail(error, QStringLiteral("the archive is not open"));
  if (archive_write_close(a_) != ARCHIVE_OK) return Fail(error, ArchiveError(a_));
  archive_write_free(a_);
  a_ = nullptr;
  QString reason;
  if (!CommitSaveFile(*file_, written_, &reason)) {
    file_.reset();
    if (error) *error = CannotCreateMessage(path_, reason);
    return false;
  }
  file_.reset();
  return true;
}

void ZipWriter::Cancel() {
  if (a_) {
    // Nothing more reaches the file: it is thrown away below.
    archive_write_fail(a_);
    archive_write_free(a_);
    a_ = nullptr;
  }
  if (file_) {
    file_->cancelWriting();
    file_.reset();
  }
}

// ---------------------------------------------------------------------------------------

ZipReader::ZipReader() = default;

ZipReader::~ZipReader() {
  if (a_) archive_read_free(a_);
}

bool ZipReader::Open(const QString& path, QString* error) {
  UseUtf8Names();
  if (a_) archive_read_free(a_);
  a_ = archive_read_new();
  entry_ = nullptr;
  error_.clear();
  // The seekable reader trusts the central directory, as other zip programs do, so a
  // local header cannot hide an entry from the checks.
  archive_read_support_format_zip_seekable(a_);
  // Names without the UTF-8 flag (archives from older Windows tools) read as CP437
  // would garble; UTF-8 is what this program writes and what most tools write now.
  archive_read_set_options(a_, "zip:hdrcharset=UTF-8");
  bytes_.clear();
  QFile file(path);
  if (file.size() <= kZipInMemoryBytes && file.open(QIODevice::ReadOnly)) {
    bytes_ = file.readAll();
    if (file.error() != QFileDevice::NoError) bytes_.clear();
  }
  const int opened =
      !bytes_.isEmpty()
          ? archive_read_open_memory(a_, bytes_.constData(), size_t(bytes_.size()))
          : archive_read_open_filename(a_, QFile::encodeName(path).constData(), 1 << 16);
  if (opened != ARCHIVE_OK) {
    error_ = ArchiveError(a_);
    if (error) *error = CannotOpenMessage(path, error_);
    archive_read_free(a_);
    a_ = nullptr;
    return false;
  }
  return true;
}

bool ZipReader::Next(ZipEntryInfo* entry) {
  if (!a_) return false;
  const int r = archive_read_next_header(a_, &entry_);
  if (r == ARCHIVE_EOF) {
    entry_ = nullptr;
    return false;
  }
  if (r < ARCHIVE_WARN) {
    error_ = ArchiveError(a_);
    entry_ = nullptr;
    return false;
  }
  const char* utf8 = archive_entry_pathname_utf8(entry_);
  const char* raw = archive_entry_pathname(entry_);
  entry->name = QString::fromUtf8(utf8 ? utf8 : raw ? raw : "");
  const mode_t type = archive_entry_filetype(entry_);
  if (archive_entry_symlink(entry_) || archive_entry_hardlink(entry_) || type == AE_IFLNK)
    entry->type = ZipEntryInfo::Type::Link;
  else if (type == AE_IFREG)
    entry->type = ZipEntryInfo::Type::File;
  else if (type == AE_IFDIR)
    entry->type = ZipEntryInfo::Type::Folder;
  else
    entry->type = ZipEntryInfo::Type::Other;
  entry->size = archive_entry_size_is_set(entry_) ? qint64(archive_entry_size(entry_)) : -1;
  entry->modified = archive_entry_mtime_is_set(entry_)
                        ? QDateTime::fromSecsSinceEpoch(archive_entry_mtime(entry_), QTimeZone::utc())
                        : QDateTime();
  return true;
}

bool ZipReader::ReadData(qint64 maxBytes, QByteArray* bytes, QString* error) {
  bytes->clear();
  if (!a_ || !entry_) {
    if (error) *error = QStringLiteral("no entry to read");
    return false;
  }
  char buffer[1 << 16];
  for (;;) {
    const la_ssize_t n = archive_read_data(a_, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      error_ = ArchiveError(a_);
      if (error) *error = error_;
      bytes->clear();
      return false;
    }
    if (bytes->size() + n > maxBytes) {
      error_ = QStringLiteral("it is larger than %1").arg(SizeText(maxBytes));
      if (error) *error = error_;
      bytes->clear();
      return false;
    }
    bytes->append(buffer, n);
  }
}

bool GunzipBytes(const QByteArray& gzip, qint64 maxBytes, QByteArray* bytes, QString* reason) {
  bytes->clear();
  archive* a = archive_read_new();
  // Only gzip, and the raw "format" that hands its one stream out as one entry.
  archive_read_support_filter_gzip(a);
  archive_read_support_format_raw(a);
  auto fail = [&](const QString& why) {
    if (reason) *reason = why;
    bytes->clear();
    archive_read_free(a);
    return false;
  };
  if (gzip.size() < 2 || uchar(gzip.at(0)) != 0x1f || uchar(gzip.at(1)) != 0x8b)
    return fail(QStringLiteral("it is not gzip-compressed"));
  if (archive_read_open_memory(a, gzip.constData(), size_t(gzip.size())) != ARCHIVE_OK)
    return fail(ArchiveError(a));
  archive_entry* entry = nullptr;
  if (archive_read_next_header(a, &entry) != ARCHIVE_OK) return fail(ArchiveError(a));
  char buffer[1 << 16];
  for (;;) {
    const la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) return fail(QStringLiteral("it is damaged (%1)").arg(ArchiveError(a)));
    if (bytes->size() + n > maxBytes)
      return fail(QStringLiteral("it unpacks to more than %1").arg(SizeText(maxBytes)));
    bytes->append(buffer, n);
  }
  archive_read_free(a);
  return true;
}
