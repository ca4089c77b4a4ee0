#include "support/faults.h"

#include <QFile>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace {

bool CanRead(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly);
}

// Drops the rights to read and write past file modes from this thread's effective set.
void DropModeOverride() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (syscall(SYS_capget, &header, data) != 0) return;
  const unsigned mask = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
  data[0].effective &= ~mask;
  syscall(SYS_capset, &header, data);
}

}  // namespace

bool MakeUnreadable(const QString& path) {
  if (!QFile::setPermissions(path, QFileDevice::WriteOwner)) return false;
  if (CanRead(path) && geteuid() == 0) DropModeOverride();
  return !CanRead(path);
}

void MakeReadable(const QString& path) {
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

FileSizeLimit::FileSizeLimit(long long bytes) {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  oldSoft_ = static_cast<long long>(limit.rlim_cur);
  oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(oldSoft_);
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler_);
}

ChildResult RunInChild(const std::function<int(QString* message)>& work) {
  ChildResult result;
  int fds[2];
  if (pipe(fds) != 0) return result;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return result;
  }
  if (pid == 0) {
    close(fds[0]);
    QString message;
    const int status = work(&message);
    const QByteArray bytes = message.toUtf8();
    qsizetype done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(fds[1], bytes.constData() + done, size_t(bytes.size() - done));
      if (n <= 0) break;
      done += n;
    }
    close(fds[1]);
    _exit(status);
  }
  close(fds[1]);
  QByteArray bytes;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) bytes.append(buffer, n);
  close(fds[0]);
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  result.message = QString::fromUtf8(bytes);
  return result;
}
