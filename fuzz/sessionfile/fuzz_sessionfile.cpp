// Feeds arbitrary bytes to the session reader as a document and, after the
// marker, its raw file. Whatever it accepts must lie in range; saved as the
// automatic pair and read again, it must give the same job and samples.
#include <cstdint>
#include <vector>

#include "../fuzzcore.h"
#include "textconv.h"

namespace {

// Small enough that twenty two-channel runs stay quick.
constexpr int32_t RamSize = 0x1000;

void RequireInRange(const TZelto& core) {
  fuzz::Require(core.BalancingStep >= 0 && core.BalancingStep < RunCount);
  fuzz::Require(core.HighestStep >= 0 && core.HighestStep < RunCount);
  fuzz::Require(core.BuffLength > 0 && core.BuffLength <= core.RamSize);
  fuzz::Require(core.AvgSize >= 1 && core.AvgSize <= MaxAvgSize);
  fuzz::Require(core.Type <= 1 && core.WindowType <= 7 && core.SpeedTolerance <= 4);
  fuzz::Require(core.Rotor.ClassIndex >= 0 && core.Rotor.ClassIndex <= 10 && core.Rotor.Type <= 4);
  fuzz::Require(fuzz::PossibleSensor(core.VibSensorA) && fuzz::PossibleSensor(core.VibSensorB));
  for (const CaptureRecord& c : core.Captures) {
    // Each record keeps its own length, which no device memory is below.
    if (c.Conditions.Holds()) fuzz::RequirePossibleConditions(c.Conditions);
    const size_t length = static_cast<size_t>(c.Conditions.Length);
    fuzz::Require(c.DataA.empty() || c.DataA.size() == length);
    // Channel B may stand without A: the document flags each on its own.
    fuzz::Require(c.DataB.empty() || (core.Type == 1 && c.DataB.size() == length));
  }
}

struct TJob {
  int32_t BuffLength, BalancingStep, HighestStep;
  uint8_t Type;
  std::vector<std::vector<int32_t>> Samples;
  std::vector<int32_t> Lengths;
};

TJob JobOf(const TZelto& core) {
  TJob job{core.BuffLength, core.BalancingStep, core.HighestStep, core.Type, {}, {}};
  for (int32_t run = 0; run < RunCount; ++run) {
    job.Samples.push_back(core.Captures[run].DataA);
    job.Samples.push_back(core.Captures[run].DataB);
    job.Lengths.push_back(core.Captures[run].Conditions.Length);
  }
  return job;
}

bool SameJob(const TJob& a, const TJob& b) {
  return a.BuffLength == b.BuffLength && a.BalancingStep == b.BalancingStep && a.HighestStep == b.HighestStep &&
         a.Type == b.Type && a.Samples == b.Samples && a.Lengths == b.Lengths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TZelto& core = fuzz::Core();
  const fuzz::TPair pair = fuzz::SplitInput(data, size);
  const std::filesystem::path folder = fuzz::DataFolder();
  fuzz::WriteFile(folder / "job.daqsession", pair.Document);
  std::filesystem::remove(folder / "job.daqdata");
  if (pair.HasRaw) fuzz::WriteFile(folder / "job.daqdata", pair.Raw);
  core.RamSize = RamSize;
  // An input ending in "2" stands for a device that captures its whole
  // memory whatever the file says.
  core.CapturesWholeMemory = size > 0 && data[size - 1] == '2';

  const int32_t result = core.LoadSession(rtl::Utf8ToUtf16((folder / "job.daqsession").string()));
  fuzz::Require(result >= TZelto::sfrDone && result <= TZelto::sfrDoneWithoutSamples);
  if (result != TZelto::sfrDone) return 0;
  RequireInRange(core);

  const TJob loaded = JobOf(core);
  fuzz::Require(core.SaveSession() == TZelto::sfrDone);
  fuzz::Require(core.LoadSession() == TZelto::sfrDone);
  fuzz::Require(SameJob(loaded, JobOf(core)));
  return 0;
}
