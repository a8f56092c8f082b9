#include "regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "folders.h"

namespace rtl {

int OpenRegularFile(const std::string& nativePath, int flags, int& error, unsigned mode) {
  if (flags & O_CREAT) flags |= O_NOFOLLOW;
  int fd;
  do {
    fd = ::open(nativePath.c_str(), flags | O_NONBLOCK | O_CLOEXEC, static_cast<mode_t>(mode));
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    // A pipe opened for writing without a reader answers "no such device";
    // it is no regular file either way.
    struct stat st {};
    if (errno == ELOOP && (flags & O_NOFOLLOW) && ::lstat(nativePath.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
      error = LinkRefusedError;
    else
      error = errno == ENXIO && ::stat(nativePath.c_str(), &st) == 0 && !S_ISREG(st.st_mode) ? NotRegularFileError
                                                                                            : errno;
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : NotRegularFileError;
    ::close(fd);
    return -1;
  }
  error = 0;
  return fd;
}

int OpenRegularFile(std::u16string_view path, int flags, int& error, unsigned mode) {
  if (path.empty()) {
    error = ENOENT;
    return -1;
  }
  return OpenRegularFile(NativePath(path), flags, error, mode);
}

bool ReadRegularFile(std::u16string_view path, uint64_t maxBytes, std::string& bytes, int& error) {
  const int fd = OpenRegularFile(path, O_RDONLY, error);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || static_cast<uint64_t>(st.st_size) > maxBytes) {
    error = EFBIG;
    ::close(fd);
    return false;
  }
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (error == 0 && done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    else if (n == 0) bytes.resize(done);  // the file shrank while being read
    else done += static_cast<size_t>(n);
  }
  ::close(fd);
  return error == 0;
}

}  // namespace rtl
