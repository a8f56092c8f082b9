#pragma once
// A new version of a file, written under a temporary name beside it and
// moved over it only by Commit. Until then the old file stays as it was, so
// a writer that fails half-way, or never commits, loses nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TReplacementFile {
 public:
  // Creates the temporary file; IsOpen tells whether that worked.
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
  // Renames the finished file over the target; true when it replaced it.
  bool Commit();

 private:
  std::string Target, Temporary;
  int Fd = -1;
  uint64_t Written = 0;
  bool Failed = false;
  bool Finished = false;
  bool Committed = false;
};
