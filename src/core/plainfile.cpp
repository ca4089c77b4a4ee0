#include "core/plainfile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/textfile.h"

namespace {

QByteArray Name(const QString& name) { return QFile::encodeName(name); }

FileStamp StampOf(const struct stat& st) {
  FileStamp s;
  s.device = quint64(st.st_dev);
  s.inode = quint64(st.st_ino);
  s.size = qint64(st.st_size);
  s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return s;
}

// Lists the folder open at fd (which the listing closes).
QList<FolderEntry> ListOpen(int fd) {
  QList<FolderEntry> out;
  if (fd < 0) return out;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return out;
  }
  while (const dirent* e = ::readdir(dir)) {
    if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0)))
      continue;
    unsigned char type = e->d_type;
    if (type == DT_UNKNOWN) {
      // Some filesystems do not say: then one lstat.
      struct stat st;
      if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
        type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_UNKNOWN;
    }
    FolderEntry entry{QFile::decodeName(e->d_name)};
    entry.type = type == DT_REG   ? FolderEntry::Type::File
                 : type == DT_DIR ? FolderEntry::Type::Folder
                 : type == DT_LNK ? FolderEntry::Type::Link
                                  : FolderEntry::Type::Other;
    out << entry;
  }
  ::closedir(dir);
  std::sort(out.begin(), out.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return out;
}

bool ReadAt(int folderFd, const QByteArray& name, const QString& shown, qint64 maxBytes,
            PlainFile* file, QString* error) {
  *file = PlainFile();
  const int fd = ::openat(folderFd, name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  auto fail = [&](const QString& reason) {
    if (error) *error = CannotOpenMessage(shown, reason);
    file->bytes.clear();
    return false;
  };
  if (fd < 0) return fail(errno == ELOOP ? QStringLiteral("It is a link") : SystemReason(errno));
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return fail(SystemReason(err));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return fail(S_ISDIR(st.st_mode) ? QStringLiteral("Is a directory") : QStringLiteral("Not a regular file"));
  }
  file->size = st.st_size;
  file->modifiedSecs = st.st_mtim.tv_sec;
  file->stamp = StampOf(st);
  if (st.st_size > maxBytes) {
    file->tooLarge = true;
    ::close(fd);
    return true;
  }
  // One read of the size and a byte more: a regular file's short read is its end, so a
  // file that did not grow is read in one call; one that grew meanwhile is read on, up to
  // maxBytes.
  QByteArray& bytes = file->bytes;
  bytes.resize(qsizetype(st.st_size) + 1);
  qsizetype have = 0;
  for (;;) {
    if (have == bytes.size()) {
      if (have > maxBytes) {
        ::close(fd);
        file->bytes.clear();
        file->tooLarge = true;
        return true;
      }
      bytes.resize(qsizetype(qMin<qint64>(qint64(bytes.size()) * 2, maxBytes + 1)));
    }
    const size_t want = size_t(bytes.size() - have);
    const ssize_t n = ::read(fd, bytes.data() + have, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return fail(SystemReason(err));
    }
    have += n;
    if (size_t(n) < want) break;
  }
  ::close(fd);
  bytes.resize(have);
  file->size = have;
  return true;
}

// Removes everything inside the folder open at fd (which stays open).
bool RemoveInside(int fd) {
  bool ok = true;
  for (const FolderEntry& e : ListOpen(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))) {
    const QByteArray name = Name(e.name);
    if (e.type == FolderEntry::Type::Folder) {
      const int sub = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (sub >= 0) {
        ok = RemoveInside(sub) && ok;
        ::close(sub);
      }
      ok = ::unlinkat(fd, name.constData(), AT_REMOVEDIR) == 0 && ok;
    } else {
      ok = ::unlinkat(fd, name.constData(), 0) == 0 && ok;
    }
  }
  return ok;
}

}  // namespace

FolderHandle::FolderHandle(const QString& path, bool followLink)
    : path_(path.endsWith(u'/') ? path : path + u'/') {
  fd_ = ::open(Name(path).constData(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
}

FolderHandle::FolderHandle(const FolderHandle& parent, const QString& name)
    : path_(parent.Path() + name + (name.endsWith(u'/') ? QString() : QStringLiteral("/"))) {
  if (parent.IsOpen())
    fd_ = ::openat(parent.Handle(), Name(name).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
}

FolderHandle::~FolderHandle() {
  if (fd_ >= 0) ::close(fd_);
}

FolderHandle::FolderHandle(FolderHandle&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

bool FolderHandle::Flush() const { return fd_ >= 0 && ::fsync(fd_) == 0; }

QList<FolderEntry> ListFolder(const QString& folder) {
  return ListOpen(::open(Name(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

QList<FolderEntry> ListFolder(const FolderHandle& folder) {
  if (!folder.IsOpen()) return {};
  // A description of its own, so that the listing's position is not the folder's.
  return ListOpen(::openat(folder.Handle(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

bool ReadPlainFile(const QString& path, qint64 maxBytes, PlainFile* file, QString* error) {
  return ReadAt(AT_FDCWD, Name(path), path, maxBytes, file, error);
}

bool ReadPlainFile(const FolderHandle& folder, const QString& name, qint64 maxBytes,
                   PlainFile* file, QString* error) {
  if (!folder.IsOpen()) {
    *file = PlainFile();
    if (error) *error = CannotOpenMessage(folder.Path() + name, SystemReason(EBADF));
    return false;
  }
  return ReadAt(folder.Handle(), Name(name), folder.Path() + name, maxBytes, file, error);
}

bool StampFile(const FolderHandle& folder, const QString& name, FileStamp* stamp) {
  struct stat st;
  if (!folder.IsOpen() || ::fstatat(folder.Handle(), Name(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(st.st_mode))
    return false;
  *stamp = StampOf(st);
  return true;
}

bool WriteNewFile(const FolderHandle& folder, const QString& name, const QByteArray& bytes,
                  qint64 modifiedSecs, QString* error) {
  const QString shown = folder.Path() + name;
  const QByteArray n = Name(name);
  const int fd = folder.IsOpen() ? ::openat(folder.Handle(), n.constData(),
                                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644)
                                 : -1;
  if (fd < 0) {
    if (error) *error = CannotCreateMessage(shown, SystemReason(folder.IsOpen() ? errno : EBADF));
    return false;
  }
  auto fail = [&](int err) {
    ::close(fd);
    ::unlinkat(folder.Handle(), n.constData(), 0);
    if (error) *error = CannotCreateMessage(shown, SystemReason(err));
    return false;
  };
  qsizetype at = 0;
  while (at < bytes.size()) {
    const ssize_t w = ::write(fd, bytes.constData() + at, size_t(bytes.size() - at));
    if (w < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    at += w;
  }
  if (modifiedSecs > 0) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(modifiedSecs), 0}};
    if (::futimens(fd, times) != 0) return fail(errno);
  }
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlinkat(folder.Handle(), n.constData(), 0);
    if (error) *error = CannotCreateMessage(shown, SystemReason(err));
    return false;
  }
  return true;
}

bool LinkFile(const FolderHandle& from, const QString& name, const FolderHandle& to) {
  if (!from.IsOpen() || !to.IsOpen()) return false;
  const QByteArray n = Name(name);
  return ::linkat(from.Handle(), n.constData(), to.Handle(), n.constData(), 0) == 0;
}

bool RemoveTree(const QString& folder) {
  const QByteArray path = Name(folder.endsWith(u'/') ? folder.chopped(1) : folder);
  struct stat st;
  if (::lstat(path.constData(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return false;
  const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  const bool inside = RemoveInside(fd);
  ::close(fd);
  return ::rmdir(path.constData()) == 0 && inside;
}
