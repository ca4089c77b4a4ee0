#include "core/plainfile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/textfile.h"

QList<FolderEntry> ListFolder(const QString& folder) {
  QList<FolderEntry> out;
  const QByteArray path = QFile::encodeName(folder);
  DIR* dir = ::opendir(path.constData());
  if (!dir) return out;
  const int fd = ::dirfd(dir);
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

bool ReadPlainFile(const QString& path, qint64 maxBytes, PlainFile* file, QString* error) {
  *file = PlainFile();
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  auto fail = [&](const QString& reason) {
    if (error) *error = CannotOpenMessage(path, reason);
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
