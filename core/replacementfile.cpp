#include "replacementfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>

#include "folders.h"

namespace {

// A temporary name is the target's name, the marker, the writer's process
// id, "-" and a counter. Earlier versions named the raw files' temporaries
// with ".new"; their leftovers are found as well.
constexpr std::string_view Marker = ".tmp";
constexpr std::array<std::string_view, 2> LeftoverMarkers = {".tmp", ".new"};

struct TFolderAndName {
  std::string Folder, Name;
};

TFolderAndName Split(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The process id in a temporary name of `name`, 0 when `entry` is none.
pid_t WriterOf(std::string_view entry, std::string_view name) {
  for (const std::string_view marker : LeftoverMarkers) {
    if (entry.size() <= name.size() + marker.size() || !entry.starts_with(name) ||
        entry.substr(name.size(), marker.size()) != marker)
      continue;
    const std::string_view rest = entry.substr(name.size() + marker.size());
    pid_t pid = 0;
    unsigned counter = 0;
    const char* end = rest.data() + rest.size();
    const auto [afterPid, pidError] = std::from_chars(rest.data(), end, pid);
    if (pidError != std::errc() || pid <= 0 || afterPid == end || *afterPid != '-') continue;
    const auto [afterCounter, counterError] = std::from_chars(afterPid + 1, end, counter);
    if (counterError == std::errc() && afterCounter == end) return pid;
  }
  return 0;
}

// A writer that no longer runs will never finish its temporary file. Files
// of running writers, this process among them, are left alone.
bool WriterIsGone(pid_t pid) { return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

void RemoveLeftovers(const std::string& target) {
  const TFolderAndName where = Split(target);
  DIR* folder = ::opendir(where.Folder.c_str());
  if (!folder) return;
  while (const dirent* entry = ::readdir(folder)) {
    const pid_t writer = WriterOf(entry->d_name, where.Name);
    if (writer > 0 && WriterIsGone(writer)) ::unlinkat(::dirfd(folder), entry->d_name, 0);
  }
  ::closedir(folder);
}

// A name beside the target, unique within the process; O_EXCL keeps it from
// taking over anything that already exists.
int CreateTemporary(const std::string& target, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target + std::string(Marker) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The replacement gets the old file's permission bits, so a document the
// user shared or protected stays so.
bool KeepPermissions(int fd, const std::string& target) {
  struct stat old {};
  if (::stat(target.c_str(), &old) != 0) return true;
  return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Forces the folder's entries to disk. A file system that can't sync a
// folder doesn't undo the rename, so that is no failure of the replacement.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

TReplacementFile::TReplacementFile(std::u16string_view path) : Target(rtl::NativePath(path)) {
  if (!Target.empty()) {
    RemoveLeftovers(Target);
    Fd = CreateTemporary(Target, Temporary);
  }
  Failed = Fd < 0 || !KeepPermissions(Fd, Target);
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

bool TReplacementFile::CommitAs(const std::string& nativePath) {
  if (!Finished || Committed) return false;
  Committed = MoveIntoPlace(Temporary, nativePath);
  return Committed;
}

bool ReplaceFile(std::u16string_view path, std::string_view bytes) {
  TReplacementFile file(path);
  file.Write(bytes);
  return file.Finish() && file.Commit();
}

bool MoveIntoPlace(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return false;
  SyncFolder(Split(to).Folder);
  return true;
}
