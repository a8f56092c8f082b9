#pragma once

// A lock that other processes see by name, the "device already open" marker.
// It is an flock on a file "<name>.lock" in a lock folder: the kernel drops it
// when the holding process dies, and a file left behind does not count as
// held. Each TNamedLock has its own open file, so two of them in one process
// exclude each other too.

#include <string>

namespace rtl {

// $SARTEL_LOCK_DIR, else $XDG_RUNTIME_DIR, else /tmp.
std::string DefaultLockDir();

// The lock file for a name: characters other than letters, digits, '.', '-'
// and '_' are written as %XX, so distinct names never share a file; very long
// names are shortened with a hash of the whole name.
std::string NamedLockPath(const std::string& name, const std::string& lockDir);

class TNamedLock {
 public:
  explicit TNamedLock(std::string name, std::string lockDir = DefaultLockDir());
  ~TNamedLock();
  TNamedLock(const TNamedLock&) = delete;
  TNamedLock& operator=(const TNamedLock&) = delete;

  // Takes the lock without waiting; true when this object holds it now
  // (also when it already did). Creates the lock folder when missing. An
  // empty name never locks.
  bool TryAcquire();
  void Release();
  bool Held() const;

 private:
  std::string FPath;
  int FFd = -1;
};

// True when some holder (another process, or another TNamedLock here) has
// the lock now. The probe holds a shared lock for a moment, so a TryAcquire
// elsewhere at that very instant may fail.
bool IsNamedLockHeld(const std::string& name, const std::string& lockDir = DefaultLockDir());

}  // namespace rtl
