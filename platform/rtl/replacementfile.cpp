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
#include <utility>
#include <vector>

#include "filesystemcalls.h"
#include "folders.h"
#include "regularfile.h"

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

// The process id in an owned name of `name` with `marker`, 0 when `entry`
// is none.
pid_t WriterOf(std::string_view entry, std::string_view name, std::string_view marker) {
  if (entry.size() <= name.size() + marker.size() || !entry.starts_with(name) ||
      entry.substr(name.size(), marker.size()) != marker)
    return 0;
  const std::string_view rest = entry.substr(name.size() + marker.size());
  pid_t pid = 0;
  unsigned counter = 0;
  const char* end = rest.data() + rest.size();
  const auto [afterPid, pidError] = std::from_chars(rest.data(), end, pid);
  if (pidError != std::errc() || pid <= 0 || afterPid == end || *afterPid != '-') return 0;
  const auto [afterCounter, counterError] = std::from_chars(afterPid + 1, end, counter);
  return counterError == std::errc() && afterCounter == end ? pid : 0;
}

// A writer that no longer runs will never finish its file. Files of running
// writers, this process among them, are left alone.
bool WriterIsGone(pid_t pid) { return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

// A name beside the target, unique within the process; O_EXCL keeps it from
// taking over anything that already exists.
int CreateTemporary(const std::string& target, std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = OwnedName(target, Marker);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The replacement gets the old file's permission bits, so a document the
// user shared or protected stays so; but the owner always keeps reading and
// writing it, or a file that was unreadable by accident would stay so for
// good. On a file system without permission bits (a FAT stick) there is
// nothing to keep, and the replacement goes on. Only a regular file is
// replaced: a folder, a pipe or a device named like the target is refused
// and left as it is.
int KeepPermissions(int fd, const std::string& target) {
  struct stat old {};
  if (::stat(target.c_str(), &old) != 0) return 0;
  if (!S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : rtl::NotRegularFileError;
  return rtl::SetFileMode(fd, (old.st_mode & 07777) | S_IRUSR | S_IWUSR);
}

}  // namespace

TReplacementFile::TReplacementFile(std::u16string_view path) : Target(rtl::NativePath(path)) {
  Error = ENOENT;
  if (!Target.empty()) {
    RemoveLeftoverTemporaries(Target);
    Fd = CreateTemporary(Target, Temporary);
    Error = Fd < 0 ? errno : KeepPermissions(Fd, Target);
  }
  Failed = Error != 0;
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
      Fail(n < 0 ? errno : EIO);
      break;
    }
    next += n;
    count -= static_cast<size_t>(n);
    Written += static_cast<uint64_t>(n);
  }
}

bool TReplacementFile::Finish() {
  if (Fd >= 0) {
    if (::fsync(Fd) != 0) Fail(errno);
    if (::close(Fd) != 0) Fail(errno);
    Fd = -1;
  }
  Finished = !Failed;
  return Finished;
}

void TReplacementFile::Fail(int error) {
  if (!Failed) Error = error;
  Failed = true;
}

bool TReplacementFile::CommitAs(const std::string& nativePath) {
  if (!Finished || Committed) return false;
  Committed = MoveIntoPlace(Temporary, nativePath);
  if (!Committed) Error = errno;
  return Committed;
}

std::string OwnedName(const std::string& nativeTarget, std::string_view marker) {
  static std::atomic<unsigned> counter{0};
  return nativeTarget + std::string(marker) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

void VisitOwnedNames(const std::string& nativeTarget, std::span<const std::string_view> markers,
                     const std::function<void(const std::string& nativePath, bool writerGone)>& visit) {
  const TFolderAndName where = Split(nativeTarget);
  DIR* folder = ::opendir(where.Folder.c_str());
  if (!folder) return;
  std::vector<std::pair<std::string, bool>> found;
  while (const dirent* entry = ::readdir(folder)) {
    for (const std::string_view marker : markers) {
      const pid_t writer = WriterOf(entry->d_name, where.Name, marker);
      if (writer > 0) found.emplace_back(where.Folder + "/" + entry->d_name, WriterIsGone(writer));
    }
  }
  ::closedir(folder);
  for (const auto& [path, writerGone] : found) visit(path, writerGone);
}

void RemoveLeftoverTemporaries(const std::string& nativeTarget) {
  VisitOwnedNames(nativeTarget, LeftoverMarkers, [](const std::string& path, bool writerGone) {
    if (writerGone) ::unlink(path.c_str());
  });
}

bool ReplaceFile(std::u16string_view path, std::string_view bytes) {
  int error = 0;
  return ReplaceFile(path, bytes, error);
}

bool ReplaceFile(std::u16string_view path, std::string_view bytes, int& error) {
  TReplacementFile file(path);
  file.Write(bytes);
  const bool replaced = file.Finish() && file.Commit();
  error = replaced ? 0 : file.ErrorNumber();
  return replaced;
}

bool MoveIntoPlace(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return false;
  // A file system that can't sync a folder doesn't undo the rename, so that
  // is no failure of the replacement.
  rtl::SyncFolder(Split(to).Folder);
  return true;
}
