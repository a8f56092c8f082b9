#include "instancelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "filesystemcalls.h"
#include "folders.h"
#include "logfile.h"
#include "regularfile.h"
#include "wallclock.h"

namespace {

// A link in the lock file's place could point the lock at a file elsewhere,
// which another folder's instance may hold: it is refused, not followed.
int OpenLockFile(const std::string& path, int& error) {
  const int fd = rtl::OpenRegularFile(path, O_RDWR | O_CREAT | O_NOFOLLOW, error, 0644);
  // In a folder the user may no longer write in (a write-protected stick)
  // the lock file of an earlier start still carries the lock.
  if (fd >= 0 || (error != EROFS && error != EACCES)) return fd;
  int readError = 0;
  return rtl::OpenRegularFile(path, O_RDONLY | O_NOFOLLOW, readError);
}

// An entry under the lock's name that is no regular file (a link, a pipe,
// an empty folder) can't carry the lock, and no instance holds it: it goes,
// so that a regular lock file takes its place. False when it can't go (a
// folder that holds files, a folder no one may write in).
bool RemoveOtherEntry(const std::string& path) {
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0 || S_ISREG(entry.st_mode)) return false;
  return S_ISDIR(entry.st_mode) ? ::rmdir(path.c_str()) == 0 : ::unlink(path.c_str()) == 0;
}

bool IsOtherEntryError(int error) {
  return error == rtl::LinkRefusedError || error == rtl::NotRegularFileError || error == EISDIR;
}

// The day's log as the log window names it, by the clock now. Its writer
// holds it for its whole run, so it shows an instance that runs without the
// lock (its folder could not be locked when it started).
std::u16string TodaysLogPath(std::u16string_view folder) {
  const TWallTime now = LocalWallTime();
  const TLogDay day{static_cast<int16_t>(now.Year), static_cast<int16_t>(now.Month), static_cast<int16_t>(now.Day)};
  return std::u16string(folder) + u"Log/" + LogDayFileName(day);
}

}  // namespace

TInstanceLock::TResult TInstanceLock::Acquire(std::u16string_view folder) {
  if (Fd >= 0) return TResult::Held;
  const TResult result = AcquireLockFile(folder);
  if (result == TResult::InUse || !IsLogFileHeld(TodaysLogPath(folder))) return result;
  Release();
  return TResult::InUse;
}

TInstanceLock::TResult TInstanceLock::AcquireLockFile(std::u16string_view folder) {
  Error = 0;
  Path.clear();
  if (folder.empty()) {
    Error = ENOENT;
    return TResult::Unavailable;
  }
  Path = std::u16string(folder) + std::u16string(InstanceLockFileName);
  const std::string native = rtl::NativePath(Path);
  int fd = OpenLockFile(native, Error);
  if (fd < 0 && IsOtherEntryError(Error) && RemoveOtherEntry(native)) fd = OpenLockFile(native, Error);
  if (fd < 0) return TResult::Unavailable;
  int error = 0;
  switch (rtl::TryLockFile(fd, LOCK_EX, error)) {
    case rtl::TLockResult::Locked:
      Fd = fd;
      return TResult::Held;
    case rtl::TLockResult::Busy:
      ::close(fd);
      return TResult::InUse;
    case rtl::TLockResult::NoLocks:
    case rtl::TLockResult::Failed:
      break;
  }
  ::close(fd);
  Error = error;
  return TResult::Unavailable;
}

void TInstanceLock::Release() {
  if (Fd < 0) return;
  // The file stays: removing it would let a newcomer lock a fresh file while
  // this one is still held.
  ::close(Fd);
  Fd = -1;
}
