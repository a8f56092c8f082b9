#include "rawsamplefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <utility>

#include "checksum.h"
#include "folders.h"
#include "regularfile.h"

namespace {

static_assert(sizeof(int32_t) == 4);

constexpr uint64_t SampleBytes = sizeof(int32_t);

// Samples are little-endian in the file and in memory on the machines the
// program runs on; elsewhere they are turned round on the way.
void ToFileOrder(std::span<int32_t> samples) {
  if constexpr (std::endian::native == std::endian::big) {
    for (int32_t& s : samples) s = static_cast<int32_t>(__builtin_bswap32(static_cast<uint32_t>(s)));
  }
}

// Reads up to `count` bytes at `offset`; returns how many were read.
size_t ReadAt(int fd, uint64_t offset, char* into, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, into + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

}  // namespace

void TRawSampleWriter::Write(const void* bytes, size_t count) {
  File.Write(bytes, count);
  Crc = Crc32(Crc, bytes, count);
}

void TRawSampleWriter::WriteBlock(std::span<const int32_t> samples, int32_t length) {
  if (length <= 0) return;
  const size_t have = std::min(samples.size(), static_cast<size_t>(length));
  if constexpr (std::endian::native == std::endian::little) {
    Write(samples.data(), have * SampleBytes);
  } else {
    std::vector<int32_t> swapped(samples.begin(), samples.begin() + have);
    ToFileOrder(swapped);
    Write(swapped.data(), have * SampleBytes);
  }
  static constexpr std::array<int32_t, 1024> Zeros{};
  for (size_t missing = static_cast<size_t>(length) - have; missing > 0;) {
    const size_t n = std::min(missing, Zeros.size());
    Write(Zeros.data(), n * SampleBytes);
    missing -= n;
  }
}

TRawSampleReader::~TRawSampleReader() {
  if (Fd >= 0) ::close(Fd);
}

TRawSampleReader& TRawSampleReader::operator=(TRawSampleReader&& other) noexcept {
  if (this != &other) {
    if (Fd >= 0) ::close(Fd);
    Fd = std::exchange(other.Fd, -1);
    FileSize = std::exchange(other.FileSize, 0);
    Offset = std::exchange(other.Offset, 0);
  }
  return *this;
}

bool TRawSampleReader::Open(std::u16string_view path) {
  // A pipe named like a raw file cannot hold the program up: it is refused
  // like anything that is not a file.
  int error = 0;
  const int fd = rtl::OpenRegularFile(path, O_RDONLY, error);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return false;
  }
  if (Fd >= 0) ::close(Fd);
  Fd = fd;
  FileSize = static_cast<uint64_t>(st.st_size);
  Offset = 0;
  return true;
}

size_t TRawSampleReader::ReadChunk(uint64_t offset, std::span<char> chunk) const {
  if (Fd < 0 || offset >= FileSize) return 0;
  const size_t want = static_cast<size_t>(std::min<uint64_t>(chunk.size(), FileSize - offset));
  const size_t got = ReadAt(Fd, offset, chunk.data(), want);
  return got == want ? got : 0;
}

std::optional<uint32_t> TRawSampleReader::Checksum() const {
  uint32_t crc = 0;
  if (!ReadAll([&crc](const char* bytes, size_t count) { crc = Crc32(crc, bytes, count); })) return std::nullopt;
  return crc;
}

void TRawSampleReader::ReadBlock(int32_t storedLength, std::span<int32_t> into) {
  if (Fd < 0 || storedLength <= 0) return;
  const size_t count = std::min(into.size(), static_cast<size_t>(storedLength));
  const uint64_t offset = Offset;
  Offset += static_cast<uint64_t>(storedLength) * SampleBytes;
  if (offset >= FileSize || count == 0) return;
  // Whole samples only: a file that ends inside one leaves that one as it is.
  const uint64_t available = (FileSize - offset) / SampleBytes;
  const size_t bytes = static_cast<size_t>(std::min<uint64_t>(count, available) * SampleBytes);
  const size_t whole = ReadAt(Fd, offset, reinterpret_cast<char*>(into.data()), bytes) / SampleBytes;
  ToFileOrder(into.first(whole));
}
