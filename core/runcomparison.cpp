// The runs of a job in one unit per channel, each run with its own sensor.

#include "runcomparison.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "formatting.h"
#include "zelto.h"

namespace {

// A sensor that gives a unit (formatting.h) with an input gain to undo.
bool ScaleKnown(const SensorInfo& s) {
  return SensorKnown(s) && std::isfinite(s.Sensitivity) && std::isfinite(s.InputGain) && s.InputGain > 0;
}

// Two sensors that give a vibration the same millivolts. A sensor without a
// known scale gives the same only as itself: the one of that name.
bool SameScale(const SensorInfo& a, const SensorInfo& b) {
  if (a.Sensitivity != b.Sensitivity || a.InputGain != b.InputGain || a.Type != b.Type) return false;
  return ScaleKnown(a) || a.Name == b.Name;
}

// A reading in the quantity of sensor type `type`, in the unit it is shown
// in (ConvertForSensor). Each step from acceleration towards displacement
// divides by j omega (a quarter turn back); the other way multiplies by it.
// A step needs a rotation frequency.
std::optional<TPolar> InQuantity(const TChannelReading& r, uint8_t type) {
  const SensorInfo& s = r.Sensor;
  const int steps = static_cast<int>(type) - static_cast<int>(s.Type);
  if (steps != 0) {
    const double omega = 2 * std::numbers::pi * r.Freq;
    if (!(omega > 0) || !std::isfinite(omega)) return std::nullopt;
  }
  const double ampl = ConvertForSensor(s.Type, r.Vector.Ampl * s.InputGain, s.Sensitivity, r.Freq, OwnQuantity(type));
  const TPolar v{ampl, r.Vector.Phase - steps * std::numbers::pi / 2};
  if (!std::isfinite(v.Ampl) || !std::isfinite(v.Phase)) return std::nullopt;
  return v;
}

}  // namespace

std::optional<std::vector<TPolar>> InOneUnit(std::span<const TChannelReading> readings) {
  std::vector<TPolar> out;
  out.reserve(readings.size());
  if (readings.empty()) return out;
  const SensorInfo& reference = readings.front().Sensor;
  const auto atReferenceScale = [&](const TChannelReading& r) { return SameScale(r.Sensor, reference); };
  if (std::all_of(readings.begin(), readings.end(), atReferenceScale)) {
    for (const TChannelReading& r : readings) out.push_back(r.Vector);
    return out;
  }
  for (const TChannelReading& r : readings) {
    if (!ScaleKnown(r.Sensor)) return std::nullopt;
    const std::optional<TPolar> v = InQuantity(r, reference.Type);
    if (!v) return std::nullopt;
    out.push_back(*v);
  }
  return out;
}

// Under ResultsLock, so that the vectors and the conditions are those of
// one moment.
TComparedRuns TZelto::CompareRuns(std::span<const int32_t> runs) const {
  rtl::TCriticalSectionGuard guard(ResultsLock);
  TComparedRuns out;
  out.Meas.resize(runs.size());
  std::vector<TChannelReading> a, b;
  for (const int32_t run : runs) {
    // A run outside the job has nothing to compare.
    if (run < 0 || run >= RunCount) return out;
    const MeasurementResult& r = Results[static_cast<size_t>(run)];
    const TRecordConditions conditions = RecordConditions(run);
    a.push_back({{r.Meas.AmplA, r.Meas.PhA}, r.Freq, conditions.SensorA});
    b.push_back({{r.Meas.AmplB, r.Meas.PhB}, r.Freq, conditions.SensorB});
  }
  const std::optional<std::vector<TPolar>> inA = InOneUnit(a), inB = InOneUnit(b);
  out.ChannelA = inA.has_value();
  out.ChannelB = inB.has_value();
  for (size_t i = 0; i < runs.size(); ++i) {
    if (inA) {
      out.Meas[i].AmplA = (*inA)[i].Ampl;
      out.Meas[i].PhA = (*inA)[i].Phase;
    }
    if (inB) {
      out.Meas[i].AmplB = (*inB)[i].Ampl;
      out.Meas[i].PhB = (*inB)[i].Phase;
    }
  }
  return out;
}

std::optional<TComparedAmplitudes> TZelto::ComparedAmplitudes(int32_t run, uint8_t channel) const {
  const std::array<int32_t, 2> runs = {RunInitial, run};
  const TComparedRuns compared = CompareRuns(runs);
  if (!compared.Comparable(channel)) return std::nullopt;
  const TVector4& initial = compared.Meas[0];
  const TVector4& own = compared.Meas[1];
  return channel == 0 ? TComparedAmplitudes{own.AmplA, initial.AmplA}
                      : TComparedAmplitudes{own.AmplB, initial.AmplB};
}
