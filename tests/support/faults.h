#pragma once
// Faults a test can cause without special rights: a file the program cannot read, and a
// write that cannot complete (the file size limit, as a full disk cuts a file short).

#include <QString>
#include <functional>

// Makes the file unreadable (mode 0200: writable, not readable). Root reads every file,
// so as root the test process first gives up its right to override file modes (on this
// thread, for the rest of the process). False when the file can still be read; the
// test should then skip.
bool MakeUnreadable(const QString& path);
// Gives the file its usual mode back (0644).
void MakeReadable(const QString& path);

// While it lives, no file of this process can grow past `bytes`: a write beyond fails
// with "File too large" (EFBIG), SIGXFSZ being ignored. Writes to the test's own log
// may fail too while it lives, so check results after it is gone.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(long long bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  long long oldSoft_ = 0;
  void (*oldHandler_)(int) = nullptr;
};

// Runs work in a forked child process: its exit status (-1 when it did not exit
// normally) and the text it put in *message, passed back through a pipe. The child
// writes nothing to the test's log.
struct ChildResult {
  int status = -1;
  QString message;
};
ChildResult RunInChild(const std::function<int(QString* message)>& work);
