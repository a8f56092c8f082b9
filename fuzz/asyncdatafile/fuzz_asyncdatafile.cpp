// Feeds arbitrary bytes to the asynchronous-data reader as a document and,
// after the marker, its raw file. What it accepts must lie in range; saved
// under another name and read again, it must give the same capture.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "../fuzzcore.h"
#include "textconv.h"

namespace {

constexpr int32_t RamSize = 0x1000;

// The capture keeps its stored length, which no device memory is below;
// its buffers hold at least RamSize samples, as the capture threads size
// them. Its conditions are ones a device and a sensor can have; without a
// driver (as here) it may hold no scale at all.
void RequireInRange(const TZelto& core) {
  const TRecordConditions& c = core.LiveConditions;
  fuzz::Require(core.BuffLength > 0 && core.BuffLength <= core.RamSize);
  fuzz::Require(core.Type <= 1 && core.WindowType <= 7);
  for (const std::vector<int32_t>* live : {&core.LiveDataA, &core.LiveDataB})
    fuzz::Require(live->empty() || live->size() == static_cast<size_t>(std::max(core.RamSize, c.Length)));
  fuzz::Require(core.Type == 1 || core.LiveDataB.empty());
  fuzz::RequirePossibleConditions(c);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TZelto& core = fuzz::Core();
  const fuzz::TPair pair = fuzz::SplitInput(data, size);
  const std::filesystem::path folder = fuzz::DataFolder();
  fuzz::WriteFile(folder / "trace.asd", pair.Document);
  std::filesystem::remove(folder / "trace.bin");
  if (pair.HasRaw) fuzz::WriteFile(folder / "trace.bin", pair.Raw);
  core.RamSize = RamSize;

  const std::u16string base = rtl::Utf8ToUtf16(folder.string()) + u"/";
  if (!core.LoadAsyncData(base + u"trace.asd")) return 0;
  RequireInRange(core);

  const std::vector<int32_t> a = core.LiveDataA, b = core.LiveDataB;
  const int32_t length = core.BuffLength;
  const uint8_t type = core.Type;
  // The window type isn't written: a fresh copy holds none.
  std::filesystem::remove(folder / "copy.asd");
  fuzz::Require(core.SaveAsyncData(base + u"copy.asd"));
  fuzz::Require(core.LoadAsyncData(base + u"copy.asd"));
  fuzz::Require(core.LiveDataA == a && core.LiveDataB == b && core.BuffLength == length && core.Type == type);
  return 0;
}
