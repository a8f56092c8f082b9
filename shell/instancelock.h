#pragma once
// One program instance per data folder. Two instances on one folder would
// each save the job they loaded over the other's, move aside a pair the
// other one is using and contend for the day's log. The first instance holds
// an flock on a lock file in the data folder for its whole life; the system
// drops it when the process ends, however it ends, so a crash never blocks
// the next start. Another instance that runs without the lock is known
// by the day's log it holds open.

#include <string>
#include <string_view>

// The lock file's name in the data folder.
inline constexpr std::u16string_view InstanceLockFileName = u"Kalvenor.lock";

class TInstanceLock {
 public:
  enum class TResult {
    Held,         // this object holds the folder now
    InUse,        // another holder (another instance) has it
    Unavailable,  // the lock file could not be opened or locked; ErrorNumber says why
  };

  TInstanceLock() = default;
  ~TInstanceLock() { Release(); }
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Takes the lock of `folder` (ending in "/") without waiting; InUse also
  // when another process writes today's log there (an instance that runs
  // without the lock). An entry
  // under the lock file's name that is no regular file (a link, a pipe, an
  // empty folder) is replaced by a lock file; one that can't be is
  // Unavailable.
  TResult Acquire(std::u16string_view folder);
  void Release();
  bool Held() const { return Fd >= 0; }
  // The system's error number of an Unavailable result (ENOLCK on a file
  // system without locks, rtl::NotRegularFileError, EISDIR for a folder
  // that could not be replaced, ...).
  int ErrorNumber() const { return Error; }
  // The lock file's path, as the last Acquire named it.
  const std::u16string& LockPath() const { return Path; }

 private:
  TResult AcquireLockFile(std::u16string_view folder);

  int Fd = -1;
  int Error = 0;
  std::u16string Path;
};
