#pragma once
// The one way a file of the system is replaced: the new version is written
// under a temporary name beside the old one, forced to disk, renamed over
// the old one, and then the folder is forced to disk too. Until Commit the
// old file stays as it was, so a writer that fails half-way, is killed or
// never commits loses nothing; after a crash the file is either the old or
// the new version. The new file keeps the permission bits of the old one,
// except that its owner may always read and write it. Only a regular file
// is replaced; a folder, pipe or device at the path makes the writer fail.
// A temporary file that an interrupted replacement left behind is removed
// by the next replacement of the same file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class TReplacementFile {
 public:
  // Removes what interrupted replacements of this file left, then creates
  // the temporary file; IsOpen tells whether that worked.
  explicit TReplacementFile(std::u16string_view path);
  // Removes the temporary file unless it was committed.
  ~TReplacementFile();
  TReplacementFile(const TReplacementFile&) = delete;
  TReplacementFile& operator=(const TReplacementFile&) = delete;

  bool IsOpen() const { return Fd >= 0; }
  // Appends bytes; a failure is kept and reported by Finish.
  void Write(const void* bytes, size_t count);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Bytes written so far.
  uint64_t Size() const { return Written; }
  // Forces the contents to disk and closes the file; false when creating,
  // writing or flushing failed.
  bool Finish();
  // Renames the finished file over the target and syncs the folder; true
  // when it replaced the target.
  bool Commit() { return CommitAs(Target); }
  // The same, to another name in the target's folder: a stage on the way to
  // the target, for a file that must wait for another before it replaces
  // the target.
  bool CommitAs(const std::string& nativePath);
  const std::string& NativeTarget() const { return Target; }
  // The file being written, for a writer that must open it by name (the
  // PDF printer); empty when it could not be created.
  const std::string& NativeTemporary() const { return Temporary; }
  // The system's error number of the first step that failed
  // (rtl::NotRegularFileError for a target that is no regular file); 0
  // while none did.
  int ErrorNumber() const { return Error; }

 private:
  void Fail(int error);

  std::string Target, Temporary;
  int Fd = -1;
  int Error = 0;
  uint64_t Written = 0;
  bool Failed = false;
  bool Finished = false;
  bool Committed = false;
};

// Replaces the file at `path` by `bytes`; true when it was replaced. The
// second form gives the system's error number of the step that failed.
bool ReplaceFile(std::u16string_view path, std::string_view bytes);
bool ReplaceFile(std::u16string_view path, std::string_view bytes, int& error);

// Removes what interrupted replacements of the file at `nativeTarget` left:
// its temporary names whose writer has ended, as the next replacement of
// the file does first. For a file whose name may never be written again.
void RemoveLeftoverTemporaries(const std::string& nativeTarget);

// Renames `from` over `to` (native paths in one folder) and forces the
// folder to disk, so the new name survives a crash; true when renamed.
bool MoveIntoPlace(const std::string& from, const std::string& to);

// A name beside `nativeTarget` that one writer owns: the target's name,
// `marker`, the writer's process id, "-" and a counter (unique within the
// process). A file under such a name is the writer's alone; once the writer
// has ended it is a leftover that anyone may remove.
std::string OwnedName(const std::string& nativeTarget, std::string_view marker);

// Calls `visit` for every owned name beside `nativeTarget` with one of
// `markers`, with whether the writer that owns it has ended.
void VisitOwnedNames(const std::string& nativeTarget, std::span<const std::string_view> markers,
                     const std::function<void(const std::string& nativePath, bool writerGone)>& visit);
