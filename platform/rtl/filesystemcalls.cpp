#include "filesystemcalls.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace rtl {
namespace {

std::atomic<TFlockCall> FlockCall{nullptr};
std::atomic<TFchmodCall> FchmodCall{nullptr};
std::atomic<TLinkCall> LinkCall{nullptr};

int Flock(int fd, int operation) {
  const TFlockCall call = FlockCall.load();
  return call ? call(fd, operation) : ::flock(fd, operation);
}

int Fchmod(int fd, mode_t mode) {
  const TFchmodCall call = FchmodCall.load();
  return call ? call(fd, mode) : ::fchmod(fd, mode);
}

int Link(const char* from, const char* to) {
  const TLinkCall call = LinkCall.load();
  return call ? call(from, to) : ::link(from, to);
}

// The owner of a file is refused a mode change only where the file system
// has no modes to change (a FAT stick mounted without "quiet" says EPERM).
bool OwnsFile(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid();
}

}  // namespace

TLockResult TryLockFile(int fd, int operation, int& error) {
  int result;
  do {
    result = Flock(fd, operation | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  error = result == 0 ? 0 : errno;
  if (result == 0) return TLockResult::Locked;
  if (error == EWOULDBLOCK) return TLockResult::Busy;
  if (error == ENOLCK || error == ENOSYS || error == EOPNOTSUPP) return TLockResult::NoLocks;
  return TLockResult::Failed;
}

int SetFileMode(int fd, mode_t mode) {
  if (Fchmod(fd, mode) == 0) return 0;
  const int error = errno;
  if (error == ENOSYS || error == EOPNOTSUPP || (error == EPERM && OwnsFile(fd))) return 0;
  return error;
}

int AddLink(const char* from, const char* to) { return Link(from, to) == 0 ? 0 : errno; }

void SetFlockCall(TFlockCall call) { FlockCall.store(call); }
void SetFchmodCall(TFchmodCall call) { FchmodCall.store(call); }
void SetLinkCall(TLinkCall call) { LinkCall.store(call); }

}  // namespace rtl
