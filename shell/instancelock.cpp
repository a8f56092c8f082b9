#include "instancelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "folders.h"
#include "regularfile.h"

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

}  // namespace

TInstanceLock::TResult TInstanceLock::Acquire(std::u16string_view folder) {
  if (Fd >= 0) return TResult::Held;
  Error = 0;
  if (folder.empty()) {
    Error = ENOENT;
    return TResult::Unavailable;
  }
  const int fd = OpenLockFile(rtl::NativePath(std::u16string(folder) + std::u16string(InstanceLockFileName)), Error);
  if (fd < 0) return TResult::Unavailable;
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) return TResult::InUse;
    Error = error;
    return TResult::Unavailable;
  }
  Fd = fd;
  return TResult::Held;
}

void TInstanceLock::Release() {
  if (Fd < 0) return;
  // The file stays: removing it would let a newcomer lock a fresh file while
  // this one is still held.
  ::close(Fd);
  Fd = -1;
}
