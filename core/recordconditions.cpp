// The conditions of a record: those of the device and the set-up at the
// moment it was captured, kept beside its samples, so that every view,
// read-out, report and file converts it as the measuring device did.

#include <algorithm>
#include <complex>
#include <vector>

#include "zelto.h"

TRecordConditions TZelto::DeviceConditions() const {
  TRecordConditions c;
  c.FullScale = DriverFullScale();
  c.RangeA = DriverInputRange(GainA);
  c.RangeB = DriverInputRange(GainB);
  c.SampleRate = DriverSamplingFrequency();
  c.Length = BuffLength;
  c.SensorA = VibSensorA;
  c.SensorB = VibSensorB;
  return c;
}

// Under ResultsLock: a capture hands a run its conditions with its samples.
TRecordConditions TZelto::RecordConditions(int32_t record) const {
  rtl::TCriticalSectionGuard guard(ResultsLock);
  const TRecordConditions* own = nullptr;
  if (record == TSignalOrigin::LiveRecord) own = &LiveConditions;
  else if (record >= 0 && record < RunCount) own = &Captures[static_cast<size_t>(record)].Conditions;
  return own && own->Holds() ? *own : DeviceConditions();
}

int32_t TZelto::ShownRecord() const { return AsyncMode ? TSignalOrigin::LiveRecord : BalancingStep; }

SensorInfo TZelto::RunSensor(int32_t run, uint8_t channel) const {
  return RecordConditions(run).Sensor(channel);
}

TRecordConditions TZelto::JobConditions() const {
  rtl::TCriticalSectionGuard guard(ResultsLock);
  for (const CaptureRecord& c : Captures)
    if (c.Conditions.Holds()) return c.Conditions;
  return DeviceConditions();
}

int32_t TZelto::LongestRecord() const {
  rtl::TCriticalSectionGuard guard(ResultsLock);
  int32_t longest = std::max({RamSize, BuffLength, LiveConditions.Length});
  // A run read without its samples is shown as none: its length sizes
  // nothing.
  for (const CaptureRecord& c : Captures)
    if (!c.DataA.empty() || !c.DataB.empty()) longest = std::max(longest, c.Conditions.Length);
  return longest;
}

void TZelto::FitSpectraToRecords() {
  const size_t bins = static_cast<size_t>(std::max(LongestRecord(), 0));
  for (std::vector<std::complex<double>>* spectrum : {&SpectrumA, &SpectrumB})
    if (!spectrum->empty() && spectrum->size() < bins) spectrum->resize(bins);
}

void TZelto::NoteCondition(uint8_t kind, std::u16string_view subject) const {
  const TConditionNote note{kind, std::u16string(subject)};
  if (std::find(ConditionNotes.begin(), ConditionNotes.end(), note) == ConditionNotes.end())
    ConditionNotes.push_back(note);
}
