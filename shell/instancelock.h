#pragma once
// One program instance per data folder. Two instances on one folder would
// each save the job they loaded over the other's, move aside a pair the
// other one is using and contend for the day's log. The first instance holds
// an flock on a lock file in the data folder for its whole life; the system
// drops it when the process ends, however it ends, so a crash never blocks
// the next start.

#include <string>
#include <string_view>

// The lock file's name in the data folder.
inline constexpr std::u16string_view InstanceLockFileName = u"Kalvenor.lock";

class TInstanceLock {
 public:
  enum class TResult {
    Held,         // this object holds the folder now
    InUse,        // another holder (another instance) has it
    Unavailable,  // the lock file could not be opened; ErrorNumber says why
  };

  TInstanceLock() = default;
  ~TInstanceLock() { Release(); }
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Takes the lock of `folder` (ending in "/") without waiting.
  TResult Acquire(std::u16string_view folder);
  void Release();
  bool Held() const { return Fd >= 0; }
  // The system's error number of an Unavailable result.
  int ErrorNumber() const { return Error; }

 private:
  int Fd = -1;
  int Error = 0;
};
