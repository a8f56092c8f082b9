#include "replacementfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "folders.h"

namespace {

// A name beside the target, unique within the process; O_EXCL keeps it from
// taking over anything that already exists.
int CreateTemporary(const std::string& target, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target + ".new" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

TReplacementFile::TReplacementFile(std::u16string_view path) : Target(rtl::NativePath(path)) {
  if (!Target.empty()) Fd = CreateTemporary(Target, Temporary);
  Failed = Fd < 0;
}

TReplacementFile::~TReplacementFile() {
  if (Fd >= 0) ::close(Fd);
  if (!Temporary.empty() && !Committed) ::unlink(Temporary.c_str());
}

void TReplacementFile::Write(const void* bytes, size_t count) {
  const char* next = static_cast<const char*>(bytes);
  while (!Failed && count > 0) {
    const ssize_t n = ::write(Fd, next, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Failed = true;
      break;
    }
    next += n;
    count -= static_cast<size_t>(n);
    Written += static_cast<uint64_t>(n);
  }
}

bool TReplacementFile::Finish() {
  if (Fd >= 0) {
    if (::fsync(Fd) != 0) Failed = true;
    if (::close(Fd) != 0) Failed = true;
    Fd = -1;
  }
  Finished = !Failed;
  return Finished;
}

bool TReplacementFile::Commit() {
  if (!Finished || Committed) return false;
  Committed = ::rename(Temporary.c_str(), Target.c_str()) == 0;
  return Committed;
}
