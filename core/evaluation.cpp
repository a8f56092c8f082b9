// Capture evaluation: conversion of the samples for the views and the
// spectrum, statistics, speed, the 1x vector of each reading, the moving
// vector average and the hand-over to the balancing mathematics.

#include "balancing.h"
#include "channelstats.h"
#include "spectrumthread.h"
#include "syncvector.h"
#include "workspaceservices.h"
#include "zelto.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int32_t kRuns = RunCount;
constexpr int32_t kMaxSlots = MaxAvgSize;

// The samples of a run lie in 0 <= Start < End <= its length; anything
// else (a damaged file, a confused device) gives the run no vector.
bool WindowInside(const CaptureRecord& c, int32_t length) {
  return c.Start >= 0 && c.Start < c.End && c.End <= length;
}

// A channel buffer that is missing or too short for `length` samples is an
// absent channel.
const int32_t* Channel(const std::vector<int32_t>& data, int64_t length) {
  return length > 0 && static_cast<int64_t>(data.size()) >= length ? data.data() : nullptr;
}

int32_t SlotCount(int32_t avgSize) { return std::clamp(avgSize, 1, kMaxSlots); }

// Copies up to `length` samples into a double buffer of that length; what
// the source lacks stays 0.
void CopySamples(const std::vector<int32_t>& from, std::vector<double>& to, int32_t length) {
  to.assign(length, 0.0);
  const int32_t n = std::min<int32_t>(length, static_cast<int32_t>(from.size()));
  std::copy(from.begin(), from.begin() + n, to.begin());
}

template <typename T>
void Free(std::vector<T>& v) {
  std::vector<T>().swap(v);
}

TPolar SlotPolar(const TVector4& v, bool channelB) {
  return channelB ? TPolar{v.AmplB, v.PhB} : TPolar{v.AmplA, v.PhA};
}

// Fills SignalA/SignalB from the current run or the live buffers, at the
// record's own length and rate; the caller holds SignalLock. A record
// without samples leaves them empty: its stored length sizes nothing.
void ConvertLocked(TZelto& core) {
  const TRecordConditions conditions = core.ShownConditions();
  const int32_t length = std::max(conditions.Length, 0);
  const bool twoChannels = core.Type == 1;
  const std::vector<int32_t>* a = nullptr;
  const std::vector<int32_t>* b = nullptr;
  TSignalOrigin origin{TSignalOrigin::LiveRecord, length, conditions.SampleRate, core.Job};
  if (core.AsyncMode) {
    a = &core.LiveDataA;
    b = &core.LiveDataB;
    core.SignalStart = core.SignalEnd = 0;
  } else if (core.BalancingStep >= 0 && core.BalancingStep < kRuns) {
    const CaptureRecord& run = core.Captures[core.BalancingStep];
    a = &run.DataA;
    b = &run.DataB;
    core.SignalStart = run.Start;
    core.SignalEnd = run.End;
    origin.Record = core.BalancingStep;
  }
  core.SignalOriginA = core.SignalOriginB = {};
  const bool holdsA = a && !a->empty();
  const bool holdsB = holdsA && twoChannels && !b->empty();
  if (holdsA) {
    CopySamples(*a, core.SignalA, length);
    core.SignalOriginA = origin;
  } else {
    Free(core.SignalA);
  }
  if (holdsB) {
    CopySamples(*b, core.SignalB, length);
    core.SignalOriginB = origin;
  } else {
    Free(core.SignalB);
  }
}

// Slot of the reading about to be stored. Once all slots are full, the
// oldest is dropped and the others move down one place.
int32_t NextSlot(const TZelto& core, MeasurementResult& result) {
  const int32_t slots = SlotCount(core.AvgSize);
  const int32_t readings = std::clamp(core.Readings, 0, slots);
  if (slots >= 2 && readings == slots) {
    std::move(result.Slots.begin() + 1, result.Slots.begin() + slots, result.Slots.begin());
    return slots - 1;
  }
  return std::min(readings, slots - 1);
}

void StoreStatistics(TZelto& core, TSampleSpan span, const std::vector<int32_t>& a, const std::vector<int32_t>& b,
                     double fullScale) {
  const TChannelStats sa = SpanStats(a, span, fullScale).value_or(TChannelStats{});
  core.MeanA = sa.Mean;
  core.RmsA = sa.Rms;
  core.MinA = sa.Min;
  core.MaxA = sa.Max;
  core.OverloadA = sa.Overload;
  if (core.Type != 1) return;
  const TChannelStats sb = SpanStats(b, span, fullScale).value_or(TChannelStats{});
  core.MeanB = sb.Mean;
  core.RmsB = sb.Rms;
  core.MinB = sb.Min;
  core.MaxB = sb.Max;
  core.OverloadB = sb.Overload;
}

void SyncVectorOf(const TZelto& core, int32_t run, TVector4& slot) {
  slot = {};
  const CaptureRecord& c = core.Captures[run];
  const TRecordConditions conditions = core.RecordConditions(run);
  if (!WindowInside(c, conditions.Length)) return;
  const int32_t n = c.End - c.Start;
  const double fullScale = conditions.FullScale;
  if (const int32_t* a = Channel(c.DataA, c.End)) {
    const TPolar v = BinToPolar(SyncBin(a + c.Start, n, c.T), conditions.RangeA, fullScale);
    slot.AmplA = v.Ampl;
    slot.PhA = v.Phase;
  }
  if (core.Type != 1) return;
  if (const int32_t* b = Channel(c.DataB, c.End)) {
    const TPolar v = BinToPolar(SyncBin(b + c.Start, n, c.T), conditions.RangeB, fullScale);
    slot.AmplB = v.Ampl;
    slot.PhB = v.Phase;
  }
}

// The mean covers the reading just stored: slots 0 ... Readings while they
// fill up, all slots once they are full.
void AverageOf(const TZelto& core, int32_t run, TVector4& meas) {
  const auto& slots = core.Results[run].Slots;
  const int32_t count = SlotCount(core.AvgSize);
  const int32_t readings = std::clamp(core.Readings, 0, count);
  const bool twoChannels = core.Type == 1;
  meas = {};
  if (readings == 0) {
    meas.AmplA = slots[0].AmplA;
    meas.PhA = slots[0].PhA;
    if (twoChannels) {
      meas.AmplB = slots[0].AmplB;
      meas.PhB = slots[0].PhB;
    }
    return;
  }
  const int32_t last = std::min(readings == count ? readings - 1 : readings, count - 1);
  std::array<TPolar, kMaxSlots> values{};
  for (int32_t k = 0; k <= last; ++k) values[k] = SlotPolar(slots[k], false);
  const TPolar a = PolarMean(values.data(), last + 1);
  meas.AmplA = a.Ampl;
  meas.PhA = a.Phase;
  if (!twoChannels) return;
  for (int32_t k = 0; k <= last; ++k) values[k] = SlotPolar(slots[k], true);
  const TPolar b = PolarMean(values.data(), last + 1);
  meas.AmplB = b.Ampl;
  meas.PhB = b.Phase;
}

// The correction of run 3 from runs 0 to 2, or the trim correction of a
// check run, with its NotComputable flag. The runs it combines are taken in
// one unit per channel; runs whose sensors give them none get no correction.
void ComputeRunCorrection(TZelto& core, int32_t run) {
  MeasurementResult& result = core.Results[run];
  const bool twoPlanes = core.Type != 0;
  std::vector<int32_t> runs = {RunInitial, RunTrialA};
  if (twoPlanes) runs.push_back(RunTrialB);
  if (run != RunCorrection) runs.push_back(run);
  const TComparedRuns compared = core.CompareRuns(runs);
  if (!compared.ChannelA || (twoPlanes && !compared.ChannelB)) {
    StoreCorrection(result, std::nullopt);
    return;
  }
  const TVector4& initial = compared.Meas[0];
  const TVector4& trialA = compared.Meas[1];
  const TVector4 trialB = twoPlanes ? compared.Meas[2] : TVector4{};
  if (run == RunCorrection)
    StoreCorrection(result, CalcCorrection(initial, trialA, trialB, core.Type));
  else
    StoreCorrection(result, CalcTrimCorrection(initial, trialA, trialB, compared.Meas.back(), core.Type));
}

}  // namespace

void TZelto::ConvertSamples() {
  if (SpectrumBusy) return;
  // A computation that was aborted may still hold the buffers for the few
  // samples until it notices; waiting for it is short. One that runs keeps
  // them and the conversion is skipped.
  std::unique_lock<std::mutex> lock(SignalLock, std::try_to_lock);
  if (!lock.owns_lock()) {
    if (SpectrumBusy) return;
    lock = WaitForSignals();
  }
  PlotUpdating = true;
  ConvertLocked(*this);
  PlotUpdating = false;
}

// A window reading the results meanwhile sees them before or after the
// whole evaluation, never halfway.
void TZelto::EvaluateCapture(uint8_t live, int32_t run) {
  rtl::TCriticalSectionGuard guard(ResultsLock);
  MeanA = MeanB = RmsA = RmsB = MinA = MinB = MaxA = MaxB = 0;
  OverloadA = OverloadB = 0;
  if (live) {
    const TRecordConditions conditions = RecordConditions(TSignalOrigin::LiveRecord);
    StoreStatistics(*this, StatisticsSpan(nullptr, conditions.Length), LiveDataA, LiveDataB, conditions.FullScale);
    return;
  }
  if (run < 0 || run >= kRuns) return;
  MeasurementResult& result = Results[run];
  if (run == RunCorrection) {
    ComputeRunCorrection(*this, run);
    result.Valid = 1;
    return;
  }
  const CaptureRecord& capture = Captures[run];
  const TRecordConditions conditions = RecordConditions(run);
  const bool window = WindowInside(capture, conditions.Length) && Channel(capture.DataA, capture.End);
  const int32_t n = window ? capture.End - capture.Start : 0;
  const int64_t cycles = static_cast<int64_t>(capture.T) * n;
  result.Freq = cycles == 0 ? 0 : capture.T * (conditions.SampleRate / static_cast<double>(n));
  SyncVectorOf(*this, run, result.Slots[NextSlot(*this, result)]);
  AverageOf(*this, run, result.Meas);
  if (run > RunCorrection) ComputeRunCorrection(*this, run);
  if (n == 0) return;
  StoreStatistics(*this, StatisticsSpan(&capture, conditions.Length), capture.DataA, capture.DataB,
                  conditions.FullScale);
  result.Valid = 1;
}



void TZelto::CalcSyncVector(TVector4& slot) {
  if (BalancingStep < 0 || BalancingStep >= kRuns) {
    slot = {};
    return;
  }
  SyncVectorOf(*this, BalancingStep, slot);
}


void TZelto::AverageReadings(TVector4& meas) {
  if (BalancingStep < 0 || BalancingStep >= kRuns) return;
  AverageOf(*this, BalancingStep, meas);
}


void TZelto::AbortSpectrum() {
  if (SpectrumThread) SpectrumThread->AbortCalculation();
}

std::unique_lock<std::mutex> TZelto::LockSignalsForWriting() {
  AbortSpectrum();
  return WaitForSignals();
}

std::unique_lock<std::mutex> TZelto::WaitForSignals() {
  ++SignalWaiters;
  std::unique_lock<std::mutex> lock(SignalLock);
  --SignalWaiters;
  return lock;
}

void TZelto::ClearMeasurements() {
  const auto lock = LockSignalsForWriting();
  rtl::TCriticalSectionGuard guard(ResultsLock);
  for (CaptureRecord& c : Captures) c = CaptureRecord();
  LiveConditions = {};
  for (MeasurementResult& r : Results) r = MeasurementResult();
  Free(SignalA);
  Free(SignalB);
  Free(LiveDataA);
  Free(LiveDataB);
  SignalStart = SignalEnd = 0;
  SignalOriginA = SignalOriginB = SpectrumOriginA = SpectrumOriginB = {};
  ++Job;
  BalancingStep = 0;
  HighestStep = 0;
}
