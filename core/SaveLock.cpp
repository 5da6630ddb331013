#include "SaveLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

// Whether the open lock file is still the one at its path, not one a releasing holder removed.
bool stillAtPath(int fd, const std::string& path) {
  struct stat open {};
  struct stat named {};
  return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

SaveLock::SaveLock(std::string lockFile, const std::function<void()>& waiting,
                   const std::atomic<bool>* cancel)
    : lockFile_(std::move(lockFile)) {
  bool toldWaiting = false;
  for (;;) {
    const int fd = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return;
    // Polled rather than blocking, so that a cancel flag (set by a window or a signal handler)
    // ends the wait.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) {
        ::close(fd);
        return;
      }
      if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        ::close(fd);
        return;
      }
      if (!toldWaiting && waiting) waiting();
      toldWaiting = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (stillAtPath(fd, lockFile_)) {
      fd_ = fd;
      return;
    }
    ::close(fd);
  }
}

SaveLock::~SaveLock() {
  if (fd_ < 0) return;
  // Removed while still held, so that nobody locks a file that is about to go.
  struct stat status {};
  if (::fstat(fd_, &status) == 0 && status.st_size == 0) ::unlink(lockFile_.c_str());
  ::close(fd_);
}
