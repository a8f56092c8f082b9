#include "namedlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "filesystemcalls.h"
#include "folders.h"
#include "regularfile.h"
#include "textconv.h"

namespace rtl {
namespace {

// Stays well below the 255-byte limit of a file name, with ".lock" added.
constexpr size_t MaxEncodedName = 200;

bool IsPlainChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
         c == '_';
}

std::string EncodeName(const std::string& name) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : name) {
    if (IsPlainChar(c)) {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += hex[c >> 4];
      encoded += hex[c & 0x0F];
    }
  }
  return encoded;
}

std::string HashText(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  static constexpr char hex[] = "0123456789abcdef";
  std::string digits(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) digits[static_cast<size_t>(i)] = hex[hash & 0x0F];
  return digits;
}


}  // namespace

std::string DefaultLockDir() {
  for (const char* variable : {"SARTEL_LOCK_DIR", "XDG_RUNTIME_DIR"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return "/tmp";
}

std::string NamedLockPath(const std::string& name, const std::string& lockDir) {
  std::string encoded = EncodeName(name);
  if (encoded.size() > MaxEncodedName) encoded = encoded.substr(0, MaxEncodedName - 17) + "~" + HashText(name);
  std::string path = lockDir;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + encoded + ".lock";
}

TNamedLock::TNamedLock(std::string name, std::string lockDir)
    : FPath(name.empty() ? std::string() : NamedLockPath(name, lockDir)) {}

TNamedLock::~TNamedLock() { Release(); }

bool TNamedLock::TryAcquire() {
  if (FFd >= 0) return true;
  if (FPath.empty()) return false;
  ForceDirectories(Utf8ToUtf16(FPath.substr(0, FPath.rfind('/') + 1)));
  int error = 0;
  const int fd = OpenRegularFile(FPath, O_RDWR | O_CREAT, error, 0666);
  if (fd < 0) return false;
  // A lock folder on a file system without locks (a network share without
  // its lock service) can't mark the device: it is taken as not held, and
  // the device's own exclusive claim is what keeps a second user out.
  int lockError = 0;
  const TLockResult result = TryLockFile(fd, LOCK_EX, lockError);
  if (result != TLockResult::Locked && result != TLockResult::NoLocks) {
    close(fd);
    return false;
  }
  FFd = fd;
  return true;
}

void TNamedLock::Release() {
  if (FFd < 0) return;
  // The file stays: removing it would let a newcomer lock a fresh file while
  // someone still holds the old one.
  flock(FFd, LOCK_UN);
  close(FFd);
  FFd = -1;
}

bool TNamedLock::Held() const { return FFd >= 0; }

bool IsNamedLockHeld(const std::string& name, const std::string& lockDir) {
  if (name.empty()) return false;
  int error = 0;
  // A link planted under the lock's name is no lock (TryAcquire refuses it).
  const int fd = OpenRegularFile(NamedLockPath(name, lockDir), O_RDONLY | O_NOFOLLOW, error);
  if (fd < 0) return false;
  // A shared lock on a separate open file conflicts with any holder's
  // exclusive lock, ours included.
  int lockError = 0;
  const bool held = TryLockFile(fd, LOCK_SH, lockError) == TLockResult::Busy;
  close(fd);
  return held;
}

}  // namespace rtl
