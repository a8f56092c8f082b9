#pragma once
// The raw sample files beside the session and asynchronous-data documents:
// blocks of signed 32-bit little-endian samples back to back, without a
// header. The document says which blocks exist, how long each is and, in
// files written since it was added, how many bytes the whole file holds.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TReplacementFile;

// Appends one block of `length` samples: the first ones of `samples`, zeros
// for what it lacks, so every block in the file has the length the document
// states.
void WriteSampleBlock(TReplacementFile& file, const std::vector<int32_t>& samples, int32_t length);

// The byte count as the document stores it: lowercase hexadecimal, like
// every integer of the documents, but 64 bits wide. Empty on reading a text
// that is not such a number.
std::u16string ByteCountText(uint64_t count);
std::optional<uint64_t> ParseByteCount(std::u16string_view text);

class TRawSampleReader {
 public:
  TRawSampleReader() = default;
  ~TRawSampleReader();
  TRawSampleReader(const TRawSampleReader&) = delete;
  TRawSampleReader& operator=(const TRawSampleReader&) = delete;

  // Opens an existing regular file; false otherwise (a folder, a pipe).
  bool Open(std::u16string_view path);
  uint64_t Size() const { return FileSize; }
  // Reads the next block, which holds `storedLength` samples in the file:
  // the first min(storedLength, into.size()) of them go into `into`, the
  // rest of `into` is left as it is, and the next block starts
  // `storedLength` samples on. What the file lacks is left as well.
  void ReadBlock(int32_t storedLength, std::span<int32_t> into);

 private:
  int Fd = -1;
  uint64_t FileSize = 0;
  uint64_t Offset = 0;
};
