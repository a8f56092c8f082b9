// Arbitrary device answers into the FTDI model's decoders: the status and
// capture registers, the three sample banks and the configuration memory.
// Whatever the device sends, nothing may crash or overrun, decoded values
// stay in range and device texts stay in their fields.

#include "harvik.h"
#include "sartel.h"
#include "textout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct TInput {
  const std::uint8_t* Data = nullptr;
  std::size_t Size = 0;
  std::size_t At = 0;
};

TInput Input;

// Reads hand out the input's bytes; once it is used up, short reads.
d2xx::Bool Read(d2xx::Handle, void* buffer, d2xx::Dword count, d2xx::Dword* done, d2xx::Overlapped*) {
  const std::size_t n = std::min<std::size_t>(count, Input.Size - Input.At);
  std::copy_n(Input.Data + Input.At, n, static_cast<std::uint8_t*>(buffer));
  Input.At += n;
  *done = static_cast<d2xx::Dword>(n);
  return 1;
}

d2xx::Bool Write(d2xx::Handle, void*, d2xx::Dword count, d2xx::Dword* done, d2xx::Overlapped*) {
  *done = count;
  return 1;
}

d2xx::TFunctions Table() {
  d2xx::TFunctions t;
  t.W32CreateFile = [](const char*, d2xx::Dword, d2xx::Dword, void*, d2xx::Dword, d2xx::Dword, d2xx::Handle) {
    static int device = 0;
    return static_cast<d2xx::Handle>(&device);
  };
  t.W32CloseHandle = [](d2xx::Handle) -> d2xx::Bool { return 1; };
  t.W32PurgeComm = [](d2xx::Handle, d2xx::Dword) -> d2xx::Bool { return 1; };
  t.W32ReadFile = &Read;
  t.W32WriteFile = &Write;
  return t;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

std::uint32_t Take16() {
  if (Input.Size - Input.At < 2) return 0;
  const std::uint32_t value = Input.Data[Input.At] | Input.Data[Input.At + 1] << 8;
  Input.At += 2;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input = {data, size, 0};
  sartel::TDAQLib lib;
  // Buffer lengths up to 128 Ki samples, including 0 and 1.
  lib.BufferLength = static_cast<std::int32_t>(Take16() * 2);
  sartel::ftdi::TUSBFTDI ftdi(lib.Error, Table(), {10, false});
  ftdi.OpenByDescription("Kalvenor");
  sartel::harvik::THarvik model(lib, ftdi);

  Check(model.ReadStatus() <= 7);
  std::int32_t start = -1, end = -1, turns = -1;
  const std::int32_t result = model.CaptureParams(&start, &end, &turns);
  Check(result >= 0 && result <= 254);
  Check(start >= -1 && start <= 0xFFFFFF && end >= -1 && end <= 0xFFFFFF && turns >= -1 && turns <= 254);

  const auto n = static_cast<std::size_t>(std::max(lib.BufferLength, 0));
  std::vector<std::int32_t> a(n, 0), b(n, 0);
  model.ReadSamples(a.data(), b.data());
  for (std::size_t i = 0; i < n; ++i) Check(a[i] >= -2048 && a[i] <= 2047 && b[i] >= -2048 && b[i] <= 2047);

  std::vector<std::uint8_t> memory(sartel::harvik::THarvik::ConfigSize);
  if (model.ReadConfigMemory(memory.data())) model.TakeConfiguration(memory.data());
  const std::int32_t ram = model.RamSize();
  Check(ram == sartel::harvik::SmallMemory || ram == sartel::harvik::LargeMemory);
  for (std::string_view text : {model.Identity(), model.SerialNumber(), model.Version()}) {
    std::vector<char16_t> field(SARTEL_IDENTITY_LENGTH, u'#');
    sartel::WriteWidened(text, field.data());
    const auto terminator = std::find(field.begin(), field.end(), u'\0');
    Check(terminator - field.begin() < static_cast<std::ptrdiff_t>(sartel::MaxTextUnits));
  }
  for (std::int32_t word = -1; word <= 8; ++word) {
    const std::int32_t calibration = model.Calibration(word);
    Check(calibration >= 0 && calibration <= 0xFFFF);
  }
  return 0;
}
