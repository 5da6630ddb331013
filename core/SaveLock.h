// An exclusive lock on a name for the length of a save, so that two saves of one model (two
// processes, or two jobs of one) never remove each other's files or mix their sets.
#pragma once

#include <atomic>
#include <functional>
#include <string>

// Holds an flock on the file LOCKFILE while it lives. Another holder makes it wait: `waiting`
// is called once when it must, and the wait ends without the lock (held() false) as soon as
// the cancel flag is set. The lock file is created when missing and removed on release when
// it is still empty (so a user's own file of that name is never lost); a waiter that had
// opened a removed lock file opens the new one. A lock file that cannot be created (a folder
// without write permission or missing) leaves the save unlocked: its writes fail on their own
// with the reason.
class SaveLock {
 public:
  SaveLock(std::string lockFile, const std::function<void()>& waiting,
           const std::atomic<bool>* cancel = nullptr);
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;
  ~SaveLock();

  bool held() const { return fd_ >= 0; }

 private:
  std::string lockFile_;
  int fd_ = -1;
};
