#include "folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "textconv.h"

namespace rtl {
namespace {

std::u16string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return Utf8ToUtf16(path);
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

bool IsDirectory(const std::string& native) {
  struct stat info {};
  return stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::atomic<TFolderSyncObserver> SyncObserver{nullptr};

std::string ParentOf(const std::string& native) {
  const size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

// mkdir, and whether a folder is there afterwards; when not, `error` holds
// the reason (mkdir's own, or "not a directory" for a vanished folder). The
// new folder's name lives in its parent, which is forced to disk with it.
bool MakeFolder(const std::string& native, int& error) {
  const bool created = mkdir(native.c_str(), 0777) == 0;
  error = created ? 0 : errno;
  if (created) SyncFolder(ParentOf(native));
  if (IsDirectory(native)) return true;
  if (error == 0) error = ENOTDIR;
  return false;
}

bool MakeFolders(const std::string& native, int& error) {
  if (native.empty()) {
    error = ENOENT;
    return false;
  }
  // Parents first. Another process may create a folder at the same moment,
  // and a read-only parent refuses mkdir even where the folder exists, so
  // what counts is whether a folder is there afterwards.
  for (size_t slash = native.find('/', 1); slash != std::string::npos; slash = native.find('/', slash + 1))
    if (!MakeFolder(native.substr(0, slash), error)) return false;
  return MakeFolder(native, error);
}

}  // namespace

std::u16string ProgramDir() {
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return {};
  std::string path(buffer.data(), static_cast<size_t>(length));
  return WithTrailingSlash(path.substr(0, path.rfind('/') + 1));
}

std::u16string UserDataDir() {
  const std::string xdg = Env("XDG_DATA_HOME");
  if (!xdg.empty() && xdg.front() == '/') return WithTrailingSlash(xdg);
  const std::string home = Env("HOME");
  if (home.empty()) return {};
  return WithTrailingSlash(home + (home.back() == '/' ? "" : "/") + ".local/share");
}

bool ForceDirectories(std::u16string_view path, int* error) {
  int failure = 0;
  const bool made = MakeFolders(NativePath(path), failure);
  if (error) *error = made ? 0 : failure;
  return made;
}

bool SyncFolder(const std::string& nativeFolder) {
  if (const TFolderSyncObserver observer = SyncObserver.load()) observer(nativeFolder);
  const int fd = open(nativeFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}

void SetFolderSyncObserver(TFolderSyncObserver observer) { SyncObserver.store(observer); }

bool FileExists(std::u16string_view path) {
  struct stat info {};
  return !path.empty() && stat(NativePath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(std::u16string_view path) { return !path.empty() && IsDirectory(NativePath(path)); }

bool DeleteFile(std::u16string_view path) { return !path.empty() && unlink(NativePath(path).c_str()) == 0; }

bool SameFile(std::u16string_view a, std::u16string_view b) {
  if (a == b) return true;
  struct stat first {}, second {};
  return !a.empty() && !b.empty() && ::stat(NativePath(a).c_str(), &first) == 0 &&
         ::stat(NativePath(b).c_str(), &second) == 0 && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool SameEntry(std::u16string_view a, std::u16string_view b) {
  if (a == b) return true;
  struct stat first {}, second {};
  return !a.empty() && !b.empty() && ::lstat(NativePath(a).c_str(), &first) == 0 &&
         ::lstat(NativePath(b).c_str(), &second) == 0 && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool RenameFile(std::u16string_view from, std::u16string_view to) {
  if (from.empty() || to.empty()) return false;
  return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

std::string NativePath(std::u16string_view path) { return Utf16ToUtf8(path); }

}  // namespace rtl
