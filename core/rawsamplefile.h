#pragma once
// The raw sample files beside the session and asynchronous-data documents:
// blocks of signed 32-bit little-endian samples back to back, without a
// header. The document says which blocks exist, how long each is and, in
// files written since it was added, how many bytes the whole file holds and
// their checksum.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "replacementfile.h"

class TRawSampleReader;

// A new raw file, written as a replacement of the one at its path, with the
// byte count and checksum of what was written.
class TRawSampleWriter {
 public:
  explicit TRawSampleWriter(std::u16string_view path) : File(path) {}

  bool IsOpen() const { return File.IsOpen(); }
  // Appends one block of `length` samples: the first ones of `samples`,
  // zeros for what it lacks, so every block in the file has the length the
  // document states.
  void WriteBlock(std::span<const int32_t> samples, int32_t length);
  uint64_t Size() const { return File.Size(); }
  uint32_t Checksum() const { return Crc; }
  TReplacementFile& Replacement() { return File; }

 private:
  void Write(const void* bytes, size_t count);

  TReplacementFile File;
  uint32_t Crc = 0;
};

class TRawSampleReader {
 public:
  TRawSampleReader() = default;
  ~TRawSampleReader();
  TRawSampleReader(const TRawSampleReader&) = delete;
  TRawSampleReader& operator=(const TRawSampleReader&) = delete;
  TRawSampleReader& operator=(TRawSampleReader&& other) noexcept;

  // Opens an existing regular file; false otherwise (a folder, a pipe).
  bool Open(std::u16string_view path);
  uint64_t Size() const { return FileSize; }
  // The checksum of the whole file; empty when it can't be read whole.
  std::optional<uint32_t> Checksum() const;
  // Reads the next block, which holds `storedLength` samples in the file:
  // the first min(storedLength, into.size()) of them go into `into`, the
  // rest of `into` is left as it is, and the next block starts
  // `storedLength` samples on. What the file lacks is left as well.
  void ReadBlock(int32_t storedLength, std::span<int32_t> into);
  // Hands the whole file to `take` in chunks; false when it can't be read
  // whole.
  template <typename Take>
  bool ReadAll(Take&& take) const {
    std::vector<char> chunk(1 << 16);
    for (uint64_t offset = 0; offset < FileSize;) {
      const size_t got = ReadChunk(offset, chunk);
      if (got == 0) return false;
      take(chunk.data(), got);
      offset += got;
    }
    return Fd >= 0;
  }

 private:
  // Reads the chunk at `offset`, up to the end of the file; the bytes read.
  size_t ReadChunk(uint64_t offset, std::span<char> chunk) const;

  int Fd = -1;
  uint64_t FileSize = 0;
  uint64_t Offset = 0;
};
